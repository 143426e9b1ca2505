#pragma once

// TFormHint: the floating label that shows an item's name under it. A layered
// window of ours holding one auto-sized line of text, LHint, drawn in the
// label font over a fully transparent background, so that only the letters
// show and the pointer passes through everywhere else.

#include <cstdint>
#include <string>

#include "platform/Canvas.h"
#include "platform/Platform.h"

namespace qv::round {

inline constexpr const char* kHintWindowName = "FormHint";
// Before the first name is shown the window has its designed size.
inline constexpr int kHintDesignSize = 50;

struct HintFont {
  FontDesc font;
  std::uint32_t colour = 0;  // 0x00BBGGRR
};

// The largest point size the font dialog lists; a larger one in the file
// would make a label bigger than any screen.
inline constexpr int kHintMaxPointSize = 72;

// The label font from its one-line text form; the factory font when the text
// cannot be read. A system colour takes the system's present value; the
// default and none colours, which name no colour, the factory one.
HintFont HintFontFromSpec(const std::string& fontDefine, const IWindowSystem& windows);

// Centred under the item and directly below it, wherever that is on the
// screen; halves are taken toward zero.
Rect HintPlacement(const Rect& item, Size label);

// The logical size of a label whose text takes `drawn` physical pixels at dpi.
Size LogicalLabelSize(Size drawn, int dpi);

class HintWindow {
 public:
  // Created shown but empty, hence invisible, in the given layer.
  HintWindow(IWindowSystem& windows, ICanvas& canvas, WindowLayer layer, const std::string& fontDefine);
  ~HintWindow();
  HintWindow(const HintWindow&) = delete;
  HintWindow& operator=(const HintWindow&) = delete;

  void SetFont(const std::string& fontDefine);
  void SetLayer(WindowLayer layer);
  // LHint takes the text; the window takes the label's size, stands under
  // the item and comes to the front.
  void ShowUnder(const std::string& text, const Rect& item);
  // LHint empties; the window keeps its place and size and shows nothing.
  void ClearText();
  // The text drawn again at the display's new scale, under the same item.
  void DpiChanged();

  WindowId Window() const { return window_; }
  const std::string& LHint() const { return text_; }
  const HintFont& Font() const { return font_; }

 private:
  void Paint(Size size);

  IWindowSystem& windows_;
  ICanvas& canvas_;
  WindowId window_ = kNoWindow;
  HintFont font_;
  std::string text_;
  Rect item_;
};

}  // namespace qv::round
