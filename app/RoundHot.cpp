#include "app/RoundHot.h"

#include <algorithm>

#include "catalogue/LoadEntry.h"
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
  round_ = std::make_unique<round::RoundPresentation>(platform_, settings_, slots_, mainWindow_, timerClearMemory_);
  site_.reset(new catalogue::CatalogueSite{platform_, slots_, *round_, rectItemCount_});
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

std::string RoundHot::ConfigPath() const { return platform_.files.ProgramDir() + "Config\\UserInfo.xml"; }

const FormTimer& RoundHot::Timer(TimerId id) const {
  switch (id) {
    case TimerGetIcon: return timerGetIcon_;
    case TimerClearMemory: return timerClearMemory_;
    case TimerPBT: return timerPBT_;
    default: return timerRedraw_;
  }
}

// ---- creation ----

void RoundHot::FormCreate() {
  trayAdded_ = platform_.tray.AddTrayIcon(kTrayTip);
  InitSettings();
  round_->LoadPlates();
  platform_.windows.AcceptDroppedFiles(mainWindow_, true);
  acceptsDrops_ = true;
  windowsShown_ = true;
  iconsLoaded_ = false;
  const std::string iconDir = platform_.files.ProgramDir() + "Icon";
  if (!platform_.files.DirectoryExists(iconDir)) platform_.files.CreateDirectory(iconDir);
}

void RoundHot::InitSettings() {
  rotationAngle_ = 0.0;
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) slots_[slot].File.clear();

  // The values before loading; the position is where the window stands now.
  const Rect bounds = platform_.windows.Bounds(mainWindow_);
  settings_ = config::Settings{};
  settings_.PositionLeft = bounds.left;
  settings_.PositionTop = bounds.top;

  config::ConfigDocument document(platform_.files, platform_.system, ConfigPath());
  const config::SettingsOutcome outcome = config::LoadSettings(document, settings_);
  switch (outcome.status) {
    case config::SettingsStatus::Missing:
      platform_.dialogs.MessageBox(kConfigMissingText, kMessageCaption, MessageBoxButtons::Ok,
                                   MessageBoxIcon::Warning);
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
  round_->ComputeOffsets(rotationAngle_);
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
  config::ConfigDocument document(platform_.files, platform_.system, ConfigPath());
  const bool loaded = document.Load().status == config::LoadStatus::Ok;
  rectMagnified_ = false;
  if (loaded) {
    const pugi::xml_node ring = config::FirstChild(document.Root(), "RoundBackground");
    for (int slot = 1; slot <= catalogue::kRingSlots; ++slot)
      catalogue::LoadEntry(slot, config::ChildAt(ring, slot), slots_, *round_, platform_);
    pugi::xml_node rect = config::FirstChild(document.Root(), "RectBackground");
    if (!settings_.RectListCreated) {
      // More dock elements than the dock has slots stay in the file untouched.
      rectItemCount_ = std::min(config::CountChildElements(rect), catalogue::kDockSlots);
    } else {
      CreateDefaultRectList(document);
    }
    document.Save();
    hotKeyText_ = config::HotKeyText(document.Root());
    hotKeyChar_ = hotKeyText_[0];
    SetupHotKey();
  }
  interaction_->CreateHintWindow(CompanionLayer(mainLayer_), settings_.HintFontDefine);
  TrimWorkingSet();
  iconsLoaded_ = true;
  platform_.system.SignalReady();
}

void RoundHot::CreateDefaultRectList(config::ConfigDocument& document) {
  pugi::xml_node rect = config::FirstChild(document.Root(), "RectBackground");
  if (!rect) rect = document.Root().append_child("RectBackground");
  const std::string toolDir = platform_.files.ProgramDir() + "Icon\\SysTool\\";
  rectItemCount_ = static_cast<int>(settings::kRectSystemTools.size());
  int j = 0;
  for (const settings::SystemTool& tool : settings::kRectSystemTools) {
    ++j;
    catalogue::TImageIconRec& rec = slots_[catalogue::kRingSlots + j];
    rec.File = tool.target;
    rec.IconPath = toolDir + (tool.componentName + 1) + ".png";
    rec.Hint = tool.caption;
    pugi::xml_node item = rect.append_child(("Rect" + std::to_string(j)).c_str());
    config::SetText(item.append_child("File"), rec.File);
    config::SetText(item.append_child("Name"), rec.Hint);
    pugi::xml_node icon = item.append_child("IconPath");
    icon.append_child("Default");
    config::SetText(icon.append_child("Define"), rec.IconPath);
    item.append_child("Argument");
    item.append_child("Http");
    item.append_child("InitialPosition");
  }
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
  const std::string path = ConfigPath();
  if (!platform_.files.FileExists(path)) return;
  config::ConfigDocument document(platform_.files, platform_.system, path);
  config::SaveSkinsAndPosition(document, settings_);
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

void RoundHot::OnTrayCallback(std::uintptr_t, std::intptr_t lParam) { display_->OnTrayCallback(lParam); }

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
  display_ = std::make_unique<DisplayStates>(platform_.windows, mainWindow_, *round_, slots_, windowsShown_,
                                             rectMagnified_);
  round::InteractionHooks hooks;
  hooks.RaiseRoundWindows = [this] { RaiseRoundWindows(); };
  hooks.RaiseRectWindows = [this] { display_->RaiseRectWindows(); };
  hooks.MinimizeToTray = [this] { display_->MinimizeToTray(); };
  hooks.CenterCommand = [this] { RunCenterCommand(); };
  hooks.RequestDestroy = [this](WindowId window) { return removal_->RequestDestroy(window); };
  hooks.Animates = [this](WindowId window) { return removal_->Animates(window); };
  interaction_ = std::make_unique<round::Interaction>(
      round::InteractionContext{platform_, settings_, slots_, *round_, mainWindow_, timerClearMemory_, rotationAngle_,
                                iconsLoaded_, ConfigPath()},
      std::move(hooks));
  interaction_->HoverState().SetBounceEnded([this](int slot) { display_->AfterBounce(slot); });
}

// Replaces any earlier registration: the letter may have changed.
void RoundHot::SetupHotKey() {
  hotKeys_.reset();
  hotKeys_ = std::make_unique<THotKeyRegistrar>(platform_.hotKeys);
  const unsigned key = HotKeyVirtualKey(hotKeyChar_);
  if (key != 0) hotKeys_->AddHotKey(kModAlt, key, [this](THotKeyRec&) { ToggleShown(); });
}

void RoundHot::SetHotKey(char letter) {
  hotKeyChar_ = letter;
  hotKeyText_ = std::string(1, letter);
  SetupHotKey();
}

void RoundHot::RelayoutRing() {
  round_->ComputeOffsets(rotationAngle_);
  round_->ApplyRingOffsets();
}

void RoundHot::OnHotKey(int, unsigned modifiers, unsigned virtualKey) {
  if (hotKeys_) hotKeys_->Dispatch(modifiers, virtualKey);
}

void RoundHot::RunCenterCommand() {
  // The center button's command (CenterAction) is run here once the menus
  // bring their commands; until then a click on the center only raises the ring.
}

}  // namespace qv::app
