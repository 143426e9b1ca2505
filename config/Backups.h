#pragma once

// The copies of the configuration file that outlive its saves. Every save
// replaces the system's backup ("<name>.bak") with the file it replaced, so a
// wrong change survives two saves at most there. Before a command that
// throws something away (clearing every item, the settings' defaults,
// deleting or throwing out an item) the file is copied to "<name>.before-clear", which
// no ordinary save touches: the state before the last such command stays
// until the next one.

#include <string>

#include "config/LoadResult.h"
#include "platform/Platform.h"

namespace qv::config {

inline constexpr const char* kProtectedSuffix = ".before-clear";

std::string ProtectedBackupPath(const std::string& path);

// Copies the file, byte for byte, to ProtectedBackupPath(path). A file that
// cannot be read or parsed is not copied (NotLoaded): it must not replace a
// good copy. An identical copy is left as it is (NothingToChange).
EditResult TakeProtectedBackup(IFileSystem& files, ISystem& system, const std::string& path);

}  // namespace qv::config
