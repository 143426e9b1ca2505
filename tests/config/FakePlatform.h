#pragma once

// An in-memory file system and a system whose code-page conversion is the C
// library's iconv: enough of the platform for the configuration code.

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "platform/Platform.h"
#include "platform/headless/Iconv.h"

namespace qv::config::testing {

inline constexpr const char* kConfigPath = "C:\\Quorvel\\Config\\UserInfo.xml";

inline std::string DistributedFile() {
  std::ifstream in(QV_SOURCE_DIR "/config/UserInfo.xml", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class MemoryFiles : public IFileSystem {
 public:
  std::string ProgramDir() const override { return programDir; }
  bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
  bool DirectoryExists(const std::string&) const override { return true; }
  bool CreateDirectory(const std::string&) override { return true; }
  std::optional<std::string> ReadFile(const std::string& path) const override {
    const auto it = files.find(path);
    if (it == files.end() || unreadable.count(path) > 0) return std::nullopt;
    return it->second;
  }
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override {
    if (refuseWrites) return false;
    ++writes;
    files[path] = bytes;
    return true;
  }
  bool DeleteFile(const std::string& path) override { return files.erase(path) > 0; }
  std::unique_ptr<IReadableFile> OpenForRead(const std::string&) const override { return nullptr; }

  std::string programDir = "C:\\Quorvel\\";
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;  // present, yet reading fails
  bool refuseWrites = false;
  int writes = 0;
};

class IconvSystem : public ISystem {
 public:
  bool CreateSingleInstanceMutex(const std::string&) override { return true; }
  bool SendToWindow(const std::string&, const std::string&, unsigned, std::uintptr_t, std::intptr_t) override { return false; }
  void TrimWorkingSet() override {}
  void ProcessPendingMessages() override {}
  void RequestQuit() override {}
  LocalTime Now() const override { return {}; }
  std::optional<std::string> DecodeToUtf8(const std::string& bytes, const std::string& encoding) const override {
    return headless::IconvConvert(bytes, encoding, "UTF-8");
  }
  std::optional<std::string> EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const override {
    return headless::IconvConvert(utf8, "UTF-8", encoding);
  }
  std::optional<std::string> LoadResource(const std::string&, const std::string&) const override { return {}; }
  std::uint16_t UserInterfaceLanguage() const override { return 0x0804; }
  void SignalReady() override {}
};

}  // namespace qv::config::testing
