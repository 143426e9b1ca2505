#include "catalogue/PeReader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace qv::catalogue {

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNtHeadersOffsetField = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kResourceDataDirectory = 2;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kHighBit = 0x80000000u;

// Bytes the caller keeps alive, read as a file.
class MemoryFile final : public IReadableFile {
 public:
  explicit MemoryFile(std::span<const unsigned char> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count != 0) std::memcpy(out, bytes_.data() + offset, count);
    return true;
  }

 private:
  std::span<const unsigned char> bytes_;
};

// Offsets and sizes read from the file are 32-bit; their sums are formed in
// 64 bits, so they cannot wrap, and compared with the file's size before any
// byte is read. The file is read in pages, kept while the walk lasts up to a
// bound: a directory spread over the whole file does not take the file's
// size in memory. A page that cannot be read holds no bytes.
class View {
 public:
  explicit View(const IReadableFile& file) : file_(file), size_(file.Size()) {}

  // The range lies in the file; nothing is read.
  bool Within(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
  // The range lies in the file and every page of it can be read.
  bool Holds(std::uint64_t at, std::uint64_t count) const {
    if (!Within(at, count)) return false;
    if (count == 0) return true;
    for (std::uint64_t page = at / kPageSize; page <= (at + count - 1) / kPageSize; ++page)
      if (!Page(page)) return false;
    return true;
  }
  // Bytes that cannot be read are zero; callers check Holds(at, 2 or 4) first.
  std::uint8_t U8(std::uint64_t at) const {
    const std::vector<unsigned char>* page = at < size_ ? Page(at / kPageSize) : nullptr;
    return page ? (*page)[at % kPageSize] : 0;
  }
  std::uint16_t U16(std::uint64_t at) const { return static_cast<std::uint16_t>(U8(at) | U8(at + 1) << 8); }
  std::uint32_t U32(std::uint64_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
  }
  std::uint64_t Size() const { return size_; }

 private:
  static constexpr std::uint64_t kPageSize = 4096;
  static constexpr std::size_t kMaxPages = 1024;

  const std::vector<unsigned char>* Page(std::uint64_t index) const {
    if (lastPage_ && lastIndex_ == index) return lastPage_;
    auto found = pages_.find(index);
    if (found == pages_.end()) {
      if (pages_.size() >= kMaxPages) pages_.clear();
      const std::uint64_t at = index * kPageSize;
      std::vector<unsigned char> bytes(static_cast<std::size_t>(std::min(kPageSize, size_ - at)));
      if (!file_.ReadAt(at, bytes.data(), bytes.size())) bytes.clear();
      found = pages_.emplace(index, std::move(bytes)).first;
    }
    lastIndex_ = index;
    lastPage_ = found->second.empty() ? nullptr : &found->second;
    return lastPage_;
  }

  const IReadableFile& file_;
  std::uint64_t size_;
  mutable std::unordered_map<std::uint64_t, std::vector<unsigned char>> pages_;
  mutable std::uint64_t lastIndex_ = 0;
  mutable const std::vector<unsigned char>* lastPage_ = nullptr;
};

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
};

// Where the bytes [rva, rva + count) lie in the file: only inside the raw
// data of the first section whose virtual range holds rva. Bytes the loader
// would zero-fill past the raw data are not in the file, so they do not count.
std::optional<std::uint64_t> RvaToOffset(const std::vector<Section>& sections, const View& view, std::uint32_t rva,
                                         std::uint32_t count) {
  for (const Section& s : sections) {
    const std::uint32_t span = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
    if (rva < s.virtualAddress || rva - s.virtualAddress >= span) continue;
    const std::uint64_t delta = rva - s.virtualAddress;
    if (delta + count > s.rawSize) return std::nullopt;
    const std::uint64_t offset = std::uint64_t{s.rawOffset} + delta;
    // Only the bounds: the data itself is read when an item's bytes are asked for.
    if (!view.Within(offset, count == 0 ? 1 : count)) return std::nullopt;
    return offset;
  }
  return std::nullopt;
}

class DirectoryWalk {
 public:
  DirectoryWalk(const View& view, const std::vector<Section>& sections, std::uint64_t base,
                std::vector<TResourceItem>& out)
      : view_(view), sections_(sections), base_(base), out_(out) {}

  void Run() { Walk(0, 1); }

 private:
  struct Label {
    std::uint32_t id = 0;
    std::string text;
  };

  // Levels: 1 type, 2 name, 3 language. A subdirectory below the language
  // level or a leaf above it is not a resource; both are passed over. A
  // name is read only for an entry that leads somewhere new.
  void Walk(std::uint32_t directory, int level) {
    if (stopped_ || !visited_.insert(directory).second) return;
    const std::uint64_t at = base_ + directory;
    if (!view_.Holds(at, kDirectoryHeaderSize)) return;
    const std::uint32_t named = view_.U16(at + 12);
    const std::uint32_t count = named + view_.U16(at + 14);
    for (std::uint32_t i = 0; i < count && !stopped_; ++i) {
      const std::uint64_t entry = at + kDirectoryHeaderSize + std::uint64_t{i} * kDirectoryEntrySize;
      if (!view_.Holds(entry, kDirectoryEntrySize)) return;
      if (++entriesWalked_ > kMaxDirectoryEntriesWalked) {
        stopped_ = true;
        return;
      }
      // Named entries come first, then 16-bit IDs. An entry out of that
      // pattern means the counts are wrong and the rest of the directory is
      // something else's bytes.
      const std::uint32_t label = view_.U32(entry);
      if (i < named ? (label & kHighBit) == 0 : label > 0xFFFF) return;
      const std::uint32_t target = view_.U32(entry + 4);
      const bool subdirectory = (target & kHighBit) != 0;
      if (subdirectory && level < 3 && !visited_.count(target & ~kHighBit)) {
        labels_[level - 1] = ReadLabel(label);
        Walk(target & ~kHighBit, level + 1);
      } else if (!subdirectory && level == 3) {
        labels_[level - 1] = ReadLabel(label);
        AddLeaf(target);
      }
    }
  }

  Label ReadLabel(std::uint32_t field) {
    Label label;
    if ((field & kHighBit) == 0) {
      label.id = field;
      label.text = std::to_string(field);
      return label;
    }
    const std::uint64_t at = base_ + (field & ~kHighBit);
    if (!view_.Holds(at, 2)) return label;
    std::size_t length = std::min<std::size_t>(view_.U16(at), kMaxResourceNameChars);
    length = std::min<std::size_t>(length, (view_.Size() - at - 2) / 2);
    if (length > charsLeft_) {
      stopped_ = true;
      return label;
    }
    charsLeft_ -= length;
    std::vector<std::uint16_t> units(length);
    for (std::size_t k = 0; k < length; ++k) units[k] = view_.U16(at + 2 + 2 * k);
    label.text = Utf16ToUtf8(units);
    return label;
  }

  void AddLeaf(std::uint32_t dataEntry) {
    const std::uint64_t at = base_ + dataEntry;
    if (!view_.Holds(at, kDataEntrySize)) return;
    TResourceItem item;
    item.typeId = labels_[0].id;
    item.typeName = labels_[0].text;
    item.name = labels_[1].text;
    item.language = labels_[2].text;
    item.rva = view_.U32(at);
    item.size = view_.U32(at + 4);
    item.codePage = view_.U32(at + 8);
    if (const auto offset = RvaToOffset(sections_, view_, item.rva, item.size)) {
      item.offset = *offset;
      item.inFile = true;
    }
    const std::size_t nameBytes = item.typeName.size() + item.name.size() + item.language.size();
    if (stopped_ || nameBytes > nameBytesLeft_) {
      stopped_ = true;
      return;
    }
    nameBytesLeft_ -= nameBytes;
    out_.push_back(std::move(item));
    if (out_.size() >= kMaxResourceItems) stopped_ = true;
  }

  const View& view_;
  const std::vector<Section>& sections_;
  std::uint64_t base_;
  std::vector<TResourceItem>& out_;
  std::unordered_set<std::uint32_t> visited_;
  std::size_t entriesWalked_ = 0;
  std::size_t charsLeft_ = kMaxNameCharsRead;
  std::size_t nameBytesLeft_ = kMaxListNameBytes;
  bool stopped_ = false;
  Label labels_[3];
};

}  // namespace

bool TPEReader::Load(const IFileSystem& files, const std::string& path) {
  Clear();
  file_ = files.OpenForRead(path);
  if (!file_) return false;
  Parse();
  return true;
}

void TPEReader::Load(std::span<const unsigned char> bytes) {
  Clear();
  file_ = std::make_unique<MemoryFile>(bytes);
  Parse();
}

void TPEReader::Clear() {
  items_.clear();
  format_ = PeFormat::None;
  file_.reset();
}

std::vector<unsigned char> TPEReader::Data(const TResourceItem& item, std::size_t limit) const {
  if (!file_ || !item.inFile) return {};
  std::vector<unsigned char> bytes;
  try {
    bytes.resize(std::min<std::size_t>(item.size, limit));
  } catch (const std::bad_alloc&) {
    return {};
  }
  if (!file_->ReadAt(item.offset, bytes.data(), bytes.size())) return {};
  return bytes;
}

void TPEReader::Parse() {
  if (!file_) return;
  const View view(*file_);
  if (!view.Holds(0, kDosHeaderSize) || view.U8(0) != 'M' || view.U8(1) != 'Z') return;
  const std::uint64_t nt = view.U32(kNtHeadersOffsetField);
  if (!view.Holds(nt, 4 + kFileHeaderSize + 2)) return;
  if (view.U32(nt) != 0x00004550u) return;  // "PE\0\0"

  const std::uint64_t fileHeader = nt + 4;
  const std::size_t sectionCount = std::min<std::size_t>(view.U16(fileHeader + 2), kMaxSections);
  const std::uint16_t optionalSize = view.U16(fileHeader + 16);
  const std::uint64_t optional = fileHeader + kFileHeaderSize;
  const bool plus = view.U16(optional) == kPe32PlusMagic;
  // The directories follow the fixed fields, 16 bytes further on in PE32+
  // where the image base and stack sizes are 64-bit.
  const std::uint64_t countField = optional + (plus ? 108 : 92);
  const std::uint64_t directories = countField + 4;
  const std::uint64_t resourceEntry = directories + 8 * kResourceDataDirectory;
  if (resourceEntry + 8 > optional + optionalSize || !view.Holds(countField, resourceEntry + 8 - countField)) return;
  if (view.U32(countField) <= kResourceDataDirectory) return;
  format_ = plus ? PeFormat::Pe32Plus : PeFormat::Pe32;

  std::vector<Section> sections;
  const std::uint64_t table = optional + optionalSize;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t at = table + i * kSectionHeaderSize;
    if (!view.Holds(at, kSectionHeaderSize)) break;
    sections.push_back({view.U32(at + 12), view.U32(at + 8), view.U32(at + 16), view.U32(at + 20)});
  }

  const std::uint32_t resourceRva = view.U32(resourceEntry);
  if (resourceRva == 0) return;
  const auto base = RvaToOffset(sections, view, resourceRva, kDirectoryHeaderSize);
  if (!base) return;
  DirectoryWalk(view, sections, *base, items_).Run();
}

std::string Utf16ToUtf8(std::span<const std::uint16_t> units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace qv::catalogue
