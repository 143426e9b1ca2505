// One line of text with GDI+, measured and drawn with the same font, format
// and rendering hint, so the measured box is where the text lands.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Canvas.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/GdiPlus.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"

namespace qv::win32 {
namespace {

namespace gp = Gdiplus::DllExports;

// Faces with the common Chinese characters, by the names Windows and other
// systems give them; tried when the asked face lacks a glyph of the text
// (a label font of "宋体" on a system without it).
constexpr const wchar_t* kFallbackFaces[] = {
    L"Microsoft YaHei",
    L"SimSun",
    L"NSimSun",
    L"SimHei",
    L"Noto Sans CJK SC",
    L"Source Han Sans SC",
    L"WenQuanYi Micro Hei",
    L"WenQuanYi Zen Hei",
    L"Droid Sans Fallback",
    L"Arial Unicode MS",
    L"MS Gothic",
};

constexpr Gdiplus::TextRenderingHint kHint = Gdiplus::TextRenderingHintAntiAliasGridFit;

// Points at the DPI the surface is drawn for (96 at 100 %).
int EmPixels(const FontDesc& font) {
  return ::MulDiv(font.pointSize > 0 ? font.pointSize : 1, font.dpi > 0 ? font.dpi : kBaseDpi, 72);
}

LOGFONTW LogFontFor(const FontDesc& font, const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfHeight = -EmPixels(font);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfStrikeOut = font.strikeout ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  // GDI+ draws only outline fonts: the mapping must not pick a bitmap font.
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

// Whether the font GDI maps the LOGFONT to has a glyph for every character.
// Characters outside the basic plane cannot be asked about this way and
// are left to the system.
bool Covers(HDC dc, const LOGFONTW& lf, const std::wstring& text) {
  UniqueFont font(::CreateFontIndirectW(&lf));
  if (!font) return false;
  SelectionGuard selected(dc, font.Get());
  if (!selected.Selected()) return false;
  std::vector<WORD> glyphs(text.size());
  if (::GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
      GDI_ERROR) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF)) continue;
    if (glyphs[i] == 0xFFFF) return false;
  }
  return true;
}

int CALLBACK AddFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM list) noexcept {
  try {
    auto& faces = *reinterpret_cast<std::vector<std::wstring>*>(list);
    const std::wstring face = lf->lfFaceName;
    // Vertical variants ("@SimSun") draw sideways.
    if ((type & TRUETYPE_FONTTYPE) && !face.empty() && face[0] != L'@' &&
        std::find(faces.begin(), faces.end(), face) == faces.end()) {
      faces.push_back(face);
    }
    return 1;
  } catch (...) {
    ReportFailure(Severity::Warning, "Listing the fonts failed");
    return 0;
  }
}

// Enough for every item name of both presentations, with room to spare.
constexpr std::size_t kCachedChoices = 512;

// The face to draw the text with: the asked face when it has the glyphs,
// otherwise the first face that does. When none has them all, the asked
// face stays and the system's font linking does what it can.
std::wstring ChooseFace(HDC dc, const FontDesc& font, const std::wstring& text, TextFaceCache& cache) {
  const std::wstring asked = Widen(font.face);
  if (Covers(dc, LogFontFor(font, asked), text)) return asked;
  const std::wstring key = asked + L"\n" + text;
  if (auto known = cache.chosen.find(key); known != cache.chosen.end()) return known->second;
  std::wstring chosen = asked;
  bool found = false;
  for (const wchar_t* face : kFallbackFaces) {
    if (Covers(dc, LogFontFor(font, face), text)) {
      chosen = face;
      found = true;
      break;
    }
  }
  if (!found) {
    if (!cache.listed) {
      LOGFONTW all{};
      all.lfCharSet = DEFAULT_CHARSET;
      ::EnumFontFamiliesExW(dc, &all, &AddFace, reinterpret_cast<LPARAM>(&cache.installed), 0);
      cache.listed = true;
    }
    for (const std::wstring& face : cache.installed) {
      if (Covers(dc, LogFontFor(font, face), text)) {
        chosen = face;
        break;
      }
    }
  }
  if (cache.chosen.size() >= kCachedChoices) cache.chosen.clear();
  cache.chosen.emplace(key, chosen);
  return chosen;
}

UniqueGpFont MakeFont(HDC dc, const LOGFONTW& lf, const FontDesc& desc) {
  Gdiplus::GpFont* raw = nullptr;
  if (gp::GdipCreateFontFromLogfontW(dc, &lf, &raw) == Gdiplus::Ok && raw) return UniqueGpFont(raw);
  // GDI+ refused what GDI mapped: its generic sans serif at the same size.
  Gdiplus::GpFontFamily* rawFamily = nullptr;
  if (gp::GdipGetGenericFontFamilySansSerif(&rawFamily) != Gdiplus::Ok || !rawFamily) return UniqueGpFont();
  UniqueGpFontFamily family(rawFamily);
  const INT style = (desc.bold ? Gdiplus::FontStyleBold : 0) | (desc.italic ? Gdiplus::FontStyleItalic : 0) |
                    (desc.underline ? Gdiplus::FontStyleUnderline : 0) |
                    (desc.strikeout ? Gdiplus::FontStyleStrikeout : 0);
  raw = nullptr;
  if (gp::GdipCreateFont(family.Get(), static_cast<Gdiplus::REAL>(EmPixels(desc)), style, Gdiplus::UnitPixel, &raw) !=
      Gdiplus::Ok) {
    return UniqueGpFont();
  }
  return UniqueGpFont(raw);
}

// Typographic: the box is the text's advance and line height, without the
// margin the default format adds; trailing spaces count, nothing wraps.
UniqueGpStringFormat MakeFormat() {
  Gdiplus::GpStringFormat* generic = nullptr;  // owned by GDI+
  Gdiplus::GpStringFormat* raw = nullptr;
  if (gp::GdipStringFormatGetGenericTypographic(&generic) != Gdiplus::Ok ||
      gp::GdipCloneStringFormat(generic, &raw) != Gdiplus::Ok || !raw) {
    return UniqueGpStringFormat();
  }
  UniqueGpStringFormat format(raw);
  INT flags = 0;
  gp::GdipGetStringFormatFlags(raw, &flags);
  gp::GdipSetStringFormatFlags(
      raw, flags | Gdiplus::StringFormatFlagsMeasureTrailingSpaces | Gdiplus::StringFormatFlagsNoWrap);
  return format;
}

// A graphics over the pixels of a surface, with the text hint set.
struct SurfaceGraphics {
  UniqueGpBitmap bitmap;
  UniqueGpGraphics graphics;
};

std::optional<SurfaceGraphics> GraphicsOver(LayeredSurface& surface) {
  Gdiplus::GpBitmap* rawBitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(surface.width, surface.height, surface.width * 4, PixelFormat32bppPARGB,
                                    reinterpret_cast<BYTE*>(surface.pixels.data()), &rawBitmap) != Gdiplus::Ok ||
      !rawBitmap) {
    return std::nullopt;
  }
  SurfaceGraphics result{UniqueGpBitmap(rawBitmap), UniqueGpGraphics()};
  Gdiplus::GpGraphics* rawGraphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(rawBitmap, &rawGraphics) != Gdiplus::Ok || !rawGraphics) return std::nullopt;
  result.graphics.Reset(rawGraphics);
  gp::GdipSetTextRenderingHint(rawGraphics, kHint);
  return result;
}

// The font, format and metrics one line is measured and drawn with. GDI+
// gets the face without underline and strikeout: not every GDI+ draws them
// (Wine's does not), so the lines are drawn here, the same everywhere.
struct PreparedText {
  UniqueGpFont font;
  UniqueGpStringFormat format;
  int ascent = 0;  // baseline below the top of the line
  int underlineTop = 0, underlineHeight = 0;
  int strikeoutTop = 0, strikeoutHeight = 0;
};

std::optional<PreparedText> Prepare(const FontDesc& font, const std::wstring& text, TextFaceCache& faces) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return std::nullopt;
  LOGFONTW lf = LogFontFor(font, ChooseFace(dc.Get(), font, text, faces));
  lf.lfUnderline = FALSE;
  lf.lfStrikeOut = FALSE;
  PreparedText prepared;
  FontDesc plain = font;
  plain.underline = plain.strikeout = false;
  prepared.font = MakeFont(dc.Get(), lf, plain);
  prepared.format = MakeFormat();
  if (!prepared.font || !prepared.format) return std::nullopt;
  if (font.underline || font.strikeout) {
    UniqueFont gdiFont(::CreateFontIndirectW(&lf));
    SelectionGuard selected(dc.Get(), gdiFont.Get());
    OUTLINETEXTMETRICW metrics{};
    metrics.otmSize = sizeof(metrics);
    if (gdiFont && selected.Selected() && ::GetOutlineTextMetricsW(dc.Get(), sizeof(metrics), &metrics)) {
      // Positions count upwards from the baseline.
      prepared.ascent = static_cast<int>(metrics.otmTextMetrics.tmAscent);
      prepared.underlineHeight = std::max(1, static_cast<int>(metrics.otmsUnderscoreSize));
      prepared.underlineTop = prepared.ascent - metrics.otmsUnderscorePosition;
      prepared.strikeoutHeight = std::max(1, static_cast<int>(metrics.otmsStrikeoutSize));
      prepared.strikeoutTop = prepared.ascent - metrics.otmsStrikeoutPosition;
    }
  }
  return prepared;
}

std::optional<Gdiplus::RectF> Measure(Gdiplus::GpGraphics* graphics, const std::wstring& text,
                                      const PreparedText& prepared) {
  const Gdiplus::RectF layout(0, 0, 0, 0);  // no limits
  Gdiplus::RectF box;
  if (gp::GdipMeasureString(graphics, text.c_str(), static_cast<INT>(text.size()), prepared.font.Get(), &layout,
                            prepared.format.Get(), &box, nullptr, nullptr) != Gdiplus::Ok) {
    return std::nullopt;
  }
  return box;
}

}  // namespace

Size Win32Canvas::MeasureText(const std::string& utf8, const FontDesc& font) {
  const std::wstring text = Widen(utf8);
  if (text.empty() || !TextReady()) return Size{};
  std::optional<PreparedText> prepared = Prepare(font, text, faces_);
  // Measured on a bitmap graphics like the one drawn on, with the same hint:
  // grid fitting changes the advances.
  LayeredSurface scratch(1, 1);
  std::optional<SurfaceGraphics> surface = GraphicsOver(scratch);
  if (!prepared || !surface) return Size{};
  const std::optional<Gdiplus::RectF> box = Measure(surface->graphics.Get(), text, *prepared);
  if (!box) return Size{};
  return Size{static_cast<int>(std::ceil(box->Width)), static_cast<int>(std::ceil(box->Height))};
}

void Win32Canvas::DrawText(LayeredSurface& target, const std::string& utf8, const FontDesc& font,
                             std::uint32_t colour, Point origin) {
  const std::wstring text = Widen(utf8);
  if (text.empty() || !WholeSurface(target) || !TextReady()) return;
  std::optional<PreparedText> prepared = Prepare(font, text, faces_);
  std::optional<SurfaceGraphics> surface = GraphicsOver(target);
  if (!prepared || !surface) return;
  Gdiplus::GpGraphics* graphics = surface->graphics.Get();
  // 0x00BBGGRR, as colours are written in the configuration, to opaque ARGB.
  const Gdiplus::ARGB argb = 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
  Gdiplus::GpSolidFill* rawBrush = nullptr;
  if (gp::GdipCreateSolidFill(argb, &rawBrush) != Gdiplus::Ok || !rawBrush) return;
  UniqueGpBrush brush(rawBrush);
  const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(origin.x), static_cast<Gdiplus::REAL>(origin.y), 0, 0);
  gp::GdipDrawString(graphics, text.c_str(), static_cast<INT>(text.size()), prepared->font.Get(), &layout,
                     prepared->format.Get(), brush.Get());
  if (font.underline || font.strikeout) {
    // Whole pixels under the measured advance of the text.
    const std::optional<Gdiplus::RectF> box = Measure(graphics, text, *prepared);
    const int width = box ? static_cast<int>(std::ceil(box->Width)) : 0;
    if (font.underline) {
      gp::GdipFillRectangleI(graphics, brush.Get(), origin.x, origin.y + prepared->underlineTop, width,
                             prepared->underlineHeight);
    }
    if (font.strikeout) {
      gp::GdipFillRectangleI(graphics, brush.Get(), origin.x, origin.y + prepared->strikeoutTop, width,
                             prepared->strikeoutHeight);
    }
  }
  // Everything lands in the target's pixels before the wrappers go.
  gp::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
}

}  // namespace qv::win32
