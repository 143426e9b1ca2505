#pragma once

// TFormSetup: every setting of the program on five pages. Opening reads the
// file and the settings once; some controls preview their value in the
// running windows at once; OK makes everything permanent, Cancel takes the
// previews back, the close box leaves them as they are, and the default
// button restores the defaults after asking. Every change of a setting goes
// through the settings' owner; the tool boxes through the item operations.
// A button reads its controls first and closes the dialog before the work
// that may show a message: timers, the tray and the hot key go on while one
// is up, and may close or open the dialog meanwhile.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/IItemOperations.h"
#include "config/SettingsOwner.h"
#include "platform/Forms.h"
#include "settings/SetupMachine.h"
#include "settings/SystemTools.h"

namespace qv::settings {

class TFormSetup final : public IFormEvents {
 public:
  // onClosed runs after the form is gone; the owner may let go of this object then.
  TFormSetup(IForms& forms, config::SettingsOwner& owner, catalogue::IItemOperations& items, ISetupMachine& machine,
             std::function<void()> onClosed);
  ~TFormSetup() override;
  TFormSetup(const TFormSetup&) = delete;
  TFormSetup& operator=(const TFormSetup&) = delete;

  FormId Form() const { return form_; }
  void FormShow();
  void BringToFront();
  void SelectPage(int page);

  // The buttons, as their clicks run them.
  void BitBtnOKClick();
  void BitBtnCancelClick();
  void BitBtnDefaultClick();

  // IFormEvents
  void OnClick(FormId form, const std::string& control) override;
  void OnChange(FormId form, const std::string& control) override;
  void OnCloseRequest(FormId form) override;
  void OnLinkHover(FormId form, const std::string& control, bool inside) override;
  void OnFocus(FormId form, const std::string& control) override;
  void OnKeyDown(FormId form, const std::string& control, unsigned virtualKey) override;

 private:
  void FormCreate();
  void LoadFromFile(const config::SetupFileValues& file);
  void LoadDockPage(const config::Settings& current);
  // Sets a slider as the user would: its change handler runs when the
  // clamped position differs from the one it had.
  void SetSlider(const char* name, int position);
  void SliderChanged(const std::string& name);
  void ShowFont(const std::string& define);
  void BrowsePicture(const char* edit, const char* image);
  void ApplyDisplayDefaults();
  std::string Trimmed(const char* edit) const;
  int LabelValue(const char* label) const;
  void FormClose();

  IForms& forms_;
  config::SettingsOwner& owner_;
  catalogue::IItemOperations& items_;
  ISetupMachine& machine_;
  std::function<void()> onClosed_;
  FormId form_ = kNoForm;
  // False once destroyed. A handler copies it before a box or a modal dialog
  // runs its loop, in which the dialog may be closed and destroyed by a new
  // opening, and looks at the copy before it touches anything of this object.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  // What the dialog was opened with.
  bool haveFile_ = false;
  bool autoStart_ = false;
  std::string savedHotKey_;
  int origBGSize_ = 0;
  int origCenterSize_ = 0;
  int origMinR_ = 0;
  int origSeparationSize_ = 0;
  int origTransparence_ = 0;
  int origPosition_ = 0;
  int origIconPx_ = 0;
  int origIconWd_ = 0;
  std::string origBGPath_;
  std::string origCenterPath_;
  std::array<bool, 5> roundToolPresent_{};
  std::array<bool, 5> rectToolPresent_{};
  std::string fontDefine_;
};

// The application's one settings dialog.
class SetupDialog {
 public:
  // All four are owned elsewhere and outlive the dialog.
  SetupDialog(IForms& forms, config::SettingsOwner& owner, catalogue::IItemOperations& items, ISetupMachine& machine)
      : forms_(forms), owner_(owner), items_(items), machine_(machine) {}
  ~SetupDialog();
  SetupDialog(const SetupDialog&) = delete;
  SetupDialog& operator=(const SetupDialog&) = delete;

  // The general "设置": makes the dialog, or brings up the open one with its page and edits.
  void OpenSettings();
  // The dock menus' "设置": the same, on the dock's page.
  void OpenDockSettings();

  bool IsOpen() const { return form_ != nullptr; }
  FormId Form() const { return form_ ? form_->Form() : kNoForm; }
  TFormSetup* Dialog() { return form_.get(); }

 private:
  bool Open();

  IForms& forms_;
  config::SettingsOwner& owner_;
  catalogue::IItemOperations& items_;
  ISetupMachine& machine_;
  std::unique_ptr<TFormSetup> form_;
  std::unique_ptr<TFormSetup> closing_;  // kept until the event that closed it has returned
};

}  // namespace qv::settings
