// Fuzz target: the PNG loader and both of its alpha rules.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "picture/PngLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qv::picture::StraightPicture picture = qv::picture::DecodePng(bytes);
  if (picture.Empty()) return 0;
  if (picture.pixels.size() != qv::PixelCount(picture.width, picture.height)) std::abort();
  const qv::LayeredSurface window = qv::picture::PremultiplyWindowAlpha(picture);
  const qv::LayeredSurface standard = qv::picture::PremultiplyStandard(std::move(picture));
  if (!window.Whole() || !standard.Whole()) std::abort();
  return 0;
}
