#pragma once

// Drawing pictures onto surfaces with GDI+, started for the life of the
// object.

#include <cstdint>

#include "platform/Canvas.h"

namespace qv::win32 {

class GdiPlusCanvas final : public ICanvas {
 public:
  GdiPlusCanvas();
  ~GdiPlusCanvas() override;
  GdiPlusCanvas(const GdiPlusCanvas&) = delete;
  GdiPlusCanvas& operator=(const GdiPlusCanvas&) = delete;

  void DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) override;

 private:
  std::uintptr_t token_ = 0;  // zero when GDI+ did not start: nothing is drawn then
};

}  // namespace qv::win32
