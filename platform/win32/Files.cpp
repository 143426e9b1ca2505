#include "platform/win32/Files.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {
namespace {

// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kChunk = 1u << 20;

// A path the file functions accept whatever its length: past MAX_PATH an
// absolute path gets the "\\?\" prefix, which needs a normalized full path.
std::wstring FilePath(const std::string& utf8) {
  std::wstring path = Widen(utf8);
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

// A name beside the target that no other writer, in this process or
// another, picks at the same moment.
std::wstring TemporaryName(const std::wstring& target, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  return target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter.fetch_add(1)) +
         L"-" + std::to_wstring(attempt) + L".tmp";
}

// The file, its mapping and the view, closed in the reverse order. An empty
// file has no mapping (the system refuses to map zero bytes) and shows an
// empty range that is still a valid pointer.
class MappedFile final : public IMappedFile {
 public:
  MappedFile(UniqueFile file, UniqueFileMapping mapping, UniqueMappedView view, std::size_t size)
      : file_(std::move(file)), mapping_(std::move(mapping)), view_(std::move(view)), size_(size) {}

  const unsigned char* Data() const override {
    static const unsigned char nothing = 0;
    return view_ ? static_cast<const unsigned char*>(view_.Get()) : &nothing;
  }
  std::size_t Size() const override { return size_; }

 private:
  UniqueFile file_;
  UniqueFileMapping mapping_;
  UniqueMappedView view_;
  std::size_t size_;
};

}  // namespace

std::string Win32Files::ExecutablePath() const {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Narrow(buffer.substr(0, length));
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

std::vector<std::string> Win32Files::ListFiles(const std::string& folder) const {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  UniqueFind search(::FindFirstFileW(Widen(pattern).c_str(), &found));
  std::vector<std::string> names;
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
  } while (::FindNextFileW(search.Get(), &found));
  return names;
}

std::string Win32Files::ProgramDir() const {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    // Truncated: the path is longer than the buffer.
    buffer.assign(buffer.size() * 2, L'\0');
  }
  const std::size_t slash = buffer.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? std::wstring() : buffer.substr(0, slash + 1));
}

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
  // Shared for writing and deletion too: another program holding the file
  // open must not make it unreadable.
  UniqueFile file(::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  if (static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<std::size_t>::max() / 2) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  std::string piece(kChunk, '\0');
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    bytes.append(piece.data(), read);
  }
  return bytes;
}

bool Win32Files::WriteFileAtomic(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  const std::wstring target = FilePath(path);
  // A read-only target stays as it is. Windows refuses to replace it anyway;
  // saying so here keeps every file system (and Wine, which would replace
  // it) to the same rule, and spares writing the temporary.
  const DWORD targetAttributes = ::GetFileAttributesW(target.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) return false;
  std::wstring temporary;
  UniqueFile file;
  for (unsigned attempt = 0; attempt < 16 && !file; ++attempt) {
    temporary = TemporaryName(target, attempt);
    file.Reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (!file) return false;
  const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
  file.Reset();
  if (!written) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  // ReplaceFileW keeps the target's attributes and security and swaps in
  // one step; it needs an existing target, and some file systems refuse it.
  const bool targetExists = targetAttributes != INVALID_FILE_ATTRIBUTES;
  if (targetExists &&
      ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return true;
  }
  if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  ::DeleteFileW(temporary.c_str());
  return false;
}

bool Win32Files::DeleteFile(const std::string& path) { return ::DeleteFileW(FilePath(path).c_str()) != 0; }

std::unique_ptr<IMappedFile> Win32Files::MapReadOnly(const std::string& path) const {
  // Shared like ReadFile: a program that is running or being updated can
  // still be looked into.
  UniqueFile file(::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return nullptr;
  // A whole view must fit the address space (files past 4 GB in a 32-bit process).
  if (static_cast<unsigned long long>(size.QuadPart) > std::numeric_limits<std::size_t>::max()) return nullptr;
  const auto bytes = static_cast<std::size_t>(size.QuadPart);
  if (bytes == 0) return std::make_unique<MappedFile>(std::move(file), UniqueFileMapping(), UniqueMappedView(), 0);
  // The size read above, not "the whole file": a file that shrinks in the
  // meantime makes the mapping fail rather than the view shorter than told.
  UniqueFileMapping mapping(::CreateFileMappingW(
      file.Get(), nullptr, PAGE_READONLY, static_cast<DWORD>(static_cast<unsigned long long>(size.QuadPart) >> 32),
      static_cast<DWORD>(size.QuadPart & 0xFFFFFFFFu), nullptr));
  if (!mapping) return nullptr;
  UniqueMappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, bytes));
  if (!view) return nullptr;
  return std::make_unique<MappedFile>(std::move(file), std::move(mapping), std::move(view), bytes);
}

}  // namespace qv::win32
