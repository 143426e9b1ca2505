// Files and registry against the real system: Unicode and long paths, the
// atomic replace and what it leaves behind, registry value types.

#include <algorithm>
#include <filesystem>
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
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

// Names in a folder other than "." and "..", sorted.
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

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919u) >> 3);
  return bytes;
}

UniqueFile Hold(const std::string& path, DWORD access, DWORD sharing) {
  return UniqueFile(
      ::CreateFileW((L"\\\\?\\" + Widen(path)).c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Saves the target while another program holds it for a moment (a scanner)
// or for good, or while it is read-only.
bool SaveAgainst(Win32Files& files, const std::string& target, const char* obstacle) {
  const std::string kind = obstacle;
  if (kind == "read-only") {
    ::SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_READONLY);
    const bool saved = files.WriteFileAtomic(target, "<other/>");
    ::SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    return saved;
  }
  UniqueFile holder = Hold(target, GENERIC_READ, FILE_SHARE_READ);
  QV_EXPECT(static_cast<bool>(holder));
  std::thread releaser;
  if (kind == "held a moment")
    releaser = std::thread([&holder] {
      ::Sleep(150);
      holder.Reset();
    });
  const bool saved = files.WriteFileAtomic(target, "<other/>");
  if (releaser.joinable()) releaser.join();
  return saved;
}

}  // namespace

void CheckFiles() {
  Win32Files files;
  // One level at a time, and only once; nothing is written into a folder that is not there.
  const std::string root = TempFolder("qvcheck-");
  QV_EXPECT(files.CreateDirectory(root) && !files.CreateDirectory(root) && !files.FileExists(root));
  QV_EXPECT(!files.CreateDirectory(root + "a\\b") && !files.DirectoryExists(root + "a"));
  const std::string target = root + "UserInfo.xml";
  QV_EXPECT(!files.ReadFile(target) && !files.WriteFileAtomic(root + "missing\\UserInfo.xml", "x"));

  // Sizes around the write and read pieces, with NUL bytes inside; a whole
  // read stops at its cap. Devices open like files but are none.
  for (std::size_t size :
       {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 5, static_cast<std::size_t>(kMaxWholeRead) + 1}) {
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(target, bytes));
    QV_EXPECT_ABOUT(files.ReadFile(target) == (size <= kMaxWholeRead ? std::optional(bytes) : std::nullopt),
                    std::to_string(size) + " bytes");
  }
  for (const std::string& device : {std::string("NUL"), std::string("CONIN$"), root + "nul.png", root + "Aux"})
    QV_EXPECT_ABOUT(!files.ReadFile(device), device);

  // Replacing leaves the target and one backup of what it replaced. What
  // cannot be replaced keeps its content; a moment's hold is waited out.
  // No temporary of ours stays (Wine's ReplaceFileW leaves "rf*.tmp" of its own).
  QV_EXPECT(files.WriteFileAtomic(target, "<old/>") && files.WriteFileAtomic(target, "<new/>"));
  QV_EXPECT(files.ReadFile(target + ".bak") == std::string("<old/>"));
  for (const char* obstacle : {"read-only", "held for good", "held a moment"}) {
    const bool replaced = SaveAgainst(files, target, obstacle);
    const bool expected = std::string(obstacle) == "held a moment";
    QV_EXPECT_ABOUT(replaced == expected, obstacle);
    QV_EXPECT_ABOUT(files.ReadFile(target) == std::string(expected ? "<other/>" : "<new/>"), obstacle);
    for (const std::string& name : Listing(root))
      QV_EXPECT_ABOUT(!name.starts_with("UserInfo.xml.") || name == "UserInfo.xml.bak", name);
  }

  // When the target is gone and nothing can take its place, the temporary
  // is the only copy of the content on disk: it stays. (A folder by the
  // target's name stands for a target removed in the middle of a replace.)
  {
    const std::string gone = root + "gone\\";
    QV_EXPECT(files.CreateDirectory(gone) && files.CreateDirectory(gone + "UserInfo.xml"));
    QV_EXPECT(!files.WriteFileAtomic(gone + "UserInfo.xml", "<only copy/>"));
    std::vector<std::string> kept;
    for (const std::string& name : Listing(gone))
      if (name.starts_with("UserInfo.xml.") && name.ends_with(".tmp")) kept.push_back(name);
    QV_EXPECT(kept.size() == 1 && files.ReadFile(gone + kept[0]) == std::string("<only copy/>"));
  }

  // Targets just short of where the long-path prefix begins, whose
  // temporary and backup names reach past MAX_PATH. Windows refuses a path
  // this long without the prefix; Wine does not, so the paths passed are
  // looked at too.
  for (std::size_t length = 240; length <= 262; ++length) {
    const std::string folder = root + std::string(length - Widen(root).size() - 13, 'L') + "\\";
    const std::string path = folder + "UserInfo.xml";
    const std::string about = std::to_string(length) + " characters";
    QV_EXPECT(files.CreateDirectory(folder));
    const SavePaths paths = PathsOfSave(path, 0);
    for (const std::wstring* passed : {&paths.target, &paths.temporary, &paths.backup})
      QV_EXPECT_ABOUT(passed->size() < MAX_PATH - 12 || passed->starts_with(L"\\\\?\\"), about);
    QV_EXPECT_ABOUT(files.WriteFileAtomic(path, "<first/>") && files.WriteFileAtomic(path, "<second/>") &&
                        files.ReadFile(path) == std::string("<second/>"),
                    about);
  }

  // Past MAX_PATH, built one level at a time as the program does.
  std::string deep = root;
  while (deep.size() < 300) {
    deep += "很长的文件夹名称-abcdefghijklmnop\\";
    QV_EXPECT(files.CreateDirectory(deep));
  }
  const std::string icon = deep + "图标.ico";
  QV_EXPECT(files.WriteFileAtomic(icon, "icon") && files.FileExists(icon) &&
            files.ReadFile(icon) == std::string("icon"));
  QV_EXPECT(files.DeleteFile(icon) && !files.DeleteFile(icon) && !files.FileExists(icon));

  // Positional reads of any range, also of a file another program writes
  // to and past MAX_PATH; past the end is a failed read, not a short one.
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, (std::size_t{3} << 20) + 7}) {
    const std::string path = (size == 1 ? deep : root) + "程序-" + std::to_string(size) + ".exe";
    const std::string bytes = Pattern(size);
    QV_EXPECT(files.WriteFileAtomic(path, bytes));
    const UniqueFile writer = Hold(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    const std::unique_ptr<IReadableFile> opened = files.OpenForRead(path);
    QV_EXPECT_ABOUT(writer && opened && opened->Size() == size, path);
    if (!opened) continue;
    std::string whole(size, '\0');
    char beyond[2];
    QV_EXPECT(opened->ReadAt(0, whole.data(), size) && whole == bytes);
    QV_EXPECT(!opened->ReadAt(size, beyond, 1) && !opened->ReadAt(size == 0 ? 0 : size - 1, beyond, 2));
  }
  for (const std::string& path : {root + "no such file.exe", root, std::string()})
    QV_EXPECT_ABOUT(files.OpenForRead(path) == nullptr, path);

  // The log past its cap starts anew and keeps the previous one as the .old;
  // with the .old held open by a reader it starts anew in place and says so.
  {
    Win32Diagnostics diagnostics(Widen(root), true);
    const std::string log = root + kLogFileName;
    for (const bool held : {false, true}) {
      QV_EXPECT(files.WriteFileAtomic(log, std::string(kLogSizeCap - 10, 'x')));
      const UniqueFile reader = held ? Hold(root + kOldLogFileName, GENERIC_READ, FILE_SHARE_READ) : UniqueFile();
      QV_EXPECT(!held || static_cast<bool>(reader));
      diagnostics.Report(Severity::Warning, held ? "second line" : "first line");
      const std::string text = files.ReadFile(log).value_or("");
      QV_EXPECT_ABOUT(text.size() < 1000 && text.find(held ? "second line" : "first line") != std::string::npos,
                      std::to_string(text.size()) + " bytes");
      QV_EXPECT(held == (text.find(kOldLogFileName) != std::string::npos));
    }
  }

  std::error_code error;
  std::filesystem::remove_all(L"\\\\?\\" + Widen(root.substr(0, root.size() - 1)), error);
}

void CheckRegistry() {
  Win32Registry registry;
  const std::wstring top = L"Software\\QuorvelCheck-" + std::to_wstring(::GetCurrentProcessId());
  const std::string key = Narrow(top) + "\\运行";
  const auto hive = RegistryHive::CurrentUser;

  QV_EXPECT(!registry.KeyExists(hive, key) && !registry.DeleteValue(hive, key, "Quorvel"));
  QV_EXPECT(registry.WriteString(hive, key, "Quorvel", "C:\\程序\\Quorvel.exe") &&
            registry.WriteString(hive, key, "Empty", ""));

  // Values written by other programs: other types, no terminating NUL,
  // expandable strings kept as stored.
  {
    HKEY raw = nullptr;
    QV_EXPECT(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS);
    UniqueRegKey opened(raw);
    const auto set = [raw](const wchar_t* name, DWORD type, const void* data, std::size_t size) {
      ::RegSetValueExW(raw, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    };
    const DWORD number = 7;
    set(L"Number", REG_DWORD, &number, sizeof(number));
    set(L"Bare", REG_SZ, L"D:\\Tools", 8 * sizeof(wchar_t));
    set(L"Expand", REG_EXPAND_SZ, L"%SystemRoot%\\notepad.exe", 25 * sizeof(wchar_t));
  }
  const struct {
    const char* name;
    std::optional<std::string> value;
  } values[] = {{"Quorvel", "C:\\程序\\Quorvel.exe"},
                {"Empty", ""},
                {"Number", std::nullopt},
                {"Bare", "D:\\Tools"},
                {"Expand", "%SystemRoot%\\notepad.exe"}};
  for (const auto& v : values) QV_EXPECT_ABOUT(registry.ReadString(hive, key, v.name) == v.value, v.name);

  // Deleting a value keeps the key.
  QV_EXPECT(registry.DeleteValue(hive, key, "Quorvel") && !registry.DeleteValue(hive, key, "Quorvel"));
  QV_EXPECT(!registry.ReadString(hive, key, "Quorvel") && registry.KeyExists(hive, key));

  QV_EXPECT(::RegDeleteTreeW(HKEY_CURRENT_USER, top.c_str()) == ERROR_SUCCESS);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, top.c_str());
}

}  // namespace qv::win32::check
