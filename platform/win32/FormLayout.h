#pragma once

// Where a form's controls go on a display of a given DPI, the size of their
// fonts and of the pictures they show. A design is written in logical pixels
// at 96 DPI; these functions turn it into the physical pixels the controls
// are made of. Plain numbers in, plain numbers out: no window system here, so
// the rounding is tested natively.

#include "platform/Forms.h"
#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace qv::win32 {

// A logical rect with its left, top, right and bottom edges scaled one by
// one: controls that touch at 96 DPI touch at every DPI, and rounding never
// makes a control overlap its neighbour or leaves a gap between them.
Rect ScaleEdges(const Rect& logical, int dpi);

// The physical place of a control in the form's client area. A control in a
// group box is placed at its logical offset in the box before scaling, so it
// shares the box's rounding; a control on a page (directly, or through its
// group box) is offset by pageOrigin, the logical top-left of the page body
// (the page control's body as it is at 96 DPI), and scaled with it.
Rect ControlPlace(const FormSpec& design, const ControlSpec& control, Point pageOrigin, int dpi);

// The logical height of a combo box's list below its edit part.
inline constexpr int kComboListHeight = 200;

// The height CreateFont wants for the control's font at the DPI (negative:
// the character height). Sizes in points follow the DPI as printed type
// does; sizes in pixels are logical pixels and are scaled like the layout.
int FontHeight(const ControlFont& font, int formPoints, int dpi);

// The size a picture is shown at in a box: proportional, shrunk to fit, and
// never larger than the picture's own size at the DPI (a 48-pixel icon in a
// 128-pixel box stays 48 logical pixels). Never below 1 x 1.
Size FittedPicture(Size picture, Size box, int dpi);

// The picture at width x height: where it shrinks, each target pixel is the
// average of the source pixels it covers; where it grows, bilinear between
// the nearest four. Premultiplied pixels are mixed as they are, so edges
// against transparency keep their colour. Empty for an empty picture or size.
LayeredSurface Resample(const LayeredSurface& picture, int width, int height);

}  // namespace qv::win32
