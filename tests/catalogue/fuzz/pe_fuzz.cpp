// Fuzz target: a program file through the reader, both image searches, the
// cache file writer, the .ico reader on what was written, and the whole drop
// classification over an in-memory disk.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "picture/IcoFile.h"
#include "catalogue/IconCache.h"
#include "catalogue/IconExtraction.h"
#include "catalogue/PeReader.h"
#include "tests/catalogue/PeSamples.h"

namespace {

using namespace qv;
using namespace qv::catalogue;

constexpr const char* kProgram = "C:\\Tools\\fuzz.exe";

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
  test::MemoryDisk disk;
  disk.Put(kProgram, std::string(reinterpret_cast<const char*>(data), size));
  NoShell shell;
  const CacheOutcome outcome = ResolveAndCacheIcon(disk, shell, kProgram);
  if (outcome.abandoned || outcome.target != kProgram) std::abort();
  for (const std::string& path : disk.written)
    if (!picture::ReadIcoForDrawing(disk.Get(path), 48)) std::abort();  // only drawable pictures are cached
  [[maybe_unused]] static volatile std::size_t sink;
  sink = sum;
  return 0;
}
