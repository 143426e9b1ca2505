// The program's entry point: picks the Windows backend and hands it to the
// launcher.

// The backend's view of <windows.h> comes first.
// clang-format off
#include "platform/win32/Win32Platform.h"
#include <ole2.h>
// clang-format on

#include "app/Application.h"

namespace {

// The shell's link objects and drag sources expect an OLE apartment on the
// GUI thread.
class OleApartment {
 public:
  OleApartment() : initialized_(SUCCEEDED(::OleInitialize(nullptr))) {}
  ~OleApartment() {
    if (initialized_) ::OleUninitialize();
  }
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;

 private:
  bool initialized_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Nothing may unwind out of the entry point into the C runtime.
  try {
    OleApartment ole;
    qv::win32::Win32Platform platform(instance);
    return qv::app::RunQuorvel(platform.Interfaces(), platform);
  } catch (...) {
    return 1;
  }
}
