#include "app/SettingsSite.h"

#include "app/MainForm.h"
#include "catalogue/IconPropertyApply.h"
#include "settings/SetupValues.h"

namespace qv::app {

// ---- the machine ----

std::vector<std::string> SetupMachine::ThemeFiles() {
  return platform_.files.ListFiles(platform_.files.ProgramDir() + "Icon\\RectangleBackground\\");
}

bool SetupMachine::FileExists(const std::string& path) { return platform_.files.FileExists(path); }

LayeredSurface SetupMachine::LoadPreview(const std::string& path) {
  return catalogue::LoadPropertyPreview(platform_.files, path);
}

std::optional<std::string> SetupMachine::ReadRunValue() {
  return platform_.registry.ReadString(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName);
}

bool SetupMachine::WriteRunValue(const std::optional<std::string>& value) {
  if (value)
    return platform_.registry.WriteString(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName,
                                          *value);
  return platform_.registry.DeleteValue(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName);
}

std::string SetupMachine::ExecutablePath() { return platform_.files.ExecutablePath(); }

std::string SetupMachine::ProgramDir() { return platform_.files.ProgramDir(); }

bool SetupMachine::Ask(const std::string& text) {
  return platform_.dialogs.MessageBox(text, config::Tr(config::TextKey::BoxCaption), MessageBoxButtons::YesNo,
                                      MessageBoxIcon::Information) == MessageBoxResult::Yes;
}

void SetupMachine::Tell(const std::string& text) {
  platform_.dialogs.MessageBox(text, config::Tr(config::TextKey::BoxCaption), MessageBoxButtons::Ok,
                               MessageBoxIcon::Information);
}

void SetupMachine::OpenAddress(const std::string& address) {
  if (!platform_.shell.Execute(address, "", ""))
    platform_.diagnostics.Report(Severity::Warning, "The shell refused the address of more skins: " + address);
}

void SetupMachine::Report(Severity severity, const std::string& text) { platform_.diagnostics.Report(severity, text); }

void SetupMachine::CheckSave(config::EditResult result, const std::string& what) {
  form_.SaveFailures().Check(result, what);
}

void SetupMachine::CollapseDock() { form_.Display().CollapseRectBar(); }

void SetupMachine::DialogClosed() { form_.EnableClearMemory(); }

// ---- the parts that show the settings ----

void RingListener::RingChanged() { form_.RelayoutRing(); }

void RingListener::SkinChanged(config::SkinPart part, int shift) {
  if (part == config::SkinPart::Background) {
    form_.Round().RebuildBackground(shift);
  } else {
    form_.Round().RebuildCenter(shift);
  }
}

void RingListener::LabelChanged() {
  if (round::HintWindow* hint = form_.Interaction().HoverState().Hint()) hint->SetFont(owner_.Current().HintFontDefine);
}

void RingListener::RingShownChanged() { form_.Round().ShowRing(owner_.Current().IsShowRound); }

// A magnified bar comes back at rest.
void DockListener::DockShownChanged() {
  form_.Dock().CollapseRectBar();
  form_.Dock().SetVisible(owner_.Current().IsShowRect);
}

void DockListener::DockThemeChanged(const std::string& theme) { form_.Dock().ApplyRectTheme(theme); }

void DockListener::DockTransparencyChanged() { form_.Dock().ApplyRectTransparency(); }

void DockListener::DockPositionChanged() { form_.Dock().ApplyRectPosition(); }

// The dock computes its magnified row from the settings at each move; a row
// magnified with the old extents goes to rest.
void DockListener::MagnifyChanged() { form_.Dock().CollapseRectBar(); }

void DisplayListener::LayerChanged(int frontIndex) { form_.SetFrontIndex(frontIndex); }

void DisplayListener::HotKeyChanged(char letter) { form_.SetHotKey(letter); }

void DisplayListener::LanguageChanged() { form_.LanguageChanged(); }

}  // namespace qv::app
