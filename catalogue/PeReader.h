#pragma once

// Lists the resources of a Windows program file (PE32 or PE32+) without
// reading the file: the reader walks the resource directory inside a
// read-only view and hands out pointers into it, so the cost of a load is the
// few pages of headers and directory it touches, whatever the file's size.
//
// Program files come from anywhere. Every offset, size and count read from
// the file is checked against the real size of the view before it is used;
// the directory is walked at most three levels deep (type, name, language),
// each directory once, and the whole walk is capped, so a damaged or hostile
// file gives the leaves that could be read safely, or none.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qv::catalogue {

inline constexpr std::uint32_t kRtIcon = 3;  // RT_ICON

// Caps of the walk. Real programs stay far below them (a large system
// library lists a few thousand leaves); they only bound damaged files.
inline constexpr std::size_t kMaxResourceItems = 1 << 16;
inline constexpr std::size_t kMaxDirectoryEntriesWalked = 1 << 18;
inline constexpr std::size_t kMaxSections = 96;            // the loader's own limit
inline constexpr std::size_t kMaxResourceNameChars = 512;  // longer names are cut
// Names read, and name bytes copied into the list, over a whole walk: a file
// whose directory repeats long names stops here instead of taking the memory.
inline constexpr std::size_t kMaxNameCharsRead = 1 << 20;
inline constexpr std::size_t kMaxListNameBytes = 8 << 20;

// One leaf of the resource directory.
struct TResourceItem {
  std::uint32_t typeId = 0;  // 3 for RT_ICON; 0 for a type known by name
  std::string typeName;      // the type's name, or its ID in decimal
  std::string name;          // the resource's name, or its ID in decimal
  std::string language;      // the language's name (rare), or its ID in decimal
  std::uint32_t codePage = 0;
  // The data inside the view; null when the data does not lie wholly inside
  // it (the item is still listed so that the list matches the directory).
  const unsigned char* data = nullptr;
  std::uint32_t rva = 0;   // relative virtual address of the data
  std::uint32_t size = 0;  // byte count of the data, as the directory says
};

// A read-only view of an item's data bytes: empty when the data could not be
// located inside the file.
using TResourceRawStream = std::span<const unsigned char>;
TResourceRawStream ResourceRawStream(const TResourceItem& item);

enum class PeFormat { None, Pe32, Pe32Plus };

class TPEReader {
 public:
  TPEReader() = default;
  TPEReader(const TPEReader&) = delete;
  TPEReader& operator=(const TPEReader&) = delete;

  // Drops the previous file, maps the new one read-only and lists its
  // resources. A file that cannot be opened or mapped, or is not a program
  // file, leaves an empty list. Returns whether the file could be mapped.
  bool Load(const IFileSystem& files, const std::string& path);
  // The same over bytes the caller keeps alive until the next load.
  void Load(std::span<const unsigned char> view);
  // Releases the mapping; the list becomes empty.
  void Clear();

  std::size_t Count() const { return items_.size(); }
  const TResourceItem& Item(std::size_t index) const { return items_[index]; }
  const std::vector<TResourceItem>& Items() const { return items_; }
  PeFormat Format() const { return format_; }

 private:
  void Parse();

  std::unique_ptr<IMappedFile> mapping_;
  std::span<const unsigned char> view_;
  PeFormat format_ = PeFormat::None;
  std::vector<TResourceItem> items_;
};

// UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint16_t> units);

}  // namespace qv::catalogue
