#pragma once

// The round window on screen: the ring skin ("BackGroundForm"), the center
// button or clock ("CenterForm") and one 50 x 50 item window per filled ring
// slot, all layered windows placed around the invisible main form.

#include <array>
#include <optional>
#include <string>

#include "catalogue/ItemFocus.h"
#include "catalogue/ItemSlots.h"
#include "catalogue/LoadEntry.h"
#include "config/Settings.h"
#include "config/SettingsFile.h"
#include "picture/PictureCache.h"
#include "picture/PreparedFaces.h"
#include "platform/FormTimer.h"
#include "platform/Platform.h"
#include "round/RingGeometry.h"

namespace qv::round {

inline constexpr int kItemWindowSize = 50;
// The picture of an item lies inside its plate with a one-pixel margin.
inline constexpr RectF kIconRect{1, 1, 48, 48};
// Where the item's picture goes on its plate's surface at that DPI.
RectF ItemIconRect(int dpi);

class RoundPresentation final : public catalogue::IItemWindows, public catalogue::IItemFocus {
 public:
  RoundPresentation(Platform& platform, config::Settings& settings, catalogue::ItemSlots& slots, WindowId mainWindow,
                    FormTimer& clearMemory, picture::PictureCache& pictures);
  ~RoundPresentation() override;
  RoundPresentation(const RoundPresentation&) = delete;
  RoundPresentation& operator=(const RoundPresentation&) = delete;

  // Start-up: the plates, then the clock pictures (all six or none).
  void LoadPlates();
  void LoadClockPictures();
  bool ClockAvailable() const { return clockAvailable_; }

  void ComputeOffsets(double rotationAngle);
  // Every ring item window to the main form's corner plus its slot's offset;
  // skip is a window the pointer is carrying, which stays under the pointer.
  void ApplyRingOffsets(WindowId skip = kNoWindow);
  // The background's picture drawn before its window is made (the start
  // draws it while it waits); the window then takes it as it is.
  void PrepareBackground() { LoadBackgroundSkin(); }
  // Ring items' faces (plate and picture) drawn before their windows are
  // made, after PrepareItems; each item's first draw then only copies its
  // own. DropPreparedItems forgets those no draw took.
  void PrepareItems();
  void PrepareItem(int slot, const std::string& iconPath);
  void DropPreparedItems() { prepared_.Clear(); }
  void BuildBackgroundWindow();
  void BuildCenterWindow();
  void ChangeBackground();
  void ChangeCenter();
  // The skin drawn again at its size and picture settings, moved by shift
  // left and up (the picture of index 0 is the file's path).
  void RebuildBackground(int shift);
  void RebuildCenter(int shift);
  void DrawClock();
  void OnClockTick();
  // The clock ticks only while it can be seen: the center shows it, the ring
  // is shown and the program is not in the tray. Either change calls these;
  // a clock seen again is drawn at once, at the time it is now.
  void SetOnScreen(bool onScreen);
  // The skins and every ring item shown or hidden as IsShowRound says.
  void ShowRing(bool shown);
  // After a display change: skins re-centred, items back at their offsets, raised.
  void PlaceAll();
  void RaiseRoundWindows();
  // The display's scale changed: every picture loaded and drawn again for
  // it, every window pushed and re-placed.
  void DpiChanged();
  void SetLayer(WindowLayer layer) { layer_ = layer; }
  void DestroyWindows();

  // IItemWindows
  void CreateRoundIconWindow(int slot) override;
  void CreateRectIconWindow(int slot) override;
  void DrawIconIntoSlot(int slot, const std::string& iconPath) override;
  void RequestIcoPaint(int slot) override;
  // The main form's paint: the deferred .ico draw, when one is pending.
  void PaintPendingIco();
  // IItemFocus: the focus ring on a ring item.
  void ShowFocus(int slot, bool focused) override;

  WindowId BackgroundWindow() const { return background_; }
  WindowId CenterWindow() const { return center_; }
  const LayeredSurface& CenterSurface() const { return centerSurface_; }
  bool ClockRunning() const { return timerClock_.Enabled(); }

 private:
  void PushNew(WindowId window, const LayeredSurface& surface);
  void DrawItemPicture(LayeredSurface& surface, const std::string& iconPath);
  void ReleaseBackground();
  WindowId CreateSkinWindow(const char* name, int size, const LayeredSurface& surface);
  void LoadBackgroundSkin();
  void LoadCenterSkin();
  std::string SkinPath(config::SkinPart part) const;
  Rect CentredOnMain(int size) const;
  LayeredSurface Stretch(const LayeredSurface& picture, int size) const;
  void RunClock();
  bool ClockSeen() const { return clockShown_ && onScreen_ && settings_.IsShowRound; }

  Platform& platform_;
  config::Settings& settings_;
  catalogue::ItemSlots& slots_;
  WindowId main_;
  FormTimer& clearMemory_;
  picture::PictureCache& pictures_;
  FormTimer timerClock_;
  WindowLayer layer_ = WindowLayer::Normal;
  int dpi_ = kBaseDpi;  // the scale the plates and skins were drawn at

  LayeredSurface noCenter_;
  LayeredSurface iconPlate_;
  std::array<LayeredSurface, 6> clock_;  // face, hour, minute, second, cap, highlights
  bool clockAvailable_ = false;
  bool clockShown_ = false;  // the center's picture is the clock
  bool onScreen_ = true;
  bool clockLoaded_ = false;  // decoded at the first draw: a center that never shows the clock keeps no pictures

  WindowId background_ = kNoWindow;
  WindowId center_ = kNoWindow;
  LayeredSurface backgroundSurface_;
  int backgroundDpi_ = 0;  // the scale backgroundSurface_ was drawn at; 0 when it holds none
  LayeredSurface centerSurface_;
  int paintSlot_ = 0;
  bool icoPaintPending_ = false;
  catalogue::FocusMark focus_;
  picture::PreparedFaces prepared_;
};

}  // namespace qv::round
