#pragma once

// The one place the settings dialog changes the settings: its previews, OK
// and the defaults. Whatever shows a setting (the ring, the skins, the dock,
// the label, the layers, the hot key) subscribes and hears which one changed;
// it reads the values from Current(). Nothing here shows a message box: a
// failed save is returned, for the caller to tell once its work is done.

#include <optional>
#include <string>
#include <vector>

#include "config/BasicSettings.h"
#include "config/Settings.h"
#include "config/SettingsFile.h"
#include "platform/Platform.h"

namespace qv::config {

class ISettingsObserver {
 public:
  virtual ~ISettingsObserver() = default;
  // The ring's radii: its items are laid out again.
  virtual void RingChanged() {}
  // A skin's size, index or picture; shift: how far it moves left and up
  // (negative: right and down) so that its centre stays.
  virtual void SkinChanged(SkinPart /*part*/, int /*shift*/) {}
  // The theme the bar shows: a preview shows one RectTopic does not name yet.
  virtual void DockThemeChanged(const std::string& /*theme*/) {}
  virtual void DockTransparencyChanged() {}
  virtual void DockPositionChanged() {}
  // The magnification's extents: a row magnified with the old ones goes to rest.
  virtual void MagnifyChanged() {}
  virtual void LayerChanged(int /*frontIndex*/) {}
  virtual void HotKeyChanged(char /*letter*/) {}
  virtual void LabelChanged() {}
  // IsShowRound or IsShowRect switched: that presentation shows or hides.
  virtual void RingShownChanged() {}
  virtual void DockShownChanged() {}
  // The interface's language: texts shown from now on take it.
  virtual void LanguageChanged() {}
};

// Which skins OK draws again, each with its shift; nullopt leaves it as it is.
struct SkinShifts {
  std::optional<int> background;
  std::optional<int> center;
};

class SettingsOwner {
 public:
  // values: the settings the main form loaded at start and its parts read.
  SettingsOwner(Settings& values, IFileSystem& files, ISystem& system, std::string path);
  SettingsOwner(const SettingsOwner&) = delete;
  SettingsOwner& operator=(const SettingsOwner&) = delete;

  const Settings& Current() const { return values_; }
  // The hot key's letter in use; 'C' until the file's is known.
  char HotKey() const { return hotKey_; }
  void HotKeyLoaded(char letter) { hotKey_ = letter; }

  // The language the settings ask for, resolved against the system's, in use
  // from now on; observers hear of it when it differs from the one in use.
  void ApplyLanguage();

  // An observer stays subscribed until it unsubscribes; it may do so while it is told.
  void Subscribe(ISettingsObserver& observer);
  void Unsubscribe(ISettingsObserver& observer);

  // What the file holds for the dialog; nullopt when it cannot be read.
  std::optional<SetupFileValues> ReadFile() const;

  // Previews: memory only, until OK stores them or Cancel takes them back.
  void PreviewRing(int minR, int separationSize);
  void PreviewDockTheme(const std::string& theme);
  void PreviewDockTransparency(int percent);
  void PreviewDockPosition(int position);
  void PreviewMagnify(int iconPx, int iconWd);

  // OK: stores the values in one save, takes them into memory and announces
  // them (the layer, the hot key, the label, then the skins).
  EditResult Apply(const BasicSettingsValues& values, const SkinShifts& skins);
  // The presentation switches (IsShowRound, IsShowRect): turned over at once
  // and announced; the file keeps them when it can (an unreadable file is
  // never overwritten: the switch then lasts until the program ends).
  EditResult ToggleRing();
  EditResult ToggleDock();
  // The defaults, stored and announced; the skins move by the shifts given.
  EditResult RestoreDefaults(const SkinShifts& skins);

 private:
  template <typename Event>
  void Tell(Event event);

  Settings& values_;
  IFileSystem& files_;
  ISystem& system_;
  std::string path_;
  char hotKey_ = 'C';
  std::vector<ISettingsObserver*> observers_;
};

}  // namespace qv::config
