#pragma once

// Small pictures made by the tests themselves.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/IcoWriter.h"

namespace qv::testing {

struct Rgb {
  std::uint8_t r, g, b;
};

inline std::string SolidPng(int side, Rgb c) {
  const std::uint32_t argb = 0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
  return test::PngImage(side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side) * side, argb));
}

}  // namespace qv::testing
