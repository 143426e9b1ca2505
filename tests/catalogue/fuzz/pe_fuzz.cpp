// Fuzz target: a program file through the reader, both image searches, the
// cache file writer, the .ico reader on what was written, and the whole drop
// classification over an in-memory disk.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "picture/IcoFile.h"
#include "catalogue/IconCache.h"
#include "catalogue/IconExtraction.h"
#include "catalogue/PeReader.h"

namespace {

using namespace qv;
using namespace qv::catalogue;

class OneProgramDisk : public IFileSystem {
 public:
  class Bytes : public IReadableFile {
   public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
      if (offset > size_ || count > size_ - offset) std::abort();  // the reader asks only for what is there
      if (count != 0) std::memcpy(out, data_ + offset, count);
      return true;
    }

   private:
    const std::uint8_t* data_;
    std::size_t size_;
  };
  OneProgramDisk(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::string ProgramDir() const override { return "C:\\Quorvel\\"; }
  bool FileExists(const std::string& path) const override { return path == kProgram || written.count(path); }
  bool DirectoryExists(const std::string&) const override { return true; }
  bool CreateDirectory(const std::string&) override { return true; }
  std::optional<std::string> ReadFile(const std::string&) const override { return std::nullopt; }
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override {
    written[path] = bytes;
    return true;
  }
  bool DeleteFile(const std::string&) override { return false; }
  std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const override {
    if (path != kProgram) return nullptr;
    return std::make_unique<Bytes>(data_, size_);
  }
  static constexpr const char* kProgram = "C:\\Tools\\fuzz.exe";
  std::map<std::string, std::string> written;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

class NoShell : public IShell {
 public:
  bool Execute(const std::string&, const std::string&, const std::string&) override { return false; }
  std::optional<std::string> ResolveShortcut(const std::string&) override { return std::nullopt; }
  std::optional<std::string> ExtractShellIcon(const std::string&) override { return std::nullopt; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TPEReader reader;
  reader.Load({data, size});
  std::size_t sum = 0;
  for (const TResourceItem& item : reader.Items()) {
    if (!item.inFile) continue;
    if (item.offset > size || item.size > size - item.offset) std::abort();
    const std::vector<unsigned char> bytes = reader.Data(item);
    if (bytes.size() != item.size) std::abort();
    if (!bytes.empty()) sum += bytes.front() + bytes.back();
    sum += item.name.size() + item.typeName.size() + item.language.size();
  }
  for (const auto chosen : {ChooseLargeIcon(reader), ChooseSmallIcon(reader)}) {
    if (!chosen) continue;
    const TResourceItem& item = reader.Item(*chosen);
    const std::string ico = WriteSingleIconFile(reader.Data(item), IconImageWidth(reader, item).value_or(48));
    if (ico.size() != kIcoHeaderBytes + item.size) std::abort();
    if (const auto image = picture::ReadIcoForDrawing(ico, 48)) sum += image->picture.pixels.size();
  }
  OneProgramDisk disk(data, size);
  NoShell shell;
  const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, OneProgramDisk::kProgram);
  if (outcome.abandoned || outcome.target != OneProgramDisk::kProgram) std::abort();
  for (const auto& [path, bytes] : disk.written)
    if (!picture::ReadIcoForDrawing(bytes, 48)) std::abort();  // only drawable pictures are cached
  [[maybe_unused]] static volatile std::size_t sink;
  sink = sum;
  return 0;
}
