#pragma once

// What the settings dialog asks of the machine and of the program around it
// beyond the settings themselves: the theme files, previews of pictures, the
// Run value, message boxes, the log.

#include <optional>
#include <string>
#include <vector>

#include "config/LoadResult.h"
#include "platform/Platform.h"
#include "platform/Surface.h"

namespace qv::settings {

class ISetupMachine {
 public:
  virtual ~ISetupMachine() = default;
  // File names in Icon\RectangleBackground\, in the order the disk gives them.
  virtual std::vector<std::string> ThemeFiles() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual LayeredSurface LoadPreview(const std::string& path) = 0;
  // The Run value "Quorvel" of the current user; nullopt when absent or unreadable.
  virtual std::optional<std::string> ReadRunValue() = 0;
  // nullopt deletes the value; false when the registry refused.
  virtual bool WriteRunValue(const std::optional<std::string>& value) = 0;
  virtual std::string ExecutablePath() = 0;
  // The program's folder, with its trailing backslash.
  virtual std::string ProgramDir() = 0;
  // Message boxes run a loop of their own: timers and input come in meanwhile.
  // Yes/No with the information icon; true for Yes.
  virtual bool Ask(const std::string& text) = 0;
  virtual void Tell(const std::string& text) = 0;
  // The page with more skins, handed to the shell.
  virtual void OpenAddress(const std::string& address) = 0;
  virtual void Report(Severity severity, const std::string& text) = 0;
  // The result of a save, looked at once the work is done: the log, and
  // the one message of a run when the file did not take it.
  virtual void CheckSave(config::EditResult result, const std::string& what) = 0;
  // The dock menus open the dialog on a dock at rest.
  virtual void CollapseDock() = 0;
  // The dialog is gone: the working-set trim may run.
  virtual void DialogClosed() = 0;
};

}  // namespace qv::settings
