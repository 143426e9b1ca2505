#pragma once

// Where things stand in the configuration file, for the code of config/
// alone (and its tests): the nodes below the document element that more than
// one reader or writer looks for.

#include <string>

#include "config/ConfigDocument.h"

namespace qv::config {

// Setup/Basic under the document element; an empty node when either is absent.
pugi::xml_node BasicNode(pugi::xml_node root);

// Setup/Basic/HotKey Key, or "C" when the element or the attribute is absent
// or empty.
std::string HotKeyText(pugi::xml_node root);

// Exchanges two distinct item elements whole but for their names; false
// (nothing changed) when either is missing or both are the same.
bool ExchangeItems(pugi::xml_node a, pugi::xml_node b);

}  // namespace qv::config
