// marker: a program for launch tests. Writes marker.txt into its current
// directory, UTF-8, one "key=value" per line:
//   cwd=<current directory>
//   args=<the command line after the program's own name, as passed>
//   argc=<number of arguments after the program name>
//   arg1=..., arg2=...  (split as the C runtime splits them)
// Values are escaped like wintool's output (\\ \n \r \t).

#include <string>

#include "ToolText.h"

using namespace qvtool;

namespace {

// The raw text after the first token, which is the program's own name.
std::wstring ArgumentsText(const wchar_t* line) {
  const wchar_t* p = line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* line = GetCommandLineW();
  wchar_t cwd[MAX_PATH * 4] = {};
  GetCurrentDirectoryW(MAX_PATH * 4, cwd);

  std::string out = "cwd=" + EscapeLine(ToUtf8(cwd)) + "\n";
  out += "args=" + EscapeLine(ToUtf8(ArgumentsText(line))) + "\n";
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(line, &argc);
  out += "argc=" + std::to_string(argc > 0 ? argc - 1 : 0) + "\n";
  for (int i = 1; argv && i < argc; ++i) out += "arg" + std::to_string(i) + "=" + EscapeLine(ToUtf8(argv[i])) + "\n";
  if (argv) LocalFree(argv);

  // Written beside, then moved over, so a reader never sees half a file.
  HANDLE file = CreateFileW(L"marker.txt.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  BOOL ok = WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != out.size()) return 1;
  return MoveFileExW(L"marker.txt.tmp", L"marker.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
