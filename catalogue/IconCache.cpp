#include "catalogue/IconCache.h"

#include <array>
#include <string_view>

#include "picture/IcoFile.h"
#include "catalogue/IconExtraction.h"
#include "catalogue/PeReader.h"

namespace qv::catalogue {

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The folder is made at start; it is made again here in case it went away
// while the program ran, since a write into a missing folder fails.
void EnsureCacheFolder(IFileSystem& files) {
  const std::string folder = files.ProgramDir() + "Icon";
  if (!files.DirectoryExists(folder)) files.CreateDirectory(folder);
}

// A program file's own images, else the shell's icon for it. The reader
// lives only as long as the choice: holding the mapping any longer would
// keep the user's program file locked.
IconSource CacheProgramIcon(IFileSystem& files, IShell& shell, const std::string& program) {
  TPEReader reader;
  reader.Load(files, program);
  if (ExtractLargeIcon(reader, files, program)) return IconSource::LargeImage;
  if (ExtractSmallIcon(reader, files, program)) return IconSource::SmallImage;
  return ExtractShellIcon(shell, files, program) ? IconSource::ShellIcon : IconSource::NotCached;
}

// Makes sure the cache holds a picture for target, the program's own or the shell's.
IconSource CacheIconOf(IFileSystem& files, IShell& shell, const std::string& target) {
  if (files.FileExists(IconCachePath(files, target))) return IconSource::AlreadyCached;
  EnsureCacheFolder(files);
  if (LowerExtension(target) == ".exe") return CacheProgramIcon(files, shell, target);
  return ExtractShellIcon(shell, files, target) ? IconSource::ShellIcon : IconSource::NotCached;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string LowerExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : Lower(name.substr(dot));
}

std::string IconCachePath(const std::string& programDir, const std::string& path) {
  return programDir + "Icon\\" + FileNameOf(path) + ".ico";
}

std::string IconCachePath(const IFileSystem& files, const std::string& path) {
  return IconCachePath(files.ProgramDir(), path);
}

std::string MyFilesPicturePath(const IFileSystem& files) { return files.ProgramDir() + "Icon\\SysTool\\MyFiles.png"; }

bool IsOfficeIconContainer(const std::string& path) {
  static constexpr std::array<std::string_view, 8> kContainers = {"wordicon.exe", "xlicons.exe", "pptico.exe",
                                                                  "accicons.exe", "outicon.exe", "pubs.exe",
                                                                  "inficon.exe",  "misc.exe"};
  const std::string name = FileNameOf(path);
  for (const std::string_view container : kContainers)
    if (name == container) return true;
  return false;
}

bool ExtractShellIcon(IShell& shell, IFileSystem& files, const std::string& path) {
  const auto icon = shell.ExtractShellIcon(path);
  if (!icon || !picture::LooksLikeIco(*icon)) return false;
  return files.WriteFileAtomic(IconCachePath(files, path), *icon);
}

CacheOutcome ResolveAndCacheIcon(IFileSystem& files, IShell& shell, const std::string& path) {
  CacheOutcome outcome;
  const std::string extension = LowerExtension(path);
  if (extension.empty()) {
    outcome.target = path;
    outcome.noExtension = true;
    outcome.iconPath = MyFilesPicturePath(files);
    outcome.source = IconSource::FolderPicture;
    return outcome;
  }
  if (extension == ".lnk") {
    const auto target = shell.ResolveShortcut(path);
    // A link to an object without a file path (a printer, a control panel
    // page) has nothing to launch or cache: leave no nameless .ico behind.
    if (!target || target->empty()) {
      outcome.abandoned = true;
      outcome.source = IconSource::Abandoned;
      return outcome;
    }
    outcome.target = *target;
  } else {
    outcome.target = path;
  }
  outcome.source = CacheIconOf(files, shell, outcome.target);
  outcome.iconPath = IconCachePath(files, outcome.target);
  return outcome;
}

}  // namespace qv::catalogue
