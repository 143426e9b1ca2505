// Fuzz target: .ico files as the item draw reads them, for the sizes the
// program asks for.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "picture/IcoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::size_t sum = 0;
  for (const int wanted : {16, 48, 256}) {
    if (const auto image = qv::picture::ReadIcoForDrawing(bytes, wanted)) {
      if (image->picture.pixels.size() !=
          static_cast<std::size_t>(image->picture.width) * static_cast<std::size_t>(image->picture.height))
        __builtin_trap();
      for (const std::uint32_t p : image->picture.pixels) sum += p;
    }
  }
  static volatile std::size_t sink;
  sink = sum;
  return 0;
}
