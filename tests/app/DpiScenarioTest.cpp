// The whole program on scaled displays: every window keeps its logical place
// and size, and every picture pushed to it is that size in physical pixels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "round/HintWindow.h"
#include "round/Interaction.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

const std::string kTools = "C:\\Quorvel\\Icon\\SysTool\\";
const char* const kPictures[] = {"MyComputer", "MyNetwork",    "MyDocuments",
                                 "RecycleBin", "ControlPanel", "MyFiles"};

struct Seen {
  Rect bounds;
  int pushCount = 0;
};

class DpiScenarioTest : public test::ItemScenario {
 protected:
  // A full ring and the five tools of a first start on the dock.
  app::MainForm* StartAt(int dpi) {
    apps_.clear();
    processes_.clear();
    desktop_ = std::make_unique<headless::HeadlessDesktop>(root_, QV_ART_DIR);
    desktop_->SetDpi(dpi);
    CopyArt();
    for (int slot = 1; slot <= 20; ++slot)
      SetCircle(slot, {"C:\\Apps\\app" + std::to_string(slot) + ".exe", "item " + std::to_string(slot), "",
                       kTools + kPictures[slot % 6] + ".png", "", ""});
    return Start();
  }

  // Every window that shows a picture, by name.
  std::map<std::string, Seen> Shown() const {
    std::map<std::string, Seen> out;
    for (const headless::WindowRecord* w : desktop_->Windows())
      if (w->pushCount > 0) out[w->name] = {w->bounds, w->pushCount};
    return out;
  }

  // Each picture is its window's scaled size, and was every time it was pushed.
  void ExpectSurfacesFitTheirWindows(int dpi) const {
    for (const headless::WindowRecord* w : desktop_->Windows()) {
      if (w->pushCount == 0) continue;
      SCOPED_TRACE(w->name);
      EXPECT_EQ(w->surface.width, ScaleForDpi(w->bounds.width, dpi));
      EXPECT_EQ(w->surface.height, ScaleForDpi(w->bounds.height, dpi));
      EXPECT_EQ(w->sizeMismatches, 0);
    }
  }
};

// A start at 200 % keeps every window's logical bounds, and the composed ring
// is the 100 % one with four pixels for each: halved again, it matches within
// what resampling may change.
TEST_F(DpiScenarioTest, StartAtTwiceTheScaleKeepsTheBoundsAndDoublesThePicture) {
  LayeredSurface pictures[2];
  std::map<std::string, Seen> shown[2];
  const int dpis[] = {96, 192};
  for (int i = 0; i < 2; ++i) {
    ASSERT_NE(StartAt(dpis[i]), nullptr);
    shown[i] = Shown();
    ExpectSurfacesFitTheirWindows(dpis[i]);
    for (const headless::ReportRecord& r : Process().Reports()) ADD_FAILURE() << r.text;
    const Rect ring = desktop_->FindWindowByName("BackGroundForm")->bounds;
    const Point centre{ring.left + ring.width / 2, ring.top + ring.height / 2};
    desktop_->SetScreen({centre.x - 230, centre.y - 230, 460, 460});
    pictures[i] = desktop_->Compose();
  }
  ASSERT_GE(shown[0].size(), 2u + 20u + 1u + 5u) << "skins, ring items, bar, dock items";
  ASSERT_EQ(shown[1].size(), shown[0].size());
  for (const auto& [name, seen] : shown[0]) EXPECT_EQ(shown[1][name].bounds, seen.bounds) << name;
  const LayeredSurface& one = pictures[0];
  const LayeredSurface& two = pictures[1];
  ASSERT_EQ(two.width, 2 * one.width);
  ASSERT_EQ(two.height, 2 * one.height);
  int close = 0, lit = 0;
  for (int y = 0; y < one.height; ++y) {
    for (int x = 0; x < one.width; ++x) {
      bool ok = true;
      for (int shift = 0; shift < 24; shift += 8) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            sum += static_cast<int>((two.At(2 * x + dx, 2 * y + dy) >> shift) & 0xFF);
        ok = ok && std::abs((sum + 2) / 4 - static_cast<int>((one.At(x, y) >> shift) & 0xFF)) <= 24;
      }
      close += ok;
      lit += (one.At(x, y) & 0xFFFFFF) != (one.At(0, 0) & 0xFFFFFF);
    }
  }
  const int total = one.width * one.height;
  EXPECT_GT(lit, total / 4) << "the ring must be on the picture";
  EXPECT_GE(close, total * 97 / 100) << close << " of " << total;
}

// A move to a monitor of another scale draws every window again at the new
// scale, where it was; the label follows with its font.
TEST_F(DpiScenarioTest, ScaleChangeWhileRunningRedrawsEveryWindowInPlace) {
  app::MainForm* form = StartAt(96);
  ASSERT_NE(form, nullptr);
  // The label shows under an item.
  const Rect item = desktop_->FindWindowByName("Circle3")->bounds;
  desktop_->MouseMove({item.left + 25, item.top + 25});
  round::HintWindow* hint = form->Interaction().HoverState().Hint();
  ASSERT_NE(hint, nullptr);
  ASSERT_EQ(hint->LHint(), "item 3");
  std::map<std::string, Seen> before = Shown();
  for (const int dpi : {144, 120, 192}) {
    SCOPED_TRACE(dpi);
    desktop_->SetDpi(dpi);
    const std::map<std::string, Seen> after = Shown();
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, seen] : before) {
      SCOPED_TRACE(name);
      EXPECT_GT(after.at(name).pushCount, seen.pushCount) << "drawn again";
      if (name != round::kHintWindowName) {
        EXPECT_EQ(after.at(name).bounds, seen.bounds);
      }
    }
    ExpectSurfacesFitTheirWindows(dpi);
    EXPECT_EQ(hint->Font().font.dpi, dpi);
    EXPECT_EQ(hint->LHint(), "item 3");
    before = after;
  }
  for (const headless::ReportRecord& r : Process().Reports()) ADD_FAILURE() << r.text;
}

}  // namespace
}  // namespace qv
