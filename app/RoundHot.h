#pragma once

// The main form: an invisible anchor window that owns every other window, the
// settings, the catalogue and the timers, and receives the machine's events.

#include <memory>
#include <string>

#include "app/FormTimer.h"
#include "catalogue/ItemSlots.h"
#include "config/ConfigDocument.h"
#include "config/Settings.h"
#include "platform/Platform.h"
#include "round/RoundPresentation.h"

namespace qv::app {

// The main window's design position and client size.
inline constexpr Rect kMainFormDesignBounds{600, 368, 194, 168};
inline constexpr const char* kTrayTip = "Quorvel(Quorvel)";
inline constexpr const char* kConfigMissingText = "配置文件丢失，请重新下载。";
inline constexpr const char* kConfigUnreadableText = "配置文件无法读取，请检查或重新下载。";
inline constexpr const char* kMessageCaption = "提示";
inline constexpr int kResumeTicks = 20;

class RoundHot final : public IPlatformEvents {
 public:
  explicit RoundHot(Platform& platform);
  ~RoundHot() override;
  RoundHot(const RoundHot&) = delete;
  RoundHot& operator=(const RoundHot&) = delete;

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
  void OnTrayCallback(std::uintptr_t wParam, std::intptr_t lParam) override;
  void OnTaskbarCreated() override;
  void OnDropFiles(const std::vector<std::string>& paths, Point screenPos) override;

  // State other parts of the program and tests look at.
  const config::Settings& Settings() const { return settings_; }
  config::Settings& MutableSettings() { return settings_; }
  WindowId MainWindow() const { return mainWindow_; }
  bool IconsLoaded() const { return iconsLoaded_; }
  bool WindowsShown() const { return windowsShown_; }
  bool Closed() const { return closed_; }
  bool SettingsLoaded() const { return settingsLoaded_; }
  int RectItemCount() const { return rectItemCount_; }
  int ResumeTicks() const { return resumeTicks_; }
  const std::string& HotKeyText() const { return hotKeyText_; }
  char HotKeyChar() const { return hotKeyChar_; }
  catalogue::ItemSlots& Slots() { return slots_; }
  std::string ConfigPath() const;
  WindowLayer MainLayer() const { return mainLayer_; }
  const FormTimer& Timer(TimerId id) const;

  void TrimWorkingSet();
  void RaiseRoundWindows();
  round::RoundPresentation& Round() { return *round_; }
  double RotationAngle() const { return rotationAngle_; }

 private:
  void InitSettings();
  void ApplyFrontIndex(int frontIndex);
  void BuildPresentations();
  void CreateDefaultRectList(config::ConfigDocument& document);
  void SaveSkinsAndPosition();
  void RestoreFromTray();

  Platform& platform_;
  config::Settings settings_;
  catalogue::ItemSlots slots_;
  WindowId mainWindow_ = kNoWindow;
  WindowLayer mainLayer_ = WindowLayer::Normal;

  FormTimer timerGetIcon_;
  FormTimer timerClearMemory_;
  FormTimer timerPBT_;
  FormTimer timerRedraw_;
  std::unique_ptr<round::RoundPresentation> round_;

  bool settingsLoaded_ = false;
  bool iconsLoaded_ = false;
  bool windowsShown_ = false;
  bool closed_ = false;
  bool acceptsDrops_ = false;
  bool trayAdded_ = false;
  int rectItemCount_ = 0;
  bool rectMagnified_ = false;
  int resumeTicks_ = 0;
  std::string hotKeyText_;
  char hotKeyChar_ = 0;
  double rotationAngle_ = 0.0;
};

}  // namespace qv::app
