#pragma once

// Resources built into the program file: the application icon "MAINICON"
// and raw resources such as the "PNG" pictures.

#include <optional>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

inline constexpr const wchar_t* kAppIconName = L"MAINICON";

// The application icon at the given square size; empty when the program
// file carries no icon.
UniqueIcon LoadAppIcon(HINSTANCE instance, int size);

std::optional<std::string> ResourceBytes(HINSTANCE instance, const std::wstring& type, const std::wstring& name);

}  // namespace qv::win32
