// Fuzz target: the label font's text form. What reads must write back to a
// text that reads as the same font.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/FontSpec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto font = qv::config::ParseFontSpec(text);
  qv::config::ColorFromText(text);
  if (!font) return 0;
  // A face with a comma cannot be represented; everything else round-trips.
  if (font->face.find(',') != std::string::npos) return 0;
  const auto again = qv::config::ParseFontSpec(qv::config::FormatFontSpec(*font));
  if (!again || !(*again == *font)) std::abort();
  return 0;
}
