#pragma once

namespace qv::win32 {

// The shell's link objects, its file dialog and ShellExecute's extensions
// expect an OLE apartment on the GUI thread, the thread that makes the
// platform. Entered at the first of those calls (EnsureOleApartment), not at
// start: loading OLE costs a start that never needs it time and memory.
class OleApartment {
 public:
  OleApartment();
  ~OleApartment();
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;

  void Enter();

 private:
  bool tried_ = false;
  bool initialized_ = false;
};

// Enters the apartment of the live OleApartment if not done yet; nothing
// when there is none (the backend's checks).
void EnsureOleApartment();

}  // namespace qv::win32
