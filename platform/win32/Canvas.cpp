#include "platform/win32/Canvas.h"

#include <cmath>

#include "platform/win32/GdiPlus.h"

namespace qv::win32 {
namespace {

// Clears the target pixels whose centres fall inside the destination
// rectangle once the rotation is undone: the pixels the picture covers.
void ClearCovered(LayeredSurface& target, const DrawParams& params) {
  const RectF& d = params.destination;
  const double angle = params.rotationDegrees * 3.14159265358979323846 / 180.0;
  const double cs = std::cos(angle);
  const double sn = std::sin(angle);
  const PointF pivot = params.pivot;
  for (int y = 0; y < target.height; ++y) {
    for (int x = 0; x < target.width; ++x) {
      const double px = x + 0.5 - pivot.x;
      const double py = y + 0.5 - pivot.y;
      const double ux = pivot.x + px * cs + py * sn;
      const double uy = pivot.y - px * sn + py * cs;
      if (ux >= d.x && uy >= d.y && ux < d.x + d.width && uy < d.y + d.height) target.At(x, y) = 0;
    }
  }
}

}  // namespace

GdiPlusCanvas::GdiPlusCanvas() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) token_ = token;
}

GdiPlusCanvas::~GdiPlusCanvas() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

void GdiPlusCanvas::DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) {
  if (!token_ || !WholeSurface(target) || !WholeSurface(picture)) return;
  const RectF& d = params.destination;
  if (d.width <= 0 || d.height <= 0) return;
  const RectF s = params.source ? *params.source
                                : RectF{0, 0, static_cast<double>(picture.width), static_cast<double>(picture.height)};
  if (s.width <= 0 || s.height <= 0) return;

  Gdiplus::Bitmap targetBitmap = WrapSurface(target);
  Gdiplus::Bitmap pictureBitmap = WrapSurface(picture);
  if (targetBitmap.GetLastStatus() != Gdiplus::Ok || pictureBitmap.GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::Graphics graphics(&targetBitmap);
  if (graphics.GetLastStatus() != Gdiplus::Ok) return;
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  // Pixel centres at half coordinates, as the destination rectangle means them.
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  // A copy is a draw over cleared pixels. GDI+'s own copy mode is not used:
  // Wine's premultiplies translucent pixels a second time in it.
  if (params.blend == Blend::SourceCopy) ClearCovered(target, params);
  graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
  if (params.rotationDegrees != 0) {
    const auto px = static_cast<Gdiplus::REAL>(params.pivot.x);
    const auto py = static_cast<Gdiplus::REAL>(params.pivot.y);
    graphics.TranslateTransform(px, py);
    graphics.RotateTransform(static_cast<Gdiplus::REAL>(params.rotationDegrees));
    graphics.TranslateTransform(-px, -py);
  }
  // Without this the filter reads transparent pixels beyond the picture's
  // edge and every drawn picture gets a faded rim.
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  const Gdiplus::RectF destination(static_cast<Gdiplus::REAL>(d.x), static_cast<Gdiplus::REAL>(d.y),
                                   static_cast<Gdiplus::REAL>(d.width), static_cast<Gdiplus::REAL>(d.height));
  graphics.DrawImage(&pictureBitmap, destination, static_cast<Gdiplus::REAL>(s.x), static_cast<Gdiplus::REAL>(s.y),
                     static_cast<Gdiplus::REAL>(s.width), static_cast<Gdiplus::REAL>(s.height), Gdiplus::UnitPixel,
                     &attributes);
  // The Graphics writes into the target's own pixels; flushing makes sure
  // all of it has landed before the wrappers go.
  graphics.Flush(Gdiplus::FlushIntentionSync);
}

}  // namespace qv::win32
