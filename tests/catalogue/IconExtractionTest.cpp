// Choosing, writing and caching item pictures: the image rules on programs
// linked from known icons (PE32 and PE32+) and on Wine's programs, the bytes
// of the cache files, and the classification of dropped paths.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "catalogue/IcoFile.h"
#include "catalogue/IconCache.h"
#include "catalogue/IconExtraction.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/catalogue/IcoWriter.h"
#include "tests/catalogue/PeBuilder.h"
#include "tests/catalogue/PeSamples.h"

namespace qv::catalogue {
namespace {

using test::Bytes;
using test::DataOf;
using test::MemoryDisk;

const std::string kDir = test::MemoryDisk::kProgramDir;
const std::string kCache = kDir + "Icon\\";

// ---- a shell in memory ------------------------------------------------------

// A flat 32 x 32 icon stands for every file type the shell knows.
std::string ShellTypeIcon() {
  test::DibSpec s;
  s.width = s.height = 32;
  s.pixels.assign(32 * 32, 0xFF3060C0u);
  return test::IcoFile({{test::DibImage(s), 32, 32}});
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

// ---- programs made here -----------------------------------------------------

struct Image {
  int side;
  int bits;
};

std::string DibOf(const Image& image, std::uint32_t tint) {
  test::DibSpec s;
  s.width = s.height = image.side;
  s.bitCount = image.bits;
  for (int i = 0; i < image.side * image.side; ++i)
    s.pixels.push_back(static_cast<std::uint32_t>((i % 7 == 0 ? 0x80u : 0xFFu) << 24) | tint);
  if (image.bits <= 8) {  // every pixel the tint, from a two-colour palette
    s.palette = {0x000000, tint};
    s.pixels.assign(s.pixels.size(), 1);
  }
  return test::DibImage(s);
}

std::string ProgramWith(const std::vector<Image>& images, bool plus = true) {
  std::vector<test::PeResource> resources;
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

// ---- the image rules on the test programs -----------------------------------

// Index in the reader's list of the image linked from .ico entry i.
std::optional<std::size_t> ItemOfIcoImage(const TPEReader& reader, std::optional<int> icoIndex) {
  if (!icoIndex) return std::nullopt;
  for (std::size_t i = 0; i < reader.Count(); ++i)
    if (reader.Item(i).typeId == kRtIcon && reader.Item(i).name == std::to_string(*icoIndex + 1)) return i;
  ADD_FAILURE() << "no RT_ICON for image " << *icoIndex;
  return std::nullopt;
}

TEST(IconExtractionTest, ChoosesTheImageTheRulesName) {
  const auto archs = test::SampleArchs();
  if (archs.empty()) GTEST_SKIP() << "no MinGW toolchain";
  struct Case {
    const char* program;
    std::optional<int> large;  // index in the program's .ico
    std::optional<int> small;
  };
  const Case cases[] = {
      {"large128", 4, 2},            // 128 before 256 keeps 128; the first strictly larger 128 wins
      {"huge256", 3, 2},             // a larger 256 replaces the first; a later 128 never does
      {"small48", std::nullopt, 3},  // the 32-bit 48 over the 24-bit one
      {"equal48", std::nullopt, 3},  // of equal sizes the later
      {"only24", std::nullopt, std::nullopt},
      {"beyond", std::nullopt, std::nullopt},  // the 12th and the 17th image are never looked at
      {"within", 15, 10},                      // the 11th and the 16th are
      {"pngonly", std::nullopt, 2},            // a PNG-stored 256 is not large
  };
  for (const std::string& arch : archs) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.program) + "-" + arch);
      const std::string file = test::MustRead(test::SampleProgram(c.program, arch));
      TPEReader reader;
      reader.Load(Bytes(file));
      EXPECT_EQ(ChooseLargeIcon(reader), ItemOfIcoImage(reader, c.large));
      EXPECT_EQ(ChooseSmallIcon(reader), ItemOfIcoImage(reader, c.small));
    }
  }
}

TEST(IconExtractionTest, CacheFilesHoldTheChosenImageByteForByte) {
  const auto archs = test::SampleArchs();
  if (archs.empty()) GTEST_SKIP() << "no MinGW toolchain";
  struct Case {
    const char* program;
    int icoIndex;
    int widthByte;
    IconSource source;
  };
  const Case cases[] = {{"large128", 4, 128, IconSource::LargeImage},
                        {"huge256", 3, 0, IconSource::LargeImage},
                        {"small48", 3, 48, IconSource::SmallImage}};
  for (const std::string& arch : archs) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.program) + "-" + arch);
      MemoryDisk disk;
      FakeShell shell;
      const std::string path = "C:\\Tools\\" + std::string(c.program) + ".exe";
      disk.Put(path, test::MustRead(test::SampleProgram(c.program, arch)));
      const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, path);
      EXPECT_EQ(outcome.source, c.source);
      const std::string image = test::IcoImageBytes(test::MustRead(test::SampleIcons(c.program)), c.icoIndex);
      const std::string cached = disk.Get(outcome.iconPath);
      EXPECT_EQ(cached, ExpectedIco(image, c.widthByte, 32));
      const auto drawn = ReadIcoForDrawing(cached, 48);
      ASSERT_TRUE(drawn.has_value());
      EXPECT_EQ(drawn->width, c.widthByte == 0 ? 256 : c.widthByte);
      EXPECT_TRUE(shell.iconRequests.empty());
    }
  }
}

// The size rules of the small search at their edges: 9640 bytes is the
// largest taken, 7336 alone is passed over, and only width 48 counts.
TEST(IconExtractionTest, SmallImageSizeEdges) {
  struct Case {
    std::vector<std::pair<int, std::uint32_t>> images;  // width, data size
    std::optional<std::size_t> chosen;
  };
  const Case cases[] = {
      {{{48, 9640}, {48, 9641}}, 0},
      {{{48, 9641}}, std::nullopt},
      {{{48, 7335}, {48, 7336}}, 0},
      {{{48, 7336}, {48, 7337}}, 1},
      {{{48, 3752}, {48, 3752}}, 1},  // of equal sizes the later
      {{{48, 9640}, {48, 3752}}, 0},  // a smaller later one does not replace
      {{{47, 9640}, {49, 9640}, {96, 9640}}, std::nullopt},
  };
  for (const Case& c : cases) {
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
  struct Case {
    Image image;
    int pixelWidth;
    std::vector<unsigned char> header;
  };
  const Case cases[] = {
      // 48 x 48, 32 bits: 40 + 9216 + 384 = 9640 = 0x25A8 bytes.
      {{48, 32}, 48, {0, 0, 1, 0, 1, 0, 48, 48, 0, 0, 1, 0, 32, 0, 0xA8, 0x25, 0, 0, 22, 0, 0, 0}},
      // 128 x 128, 8 bits: 40 + 1024 + 16384 + 2048 = 19496 = 0x4C28 bytes.
      {{128, 8}, 128, {0, 0, 1, 0, 1, 0, 128, 128, 0, 0, 1, 0, 8, 0, 0x28, 0x4C, 0, 0, 22, 0, 0, 0}},
      // 256 x 256, 32 bits: 40 + 262144 + 8192 = 270376 = 0x42028 bytes; the width byte is 0.
      {{256, 32}, 256, {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0, 0x28, 0x20, 0x04, 0, 22, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pixelWidth);
    const std::string image = DibOf(c.image, 0x406080);
    const std::string ico = WriteSingleIconFile(Bytes(image), c.pixelWidth);
    ASSERT_EQ(ico.size(), 22 + image.size());
    EXPECT_EQ(std::vector<unsigned char>(ico.begin(), ico.begin() + 22), c.header);
    EXPECT_EQ(ico.substr(22), image);
  }
  // Too short to hold a bit count: the field stays 0, the bytes still follow.
  const std::string stub = "0123456789";
  EXPECT_EQ(WriteSingleIconFile(Bytes(stub), 48), ExpectedIco(stub, 48, 0));
}

// ---- Wine's programs --------------------------------------------------------

TEST(IconExtractionTest, WineProgramsGiveTheirOwnOrTheShellsPicture) {
  struct Case {
    const char* file;
    IconSource source;
  };
  const Case cases[] = {
      {"notepad.exe", IconSource::SmallImage},  // 256 only as PNG, a 32-bit 48 among the first 11
      {"winecfg.exe", IconSource::SmallImage},
      {"winemine.exe", IconSource::SmallImage},
      {"explorer.exe", IconSource::ShellIcon},  // no RT_ICON at all
  };
  int checked = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto bytes = test::ReadFileBytes(test::WineProgram(c.file));
    if (!bytes) continue;
    ++checked;
    MemoryDisk disk;
    FakeShell shell;
    const std::string path = std::string("C:\\Program Files\\Wine\\") + c.file;
    disk.Put(path, *bytes);
    const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, path);
    EXPECT_EQ(outcome.source, c.source);
    EXPECT_EQ(outcome.iconPath, kCache + c.file + ".ico");
    if (c.source != IconSource::SmallImage) continue;
    TPEReader reader;
    reader.Load(Bytes(*bytes));
    const auto chosen = ChooseSmallIcon(reader);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(reader.Item(*chosen).size, kSmallIconMaxBytes);
    EXPECT_EQ(disk.Get(outcome.iconPath), ExpectedIco(DataOf(reader.Item(*chosen)), 48, 32));
  }
  // Its 48-pixel images come after eleven others: the small search never sees them.
  if (const auto dialogs = test::ReadFileBytes(test::WineProgram("comdlg32.dll"))) {
    TPEReader reader;
    reader.Load(Bytes(*dialogs));
    EXPECT_FALSE(ChooseLargeIcon(reader).has_value());
    EXPECT_FALSE(ChooseSmallIcon(reader).has_value());
  }
  if (checked == 0) GTEST_SKIP() << "Wine's programs are not installed";
}

// ---- classifying dropped paths ----------------------------------------------

TEST(IconExtractionTest, ClassifiesDroppedPaths) {
  const std::string large = ProgramWith({{32, 32}, {128, 32}});
  const std::string small = ProgramWith({{16, 32}, {48, 32}}, false);
  std::string damagedLarge = ProgramWith({{48, 32}, {128, 32}});
  {  // the 128 claims a compression no icon uses: it cannot be drawn
    TPEReader reader;
    reader.Load(Bytes(damagedLarge));
    const std::size_t at = static_cast<std::size_t>(reader.Item(1).data - Bytes(damagedLarge).data());
    test::PutAt(damagedLarge, at + 16, 3, 4);
  }
  struct Case {
    const char* what;
    std::string path;
    std::map<std::string, std::string> disk;
    std::map<std::string, std::optional<std::string>> links;
    std::string target;
    std::string iconPath;
    IconSource source;
    std::vector<std::string> shellRequests;
    bool noExtension = false;
    bool abandoned = false;
  };
  const std::string myFiles = kDir + "Icon\\SysTool\\MyFiles.png";
  // clang-format off
  const Case cases[] = {
      {"a program", "C:\\Tools\\app.exe", {{"C:\\Tools\\app.exe", large}}, {},
       "C:\\Tools\\app.exe", kCache + "app.exe.ico", IconSource::LargeImage, {}},
      {"an upper-case extension", "C:\\TOOLS\\APP.EXE", {{"C:\\TOOLS\\APP.EXE", small}}, {},
       "C:\\TOOLS\\APP.EXE", kCache + "APP.EXE.ico", IconSource::SmallImage, {}},
      {"a document", "D:\\Docs\\plan.doc", {}, {},
       "D:\\Docs\\plan.doc", kCache + "plan.doc.ico", IconSource::ShellIcon, {"D:\\Docs\\plan.doc"}},
      {"a library: only programs give their own images", "C:\\Windows\\tools.dll",
       {{"C:\\Windows\\tools.dll", large}}, {},
       "C:\\Windows\\tools.dll", kCache + "tools.dll.ico", IconSource::ShellIcon, {"C:\\Windows\\tools.dll"}},
      {"a folder", "C:\\Games", {}, {}, "C:\\Games", myFiles, IconSource::FolderPicture, {}, true},
      {"a drive", "C:\\", {}, {}, "C:\\", myFiles, IconSource::FolderPicture, {}, true},
      {"a file without extension", "C:\\src\\Makefile", {}, {},
       "C:\\src\\Makefile", myFiles, IconSource::FolderPicture, {}, true},
      {"a folder with a dot", "C:\\Data\\my.folder", {}, {},
       "C:\\Data\\my.folder", kCache + "my.folder.ico", IconSource::ShellIcon, {"C:\\Data\\my.folder"}},
      {"a shortcut to a program", "C:\\Links\\My App.lnk", {{"C:\\Apps\\tool.exe", large}},
       {{"C:\\Links\\My App.lnk", "C:\\Apps\\tool.exe"}},
       "C:\\Apps\\tool.exe", kCache + "tool.exe.ico", IconSource::LargeImage, {}},
      {"a shortcut to a document", "C:\\Links\\Readme.LNK", {}, {{"C:\\Links\\Readme.LNK", "C:\\Docs\\readme.txt"}},
       "C:\\Docs\\readme.txt", kCache + "readme.txt.ico", IconSource::ShellIcon, {"C:\\Docs\\readme.txt"}},
      {"a shortcut to a folder", "C:\\Links\\Games.lnk", {}, {{"C:\\Links\\Games.lnk", "C:\\Games"}},
       "C:\\Games", kCache + "Games.ico", IconSource::ShellIcon, {"C:\\Games"}},
      {"a shortcut to no file", "C:\\Links\\Printer.lnk", {}, {{"C:\\Links\\Printer.lnk", ""}},
       "", "", IconSource::Abandoned, {}, false, true},
      {"a shortcut that cannot be loaded", "C:\\Links\\broken.lnk", {}, {},
       "", "", IconSource::Abandoned, {}, false, true},
      {"only a 24-bit 48", "C:\\Tools\\old.exe", {{"C:\\Tools\\old.exe", ProgramWith({{16, 32}, {32, 32}, {48, 24}})}},
       {}, "C:\\Tools\\old.exe", kCache + "old.exe.ico", IconSource::ShellIcon, {"C:\\Tools\\old.exe"}},
      {"a program that is not there", "C:\\Gone\\gone.exe", {}, {},
       "C:\\Gone\\gone.exe", kCache + "gone.exe.ico", IconSource::ShellIcon, {"C:\\Gone\\gone.exe"}},
      {"a program of garbage", "C:\\Tools\\junk.exe", {{"C:\\Tools\\junk.exe", "MZ" + std::string(5000, '\xEE')}},
       {}, "C:\\Tools\\junk.exe", kCache + "junk.exe.ico", IconSource::ShellIcon, {"C:\\Tools\\junk.exe"}},
      {"a truncated program", "C:\\Tools\\cut.exe", {{"C:\\Tools\\cut.exe", large.substr(0, large.size() / 2)}}, {},
       "C:\\Tools\\cut.exe", kCache + "cut.exe.ico", IconSource::ShellIcon, {"C:\\Tools\\cut.exe"}},
      {"a large image that cannot be drawn", "C:\\Tools\\odd.exe", {{"C:\\Tools\\odd.exe", damagedLarge}}, {},
       "C:\\Tools\\odd.exe", kCache + "odd.exe.ico", IconSource::SmallImage, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    FakeShell shell;
    for (const auto& [path, bytes] : c.disk) disk.Put(path, bytes);
    shell.links = c.links;
    const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, c.path);
    EXPECT_EQ(outcome.abandoned, c.abandoned);
    EXPECT_EQ(outcome.target, c.target);
    EXPECT_EQ(outcome.iconPath, c.iconPath);
    EXPECT_EQ(outcome.noExtension, c.noExtension);
    EXPECT_EQ(outcome.source, c.source);
    EXPECT_EQ(shell.iconRequests, c.shellRequests);
    const bool cached = c.source != IconSource::FolderPicture && c.source != IconSource::Abandoned;
    EXPECT_EQ(disk.written, cached ? std::vector<std::string>{c.iconPath} : std::vector<std::string>{});
    if (cached) {
      EXPECT_TRUE(ReadIcoForDrawing(disk.Get(c.iconPath)).has_value());
    }
    EXPECT_EQ(disk.liveMappings, 0) << "the program file stays mapped";
  }
}

TEST(IconExtractionTest, NothingIsCachedWhenThereIsNothingToWrite) {
  struct Case {
    const char* what;
    std::optional<std::string> shellIcon;
    bool refuseWrites;
  };
  const Case cases[] = {{"the shell has no icon", std::nullopt, false},
                        {"the shell's answer is no icon file", std::string(766, '\x7F'), false},
                        {"the disk refuses", ShellTypeIcon(), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    FakeShell shell;
    shell.icon = c.shellIcon;
    disk.refuseWrites = c.refuseWrites;
    disk.Put("C:\\Tools\\app.exe", ProgramWith({{16, 32}}));  // nothing of its own to show
    for (const std::string path : {"C:\\Tools\\app.exe", "C:\\Docs\\a.txt"}) {
      const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, path);
      EXPECT_FALSE(outcome.abandoned);
      EXPECT_EQ(outcome.source, IconSource::NotCached);
      EXPECT_EQ(outcome.iconPath, IconCachePath(kDir, path));  // drawn as missing later
    }
    EXPECT_TRUE(disk.written.empty());
  }
}

TEST(IconExtractionTest, OneCacheFilePerFileName) {
  MemoryDisk disk;
  FakeShell shell;
  const std::string first = ProgramWith({{128, 32}});
  disk.Put("C:\\A\\setup.exe", first);
  disk.Put("D:\\B\\setup.exe", ProgramWith({{48, 32}}));
  EXPECT_EQ(ResolveAndCacheIcon(disk, shell, "C:\\A\\setup.exe").source, IconSource::LargeImage);
  const std::string cached = disk.Get(kCache + "setup.exe.ico");
  const CacheOutcome second = ResolveAndCacheIcon(disk, shell, "D:\\B\\setup.exe");
  EXPECT_EQ(second.source, IconSource::AlreadyCached);
  EXPECT_EQ(second.iconPath, kCache + "setup.exe.ico");
  EXPECT_EQ(disk.Get(kCache + "setup.exe.ico"), cached);  // the first program's picture
  EXPECT_EQ(disk.mapped, std::vector<std::string>{"C:\\A\\setup.exe"});
  // A cached document type is not asked of the shell again.
  disk.Put(kCache + "plan.doc.ico", ShellTypeIcon());
  EXPECT_EQ(ResolveAndCacheIcon(disk, shell, "E:\\plan.doc").source, IconSource::AlreadyCached);
  EXPECT_TRUE(shell.iconRequests.empty());
  EXPECT_EQ(disk.written.size(), 1u);
}

TEST(IconExtractionTest, RemakesAMissingCacheFolder) {
  MemoryDisk disk;
  FakeShell shell;
  disk.folders.clear();
  EXPECT_EQ(ResolveAndCacheIcon(disk, shell, "C:\\Docs\\a.txt").source, IconSource::ShellIcon);
  EXPECT_TRUE(disk.folders.count(kDir + "Icon"));
  EXPECT_TRUE(disk.FileExists(kCache + "a.txt.ico"));
}

TEST(IconExtractionTest, AnyFileNameWorks) {
  const std::string longName(200, 'n');
  struct Case {
    std::string path;
    std::string cacheFile;
  };
  const Case cases[] = {
      {"C:\\\xE7\x94\xA8\xE6\x88\xB7\\\xC3\x9Cn\xC3\xAF Folder\\\xE6\x88\x91\xE7\x9A\x84 \xE7\xA8\x8B\xE5\xBA\x8F.exe",
       "\xE6\x88\x91\xE7\x9A\x84 \xE7\xA8\x8B\xE5\xBA\x8F.exe.ico"},
      {"C:\\Program Files (x86)\\My Tool\\my tool.exe", "my tool.exe.ico"},
      {"C:\\Tools\\" + longName + ".exe", longName + ".exe.ico"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    MemoryDisk disk;
    FakeShell shell;
    disk.Put(c.path, ProgramWith({{48, 32}}));
    const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, c.path);
    EXPECT_EQ(outcome.source, IconSource::SmallImage);
    EXPECT_EQ(outcome.iconPath, kCache + c.cacheFile);
    EXPECT_TRUE(disk.FileExists(kCache + c.cacheFile));
  }
}

// The same through the headless desktop: a real file mapped with mmap, the
// cache folder made on a real disk, the file replaced atomically.
TEST(IconExtractionTest, CachesOnARealDisk) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-icon-cache-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  {
    headless::HeadlessDesktop desktop(root, QV_ART_DIR);
    headless::HeadlessProcess process(desktop);
    std::filesystem::create_directories(desktop.RealPath(kDir));
    desktop.ShellIcons()[".txt"] = ShellTypeIcon();
    desktop.Shortcuts()["C:\\Links\\Notes.lnk"] = "C:\\Docs\\notes.txt";
    const std::string program = "C:\\Program Files\\\xE5\xB7\xA5\xE5\x85\xB7\\my tool.exe";
    std::filesystem::create_directories(desktop.RealPath(program).parent_path());
    std::ofstream(desktop.RealPath(program), std::ios::binary) << ProgramWith({{16, 32}, {48, 32}});

    const CacheOutcome fromProgram = ResolveAndCacheIcon(process.AsPlatform(), program);
    EXPECT_EQ(fromProgram.source, IconSource::SmallImage);
    EXPECT_EQ(test::ReadFileBytes(desktop.RealPath(fromProgram.iconPath).string()),
              ExpectedIco(DibOf({48, 32}, 0x102030u * 2), 48, 32));
    const CacheOutcome fromLink = ResolveAndCacheIcon(process.AsPlatform(), "C:\\Links\\Notes.lnk");
    EXPECT_EQ(fromLink.source, IconSource::ShellIcon);
    EXPECT_EQ(test::ReadFileBytes(desktop.RealPath(fromLink.iconPath).string()), ShellTypeIcon());
    EXPECT_EQ(desktop.ShellIconRequests(), std::vector<std::string>{"C:\\Docs\\notes.txt"});

    std::set<std::string> cacheFolder;  // nothing but the two pictures: no temporary left behind
    for (const auto& entry : std::filesystem::directory_iterator(desktop.RealPath(kCache)))
      cacheFolder.insert(entry.path().filename().string());
    EXPECT_EQ(cacheFolder, (std::set<std::string>{"my tool.exe.ico", "notes.txt.ico"}));
  }
  std::filesystem::remove_all(root);
}

TEST(IconExtractionTest, NamesAndExtensions) {
  struct Case {
    const char* path;
    const char* fileName;
    const char* extension;
  };
  const Case cases[] = {
      {"C:\\Tools\\app.exe", "app.exe", ".exe"},
      {"D:plan.DOC", "plan.DOC", ".doc"},
      {"C:\\", "", ""},
      {"C:\\Games", "Games", ""},
      {"C:\\dir.d\\file", "file", ""},  // a dot before the last separator is no extension
      {"C:\\a\\archive.tar.GZ", "archive.tar.GZ", ".gz"},
      {"C:\\a\\.profile", ".profile", ".profile"},
      {"C:\\a\\trailing.", "trailing.", "."},
      {"\\\\server\\share\\x.lnk", "x.lnk", ".lnk"},
      {"C:\\x/../../evil.exe", "evil.exe", ".exe"},  // never a way out of the cache folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.fileName);
    EXPECT_EQ(LowerExtension(c.path), c.extension);
    EXPECT_EQ(IconCachePath(kDir, c.path), kCache + c.fileName + ".ico");
  }
}

TEST(IconExtractionTest, RecognisesOfficeIconContainersExactly) {
  const char* containers[] = {"wordicon.exe", "xlicons.exe", "pptico.exe",  "accicons.exe",
                              "outicon.exe",  "pubs.exe",    "inficon.exe", "misc.exe"};
  for (const char* name : containers) {
    EXPECT_TRUE(IsOfficeIconContainer(std::string("C:\\Windows\\Installer\\{90110804}\\") + name)) << name;
    EXPECT_TRUE(IsOfficeIconContainer(name)) << name;
  }
  const char* others[] = {"C:\\x\\WORDICON.EXE",
                          "C:\\x\\Misc.exe",
                          "C:\\x\\xmisc.exe",
                          "C:\\x\\misc.exe.bak",
                          "C:\\misc.exe\\other.exe",
                          "C:\\x\\misc",
                          ""};
  for (const char* path : others) EXPECT_FALSE(IsOfficeIconContainer(path)) << path;
}

}  // namespace
}  // namespace qv::catalogue
