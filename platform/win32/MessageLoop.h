#pragma once

// The thread's message loop, and the nested turns the core asks for.

namespace qv::win32 {

// The system timer at its finest period for the life of the object: the
// bounce runs on 2 and 5 ms timers, which otherwise tick at the default
// period of about 16 ms.
class FinestTimerPeriod {
 public:
  FinestTimerPeriod();
  ~FinestTimerPeriod();
  FinestTimerPeriod(const FinestTimerPeriod&) = delete;
  FinestTimerPeriod& operator=(const FinestTimerPeriod&) = delete;

  unsigned PeriodMs() const { return period_; }  // 0 when the system refused

 private:
  unsigned period_ = 0;
};

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
