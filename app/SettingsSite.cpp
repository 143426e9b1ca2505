#include "app/SettingsSite.h"

#include "app/RoundHot.h"
#include "catalogue/IconPropertyApply.h"
#include "settings/SetupValues.h"

namespace qv::app {

namespace {

using RingWrites = std::vector<std::pair<int, config::ItemTexts>>;

void RemoveRingTool(Platform& platform, RoundHot& form, const std::string& target, RingWrites& writes) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (rec.Window == kNoWindow || rec.File != target) continue;
    const WindowId window = rec.Window;
    catalogue::ClearRecord(rec);
    platform.windows.DestroyWindow(window);
    writes.emplace_back(slot, config::ItemTexts{});
    return;
  }
}

void AddRingTool(RoundHot& form, const catalogue::ToolItem& tool, RingWrites& writes) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (!rec.File.empty()) continue;
    rec.File = tool.target;
    rec.IconPath = tool.picture;
    rec.Hint = tool.caption;
    form.Round().CreateRoundIconWindow(slot);
    form.Round().DrawIconIntoSlot(slot, rec.IconPath);
    config::ItemTexts texts;
    texts.File = rec.File;
    texts.Name = rec.Hint;
    texts.IconDefine = rec.IconPath;
    writes.emplace_back(slot, texts);
    return;
  }
}

bool RemoveRectTool(RoundHot& form, const std::string& target) {
  const catalogue::ItemSlots& slots = form.Slots();
  const int last = catalogue::kRingSlots + slots.DockCount();
  // The row is contiguous: its count bounds the search, whether or not the bar has made its windows yet.
  for (int slot = catalogue::kRingSlots + 1; slot <= last; ++slot) {
    if (slots[slot].File == target) {
      // Closes the gap in the records, the windows, the file and the bar.
      form.Removal().RemoveRectSlot(slot, catalogue::RemovalVariant::Menu);
      return true;
    }
  }
  return false;
}

// The dock's own append, as a drop onto the bar makes it: the record, the
// window, the element, the picture, then the bar widens by one item.
bool AddRectTool(Platform& platform, RoundHot& form, const catalogue::ToolItem& tool) {
  catalogue::CatalogueSite& site = form.Site();
  // A full row takes nothing, as a drop onto it does.
  if (site.slots.DockCount() >= catalogue::kDockSlots) return false;
  const int position = site.slots.DockCount() + 1;
  const int slot = catalogue::kRingSlots + position;
  catalogue::TImageIconRec& rec = site.slots[slot];
  rec.File = tool.target;
  rec.IconPath = tool.picture;
  rec.Hint = tool.caption;
  site.windows.CreateRectIconWindow(slot);
  config::ItemTexts texts;
  texts.File = rec.File;
  texts.Name = rec.Hint;
  texts.IconDefine = rec.IconPath;
  site.Check(site.File().AppendDockItem(position, texts), std::string("The dock's new system tool ") + tool.caption);
  site.windows.DrawIconIntoSlot(slot, rec.IconPath);
  site.slots.SetDockCount(position);
  if (site.dockBar) site.dockBar->ItemAppended(slot, platform.windows.CursorPosition());
  return true;
}

}  // namespace

bool ItemOperations::HaveFile() const {
  return config::ItemFile(platform_.files, platform_.system, form_.ConfigPath()).Files(config::ItemList::Ring)
      .has_value();
}

bool ItemOperations::WriteRing(const std::vector<std::pair<int, config::ItemTexts>>& writes) {
  if (writes.empty()) return false;
  config::ItemFile file(platform_.files, platform_.system, form_.ConfigPath());
  form_.Site().Check(file.WriteRingItems(writes), "The ring's system tools");
  return true;
}

// Without the file nothing changes anywhere, not even in memory.
bool ItemOperations::AddSystemTool(catalogue::Presentation side, const catalogue::ToolItem& tool) {
  if (!HaveFile()) return false;
  if (side == catalogue::Presentation::Rect) return AddRectTool(platform_, form_, tool);
  RingWrites writes;
  AddRingTool(form_, tool, writes);
  return WriteRing(writes);
}

bool ItemOperations::RemoveSystemTool(catalogue::Presentation side, const std::string& target) {
  if (!HaveFile()) return false;
  if (side == catalogue::Presentation::Rect) return RemoveRectTool(form_, target);
  RingWrites writes;
  RemoveRingTool(platform_, form_, target, writes);
  return WriteRing(writes);
}

bool ItemOperations::EditProperties(int slot, const catalogue::ItemProperties& values) {
  return catalogue::ApplyItemProperties(platform_, form_.Slots(), form_.Site().windows, slot, values,
                                        &form_.SaveFailures());
}

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
  return platform_.dialogs.MessageBox(text, kMessageCaption, MessageBoxButtons::YesNo, MessageBoxIcon::Information) ==
         MessageBoxResult::Yes;
}

void SetupMachine::Tell(const std::string& text) {
  platform_.dialogs.MessageBox(text, kMessageCaption, MessageBoxButtons::Ok, MessageBoxIcon::Information);
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

void DockListener::DockThemeChanged(const std::string& theme) { form_.Dock().ApplyRectTheme(theme); }

void DockListener::DockTransparencyChanged() { form_.Dock().ApplyRectTransparency(); }

void DockListener::DockPositionChanged() { form_.Dock().ApplyRectPosition(); }

// The dock computes its magnified row from the settings at each move; a row
// magnified with the old extents goes to rest.
void DockListener::MagnifyChanged() { form_.Dock().CollapseRectBar(); }

void DisplayListener::LayerChanged(int frontIndex) { form_.SetFrontIndex(frontIndex); }

void DisplayListener::HotKeyChanged(char letter) { form_.SetHotKey(letter); }

}  // namespace qv::app
