// The hot key's registration and dispatch, the tray, a second start, and the windows' layers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/HotKeyRegistrar.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using app::THotKeyRec;
using app::THotKeyRegistrar;
using test::ItemScenario;

constexpr unsigned kModControl = 2;

// A desktop with two running programs and no main form: the registrar alone.
struct TwoPrograms {
  std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-hotkeys-" + std::to_string(::getpid()));
  headless::HeadlessDesktop desktop{root, QV_ART_DIR};
  headless::HeadlessProcess other{desktop}, me{desktop};
  ~TwoPrograms() { std::filesystem::remove_all(root); }
};

// A key another program holds is refused quietly and takes no name.
TEST(HotKeyRegistrar, AtomNamesCountOnPastNamesOthersHold) {
  struct Case {
    std::vector<std::string> held;  // atom names another program holds
    bool keyHeld;                   // Alt+C held by another program
    std::string first, second;      // the names of this registrar's first two entries; "" refused
  };
  const std::string base = "THotKeyRegistrar:THotKeyRec_";
  const Case cases[] = {
      {{}, false, base + "0", base + "1"},
      {{base + "0"}, false, base + "1", base + "2"},  // a second running registrar
      {{base + "1"}, false, base + "0", base + "2"},  // the second entry starts counting at 1
      {{"THotKeyRegistrar:THotKeyRec_00"}, false, base + "0", base + "1"},
      {{}, true, "", base + "0"},
  };
  for (const Case& c : cases) {
    TwoPrograms p;
    for (const std::string& name : c.held) p.other.GlobalAddAtom(name);
    EXPECT_TRUE(!c.keyHeld || p.other.RegisterHotKey(7, kModAlt, 'C'));
    THotKeyRegistrar registrar(p.me);
    const THotKeyRec* first = registrar.AddHotKey(kModAlt, 'C', nullptr);
    const THotKeyRec* second = registrar.AddHotKey(kModAlt, 'D', nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->AtomName, c.second);
    EXPECT_EQ(registrar.Entries().size(), c.keyHeld ? 1u : 2u);
    if (c.keyHeld) {
      EXPECT_EQ(first, nullptr);
      continue;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->AtomName, c.first);
    EXPECT_EQ(p.me.HotKeys().at(first->Atom), (std::pair<unsigned, unsigned>{kModAlt, 'C'}));
  }
}

TEST(HotKeyRegistrar, DispatchRunsTheFirstMatchingRegisteredEnabledEntry) {
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
      {"a disabled registrar", kModAlt, 'C', false, true, true, false, 0, false},
      {"a disabled entry", kModAlt, 'C', true, false, true, false, 0, false},
      {"answered as handled", kModAlt, 'C', true, true, true, true, 1, true},
      {"repeats allowed while running", kModAlt, 'C', true, true, false, false, 2, false},
  };
  TwoPrograms p;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    THotKeyRegistrar registrar(p.me);
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
  const Case cases[] = {{'A', 'A'}, {'Z', 'Z'}, {'c', 'C'}, {'z', 'Z'},
                        {'7', '7'}, {'@', 0},   {'[', 0},   {'\xE5', 0}};
  for (const Case& c : cases) EXPECT_EQ(app::HotKeyVirtualKey(c.letter), c.key) << static_cast<int>(c.letter);
}

// ---- the main form in the tray ------------------------------------------------------

class TrayHotKeyTest : public ItemScenario {
 protected:
  // The main form and the ring's windows that are visible, and the label if it is.
  std::string Visible(app::MainForm& form) {
    std::string names = Process().IsVisible(form.MainWindow()) ? "main" : "";
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15", "FormHint"})
      if (Process().IsVisible(Named(name)->id)) names += std::string(" ") + name;
    return names;
  }
  static constexpr const char* kAll = "main BackGroundForm CenterForm Circle3 Circle15 FormHint";
  // The ring's windows are the topmost of the desktop, in this order.
  std::string Top4() {
    const std::vector<WindowId>& z = desktop_->ZOrder();
    std::string names;
    for (std::size_t i = z.size() < 4 ? 0 : z.size() - 4; i < z.size(); ++i)
      names += desktop_->FindWindow(z[i])->name + " ";
    return names;
  }
};

// Hidden by the hot key, the program comes back whole and on top by a left press on the tray
// icon; the hot key's and a second start's way back are the Wine interaction scenario's.
TEST_F(TrayHotKeyTest, TheTrayPressShowsEverythingOnTop) {
  SetItems({3, 15});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Visible(*form), kAll);
  EXPECT_TRUE(desktop_->PressHotKey(kModAlt, 'C'));
  EXPECT_EQ(Visible(*form), "");
  EXPECT_EQ(Process().TrayIconCount(), 1) << "only the tray icon remains";
  for (const char* name : {"Circle15", "Circle3", "CenterForm", "BackGroundForm"})  // something else comes over it
    Process().BringToTop(Named(name)->id);
  form->OnTrayCallback(100, kMouseRightUp);  // the tray menu
  EXPECT_FALSE(form->WindowsShown());
  form->OnTrayCallback(100, kMouseLeftDown);
  EXPECT_EQ(Visible(*form), kAll);
  EXPECT_EQ(Top4(), "BackGroundForm CenterForm Circle3 Circle15 ");
}

// Every window takes the main window's layer, at start from the file and on every change.
TEST_F(TrayHotKeyTest, ChangingTheLayerMovesEveryWindow) {
  Basic().child("Front").attribute("Index").set_value("1");
  SetItems({3, 15});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  const WindowId hint = form->Interaction().HintWindowId();
  // The headless shell has no desktop window: the desktop layer falls back to the normal one.
  const std::pair<WindowLayer, WindowLayer> steps[] = {
      {WindowLayer::Topmost, WindowLayer::Topmost},  // Front Index 1
      {WindowLayer::Normal, WindowLayer::Normal},
      {WindowLayer::Desktop, WindowLayer::Normal},
      {WindowLayer::Topmost, WindowLayer::Topmost}};
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    if (i > 0) {
      EXPECT_EQ(form->Display().ApplyLayer(steps[i].first, {hint}), steps[i].second);
    }
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->layer, steps[i].second);
    for (const char* name : {"BackGroundForm", "CenterForm", "Circle3", "Circle15", "FormHint"})
      EXPECT_EQ(Named(name)->layer, steps[i].second) << name;
  }
  // An item made afterwards takes the layer in effect.
  form->Round().CreateRoundIconWindow(7);
  EXPECT_EQ(Named("Circle7")->layer, WindowLayer::Topmost);
}

}  // namespace
}  // namespace qv
