// A ring saved or left beyond the monitors comes back onto a work area, at
// start and once, half a second after a display change.

#include <gtest/gtest.h>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

class OffScreenTest : public testing::ScenarioTest {
 protected:
  // The ring's windows (main form, skins, items), each wholly on area.
  void ExpectRingOn(const Rect& area) {
    int count = 0;
    for (const headless::WindowRecord* w : desktop_->Windows()) {
      if (w->name != "FormRoundHot" && w->name != "BackGroundForm" && w->name != "CenterForm" &&
          w->name.rfind("Circle", 0) != 0)
        continue;
      ++count;
      EXPECT_TRUE(w->bounds.left >= area.left && w->bounds.top >= area.top &&
                  w->bounds.Right() <= area.Right() && w->bounds.Bottom() <= area.Bottom())
          << w->name << " at " << w->bounds.left << ", " << w->bounds.top;
    }
    EXPECT_EQ(count, 4) << "the main form, both skins and the item of slot 20";
  }
  Rect MainBounds() const { return desktop_->FindWindowByName("FormRoundHot")->bounds; }

  app::MainForm* StartAt(int left, int top) {
    Basic().child("Position").attribute("Left").set_value(left);
    Basic().child("Position").attribute("Top").set_value(top);
    // The outermost item to the right: the ring reaches beyond its skin there.
    Circle(20).child("File").text().set("C:\\Quorvel\\Config\\UserInfo.xml");
    return Start();
  }
};

// The start on a removed monitor moves along one axis only; that the close writes the new place is
// the Wine scenario's. A display change to a smaller screen brings the ring back, after half a second.
TEST_F(OffScreenTest, APositionBeyondTheMonitorsComesBackAtStartAndAfterADisplayChange) {
  desktop_->SetWorkAreas({{0, 0, 1280, 760}});
  app::MainForm* form = StartAt(2000, 300);
  ASSERT_NE(form, nullptr);
  ExpectRingOn({0, 0, 1280, 760});
  EXPECT_EQ(MainBounds().top, 300);
  const Rect fitted = MainBounds();
  desktop_->SetWorkAreas({{0, 0, 1024, 768}});
  form->OnDisplayChange();
  desktop_->Advance(499);
  EXPECT_EQ(MainBounds(), fitted) << "not before half a second";
  desktop_->Advance(1);
  ExpectRingOn({0, 0, 1024, 768});
  EXPECT_FALSE(Process().TimerRunning(TimerRedraw)) << "once";
}

}  // namespace
}  // namespace qv
