#pragma once

// Conversion between named encodings with the C library's iconv, for the
// headless backend's DecodeToUtf8/EncodeFromUtf8.

#include <optional>
#include <string>

namespace qv::headless {

// nullopt when either encoding is unknown, the input holds an invalid or
// incomplete sequence, or a character has no form in the target encoding.
std::optional<std::string> IconvConvert(const std::string& bytes, const std::string& from, const std::string& to);

}  // namespace qv::headless
