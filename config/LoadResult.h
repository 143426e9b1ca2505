#pragma once

// What loading the configuration file found.

#include <cstddef>
#include <string>

namespace qv::config {

enum class LoadStatus { Ok, Missing, Unreadable };

struct LoadResult {
  LoadStatus status = LoadStatus::Missing;
  std::string description;     // the parser's description when Unreadable
  std::ptrdiff_t offset = -1;  // byte offset of the fault when known
};

enum class EditResult {
  Saved,
  NothingToChange,  // what was to change is not in the file; the file is as it was
  NotLoaded,        // missing or unreadable: left alone
  WriteFailed,      // loaded and edited, but the new file did not reach the disk
};
// A failure worth a report: the user's change lives in memory only.
inline bool Failed(EditResult result) { return result == EditResult::NotLoaded || result == EditResult::WriteFailed; }
// "the file could not be written", for a report.
const char* Describe(EditResult result);

}  // namespace qv::config
