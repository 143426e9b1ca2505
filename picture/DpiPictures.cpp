#include "picture/DpiPictures.h"

#include <cmath>
#include <optional>

#include "picture/IcoFile.h"
#include "picture/Picture.h"
#include "picture/PngLoader.h"
#include "platform/Platform.h"

namespace qv::picture {

namespace {

// The side an item's picture is drawn at in its plate, at 1x.
constexpr int kItemPictureSide = 48;

}  // namespace

int ArtScaleForDpi(int dpi) {
  if (dpi <= kBaseDpi) return 100;
  if (dpi <= kBaseDpi * 3 / 2) return 150;
  return 200;
}

std::string ResourceType(int scale) {
  if (scale == 100) return "PNG";
  return "PNG" + std::to_string(scale);
}

std::string FileVariant(const std::string& path, int scale) {
  if (scale == 100) return path;
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot) + "@" + std::to_string(scale) + path.substr(dot);
}

LayeredSurface PhysicalSurface(int logicalWidth, int logicalHeight, int dpi) {
  return LayeredSurface(ScaleForDpi(logicalWidth, dpi), ScaleForDpi(logicalHeight, dpi));
}

RectF ScaleRectF(const RectF& r, int dpi) {
  const double k = static_cast<double>(dpi) / kBaseDpi;
  return {r.x * k, r.y * k, r.width * k, r.height * k};
}

Rect ScaleEdges(const Rect& r, int dpi) {
  const int left = ScaleForDpi(r.left, dpi);
  const int top = ScaleForDpi(r.top, dpi);
  return {left, top, ScaleForDpi(r.left + r.width, dpi) - left, ScaleForDpi(r.top + r.height, dpi) - top};
}

LayeredSurface LoadPremultipliedPngForDpi(const ISystem& system, const std::string& name, int dpi) {
  const int scale = ArtScaleForDpi(dpi);
  if (scale != 100) {
    LayeredSurface variant = LoadPremultipliedPng(system, name, ResourceType(scale));
    if (!variant.Empty()) return variant;
  }
  return LoadPremultipliedPng(system, name);
}

LayeredSurface LoadPremultipliedPngFileForDpi(const IFileSystem& files, const std::string& path, int dpi) {
  const int scale = ArtScaleForDpi(dpi);
  if (const std::string variant = FileVariant(path, scale); variant != path && files.FileExists(variant)) {
    LayeredSurface picture = LoadPremultipliedPngFile(files, variant);
    if (!picture.Empty()) return picture;
  }
  return LoadPremultipliedPngFile(files, path);
}

LayeredSurface LoadPictureFileForDpi(const IFileSystem& files, const std::string& path, int dpi) {
  const int scale = ArtScaleForDpi(dpi);
  if (const std::string variant = FileVariant(path, scale); variant != path && files.FileExists(variant)) {
    LayeredSurface picture = LoadPictureFile(files, variant);
    if (!picture.Empty()) return picture;
  }
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  return LoadPictureBytes(*bytes, ScaleForDpi(kItemPictureSide, dpi));
}

LayeredSurface StretchTo(ICanvas& canvas, const LayeredSurface& picture, int width, int height) {
  if (picture.width == width && picture.height == height && picture.Whole()) return picture;
  LayeredSurface surface(width, height);
  if (picture.Empty()) return surface;
  DrawParams params;
  params.destination = {0, 0, static_cast<double>(width), static_cast<double>(height)};
  params.blend = Blend::SourceCopy;
  canvas.DrawImage(surface, picture, params);
  return surface;
}

}  // namespace qv::picture
