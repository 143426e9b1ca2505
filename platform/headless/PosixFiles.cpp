#include "platform/headless/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/Platform.h"

namespace qv::headless {
namespace {

// Closes on every path out, retrying nothing: a failed close after fsync is
// reported by the caller's own check.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

constexpr const char* kTempMarker = ".tmp-";
constexpr std::size_t kRandomLength = 6;  // the XXXXXX of mkostemp

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

void SplitPath(const std::string& path, std::string& directory, std::string& name) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    directory = ".";
    name = path;
  } else {
    directory = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

bool SyncDirectory(const std::string& directory) {
  FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() < 0) return false;
  return ::fsync(dir.Get()) == 0;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& realPath) {
  FileDescriptor file(::open(realPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) return std::nullopt;
  std::string bytes;
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > kMaxWholeRead)
    return std::nullopt;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > kMaxWholeRead) return std::nullopt;
  }
  return bytes;
}

bool WriteFileAtomicPosix(const std::string& realPath, const std::string& bytes) {
  std::string directory, name;
  SplitPath(realPath, directory, name);
  if (name.empty()) return false;

  std::string tempPath = directory + "/." + name + kTempMarker + std::string(kRandomLength, 'X');
  std::vector<char> pattern(tempPath.begin(), tempPath.end());
  pattern.push_back('\0');
  FileDescriptor temp(::mkostemp(pattern.data(), O_CLOEXEC));
  if (temp.Get() < 0) return false;
  tempPath.assign(pattern.data());

  struct stat target {};
  const mode_t mode = ::stat(realPath.c_str(), &target) == 0 ? (target.st_mode & 07777) : 0644;
  const bool written = ::fchmod(temp.Get(), mode) == 0 && WriteAll(temp.Get(), bytes) && ::fsync(temp.Get()) == 0;
  if (!temp.Close() || !written || ::rename(tempPath.c_str(), realPath.c_str()) != 0) {
    ::unlink(tempPath.c_str());
    return false;
  }
  // The rename is durable only once the directory entry is on the disk; the
  // new content is in place either way, so a failure here is not reported.
  SyncDirectory(directory);
  return true;
}

bool IsAtomicWriteLeftover(const std::string& fileName, const std::string& targetFileName) {
  const std::string prefix = "." + targetFileName + kTempMarker;
  return fileName.size() == prefix.size() + kRandomLength && fileName.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace qv::headless
