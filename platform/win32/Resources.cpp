#include "platform/win32/Resources.h"

namespace qv::win32 {

UniqueIcon LoadAppIcon(HINSTANCE instance, int size) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, kAppIconName, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

std::optional<std::string> ResourceBytes(HINSTANCE instance, const std::wstring& type, const std::wstring& name) {
  if (type.empty() || name.empty()) return std::nullopt;
  HRSRC info = ::FindResourceW(instance, name.c_str(), type.c_str());
  if (!info) return std::nullopt;
  const DWORD size = ::SizeofResource(instance, info);
  // Resources are mapped with the module: there is nothing to free.
  HGLOBAL loaded = ::LoadResource(instance, info);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
}

}  // namespace qv::win32
