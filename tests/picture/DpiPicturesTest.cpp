#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "picture/DpiPictures.h"
#include "picture/Picture.h"
#include "tests/config/FakePlatform.h"
#include "tests/support/IcoWriter.h"

namespace qv::picture {
namespace {

TEST(DpiPicturesTest, ArtScaleIsTheNearestAtOrAbove) {
  const struct { int dpi, scale; } cases[] = {{72, 100}, {96, 100}, {97, 150}, {144, 150}, {145, 200}, {288, 200}};
  for (const auto& c : cases) EXPECT_EQ(ArtScaleForDpi(c.dpi), c.scale) << c.dpi;
}

TEST(DpiPicturesTest, VariantNamesLeaveTheOneTimesNamesAlone) {
  const struct { const char* path; int scale; const char* variant; } files[] = {
      {"C:\\Q\\Icon\\ClockRes\\trad.png", 100, "C:\\Q\\Icon\\ClockRes\\trad.png"},
      {"C:\\Q\\Icon\\a.b\\theme.png", 200, "C:\\Q\\Icon\\a.b\\theme@200.png"},
      {"C:\\Q\\Icon\\a.b\\noext", 200, "C:\\Q\\Icon\\a.b\\noext"},  // a dot in a folder name is no extension
      {"x.tar.png", 200, "x.tar@200.png"},
  };
  for (const auto& f : files) EXPECT_EQ(FileVariant(f.path, f.scale), f.variant) << f.path;
  EXPECT_EQ(ResourceType(150), "PNG150");
  EXPECT_EQ(ResourceType(100), "PNG");
}

// The variant for the scale in use when it is there, the 1x picture when it
// is not (or cannot be read), whatever the DPI.
TEST(DpiPicturesTest, FilesComeFromTheirVariantOrFallBack) {
  config::testing::MemoryFiles files;
  const std::string base = "C:\\Quorvel\\Icon\\RectangleBackground\\Default.png";
  files.files[base] = test::PngImage(10, 10, std::vector<std::uint32_t>(100, 0xFF102030));
  files.files[FileVariant(base, 200)] = test::PngImage(20, 20, std::vector<std::uint32_t>(400, 0xFF102030));
  files.files[FileVariant(base, 150)] = "not a picture";
  const struct { int dpi, side; } cases[] = {{96, 10}, {120, 10}, {144, 10}, {192, 20}, {240, 20}};
  for (const auto& c : cases) {
    EXPECT_EQ(LoadPremultipliedPngFileForDpi(files, base, c.dpi).width, c.side) << c.dpi;
    EXPECT_EQ(LoadPictureFileForDpi(files, base, c.dpi).width, c.side) << c.dpi;
  }
  // A file is read whatever its name says; one that is missing or cannot be read is no picture.
  files.files["C:\\Quorvel\\Icon\\app.exe.ico"] = files.files[base];
  EXPECT_EQ(LoadPictureFile(files, "C:\\Quorvel\\Icon\\app.exe.ico").width, 10);
  EXPECT_TRUE(LoadPictureFile(files, "C:\\Quorvel\\Icon\\missing.png").Empty());
  files.unreadable.insert(base);
  EXPECT_TRUE(LoadPictureFileForDpi(files, base, 96).Empty());
}

// An icon file is read at the image that fits the scaled item square best.
TEST(DpiPicturesTest, IconsAreReadAtTheScaledItemSize) {
  const auto image = [](int side) {
    const test::DibSpec dib{side, side, 32, std::vector<std::uint32_t>(static_cast<std::size_t>(side) * side, 0x80FFFFFF)};
    return test::IcoEntry{test::DibImage(dib), side, 32};
  };
  config::testing::MemoryFiles files;
  files.files["C:\\i.ico"] = test::IcoFile({image(32), image(48), image(72), image(96), image(256)});
  const struct { int dpi, side; } cases[] = {{96, 48}, {120, 72}, {144, 72}, {192, 96}, {288, 256}};
  for (const auto& c : cases) EXPECT_EQ(LoadPictureFileForDpi(files, "C:\\i.ico", c.dpi).width, c.side) << c.dpi;
}

}  // namespace
}  // namespace qv::picture
