#pragma once

// The dock on screen: the bar window "RectForm" drawn from the theme picture,
// and one item window "Rect" + j per dock item j (slot 20 + j). The layout
// comes from the functions of RectLayout.h; this class owns the windows, the
// pictures and the dock's state, and applies each new layout with one batch
// of window moves and a push for every window whose picture changed.

#include <functional>
#include <map>
#include <string>

#include "catalogue/CatalogueSite.h"
#include "catalogue/ItemFocus.h"
#include "catalogue/ItemSlots.h"
#include "catalogue/LoadEntry.h"
#include "config/Settings.h"
#include "dock/RectLayout.h"
#include "picture/PreparedFaces.h"
#include "platform/Platform.h"

namespace qv::dock {

// A theme name names a file inside the theme folder and nothing else: no
// separators, no drive, no "." or "..", nothing empty.
bool IsSafeThemeName(const std::string& name);
// ProgramDir + "Icon\RectangleBackground\" + name + ".png"; empty for an unsafe name.
std::string ThemePath(const std::string& programDir, const std::string& name);

// The bar's alpha for a RectTransparence in percent, brought into 0..100.
std::uint8_t BarAlpha(int rectTransparence);

// Picture loaders the dock shares with the ring; they live below both.
struct DockPictures {
  // A window picture (premultiplied) from a resource or a file: the item
  // plate, the themes; each drawn for that DPI where the art has a variant.
  std::function<LayeredSurface(const std::string& resource, int dpi)> LoadResource;
  std::function<LayeredSurface(const std::string& path, int dpi)> LoadWindowPicture;
  // An item's picture (.png or .ico) as it is drawn into its plate at that DPI.
  std::function<LayeredSurface(const std::string& path, int dpi)> LoadItemPicture;
};

class RectPresentation final : public catalogue::IItemWindows,
                               public catalogue::IDockBar,
                               public catalogue::IItemFocus {
 public:
  // clearMemory starts the working-set trim after the bar returned to rest.
  RectPresentation(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots,
                   DockPictures pictures, std::function<void()> clearMemory);
  ~RectPresentation() override;
  RectPresentation(const RectPresentation&) = delete;
  RectPresentation& operator=(const RectPresentation&) = delete;

  // Start-up: the plate and the theme of RectTopic, before the bar is made.
  void LoadPictures();
  // The bar's picture at rest for that many items, drawn before the bar is
  // made (the start draws it while it waits); the bar takes it when it has
  // that size then.
  void PrepareBar(int itemCount);
  // Dock items' faces at rest (plate and picture) drawn before their windows
  // are made, after PrepareItems(count); each item's first draw then only
  // copies its own. DropPreparedItems forgets those no draw took.
  void PrepareItems(int count);
  void PrepareItem(int slot, const std::string& iconPath);
  void DropPreparedItems() { prepared_.Clear(); }
  // The bar at rest for the current item count; the items come after it.
  void CreateRectBar();

  // The magnification handler: the pointer moved over the bar or an item.
  void TrackPointer(Point screen);
  void CollapseRectBar();
  // The pointer left one of the dock's windows and is now at cursor. A fast
  // pointer can leave the bar straight for another window without a move in
  // the margin: outside the inner zone, the row goes to rest.
  void PointerLeft(Point cursor);
  bool Magnified() const { return tracking_.Layout.Magnified; }
  void SetTrackingEnabled(bool enabled) { trackingEnabled_ = enabled; }
  bool TrackingEnabled() const { return trackingEnabled_; }

  // Settings applied to the running bar.
  void ApplyRectTheme(const std::string& name);
  void ApplyRectTransparency();
  void ApplyRectPosition();
  // After a display change and while the system settles after a resume:
  // at rest, centred on the screen as it is now, at RectTop.
  void PlaceAll();

  void SetVisible(bool visible);
  void SetLayer(WindowLayer layer);
  void RaiseRectWindows();
  // The bar shrunk by 25 pixels left and right and 12 at the top and bottom,
  // edges included: a dock item dropped there goes back to its place.
  bool InsideShrunkBar(Point screen) const;
  // An item given back after a drag: to its place in the row as it is now,
  // at the size of that place.
  void PlaceItem(int slot);
  // The end of a click bounce: a bar the pointer has left goes to rest, and
  // the bounced item to its resting place.
  void AfterBounce(int slot, Point pointer);
  // The display's scale changed: pictures loaded and every window drawn again.
  void DpiChanged();

  WindowId Bar() const { return bar_; }
  int RectTop() const { return tracking_.Layout.Bar.top; }
  int RectItemOffsetY() const { return dock::RectItemOffsetY(settings_.RectPosition); }
  const RectLayout& Layout() const { return tracking_.Layout; }
  bool HasTheme() const { return !theme_.Empty(); }

  // IItemWindows: the dock's slots only.
  void CreateRoundIconWindow(int) override {}
  void CreateRectIconWindow(int slot) override;
  void DrawIconIntoSlot(int slot, const std::string& iconPath) override;
  void RequestIcoPaint(int slot) override;
  // IItemFocus: the focus ring on a dock item, kept on it at every size.
  void ShowFocus(int slot, bool focused) override;

  // IDockBar
  Rect BarBounds() const override;
  void ItemAppended(int slot, Point pointer) override;
  void ItemRemoved(catalogue::RemovalVariant variant) override;

 private:
  RectDockParams Params() const { return Params(slots_.DockCount()); }
  RectDockParams Params(int itemCount) const;
  void LoadTheme(const std::string& name);
  void DrawBar(int width, int height);
  void PushBar();
  // Draws the item at that logical side and pushes it; focused: with the focus ring.
  void DrawRectItem(int slot, int side, bool focused = false);
  int DrawnSide(WindowId window) const;
  // The decoded pictures are kept only while the row is magnified; at rest
  // each item's window holds all that is seen of it.
  void ReleaseItemPictures();
  // Applies a layout computed from the one on screen, item for item.
  void Apply(const RectLayout& next);
  // Applies a layout after the row itself changed (items came or went):
  // every window is placed, and redrawn where its size differs.
  void ApplyAll(const RectLayout& next, bool redrawAll = false);
  void PushNew(WindowId window, const LayeredSurface& surface);

  Platform& platform_;
  const config::Settings& settings_;
  catalogue::ItemSlots& slots_;
  DockPictures pictures_;
  std::function<void()> clearMemory_;
  WindowLayer layer_ = WindowLayer::Normal;

  LayeredSurface plate_;
  catalogue::FocusMark focus_;
  LayeredSurface theme_;       // at 1x: its size is the bar's layout
  LayeredSurface themeDrawn_;  // the same at the display's scale, what the bar is drawn from; empty at 1x
  int dpi_ = kBaseDpi;         // the scale the surfaces are drawn at
  LayeredSurface barSurface_;
  Size barPrepared_{};  // the bar's logical size barSurface_ was drawn at before the bar was made
  // An item's picture file, the picture decoded at the display's scale
  // while the row is magnified (empty otherwise), and the logical side its
  // window shows it at (0 before the first draw). The window keeps what it
  // shows: the dock keeps no copy of the items' pictures.
  struct ItemPicture {
    std::string path;
    LayeredSurface decoded;
    int side = 0;
  };
  // The plate and, when there is one, the picture at side, into surface.
  void DrawFace(LayeredSurface& surface, const LayeredSurface& decoded, int side) const;
  std::map<WindowId, ItemPicture> itemPictures_;  // by window: records move between slots, windows with them
  WindowId bar_ = kNoWindow;
  picture::PreparedFaces prepared_;
  bool trackingEnabled_ = true;
  RectTracking tracking_;
};

}  // namespace qv::dock
