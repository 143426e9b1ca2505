#include "picture/PictureCache.h"

#include "picture/DpiPictures.h"

namespace qv::picture {

LayeredSurface PictureCache::Load(const std::string& path, int dpi) {
  if (!keeping_) return LoadPictureFileForDpi(files_, path, dpi);
  const auto key = std::make_pair(path, dpi);
  if (const auto it = kept_.find(key); it != kept_.end()) return it->second;
  // A file that cannot be read is kept as no picture: it is not tried again.
  return kept_.emplace(key, LoadPictureFileForDpi(files_, path, dpi)).first->second;
}

void PictureCache::End() {
  keeping_ = false;
  kept_.clear();
}

}  // namespace qv::picture
