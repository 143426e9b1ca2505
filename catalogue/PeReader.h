#pragma once

// Lists the resources of a Windows program file (PE32 or PE32+) without
// reading the whole file: the reader reads the few pages of headers and
// directory it walks, at their offsets, and an item's data only when asked,
// so the cost of a load does not grow with the file's size. Reads are
// positional reads that can fail (a drive that went away): a failed read is
// bytes that are not there, never a fault of the process.
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
  // Where the data starts in the file; inFile is false when the data does not
  // lie wholly inside it (the item is still listed so that the list matches
  // the directory).
  std::uint64_t offset = 0;
  bool inFile = false;
  std::uint32_t rva = 0;   // relative virtual address of the data
  std::uint32_t size = 0;  // byte count of the data, as the directory says
};

enum class PeFormat { None, Pe32, Pe32Plus };

class TPEReader {
 public:
  TPEReader() = default;
  TPEReader(const TPEReader&) = delete;
  TPEReader& operator=(const TPEReader&) = delete;

  // Drops the previous file, opens the new one and lists its resources. A
  // file that cannot be opened, or is not a program file, leaves an empty
  // list. Returns whether the file could be opened.
  bool Load(const IFileSystem& files, const std::string& path);
  // The same over bytes the caller keeps alive until the next load.
  void Load(std::span<const unsigned char> bytes);
  // Closes the file; the list becomes empty.
  void Clear();

  // The first `limit` bytes of an item's data (all of them when fewer);
  // empty when the data is not in the file or cannot be read now.
  std::vector<unsigned char> Data(const TResourceItem& item, std::size_t limit = SIZE_MAX) const;

  std::size_t Count() const { return items_.size(); }
  const TResourceItem& Item(std::size_t index) const { return items_[index]; }
  const std::vector<TResourceItem>& Items() const { return items_; }
  PeFormat Format() const { return format_; }

 private:
  void Parse();

  std::unique_ptr<IReadableFile> file_;
  PeFormat format_ = PeFormat::None;
  std::vector<TResourceItem> items_;
};

// UTF-16LE code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::span<const std::uint16_t> units);

}  // namespace qv::catalogue
