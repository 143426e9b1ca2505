// Choosing, writing and caching item pictures, and classifying dropped paths.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "picture/IcoFile.h"
#include "catalogue/IconCache.h"
#include "catalogue/IconExtraction.h"
#include "tests/support/IcoWriter.h"
#include "tests/catalogue/PeBuilder.h"
#include "tests/catalogue/PeSamples.h"

namespace qv::catalogue {
namespace {

using test::Bytes;
using test::MemoryDisk;

const std::string kDir = test::MemoryDisk::kProgramDir;
const std::string kCache = kDir + "Icon\\";

// A flat 32 x 32 icon stands for every file type the shell knows.
std::string ShellTypeIcon() {
  return test::IcoFile({{test::DibImage({32, 32, 32, std::vector<std::uint32_t>(32 * 32, 0xFF3060C0u)}), 32, 32}});
}

class FakeShell : public IShell {
 public:
  bool Execute(const std::string&, const std::string&, const std::string&) override { return false; }
  std::optional<std::string> ResolveShortcut(const std::string& linkPath) override {
    const auto it = links.find(linkPath);
    return it == links.end() ? std::nullopt : it->second;
  }
  std::optional<std::string> ExtractShellIcon(const std::string& path) override {
    iconRequests.push_back(path);
    return icon;
  }
  std::map<std::string, std::optional<std::string>> links;  // absent: the link cannot be loaded
  std::optional<std::string> icon = ShellTypeIcon();
  std::vector<std::string> iconRequests;
};

struct Image {
  int side;
  int bits;  // 0: a PNG
};
std::string DibOf(const Image& image, std::uint32_t tint) { return test::IconImage(image.side, image.bits, tint); }

// Resource 0 is no icon; resource i + 1 is image i.
std::string ProgramWith(const std::vector<Image>& images, bool plus = true) {
  std::vector<test::PeResource> resources = {{10, u"", 0, u"NOTES", 0, "notes", 0}};
  for (std::size_t i = 0; i < images.size(); ++i)
    resources.push_back(test::IconResource(static_cast<std::uint32_t>(i + 1), DibOf(images[i], 0x102030u * (i + 1))));
  return test::BuildPe(resources, test::PeOptions{plus, 0}).bytes;
}

// A one-image .ico written out field by field: what a cache file must hold.
std::string ExpectedIco(const std::string& image, int widthByte, int bitCount) {
  std::string header = {0, 0, 1, 0, 1, 0, static_cast<char>(widthByte), static_cast<char>(widthByte), 0, 0, 1, 0};
  test::PutLittle(header, static_cast<std::uint32_t>(bitCount), 2);
  test::PutLittle(header, static_cast<std::uint32_t>(image.size()), 4);
  test::PutLittle(header, 22, 4);
  return header + image;
}

// The searches on programs of 16 to 256 pixel images; an index is the image's.
TEST(IconExtractionTest, ChoosesTheImageTheRulesName) {
  struct Case {
    const char* what;
    std::vector<Image> images;
    std::optional<std::size_t> large, small;
  };
  std::vector<Image> beyond(11, {32, 32}), within(10, {32, 32});
  for (std::vector<Image>* v : {&beyond, &within}) {
    v->push_back({48, 32});
    v->insert(v->end(), 4, {16, 32});
    v->push_back({128, 32});
  }
  const Case cases[] = {
      {"128 before 256 keeps 128; the first strictly larger 128 wins",
       {{16, 32}, {32, 32}, {48, 32}, {128, 8}, {128, 32}, {128, 32}, {128, 4}, {256, 32}}, 4, 2},
      {"a larger 256 replaces the first; a later 128 never does",
       {{16, 32}, {256, 8}, {48, 32}, {256, 32}, {128, 32}}, 3, 2},
      {"a 24-bit 48 is passed over", {{16, 32}, {48, 32}, {32, 32}, {48, 24}}, std::nullopt, 1},
      {"the 12th and the 17th image are never looked at", beyond, std::nullopt, std::nullopt},
      {"the 11th and the 16th are", within, 15, 10},
      {"a PNG-stored 256 is not large", {{16, 32}, {32, 32}, {48, 32}, {256, 0}}, std::nullopt, 2},
  };
  const auto item = [](std::optional<std::size_t> image) { return image ? std::optional(*image + 1) : image; };
  for (const bool plus : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const std::string file = ProgramWith(c.images, plus);
      TPEReader reader;
      reader.Load(Bytes(file));
      EXPECT_EQ(ChooseLargeIcon(reader), item(c.large));
      EXPECT_EQ(ChooseSmallIcon(reader), item(c.small));
    }
  }
}

// The small search at its edges: 9640 bytes is the largest taken, 7336 alone
// is passed over, and only width 48 counts.
TEST(IconExtractionTest, SmallImageSizeEdges) {
  const struct {
    std::vector<std::pair<int, std::uint32_t>> images;  // width, data size
    std::optional<std::size_t> chosen;
  } cases[] = {
      {{{48, 9640}, {48, 9641}}, 0},  {{{48, 9641}}, std::nullopt},  {{{48, 7335}, {48, 7336}}, 0},
      {{{48, 7336}, {48, 7337}}, 1},  {{{48, 3752}, {48, 3752}}, 1},  // of equal sizes the later
      {{{48, 9640}, {48, 3752}}, 0},  {{{47, 9640}, {49, 9640}, {96, 9640}}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::vector<test::PeResource> resources;
    for (const auto& [width, size] : c.images) {
      std::string image = DibOf({48, 32}, 0x406080).substr(0, 40);
      test::PutAt(image, 4, static_cast<std::uint32_t>(width), 4);
      image.resize(size, '\0');
      resources.push_back(test::IconResource(static_cast<std::uint32_t>(resources.size() + 1), image));
    }
    const std::string file = test::BuildPe(resources).bytes;
    TPEReader reader;
    reader.Load(Bytes(file));
    EXPECT_EQ(ChooseSmallIcon(reader), c.chosen) << c.images.front().second << " first";
  }
}

TEST(IconExtractionTest, WritesTheSingleImageHeader) {
  // Sizes 9640, 19496 and 270376 bytes; a width of 256 is written as 0.
  for (const auto& [image, widthByte] : {std::pair{Image{48, 32}, 48}, {Image{128, 8}, 128}, {Image{256, 32}, 0}}) {
    SCOPED_TRACE(image.side);
    const std::string dib = DibOf(image, 0x406080);
    EXPECT_EQ(WriteSingleIconFile(Bytes(dib), image.side), ExpectedIco(dib, widthByte, image.bits));
  }
  // Too short to hold a bit count: the field stays 0, the bytes still follow.
  const std::string stub = "0123456789";
  EXPECT_EQ(WriteSingleIconFile(Bytes(stub), 48), ExpectedIco(stub, 48, 0));
}

// Each kind of dropped path: what it launches, the picture it stores, and the
// cache file written for it, if any; no stray .ico when there is no picture or
// the disk refuses.
TEST(IconExtractionTest, ClassifiesDroppedPaths) {
  const std::string large = ProgramWith({{32, 32}, {128, 32}});
  std::string damagedLarge = ProgramWith({{48, 32}, {128, 32}});
  {  // the 128 claims a compression no icon uses: it cannot be drawn
    TPEReader reader;
    reader.Load(Bytes(damagedLarge));
    test::PutAt(damagedLarge, static_cast<std::size_t>(reader.Item(2).offset) + 16, 3, 4);
  }
  // An image is copied into the cache, and read at every start, only up to
  // what a 256-pixel picture can need; beyond that it is not an icon.
  const auto padded = [](std::uint32_t total) {
    std::string image = DibOf({128, 32}, 0x102030u);
    image.resize(total, '\0');
    return test::BuildPe({test::IconResource(1, image)}).bytes;
  };
  struct Case {
    const char* what;
    std::string path;
    std::map<std::string, std::string> disk;
    std::map<std::string, std::optional<std::string>> links;
    std::string target;
    std::string cacheName;  // in the cache folder, without ".ico"
    IconSource source;
    std::optional<std::string> shellIcon = ShellTypeIcon();
    bool refuseWrites = false;
  };
  const auto S = IconSource::ShellIcon;
  const auto F = IconSource::FolderPicture;
  const auto A = IconSource::Abandoned;
  const auto N = IconSource::NotCached;  // the item's picture is drawn as missing later
  const auto C = IconSource::AlreadyCached;  // one cache file per file name: the first one's picture stays
  // clang-format off
  const Case cases[] = {
      {"a program", "C:\\Tools\\app.exe", {{"C:\\Tools\\app.exe", large}}, {}, "C:\\Tools\\app.exe", "app.exe",
       IconSource::LargeImage},
      {"an upper-case extension, PE32", "C:\\TOOLS\\APP.EXE",
       {{"C:\\TOOLS\\APP.EXE", ProgramWith({{16, 32}, {48, 32}}, false)}},
       {}, "C:\\TOOLS\\APP.EXE", "APP.EXE", IconSource::SmallImage},
      {"a document", "D:\\Docs\\plan.doc", {}, {}, "D:\\Docs\\plan.doc", "plan.doc", S},
      {"a library gives no image of its own", "C:\\W\\tools.dll", {{"C:\\W\\tools.dll", large}}, {}, "C:\\W\\tools.dll",
       "tools.dll", S},
      {"a folder", "C:\\Games", {}, {}, "C:\\Games", "", F},
      {"a drive", "C:\\", {}, {}, "C:\\", "", F},
      {"a folder with a dot", "C:\\Data\\my.folder", {}, {}, "C:\\Data\\my.folder", "my.folder", S},
      {"a shortcut to a program", "C:\\L\\My App.lnk", {{"C:\\Apps\\tool.exe", large}},
       {{"C:\\L\\My App.lnk", "C:\\Apps\\tool.exe"}}, "C:\\Apps\\tool.exe", "tool.exe", IconSource::LargeImage},
      {"a shortcut to a folder", "C:\\L\\Games.lnk", {}, {{"C:\\L\\Games.lnk", "C:\\Games"}}, "C:\\Games", "Games", S},
      {"a shortcut to no file", "C:\\L\\Printer.lnk", {}, {{"C:\\L\\Printer.lnk", ""}}, "", "", A},
      {"a shortcut that cannot be loaded", "C:\\L\\broken.lnk", {}, {}, "", "", A},
      {"a program that is not there", "C:\\T\\gone.exe", {}, {}, "C:\\T\\gone.exe", "gone.exe", S},
      {"a large image that cannot be drawn", "C:\\T\\odd.exe", {{"C:\\T\\odd.exe", damagedLarge}}, {},
       "C:\\T\\odd.exe", "odd.exe", IconSource::SmallImage},
      {"an image as large as an icon can be", "C:\\B\\big.exe", {{"C:\\B\\big.exe", padded(kMaxIconImageBytes)}}, {},
       "C:\\B\\big.exe", "big.exe", IconSource::LargeImage},
      {"an image larger than any icon", "C:\\B\\big.exe", {{"C:\\B\\big.exe", padded(kMaxIconImageBytes + 1)}}, {},
       "C:\\B\\big.exe", "big.exe", S},
      {"the shell has no icon", "D:\\a.txt", {}, {}, "D:\\a.txt", "a.txt", N, std::nullopt},
      {"the shell's answer is no icon file", "D:\\a.txt", {}, {}, "D:\\a.txt", "a.txt", N, std::string(766, '\x7F')},
      {"the disk refuses", "C:\\Tools\\app.exe", {{"C:\\Tools\\app.exe", large}}, {}, "C:\\Tools\\app.exe", "app.exe",
       N, ShellTypeIcon(), true},
      {"a program whose file name is cached", "D:\\B\\setup.exe",
       {{"D:\\B\\setup.exe", large}, {kCache + "setup.exe.ico", "first"}}, {}, "D:\\B\\setup.exe", "setup.exe", C},
      {"a document type that is cached", "E:\\plan.doc", {{kCache + "plan.doc.ico", "first"}}, {}, "E:\\plan.doc",
       "plan.doc", C},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    disk.folders.clear();  // the cache folder went away while the program ran
    disk.refuseWrites = c.refuseWrites;
    FakeShell shell;
    for (const auto& [path, bytes] : c.disk) disk.Put(path, bytes);
    shell.links = c.links;
    shell.icon = c.shellIcon;
    const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, c.path);
    const std::string iconPath =
        c.source == F ? kDir + "Icon\\SysTool\\MyFiles.png" : c.source == A ? "" : kCache + c.cacheName + ".ico";
    EXPECT_EQ(outcome.abandoned, c.source == A);
    EXPECT_EQ(outcome.noExtension, c.source == F);
    EXPECT_EQ(outcome.target, c.target);
    EXPECT_EQ(outcome.iconPath, iconPath);
    EXPECT_EQ(outcome.source, c.source);
    const bool shellAsked = c.source == S || c.source == N;
    EXPECT_EQ(shell.iconRequests, shellAsked ? std::vector<std::string>{c.target} : std::vector<std::string>{});
    const bool cached = c.source != F && c.source != A && c.source != N && c.source != C;
    EXPECT_EQ(disk.written, cached ? std::vector<std::string>{iconPath} : std::vector<std::string>{});
    if (cached) {
      EXPECT_TRUE(picture::ReadIcoForDrawing(disk.Get(iconPath)).has_value());
    }
    EXPECT_EQ(disk.liveMappings, 0) << "the program file stays mapped";
    EXPECT_TRUE(c.source != C || disk.mapped.empty()) << "a cached name does not open the program";
  }
}

// A drive that goes away between the listing and the copy of an image: the image counts as none.
TEST(IconExtractionTest, AFileThatVanishesWhileReadGivesNoImage) {
  MemoryDisk disk;
  disk.Put("E:\\tool.exe", ProgramWith({{48, 32}, {128, 32}}));
  TPEReader reader;
  ASSERT_TRUE(reader.Load(disk, "E:\\tool.exe"));
  ASSERT_TRUE(ChooseLargeIcon(reader).has_value());
  disk.failFrom = 0;
  EXPECT_FALSE(ExtractLargeIcon(reader, disk, "E:\\tool.exe"));
  EXPECT_FALSE(ExtractSmallIcon(reader, disk, "E:\\tool.exe"));
  EXPECT_TRUE(disk.written.empty());
}

TEST(IconExtractionTest, NamesAndExtensions) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"C:\\Tools\\app.exe", "app.exe", ".exe"},
      {"D:plan.DOC", "plan.DOC", ".doc"},
      {"C:\\", "", ""},
      {"C:\\dir.d\\file", "file", ""},  // a dot before the last separator is no extension
      {"C:\\a\\trailing.", "trailing.", "."},
      {"C:\\x/../../evil.exe", "evil.exe", ".exe"},  // never a way out of the cache folder
  };
  for (const auto& [path, fileName, extension] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(FileNameOf(path), fileName);
    EXPECT_EQ(LowerExtension(path), extension);
    EXPECT_EQ(IconCachePath(kDir, path), kCache + fileName + ".ico");
  }
}

// By the exact file name, whatever the folder; not a copy of the list of names.
TEST(IconExtractionTest, RecognisesOfficeIconContainersExactly) {
  for (const char* path : {"C:\\Windows\\Installer\\{90110804}\\wordicon.exe", "misc.exe"})
    EXPECT_TRUE(IsOfficeIconContainer(path)) << path;
  for (const char* path : {"C:\\x\\WORDICON.EXE", "C:\\x\\xmisc.exe", "C:\\x\\misc.exe.bak",
                           "C:\\misc.exe\\other.exe", "C:\\x\\misc", ""})
    EXPECT_FALSE(IsOfficeIconContainer(path)) << path;
}

}  // namespace
}  // namespace qv::catalogue
