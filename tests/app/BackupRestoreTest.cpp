// A missing or unreadable configuration file at start, with the writer's
// backup beside it: the backup is offered only when it loads itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/Scenario.h"

namespace qv {
namespace {

constexpr const char* kRestoreQuestion = "配置文件丢失或无法读取。是否从备份 UserInfo.xml.bak 恢复？\n";
constexpr const char* kProtectedQuestion = "配置文件丢失或无法读取。是否从清除前的备份 UserInfo.xml.before-clear 恢复？\n";
constexpr const char* kMissing = "配置文件丢失，请重新下载。";
constexpr const char* kUnreadable = "配置文件无法读取，请检查或重新下载。\n";

enum class FileState { Missing, Unreadable };
// Protected: no writer's backup, but the copy taken before a clear or reset.
enum class BackupState { None, Good, Unreadable, Protected };

struct RestoreCase {
  const char* name;
  FileState file;
  BackupState backup;
  MessageBoxResult answer;  // to the question, when one is asked
  bool asked;
  bool runs;  // started normally from the backup's contents
};

class BackupRestoreTest : public testing::ScenarioTest, public ::testing::WithParamInterface<RestoreCase> {
 protected:
  std::filesystem::path BackupFile() const {
    const char* name = GetParam().backup == BackupState::Protected ? "UserInfo.xml.before-clear" : "UserInfo.xml.bak";
    return desktop_->RealPath(programDir_ + "Config\\" + name);
  }
};

TEST_P(BackupRestoreTest, OffersAReadableBackupAndRestoresOnlyOnYes) {
  const RestoreCase& c = GetParam();
  // The backup stands somewhere else than the distributed file, so a start
  // from it is told apart from a start from defaults.
  Basic().child("Position").attribute("Left").set_value(123);
  std::ostringstream xml;
  config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
  const std::string good = xml.str();
  const std::string broken = good.substr(0, good.size() / 2);

  if (c.file == FileState::Unreadable) InstallConfig(broken);
  if (c.backup != BackupState::None) testing::WriteBytes(BackupFile(), c.backup == BackupState::Unreadable ? broken : good);
  const std::string backupBefore = c.backup == BackupState::None ? "" : testing::ReadBytes(BackupFile());
  if (c.asked) desktop_->ScriptMessageBoxAnswer(c.answer);

  app::MainForm* form = Launch();
  ASSERT_NE(form, nullptr);
  desktop_->Advance(100);

  const auto& boxes = desktop_->MessageBoxes();
  std::size_t next = 0;
  if (c.asked) {
    ASSERT_GE(boxes.size(), 1u);
    const std::string question = c.backup == BackupState::Protected ? kProtectedQuestion : kRestoreQuestion;
    EXPECT_EQ(boxes[0].text.rfind(question, 0), 0u) << boxes[0].text;
    EXPECT_GT(boxes[0].text.size(), question.size()) << "the reason follows";
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].buttons, MessageBoxButtons::YesNo);
    next = 1;
  }
  if (c.runs) {
    EXPECT_EQ(boxes.size(), next) << "a restored start says nothing more";
    EXPECT_FALSE(Process().QuitRequested());
    EXPECT_TRUE(form->IconsLoaded());
    EXPECT_EQ(desktop_->FindWindow(form->MainWindow())->bounds.left, 123) << "started from the backup";
    EXPECT_EQ(
        LoadConfigDom().document_element().child("Setup").child("Basic").child("Position").attribute("Left").as_int(),
        123);
  } else {
    ASSERT_EQ(boxes.size(), next + 1) << "the usual message, once";
    const std::string& text = boxes[next].text;
    if (c.file == FileState::Missing) {
      EXPECT_EQ(text, kMissing);
    } else {
      EXPECT_EQ(text.rfind(kUnreadable, 0), 0u) << text;
    }
    EXPECT_TRUE(Process().QuitRequested());
    EXPECT_FALSE(form->IconsLoaded());
  }
  App().Stop();
  if (!c.runs) {
    // Nothing written: the file stays as it was (or absent).
    if (c.file == FileState::Missing) {
      EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
    } else {
      EXPECT_EQ(ConfigBytes(), broken);
    }
  }
  if (c.backup != BackupState::None) {
    EXPECT_EQ(testing::ReadBytes(BackupFile()), backupBefore) << "the backup is kept";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackupRestoreTest,
    ::testing::Values(
        RestoreCase{"MissingGoodBackupYes", FileState::Missing, BackupState::Good, MessageBoxResult::Yes, true, true},
        RestoreCase{"MissingGoodBackupNo", FileState::Missing, BackupState::Good, MessageBoxResult::No, true, false},
        RestoreCase{"UnreadableGoodBackupYes", FileState::Unreadable, BackupState::Good, MessageBoxResult::Yes, true,
                    true},
        RestoreCase{"UnreadableGoodBackupNo", FileState::Unreadable, BackupState::Good, MessageBoxResult::No, true,
                    false},
        RestoreCase{"UnreadableBackupNeverOffered", FileState::Unreadable, BackupState::Unreadable,
                    MessageBoxResult::Yes, false, false},
        RestoreCase{"MissingBackupNeverOffered", FileState::Missing, BackupState::Unreadable, MessageBoxResult::Yes,
                    false, false},
        RestoreCase{"MissingProtectedCopyYes", FileState::Missing, BackupState::Protected, MessageBoxResult::Yes, true,
                    true},
        RestoreCase{"NoBackup", FileState::Missing, BackupState::None, MessageBoxResult::Yes, false, false},
        RestoreCase{"UnreadableNoBackup", FileState::Unreadable, BackupState::None, MessageBoxResult::Yes, false,
                    false}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
