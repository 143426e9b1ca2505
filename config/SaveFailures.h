#pragma once

// The one place a failed save of the configuration file is told: always to
// the log, and once in a run of the program to the user, who otherwise
// believes every change is kept. The program goes on working in memory.

#include <string>

#include "config/LoadResult.h"
#include "config/Texts.h"
#include "platform/Platform.h"

namespace qv::config {

// The message: what could not be saved, where and why.
std::string NotSavedMessage(const std::string& path, const std::string& reason);

class SaveFailures {
 public:
  SaveFailures(IDialogs& dialogs, IDiagnostics& diagnostics, const IFileSystem& files, std::string path);
  SaveFailures(const SaveFailures&) = delete;
  SaveFailures& operator=(const SaveFailures&) = delete;

  // Looks at the result of a save right after it ran (the system's reason is
  // that of the last write). False when the change reached memory only.
  bool Check(EditResult result, const std::string& what);
  // Check in two steps, for a handler that must finish its work before a
  // message box lets timers and input in: Record logs the failure and keeps
  // the message; TellPending shows a kept message.
  bool Record(EditResult result, const std::string& what);
  void TellPending();
  // The user has been told in this run.
  bool Told() const { return told_; }

 private:
  IDialogs& dialogs_;
  IDiagnostics& diagnostics_;
  const IFileSystem& files_;
  std::string path_;
  bool told_ = false;
  std::string pending_;  // the message to tell, once in a run
};

}  // namespace qv::config
