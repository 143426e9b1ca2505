#pragma once

// Builds minimal program files (PE32 or PE32+) around a resource directory
// laid out exactly as asked: entries in the given order, names as UTF-16.
// The offsets of every part are returned so that tests can damage the file
// on purpose.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/support/IcoWriter.h"

namespace qv::test {

struct PeResource {
  std::uint32_t typeId = 0;  // used when typeName is empty
  std::u16string typeName;
  std::uint32_t nameId = 0;  // used when name is empty
  std::u16string name;
  std::uint32_t language = 0;
  std::string data;
  std::uint32_t codePage = 0;
};

struct BuiltPe {
  std::string bytes;
  std::size_t optionalHeader = 0;
  std::size_t sectionTable = 0;
  std::size_t resourceDirectory = 0;  // file offset of the root directory
  std::uint32_t resourceRva = 0;
  // File offsets of the entries at each level, and of the data entries, in walk order.
  std::vector<std::size_t> typeEntries, nameEntries, leafEntries, dataEntries;
};

inline std::uint32_t GetAt(const std::string& in, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
  return v;
}

inline BuiltPe BuildPe(const std::vector<PeResource>& resources, bool pe32Plus = true) {
  // Group by type, then name, in order of first appearance. A key is an ID or a name.
  using Key = std::pair<std::uint32_t, std::u16string>;
  using Names = std::vector<std::pair<Key, std::vector<std::size_t>>>;  // indexes into resources
  std::vector<std::pair<Key, Names>> types;
  const auto find = [](auto& list, const Key& key) -> auto& {
    for (auto& node : list)
      if (node.first == key) return node.second;
    return list.emplace_back(key, typename std::decay_t<decltype(list)>::value_type::second_type{}).second;
  };
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const PeResource& r = resources[i];
    find(find(types, Key{r.typeId, r.typeName}), Key{r.nameId, r.name}).push_back(i);
  }

  // Layout inside the resource section: directories, data entries, strings, data.
  std::size_t cursor = 16 + 8 * types.size();
  std::vector<std::size_t> typeDirs, nameDirs;
  for (const auto& t : types) typeDirs.push_back(std::exchange(cursor, cursor + 16 + 8 * t.second.size()));
  for (const auto& t : types)
    for (const auto& n : t.second) nameDirs.push_back(std::exchange(cursor, cursor + 16 + 8 * n.second.size()));
  const std::size_t dataEntriesAt = std::exchange(cursor, cursor + 16 * resources.size());
  std::map<std::u16string, std::size_t> strings;
  for (const PeResource& r : resources)
    for (const std::u16string* s : {&r.typeName, &r.name})
      if (!s->empty() && strings.emplace(*s, cursor).second) cursor += 2 + 2 * s->size();
  std::vector<std::size_t> dataAt;
  for (const PeResource& r : resources) {
    cursor = (cursor + 7) / 8 * 8;
    dataAt.push_back(std::exchange(cursor, cursor + r.data.size()));
  }
  const std::size_t resourceSize = cursor;

  constexpr std::size_t kAlign = 0x200;
  const auto alignUp = [](std::size_t v, std::size_t a) { return (v + a - 1) / a * a; };
  const std::size_t optionalSize = pe32Plus ? 240 : 224;

  BuiltPe pe;
  std::string& b = pe.bytes;
  b = std::string("MZ", 2) + std::string(0x3E, '\0') + std::string("PE\0\0", 4);
  PutAt(b, 0x3C, 0x40, 4);
  PutAt(b, 0x44, pe32Plus ? 0x8664 : 0x14C, 2);
  PutAt(b, 0x46, 1, 2);  // one section
  PutAt(b, 0x54, static_cast<std::uint32_t>(optionalSize), 2);
  PutAt(b, 0x56, 0x0102, 2);
  const std::size_t opt = pe.optionalHeader = 0x58;
  PutAt(b, opt, pe32Plus ? 0x20B : 0x10B, 2);
  PutAt(b, opt + 32, 0x1000, 4);  // section alignment
  PutAt(b, opt + 36, static_cast<std::uint32_t>(kAlign), 4);
  const std::size_t countField = opt + (pe32Plus ? 108 : 92);
  PutAt(b, countField, 16, 4);
  pe.sectionTable = opt + optionalSize;
  b.resize(pe.sectionTable + 40, '\0');

  // The one section, ".rsrc": sizes, address and where its bytes lie.
  const std::uint32_t rva = pe.resourceRva = 0x1000;
  const std::size_t base = pe.resourceDirectory = alignUp(b.size(), kAlign);
  b.replace(pe.sectionTable, 5, ".rsrc");
  std::size_t field = pe.sectionTable + 8;
  for (const std::size_t v : {resourceSize, std::size_t{rva}, alignUp(resourceSize, kAlign), base})
    PutAt(b, std::exchange(field, field + 4), static_cast<std::uint32_t>(v), 4);
  b.resize(base + alignUp(resourceSize, kAlign), '\0');
  PutAt(b, countField + 4 + 16, rva, 4);
  PutAt(b, countField + 4 + 20, static_cast<std::uint32_t>(resourceSize), 4);

  // A directory at `at` whose entries are labelled by keys and point at targets.
  using Entries = std::vector<std::pair<Key, std::uint32_t>>;
  const auto directory = [&](std::size_t at, const Entries& list, std::vector<std::size_t>& entries) {
    std::uint32_t named = 0;
    for (const auto& e : list) named += e.first.second.empty() ? 0 : 1;
    PutAt(b, base + at + 12, named, 2);
    PutAt(b, base + at + 14, static_cast<std::uint32_t>(list.size()) - named, 2);
    for (std::size_t i = 0; i < list.size(); ++i) {
      const auto& [k, target] = list[i];
      const std::size_t entry = entries.emplace_back(base + at + 16 + 8 * i);
      PutAt(b, entry, k.second.empty() ? k.first : 0x80000000u | static_cast<std::uint32_t>(strings.at(k.second)), 4);
      PutAt(b, entry + 4, target, 4);
    }
  };
  const auto subdirectory = [](std::size_t at) { return 0x80000000u | static_cast<std::uint32_t>(at); };
  Entries typeList;
  for (std::size_t ti = 0; ti < types.size(); ++ti) typeList.push_back({types[ti].first, subdirectory(typeDirs[ti])});
  directory(0, typeList, pe.typeEntries);
  std::size_t nameIndex = 0;
  for (std::size_t ti = 0; ti < types.size(); ++ti) {
    Entries nameList;
    for (const auto& [key, leaves] : types[ti].second) {
      nameList.push_back({key, subdirectory(nameDirs[nameIndex])});
      Entries languages;
      for (const std::size_t r : leaves) {
        languages.push_back({{resources[r].language, u""}, static_cast<std::uint32_t>(dataEntriesAt + 16 * r)});
        pe.dataEntries.push_back(base + dataEntriesAt + 16 * r);
      }
      directory(nameDirs[nameIndex++], languages, pe.leafEntries);
    }
    directory(typeDirs[ti], nameList, pe.nameEntries);
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const std::size_t entry = base + dataEntriesAt + 16 * i;
    PutAt(b, entry, rva + static_cast<std::uint32_t>(dataAt[i]), 4);
    PutAt(b, entry + 4, static_cast<std::uint32_t>(resources[i].data.size()), 4);
    PutAt(b, entry + 8, resources[i].codePage, 4);
    b.replace(base + dataAt[i], resources[i].data.size(), resources[i].data);
  }
  for (const auto& [text, at] : strings) {
    PutAt(b, base + at, static_cast<std::uint32_t>(text.size()), 2);
    for (std::size_t k = 0; k < text.size(); ++k) PutAt(b, base + at + 2 + 2 * k, text[k], 2);
  }
  return pe;
}

// An RT_ICON resource of the given image bytes.
inline PeResource IconResource(std::uint32_t id, std::string image) {
  return {3, u"", id, u"", 1033, std::move(image), 0};
}

// An icon image of side x side pixels: a DIB of the given depth (up to 8
// bits, every pixel the tint from a palette), or a PNG for depth 0.
inline std::string IconImage(int side, int bits, std::uint32_t tint) {
  const auto n = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
  if (bits == 0) return PngImage(side, side, std::vector<std::uint32_t>(n, 0xFF000000u | tint));
  DibSpec s{side, side, bits};
  for (std::size_t i = 0; i < n; ++i) {
    s.pixels.push_back(bits <= 8 ? 1 : (i % 7 == 0 ? 0x80000000u : 0xFF000000u) | tint);
    s.mask.push_back(i % 11 == 0);
  }
  s.palette = {0x000000, tint};
  return DibImage(s);
}

}  // namespace qv::test
