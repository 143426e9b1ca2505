// The program-file reader: Wine's programs, names and stored order, damaged files.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "picture/IcoFile.h"
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
using test::PeResource;
using test::PutAt;

// Every byte handed out lies inside the view.
void ExpectInside(const TPEReader& reader, std::span<const unsigned char> view) {
  for (const TResourceItem& item : reader.Items()) {
    if (!item.inFile) continue;
    ASSERT_LE(item.offset + item.size, view.size());
    ASSERT_EQ(reader.Data(item).size(), item.size);
  }
}

TEST(PeReaderTest, KeepsStoredOrderNamesLanguagesAndCodePages) {
  const std::vector<PeResource> resources = {{0, u"PNG", 0, u"ROUNDINTERFACE", 2052, "png bytes", 936},
                                             {3, u"", 2, u"", 1033, "second", 0},
                                             {3, u"", 1, u"", 1033, "first", 0},
                                             {3, u"", 1, u"", 1031, "first, German", 1252},
                                             {10, u"", 0, u"\u00FC\u540D\u524D \U0001F600", 0, "", 0}};
  for (const bool plus : {false, true}) {
    SCOPED_TRACE(plus ? "PE32+" : "PE32");
    const BuiltPe pe = BuildPe(resources, plus);
    TPEReader reader;
    reader.Load(Bytes(pe.bytes));
    EXPECT_EQ(reader.Format(), plus ? PeFormat::Pe32Plus : PeFormat::Pe32);
    std::vector<std::string> listed;
    for (std::size_t i = 0; i < reader.Count(); ++i) {
      const TResourceItem& item = reader.Item(i);
      listed.push_back(std::to_string(item.typeId) + "|" + item.typeName + "|" + item.name + "|" + item.language + "|" +
                       std::to_string(item.codePage) + "|" + DataOf(reader, item));
      EXPECT_EQ(item.rva, GetAt(pe.bytes, pe.dataEntries[i], 4)) << i;
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"0|PNG|ROUNDINTERFACE|2052|936|png bytes", "3|3|2|1033|0|second",
                                                "3|3|1|1033|0|first", "3|3|1|1031|1252|first, German",
                                                "10|10|\xC3\xBC\xE5\x90\x8D\xE5\x89\x8D \xF0\x9F\x98\x80|0|0|"}));
  }
}

BuiltPe ThreeResources(bool plus) {
  return BuildPe({{3, u"", 1, u"", 1033, std::string(64, 'a'), 0},
                  {3, u"", 2, u"", 1033, std::string(48, 'b'), 0},
                  {10, u"", 0, u"NOTES", 0, "notes", 0}},
                 plus);
}

// The data directory entry of the resources, in the optional header.
std::size_t ResourceDataDirectory(const BuiltPe& pe) {
  return pe.optionalHeader + (GetAt(pe.bytes, pe.optionalHeader, 2) == 0x20B ? 112 : 96) + 16;
}

std::size_t TypeDirectory(const BuiltPe& pe, std::size_t type) {
  return pe.resourceDirectory + (GetAt(pe.bytes, pe.typeEntries[type] + 4, 4) & 0x7FFFFFFF);
}
std::uint32_t ToTypeDirectory(const BuiltPe& pe, std::size_t type) {  // an entry's pointer to it
  return 0x80000000u | static_cast<std::uint32_t>(TypeDirectory(pe, type) - pe.resourceDirectory);
}
void Put(BuiltPe& pe, std::size_t at, std::uint32_t v) { PutAt(pe.bytes, at, v, 4); }

TEST(PeReaderTest, DamagedFilesGiveWhatCanBeReadSafely) {
  using P = BuiltPe&;
  struct Case {
    const char* what;
    std::function<void(BuiltPe&)> damage;
    std::string names;     // listed, in order
    int withoutData = -1;  // index of a listed item whose data is unreadable
  };
  const auto put = [](std::size_t at, std::uint32_t v, int n) { return [=](P pe) { PutAt(pe.bytes, at, v, n); }; };
  // clang-format off
  const Case cases[] = {
      {"intact", [](P) {}, "1 2 NOTES"},
      {"no MZ", put(1, 'X', 1), ""},
      {"NT headers far past the end", put(0x3C, 0xFFFFFFF0u, 4), ""},
      {"NT headers in the last bytes",
       [](P pe) { Put(pe, 0x3C, static_cast<std::uint32_t>(pe.bytes.size()) - 6); }, ""},
      {"no PE signature", put(0x41, 'X', 1), ""},
      {"two data directories only", [](P pe) { Put(pe, ResourceDataDirectory(pe) - 20, 2); }, ""},
      {"optional header too short to hold the resource entry, the sections right after it", [](P pe) {
         // In PE32+ the section copy leaves the resource entry where it was.
         pe.bytes.replace(pe.optionalHeader + 96, 32, pe.bytes.substr(pe.sectionTable, 32));
         PutAt(pe.bytes, 0x40 + 4 + 16, 96, 2);
       }, ""},
      {"no resource directory", [](P pe) { Put(pe, ResourceDataDirectory(pe), 0); }, ""},
      {"resource directory outside every section", [](P pe) { Put(pe, ResourceDataDirectory(pe), 0x900000); }, ""},
      {"section raw data past the end", [](P pe) { Put(pe, pe.sectionTable + 20, 0x7FFFFFF0); }, ""},
      {"no sections", put(0x40 + 4 + 2, 0, 2), ""},
      {"type entry loops back to the root", [](P pe) { Put(pe, pe.typeEntries[0] + 4, 0x80000000u); }, "NOTES"},
      {"name entry loops back to its type directory",
       [](P pe) { Put(pe, pe.nameEntries[0] + 4, ToTypeDirectory(pe, 0)); }, "2 NOTES"},
      {"a numbered entry counted as named", [](P pe) { Put(pe, pe.resourceDirectory + 12, 0x10001); }, ""},
      {"a named entry counted as numbered", [](P pe) { Put(pe, TypeDirectory(pe, 1) + 12, 0x10000); }, "1 2"},
      {"a numbered entry beyond 16 bits", [](P pe) { Put(pe, pe.nameEntries[1], 0x10002); }, "1 NOTES"},
      {"language entry marked as a directory", [](P pe) { pe.bytes[pe.leafEntries[0] + 7] = '\x80'; }, "2 NOTES"},
      {"language entry pointing at another type's names",  // not walked, so not spent for later
       [](P pe) { Put(pe, pe.leafEntries[0] + 4, ToTypeDirectory(pe, 1)); }, "2 NOTES"},
      {"name entry pointing straight at data",
       [](P pe) { Put(pe, pe.nameEntries[1] + 4, GetAt(pe.bytes, pe.leafEntries[1] + 4, 4)); }, "1 NOTES"},
      {"data entry past the end of the file", [](P pe) { Put(pe, pe.leafEntries[0] + 4, 0x7FFFFFF0); }, "2 NOTES"},
      {"data outside every section", [](P pe) { Put(pe, pe.dataEntries[0], 0x00FFFFFF); }, "1 2 NOTES", 0},
      {"data running past its section", [](P pe) { Put(pe, pe.dataEntries[1] + 4, 0x7FFFFFFF); }, "1 2 NOTES", 1},
      {"data past the section's raw bytes, though inside the file", [](P pe) {
         Put(pe, pe.sectionTable + 8, 0x100000);
         Put(pe, pe.sectionTable + 16, GetAt(pe.bytes, pe.dataEntries[2], 4) - pe.resourceRva + 2);
       }, "1 2 NOTES", 2},
      {"data starting in the zero-filled tail of its section", [](P pe) {
         Put(pe, pe.sectionTable + 8, 0x100000);  // a virtual size far beyond the raw data
         Put(pe, pe.dataEntries[2], pe.resourceRva + 0x80000);
       }, "1 2 NOTES", 2},
  };
  // clang-format on
  for (const bool plus : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (plus ? ", PE32+" : ", PE32"));
      BuiltPe pe = ThreeResources(plus);
      c.damage(pe);
      TPEReader reader;
      reader.Load(Bytes(pe.bytes));
      std::string names;
      for (const TResourceItem& item : reader.Items()) names += (names.empty() ? "" : " ") + item.name;
      EXPECT_EQ(names, c.names);
      for (std::size_t i = 0; i < reader.Count(); ++i) {
        EXPECT_EQ(!reader.Item(i).inFile, static_cast<int>(i) == c.withoutData) << i;
        EXPECT_EQ(reader.Data(reader.Item(i)).empty(), static_cast<int>(i) == c.withoutData) << i;
      }
      ExpectInside(reader, Bytes(pe.bytes));
    }
  }
}

TEST(PeReaderTest, CountsAndNamesAreBoundedByTheFile) {
  BuiltPe pe = BuildPe({{3, u"", 1, u"", 1033, "a", 0},
                        {3, u"", 2, u"", 1033, "b", 0},
                        {10, u"", 0, u"NOTES", 0, std::string(4 * kMaxResourceNameChars, '\0'), 0}});
  // The name's length says 65535 characters: it stops at the cap, well before the file's end.
  const std::size_t name = pe.resourceDirectory + (GetAt(pe.bytes, pe.nameEntries[2], 4) & 0x7FFFFFFF);
  PutAt(pe.bytes, name, 0xFFFF, 2);
  // The root claims 65535 numbered entries; the bytes after its two real ones
  // belong to other directories.
  PutAt(pe.bytes, pe.resourceDirectory + 14, 0xFFFF, 2);
  TPEReader reader;
  reader.Load(Bytes(pe.bytes));
  ASSERT_GE(reader.Count(), 3u);
  EXPECT_EQ(std::tuple(reader.Item(0).name, reader.Item(2).name.substr(0, 5)), std::tuple("1", "NOTES"));
  EXPECT_EQ(reader.Item(2).name.size(), kMaxResourceNameChars);
  ExpectInside(reader, Bytes(pe.bytes));
}

TEST(PeReaderTest, SharedDirectoriesAreWalkedOnce) {
  // 3000 types share one name directory whose 3000 names share one language
  // directory of 3000 leaves: 27 billion paths, 3000 leaves.
  constexpr std::uint32_t n = 3000;
  // A room inside the resource section, filled by hand.
  BuiltPe pe = BuildPe({PeResource{10, u"", 1, u"", 0, std::string(3 * (16 + 8 * n) + 64, '\0'), 0}});
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
  EXPECT_EQ(std::tuple(reader.Item(0).language, reader.Item(n - 1).language, reader.Item(n - 1).name),
            std::tuple("1", std::to_string(n), "1"));
}

// A load lets go of the previous file; a file that is no program is mapped and lists nothing.
TEST(PeReaderTest, HoldsOneMappingFromLoadToLoad) {
  test::MemoryDisk files;
  files.Put("C:\\a.exe", ThreeResources(true).bytes);
  files.Put("C:\\notes.txt", "MZ but nothing more");
  TPEReader reader;
  EXPECT_TRUE(reader.Load(files, "C:\\a.exe"));
  EXPECT_TRUE(reader.Load(files, "C:\\notes.txt"));
  EXPECT_EQ(std::tuple(files.liveMappings, reader.Count(), reader.Format()), std::tuple(1, 0u, PeFormat::None));
  EXPECT_FALSE(reader.Load(files, "C:\\missing.exe"));
  EXPECT_EQ(files.liveMappings, 0);
  reader.Load(files, "C:\\a.exe");
  reader.Clear();
  EXPECT_EQ(std::tuple(files.liveMappings, reader.Count()), std::tuple(0, 0u));
}

}  // namespace
}  // namespace qv::catalogue
