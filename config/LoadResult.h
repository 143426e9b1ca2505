#pragma once

// Where the configuration file is, and what loading or editing it found.

#include <cstddef>
#include <string>

#include "platform/Platform.h"

namespace qv::config {

// Config\UserInfo.xml beside the program.
inline std::string UserInfoPath(const IFileSystem& files) { return files.ProgramDir() + "Config\\UserInfo.xml"; }

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
  Mismatch,         // the place holds another item than the program shows there: the file is as it was
};
// A failure worth a report: the user's change lives in memory only.
inline bool Failed(EditResult result) {
  return result == EditResult::NotLoaded || result == EditResult::WriteFailed || result == EditResult::Mismatch;
}
// "the file could not be written", for a report.
const char* Describe(EditResult result);

}  // namespace qv::config
