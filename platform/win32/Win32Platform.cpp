#include "platform/win32/Win32Platform.h"

namespace qv::win32 {

Win32Platform::Win32Platform(HINSTANCE instance)
    : windows_(instance),
      tray_(instance, windows_),
      hotKeys_(instance, windows_),
      system_(instance, windows_, loop_),
      menus_(windows_),
      forms_(instance, [this] { return windows_.MainWindow(); }),
      platform_{windows_, windows_, dialogs_, files_,       registry_, shell_, tray_,
                hotKeys_, system_,  canvas_,  diagnostics_, menus_,    forms_} {}

}  // namespace qv::win32
