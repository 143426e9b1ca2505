#pragma once

// Drawing pictures onto surfaces with GDI+, started for the life of the
// object.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace qv::win32 {

// Which face draws which text when the asked face lacks its glyphs: found
// once, not at every hover of the same name.
struct TextFaceCache {
  std::vector<std::wstring> installed;  // the system's TrueType faces, listed when first needed
  bool listed = false;
  std::map<std::wstring, std::wstring> chosen;  // asked face + "\n" + text -> face to draw with
};

class GdiPlusCanvas final : public ICanvas {
 public:
  GdiPlusCanvas();
  ~GdiPlusCanvas() override;
  GdiPlusCanvas(const GdiPlusCanvas&) = delete;
  GdiPlusCanvas& operator=(const GdiPlusCanvas&) = delete;

  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override;
  Size MeasureText(const std::string& utf8, const FontDesc& font) override;
  void DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font, std::uint32_t colour,
                Point origin) override;

 private:
  std::uintptr_t token_ = 0;  // zero when GDI+ did not start: nothing is drawn then
  TextFaceCache faces_;
};

}  // namespace qv::win32
