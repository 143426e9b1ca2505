#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/IcoWriter.h"

namespace qv::picture {
namespace {

// A PNG is drawn by the ordinary alpha rule (200 × 128 / 255 = 100.4), an icon as its
// reader draws it; what is neither is no picture.
TEST(PictureTest, KindIsToldByTheBytes) {
  const test::DibSpec soft{2, 1, 32, {0x80C86432, 0xFF102030}}, masked{2, 1, 24, soft.pixels, {true, false}};
  const struct { const char* what; std::string bytes; std::vector<std::uint32_t> drawn; } cases[] = {
      {"a PNG", test::PngImage(2, 1, soft.pixels), {0x80643219, 0xFF102030}},
      {"an icon drawn by its mask", test::IcoFile({{test::DibImage(masked), 2, 24}}), {0, 0xFF102030}},
      {"a bitmap", "BM" + std::string(60, '\0'), {}},
  };
  for (const auto& c : cases) {
    const LayeredSurface picture = LoadPictureBytes(c.bytes);
    EXPECT_EQ(picture.pixels, c.drawn) << c.what;
    EXPECT_EQ(picture.Empty(), c.drawn.empty()) << c.what;
  }
}

}  // namespace
}  // namespace qv::picture
