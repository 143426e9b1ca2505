#pragma once

#include "platform/Platform.h"

namespace qv::win32 {

class Win32Windows;

class Win32Shell final : public IShell {
 public:
  bool Execute(const std::string& file, const std::string& arguments, const std::string& directory) override;
  // Both need COM on the calling thread (the platform starts it).
  std::optional<std::string> ResolveShortcut(const std::string& linkPath) override;
  std::optional<std::string> ExtractShellIcon(const std::string& path) override;
};

// Message boxes belong to the main form, so they stay above it and go to
// the tray with it.
class Win32Dialogs final : public IDialogs {
 public:
  explicit Win32Dialogs(const Win32Windows& windows) : windows_(windows) {}
  MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                              MessageBoxIcon icon) override;

 private:
  const Win32Windows& windows_;
};

}  // namespace qv::win32
