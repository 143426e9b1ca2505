// What the settings dialog reads from and writes into the file.

#include <gtest/gtest.h>

#include "config/BasicSettings.h"
#include "config/ConfigDocument.h"
#include "config/Layout.h"
#include "config/Settings.h"
#include "config/SettingsFile.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::DistributedFile;
using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string Text(bool v) { return v ? "True" : "False"; }
std::string Text(int v) { return std::to_string(v); }

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

// OK writes every value in one save, each where the loader finds it: Basic
// starts empty and every value differs from its default, so a value written
// into another's place shows.
TEST_F(BasicSettingsTest, OkWritesEveryValueWhereTheLoaderFindsIt) {
  files.files[kConfigPath] = "<Quorvel><Setup/></Quorvel>";
  EXPECT_EQ(settings.WriteSetting(SettingKey::MinR, "120"), EditResult::NothingToChange) << "nothing above Basic";
  files.files[kConfigPath] = "<Quorvel><Setup><Basic/></Setup></Quorvel>";
  BasicSettingsValues v{.HideAfterClick = true, .LockPosition = true, .LockIcon = true, .FrontIndex = 2,
                        .CenterAction = 7, .HotKey = "K", .BackgroundSize = 355, .CenterSize = 99,
                        .BackgroundPath = "D:\\分.png", .CenterPath = "C:\\p\\c.png", .CenterIndexToZero = true,
                        .MinR = 120, .SeparationSize = 40, .RotationValue = 30, .RectTopic = "Blue",
                        .RectTransparence = 60, .RectPosition = 2, .RectIconPx = 64, .RectIconWd = 6,
                        .IsShowHint = false, .HintFontDefine = "\"Tahoma\", 9, [clRed]"};
  ASSERT_EQ(settings.WriteSettings(BasicSettingsWrites(v)), EditResult::Saved);
  EXPECT_EQ(files.writes, 1);
  // The switches and the position are written one by one elsewhere.
  ASSERT_EQ(settings.WriteSettings({{SettingKey::PositionLeft, "-17"}, {SettingKey::PositionTop, "19"}}),
            EditResult::Saved);
  ASSERT_EQ(settings.WriteSwitch(SettingKey::IsShowRound, false), EditResult::Saved);
  ASSERT_EQ(settings.WriteSwitch(SettingKey::IsShowRect, false), EditResult::Saved);
  EXPECT_EQ(settings.SkinPath(SkinPart::Background), "D:\\分.png");
  EXPECT_EQ(settings.SkinPath(SkinPart::Center), "C:\\p\\c.png");
  EXPECT_EQ(Read(SettingKey::HintFontDefault), "<absent>");
  // Pictures not taken over this time stay as they are.
  v.BackgroundPath.reset();
  v.CenterPath.reset();
  ASSERT_EQ(settings.WriteSettings(BasicSettingsWrites(v)), EditResult::Saved);
  EXPECT_EQ(files.writes, 4) << "the file is as it was";

  Settings s;
  ConfigDocument document(files, system, kConfigPath);
  const SettingsOutcome outcome = LoadSettings(document, s);
  ASSERT_EQ(outcome.status, SettingsStatus::Loaded);
  const std::vector<std::string> read = {
      Text(s.HideAfterClick),   Text(s.LockPosition),   Text(s.LockIcon),      Text(outcome.frontIndex),
      Text(s.BackgroundIndex),  Text(s.BackgroundSize), Text(s.CenterIndex),   Text(s.CenterSize),
      Text(s.CenterAction),     Text(s.PositionLeft),   Text(s.PositionTop),   Text(s.MinR),
      Text(s.SeparationSize),   Text(s.RotationValue),  Text(s.IsShowRound),   Text(s.IsShowRect),
      s.RectTopic,              Text(s.RectTransparence), Text(s.RectPosition), Text(s.RectIconPx),
      Text(s.RectIconWd),       Text(s.IsShowHint),     s.HintFontDefine,      HotKeyText(document.Root())};
  EXPECT_EQ(read, (std::vector<std::string>{"True", "True", "True", "2", "1", "355", "0", "99", "7", "-17", "19",
                                            "120", "40", "30", "False", "False", "Blue", "60", "2", "64", "6",
                                            "False", "\"Tahoma\", 9, [clRed]", "K"}));
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
  Edit("MinR=\"105\"", "MinR=\"250\"");  // unchanged, nothing would be written
  files.refuseWrites = true;
  EXPECT_EQ(WriteDefaultSettings(settings), std::nullopt);  // a font the file does not hold is not told
}

TEST_F(BasicSettingsTest, RingToolsAreWrittenTogetherAndTheFilesListedInOrder) {
  const ItemTexts tool{"control.exe", "控制面板", "C:\\Quorvel\\Icon\\SysTool\\ControlPanel.png"};
  ASSERT_EQ(items.WriteRingItems({{2, tool}, {3, ItemTexts{}}, {5, tool}}), EditResult::Saved);
  EXPECT_EQ(files.writes, 1);
  const std::vector<std::string> ring = items.Files(ItemList::Ring).value();
  ASSERT_EQ(ring.size(), 20u);
  EXPECT_EQ(ring[1], "control.exe");
  EXPECT_EQ(ring[2], "");
  EXPECT_EQ(ring[4], "control.exe");
  EXPECT_EQ(items.ReadItem(ItemList::Ring, 5), tool);
}

}  // namespace
}  // namespace qv::config
