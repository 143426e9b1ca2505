#include "config/SaveFailures.h"

#include <utility>

namespace qv::config {

std::string NotSavedMessage(const std::string& path, const std::string& reason) {
  return Tr(TextKey::NotSaved, {path, reason});
}

SaveFailures::SaveFailures(IDialogs& dialogs, IDiagnostics& diagnostics, const IFileSystem& files, std::string path)
    : dialogs_(dialogs), diagnostics_(diagnostics), files_(files), path_(std::move(path)) {}

bool SaveFailures::Check(EditResult result, const std::string& what) {
  const bool saved = Record(result, what);
  TellPending();
  return saved;
}

bool SaveFailures::Record(EditResult result, const std::string& what) {
  if (!Failed(result)) return true;
  // A write that failed knows why; a file that went away or cannot be read
  // is never written, and the result says so.
  std::string reason = result == EditResult::WriteFailed ? files_.LastWriteFailure() : std::string();
  if (reason.empty()) reason = Describe(result);
  diagnostics_.Report(Severity::Error, what + " was not saved: " + reason + " (" + path_ + ")");
  // The file was edited behind the program's back: saving still works, and
  // the next start shows what the file holds.
  if (result == EditResult::Mismatch) return false;
  if (!told_ && pending_.empty()) pending_ = NotSavedMessage(path_, reason);
  return false;
}

void SaveFailures::TellPending() {
  if (told_ || pending_.empty()) return;
  // Set first: the box runs a loop of its own, in which another save may fail.
  told_ = true;
  const std::string message = std::move(pending_);
  pending_.clear();
  dialogs_.MessageBox(message, Tr(TextKey::BoxCaption), MessageBoxButtons::Ok, MessageBoxIcon::Warning);
}

}  // namespace qv::config
