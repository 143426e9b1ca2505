#pragma once

// What the reader and icon cache tests and the fuzz target share: a disk in
// memory that maps files.

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "catalogue/PeReader.h"
#include "platform/Platform.h"
#include "tests/catalogue/PeBuilder.h"
#include "tests/config/FakePlatform.h"

namespace qv::test {

inline std::span<const unsigned char> Bytes(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

inline std::string DataOf(const catalogue::TPEReader& reader, const catalogue::TResourceItem& item) {
  const std::vector<unsigned char> data = reader.Data(item);
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

// The configuration tests' files in memory, with folders: writes into a
// missing one fail. Open files are counted; reads past failFrom fail, as on a
// drive that went away; a read past the end of a file is a fault of the
// reader and ends the program.
class MemoryDisk : public config::testing::MemoryFiles {
 public:
  struct Mapping : IReadableFile {
    Mapping(std::string b, int& live, const std::uint64_t& from) : bytes(std::move(b)), live(live), failFrom(from) {
      ++live;
    }
    ~Mapping() override { --live; }
    std::uint64_t Size() const override { return bytes.size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
      // The reader asks only for what is there.
      if (offset > bytes.size() || count > bytes.size() - offset) std::abort();
      if (offset + count > failFrom) return false;
      if (count != 0) std::memcpy(out, bytes.data() + offset, count);
      return true;
    }
    const std::string bytes;
    int& live;
    const std::uint64_t& failFrom;
  };

  static constexpr const char* kProgramDir = "C:\\Quorvel\\";
  MemoryDisk() { folders.insert(std::string(kProgramDir) + "Icon"); }
  void Put(const std::string& path, std::string b) { files[path] = std::move(b); }
  std::string Get(const std::string& path) const { return files.count(path) ? files.at(path) : std::string(); }

  bool DirectoryExists(const std::string& path) const override { return folders.count(path) > 0; }
  bool CreateDirectory(const std::string& path) override { return folders.insert(path).second; }
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override {
    if (!folders.count(path.substr(0, path.rfind('\\'))) || !MemoryFiles::WriteFileAtomic(path, bytes)) return false;
    written.push_back(path);
    return true;
  }
  std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const override {
    mapped.push_back(path);
    if (!files.count(path)) return nullptr;
    return std::make_unique<Mapping>(files.at(path), liveMappings, failFrom);
  }

  std::set<std::string> folders;
  std::vector<std::string> written;
  mutable std::vector<std::string> mapped;
  mutable int liveMappings = 0;
  std::uint64_t failFrom = UINT64_MAX;
};

}  // namespace qv::test
