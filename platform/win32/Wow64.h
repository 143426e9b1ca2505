#pragma once

// This process's side of the 32-bit/64-bit split (decisions in platform/Wow64.h).

#include <string>

#include "platform/Wow64.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

wow64::ProcessKind ThisProcessKind();

// The flag that opens a key in the view.
REGSAM ViewAccess(wow64::RegistryView view);

// A file path as this process must pass it to reach what it names.
std::string NativePath(const std::string& path);

}  // namespace qv::win32
