// The log file's rules: one report one line, and the size cap's edges.

#include <gtest/gtest.h>

#include "platform/ReportLog.h"

namespace qv {
namespace {

TEST(ReportLog, OneReportIsOneStampedLine) {
  const LocalTime t{2026, 3, 7, 9, 5, 4, 27};
  EXPECT_EQ(ReportLine(t, Severity::Error, "save failed\r\nC:\\x"),
            "2026-03-07 09:05:04.027 error: save failed  C:\\x\r\n");
  EXPECT_EQ(ReportLine(t, Severity::Warning, ""), "2026-03-07 09:05:04.027 warning: \r\n");
}

TEST(ReportLog, RolloverOnlyWhenTheLineWouldPassTheCap) {
  const struct {
    std::uint64_t size, line;
    bool rollover;
  } cases[] = {
      {0, 10, false},
      {0, kLogSizeCap + 1, false},  // an empty file takes any line
      {kLogSizeCap - 10, 10, false},
      {kLogSizeCap - 10, 11, true},
      {kLogSizeCap, 1, true},
      {kLogSizeCap + 5000, 1, true},
  };
  for (const auto& c : cases) EXPECT_EQ(LogNeedsRollover(c.size, c.line), c.rollover) << c.size << " + " << c.line;
}

}  // namespace
}  // namespace qv
