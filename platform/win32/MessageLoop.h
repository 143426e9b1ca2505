#pragma once

// The thread's message loop, and the nested turns the core asks for.

namespace qv::win32 {

class Win32MessageLoop {
 public:
  // Dispatches until WM_QUIT; returns its exit code.
  int Run();
  // Dispatches what is already queued and returns. A WM_QUIT met here is
  // put back so the outer loop still ends.
  void ProcessPendingMessages();
  void RequestQuit();
};

}  // namespace qv::win32
