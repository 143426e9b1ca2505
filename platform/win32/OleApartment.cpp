#include "platform/win32/OleApartment.h"

#include "platform/win32/Win32Api.h"

// After the backend's view of <windows.h>.
#include <ole2.h>

namespace qv::win32 {

namespace {

OleApartment* liveApartment = nullptr;

}  // namespace

OleApartment::OleApartment() { liveApartment = this; }

OleApartment::~OleApartment() {
  if (liveApartment == this) liveApartment = nullptr;
  if (initialized_) ::OleUninitialize();
}

void OleApartment::Enter() {
  // Once: a failed start is not retried at every shortcut.
  if (tried_) return;
  tried_ = true;
  initialized_ = SUCCEEDED(::OleInitialize(nullptr));
}

void EnsureOleApartment() {
  if (liveApartment) liveApartment->Enter();
}

}  // namespace qv::win32
