#include "catalogue/IconExtraction.h"

#include <string_view>
#include <vector>

#include "picture/IcoFile.h"
#include "catalogue/IconCache.h"

namespace qv::catalogue {

namespace {

constexpr std::size_t kInfoHeaderBytes = 40;  // BITMAPINFOHEADER

std::uint32_t Little(std::span<const unsigned char> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; --k) v = v << 8 | b[at + static_cast<std::size_t>(k)];
  return v;
}

void PutLittle(std::string& out, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>(v >> (8 * k) & 0xFF);
}

// The first `limit` RT_ICON items in list order; the walk stops there, so
// later items are never looked at.
std::vector<std::size_t> CollectIcons(const TPEReader& reader, std::size_t limit) {
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < reader.Count() && found.size() < limit; ++i)
    if (reader.Item(i).typeId == kRtIcon) found.push_back(i);
  return found;
}

// Writes the chosen image once the .ico it makes has proved drawable: the
// cache is never refreshed, so a broken file would stay broken for good.
bool WriteChosen(const TPEReader& reader, std::optional<std::size_t> chosen, int pixelWidth, IFileSystem& files,
                 const std::string& programPath) {
  if (!chosen) return false;
  const TResourceItem& item = reader.Item(*chosen);
  // An image larger than any 256-pixel picture needs is not an icon; it
  // would be copied into the cache and read again at every start.
  if (item.size > kMaxIconImageBytes) return false;
  const std::vector<unsigned char> image = reader.Data(item);
  if (image.size() != item.size) return false;
  const std::string ico = WriteSingleIconFile(image, pixelWidth);
  if (!picture::ReadIcoForDrawing(ico, pixelWidth)) return false;
  return files.WriteFileAtomic(IconCachePath(files, programPath), ico);
}

}  // namespace

std::optional<std::int32_t> IconImageWidth(const TPEReader& reader, const TResourceItem& item) {
  const std::vector<unsigned char> data = reader.Data(item, kInfoHeaderBytes);
  if (data.size() < kInfoHeaderBytes) return std::nullopt;
  return static_cast<std::int32_t>(Little(data, 4, 4));
}

std::optional<std::size_t> ChooseLargeIcon(const TPEReader& reader) {
  std::optional<std::size_t> chosen;
  std::int32_t chosenWidth = 0;
  std::uint32_t chosenSize = 0;
  for (const std::size_t index : CollectIcons(reader, kLargeIconCandidates)) {
    const TResourceItem& item = reader.Item(index);
    const auto width = IconImageWidth(reader, item);
    if (!width || (*width != IconSizeLarge && *width != IconSizeHuge)) continue;
    if (!chosen || (*width == chosenWidth && item.size > chosenSize)) {
      chosen = index;
      chosenWidth = *width;
      chosenSize = item.size;
    }
  }
  return chosen;
}

std::optional<std::size_t> ChooseSmallIcon(const TPEReader& reader) {
  std::optional<std::size_t> chosen;
  std::uint32_t chosenSize = 0;
  for (const std::size_t index : CollectIcons(reader, kSmallIconCandidates)) {
    const TResourceItem& item = reader.Item(index);
    const auto width = IconImageWidth(reader, item);
    if (!width || *width != IconSizeSmall) continue;
    if (item.size > kSmallIconMaxBytes || item.size == kSmallIcon24BitBytes) continue;
    if (item.size >= chosenSize) {
      chosen = index;
      chosenSize = item.size;
    }
  }
  return chosen;
}

std::string WriteSingleIconFile(std::span<const unsigned char> image, int pixelWidth) {
  const auto side = static_cast<std::uint32_t>(pixelWidth >= 256 || pixelWidth < 0 ? 0 : pixelWidth);
  const std::uint32_t bitCount = image.size() >= 16 ? Little(image, 14, 2) : 0;
  std::string out;
  out.reserve(kIcoHeaderBytes + image.size());
  PutLittle(out, 0, 2);  // reserved
  PutLittle(out, 1, 2);  // an icon, not a cursor
  PutLittle(out, 1, 2);  // one image
  PutLittle(out, side, 1);
  PutLittle(out, side, 1);
  PutLittle(out, 0, 1);  // no palette count: the image says
  PutLittle(out, 0, 1);
  PutLittle(out, 1, 2);  // planes
  PutLittle(out, bitCount, 2);
  PutLittle(out, static_cast<std::uint32_t>(image.size()), 4);
  PutLittle(out, static_cast<std::uint32_t>(kIcoHeaderBytes), 4);
  out.append(reinterpret_cast<const char*>(image.data()), image.size());
  return out;
}

bool ExtractLargeIcon(const TPEReader& reader, IFileSystem& files, const std::string& programPath) {
  const auto chosen = ChooseLargeIcon(reader);
  int width = IconSizeLarge;
  if (chosen) width = *IconImageWidth(reader, reader.Item(*chosen));
  return WriteChosen(reader, chosen, width, files, programPath);
}

bool ExtractSmallIcon(const TPEReader& reader, IFileSystem& files, const std::string& programPath) {
  return WriteChosen(reader, ChooseSmallIcon(reader), IconSizeSmall, files, programPath);
}

}  // namespace qv::catalogue
