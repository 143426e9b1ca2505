#include "dock/RectPresentation.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "dock/BarSlices.h"
#include "picture/DpiPictures.h"

namespace qv::dock {

namespace {

RectF ToRectF(const Rect& r) {
  return {static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.width),
          static_cast<double>(r.height)};
}

Size SizeOf(const LayeredSurface& s) { return {s.width, s.height}; }

int RestingSlot(int index) { return catalogue::kRingSlots + 1 + index; }

// "COM1", "nul.txt", "Aux .png": names the system opens as a device, whatever
// folder and extension come with them.
bool IsDeviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
    return true;
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsSafeThemeName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || IsDeviceName(name)) return false;
  // Control characters and the characters no file name may hold, besides
  // the separators, the drive colon and the "." and ".." names.
  return std::none_of(name.begin(), name.end(), [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
           c == '|';
  });
}

std::string ThemePath(const std::string& programDir, const std::string& name) {
  if (!IsSafeThemeName(name)) return {};
  return programDir + "Icon\\RectangleBackground\\" + name + ".png";
}

std::uint8_t BarAlpha(int rectTransparence) {
  return static_cast<std::uint8_t>(std::clamp(rectTransparence, 0, 100) * 255 / 100);
}

RectPresentation::RectPresentation(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots,
                                   DockPictures pictures, std::function<void()> clearMemory)
    : platform_(platform),
      settings_(settings),
      slots_(slots),
      pictures_(std::move(pictures)),
      clearMemory_(std::move(clearMemory)) {}

RectPresentation::~RectPresentation() {
  for (int slot = catalogue::kRingSlots + 1; slot <= catalogue::kSlotCount; ++slot) {
    WindowId& w = slots_[slot].Window;
    if (w != kNoWindow) {
      slots_.Windows().Remove(w);
      platform_.windows.DestroyWindow(w);
    }
    w = kNoWindow;
  }
  if (bar_ != kNoWindow) {
    slots_.Windows().Remove(bar_);
    platform_.windows.DestroyWindow(bar_);
  }
}

void RectPresentation::LoadPictures() {
  dpi_ = platform_.windows.Dpi();
  const int side = ScaleForDpi(kRectIconSize, dpi_);
  plate_ = picture::StretchTo(
      platform_.canvas, pictures_.LoadResource ? pictures_.LoadResource("IconBackGround", dpi_) : LayeredSurface{},
      side, side);
  LoadTheme(settings_.RectTopic);
}

// A theme that is missing, damaged, too narrow for its caps or a name that
// would reach outside the theme folder leaves the bar without a picture; the
// items keep their places on a bar of the shipped themes' height.
void RectPresentation::LoadTheme(const std::string& name) {
  barPrepared_ = {};
  theme_ = LayeredSurface{};
  themeDrawn_ = LayeredSurface{};
  const std::string path = ThemePath(platform_.files.ProgramDir(), name);
  if (path.empty()) {
    platform_.diagnostics.Report(
        Severity::Warning, "The dock theme name \"" + name + "\" is refused: it names no file of the theme folder");
    return;
  }
  if (!pictures_.LoadWindowPicture) return;
  LayeredSurface picture = pictures_.LoadWindowPicture(path, kBaseDpi);
  if (!IsUsableTheme(SizeOf(picture))) {
    platform_.diagnostics.Report(
        Severity::Warning, "The dock theme " + path + " is missing or unusable: the bar is drawn without a picture");
    return;
  }
  theme_ = std::move(picture);
  // At 1x the bar is drawn from the theme itself.
  if (dpi_ != kBaseDpi) themeDrawn_ = pictures_.LoadWindowPicture(path, dpi_);
}

RectDockParams RectPresentation::Params(int itemCount) const {
  RectDockParams params;
  params.RectIconPx = settings_.RectIconPx;
  params.RectIconWd = settings_.RectIconWd;
  params.RectPosition = settings_.RectPosition;
  params.ItemCount = itemCount;
  params.Screen = platform_.windows.ScreenBounds();
  params.BarHeight = RectBarHeight(HasTheme() ? SizeOf(theme_) : kNoTheme);
  return params;
}

// ---- drawing ----

void RectPresentation::DrawBar(int width, int height) {
  barPrepared_ = {};
  const BarDrawing drawing = ComputeBarDrawing({width, height}, HasTheme() ? SizeOf(theme_) : kNoTheme);
  barSurface_ = picture::PhysicalSurface(drawing.Surface.width, drawing.Surface.height, dpi_);
  // The slices are cut in the 1x picture's numbers; the picture drawn from
  // may be a larger variant of it.
  const LayeredSurface& drawn = themeDrawn_.Empty() ? theme_ : themeDrawn_;
  const double kx = HasTheme() ? static_cast<double>(drawn.width) / theme_.width : 1.0;
  const double ky = HasTheme() ? static_cast<double>(drawn.height) / theme_.height : 1.0;
  for (int i = 0; i < drawing.SliceCount; ++i) {
    const BarSlice& slice = drawing.Slices[static_cast<std::size_t>(i)];
    const RectF cut = ToRectF(slice.Source);
    const RectF source{cut.x * kx, cut.y * ky, cut.width * kx, cut.height * ky};
    DrawParams params;
    params.destination = ToRectF(picture::ScaleEdges(slice.Destination, dpi_));
    params.source = &source;
    params.blend = Blend::SourceCopy;
    platform_.canvas.DrawImage(barSurface_, drawn, params);
  }
}

// The window keeps what it was given: a bar as wide as the screen is not
// kept twice. A push with nothing drawn (a new transparency) draws it again.
void RectPresentation::PushBar() {
  if (bar_ == kNoWindow) return;
  if (barSurface_.Empty()) DrawBar(tracking_.Layout.Bar.width, tracking_.Layout.Bar.height);
  platform_.windows.PushLayered(bar_, barSurface_, BarAlpha(settings_.RectTransparence));
  barSurface_ = LayeredSurface{};
}

void RectPresentation::DrawFace(LayeredSurface& surface, const LayeredSurface& decoded, int side) const {
  const int physical = ScaleForDpi(side, dpi_);
  // The plate is copied over all of it: what it held does not matter.
  if (surface.width != physical || surface.height != physical) surface = LayeredSurface(physical, physical);
  DrawParams plate;
  plate.destination = {0, 0, static_cast<double>(physical), static_cast<double>(physical)};
  plate.blend = Blend::SourceCopy;
  platform_.canvas.DrawImage(surface, plate_, plate);
  if (!decoded.Empty()) {
    const double icon = RectItemIconSize(side) * dpi_ / kBaseDpi;
    const double margin = ScaleForDpi(1, dpi_);
    DrawParams picture;
    picture.destination = {margin, margin, icon, icon};
    platform_.canvas.DrawImage(surface, decoded, picture);
  }
}

void RectPresentation::PrepareItems(int count) {
  prepared_.Clear();
  const int physical = ScaleForDpi(kRectIconSize, dpi_);
  prepared_.Reserve(count, physical, physical);
}

void RectPresentation::PrepareItem(int slot, const std::string& iconPath) {
  const LayeredSurface decoded =
      iconPath.empty() || !pictures_.LoadItemPicture ? LayeredSurface{} : pictures_.LoadItemPicture(iconPath, dpi_);
  LayeredSurface face;
  DrawFace(face, decoded, kRectIconSize);
  prepared_.Put(slot, iconPath, face);
}

void RectPresentation::DrawRectItem(int slot, int side, bool focused) {
  catalogue::TImageIconRec& rec = slots_[slot];
  if (rec.Window == kNoWindow) return;
  ItemPicture& item = itemPictures_[rec.Window];
  const int physical = ScaleForDpi(side, dpi_);
  LayeredSurface surface(physical, physical);
  // The start's first draw of an item at rest: its face was drawn while it waited.
  if (side != kRectIconSize || Magnified() || !prepared_.Take(slot, item.path, surface)) {
    LayeredSurface decoded = std::move(item.decoded);
    if (decoded.Empty() && !item.path.empty() && pictures_.LoadItemPicture)
      decoded = pictures_.LoadItemPicture(item.path, dpi_);
    DrawFace(surface, decoded, side);
    // Kept for the next sizes of a magnified item; at rest it is drawn once.
    if (side > kRectIconSize || Magnified()) item.decoded = std::move(decoded);
  }
  item.side = side;
  if (focused || focus_.Slot() == slot) focus_.Put(slot, surface, dpi_);
  rec.Surface = LayeredSurface{};
  platform_.windows.PushLayered(rec.Window, surface, 255);
}

int RectPresentation::DrawnSide(WindowId window) const {
  const auto it = itemPictures_.find(window);
  return it == itemPictures_.end() ? 0 : it->second.side;
}

void RectPresentation::ShowFocus(int slot, bool focused) {
  const WindowId w = slots_[slot].Window;
  if (w == kNoWindow) return;
  if (!focused && focus_.Slot() == slot) focus_ = catalogue::FocusMark{};
  DrawRectItem(slot, std::max(DrawnSide(w), kRectIconSize), focused);
}

// A new window is mapped fully transparent first, so it never flashes; one
// not shown yet cannot, and only takes its picture from the push after this.
void RectPresentation::PushNew(WindowId window, const LayeredSurface& surface) {
  if (!platform_.windows.IsVisible(window)) return;
  platform_.windows.PushLayered(window, surface, 0);
  platform_.system.ProcessPendingMessages();
}

// ---- layouts on screen ----

// Moves first, in one batch, then the pictures that changed size: the
// row is never seen half moved, and a grown picture never shows at its old place.
void RectPresentation::Apply(const RectLayout& next) {
  const RectLayoutChanges changes = DiffRectLayouts(tracking_.Layout, next);
  std::vector<std::pair<WindowId, Rect>> moves;
  moves.reserve(changes.Items.size() + 1);
  if (bar_ != kNoWindow && (changes.BarMoved || changes.BarResized)) moves.emplace_back(bar_, next.Bar);
  for (const RectItemChange& change : changes.Items) {
    const WindowId w = slots_[RestingSlot(change.Index)].Window;
    if (w != kNoWindow) moves.emplace_back(w, next.Items[static_cast<std::size_t>(change.Index)]);
  }
  platform_.windows.SetBoundsMany(moves);
  if (changes.BarResized) {
    DrawBar(next.Bar.width, next.Bar.height);
    PushBar();
  }
  for (const RectItemChange& change : changes.Items)
    if (change.Resized)
      DrawRectItem(RestingSlot(change.Index), next.Items[static_cast<std::size_t>(change.Index)].width);
  tracking_.Layout = next;
}

void RectPresentation::ApplyAll(const RectLayout& next, bool redrawAll) {
  std::vector<std::pair<WindowId, Rect>> moves;
  std::vector<int> redraw;
  if (bar_ != kNoWindow) moves.emplace_back(bar_, next.Bar);
  for (std::size_t i = 0; i < next.Items.size(); ++i) {
    const int slot = RestingSlot(static_cast<int>(i));
    const WindowId w = slots_[slot].Window;
    if (w == kNoWindow) continue;
    moves.emplace_back(w, next.Items[i]);
    if (redrawAll || DrawnSide(w) != next.Items[i].width) redraw.push_back(slot);
  }
  platform_.windows.SetBoundsMany(moves);
  DrawBar(next.Bar.width, next.Bar.height);
  PushBar();
  for (const int slot : redraw)
    DrawRectItem(slot, next.Items[static_cast<std::size_t>(slot - catalogue::kRingSlots - 1)].width);
  tracking_.Layout = next;
}

// ---- creation ----

void RectPresentation::PrepareBar(int itemCount) {
  if (bar_ != kNoWindow) return;
  const Rect bounds = LayoutRectAtRest(Params(itemCount)).Bar;
  DrawBar(bounds.width, bounds.height);
  barPrepared_ = {bounds.width, bounds.height};
}

void RectPresentation::CreateRectBar() {
  if (bar_ != kNoWindow) return;
  tracking_ = RectTracking{LayoutRectAtRest(Params()), 0};
  const Rect bounds = tracking_.Layout.Bar;
  if (barPrepared_ != Size{bounds.width, bounds.height}) DrawBar(bounds.width, bounds.height);
  barPrepared_ = {};
  WindowSpec params;
  params.name = "RectForm";
  params.title = "RectForm";
  params.bounds = bounds;
  // The shell hands a drop to the window under the pointer and to no other:
  // only the dock's own windows can take what is dropped on the dock.
  params.acceptsDrops = true;
  bar_ = platform_.windows.CreateWindow(params);
  slots_.Windows().Add(bar_, {catalogue::Presentation::Rect, catalogue::WindowRole::Skin, 0});
  platform_.windows.SetLayer(bar_, layer_);
  PushNew(bar_, barSurface_);
  PushBar();
  if (settings_.IsShowRect) platform_.windows.Show(bar_, true);
}

void RectPresentation::CreateRectIconWindow(int slot) {
  const int j = slot - catalogue::kRingSlots;
  if (j < 1 || j > kMaxRectItems) return;
  catalogue::TImageIconRec& rec = slots_[slot];
  const Rect& bar = tracking_.Layout.Bar;
  Rect bounds{bar.left + kRectItemInset + kRectIconSize * (j - 1), bar.top + kRectItemInset + RectItemOffsetY(),
              kRectIconSize, kRectIconSize};
  if (static_cast<std::size_t>(j) <= tracking_.Layout.Items.size()) {
    const Rect& laid = tracking_.Layout.Items[static_cast<std::size_t>(j - 1)];
    bounds.left = laid.left;
  }
  WindowSpec params;
  params.name = "Rect" + std::to_string(j);
  params.bounds = bounds;
  params.acceptsDrops = true;
  rec.Window = platform_.windows.CreateWindow(params);
  slots_.Windows().Add(rec.Window, {catalogue::Presentation::Rect, catalogue::WindowRole::Item, slot});
  platform_.windows.SetLayer(rec.Window, layer_);
  // No picture yet: a layered window is not seen before its first one, which
  // the item's draw right after this gives it (one push per window, not two).
  platform_.windows.SetToolTip(rec.Window, rec.Hint);
  if (settings_.IsShowRect) platform_.windows.Show(rec.Window, true);
}

void RectPresentation::DrawIconIntoSlot(int slot, const std::string& iconPath) {
  const WindowId w = slots_[slot].Window;
  if (w == kNoWindow) return;
  const int side = std::max(DrawnSide(w), kRectIconSize);
  itemPictures_[w] = ItemPicture{iconPath, {}, side};
  DrawRectItem(slot, side);
}

void RectPresentation::RequestIcoPaint(int slot) { DrawIconIntoSlot(slot, slots_[slot].IconPath); }

// ---- the pointer ----

void RectPresentation::TrackPointer(Point screen) {
  if (!trackingEnabled_ || bar_ == kNoWindow) return;
  bool collapsed = false;
  const RectTracking next = TrackRectPointer(Params(), tracking_, screen, &collapsed);
  Apply(next.Layout);
  tracking_.LastPointerX = next.LastPointerX;
  if (!collapsed) return;
  ReleaseItemPictures();
  if (clearMemory_) clearMemory_();
}

void RectPresentation::ReleaseItemPictures() {
  for (auto& [window, picture] : itemPictures_) picture.decoded = LayeredSurface{};
}

void RectPresentation::CollapseRectBar() {
  if (!Magnified()) return;
  Apply(dock::CollapseRectBar(Params(), tracking_.Layout));
  ReleaseItemPictures();
}

void RectPresentation::PointerLeft(Point cursor) {
  if (!trackingEnabled_ || !Magnified() || InsideShrunkBar(cursor)) return;
  CollapseRectBar();
  if (clearMemory_) clearMemory_();
}

bool RectPresentation::InsideShrunkBar(Point p) const {
  const Rect bar = BarBounds();
  if (bar.width <= 0) return false;
  return p.x >= bar.left + kInnerZoneMarginX && p.x <= bar.Right() - kInnerZoneMarginX &&
         p.y >= bar.top + kInnerZoneMarginY && p.y <= bar.Bottom() - kInnerZoneMarginY;
}

void RectPresentation::PlaceItem(int slot) {
  const int index = slot - catalogue::kRingSlots - 1;
  if (index < 0 || static_cast<std::size_t>(index) >= tracking_.Layout.Items.size()) return;
  const WindowId w = slots_[slot].Window;
  if (w == kNoWindow) return;
  const Rect place = tracking_.Layout.Items[static_cast<std::size_t>(index)];
  platform_.windows.SetBounds(w, place);
  if (DrawnSide(w) != place.width) DrawRectItem(slot, place.width);
}

void RectPresentation::AfterBounce(int slot, Point pointer) {
  if (InsideShrunkBar(pointer)) return;
  if (Magnified()) {
    CollapseRectBar();
    return;
  }
  const int index = slot - catalogue::kRingSlots - 1;
  if (index < 0 || static_cast<std::size_t>(index) >= tracking_.Layout.Items.size()) return;
  if (const WindowId w = slots_[slot].Window; w != kNoWindow)
    platform_.windows.SetBounds(w, tracking_.Layout.Items[static_cast<std::size_t>(index)]);
}

// ---- settings ----

void RectPresentation::ApplyRectTheme(const std::string& name) {
  LoadTheme(name);
  // The bar's height follows the theme's, and RectTop with it.
  if (bar_ != kNoWindow) ApplyAll(LayoutRectAtRest(Params()));
}

void RectPresentation::ApplyRectTransparency() { PushBar(); }

void RectPresentation::ApplyRectPosition() { PlaceAll(); }

void RectPresentation::DpiChanged() {
  LoadPictures();
  // Decoded again at the new scale when next drawn.
  ReleaseItemPictures();
  if (bar_ == kNoWindow) return;
  ApplyAll(LayoutRectAtRest(Params()), true);
  tracking_.LastPointerX = 0;
}

void RectPresentation::PlaceAll() {
  if (bar_ == kNoWindow) return;
  ApplyAll(LayoutRectAtRest(Params()));
  tracking_.LastPointerX = 0;
}

// ---- windows ----

void RectPresentation::SetVisible(bool visible) {
  if (bar_ != kNoWindow) platform_.windows.Show(bar_, visible);
  for (int j = 1; j <= slots_.DockCount(); ++j)
    if (const WindowId w = slots_[catalogue::kRingSlots + j].Window; w != kNoWindow) platform_.windows.Show(w, visible);
}

void RectPresentation::SetLayer(WindowLayer layer) {
  layer_ = layer;
  if (bar_ != kNoWindow) platform_.windows.SetLayer(bar_, layer);
  for (int j = 1; j <= slots_.DockCount(); ++j)
    if (const WindowId w = slots_[catalogue::kRingSlots + j].Window; w != kNoWindow)
      platform_.windows.SetLayer(w, layer);
}

void RectPresentation::RaiseRectWindows() {
  if (bar_ != kNoWindow) platform_.windows.BringToTop(bar_);
  for (int j = 1; j <= slots_.DockCount(); ++j)
    if (const WindowId w = slots_[catalogue::kRingSlots + j].Window; w != kNoWindow) platform_.windows.BringToTop(w);
}

// ---- the catalogue's changes ----

Rect RectPresentation::BarBounds() const {
  // A hidden dock takes no drops: they go to the ring.
  if (bar_ == kNoWindow || !settings_.IsShowRect) return Rect{};
  return platform_.windows.Bounds(bar_);
}

void RectPresentation::ItemAppended(int, Point) {
  // The row changed under the pointer: it comes back to rest, and the next
  // move over the bar magnifies it again.
  ApplyAll(LayoutRectAtRest(Params()));
}

void RectPresentation::ItemRemoved(catalogue::RemovalVariant) {
  // Pictures of windows that are gone go with them.
  for (auto it = itemPictures_.begin(); it != itemPictures_.end();) {
    bool kept = false;
    for (int j = 1; j <= slots_.DockCount() && !kept; ++j) kept = slots_[catalogue::kRingSlots + j].Window == it->first;
    it = kept ? std::next(it) : itemPictures_.erase(it);
  }
  ApplyAll(LayoutRectAtRest(Params()));
}

}  // namespace qv::dock
