// Files and registry against the real system: Unicode and long paths, the
// atomic replace and what it leaves behind, registry value types.

#include <memory>
#include <string>
#include <vector>

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
  return names;
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

  // Sizes around the write and read pieces, with NUL bytes inside.
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1} << 20, (std::size_t{3} << 20) + 5}) {
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(target, bytes));
    QV_EXPECT(files.ReadFile(target) == bytes);
  }
  // Replacing leaves the target alone in the folder: no temporary remains.
  QV_EXPECT(files.WriteFileAtomic(target, "<new/>"));
  QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
  QV_EXPECT(Listing(root) == std::vector<std::string>{"UserInfo.xml"});

  // A target that cannot be replaced keeps its old content, and the
  // temporary is cleaned up.
  const std::wstring wideTarget = Widen(target);
  ::SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_READONLY);
  const bool replacedReadOnly = files.WriteFileAtomic(target, "<other/>");
  ::SetFileAttributesW(wideTarget.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (replacedReadOnly) Note("a read-only target was replaced");
  QV_EXPECT(!replacedReadOnly);
  QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
  QV_EXPECT(Listing(root) == std::vector<std::string>{"UserInfo.xml"});

  // A file held open by another program without delete sharing.
  QV_EXPECT(files.WriteFileAtomic(target, "<new/>"));
  {
    UniqueFile holder(
        ::CreateFileW(wideTarget.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    QV_EXPECT(static_cast<bool>(holder));
    QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
    const bool replacedHeld = files.WriteFileAtomic(target, "<blocked/>");
    if (replacedHeld) Note("a target held open was replaced");
    QV_EXPECT(!replacedHeld);
  }
  QV_EXPECT(files.ReadFile(target) == std::string("<new/>"));
  // Our temporary is gone. (Wine's ReplaceFileW leaves a backup of its own,
  // "rf*.tmp", when it fails; Windows does not.)
  for (const std::string& name : Listing(root)) {
    if (name != "UserInfo.xml") Note("left beside the target: " + name);
    QV_EXPECT(!name.starts_with("UserInfo.xml."));
  }

  // Mapped views: the whole file, of any size, under any name.
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 7}) {
    const std::string path = root + "程序-" + std::to_string(size) + ".exe";
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(path, bytes));
    const std::unique_ptr<IMappedFile> mapped = files.MapReadOnly(path);
    QV_EXPECT(mapped != nullptr);
    if (!mapped) continue;
    QV_EXPECT(mapped->Size() == size && mapped->Data() != nullptr);
    QV_EXPECT(std::string(reinterpret_cast<const char*>(mapped->Data()), mapped->Size()) == bytes);
    // Another program writing to the file does not keep it from being mapped.
    UniqueFile writer(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    QV_EXPECT(static_cast<bool>(writer));
    QV_EXPECT(files.MapReadOnly(path) != nullptr);
  }
  QV_EXPECT(files.MapReadOnly(root + "no such file.exe") == nullptr);
  QV_EXPECT(files.MapReadOnly(root) == nullptr);  // a folder
  QV_EXPECT(files.MapReadOnly("") == nullptr);
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
  QV_EXPECT(files.WriteFileAtomic(deep + "图标.ico", "icon"));
  QV_EXPECT(files.FileExists(deep + "图标.ico"));
  QV_EXPECT(files.ReadFile(deep + "图标.ico") == std::string("icon"));
  {
    const std::unique_ptr<IMappedFile> mapped = files.MapReadOnly(deep + "图标.ico");
    QV_EXPECT(mapped && std::string(reinterpret_cast<const char*>(mapped->Data()), mapped->Size()) == "icon");
  }
  QV_EXPECT(files.DeleteFile(deep + "图标.ico"));
  QV_EXPECT(!files.DeleteFile(deep + "图标.ico"));
  QV_EXPECT(!files.FileExists(deep + "图标.ico"));

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
