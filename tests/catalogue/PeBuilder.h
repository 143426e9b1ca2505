#pragma once

// Builds minimal program files (PE32 or PE32+) around a resource directory
// laid out exactly as asked: entries in the given order, names as UTF-16,
// optional padding before the resource section. The offsets of every part
// are returned so that tests can damage the file on purpose.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

struct PeOptions {
  bool pe32Plus = true;
  std::size_t paddingBytes = 0;  // a section of this many bytes before the resources
};

struct BuiltPe {
  std::string bytes;
  std::size_t ntHeaders = 0;  // "PE\0\0"
  std::size_t optionalHeader = 0;
  std::size_t sectionTable = 0;
  std::size_t resourceDirectory = 0;  // file offset of the root directory
  std::uint32_t resourceRva = 0;
  std::vector<std::size_t> typeEntries;  // file offsets of the root's entries
  std::vector<std::size_t> nameEntries;  // file offsets of the name-level entries, in order
  std::vector<std::size_t> leafEntries;  // file offsets of the language-level entries, in order
  std::vector<std::size_t> dataEntries;  // file offsets of the data entries, in order
};

inline void PutAt(std::string& out, std::size_t at, std::uint32_t v, int bytes) {
  if (out.size() < at + static_cast<std::size_t>(bytes)) out.resize(at + static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::uint32_t GetAt(const std::string& in, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
  return v;
}

inline BuiltPe BuildPe(const std::vector<PeResource>& resources, const PeOptions& options = {}) {
  // Group by type, then name, in order of first appearance.
  struct Key {
    std::uint32_t id;
    std::u16string text;
    bool operator==(const Key& o) const { return id == o.id && text == o.text; }
  };
  struct NameNode {
    Key key;
    std::vector<std::size_t> leaves;  // indexes into resources
  };
  struct TypeNode {
    Key key;
    std::vector<NameNode> names;
  };
  std::vector<TypeNode> types;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const PeResource& r = resources[i];
    const Key t{r.typeId, r.typeName};
    const Key n{r.nameId, r.name};
    auto type = types.begin();
    while (type != types.end() && !(type->key == t)) ++type;
    if (type == types.end()) type = types.insert(types.end(), TypeNode{t, {}});
    auto name = type->names.begin();
    while (name != type->names.end() && !(name->key == n)) ++name;
    if (name == type->names.end()) name = type->names.insert(type->names.end(), NameNode{n, {}});
    name->leaves.push_back(i);
  }

  // Layout inside the resource section: directories, data entries, strings, data.
  std::size_t cursor = 16 + 8 * types.size();
  std::vector<std::size_t> typeDirs, nameDirs;
  for (const TypeNode& t : types) {
    typeDirs.push_back(cursor);
    cursor += 16 + 8 * t.names.size();
  }
  for (const TypeNode& t : types)
    for (const NameNode& n : t.names) {
      nameDirs.push_back(cursor);
      cursor += 16 + 8 * n.leaves.size();
    }
  const std::size_t dataEntriesAt = cursor;
  cursor += 16 * resources.size();
  std::map<std::u16string, std::size_t> strings;
  for (const PeResource& r : resources)
    for (const std::u16string* s : {&r.typeName, &r.name})
      if (!s->empty() && strings.emplace(*s, cursor).second) cursor += 2 + 2 * s->size();
  std::vector<std::size_t> dataAt;
  for (const PeResource& r : resources) {
    cursor = (cursor + 7) / 8 * 8;
    dataAt.push_back(cursor);
    cursor += r.data.size();
  }
  const std::size_t resourceSize = cursor;

  constexpr std::size_t kAlign = 0x200;
  const auto alignUp = [](std::size_t v, std::size_t a) { return (v + a - 1) / a * a; };
  const std::size_t sectionCount = options.paddingBytes > 0 ? 2 : 1;
  const std::size_t optionalSize = options.pe32Plus ? 240 : 224;

  BuiltPe pe;
  std::string& b = pe.bytes;
  b.assign(0x40, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  pe.ntHeaders = 0x40;
  PutAt(b, 0x3C, static_cast<std::uint32_t>(pe.ntHeaders), 4);
  b += std::string("PE\0\0", 4);
  const std::size_t fileHeader = pe.ntHeaders + 4;
  PutAt(b, fileHeader, options.pe32Plus ? 0x8664 : 0x14C, 2);
  PutAt(b, fileHeader + 2, static_cast<std::uint32_t>(sectionCount), 2);
  PutAt(b, fileHeader + 16, static_cast<std::uint32_t>(optionalSize), 2);
  PutAt(b, fileHeader + 18, 0x0102, 2);
  pe.optionalHeader = fileHeader + 20;
  const std::size_t opt = pe.optionalHeader;
  PutAt(b, opt, options.pe32Plus ? 0x20B : 0x10B, 2);
  PutAt(b, opt + 32, 0x1000, 4);  // section alignment
  PutAt(b, opt + 36, static_cast<std::uint32_t>(kAlign), 4);
  const std::size_t countField = opt + (options.pe32Plus ? 108 : 92);
  PutAt(b, countField, 16, 4);
  pe.sectionTable = opt + optionalSize;
  b.resize(pe.sectionTable + 40 * sectionCount, '\0');

  std::size_t rawAt = alignUp(b.size(), kAlign);
  std::uint32_t rva = 0x1000;
  std::size_t header = pe.sectionTable;
  if (options.paddingBytes > 0) {
    b.replace(header, 5, ".data");
    PutAt(b, header + 8, static_cast<std::uint32_t>(options.paddingBytes), 4);
    PutAt(b, header + 12, rva, 4);
    PutAt(b, header + 16, static_cast<std::uint32_t>(alignUp(options.paddingBytes, kAlign)), 4);
    PutAt(b, header + 20, static_cast<std::uint32_t>(rawAt), 4);
    b.resize(rawAt, '\0');
    for (std::size_t i = 0; i < options.paddingBytes; ++i) b += static_cast<char>(i * 131 % 251);
    rawAt = alignUp(b.size(), kAlign);
    rva += static_cast<std::uint32_t>(alignUp(options.paddingBytes, 0x1000));
    header += 40;
  }
  b.replace(header, 5, ".rsrc");
  PutAt(b, header + 8, static_cast<std::uint32_t>(resourceSize), 4);
  PutAt(b, header + 12, rva, 4);
  PutAt(b, header + 16, static_cast<std::uint32_t>(alignUp(resourceSize, kAlign)), 4);
  PutAt(b, header + 20, static_cast<std::uint32_t>(rawAt), 4);
  pe.resourceRva = rva;
  pe.resourceDirectory = rawAt;
  const std::size_t directories = countField + 4;
  PutAt(b, directories + 16, rva, 4);
  PutAt(b, directories + 20, static_cast<std::uint32_t>(resourceSize), 4);
  b.resize(rawAt + alignUp(resourceSize, kAlign), '\0');

  const std::size_t base = rawAt;
  const auto label = [&](const Key& k) {
    return k.text.empty() ? k.id : 0x80000000u | static_cast<std::uint32_t>(strings.at(k.text));
  };
  const auto directory = [&](std::size_t at, const auto& keys) {
    std::uint32_t named = 0, ids = 0;
    for (const Key& k : keys) (k.text.empty() ? ids : named) += 1;
    PutAt(b, base + at + 12, named, 2);
    PutAt(b, base + at + 14, ids, 2);
  };
  std::vector<Key> typeKeys;
  for (const TypeNode& t : types) typeKeys.push_back(t.key);
  directory(0, typeKeys);
  std::size_t nameIndex = 0;
  for (std::size_t ti = 0; ti < types.size(); ++ti) {
    const std::size_t entry = base + 16 + 8 * ti;
    pe.typeEntries.push_back(entry);
    PutAt(b, entry, label(types[ti].key), 4);
    PutAt(b, entry + 4, 0x80000000u | static_cast<std::uint32_t>(typeDirs[ti]), 4);
    std::vector<Key> nameKeys;
    for (const NameNode& n : types[ti].names) nameKeys.push_back(n.key);
    directory(typeDirs[ti], nameKeys);
    for (std::size_t ni = 0; ni < types[ti].names.size(); ++ni, ++nameIndex) {
      const NameNode& n = types[ti].names[ni];
      const std::size_t nameEntry = base + typeDirs[ti] + 16 + 8 * ni;
      pe.nameEntries.push_back(nameEntry);
      PutAt(b, nameEntry, label(n.key), 4);
      PutAt(b, nameEntry + 4, 0x80000000u | static_cast<std::uint32_t>(nameDirs[nameIndex]), 4);
      PutAt(b, base + nameDirs[nameIndex] + 14, static_cast<std::uint32_t>(n.leaves.size()), 2);
      for (std::size_t li = 0; li < n.leaves.size(); ++li) {
        const std::size_t leaf = base + nameDirs[nameIndex] + 16 + 8 * li;
        pe.leafEntries.push_back(leaf);
        PutAt(b, leaf, resources[n.leaves[li]].language, 4);
        PutAt(b, leaf + 4, static_cast<std::uint32_t>(dataEntriesAt + 16 * n.leaves[li]), 4);
      }
    }
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    const std::size_t entry = base + dataEntriesAt + 16 * i;
    PutAt(b, entry, rva + static_cast<std::uint32_t>(dataAt[i]), 4);
    PutAt(b, entry + 4, static_cast<std::uint32_t>(resources[i].data.size()), 4);
    PutAt(b, entry + 8, resources[i].codePage, 4);
    b.replace(base + dataAt[i], resources[i].data.size(), resources[i].data);
  }
  // Data entries in walk order, which is the order of the leaves.
  for (const std::size_t leaf : pe.leafEntries) pe.dataEntries.push_back(base + GetAt(b, leaf + 4, 4));
  for (const auto& [text, at] : strings) {
    PutAt(b, base + at, static_cast<std::uint32_t>(text.size()), 2);
    for (std::size_t k = 0; k < text.size(); ++k) PutAt(b, base + at + 2 + 2 * k, text[k], 2);
  }
  return pe;
}

// An RT_ICON resource of the given image bytes.
inline PeResource IconResource(std::uint32_t id, std::string image) {
  PeResource r;
  r.typeId = 3;
  r.nameId = id;
  r.language = 1033;
  r.data = std::move(image);
  return r;
}

inline std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qv::test
