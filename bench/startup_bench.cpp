// The start-up step with a full ring (20 items) and 30 dock items on the
// headless desktop: the core's own cost from the start until the items are
// loaded, and what it asks of the window system per start (pushes to layered
// windows, turns of the message loop), which is what a start costs under a
// real window system, where each of them is a round trip. "held MB" is the
// memory the program itself holds once started: the heap in use, less what
// the simulated window system keeps of the pushed pictures.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "app/Application.h"
#include "app/MainForm.h"
#include "platform/headless/HeadlessDesktop.h"

namespace {

constexpr int kDockItems = 30;

// The shipped file with every ring slot and 30 dock elements filled; the
// items show the pictures of the Icon tree, as an item with a chosen picture does.
void WriteFullConfig(qv::headless::HeadlessDesktop& desktop) {
  pugi::xml_document config;
  config.load_file((std::filesystem::path(QV_SOURCE_DIR) / "config/UserInfo.xml").c_str());
  const char* const pictures[] = {"MyComputer.png",   "MyDocuments.png", "RecycleBin.png",
                                  "ControlPanel.png", "MyNetwork.png",   "Help.png"};
  int n = 0;
  auto fill = [&](pugi::xml_node item) {
    item.child("File").text().set("::{645FF040-5081-101B-9F08-00AA002F954E}");
    item.child("Name").text().set(("item " + std::to_string(++n)).c_str());
    pugi::xml_node icon = item.child("IconPath");
    if (!icon) icon = item.append_child("IconPath");
    pugi::xml_node define = icon.child("Define");
    if (!define) define = icon.append_child("Define");
    define.text().set((std::string("C:\\Quorvel\\Icon\\SysTool\\") + pictures[n % 6]).c_str());
  };
  pugi::xml_node root = config.document_element();
  for (pugi::xml_node item = root.child("RoundBackground").first_child(); item; item = item.next_sibling()) fill(item);
  root.remove_child("RectBackground");
  pugi::xml_node dock = root.append_child("RectBackground");
  for (int j = 1; j <= kDockItems; ++j) {
    pugi::xml_node item = dock.append_child(("Rect" + std::to_string(j)).c_str());
    for (const char* child : {"File", "Argument", "Name", "Http", "InitialPosition"}) item.append_child(child);
    fill(item);
  }
  const std::filesystem::path file = desktop.RealPath("C:\\Quorvel\\Config\\UserInfo.xml");
  std::filesystem::create_directories(file.parent_path());
  config.save_file(file.c_str());
}

void BM_StartFullRingAndDock(benchmark::State& state) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-startup-bench-" + std::to_string(::getpid()));
  double pushes = 0, windows = 0, held = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(root);
    auto desktop = std::make_unique<qv::headless::HeadlessDesktop>(root, QV_ART_DIR);
    WriteFullConfig(*desktop);
    std::filesystem::copy(std::filesystem::path(QV_ART_DIR) / "Icon", desktop->RealPath("C:\\Quorvel\\Icon"),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    auto process = std::make_unique<qv::headless::HeadlessProcess>(*desktop);
    const std::size_t heapBefore = ::mallinfo2().uordblks;
    state.ResumeTiming();

    qv::app::Application application(process->AsPlatform());
    application.Start(*process);
    desktop->Advance(50);

    state.PauseTiming();
    if (!application.Form().IconsLoaded()) state.SkipWithError("the start-up step did not run");
    pushes = windows = 0;
    double pictures = 0;
    for (const qv::headless::WindowRecord* w : desktop->Windows()) {
      pushes += w->pushCount;
      windows += 1;
      pictures += static_cast<double>(w->surface.pixels.capacity() * sizeof(std::uint32_t));
    }
    held = (static_cast<double>(::mallinfo2().uordblks) - static_cast<double>(heapBefore) - pictures) / (1024.0 * 1024.0);
    state.ResumeTiming();
  }
  std::filesystem::remove_all(root);
  state.counters["windows"] = windows;
  state.counters["pushes"] = pushes;
  state.counters["held MB"] = held;
}
BENCHMARK(BM_StartFullRingAndDock)->Unit(benchmark::kMillisecond);

}  // namespace
