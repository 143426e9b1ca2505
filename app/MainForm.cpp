#include "app/MainForm.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "catalogue/IconPropertyApply.h"
#include "catalogue/LoadEntry.h"
#include "config/Backups.h"
#include "config/SettingsFile.h"
#include "picture/DpiPictures.h"
#include "picture/Picture.h"
#include "picture/PngLoader.h"
#include "round/ScreenFit.h"
#include "settings/SystemTools.h"

namespace qv::app {

using config::TextKey;
using config::Tr;

namespace {

constexpr unsigned kIntervalGetIcon = 50;
constexpr unsigned kIntervalClearMemory = 10000;
constexpr unsigned kIntervalPBT = 1000;
constexpr unsigned kIntervalRedraw = 500;

std::string LoadFault(const config::LoadResult& load) {
  std::string text = load.description.empty() ? std::string("unknown error") : load.description;
  if (load.offset >= 0) text += ", offset " + std::to_string(load.offset);
  return text;
}


}  // namespace

// An open property dialog follows its item, or closes when it went away;
// the keyboard's focus forgets an item that left its slot.
class MainForm::ItemsWatcher final : public catalogue::IItemsWatcher {
 public:
  explicit ItemsWatcher(MainForm& form) : form_(form) {}
  void ItemsChanged() override {
    form_.properties_->ItemsChanged();
    if (form_.focus_) form_.focus_->ItemsChanged();
  }

 private:
  MainForm& form_;
};

// The focused item's keys, done as the pointer does it.
class MainForm::KeyHost final : public IKeyCommands {
 public:
  explicit KeyHost(MainForm& form) : form_(form) {}
  void Launch(WindowId item) override {
    form_.interaction_->LaunchItem(item);
    form_.timerClearMemory_.Enable();
  }
  void OpenMenu(WindowId item) override {
    if (form_.closed_ || form_.boxes_.BoxOpen()) return;
    const Rect r = form_.platform_.windows.Bounds(item);
    form_.commands_->OnRightRelease(item, {r.left + r.width / 2, r.top + r.height / 2});
  }
  void Hide() override {
    if (form_.display_->WindowsShown()) form_.display_->ToggleShown();
  }

 private:
  MainForm& form_;
};

// What the ring's handlers ask of the main form.
class MainForm::RingHost final : public round::IRingHost {
 public:
  explicit RingHost(MainForm& form) : form_(form) {}
  void RunCenterCommand() override { form_.commands_->CenterClick(form_.settings_.CenterAction); }
  void MinimizeToTray() override { form_.display_->MinimizeToTray(); }
  bool IconsLoaded() const override { return form_.iconsLoaded_; }

 private:
  MainForm& form_;
};

MainForm::MainForm(Platform& platform)
    : boxes_(platform.dialogs),
      platform_{platform.windows, platform.timers, boxes_,          platform.files,       platform.registry,
                platform.shell,   platform.tray,   platform.hotKeys, platform.system,      platform.canvas,
                platform.diagnostics, platform.menus, platform.forms},
      timerGetIcon_(platform.timers, TimerGetIcon, kIntervalGetIcon),
      timerClearMemory_(platform.timers, TimerClearMemory, kIntervalClearMemory),
      timerPBT_(platform.timers, TimerPBT, kIntervalPBT),
      timerRedraw_(platform.timers, TimerRedraw, kIntervalRedraw),
      saveFailures_(boxes_, platform.diagnostics, platform.files, config::UserInfoPath(platform.files)) {
  WindowSpec params;
  params.name = "FormRoundHot";
  params.className = "TFormRoundHot";
  params.title = "Quorvel";
  params.bounds = kMainFormDesignBounds;
  params.layered = true;
  params.mainForm = true;
  mainWindow_ = platform_.windows.CreateWindow(params);
  slots_.Windows().Add(mainWindow_, {catalogue::Presentation::Round, catalogue::WindowRole::Main, 0});
  round_ = std::make_unique<round::RoundPresentation>(platform_, settings_, slots_, mainWindow_, timerClearMemory_,
                                                      pictures_);
  dock::DockPictures pictures;
  pictures.LoadResource = [this](const std::string& name, int dpi) {
    return picture::LoadPremultipliedPngForDpi(platform_.system, name, dpi);
  };
  pictures.LoadWindowPicture = [this](const std::string& path, int dpi) {
    return picture::LoadPremultipliedPngFileForDpi(platform_.files, path, dpi);
  };
  pictures.LoadItemPicture = [this](const std::string& path, int dpi) { return pictures_.Load(path, dpi); };
  dock_ = std::make_unique<dock::RectPresentation>(platform_, settings_, slots_, std::move(pictures),
                                                   [this] { timerClearMemory_.Enable(); });
  itemWindows_ = std::make_unique<ItemWindowsRouter>(*round_, *dock_);
  site_.reset(new catalogue::CatalogueSite{platform_, slots_, *itemWindows_});
  site_->saveFailures = &saveFailures_;
  about_ = std::make_unique<settings::AboutDialog>(platform_.forms, platform_.shell, platform_.system,
                                                   platform_.diagnostics);
  propertyItems_ = std::make_unique<catalogue::CatalogueProperties>(platform_, slots_, *itemWindows_, &saveFailures_);
  properties_ = std::make_unique<catalogue::IconPropertyDialog>(platform_.forms, *propertyItems_, *propertyItems_);
  settingsOwner_ = std::make_unique<config::SettingsOwner>(settings_, platform_.files, platform_.system, ConfigPath());
  setupMachine_ = std::make_unique<SetupMachine>(platform_, *this);
  ringListener_ = std::make_unique<RingListener>(*settingsOwner_, *this);
  dockListener_ = std::make_unique<DockListener>(*settingsOwner_, *this);
  displayListener_ = std::make_unique<DisplayListener>(*settingsOwner_, *this);
  // An open property dialog whose item went away closes.
  watcher_ = std::make_unique<ItemsWatcher>(*this);
  site_->watcher = watcher_.get();
  removal_ = std::make_unique<catalogue::ItemRemoval>(*site_, timerClearMemory_);
  operations_ = std::make_unique<catalogue::ItemOperations>(*site_, *removal_);
  setup_ = std::make_unique<settings::SetupDialog>(platform_.forms, *settingsOwner_, *operations_, *setupMachine_);
  drop_ = std::make_unique<catalogue::ItemDrop>(*site_, *operations_, timerClearMemory_);
  CreateRingHandlers();
}

MainForm::~MainForm() {
  timerGetIcon_.Disable();
  timerClearMemory_.Disable();
  timerPBT_.Disable();
  timerRedraw_.Disable();
  // The dialogs first: they are bound to item windows.
  displayListener_.reset();
  dockListener_.reset();
  ringListener_.reset();
  site_->watcher = nullptr;
  setup_.reset();
  properties_.reset();
  about_.reset();
  hotKeys_.reset();
  focus_.reset();
  router_.reset();
  dockPointer_.reset();
  interaction_.reset();
  dock_.reset();
  round_.reset();
  if (mainWindow_ != kNoWindow) platform_.windows.DestroyWindow(mainWindow_);
}

std::string MainForm::ConfigPath() const { return config::UserInfoPath(platform_.files); }

// ---- creation ----

void MainForm::FormCreate() {
  trayAdded_ = platform_.tray.AddTrayIcon(Tr(TextKey::TrayTip));
  InitSettings();
  round_->LoadPlates();
  dock_->LoadPictures();
  platform_.windows.AcceptDroppedFiles(mainWindow_, true);
  acceptsDrops_ = true;
  display_->MarkShown();
  iconsLoaded_ = false;
  const std::string iconDir = platform_.files.ProgramDir() + "Icon";
  if (!platform_.files.DirectoryExists(iconDir)) platform_.files.CreateDirectory(iconDir);
}

void MainForm::InitSettings() {
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) slots_[slot].File.clear();

  // The values before loading; the position is where the window stands now.
  const Rect bounds = platform_.windows.Bounds(mainWindow_);
  settings_ = config::Settings{};
  settings_.PositionLeft = bounds.left;
  settings_.PositionTop = bounds.top;

  // A save a crash cut short left its temporary beside the file.
  platform_.files.RemoveStaleTemporaries(ConfigPath());
  config::SettingsFile file(platform_.files, platform_.system, ConfigPath());
  config::SettingsOutcome outcome = file.Load(settings_);
  if (outcome.status != config::SettingsStatus::Loaded && RestoreFromBackup(outcome)) outcome = file.Load(settings_);
  switch (outcome.status) {
    case config::SettingsStatus::Missing:
      platform_.dialogs.MessageBox(Tr(TextKey::ConfigMissing), Tr(TextKey::BoxCaption), MessageBoxButtons::Ok,
                                   MessageBoxIcon::Warning);
      platform_.system.RequestQuit();
      return;
    case config::SettingsStatus::Unreadable:
      // Never overwritten: the user may still recover what the file holds.
      platform_.dialogs.MessageBox(Tr(TextKey::ConfigUnreadable, {LoadFault(outcome.load)}), Tr(TextKey::BoxCaption),
                                   MessageBoxButtons::Ok, MessageBoxIcon::Warning);
      platform_.system.RequestQuit();
      return;
    case config::SettingsStatus::Loaded:
      break;
  }
  settingsLoaded_ = true;
  settingsOwner_->ApplyLanguage();
  ApplyFrontIndex(outcome.frontIndex);
  platform_.windows.SetBounds(mainWindow_, {settings_.PositionLeft, settings_.PositionTop, kMainFormDesignBounds.width,
                                            kMainFormDesignBounds.height});
  round::KeepRingOnScreen(platform_.windows, mainWindow_, settings_);
  round_->ComputeOffsets(RotationAngle());
  round_->LoadClockPictures();
}

bool MainForm::RestoreFromBackup(const config::SettingsOutcome& failed) {
  // The writer's last backup, else the copy taken before the last clear or reset;
  // a backup that would fail the same way is not worth a question.
  const auto loads = [this](const std::string& path) {
    return config::SettingsFile(platform_.files, platform_.system, path).Probe().status == config::LoadStatus::Ok;
  };
  std::string backup = ConfigPath() + ".bak";
  TextKey question = TextKey::ConfigRestore;
  if (!loads(backup)) {
    backup = config::ProtectedBackupPath(ConfigPath());
    question = TextKey::ConfigRestoreProtected;
    if (!loads(backup)) return false;
  }
  const std::string reason = failed.status == config::SettingsStatus::Missing
                                 ? ConfigPath() + " not found"
                                 : ConfigPath() + ": " + LoadFault(failed.load);
  if (platform_.dialogs.MessageBox(Tr(question, {reason}), Tr(TextKey::BoxCaption), MessageBoxButtons::YesNo,
                                   MessageBoxIcon::Question) != MessageBoxResult::Yes)
    return false;
  const std::optional<std::string> bytes = platform_.files.ReadFile(backup);
  if (bytes && platform_.files.WriteFileAtomic(ConfigPath(), *bytes)) return true;
  // The user asked for the backup and did not get it: say why before the usual message ends the start.
  std::string why = bytes ? platform_.files.LastWriteFailure() : backup + " could not be read";
  platform_.dialogs.MessageBox(Tr(TextKey::ConfigRestoreFailed, {why}), Tr(TextKey::BoxCaption), MessageBoxButtons::Ok,
                               MessageBoxIcon::Warning);
  return false;
}

void MainForm::ApplyFrontIndex(int frontIndex) {
  mainLayer_ = display_->ApplyLayer(config::FrontLayer(frontIndex), {interaction_->HintWindowId()});
}

void MainForm::FormShow() {
  // A start that could not read its settings ends at the next turn of the loop.
  // The wait runs while the window system shows the main form: a timer only
  // fires from the loop, so the step still comes after the show.
  if (settingsLoaded_) timerGetIcon_.Enable();
  platform_.windows.PushLayered(
      mainWindow_,
      picture::PhysicalSurface(kMainFormDesignBounds.width, kMainFormDesignBounds.height, platform_.windows.Dpi()), 0);
  platform_.windows.Show(mainWindow_, true);
  if (!settingsLoaded_) return;
  try {
    PrepareStep();
  } catch (const std::exception& e) {
    // The step does it all itself, as it would without this.
    startupItems_.reset();
    platform_.diagnostics.Report(Severity::Warning, std::string("Preparing the start-up step failed: ") + e.what());
  }
}

// The wait before the step is the window system's time, not the program's:
// the step's reading and decoding are done meanwhile, the windows after it.
void MainForm::PrepareStep() {
  round_->PrepareBackground();
  startupItems_ = std::make_unique<config::StartupItems>(platform_.files, platform_.system, ConfigPath());
  if (!startupItems_->Load()) {
    startupItems_.reset();  // the step reads the file again
    return;
  }
  // Items that show the same file decode it once. Their faces are drawn now,
  // the windows' first draws only copy them.
  pictures_.Begin();
  const auto prepare = [&](int slot, const std::optional<config::ItemTexts>& texts) {
    if (!texts) return;
    const std::string path = catalogue::EntryPicture(slot, *texts, platform_);
    if (path.empty()) return;  // an .ico file or a free slot: drawn in the step
    if (slot <= catalogue::kRingSlots)
      round_->PrepareItem(slot, path);
    else
      dock_->PrepareItem(slot, path);
  };
  using config::ItemList;
  round_->PrepareItems();
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) prepare(slot, startupItems_->Read(ItemList::Ring, slot));
  if (settings_.RectListCreated) {
    const int count = static_cast<int>(settings::kRectSystemTools.size());
    dock_->PrepareBar(count);
    dock_->PrepareItems(count);
    int j = 0;
    for (const settings::SystemTool& tool : settings::kRectSystemTools)
      dock_->PrepareItem(catalogue::kRingSlots + ++j, SystemToolPicture(tool));
    return;
  }
  const int count = std::min(startupItems_->Count(ItemList::Dock), catalogue::kDockSlots);
  dock_->PrepareBar(count);
  dock_->PrepareItems(count);
  for (int j = 1; j <= count; ++j) prepare(catalogue::kRingSlots + j, startupItems_->Read(ItemList::Dock, j));
}

std::string MainForm::SystemToolPicture(const settings::SystemTool& tool) const {
  return platform_.files.ProgramDir() + "Icon\\SysTool\\" + (tool.componentName + 1) + ".png";
}

void MainForm::DropPreparedItems() {
  round_->DropPreparedItems();
  dock_->DropPreparedItems();
}

// ---- the one-shot start-up step ----

void MainForm::BuildPresentations() {
  timerGetIcon_.Disable();
  if (!settingsLoaded_ || closed_) {
    pictures_.End();  // what the wait decoded and drew is not kept for a start that does not come
    DropPreparedItems();
    startupItems_.reset();
    return;
  }

  // Creating a window lets the loop run; what arrives meanwhile waits or is
  // dropped. Whatever fails in the step, input is taken again after it and
  // the program can be closed: the user may still close it or use what was built.
  building_ = true;
  try {
    BuildWindowsAndItems();
  } catch (const std::exception& e) {
    platform_.diagnostics.Report(Severity::Error, std::string("The start-up step failed: ") + e.what());
  } catch (...) {
    platform_.diagnostics.Report(Severity::Error, "The start-up step failed");
  }
  building_ = false;
  DropPreparedItems();
  // Its save after the step's, so the file keeps what memory holds.
  if (closeDeferred_) {
    OnClose();
    return;
  }
  AttachDockBar(dock_.get());
  interaction_->CreateHintWindow(CompanionLayer(mainLayer_), settings_.HintFontDefine);
  // The lists are loaded: drops and hovers are safe from here on, also those
  // the windows' creation queued. Ready as soon as every window stands
  // painted on screen; what the loop has queued meanwhile is its own work.
  iconsLoaded_ = true;
  platform_.system.SignalReady();
  TrimWorkingSet();
}

void MainForm::BuildWindowsAndItems() {
  // Items that show the same file decode it once.
  const picture::PictureCacheScope keep(pictures_);
  round_->BuildBackgroundWindow();
  round_->BuildCenterWindow();
  // The lists as the wait read them, unless the file was written since.
  std::unique_ptr<config::StartupItems> loaded = std::move(startupItems_);
  if (loaded && !loaded->Current()) loaded.reset();
  if (!loaded) {
    loaded = std::make_unique<config::StartupItems>(platform_.files, platform_.system, ConfigPath());
    if (!loaded->Load()) {
      dock_->CreateRectBar();
      return;
    }
  }
  config::StartupItems& items = *loaded;
  LoadItemLists(items);
  Check(items.Save(), "Completing the item lists at start");
  const std::string hotKeyText = items.HotKeyText();
  hotKeyChar_ = hotKeyText.empty() ? 0 : hotKeyText[0];
  settingsOwner_->HotKeyLoaded(hotKeyChar_);
  SetupHotKey();
}

void MainForm::LoadItemLists(config::StartupItems& items) {
  using config::ItemList;
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    const std::optional<config::ItemTexts> texts = items.Read(ItemList::Ring, slot);
    if (!texts) continue;
    const catalogue::EntryWriteBack writeBack = catalogue::LoadEntry(slot, *texts, slots_, *round_, platform_);
    if (writeBack.File) items.SetFile(ItemList::Ring, slot, *writeBack.File);
    if (writeBack.IconDefine) items.SetIconDefine(ItemList::Ring, slot, *writeBack.IconDefine);
  }
  if (settings_.RectListCreated) {
    CreateDefaultRectList(items);
    return;
  }
  // More dock elements than the dock has slots stay in the file untouched.
  slots_.SetDockCount(std::min(items.Count(ItemList::Dock), catalogue::kDockSlots));
  dock_->CreateRectBar();
  for (int j = 1; j <= slots_.DockCount(); ++j) {
    const std::optional<config::ItemTexts> texts = items.Read(ItemList::Dock, j);
    if (!texts) continue;
    const catalogue::EntryWriteBack writeBack =
        catalogue::LoadEntry(catalogue::kRingSlots + j, *texts, slots_, *itemWindows_, platform_);
    if (writeBack.File) items.SetFile(ItemList::Dock, j, *writeBack.File);
    if (writeBack.IconDefine) items.SetIconDefine(ItemList::Dock, j, *writeBack.IconDefine);
  }
}

void MainForm::CreateDefaultRectList(config::StartupItems& items) {
  std::vector<config::ItemTexts> tools;
  slots_.SetDockCount(static_cast<int>(settings::kRectSystemTools.size()));
  dock_->CreateRectBar();
  int j = 0;
  for (const settings::SystemTool& tool : settings::kRectSystemTools) {
    catalogue::TImageIconRec& rec = slots_[catalogue::kRingSlots + ++j];
    rec.File = tool.target;
    rec.IconPath = SystemToolPicture(tool);
    rec.Hint = tool.caption;
    config::ItemTexts texts;
    texts.File = rec.File;
    texts.Name = rec.Hint;
    texts.IconDefine = rec.IconPath;
    tools.push_back(std::move(texts));
    itemWindows_->CreateRectIconWindow(catalogue::kRingSlots + j);
    itemWindows_->DrawIconIntoSlot(catalogue::kRingSlots + j, rec.IconPath);
  }
  slots_.SetDockCount(j);
  items.AppendDockItems(tools);
}

void MainForm::Check(config::EditResult result, const std::string& what) { saveFailures_.Check(result, what); }

// ---- shutdown ----

void MainForm::FormClose() {
  if (closed_) return;
  closed_ = true;
  timerGetIcon_.Disable();
  hotKeys_.reset();
  if (acceptsDrops_) platform_.windows.AcceptDroppedFiles(mainWindow_, false);
  acceptsDrops_ = false;
  SaveSkinsAndPosition();
  interaction_->CloseHintWindow();
  if (trayAdded_) platform_.tray.RemoveTrayIcon();
  trayAdded_ = false;
}

void MainForm::SaveSkinsAndPosition() {
  // A start that could not read the file never writes it.
  if (!settingsLoaded_) return;
  Check(config::SettingsFile(platform_.files, platform_.system, ConfigPath()).SaveSkinsAndPosition(settings_),
        "The skins and the window position");
}

// ---- events ----

void MainForm::OnTimer(int id) {
  switch (id) {
    case TimerGetIcon:
      BuildPresentations();
      break;
    case TimerClearMemory:
      timerClearMemory_.Disable();
      TrimWorkingSet();
      break;
    case TimerPBT:
      if (resumeTicks_ > kResumeTicks) {
        timerPBT_.Disable();
      } else {
        // The system may have moved the bar while it slept.
        dock_->PlaceAll();
        ++resumeTicks_;
      }
      break;
    case TimerRedraw:
      timerRedraw_.Disable();
      round::KeepRingOnScreen(platform_.windows, mainWindow_, settings_);
      round_->PlaceAll();
      dock_->PlaceAll();
      break;
    case TimerClock:
      round_->OnClockTick();
      break;
    case TimerRotation:
    case TimerIconWobbleUp:
    case TimerIconWobbleDown:
      interaction_->OnTimer(id);
      break;
    case TimerDestroyIcon:
      removal_->TimerDestroyIconTimer();
      break;
    case TimerClearIcon:
      removal_->TimerClearIconTimer();
      break;
    default:
      break;
  }
}

void MainForm::OnClose() {
  if (building_) {
    closeDeferred_ = true;
    return;
  }
  FormClose();
  platform_.system.RequestQuit();
}

bool MainForm::OnQueryEndSession() {
  OnClose();
  return true;
}

void MainForm::OnPowerBroadcast(unsigned event) {
  if (event != kPowerResumeSuspend) return;
  resumeTicks_ = 1;
  timerPBT_.Enable();
}

void MainForm::OnDisplayChange() { timerRedraw_.Enable(); }

// Every surface is drawn again at the new scale; the geometry is logical and
// stays as it is. Windows not built yet are drawn at the right scale when they are.
void MainForm::OnDpiChanged(int) {
  if (closed_) return;
  const Rect main = platform_.windows.Bounds(mainWindow_);
  platform_.windows.PushLayered(mainWindow_, picture::PhysicalSurface(main.width, main.height, platform_.windows.Dpi()),
                                0);
  round_->DpiChanged();
  dock_->DpiChanged();
  if (round::HintWindow* hint = interaction_ ? interaction_->HoverState().Hint() : nullptr) hint->DpiChanged();
}

void MainForm::OnTrayCallback(std::uintptr_t, std::intptr_t lParam) {
  if (building_ || boxes_.BoxOpen()) return;
  // The tray menu opens on the release, as the shell's own menus do.
  if (lParam == kMouseRightUp) {
    if (!closed_) commands_->OpenMenu(MenuKind::TaskBar, platform_.windows.CursorPosition());
    return;
  }
  display_->OnTrayCallback(lParam);
}

void MainForm::OnMouseUp(const PointerEvent& e) {
  if (building_) return;
  // A right release while an item is carried belongs to the drag, not to a menu.
  const bool menu = e.button == MouseButton::Right && !router_->Carrying() && !closed_;
  router_->MouseUp(e);
  if (menu) commands_->OnRightRelease(e.window, e.screen);
}

void MainForm::OnTaskbarCreated() {
  // The shell lost its icons when it restarted; without ours the program
  // would be unreachable once hidden.
  if (!closed_) {
    trayAdded_ = false;
    trayAdded_ = platform_.tray.AddTrayIcon(Tr(TextKey::TrayTip));
  }
}

void MainForm::OnDropFiles(const std::vector<std::string>& paths, Point screenPos) {
  // Before the start-up step has loaded the lists, a new item would be loaded a second time.
  if (!iconsLoaded_ || closed_) return;
  // The row is rebuilt under the pointer; the magnification waits.
  dock_->SetTrackingEnabled(false);
  drop_->OnDropFiles(paths, screenPos);
  dock_->SetTrackingEnabled(true);
}

void MainForm::ToggleRound() { Check(settingsOwner_->ToggleRing(), "The presentation switch"); }

void MainForm::ToggleRect() { Check(settingsOwner_->ToggleDock(), "The presentation switch"); }

void MainForm::RestoreFromTray() { display_->RestoreFromTray(); }

void MainForm::TrimWorkingSet() {
  platform_.system.TrimWorkingSet();
  platform_.system.ProcessPendingMessages();
}

// ---- living with the ring: pointer, keys, tray, hot key ----

void MainForm::CreateRingHandlers() {
  display_ = std::make_unique<DisplayStates>(platform_.windows, mainWindow_, *round_, *dock_, slots_);
  ringHost_ = std::make_unique<RingHost>(*this);
  interaction_ = std::make_unique<round::Interaction>(
      round::InteractionContext{platform_, settings_, slots_, *round_, mainWindow_, timerClearMemory_},
      *ringHost_, *removal_, *operations_);
  interaction_->HoverState().SetBounceEnded([this](int slot) { display_->AfterBounce(slot); });
  dockPointer_ = std::make_unique<dock::DockPointer>(platform_, settings_, slots_, *dock_, mainWindow_,
                                                     timerClearMemory_, *interaction_, *removal_);
  router_ = std::make_unique<PointerRouter>(slots_.Windows(), *interaction_, *dockPointer_);
  keyHost_ = std::make_unique<KeyHost>(*this);
  focus_ = std::make_unique<KeyboardFocus>(settings_, slots_, *round_, *dock_, *keyHost_, platform_.windows);
  IWindowCommands& shown = *this;
  IItemCommands& items = *this;
  commands_ = std::make_unique<CommandDispatch>(platform_, slots_.Windows(), boxes_, shown, items);
}

// Replaces any earlier registration: the letter may have changed.
void MainForm::SetupHotKey() {
  hotKeys_.reset();
  hotKeys_ = std::make_unique<THotKeyRegistrar>(platform_.hotKeys);
  const unsigned key = HotKeyVirtualKey(hotKeyChar_);
  if (key != 0) hotKeys_->AddHotKey(kModAlt, key, [this](THotKeyRec&) {
    display_->ToggleShown();
    // Shown: the keys reach the ring (the dock when the ring is off).
    if (!display_->WindowsShown()) return;
    platform_.windows.SetFocus(settings_.IsShowRound ? round_->BackgroundWindow() : dock_->Bar());
    // The window that took the keyboard was raised: the items go back over the skin and the bar.
    dock_->RaiseRectWindows();
    round_->RaiseRoundWindows();
  });
}

void MainForm::SetHotKey(char letter) {
  hotKeyChar_ = letter;
  SetupHotKey();
}

void MainForm::RelayoutRing() {
  round_->ComputeOffsets(RotationAngle());
  round_->ApplyRingOffsets();
}

void MainForm::OnHotKey(int, unsigned modifiers, unsigned virtualKey) {
  if (building_ || boxes_.BoxOpen()) return;
  if (hotKeys_) hotKeys_->Dispatch(modifiers, virtualKey);
}

// The center is named after the program: what it runs is the user's choice.
std::optional<AccessibleItem> MainForm::OnAccessibleQuery(WindowId window) const {
  if (building_ || !focus_) return std::nullopt;
  if (window == round_->CenterWindow()) return AccessibleItem{"Quorvel", false};
  return focus_->Describe(window);
}

// Refused, as a click is, while a box holds the program.
void MainForm::OnAccessibleInvoke(WindowId window) {
  if (closed_ || boxes_.BoxOpen() || !OnAccessibleQuery(window)) return;
  keyHost_->Launch(window);
}

void MainForm::RaiseRoundWindows() { round_->RaiseRoundWindows(); }
void MainForm::CollapseRectBar() { display_->CollapseRectBar(); }
void MainForm::NextBackground() { round_->ChangeBackground(); }
void MainForm::NextCenter() { round_->ChangeCenter(); }
void MainForm::Exit() { OnClose(); }
void MainForm::ClearAll() { removal_->NClearClick(); }
// Ring and dock items alike: the window table says which slot the window shows.
void MainForm::Properties(WindowId window) {
  if (const int slot = slots_.Windows().ItemSlot(window)) properties_->OpenProperties(slot);
}
void MainForm::DeleteItem(WindowId window) { removal_->DeleteItem(window); }
// A new dialog opens on its first page, an open one keeps its page and edits.
void MainForm::OpenSettings() { setup_->OpenSettings(); }
// The dock's page, on a dock at rest.
void MainForm::OpenDockSettings() { setup_->OpenDockSettings(); }
void MainForm::OpenAbout() { about_->OpenAbout(); }

}  // namespace qv::app
