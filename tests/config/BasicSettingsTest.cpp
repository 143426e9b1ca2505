// What the settings dialog reads from and writes into the file.

#include <gtest/gtest.h>

#include "config/BasicSettings.h"
#include "config/Settings.h"
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
  ConfigDocument Loaded() {
    ConfigDocument document(files, system, kConfigPath);
    EXPECT_EQ(document.Load().status, LoadStatus::Ok);
    return document;
  }
  pugi::xml_node Basic(ConfigDocument& d) { return BasicNode(d.Root()); }
  std::string Attr(ConfigDocument& d, const char* element, const char* name) {
    return Attribute(FirstChild(Basic(d), element), name).value_or("<absent>");
  }
  void Edit(const std::string& from, const std::string& to) {
    std::string& text = files.files[kConfigPath];
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }

  MemoryFiles files;
  IconvSystem system;
};

TEST_F(BasicSettingsTest, NumbersThatAreNotIntegersReadAsAbsent) {
  Edit("MinR=\"105\"", "MinR=\"1o5\"");
  Edit("<Front Index=\"0\" />", "<Front Index=\" 2 \" />");
  Edit("Size=\"300\"", "Size=\"\"");
  ConfigDocument d = Loaded();
  const std::optional<SetupFileValues> v = ReadSetupFileValues(d);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->MinR, std::nullopt);
  EXPECT_EQ(v->SeparationSize, 35);
  EXPECT_EQ(v->FrontIndex, 2);
  EXPECT_EQ(v->BackgroundSize, std::nullopt);
  EXPECT_EQ(v->CenterAction, 4);
  EXPECT_EQ(v->HotKey, "C");
  EXPECT_EQ(v->RoundFiles.size(), 20u);
  EXPECT_TRUE(v->IsShowHint);
  ConfigDocument unloaded(files, system, kConfigPath);
  EXPECT_FALSE(ReadSetupFileValues(unloaded));
}

TEST_F(BasicSettingsTest, OkWritesEverySettingAndAPictureOnlyWhenTakenOver) {
  ConfigDocument d = Loaded();
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
  ASSERT_TRUE(WriteBasicSettings(d, v));
  EXPECT_EQ(Text(FirstChild(Basic(d), "HideAfterClick")), "True");
  EXPECT_EQ(Text(FirstChild(Basic(d), "LockPosition")), "False");
  EXPECT_EQ(Attr(d, "Front", "Index"), "2");
  EXPECT_EQ(Attr(d, "Center", "Action"), "7");
  EXPECT_EQ(Attr(d, "HotKey", "Key"), "K");
  EXPECT_EQ(Attr(d, "Background", "Size"), "355");
  EXPECT_EQ(Attr(d, "Background", "Index"), "1");
  EXPECT_EQ(Text(FirstChild(FirstChild(Basic(d), "Background"), "Path")), "");
  EXPECT_EQ(Attr(d, "Center", "Index"), "0");
  EXPECT_EQ(Text(FirstChild(FirstChild(Basic(d), "Center"), "Path")), "C:\\p\\c.png");
  EXPECT_EQ(Attr(d, "ShowRect", "RectTopic"), "");
  EXPECT_EQ(Attr(d, "ShowRect", "RectTransparence"), "40");
  EXPECT_EQ(Attr(d, "ShowRect", "IsShowRect"), "True");
  EXPECT_EQ(Attr(d, "HintFont", "Define"), "\"Tahoma\", 9, [clRed]");
  EXPECT_EQ(Attr(d, "HintFont", "Default"), "\"宋体\", 12, [Bold], [$00E9E9E9]");
}

TEST_F(BasicSettingsTest, DefaultsRestoreTheStoredDefaultFontAndLeaveLockIconAndPosition) {
  Edit("<LockIcon>False</LockIcon>", "<LockIcon>True</LockIcon>");
  Edit("MinR=\"105\"", "MinR=\"250\"");
  Edit("Left=\"600\"", "Left=\"10\"");
  Edit("Define=\"&quot;宋体&quot;, 12, [Bold], [$00E9E9E9]\"", "Define=\"&quot;Arial&quot;, 8\"");
  ConfigDocument d = Loaded();
  EXPECT_EQ(WriteDefaultSettings(d), "\"宋体\", 12, [Bold], [$00E9E9E9]");
  EXPECT_EQ(Attr(d, "IconElement", "MinR"), "105");
  EXPECT_EQ(Attr(d, "HintFont", "Define"), "\"宋体\", 12, [Bold], [$00E9E9E9]");
  EXPECT_EQ(Text(FirstChild(Basic(d), "LockIcon")), "True");
  EXPECT_EQ(Attr(d, "Position", "Left"), "10");
  EXPECT_EQ(Attr(d, "HotKey", "Key"), "C");
}

TEST_F(BasicSettingsTest, RingToolsFillAndEmptyTheirSlotsElement) {
  Edit("<Circle3>\n\t\t\t<File />", "<Circle3>\n\t\t\t<File>x.exe</File>");
  Edit("<Circle3>\n\t\t\t<File>x.exe</File>\n\t\t\t<Argument />",
       "<Circle3>\n\t\t\t<File>x.exe</File>\n\t\t\t<Argument>-a</Argument>");
  ConfigDocument d = Loaded();
  const pugi::xml_node ring = FirstChild(d.Root(), "RoundBackground");
  ASSERT_TRUE(WriteRingTool(d, 2, "control.exe", "控制面板", "C:\\Quorvel\\Icon\\SysTool\\ControlPanel.png"));
  EXPECT_EQ(Text(FirstChild(ChildAt(ring, 2), "Name")), "控制面板");
  EXPECT_EQ(IconPathInEffect(ChildAt(ring, 2)), "C:\\Quorvel\\Icon\\SysTool\\ControlPanel.png");
  ASSERT_TRUE(WriteRingTool(d, 3, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", "p.png"));
  EXPECT_EQ(Text(FirstChild(ChildAt(ring, 3), "Argument")), "-a");  // left as it was
  ASSERT_TRUE(ClearRingItem(d, 3));
  for (const char* name : {"File", "Name", "Argument"}) EXPECT_EQ(Text(FirstChild(ChildAt(ring, 3), name)), "");
  EXPECT_EQ(IconPathInEffect(ChildAt(ring, 3)), "");
  EXPECT_EQ(CountChildElements(ring), 20);
  EXPECT_FALSE(WriteRingTool(d, 21, "a", "b", "c"));
}

TEST_F(BasicSettingsTest, DockToolsAppendAndRemovalRenamesTheElementsBehind) {
  ConfigDocument d = Loaded();
  for (int i = 1; i <= 4; ++i)
    ASSERT_TRUE(AppendRectTool(d, i, "t" + std::to_string(i), "n" + std::to_string(i), "i.png"));
  const pugi::xml_node dock = FirstChild(d.Root(), "RectBackground");
  ASSERT_TRUE(RemoveRectItem(d, 2));
  std::vector<std::string> seen;
  for (pugi::xml_node item = dock.first_child(); item; item = item.next_sibling())
    seen.push_back(std::string(item.name()) + "=" + Text(FirstChild(item, "File")));
  EXPECT_EQ(seen, (std::vector<std::string>{"Rect1=t1", "Rect2=t3", "Rect3=t4"}));
  EXPECT_FALSE(RemoveRectItem(d, 4));
  ASSERT_TRUE(d.Save());
  EXPECT_NE(files.files[kConfigPath].find("<Rect3>"), std::string::npos);
}

}  // namespace
}  // namespace qv::config
