// What the settings dialog reads from and writes into the file.

#include <gtest/gtest.h>

#include "config/BasicSettings.h"
#include "config/Settings.h"
#include "config/SettingsFile.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::DistributedFile;
using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

class BasicSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { files.files[kConfigPath] = DistributedFile(); }
  // Re-read after each save, as the program does: the file is the truth.
  std::string Read(SettingKey key) {
    const auto values = settings.ReadSettings({key});
    EXPECT_TRUE(values);
    return values ? values->front().value_or("<absent>") : "<unreadable>";
  }
  void Edit(const std::string& from, const std::string& to) {
    std::string& text = files.files[kConfigPath];
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }

  MemoryFiles files;
  IconvSystem system;
  SettingsFile settings{files, system, kConfigPath};
  ItemFile items{files, system, kConfigPath};
};

TEST_F(BasicSettingsTest, NumbersThatAreNotIntegersReadAsAbsent) {
  Edit("MinR=\"105\"", "MinR=\"1o5\"");
  Edit("<Front Index=\"0\" />", "<Front Index=\" 2 \" />");
  Edit("Size=\"300\"", "Size=\"\"");
  const std::optional<SetupFileValues> v = ReadSetupFileValues(settings, items);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->MinR, std::nullopt);
  EXPECT_EQ(v->SeparationSize, 35);
  EXPECT_EQ(v->FrontIndex, 2);
  EXPECT_EQ(v->BackgroundSize, std::nullopt);
  EXPECT_EQ(v->CenterAction, 4);
  EXPECT_EQ(v->HotKey, "C");
  EXPECT_EQ(v->RoundFiles.size(), 20u);
  EXPECT_TRUE(v->IsShowHint);
  files.unreadable.insert(kConfigPath);
  EXPECT_FALSE(ReadSetupFileValues(settings, items));
}

TEST_F(BasicSettingsTest, OkWritesEverySettingInOneSaveAndAPictureOnlyWhenTakenOver) {
  BasicSettingsValues v;
  v.HideAfterClick = true;
  v.FrontIndex = 2;
  v.CenterAction = 7;
  v.HotKey = "K";
  v.BackgroundSize = 355;
  v.CenterPath = "C:\\p\\c.png";
  v.CenterIndexToZero = true;
  v.RectTopic = "";
  v.RectTransparence = 40;
  v.HintFontDefine = "\"Tahoma\", 9, [clRed]";
  const int before = files.writes;
  ASSERT_EQ(settings.WriteSettings(BasicSettingsWrites(v)), EditResult::Saved);
  EXPECT_EQ(files.writes, before + 1);
  const std::pair<SettingKey, const char*> expected[] = {
      {SettingKey::HideAfterClick, "True"},
      {SettingKey::LockPosition, "False"},
      {SettingKey::FrontIndex, "2"},
      {SettingKey::CenterAction, "7"},
      {SettingKey::HotKey, "K"},
      {SettingKey::BackgroundSize, "355"},
      {SettingKey::BackgroundIndex, "1"},
      {SettingKey::BackgroundPath, ""},
      {SettingKey::CenterIndex, "0"},
      {SettingKey::CenterPath, "C:\\p\\c.png"},
      {SettingKey::RectTopic, ""},
      {SettingKey::RectTransparence, "40"},
      {SettingKey::IsShowRect, "True"},
      {SettingKey::HintFontDefine, "\"Tahoma\", 9, [clRed]"},
      {SettingKey::HintFontDefault, "\"宋体\", 12, [Bold], [$00E9E9E9]"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(Read(key), value) << static_cast<int>(key);
}

TEST_F(BasicSettingsTest, DefaultsRestoreTheStoredDefaultFontAndLeaveLockIconAndPosition) {
  Edit("<LockIcon>False</LockIcon>", "<LockIcon>True</LockIcon>");
  Edit("MinR=\"105\"", "MinR=\"250\"");
  Edit("Left=\"600\"", "Left=\"10\"");
  Edit("Define=\"&quot;宋体&quot;, 12, [Bold], [$00E9E9E9]\"", "Define=\"&quot;Arial&quot;, 8\"");
  EXPECT_EQ(WriteDefaultSettings(settings), "\"宋体\", 12, [Bold], [$00E9E9E9]");
  EXPECT_EQ(Read(SettingKey::MinR), "105");
  EXPECT_EQ(Read(SettingKey::HintFontDefine), "\"宋体\", 12, [Bold], [$00E9E9E9]");
  EXPECT_EQ(Read(SettingKey::LockIcon), "True");
  EXPECT_EQ(Read(SettingKey::PositionLeft), "10");
  EXPECT_EQ(Read(SettingKey::HotKey), "C");
  Edit("MinR=\"105\"", "MinR=\"250\"");  // unchanged, nothing would be written
  files.refuseWrites = true;
  EXPECT_EQ(WriteDefaultSettings(settings), std::nullopt);  // a font the file does not hold is not told
}

// A picture path is an element's text below its skin's element: made when
// missing, read back by the same key.
TEST_F(BasicSettingsTest, SkinPathsAreMadeWhereTheyAreReadBack) {
  Edit("<Path />", "");
  for (const SkinPart part : {SkinPart::Background, SkinPart::Center}) {
    const SettingKey key = part == SkinPart::Background ? SettingKey::BackgroundPath : SettingKey::CenterPath;
    ASSERT_EQ(settings.WriteSetting(key, "D:\\分.png"), EditResult::Saved);
    EXPECT_EQ(settings.SkinPath(part), "D:\\分.png");
  }
}

TEST_F(BasicSettingsTest, RingToolsAreWrittenTogetherAndTheFilesListedInOrder) {
  ItemTexts tool;
  tool.File = "control.exe";
  tool.Name = "控制面板";
  tool.IconDefine = "C:\\Quorvel\\Icon\\SysTool\\ControlPanel.png";
  const int before = files.writes;
  ASSERT_EQ(items.WriteRingItems({{2, tool}, {3, ItemTexts{}}, {5, tool}}), EditResult::Saved);
  EXPECT_EQ(files.writes, before + 1);
  const std::vector<std::string> ring = items.Files(ItemList::Ring).value();
  ASSERT_EQ(ring.size(), 20u);
  EXPECT_EQ(ring[1], "control.exe");
  EXPECT_EQ(ring[2], "");
  EXPECT_EQ(ring[4], "control.exe");
  EXPECT_EQ(items.ReadItem(ItemList::Ring, 5), tool);
}

}  // namespace
}  // namespace qv::config
