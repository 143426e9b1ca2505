// The settings dialog's three buttons: OK, Cancel and the defaults, and the
// one dialog the application holds.

#include "settings/Setup.h"
#include "settings/SetupForm.h"
#include "settings/SystemTools.h"

namespace qv::settings {

namespace {

bool IsPngPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension == ".png";
}

std::string ToolBox(char prefix, std::size_t tool) {
  return std::string(1, prefix) + (kRectSystemTools[tool].componentName + 1);
}

}  // namespace

void TFormSetup::BitBtnOKClick() {
  if (!haveFile_) {
    // Nothing can be stored: the previews are taken back, so OK changes nothing.
    BitBtnCancelClick();
    return;
  }
  const int dBG = CentringShift(origBGSize_, LabelValue("LabelBGNum"));
  const int dCenter = CentringShift(origCenterSize_, LabelValue("LabelCenterNum"));

  // Start with Windows first: it lives outside the file and does not wait for it.
  const std::optional<std::string> run = hooks_.ReadRunValue();
  if (forms_.Checked(form_, "ChkBoxAuto")) {
    const std::string exe = hooks_.ExecutablePath();
    if (!run || !RunValueStartsProgram(*run, exe)) hooks_.WriteRunValue(RunValueFor(exe));
  } else if (run) {
    hooks_.WriteRunValue(std::nullopt);
  }

  config::Settings s = hooks_.CurrentSettings();
  config::BasicSettingsValues v;
  v.HideAfterClick = s.HideAfterClick = forms_.Checked(form_, "ChkBoxHide");
  v.LockPosition = s.LockPosition = forms_.Checked(form_, "ChkBoxLock");
  v.LockIcon = s.LockIcon = forms_.Checked(form_, "ChkBoxLockIcon");
  v.FrontIndex = std::max(0, forms_.Selection(form_, "ComboBoxDisplayState"));
  v.CenterAction = s.CenterAction = std::max(0, forms_.Selection(form_, "ComboBoxAction"));
  // An emptied edit keeps the letter in use: the hot key must have one.
  const char letter = ChosenHotKey(forms_.Text(form_, "EditHot"), hooks_.HotKeyChar());
  v.HotKey = std::string(1, letter);
  v.BackgroundSize = s.BackgroundSize = LabelValue("LabelBGNum");
  v.CenterSize = s.CenterSize = LabelValue("LabelCenterNum");

  // Only an existing .png is taken over; anything else keeps the picture shown.
  auto custom = [&](const char* edit, const std::string& orig, std::optional<std::string>& path, bool& toZero,
                    int& index, std::string& shown) {
    const std::string p = Trimmed(edit);
    if (p.empty() || !IsPngPath(p) || !hooks_.FileExists(p)) return;
    path = p;
    shown = p;
    if (p != orig) {
      toZero = true;
      index = 0;
    }
  };
  std::string bgPath = origBGPath_;
  std::string centerPath = origCenterPath_;
  custom("EditBG", origBGPath_, v.BackgroundPath, v.BackgroundIndexToZero, s.BackgroundIndex, bgPath);
  custom("EditCenter", origCenterPath_, v.CenterPath, v.CenterIndexToZero, s.CenterIndex, centerPath);

  v.MinR = s.MinR = LabelValue("LabelMinRNum");
  v.SeparationSize = s.SeparationSize = LabelValue("LabelSeparationNum");
  v.RotationValue = s.RotationValue = LabelValue("LabelRotationNum");
  v.RectTopic = s.RectTopic = forms_.Text(form_, "ComboBoxTopic");
  v.RectTransparence = s.RectTransparence;
  v.RectPosition = s.RectPosition;
  v.RectIconPx = s.RectIconPx;
  v.RectIconWd = s.RectIconWd;
  v.IsShowHint = s.IsShowHint = forms_.Checked(form_, "ChkBoxShow");
  v.HintFontDefine = s.HintFontDefine = fontDefine_;

  if (!hooks_.SaveSettings(v) && hooks_.Report)
    hooks_.Report(Severity::Error, "The settings could not be written; they hold until the program ends.");
  hooks_.SetSettings(s);
  hooks_.SetDisplayState(v.FrontIndex);
  hooks_.RegisterHotKey(letter);
  hooks_.SetHintFont(v.IsShowHint, v.HintFontDefine);

  std::vector<SystemToolChange> changes;
  auto collect = [&](bool ring, char prefix, const std::array<bool, 5>& present, bool add) {
    for (std::size_t i = 0; i < present.size(); ++i) {
      const bool checked = forms_.Checked(form_, ToolBox(prefix, i));
      if (checked != present[i] && checked == add) changes.push_back({ring, static_cast<int>(i), add});
    }
  };
  collect(true, 'C', roundToolPresent_, false);
  collect(true, 'C', roundToolPresent_, true);
  collect(false, 'R', rectToolPresent_, false);
  collect(false, 'R', rectToolPresent_, true);
  if (!changes.empty()) hooks_.ApplySystemTools(changes);

  if (dBG != 0 || Trimmed("EditBG") != origBGPath_)
    hooks_.RebuildBackground({s.BackgroundSize, s.BackgroundIndex, bgPath, dBG});
  if (dCenter != 0 || Trimmed("EditCenter") != origCenterPath_)
    hooks_.RebuildCenter({s.CenterSize, s.CenterIndex, centerPath, dCenter});
  FormClose();
}

void TFormSetup::BitBtnCancelClick() {
  hooks_.PreviewRing(origMinR_, origSeparationSize_);
  hooks_.ApplyMagnify(origIconPx_, origIconWd_);
  hooks_.ApplyDockTheme(hooks_.CurrentSettings().RectTopic);
  hooks_.ApplyDockTransparency(origTransparence_);
  hooks_.ApplyDockPosition(origPosition_);
  FormClose();
}

void TFormSetup::BitBtnDefaultClick() {
  if (!hooks_.Ask(kRestoreQuestion)) return;
  if (!haveFile_) {
    BitBtnCancelClick();
    return;
  }
  const config::Settings defaults = config::FileDefaults();
  const int dBG = CentringShift(origBGSize_, defaults.BackgroundSize);
  const int dCenter = CentringShift(origCenterSize_, defaults.CenterSize);

  if (hooks_.ReadRunValue()) hooks_.WriteRunValue(std::nullopt);
  const std::optional<std::string> font = hooks_.SaveDefaultSettings();
  if (!font && hooks_.Report)
    hooks_.Report(Severity::Error, "The default settings could not be written; they hold until the program ends.");
  config::Settings s = hooks_.CurrentSettings();
  s.HideAfterClick = defaults.HideAfterClick;
  s.LockPosition = defaults.LockPosition;
  s.CenterAction = defaults.CenterAction;
  s.BackgroundSize = defaults.BackgroundSize;
  s.CenterSize = defaults.CenterSize;
  s.BackgroundIndex = defaults.BackgroundIndex;
  s.CenterIndex = defaults.CenterIndex;
  s.MinR = defaults.MinR;
  s.SeparationSize = defaults.SeparationSize;
  s.RotationValue = defaults.RotationValue;
  s.RectTopic = defaults.RectTopic;
  s.RectTransparence = defaults.RectTransparence;
  s.RectPosition = defaults.RectPosition;
  s.RectIconPx = defaults.RectIconPx;
  s.RectIconWd = defaults.RectIconWd;
  s.IsShowHint = defaults.IsShowHint;
  s.HintFontDefine = font.value_or(fontDefine_);
  hooks_.SetSettings(s);
  hooks_.SetDisplayState(0);
  hooks_.RegisterHotKey('C');
  hooks_.SetHintFont(s.IsShowHint, s.HintFontDefine);
  hooks_.ApplyDockTheme(s.RectTopic);
  hooks_.ApplyDockTransparency(s.RectTransparence);
  hooks_.ApplyDockPosition(s.RectPosition);

  hooks_.RebuildBackground({s.BackgroundSize, s.BackgroundIndex, "", dBG});
  hooks_.RebuildCenter({s.CenterSize, s.CenterIndex, "", dCenter});
  hooks_.RelayoutRing();
  FormClose();
}

// ---- the one dialog ----

SetupDialog::~SetupDialog() = default;

bool SetupDialog::Open() {
  closing_.reset();
  if (form_) {
    form_->BringToFront();
    return true;
  }
  form_ = std::make_unique<TFormSetup>(forms_, hooks_, [this] { closing_ = std::move(form_); });
  if (form_->Form() == kNoForm) {
    form_.reset();
    return false;
  }
  form_->FormShow();
  return true;
}

void SetupDialog::OpenSettings() { Open(); }

void SetupDialog::OpenDockSettings() {
  if (hooks_.CollapseRectBar) hooks_.CollapseRectBar();
  if (Open()) form_->SelectPage(kPageRect);
}

}  // namespace qv::settings
