#pragma once

// wintool's commands for the program's dialogs ("QuorvelForm" windows):
// controls are addressed by the name each carries as its "QuorvelName"
// property. The scenarios change them with the real pointer and keys; these
// commands find and read them, and tell a dialog of a new display scale
// (which no pointer can do here).

#include <string>
#include <vector>

namespace qvtool {

using FormArgs = std::vector<std::wstring>;

int CmdFormWait(const FormArgs& a);         // form-wait TITLE MS
int CmdFormControls(const FormArgs& a);     // form-controls TITLE
int CmdFormTabPoint(const FormArgs& a);     // form-tab-point TITLE NAME INDEX
int CmdFormSendDpi(const FormArgs& a);      // form-send-dpi TITLE DPI

}  // namespace qvtool
