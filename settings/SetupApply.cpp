// The settings dialog's three buttons: OK, Cancel and the defaults, and the
// one dialog the application holds.

#include <algorithm>

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

// The Run value as the box asks: written when ticked and no value starts this
// copy, deleted when unticked and the value is this copy's. Another copy's
// value is never touched.
void SetAutoStart(ISetupMachine& machine, bool start) {
  const std::string exe = machine.ExecutablePath();
  const std::optional<std::string> run = machine.ReadRunValue();
  const bool ours = run && RunValueStartsProgram(*run, exe);
  if (start == ours) return;
  const std::optional<std::string> value = start ? std::optional<std::string>(RunValueFor(exe)) : std::nullopt;
  if (!machine.WriteRunValue(value))
    machine.Report(Severity::Error, start ? "Start with Windows could not be written into the Run key."
                                          : "Start with Windows could not be removed from the Run key.");
}

// Ring removals, ring additions, dock removals, dock additions: a tool moved
// from one slot to another never finds its side full.
void ApplyToolChanges(catalogue::IItemOperations& items, const std::string& programDir,
                      const std::vector<SystemToolChange>& changes) {
  for (const SystemToolChange& c : changes) {
    const SystemTool& tool = kRectSystemTools.at(static_cast<std::size_t>(c.tool));
    const catalogue::Presentation side = c.ring ? catalogue::Presentation::Round : catalogue::Presentation::Rect;
    // A full side or a file that went away takes nothing: the next opening shows the box as it is.
    if (c.add) {
      items.AddSystemTool(side, {tool.target, tool.caption,
                                 programDir + "Icon\\SysTool\\" + (tool.componentName + 1) + ".png"});
    } else {
      items.RemoveSystemTool(side, tool.target);
    }
  }
}

}  // namespace

void TFormSetup::BitBtnOKClick() {
  if (!haveFile_) {
    // Nothing can be stored: the previews are taken back, so OK changes nothing.
    BitBtnCancelClick();
    return;
  }
  // Everything is read from the controls before anything can show a message.
  const bool autoStart = forms_.Checked(form_, "ChkBoxAuto");
  const bool autoStartChanged = autoStart != autoStart_;
  const config::Settings& s = owner_.Current();
  config::BasicSettingsValues v;
  v.HideAfterClick = forms_.Checked(form_, "ChkBoxHide");
  v.LockPosition = forms_.Checked(form_, "ChkBoxLock");
  v.LockIcon = forms_.Checked(form_, "ChkBoxLockIcon");
  v.FrontIndex = std::max(0, forms_.Selection(form_, "ComboBoxDisplayState"));
  v.CenterAction = std::max(0, forms_.Selection(form_, "ComboBoxAction"));
  v.Language = static_cast<config::LanguageChoice>(std::clamp(forms_.Selection(form_, "ComboBoxLanguage"), 0, 2));
  // An emptied edit keeps the letter in use: the hot key must have one.
  v.HotKey = std::string(1, ChosenHotKey(forms_.Text(form_, "EditHot"), owner_.HotKey()));
  v.BackgroundSize = LabelValue("LabelBGNum");
  v.CenterSize = LabelValue("LabelCenterNum");

  // Only an existing .png is taken over; anything else keeps the picture shown.
  auto custom = [&](const char* edit, const std::string& orig, std::optional<std::string>& path, bool& toZero) {
    const std::string p = Trimmed(edit);
    if (p.empty() || !IsPngPath(p) || !machine_.FileExists(p)) return;
    path = p;
    toZero = p != orig;
  };
  custom("EditBG", origBGPath_, v.BackgroundPath, v.BackgroundIndexToZero);
  custom("EditCenter", origCenterPath_, v.CenterPath, v.CenterIndexToZero);

  v.MinR = LabelValue("LabelMinRNum");
  v.SeparationSize = LabelValue("LabelSeparationNum");
  v.RotationValue = LabelValue("LabelRotationNum");
  v.RectTopic = forms_.Text(form_, "ComboBoxTopic");
  v.RectTransparence = s.RectTransparence;
  v.RectPosition = s.RectPosition;
  v.RectIconPx = s.RectIconPx;
  v.RectIconWd = s.RectIconWd;
  v.IsShowHint = forms_.Checked(form_, "ChkBoxShow");
  v.HintFontDefine = fontDefine_;

  config::SkinShifts skins;
  const int dBG = CentringShift(origBGSize_, v.BackgroundSize);
  const int dCenter = CentringShift(origCenterSize_, v.CenterSize);
  if (dBG != 0 || Trimmed("EditBG") != origBGPath_) skins.background = dBG;
  if (dCenter != 0 || Trimmed("EditCenter") != origCenterPath_) skins.center = dCenter;

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

  // From here on only what outlives the dialog is used.
  config::SettingsOwner& owner = owner_;
  catalogue::IItemOperations& items = items_;
  ISetupMachine& machine = machine_;
  FormClose();
  if (autoStartChanged) SetAutoStart(machine, autoStart);
  const config::EditResult saved = owner.Apply(v, skins);
  ApplyToolChanges(items, machine.ProgramDir(), changes);
  machine.CheckSave(saved, "The settings");
}

void TFormSetup::BitBtnCancelClick() {
  owner_.PreviewRing(origMinR_, origSeparationSize_);
  owner_.PreviewMagnify(origIconPx_, origIconWd_);
  owner_.PreviewDockTheme(owner_.Current().RectTopic);
  owner_.PreviewDockTransparency(origTransparence_);
  owner_.PreviewDockPosition(origPosition_);
  FormClose();
}

void TFormSetup::BitBtnDefaultClick() {
  const std::shared_ptr<bool> alive = alive_;
  const bool yes = machine_.Ask(config::Tr(config::TextKey::RestoreQuestion));
  // The dialog may have been closed, or closed and opened anew, while the question was up.
  if (!yes || !(*alive && form_ != kNoForm)) return;
  if (!haveFile_) {
    BitBtnCancelClick();
    return;
  }
  const config::Settings defaults = config::FileDefaults();
  const config::SkinShifts skins{CentringShift(origBGSize_, defaults.BackgroundSize),
                                 CentringShift(origCenterSize_, defaults.CenterSize)};
  config::SettingsOwner& owner = owner_;
  ISetupMachine& machine = machine_;
  FormClose();
  SetAutoStart(machine, false);
  machine.CheckSave(owner.RestoreDefaults(skins), "The default settings");
}

// ---- the one dialog ----

SetupDialog::~SetupDialog() = default;

bool SetupDialog::Open() {
  closing_.reset();
  if (form_) {
    form_->BringToFront();
    return true;
  }
  form_ = std::make_unique<TFormSetup>(forms_, owner_, items_, machine_, [this] { closing_ = std::move(form_); });
  if (form_->Form() == kNoForm) {
    form_.reset();
    return false;
  }
  form_->FormShow();
  return true;
}

void SetupDialog::OpenSettings() { Open(); }

void SetupDialog::OpenDockSettings() {
  machine_.CollapseDock();
  if (Open()) form_->SelectPage(kPageRect);
}

}  // namespace qv::settings
