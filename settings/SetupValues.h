#pragma once

// The settings dialog's rules as functions of values: slider ranges and the
// numbers their labels show, the shifts that keep a resized skin centred,
// what a key does in the hot-key edit, and the start-with-Windows value.

#include <optional>
#include <string>

namespace qv::settings {

// A slider and the setting it stands for: setting = position + offset.
struct SliderRange {
  int min = 0;
  int max = 0;
  int offset = 0;
};

inline constexpr SliderRange kBackgroundSlider{0, 300, 300};
inline constexpr SliderRange kCenterSlider{0, 180, 115};
inline constexpr SliderRange kMinRSlider{0, 300, 0};
inline constexpr SliderRange kSeparationSlider{0, 100, 0};
inline constexpr SliderRange kRotationSlider{1, 360, 0};
inline constexpr SliderRange kTransparenceSlider{0, 100, 0};
inline constexpr SliderRange kZoomPxSlider{1, 100, 0};
inline constexpr SliderRange kZoomWidthSlider{1, 10, 0};

// The slider position a stored setting asks for, clamped to the range.
int SliderPosition(const SliderRange& range, int setting);
// The setting a slider position stands for.
inline int SliderSetting(const SliderRange& range, int position) { return position + range.offset; }

// How far a skin window moves left and up when it changes from oldSize to
// newSize so that its centre stays: half the difference, toward zero.
inline int CentringShift(int oldSize, int newSize) { return (oldSize - newSize) / 2; }

// The stored index of a fixed list, when it is an integer inside 0..count-1.
std::optional<int> ListIndex(const std::optional<int>& stored, int count);

// What a key pressed in the hot-key edit does.
enum class HotKeyKeyAction {
  TakeLetter,  // the edit becomes this one upper-case letter
  Ignore,      // a modifier on its way to a letter: nothing happens yet
  Refuse,      // the message, then the letter held at focus time comes back
};
HotKeyKeyAction HotKeyKey(unsigned virtualKey);

// The hot-key letter OK keeps: the edit's first letter, upper-cased, or the
// letter in use when the edit holds none.
char ChosenHotKey(const std::string& editText, char current);

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Quorvel";

// The Run value for the program: its full path, in double quotes when it
// holds a blank, so the system cannot take a prefix of it for another program.
std::string RunValueFor(const std::string& executablePath);
// Whether a stored Run value starts this program: the quoted and the bare
// form of the same path both count.
bool RunValueStartsProgram(const std::string& stored, const std::string& executablePath);

// A dock theme's name from its picture's file name: "Default.png" -> "Default";
// nullopt for a file that is not a .png and for a scaled copy ("Default@200.png").
std::optional<std::string> ThemeName(const std::string& fileName);

// The number in a label's caption ("300", "45%"); 0 when none.
int LabelNumber(const std::string& caption);

}  // namespace qv::settings
