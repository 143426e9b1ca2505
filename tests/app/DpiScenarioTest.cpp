// A move to a monitor of another scale while the program runs: the label
// follows with its font. That every picture is drawn again at its window's
// scaled size is the soak's invariant; a start at 200 % is the Wine scaling scenario's.

#include <gtest/gtest.h>

#include "round/HintWindow.h"
#include "round/Interaction.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

class DpiScenarioTest : public test::ItemScenario {};

TEST_F(DpiScenarioTest, ScaleChangeWhileRunningRedrawsTheLabelWithItsFont) {
  SetItems({3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  desktop_->MouseMove(ItemMiddle(3));
  round::HintWindow* hint = form->Interaction().HoverState().Hint();
  ASSERT_NE(hint, nullptr);
  const headless::WindowRecord* label = Named(round::kHintWindowName);
  for (const int dpi : {144, 120, 192}) {
    SCOPED_TRACE(dpi);
    const int pushes = label->pushCount;
    desktop_->SetDpi(dpi);
    EXPECT_GT(label->pushCount, pushes) << "drawn again";
    EXPECT_EQ(label->surface.width, ScaleForDpi(label->bounds.width, dpi));
    EXPECT_EQ(hint->Font().font.dpi, dpi);
    EXPECT_EQ(hint->LHint(), "item 3");
  }
}

}  // namespace
}  // namespace qv
