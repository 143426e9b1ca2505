#pragma once

// The main form: an invisible anchor window that owns every other window, the
// settings, the catalogue and the timers, and receives the machine's events.

#include <memory>
#include <string>

#include "app/BoxTracker.h"
#include "app/Commands.h"
#include "app/DisplayStates.h"
#include "app/HotKeyRegistrar.h"
#include "app/ItemWindowsRouter.h"
#include "app/KeyboardFocus.h"
#include "app/PointerRouter.h"
#include "app/SettingsSite.h"
#include "catalogue/CatalogueSite.h"
#include "catalogue/Drop.h"
#include "catalogue/IconPropertyApply.h"
#include "catalogue/IconProperty.h"
#include "catalogue/ItemOperations.h"
#include "catalogue/ItemRemoval.h"
#include "catalogue/ItemSlots.h"
#include "config/ItemFile.h"
#include "config/SaveFailures.h"
#include "config/Settings.h"
#include "config/SettingsOwner.h"
#include "dock/DockPointer.h"
#include "dock/RectPresentation.h"
#include "picture/PictureCache.h"
#include "platform/FormTimer.h"
#include "platform/Platform.h"
#include "round/Interaction.h"
#include "round/RoundPresentation.h"
#include "settings/About.h"
#include "settings/Setup.h"
#include "settings/SystemTools.h"

namespace qv::app {

// The main window's design position and client size.
inline constexpr Rect kMainFormDesignBounds{600, 368, 194, 168};
inline constexpr int kResumeTicks = 20;

class MainForm final : public IPlatformEvents, private IWindowCommands, private IItemCommands {
 public:
  // Every part gets `platform` with the program's boxes counted.
  explicit MainForm(Platform& platform);
  ~MainForm() override;
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  void FormCreate();
  void FormShow();
  // The shutdown: runs once, from closing, logoff or the end of the loop.
  void FormClose();

  // IPlatformEvents
  void OnTimer(int id) override;
  void OnClose() override;
  bool OnQueryEndSession() override;
  void OnPowerBroadcast(unsigned event) override;
  void OnDisplayChange() override;
  void OnDpiChanged(int dpi) override;
  void OnTrayCallback(std::uintptr_t wParam, std::intptr_t lParam) override;
  void OnTaskbarCreated() override;
  void OnDropFiles(const std::vector<std::string>& paths, Point screenPos) override;
  // Pointer, wheel and keys on any window of the ring, told apart by name.
  // While the start-up step builds the windows it holds the file's items
  // read but not yet saved back: the pointer, keys and hot key wait for it
  // (dropped), so that nothing saves in between for its save to undo.
  void OnMouseDown(const PointerEvent& e) override {
    if (!building_) router_->MouseDown(e);
  }
  void OnMouseMove(const PointerEvent& e) override {
    if (!building_) router_->MouseMove(e);
  }
  // A right release also opens the menu of the window it happened on.
  void OnMouseUp(const PointerEvent& e) override;
  void OnMouseEnter(WindowId window) override { router_->MouseEnter(window); }
  void OnMouseLeave(WindowId window) override { router_->MouseLeave(window); }
  void OnMouseWheel(WindowId window, int notches) override {
    if (!building_) router_->MouseWheel(window, notches);
  }
  // The keyboard's focus takes its keys first; the ring the others.
  void OnKeyDown(WindowId window, unsigned virtualKey, bool shift = false) override {
    if (!building_ && !focus_->KeyDown({KeyOfVirtualKey(virtualKey), shift})) router_->KeyDown(window, virtualKey);
  }
  void OnHotKey(int, unsigned modifiers, unsigned virtualKey) override;
  void OnDeactivate() override { display_->CollapseRectBar(); }
  // The items and the ring's center, to assistive clients.
  std::optional<AccessibleItem> OnAccessibleQuery(WindowId window) const override;
  void OnAccessibleInvoke(WindowId window) override;

  // The two presentation switches of the menus: each shows or hides its
  // windows and writes its choice into the file.
  void ToggleRound() override;
  void ToggleRect() override;

  // State other parts of the program and tests look at.
  const config::Settings& Settings() const { return settings_; }
  config::Settings& MutableSettings() { return settings_; }
  WindowId MainWindow() const { return mainWindow_; }
  bool IconsLoaded() const { return iconsLoaded_; }
  bool WindowsShown() const { return display_->WindowsShown(); }
  bool Closed() const { return closed_; }
  int RectItemCount() const { return slots_.DockCount(); }
  int ResumeTicks() const { return resumeTicks_; }
  char HotKeyChar() const { return hotKeyChar_; }
  catalogue::ItemSlots& Slots() { return slots_; }
  std::string ConfigPath() const;
  // Every save's result is looked at here; the user hears of the first failure.
  config::SaveFailures& SaveFailures() { return saveFailures_; }

  round::RoundPresentation& Round() { return *round_; }
  dock::RectPresentation& Dock() { return *dock_; }
  // Clearing all ring items after asking; the menus and the center button run it.
  void NClearClick() { removal_->NClearClick(); }
  // The delete animation, the item menus' delete and the dock's compaction.
  catalogue::ItemRemoval& Removal() { return *removal_; }
  // The dock bar, once built, hears of items added and removed.
  void AttachDockBar(catalogue::IDockBar* bar) { site_->dockBar = bar; }
  double RotationAngle() const { return interaction_->RotationState().Angle(); }
  // Shown or hidden in the tray, the layers and the window routines.
  DisplayStates& Display() { return *display_; }
  void MinimizeToTray() override { display_->MinimizeToTray(); }
  round::Interaction& Interaction() { return *interaction_; }
  const THotKeyRegistrar* HotKeys() const { return hotKeys_.get(); }
  KeyboardFocus& Focus() { return *focus_; }
  // The menus and the commands they and the center button run.
  CommandDispatch& Commands() { return *commands_; }
  // The one about dialog and the one item property dialog.
  settings::AboutDialog& About() { return *about_; }
  catalogue::IconPropertyDialog& Properties() { return *properties_; }
  // The one settings dialog, and the one owner of the settings it changes.
  settings::SetupDialog& Setup() { return *setup_; }
  config::SettingsOwner& SettingsOwner() { return *settingsOwner_; }

  // What the settings dialog changes in the main form.
  void SetHotKey(char letter);
  void SetFrontIndex(int frontIndex) { ApplyFrontIndex(frontIndex); }
  // The tray tip in the language now in use.
  void LanguageChanged() {
    if (trayAdded_) platform_.tray.SetTrayTip(config::Tr(config::TextKey::TrayTip));
  }
  void RelayoutRing();
  void EnableClearMemory() { timerClearMemory_.Enable(); }
  catalogue::CatalogueSite& Site() { return *site_; }
  // Items added, removed and edited from the dialogs.
  catalogue::IItemOperations& Items() { return *operations_; }

 private:
  void InitSettings();
  void TrimWorkingSet();
  // Offers the writer's backup in place of a missing or unreadable file;
  // true when the user took it and it now stands in the file's place.
  bool RestoreFromBackup(const config::SettingsOutcome& failed);
  void ApplyFrontIndex(int frontIndex);
  void BuildPresentations();
  void PrepareStep();
  void BuildWindowsAndItems();
  void LoadItemLists(config::StartupItems& items);
  void CreateDefaultRectList(config::StartupItems& items);
  std::string SystemToolPicture(const settings::SystemTool& tool) const;
  // Item faces the wait drew and no draw of the step took.
  void DropPreparedItems();
  void Check(config::EditResult result, const std::string& what);
  void SaveSkinsAndPosition();
  void CreateRingHandlers();
  void SetupHotKey();
  // What the menus' commands reach.
  void RestoreFromTray() override;
  void RaiseRoundWindows() override;
  void CollapseRectBar() override;
  void NextBackground() override;
  void NextCenter() override;
  void Exit() override;
  void ClearAll() override;
  void Properties(WindowId window) override;
  void DeleteItem(WindowId window) override;
  void OpenSettings() override;
  void OpenDockSettings() override;
  void OpenAbout() override;
  class RingHost;
  class ItemsWatcher;
  class KeyHost;

  BoxTracker boxes_;
  Platform platform_;
  config::Settings settings_;
  catalogue::ItemSlots slots_;
  picture::PictureCache pictures_{platform_.files};
  WindowId mainWindow_ = kNoWindow;
  WindowLayer mainLayer_ = WindowLayer::Normal;

  FormTimer timerGetIcon_;
  FormTimer timerClearMemory_;
  FormTimer timerPBT_;
  FormTimer timerRedraw_;
  // Told once in a run: before every part that saves.
  config::SaveFailures saveFailures_;
  std::unique_ptr<round::RoundPresentation> round_;
  std::unique_ptr<dock::RectPresentation> dock_;
  std::unique_ptr<ItemWindowsRouter> itemWindows_;
  std::unique_ptr<catalogue::CatalogueSite> site_;
  std::unique_ptr<ItemsWatcher> watcher_;
  std::unique_ptr<catalogue::ItemRemoval> removal_;
  std::unique_ptr<catalogue::ItemOperations> operations_;
  std::unique_ptr<catalogue::ItemDrop> drop_;
  std::unique_ptr<DisplayStates> display_;
  std::unique_ptr<RingHost> ringHost_;
  std::unique_ptr<round::Interaction> interaction_;
  std::unique_ptr<dock::DockPointer> dockPointer_;
  std::unique_ptr<PointerRouter> router_;
  std::unique_ptr<KeyHost> keyHost_;
  std::unique_ptr<KeyboardFocus> focus_;
  std::unique_ptr<THotKeyRegistrar> hotKeys_;
  std::unique_ptr<CommandDispatch> commands_;
  std::unique_ptr<settings::AboutDialog> about_;
  std::unique_ptr<catalogue::CatalogueProperties> propertyItems_;
  std::unique_ptr<catalogue::IconPropertyDialog> properties_;
  std::unique_ptr<config::SettingsOwner> settingsOwner_;
  std::unique_ptr<SetupMachine> setupMachine_;
  std::unique_ptr<settings::SetupDialog> setup_;
  std::unique_ptr<RingListener> ringListener_;
  std::unique_ptr<DockListener> dockListener_;
  std::unique_ptr<DisplayListener> displayListener_;

  bool settingsLoaded_ = false;
  // The item lists as the wait before the start's step read them.
  std::unique_ptr<config::StartupItems> startupItems_;
  bool iconsLoaded_ = false;
  bool closed_ = false;
  bool acceptsDrops_ = false;
  bool trayAdded_ = false;
  bool building_ = false;       // inside the start-up step
  bool closeDeferred_ = false;  // a close or logoff came during it
  int resumeTicks_ = 0;
  char hotKeyChar_ = 0;
};

}  // namespace qv::app
