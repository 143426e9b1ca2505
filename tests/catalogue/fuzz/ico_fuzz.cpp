// Fuzz target: .ico files as the item draw reads them, for the sizes the
// program asks for. What reads is a whole picture of a bounded size, and
// premultiplied: no colour above its alpha.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "picture/IcoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::size_t sum = 0;
  for (const int wanted : {16, 48, 256}) {
    if (const auto image = qv::picture::ReadIcoForDrawing(bytes, wanted)) {
      const qv::LayeredSurface& p = image->picture;
      if (p.width < 1 || std::max(p.width, p.height) > qv::picture::kMaxIcoSide ||
          p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height))
        __builtin_trap();
      for (const std::uint32_t px : p.pixels) {
        if (std::max({qv::BlueOf(px), qv::GreenOf(px), qv::RedOf(px)}) > qv::AlphaOf(px)) __builtin_trap();
        sum += px;
      }
    }
  }
  [[maybe_unused]] static volatile std::size_t sink;
  sink = sum;
  return 0;
}
