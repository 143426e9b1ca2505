#pragma once

// wintool's commands for the program's dialogs ("QuorvelForm" windows):
// controls are addressed by the name each carries as its "QuorvelName"
// property, and changed the way the user's input would change them, with
// the notification the dialog expects.

#include <string>
#include <vector>

namespace qvtool {

using FormArgs = std::vector<std::wstring>;

int CmdFormWait(const FormArgs& a);         // form-wait TITLE MS
int CmdFormControls(const FormArgs& a);     // form-controls TITLE
int CmdFormClick(const FormArgs& a);        // form-click TITLE NAME
int CmdFormSetPosition(const FormArgs& a);  // form-set-position TITLE NAME POSITION
int CmdFormSelect(const FormArgs& a);       // form-select TITLE NAME INDEX
int CmdFormPage(const FormArgs& a);         // form-page TITLE NAME INDEX
int CmdFormSendDpi(const FormArgs& a);      // form-send-dpi TITLE DPI

}  // namespace qvtool
