#pragma once

// How the bytes of the configuration file become the UTF-8 text the parser
// reads, and how the saved text goes back to the file's own encoding. The
// declaration in the file's prolog decides; a byte order mark overrides it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qv::config {

enum class SourceForm {
  Utf8,      // no declared encoding, or UTF-8
  Utf8Bom,   // UTF-8 after a byte order mark, which a save writes again
  Wide,      // UTF-16 or UTF-32, recognised by its mark or its first bytes; the parser reads it itself
  Latin1,    // ISO-8859-1: every byte is the code point of the same number
  Ascii,     // US-ASCII: bytes above 127 are faults
  CodePage,  // any other name: converted by the platform
};

// The encoding named in the prolog ("<?xml ... encoding='GB2312'?>"), "" when
// there is no prolog or it names none. Looks only at the first prolog.
std::string DeclaredEncoding(std::string_view bytes);

SourceForm ClassifySource(std::string_view bytes, const std::string& declared);

// Offset of the first byte that does not start or continue a well-formed
// UTF-8 sequence (overlong forms, surrogates and values past U+10FFFF
// included); npos when the text is well formed.
std::size_t FindInvalidUtf8(std::string_view text);

// Single-byte forms. Decoding fails only for ASCII with a byte above 127.
std::optional<std::string> DecodeSingleByte(std::string_view bytes, SourceForm form);

// The encoding writes the markup's ASCII characters as the same bytes: a
// reader finds the declaration by reading ASCII, so a file saved in an
// encoding that does not (UTF-7, EBCDIC) could never be read back.
bool KeepsAsciiMarkup(const std::string& encoding, const ISystem& system);

// Encodes the serialised document. Characters the target encoding cannot hold
// are written as character references ("&#26032;"), which every reader of
// XML turns back into the character; nullopt only when even that fails.
std::optional<std::string> EncodeForSave(const std::string& utf8, SourceForm form, const std::string& encoding,
                                         const ISystem& system);

}  // namespace qv::config
