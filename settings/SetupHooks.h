#pragma once

// Everything the settings dialog does to the rest of the program goes
// through these hooks; the main form wires them to its own state, windows,
// file and registry. The dialog owns only its controls and its snapshot of
// the values it was opened with.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/BasicSettings.h"
#include "config/Settings.h"
#include "platform/Platform.h"
#include "platform/Surface.h"

namespace qv::settings {

// One tick or untick of a system tool that differs from what the list held
// at opening. The dialog hands them over in the order they must run: ring
// removals, ring additions, dock removals, dock additions, each by the
// tools' order.
struct SystemToolChange {
  bool ring = true;  // the ring's list, else the dock's
  int tool = 0;      // index into the five system tools
  bool add = true;
  friend bool operator==(const SystemToolChange&, const SystemToolChange&) = default;
};

// A skin window drawn again: its size setting, picture index and custom
// picture path, and how far it moves left and up (negative: right and down).
struct SkinRebuild {
  int size = 0;
  int index = 1;
  std::string path;
  int shift = 0;
  friend bool operator==(const SkinRebuild&, const SkinRebuild&) = default;
};

struct SetupHooks {
  // ---- what the dialog opens with
  // The file's values; nullopt when there is no readable configuration file.
  std::function<std::optional<config::SetupFileValues>()> ReadFile;
  // The main window's settings now (the dock's page reads them, and the
  // snapshot Cancel goes back to).
  std::function<config::Settings()> CurrentSettings;
  // The hot-key letter in use.
  std::function<char()> HotKeyChar;
  // File names in Icon\RectangleBackground\, in the order the disk gives them.
  std::function<std::vector<std::string>()> ThemeFiles;
  std::function<bool(const std::string& path)> FileExists;
  std::function<LayeredSurface(const std::string& path)> LoadPreview;
  // The Run value "Quorvel" of the current user; nullopt when absent or unreadable.
  std::function<std::optional<std::string>()> ReadRunValue;
  std::function<std::string()> ExecutablePath;

  // ---- previews while the dialog is open
  // The ring re-laid out with these radii (the main window keeps them).
  std::function<void(int minR, int separationSize)> PreviewRing;
  std::function<void(int percent)> ApplyDockTransparency;
  std::function<void(const std::string& theme)> ApplyDockTheme;
  std::function<void(int position)> ApplyDockPosition;
  // RectIconPx and RectIconWd with the magnification extents recomputed.
  std::function<void(int iconPx, int iconWd)> ApplyMagnify;

  // ---- OK and the defaults
  // Writes Setup/Basic; false when the file could not be written.
  std::function<bool(const config::BasicSettingsValues&)> SaveSettings;
  // Writes the defaults; the restored label font, nullopt when the file could not be written.
  std::function<std::optional<std::string>()> SaveDefaultSettings;
  // The main window's settings, replaced whole.
  std::function<void(const config::Settings&)> SetSettings;
  std::function<void(char letter)> RegisterHotKey;
  std::function<void(int frontIndex)> SetDisplayState;
  std::function<void(bool show, const std::string& fontDefine)> SetHintFont;
  // nullopt deletes the value.
  std::function<void(const std::optional<std::string>& value)> WriteRunValue;
  std::function<void(const std::vector<SystemToolChange>&)> ApplySystemTools;
  std::function<void(const SkinRebuild&)> RebuildBackground;
  std::function<void(const SkinRebuild&)> RebuildCenter;
  std::function<void()> RelayoutRing;
  // Yes/No with the information icon; true for Yes.
  std::function<bool(const std::string& text)> Ask;
  std::function<void(const std::string& text)> Tell;
  // The dock menus open the dialog on a dock at rest.
  std::function<void()> CollapseRectBar;
  // The page with more skins, handed to the shell.
  std::function<void(const std::string& address)> OpenAddress;
  // A failure the user cannot see, for the log.
  std::function<void(Severity, const std::string& text)> Report;
  // The dialog is gone: the working-set trim may run.
  std::function<void()> Closed;
};

}  // namespace qv::settings
