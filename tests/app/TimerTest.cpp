// The main form's timers on the virtual clock.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FormTimer.h"
#include "platform/headless/HeadlessDesktop.h"

namespace qv {
namespace {

struct Recorder : IPlatformEvents {
  std::vector<std::pair<std::int64_t, int>> fired;
  headless::HeadlessDesktop* desktop = nullptr;
  void OnTimer(int id) override { fired.emplace_back(desktop->NowMs(), id); }
  void OnClose() override {}
  bool OnQueryEndSession() override { return true; }
  void OnPowerBroadcast(unsigned) override {}
  void OnDisplayChange() override {}
  void OnTrayCallback(std::uintptr_t, std::intptr_t) override {}
  void OnTaskbarCreated() override {}
  void OnDropFiles(const std::vector<std::string>&, Point) override {}
};

class TimerTest : public ::testing::Test {
 protected:
  std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("quorvel-timer-" + std::to_string(::getpid()));
  headless::HeadlessDesktop desktop{root, QV_ART_DIR};
  headless::HeadlessProcess process{desktop};
  Recorder recorder;
  void SetUp() override {
    recorder.desktop = &desktop;
    process.SetEventSink(&recorder);
  }
  void TearDown() override { std::filesystem::remove_all(root); }
};

// Enabling a running timer keeps its countdown; ties go to the timer armed
// first; a repeating timer re-arms when it fires.
TEST_F(TimerTest, EnablingARunningTimerKeepsItsCountdownAndDueTimersFireInOrderOfTimeThenArming) {
  FormTimer a(process, TimerRotation, 20);
  FormTimer b(process, TimerIconWobbleUp, 5);
  FormTimer c(process, TimerClock, 20);
  a.Enable();
  b.Enable();
  c.Enable();
  desktop.Advance(12);
  a.Enable();  // a second skin switch while the countdown runs
  desktop.Advance(8);
  EXPECT_EQ(recorder.fired, (std::vector<std::pair<std::int64_t, int>>{{5, TimerIconWobbleUp},
                                                                       {10, TimerIconWobbleUp},
                                                                       {15, TimerIconWobbleUp},
                                                                       {20, TimerRotation},
                                                                       {20, TimerClock},
                                                                       {20, TimerIconWobbleUp}}));
}

}  // namespace
}  // namespace qv
