#include <gtest/gtest.h>

#include <string>

#include "picture/PictureCache.h"
#include "tests/config/FakePlatform.h"
#include "tests/support/Pictures.h"

namespace qv::picture {
namespace {

std::string Png(int side) { return testing::SolidPng(side, {0x10, 0x20, 0x30}); }

// During a start each file and scale is read once, whatever the disk does
// meanwhile; out of it every load reads the disk again.
TEST(PictureCacheTest, KeepsEachFileAndScaleOnlyDuringAStart) {
  config::testing::MemoryFiles files;
  const std::string a = "C:\\Quorvel\\Icon\\a.png", b = "C:\\Quorvel\\Icon\\b.png";
  const std::string missing = "C:\\Quorvel\\Icon\\missing.png";
  files.files[a] = Png(10);
  files.files[b] = Png(12);
  PictureCache cache(files);
  {
    const PictureCacheScope start(cache);
    EXPECT_EQ(cache.Load(a, 96).width, 10);
    EXPECT_TRUE(cache.Load(missing, 96).Empty());
    files.files[a] = Png(20);
    files.files[missing] = Png(30);
    const struct {
      std::string path;
      int dpi, width;
    } loads[] = {
        {a, 96, 10},       // kept from the first load
        {a, 192, 20},      // another scale reads the file now
        {b, 96, 12},       // another file
        {missing, 96, 0},  // what could not be read stays no picture
    };
    for (const auto& l : loads) EXPECT_EQ(cache.Load(l.path, l.dpi).width, l.width) << l.path << " " << l.dpi;
  }
  files.files[a] = Png(16);
  EXPECT_EQ(cache.Load(a, 96).width, 16);
  EXPECT_EQ(cache.Load(missing, 96).width, 30);
}

}  // namespace
}  // namespace qv::picture
