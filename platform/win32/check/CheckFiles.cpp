// Files and registry against the real system: Unicode and long paths, the
// atomic replace and what it leaves behind, registry value types.

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ReportLog.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

std::string TempRoot() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  return Narrow(std::wstring(buffer, length)) + "qvcheck-" + std::to_string(::GetCurrentProcessId()) + "-配置\\";
}

// Names in a folder other than "." and "..".
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(Widen(folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Names(std::initializer_list<const char*> names) {
  return std::vector<std::string>(names.begin(), names.end());
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919u) >> 3);
  return bytes;
}

void RemoveTree(const std::string& folder) {
  for (const std::string& name : Listing(folder)) {
    const std::string path = folder + name;
    const std::wstring wide = L"\\\\?\\" + Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path + "\\");
    } else {
      ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(wide.c_str());
    }
  }
  ::RemoveDirectoryW((L"\\\\?\\" + Widen(folder)).c_str());
}

}  // namespace

void CheckFiles() {
  Win32Files files;
  const std::string programDir = files.ProgramDir();
  QV_EXPECT(!programDir.empty() && programDir.back() == '\\');
  QV_EXPECT(files.DirectoryExists(programDir));

  const std::string root = TempRoot();
  QV_EXPECT(files.CreateDirectory(root));
  QV_EXPECT(!files.CreateDirectory(root));  // already there: nothing made
  QV_EXPECT(files.DirectoryExists(root) && !files.FileExists(root));
  QV_EXPECT(!files.CreateDirectory(root + "a\\b"));  // one level only
  QV_EXPECT(!files.DirectoryExists(root + "a"));

  const std::string target = root + "UserInfo.xml";
  QV_EXPECT(!files.ReadFile(target));

  // Sizes around the write and read pieces, with NUL bytes inside; a whole
  // read stops at its cap. Devices open like files but are none.
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 5, kMaxWholeRead + 1}) {
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(target, bytes));
    const std::optional<std::string> read = files.ReadFile(target);
    QV_EXPECT(size <= kMaxWholeRead ? read == bytes : !read);
  }
  for (const std::string& device : {std::string("NUL"), std::string("CONIN$"), root + "nul.png", root + "Aux"}) {
    if (files.ReadFile(device)) Note("read as a file: " + device);
    QV_EXPECT(!files.ReadFile(device));
  }
  // Replacing leaves the target and one backup of the content it replaced,
  // and no temporary.
  QV_EXPECT(files.WriteFileAtomic(target, "<old/>"));
  QV_EXPECT(files.WriteFileAtomic(target, "<new/>"));
  QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
  QV_EXPECT(files.ReadFile(target + ".bak") == std::string("<old/>"));
  QV_EXPECT(Listing(root) == Names({"UserInfo.xml", "UserInfo.xml.bak"}));

  // A target that cannot be replaced keeps its old content, and the
  // temporary is cleaned up.
  const std::wstring wideTarget = Widen(target);
  ::SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_READONLY);
  const bool replacedReadOnly = files.WriteFileAtomic(target, "<other/>");
  ::SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (replacedReadOnly) Note("a read-only target was replaced");
  QV_EXPECT(!replacedReadOnly);
  QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
  QV_EXPECT(Listing(root) == Names({"UserInfo.xml", "UserInfo.xml.bak"}));

  // Another program holding the target without delete sharing: for a
  // moment (a scanner) the save waits it out; for good, it fails and the
  // target keeps its content.
  for (const DWORD holdFor : {DWORD{150}, DWORD{INFINITE}}) {
    QV_EXPECT(files.WriteFileAtomic(target, "<new/>"));
    UniqueFile holder(
        ::CreateFileW(wideTarget.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    QV_EXPECT(static_cast<bool>(holder));
    QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
    std::thread releaser;
    if (holdFor != INFINITE) {
      releaser = std::thread([&holder, holdFor] {
        ::Sleep(holdFor);
        holder.Reset();
      });
    }
    const bool replaced = files.WriteFileAtomic(target, "<held/>");
    if (releaser.joinable()) releaser.join();
    holder.Reset();
    const bool expected = holdFor != INFINITE;
    if (replaced != expected) Note("held " + std::to_string(holdFor) + " ms: replaced " + std::to_string(replaced));
    QV_EXPECT(replaced == expected);
    QV_EXPECT(files.ReadFile(target) == std::string(expected ? "<held/>" : "<new/>"));
  }
  // Our temporary is gone. (Wine's ReplaceFileW leaves a backup of its own,
  // "rf*.tmp", when it fails; Windows does not.)
  for (const std::string& name : Listing(root)) {
    if (name != "UserInfo.xml" && name != "UserInfo.xml.bak") Note("left beside the target: " + name);
    QV_EXPECT(!name.starts_with("UserInfo.xml.") || name == "UserInfo.xml.bak");
  }

  // When the target is gone and nothing can take its place, the temporary
  // is the only copy of the content on disk: it stays. (A folder by the
  // target's name stands for a target removed in the middle of a replace;
  // Wine's ReplaceFileW would even put the file in the folder's place.)
  {
    const std::string gone = root + "gone\\";
    QV_EXPECT(files.CreateDirectory(gone));
    QV_EXPECT(files.CreateDirectory(gone + "UserInfo.xml"));
    QV_EXPECT(!files.WriteFileAtomic(gone + "UserInfo.xml", "<only copy/>"));
    std::vector<std::string> kept;
    for (const std::string& name : Listing(gone)) {
      if (name.starts_with("UserInfo.xml.") && name.ends_with(".tmp")) kept.push_back(name);
    }
    QV_EXPECT(kept.size() == 1);
    QV_EXPECT(kept.size() == 1 && files.ReadFile(gone + kept[0]) == std::string("<only copy/>"));
  }

  // Targets just short of where the long-path prefix begins, whose
  // temporary and backup names reach past MAX_PATH.
  for (std::size_t length = 240; length <= 262; ++length) {
    const std::size_t rootLength = Widen(root).size();
    const std::string folder = root + std::string(length - rootLength - 13, 'L') + "\\";
    const std::string path = folder + "UserInfo.xml";
    QV_EXPECT(Widen(path).size() == length);
    QV_EXPECT(files.CreateDirectory(folder));
    // Windows refuses a path this long without the prefix; Wine does not,
    // so the form of each path passed is checked too.
    const SavePaths paths = PathsOfSave(path, 0);
    for (const std::wstring* passed : {&paths.target, &paths.temporary, &paths.backup}) {
      const bool usable = passed->size() < MAX_PATH - 12 || passed->starts_with(L"\\\\?\\");
      if (!usable) Note("passed without the prefix: " + std::to_string(passed->size()) + " characters");
      QV_EXPECT(usable);
    }
    const bool saved = files.WriteFileAtomic(path, "<first/>") && files.WriteFileAtomic(path, "<second/>");
    const bool read = files.ReadFile(path) == std::string("<second/>");
    if (!saved || !read) Note("a target of " + std::to_string(length) + " characters");
    QV_EXPECT(saved && read);
  }

  // Positional reads: any range of a file of any size, under any name; past
  // the end is a failed read, not a short one.
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 7}) {
    const std::string path = root + "程序-" + std::to_string(size) + ".exe";
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(path, bytes));
    const std::unique_ptr<IReadableFile> opened = files.OpenForRead(path);
    QV_EXPECT(opened != nullptr);
    if (!opened) continue;
    QV_EXPECT(opened->Size() == size);
    std::string whole(size, '\0');
    QV_EXPECT(opened->ReadAt(0, whole.data(), size) && whole == bytes);
    if (size > 2) {
      std::string tail(2, '\0');
      QV_EXPECT(opened->ReadAt(size - 2, tail.data(), 2) && tail == bytes.substr(size - 2));
    }
    char beyond[2];
    QV_EXPECT(!opened->ReadAt(size, beyond, 1) && !opened->ReadAt(size == 0 ? 0 : size - 1, beyond, 2));
    // Another program writing to the file does not keep it from being opened.
    UniqueFile writer(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    QV_EXPECT(static_cast<bool>(writer));
    QV_EXPECT(files.OpenForRead(path) != nullptr);
  }
  QV_EXPECT(files.OpenForRead(root + "no such file.exe") == nullptr);
  QV_EXPECT(files.OpenForRead(root) == nullptr);  // a folder
  QV_EXPECT(files.OpenForRead("") == nullptr);
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 7}) {
    QV_EXPECT(files.DeleteFile(root + "程序-" + std::to_string(size) + ".exe"));
  }

  QV_EXPECT(!files.WriteFileAtomic(root + "missing\\UserInfo.xml", "x"));
  QV_EXPECT(!files.DirectoryExists(root + "missing"));

  // Past MAX_PATH, built one level at a time as the program does.
  std::string deep = root;
  while (deep.size() < 300) {
    deep += "很长的文件夹名称-abcdefghijklmnop\\";
    QV_EXPECT(files.CreateDirectory(deep));
  }
  const std::string icon = deep + "图标.ico";
  QV_EXPECT(files.WriteFileAtomic(icon, "icon") && files.FileExists(icon) && files.ReadFile(icon) == std::string("icon"));
  QV_EXPECT(files.OpenForRead(icon) && files.OpenForRead(icon)->Size() == 4);
  QV_EXPECT(files.DeleteFile(icon) && !files.DeleteFile(icon) && !files.FileExists(icon));

  // The log past its cap starts anew and keeps the previous one as the .old;
  // with the .old held open by a reader it starts anew in place and says so.
  {
    Win32Diagnostics diagnostics(Widen(root), true);
    const std::string log = root + kLogFileName;
    for (const bool held : {false, true}) {
      QV_EXPECT(files.WriteFileAtomic(log, std::string(kLogSizeCap - 10, 'x')));
      UniqueFile reader;
      if (held)
        reader.Reset(::CreateFileW(Widen(root + kOldLogFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
      QV_EXPECT(!held || static_cast<bool>(reader));
      diagnostics.Report(Severity::Warning, held ? "second line" : "first line");
      const std::string text = files.ReadFile(log).value_or("");
      if (text.size() > 1000) Note("the log holds " + std::to_string(text.size()) + " bytes");
      QV_EXPECT(text.size() < 1000 && text.find(held ? "second line" : "first line") != std::string::npos);
      QV_EXPECT(held == (text.find(kOldLogFileName) != std::string::npos));
    }
  }

  QV_EXPECT(files.DeleteFile(target));
  RemoveTree(root);
  QV_EXPECT(!files.DirectoryExists(root));
}

void CheckRegistry() {
  Win32Registry registry;
  const std::string key = "Software\\QuorvelCheck-" + std::to_string(::GetCurrentProcessId()) + "\\运行";
  const auto hive = RegistryHive::CurrentUser;

  QV_EXPECT(!registry.KeyExists(hive, key));
  QV_EXPECT(!registry.ReadString(hive, key, "Quorvel"));
  QV_EXPECT(!registry.DeleteValue(hive, key, "Quorvel"));

  QV_EXPECT(registry.WriteString(hive, key, "Quorvel", "C:\\程序\\Quorvel.exe"));
  QV_EXPECT(registry.KeyExists(hive, key));
  QV_EXPECT(registry.ReadString(hive, key, "Quorvel") == std::string("C:\\程序\\Quorvel.exe"));
  QV_EXPECT(registry.ReadString(hive, key, "quorvel") == std::string("C:\\程序\\Quorvel.exe"));  // names ignore case
  QV_EXPECT(registry.WriteString(hive, key, "Quorvel", ""));
  QV_EXPECT(registry.ReadString(hive, key, "Quorvel") == std::string());
  QV_EXPECT(!registry.ReadString(hive, key, "Other"));

  // Values written by other programs: other types, no terminating NUL,
  // expandable strings kept as stored.
  {
    HKEY raw = nullptr;
    QV_EXPECT(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS);
    UniqueRegKey opened(raw);
    const DWORD number = 7;
    ::RegSetValueExW(raw, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    const std::wstring bare = L"D:\\Tools";
    ::RegSetValueExW(raw, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare.data()),
                     static_cast<DWORD>(bare.size() * sizeof(wchar_t)));
    const std::wstring expand = L"%SystemRoot%\\notepad.exe";
    ::RegSetValueExW(raw, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand.c_str()),
                     static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t)));
  }
  QV_EXPECT(!registry.ReadString(hive, key, "Number"));
  QV_EXPECT(registry.ReadString(hive, key, "Bare") == std::string("D:\\Tools"));
  QV_EXPECT(registry.ReadString(hive, key, "Expand") == std::string("%SystemRoot%\\notepad.exe"));

  QV_EXPECT(registry.DeleteValue(hive, key, "Quorvel"));
  QV_EXPECT(!registry.DeleteValue(hive, key, "Quorvel"));
  QV_EXPECT(!registry.ReadString(hive, key, "Quorvel"));
  QV_EXPECT(registry.KeyExists(hive, key));  // deleting a value keeps the key

  // The machine hive is readable; nothing is written there.
  QV_EXPECT(registry.KeyExists(RegistryHive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion"));

  const std::wstring top = L"Software\\QuorvelCheck-" + std::to_wstring(::GetCurrentProcessId());
  QV_EXPECT(::RegDeleteTreeW(HKEY_CURRENT_USER, top.c_str()) == ERROR_SUCCESS);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, top.c_str());
  QV_EXPECT(!registry.KeyExists(hive, key));
}

}  // namespace qv::win32::check
