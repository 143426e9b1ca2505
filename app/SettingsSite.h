#pragma once

// The settings dialog's surroundings in the main form: the machine it reads,
// the system tools it adds and removes, and the parts that show the settings
// listening to their owner.

#include <vector>

#include "catalogue/IItemOperations.h"
#include "catalogue/IconProperty.h"
#include "config/ItemFile.h"
#include "config/SettingsOwner.h"
#include "settings/SetupMachine.h"

namespace qv::app {

class MainForm;

class SetupMachine final : public settings::ISetupMachine {
 public:
  SetupMachine(Platform& platform, MainForm& form) : platform_(platform), form_(form) {}
  std::vector<std::string> ThemeFiles() override;
  bool FileExists(const std::string& path) override;
  LayeredSurface LoadPreview(const std::string& path) override;
  std::optional<std::string> ReadRunValue() override;
  bool WriteRunValue(const std::optional<std::string>& value) override;
  std::string ExecutablePath() override;
  std::string ProgramDir() override;
  bool Ask(const std::string& text) override;
  void Tell(const std::string& text) override;
  void OpenAddress(const std::string& address) override;
  void Report(Severity severity, const std::string& text) override;
  void CheckSave(config::EditResult result, const std::string& what) override;
  void CollapseDock() override;
  void DialogClosed() override;

 private:
  Platform& platform_;
  MainForm& form_;
};

// Each part that shows settings hears of those it shows, for as long as it lives.
class SettingsListener : public config::ISettingsObserver {
 public:
  SettingsListener(config::SettingsOwner& owner, MainForm& form) : owner_(owner), form_(form) {
    owner_.Subscribe(*this);
  }
  ~SettingsListener() override { owner_.Unsubscribe(*this); }
  SettingsListener(const SettingsListener&) = delete;
  SettingsListener& operator=(const SettingsListener&) = delete;

 protected:
  config::SettingsOwner& owner_;
  MainForm& form_;
};

// The ring's items, its two skins and the label over them.
class RingListener final : public SettingsListener {
 public:
  using SettingsListener::SettingsListener;
  void RingChanged() override;
  void SkinChanged(config::SkinPart part, int shift) override;
  void LabelChanged() override;
  void RingShownChanged() override;
};

class DockListener final : public SettingsListener {
 public:
  using SettingsListener::SettingsListener;
  void DockThemeChanged(const std::string& theme) override;
  void DockTransparencyChanged() override;
  void DockPositionChanged() override;
  void MagnifyChanged() override;
  void DockShownChanged() override;
};

// The layers every window sits in and the hot key that shows and hides them.
class DisplayListener final : public SettingsListener {
 public:
  using SettingsListener::SettingsListener;
  void LayerChanged(int frontIndex) override;
  void HotKeyChanged(char letter) override;
  void LanguageChanged() override;
};

}  // namespace qv::app
