#pragma once

#include "platform/Menus.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

class Win32Windows;

// Popup menus owned by the main window, tracked until they close.
class Win32Menus final : public IMenus {
 public:
  explicit Win32Menus(const Win32Windows& windows) : windows_(windows) {}
  std::optional<int> ShowPopupMenu(const Menu& menu, Point screen) override;

 private:
  const Win32Windows& windows_;
};

}  // namespace qv::win32
