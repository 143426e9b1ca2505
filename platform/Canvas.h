#pragma once

// Drawing of one premultiplied picture onto another: scaled with high-quality
// bicubic filtering, optionally from a part of the source, optionally rotated
// about a point. The backends draw with the platform's imaging library or
// with our own resampler; the core only says what goes where.

#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace qv {

struct PointF {
  double x = 0;
  double y = 0;
};

struct RectF {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

enum class Blend {
  SourceOver,  // the picture over what the target holds
  SourceCopy,  // the picture replaces what the target holds under it
};

struct DrawParams {
  RectF destination;              // in target pixels, before rotation
  const RectF* source = nullptr;  // part of the picture; the whole picture when null
  double rotationDegrees = 0;     // clockwise on screen
  PointF pivot;                   // the point the rotation turns about, in target pixels
  Blend blend = Blend::SourceOver;
};

struct FontDesc {
  std::string face;
  int pointSize = 12;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int dpi = kBaseDpi;  // the text is drawn pointSize * dpi / 72 pixels high; pointSize stays the logical size
};

class ICanvas {
 public:
  virtual ~ICanvas() = default;
  virtual void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) = 0;
  // One line of text: its size as drawn, and the text drawn antialiased with
  // its top-left at origin in a colour 0x00BBGGRR, over what the target holds.
  virtual Size MeasureText(const std::string& utf8, const FontDesc& font) = 0;
  virtual void DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font, std::uint32_t colour,
                        Point origin) = 0;
};

}  // namespace qv
