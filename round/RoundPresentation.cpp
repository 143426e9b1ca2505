#include "round/RoundPresentation.h"

#include "config/SettingsFile.h"
#include "picture/DpiPictures.h"
#include "picture/IcoFile.h"
#include "picture/Picture.h"
#include "picture/PngLoader.h"
#include "round/Skins.h"

namespace qv::round {

namespace {

constexpr unsigned kIntervalClock = 1000;
constexpr const char* kClockFiles[] = {"trad.png",   "trad_h.png",   "trad_m.png",
                                       "trad_s.png", "trad_dot.png", "trad_highlights.png"};
enum ClockPart { Face, HourHand, MinuteHand, SecondHand, Cap, Highlights };

RectF Whole(int size) { return {0, 0, static_cast<double>(size), static_cast<double>(size)}; }

}  // namespace

RoundPresentation::RoundPresentation(Platform& platform, config::Settings& settings, catalogue::ItemSlots& slots,
                                     WindowId mainWindow, FormTimer& clearMemory, picture::PictureCache& pictures)
    : platform_(platform),
      settings_(settings),
      slots_(slots),
      main_(mainWindow),
      clearMemory_(clearMemory),
      pictures_(pictures),
      timerClock_(platform.timers, TimerClock, kIntervalClock) {}

RoundPresentation::~RoundPresentation() { DestroyWindows(); }

void RoundPresentation::DestroyWindows() {
  timerClock_.Disable();
  for (int slot = 1; slot <= catalogue::kSlotCount; ++slot) {
    WindowId& w = slots_[slot].Window;
    slots_.Windows().Remove(w);
    if (w != kNoWindow) platform_.windows.DestroyWindow(w);
    w = kNoWindow;
  }
  slots_.Windows().Remove(center_);
  slots_.Windows().Remove(background_);
  if (center_ != kNoWindow) platform_.windows.DestroyWindow(center_);
  if (background_ != kNoWindow) platform_.windows.DestroyWindow(background_);
  center_ = background_ = kNoWindow;
}

void RoundPresentation::LoadPlates() {
  dpi_ = platform_.windows.Dpi();
  noCenter_ = picture::LoadPremultipliedPngForDpi(platform_.system, "NoCenter", dpi_);
  const int side = ScaleForDpi(kItemWindowSize, dpi_);
  iconPlate_ = picture::StretchTo(
      platform_.canvas, picture::LoadPremultipliedPngForDpi(platform_.system, "IconBackGround", dpi_), side, side);
}

RectF ItemIconRect(int dpi) {
  // Whole pixels, centred in the plate: a picture that starts half a pixel
  // in is drawn soft.
  const int plate = ScaleForDpi(kItemWindowSize, dpi);
  const int side = ScaleForDpi(static_cast<int>(kIconRect.width), dpi);
  const double margin = (plate - side) / 2;
  return {margin, margin, static_cast<double>(side), static_cast<double>(side)};
}

void RoundPresentation::LoadClockPictures() {
  const std::string dir = platform_.files.ProgramDir() + "Icon\\ClockRes\\";
  clockAvailable_ = false;
  clockLoaded_ = false;
  clock_ = {};
  for (const char* file : kClockFiles)
    if (!platform_.files.FileExists(dir + file)) return;
  clockAvailable_ = true;
}

void RoundPresentation::ComputeOffsets(double rotationAngle) {
  const Rect main = platform_.windows.Bounds(main_);
  const RingOffsets offsets =
      ComputeRingOffsets(settings_.MinR, settings_.SeparationSize, rotationAngle, {main.width, main.height});
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    slots_[slot].OffsetX = offsets[static_cast<std::size_t>(slot - 1)].x;
    slots_[slot].OffsetY = offsets[static_cast<std::size_t>(slot - 1)].y;
  }
}

void RoundPresentation::ApplyRingOffsets(WindowId skip) {
  const Rect main = platform_.windows.Bounds(main_);
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    const catalogue::TImageIconRec& rec = slots_[slot];
    if (rec.Window == kNoWindow || rec.Window == skip) continue;
    platform_.windows.SetBounds(rec.Window,
                                {main.left + rec.OffsetX, main.top + rec.OffsetY, kItemWindowSize, kItemWindowSize});
  }
}

Rect RoundPresentation::CentredOnMain(int size) const {
  const Rect main = platform_.windows.Bounds(main_);
  return {main.left + main.width / 2 - size / 2, main.top + main.height / 2 - size / 2, size, size};
}

LayeredSurface RoundPresentation::Stretch(const LayeredSurface& picture, int size) const {
  const int side = ScaleForDpi(size, dpi_);
  LayeredSurface surface(side, side);
  DrawParams params;
  params.destination = Whole(side);
  params.blend = Blend::SourceCopy;
  platform_.canvas.DrawImage(surface, picture, params);
  return surface;
}

// A new window is mapped fully transparent first, so it never flashes; one
// not shown yet cannot, and gets its picture at once (a turn of the loop per
// window is most of what building the ring at start costs).
void RoundPresentation::PushNew(WindowId window, const LayeredSurface& surface) {
  if (platform_.windows.IsVisible(window)) {
    platform_.windows.PushLayered(window, surface, 0);
    platform_.system.ProcessPendingMessages();
  }
  platform_.windows.PushLayered(window, surface, 255);
}

std::string RoundPresentation::SkinPath(config::SkinPart part) const {
  return config::SettingsFile(platform_.files, platform_.system, config::UserInfoPath(platform_.files)).SkinPath(part);
}

void RoundPresentation::LoadBackgroundSkin() {
  settings_.BackgroundSize = ClampSkinSize(settings_.BackgroundSize);
  std::string path;
  if (settings_.BackgroundIndex == 0) path = SkinPath(config::SkinPart::Background);
  const SkinChoice choice =
      ChooseBackgroundSkin(settings_.BackgroundIndex, !path.empty() && platform_.files.FileExists(path));
  settings_.BackgroundIndex = choice.index;
  const LayeredSurface picture = choice.source == SkinSource::File
                                     ? picture::LoadPremultipliedPngFile(platform_.files, path)
                                     : picture::LoadPremultipliedPngForDpi(platform_.system, choice.resourceName, dpi_);
  backgroundSurface_ = Stretch(picture, settings_.BackgroundSize);
  backgroundDpi_ = dpi_;
}

void RoundPresentation::LoadCenterSkin() {
  settings_.CenterSize = ClampSkinSize(settings_.CenterSize);
  std::string path;
  if (settings_.CenterIndex == 0) path = SkinPath(config::SkinPart::Center);
  const SkinChoice choice =
      ChooseCenterSkin(settings_.CenterIndex, !path.empty() && platform_.files.FileExists(path), clockAvailable_);
  settings_.CenterIndex = choice.index;
  clockShown_ = choice.source == SkinSource::Clock;
  if (clockShown_) {
    centerSurface_ = picture::PhysicalSurface(settings_.CenterSize, settings_.CenterSize, dpi_);
    DrawClock();
    if (ClockSeen()) timerClock_.Enable();
    return;
  }
  const LayeredSurface picture = choice.source == SkinSource::File
                                     ? picture::LoadPremultipliedPngFile(platform_.files, path)
                                     : picture::LoadPremultipliedPngForDpi(platform_.system, choice.resourceName, dpi_);
  centerSurface_ = Stretch(picture, settings_.CenterSize);
}

WindowId RoundPresentation::CreateSkinWindow(const char* name, int size, const LayeredSurface& surface) {
  WindowSpec params;
  params.name = name;
  params.title = name;
  params.bounds = CentredOnMain(size);
  // Files are dropped onto what the user sees; the main form under the ring
  // is fully transparent and would take them only where nothing is drawn.
  params.acceptsDrops = true;
  const WindowId window = platform_.windows.CreateWindow(params);
  platform_.windows.SetLayer(window, layer_);
  PushNew(window, surface);
  if (settings_.IsShowRound) platform_.windows.Show(window, true);
  return window;
}

// The window keeps the picture it was given: the skin is not kept twice.
// Every later push loads it again first.
void RoundPresentation::ReleaseBackground() {
  backgroundSurface_ = LayeredSurface{};
  backgroundDpi_ = 0;
}

void RoundPresentation::BuildBackgroundWindow() {
  // Every change of the skin's settings draws it at once: one drawn at this
  // scale is the one the settings ask for.
  if (backgroundDpi_ != dpi_) LoadBackgroundSkin();
  background_ = CreateSkinWindow("BackGroundForm", settings_.BackgroundSize, backgroundSurface_);
  ReleaseBackground();
  slots_.Windows().Add(background_, {catalogue::Presentation::Round, catalogue::WindowRole::Skin, 0});
}

void RoundPresentation::BuildCenterWindow() {
  LoadCenterSkin();
  center_ = CreateSkinWindow("CenterForm", settings_.CenterSize, centerSurface_);
  slots_.Windows().Add(center_, {catalogue::Presentation::Round, catalogue::WindowRole::Center, 0});
}

void RoundPresentation::ChangeBackground() {
  settings_.BackgroundIndex = NextBackgroundIndex(settings_.BackgroundIndex);
  LoadBackgroundSkin();
  if (background_ != kNoWindow) {
    platform_.windows.SetBounds(background_, CentredOnMain(settings_.BackgroundSize));
    PushNew(background_, backgroundSurface_);
    ReleaseBackground();
  }
  clearMemory_.Enable();
}

void RoundPresentation::ChangeCenter() {
  if (settings_.CenterIndex == 5) timerClock_.Disable();
  settings_.CenterIndex = NextCenterIndex(settings_.CenterIndex);
  LoadCenterSkin();
  if (center_ != kNoWindow) {
    platform_.windows.SetBounds(center_, CentredOnMain(settings_.CenterSize));
    PushNew(center_, centerSurface_);
  }
  clearMemory_.Enable();
}

void RoundPresentation::RebuildBackground(int shift) {
  LoadBackgroundSkin();
  if (background_ == kNoWindow) return;
  const Rect old = platform_.windows.Bounds(background_);
  platform_.windows.SetBounds(background_,
                              {old.left + shift, old.top + shift, settings_.BackgroundSize, settings_.BackgroundSize});
  PushNew(background_, backgroundSurface_);
  ReleaseBackground();
}

void RoundPresentation::RebuildCenter(int shift) {
  // The clock starts again below when the center still shows it.
  timerClock_.Disable();
  LoadCenterSkin();
  if (center_ == kNoWindow) return;
  const Rect old = platform_.windows.Bounds(center_);
  platform_.windows.SetBounds(center_, {old.left + shift, old.top + shift, settings_.CenterSize, settings_.CenterSize});
  PushNew(center_, centerSurface_);
}

void RoundPresentation::DrawClock() {
  if (!clockAvailable_) return;
  if (!clockLoaded_) {
    const std::string dir = platform_.files.ProgramDir() + "Icon\\ClockRes\\";
    for (std::size_t i = 0; i < clock_.size(); ++i)
      clock_[i] = picture::LoadPictureFileForDpi(platform_.files, dir + kClockFiles[i], platform_.windows.Dpi());
    clockLoaded_ = true;
  }
  const int size = ScaleForDpi(settings_.CenterSize, dpi_);
  if (centerSurface_.width != size || centerSurface_.height != size) centerSurface_ = LayeredSurface(size, size);
  const double s = size;
  DrawParams plate;
  plate.destination = Whole(size);
  plate.blend = Blend::SourceCopy;
  if (noCenter_.Empty()) {
    std::fill(centerSurface_.pixels.begin(), centerSurface_.pixels.end(), 0u);
  } else {
    platform_.canvas.DrawImage(centerSurface_, noCenter_, plate);
  }
  DrawParams whole;
  whole.destination = Whole(size);
  platform_.canvas.DrawImage(centerSurface_, clock_[Face], whole);

  const LocalTime now = platform_.system.Now();
  const ClockAngles angles = ClockHandAngles(now.hour, now.minute, now.second);
  DrawParams hand;
  hand.destination = {s / 2 - s / 20, 0, s / 10, s};
  hand.pivot = {s / 2, s / 2};
  const std::pair<ClockPart, double> hands[] = {
      {HourHand, angles.hour}, {MinuteHand, angles.minute}, {SecondHand, angles.second}};
  for (const auto& [part, degrees] : hands) {
    hand.rotationDegrees = degrees;
    platform_.canvas.DrawImage(centerSurface_, clock_[part], hand);
  }
  hand.rotationDegrees = 0;
  platform_.canvas.DrawImage(centerSurface_, clock_[Cap], hand);
  platform_.canvas.DrawImage(centerSurface_, clock_[Highlights], whole);
}

void RoundPresentation::OnClockTick() {
  DrawClock();
  if (center_ != kNoWindow) platform_.windows.PushLayered(center_, centerSurface_, 255);
}

void RoundPresentation::ShowRing(bool shown) {
  auto show = [&](WindowId w) {
    if (w != kNoWindow) platform_.windows.Show(w, shown);
  };
  show(background_);
  show(center_);
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) show(slots_[slot].Window);
  RunClock();
}

void RoundPresentation::SetOnScreen(bool onScreen) {
  onScreen_ = onScreen;
  RunClock();
}

void RoundPresentation::RunClock() {
  if (!ClockSeen()) {
    timerClock_.Disable();
    return;
  }
  if (timerClock_.Enabled()) return;
  OnClockTick();
  timerClock_.Enable();
}

void RoundPresentation::PlaceAll() {
  if (background_ != kNoWindow)
    platform_.windows.SetBounds(background_, CentredOnMain(platform_.windows.Bounds(background_).width));
  if (center_ != kNoWindow)
    platform_.windows.SetBounds(center_, CentredOnMain(platform_.windows.Bounds(center_).width));
  ApplyRingOffsets();
  RaiseRoundWindows();
}

void RoundPresentation::RaiseRoundWindows() {
  if (background_ != kNoWindow) platform_.windows.BringToTop(background_);
  if (center_ != kNoWindow) platform_.windows.BringToTop(center_);
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot)
    if (slots_[slot].Window != kNoWindow) platform_.windows.BringToTop(slots_[slot].Window);
}

void RoundPresentation::CreateRoundIconWindow(int slot) {
  catalogue::TImageIconRec& rec = slots_[slot];
  rec.Surface = iconPlate_;
  const Rect main = platform_.windows.Bounds(main_);
  WindowSpec params;
  // No title of its own: the window text follows the name when two items
  // exchange their windows.
  params.name = "Circle" + std::to_string(slot);
  params.bounds = {main.left + rec.OffsetX, main.top + rec.OffsetY, kItemWindowSize, kItemWindowSize};
  params.acceptsDrops = true;
  rec.Window = platform_.windows.CreateWindow(params);
  slots_.Windows().Add(rec.Window, {catalogue::Presentation::Round, catalogue::WindowRole::Item, slot});
  platform_.windows.SetLayer(rec.Window, layer_);
  // No picture yet: a layered window is not seen before its first one, which
  // the item's draw right after this gives it (one push per window, not two).
  if (settings_.IsShowRound) {
    platform_.windows.Show(rec.Window, true);
    platform_.windows.BringToTop(rec.Window);
  }
}

void RoundPresentation::CreateRectIconWindow(int) {
  // The dock's windows come with the dock bar.
}

void RoundPresentation::DrawItemPicture(LayeredSurface& surface, const std::string& iconPath) {
  DrawParams params;
  params.destination = ItemIconRect(dpi_);
  platform_.canvas.DrawImage(surface, pictures_.Load(iconPath, dpi_), params);
}

void RoundPresentation::PrepareItems() {
  prepared_.Clear();
  prepared_.Reserve(catalogue::kRingSlots, iconPlate_.width, iconPlate_.height);
}

void RoundPresentation::PrepareItem(int slot, const std::string& iconPath) {
  LayeredSurface face = iconPlate_;
  DrawItemPicture(face, iconPath);
  prepared_.Put(slot, iconPath, face);
}

void RoundPresentation::DrawIconIntoSlot(int slot, const std::string& iconPath) {
  catalogue::TImageIconRec& rec = slots_[slot];
  if (rec.Window == kNoWindow) return;
  if (rec.Surface.Empty() || rec.Surface.width != iconPlate_.width || rec.Surface.height != iconPlate_.height)
    rec.Surface = iconPlate_;
  // The start's first draw of an item on a bare plate: drawn while it waited.
  if (!prepared_.Empty() && focus_.Slot() != slot && rec.Surface.pixels == iconPlate_.pixels &&
      prepared_.Take(slot, iconPath, rec.Surface)) {
    platform_.windows.PushLayered(rec.Window, rec.Surface, 255);
    return;
  }
  // A focused item's new picture goes under the ring, not over it.
  const bool focused = focus_.Slot() == slot && focus_.Take(rec.Surface);
  DrawItemPicture(rec.Surface, iconPath);
  if (focused) focus_.Put(slot, rec.Surface, dpi_);
  platform_.windows.PushLayered(rec.Window, rec.Surface, 255);
}

void RoundPresentation::RequestIcoPaint(int slot) {
  paintSlot_ = slot;
  icoPaintPending_ = true;
  // The main form repaints at once, so every slot gets its own draw.
  PaintPendingIco();
}

void RoundPresentation::PaintPendingIco() {
  if (!icoPaintPending_) return;
  icoPaintPending_ = false;
  catalogue::TImageIconRec& rec = slots_[paintSlot_];
  if (rec.Window == kNoWindow) return;
  if (rec.Surface.Empty() || rec.Surface.width != iconPlate_.width || rec.Surface.height != iconPlate_.height)
    rec.Surface = iconPlate_;
  const bool focused = focus_.Slot() == paintSlot_ && focus_.Take(rec.Surface);
  const std::optional<std::string> bytes = platform_.files.ReadFile(rec.IconPath);
  if (bytes) {
    const RectF icon = ItemIconRect(dpi_);
    if (const std::optional<picture::IcoImage> ico = picture::ReadIcoForDrawing(*bytes, static_cast<int>(icon.width))) {
      DrawParams params;
      params.destination = icon;
      platform_.canvas.DrawImage(rec.Surface, ico->picture, params);
    }
  }
  if (focused) focus_.Put(paintSlot_, rec.Surface, dpi_);
  platform_.windows.PushLayered(rec.Window, rec.Surface, 255);
}

void RoundPresentation::ShowFocus(int slot, bool focused) {
  catalogue::TImageIconRec& rec = slots_[slot];
  if (focus_.Show(slot, focused, rec.Surface, dpi_) && rec.Window != kNoWindow)
    platform_.windows.PushLayered(rec.Window, rec.Surface, 255);
}

}  // namespace qv::round

namespace qv::round {

void RoundPresentation::DpiChanged() {
  LoadPlates();
  if (clockAvailable_) LoadClockPictures();
  if (background_ != kNoWindow) {
    LoadBackgroundSkin();
    platform_.windows.PushLayered(background_, backgroundSurface_, 255);
    ReleaseBackground();
  }
  if (center_ != kNoWindow) {
    LoadCenterSkin();
    platform_.windows.PushLayered(center_, centerSurface_, 255);
  }
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    catalogue::TImageIconRec& rec = slots_[slot];
    if (rec.Window == kNoWindow) continue;
    rec.Surface = iconPlate_;
    DrawIconIntoSlot(slot, rec.IconPath);
  }
  PlaceAll();
}

}  // namespace qv::round
