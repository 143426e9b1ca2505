#include "platform/win32/System.h"

#include "platform/win32/CodePages.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/ProgramHeap.h"
#include "platform/win32/Resources.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {
namespace {

// Long enough for a busy first instance, short enough that a hung one does
// not leave the second start waiting visibly.
constexpr UINT kSendTimeoutMs = 3000;

}  // namespace

Win32System::Win32System(HINSTANCE instance, Win32Windows& windows, Win32MessageLoop& loop)
    : instance_(instance), windows_(windows), loop_(loop) {}

bool Win32System::CreateSingleInstanceMutex(const std::string& name) {
  const std::wstring wideName = Widen(name);
  UniqueMutex mutex(::CreateMutexW(nullptr, TRUE, wideName.c_str()));
  if (!mutex) {
    // The name is taken by an object of another kind, or the call failed:
    // no proof that another instance runs, so this one goes on.
    return true;
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
  instanceMutex_ = std::move(mutex);
  return true;
}

bool Win32System::SendToWindow(const std::string& className, const std::string& title, unsigned message,
                               std::uintptr_t wParam, std::intptr_t lParam) {
  const std::wstring wideClass = Widen(className);
  const std::wstring wideTitle = Widen(title);
  HWND target = ::FindWindowW(NullIfEmpty(wideClass), NullIfEmpty(wideTitle));
  if (!target) return false;
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(target, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam),
                               SMTO_ABORTIFHUNG | SMTO_NORMAL, kSendTimeoutMs, &result) != 0;
}

void Win32System::TrimWorkingSet() {
  // What is only kept to make the next push quicker goes first, so that the
  // trim can hand its pages back too.
  windows_.ReleaseScratch();
  ReleaseKeptBlocks();
  ::HeapCompact(::GetProcessHeap(), 0);
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void Win32System::ProcessPendingMessages() { loop_.ProcessPendingMessages(); }

void Win32System::RequestQuit() { loop_.RequestQuit(); }

LocalTime Win32System::Now() const {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::optional<std::string> Win32System::DecodeToUtf8(const std::string& bytes, const std::string& encoding) const {
  const std::optional<unsigned> codePage = CodePageOfEncoding(encoding);
  if (!codePage) return std::nullopt;
  return DecodeCodePage(bytes, *codePage);
}

std::optional<std::string> Win32System::EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const {
  const std::optional<unsigned> codePage = CodePageOfEncoding(encoding);
  if (!codePage) return std::nullopt;
  return EncodeCodePage(utf8, *codePage);
}

std::optional<std::string> Win32System::LoadResource(const std::string& type, const std::string& name) const {
  return ResourceBytes(instance_, Widen(type), Widen(name));
}

std::uint16_t Win32System::UserInterfaceLanguage() const { return ::GetUserDefaultUILanguage(); }

void Win32System::SignalReady() { windows_.MarkReady(); }

}  // namespace qv::win32
