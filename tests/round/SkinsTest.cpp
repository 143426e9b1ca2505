#include "round/Skins.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv::round {
namespace {

using qv::testing::ScenarioTest;

TEST(SkinsTest, SizesAreKeptWithinWhatAScreenShows) {
  const int cases[][2] = {{INT_MIN, 16}, {15, 16}, {16, 16}, {17, 17}, {2048, 2048}, {2049, 2048}, {INT_MAX, 2048}};
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
      {9, 45, 30, 292.5, 270, 180},
      {23, 59, 59, 719.5, 354, 354},  // whole minutes: no creeping toward 360
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.h << ":" << c.m << ":" << c.s);
    const ClockAngles a = ClockHandAngles(c.h, c.m, c.s);
    EXPECT_DOUBLE_EQ(a.hour, c.hour);
    EXPECT_DOUBLE_EQ(a.minute, c.minute);
    EXPECT_DOUBLE_EQ(a.second, c.second);
  }
}

const char* const kClockFiles[] = {"trad.png", "trad_h.png", "trad_m.png", "trad_s.png", "trad_dot.png",
                                   "trad_highlights.png"};

using testing::SolidPng;
constexpr testing::Rgb kOrange{250, 140, 20};

// What a skin window shows, told from its pixels.
enum class Look { Solid, Ring, FaintRing, Clear, Picture };

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
      Put(programDir_ + "Icon\\ClockRes\\" + file,
          qv::testing::ReadBytes(std::filesystem::path(QV_ART_DIR) / "Icon" / "ClockRes" / file));
    }
  }

  void Restart() {  // afresh, for the cases of a table
    TearDown();
    SetUp();
  }

  const headless::WindowRecord& Background() const { return *desktop_->FindWindowByName("BackGroundForm"); }
  const headless::WindowRecord& Center() const { return *desktop_->FindWindowByName("CenterForm"); }
};

TEST_F(SkinsScenario, StartFallsBackToSkinOne) {
  struct Case {
    const char *what, *element, *index;
    std::optional<std::string> path;
    bool clockPictures;
    int indexAfter;
    Look look;
  };
  const std::string solid = "D:\\Skins\\solid.png", garbage = "D:\\Skins\\garbage.png";
  const Case cases[] = {
      {"ring from a file", "Background", "0", solid, false, 0, Look::Solid},
      {"ring file without a path", "Background", "0", std::nullopt, false, 1, Look::Ring},
      {"ring file missing", "Background", "0", "D:\\Skins\\none.png", false, 1, Look::Ring},
      {"ring file undecodable: the file is taken, nothing shows", "Background", "0", garbage, false, 0, Look::Clear},
      {"ring 7", "Background", "7", std::nullopt, false, 1, Look::Ring},
      {"ring -2", "Background", "-2", std::nullopt, false, 1, Look::Ring},
      {"ring index not a number", "Background", "x", std::nullopt, false, 1, Look::Ring},
      {"center from a file", "Center", "0", solid, false, 0, Look::Solid},
      {"center file missing", "Center", "0", "D:\\Skins\\none.png", true, 1, Look::Picture},
      {"center 4", "Center", "4", std::nullopt, false, 4, Look::Clear},
      {"center clock without its pictures", "Center", "5", std::nullopt, false, 1, Look::Picture},
      {"center clock missing one of its six pictures", "Center", "5", std::nullopt, true, 1, Look::Picture},
      {"center 6", "Center", "6", std::nullopt, true, 1, Look::Picture},
  };
  std::optional<std::vector<std::uint32_t>> skinOne[2];  // what index 1 shows, background and center
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    Put(solid, SolidPng(40, kOrange));
    Put(garbage, "\x89PNG\r\n\x1a\n but no more");
    if (c.clockPictures) CopyClockPictures(c.index == std::string("5") ? "trad_highlights.png" : nullptr);
    SetSkin(c.element, c.index, "", c.path);
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    const bool background = std::string(c.element) == "Background";
    const config::Settings& s = form->Settings();
    EXPECT_EQ(background ? s.BackgroundIndex : s.CenterIndex, c.indexAfter);
    const headless::WindowRecord& w = background ? Background() : Center();
    EXPECT_EQ(LookOf(w.surface), c.look) << int(LookOf(w.surface));
    EXPECT_EQ(Process().TimerRunning(TimerClock), false);
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

TEST_F(SkinsScenario, CyclingTheSkins) {
  struct Step {
    int index;  // in memory after the change; the clock runs at center 5
    Look look;
  };
  struct Case {
    const char *what, *element, *startIndex;
    bool file, clockPictures;
    int indexAtStart;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"ring with its file", "Background", "0", true, false, 0,
       {{1, Look::Ring}, {2, Look::FaintRing}, {3, Look::Clear}, {0, Look::Solid}, {1, Look::Ring}}},
      {"ring without a file: 0 shows 1 and goes on from 1", "Background", "0", false, false, 1,
       {{2, Look::FaintRing}, {3, Look::Clear}, {1, Look::Ring}}},
      {"center with its file and the clock", "Center", "0", true, true, 0,
       {{1, Look::Picture}, {2, Look::Picture}, {3, Look::Picture}, {4, Look::Clear}, {5, Look::Picture},
        {0, Look::Solid}, {1, Look::Picture}}},
      {"center without the clock: 5 shows 1 and goes on from 1", "Center", "4", false, false, 4,
       {{1, Look::Picture}, {2, Look::Picture}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    const std::string file = "D:\\Skins\\solid.png";
    Put(file, SolidPng(40, kOrange));
    if (c.clockPictures) CopyClockPictures();
    SetSkin(c.element, c.startIndex, "", c.file ? std::optional<std::string>(file) : std::nullopt);
    app::MainForm* form = Start();
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
      ASSERT_FALSE(Process().TimerRunning(TimerClearMemory));
      const int pushes = w.pushCount;
      background ? form->Round().ChangeBackground() : form->Round().ChangeCenter();
      EXPECT_EQ(index(), s.index);
      EXPECT_EQ(LookOf(w.surface), s.look) << int(LookOf(w.surface));
      EXPECT_EQ(w.pushCount, pushes + 2) << "pushed clear, then shown";
      const bool clock = !background && s.index == 5;
      EXPECT_EQ(Process().TimerRunning(TimerClock), clock);
      EXPECT_TRUE(Process().TimerRunning(TimerClearMemory)) << "memory is trimmed after a switch";
      if (s.look == Look::Picture && !clock) {
        for (const auto& [other, pixels] : seen) EXPECT_EQ(w.surface.pixels == pixels, other == s.index) << s.index << " vs " << other;
        seen[s.index] = w.surface.pixels;
      }
    }
    EXPECT_EQ(ConfigBytes(), configBefore) << "switching writes nothing";
  }
}

bool Dark(std::uint32_t p) { return AlphaOf(p) == 255 && RedOf(p) < 100 && GreenOf(p) < 100 && BlueOf(p) < 110; }
bool Red(std::uint32_t p) {
  return AlphaOf(p) == 255 && RedOf(p) > 150 && RedOf(p) - GreenOf(p) > 60 && RedOf(p) - BlueOf(p) > 60;
}

TEST_F(SkinsScenario, ClockHandsStandWhereTheTimeSays) {
  // A 230-pixel clock. Bands three pixels high through the centre, clear of
  // the hands' tails (30 behind the centre) and of the ticks (from 70 out):
  // a hand lying in one shows at least 15 pixels of its colour, the others none.
  const struct {
    int dx0, dx1;
    bool (*colour)(std::uint32_t);
  } bands[] = {{32, 50, Dark}, {-50, -32, Dark}, {36, 80, Red}, {-80, -36, Red}};
  const struct {
    int h, m, s;
    int band;  // the one band with a hand in it
  } cases[] = {
      {9, 0, 0, 1}, {15, 0, 0, 0},
      {3, 30, 15, 2},  // hour at 105°: below the band by now; second at 90°
      {0, 15, 0, 0},   // minute hand
      {0, 0, 45, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.h) + ":" + std::to_string(c.m) + ":" + std::to_string(c.s));
    Restart();
    CopyClockPictures();
    SetSkin("Center", "5", "230");
    desktop_->SetLocalTime({2026, 12, 6, c.h, c.m, c.s, 0});
    ASSERT_NE(Start(), nullptr);
    const LayeredSurface& clock = Center().surface;
    ASSERT_EQ(clock.width, 230);
    for (int b = 0; b < 4; ++b) {
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = bands[b].dx0; dx <= bands[b].dx1; ++dx) n += bands[b].colour(clock.At(115 + dx, 115 + dy));
      EXPECT_TRUE(b == c.band ? n >= 15 : n == 0) << "band " << b << ": " << n << " pixels of a hand's colour";
    }
  }
}

}  // namespace
}  // namespace qv::round
