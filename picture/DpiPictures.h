#pragma once

// Pictures for a scaled display. Sizes stay logical (96 DPI) everywhere in the
// core; a surface pushed to a window is that window's physical size, and the
// art is shipped drawn at 1x, 1.5x and 2x so that none of it is stretched up.
// A resource variant carries the scale in its type ("RoundInterface" of type
// "PNG150"), so that the pictures of one scale lie together in the program
// file and a start at 1x reads none of the others; a file variant carries it
// in its name ("Icon\ClockRes\trad@200.png"). Without a variant the 1x
// picture is used and resampled.

#include <string>

#include "platform/Canvas.h"
#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace qv {
class ISystem;
class IFileSystem;
}  // namespace qv

namespace qv::picture {

// The scale in percent the art is drawn at for this DPI: the nearest of 100,
// 150 and 200 at or above it, 200 past 192.
int ArtScaleForDpi(int dpi);
// The resource type of the pictures drawn at that scale: "PNG150"; "PNG" at 100.
std::string ResourceType(int scale);
// "C:\Q\Icon\a.png" -> "C:\Q\Icon\a@150.png"; the path itself at 100 or without an extension.
std::string FileVariant(const std::string& path, int scale);

// The blank surface of a window of this logical size.
LayeredSurface PhysicalSurface(int logicalWidth, int logicalHeight, int dpi);
// A rectangle inside a surface, from logical to physical: x * dpi / 96, exact.
RectF ScaleRectF(const RectF& logical, int dpi);
// A rectangle of whole logical pixels to whole physical ones by its edges, so
// that slices that meet at a logical edge still meet on the surface.
Rect ScaleEdges(const Rect& logical, int dpi);

// Window pictures (PngLoader.h's rule) and ordinary pictures, each from the
// variant for the DPI when there is one, else from the 1x picture.
LayeredSurface LoadPremultipliedPngForDpi(const ISystem& system, const std::string& name, int dpi);
LayeredSurface LoadPremultipliedPngFileForDpi(const IFileSystem& files, const std::string& path, int dpi);
// Item and clock pictures: a PNG from its variant; an icon file from its
// image that best fits the 48-pixel square at that DPI.
LayeredSurface LoadPictureFileForDpi(const IFileSystem& files, const std::string& path, int dpi);

// The picture resampled over a whole new surface of that size (a copy when
// the sizes agree); empty pictures give a transparent surface.
LayeredSurface StretchTo(ICanvas& canvas, const LayeredSurface& picture, int width, int height);

}  // namespace qv::picture
