// A long run of the program on the headless desktop: pointer, wheel, key,
// drop, menu, tray, hot key, display and timer events drawn from a weighted
// table, with the whole state checked after every one of them.
//
//   QV_SOAK_SEED=n QV_SOAK_STEPS=m qv_app_tests --gtest_filter='Soak*'
//
// replays a run. A failure prints the seed, the step and the events before it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <random>
#include <sstream>

#include "dock/RectLayout.h"
#include "round/RingGeometry.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using catalogue::Presentation;
using catalogue::WindowRole;

class Soak : public test::ItemScenario {
 public:
  std::mt19937_64 random;
  app::MainForm* form = nullptr;
  int barHeight = 0;
  std::vector<std::string> dropTargets;

  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); }
  bool OneIn(int n) { return Below(n) == 0; }
  template <class T>
  const T& AnyOf(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Below(static_cast<int>(v.size())))];
  }
  headless::HeadlessDesktop& Desk() { return *desktop_; }
  using ItemScenario::Click;

  // A ring or dock item, any visible window of the program, or nothing (a point anywhere).
  const headless::WindowRecord* AnyItem(bool dock) {
    std::vector<const headless::WindowRecord*> items;
    for (int s = dock ? 21 : 1; s <= (dock ? 20 + form->RectItemCount() : catalogue::kRingSlots); ++s)
      if (form->Slots()[s].Window != kNoWindow)
        items.push_back(desktop_->FindWindow(form->Slots()[s].Window));
    return items.empty() ? nullptr : AnyOf(items);
  }
  const headless::WindowRecord* Anywhere() {
    std::vector<const headless::WindowRecord*> all{nullptr, AnyItem(false), AnyItem(true)};
    for (const headless::WindowRecord* w : desktop_->Windows())
      if (w->owner == &Process() && w->visible && !w->mainForm) all.push_back(w);
    return AnyOf(all);
  }
  Point Inside(const headless::WindowRecord* w) {
    const Rect b = w ? w->bounds
                     : Rect{desktop_->Screen().left - 20, desktop_->Screen().top - 20,
                            desktop_->Screen().width + 40, desktop_->Screen().height + 40};
    return {b.left + Below(b.width), b.top + Below(b.height)};
  }
  Point Middle(const headless::WindowRecord* w) {
    return w ? Point{w->bounds.left + w->bounds.width / 2, w->bounds.top + w->bounds.height / 2} : Inside(w);
  }
  Point NearRing(int radius) {
    const Point c = round::RingCentre(desktop_->FindWindow(form->MainWindow())->bounds);
    return {c.x - radius + Below(2 * radius + 1), c.y - radius + Below(2 * radius + 1)};
  }

  void Drag(Point from, Point to, MouseButton button = MouseButton::Left) {
    desktop_->MouseMove(from);
    desktop_->MouseDown(from, button);
    for (int i = 1, steps = 1 + Below(6); i <= steps; ++i) {
      desktop_->MouseMove({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
      if (OneIn(4)) desktop_->Advance(Below(60));
    }
    desktop_->MouseUp(to, button);
  }
  // What the next menu answers: any command but the exit, or nothing; the clear's question either answer.
  void ScriptMenu() {
    const int last = static_cast<int>(app::Command::Properties), pick = 1 + Below(last + 3);
    if (pick > last || pick == static_cast<int>(app::Command::Exit)) return desktop_->ScriptMenuDismiss();
    if (pick == static_cast<int>(app::Command::ClearAll))
      desktop_->ScriptMessageBoxAnswer(OneIn(2) ? MessageBoxResult::Yes : MessageBoxResult::No);
    desktop_->ScriptMenuCommand(pick);
  }
  void Drop(Point at) {
    desktop_->SetCursor(at);
    std::vector<std::string> paths{AnyOf(dropTargets)};
    if (OneIn(5)) paths.push_back(AnyOf(dropTargets));
    Process().Sink()->OnDropFiles(paths, at);
  }
  // A presentation switched off comes back through the tray menu, or most of a run passes hidden.
  void SwitchBackOn() {
    const bool round = !form->Settings().IsShowRound;
    if (!round && form->Settings().IsShowRect) return;
    desktop_->ScriptMenuCommand(
        static_cast<int>(round ? app::Command::ToggleRound : app::Command::ToggleRect));
    form->OnTrayCallback(100, kMouseRightUp);
  }

  std::string CheckInvariants();
  void Run(std::uint64_t seed, std::uint64_t steps);
};

struct EventKind {
  const char* name;
  int weight;
  void (*run)(Soak&);
};

const EventKind kKinds[] = {
    {"move", 18, [](Soak& s) { s.Desk().MouseMove(s.Inside(s.Anywhere())); }},
    {"press", 3, [](Soak& s) { s.Desk().MouseDown(s.Inside(s.Anywhere())); }},
    {"release", 3, [](Soak& s) { s.Desk().MouseUp(s.Inside(s.Anywhere())); }},
    {"click", 4, [](Soak& s) { s.Click(s.Middle(s.Anywhere())); }},
    {"drag ring item", 18,
     [](Soak& s) {
       const Point to = s.OneIn(2) ? s.Middle(s.AnyItem(false)) : s.NearRing(s.OneIn(2) ? 150 : 600);
       s.Drag(s.Middle(s.AnyItem(false)), to);
     }},
    {"drag", 8,
     [](Soak& s) {
       s.Drag(s.Middle(s.Anywhere()), s.Inside(s.Anywhere()),
              s.OneIn(8) ? MouseButton::Right : MouseButton::Left);
     }},
    {"wheel", 4, [](Soak& s) { s.Desk().Wheel(s.Inside(s.Anywhere()), s.OneIn(2) ? 1 : -1 - s.Below(2)); }},
    {"key", 5,
     [](Soak& s) {
       s.Desk().KeyDown(s.AnyOf(std::vector<unsigned>{0x25, 0x26, 0x27, 0x28, 0x20, 13, 'A'}));
     }},
    {"drop", 4, [](Soak& s) { s.Drop(s.OneIn(3) ? s.NearRing(200) : s.Inside(s.Anywhere())); }},
    {"menu", 5,
     [](Soak& s) {
       s.ScriptMenu();
       s.Click(s.Middle(s.Anywhere()), MouseButton::Right);
     }},
    {"tray menu", 1,
     [](Soak& s) {
       s.ScriptMenu();
       s.Desk().SetCursor(s.Inside(nullptr));
       s.form->OnTrayCallback(100, kMouseRightUp);
     }},
    {"switch back on", 3, [](Soak& s) { s.SwitchBackOn(); }},
    {"tray click", 4, [](Soak& s) { s.form->OnTrayCallback(100, kMouseLeftDown); }},
    {"hot key", 2, [](Soak& s) { s.Desk().PressHotKey(kModAlt, 'C'); }},
    {"display change", 1,
     [](Soak& s) {
       s.Desk().SetScreen(s.AnyOf(std::vector<Rect>{{0, 0, 1280, 800}, {0, 0, 1024, 768}, {0, 0, 800, 600}}));
       s.form->OnDisplayChange();
     }},
    // The program moved to a monitor of another scale: every picture is drawn again.
    {"dpi change", 1,
     [](Soak& s) {
       s.Desk().SetDpi(s.AnyOf(std::vector<int>{96, 120, 144, 192}));
     }},
    {"resume", 1, [](Soak& s) { s.form->OnPowerBroadcast(kPowerResumeSuspend); }},
    {"deactivate", 1, [](Soak& s) { s.form->OnDeactivate(); }},
    {"advance", 10, [](Soak& s) { s.Desk().Advance(1 + s.Below(s.OneIn(5) ? 3000 : 200)); }},
};

// Everything a user or the file could tell about the items, checked against
// the catalogue; empty when all agree.
std::string Soak::CheckInvariants() {
  std::ostringstream bad;
  catalogue::ItemSlots& slots = form->Slots();
  const catalogue::WindowTable& table = slots.Windows();
  const Rect main = desktop_->FindWindow(form->MainWindow())->bounds;
  // Windows at rest stand where the geometry puts them.
  const bool ringAtRest = !desktop_->LeftButtonDown() && !form->Interaction().RotationState().Turning() &&
                          !form->Removal().Animating() && !Process().TimerRunning(TimerIconWobbleUp) &&
                          !Process().TimerRunning(TimerIconWobbleDown) &&
                          !Process().TimerRunning(TimerRedraw) && !Process().TimerRunning(TimerPBT);
  const bool dockAtRest = ringAtRest && !form->Dock().Magnified();
  const round::RingOffsets ring =
      round::ComputeRingOffsets(form->Settings().MinR, form->Settings().SeparationSize, form->RotationAngle(),
                                {main.width, main.height});
  dock::RectDockParams params;
  params.RectPosition = form->Settings().RectPosition;
  params.ItemCount = slots.DockCount();
  params.Screen = desktop_->Screen();
  params.BarHeight = barHeight;
  const dock::RectLayout rest = dock::LayoutRectAtRest(params);

  int items = 0;
  for (int s = 1; s <= catalogue::kSlotCount; ++s) {
    const bool isRing = s <= catalogue::kRingSlots;
    const bool occupied = isRing ? !slots[s].File.empty() : s - 20 <= slots.DockCount();
    const headless::WindowRecord* w = desktop_->FindWindow(slots[s].Window);
    if (occupied != (slots[s].Window != kNoWindow) || (occupied && !w))
      bad << "slot " << s << " and its window\n";
    if (!occupied || !w) continue;
    ++items;
    const std::string name = isRing ? "Circle" + std::to_string(s) : "Rect" + std::to_string(s - 20);
    const catalogue::WindowPlace place{isRing ? Presentation::Round : Presentation::Rect, WindowRole::Item,
                                       s};
    if (w->name != name || table.Lookup(w->id) != place)
      bad << "slot " << s << ": window " << w->name << "\n";
    const Rect expected = isRing ? Rect{main.left + ring[static_cast<std::size_t>(s - 1)].x,
                                        main.top + ring[static_cast<std::size_t>(s - 1)].y, 50, 50}
                                 : rest.Items[static_cast<std::size_t>(s - 21)];
    if ((isRing ? ringAtRest : dockAtRest) && w->bounds != expected)
      bad << name << " is not where its layout puts it (" << w->bounds.left << "," << w->bounds.top << ")\n";
  }
  // Every window of the process is in the table, and no item window outlives its slot.
  int windows = 0, itemWindows = 0;
  const int dpi = desktop_->Dpi();
  for (const headless::WindowRecord* w : desktop_->Windows()) {
    if (w->owner != &Process()) continue;
    ++windows;
    // Every picture is its window's size at the current scale, when pushed and now.
    if (w->sizeMismatches != 0 ||
        (w->pushCount > 0 && (w->surface.width != ScaleForDpi(w->bounds.width, dpi) ||
                              w->surface.height != ScaleForDpi(w->bounds.height, dpi))))
      bad << w->name << " shows a picture not of its scaled size\n";
    const std::optional<catalogue::WindowPlace> place = table.Lookup(w->id);
    if (!place) bad << w->name << " is not in the window table\n";
    if (place && place->role == WindowRole::Item) ++itemWindows;
  }
  if (itemWindows != items || table.Size() != static_cast<std::size_t>(windows))
    bad << itemWindows << " item windows for " << items << " items, " << table.Size() << " in the table\n";
  if (dockAtRest && desktop_->FindWindow(form->Dock().Bar())->bounds != rest.Bar)
    bad << "the bar is not at rest\n";

  // The file agrees with memory, element by element.
  const pugi::xml_document doc = LoadConfigDom();
  for (int s = 1; s <= catalogue::kRingSlots; ++s) {
    const pugi::xml_node e = FileCircle(doc, s);
    if (e.child_value("File") != slots[s].File ||
        (!slots[s].File.empty() && e.child_value("Name") != slots[s].Hint))
      bad << "Circle" << s << " differs in the file\n";
  }
  int j = 0;
  for (const pugi::xml_node e : doc.document_element().child("RectBackground").children())
    if (++j <= slots.DockCount() &&
        (std::string(e.name()) != "Rect" + std::to_string(j) || e.child_value("File") != slots[20 + j].File ||
         e.child_value("Name") != slots[20 + j].Hint))
      bad << "dock element " << j << " differs in the file\n";
  if (j != slots.DockCount())
    bad << "the file holds " << j << " dock elements, the row " << slots.DockCount() << "\n";
  return bad.str();
}

void Soak::Run(std::uint64_t seed, std::uint64_t steps) {
  random.seed(seed);
  std::cout << "soak seed " << seed << ", " << steps << " steps" << std::endl;
  // A ring with gaps, a short dock and things to drop: folders, a file, a missing path.
  auto folder = [this](const std::string& path) {
    std::filesystem::create_directories(desktop_->RealPath(path));
    return path;
  };
  for (int s : {1, 2, 3, 5, 8, 9, 12, 13, 17, 20})
    SetCircle(
        s, {folder("C:\\Ring\\R" + std::to_string(s)), "R" + std::to_string(s), "", test::kMyFiles, "", ""});
  std::vector<test::ItemSpec> dock;
  for (int j = 1; j <= 6; ++j)
    dock.push_back(
        {folder("C:\\Dock\\D" + std::to_string(j)), "D" + std::to_string(j), "", test::kMyFiles, "", ""});
  SetRectList(dock);
  for (int k = 1; k <= 5; ++k) dropTargets.push_back(folder("C:\\Drop\\N" + std::to_string(k)));
  Put("C:\\Drop\\notes.txt", "notes");
  dropTargets.insert(dropTargets.end(), {"C:\\Drop\\notes.txt", "C:\\Drop\\missing"});

  form = Start();
  ASSERT_NE(form, nullptr);
  barHeight = desktop_->FindWindow(form->Dock().Bar())->bounds.height;
  ASSERT_EQ(CheckInvariants(), "") << "at start";
  int total = 0;
  for (const EventKind& k : kKinds) total += k.weight;
  std::deque<std::string> recent;
  for (std::uint64_t step = 1; step <= steps; ++step) {
    const EventKind* kind = kKinds;
    for (int pick = Below(total); pick >= kind->weight; ++kind) pick -= kind->weight;
    recent.push_back(std::to_string(step) + " " + kind->name);
    if (recent.size() > 12) recent.pop_front();
    kind->run(*this);
    const std::string broken = form->Closed() ? "the program closed\n" : CheckInvariants();
    if (!broken.empty()) {
      std::string history;
      for (const std::string& r : recent) history += "  " + r + "\n";
      FAIL() << "seed " << seed << " step " << step << ":\n" << broken << "last events:\n" << history;
    }
  }
}

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// A fixed seed keeps one known run in every build; the random one walks new ground each time.
TEST_F(Soak, FixedSeed) {
  Run(FromEnvironment("QV_SOAK_SEED", 20240611), FromEnvironment("QV_SOAK_STEPS", 500));
}

TEST_F(Soak, RandomSeed) {
  Run(FromEnvironment("QV_SOAK_SEED", std::random_device{}()), FromEnvironment("QV_SOAK_STEPS", 500));
}

}  // namespace
}  // namespace qv
