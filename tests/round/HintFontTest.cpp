// The label font as read from its text form: the colour and size the label
// is drawn with, whatever the file holds.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/headless/HeadlessDesktop.h"
#include "round/HintWindow.h"

namespace qv::round {
namespace {

class HintFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("quorvel-hintfont-" + std::to_string(::getpid()));
    desktop_ = std::make_unique<headless::HeadlessDesktop>(root_, QV_ART_DIR);
    process_ = std::make_unique<headless::HeadlessProcess>(*desktop_, "C:\\Quorvel\\");
  }
  void TearDown() override {
    process_.reset();
    desktop_.reset();
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path root_;
  std::unique_ptr<headless::HeadlessDesktop> desktop_;
  std::unique_ptr<headless::HeadlessProcess> process_;
};

TEST_F(HintFontTest, ColourAndSizeAreThoseTheLabelCanShow) {
  const IWindowSystem& windows = *process_;
  struct Case {
    const char* colour;
    int size;
    std::uint32_t expectedColour;  // 0: the system's colour of systemIndex
    int systemIndex;
    int expectedSize;
  };
  const Case cases[] = {
      {"clRed", 9, 0x0000FF, -1, 9},
      {"clBtnFace", 9, 0, 15, 9},
      {"clWindowText", 9, 0, 8, 9},
      {"clMenuBar", 9, 0, 30, 9},
      {"$FF000019", 9, 0xE9E9E9, -1, 9},  // index 25 names no system colour
      {"clDefault", 9, 0xE9E9E9, -1, 9},
      {"clNone", 9, 0xE9E9E9, -1, 9},
      {"clRed", 72, 0x0000FF, -1, 72},
      {"clRed", 73, 0x0000FF, -1, 72},
      {"clRed", 2000000000, 0x0000FF, -1, 72},
      {"clRed", 0, 0x0000FF, -1, 12},
  };
  for (const Case& c : cases) {
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

}  // namespace
}  // namespace qv::round
