#include "picture/PreparedFaces.h"

#include <algorithm>

namespace qv::picture {

namespace {
std::size_t Pixels(int width, int height) { return static_cast<std::size_t>(PixelCount(width, height)); }
}  // namespace

void PreparedFaces::Reserve(int count, int width, int height) {
  if (count > 0 && width > 0 && height > 0)
    pixels_.reserve(pixels_.size() + Pixels(width, height) * static_cast<std::size_t>(count));
}

void PreparedFaces::Put(int slot, const std::string& path, const LayeredSurface& face) {
  if (!face.Whole()) return;
  const std::size_t count = Pixels(face.width, face.height);
  entries_[slot] = Entry{path, pixels_.size(), face.width, face.height};
  pixels_.insert(pixels_.end(), face.pixels.begin(), face.pixels.begin() + static_cast<std::ptrdiff_t>(count));
}

bool PreparedFaces::Take(int slot, const std::string& path, LayeredSurface& into) {
  const auto it = entries_.find(slot);
  if (it == entries_.end()) return false;
  const Entry entry = it->second;
  entries_.erase(it);
  if (entry.path != path || entry.width != into.width || entry.height != into.height || !into.Whole()) return false;
  std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(entry.offset), Pixels(entry.width, entry.height),
              into.pixels.begin());
  return true;
}

void PreparedFaces::Clear() {
  entries_.clear();
  std::vector<std::uint32_t>().swap(pixels_);
}

}  // namespace qv::picture
