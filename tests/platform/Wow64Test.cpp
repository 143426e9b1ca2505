#include <gtest/gtest.h>

#include "platform/Wow64.h"

namespace qv::wow64 {
namespace {

using enum ProcessKind;
using enum RegistryView;

// Both builds on a 64-bit Windows read the 64-bit view first and the 32-bit
// one second, and write where Windows reads; a 32-bit Windows has one view.
TEST(Wow64Test, RegistryViewsFollowTheWindowsNotTheBuild) {
  const std::tuple<ProcessKind, RegistryHive, std::vector<RegistryView>, RegistryView> cases[] = {
      {Native64, RegistryHive::LocalMachine, {Key64, Key32}, Key64},
      {Wow64, RegistryHive::LocalMachine, {Key64, Key32}, Key64},
      {Native64, RegistryHive::CurrentUser, {Key64}, Key64},
      {Wow64, RegistryHive::CurrentUser, {Key64}, Key64},
      {OnWindows32, RegistryHive::LocalMachine, {Default}, Default},
      {OnWindows32, RegistryHive::CurrentUser, {Default}, Default},
  };
  for (const auto& [kind, hive, reads, write] : cases) {
    EXPECT_EQ(ReadViews(kind, hive), reads) << static_cast<int>(kind) << "/" << static_cast<int>(hive);
    EXPECT_EQ(WriteView(kind), write) << static_cast<int>(kind);
  }
}

TEST(Wow64Test, OnlyTheSystemFolderIsReachedThroughSysnative) {
  const std::tuple<const char*, const char*, const char*> cases[] = {  // path, Windows, on WOW64
      {R"(C:\Windows\System32\notepad.exe)", R"(C:\Windows)", R"(C:\Windows\Sysnative\notepad.exe)"},
      {R"(c:\WINDOWS\system32\WindowsPowerShell\v1.0\powershell.exe)", R"(C:\Windows)",
       R"(c:\WINDOWS\Sysnative\WindowsPowerShell\v1.0\powershell.exe)"},
      {R"(C:\Windows\System32)", R"(C:\Windows\)", R"(C:\Windows\Sysnative)"},
      {R"(C:\Windows\System32\)", R"(C:\Windows)", R"(C:\Windows\Sysnative\)"},
      {"C:/Windows/System32/cmd.exe", R"(C:\Windows)", "C:/Windows/Sysnative/cmd.exe"},
      {R"(D:\WinNT\System32\cmd.exe)", R"(D:\WinNT)", R"(D:\WinNT\Sysnative\cmd.exe)"},
      // Not the system folder: left alone.
      {R"(C:\Windows\SysWOW64\cmd.exe)", R"(C:\Windows)", R"(C:\Windows\SysWOW64\cmd.exe)"},
      {R"(C:\Windows\System32x\a.exe)", R"(C:\Windows)", R"(C:\Windows\System32x\a.exe)"},
      {R"(C:\Windows2\System32\a.exe)", R"(C:\Windows)", R"(C:\Windows2\System32\a.exe)"},
      {R"(D:\Windows\System32\a.exe)", R"(C:\Windows)", R"(D:\Windows\System32\a.exe)"},
      {R"(C:\Windows\Sysnative\a.exe)", R"(C:\Windows)", R"(C:\Windows\Sysnative\a.exe)"},
      {R"(C:\Tools\Windows\System32\a.exe)", R"(C:\Windows)", R"(C:\Tools\Windows\System32\a.exe)"},
      {R"(System32\a.exe)", R"(C:\Windows)", R"(System32\a.exe)"},
      {"", R"(C:\Windows)", ""},
      // Without a known Windows folder nothing is rewritten.
      {R"(C:\Windows\System32\a.exe)", "", R"(C:\Windows\System32\a.exe)"},
  };
  for (const auto& [path, windows, wow64] : cases) {
    EXPECT_EQ(NativePath(path, windows, Wow64), wow64) << path;
    EXPECT_EQ(NativePath(path, windows, Native64), path) << path;
    EXPECT_EQ(NativePath(path, windows, OnWindows32), path) << path;
  }
}

}  // namespace
}  // namespace qv::wow64
