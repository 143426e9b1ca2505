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
      {FileVersion{65535, 12, 0, 0}, "版本：V 65535.12"},
      {FileVersion{0, 0, 0, 0}, "版本：V 0.0"},
      {std::nullopt, "版本：V 0"},
  };
  for (const auto& [version, text] : cases) EXPECT_EQ(settings::VersionText(version), text);
}

class AboutTest : public testing::ScenarioTest {};

// The version is read at every opening; a second opening brings the one
// dialog to the front; the links open their address; Escape and OK destroy the dialog.
TEST_F(AboutTest, OneDialogItsVersionItsLinksAndItsWaysOfClosing) {
  headless::HeadlessForms forms;
  headless::HeadlessProcess process(*desktop_, programDir_);
  settings::AboutDialog about(forms, process, process, process), other(forms, process, process, process);
  forms.SetProgramFileVersion(FileVersion{1, 1, 0, 0});
  about.OpenAbout();
  const FormId first = about.Form();
  EXPECT_EQ(forms.Find(first)->focus, "BitBtnOK");
  EXPECT_EQ(forms.Text(first, "LVersion"), "版本：V 1.1");
  other.OpenAbout();  // another window in front of it
  ASSERT_NE(forms.Topmost(), first);
  about.OpenAbout();
  EXPECT_EQ(about.Form(), first);
  EXPECT_EQ(forms.Topmost(), first);

  const std::pair<const char*, std::string> links[] = {{"LAddress", settings::kProductSite},
                                                       {"LBrimwold", settings::kMakerSite},
                                                       {"LBBS", settings::kForumSite}};
  for (const auto& [control, address] : links) {
    ASSERT_TRUE(forms.Click(first, control));
    EXPECT_EQ(desktop_->Launches().back().file, "https://" + address);
  }
  EXPECT_EQ(desktop_->Launches().size(), 3u);
  ASSERT_TRUE(forms.PressEscape(first));
  EXPECT_FALSE(about.IsOpen());
  forms.SetProgramFileVersion(std::nullopt);
  about.OpenAbout();
  EXPECT_EQ(forms.Text(about.Form(), "LVersion"), "版本：V 0");
  ASSERT_TRUE(forms.Click(about.Form(), "BitBtnOK"));
  ASSERT_TRUE(forms.Click(other.Form(), "BitBtnOK"));
  EXPECT_TRUE(forms.Forms().empty());
}

}  // namespace
}  // namespace qv
