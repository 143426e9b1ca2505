// A missing or unreadable configuration file at start, with the writer's
// backup beside it: the backup is offered only when it loads itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kRestoreQuestion = "配置文件丢失或无法读取。是否从备份 UserInfo.xml.bak 恢复？\n";
constexpr const char* kProtectedQuestion =
    "配置文件丢失或无法读取。是否从清除前的备份 UserInfo.xml.before-clear 恢复？\n";
constexpr const char* kMissing = "配置文件丢失，请重新下载。";
constexpr const char* kUnreadable = "配置文件无法读取，请检查或重新下载。\n";

// Protected: no writer's backup, but the copy taken before a clear or reset.
enum class Backup { None, Good, Unreadable, Protected };

class BackupRestoreTest : public testing::ScenarioTest {};

TEST_F(BackupRestoreTest, OffersAReadableBackupAndRestoresOnlyOnYes) {
  struct Case {
    bool fileMissing;  // else unreadable
    Backup backup;
    std::optional<MessageBoxResult> answer;  // when a question is asked
  };
  // After a refused backup, whether the file is missing or unreadable decides only the usual message.
  const Case cases[] = {
      {true, Backup::Good, MessageBoxResult::Yes},
      {false, Backup::Good, MessageBoxResult::No},
      {false, Backup::Unreadable, std::nullopt},
      {true, Backup::Protected, MessageBoxResult::Yes},
      {true, Backup::None, std::nullopt},
      {false, Backup::None, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Afresh();
    // The backup stands somewhere else than the distributed file, so a start
    // from it is told apart from a start from defaults.
    Basic().child("Position").attribute("Left").set_value(123);
    const std::string good = Xml(), broken = good.substr(0, good.size() / 2);
    const bool asked = c.answer.has_value(), runs = c.answer == MessageBoxResult::Yes;
    const std::filesystem::path backup = desktop_->RealPath(
        programDir_ + "Config\\" +
        (c.backup == Backup::Protected ? "UserInfo.xml.before-clear" : "UserInfo.xml.bak"));
    if (!c.fileMissing) InstallConfig(broken);
    if (c.backup != Backup::None) testing::WriteBytes(backup, c.backup == Backup::Unreadable ? broken : good);
    const std::string backupBefore = testing::ReadBytes(backup);
    if (asked) desktop_->ScriptMessageBoxAnswer(*c.answer);

    app::MainForm* form = Launch();
    ASSERT_NE(form, nullptr);
    desktop_->Advance(100);
    const auto& boxes = desktop_->MessageBoxes();
    ASSERT_EQ(boxes.size(), runs ? 1u : asked ? 2u : 1u) << "a restored start says nothing more";
    if (asked) {
      const std::string question = c.backup == Backup::Protected ? kProtectedQuestion : kRestoreQuestion;
      EXPECT_EQ(boxes[0].text.rfind(question, 0), 0u) << boxes[0].text;
      EXPECT_GT(boxes[0].text.size(), question.size()) << "the reason follows";
      EXPECT_EQ(boxes[0].caption, "提示");
      EXPECT_EQ(boxes[0].buttons, MessageBoxButtons::YesNo);
    }
    EXPECT_EQ(Process().QuitRequested(), !runs);
    EXPECT_EQ(form->IconsLoaded(), runs);
    if (runs) {
      EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->bounds.left, 123) << "started from the backup";
    } else {
      EXPECT_EQ(boxes.back().text.rfind(c.fileMissing ? kMissing : kUnreadable, 0), 0u)
          << "the usual message";
    }
    App().Stop();
    // The file restored, or left as it was (or absent).
    if (runs) {
      EXPECT_NE(ConfigBytes().find("Left=\"123\""), std::string::npos);
    } else {
      EXPECT_EQ(std::filesystem::exists(ConfigFile()), !c.fileMissing);
      EXPECT_EQ(ConfigBytes(), c.fileMissing ? "" : broken);
    }
    EXPECT_EQ(testing::ReadBytes(backup), backupBefore) << "the backup is kept";
  }
}

}  // namespace
}  // namespace qv
