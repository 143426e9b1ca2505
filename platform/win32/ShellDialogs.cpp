#include "platform/win32/ShellDialogs.h"

#include "platform/win32/OleApartment.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Wow64.h"

namespace qv::win32 {

bool Win32Shell::Execute(const std::string& file, const std::string& arguments, const std::string& directory) {
  if (file.empty()) return false;
  // A 64-bit-only program in the system folder, launched by a 32-bit build.
  const std::wstring wideFile = Widen(NativePath(file));
  const std::wstring wideArguments = Widen(arguments);
  const std::wstring wideDirectory = Widen(directory);
  // No verb: the shell runs the target's default action, which for some
  // types (a shortcut to a printer, a document whose default is "edit") is
  // not "open", and "open" may not exist for them at all.
  EnsureOleApartment();
  const HINSTANCE result = ::ShellExecuteW(nullptr, nullptr, wideFile.c_str(), NullIfEmpty(wideArguments),
                                           NullIfEmpty(wideDirectory), SW_SHOWNORMAL);
  // Values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

MessageBoxResult Win32Dialogs::MessageBox(const std::string& text, const std::string& caption,
                                          MessageBoxButtons buttons, MessageBoxIcon icon) {
  UINT type = MB_OK;
  switch (buttons) {
    case MessageBoxButtons::Ok:
      type = MB_OK;
      break;
    case MessageBoxButtons::OkCancel:
      type = MB_OKCANCEL;
      break;
    case MessageBoxButtons::YesNo:
      type = MB_YESNO;
      break;
  }
  switch (icon) {
    case MessageBoxIcon::None:
      break;
    case MessageBoxIcon::Information:
      type |= MB_ICONINFORMATION;
      break;
    case MessageBoxIcon::Warning:
      type |= MB_ICONWARNING;
      break;
    case MessageBoxIcon::Error:
      type |= MB_ICONERROR;
      break;
    case MessageBoxIcon::Question:
      type |= MB_ICONQUESTION;
      break;
  }
  // The ring and the dock may sit in the topmost layer, and under a window
  // manager they are unmanaged popups that stay above every managed window
  // until one is raised: the question comes up above them, in front.
  type |= MB_TOPMOST | MB_SETFOREGROUND;
  // Without an owner and task-modal, the box disables every window of this
  // thread while it is up (the ring, the dock, the dialogs, the hidden main
  // window), not its owner alone: a click elsewhere in the program does
  // nothing until it is answered.
  type |= MB_TASKMODAL;
  const std::wstring wideText = Widen(text);
  const std::wstring wideCaption = Widen(caption);
  ++open_;
  const int answer = ::MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), type);
  --open_;
  switch (answer) {
    case IDOK:
      return MessageBoxResult::Ok;
    case IDYES:
      return MessageBoxResult::Yes;
    case IDNO:
      return MessageBoxResult::No;
    case IDCANCEL:
      return MessageBoxResult::Cancel;
    default:
      // The box could not be shown: the answer that changes nothing.
      return buttons == MessageBoxButtons::Ok      ? MessageBoxResult::Ok
             : buttons == MessageBoxButtons::YesNo ? MessageBoxResult::No
                                                   : MessageBoxResult::Cancel;
  }
}

}  // namespace qv::win32
