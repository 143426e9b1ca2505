// The program-file reader: the resource lists of real programs (linked here
// from known icons, and Wine's own), names and stored order, and files damaged
// in every structure the walk follows.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/IcoFile.h"
#include "catalogue/IconExtraction.h"
#include "catalogue/PeReader.h"
#include "tests/catalogue/PeBuilder.h"
#include "tests/catalogue/PeSamples.h"

namespace qv::catalogue {
namespace {

using test::BuildPe;
using test::BuiltPe;
using test::Bytes;
using test::DataOf;
using test::GetAt;
using test::PeOptions;
using test::PeResource;
using test::PutAt;

// Every byte handed out lies inside the view.
void ExpectInside(const TPEReader& reader, std::span<const unsigned char> view) {
  for (const TResourceItem& item : reader.Items()) {
    if (item.data == nullptr) continue;
    ASSERT_GE(item.data, view.data());
    ASSERT_LE(item.data + item.size, view.data() + view.size());
  }
}

// ---- real programs ----------------------------------------------------------

TEST(PeReaderTest, ListsTheTestProgramsInStoredOrder) {
  const auto archs = test::SampleArchs();
  if (archs.empty()) GTEST_SKIP() << "no MinGW toolchain";
  const std::string icons = test::MustRead(test::SampleIcons("large128"));
  for (const std::string& arch : archs) {
    SCOPED_TRACE(arch);
    const std::string file = test::MustRead(test::SampleProgram("large128", arch));
    TPEReader reader;
    reader.Load(Bytes(file));
    EXPECT_EQ(reader.Format(), arch == "i686" ? PeFormat::Pe32 : PeFormat::Pe32Plus);

    // Named types come before numbered ones, numbers ascending: GREETING,
    // RT_ICON (3), RT_RCDATA (10), RT_GROUP_ICON (14).
    std::vector<std::string> listed;
    for (const TResourceItem& item : reader.Items())
      listed.push_back(std::to_string(item.typeId) + "|" + item.typeName + "|" + item.name + "|" + item.language);
    const std::vector<std::string> expected = {"0|GREETING|7|0", "3|3|1|0",          "3|3|2|0",  "3|3|3|0",
                                               "3|3|4|0",        "3|3|5|0",          "3|3|6|0",  "3|3|7|0",
                                               "3|3|8|0",        "10|10|NOTES|1031", "14|14|1|0"};
    EXPECT_EQ(listed, expected);
    ASSERT_EQ(reader.Count(), expected.size());
    EXPECT_EQ(DataOf(reader.Item(0)), "hello");
    EXPECT_EQ(DataOf(reader.Item(9)), "quorvel");
    // Each RT_ICON holds the image of the .ico it was linked from, unchanged.
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(DataOf(reader.Item(1 + i)), test::IcoImageBytes(icons, i)) << i;
  }
}

// Wine's programs were built by other hands: each icon group must find its
// images under their IDs, of the size it records, with the width it records.
TEST(PeReaderTest, WineProgramsAgreeWithTheirOwnIconGroups) {
  const std::vector<std::string> programs = {"notepad.exe", "winecfg.exe",  "regedit.exe", "taskmgr.exe",
                                             "shell32.dll", "comdlg32.dll", "user32.dll"};
  int checked = 0;
  for (const std::string& name : programs) {
    SCOPED_TRACE(name);
    const auto file = test::ReadFileBytes(test::WineProgram(name));
    if (!file) continue;
    TPEReader reader;
    reader.Load(Bytes(*file));
    EXPECT_EQ(reader.Format(), PeFormat::Pe32Plus);
    std::multimap<std::string, const TResourceItem*> icons;
    for (const TResourceItem& item : reader.Items()) {
      EXPECT_NE(item.data, nullptr) << item.typeName << "/" << item.name;
      if (item.typeId == kRtIcon) icons.emplace(item.name, &item);
    }
    int groups = 0;
    for (const TResourceItem& group : reader.Items()) {
      if (group.typeId != 14) continue;
      ++groups;
      const std::string g = DataOf(group);
      ASSERT_GE(g.size(), 6u);
      const std::size_t count = GetAt(g, 4, 2);
      ASSERT_GE(g.size(), 6 + 14 * count);
      for (std::size_t e = 0; e < count; ++e) {
        const std::size_t at = 6 + 14 * e;
        const std::string id = std::to_string(GetAt(g, at + 12, 2));
        const auto range = icons.equal_range(id);
        ASSERT_NE(range.first, range.second) << "group " << group.name << " names a missing image " << id;
        const TResourceItem& image = *range.first->second;
        EXPECT_EQ(image.size, GetAt(g, at + 8, 4)) << id;
        const std::string data = DataOf(image);
        if (data.rfind("\x89PNG", 0) == 0) continue;
        // A width byte of 0 stands for 256 or more in either direction
        // (winecfg's logo is 194 x 313).
        const auto width = static_cast<std::int32_t>(GetAt(data, 4, 4));
        const auto height = static_cast<std::int32_t>(GetAt(data, 8, 4)) / 2;
        if (GetAt(g, at, 1) == 0) {
          EXPECT_GE(std::max(width, height), 256) << id;
        } else {
          EXPECT_EQ(IconImageWidth(image), static_cast<std::int32_t>(GetAt(g, at, 1))) << id;
        }
      }
    }
    EXPECT_GT(groups, 0);
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "Wine's programs are not installed";
}

// ---- names, languages and order ---------------------------------------------

TEST(PeReaderTest, KeepsStoredOrderNamesLanguagesAndCodePages) {
  std::vector<PeResource> resources(5);
  resources[0] = {0, u"PNG", 0, u"ROUNDINTERFACE", 2052, "png bytes", 936};
  resources[1] = {3, u"", 2, u"", 1033, "second", 0};
  resources[2] = {3, u"", 1, u"", 1033, "first", 0};
  resources[3] = {3, u"", 1, u"", 1031, "first, German", 1252};
  resources[4] = {10, u"", 0, u"\u540D\u524D \U0001F600", 0, "", 0};
  for (const bool plus : {false, true}) {
    SCOPED_TRACE(plus ? "PE32+" : "PE32");
    const BuiltPe pe = BuildPe(resources, PeOptions{plus, 0});
    TPEReader reader;
    reader.Load(Bytes(pe.bytes));
    EXPECT_EQ(reader.Format(), plus ? PeFormat::Pe32Plus : PeFormat::Pe32);
    ASSERT_EQ(reader.Count(), 5u);
    struct Expected {
      std::uint32_t typeId;
      const char* typeName;
      const char* name;
      const char* language;
      std::uint32_t codePage;
      const char* data;
    };
    const Expected expected[] = {{0, "PNG", "ROUNDINTERFACE", "2052", 936, "png bytes"},
                                 {3, "3", "2", "1033", 0, "second"},
                                 {3, "3", "1", "1033", 0, "first"},
                                 {3, "3", "1", "1031", 1252, "first, German"},
                                 {10, "10", "\xE5\x90\x8D\xE5\x89\x8D \xF0\x9F\x98\x80", "0", 0, ""}};
    for (std::size_t i = 0; i < 5; ++i) {
      const TResourceItem& item = reader.Item(i);
      EXPECT_EQ(item.typeId, expected[i].typeId) << i;
      EXPECT_EQ(item.typeName, expected[i].typeName) << i;
      EXPECT_EQ(item.name, expected[i].name) << i;
      EXPECT_EQ(item.language, expected[i].language) << i;
      EXPECT_EQ(item.codePage, expected[i].codePage) << i;
      EXPECT_EQ(DataOf(item), expected[i].data) << i;
      EXPECT_EQ(item.rva, GetAt(pe.bytes, pe.dataEntries[i], 4)) << i;
    }
  }
}

TEST(PeReaderTest, ConvertsUtf16NamesToUtf8) {
  struct Case {
    std::u16string in;
    std::string out;
  };
  const Case cases[] = {
      {u"ICON", "ICON"},
      {u"\u00FCber",
       "\xC3\xBC"
       "ber"},                                                 // two bytes
      {u"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},           // three bytes
      {u"\U0001F600", "\xF0\x9F\x98\x80"},                     // a surrogate pair, four bytes
      {std::u16string(1, u'\xD83D') + u"x", "\xEF\xBF\xBDx"},  // a high surrogate without its pair
      {std::u16string(1, u'\xDE00'), "\xEF\xBF\xBD"},          // a low surrogate alone
      {u"a" + std::u16string(1, u'\xD83D'), "a\xEF\xBF\xBD"},  // a high surrogate at the end
  };
  for (const Case& c : cases) {
    const std::vector<std::uint16_t> units(c.in.begin(), c.in.end());
    EXPECT_EQ(Utf16ToUtf8(units), c.out);
  }
}

// ---- damaged files ----------------------------------------------------------

BuiltPe ThreeResources(bool plus) {
  std::vector<PeResource> resources(3);
  resources[0] = {3, u"", 1, u"", 1033, std::string(64, 'a'), 0};
  resources[1] = {3, u"", 2, u"", 1033, std::string(48, 'b'), 0};
  resources[2] = {10, u"", 0, u"NOTES", 0, "notes", 0};
  return BuildPe(resources, PeOptions{plus, 0});
}

std::size_t TypeDirectory(const BuiltPe& pe, std::size_t type) {
  return pe.resourceDirectory + (GetAt(pe.bytes, pe.typeEntries[type] + 4, 4) & 0x7FFFFFFF);
}

TEST(PeReaderTest, DamagedFilesGiveWhatCanBeReadSafely) {
  using Damage = std::function<void(BuiltPe&)>;
  struct Case {
    const char* what;
    Damage damage;
    std::vector<const char*> items;  // the names listed, in order
    int withoutData = -1;            // index of a listed item whose data is unreadable
  };
  const std::size_t kOptionalSizeField = 0x40 + 4 + 16;
  const Case cases[] = {
      {"intact", [](BuiltPe&) {}, {"1", "2", "NOTES"}},
      {"no MZ", [](BuiltPe& pe) { pe.bytes[1] = 'X'; }, {}},
      {"NT headers far past the end", [](BuiltPe& pe) { PutAt(pe.bytes, 0x3C, 0xFFFFFFF0u, 4); }, {}},
      {"NT headers in the last bytes",
       [](BuiltPe& pe) { PutAt(pe.bytes, 0x3C, static_cast<std::uint32_t>(pe.bytes.size() - 6), 4); },
       {}},
      {"no PE signature", [](BuiltPe& pe) { pe.bytes[pe.ntHeaders + 1] = 'X'; }, {}},
      {"two data directories only",
       [](BuiltPe& pe) {
         const bool plus = GetAt(pe.bytes, pe.optionalHeader, 2) == 0x20B;
         PutAt(pe.bytes, pe.optionalHeader + (plus ? 108 : 92), 2, 4);
       },
       {}},
      {"optional header too short to hold the resource entry",
       [&](BuiltPe& pe) { PutAt(pe.bytes, kOptionalSizeField, 96, 2); },
       {}},
      {"no resource directory",
       [](BuiltPe& pe) {
         const bool plus = GetAt(pe.bytes, pe.optionalHeader, 2) == 0x20B;
         PutAt(pe.bytes, pe.optionalHeader + (plus ? 112 : 96) + 16, 0, 4);
       },
       {}},
      {"resource directory outside every section",
       [](BuiltPe& pe) {
         const bool plus = GetAt(pe.bytes, pe.optionalHeader, 2) == 0x20B;
         PutAt(pe.bytes, pe.optionalHeader + (plus ? 112 : 96) + 16, 0x00900000, 4);
       },
       {}},
      {"section raw data past the end", [](BuiltPe& pe) { PutAt(pe.bytes, pe.sectionTable + 20, 0x7FFFFFF0, 4); }, {}},
      {"no sections", [](BuiltPe& pe) { PutAt(pe.bytes, 0x40 + 4 + 2, 0, 2); }, {}},
      {"type entry loops back to the root",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.typeEntries[0] + 4, 0x80000000u, 4); },
       {"NOTES"}},
      {"name entry loops back to its type directory",
       [](BuiltPe& pe) {
         const std::size_t dir = TypeDirectory(pe, 0) - pe.resourceDirectory;
         PutAt(pe.bytes, pe.nameEntries[0] + 4, 0x80000000u | static_cast<std::uint32_t>(dir), 4);
       },
       {"2", "NOTES"}},
      {"a numbered entry counted as named",
       [](BuiltPe& pe) {
         PutAt(pe.bytes, pe.resourceDirectory + 12, 1, 2);
         PutAt(pe.bytes, pe.resourceDirectory + 14, 1, 2);
       },
       {}},
      {"a named entry counted as numbered",
       [](BuiltPe& pe) {
         const std::size_t dir = TypeDirectory(pe, 1);
         PutAt(pe.bytes, dir + 12, 0, 2);
         PutAt(pe.bytes, dir + 14, 1, 2);
       },
       {"1", "2"}},
      {"a numbered entry beyond 16 bits",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.nameEntries[1], 0x10002, 4); },
       {"1", "NOTES"}},
      {"language entry marked as a directory",
       [](BuiltPe& pe) { pe.bytes[pe.leafEntries[0] + 7] = static_cast<char>(0x80); },
       {"2", "NOTES"}},
      {"language entry pointing at another type's names",  // not walked, so not spent for later
       [](BuiltPe& pe) {
         const std::size_t dir = TypeDirectory(pe, 1) - pe.resourceDirectory;
         PutAt(pe.bytes, pe.leafEntries[0] + 4, 0x80000000u | static_cast<std::uint32_t>(dir), 4);
       },
       {"2", "NOTES"}},
      {"name entry pointing straight at data",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.nameEntries[1] + 4, GetAt(pe.bytes, pe.leafEntries[1] + 4, 4), 4); },
       {"1", "NOTES"}},
      {"data entry past the end of the file",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.leafEntries[0] + 4, 0x7FFFFFF0, 4); },
       {"2", "NOTES"}},
      {"data outside every section",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.dataEntries[0], 0x00FFFFFF, 4); },
       {"1", "2", "NOTES"},
       0},
      {"data running past its section",
       [](BuiltPe& pe) { PutAt(pe.bytes, pe.dataEntries[1] + 4, 0x7FFFFFFF, 4); },
       {"1", "2", "NOTES"},
       1},
      {"data past the section's raw bytes, though inside the file",
       [](BuiltPe& pe) {
         PutAt(pe.bytes, pe.sectionTable + 8, 0x100000, 4);
         PutAt(pe.bytes, pe.sectionTable + 16, GetAt(pe.bytes, pe.dataEntries[2], 4) - pe.resourceRva + 2, 4);
       },
       {"1", "2", "NOTES"},
       2},
      {"data starting in the zero-filled tail of its section",
       [](BuiltPe& pe) {
         PutAt(pe.bytes, pe.sectionTable + 8, 0x100000, 4);  // a virtual size far beyond the raw data
         PutAt(pe.bytes, pe.dataEntries[2], pe.resourceRva + 0x80000, 4);
       },
       {"1", "2", "NOTES"},
       2},
  };
  for (const bool plus : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (plus ? ", PE32+" : ", PE32"));
      BuiltPe pe = ThreeResources(plus);
      c.damage(pe);
      TPEReader reader;
      reader.Load(Bytes(pe.bytes));
      std::vector<std::string> names;
      for (const TResourceItem& item : reader.Items()) names.push_back(item.name);
      EXPECT_EQ(names, std::vector<std::string>(c.items.begin(), c.items.end()));
      for (std::size_t i = 0; i < reader.Count(); ++i)
        EXPECT_EQ(reader.Item(i).data == nullptr, static_cast<int>(i) == c.withoutData) << i;
      ExpectInside(reader, Bytes(pe.bytes));
    }
  }
}

TEST(PeReaderTest, CountsAndNamesAreBoundedByTheFile) {
  BuiltPe pe = ThreeResources(true);
  // The name's length says 65535 characters: it stops at the cap or the file's end.
  const std::size_t name = pe.resourceDirectory + (GetAt(pe.bytes, pe.nameEntries[2], 4) & 0x7FFFFFFF);
  PutAt(pe.bytes, name, 0xFFFF, 2);
  // The root claims 65535 numbered entries; the bytes after its two real ones
  // belong to other directories.
  PutAt(pe.bytes, pe.resourceDirectory + 14, 0xFFFF, 2);
  TPEReader reader;
  reader.Load(Bytes(pe.bytes));
  ASSERT_GE(reader.Count(), 3u);
  EXPECT_EQ(reader.Item(0).name, "1");
  EXPECT_EQ(reader.Item(2).name.rfind("NOTES", 0), 0u);
  EXPECT_LE(reader.Item(2).name.size(), 3 * kMaxResourceNameChars);
  ExpectInside(reader, Bytes(pe.bytes));
}

TEST(PeReaderTest, EveryTruncationIsSafe) {
  for (const bool plus : {false, true}) {
    const BuiltPe pe = ThreeResources(plus);
    for (std::size_t length = 0; length <= pe.bytes.size(); ++length) {
      const std::span<const unsigned char> view = Bytes(pe.bytes).first(length);
      TPEReader reader;
      reader.Load(view);
      ExpectInside(reader, view);
      if (length < pe.resourceDirectory) {
        EXPECT_EQ(reader.Count(), 0u) << length;
      }
    }
  }
}

// A room of `bytes` inside the resource section that a test fills by hand.
BuiltPe WithRoom(std::size_t bytes) { return BuildPe({PeResource{10, u"", 1, u"", 0, std::string(bytes, '\0'), 0}}); }

TEST(PeReaderTest, SharedDirectoriesAreWalkedOnce) {
  // 3000 types share one name directory whose 3000 names share one language
  // directory of 3000 leaves: 27 billion paths, 3000 leaves.
  constexpr std::uint32_t n = 3000;
  BuiltPe pe = WithRoom(3 * (16 + 8 * n) + 64);
  const std::size_t base = pe.resourceDirectory;
  const std::uint32_t names = 16 + 8 * n, languages = 2 * names, data = 3 * names;
  for (const std::uint32_t dir : {0u, names, languages}) {
    PutAt(pe.bytes, base + dir + 12, 0, 2);
    PutAt(pe.bytes, base + dir + 14, n, 2);
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint32_t target = dir == 0 ? 0x80000000u | names : dir == names ? 0x80000000u | languages : data;
      PutAt(pe.bytes, base + dir + 16 + 8 * i, i + 1, 4);
      PutAt(pe.bytes, base + dir + 20 + 8 * i, target, 4);
    }
  }
  PutAt(pe.bytes, base + data, pe.resourceRva + data, 4);
  PutAt(pe.bytes, base + data + 4, 16, 4);
  TPEReader reader;
  reader.Load(Bytes(pe.bytes));
  ASSERT_EQ(reader.Count(), n);
  EXPECT_EQ(reader.Item(0).language, "1");
  EXPECT_EQ(reader.Item(n - 1).language, std::to_string(n));
  EXPECT_EQ(reader.Item(n - 1).name, "1");
}

TEST(PeReaderTest, TheListIsCapped) {
  constexpr std::uint32_t n = 2 * 0xFFFF;
  BuiltPe pe = WithRoom(3 * 16 + 16 + 8 * n + 64 + 8);
  const std::size_t base = pe.resourceDirectory;
  for (const std::uint32_t dir : {0u, 24u}) {  // root and one name directory of one entry each
    PutAt(pe.bytes, base + dir + 14, 1, 2);
    PutAt(pe.bytes, base + dir + 16, 1, 4);
    PutAt(pe.bytes, base + dir + 20, 0x80000000u | (dir + 24), 4);
  }
  const std::uint32_t languages = 48, data = languages + 16 + 8 * n;
  PutAt(pe.bytes, base + languages + 12, 0xFFFF, 2);
  PutAt(pe.bytes, base + languages + 14, 0xFFFF, 2);
  const std::uint32_t name = data + 16;  // "L", the name of every named language
  for (std::uint32_t i = 0; i < n; ++i) {
    PutAt(pe.bytes, base + languages + 16 + 8 * i, i < 0xFFFF ? 0x80000000u | name : i, 4);
    PutAt(pe.bytes, base + languages + 20 + 8 * i, data, 4);
  }
  PutAt(pe.bytes, base + data, pe.resourceRva + data, 4);
  PutAt(pe.bytes, base + data + 4, 16, 4);
  PutAt(pe.bytes, base + name, 1, 2);
  PutAt(pe.bytes, base + name + 2, 'L', 2);
  TPEReader reader;
  reader.Load(Bytes(pe.bytes));
  ASSERT_EQ(reader.Count(), kMaxResourceItems);
  EXPECT_EQ(reader.Item(0).language, "L");
  EXPECT_EQ(reader.Item(kMaxResourceItems - 1).language, "65535");
}

// ---- mapping ----------------------------------------------------------------

TEST(PeReaderTest, HoldsOneMappingFromLoadToLoad) {
  test::MemoryDisk files;
  files.Put("C:\\a.exe", ThreeResources(true).bytes);
  files.Put("C:\\b.dll", ThreeResources(false).bytes);
  files.Put("C:\\notes.txt", "MZ but nothing more");
  TPEReader reader;
  EXPECT_TRUE(reader.Load(files, "C:\\a.exe"));
  EXPECT_EQ(files.liveMappings, 1);
  EXPECT_EQ(reader.Count(), 3u);
  EXPECT_TRUE(reader.Load(files, "C:\\b.dll"));
  EXPECT_EQ(files.liveMappings, 1);
  EXPECT_EQ(reader.Format(), PeFormat::Pe32);
  EXPECT_TRUE(reader.Load(files, "C:\\notes.txt"));  // mapped, yet no program
  EXPECT_EQ(reader.Count(), 0u);
  EXPECT_FALSE(reader.Load(files, "C:\\missing.exe"));
  EXPECT_EQ(files.liveMappings, 0);
  EXPECT_EQ(reader.Count(), 0u);
  EXPECT_EQ(reader.Format(), PeFormat::None);
  reader.Load(files, "C:\\a.exe");
  reader.Clear();
  EXPECT_EQ(files.liveMappings, 0);
}

// ---- random damage ----------------------------------------------------------

// A few thousand random changes to the headers and the directory of small and
// real programs: the reader and the image choice stay inside the view.
TEST(PeReaderTest, RandomDamageStaysInsideTheView) {
  std::vector<std::string> seeds = {ThreeResources(false).bytes, ThreeResources(true).bytes};
  for (const std::string& arch : test::SampleArchs())
    if (auto b = test::ReadFileBytes(test::SampleProgram("within", arch))) seeds.push_back(*b);
  if (auto b = test::ReadFileBytes(test::WineProgram("winemine.exe"))) seeds.push_back(*b);

  std::mt19937 random(20240611);
  const std::uint32_t interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 40, 48};
  int runs = 0;
  for (std::string& seed : seeds) {
    TPEReader intact;
    intact.Load(Bytes(seed));
    // Damage goes where it changes the walk: the headers, and the directory,
    // which the linkers here place just before the first data.
    std::size_t firstData = seed.size();
    for (const TResourceItem& item : intact.Items())
      if (item.data != nullptr)
        firstData = std::min<std::size_t>(firstData, static_cast<std::size_t>(item.data - Bytes(seed).data()));
    const std::size_t headers = std::min<std::size_t>(seed.size(), 0x400);
    const std::size_t directoryFrom = firstData > 0x4000 ? firstData - 0x4000 : 0;
    const std::size_t directoryTo = std::min(seed.size(), firstData + 64);
    for (int round = 0; round < 1500; ++round, ++runs) {
      std::vector<std::pair<std::size_t, char>> undo;
      const auto put = [&](std::size_t at, char value) {
        undo.emplace_back(at, seed[at]);
        seed[at] = value;
      };
      std::size_t length = seed.size();
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits; ++e) {
        const std::size_t at = random() % 2 == 0 || directoryTo <= directoryFrom
                                   ? random() % headers
                                   : directoryFrom + random() % (directoryTo - directoryFrom);
        switch (random() % 4) {
          case 0:
            put(at, static_cast<char>(random()));
            break;
          case 1:
            put(at, static_cast<char>(seed[at] ^ (1 << (random() % 8))));
            break;
          case 2:
            if (at + 4 <= seed.size()) {
              const std::uint32_t v = interesting[random() % std::size(interesting)];
              for (std::size_t k = 0; k < 4; ++k) put(at + k, static_cast<char>(v >> (8 * k)));
            }
            break;
          default:
            length = std::min(length, at);
            break;
        }
      }
      const std::span<const unsigned char> view = Bytes(seed).first(length);
      TPEReader reader;
      reader.Load(view);
      ExpectInside(reader, view);
      for (const auto chosen : {ChooseLargeIcon(reader), ChooseSmallIcon(reader)}) {
        if (!chosen) continue;
        const std::string ico = WriteSingleIconFile(ResourceRawStream(reader.Item(*chosen)), 48);
        ReadIcoForDrawing(ico, 48);
      }
      for (auto it = undo.rbegin(); it != undo.rend(); ++it) seed[it->first] = it->second;
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GE(runs, 3000);
}

}  // namespace
}  // namespace qv::catalogue
