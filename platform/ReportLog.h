#pragma once

// The log file's rules, shared by the backends that keep one: when it is
// written, how big it may grow and what one line looks like.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qv {

inline constexpr const char* kLogFileName = "Quorvel.log";
inline constexpr const char* kOldLogFileName = "Quorvel.log.old";
// Past this size the log starts anew, keeping the previous one as the .old.
inline constexpr std::uint64_t kLogSizeCap = 1024 * 1024;
inline constexpr std::string_view kLogSwitch = "--log";

inline const char* SeverityText(Severity severity) {
  switch (severity) {
    case Severity::Info:
      return "info";
    case Severity::Warning:
      return "warning";
    case Severity::Error:
      return "error";
  }
  return "error";
}

// "2026-12-06 10:00:00.250 error: text\r\n"; line breaks inside the text are
// flattened so that one report stays one line.
inline std::string ReportLine(const LocalTime& t, Severity severity, std::string_view text) {
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  std::string line = stamp;
  line += SeverityText(severity);
  line += ": ";
  for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  line += "\r\n";
  return line;
}

// A line that would take the file past the cap starts a new file; a single
// line longer than the cap still goes into a fresh one.
inline bool LogNeedsRollover(std::uint64_t currentSize, std::uint64_t lineSize) {
  return currentSize > 0 && currentSize + lineSize > kLogSizeCap;
}

}  // namespace qv
