#pragma once

// Writing an icon the system hands us (the shell's icon for a file type) as
// the bytes of a single-image .ico file: the directory, one entry, and the
// image as the system keeps it in icon resources (a bottom-up DIB twice as
// high as the icon, the colour rows followed by the AND mask rows).

#include <optional>
#include <string>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {

// 32 bits per pixel with its mask when the icon's colour bitmap has 32 bits,
// 24 bits for other colour icons, 1 bit for monochrome ones. Nothing when
// the icon's bitmaps cannot be read.
std::optional<std::string> IconFileBytes(HICON icon);

}  // namespace qv::win32
