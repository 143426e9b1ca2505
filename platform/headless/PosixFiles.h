#pragma once

// Whole-file reads and crash-safe replacement of files on a POSIX file
// system, for the headless backend and the tests that exercise real files.

#include <optional>
#include <string>

namespace qv::headless {

// nullopt when the file cannot be opened or read (a directory included).
std::optional<std::string> ReadWholeFile(const std::string& realPath);

// Writes the bytes to a new file beside the target, flushes it to the disk and
// renames it over the target, then flushes the directory: after a crash at
// any point the target holds the old bytes or the new ones. The temporary
// file ("." + name + ".tmp-" + six random characters) is removed on failure.
// An existing target keeps its permission bits.
bool WriteFileAtomicPosix(const std::string& realPath, const std::string& bytes);

// True for a name WriteFileAtomicPosix may have left beside target after a
// crash, so a cleaner never takes a real file for one.
bool IsAtomicWriteLeftover(const std::string& fileName, const std::string& targetFileName);

}  // namespace qv::headless
