#include <gtest/gtest.h>

#include "platform/Wow64.h"

namespace qv::wow64 {
namespace {

using enum ProcessKind;
using enum RegistryView;

struct ViewCase {
  ProcessKind kind;
  RegistryHive hive;
  std::vector<RegistryView> reads;
  RegistryView write;
};

// Both builds on a 64-bit Windows read the 64-bit view first and the 32-bit
// one second, and write where Windows reads; a 32-bit Windows has one view.
TEST(Wow64Test, RegistryViewsFollowTheWindowsNotTheBuild) {
  const ViewCase cases[] = {
      {Native64, RegistryHive::LocalMachine, {Key64, Key32}, Key64},
      {Wow64, RegistryHive::LocalMachine, {Key64, Key32}, Key64},
      {Native64, RegistryHive::CurrentUser, {Key64}, Key64},
      {Wow64, RegistryHive::CurrentUser, {Key64}, Key64},
      {OnWindows32, RegistryHive::LocalMachine, {Default}, Default},
      {OnWindows32, RegistryHive::CurrentUser, {Default}, Default},
  };
  for (const ViewCase& c : cases) {
    EXPECT_EQ(ReadViews(c.kind, c.hive), c.reads) << static_cast<int>(c.kind) << "/" << static_cast<int>(c.hive);
    EXPECT_EQ(WriteView(c.kind), c.write) << static_cast<int>(c.kind);
  }
}

struct PathCase {
  const char* path;
  const char* windows;
  const char* wow64;  // what a 32-bit build on a 64-bit Windows uses
};

TEST(Wow64Test, OnlyTheSystemFolderIsReachedThroughSysnative) {
  const PathCase cases[] = {
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
      {R"(C:\Windows)", R"(C:\Windows)", R"(C:\Windows)"},
      {"", R"(C:\Windows)", ""},
      // Without a known Windows folder nothing is rewritten.
      {R"(C:\Windows\System32\a.exe)", "", R"(C:\Windows\System32\a.exe)"},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(NativePath(c.path, c.windows, Wow64), c.wow64) << c.path;
    for (const ProcessKind other : {Native64, OnWindows32}) {
      EXPECT_EQ(NativePath(c.path, c.windows, other), c.path) << c.path;
    }
  }
}

}  // namespace
}  // namespace qv::wow64
