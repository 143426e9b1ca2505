#include "config/Backups.h"

#include "config/ConfigDocument.h"

namespace qv::config {

std::string ProtectedBackupPath(const std::string& path) { return path + kProtectedSuffix; }

EditResult TakeProtectedBackup(IFileSystem& files, ISystem& system, const std::string& path) {
  ConfigDocument document(files, system, path);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  // The bytes as they are, not as a save would write them: the copy is the
  // user's file, whatever its encoding or layout.
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return EditResult::NotLoaded;
  const std::string copy = ProtectedBackupPath(path);
  if (files.ReadFile(copy) == bytes) return EditResult::NothingToChange;
  return files.WriteFileAtomic(copy, *bytes) ? EditResult::Saved : EditResult::WriteFailed;
}

}  // namespace qv::config
