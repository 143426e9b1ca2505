#include "platform/win32/Canvas.h"

#include "platform/software/Resampler.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/GdiPlus.h"

namespace qv::win32 {

Win32Canvas::~Win32Canvas() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

// Pictures are ours to draw: the same resampler on every machine, and no
// imaging library loaded for them.
void Win32Canvas::DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) {
  software::DrawPicture(target, picture, params);
}

// GDI+ (and the COM libraries it brings) is loaded with the first text: a
// session that never shows a label never pays for it.
bool Win32Canvas::TextReady() {
  if (token_) return true;
  if (gdiPlusFailed_) return false;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  const Gdiplus::Status status = Gdiplus::GdiplusStartup(&token, &input, nullptr);
  if (status != Gdiplus::Ok) {
    gdiPlusFailed_ = true;
    ReportFailure(Severity::Error, "GDI+ did not start (status " + std::to_string(static_cast<int>(status)) +
                                       "): labels and texts are not drawn");
    return false;
  }
  token_ = token;
  return true;
}

}  // namespace qv::win32
