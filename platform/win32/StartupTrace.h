#pragma once

// Phases of the start-up with the time since the process was created, for
// finding where a slow start goes. Silent unless the environment variable
// QV_TRACE is set; then each phase is one line on the debugger's output
// ("Quorvel trace: 123.4 ms what", seen with WINEDEBUG=+debugstr).

namespace qv::win32 {

void TracePhase(const char* what) noexcept;

// Marks a phase where it is constructed: placed between members, it times
// the construction of the ones before it.
struct TraceMark {
  explicit TraceMark(const char* what) noexcept { TracePhase(what); }
};

}  // namespace qv::win32
