// A random soak of the running program on the headless desktop: thousands of
// pointer, wheel, key, drop, menu, tray, hot key, display and timer events in
// a random order, with the whole state checked after every one of them.
//
//   QV_SOAK_SEED=n QV_SOAK_STEPS=m qv_app_tests --gtest_filter='Soak*'
//
// replays a run (both tests then use that seed). A failure prints the seed,
// the step and the events that led to it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dock/RectLayout.h"
#include "round/RingGeometry.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using catalogue::Presentation;
using catalogue::WindowRole;

constexpr unsigned kLeft = 0x25, kRight = 0x27, kUp = 0x26, kDown = 0x28, kSpace = 0x20, kEnter = 0x0D;

class Soak;

// One kind of event: its weight among the others and what it does.
struct EventKind {
  const char* name;
  int weight;
  std::function<void(Soak&)> run;
};

class Soak : public test::ItemScenario {
 public:
  std::mt19937_64 random;
  app::MainForm* form = nullptr;
  int barHeight = 0;
  std::vector<std::string> dropTargets;

  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); }
  bool OneIn(int n) { return Below(n) == 0; }
  headless::HeadlessDesktop& Desk() { return *desktop_; }
  headless::HeadlessProcess& Program() { return Process(); }

  const headless::WindowRecord* Win(WindowId id) const { return desktop_->FindWindow(id); }
  std::vector<int> OccupiedRing() {
    std::vector<int> slots;
    for (int s = 1; s <= catalogue::kRingSlots; ++s)
      if (form->Slots()[s].Window != kNoWindow) slots.push_back(s);
    return slots;
  }
  // A window of the program, by role: ring items, dock items, or anything.
  const headless::WindowRecord* AnyItem(bool dock) {
    std::vector<int> slots;
    if (dock) {
      for (int j = 1; j <= form->RectItemCount(); ++j) slots.push_back(20 + j);
    } else {
      slots = OccupiedRing();
    }
    if (slots.empty()) return nullptr;
    return Win(form->Slots()[slots[static_cast<std::size_t>(Below(static_cast<int>(slots.size())))]].Window);
  }
  const headless::WindowRecord* AnyWindow() {
    std::vector<const headless::WindowRecord*> all;
    for (const headless::WindowRecord* w : desktop_->Windows())
      if (w->owner == &Process() && w->visible && !w->mainForm) all.push_back(w);
    return all.empty() ? nullptr : all[static_cast<std::size_t>(Below(static_cast<int>(all.size())))];
  }
  Point Inside(const headless::WindowRecord* w) {
    if (!w) return RandomPoint();
    return {w->bounds.left + Below(w->bounds.width), w->bounds.top + Below(w->bounds.height)};
  }
  Point Middle(const headless::WindowRecord* w) {
    return w ? Point{w->bounds.left + w->bounds.width / 2, w->bounds.top + w->bounds.height / 2} : RandomPoint();
  }
  Point RandomPoint() {
    const Rect s = desktop_->Screen();
    return {s.left - 20 + Below(s.width + 40), s.top - 20 + Below(s.height + 40)};
  }
  Point RingCentre() { return round::RingCentre(Win(form->MainWindow())->bounds); }
  Point NearRing(int radius) {
    const Point c = RingCentre();
    return {c.x - radius + Below(2 * radius + 1), c.y - radius + Below(2 * radius + 1)};
  }

  void Drag(Point from, Point to, MouseButton button = MouseButton::Left) {
    desktop_->MouseMove(from);
    desktop_->MouseDown(from, button);
    const int steps = 1 + Below(6);
    for (int i = 1; i <= steps; ++i) {
      desktop_->MouseMove({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
      if (OneIn(4)) desktop_->Advance(Below(60));
    }
    desktop_->MouseUp(to, button);
  }
  void RightClick(Point p) {
    desktop_->MouseMove(p);
    desktop_->MouseDown(p, MouseButton::Right);
    desktop_->MouseUp(p, MouseButton::Right);
  }
  // What the next menu answers: any command but the exit, or nothing.
  void ScriptMenu() {
    const int pick = 1 + Below(static_cast<int>(app::Command::Properties) + 3);
    if (pick > static_cast<int>(app::Command::Properties) || pick == static_cast<int>(app::Command::Exit))
      return desktop_->ScriptMenuDismiss();
    // Clearing the ring asks first; the answer is as random as the rest.
    if (pick == static_cast<int>(app::Command::ClearAll))
      desktop_->ScriptMessageBoxAnswer(OneIn(2) ? MessageBoxResult::Yes : MessageBoxResult::No);
    desktop_->ScriptMenuCommand(pick);
  }
  void Drop(Point at) {
    desktop_->SetCursor(at);
    std::vector<std::string> paths{dropTargets[static_cast<std::size_t>(Below(static_cast<int>(dropTargets.size())))]};
    if (OneIn(5)) paths.push_back(dropTargets[static_cast<std::size_t>(Below(static_cast<int>(dropTargets.size())))]);
    Process().Sink()->OnDropFiles(paths, at);
  }

  std::string CheckInvariants();
  void Run(std::uint64_t seed, int steps);
};

const std::vector<EventKind>& Kinds() {
  static const std::vector<EventKind> kinds = {
      {"move", 12, [](Soak& s) { s.Desk().MouseMove(s.OneIn(2) ? s.Inside(s.AnyWindow()) : s.RandomPoint()); }},
      {"move over dock", 6, [](Soak& s) { s.Desk().MouseMove(s.Inside(s.AnyItem(true))); }},
      {"press", 3, [](Soak& s) { s.Desk().MouseDown(s.Inside(s.AnyWindow())); }},
      {"release", 3, [](Soak& s) { s.Desk().MouseUp(s.OneIn(2) ? s.Inside(s.AnyWindow()) : s.RandomPoint()); }},
      {"click", 4,
       [](Soak& s) {
         const int where = s.Below(4);
         const Point p = s.Middle(where == 0 ? s.Desk().FindWindowByName("CenterForm") : s.AnyItem(where == 1));
         s.Desk().MouseDown(p);
         s.Desk().MouseUp(p);
       }},
      {"exchange", 6, [](Soak& s) { s.Drag(s.Middle(s.AnyItem(false)), s.Middle(s.AnyItem(false))); }},
      {"drag ring item nearby", 4,
       [](Soak& s) { s.Drag(s.Middle(s.AnyItem(false)), s.NearRing(s.OneIn(2) ? 150 : 400)); }},
      {"drag ring item out", 8, [](Soak& s) { s.Drag(s.Middle(s.AnyItem(false)), s.RandomPoint()); }},
      {"drag ring skin", 2,
       [](Soak& s) {
         const Point from = s.Inside(s.Desk().FindWindowByName("BackGroundForm"));
         s.Drag(from, {from.x - 60 + s.Below(121), from.y - 60 + s.Below(121)});
       }},
      {"drag dock item", 5,
       [](Soak& s) {
         const headless::WindowRecord* item = s.AnyItem(true);
         s.Drag(s.Middle(item), s.OneIn(2) ? s.Inside(s.Desk().FindWindowByName("RectForm")) : s.RandomPoint());
       }},
      {"right drag", 1, [](Soak& s) { s.Drag(s.Middle(s.AnyItem(s.OneIn(2))), s.RandomPoint(), MouseButton::Right); }},
      {"wheel", 4, [](Soak& s) { s.Desk().Wheel(s.Inside(s.AnyWindow()), s.OneIn(2) ? 1 : -1 - s.Below(2)); }},
      {"key", 5,
       [](Soak& s) {
         static const unsigned keys[] = {kLeft, kRight, kUp, kDown, kSpace, kEnter, 'A'};
         s.Desk().KeyDown(keys[s.Below(static_cast<int>(std::size(keys)))]);
       }},
      {"drop", 4,
       [](Soak& s) {
         const int where = s.Below(4);
         s.Drop(where == 0 ? s.RandomPoint() : where == 1 ? s.NearRing(200) : s.Inside(s.Desk().FindWindowByName("RectForm")));
       }},
      {"menu", 5,
       [](Soak& s) {
         s.ScriptMenu();
         const int where = s.Below(5);
         const headless::WindowRecord* w = where == 0   ? s.AnyItem(false)
                                           : where == 1 ? s.AnyItem(true)
                                           : where == 2 ? s.Desk().FindWindowByName("CenterForm")
                                           : where == 3 ? s.Desk().FindWindowByName("RectForm")
                                                        : s.AnyWindow();
         s.RightClick(s.Middle(w));
       }},
      {"tray menu", 1,
       [](Soak& s) {
         s.ScriptMenu();
         s.Desk().SetCursor(s.RandomPoint());
         s.form->OnTrayCallback(100, kMouseRightUp);
       }},
      // A presentation switched off comes back through the tray menu, or most of a run passes hidden.
      {"switch back on", 3,
       [](Soak& s) {
         const bool round = !s.form->Settings().IsShowRound;
         if (!round && s.form->Settings().IsShowRect) return;
         s.Desk().ScriptMenuCommand(static_cast<int>(round ? app::Command::ToggleRound : app::Command::ToggleRect));
         s.form->OnTrayCallback(100, kMouseRightUp);
       }},
      {"tray click", 4, [](Soak& s) { s.form->OnTrayCallback(100, kMouseLeftDown); }},
      {"hot key", 2,
       [](Soak& s) {
         for (const auto& [id, key] : s.Program().HotKeys()) s.Desk().PressHotKey(key.first, key.second);
       }},
      {"display change", 1,
       [](Soak& s) {
         static const Rect screens[] = {{0, 0, 1280, 800}, {0, 0, 1024, 768}, {0, 0, 1920, 1080}, {0, 0, 800, 600}};
         s.Desk().SetScreen(screens[s.Below(static_cast<int>(std::size(screens)))]);
         s.form->OnDisplayChange();
       }},
      // The program moved to a monitor of another scale: every picture is drawn again.
      {"dpi change", 1,
       [](Soak& s) {
         static const int dpis[] = {96, 120, 144, 192};
         s.Desk().SetDpi(dpis[s.Below(static_cast<int>(std::size(dpis)))]);
       }},
      {"resume", 1, [](Soak& s) { s.form->OnPowerBroadcast(kPowerResumeSuspend); }},
      {"deactivate", 1, [](Soak& s) { s.form->OnDeactivate(); }},
      {"advance", 10, [](Soak& s) { s.Desk().Advance(1 + s.Below(s.OneIn(5) ? 3000 : 200)); }},
  };
  return kinds;
}

// Everything a user or the file could tell about the items, checked against
// the catalogue; empty when all agree.
std::string Soak::CheckInvariants() {
  std::ostringstream bad;
  catalogue::ItemSlots& slots = form->Slots();
  const catalogue::WindowTable& table = slots.Windows();
  const Rect main = Win(form->MainWindow())->bounds;
  const int dockCount = slots.DockCount();

  // Windows at rest can be compared with where the geometry puts them.
  const bool leftDown = desktop_->LeftButtonDown();
  const bool ringAtRest = !leftDown && !form->Interaction().RotationState().Turning() && !form->Removal().Animating() &&
                          !Process().TimerRunning(TimerIconWobbleUp) && !Process().TimerRunning(TimerIconWobbleDown) &&
                          !Process().TimerRunning(TimerRedraw) && !Process().TimerRunning(TimerPBT);
  const bool dockAtRest = ringAtRest && !form->Dock().Magnified();
  const round::RingOffsets offsets = round::ComputeRingOffsets(form->Settings().MinR, form->Settings().SeparationSize,
                                                               form->RotationAngle(), {main.width, main.height});
  dock::RectDockParams params;
  params.RectPosition = form->Settings().RectPosition;
  params.ItemCount = dockCount;
  params.Screen = desktop_->Screen();
  params.BarHeight = barHeight;
  const dock::RectLayout rest = dock::LayoutRectAtRest(params);

  int expectedItems = 0;
  for (int s = 1; s <= catalogue::kSlotCount; ++s) {
    const catalogue::TImageIconRec& rec = slots[s];
    const bool ring = s <= catalogue::kRingSlots;
    const bool occupied = ring ? !rec.File.empty() : s - 20 <= dockCount;
    if (occupied != (rec.Window != kNoWindow)) {
      bad << "slot " << s << (occupied ? " occupied without a window" : " free with a window") << "\n";
      continue;
    }
    if (!occupied) continue;
    ++expectedItems;
    const headless::WindowRecord* w = Win(rec.Window);
    const std::string name = ring ? "Circle" + std::to_string(s) : "Rect" + std::to_string(s - 20);
    const catalogue::WindowPlace place{ring ? Presentation::Round : Presentation::Rect, WindowRole::Item, s};
    if (!w) {
      bad << "slot " << s << ": window " << rec.Window << " does not exist\n";
      continue;
    }
    if (w->name != name) bad << "slot " << s << ": window named " << w->name << ", not " << name << "\n";
    if (table.Lookup(rec.Window) != place) bad << "slot " << s << ": the window table places it elsewhere\n";
    const Rect expected = ring ? Rect{main.left + offsets[static_cast<std::size_t>(s - 1)].x,
                                      main.top + offsets[static_cast<std::size_t>(s - 1)].y, 50, 50}
                               : rest.Items[static_cast<std::size_t>(s - 21)];
    if ((ring ? ringAtRest : dockAtRest) && w->bounds != expected) bad << name << " is not where its layout puts it\n";
  }

  // Every window of the process is known, and no item window outlives its slot.
  int processWindows = 0, itemWindows = 0;
  for (const headless::WindowRecord* w : desktop_->Windows()) {
    if (w->owner != &Process()) continue;
    ++processWindows;
    if (w->sizeMismatches != 0) bad << "window " << w->name << " was given a picture not of its scaled size\n";
    const std::optional<catalogue::WindowPlace> place = table.Lookup(w->id);
    if (!place) {
      bad << "window " << w->name << " is not in the window table\n";
      continue;
    }
    if (place->role != WindowRole::Item) continue;
    ++itemWindows;
    if (place->slot < 1 || place->slot > catalogue::kSlotCount || slots[place->slot].Window != w->id)
      bad << "item window " << w->name << " belongs to no slot (table says " << place->slot << ")\n";
  }
  if (itemWindows != expectedItems) bad << itemWindows << " item windows for " << expectedItems << " items\n";
  if (table.Size() != static_cast<std::size_t>(processWindows))
    bad << "window table holds " << table.Size() << ", the process " << processWindows << "\n";
  if (dockAtRest && Win(form->Dock().Bar())->bounds != rest.Bar) bad << "the bar is not where its row puts it\n";

  // The file agrees with memory, element by element.
  const pugi::xml_document doc = LoadConfigDom();
  const pugi::xml_node root = doc.document_element();
  for (int s = 1; s <= catalogue::kRingSlots; ++s) {
    const pugi::xml_node e = root.child("RoundBackground").child(("Circle" + std::to_string(s)).c_str());
    if (e.child_value("File") != slots[s].File || (!slots[s].File.empty() && e.child_value("Name") != slots[s].Hint))
      bad << "Circle" << s << " differs in the file\n";
  }
  int j = 0;
  for (const pugi::xml_node e : root.child("RectBackground").children()) {
    ++j;
    if (j > dockCount) continue;
    const catalogue::TImageIconRec& rec = slots[20 + j];
    if (std::string(e.name()) != "Rect" + std::to_string(j) || e.child_value("File") != rec.File ||
        e.child_value("Name") != rec.Hint)
      bad << "dock element " << j << " differs in the file\n";
  }
  if (j != dockCount) bad << "the file holds " << j << " dock elements, the row " << dockCount << "\n";
  return bad.str();
}

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

void Soak::Run(std::uint64_t seed, int steps) {
  random.seed(seed);
  std::cout << "soak seed " << seed << ", " << steps << " steps (replay: QV_SOAK_SEED=" << seed
            << " QV_SOAK_STEPS=" << steps << ")" << std::endl;
  // A ring with gaps and a short dock, and things to drop.
  for (int s : {1, 2, 3, 5, 8, 9, 12, 13, 17, 20}) {
    const std::string folder = "C:\\Ring\\R" + std::to_string(s);
    std::filesystem::create_directories(desktop_->RealPath(folder));
    SetCircle(s, {folder, "R" + std::to_string(s), "", test::kMyFiles, "", ""});
  }
  std::vector<test::ItemSpec> dock;
  for (int j = 1; j <= 6; ++j) {
    const std::string folder = "C:\\Dock\\D" + std::to_string(j);
    std::filesystem::create_directories(desktop_->RealPath(folder));
    dock.push_back({folder, "D" + std::to_string(j), "", test::kMyFiles, "", ""});
  }
  SetRectList(dock);
  for (int k = 1; k <= 5; ++k) {
    dropTargets.push_back("C:\\Drop\\N" + std::to_string(k));
    std::filesystem::create_directories(desktop_->RealPath(dropTargets.back()));
  }
  dropTargets.push_back("C:\\Drop\\notes.txt");
  Put(dropTargets.back(), "notes");
  dropTargets.push_back("C:\\Drop\\missing");

  form = Start();
  ASSERT_NE(form, nullptr);
  barHeight = Win(form->Dock().Bar())->bounds.height;
  ASSERT_EQ(CheckInvariants(), "") << "at start";

  const std::vector<EventKind>& kinds = Kinds();
  int total = 0;
  for (const EventKind& k : kinds) total += k.weight;
  std::deque<std::string> recent;
  for (int step = 1; step <= steps; ++step) {
    int pick = Below(total);
    const EventKind* kind = &kinds.front();
    for (const EventKind& k : kinds) {
      if (pick < k.weight) {
        kind = &k;
        break;
      }
      pick -= k.weight;
    }
    recent.push_back(std::to_string(step) + " " + kind->name);
    if (recent.size() > 12) recent.pop_front();
    kind->run(*this);
    ASSERT_FALSE(form->Closed()) << "seed " << seed << " step " << step << ": the program closed";
    const std::string broken = CheckInvariants();
    if (!broken.empty()) {
      std::string history;
      for (const std::string& r : recent) history += "  " + r + "\n";
      FAIL() << "seed " << seed << " step " << step << " (" << kind->name << "):\n"
             << broken << "last events:\n"
             << history << "replay: QV_SOAK_SEED=" << seed << " QV_SOAK_STEPS=" << step;
    }
  }
}

// A fixed seed keeps one known run in every build; the random one walks new ground each time and prints its seed.
TEST_F(Soak, FixedSeed) {
  Run(FromEnvironment("QV_SOAK_SEED", 20240611), static_cast<int>(FromEnvironment("QV_SOAK_STEPS", 500)));
}

TEST_F(Soak, RandomSeed) {
  Run(FromEnvironment("QV_SOAK_SEED", std::random_device{}()), static_cast<int>(FromEnvironment("QV_SOAK_STEPS", 500)));
}

}  // namespace
}  // namespace qv
