#include "platform/win32/StartupTrace.h"

#include <cstdint>
#include <cstdio>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

std::uint64_t AsTicks(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

void TracePhase(const char* what) noexcept {
  // Asked once: the environment does not change under a running start.
  static const bool enabled = ::GetEnvironmentVariableW(L"QV_TRACE", nullptr, 0) > 0;
  if (!enabled) return;
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  ::GetSystemTimePreciseAsFileTime(&now);
  // FILETIME counts 100 ns steps.
  const double ms = static_cast<double>(AsTicks(now) - AsTicks(created)) / 10000.0;
  const double cpuMs = static_cast<double>(AsTicks(kernel) + AsTicks(user)) / 10000.0;
  char line[160];
  std::snprintf(line, sizeof(line), "Quorvel trace: %8.1f ms (cpu %6.1f ms) %s\n", ms, cpuMs, what);
  ::OutputDebugStringA(line);
}

}  // namespace qv::win32
