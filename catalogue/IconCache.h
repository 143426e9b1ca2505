#pragma once

// The icon cache: one .ico per target file name in ProgramDir\Icon\, written
// the first time such a target is dropped and reused for every later target
// of the same file name. This is where a dropped path is classified and its
// picture made sure of.

#include <string>

#include "platform/Platform.h"

namespace qv::catalogue {

// The file name of a path: the text after its last "\", "/" or ":",
// extension included. A forward slash separates too, so a name taken from
// a shortcut can never lead out of the cache folder.
std::string FileNameOf(const std::string& path);

// The lower-cased extension of the file name, with its dot (".exe"); empty
// when the file name has no dot. A folder named my.folder has one.
std::string LowerExtension(const std::string& path);

// ProgramDir + "Icon\" + FileNameOf(path) + ".ico".
std::string IconCachePath(const std::string& programDir, const std::string& path);
std::string IconCachePath(const IFileSystem& files, const std::string& path);

// The picture of folders and other paths without extension.
std::string MyFilesPicturePath(const IFileSystem& files);

// True when the file name of the path is exactly one of the icon container
// programs that the shortcuts of an installer-advertised office suite point
// at: launching such a target would not start the application, so the drop
// handler launches the shortcut itself.
bool IsOfficeIconContainer(const std::string& path);

// Writes the shell's icon for the file type of the path to IconCachePath(path).
bool ExtractShellIcon(IShell& shell, IFileSystem& files, const std::string& path);

enum class IconSource {
  AlreadyCached,  // the cache file existed; nothing was written
  LargeImage,     // a 128 or 256 pixel image of the program file
  SmallImage,     // a 48 pixel image of the program file
  ShellIcon,      // the shell's icon for the file type
  NotCached,      // nothing could be written: the picture will be missing
  FolderPicture,  // no extension: the fixed picture, nothing cached
  Abandoned,      // nothing to add, nothing written
};

struct CacheOutcome {
  // A shortcut that cannot be loaded, or that points at no file: the drop
  // adds nothing.
  bool abandoned = false;
  std::string target;        // what the item launches: a shortcut's target, else the path
  std::string iconPath;      // the picture the item stores
  bool noExtension = false;  // DropHasNoExtension: the picture is a .png, drawn at once
  IconSource source = IconSource::NotCached;
};

// Classifies a dropped path by its lower-cased extension and makes sure the
// cache holds its picture:
//   .exe  the program's own large image, else its small one, else the shell's icon;
//   .lnk  the shortcut's target, treated like a dropped path of its own kind
//         (a program's images, else the shell's icon for the target);
//   none  folders and files without extension take the fixed picture;
//   other the shell's icon for the file type.
// An existing cache file is never rewritten. Cache files are replaced in one
// step, so a crash never leaves half an icon behind. The program file is
// mapped only while its images are chosen.
CacheOutcome ResolveAndCacheIcon(IFileSystem& files, IShell& shell, const std::string& path);
inline CacheOutcome ResolveAndCacheIcon(const Platform& platform, const std::string& path) {
  return ResolveAndCacheIcon(platform.files, platform.shell, path);
}

}  // namespace qv::catalogue
