#include "settings/SetupValues.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace qv::settings {

namespace {

// Shift, Control, Alt and the Windows keys arrive before the letter they
// modify; refusing them would refuse every Shift+letter.
bool IsModifier(unsigned virtualKey) {
  return virtualKey == 0x10 || virtualKey == 0x11 || virtualKey == 0x12 || virtualKey == 0x14 || virtualKey == 0x5B ||
         virtualKey == 0x5C || (virtualKey >= 0xA0 && virtualKey <= 0xA5);
}

}  // namespace

int SliderPosition(const SliderRange& range, int setting) {
  // A setting far outside any range must not overflow on its way in.
  const long long position = static_cast<long long>(setting) - range.offset;
  return static_cast<int>(std::clamp<long long>(position, range.min, range.max));
}

std::optional<int> ListIndex(const std::optional<int>& stored, int count) {
  if (!stored || *stored < 0 || *stored >= count) return std::nullopt;
  return stored;
}

HotKeyKeyAction HotKeyKey(unsigned virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return HotKeyKeyAction::TakeLetter;
  if (IsModifier(virtualKey)) return HotKeyKeyAction::Ignore;
  return HotKeyKeyAction::Refuse;
}

char ChosenHotKey(const std::string& editText, char current) {
  if (!editText.empty()) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(editText[0])));
    if (c >= 'A' && c <= 'Z') return c;
  }
  return current;
}

std::string RunValueFor(const std::string& executablePath) {
  if (executablePath.find(' ') == std::string::npos) return executablePath;
  return "\"" + executablePath + "\"";
}

bool RunValueStartsProgram(const std::string& stored, const std::string& executablePath) {
  if (stored == executablePath) return true;
  return stored.size() == executablePath.size() + 2 && stored.front() == '"' && stored.back() == '"' &&
         stored.compare(1, executablePath.size(), executablePath) == 0;
}

std::optional<std::string> ThemeName(const std::string& fileName) {
  if (fileName.size() < 4) return std::nullopt;
  std::string extension = fileName.substr(fileName.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".png") return std::nullopt;
  const std::string name = fileName.substr(0, fileName.size() - 4);
  // "Default@150.png" is the theme "Default" drawn for a scaled display, not a theme of its own.
  const std::size_t at = name.rfind('@');
  if (at != std::string::npos && at + 1 < name.size() &&
      name.find_first_not_of("0123456789", at + 1) == std::string::npos)
    return std::nullopt;
  return name;
}

int LabelNumber(const std::string& caption) { return std::atoi(caption.c_str()); }

}  // namespace qv::settings
