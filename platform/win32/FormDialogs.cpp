// The common dialogs the forms open, and the program's own file version.

#include <array>
#include <vector>

// First: the seam's names must be read before <windows.h> makes macros of them.
#include "platform/win32/Forms.h"
#include "platform/win32/OleApartment.h"
#include "platform/win32/Utf.h"

namespace qv::win32 {

namespace {

// "Description|pattern|..." as the dialog wants it: pairs separated by NULs,
// the whole ended by two.
std::wstring FilterPairs(const std::string& filter) {
  std::wstring pairs = Widen(filter);
  if (pairs.empty()) return pairs;
  for (wchar_t& c : pairs)
    if (c == L'|') c = L'\0';
  pairs.push_back(L'\0');
  pairs.push_back(L'\0');
  return pairs;
}

}  // namespace

std::optional<std::string> Win32Forms::OpenFileDialog(FormId owner, const std::string& title,
                                                      const std::string& filter) {
  const Form* form = Get(owner);
  std::vector<wchar_t> path(32768, L'\0');
  const std::wstring filters = FilterPairs(filter);
  const std::wstring wideTitle = Widen(title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = form ? form->window.Get() : nullptr;
  ofn.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrTitle = NullIfEmpty(wideTitle);
  // The program's folder is its working directory's business, not the dialog's.
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  EnsureOleApartment();
  if (!::GetOpenFileNameW(&ofn)) return std::nullopt;
  return Narrow(path.data());
}

std::optional<FontChoice> Win32Forms::ChooseFont(FormId owner, const FontChoice& initial) {
  const Form* form = Get(owner);
  LOGFONTW font{};
  const std::wstring face = Widen(initial.face);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  {
    WindowDc screen;
    font.lfHeight = -::MulDiv(initial.size, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  }
  font.lfWeight = initial.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = initial.italic;
  font.lfUnderline = initial.underline;
  font.lfStrikeOut = initial.strikeout;
  font.lfCharSet = DEFAULT_CHARSET;
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = form ? form->window.Get() : nullptr;
  cf.lpLogFont = &font;
  cf.rgbColors = initial.color;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!::ChooseFontW(&cf)) return std::nullopt;
  FontChoice chosen;
  chosen.face = Narrow(font.lfFaceName);
  chosen.size = cf.iPointSize / 10;
  chosen.bold = font.lfWeight >= FW_BOLD;
  chosen.italic = font.lfItalic != 0;
  chosen.underline = font.lfUnderline != 0;
  chosen.strikeout = font.lfStrikeOut != 0;
  chosen.color = cf.rgbColors;
  return chosen;
}

std::optional<std::uint32_t> Win32Forms::ChooseColor(FormId owner, std::uint32_t initial) {
  const Form* form = Get(owner);
  // The custom colours the user mixed are kept for the life of the program.
  static std::array<COLORREF, 16> custom = [] {
    std::array<COLORREF, 16> c{};
    c.fill(RGB(255, 255, 255));
    return c;
  }();
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = form ? form->window.Get() : nullptr;
  cc.rgbResult = initial;
  cc.lpCustColors = custom.data();
  cc.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR;
  if (!::ChooseColorW(&cc)) return std::nullopt;
  return static_cast<std::uint32_t>(cc.rgbResult);
}

std::optional<FileVersion> Win32Forms::ProgramFileVersion() const {
  std::vector<wchar_t> path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.data(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.data(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != 0xFEEF04BD)
    return std::nullopt;
  return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                     LOWORD(fixed->dwFileVersionLS)};
}

}  // namespace qv::win32
