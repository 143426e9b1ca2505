// The label font as read from its text form: the colour and size the label
// is drawn with, whatever the file holds.

#include <gtest/gtest.h>

#include <string>

#include "round/HintWindow.h"
#include "tests/support/Scenario.h"

namespace qv::round {
namespace {

// A process of its own, without the program.
class HintFontTest : public testing::ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    processes_.push_back(std::make_unique<headless::HeadlessProcess>(*desktop_, programDir_));
    process_ = processes_.back().get();
  }
  headless::HeadlessProcess* process_ = nullptr;
};

TEST_F(HintFontTest, ColourAndSizeAreThoseTheLabelCanShow) {
  const IWindowSystem& windows = *process_;
  const struct { const char* colour; int size; std::uint32_t expectedColour; int systemIndex, expectedSize; } cases[] = {
      {"clRed", 9, 0x0000FF, -1, 9},       {"clBtnFace", 9, 0, 15, 9},    {"clMenuBar", 9, 0, 30, 9},
      {"$FF000019", 9, 0xE9E9E9, -1, 9},  // index 25 names no system colour
      {"clDefault", 9, 0xE9E9E9, -1, 9},   {"clRed", 72, 0x0000FF, -1, 72}, {"clRed", 73, 0x0000FF, -1, 72},
      {"clRed", 2000000000, 0x0000FF, -1, 72}, {"clRed", 0, 0x0000FF, -1, 12},
  };
  for (const auto& c : cases) {
    const std::string fontText = "\"Tahoma\", " + std::to_string(c.size) + ", [], [" + c.colour + "]";
    SCOPED_TRACE(fontText);
    const HintFont font = HintFontFromSpec(fontText, windows);
    const std::uint32_t expected = c.systemIndex >= 0 ? windows.SystemColour(c.systemIndex).value() : c.expectedColour;
    EXPECT_EQ(font.colour, expected);
    EXPECT_EQ(font.font.pointSize, c.expectedSize);
  }
  // The resolved colours are the system's, not the factory grey.
  EXPECT_NE(windows.SystemColour(15).value(), 0xE9E9E9u);
}

// A label never loses a pixel of its text to the logical rounding.
TEST(HintLabelSizeTest, LogicalSizeRoundsUpToHoldTheText) {
  const struct { Size drawn; int dpi; Size logical; } cases[] = {
      {{75, 30}, 144, {50, 20}}, {{76, 31}, 144, {51, 21}},  {{3, 1}, 192, {2, 1}},
      {{0, 0}, 144, {1, 1}},     {{100, 17}, 96, {100, 17}}, {{63, 25}, 120, {51, 20}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LogicalLabelSize(c.drawn, c.dpi), c.logical) << c.drawn.width << "x" << c.drawn.height << " " << c.dpi;
}

}  // namespace
}  // namespace qv::round
