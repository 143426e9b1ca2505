// Input that reaches the program while its start-up step builds the windows
// (each new window lets the loop run): whatever it does, the file and memory
// agree once the step has ended.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

class StartupInputTest : public test::ItemScenario {};

TEST_F(StartupInputTest, InputDuringTheStartUpStepIsNotUndoneByItsSave) {
  struct Case {
    const char* what;
    std::function<void(app::MainForm&)> input;
  };
  const Case cases[] = {
      {"an exchange by drag", [this](app::MainForm&) { Drag(ItemMiddle(1), ItemMiddle(2)); }},
      {"the next skin, then a close",
       [](app::MainForm& f) {
         f.OnKeyDown(f.MainWindow(), 32);  // Space
         f.OnClose();
       }},
      {"a logoff", [](app::MainForm& f) { EXPECT_TRUE(f.OnQueryEndSession()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Afresh();
    SetItems({1, 2, 3});
    InstallConfig(Xml());
    app::MainForm* form = Launch();
    ASSERT_NE(form, nullptr);
    // Once the first two items show (the file is read by then), the input comes.
    bool given = false;
    desktop_->InputDuringPump([&] {
      if (!CircleWindow(2) || CircleWindow(2)->alpha == 0 || !CircleWindow(3)) return false;
      c.input(*form);
      given = true;
      return true;
    });
    desktop_->Advance(50);
    ASSERT_TRUE(given);

    const pugi::xml_document doc = LoadConfigDom();
    for (int slot = 1; slot <= 3; ++slot)
      EXPECT_EQ(FileCircle(doc, slot).child_value("File"), form->Slots()[slot].File);
    EXPECT_EQ(
        doc.document_element().child("Setup").child("Basic").child("Background").attribute("Index").as_int(),
        form->Settings().BackgroundIndex);
  }
}

// What a save cut short by a crash leaves beside the file goes at the next
// start; while the file itself is missing, a leftover may be the only copy.
TEST_F(StartupInputTest, TemporariesOfACrashedSaveGoAtTheNextStartWhileTheFileIsThere) {
  const std::string leftover = "C:\\Quorvel\\Config\\.UserInfo.xml.tmp-a1B2c3";
  const std::string other = "C:\\Quorvel\\Config\\.Other.xml.tmp-a1B2c3";
  for (const bool withFile : {true, false}) {
    SCOPED_TRACE(withFile ? "the file is there" : "the file is missing");
    Afresh();
    Put(leftover, "<half");
    Put(other, "<not ours");
    if (withFile) {
      ASSERT_NE(Start(), nullptr);
    } else {
      Launch();
    }
    EXPECT_EQ(std::filesystem::exists(desktop_->RealPath(leftover)), !withFile);
    EXPECT_TRUE(std::filesystem::exists(desktop_->RealPath(other)));
  }
}

}  // namespace
}  // namespace qv
