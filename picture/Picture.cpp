#include "picture/Picture.h"

#include <optional>
#include <utility>

#include "picture/IcoFile.h"
#include "picture/PngLoader.h"
#include "platform/Platform.h"

namespace qv::picture {

LayeredSurface LoadPictureBytes(std::string_view bytes, int icoSize) {
  if (HasPngSignature(bytes)) return PremultiplyStandard(DecodePng(bytes));
  if (LooksLikeIco(bytes)) {
    if (std::optional<IcoImage> ico = ReadIcoForDrawing(bytes, icoSize)) return std::move(ico->picture);
  }
  return {};
}

LayeredSurface LoadPictureFile(const IFileSystem& files, const std::string& path) {
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  return LoadPictureBytes(*bytes);
}

}  // namespace qv::picture
