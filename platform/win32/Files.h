#pragma once

#include <string>

#include "platform/Platform.h"

namespace qv::win32 {

// The folder of the running program, with its trailing backslash; empty when unknown.
std::wstring ProgramDirectoryW();

// The paths a save passes to the system, each in the form its own length
// needs (past MAX_PATH, "\\?\" and the full path): the target, the
// temporary written first and the backup of the content replaced.
struct SavePaths {
  std::wstring target;
  std::wstring temporary;
  std::wstring backup;
};
SavePaths PathsOfSave(const std::string& target, unsigned attempt);

class Win32Files final : public IFileSystem {
 public:
  std::string ProgramDir() const override;
  bool FileExists(const std::string& path) const override;
  bool DirectoryExists(const std::string& path) const override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) const override;
  // The content replaced last stays beside the target as "<name>.bak" (only
  // the configuration file is ever rewritten: cached icons are written once).
  // On failure the target keeps its old content; should it be gone, the
  // temporary "<name>.<pid>-<n>-<try>.tmp" holding the new one is kept.
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  std::string LastWriteFailure() const override { return lastFailure_; }
  // Only names of WriteFileAtomic's own form, of a process no longer running.
  int RemoveStaleTemporaries(const std::string& target) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const override;
  std::vector<std::string> ListFiles(const std::string& folder) const override;
  std::string ExecutablePath() const override;

 private:
  // Reports why a save failed and keeps it for LastWriteFailure; false.
  bool Fail(std::string reason);

  std::string lastFailure_;
};

}  // namespace qv::win32
