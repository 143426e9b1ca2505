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

TEST_F(AboutTest, ReadsTheVersionAtEveryOpeningAndShowsThePicture) {
  forms_.SetProgramFileVersion(FileVersion{1, 1, 0, 0});
  about_->OpenAbout();
  ASSERT_TRUE(about_->IsOpen());
  const headless::FormRecord* f = forms_.Find(about_->Form());
  EXPECT_TRUE(f->visible);
  EXPECT_EQ(f->design.caption, "关于 Quorvel");
  EXPECT_EQ(f->focus, "BitBtnOK");
  EXPECT_EQ(Version(), "版本：V 1.1");
  const LayeredSurface& picture = f->Find("Image1")->picture;
  EXPECT_EQ(std::make_pair(picture.width, picture.height), std::make_pair(100, 100));

  ASSERT_TRUE(forms_.Click(about_->Form(), "BitBtnOK"));
  EXPECT_FALSE(about_->IsOpen());
  EXPECT_TRUE(forms_.Forms().empty());
  forms_.SetProgramFileVersion(std::nullopt);
  about_->OpenAbout();
  EXPECT_EQ(Version(), "版本：V 0");
}

TEST_F(AboutTest, ASecondOpeningBringsTheOneDialogToTheFront) {
  about_->OpenAbout();
  const FormId first = about_->Form();
  headless::HeadlessForms& forms = forms_;
  settings::AboutDialog other(forms, *process_, *process_, *process_);
  other.OpenAbout();  // another window in front of it
  ASSERT_NE(forms.Topmost(), first);
  about_->OpenAbout();
  EXPECT_EQ(about_->Form(), first);
  EXPECT_EQ(forms.Topmost(), first);
}

TEST_F(AboutTest, LinksOpenTheirAddressAndEveryWayOfClosingDestroysTheDialog) {
  about_->OpenAbout();
  const std::vector<std::pair<std::string, std::string>> links = {
      {"LAddress", settings::kProductSite}, {"LBrimwold", settings::kMakerSite}, {"LBBS", settings::kForumSite}};
  for (const auto& [control, address] : links) {
    const headless::ControlState* c = forms_.Find(about_->Form())->Find(control);
    EXPECT_EQ(c->text, address) << "a link shows its address";
    EXPECT_TRUE(c->design.hoverUnderline && !c->design.font->underline) << control;
    ASSERT_TRUE(forms_.Click(about_->Form(), control));
    EXPECT_EQ(desktop_->Launches().back().file, "https://" + address);
  }
  EXPECT_EQ(desktop_->Launches().size(), 3u);
  ASSERT_TRUE(forms_.PressEscape(about_->Form()));
  EXPECT_FALSE(about_->IsOpen());
  about_->OpenAbout();
  ASSERT_TRUE(forms_.PressEnter(about_->Form()));
  EXPECT_FALSE(about_->IsOpen());
  EXPECT_TRUE(forms_.Forms().empty());
}

}  // namespace
}  // namespace qv
