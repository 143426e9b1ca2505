// Shortcuts made here with the shell's own link object and read back, and
// icons handed out by the shell written as .ico files that the system can
// load again, pixel for pixel where we chose the pixels.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "picture/IcoFile.h"
#include "platform/win32/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/IconFile.h"
#include "platform/win32/OleApartment.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/check/Check.h"

// After the backend's view of <windows.h>.
// clang-format off
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

namespace qv::win32::check {
namespace {

std::size_t Stride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

// Icon file bytes as the system loads them and as the program's own reader
// draws them (premultiplied); nothing when either refuses them.
std::optional<picture::IcoImage> Read(const std::optional<std::string>& bytes) {
  if (!bytes || bytes->size() <= 22) return std::nullopt;
  auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(bytes->data() + 22));
  UniqueIcon loaded(::CreateIconFromResourceEx(image, static_cast<DWORD>(bytes->size() - 22), TRUE, 0x00030000, 0, 0,
                                               LR_DEFAULTCOLOR));
  if (!loaded) return std::nullopt;
  return picture::ReadIcoForDrawing(*bytes);
}

// A 32-bit icon whose top-left quarter is half-transparent red, a pixel in
// its bottom-right corner opaque blue, the rest clear. Without alpha, the
// same colours with alpha 0 everywhere, as a display without alpha makes them.
UniqueIcon MakeColourIcon(int size, bool withAlpha) {
  BITMAPINFO header{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB}};
  void* bits = nullptr;
  WindowDc screen;
  UniqueBitmap colour(
      ::CreateDIBSection(screen.Get(), &header, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour || !bits) return UniqueIcon();
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::vector<std::uint8_t> maskBits(Stride(size, 1) * size, 0xFF);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t p = 0;
      if (x < size / 2 && y < size / 2) p = 0x80FF0000;  // straight alpha, as icons keep it
      if (x == size - 1 && y == size - 1) p = 0xFF0000FF;
      pixels[y * size + x] = withAlpha ? p : p & 0x00FFFFFF;
      if (p) maskBits[y * Stride(size, 1) + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    }
  }
  UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));
  ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
  return UniqueIcon(::CreateIconIndirect(&info));
}

void CheckIconWriter() {
  QV_EXPECT(!IconFileBytes(nullptr));
  UniqueIcon alpha = MakeColourIcon(32, true);
  UniqueIcon noAlpha = MakeColourIcon(32, false);
  struct Case {
    HICON icon;
    int size, bitCount;
    Point clear, first, second;
    std::uint32_t firstPixel, secondPixel;  // premultiplied, as drawn
  };
  const Case cases[] = {
      // Straight alpha kept as it is: the half-transparent quarter stays half.
      {alpha.Get(), 32, 32, {20, 5}, {0, 0}, {31, 31}, PackBgra(0, 0, 128, 128), PackBgra(255, 0, 0, 255)},
      // Without alpha the mask says what is seen: opaque where it is clear.
      {noAlpha.Get(), 32, 32, {20, 5}, {0, 0}, {31, 31}, PackBgra(0, 0, 255, 255), PackBgra(255, 0, 0, 255)},
  };
  for (const Case& c : cases) {
    const std::optional<picture::IcoImage> read = Read(IconFileBytes(c.icon));
    QV_EXPECT(read && read->width == c.size && read->height == c.size && read->bitCount == c.bitCount);
    if (!read) continue;
    const LayeredSurface& s = read->picture;
    char text[120];
    std::snprintf(text, sizeof text, "%d-bit icon read as %08X %08X %08X", c.bitCount, s.At(c.clear.x, c.clear.y),
                  s.At(c.first.x, c.first.y), s.At(c.second.x, c.second.y));
    const bool pixels = AlphaOf(s.At(c.clear.x, c.clear.y)) == 0 && s.At(c.first.x, c.first.y) == c.firstPixel &&
                        s.At(c.second.x, c.second.y) == c.secondPixel;
    QV_EXPECT_ABOUT(pixels, text);
  }
}

// A link saved by the shell's own link object: to a path, or to a shell
// object given by its ID list.
bool SaveLink(const std::string& linkPath, const std::string& target, LPCITEMIDLIST idList = nullptr) {
  // As the backend does before its own link objects.
  EnsureOleApartment();
  IShellLinkW* rawLink = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink)))) {
    return false;
  }
  ComPtr<IShellLinkW> link(rawLink);
  if (idList ? FAILED(rawLink->SetIDList(idList)) : FAILED(rawLink->SetPath(Widen(target).c_str()))) return false;
  rawLink->SetArguments(L"--flag");
  IPersistFile* rawFile = nullptr;
  if (FAILED(rawLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return false;
  ComPtr<IPersistFile> file(rawFile);
  return SUCCEEDED(rawFile->Save(Widen(linkPath).c_str(), TRUE));
}

void CheckShortcuts(IShell& shell) {
  const std::string folder = TempFolder("qvshell-");
  QV_EXPECT(::CreateDirectoryW(Widen(folder).c_str(), nullptr));
  const std::string program = folder + "工具 1.exe";
  Win32Files files;
  QV_EXPECT(files.WriteFileAtomic(program, "MZ") && files.WriteFileAtomic(folder + "garbage.lnk", "no link\r\n"));
  LPITEMIDLIST drives = nullptr;
  QV_EXPECT(SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));

  // A target no longer there is still the target; a link to something that
  // is no file has an empty one; what cannot be loaded as a link has none.
  const struct {
    const char* link;
    std::optional<std::string> target;
    LPCITEMIDLIST idList;
  } cases[] = {
      {"工具.lnk", program, nullptr},
      {"gone.lnk", folder + "uninstalled\\old.exe", nullptr},
      {"computer.lnk", "", drives},
      {"missing.lnk", std::nullopt, nullptr},
      {"garbage.lnk", std::nullopt, nullptr},
  };
  for (const auto& c : cases) {
    const std::string link = folder + c.link;
    if (c.target) QV_EXPECT_ABOUT(SaveLink(link, *c.target, c.idList), c.link);
    const std::optional<std::string> resolved = shell.ResolveShortcut(link);
    QV_EXPECT_ABOUT(resolved == c.target, std::string(c.link) + " resolved to " + resolved.value_or("(nothing)"));
    ::DeleteFileW(Widen(link).c_str());
  }
  ::CoTaskMemFree(drives);
  QV_EXPECT(!shell.ResolveShortcut(""));
  ::DeleteFileW(Widen(program).c_str());
  QV_EXPECT(::RemoveDirectoryW(Widen(folder).c_str()));
}

}  // namespace

void CheckShell() {
  // The platform starts COM for the thread, as the program does.
  Win32Platform platform(::GetModuleHandleW(nullptr));
  IShell& shell = platform.Interfaces().shell;
  CheckShortcuts(shell);
  CheckIconWriter();
}

}  // namespace qv::win32::check
