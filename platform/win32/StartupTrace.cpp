#include "platform/win32/StartupTrace.h"

#include <cstdint>
#include <cstdio>

#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

std::uint64_t AsTicks(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// The precise clock came with Windows 8; Windows 7 has the coarse one.
void Now(FILETIME* now) {
  using PreciseFn = void(WINAPI*)(LPFILETIME);
  static const PreciseFn precise = [] {
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? reinterpret_cast<PreciseFn>(
                          reinterpret_cast<void (*)()>(::GetProcAddress(kernel32, "GetSystemTimePreciseAsFileTime")))
                    : nullptr;
  }();
  if (precise) {
    precise(now);
  } else {
    ::GetSystemTimeAsFileTime(now);
  }
}

}  // namespace

void TracePhase(const char* what) noexcept {
  // Asked once: the environment does not change under a running start.
  static const bool enabled = ::GetEnvironmentVariableW(L"QV_TRACE", nullptr, 0) > 0;
  if (!enabled) return;
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  Now(&now);
  // FILETIME counts 100 ns steps.
  const double ms = static_cast<double>(AsTicks(now) - AsTicks(created)) / 10000.0;
  const double cpuMs = static_cast<double>(AsTicks(kernel) + AsTicks(user)) / 10000.0;
  char line[160];
  std::snprintf(line, sizeof(line), "Quorvel trace: %8.1f ms (cpu %6.1f ms) %s\n", ms, cpuMs, what);
  ::OutputDebugStringA(line);
}

}  // namespace qv::win32
