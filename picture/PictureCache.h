#pragma once

// Item pictures kept while the items are built at start: a file the ring and
// the dock show on many items is read and decoded once for each scale. Out
// of a start the cache keeps nothing and every load reads the file afresh,
// so a picture the user replaced on disk shows at its next draw.

#include <map>
#include <string>
#include <utility>

#include "platform/Surface.h"

namespace qv {
class IFileSystem;
}  // namespace qv

namespace qv::picture {

class PictureCache {
 public:
  explicit PictureCache(const IFileSystem& files) : files_(files) {}
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The item picture of the file at that DPI (LoadPictureFileForDpi); empty
  // when it cannot be read.
  LayeredSurface Load(const std::string& path, int dpi);
  // Keeps what is loaded from now on; End forgets it all.
  void Begin() { keeping_ = true; }
  void End();

 private:
  const IFileSystem& files_;
  bool keeping_ = false;
  std::map<std::pair<std::string, int>, LayeredSurface> kept_;
};

// Keeps pictures for as long as it lives: the span of one start.
class PictureCacheScope {
 public:
  explicit PictureCacheScope(PictureCache& cache) : cache_(cache) { cache_.Begin(); }
  ~PictureCacheScope() { cache_.End(); }
  PictureCacheScope(const PictureCacheScope&) = delete;
  PictureCacheScope& operator=(const PictureCacheScope&) = delete;

 private:
  PictureCache& cache_;
};

}  // namespace qv::picture
