#pragma once

// The keyboard's focus on an item, as the presentation that shows the item
// draws it: the focus ring on the item's picture.

#include <utility>

#include "picture/FocusRing.h"
#include "platform/Surface.h"

namespace qv::catalogue {

// Told by the focus's owner when an item takes or loses the focus; only
// those two items are drawn again.
class IItemFocus {
 public:
  virtual ~IItemFocus() = default;
  virtual void ShowFocus(int slot, bool focused) = 0;
};

// The ring on one item's picture, and the picture as it was under it, so
// that the ring comes off again without the picture being made anew.
class FocusMark {
 public:
  int Slot() const { return slot_; }
  // Draws the ring onto the picture of slot.
  void Put(int slot, LayeredSurface& picture, int dpi) {
    slot_ = slot;
    clean_ = picture;
    picture::DrawFocusRing(picture, dpi);
    marked_ = picture;
  }
  // The picture as it was under the ring, while it still shows the ring as
  // drawn; a picture drawn anew since keeps what it is. The mark is gone after.
  bool Take(LayeredSurface& picture) {
    const bool same = picture.width == marked_.width && picture.height == marked_.height &&
                      picture.pixels == marked_.pixels;
    if (same) picture = std::move(clean_);
    *this = FocusMark{};
    return same;
  }
  // What a presentation's ShowFocus does to the item's picture: the ring put
  // on, or taken off. False when the picture did not change.
  bool Show(int slot, bool focused, LayeredSurface& picture, int dpi) {
    if (!focused) return Take(picture);
    Put(slot, picture, dpi);
    return true;
  }

 private:
  int slot_ = 0;
  LayeredSurface clean_;
  LayeredSurface marked_;
};

}  // namespace qv::catalogue
