#pragma once

// The in-memory catalogue: 260 slot records, 1..20 the ring, 21..260 the dock
// (kept without gaps). A record is the in-memory form of one item element of
// the configuration file; the two are kept in step by the code that changes
// either.

#include <array>
#include <cassert>
#include <string>

#include "catalogue/WindowTable.h"
#include "config/ItemFile.h"
#include "platform/Platform.h"

namespace qv::catalogue {

inline constexpr int kRingSlots = 20;
inline constexpr int kDockSlots = config::kDockItemLimit;
inline constexpr int kSlotCount = kRingSlots + kDockSlots;

struct TImageIconRec {
  int OffsetX = 0;  // ring slots: window position relative to the main form
  int OffsetY = 0;
  std::string File;  // the launch target; empty means the slot is free
  std::string Argument;
  std::string IconPath;  // the picture in effect
  std::string InitialPosition;  // working directory
  LayeredSurface Surface;  // plate with the icon drawn in, 50 x 50
  WindowId Window = kNoWindow;
  std::string Hint;  // the display name, shown by the label
};

class ItemSlots {
 public:
  TImageIconRec& operator[](int slot) {
    assert(slot >= 1 && slot <= kSlotCount);
    return records_[static_cast<std::size_t>(slot)];
  }
  const TImageIconRec& operator[](int slot) const {
    assert(slot >= 1 && slot <= kSlotCount);
    return records_[static_cast<std::size_t>(slot)];
  }

  // The dock's items fill slots 21 .. 20 + DockCount() without gaps; the
  // drop and removal code changes the count with the records.
  int DockCount() const { return dockCount_; }
  void SetDockCount(int count) { dockCount_ = count; }

  // Every window of the presentations, by id.
  WindowTable& Windows() { return windows_; }
  const WindowTable& Windows() const { return windows_; }

 private:
  std::array<TImageIconRec, kSlotCount + 1> records_{};  // record 0 is never used
  int dockCount_ = 0;
  WindowTable windows_;
};

}  // namespace qv::catalogue
