#pragma once

// Two ring items changing places, as the configuration file records it.

#include "config/ConfigDocument.h"

namespace qv::config {

// The texts an item element carries, as paths below the element, in the order
// they are exchanged.
inline constexpr const char* kItemTextPaths[] = {"File",     "Name", "IconPath/Default", "IconPath/Define",
                                                 "Argument", "Http", "InitialPosition"};

// Loads the file afresh, exchanges the item texts of the source-th and
// target-th children of RoundBackground (counted from 1) and saves the file.
// A missing or unreadable file is left alone and false returned: what the
// user sees has already changed and the file stays whole.
bool ExchangeSlots(ConfigDocument& document, int source, int target);

}  // namespace qv::config
