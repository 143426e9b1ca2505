#pragma once

// The thread's message loop, and the nested turns the core asks for.

namespace qv::win32 {

// The system timer at its finest period, held only while it is wanted: the
// animations run on 2 to 40 ms timers, which otherwise tick at the default
// period of about 16 ms, while a fine period held at rest keeps the whole
// machine from idling.
class FinestTimerPeriod {
 public:
  FinestTimerPeriod() = default;
  ~FinestTimerPeriod() { Hold(false); }
  FinestTimerPeriod(const FinestTimerPeriod&) = delete;
  FinestTimerPeriod& operator=(const FinestTimerPeriod&) = delete;

  // Asks for the period or gives it back; asking twice holds it once.
  void Hold(bool wanted);
  unsigned PeriodMs() const { return period_; }  // 0 while not held or when the system refused

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
