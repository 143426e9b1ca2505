// An idle program wakes up only for what can be seen: the clock ticks while
// the center shows it on screen, and stops in every way the ring can go away.

#include "tests/support/Scenario.h"

namespace qv::testing {
namespace {

class IdleTest : public ScenarioTest {};

enum class Step { ToggleRing, ToTray, TrayClick, HotKey, NextCenter };

TEST_F(IdleTest, TheClockTicksOnlyWhileItIsSeen) {
  struct Case {
    const char* name;
    int centerIndex;
    std::vector<Step> steps;
    bool ticking;
  };
  const Case cases[] = {
      {"shown", 5, {}, true},
      {"another center", 1, {}, false},
      {"ring hidden", 5, {Step::ToggleRing}, false},
      {"in the tray", 5, {Step::ToTray}, false},
      {"back from the tray", 5, {Step::ToTray, Step::TrayClick}, true},
      {"hot key hides", 5, {Step::HotKey}, false},
      {"ring hidden in the tray, then back", 5, {Step::ToTray, Step::ToggleRing, Step::TrayClick}, false},
      {"clock chosen while the ring is hidden", 4, {Step::ToggleRing, Step::NextCenter}, false},
      {"and the ring shown", 4, {Step::ToggleRing, Step::NextCenter, Step::ToggleRing}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Afresh();
    CopyArt();
    Basic().child("Center").attribute("Index").set_value(c.centerIndex);
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    for (Step step : c.steps) {
      switch (step) {
        case Step::ToggleRing: form->ToggleRound(); break;
        case Step::ToTray: form->MinimizeToTray(); break;
        case Step::TrayClick: form->OnTrayCallback(100, kMouseLeftDown); break;
        case Step::HotKey: form->OnHotKey(1, kModAlt, 'C'); break;
        case Step::NextCenter: form->Round().ChangeCenter(); break;
      }
    }
    const headless::WindowRecord* center = desktop_->FindWindowByName("CenterForm");
    ASSERT_NE(center, nullptr);
    const int pushes = center->pushCount;
    const long ticks = Process().TimerCallbacks().count(TimerClock) ? Process().TimerCallbacks().at(TimerClock) : 0;
    desktop_->Advance(3000);
    const long after = Process().TimerCallbacks().count(TimerClock) ? Process().TimerCallbacks().at(TimerClock) : 0;
    EXPECT_EQ(after - ticks, c.ticking ? 3 : 0);
    EXPECT_EQ(center->pushCount - pushes, c.ticking ? 3 : 0);
  }
}

// A clock that comes back shows the time it is now, not the time it left.
TEST_F(IdleTest, AClockSeenAgainIsDrawnAtOnce) {
  CopyArt();
  Basic().child("Center").attribute("Index").set_value(5);
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  form->MinimizeToTray();
  desktop_->Advance(90'000);
  const headless::WindowRecord* center = desktop_->FindWindowByName("CenterForm");
  const int pushes = center->pushCount;
  form->OnTrayCallback(100, kMouseLeftDown);
  EXPECT_EQ(center->pushCount, pushes + 1);
}

}  // namespace
}  // namespace qv::testing
