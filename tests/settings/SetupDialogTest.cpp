// The settings dialog on the headless forms with the real owner of the
// settings over a file in memory: what opening, the previews, OK, Cancel,
// the close box and the defaults store and announce, and what the machine
// around the dialog is asked, in which order. The boxes let the test act on
// the dialog while they are up, as a user can through the tray menu; what the
// hot-key edit takes, and that a box holds the dialog itself, are the Wine
// settings and modal-box scenarios'.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <tuple>

#include "config/SettingsOwner.h"
#include "platform/headless/HeadlessForms.h"
#include "settings/Setup.h"
#include "settings/SetupForm.h"
#include "tests/config/FakePlatform.h"

namespace qv::settings {
namespace {

using config::testing::kConfigPath;
constexpr const char* kExe = "C:\\Quorvel\\Quorvel.exe";

using Log = std::vector<std::string>;

struct Listener final : config::ISettingsObserver {
  explicit Listener(Log& log) : log(log) {}
  void RingChanged() override { log.push_back("ring"); }
  void SkinChanged(config::SkinPart part, int shift) override {
    log.push_back((part == config::SkinPart::Background ? "background " : "center ") + std::to_string(shift));
  }
  void DockThemeChanged(const std::string& theme) override { log.push_back("theme " + theme); }
  void DockTransparencyChanged() override { log.push_back("alpha"); }
  void DockPositionChanged() override { log.push_back("position"); }
  void MagnifyChanged() override { log.push_back("magnify"); }
  void LayerChanged(int frontIndex) override { log.push_back("layer " + std::to_string(frontIndex)); }
  void HotKeyChanged(char letter) override { log.push_back(std::string("hotkey ") + letter); }
  void LabelChanged() override { log.push_back("label"); }
  Log& log;
};

struct Machine final : ISetupMachine {
  explicit Machine(Log& log) : log(log) {}
  std::vector<std::string> ThemeFiles() override { return {"Blue.png", "Default.png", "readme.txt"}; }
  bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
  LayeredSurface LoadPreview(const std::string&) override { return LayeredSurface(80, 80); }
  std::optional<std::string> ReadRunValue() override { return run; }
  bool WriteRunValue(const std::optional<std::string>& value) override {
    log.push_back(value ? "run " + *value : "run deleted");
    if (registryWorks) run = value;
    return registryWorks;
  }
  std::string ExecutablePath() override { return kExe; }
  std::string ProgramDir() override { return "C:\\Q\\"; }
  bool Ask(const std::string& text) override {
    Box("ask " + text);
    return true;
  }
  void Tell(const std::string& text) override { Box("tell " + text); }
  void OpenAddress(const std::string& address) override { log.push_back("open " + address); }
  void Report(Severity, const std::string&) override { log.push_back("report"); }
  void CheckSave(config::EditResult result, const std::string&) override {
    if (config::Failed(result)) Box("not saved");
  }
  void CollapseDock() override { log.push_back("collapse"); }
  void DialogClosed() override { log.push_back("closed"); }
  // A box runs a loop: what the user does meanwhile runs inside it.
  void Box(const std::string& entry) {
    log.push_back(entry);
    if (auto act = std::exchange(whileUp, nullptr)) act();
  }

  Log& log;
  std::set<std::string> existing;
  std::optional<std::string> run;
  bool registryWorks = true;
  std::function<void()> whileUp;
};

// The tools' changes are the scenario's, on the real items.
struct Items final : catalogue::IItemOperations {
  bool AddSystemTool(catalogue::Presentation, const catalogue::ToolItem&) override { return ++changes > 0; }
  bool RemoveSystemTool(catalogue::Presentation, const std::string&) override { return ++changes > 0; }
  bool EditProperties(int, const catalogue::ItemProperties&) override { return false; }
  int changes = 0;
};

class SetupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.files[kConfigPath] = config::testing::DistributedFile();
    owner_.Subscribe(listener_);
  }
  void Open() {
    dialog_.OpenSettings();
    ASSERT_TRUE(dialog_.IsOpen());
    log_.clear();
  }
  void Edit(const std::string& from, const std::string& to) {
    std::string& text = files_.files[kConfigPath];
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  std::string Stored(config::SettingKey key) {
    const auto values = config::SettingsFile(files_, system_, kConfigPath).ReadSettings({key});
    return values.value().front().value_or("-");
  }
  FormId F() const { return dialog_.Form(); }
  std::string Text(const char* c) const { return forms_.Text(F(), c); }
  void Click(const char* c) { ASSERT_TRUE(forms_.Click(F(), c)); }

  config::testing::MemoryFiles files_;
  config::testing::IconvSystem system_;
  config::Settings settings_;
  config::SettingsOwner owner_{settings_, files_, system_, kConfigPath};
  Log log_;
  Listener listener_{log_};
  Machine machine_{log_};
  Items items_;
  headless::HeadlessForms forms_;
  SetupDialog dialog_{forms_, owner_, items_, machine_};
};

// A stored radius beyond the slider is previewed clamped at opening, and
// Cancel goes back to the clamped one, not to the file's; the close box keeps
// the previews; neither writes.
TEST_F(SetupDialogTest, CancelTakesEveryPreviewBackToWhatTheDialogOpenedWith) {
  Edit("MinR=\"105\"", "MinR=\"400\"");
  settings_.MinR = 400;
  settings_.RectTransparence = 70;
  dialog_.OpenSettings();
  EXPECT_EQ(settings_.MinR, 300);
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 120));
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarZoomPx", 80));
  ASSERT_TRUE(forms_.Choose(F(), "ComboBoxPosition", 1));
  log_.clear();
  ASSERT_TRUE(forms_.Choose(F(), "ComboBoxTopic", 0));
  EXPECT_EQ(log_, (Log{"theme Blue", "alpha"}));
  EXPECT_EQ(settings_.RectTopic, "Default");
  EXPECT_EQ(settings_.RectIconPx, 80);
  Click("BitBtnCancel");
  EXPECT_EQ(std::tie(settings_.MinR, settings_.RectIconPx, settings_.RectPosition, settings_.RectTransparence),
            std::make_tuple(300, 50, 0, 70));
  EXPECT_EQ(log_.back(), "closed");
  EXPECT_NE(std::find(log_.begin(), log_.end(), "theme Default"), log_.end());
  // The close box keeps the previews.
  Open();
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 200));
  ASSERT_TRUE(forms_.CloseBox(F()));
  EXPECT_FALSE(dialog_.IsOpen());
  EXPECT_EQ(settings_.MinR, 200);
  EXPECT_EQ(files_.writes, 0);
}

TEST_F(SetupDialogTest, CustomPicturesAreTakenOverOnlyAsExistingPngFiles) {
  machine_.existing = {"C:\\skins\\old.png", "C:\\skins\\new.png", "C:\\skins\\pic.jpg"};
  struct Case {
    std::string typed;
    std::string index;  // the background's index stored
    bool rebuilt;
  };
  const Case cases[] = {
      {"", "1", true},                        // cleared: the picture shown stays
      {"  C:\\skins\\old.png ", "1", false},  // the same path: nothing to draw again
      {"C:\\skins\\new.png", "0", true},
      {"C:\\skins\\pic.jpg", "1", true},
      {"C:\\skins\\missing.png", "1", true},
  };
  for (const Case& c : cases) {
    files_.files[kConfigPath] = config::testing::DistributedFile();
    Edit("<Path />", "<Path>C:\\skins\\old.png</Path>");
    Open();
    EXPECT_EQ(Text("EditBG"), "C:\\skins\\old.png");
    forms_.Type(F(), "EditBG", c.typed);
    Click("BitBtnOK");
    EXPECT_EQ(Stored(config::SettingKey::BackgroundIndex), c.index) << c.typed;
    EXPECT_EQ(Stored(config::SettingKey::BackgroundPath),
              c.index == "0" ? "C:\\skins\\new.png" : "C:\\skins\\old.png");
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "background 0"), c.rebuilt ? 1 : 0) << c.typed;
  }
}

// The Run value is this copy's to change only when the user changed the box;
// another copy's value is left as it is, and a refusal goes to the log.
TEST_F(SetupDialogTest, StartWithWindowsTouchesOnlyThisCopysValueAndOnlyWhenTheBoxChanged) {
  const std::string other = "D:\\Other\\Quorvel.exe";
  struct Case {
    std::optional<std::string> stored;
    bool tick;  // the box as the user leaves it
    bool registryWorks;
    Log expected;
  };
  const Case cases[] = {
      {kExe, true, true, {}},
      {other, false, true, {}},
      {other, true, true, {std::string("run ") + kExe}},
      {std::nullopt, true, false, {std::string("run ") + kExe, "report"}},
      {kExe, false, true, {"run deleted"}},
  };
  for (const Case& c : cases) {
    machine_.run = c.stored;
    machine_.registryWorks = c.registryWorks;
    Open();
    if (forms_.Checked(F(), "ChkBoxAuto") != c.tick) Click("ChkBoxAuto");
    Click("BitBtnOK");
    Log runs;
    std::copy_if(log_.begin(), log_.end(), std::back_inserter(runs),
                 [](const std::string& e) { return e.starts_with("run") || e == "report"; });
    EXPECT_EQ(runs, c.expected) << c.stored.value_or("-") << c.tick;
  }
}

TEST_F(SetupDialogTest, OkStoresThenAnnouncesLayerHotKeyLabelAndTheMovedSkins) {
  Open();
  forms_.Choose(F(), "ComboBoxDisplayState", 2);
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarBG", 55));
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarCenter", 3));
  forms_.ScriptColorChoice(0x000000FF);
  Click("BitBtnColor");
  EXPECT_EQ(Text("LabelFont"), "\"宋体\", 12, [Bold], [clRed]");
  log_.clear();
  Click("BitBtnOK");
  EXPECT_EQ(log_, (Log{"magnify", "closed", "layer 2", "hotkey C", "label", "background -27", "center -1"}));
  EXPECT_EQ(Stored(config::SettingKey::FrontIndex), "2");
  EXPECT_EQ(settings_.HintFontDefine, "\"宋体\", 12, [Bold], [clRed]");
}

TEST_F(SetupDialogTest, TheDefaultsAskFirstAndShiftTheSkinsFromWhatTheDialogOpenedWith) {
  Edit("Size=\"300\"", "Size=\"400\"");
  Edit("Size=\"115\"", "Size=\"120\"");
  machine_.run = "D:\\Other\\Quorvel.exe";
  Open();
  Click("BitBtnDefault");  // after No the dialog stays as it was: the Wine settings scenario's
  EXPECT_EQ(log_, (Log{"ask " + config::Tr(config::TextKey::RestoreQuestion), "magnify", "closed", "layer 0",
                       "hotkey C", "label", "theme Default", "alpha", "position", "background 50", "center 2",
                       "ring", "magnify"}));
  EXPECT_EQ(machine_.run, "D:\\Other\\Quorvel.exe");
}

TEST_F(SetupDialogTest, WithoutAReadableFileNoButtonStoresOrAppliesAnything) {
  files_.unreadable.insert(kConfigPath);
  settings_.MinR = 140;
  for (const char* button : {"BitBtnOK", "BitBtnCancel", "BitBtnDefault"}) {
    Open();
    EXPECT_EQ(Text("LabelBGNum"), "300");
    ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 250));
    Click("ChkBoxAuto");
    Click(button);
    EXPECT_FALSE(dialog_.IsOpen()) << button;
    EXPECT_EQ(settings_.MinR, 140) << button;
    for (const std::string& e : log_)
      EXPECT_TRUE(e.rfind("run", 0) != 0 && e.rfind("hotkey", 0) != 0 && e.rfind("background", 0) != 0) << e;
  }
  EXPECT_EQ(files_.writes, 0);
}

// While a box is up the user cancels the dialog and opens a new one: the
// handler that showed the box must not go on with the dialog it came from
// (the hot key's handler read its freed dialog once).
TEST_F(SetupDialogTest, AHandlerWhoseDialogWentAwayDuringItsBoxStops) {
  const auto cancelAndReopen = [this] {
    Click("BitBtnCancel");
    dialog_.OpenSettings();
    forms_.Type(F(), "EditHot", "Q");
  };
  Open();
  machine_.whileUp = cancelAndReopen;
  Click("BitBtnDefault");
  EXPECT_TRUE(dialog_.IsOpen());
  EXPECT_EQ(files_.writes, 0);
  ASSERT_TRUE(forms_.FocusControl(F(), "EditHot"));
  machine_.whileUp = cancelAndReopen;
  ASSERT_TRUE(forms_.PressKey(F(), '5'));
  ASSERT_TRUE(dialog_.IsOpen());
  EXPECT_EQ(Text("EditHot"), "Q");
}

// The message of a failed save comes once the work is done: whatever the
// user does while it is up cannot change what OK took from the dialog.
TEST_F(SetupDialogTest, AFailedSaveIsToldAfterOkHasAppliedEverythingItRead) {
  Edit("</Quorvel>",
       "<RectBackground><Rect1><File>::{645FF040-5081-101B-9F08-00AA002F954E}</File></Rect1></RectBackground>"
       "</Quorvel>");
  files_.refuseWrites = true;
  Open();
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 200));
  machine_.whileUp = [this] {
    dialog_.OpenSettings();
    Click("BitBtnCancel");
  };
  Click("BitBtnOK");
  EXPECT_EQ(items_.changes, 0);
  EXPECT_EQ(std::count(log_.begin(), log_.end(), "not saved"), 1);
}

}  // namespace
}  // namespace qv::settings
