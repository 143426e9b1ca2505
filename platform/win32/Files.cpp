#include "platform/win32/Files.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "platform/win32/Diagnostics.h"
#include "platform/win32/Handles.h"
#include "platform/win32/StartupTrace.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Wow64.h"

namespace qv::win32 {
namespace {

// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kChunk = 1u << 20;

constexpr wchar_t kBackupSuffix[] = L".bak";

// A path the file functions accept whatever its length: past MAX_PATH an
// absolute path gets the "\\?\" prefix, which needs a normalized full path.
// Decided for each path passed on its own: a temporary or a backup is longer
// than the target it sits beside.
std::wstring Prefixed(std::wstring path) {
  if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\")) return path;
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return path;
  full.resize(written);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
  return path;
}

// Through NativePath: a 32-bit build reaches the real system folder too.
std::wstring FilePath(const std::string& utf8) { return Prefixed(Widen(NativePath(utf8))); }

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(FilePath(path).c_str()); }

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Another program holding the file for a moment (a virus scanner, the
// indexer, a backup tool) makes a replace fail with one of these; a short
// wait usually outlasts it.
bool Transient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_USER_MAPPED_FILE;
}

// Runs step until it succeeds, fails for good, or the waits (under a second
// in all) are spent.
template <typename Step>
bool Retried(Step step) {
  constexpr DWORD kWaits[] = {10, 25, 50, 100, 200, 400};
  for (DWORD wait : kWaits) {
    if (step()) return true;
    if (!Transient(::GetLastError())) return false;
    ::Sleep(wait);
  }
  return step();
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Keeps the content about to be replaced as the backup: a second name for
// the same data where the file system has them, a copy where not. Best
// effort: a save does not fail for want of a backup.
void KeepBackup(const std::wstring& target, const std::wstring& backup) {
  ::SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(backup.c_str());
  if (!::CreateHardLinkW(backup.c_str(), target.c_str(), nullptr)) ::CopyFileW(target.c_str(), backup.c_str(), FALSE);
}

// Puts the written temporary in the target's place. A rename over the
// target is the one step after which readers see the new content and
// before which they see the old: there is no moment without a target.
// (ReplaceFileW renames the target away first and the temporary in next;
// killed in between, it leaves no target at all.) The temporary takes the
// target's attributes, as ReplaceFileW would have given it. ReplaceFileW
// remains for file systems that refuse the rename; given a backup name it
// leaves the target in place when it cannot finish
// (ERROR_UNABLE_TO_MOVE_REPLACEMENT) or under the backup name (..._2).
bool CommitTemporary(const std::wstring& target, const std::wstring& temporary, const std::wstring& backup) {
  const DWORD targetAttributes = ::GetFileAttributesW(target.c_str());
  const bool hadTarget = targetAttributes != INVALID_FILE_ATTRIBUTES && !(targetAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (hadTarget) {
    KeepBackup(target, backup);
    ::SetFileAttributesW(temporary.c_str(),
                         targetAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
  }
  if (Retried([&] {
        return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
               0;
      })) {
    return true;
  }
  if (hadTarget && ::ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                                  nullptr, nullptr)) {
    return true;
  }
  // Left half done: the last good content is at least back in its place.
  if (hadTarget && !IsFile(target) && IsFile(backup)) ::CopyFileW(backup.c_str(), target.c_str(), TRUE);
  return false;
}

// Each read names its offset, so reads share no file position and a read
// error comes back as a result instead of a fault on a mapped page.
class ReadableFile final : public IReadableFile {
 public:
  ReadableFile(UniqueFile file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
    auto* bytes = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < count) {
      const std::uint64_t at = offset + done;
      OVERLAPPED position{};
      position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
      position.OffsetHigh = static_cast<DWORD>(at >> 32);
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(count - done, kChunk));
      DWORD read = 0;
      if (!::ReadFile(file_.Get(), bytes + done, piece, &read, &position) || read == 0) return false;
      done += read;
    }
    return true;
  }

 private:
  UniqueFile file_;
  std::uint64_t size_;
};

}  // namespace

// A name beside the target that no other writer, in this process or
// another, picks at the same moment.
SavePaths PathsOfSave(const std::string& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  const std::wstring plain = Widen(target);
  return {Prefixed(plain),
          Prefixed(plain + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(attempt) + L".tmp"),
          Prefixed(plain + kBackupSuffix)};
}

namespace {

// The running program's file, whatever the length of its path.
std::wstring ModulePathW() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return buffer.substr(0, length);
    // Truncated: the path is longer than the buffer.
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

}  // namespace

std::wstring ProgramDirectoryW() {
  const std::wstring path = ModulePathW();
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::string Win32Files::ExecutablePath() const { return Narrow(ModulePathW()); }

std::vector<std::string> Win32Files::ListFiles(const std::string& folder) const {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  UniqueFind search(::FindFirstFileW(FilePath(pattern).c_str(), &found));
  std::vector<std::string> names;
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
  } while (::FindNextFileW(search.Get(), &found));
  return names;
}

std::string Win32Files::ProgramDir() const { return Narrow(ProgramDirectoryW()); }

bool Win32Files::FileExists(const std::string& path) const {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::DirectoryExists(const std::string& path) const {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// True only when made now: an existing directory, like a missing parent,
// gives false.
bool Win32Files::CreateDirectory(const std::string& path) {
  return !path.empty() && ::CreateDirectoryW(FilePath(path).c_str(), nullptr) != 0;
}

std::optional<std::string> Win32Files::ReadFile(const std::string& path) const {
  TracePhase(path.c_str());
  // Shared for writing and deletion too: another program holding the file
  // open must not make it unreadable.
  UniqueFile file(::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  // A device ("COM1", "NUL") or a pipe opens as well as a file does, and a
  // read from it may never end.
  if (!file || ::GetFileType(file.Get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kMaxWholeRead)
    return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  std::string piece(kChunk, '\0');
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    bytes.append(piece.data(), read);
    if (bytes.size() > kMaxWholeRead) return std::nullopt;  // it grew while read
  }
  return bytes;
}

bool Win32Files::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  lastFailure_.clear();
  if (path.empty()) return Fail("Not saved: no path");
  const std::wstring target = PathsOfSave(path, 0).target;
  // A read-only target stays as it is. Windows refuses to replace it anyway;
  // saying so here keeps every file system (and Wine, which would replace
  // it) to the same rule, and spares writing the temporary.
  const DWORD targetAttributes = ::GetFileAttributesW(target.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) {
    return Fail("Not saved: " + path + " is read-only");
  }
  SavePaths paths;
  UniqueFile file;
  for (unsigned attempt = 0; attempt < 16 && !file; ++attempt) {
    paths = PathsOfSave(path, attempt);
    file.Reset(
        ::CreateFileW(paths.temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_FILE_EXISTS) {
      return Fail(WithLastError("Not saved: the folder of " + path + " refuses a new file"));
    }
  }
  if (!file) {
    return Fail("Not saved: every temporary name beside " + path + " is taken");
  }
  const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
  file.Reset();
  if (!written) {
    const std::string reason = WithLastError("Not saved: writing the new content of " + path + " failed");
    ::DeleteFileW(paths.temporary.c_str());
    return Fail(reason);
  }
  if (CommitTemporary(target, paths.temporary, paths.backup)) return true;
  const std::string reason = WithLastError("Not saved: the new content could not replace " + path);
  // The temporary goes only while the target still holds the last good
  // content; once the target is gone it is the only copy on disk.
  const DWORD after = ::GetFileAttributesW(target.c_str());
  if (after != INVALID_FILE_ATTRIBUTES && !(after & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(paths.temporary.c_str());
    return Fail(reason);
  }
  return Fail(reason + "; the new content is kept in " + Narrow(paths.temporary));
}

namespace {

// "<pid>-<n>-<try>.tmp", the part after the target's name and its dot; the pid, or 0 when not of that form.
DWORD WriterOfTemporary(const std::wstring& rest) {
  DWORD pid = 0;
  int fields = 0;
  bool digits = false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const wchar_t c = rest[i];
    if (c >= L'0' && c <= L'9') {
      if (fields == 0) pid = pid * 10 + static_cast<DWORD>(c - L'0');
      digits = true;
      continue;
    }
    if (!digits) return 0;
    digits = false;
    ++fields;
    if (fields < 3 && c == L'-') continue;
    return fields == 3 && rest.substr(i) == L".tmp" ? pid : 0;
  }
  return 0;
}

bool ProcessRunning(DWORD pid) {
  UniqueProcess process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
  return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

int Win32Files::RemoveStaleTemporaries(const std::string& target) {
  if (!FileExists(target)) return 0;
  const std::wstring plain = Widen(target);
  const std::size_t slash = plain.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : plain.substr(0, slash + 1);
  const std::wstring name = plain.substr(folder.size()) + L".";
  WIN32_FIND_DATAW found{};
  UniqueFind search(::FindFirstFileW(Prefixed(plain + L".*.tmp").c_str(), &found));
  if (!search) return 0;
  int removed = 0;
  do {
    const std::wstring file = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !file.starts_with(name)) continue;
    const DWORD pid = WriterOfTemporary(file.substr(name.size()));
    if (pid == 0 || pid == ::GetCurrentProcessId() || ProcessRunning(pid)) continue;
    if (::DeleteFileW(Prefixed(folder + file).c_str())) ++removed;
  } while (::FindNextFileW(search.Get(), &found));
  if (removed > 0)
    ReportFailure(Severity::Info, "Removed " + std::to_string(removed) + " temporaries left beside " + target);
  return removed;
}

bool Win32Files::Fail(std::string reason) {
  ReportFailure(Severity::Error, reason);
  lastFailure_ = std::move(reason);
  return false;
}

bool Win32Files::DeleteFile(const std::string& path) { return ::DeleteFileW(FilePath(path).c_str()) != 0; }

std::unique_ptr<IReadableFile> Win32Files::OpenForRead(const std::string& path) const {
  // Shared like ReadFile: a program that is running or being updated can
  // still be looked into.
  UniqueFile file(::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr));
  if (!file) return nullptr;
  if (::GetFileType(file.Get()) != FILE_TYPE_DISK) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.Get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return nullptr;
  return std::make_unique<ReadableFile>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace qv::win32
