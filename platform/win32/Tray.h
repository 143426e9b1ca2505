#pragma once

#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

class Win32Windows;

// The one tray icon of the main window.
class Win32Tray final : public ITray {
 public:
  Win32Tray(HINSTANCE instance, const Win32Windows& windows);
  ~Win32Tray() override;
  Win32Tray(const Win32Tray&) = delete;
  Win32Tray& operator=(const Win32Tray&) = delete;

  bool AddTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;

 private:
  const Win32Windows& windows_;
  UniqueIcon icon_;
  HWND addedTo_ = nullptr;  // the window the icon was added for, while it is shown
};

}  // namespace qv::win32
