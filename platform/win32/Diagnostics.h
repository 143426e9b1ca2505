#pragma once

// Reports go to the debugger's output and, when the user asked for it, to
// Quorvel.log beside the program: the file is written only when it already
// exists or the program was started with --log.

#include <string>

#include "platform/Platform.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

class Win32Diagnostics final : public IDiagnostics {
 public:
  Win32Diagnostics();
  // The log in folder (ending in a backslash), made when absent if logRequested.
  Win32Diagnostics(const std::wstring& folder, bool logRequested);
  ~Win32Diagnostics() override;
  Win32Diagnostics(const Win32Diagnostics&) = delete;
  Win32Diagnostics& operator=(const Win32Diagnostics&) = delete;

  void Report(Severity severity, const std::string& text) override;

 private:
  void Append(const std::string& line);

  std::wstring logPath_;
  std::wstring oldLogPath_;
  bool logRequested_ = false;  // --log: the file is made when absent
};

// For the backend's window procedures and callbacks, which have no platform
// at hand: goes to the live Win32Diagnostics, or to the debugger alone.
void ReportFailure(Severity severity, const std::string& text) noexcept;
// The text with the calling thread's last error: "what failed (error 5)".
std::string WithLastError(const std::string& what);

}  // namespace qv::win32
