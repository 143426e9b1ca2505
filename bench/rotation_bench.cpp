// One tick of TimerRotation with all twenty ring items: the step, the ring
// layout and the twenty window rectangles (the core's own work, goal at most
// 50 µs), and the same tick through the main form on the headless desktop,
// moving the twenty windows in one pass.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "app/Application.h"
#include "app/MainForm.h"
#include "platform/headless/HeadlessDesktop.h"
#include "round/RingGeometry.h"
#include "round/Rotation.h"

namespace {

// Everything the tick decides: the new angle and where each window goes.
void BM_RotationTickCore(benchmark::State& state) {
  const qv::Rect main{600, 368, 194, 168};
  const double target = qv::round::RotationTarget(45);
  double angle = 0;
  std::array<qv::Rect, qv::round::kRingSlotCount> bounds{};
  for (auto _ : state) {
    const qv::round::RotationTick tick = qv::round::TickRotation(angle, 0.3, true, target);
    angle = tick.angle;
    const qv::round::RingOffsets offsets = qv::round::ComputeRingOffsets(105, 35, angle, {main.width, main.height});
    for (std::size_t i = 0; i < offsets.size(); ++i)
      bounds[i] = {main.left + offsets[i].x, main.top + offsets[i].y, 50, 50};
    benchmark::DoNotOptimize(bounds);
  }
  state.SetLabel("goal: at most 50 us");
}
BENCHMARK(BM_RotationTickCore)->Unit(benchmark::kMicrosecond);

// A started program with twenty items on a desktop of its own.
class RingOnDesktop {
 public:
  RingOnDesktop()
      : root_(std::filesystem::temp_directory_path() / ("quorvel-rotation-bench-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(root_);
    desktop_ = std::make_unique<qv::headless::HeadlessDesktop>(root_, QV_ART_DIR);
    pugi::xml_document config;
    config.load_file((std::filesystem::path(QV_SOURCE_DIR) / "config/UserInfo.xml").c_str());
    pugi::xml_node ring = config.document_element().child("RoundBackground");
    for (pugi::xml_node item = ring.first_child(); item; item = item.next_sibling()) {
      item.child("File").text().set("::{645FF040-5081-101B-9F08-00AA002F954E}");
      item.child("Name").text().set("item");
    }
    const std::filesystem::path file = desktop_->RealPath("C:\\Quorvel\\Config\\UserInfo.xml");
    std::filesystem::create_directories(file.parent_path());
    config.save_file(file.c_str());
    process_ = std::make_unique<qv::headless::HeadlessProcess>(*desktop_);
    application_ = std::make_unique<qv::app::Application>(process_->AsPlatform());
    application_->Start(*process_);
    desktop_->Advance(50);
  }
  ~RingOnDesktop() {
    application_.reset();
    process_.reset();
    desktop_.reset();
    std::filesystem::remove_all(root_);
  }
  qv::app::MainForm& Form() { return application_->Form(); }

 private:
  std::filesystem::path root_;
  std::unique_ptr<qv::headless::HeadlessDesktop> desktop_;
  std::unique_ptr<qv::headless::HeadlessProcess> process_;
  std::unique_ptr<qv::app::Application> application_;
};

void BM_RotationTickOnHeadlessDesktop(benchmark::State& state) {
  RingOnDesktop ring;
  qv::app::MainForm& form = ring.Form();
  int windows = 0;
  for (int slot = 1; slot <= 20; ++slot) windows += form.Slots()[slot].Window != qv::kNoWindow;
  if (windows != 20) state.SkipWithError("the ring did not get its twenty windows");
  qv::round::Rotation& rotation = form.Interaction().RotationState();
  for (auto _ : state) {
    // A notch each time, so that every tick turns rather than ends the turn.
    rotation.StartRotation(true);
    form.OnTimer(qv::TimerRotation);
  }
  benchmark::DoNotOptimize(form.RotationAngle());
}
BENCHMARK(BM_RotationTickOnHeadlessDesktop)->Unit(benchmark::kMicrosecond);

}  // namespace
