#pragma once

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace qv {

// Width × height in 64 bits: in a 32-bit program the product in size_t wraps
// before a size check can see it, and a huge picture passes as a tiny one.
constexpr std::uint64_t PixelCount(int width, int height) {
  return width <= 0 || height <= 0 ? 0 : static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}

// The count as a vector size; more than the process can address is no memory.
inline std::size_t AllocatablePixels(int width, int height) {
  const std::uint64_t count = PixelCount(width, height);
  if (count > std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t)) throw std::bad_alloc();
  return static_cast<std::size_t>(count);
}

// A 32-bit picture in BGRA byte order with premultiplied alpha: every colour
// byte is already multiplied by alpha / 255. One pixel is one uint32_t read
// as 0xAARRGGBB on a little-endian machine, which is the byte order B, G, R, A.
struct LayeredSurface {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // row-major, top row first

  LayeredSurface() = default;
  LayeredSurface(int w, int h) : width(w), height(h), pixels(AllocatablePixels(w, h), 0u) {}

  bool Empty() const { return width <= 0 || height <= 0; }
  // Every pixel the size promises is there.
  bool Whole() const { return !Empty() && pixels.size() >= PixelCount(width, height); }
  std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

constexpr std::uint8_t AlphaOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 24); }
constexpr std::uint8_t RedOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t GreenOf(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t BlueOf(std::uint32_t p) { return static_cast<std::uint8_t>(p); }
constexpr std::uint32_t PackBgra(std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | std::uint32_t{b};
}

}  // namespace qv
