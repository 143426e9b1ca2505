// The settings dialog's rules as values: slider clamping, centring shifts,
// the hot-key keys, the Run value.

#include <gtest/gtest.h>

#include <climits>

#include "settings/SetupValues.h"

namespace qv::settings {
namespace {

TEST(SetupSliders, StoredSettingsClampToTheSlidersRange) {
  struct Case {
    SliderRange range;
    int setting;
    int position;
  };
  const Case cases[] = {
      {kBackgroundSlider, 250, 0},   {kBackgroundSlider, 300, 0}, {kBackgroundSlider, 301, 1},
      {kBackgroundSlider, 600, 300}, {kCenterSlider, 115, 0},     {kCenterSlider, 296, 180},
      {kMinRSlider, -5, 0},          {kRotationSlider, 0, 1},     {kRotationSlider, 361, 360},
      {kZoomWidthSlider, 11, 10},    {kMinRSlider, INT_MIN, 0},   {kBackgroundSlider, INT_MAX, 300},
  };
  for (const Case& c : cases) EXPECT_EQ(SliderPosition(c.range, c.setting), c.position) << c.setting;
  EXPECT_EQ(SliderSetting(kBackgroundSlider, 300), 600);
  EXPECT_EQ(SliderSetting(kCenterSlider, 180), 295);
}

TEST(SetupShift, HalfTheDifferenceTruncatedTowardZero) {
  const int cases[][3] = {{300, 355, -27}, {400, 300, 50}, {300, 301, 0}, {301, 300, 0},
                          {115, 118, -1},  {118, 115, 1},  {0, 0, 0},     {600, 300, 150}};
  for (const auto& c : cases) EXPECT_EQ(CentringShift(c[0], c[1]), c[2]) << c[0] << " -> " << c[1];
}

TEST(SetupLists, AStoredIndexOutsideTheListIsNotTaken) {
  const std::pair<std::optional<int>, std::optional<int>> cases[] = {
      {0, 0}, {2, 2}, {3, std::nullopt}, {-1, std::nullopt}, {std::nullopt, std::nullopt}};
  for (const auto& [stored, taken] : cases) EXPECT_EQ(ListIndex(stored, 3), taken);
}

TEST(SetupHotKey, LettersAreTakenModifiersWaitEverythingElseIsRefused) {
  const std::pair<unsigned, HotKeyKeyAction> cases[] = {
      {'A', HotKeyKeyAction::TakeLetter}, {'Z', HotKeyKeyAction::TakeLetter},
      {'@', HotKeyKeyAction::Refuse},     {0xDB, HotKeyKeyAction::Refuse} /* [ */,
      {'0', HotKeyKeyAction::Refuse},     {0x10, HotKeyKeyAction::Ignore},
      {0xA1, HotKeyKeyAction::Ignore},    {0x20, HotKeyKeyAction::Refuse},
      {'a', HotKeyKeyAction::Refuse},  // 'a' is VK_NUMPAD1
  };
  for (const auto& [key, action] : cases) EXPECT_EQ(HotKeyKey(key), action) << key;
}

TEST(SetupHotKey, AnEmptyOrNonLetterEditKeepsTheLetterInUse) {
  const std::tuple<std::string, char, char> cases[] = {
      {"B", 'C', 'B'}, {"b", 'C', 'B'}, {"", 'C', 'C'}, {"7", 'X', 'X'}, {"Qx", 'C', 'Q'}};
  for (const auto& [text, current, chosen] : cases) EXPECT_EQ(ChosenHotKey(text, current), chosen) << text;
}

TEST(SetupRunValue, QuotedWhenThePathHasBlanksAndComparedInBothForms) {
  EXPECT_EQ(RunValueFor("C:\\Quorvel\\Quorvel.exe"), "C:\\Quorvel\\Quorvel.exe");
  EXPECT_EQ(RunValueFor("C:\\Program Files\\Quorvel\\Quorvel.exe"),
            "\"C:\\Program Files\\Quorvel\\Quorvel.exe\"");
  const std::string spaced = "C:\\Program Files\\Q\\Quorvel.exe";
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"C:\\Q\\Quorvel.exe", "C:\\Q\\Quorvel.exe", true},
      {"\"C:\\Q\\Quorvel.exe\"", "C:\\Q\\Quorvel.exe", true},
      {spaced, spaced, true},
      {"\"" + spaced + "\"", spaced, true},
      {"c:\\q\\quorvel.exe", "C:\\Q\\Quorvel.exe", false},
      {"\"C:\\Q\\Quorvel.exe", "C:\\Q\\Quorvel.exe", false},
      {"\"C:\\Q\\Quorvel.exe\" -x", "C:\\Q\\Quorvel.exe", false},
      {"\"\"", "", true},
      {"C:\\Other\\Quorvel.exe", "C:\\Q\\Quorvel.exe", false},
  };
  for (const auto& [stored, exe, starts] : cases)
    EXPECT_EQ(RunValueStartsProgram(stored, exe), starts) << stored;
}

TEST(SetupThemes, PngFilesNameThemesWithoutTheirExtension) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"Default.png", "Default"},
      {"Blue.PNG", "Blue"},
      {".png", ""},
      {"notes.txt", std::nullopt},
      {"png", std::nullopt},
      {"a.png.bak", std::nullopt},
      // the copies drawn for scaled displays are no themes of their own
      {"Default@150.png", std::nullopt},
      {"a@b.png", "a@b"},
      {"x@.png", "x@"}};
  for (const auto& [file, name] : cases) EXPECT_EQ(ThemeName(file), name) << file;
}

}  // namespace
}  // namespace qv::settings
