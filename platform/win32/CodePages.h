#pragma once

// Legacy text encodings by name, as configuration files and their XML
// declarations spell them, and conversion through the system's code pages.

#include <optional>
#include <string>
#include <string_view>

namespace qv::win32 {

// The Windows code page of an encoding name, compared without regard to
// letter case, hyphens, underscores, dots or spaces ("GB2312", "gbk", "CP936",
// "Shift_JIS", "windows-1252", "ISO-8859-1", "cp437"). nullopt when unknown.
std::optional<unsigned> CodePageOfEncoding(std::string_view name);

// nullopt when the code page is not installed or the text does not fit it:
// invalid bytes when decoding, characters the code page lacks when encoding.
std::optional<std::string> DecodeCodePage(const std::string& bytes, unsigned codePage);
std::optional<std::string> EncodeCodePage(const std::string& utf8, unsigned codePage);

}  // namespace qv::win32
