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

void RemoveRingTool(Platform& platform, RoundHot& form, config::ConfigDocument& document,
                    const settings::SystemTool& tool, bool& changed) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (rec.Window == kNoWindow || rec.File != tool.target) continue;
    const WindowId window = rec.Window;
    catalogue::ClearRecord(rec);
    platform.windows.DestroyWindow(window);
    changed = config::ClearRingItem(document, slot) || changed;
    return;
  }
}

void AddRingTool(Platform& platform, RoundHot& form, config::ConfigDocument& document, const settings::SystemTool& tool,
                 bool& changed) {
  catalogue::ItemSlots& slots = form.Slots();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots[slot];
    if (!rec.File.empty()) continue;
    rec.File = tool.target;
    rec.IconPath = ToolPicture(platform, tool);
    rec.Hint = tool.caption;
    form.Round().CreateRoundIconWindow(slot);
    form.Round().DrawIconIntoSlot(slot, rec.IconPath);
    changed = config::WriteRingTool(document, slot, rec.File, rec.Hint, rec.IconPath) || changed;
    return;
  }
  // A full ring takes nothing; the next opening shows the box unticked.
}

void RemoveRectTool(RoundHot& form, const settings::SystemTool& tool) {
  const catalogue::ItemSlots& slots = form.Slots();
  const int last = catalogue::kRingSlots + form.RectItemCount();
  // The row is contiguous: its count bounds the search, whether or not the bar has made its windows yet.
  for (int slot = catalogue::kRingSlots + 1; slot <= last; ++slot) {
    if (slots[slot].File == tool.target) {
      // Closes the gap in the records, the windows, the file and the bar.
      form.Removal().RemoveRectSlot(slot, catalogue::RemovalVariant::Menu);
      return;
    }
  }
}

void AddRectTool(Platform& platform, RoundHot& form, const settings::SystemTool& tool) {
  catalogue::CatalogueSite& site = form.Site();
  // A full row takes nothing, as a drop onto it does.
  if (site.rectItemCount >= catalogue::kDockSlots) return;
  const int position = site.rectItemCount + 1;
  const int slot = catalogue::kRingSlots + position;
  catalogue::TImageIconRec& rec = site.slots[slot];
  rec.File = tool.target;
  rec.IconPath = ToolPicture(platform, tool);
  rec.Hint = tool.caption;
  form.Round().CreateRectIconWindow(slot);
  config::ConfigDocument document(platform.files, platform.system, form.ConfigPath());
  if (document.Load().status == config::LoadStatus::Ok &&
      config::AppendRectTool(document, position, rec.File, rec.Hint, rec.IconPath) && !document.Save()) {
    // TODO(report): the dock's new system tool could not be saved.
  }
  form.Round().DrawIconIntoSlot(slot, rec.IconPath);
  ++site.rectItemCount;
  if (site.dockBar) site.dockBar->ItemAppended(slot, platform.windows.CursorPosition());
}

}  // namespace

void ApplySystemToolChanges(Platform& platform, RoundHot& form,
                            const std::vector<settings::SystemToolChange>& changes) {
  config::ConfigDocument document(platform.files, platform.system, form.ConfigPath());
  // Without the file nothing changes anywhere, not even in memory.
  if (document.Load().status != config::LoadStatus::Ok) return;
  bool ringChanged = false;
  for (const settings::SystemToolChange& c : changes) {
    if (!c.ring) continue;
    const settings::SystemTool& tool = settings::kRectSystemTools.at(static_cast<std::size_t>(c.tool));
    if (c.add) {
      AddRingTool(platform, form, document, tool, ringChanged);
    } else {
      RemoveRingTool(platform, form, document, tool, ringChanged);
    }
  }
  if (ringChanged && !document.Save()) {
    // TODO(report): the ring's system tools could not be saved.
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

settings::SetupHooks MakeSetupHooks(Platform& platform, RoundHot& form, DockPreviewHooks dock) {
  settings::SetupHooks h;
  Platform* p = &platform;
  RoundHot* f = &form;
  auto load = [](config::ConfigDocument& document) { return document.Load().status == config::LoadStatus::Ok; };
  h.ReadFile = [p, f, load]() -> std::optional<config::SetupFileValues> {
    config::ConfigDocument document(p->files, p->system, f->ConfigPath());
    if (!load(document)) return std::nullopt;
    return config::ReadSetupFileValues(document);
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
  h.ApplyDockTransparency = [f, dock](int percent) {
    f->MutableSettings().RectTransparence = percent;
    dock.ApplyTransparency();
  };
  h.ApplyDockTheme = [dock](const std::string& theme) { dock.ApplyTheme(theme); };
  h.ApplyDockPosition = [f, dock](int position) {
    f->MutableSettings().RectPosition = position;
    dock.ApplyPosition();
  };
  h.ApplyMagnify = [f, dock](int px, int wd) {
    f->MutableSettings().RectIconPx = px;
    f->MutableSettings().RectIconWd = wd;
    dock.ApplyMagnifyExtents();
  };

  h.SaveSettings = [p, f, load](const config::BasicSettingsValues& values) {
    config::ConfigDocument document(p->files, p->system, f->ConfigPath());
    return load(document) && config::WriteBasicSettings(document, values) && document.Save();
  };
  h.SaveDefaultSettings = [p, f, load]() -> std::optional<std::string> {
    config::ConfigDocument document(p->files, p->system, f->ConfigPath());
    if (!load(document)) return std::nullopt;
    std::optional<std::string> font = config::WriteDefaultSettings(document);
    if (!font || !document.Save()) return std::nullopt;
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
    if (!p->shell.Execute(address, "", "")) {
      // TODO(report): the shell refused the address of more skins.
    }
  };
  h.Closed = [f] { f->EnableClearMemory(); };
  return h;
}

}  // namespace qv::app
