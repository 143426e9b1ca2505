#include "app/RoundHot.h"

#include <algorithm>

#include "app/PresentationSwitches.h"
#include "catalogue/LoadEntry.h"
#include "config/SettingsFile.h"
#include "settings/SystemTools.h"

namespace qv::app {

namespace {

constexpr unsigned kIntervalGetIcon = 50;
constexpr unsigned kIntervalClearMemory = 10000;
constexpr unsigned kIntervalPBT = 1000;
constexpr unsigned kIntervalRedraw = 500;

std::string UnreadableMessage(const config::LoadResult& load) {
  std::string text = kConfigUnreadableText;
  text += "\n";
  text += load.description.empty() ? std::string("unknown error") : load.description;
  if (load.offset >= 0) text += ", offset " + std::to_string(load.offset);
  return text;
}

}  // namespace

RoundHot::RoundHot(Platform& platform)
    : platform_(platform),
      timerGetIcon_(platform.timers, TimerGetIcon, kIntervalGetIcon),
      timerClearMemory_(platform.timers, TimerClearMemory, kIntervalClearMemory),
      timerPBT_(platform.timers, TimerPBT, kIntervalPBT),
      timerRedraw_(platform.timers, TimerRedraw, kIntervalRedraw) {
  WindowSpec params;
  params.name = "FormRoundHot";
  params.className = "TFormRoundHot";
  params.title = "Quorvel";
  params.bounds = kMainFormDesignBounds;
  params.layered = true;
  params.mainForm = true;
  mainWindow_ = platform_.windows.CreateWindow(params);
  slots_.Windows().Add(mainWindow_, {catalogue::Presentation::Round, catalogue::WindowRole::Main, 0});
  round_ = std::make_unique<round::RoundPresentation>(platform_, settings_, slots_, mainWindow_, timerClearMemory_);
  site_.reset(new catalogue::CatalogueSite{platform_, slots_, *round_});
  drop_ = std::make_unique<catalogue::ItemDrop>(*site_, timerClearMemory_);
  removal_ = std::make_unique<catalogue::ItemRemoval>(*site_, timerClearMemory_);
  CreateRingHandlers();
}

RoundHot::~RoundHot() {
  timerGetIcon_.Disable();
  timerClearMemory_.Disable();
  timerPBT_.Disable();
  timerRedraw_.Disable();
  hotKeys_.reset();
  interaction_.reset();
  round_.reset();
  if (mainWindow_ != kNoWindow) platform_.windows.DestroyWindow(mainWindow_);
}

std::string RoundHot::ConfigPath() const { return config::UserInfoPath(platform_.files); }

const FormTimer& RoundHot::Timer(TimerId id) const {
  switch (id) {
    case TimerGetIcon:
      return timerGetIcon_;
    case TimerClearMemory:
      return timerClearMemory_;
    case TimerPBT:
      return timerPBT_;
    default:
      return timerRedraw_;
  }
}

// ---- creation ----

void RoundHot::FormCreate() {
  trayAdded_ = platform_.tray.AddTrayIcon(kTrayTip);
  InitSettings();
  round_->LoadPlates();
  platform_.windows.AcceptDroppedFiles(mainWindow_, true);
  acceptsDrops_ = true;
  display_->MarkShown();
  iconsLoaded_ = false;
  const std::string iconDir = platform_.files.ProgramDir() + "Icon";
  if (!platform_.files.DirectoryExists(iconDir)) platform_.files.CreateDirectory(iconDir);
}

void RoundHot::InitSettings() {
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) slots_[slot].File.clear();

  // The values before loading; the position is where the window stands now.
  const Rect bounds = platform_.windows.Bounds(mainWindow_);
  settings_ = config::Settings{};
  settings_.PositionLeft = bounds.left;
  settings_.PositionTop = bounds.top;

  const config::SettingsOutcome outcome =
      config::SettingsFile(platform_.files, platform_.system, ConfigPath()).Load(settings_);
  switch (outcome.status) {
    case config::SettingsStatus::Missing:
      platform_.dialogs.MessageBox(kConfigMissingText, kMessageCaption, MessageBoxButtons::Ok, MessageBoxIcon::Warning);
      platform_.system.RequestQuit();
      return;
    case config::SettingsStatus::Unreadable:
      // Never overwritten: the user may still recover what the file holds.
      platform_.dialogs.MessageBox(UnreadableMessage(outcome.load), kMessageCaption, MessageBoxButtons::Ok,
                                   MessageBoxIcon::Warning);
      platform_.system.RequestQuit();
      return;
    case config::SettingsStatus::Loaded:
      break;
  }
  settingsLoaded_ = true;
  ApplyFrontIndex(outcome.frontIndex);
  platform_.windows.SetBounds(mainWindow_, {settings_.PositionLeft, settings_.PositionTop, kMainFormDesignBounds.width,
                                            kMainFormDesignBounds.height});
  round_->ComputeOffsets(RotationAngle());
  round_->LoadClockPictures();
}

void RoundHot::ApplyFrontIndex(int frontIndex) {
  mainLayer_ = display_->ApplyLayer(config::FrontLayer(frontIndex), {interaction_->HintWindowId()});
}

void RoundHot::FormShow() {
  platform_.windows.PushLayered(mainWindow_, LayeredSurface(kMainFormDesignBounds.width, kMainFormDesignBounds.height),
                                0);
  platform_.windows.Show(mainWindow_, true);
  // A start that could not read its settings ends at the next turn of the loop.
  if (settingsLoaded_) timerGetIcon_.Enable();
}

// ---- the one-shot start-up step ----

void RoundHot::BuildPresentations() {
  timerGetIcon_.Disable();
  if (!settingsLoaded_ || closed_) return;

  round_->BuildBackgroundWindow();
  round_->BuildCenterWindow();
  config::StartupItems items(platform_.files, platform_.system, ConfigPath());
  display_->MarkRectAtRest();
  if (items.Load()) {
    LoadItemLists(items);
    Check(items.Save(), "Completing the item lists at start");
    hotKeyText_ = items.HotKeyText();
    hotKeyChar_ = hotKeyText_[0];
    SetupHotKey();
  }
  interaction_->CreateHintWindow(CompanionLayer(mainLayer_), settings_.HintFontDefine);
  TrimWorkingSet();
  iconsLoaded_ = true;
  platform_.system.SignalReady();
}

void RoundHot::LoadItemLists(config::StartupItems& items) {
  using config::ItemList;
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    const std::optional<config::ItemTexts> texts = items.Read(ItemList::Ring, slot);
    if (!texts) continue;
    const catalogue::EntryWriteBack writeBack = catalogue::LoadEntry(slot, *texts, slots_, *round_, platform_);
    if (writeBack.File) items.SetFile(ItemList::Ring, slot, *writeBack.File);
    if (writeBack.IconDefine) items.SetIconDefine(ItemList::Ring, slot, *writeBack.IconDefine);
  }
  if (!settings_.RectListCreated) {
    // More dock elements than the dock has slots stay in the file untouched.
    slots_.SetDockCount(std::min(items.Count(ItemList::Dock), catalogue::kDockSlots));
  } else {
    CreateDefaultRectList(items);
  }
}

void RoundHot::CreateDefaultRectList(config::StartupItems& items) {
  const std::string toolDir = platform_.files.ProgramDir() + "Icon\\SysTool\\";
  std::vector<config::ItemTexts> tools;
  int j = 0;
  for (const settings::SystemTool& tool : settings::kRectSystemTools) {
    catalogue::TImageIconRec& rec = slots_[catalogue::kRingSlots + ++j];
    rec.File = tool.target;
    rec.IconPath = toolDir + (tool.componentName + 1) + ".png";
    rec.Hint = tool.caption;
    config::ItemTexts texts;
    texts.File = rec.File;
    texts.Name = rec.Hint;
    texts.IconDefine = rec.IconPath;
    tools.push_back(std::move(texts));
  }
  slots_.SetDockCount(j);
  items.AppendDockItems(tools);
}

void RoundHot::Check(config::EditResult result, const std::string& what) {
  if (config::Failed(result))
    platform_.diagnostics.Report(Severity::Error,
                                 what + " was not saved: " + config::Describe(result) + " (" + ConfigPath() + ")");
}

// ---- shutdown ----

void RoundHot::FormClose() {
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

void RoundHot::SaveSkinsAndPosition() {
  // A start that could not read the file never writes it.
  if (!settingsLoaded_) return;
  Check(config::SettingsFile(platform_.files, platform_.system, ConfigPath()).SaveSkinsAndPosition(settings_),
        "The skins and the window position");
}

// ---- events ----

void RoundHot::OnTimer(int id) {
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
        // The dock bar is put back here once it exists.
        ++resumeTicks_;
      }
      break;
    case TimerRedraw:
      timerRedraw_.Disable();
      round_->PlaceAll();
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

void RoundHot::OnClose() {
  FormClose();
  platform_.system.RequestQuit();
}

bool RoundHot::OnQueryEndSession() {
  OnClose();
  return true;
}

void RoundHot::OnPowerBroadcast(unsigned event) {
  if (event != kPowerResumeSuspend) return;
  resumeTicks_ = 1;
  timerPBT_.Enable();
}

void RoundHot::OnDisplayChange() { timerRedraw_.Enable(); }

void RoundHot::OnTrayCallback(std::uintptr_t, std::intptr_t lParam) {
  // The tray menu opens on the release, as the shell's own menus do.
  if (lParam == kMouseRightUp) {
    if (!closed_) commands_->OpenMenu(MenuKind::TaskBar, platform_.windows.CursorPosition());
    return;
  }
  display_->OnTrayCallback(lParam);
}

void RoundHot::OnMouseUp(const PointerEvent& e) {
  // A right release while an item is carried belongs to the drag, not to a menu.
  const bool menu = e.button == MouseButton::Right && interaction_->CarriedWindow() == kNoWindow && !closed_;
  interaction_->MouseUp(e);
  if (menu) commands_->OnRightRelease(e.window, e.screen);
}

void RoundHot::OnTaskbarCreated() {
  // The shell lost its icons when it restarted; without ours the program
  // would be unreachable once hidden.
  if (!closed_) {
    trayAdded_ = false;
    trayAdded_ = platform_.tray.AddTrayIcon(kTrayTip);
  }
}

void RoundHot::OnDropFiles(const std::vector<std::string>& paths, Point screenPos) {
  // Before the start-up step has loaded the lists, a new item would be loaded a second time.
  if (iconsLoaded_ && !closed_) drop_->OnDropFiles(paths, screenPos);
}

void RoundHot::RestoreFromTray() { display_->RestoreFromTray(); }

void RoundHot::RaiseRoundWindows() { round_->RaiseRoundWindows(); }

void RoundHot::TrimWorkingSet() {
  platform_.system.TrimWorkingSet();
  platform_.system.ProcessPendingMessages();
}

// ---- living with the ring: pointer, keys, tray, hot key ----

void RoundHot::CreateRingHandlers() {
  display_ = std::make_unique<DisplayStates>(platform_.windows, mainWindow_, *round_, slots_);
  round::InteractionHooks hooks;
  hooks.RaiseRoundWindows = [this] { RaiseRoundWindows(); };
  hooks.RaiseRectWindows = [this] { display_->RaiseRectWindows(); };
  hooks.MinimizeToTray = [this] { display_->MinimizeToTray(); };
  hooks.CenterCommand = [this] { RunCenterCommand(); };
  hooks.RequestDestroy = [this](WindowId window) { return removal_->RequestDestroy(window); };
  hooks.Animates = [this](WindowId window) { return removal_->Animates(window); };
  hooks.IconsLoaded = [this] { return iconsLoaded_; };
  hooks.Report = [this](const std::string& text) { platform_.diagnostics.Report(Severity::Error, text); };
  interaction_ = std::make_unique<round::Interaction>(
      round::InteractionContext{platform_, settings_, slots_, *round_, mainWindow_, timerClearMemory_, ConfigPath()},
      std::move(hooks));
  interaction_->HoverState().SetBounceEnded([this](int slot) { display_->AfterBounce(slot); });
  CreateCommands();
}

// Replaces any earlier registration: the letter may have changed.
void RoundHot::SetupHotKey() {
  hotKeys_.reset();
  hotKeys_ = std::make_unique<THotKeyRegistrar>(platform_.hotKeys);
  const unsigned key = HotKeyVirtualKey(hotKeyChar_);
  if (key != 0) hotKeys_->AddHotKey(kModAlt, key, [this](THotKeyRec&) { ToggleShown(); });
}

void RoundHot::OnHotKey(int, unsigned modifiers, unsigned virtualKey) {
  if (hotKeys_) hotKeys_->Dispatch(modifiers, virtualKey);
}

void RoundHot::RunCenterCommand() { commands_->CenterClick(settings_.CenterAction); }

void RoundHot::CreateCommands() {
  auto presentation = [this] {
    return PresentationSite{platform_,
                            settings_,
                            slots_,
                            ConfigPath(),
                            [this] { return round_->BackgroundWindow(); },
                            [this] { return round_->CenterWindow(); },
                            [this](bool shown) {
                              if (display_->RectBar() != kNoWindow) platform_.windows.Show(display_->RectBar(), shown);
                              for (int j = 1; j <= slots_.DockCount(); ++j)
                                if (const WindowId w = slots_[catalogue::kRingSlots + j].Window; w != kNoWindow)
                                  platform_.windows.Show(w, shown);
                            }};
  };
  CommandHooks hooks;
  hooks.MinimizeToTray = [this] { display_->MinimizeToTray(); };
  hooks.RestoreFromTray = [this] { display_->RestoreFromTray(); };
  hooks.ClearAll = [this] { removal_->NClearClick(); };
  hooks.NextBackground = [this] { round_->ChangeBackground(); };
  hooks.NextCenter = [this] { round_->ChangeCenter(); };
  hooks.ToggleRound = [presentation] {
    PresentationSite site = presentation();
    ToggleRound(site);
  };
  hooks.ToggleRect = [presentation] {
    PresentationSite site = presentation();
    ToggleRect(site);
  };
  hooks.RaiseRoundWindows = [this] { RaiseRoundWindows(); };
  hooks.CollapseRectBar = [this] { display_->CollapseRectBar(); };
  // The settings, about and property dialogs fill OpenSettings,
  // OpenDockSettings, OpenAbout and Properties when they exist.
  hooks.DeleteItem = [this](WindowId window) { removal_->DeleteItem(window); };
  hooks.Exit = [this] { OnClose(); };
  commands_ = std::make_unique<CommandDispatch>(platform_, slots_.Windows(), std::move(hooks));
}

}  // namespace qv::app
