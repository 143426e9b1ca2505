#pragma once

// Small pictures made by the tests themselves.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv::testing {

struct Rgb {
  std::uint8_t r, g, b;
};

inline std::string SolidPng(int side, Rgb c) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < side * side; ++i) rgba.insert(rgba.end(), {c.r, c.g, c.b, 255});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  EXPECT_NE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr), 0);
  std::string bytes(size, '\0');
  EXPECT_NE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr), 0);
  bytes.resize(size);
  return bytes;
}

}  // namespace qv::testing
