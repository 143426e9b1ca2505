// Ring and center skins: the choice with its fall-backs, cycling, the sizes,
// and the clock, as pure rules and through starts on the headless desktop.

#include "round/Skins.h"

#include <gtest/gtest.h>
#include <png.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv::round {
namespace {

using qv::testing::ScenarioTest;

// ---- the pure rules -------------------------------------------------------------

TEST(SkinsTest, BackgroundChoiceFallsBackToTheRing) {
  struct Case {
    int index;
    bool pathFileExists;
    int chosen;
    SkinSource source;
    const char* resource;
  };
  const Case cases[] = {
      {0, true, 0, SkinSource::File, ""},
      {0, false, 1, SkinSource::Resource, "RoundInterface"},
      {1, false, 1, SkinSource::Resource, "RoundInterface"},
      {1, true, 1, SkinSource::Resource, "RoundInterface"},  // the file counts for index 0 only
      {2, false, 2, SkinSource::Resource, "ThinInterface"},
      {3, false, 3, SkinSource::Resource, "NoInterface"},
      {4, true, 1, SkinSource::Resource, "RoundInterface"},
      {7, false, 1, SkinSource::Resource, "RoundInterface"},
      {-1, true, 1, SkinSource::Resource, "RoundInterface"},
      {INT_MIN, false, 1, SkinSource::Resource, "RoundInterface"},
      {INT_MAX, false, 1, SkinSource::Resource, "RoundInterface"},
  };
  for (const Case& c : cases) {
    const SkinChoice choice = ChooseBackgroundSkin(c.index, c.pathFileExists);
    EXPECT_EQ(choice.index, c.chosen) << c.index;
    EXPECT_EQ(choice.source, c.source) << c.index;
    EXPECT_EQ(choice.resourceName, c.resource) << c.index;
  }
}

TEST(SkinsTest, CenterChoiceFallsBackToTheButton) {
  struct Case {
    int index;
    bool pathFileExists;
    bool clock;
    int chosen;
    SkinSource source;
    const char* resource;
  };
  const Case cases[] = {
      {0, true, false, 0, SkinSource::File, ""},
      {0, false, true, 1, SkinSource::Resource, "GrayGroundCenter"},
      {1, true, true, 1, SkinSource::Resource, "GrayGroundCenter"},
      {2, false, false, 2, SkinSource::Resource, "PurityCenter"},
      {3, false, false, 3, SkinSource::Resource, "WinCenter"},
      {4, false, false, 4, SkinSource::Resource, "NoCenter"},
      {5, false, true, 5, SkinSource::Clock, ""},
      {5, true, true, 5, SkinSource::Clock, ""},
      {5, true, false, 1, SkinSource::Resource, "GrayGroundCenter"},  // no clock pictures: like index 1
      {6, false, true, 1, SkinSource::Resource, "GrayGroundCenter"},
      {-1, true, true, 1, SkinSource::Resource, "GrayGroundCenter"},
      {INT_MAX, false, true, 1, SkinSource::Resource, "GrayGroundCenter"},
  };
  for (const Case& c : cases) {
    const SkinChoice choice = ChooseCenterSkin(c.index, c.pathFileExists, c.clock);
    EXPECT_EQ(choice.index, c.chosen) << c.index << " " << c.pathFileExists << c.clock;
    EXPECT_EQ(choice.source, c.source) << c.index << " " << c.pathFileExists << c.clock;
    EXPECT_EQ(choice.resourceName, c.resource) << c.index << " " << c.pathFileExists << c.clock;
  }
}

TEST(SkinsTest, CyclesWrapAfterTheLastSkin) {
  const int background[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
  for (const auto& [from, to] : background) EXPECT_EQ(NextBackgroundIndex(from), to) << from;
  const int center[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0}};
  for (const auto& [from, to] : center) EXPECT_EQ(NextCenterIndex(from), to) << from;
}

TEST(SkinsTest, SizesAreKeptWithinWhatAScreenShows) {
  const int cases[][2] = {{INT_MIN, 16}, {-40, 16}, {0, 16}, {15, 16}, {16, 16}, {17, 17}, {115, 115},
                          {300, 300},    {2047, 2047}, {2048, 2048}, {2049, 2048}, {INT_MAX, 2048}};
  for (const auto& [size, clamped] : cases) EXPECT_EQ(ClampSkinSize(size), clamped) << size;
}

TEST(SkinsTest, ClockHandsTurnClockwiseFromTwelve) {
  struct Case {
    int h, m, s;
    double hour, minute, second;
  };
  const Case cases[] = {
      {3, 30, 15, 105, 180, 90},
      {15, 30, 15, 465, 180, 90},  // the afternoon goes round a second time
      {0, 0, 0, 0, 0, 0},
      {12, 0, 59, 360, 0, 354},
      {9, 45, 30, 292.5, 270, 180},
      {23, 59, 59, 719.5, 354, 354},  // whole minutes: no creeping toward 360
      {6, 1, 1, 180.5, 6, 6},
  };
  for (const Case& c : cases) {
    const ClockAngles a = ClockHandAngles(c.h, c.m, c.s);
    EXPECT_DOUBLE_EQ(a.hour, c.hour) << c.h << ":" << c.m << ":" << c.s;
    EXPECT_DOUBLE_EQ(a.minute, c.minute) << c.h << ":" << c.m << ":" << c.s;
    EXPECT_DOUBLE_EQ(a.second, c.second) << c.h << ":" << c.m << ":" << c.s;
  }
}

// ---- on the desktop ---------------------------------------------------------------

const std::string kDir = "C:\\Quorvel\\";
const char* const kClockFiles[] = {"trad.png", "trad_h.png", "trad_m.png", "trad_s.png", "trad_dot.png",
                                   "trad_highlights.png"};

using testing::Rgb;
using testing::SolidPng;
constexpr Rgb kOrange{250, 140, 20};


// What a skin window shows, told from its pixels.
enum class Look { Solid, Ring, FaintRing, Clear, Picture };

const char* Name(Look l) {
  switch (l) {
    case Look::Solid: return "the file's solid picture";
    case Look::Ring: return "the ring";
    case Look::FaintRing: return "the faint ring";
    case Look::Clear: return "nothing";
    case Look::Picture: return "a picture";
  }
  return "?";
}

Look LookOf(const LayeredSurface& s) {
  int maxAlpha = 0;
  bool solid = !s.Empty();
  for (std::uint32_t p : s.pixels) {
    maxAlpha = std::max<int>(maxAlpha, AlphaOf(p));
    solid = solid && p == PackBgra(kOrange.b, kOrange.g, kOrange.r, 255);
  }
  if (solid) return Look::Solid;
  if (maxAlpha == 0) return Look::Clear;
  if (maxAlpha <= 20) return Look::FaintRing;
  const bool holeClear = AlphaOf(s.At(s.width / 2, s.height / 2)) == 0;
  return holeClear && maxAlpha < 200 ? Look::Ring : Look::Picture;
}

class SkinsScenario : public ScenarioTest {
 protected:
  pugi::xml_node Basic() { return config_.document_element().child("Setup").child("Basic"); }

  void SetSkin(const char* element, const std::string& index, const std::string& size = "",
               const std::optional<std::string>& path = std::nullopt) {
    pugi::xml_node node = Basic().child(element);
    node.attribute("Index").set_value(index.c_str());
    if (!size.empty()) node.attribute("Size").set_value(size.c_str());
    if (path) node.child("Path").text().set(path->c_str());
  }

  void CopyClockPictures(const char* except = nullptr) {
    for (const char* file : kClockFiles) {
      if (except && std::string(file) == except) continue;
      qv::testing::WriteBytes(desktop_->RealPath(kDir + "Icon\\ClockRes\\" + file),
                              qv::testing::ReadBytes(std::filesystem::path(QV_ART_DIR) / "Icon" / "ClockRes" / file));
    }
  }



  // Starts afresh with a new file, for the cases of a table.
  void Restart() {
    TearDown();
    SetUp();
  }

  const headless::WindowRecord& Background() const { return *desktop_->FindWindowByName("BackGroundForm"); }
  const headless::WindowRecord& Center() const { return *desktop_->FindWindowByName("CenterForm"); }

};

TEST_F(SkinsScenario, StartFallsBackToSkinOne) {
  struct Case {
    const char* what;
    const char* element;
    const char* index;
    std::optional<std::string> path;
    bool clockPictures;
    int indexAfter;
    Look look;
  };
  const std::string solid = "D:\\Skins\\solid.png";
  const std::string garbage = "D:\\Skins\\garbage.png";
  const Case cases[] = {
      {"ring from a file", "Background", "0", solid, false, 0, Look::Solid},
      {"ring file without a path", "Background", "0", std::nullopt, false, 1, Look::Ring},
      {"ring file missing", "Background", "0", "D:\\Skins\\none.png", false, 1, Look::Ring},
      {"ring file undecodable: the file is taken, nothing shows", "Background", "0", garbage, false, 0, Look::Clear},
      {"ring 1", "Background", "1", std::nullopt, false, 1, Look::Ring},
      {"ring 2", "Background", "2", std::nullopt, false, 2, Look::FaintRing},
      {"ring 3", "Background", "3", std::nullopt, false, 3, Look::Clear},
      {"ring 7", "Background", "7", std::nullopt, false, 1, Look::Ring},
      {"ring -2", "Background", "-2", std::nullopt, false, 1, Look::Ring},
      {"ring index not a number", "Background", "x", std::nullopt, false, 1, Look::Ring},
      {"center from a file", "Center", "0", solid, false, 0, Look::Solid},
      {"center file missing", "Center", "0", "D:\\Skins\\none.png", true, 1, Look::Picture},
      {"center 4", "Center", "4", std::nullopt, false, 4, Look::Clear},
      {"center clock without its pictures", "Center", "5", std::nullopt, false, 1, Look::Picture},
      {"center clock", "Center", "5", std::nullopt, true, 5, Look::Picture},
      {"center 6", "Center", "6", std::nullopt, true, 1, Look::Picture},
  };
  std::optional<std::vector<std::uint32_t>> skinOne[2];  // what index 1 shows, background and center
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    Put(solid, SolidPng(40, kOrange));
    Put(garbage, "\x89PNG\r\n\x1a\n but no more");
    if (c.clockPictures) CopyClockPictures();
    SetSkin(c.element, c.index, "", c.path);
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    const bool background = std::string(c.element) == "Background";
    const config::Settings& s = form->Settings();
    EXPECT_EQ(background ? s.BackgroundIndex : s.CenterIndex, c.indexAfter);
    const headless::WindowRecord& w = background ? Background() : Center();
    EXPECT_EQ(LookOf(w.surface), c.look) << Name(LookOf(w.surface));
    EXPECT_EQ(w.alpha, 255);
    EXPECT_EQ(Process().TimerRunning(app::TimerClock), c.indexAfter == 5);
    if (c.indexAfter == 1) {
      auto& one = skinOne[background ? 0 : 1];
      if (!one) one = w.surface.pixels;
      EXPECT_EQ(w.surface.pixels, *one) << "every fall-back shows skin 1 itself";
    }
    // The index in memory is what is written at exit.
    App().Stop();
    EXPECT_EQ(LoadConfigDom().document_element().child("Setup").child("Basic").child(c.element).attribute("Index").as_int(-99),
              c.indexAfter);
  }
  EXPECT_TRUE(skinOne[0] && skinOne[1]);
}

TEST_F(SkinsScenario, ClockNeedsAllSixPictures) {
  for (const char* missing : kClockFiles) {
    SCOPED_TRACE(missing);
    Restart();
    CopyClockPictures(missing);
    SetSkin("Center", "5");
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Round().ClockAvailable());
    EXPECT_EQ(form->Settings().CenterIndex, 1);
    EXPECT_FALSE(Process().TimerRunning(app::TimerClock));
  }
  Restart();
  CopyClockPictures();
  SetSkin("Center", "5");
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Round().ClockAvailable());
  EXPECT_EQ(form->Settings().CenterIndex, 5);
  EXPECT_EQ(Process().TimerInterval(app::TimerClock), 1000u);
}

TEST_F(SkinsScenario, CyclingTheSkins) {
  struct Step {
    int index;  // in memory after the change
    Look look;
    bool clock;
  };
  struct Case {
    const char* what;
    const char* element;
    const char* startIndex;
    bool file;
    bool clockPictures;
    int indexAtStart;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"ring with its file", "Background", "0", true, false, 0,
       {{1, Look::Ring, false}, {2, Look::FaintRing, false}, {3, Look::Clear, false}, {0, Look::Solid, false},
        {1, Look::Ring, false}}},
      {"ring without a file: 0 shows 1 and goes on from 1", "Background", "0", false, false, 1,
       {{2, Look::FaintRing, false}, {3, Look::Clear, false}, {1, Look::Ring, false}, {2, Look::FaintRing, false}}},
      {"center with its file and the clock", "Center", "0", true, true, 0,
       {{1, Look::Picture, false}, {2, Look::Picture, false}, {3, Look::Picture, false}, {4, Look::Clear, false},
        {5, Look::Picture, true}, {0, Look::Solid, false}, {1, Look::Picture, false}}},
      {"center from 4 with the clock and no file", "Center", "4", false, true, 4,
       {{5, Look::Picture, true}, {1, Look::Picture, false}, {2, Look::Picture, false}}},
      {"center without the clock: 5 shows 1 and goes on from 1", "Center", "4", false, false, 4,
       {{1, Look::Picture, false}, {2, Look::Picture, false}, {3, Look::Picture, false}, {4, Look::Clear, false},
        {1, Look::Picture, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    const std::string file = "D:\\Skins\\solid.png";
    Put(file, SolidPng(40, kOrange));
    if (c.clockPictures) CopyClockPictures();
    SetSkin(c.element, c.startIndex, "", c.file ? std::optional<std::string>(file) : std::nullopt);
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    const bool background = std::string(c.element) == "Background";
    auto index = [&] { return background ? form->Settings().BackgroundIndex : form->Settings().CenterIndex; };
    const headless::WindowRecord& w = background ? Background() : Center();
    EXPECT_EQ(index(), c.indexAtStart);
    const std::string configBefore = ConfigBytes();
    std::map<int, std::vector<std::uint32_t>> seen;  // index -> picture, for the skins that repeat
    int step = 0;
    for (const Step& s : c.steps) {
      SCOPED_TRACE("change " + std::to_string(++step));
      desktop_->Advance(10000);  // the trim after the previous change is done
      ASSERT_FALSE(Process().TimerRunning(app::TimerClearMemory));
      const int pushes = w.pushCount;
      if (background) {
        form->Round().ChangeBackground();
      } else {
        form->Round().ChangeCenter();
      }
      EXPECT_EQ(index(), s.index);
      EXPECT_EQ(LookOf(w.surface), s.look) << Name(LookOf(w.surface));
      EXPECT_EQ(w.pushCount, pushes + 2) << "pushed clear, then shown";
      EXPECT_EQ(w.alpha, 255);
      EXPECT_EQ(Process().TimerRunning(app::TimerClock), s.clock);
      EXPECT_EQ(form->Round().ClockRunning(), s.clock);
      EXPECT_TRUE(Process().TimerRunning(app::TimerClearMemory)) << "memory is trimmed after a switch";
      if (s.look == Look::Picture && !s.clock) {
        for (const auto& [other, pixels] : seen) {
          if (other == s.index) {
            EXPECT_EQ(w.surface.pixels, pixels) << "skin " << s.index << " again";
          } else {
            EXPECT_NE(w.surface.pixels, pixels) << s.index << " looks like " << other;
          }
        }
        seen[s.index] = w.surface.pixels;
      }
    }
    EXPECT_EQ(ConfigBytes(), configBefore) << "switching writes nothing";
  }
}

TEST_F(SkinsScenario, SkinWindowsAreSizedAndCentredOnTheMainForm) {
  // The main form stands at (600, 368), 194 x 168: its centre is (697, 452).
  struct Case {
    const char* background;
    const char* center;
    Rect backgroundBounds;
    Rect centerBounds;
  };
  const Case cases[] = {
      {"300", "115", {547, 302, 300, 300}, {640, 395, 115, 115}},
      {"150", "57", {622, 377, 150, 150}, {669, 424, 57, 57}},  // odd: 57 div 2 = 28
      {"0", "-40", {689, 444, 16, 16}, {689, 444, 16, 16}},
      {"5000", "2049", {-327, -572, 2048, 2048}, {-327, -572, 2048, 2048}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.background) + " / " + c.center);
    Restart();
    SetSkin("Background", "1", c.background);
    SetSkin("Center", "1", c.center);
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Background().bounds, c.backgroundBounds);
    EXPECT_EQ(Center().bounds, c.centerBounds);
    EXPECT_EQ(Background().surface.width, c.backgroundBounds.width);
    EXPECT_EQ(Center().surface.height, c.centerBounds.height);
    EXPECT_EQ(form->Settings().BackgroundSize, c.backgroundBounds.width);
    EXPECT_EQ(form->Settings().CenterSize, c.centerBounds.width);
  }
}

TEST_F(SkinsScenario, HalfSizeRingIsTheWholeSkinScaledDown) {
  SetSkin("Background", "1", "300");
  ASSERT_NE(Start(), nullptr);
  const LayeredSurface full = Background().surface;
  Restart();
  SetSkin("Background", "1", "150");
  ASSERT_NE(Start(), nullptr);
  const LayeredSurface half = Background().surface;
  ASSERT_EQ(full.width, 300);
  ASSERT_EQ(half.width, 150);

  // The ring, light blue, around a clear hole and clear corners.
  EXPECT_EQ(AlphaOf(half.At(75, 75)), 0);
  EXPECT_EQ(AlphaOf(half.At(0, 0)), 0);
  EXPECT_EQ(AlphaOf(half.At(149, 149)), 0);
  // Each pixel of the half-size picture covers a 2 x 2 block of the full one.
  int worst = 0, ringPixels = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 150; ++x) {
      const std::uint32_t h = half.At(x, y);
      const int block = (AlphaOf(full.At(2 * x, 2 * y)) + AlphaOf(full.At(2 * x + 1, 2 * y)) +
                         AlphaOf(full.At(2 * x, 2 * y + 1)) + AlphaOf(full.At(2 * x + 1, 2 * y + 1)) + 2) / 4;
      worst = std::max(worst, std::abs(AlphaOf(h) - block));
      if (AlphaOf(h) > 60) {
        ++ringPixels;
        EXPECT_GT(BlueOf(h), RedOf(h)) << "light blue at " << x << "," << y;
      }
    }
  }
  EXPECT_LE(worst, 6) << "levels of alpha off the full picture averaged";
  EXPECT_GT(ringPixels, 150 * 150 / 4) << "the ring is there, not a clear window";
}

// ---- the clock ---------------------------------------------------------------------

// Counts pixels in a horizontal band three pixels high through the clock's
// centre, from dx0 to dx1 pixels right (or left, when negative) of it.
template <typename Pred>
int CountInBand(const LayeredSurface& s, int dx0, int dx1, Pred pred) {
  const int c = s.width / 2;
  int n = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = std::min(dx0, dx1); dx <= std::max(dx0, dx1); ++dx) n += pred(s.At(c + dx, c + dy));
  return n;
}

bool Dark(std::uint32_t p) { return AlphaOf(p) == 255 && RedOf(p) < 100 && GreenOf(p) < 100 && BlueOf(p) < 110; }
bool Red(std::uint32_t p) {
  return AlphaOf(p) == 255 && RedOf(p) > 150 && RedOf(p) - GreenOf(p) > 60 && RedOf(p) - BlueOf(p) > 60;
}

// A hand lies along the band (many pixels of its colour) or nowhere near it (none).
::testing::AssertionResult HandInBand(bool expected, int pixels) {
  if (expected ? pixels >= 15 : pixels == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << pixels << " pixels of the hand's colour";
}

TEST_F(SkinsScenario, ClockHandsStandWhereTheTimeSays) {
  // A 230-pixel clock, the size its pictures are drawn at. The hour and
  // minute hands are dark, the second hand red; the bands keep clear of the
  // hands' tails (up to 30 pixels behind the centre) and of the ticks (from 70 out).
  struct Case {
    int h, m, s;
    bool darkRight, darkLeft, redRight, redLeft;
  };
  const Case cases[] = {
      {3, 0, 0, true, false, false, false},
      {9, 0, 0, false, true, false, false},
      {15, 0, 0, true, false, false, false},
      {3, 30, 15, false, false, true, false},  // hour at 105°: below the band by now; second at 90°
      {0, 15, 0, true, false, false, false},   // minute hand
      {0, 45, 0, false, true, false, false},
      {0, 0, 15, false, false, true, false},
      {0, 0, 45, false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.h) + ":" + std::to_string(c.m) + ":" + std::to_string(c.s));
    Restart();
    CopyClockPictures();
    SetSkin("Center", "5", "230");
    desktop_->SetLocalTime({2026, 12, 6, c.h, c.m, c.s, 0});
    ASSERT_NE(Start(), nullptr);
    const LayeredSurface& clock = Center().surface;
    ASSERT_EQ(clock.width, 230);
    const int darkRight = CountInBand(clock, 32, 50, Dark), darkLeft = CountInBand(clock, -50, -32, Dark);
    const int redRight = CountInBand(clock, 36, 80, Red), redLeft = CountInBand(clock, -80, -36, Red);
    EXPECT_TRUE(HandInBand(c.darkRight, darkRight)) << "hour or minute hand, right";
    EXPECT_TRUE(HandInBand(c.darkLeft, darkLeft)) << "hour or minute hand, left";
    EXPECT_TRUE(HandInBand(c.redRight, redRight)) << "second hand, right";
    EXPECT_TRUE(HandInBand(c.redLeft, redLeft)) << "second hand, left";
  }
}

TEST_F(SkinsScenario, ClockDrawsAFrameEverySecondUntilSwitchedAway) {
  CopyClockPictures();
  SetSkin("Center", "5");
  desktop_->SetLocalTime({2026, 12, 6, 10, 9, 58, 0});
  app::RoundHot* form = Start();  // built at 10:09:58.050
  ASSERT_NE(form, nullptr);
  const headless::WindowRecord& w = Center();
  EXPECT_EQ(w.bounds, (Rect{640, 395, 115, 115}));
  const LayeredSurface first = w.surface;
  const int pushes = w.pushCount;

  desktop_->Advance(999);
  EXPECT_EQ(w.pushCount, pushes) << "not before a second has passed";
  desktop_->Advance(1);  // 10:09:59.050
  EXPECT_EQ(w.pushCount, pushes + 1);
  EXPECT_EQ(w.alpha, 255);
  EXPECT_NE(w.surface.pixels, first.pixels) << "the second hand moved";
  EXPECT_EQ(w.surface.pixels, form->Round().CenterSurface().pixels);
  const LayeredSurface second = w.surface;
  desktop_->Advance(1000);  // 10:10:00.050: the minute hand jumps too
  EXPECT_NE(w.surface.pixels, second.pixels);

  // The same second drawn again gives the same frame.
  desktop_->SetLocalTime({2026, 12, 6, 10, 9, 58, 50});
  form->Round().OnClockTick();
  EXPECT_EQ(w.surface.pixels, first.pixels);

  form->Round().ChangeCenter();  // 5 -> 0, no file -> 1
  EXPECT_EQ(form->Settings().CenterIndex, 1);
  EXPECT_FALSE(Process().TimerRunning(app::TimerClock));
  const int afterSwitch = w.pushCount;
  const LayeredSurface button = w.surface;
  desktop_->Advance(5000);
  EXPECT_EQ(w.pushCount, afterSwitch) << "no clock frames once switched away";
  EXPECT_EQ(w.surface.pixels, button.pixels);
}

}  // namespace
}  // namespace qv::round
