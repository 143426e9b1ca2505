#pragma once

// Global atoms and system-wide hot keys. The hot keys belong to a
// message-only window of their own, which lives as long as this object and
// hands WM_HOTKEY to the core's event sink, once per press.

#include <map>
#include <set>
#include <string>

#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

class Win32Windows;

class Win32HotKeys final : public IHotKeys {
 public:
  Win32HotKeys(HINSTANCE instance, const Win32Windows& windows);
  ~Win32HotKeys() override;
  Win32HotKeys(const Win32HotKeys&) = delete;
  Win32HotKeys& operator=(const Win32HotKeys&) = delete;

  bool GlobalAtomExists(const std::string& name) const override;
  std::uint16_t GlobalAddAtom(const std::string& name) override;
  void GlobalDeleteAtom(std::uint16_t atom) override;
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  bool UnregisterHotKey(int id) override;

  // The window that receives the hot keys; null until the first registration.
  HWND Window() const noexcept { return window_.Get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  bool EnsureWindow();
  void Deliver(int id, unsigned modifiers, unsigned virtualKey);
  void ForgetReleasedKeys();

  HINSTANCE instance_;
  const Win32Windows& windows_;
  bool classRegistered_ = false;
  UniqueWindow window_;
  std::set<int> registered_;
  // Hot keys that fired and whose key has not been seen up since: id -> key.
  std::map<int, unsigned> held_;
};

}  // namespace qv::win32
