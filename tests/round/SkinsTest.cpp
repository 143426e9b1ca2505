#include "round/Skins.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv::round {
namespace {

using qv::testing::ScenarioTest;

TEST(SkinsTest, SizesAreKeptWithinWhatAScreenShows) {
  const int cases[][2] = {{INT_MIN, 16}, {15, 16}, {16, 16}, {2048, 2048}, {2049, 2048}, {INT_MAX, 2048}};
  for (const auto& [size, clamped] : cases) EXPECT_EQ(ClampSkinSize(size), clamped) << size;
}

TEST(SkinsTest, ClockHandsTurnClockwiseFromTwelve) {
  const struct { int h, m, s; double hour, minute, second; } cases[] = {
      {3, 30, 15, 105, 180, 90},
      {15, 30, 15, 465, 180, 90},     // the afternoon goes round a second time
      {23, 59, 59, 719.5, 354, 354},  // whole minutes: no creeping toward 360
  };
  for (const auto& c : cases) {
    const ClockAngles a = ClockHandAngles(c.h, c.m, c.s);
    EXPECT_EQ((std::vector<double>{a.hour, a.minute, a.second}), (std::vector<double>{c.hour, c.minute, c.second}))
        << c.h << ":" << c.m << ":" << c.s;
  }
}

TEST(SkinsTest, IndexesFallBackToOneAndCycle) {
  const struct { bool center; int index; bool file, clock; int chosen; SkinSource source; } cases[] = {
      {false, 0, true, false, 0, SkinSource::File},      {false, 0, false, false, 1, SkinSource::Resource},
      {false, 3, false, false, 3, SkinSource::Resource}, {false, 4, false, false, 1, SkinSource::Resource},
      {false, -2, true, false, 1, SkinSource::Resource}, {true, 0, false, true, 1, SkinSource::Resource},
      {true, 4, false, false, 4, SkinSource::Resource},  {true, 5, false, true, 5, SkinSource::Clock},
      {true, 5, true, false, 1, SkinSource::Resource},   {true, 6, true, true, 1, SkinSource::Resource},
  };
  for (const auto& c : cases) {
    const SkinChoice s = c.center ? ChooseCenterSkin(c.index, c.file, c.clock) : ChooseBackgroundSkin(c.index, c.file);
    EXPECT_EQ(s.index, c.chosen) << c.center << " " << c.index;
    EXPECT_EQ(s.source, c.source) << c.center << " " << c.index;
  }
  EXPECT_EQ(ChooseBackgroundSkin(3, false).resourceName, "NoInterface");
  EXPECT_EQ(ChooseCenterSkin(4, false, true).resourceName, "NoCenter");
  const int backgrounds[] = {NextBackgroundIndex(0), NextBackgroundIndex(2), NextBackgroundIndex(3)};
  const int centers[] = {NextCenterIndex(0), NextCenterIndex(4), NextCenterIndex(5)};
  EXPECT_EQ((std::vector<int>(std::begin(backgrounds), std::end(backgrounds))), (std::vector<int>{1, 3, 0}));
  EXPECT_EQ((std::vector<int>(std::begin(centers), std::end(centers))), (std::vector<int>{1, 5, 0}));
}

constexpr testing::Rgb kOrange{250, 140, 20};
const std::string kSkinFile = "D:\\Skins\\solid.png";

// What a skin window shows, told from its pixels.
enum class Look { Solid, Ring, Clear, Picture };

Look LookOf(const LayeredSurface& s) {
  int maxAlpha = 0;
  bool solid = !s.Empty();
  for (std::uint32_t p : s.pixels) {
    maxAlpha = std::max<int>(maxAlpha, AlphaOf(p));
    solid = solid && p == PackBgra(kOrange.b, kOrange.g, kOrange.r, 255);
  }
  if (solid) return Look::Solid;
  if (maxAlpha == 0) return Look::Clear;
  return AlphaOf(s.At(s.width / 2, s.height / 2)) == 0 && maxAlpha < 200 ? Look::Ring : Look::Picture;
}

class SkinsScenario : public ScenarioTest {
 protected:
  // Afresh, for the cases of a table: a skin of `element`, the clock's pictures but `except`.
  void Restart(const char* element, const char* index, const char* size = "", const char* path = nullptr,
               const char* except = "") {
    TearDown();
    SetUp();
    Put(kSkinFile, testing::SolidPng(40, kOrange));
    Put("D:\\Skins\\garbage.png", "\x89PNG\r\n\x1a\n but no more");
    CopyArt();
    if (*except) std::filesystem::remove(desktop_->RealPath(programDir_ + "Icon\\ClockRes\\" + except));
    pugi::xml_node node = Basic().child(element);
    node.attribute("Index").set_value(index);
    if (*size) node.attribute("Size").set_value(size);
    if (path) node.child("Path").text().set(path);
  }
  const headless::WindowRecord& Window(bool center) const {
    return *desktop_->FindWindowByName(center ? "CenterForm" : "BackGroundForm");
  }
};

// What is on disk decides: a missing file or clock picture falls back to skin 1; an
// undecodable file is taken and shows nothing.
TEST_F(SkinsScenario, StartFallsBackToSkinOneForWhatIsMissing) {
  const struct { const char *element, *index, *path, *except; int indexAfter; Look look; } cases[] = {
      {"Background", "0", "D:\\Skins\\solid.png", "", 0, Look::Solid},
      {"Background", "0", "D:\\Skins\\none.png", "", 1, Look::Ring},
      {"Background", "0", "D:\\Skins\\garbage.png", "", 0, Look::Clear},
      {"Center", "5", nullptr, "trad_highlights.png", 1, Look::Picture},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.element << " " << c.index << " " << (c.path ? c.path : ""));
    Restart(c.element, c.index, "", c.path, c.except);
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    const bool center = std::string(c.element) == "Center";
    EXPECT_EQ(center ? form->Settings().CenterIndex : form->Settings().BackgroundIndex, c.indexAfter);
    EXPECT_EQ(LookOf(Window(center).surface), c.look);
    EXPECT_FALSE(Process().TimerRunning(TimerClock));
  }
}

// Each change pushes the window clear, then the new skin; the clock runs at 5 only; memory is
// trimmed after a switch; nothing is written.
TEST_F(SkinsScenario, CyclingTheCenter) {
  Restart("Center", "0", "", kSkinFile.c_str());
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const headless::WindowRecord& w = Window(true);
  const std::string configBefore = ConfigBytes();
  const Look looks[] = {Look::Picture, Look::Picture, Look::Picture, Look::Clear, Look::Picture, Look::Solid};
  std::vector<std::vector<std::uint32_t>> seen;
  for (int step = 0; step < 6; ++step) {
    SCOPED_TRACE(step);
    desktop_->Advance(10000);
    ASSERT_FALSE(Process().TimerRunning(TimerClearMemory));
    const int pushes = w.pushCount;
    form->Round().ChangeCenter();
    const int index = (step + 1) % 6;
    EXPECT_EQ(form->Settings().CenterIndex, index);
    EXPECT_EQ(LookOf(w.surface), looks[step]);
    EXPECT_EQ(w.pushCount, pushes + 2);
    EXPECT_EQ(Process().TimerRunning(TimerClock), index == 5);
    EXPECT_TRUE(Process().TimerRunning(TimerClearMemory));
    for (const auto& pixels : seen) EXPECT_NE(w.surface.pixels, pixels) << "each skin shows its own picture";
    seen.push_back(w.surface.pixels);
  }
  EXPECT_EQ(ConfigBytes(), configBefore);
}

}  // namespace
}  // namespace qv::round
