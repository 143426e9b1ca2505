#pragma once

// Window look-ups shared by wintool's commands.

#include <string>
#include <vector>

#include "ToolText.h"

namespace qvtool {

// The program's main window: class and title the second instance looks for.
inline constexpr const wchar_t* kMainClass = L"TFormRoundHot";
inline constexpr const wchar_t* kMainTitle = L"Quorvel";
// Set on the main window once everything visible has been built.
inline constexpr const wchar_t* kReadyProperty = L"QuorvelReady";

class Stopwatch {
 public:
  Stopwatch();
  double Ms() const;

 private:
  LARGE_INTEGER start_{};
  LARGE_INTEGER frequency_{};
};

std::string FormatMs(double ms);  // "123.4"

HWND FindMainWindow();
bool IsReady(HWND main);

std::vector<HWND> TopLevelWindows();
std::vector<HWND> ChildWindows(HWND parent);
// hwnd, class, title, visible, left,top,right,bottom, pid; tab-separated.
std::string DescribeWindow(HWND hwnd);

// A visible top-level window with exactly this title (message boxes, dialogs).
HWND FindVisibleTopLevel(const std::wstring& title);
// The non-empty texts of a window's Static children, in z-order.
std::vector<std::string> StaticTexts(HWND dialog);

// The visible tray icons of every program; -1 when there is no tray window.
int CountTrayIcons();

// Starts exe in its own folder, with arguments after its quoted name.
bool Launch(const std::wstring& exe, PROCESS_INFORMATION& process, const std::wstring& arguments = {});

}  // namespace qvtool
