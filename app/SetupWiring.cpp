#include "app/SetupWiring.h"

#include "catalogue/IconPropertyApply.h"
#include "config/BasicSettings.h"
#include "settings/SetupValues.h"
#include "settings/SystemTools.h"

namespace qv::app {

namespace {

std::string ToolPicture(const Platform& platform, const settings::SystemTool& tool) {
  return platform.files.ProgramDir() + "Icon\\SysTool\\" + (tool.componentName + 1) + ".png";
}

using RingWrites = std::vector<std::pair<int, config::ItemTexts>>;

void RemoveRingTool(Platform& platform, MainForm& form, const settings::SystemTool& tool, RingWrites& writes) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (rec.Window == kNoWindow || rec.File != tool.target) continue;
    const WindowId window = rec.Window;
    catalogue::ClearRecord(rec);
    platform.windows.DestroyWindow(window);
    writes.emplace_back(slot, config::ItemTexts{});
    return;
  }
}

void AddRingTool(Platform& platform, MainForm& form, const settings::SystemTool& tool, RingWrites& writes) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (!rec.File.empty()) continue;
    rec.File = tool.target;
    rec.IconPath = ToolPicture(platform, tool);
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
  // A full ring takes nothing; the next opening shows the box unticked.
}

void RemoveRectTool(MainForm& form, const settings::SystemTool& tool) {
  const catalogue::ItemSlots& slots = form.Slots();
  const int last = catalogue::kRingSlots + slots.DockCount();
  // The row is contiguous: its count bounds the search, whether or not the bar has made its windows yet.
  for (int slot = catalogue::kRingSlots + 1; slot <= last; ++slot) {
    if (slots[slot].File == tool.target) {
      // Closes the gap in the records, the windows, the file and the bar.
      form.Removal().RemoveRectSlot(slot, catalogue::RemovalVariant::Menu);
      return;
    }
  }
}

// The dock's own append, as a drop onto the bar makes it: the record, the
// window, the element, the picture, then the bar widens by one item.
void AddRectTool(Platform& platform, MainForm& form, const settings::SystemTool& tool) {
  catalogue::CatalogueSite& site = form.Site();
  // A full row takes nothing, as a drop onto it does.
  if (site.slots.DockCount() >= catalogue::kDockSlots) return;
  const int position = site.slots.DockCount() + 1;
  const int slot = catalogue::kRingSlots + position;
  catalogue::TImageIconRec& rec = site.slots[slot];
  rec.File = tool.target;
  rec.IconPath = ToolPicture(platform, tool);
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
}

}  // namespace

void ApplySystemToolChanges(Platform& platform, MainForm& form,
                            const std::vector<settings::SystemToolChange>& changes) {
  config::ItemFile file(platform.files, platform.system, form.ConfigPath());
  // Without the file nothing changes anywhere, not even in memory.
  if (!file.Files(config::ItemList::Ring)) return;
  RingWrites ringWrites;
  for (const settings::SystemToolChange& c : changes) {
    if (!c.ring) continue;
    const settings::SystemTool& tool = settings::kRectSystemTools.at(static_cast<std::size_t>(c.tool));
    if (c.add) {
      AddRingTool(platform, form, tool, ringWrites);
    } else {
      RemoveRingTool(platform, form, tool, ringWrites);
    }
  }
  if (!ringWrites.empty()) {
    form.Site().Check(file.WriteRingItems(ringWrites), "The ring's system tools");
  }
  for (const settings::SystemToolChange& c : changes) {
    if (c.ring) continue;
    const settings::SystemTool& tool = settings::kRectSystemTools.at(static_cast<std::size_t>(c.tool));
    if (c.add) {
      AddRectTool(platform, form, tool);
    } else {
      RemoveRectTool(form, tool);
    }
  }
}

settings::SetupHooks MakeSetupHooks(Platform& platform, MainForm& form) {
  settings::SetupHooks h;
  Platform* p = &platform;
  MainForm* f = &form;
  h.ReadFile = [p, f]() -> std::optional<config::SetupFileValues> {
    return config::ReadSetupFileValues(config::SettingsFile(p->files, p->system, f->ConfigPath()),
                                       config::ItemFile(p->files, p->system, f->ConfigPath()));
  };
  h.CurrentSettings = [f] { return f->Settings(); };
  h.HotKeyChar = [f] { return f->HotKeyChar() ? f->HotKeyChar() : 'C'; };
  h.ThemeFiles = [p] { return p->files.ListFiles(p->files.ProgramDir() + "Icon\\RectangleBackground\\"); };
  h.FileExists = [p](const std::string& path) { return p->files.FileExists(path); };
  h.LoadPreview = [p](const std::string& path) { return catalogue::LoadPropertyPreview(p->files, path); };
  h.ReadRunValue = [p] {
    return p->registry.ReadString(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName);
  };
  h.ExecutablePath = [p] { return p->files.ExecutablePath(); };

  h.PreviewRing = [f](int minR, int separationSize) {
    f->MutableSettings().MinR = minR;
    f->MutableSettings().SeparationSize = separationSize;
    f->RelayoutRing();
  };
  h.ApplyDockTransparency = [f](int percent) {
    f->MutableSettings().RectTransparence = percent;
    f->Dock().ApplyRectTransparency();
  };
  h.ApplyDockTheme = [f](const std::string& theme) { f->Dock().ApplyRectTheme(theme); };
  h.ApplyDockPosition = [f](int position) {
    f->MutableSettings().RectPosition = position;
    f->Dock().ApplyRectPosition();
  };
  // The dock computes its magnified row from the settings at each move; a
  // row magnified with the old extents goes to rest.
  h.ApplyMagnify = [f](int px, int wd) {
    f->MutableSettings().RectIconPx = px;
    f->MutableSettings().RectIconWd = wd;
    f->Dock().CollapseRectBar();
  };

  // A failed save is told to the user like every other one; the settings
  // still hold in memory until the program ends.
  h.SaveSettings = [p, f](const config::BasicSettingsValues& values) {
    const config::EditResult result = config::SettingsFile(p->files, p->system, f->ConfigPath())
                                          .WriteSettings(config::BasicSettingsWrites(values));
    return f->SaveFailures().Check(result, "The settings");
  };
  h.SaveDefaultSettings = [p, f]() -> std::optional<std::string> {
    config::SettingsFile file(p->files, p->system, f->ConfigPath());
    std::optional<std::string> font = config::WriteDefaultSettings(file);
    if (!font && p->files.FileExists(f->ConfigPath()))
      f->SaveFailures().Check(config::EditResult::WriteFailed, "The default settings");
    return font;
  };
  h.SetSettings = [f](const config::Settings& s) { f->MutableSettings() = s; };
  h.RegisterHotKey = [f](char letter) { f->SetHotKey(letter); };
  h.SetDisplayState = [f](int frontIndex) { f->SetFrontIndex(frontIndex); };
  h.SetHintFont = [f](bool, const std::string& define) {
    if (round::HintWindow* hint = f->Interaction().HoverState().Hint()) hint->SetFont(define);
  };
  h.WriteRunValue = [p](const std::optional<std::string>& value) {
    // Start with Windows is best effort: a refused registry leaves the rest of OK going.
    if (value) {
      p->registry.WriteString(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName, *value);
    } else {
      p->registry.DeleteValue(RegistryHive::CurrentUser, settings::kRunKey, settings::kRunValueName);
    }
  };
  h.ApplySystemTools = [p, f](const std::vector<settings::SystemToolChange>& changes) {
    ApplySystemToolChanges(*p, *f, changes);
  };
  h.RebuildBackground = [f](const settings::SkinRebuild& r) { f->Round().RebuildBackground(r.shift); };
  h.RebuildCenter = [f](const settings::SkinRebuild& r) { f->Round().RebuildCenter(r.shift); };
  h.RelayoutRing = [f] { f->RelayoutRing(); };
  h.Ask = [p](const std::string& text) {
    return p->dialogs.MessageBox(text, kMessageCaption, MessageBoxButtons::YesNo, MessageBoxIcon::Information) ==
           MessageBoxResult::Yes;
  };
  h.Tell = [p](const std::string& text) {
    p->dialogs.MessageBox(text, kMessageCaption, MessageBoxButtons::Ok, MessageBoxIcon::Information);
  };
  h.CollapseRectBar = [f] { f->Display().CollapseRectBar(); };
  h.OpenAddress = [p](const std::string& address) {
    if (!p->shell.Execute(address, "", ""))
      p->diagnostics.Report(Severity::Warning, "The shell refused the address of more skins: " + address);
  };
  h.Report = [p](Severity severity, const std::string& text) { p->diagnostics.Report(severity, text); };
  h.Closed = [f] { f->EnableClearMemory(); };
  return h;
}

}  // namespace qv::app
