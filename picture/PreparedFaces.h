#pragma once

// Items' finished pictures (the plate with the item's picture on it, as its
// window shows it) drawn while the start waits for the window system: each
// item's first draw copies its own instead of drawing it again. Kept by slot
// with the picture file they show, so a slot whose entry changed meanwhile
// draws afresh.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace qv::picture {

class PreparedFaces {
 public:
  // Room for count faces of that size in one block. Faces of their own would
  // each be a small block, and small blocks stay with the heap after the start.
  void Reserve(int count, int width, int height);
  void Put(int slot, const std::string& path, const LayeredSurface& face);
  // Copies the slot's face into `into` when it was drawn for path at into's
  // size; false otherwise. Either way the slot keeps nothing: a face serves
  // one draw.
  bool Take(int slot, const std::string& path, LayeredSurface& into);
  bool Empty() const { return entries_.empty(); }
  // Gives the block back.
  void Clear();

 private:
  struct Entry {
    std::string path;
    std::size_t offset = 0;
    int width = 0, height = 0;
  };
  std::vector<std::uint32_t> pixels_;
  std::map<int, Entry> entries_;
};

}  // namespace qv::picture
