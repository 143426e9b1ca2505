#include "round/HintWindow.h"

#include <algorithm>

#include "config/FontSpec.h"

namespace qv::round {

namespace {

// The colour values that name a system colour or "default"/"none" carry a
// non-zero high byte; plain colours never do.
bool IsPlainColour(std::uint32_t colour) { return (colour & 0xFF000000u) == 0; }

constexpr std::uint32_t kSystemColourBase = 0xFF000000u;

HintFont FromFontSpec(const config::FontSpec& font) {
  HintFont out;
  out.font.face = font.face;
  out.font.pointSize = font.size;
  out.font.bold = font.bold;
  out.font.italic = font.italic;
  out.font.underline = font.underline;
  out.font.strikeout = font.strikeout;
  out.colour = font.color;
  return out;
}

}  // namespace

HintFont HintFontFromSpec(const std::string& fontDefine, const IWindowSystem& windows) {
  const config::FontSpec factory = *config::ParseFontSpec(config::kFactoryFontSpec);
  config::FontSpec font = config::ParseFontSpec(fontDefine).value_or(factory);
  if (font.size <= 0) font.size = factory.size;
  font.size = std::min(font.size, kHintMaxPointSize);
  if (!IsPlainColour(font.color)) {
    std::optional<std::uint32_t> system;
    if ((font.color & 0xFF000000u) == kSystemColourBase)
      system = windows.SystemColour(static_cast<int>(font.color - kSystemColourBase));
    font.color = system.value_or(factory.color);
  }
  HintFont out = FromFontSpec(font);
  out.font.dpi = windows.Dpi();
  return out;
}

// The label's logical size holds every pixel the text takes at the display's
// scale: rounded up, since a window a pixel short cuts the last letter.
Size LogicalLabelSize(Size drawn, int dpi) {
  const auto up = [dpi](int physical) {
    if (dpi <= 0) return physical;
    return static_cast<int>((static_cast<long long>(physical) * kBaseDpi + dpi - 1) / dpi);
  };
  return {std::max(1, up(drawn.width)), std::max(1, up(drawn.height))};
}

Rect HintPlacement(const Rect& item, Size label) {
  return {item.left + item.width / 2 - label.width / 2, item.top + item.height, label.width, label.height};
}

HintWindow::HintWindow(IWindowSystem& windows, ICanvas& canvas, WindowLayer layer, const std::string& fontDefine)
    : windows_(windows), canvas_(canvas), font_(HintFontFromSpec(fontDefine, windows)) {
  WindowSpec params;
  params.name = kHintWindowName;
  params.bounds = {0, 0, kHintDesignSize, kHintDesignSize};
  window_ = windows_.CreateWindow(params);
  windows_.SetLayer(window_, layer);
  Paint({kHintDesignSize, kHintDesignSize});
  windows_.Show(window_, true);
}

HintWindow::~HintWindow() {
  if (window_ != kNoWindow) windows_.DestroyWindow(window_);
}

void HintWindow::SetFont(const std::string& fontDefine) { font_ = HintFontFromSpec(fontDefine, windows_); }

void HintWindow::SetLayer(WindowLayer layer) { windows_.SetLayer(window_, layer); }

void HintWindow::ShowUnder(const std::string& text, const Rect& item) {
  text_ = text;
  item_ = item;
  font_.font.dpi = windows_.Dpi();
  // A window needs a pixel to exist; an empty name shows nothing in it.
  const Size label = LogicalLabelSize(canvas_.MeasureText(text_, font_.font), font_.font.dpi);
  windows_.SetBounds(window_, HintPlacement(item, label));
  Paint(label);
  windows_.BringToTop(window_);
}

void HintWindow::ClearText() {
  if (text_.empty()) return;
  text_.clear();
  const Rect now = windows_.Bounds(window_);
  Paint({std::max(1, now.width), std::max(1, now.height)});
}

void HintWindow::DpiChanged() {
  font_.font.dpi = windows_.Dpi();
  if (!text_.empty()) {
    ShowUnder(text_, item_);
    return;
  }
  const Rect now = windows_.Bounds(window_);
  Paint({std::max(1, now.width), std::max(1, now.height)});
}

void HintWindow::Paint(Size size) {
  LayeredSurface surface(ScaleForDpi(size.width, font_.font.dpi), ScaleForDpi(size.height, font_.font.dpi));
  if (!text_.empty()) canvas_.DrawText(surface, text_, font_.font, font_.colour, {0, 0});
  windows_.PushLayered(window_, surface, 255);
}

}  // namespace qv::round
