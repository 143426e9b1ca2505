#pragma once

#include "platform/Platform.h"

namespace qv::win32 {

class Win32Files final : public IFileSystem {
 public:
  std::string ProgramDir() const override;
  bool FileExists(const std::string& path) const override;
  bool DirectoryExists(const std::string& path) const override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) const override;
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<IMappedFile> MapReadOnly(const std::string& path) const override;
  std::vector<std::string> ListFiles(const std::string& folder) const override;
  std::string ExecutablePath() const override;
};

}  // namespace qv::win32
