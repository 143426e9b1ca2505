#include "platform/win32/Diagnostics.h"

#include <shellapi.h>

#include "platform/ReportLog.h"
#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"

namespace qv::win32 {

namespace {

Win32Diagnostics* live = nullptr;

bool CommandLineAsksForLog() {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!args) return false;
  bool found = false;
  const std::wstring wanted = Widen(kLogSwitch);
  for (int i = 1; i < count; ++i) found = found || wanted == args[i];
  ::LocalFree(args);
  return found;
}

LocalTime LocalNow() {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace

Win32Diagnostics::Win32Diagnostics() : Win32Diagnostics(ProgramDirectoryW(), CommandLineAsksForLog()) {}

Win32Diagnostics::Win32Diagnostics(const std::wstring& folder, bool logRequested) : logRequested_(logRequested) {
  if (!folder.empty()) {
    logPath_ = folder + Widen(kLogFileName);
    oldLogPath_ = folder + Widen(kOldLogFileName);
  }
  live = this;
}

Win32Diagnostics::~Win32Diagnostics() {
  if (live == this) live = nullptr;
}

void Win32Diagnostics::Report(Severity severity, const std::string& text) {
  const std::string line = ReportLine(LocalNow(), severity, text);
  ::OutputDebugStringW(Widen("Quorvel: " + line).c_str());
  Append(line);
}

// Opened for each report and closed again: reports are rare, and a file that
// is not held open can be read, moved or deleted while the program runs.
void Win32Diagnostics::Append(const std::string& line) {
  if (logPath_.empty()) return;
  const DWORD disposition = logRequested_ ? OPEN_ALWAYS : OPEN_EXISTING;
  UniqueFile file(::CreateFileW(logPath_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER size{};
  std::string text = line;
  if (::GetFileSizeEx(file.Get(), &size) && LogNeedsRollover(static_cast<std::uint64_t>(size.QuadPart), line.size())) {
    file.Reset();
    // The log existed a moment ago: starting it anew is what the user asked for.
    DWORD disposition = CREATE_NEW;
    if (!::MoveFileExW(logPath_.c_str(), oldLogPath_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      // The old log is held open by a reader, say: this one starts anew in
      // place rather than lose every later line, and says so.
      const std::string why = WithLastError("The log could not be kept as " + std::string(kOldLogFileName));
      text = ReportLine(LocalNow(), Severity::Warning, why + "; it starts anew without it") + line;
      disposition = TRUNCATE_EXISTING;
    }
    file = UniqueFile(::CreateFileW(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
  }
  DWORD written = 0;
  ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void ReportFailure(Severity severity, const std::string& text) noexcept {
  try {
    if (live) {
      live->Report(severity, text);
    } else {
      ::OutputDebugStringW(Widen("Quorvel: " + text + "\n").c_str());
    }
  } catch (...) {
    // Reporting must never be the next failure.
  }
}

std::string WithLastError(const std::string& what) {
  return what + " (error " + std::to_string(::GetLastError()) + ")";
}

}  // namespace qv::win32
