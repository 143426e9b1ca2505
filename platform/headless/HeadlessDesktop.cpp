#include "platform/headless/HeadlessDesktop.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace qv::headless {

namespace {

constexpr std::uint32_t kDesktopColour = 0xFF203040u;  // opaque slate blue, so black windows still show

// Premultiplied source over premultiplied destination, with a constant alpha.
std::uint32_t BlendOver(std::uint32_t dst, std::uint32_t src, unsigned constAlpha) {
  auto scale = [](unsigned c, unsigned a) { return (c * a + 127) / 255; };
  unsigned sa = scale(AlphaOf(src), constAlpha);
  if (sa == 0) return dst;
  unsigned sb = scale(BlueOf(src), constAlpha), sg = scale(GreenOf(src), constAlpha),
           sr = scale(RedOf(src), constAlpha);
  unsigned inv = 255 - sa;
  auto mix = [&](unsigned s, unsigned d) { return static_cast<std::uint8_t>(std::min(255u, s + scale(d, inv))); };
  return PackBgra(mix(sb, BlueOf(dst)), mix(sg, GreenOf(dst)), mix(sr, RedOf(dst)), mix(sa, AlphaOf(dst)));
}

int LayerRank(WindowLayer layer) {
  switch (layer) {
    case WindowLayer::Desktop:
      return 0;
    case WindowLayer::Normal:
      return 1;
    case WindowLayer::Topmost:
      return 2;
  }
  return 1;
}

}  // namespace

HeadlessDesktop::HeadlessDesktop(std::filesystem::path root, std::filesystem::path artDir)
    : root_(std::move(root)), artDir_(std::move(artDir)) {
  std::filesystem::create_directories(root_);
}

HeadlessDesktop::~HeadlessDesktop() = default;

LocalTime HeadlessDesktop::CurrentLocalTime() const {
  // Only the time of day moves; tests never run across midnight.
  LocalTime t = baseTime_;
  std::int64_t ms =
      (((std::int64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond) + (nowMs_ - nowMsAtBase_);
  ms %= 24LL * 3600 * 1000;
  t.millisecond = static_cast<int>(ms % 1000);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.hour = static_cast<int>(ms / 3600000);
  return t;
}

void HeadlessDesktop::Advance(std::int64_t ms) {
  const std::int64_t end = nowMs_ + ms;
  for (;;) {
    HeadlessProcess* next = nullptr;
    int nextId = 0;
    const HeadlessProcess::TimerState* best = nullptr;
    for (HeadlessProcess* p : processes_) {
      for (const auto& [id, state] : p->timers_) {
        if (state.due > end) continue;
        if (!best || state.due < best->due || (state.due == best->due && state.sequence < best->sequence)) {
          best = &state;
          next = p;
          nextId = id;
        }
      }
    }
    if (!best) break;
    nowMs_ = std::max(nowMs_, best->due);
    auto& state = next->timers_[nextId];
    state.due = nowMs_ + std::max<unsigned>(1, state.interval);
    state.sequence = ++timerSequence_;
    ++next->timerCallbacks_[nextId];
    if (next->sink_) next->sink_->OnTimer(nextId);
  }
  nowMs_ = end;
}

const WindowRecord* HeadlessDesktop::FindWindow(WindowId id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowRecord* HeadlessDesktop::FindWindow(WindowId id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

const WindowRecord* HeadlessDesktop::FindWindowByName(const std::string& name) const {
  for (const auto& [id, w] : windows_)
    if (w.name == name) return &w;
  return nullptr;
}

const WindowRecord* HeadlessDesktop::FindWindowByClass(const std::string& className, const std::string& title) const {
  for (const auto& [id, w] : windows_)
    if (w.className == className && w.title == title) return &w;
  return nullptr;
}

std::vector<const WindowRecord*> HeadlessDesktop::Windows() const {
  std::vector<const WindowRecord*> out;
  for (WindowId id : zOrder_) out.push_back(&windows_.at(id));
  return out;
}

std::filesystem::path HeadlessDesktop::RealPath(const std::string& windowsPath) const {
  std::string rest = windowsPath;
  std::filesystem::path out = root_;
  if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) {
    out /= std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
    rest = rest.substr(2);
  } else {
    out /= "C";  // a relative path: the drive the program runs from
  }
  std::string part;
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!part.empty() && part != ".") out /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty() && part != ".") out /= part;
  return out;
}

WindowId HeadlessDesktop::AddWindow(WindowRecord record) {
  record.id = nextWindow_++;
  WindowId id = record.id;
  windows_.emplace(id, std::move(record));
  zOrder_.push_back(id);
  return id;
}

void HeadlessDesktop::RemoveWindow(WindowId id) {
  windows_.erase(id);
  std::erase(zOrder_, id);
}

void HeadlessDesktop::RaiseToTop(WindowId id) {
  std::erase(zOrder_, id);
  zOrder_.push_back(id);
}

void HeadlessDesktop::Detach(HeadlessProcess* p) { std::erase(processes_, p); }

void HeadlessDesktop::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  const std::vector<HeadlessProcess*> processes = processes_;
  for (HeadlessProcess* p : processes)
    if (p->sink_) p->sink_->OnDpiChanged(dpi);
}

LayeredSurface HeadlessDesktop::Compose() const {
  const Rect screen = ScaleForDpi(screen_, dpi_);
  LayeredSurface out(screen.width, screen.height);
  std::fill(out.pixels.begin(), out.pixels.end(), kDesktopColour);
  std::vector<WindowId> order = zOrder_;
  std::stable_sort(order.begin(), order.end(), [&](WindowId a, WindowId b) {
    return LayerRank(windows_.at(a).layer) < LayerRank(windows_.at(b).layer);
  });
  for (WindowId id : order) {
    const WindowRecord& w = windows_.at(id);
    if (!EffectivelyVisible(w) || w.surface.Empty()) continue;
    const Point origin = ScaleForDpi(Point{w.bounds.left, w.bounds.top}, dpi_);
    for (int y = 0; y < w.surface.height; ++y) {
      int sy = origin.y + y - screen.top;
      if (sy < 0 || sy >= out.height) continue;
      for (int x = 0; x < w.surface.width; ++x) {
        int sx = origin.x + x - screen.left;
        if (sx < 0 || sx >= out.width) continue;
        out.At(sx, sy) = BlendOver(out.At(sx, sy), w.surface.At(x, y), w.alpha);
      }
    }
  }
  return out;
}

bool HeadlessDesktop::WritePng(const std::filesystem::path& file) const {
  LayeredSurface picture = Compose();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_BGRA;
  // The composition is opaque, so premultiplied and straight colours agree.
  return png_image_write_to_file(&image, file.string().c_str(), 0, picture.pixels.data(), 0, nullptr) != 0;
}

}  // namespace qv::headless

namespace qv::headless {

bool HeadlessDesktop::EffectivelyVisible(const WindowRecord& w) const {
  return w.visible && !(w.owner && w.owner->minimized_);
}

const WindowRecord* HeadlessDesktop::WindowAt(Point p) const {
  std::vector<WindowId> order = zOrder_;
  std::stable_sort(order.begin(), order.end(), [&](WindowId a, WindowId b) {
    return LayerRank(windows_.at(a).layer) < LayerRank(windows_.at(b).layer);
  });
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const WindowRecord& w = windows_.at(*it);
    if (!EffectivelyVisible(w) || !w.bounds.Contains(p)) continue;
    if (w.layered) {
      // A layered window is hit only where it shows something.
      // The pixel under a logical point, counted as the composition places it.
      const int x = ScaleForDpi(p.x, dpi_) - ScaleForDpi(w.bounds.left, dpi_);
      const int y = ScaleForDpi(p.y, dpi_) - ScaleForDpi(w.bounds.top, dpi_);
      if (w.surface.Empty() || x >= w.surface.width || y >= w.surface.height) continue;
      if (AlphaOf(w.surface.At(x, y)) * w.alpha == 0) continue;
    }
    return &w;
  }
  return nullptr;
}

PointerEvent HeadlessDesktop::MakePointer(const WindowRecord& w, Point screen, MouseButton button) const {
  PointerEvent e;
  e.window = w.id;
  e.button = button;
  e.screen = screen;
  e.client = {screen.x - w.bounds.left, screen.y - w.bounds.top};
  e.leftHeld = leftDown_;
  return e;
}

void HeadlessDesktop::Deliver(const WindowRecord& w, const std::function<void(IPlatformEvents&)>& call) {
  // A box disables every window of its process: pointer and keys do not reach them.
  if (w.owner && w.owner->sink_ && w.owner->boxesOpen_ == 0) call(*w.owner->sink_);
}

void HeadlessDesktop::MouseDown(Point screen, MouseButton button) {
  cursor_ = screen;
  if (button == MouseButton::Left) leftDown_ = true;
  const WindowRecord* w = capture_ != kNoWindow ? FindWindow(capture_) : WindowAt(screen);
  if (!w) return;
  const PointerEvent e = MakePointer(*w, screen, button);
  Deliver(*w, [&](IPlatformEvents& s) { s.OnMouseDown(e); });
}

void HeadlessDesktop::MouseMove(Point screen) {
  cursor_ = screen;
  const WindowRecord* under = WindowAt(screen);
  const WindowId underId = under ? under->id : kNoWindow;
  if (underId != hover_) {
    const WindowId oldId = hover_;
    auto leave = [&] {
      if (const WindowRecord* old = FindWindow(oldId))
        Deliver(*old, [&](IPlatformEvents& s) { s.OnMouseLeave(oldId); });
    };
    if (!leaveAfterEnter_) leave();
    hover_ = underId;
    if (const WindowRecord* now = FindWindow(hover_))
      Deliver(*now, [&](IPlatformEvents& s) { s.OnMouseEnter(underId); });
    if (leaveAfterEnter_) leave();
  }
  const WindowRecord* w = capture_ != kNoWindow ? FindWindow(capture_) : FindWindow(hover_);
  if (!w) return;
  const PointerEvent e = MakePointer(*w, screen, MouseButton::Left);
  Deliver(*w, [&](IPlatformEvents& s) { s.OnMouseMove(e); });
}

void HeadlessDesktop::MouseUp(Point screen, MouseButton button) {
  cursor_ = screen;
  if (button == MouseButton::Left) leftDown_ = false;
  const WindowRecord* w = capture_ != kNoWindow ? FindWindow(capture_) : WindowAt(screen);
  if (!w) return;
  const PointerEvent e = MakePointer(*w, screen, button);
  Deliver(*w, [&](IPlatformEvents& s) { s.OnMouseUp(e); });
}

void HeadlessDesktop::Wheel(Point screen, int notches) {
  cursor_ = screen;
  const WindowRecord* w = WindowAt(screen);
  if (!w) return;
  const WindowId id = w->id;
  Deliver(*w, [&](IPlatformEvents& s) { s.OnMouseWheel(id, notches); });
}

void HeadlessDesktop::KeyDown(unsigned virtualKey, bool shift) {
  const WindowRecord* w = FindWindow(focus_);
  if (!w) {
    for (const auto& [id, rec] : windows_)
      if (rec.mainForm) {
        w = &rec;
        break;
      }
  }
  if (!w) return;
  const WindowId id = w->id;
  Deliver(*w, [&](IPlatformEvents& s) { s.OnKeyDown(id, virtualKey, shift); });
}

bool HeadlessDesktop::PressHotKey(unsigned modifiers, unsigned virtualKey) {
  for (HeadlessProcess* p : processes_) {
    for (const auto& [id, keys] : p->hotKeys_) {
      if (keys != std::pair{modifiers, virtualKey}) continue;
      if (p->sink_) p->sink_->OnHotKey(id, modifiers, virtualKey);
      return true;
    }
  }
  return false;
}

}  // namespace qv::headless
