#pragma once

// Drawing onto surfaces: pictures with our own resampler, text with GDI+,
// started at the first text and shut down with the object.

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

class Win32Canvas final : public ICanvas {
 public:
  Win32Canvas() = default;
  ~Win32Canvas() override;
  Win32Canvas(const Win32Canvas&) = delete;
  Win32Canvas& operator=(const Win32Canvas&) = delete;

  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override;
  Size MeasureText(const std::string& utf8, const FontDesc& font) override;
  void DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font, std::uint32_t colour,
                Point origin) override;

 private:
  bool TextReady();

  std::uintptr_t token_ = 0;  // zero until the first text, and when GDI+ did not start: no text is drawn then
  bool gdiPlusFailed_ = false;  // tried once, reported once
  TextFaceCache faces_;
};

}  // namespace qv::win32
