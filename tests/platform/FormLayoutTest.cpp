#include <gtest/gtest.h>

#include "platform/win32/FormLayout.h"

namespace qv::win32 {
namespace {

// A group box on a page, one control inside it, one beside it, a combo box
// and a control directly on the form; the page body starts at (7, 30) at 96 DPI.
TEST(FormLayoutTest, ControlsArePlacedFromTheirLogicalEdges) {
  FormSpec form;
  using enum ControlKind;
  form.controls = {
      {.name = "Box", .kind = GroupBox, .bounds = {8, 100, 140, 145}, .page = 1},
      {.name = "Inside", .kind = Picture, .bounds = {6, 15, 128, 128}, .parent = "Box"},
      {.name = "Left", .kind = Edit, .bounds = {3, 5, 3, 21}, .page = 1},
      {.name = "Right", .kind = Edit, .bounds = {6, 5, 3, 21}, .page = 1},
      {.name = "Combo", .kind = ComboBox, .bounds = {110, 12, 200, 22}, .page = 1},
      {.name = "OnForm", .kind = Button, .bounds = {282, 277, 75, 25}},
  };
  const Point page{7, 30};
  const struct { const char* control; int dpi; Rect physical; } cases[] = {
      {"Box", 192, {30, 260, 280, 290}},
      {"Inside", 96, {21, 145, 128, 128}},
      // Children of a group box take the box's page with it, and scale from
      // their place on the form: 21 .. 149 at 1.5 is 31.5 .. 223.5, rounded to 32 .. 224.
      {"Inside", 144, {32, 218, 192, 192}},
      // Edges, not sizes, are rounded: 10..13 and 13..16 at 1.5 still meet at 20.
      {"Left", 144, {15, 53, 5, 31}},
      {"Right", 144, {20, 53, 4, 31}},
      // The open list below a combo box grows with the rest.
      {"Combo", 192, {234, 84, 400, 444}},
      {"OnForm", 120, {353, 346, 93, 32}},
  };
  for (const auto& c : cases) {
    const ControlSpec* design = nullptr;
    for (const ControlSpec& s : form.controls)
      if (s.name == c.control) design = &s;
    ASSERT_NE(design, nullptr);
    EXPECT_EQ(ControlPlace(form, *design, page, c.dpi), c.physical) << c.control << " at " << c.dpi;
  }
}

TEST(FormLayoutTest, FontHeightsFollowTheDpi) {
  const struct { int points, pixels, dpi, height; } cases[] = {
      {0, 0, 96, -11},  // the form's 8 points
      {8, 0, 120, -13}, {8, 0, 192, -21}, {9, 0, 144, -18}, {9, 0, 100, -13},  // 12.5 rounds up as MulDiv does
      {0, 16, 120, -20}, {12, 16, 192, -32},  // pixels win
  };
  for (const auto& c : cases) {
    ControlFont font;
    font.points = c.points;
    font.pixels = c.pixels;
    EXPECT_EQ(FontHeight(font, 8, c.dpi), c.height) << c.points << "pt " << c.pixels << "px at " << c.dpi;
  }
}

TEST(FormLayoutTest, PicturesShrinkToFitAndGrowOnlyWithTheDpi) {
  const struct { Size picture, box; int dpi; Size shown; } cases[] = {
      {{48, 48}, {128, 128}, 96, {48, 48}},     // never enlarged at 100 %
      {{48, 48}, {192, 192}, 144, {72, 72}},    // but as large as the display makes it
      {{300, 150}, {256, 256}, 192, {256, 128}},  // shrunk to the box, proportional
      {{1000, 1}, {50, 50}, 96, {50, 1}},       // never below a pixel
      {{0, 10}, {50, 50}, 96, {0, 0}},          {{10, 10}, {0, 50}, 96, {0, 0}},
  };
  for (const auto& c : cases) {
    const Size s = FittedPicture(c.picture, c.box, c.dpi);
    EXPECT_EQ(s.width, c.shown.width) << c.picture.width << "x" << c.picture.height << " at " << c.dpi;
    EXPECT_EQ(s.height, c.shown.height) << c.picture.width << "x" << c.picture.height << " at " << c.dpi;
  }
}

LayeredSurface Filled(int w, int h, std::uint32_t pixel) {
  LayeredSurface s(w, h);
  for (std::uint32_t& p : s.pixels) p = pixel;
  return s;
}

TEST(FormLayoutTest, ResamplingKeepsFlatColourAndAverages) {
  // A flat, half-transparent premultiplied colour stays exactly that, both ways.
  const std::uint32_t flat = PackBgra(40, 60, 100, 128);
  for (const Size to : {Size{5, 5}, Size{96, 96}, Size{17, 80}}) {
    const LayeredSurface out = Resample(Filled(48, 48, flat), to.width, to.height);
    ASSERT_EQ(out.width, to.width);
    ASSERT_EQ(out.height, to.height);
    for (std::uint32_t p : out.pixels) ASSERT_EQ(p, flat) << to.width << "x" << to.height;
  }
  // Halving averages each 2 x 2 block exactly; a third of a pixel counts a third.
  LayeredSurface check(4, 1);
  check.pixels = {PackBgra(0, 0, 0, 255), PackBgra(255, 255, 255, 255), PackBgra(0, 0, 0, 0), PackBgra(90, 90, 90, 90)};
  const LayeredSurface half = Resample(check, 2, 1);
  EXPECT_EQ(half.At(0, 0), PackBgra(128, 128, 128, 255));  // 127.5 rounds up
  EXPECT_EQ(half.At(1, 0), PackBgra(45, 45, 45, 45));
  const LayeredSurface third = Resample(check, 3, 1);  // each target covers 4/3 sources
  EXPECT_EQ(BlueOf(third.At(0, 0)), 64);               // (0 * 1 + 255 * 1/3) * 3/4 = 63.75
  // Doubling: the ends keep their colour, the middle pixels blend a quarter and three quarters.
  LayeredSurface two(2, 1);
  two.pixels = {PackBgra(0, 0, 0, 255), PackBgra(200, 200, 200, 255)};
  const LayeredSurface four = Resample(two, 4, 1);
  for (const auto& [x, blue] : {std::pair{0, 0}, {1, 50}, {2, 150}, {3, 200}}) EXPECT_EQ(BlueOf(four.At(x, 0)), blue);
  // Nothing to resample, or nowhere to put it.
  EXPECT_TRUE(Resample(LayeredSurface(), 4, 4).Empty());
  EXPECT_TRUE(Resample(two, 0, 4).Empty());
}

}  // namespace
}  // namespace qv::win32
