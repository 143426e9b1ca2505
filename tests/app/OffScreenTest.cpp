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

TEST_F(OffScreenTest, PositionOnARemovedMonitorStartsOnTheRemainingOneAndIsSaved) {
  const Rect area{0, 0, 1280, 760};
  desktop_->SetWorkAreas({area});
  ASSERT_NE(StartAt(2000, 300), nullptr);
  ExpectRingOn(area);
  EXPECT_EQ(MainBounds().top, 300) << "moved along one axis only";
  const Rect main = MainBounds();
  App().Stop();
  const pugi::xml_node position =
      LoadConfigDom().document_element().child("Setup").child("Basic").child("Position");
  EXPECT_EQ(position.attribute("Left").as_int(), main.left);
  EXPECT_EQ(position.attribute("Top").as_int(), main.top);
}

TEST_F(OffScreenTest, DisplayChangeBringsTheRingBackWithinASmallerScreen) {
  app::MainForm* form = StartAt(1000, 300);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(MainBounds().left, 1000)
      << "the skin on screen: an item beyond the edge leaves the ring where it is";
  desktop_->SetWorkAreas({{0, 0, 1024, 768}});
  form->OnDisplayChange();
  desktop_->Advance(499);
  EXPECT_EQ(MainBounds().left, 1000) << "not before half a second";
  desktop_->Advance(1);
  ExpectRingOn({0, 0, 1024, 768});
  EXPECT_FALSE(Process().TimerRunning(TimerRedraw)) << "once";
}

}  // namespace
}  // namespace qv
