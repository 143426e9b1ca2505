#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/PngLoader.h"
#include "tests/support/IcoWriter.h"
#include "tests/config/FakePlatform.h"

namespace qv::picture {
namespace {

// Straight 0xAARRGGBB to the premultiplied pixel of the ordinary rule, in
// floating point (c × a / 255 is never a tie: 255 is odd).
std::uint32_t Expected(std::uint32_t straight) {
  const double a = straight >> 24;
  auto scale = [a](std::uint32_t c) { return static_cast<std::uint8_t>(std::nearbyint((c & 0xFF) * a / 255.0)); };
  return PackBgra(scale(straight), scale(straight >> 8), scale(straight >> 16), static_cast<std::uint8_t>(a));
}

// Pictures use the ordinary rule, not the window rule's 240 threshold: every
// alpha against every colour value, one row per alpha, with hand-checked edges.
TEST(PictureTest, OrdinaryAlphaRuleForEveryAlphaAndColour) {
  const struct {
    std::uint32_t straight, drawn;
  } edges[] = {
      {0x00C8FF01, 0x00000000},  // clear drops its colour
      {0x78C8FF01, 0x785E7800},  // 200 × 120 / 255 = 94.1: not the window rule's 100
      {0xE2C8FF01, 0xE2B1E201},  // 226: the window rule would leave the colour
      {0xF0C8FF01, 0xF0BCF001},  // 240: the window rule would make it opaque
      {0xFFC8FF01, 0xFFC8FF01},
  };
  for (const auto& e : edges) EXPECT_EQ(Expected(e.straight), e.drawn) << std::hex << e.straight;

  std::vector<std::uint32_t> straight;
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t c = 0; c < 256; ++c) straight.push_back(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
  const LayeredSurface picture = LoadPictureBytes(test::PngImage(256, 256, straight));
  ASSERT_EQ(picture.pixels.size(), straight.size());
  int mismatches = 0;
  for (std::size_t i = 0; i < straight.size() && mismatches < 10; ++i)
    if (picture.pixels[i] != Expected(straight[i]))
      ADD_FAILURE() << ++mismatches << ": straight " << std::hex << straight[i] << " gave " << picture.pixels[i];
}

TEST(PictureTest, KindIsToldByTheBytes) {
  test::DibSpec soft;
  soft.width = 2;
  soft.height = 1;
  soft.bitCount = 32;
  soft.pixels = {0x80C86432, 0xFF102030};
  test::DibSpec masked = soft;
  masked.bitCount = 24;
  masked.mask = {true, false};
  const std::string softIco = test::IcoFile({{test::DibImage(soft), 2, 32}});
  const std::string maskedIco = test::IcoFile({{test::DibImage(masked), 2, 24}});
  const std::string png = test::PngImage(2, 1, {0x80C86432, 0xFF102030});
  std::string cursor = maskedIco;
  cursor[2] = 2;

  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::uint32_t> drawn;  // empty: no picture
  } cases[] = {
      {"a PNG", png, {0x80643219, 0xFF102030}},
      {"an icon with real alpha", softIco, {0x80643219, 0xFF102030}},
      {"an icon drawn by its mask", maskedIco, {0, 0xFF102030}},
      {"a cursor", cursor, {}},
      {"a bitmap", "BM" + std::string(60, '\0'), {}},
      {"a PNG cut short", png.substr(0, png.size() - 20), {}},
      {"an icon without its images", softIco.substr(0, 22), {}},
  };
  for (const auto& c : cases) {
    const LayeredSurface picture = LoadPictureBytes(c.bytes);
    EXPECT_EQ(picture.pixels, c.drawn) << c.what;
    EXPECT_EQ(picture.Empty(), c.drawn.empty()) << c.what;
  }
}

TEST(PictureTest, FilesAreReadWhateverTheirName) {
  config::testing::MemoryFiles files;
  const std::string png = test::PngImage(1, 1, {0x80C86432});
  files.files["C:\\Quorvel\\Icon\\app.exe.ico"] = png;  // a PNG named as an icon
  files.files["C:\\Quorvel\\Icon\\locked.ico"] = png;
  files.unreadable.insert("C:\\Quorvel\\Icon\\locked.ico");
  EXPECT_EQ(LoadPictureFile(files, "C:\\Quorvel\\Icon\\app.exe.ico").pixels, std::vector<std::uint32_t>{0x80643219});
  EXPECT_TRUE(LoadPictureFile(files, "C:\\Quorvel\\Icon\\locked.ico").Empty());
  EXPECT_TRUE(LoadPictureFile(files, "C:\\Quorvel\\Icon\\missing.png").Empty());
}

}  // namespace
}  // namespace qv::picture
