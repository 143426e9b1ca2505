#pragma once

// Everything the core may ask of Windows, gathered for the entry point.

#include "platform/MessageLoop.h"
#include "platform/Platform.h"
#include "platform/win32/Canvas.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/Files.h"
#include "platform/win32/Forms.h"
#include "platform/win32/HotKeys.h"
#include "platform/win32/Menus.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/OleApartment.h"
#include "platform/win32/Registry.h"
#include "platform/win32/ShellDialogs.h"
#include "platform/win32/StartupTrace.h"
#include "platform/win32/System.h"
#include "platform/win32/Tray.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {

class Win32Platform final : public IMessageLoop {
 public:
  explicit Win32Platform(HINSTANCE instance);
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& Interfaces() { return platform_; }
  // The hot keys' own window, for checks that send it messages.
  HWND HotKeyWindow() const { return hotKeys_.Window(); }
  unsigned TimerPeriodMs() const { return windows_.TimerPeriodMs(); }

  // IMessageLoop
  void SetEventSink(IPlatformEvents* sink) override { windows_.SetEventSink(sink); }
  void Run() override { loop_.Run(); }

 private:
  // Declared so that they go in reverse: the hot keys and the tray icon go
  // while the windows still exist, the windows next, OLE last; the reports outlive them all.
  Win32Diagnostics diagnostics_;
  OleApartment ole_;
  Win32Windows windows_;
  Win32MessageLoop loop_;
  Win32Dialogs dialogs_;
  Win32Files files_;
  Win32Registry registry_;
  Win32Shell shell_;
  Win32Tray tray_;
  TraceMark trayMade_{"tray"};
  Win32HotKeys hotKeys_;
  Win32System system_;
  Win32Canvas canvas_;
  Win32Menus menus_;
  Win32Forms forms_;
  TraceMark formsMade_{"forms"};
  Platform platform_;
};

}  // namespace qv::win32
