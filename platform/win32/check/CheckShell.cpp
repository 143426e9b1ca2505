// Shortcuts made here with the shell's own link object and read back, and
// icons handed out by the shell written as .ico files that the system can
// load again, pixel for pixel where we chose the pixels.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

std::uint16_t U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

std::uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | (std::uint32_t{U16(b, at + 2)} << 16); }

std::size_t Stride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

// What a reader of .ico files needs to find in the bytes.
struct ParsedIcon {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::size_t pixelsAt = 0;  // the XOR rows, bottom row first
  std::size_t maskAt = 0;    // the AND rows, bottom row first
};

std::optional<ParsedIcon> Parse(const std::string& b) {
  if (b.size() < 22 + 40) return std::nullopt;
  if (U16(b, 0) != 0 || U16(b, 2) != 1 || U16(b, 4) != 1) return std::nullopt;
  ParsedIcon icon;
  const int entryWidth = static_cast<std::uint8_t>(b[6]) == 0 ? 256 : static_cast<std::uint8_t>(b[6]);
  const int entryHeight = static_cast<std::uint8_t>(b[7]) == 0 ? 256 : static_cast<std::uint8_t>(b[7]);
  const std::uint32_t bytes = U32(b, 14);
  const std::uint32_t offset = U32(b, 18);
  if (offset != 22 || bytes != b.size() - 22 || U16(b, 10) != 1) return std::nullopt;
  const std::size_t h = offset;
  icon.width = static_cast<int>(U32(b, h + 4));
  icon.height = static_cast<int>(U32(b, h + 8)) / 2;
  icon.bitCount = U16(b, h + 14);
  if (U32(b, h) != 40 || U32(b, h + 16) != BI_RGB || icon.width != entryWidth || icon.height != entryHeight ||
      icon.bitCount != U16(b, 12)) {
    return std::nullopt;
  }
  const std::size_t palette = icon.bitCount <= 8 ? (std::size_t{1} << icon.bitCount) * 4 : 0;
  icon.pixelsAt = h + 40 + palette;
  icon.maskAt = icon.pixelsAt + Stride(icon.width, icon.bitCount) * icon.height;
  if (icon.maskAt + Stride(icon.width, 1) * icon.height != b.size()) return std::nullopt;
  return icon;
}

// The image is one the system itself accepts as an icon.
bool SystemLoads(const std::string& bytes) {
  if (bytes.size() <= 22) return false;
  auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data() + 22));
  UniqueIcon loaded(::CreateIconFromResourceEx(image, static_cast<DWORD>(bytes.size() - 22), TRUE, 0x00030000, 0, 0,
                                               LR_DEFAULTCOLOR));
  return static_cast<bool>(loaded);
}

// Something is seen: an opaque pixel by the mask, and for 32-bit images
// a pixel with alpha too.
bool ShowsSomething(const std::string& b, const ParsedIcon& icon) {
  bool maskOpaque = false;
  for (std::size_t i = icon.maskAt; i < b.size(); ++i) maskOpaque |= static_cast<std::uint8_t>(b[i]) != 0xFF;
  if (icon.bitCount != 32) return maskOpaque;
  bool alpha = false;
  for (std::size_t i = icon.pixelsAt + 3; i < icon.maskAt; i += 4) alpha |= b[i] != 0;
  return maskOpaque && alpha;
}

std::uint32_t PixelAt(const std::string& b, const ParsedIcon& icon, int x, int y) {
  const std::size_t row = static_cast<std::size_t>(icon.height - 1 - y);
  return U32(b, icon.pixelsAt + row * Stride(icon.width, 32) + static_cast<std::size_t>(x) * 4);
}

bool MaskAt(const std::string& b, const ParsedIcon& icon, int x, int y) {
  const std::size_t row = static_cast<std::size_t>(icon.height - 1 - y);
  const auto byte = static_cast<std::uint8_t>(b[icon.maskAt + row * Stride(icon.width, 1) + x / 8]);
  return (byte >> (7 - x % 8)) & 1;
}

// A 32-bit icon whose top-left quarter is half-transparent red, a pixel in
// its bottom-right corner opaque blue, the rest clear. Without alpha, the
// same colours with alpha 0 everywhere, as a display without alpha makes them.
UniqueIcon MakeColourIcon(int size, bool withAlpha) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  WindowDc screen;
  UniqueBitmap colour(
      ::CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
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

  // Pixels and mask come out where they were, rows in file order.
  {
    UniqueIcon icon = MakeColourIcon(32, true);
    QV_EXPECT(static_cast<bool>(icon));
    const std::optional<std::string> bytes = IconFileBytes(icon.Get());
    QV_EXPECT(bytes.has_value());
    const std::optional<ParsedIcon> parsed = bytes ? Parse(*bytes) : std::nullopt;
    QV_EXPECT(parsed.has_value());
    if (parsed) {
      QV_EXPECT(parsed->width == 32 && parsed->height == 32 && parsed->bitCount == 32);
      char text[120];
      std::snprintf(text, sizeof text, "written pixels: %08X %08X %08X", PixelAt(*bytes, *parsed, 0, 0),
                    PixelAt(*bytes, *parsed, 31, 31), PixelAt(*bytes, *parsed, 20, 5));
      const bool pixels =
          PixelAt(*bytes, *parsed, 0, 0) == 0x80FF0000 && PixelAt(*bytes, *parsed, 15, 15) == 0x80FF0000 &&
          PixelAt(*bytes, *parsed, 31, 31) == 0xFF0000FF && (PixelAt(*bytes, *parsed, 20, 5) >> 24) == 0;
      if (!pixels) Note(text);
      QV_EXPECT(pixels);
      QV_EXPECT(!MaskAt(*bytes, *parsed, 0, 0) && !MaskAt(*bytes, *parsed, 31, 31));
      QV_EXPECT(MaskAt(*bytes, *parsed, 20, 5) && MaskAt(*bytes, *parsed, 5, 20));
      QV_EXPECT(SystemLoads(*bytes));
    }
  }

  // Without alpha the mask says what is seen: opaque where it is clear.
  {
    UniqueIcon icon = MakeColourIcon(32, false);
    const std::optional<std::string> bytes = IconFileBytes(icon.Get());
    const std::optional<ParsedIcon> parsed = bytes ? Parse(*bytes) : std::nullopt;
    QV_EXPECT(parsed && parsed->bitCount == 32);
    if (parsed) {
      QV_EXPECT(PixelAt(*bytes, *parsed, 0, 0) == 0xFFFF0000 && PixelAt(*bytes, *parsed, 31, 31) == 0xFF0000FF);
      QV_EXPECT((PixelAt(*bytes, *parsed, 20, 5) >> 24) == 0 && MaskAt(*bytes, *parsed, 20, 5));
    }
  }

  // A monochrome icon: one bitmap holding both halves.
  {
    std::vector<std::uint8_t> andBits(Stride(16, 1) / 2 * 16, 0x00);  // rows of 2 bytes, word-aligned by CreateIcon
    std::vector<std::uint8_t> xorBits(andBits.size(), 0x00);
    andBits[0] = 0x80;           // (0,0) transparent
    xorBits[2 * 15 + 1] = 0x01;  // (15,15) white
    UniqueIcon icon(::CreateIcon(::GetModuleHandleW(nullptr), 16, 16, 1, 1, andBits.data(), xorBits.data()));
    QV_EXPECT(static_cast<bool>(icon));
    const std::optional<std::string> bytes = IconFileBytes(icon.Get());
    const std::optional<ParsedIcon> parsed = bytes ? Parse(*bytes) : std::nullopt;
    QV_EXPECT(parsed && parsed->bitCount == 1 && parsed->width == 16 && parsed->height == 16);
    if (parsed) {
      QV_EXPECT(MaskAt(*bytes, *parsed, 0, 0) && !MaskAt(*bytes, *parsed, 1, 0) && !MaskAt(*bytes, *parsed, 15, 15));
      // The XOR rows come first, bottom row first: (15,15) is the last bit of the first row.
      const auto firstRowLast = static_cast<std::uint8_t>((*bytes)[parsed->pixelsAt + 1]);
      QV_EXPECT(firstRowLast == 0x01);
      QV_EXPECT(SystemLoads(*bytes));
    }
  }
}

void CheckShellIcons(IShell& shell) {
  // By type alone: none of these files exists.
  for (const char* path : {"C:\\nowhere\\readme.txt", "C:\\nowhere\\README", "C:\\nowhere\\tool.exe",
                           "C:\\nowhere\\my.folder", "D:\\资料\\计划.doc", ""}) {
    const std::optional<std::string> bytes = shell.ExtractShellIcon(path);
    const std::optional<ParsedIcon> parsed = bytes ? Parse(*bytes) : std::nullopt;
    const bool good = parsed && parsed->width >= 16 &&
                      (parsed->bitCount == 32 || parsed->bitCount == 24 || parsed->bitCount == 1) &&
                      SystemLoads(*bytes) && ShowsSomething(*bytes, *parsed);
    char text[160];
    std::snprintf(text, sizeof text, "shell icon of \"%s\": %s, %d x %d, %d bits", path,
                  !bytes   ? "none"
                  : parsed ? "parsed"
                           : "unparseable",
                  parsed ? parsed->width : 0, parsed ? parsed->height : 0, parsed ? parsed->bitCount : 0);
    Note(text);
    // The empty name is the shell's business; it must not break anything.
    if (*path) QV_EXPECT(good);
  }
}

std::string TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  return Narrow(std::wstring(buffer, length)) + "qvshell-" + std::to_string(::GetCurrentProcessId()) + "-快捷\\";
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

bool WriteBytes(const std::string& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

void CheckShortcuts(IShell& shell) {
  const std::string folder = TempFolder();
  QV_EXPECT(::CreateDirectoryW(Widen(folder).c_str(), nullptr));
  const std::string program = folder + "工具 1.exe";
  QV_EXPECT(WriteBytes(program, "MZ"));

  struct LinkCase {
    const char* link;
    std::string target;
  };
  const LinkCase cases[] = {
      {"工具.lnk", program},
      {"folder.lnk", folder.substr(0, folder.size() - 1)},
      {"gone.lnk", folder + "uninstalled\\old.exe"},  // a target that is no longer there is still the target
  };
  for (const LinkCase& c : cases) {
    const std::string link = folder + c.link;
    QV_EXPECT(SaveLink(link, c.target));
    const std::optional<std::string> resolved = shell.ResolveShortcut(link);
    if (resolved != c.target) Note(std::string(c.link) + " resolved to " + resolved.value_or("(nothing)"));
    QV_EXPECT(resolved == c.target);
  }

  // A target past MAX_PATH comes back whole, if the link object keeps it.
  {
    std::string deep = folder;
    while (deep.size() < 300) deep += "很长的文件夹名称-abcdefghijklmnop\\";
    const std::string target = deep + "程序.exe";
    const std::string link = folder + "long.lnk";
    if (SaveLink(link, target)) {
      const std::optional<std::string> resolved = shell.ResolveShortcut(link);
      if (resolved && resolved->size() >= MAX_PATH - 1) {
        QV_EXPECT(resolved == target);
      } else {
        Note("the link object keeps no target past MAX_PATH: " + std::to_string(resolved ? resolved->size() : 0));
      }
    }
  }

  // A link to something that is no file has an empty target.
  {
    LPITEMIDLIST drives = nullptr;
    QV_EXPECT(SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
    const std::string link = folder + "computer.lnk";
    QV_EXPECT(SaveLink(link, "", drives));
    ::CoTaskMemFree(drives);
    const std::optional<std::string> resolved = shell.ResolveShortcut(link);
    if (resolved != std::string()) Note("the computer link resolved to " + resolved.value_or("(nothing)"));
    QV_EXPECT(resolved == std::string());
  }

  // Links that cannot be loaded at all.
  QV_EXPECT(!shell.ResolveShortcut(folder + "missing.lnk"));
  QV_EXPECT(WriteBytes(folder + "garbage.lnk", std::string("this is not a shell link at all\r\n", 33)));
  QV_EXPECT(!shell.ResolveShortcut(folder + "garbage.lnk"));
  QV_EXPECT(WriteBytes(folder + "empty.lnk", ""));
  QV_EXPECT(!shell.ResolveShortcut(folder + "empty.lnk"));
  QV_EXPECT(!shell.ResolveShortcut(""));

  // Cleaning up what is still there (the long link's folders were never made).
  for (const char* name :
       {"工具.lnk", "folder.lnk", "gone.lnk", "long.lnk", "computer.lnk", "garbage.lnk", "empty.lnk", "工具 1.exe"}) {
    ::DeleteFileW(Widen(folder + name).c_str());
  }
  QV_EXPECT(::RemoveDirectoryW(Widen(folder).c_str()));
}

}  // namespace

void CheckShell() {
  // The platform starts COM for the thread, as the program does.
  Win32Platform platform(::GetModuleHandleW(nullptr));
  IShell& shell = platform.Interfaces().shell;
  CheckShortcuts(shell);
  CheckShellIcons(shell);
  CheckIconWriter();
}

}  // namespace qv::win32::check
