// The about dialog: its version text, its one instance, its links.

#include <gtest/gtest.h>

#include "platform/headless/HeadlessForms.h"
#include "settings/About.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

TEST(AboutVersionText, MajorAndMinorOfTheFileVersionOrZeroWithoutAVersionResource) {
  const std::vector<std::pair<std::optional<FileVersion>, std::string>> cases = {
      {FileVersion{1, 1, 0, 0}, "版本：V 1.1"},
      {FileVersion{1, 0, 7, 9}, "版本：V 1.0"},
      {FileVersion{65535, 12, 0, 0}, "版本：V 65535.12"},
      {FileVersion{0, 0, 0, 0}, "版本：V 0.0"},
      {std::nullopt, "版本：V 0"},
  };
  for (const auto& [version, text] : cases) EXPECT_EQ(settings::VersionText(version), text);
}

class AboutTest : public testing::ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    process_ = std::make_unique<headless::HeadlessProcess>(*desktop_, programDir_);
    about_ = std::make_unique<settings::AboutDialog>(forms_, *process_, *process_, *process_);
  }
  void TearDown() override {
    about_.reset();
    process_.reset();
    ScenarioTest::TearDown();
  }
  std::string Version() { return forms_.Text(about_->Form(), "LVersion"); }

  headless::HeadlessForms forms_;
  std::unique_ptr<headless::HeadlessProcess> process_;
  std::unique_ptr<settings::AboutDialog> about_;
};

// The version is read at every opening; a second opening brings the one
// dialog to the front; the links open their address; every way of closing
// destroys the dialog.
TEST_F(AboutTest, OneDialogItsVersionItsLinksAndItsWaysOfClosing) {
  forms_.SetProgramFileVersion(FileVersion{1, 1, 0, 0});
  about_->OpenAbout();
  const FormId first = about_->Form();
  const headless::FormRecord* f = forms_.Find(first);
  EXPECT_TRUE(f->visible);
  EXPECT_EQ(f->focus, "BitBtnOK");
  EXPECT_EQ(Version(), "版本：V 1.1");
  EXPECT_EQ(std::make_pair(f->Find("Image1")->picture.width, f->Find("Image1")->picture.height),
            std::make_pair(100, 100));
  settings::AboutDialog other(forms_, *process_, *process_, *process_);
  other.OpenAbout();  // another window in front of it
  ASSERT_NE(forms_.Topmost(), first);
  about_->OpenAbout();
  EXPECT_EQ(about_->Form(), first);
  EXPECT_EQ(forms_.Topmost(), first);

  const std::pair<const char*, std::string> links[] = {{"LAddress", settings::kProductSite},
                                                       {"LBrimwold", settings::kMakerSite},
                                                       {"LBBS", settings::kForumSite}};
  for (const auto& [control, address] : links) {
    ASSERT_TRUE(forms_.Click(first, control));
    EXPECT_EQ(desktop_->Launches().back().file, "https://" + address);
  }
  EXPECT_EQ(desktop_->Launches().size(), 3u);
  for (const auto close : {&headless::HeadlessForms::PressEscape, &headless::HeadlessForms::PressEnter}) {
    ASSERT_TRUE((forms_.*close)(about_->Form()));
    EXPECT_FALSE(about_->IsOpen());
    forms_.SetProgramFileVersion(std::nullopt);
    about_->OpenAbout();
    EXPECT_EQ(Version(), "版本：V 0");
  }
  ASSERT_TRUE(forms_.Click(about_->Form(), "BitBtnOK"));
  ASSERT_TRUE(forms_.Click(other.Form(), "BitBtnOK"));
  EXPECT_TRUE(forms_.Forms().empty());
}

}  // namespace
}  // namespace qv
