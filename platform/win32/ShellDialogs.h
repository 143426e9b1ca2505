#pragma once

#include "platform/Platform.h"

namespace qv::win32 {

class Win32Shell final : public IShell {
 public:
  bool Execute(const std::string& file, const std::string& arguments, const std::string& directory) override;
  // Both need COM on the calling thread (the platform starts it).
  std::optional<std::string> ResolveShortcut(const std::string& linkPath) override;
  std::optional<std::string> ExtractShellIcon(const std::string& path) override;
};

// Message boxes are task-modal: every window of the program is disabled
// while one is up.
class Win32Dialogs final : public IDialogs {
 public:
  MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                              MessageBoxIcon icon) override;
  bool BoxOpen() const override { return open_ > 0; }

 private:
  int open_ = 0;  // boxes up: a timer may open one inside another's loop
};

}  // namespace qv::win32
