#include "round/Picture.h"

#include <optional>
#include <utility>

#include "catalogue/IcoFile.h"
#include "platform/Platform.h"
#include "round/PngLoader.h"

namespace qv::round {

LayeredSurface LoadPictureBytes(std::string_view bytes) {
  if (HasPngSignature(bytes)) return PremultiplyStandard(DecodePng(bytes));
  if (catalogue::LooksLikeIco(bytes)) {
    if (std::optional<catalogue::IcoImage> ico = catalogue::ReadIcoForDrawing(bytes)) return std::move(ico->picture);
  }
  return {};
}

LayeredSurface LoadPictureFile(const IFileSystem& files, const std::string& path) {
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  return LoadPictureBytes(*bytes);
}

}  // namespace qv::round
