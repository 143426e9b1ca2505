// The dock in the running program on the headless desktop: loading, placement,
// magnification applied to the windows, the switches, drops and drag-outs with
// the file checked element by element; the theme names and the bar's alpha.

#include <gtest/gtest.h>

#include <algorithm>

#include "dock/BarSlices.h"
#include "dock/RectLayout.h"
#include "dock/RectPresentation.h"
#include "picture/PngLoader.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemSpec;

class DockScenario : public test::ItemScenario {
 protected:
  // n dock items, item j a folder named after it.
  void SetDock(int n, int position = 0) {
    std::vector<ItemSpec> items;
    for (int j = 1; j <= n; ++j) {
      const std::string folder = "C:\\Dock\\F" + std::to_string(j);
      std::filesystem::create_directories(desktop_->RealPath(folder));
      items.push_back({folder, "F" + std::to_string(j), "", test::kMyFiles, "", ""});
    }
    SetRectList(items);
    Basic().child("ShowRect").attribute("RectPosition").set_value(position);
  }
  dock::RectDockParams Params(app::MainForm& form) const {
    dock::RectDockParams p;
    p.RectPosition = form.Settings().RectPosition;
    p.ItemCount = form.RectItemCount();
    p.Screen = desktop_->Screen();
    p.BarHeight = picture::DecodePng(
                      testing::ReadBytes(desktop_->RealPath(test::kDir + "Icon\\RectangleBackground\\Default.png")))
                      .height;
    return p;
  }
  void ExpectOnScreen(const dock::RectLayout& layout) {
    ASSERT_NE(Named("RectForm"), nullptr);
    EXPECT_EQ(Named("RectForm")->bounds, layout.Bar);
    for (std::size_t i = 0; i < layout.Items.size(); ++i) {
      const headless::WindowRecord* w = Named("Rect" + std::to_string(i + 1));
      ASSERT_NE(w, nullptr) << i;
      EXPECT_EQ(w->bounds, layout.Items[i]) << "item " << i + 1;
      EXPECT_EQ(w->surface.width, layout.Items[i].width) << "picture of item " << i + 1;
    }
  }
  // The pointer rests on the middle of an item; its bounds in the row that magnified.
  static Point Middle(const Rect& r) { return {r.left + r.width / 2, r.top + r.height / 2}; }
  Rect Magnify(const std::string& name) {
    desktop_->MouseMove(Middle(Named(name)->bounds));
    return Named(name)->bounds;
  }
};

// Each move puts every window where the layout has it, in one batch. The dock
// keeps decoded pictures only while its row is magnified: each item that grows
// reads its picture once for all the moves over it, the row at rest (the
// pointer in the margin nearest the screen's edge) lets them go, and the next
// magnification reads them again.
TEST_F(DockScenario, MovesMagnifyInOneBatchDecodeOnceAndALeaveOrAResumeBringTheRowToRest) {
  SetDock(12);
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const dock::RectDockParams params = Params(*form);
  const dock::RectLayout rest = dock::LayoutRectAtRest(params);
  const auto reads = [&] { return Process().ReadCount(test::kMyFiles); };
  EXPECT_EQ(reads(), 1) << "the 12 items of one picture read it once at start";

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const int before = reads();
    // Along the row: every item that grows at some point reads its picture once.
    std::vector<bool> grew(rest.Items.size(), false);
    dock::RectTracking tracking{rest, 0};
    Point at = Middle(rest.Items[3]);
    for (int step = 0; step < 8; ++step, at.x += 13) {
      tracking = dock::TrackRectPointer(params, tracking, at);
      for (std::size_t i = 0; i < grew.size(); ++i) grew[i] = grew[i] || tracking.Layout.Items[i].width > 50;
      const int batches = Process().BatchCount();
      desktop_->MouseMove(at);
      ExpectOnScreen(tracking.Layout);
      EXPECT_EQ(Process().BatchCount(), batches + 1) << "every window moved in one batch";
    }
    ASSERT_TRUE(form->Dock().Magnified());
    EXPECT_EQ(reads() - before, static_cast<int>(std::count(grew.begin(), grew.end(), true)));
    // Back at rest: drawn from what was decoded, then let go.
    const int magnified = reads();
    form->Dock().TrackPointer({at.x, Named("RectForm")->bounds.top + 11});
    EXPECT_FALSE(form->Dock().Magnified());
    ExpectOnScreen(rest);
    EXPECT_TRUE(Process().TimerRunning(TimerClearMemory));
    EXPECT_EQ(reads(), magnified);
  }

  // A fast pointer leaves the bar for another window without a move in the
  // margin: the leave alone brings the row to rest when the pointer is outside
  // the inner zone; a leave from one dock window to another keeps it magnified.
  const Point over{rest.Items[3].left + 25, rest.Items[3].top + 25};
  const Rect bar = rest.Bar;
  const Rect ring = Named("BackGroundForm")->bounds;
  const struct { const char* what; Point to; bool magnified; } cases[] = {
      {"the next item", {over.x + 50, over.y}, true},
      {"the bar just inside its inner zone", {bar.left + 26, bar.top + 13}, true},
      {"the ring's background", {ring.left + 20, ring.top + ring.height / 2}, false},
      {"the bare desktop below the bar", {over.x, bar.Bottom() + 40}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    desktop_->MouseMove(over);
    ASSERT_TRUE(form->Dock().Magnified());
    desktop_->MouseMove(c.to);
    EXPECT_EQ(form->Dock().Magnified(), c.magnified);
    if (!c.magnified) ExpectOnScreen(rest);
  }
  // The bar keeps no copy of what its window shows: a new transparency draws
  // the same picture again and pushes it with the new alpha.
  const LayeredSurface atRest = Named("RectForm")->surface;
  form->SettingsOwner().PreviewDockTransparency(40);
  EXPECT_EQ(Named("RectForm")->alpha, dock::BarAlpha(40));
  EXPECT_TRUE(Named("RectForm")->surface.pixels == atRest.pixels && !atRest.Empty());
  // Something moved the bar while the machine slept; the resume ticks put it back.
  Process().SetBounds(Named("RectForm")->id, {3, 300, rest.Bar.width, rest.Bar.height});
  form->OnPowerBroadcast(kPowerResumeSuspend);
  desktop_->Advance(1000);
  ExpectOnScreen(rest);
}

TEST_F(DockScenario, TogglesHideTheirPresentationAndWriteTheFile) {
  SetDock(3);
  SetCircle(1, {"C:\\Dock\\F1", "ring", "", test::kMyFiles, "", ""});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  // Which switch, then whether the ring and the dock show.
  const struct { bool round, roundShown, rectShown; } steps[] = {
      {false, true, false}, {true, false, false}, {false, false, true}, {true, true, true}};
  for (const auto& s : steps) {
    SCOPED_TRACE(::testing::Message() << (s.round ? "round" : "rect") << " -> " << s.roundShown << s.rectShown);
    s.round ? form->ToggleRound() : form->ToggleRect();
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle1"})
      EXPECT_EQ(Named(name)->visible, s.roundShown) << name;
    for (const char* name : {"RectForm", "Rect1", "Rect3"}) EXPECT_EQ(Named(name)->visible, s.rectShown) << name;
    const pugi::xml_node basic = LoadConfigDom().document_element().child("Setup").child("Basic");
    EXPECT_STREQ(basic.child("ShowRound").attribute("IsShowRound").value(), s.roundShown ? "True" : "False");
    EXPECT_STREQ(basic.child("ShowRect").attribute("IsShowRect").value(), s.rectShown ? "True" : "False");
  }
  // An item dropped while the ring is hidden is created hidden.
  form->ToggleRound();
  std::filesystem::create_directories(desktop_->RealPath("C:\\New"));
  desktop_->SetCursor({5, 700});
  Process().Sink()->OnDropFiles({"C:\\New"}, {5, 700});
  EXPECT_EQ(form->Slots()[2].File, "C:\\New");
  EXPECT_FALSE(Named("Circle2")->visible);
}

// The row can go to rest while an item is carried (the program lost the
// activation meanwhile): the item given back goes where the row has it now,
// not where the magnified row had it when it was picked up.
TEST_F(DockScenario, AnItemGivenBackGoesToTheRowAsItIsNow) {
  SetDock(5);
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const Point grip = Middle(Magnify("Rect2"));
  ASSERT_TRUE(form->Dock().Magnified());
  desktop_->MouseDown(grip);
  desktop_->MouseMove({grip.x + 30, grip.y});
  Process().Sink()->OnDeactivate();
  ASSERT_FALSE(form->Dock().Magnified());
  desktop_->MouseUp({grip.x + 30, grip.y});
  EXPECT_EQ(form->RectItemCount(), 5);
  ExpectOnScreen(dock::LayoutRectAtRest(Params(*form)));
}

TEST_F(DockScenario, ElementWithoutTargetKeepsTheRowWithoutGapsAndStaysInTheFile) {
  SetDock(3);
  config_.document_element().child("RectBackground").child("Rect2").child("File").text().set("");
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(form->RectItemCount(), 3);
  ExpectOnScreen(dock::LayoutRectAtRest(Params(*form)));
  // The shell gives a drop to the window under the pointer alone: every dock window takes files.
  for (const char* name : {"RectForm", "Rect1", "Rect2", "Rect3"}) EXPECT_TRUE(Named(name)->acceptsDrops) << name;
  EXPECT_EQ(Named("Rect2")->toolTip, "F2");
  const Rect two = Named("Rect2")->bounds;
  Click({two.left + 25, two.top + 25});
  EXPECT_TRUE(desktop_->Launches().empty()) << "nothing to launch";
  form->FormClose();
  EXPECT_EQ(DockInFile(), (std::vector<std::string>{"Rect1=C:\\Dock\\F1", "Rect2=", "Rect3=C:\\Dock\\F3"}));
  EXPECT_STREQ(LoadConfigDom().document_element().child("RectBackground").child("Rect2").child_value("Name"), "F2");
}

TEST(DockTheme, NamesReachNoFurtherThanTheThemeFolder) {
  const std::pair<const char*, bool> cases[] = {
      {"My theme.v2", true}, {"..\\Default", false}, {"../Default", false}, {"..", false},    {".", false},
      {"", false},           {"C:Default", false},   {"\x01x", false},      {"nul", false},   {"Aux.v2", false},
      {"lpt9 ", false},      {"CONOUT$", false},     {"COM1", false},       {"COM", true},    {"COM10", true},
      {"Console", true}};
  for (const auto& [name, safe] : cases) EXPECT_EQ(dock::IsSafeThemeName(name), safe) << name;
  EXPECT_EQ(dock::ThemePath("C:\\Q\\", "..\\..\\x"), "");
}

TEST(DockBarAlpha, PercentToAlphaTruncates) {
  const std::pair<int, int> cases[] = {{100, 255}, {50, 127}, {0, 0}, {1, 2}, {99, 252}, {-5, 0}, {140, 255}};
  for (const auto& [percent, alpha] : cases) EXPECT_EQ(dock::BarAlpha(percent), alpha) << percent;
}

}  // namespace
}  // namespace qv
