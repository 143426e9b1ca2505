// Living in the tray: the hot key's registration and dispatch, showing and
// hiding from the hot key, the tray icon and a second start, and the layers
// every window of the program takes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/HotKeyRegistrar.h"
#include "tests/round/RingScenario.h"

namespace qv {
namespace {

using app::THotKeyRec;
using app::THotKeyRegistrar;
using testing::RingScenario;

constexpr unsigned kModControl = 2;

// A desktop with two running programs and no main form: the registrar alone.
class HotKeyDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("quorvel-hotkeys-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
             std::to_string(::getpid()));
    desktop_ = std::make_unique<headless::HeadlessDesktop>(root_, QV_ART_DIR);
    other_ = std::make_unique<headless::HeadlessProcess>(*desktop_);
    me_ = std::make_unique<headless::HeadlessProcess>(*desktop_);
  }
  void TearDown() override {
    me_.reset();
    other_.reset();
    desktop_.reset();
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path root_;
  std::unique_ptr<headless::HeadlessDesktop> desktop_;
  std::unique_ptr<headless::HeadlessProcess> other_, me_;
};

TEST_F(HotKeyDesktop, AtomNamesCountOnPastNamesOthersHold) {
  struct Case {
    std::vector<std::string> held;  // atom names another program holds
    std::string first, second;      // the names of this registrar's first two entries
  };
  const std::string base = "THotKeyRegistrar:THotKeyRec_";
  const Case cases[] = {
      {{}, base + "0", base + "1"},
      {{base + "0"}, base + "1", base + "2"},  // a second running registrar
      {{base + "0", base + "1"}, base + "2", base + "3"},
      {{base + "1"}, base + "0", base + "2"},  // the second entry starts counting at 1
      {{"THotKeyRegistrar:THotKeyRec_00"}, base + "0", base + "1"},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    for (const std::string& name : c.held) other_->GlobalAddAtom(name);
    THotKeyRegistrar registrar(*me_);
    const THotKeyRec* first = registrar.AddHotKey(kModAlt, 'C', nullptr);
    const THotKeyRec* second = registrar.AddHotKey(kModAlt, 'D', nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->AtomName, c.first);
    EXPECT_EQ(second->AtomName, c.second);
    EXPECT_TRUE(first->Registered && first->Enabled && first->DisableWhileRunning && !first->MarkHandled);
    EXPECT_EQ(me_->HotKeys().at(first->Atom), (std::pair<unsigned, unsigned>{kModAlt, 'C'}));
  }
}

TEST_F(HotKeyDesktop, AKeyAnotherProgramHoldsIsRefusedQuietly) {
  ASSERT_TRUE(other_->RegisterHotKey(7, kModAlt, 'C'));
  THotKeyRegistrar registrar(*me_);
  EXPECT_EQ(registrar.AddHotKey(kModAlt, 'C', nullptr), nullptr);
  EXPECT_TRUE(registrar.Entries().empty());
  EXPECT_FALSE(me_->GlobalAtomExists("THotKeyRegistrar:THotKeyRec_0")) << "the refused key keeps no atom";
  EXPECT_FALSE(desktop_->PressHotKey(kModAlt, 'X'));
  const THotKeyRec* next = registrar.AddHotKey(kModAlt, 'D', nullptr);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->AtomName, "THotKeyRegistrar:THotKeyRec_0");
}

TEST_F(HotKeyDesktop, DispatchRunsTheFirstMatchingRegisteredEnabledEntry) {
  struct Case {
    const char* what;
    unsigned modifiers, key;
    bool registrarEnabled, entryEnabled, disableWhileRunning, markHandled;
    int calls;  // including a repeat of the key while the handler runs
    bool answered;
  };
  const Case cases[] = {
      {"the key", kModAlt, 'C', true, true, true, false, 1, false},
      {"other modifiers", kModControl, 'C', true, true, true, false, 0, false},
      {"Alt with Control", kModAlt | kModControl, 'C', true, true, true, false, 0, false},
      {"another letter", kModAlt, 'D', true, true, true, false, 0, false},
      {"a disabled registrar", kModAlt, 'C', false, true, true, false, 0, false},
      {"a disabled entry", kModAlt, 'C', true, false, true, false, 0, false},
      {"answered as handled", kModAlt, 'C', true, true, true, true, 1, true},
      {"repeats allowed while running", kModAlt, 'C', true, true, false, false, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    THotKeyRegistrar registrar(*me_);
    int calls = 0;
    bool enabledInside = true;
    THotKeyRec* rec = registrar.AddHotKey(kModAlt, 'C', [&](THotKeyRec& entry) {
      ++calls;
      enabledInside = entry.Enabled;
      // The key again, as a nested message loop inside the handler would deliver it.
      if (calls == 1) registrar.Dispatch(c.modifiers, c.key);
    });
    ASSERT_NE(rec, nullptr);
    rec->Enabled = c.entryEnabled;
    rec->DisableWhileRunning = c.disableWhileRunning;
    rec->MarkHandled = c.markHandled;
    registrar.SetEnabled(c.registrarEnabled);
    EXPECT_EQ(registrar.Dispatch(c.modifiers, c.key), c.answered);
    EXPECT_EQ(calls, c.calls);
    if (calls > 0) {
      EXPECT_EQ(enabledInside, !c.disableWhileRunning);
      EXPECT_TRUE(rec->Enabled) << "enabled again when the handler returns";
    }
  }
}

TEST(HotKeyLetter, LettersOfEitherCaseAndDigitsMakeAKey) {
  struct Case {
    char letter;
    unsigned key;
  };
  const Case cases[] = {{'C', 'C'}, {'A', 'A'}, {'Z', 'Z'}, {'c', 'C'}, {'z', 'Z'}, {'7', '7'},
                        {'?', 0},   {' ', 0},   {'\0', 0},  {'@', 0},   {'[', 0},   {static_cast<char>(0xE5), 0}};
  for (const Case& c : cases) EXPECT_EQ(app::HotKeyVirtualKey(c.letter), c.key) << static_cast<int>(c.letter);
}

// ---- the main form in the tray ------------------------------------------------------

class TrayHotKeyTest : public RingScenario {
 protected:
  // What a user sees of the program: every window of ours shown or not.
  bool AllShown(app::RoundHot& form) {
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15"})
      if (!Process().IsVisible(Named(name)->id)) return false;
    return Process().IsVisible(form.MainWindow());
  }
  bool NoneShown(app::RoundHot& form) {
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15", "FormHint"})
      if (Process().IsVisible(Named(name)->id)) return false;
    return !Process().IsVisible(form.MainWindow());
  }
  // The ring's windows are the topmost of the desktop, in this order.
  ::testing::AssertionResult RingOnTop() {
    const std::vector<WindowId>& z = desktop_->ZOrder();
    const std::vector<std::string> expected = {"BackGroundForm", "CenterForm", "Circle3", "Circle15"};
    if (z.size() < expected.size()) return ::testing::AssertionFailure() << "too few windows";
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const std::string& name = desktop_->FindWindow(z[z.size() - expected.size() + i])->name;
      if (name != expected[i]) return ::testing::AssertionFailure() << "at " << i << ": " << name;
    }
    return ::testing::AssertionSuccess();
  }
  void Bury() {
    // Another window comes over the ring.
    for (const char* name : {"Circle15", "Circle3", "CenterForm", "BackGroundForm"})
      Process().BringToTop(Named(name)->id);
  }
};

TEST_F(TrayHotKeyTest, AltAndTheLetterHideAndShowEverything) {
  SetItems({3, 15});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  ASSERT_NE(form->HotKeys(), nullptr);
  ASSERT_EQ(form->HotKeys()->Entries().size(), 1u);
  EXPECT_EQ(form->HotKeys()->Entries()[0]->AtomName, "THotKeyRegistrar:THotKeyRec_0");
  EXPECT_TRUE(AllShown(*form));

  EXPECT_TRUE(desktop_->PressHotKey(kModAlt, 'C'));
  EXPECT_FALSE(form->WindowsShown());
  EXPECT_TRUE(NoneShown(*form));
  EXPECT_EQ(desktop_->WindowAt(ItemMiddle(3)), nullptr) << "nothing of ours under the pointer";

  EXPECT_TRUE(desktop_->PressHotKey(kModAlt, 'C'));
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(AllShown(*form));
  EXPECT_TRUE(RingOnTop());
  EXPECT_FALSE(desktop_->PressHotKey(kModControl, 'C'));
}

TEST_F(TrayHotKeyTest, TheLetterComesFromTheFile) {
  struct Case {
    const char* key;
    unsigned registered;  // 0: no hot key at all
  };
  const Case cases[] = {{"Q", 'Q'}, {"q", 'Q'}, {"", 'C'}, {"?", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    TearDown();
    SetUp();
    Basic().child("HotKey").attribute("Key").set_value(c.key);
    SetItems({3, 15});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    if (c.registered == 0) {
      EXPECT_TRUE(Process().HotKeys().empty());
      continue;
    }
    ASSERT_EQ(Process().HotKeys().size(), 1u);
    EXPECT_EQ(Process().HotKeys().begin()->second, (std::pair<unsigned, unsigned>{kModAlt, c.registered}));
    EXPECT_TRUE(desktop_->PressHotKey(kModAlt, c.registered));
    EXPECT_FALSE(form->WindowsShown());
  }
}

TEST_F(TrayHotKeyTest, TheTrayIconRestoresOnALeftPressOnly) {
  SetItems({3, 15});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);

  // Shown: a left press raises the ring and leaves it shown.
  Bury();
  form->OnTrayCallback(100, kMouseLeftDown);
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(RingOnTop());

  form->MinimizeToTray();
  EXPECT_TRUE(NoneShown(*form));
  EXPECT_EQ(Process().TrayIconCount(), 1) << "only the tray icon remains";
  // The right button will open the tray menu; nothing else happens.
  for (std::intptr_t other :
       {std::intptr_t{kMouseRightUp}, std::intptr_t{516}, std::intptr_t{512}, std::intptr_t{515}}) {
    form->OnTrayCallback(100, other);
    EXPECT_FALSE(form->WindowsShown()) << other;
  }
  form->OnTrayCallback(100, kMouseLeftDown);
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_TRUE(AllShown(*form));
  EXPECT_TRUE(RingOnTop());
}

TEST_F(TrayHotKeyTest, ASecondStartRestoresTheFirstFromTheTray) {
  SetItems({3, 15});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  form->MinimizeToTray();
  Bury();
  EXPECT_EQ(Launch(), nullptr);
  EXPECT_TRUE(form->WindowsShown());
  EXPECT_FALSE(Process().Minimized());
  EXPECT_TRUE(AllShown(*form));
  EXPECT_TRUE(RingOnTop());
  // The hot key hides it again from there: the states agree.
  desktop_->PressHotKey(kModAlt, 'C');
  EXPECT_TRUE(NoneShown(*form));
}

TEST_F(TrayHotKeyTest, EveryWindowTakesTheMainWindowsLayer) {
  struct Case {
    const char* index;
    WindowLayer main, others;
  };
  // The headless shell has no desktop window: the desktop layer falls back to the normal one.
  const Case cases[] = {{"0", WindowLayer::Normal, WindowLayer::Normal},
                        {"1", WindowLayer::Topmost, WindowLayer::Topmost},
                        {"2", WindowLayer::Normal, WindowLayer::Normal}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    TearDown();
    SetUp();
    Basic().child("Front").attribute("Index").set_value(c.index);
    SetItems({3, 15});
    app::RoundHot* form = Start();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->layer, c.main);
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15", "FormHint"})
      EXPECT_EQ(Named(name)->layer, c.others) << name;
  }
}

TEST_F(TrayHotKeyTest, ChangingTheLayerMovesEveryWindow) {
  Basic().child("Front").attribute("Index").set_value("1");
  SetItems({3, 15});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId hint = form->Interaction().HintWindowId();
  struct Step {
    WindowLayer requested, main, others;
  };
  const Step steps[] = {{WindowLayer::Normal, WindowLayer::Normal, WindowLayer::Normal},
                        {WindowLayer::Topmost, WindowLayer::Topmost, WindowLayer::Topmost},
                        {WindowLayer::Desktop, WindowLayer::Normal, WindowLayer::Normal}};
  for (const Step& s : steps) {
    EXPECT_EQ(form->Display().ApplyLayer(s.requested, {hint}), s.main);
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->layer, s.main);
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15", "FormHint"})
      EXPECT_EQ(Named(name)->layer, s.others) << name;
  }
  // On the desktop the main window holds the whole program down there; the
  // other windows stay normal windows rather than each sinking on its own.
  EXPECT_EQ(app::CompanionLayer(WindowLayer::Desktop), WindowLayer::Normal);
  // An item made afterwards takes the layer in effect.
  form->Display().ApplyLayer(WindowLayer::Topmost, {hint});
  form->Round().CreateRoundIconWindow(7);
  EXPECT_EQ(Named("Circle7")->layer, WindowLayer::Topmost);
}

TEST_F(TrayHotKeyTest, ClosingGivesBackTheHotKeyAndTheLabel) {
  SetItems({3, 15});
  app::RoundHot* form = Start();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(Process().GlobalAtomExists("THotKeyRegistrar:THotKeyRec_0"));
  form->OnClose();
  EXPECT_TRUE(Process().HotKeys().empty()) << "unregistered, and then its atom deleted";
  EXPECT_FALSE(Process().GlobalAtomExists("THotKeyRegistrar:THotKeyRec_0"));
  EXPECT_EQ(Named("FormHint"), nullptr);
  EXPECT_EQ(Process().TrayIconCount(), 0);
}

}  // namespace
}  // namespace qv
