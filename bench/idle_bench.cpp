// What an idle program costs the machine: the timer callbacks it takes in a
// minute of nobody touching it, on the headless desktop with the shipped file,
// in each state a user leaves it in. A launcher lives all day; every wake-up
// here is one a laptop pays for in battery.
//
// Printed per state: "wakeups/min" (all timers) and "clock/min" (the clock's
// own), after a settling minute so that start-up work is not counted.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "app/Application.h"
#include "app/MainForm.h"
#include "platform/FormTimer.h"
#include "platform/headless/HeadlessDesktop.h"

namespace {

enum class Idle { Shown, RingHidden, InTray };

constexpr int kClockCenter = 5;
constexpr std::int64_t kMinute = 60'000;

void WriteConfig(qv::headless::HeadlessDesktop& desktop, int centerIndex) {
  pugi::xml_document config;
  config.load_file((std::filesystem::path(QV_SOURCE_DIR) / "config/UserInfo.xml").c_str());
  for (pugi::xpath_node center : config.select_nodes("//Center"))
    center.node().attribute("Index").set_value(centerIndex);
  const std::filesystem::path file = desktop.RealPath("C:\\Quorvel\\Config\\UserInfo.xml");
  std::filesystem::create_directories(file.parent_path());
  config.save_file(file.c_str());
}

long Total(const std::map<int, long>& counts) {
  long sum = 0;
  for (const auto& [id, n] : counts) sum += n;
  return sum;
}

void BM_IdleMinute(benchmark::State& state) {
  const auto idle = static_cast<Idle>(state.range(0));
  const bool clock = state.range(1) != 0;
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-idle-bench-" + std::to_string(::getpid()));
  long wakeups = 0, ticks = 0;
  for (auto _ : state) {
    std::filesystem::remove_all(root);
    auto desktop = std::make_unique<qv::headless::HeadlessDesktop>(root, QV_ART_DIR);
    WriteConfig(*desktop, clock ? kClockCenter : 1);
    std::filesystem::copy(std::filesystem::path(QV_ART_DIR) / "Icon", desktop->RealPath("C:\\Quorvel\\Icon"),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    auto process = std::make_unique<qv::headless::HeadlessProcess>(*desktop);
    qv::app::Application application(process->AsPlatform());
    application.Start(*process);
    if (idle == Idle::RingHidden) application.Form().ToggleRound();
    if (idle == Idle::InTray) application.Form().MinimizeToTray();
    desktop->Advance(kMinute);
    const auto before = process->TimerCallbacks();
    desktop->Advance(kMinute);
    const auto& after = process->TimerCallbacks();
    wakeups = Total(after) - Total(before);
    const auto tick = [](const std::map<int, long>& m) {
      const auto it = m.find(qv::TimerClock);
      return it == m.end() ? 0L : it->second;
    };
    ticks = tick(after) - tick(before);
  }
  std::filesystem::remove_all(root);
  state.counters["wakeups/min"] = static_cast<double>(wakeups);
  state.counters["clock/min"] = static_cast<double>(ticks);
}
BENCHMARK(BM_IdleMinute)
    ->ArgNames({"state", "clock"})
    ->ArgsProduct({{static_cast<int>(Idle::Shown), static_cast<int>(Idle::RingHidden), static_cast<int>(Idle::InTray)},
                   {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
