// The settings dialog on the headless forms, with a recording double of the
// main form behind its hooks: what opening, the previews, OK, Cancel, the
// close box and the defaults ask of the rest of the program, and in which order.

#include <gtest/gtest.h>

#include <set>

#include "platform/headless/HeadlessForms.h"
#include "settings/Setup.h"
#include "settings/SetupForm.h"

namespace qv::settings {
namespace {

constexpr const char* kExe = "C:\\Quorvel\\Quorvel.exe";

config::SetupFileValues DistributedValues() {
  config::SetupFileValues v;
  v.HotKey = "C";
  v.FrontIndex = 0;
  v.CenterAction = 4;
  v.BackgroundSize = 300;
  v.CenterSize = 115;
  v.MinR = 105;
  v.SeparationSize = 35;
  v.RotationValue = 45;
  v.IsShowHint = true;
  v.HintFontDefine = "\"宋体\", 12, [Bold], [$00E9E9E9]";
  v.RoundFiles.assign(20, "");
  v.RectFiles = {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "::{645FF040-5081-101B-9F08-00AA002F954E}"};
  return v;
}

// The main form as the dialog sees it: its settings, and a log of every effect.
struct MainFormDouble {
  std::optional<config::SetupFileValues> file = DistributedValues();
  config::Settings settings;
  char hotKey = 'C';
  std::vector<std::string> themes{"Blue.png", "Default.png", "readme.txt"};
  std::set<std::string> existing;
  std::optional<std::string> run;
  bool saveWorks = true;
  bool answerYes = true;
  std::vector<std::string> log;
  std::optional<config::BasicSettingsValues> saved;
  std::vector<SystemToolChange> tools;
  std::function<void()> duringTell;  // what happens while the message is up

  SetupHooks Hooks() {
    SetupHooks h;
    h.ReadFile = [this] { return file; };
    h.CurrentSettings = [this] { return settings; };
    h.HotKeyChar = [this] { return hotKey; };
    h.ThemeFiles = [this] { return themes; };
    h.FileExists = [this](const std::string& p) { return existing.count(p) != 0; };
    h.LoadPreview = [](const std::string&) { return LayeredSurface(80, 80); };
    h.ReadRunValue = [this] { return run; };
    h.ExecutablePath = [] { return std::string(kExe); };
    h.PreviewRing = [this](int minR, int separation) {
      settings.MinR = minR;
      settings.SeparationSize = separation;
      Log("ring " + std::to_string(minR) + " " + std::to_string(separation));
    };
    h.ApplyDockTransparency = [this](int percent) {
      settings.RectTransparence = percent;
      Log("alpha " + std::to_string(percent));
    };
    h.ApplyDockTheme = [this](const std::string& theme) { Log("theme " + theme); };
    h.ApplyDockPosition = [this](int position) {
      settings.RectPosition = position;
      Log("position " + std::to_string(position));
    };
    h.ApplyMagnify = [this](int px, int wd) {
      settings.RectIconPx = px;
      settings.RectIconWd = wd;
      Log("magnify " + std::to_string(px) + " " + std::to_string(wd));
    };
    h.SaveSettings = [this](const config::BasicSettingsValues& v) {
      saved = v;
      Log("save");
      return saveWorks;
    };
    h.SaveDefaultSettings = [this]() -> std::optional<std::string> {
      Log("save defaults");
      if (!saveWorks) return std::nullopt;
      return std::string("\"Tahoma\", 9, [clRed]");
    };
    h.SetSettings = [this](const config::Settings& s) {
      settings = s;
      Log("settings");
    };
    h.RegisterHotKey = [this](char letter) {
      hotKey = letter;
      Log(std::string("hotkey ") + letter);
    };
    h.SetDisplayState = [this](int index) { Log("display " + std::to_string(index)); };
    h.SetHintFont = [this](bool show, const std::string& define) {
      Log("font " + std::to_string(show) + " " + define);
    };
    h.WriteRunValue = [this](const std::optional<std::string>& v) {
      run = v;
      Log(v ? "run " + *v : "run deleted");
    };
    h.ApplySystemTools = [this](const std::vector<SystemToolChange>& changes) {
      tools = changes;
      Log("tools");
    };
    auto skin = [this](const char* what, const SkinRebuild& r) {
      Log(std::string(what) + " " + std::to_string(r.size) + " " + std::to_string(r.index) + " " + r.path + " " +
          std::to_string(r.shift));
    };
    h.RebuildBackground = [skin](const SkinRebuild& r) { skin("background", r); };
    h.RebuildCenter = [skin](const SkinRebuild& r) { skin("center", r); };
    h.RelayoutRing = [this] { Log("relayout"); };
    h.Ask = [this](const std::string& text) {
      Log("ask " + text);
      return answerYes;
    };
    h.Tell = [this](const std::string& text) {
      Log("tell " + text);
      if (duringTell) duringTell();
    };
    h.CollapseRectBar = [this] { Log("collapse"); };
    h.Closed = [this] { Log("closed"); };
    return h;
  }
  void Log(std::string entry) { log.push_back(std::move(entry)); }
  bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  // The log since the mark, for checking the order of one action's effects.
  std::vector<std::string> Since(std::size_t mark) const { return {log.begin() + static_cast<long>(mark), log.end()}; }
};

class SetupDialogTest : public ::testing::Test {
 protected:
  void Open() {
    dialog_ = std::make_unique<SetupDialog>(forms_, main_.Hooks());
    dialog_->OpenSettings();
    ASSERT_TRUE(dialog_->IsOpen());
  }
  FormId F() const { return dialog_->Form(); }
  std::string Text(const char* c) const { return forms_.Text(F(), c); }
  int Pos(const char* c) const { return forms_.Position(F(), c); }
  int Sel(const char* c) const { return forms_.Selection(F(), c); }
  void Ok() { ASSERT_TRUE(forms_.Click(F(), "BitBtnOK")); }

  headless::HeadlessForms forms_;
  MainFormDouble main_;
  std::unique_ptr<SetupDialog> dialog_;
};

TEST_F(SetupDialogTest, OutOfRangeAndNonNumericValuesOpenWithTheFormDefaultsAndTheRestLoads) {
  main_.file->FrontIndex = 5;
  main_.file->CenterAction = 9;
  main_.file->SeparationSize = std::nullopt;  // "abc" in the file reads as no number
  main_.file->IsShowHint = false;
  main_.settings.SeparationSize = 35;
  Open();
  EXPECT_EQ(Sel("ComboBoxDisplayState"), 0);
  EXPECT_EQ(Sel("ComboBoxAction"), 4);
  EXPECT_EQ(Text("LabelSeparationNum"), "35");
  EXPECT_EQ(Pos("TrackBarSeparationSize"), 0);
  // Everything after the faulty value was still read.
  EXPECT_EQ(Text("LabelRotationNum"), "45");
  EXPECT_TRUE(forms_.Checked(F(), "RRecycleBin"));
  EXPECT_FALSE(forms_.Checked(F(), "ChkBoxShow"));
  EXPECT_EQ(forms_.Find(F())->page, 0);
  EXPECT_EQ(forms_.Find(F())->focus, "BitBtnOK");
}

TEST_F(SetupDialogTest, AStoredRadiusBeyondTheRangePreviewsTheClampedOneAndCancelReturnsToIt) {
  main_.file->MinR = 400;
  main_.settings.MinR = 400;
  Open();
  EXPECT_EQ(Pos("TrackBarMinR"), 300);
  EXPECT_EQ(Text("LabelMinRNum"), "300");
  EXPECT_TRUE(main_.Logged("ring 300 35"));
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 120));
  EXPECT_EQ(main_.settings.MinR, 120);
  const std::size_t mark = main_.log.size();
  ASSERT_TRUE(forms_.Click(F(), "BitBtnCancel"));
  const std::vector<std::string> expected = {"ring 300 35", "magnify 50 4", "theme Default", "alpha 100",
                                             "position 0",  "magnify 50 4", "closed"};
  EXPECT_EQ(main_.Since(mark), expected);
  EXPECT_FALSE(dialog_->IsOpen());
  EXPECT_FALSE(main_.saved);
}

TEST_F(SetupDialogTest, BackgroundSizesBelowAndAboveTheRange) {
  struct Case {
    int stored;
    int position;
    std::string label;
    int savedSize;
  };
  for (const Case& c : {Case{250, 0, "250", 250}, Case{700, 300, "600", 600}, Case{355, 55, "355", 355}}) {
    main_ = MainFormDouble{};
    main_.file->BackgroundSize = c.stored;
    Open();
    EXPECT_EQ(Pos("TrackBarBG"), c.position) << c.stored;
    EXPECT_EQ(Text("LabelBGNum"), c.label) << c.stored;
    Ok();
    ASSERT_TRUE(main_.saved);
    EXPECT_EQ(main_.saved->BackgroundSize, c.savedSize);
    // The shift counts from what the dialog opened with: an untouched slider moves nothing.
    EXPECT_TRUE(std::none_of(main_.log.begin(), main_.log.end(), [](const std::string& e) {
      return e.rfind("background", 0) == 0;
    })) << c.stored;
  }
}

TEST_F(SetupDialogTest, GrowingTheBackgroundMovesItUpAndLeftByHalfTheGrowthTowardZero) {
  Open();
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarBG", 55));
  EXPECT_EQ(Text("LabelBGNum"), "355");
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarCenter", 3));
  Ok();
  EXPECT_TRUE(main_.Logged("background 355 1  -27"));
  EXPECT_TRUE(main_.Logged("center 118 1  -1"));
  EXPECT_EQ(main_.settings.BackgroundSize, 355);
}

TEST_F(SetupDialogTest, AThemeListWithoutTheCurrentTopicSelectsNothingAndOkStoresAnEmptyTopic) {
  main_.settings.RectTopic = "Gone";
  Open();
  const headless::ControlState* topics = forms_.Find(F())->Find("ComboBoxTopic");
  EXPECT_EQ(topics->items, (std::vector<std::string>{"Blue", "Default"}));
  EXPECT_EQ(topics->selection, -1);
  Ok();
  EXPECT_EQ(main_.saved->RectTopic, "");
  EXPECT_EQ(main_.settings.RectTopic, "");
}

TEST_F(SetupDialogTest, ChoosingAThemePreviewsItWithoutChangingTheTopicUntilOk) {
  main_.settings.RectTransparence = 70;
  Open();
  const std::size_t mark = main_.log.size();
  ASSERT_TRUE(forms_.Choose(F(), "ComboBoxTopic", 0));
  EXPECT_EQ(main_.Since(mark), (std::vector<std::string>{"theme Blue", "alpha 70"}));
  EXPECT_EQ(main_.settings.RectTopic, "Default");
  ASSERT_TRUE(forms_.Choose(F(), "ComboBoxPosition", 1));
  EXPECT_EQ(main_.settings.RectPosition, 1);
}

TEST_F(SetupDialogTest, TheHotKeyEditTakesLettersAndRestoresTheLetterHeldAtFocusTime) {
  main_.file->HotKey = "A";
  Open();
  ASSERT_TRUE(forms_.FocusControl(F(), "EditHot"));
  ASSERT_TRUE(forms_.PressKey(F(), 'B'));
  EXPECT_EQ(Text("EditHot"), "B");
  ASSERT_TRUE(forms_.PressKey(F(), 0x10));  // Shift on its way to a letter
  EXPECT_EQ(Text("EditHot"), "B");
  // The focus comes back to the edit when the message closes, before the letter is restored.
  main_.duringTell = [this] { forms_.FocusControl(F(), "EditHot"); };
  ASSERT_TRUE(forms_.PressKey(F(), '5'));
  EXPECT_EQ(Text("EditHot"), "A");
  EXPECT_EQ(std::count(main_.log.begin(), main_.log.end(), std::string("tell ") + kHotKeyRuleText), 1);
  // Tab leaves the edit without a message.
  ASSERT_TRUE(forms_.PressKey(F(), 0x09));
  EXPECT_NE(forms_.Find(F())->focus, "EditHot");
  EXPECT_EQ(std::count(main_.log.begin(), main_.log.end(), std::string("tell ") + kHotKeyRuleText), 1);
}

TEST_F(SetupDialogTest, OkWithAnEmptyHotKeyEditKeepsTheLetterInUse) {
  main_.hotKey = 'Q';
  main_.file->HotKey = "k";
  Open();
  EXPECT_EQ(Text("EditHot"), "K");
  forms_.Type(F(), "EditHot", "");
  Ok();
  EXPECT_EQ(main_.saved->HotKey, "Q");
  EXPECT_TRUE(main_.Logged("hotkey Q"));
}

TEST_F(SetupDialogTest, CustomPicturesAreTakenOverOnlyAsExistingPngFiles) {
  main_.file->BackgroundPath = "C:\\skins\\old.png";
  main_.existing = {"C:\\skins\\old.png", "C:\\skins\\new.png", "C:\\skins\\pic.jpg"};
  main_.settings.BackgroundIndex = 0;
  struct Case {
    std::string typed;
    bool taken;
    bool toZero;
    bool rebuilt;
  };
  const Case cases[] = {
      {"", false, false, true},                       // cleared: the picture shown stays
      {"  C:\\skins\\old.png ", true, false, false},  // the same path: nothing to redraw
      {"C:\\skins\\new.png", true, true, true},
      {"C:\\skins\\pic.jpg", false, false, true},
      {"C:\\skins\\missing.png", false, false, true},
  };
  for (const Case& c : cases) {
    main_.log.clear();
    main_.saved.reset();
    Open();
    EXPECT_EQ(Text("EditBG"), "C:\\skins\\old.png");
    forms_.Type(F(), "EditBG", c.typed);
    Ok();
    ASSERT_TRUE(main_.saved);
    EXPECT_EQ(main_.saved->BackgroundPath.has_value(), c.taken) << c.typed;
    EXPECT_EQ(main_.saved->BackgroundIndexToZero, c.toZero) << c.typed;
    const std::string shown =
        c.taken ? std::string("C:\\skins\\") + (c.toZero ? "new" : "old") + ".png" : "C:\\skins\\old.png";
    EXPECT_EQ(main_.Logged("background 300 0 " + shown + " 0"), c.rebuilt) << c.typed;
  }
}

TEST_F(SetupDialogTest, TheCloseBoxKeepsThePreviewsAndWritesNothing) {
  Open();
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarTransparence", 40));
  ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 200));
  ASSERT_TRUE(forms_.CloseBox(F()));
  EXPECT_FALSE(dialog_->IsOpen());
  EXPECT_EQ(main_.settings.RectTransparence, 40);
  EXPECT_EQ(main_.settings.MinR, 200);
  EXPECT_FALSE(main_.saved);
  EXPECT_FALSE(main_.Logged("settings"));
  // The next opening previews the stored radius again; the dock page shows the previewed transparency.
  dialog_->OpenSettings();
  EXPECT_EQ(main_.settings.MinR, 105);
  EXPECT_EQ(Pos("TrackBarTransparence"), 40);
}

TEST_F(SetupDialogTest, TheDockMenusSwitchAnOpenDialogToTheDockPageKeepingItsEdits) {
  Open();
  const FormId first = F();
  forms_.Type(F(), "EditCenter", "typed");
  ASSERT_TRUE(forms_.Click(F(), "ChkBoxLock"));
  dialog_->OpenDockSettings();
  EXPECT_EQ(F(), first);
  EXPECT_EQ(forms_.Find(F())->page, kPageRect);
  EXPECT_EQ(Text("EditCenter"), "typed");
  EXPECT_TRUE(forms_.Checked(F(), "ChkBoxLock"));
  EXPECT_TRUE(main_.Logged("collapse"));
}

TEST_F(SetupDialogTest, SystemToolsChangeInRingRemovalsAdditionsThenDockRemovalsAdditions) {
  main_.file->RoundFiles[4] = "control.exe";
  Open();
  EXPECT_TRUE(forms_.Checked(F(), "CControlPanel"));
  EXPECT_TRUE(forms_.Checked(F(), "RMyComputer"));
  for (const char* box :
       {"RRecycleBin", "RControlPanel", "CMyComputer", "CControlPanel", "CMyDocuments", "RMyNetwork", "RMyNetwork"})
    ASSERT_TRUE(forms_.Click(F(), box));
  Ok();
  const std::vector<SystemToolChange> expected = {
      {true, 4, false}, {true, 0, true}, {true, 2, true}, {false, 3, false}, {false, 4, true}};
  EXPECT_EQ(main_.tools, expected);
}

TEST_F(SetupDialogTest, StartWithWindowsIsWrittenOnlyWhenItDoesNotAlreadyStartThisProgram) {
  struct Case {
    std::optional<std::string> stored;
    bool check;  // the box as the user leaves it
    std::vector<std::string> runLog;
  };
  const Case cases[] = {
      {kExe, true, {}},
      {"\"" + std::string(kExe) + "\"", true, {}},
      {"C:\\Old\\Quorvel.exe", true, {std::string("run ") + kExe}},
      {std::nullopt, true, {std::string("run ") + kExe}},
      {kExe, false, {"run deleted"}},
      {std::nullopt, false, {}},
  };
  for (const Case& c : cases) {
    main_ = MainFormDouble{};
    main_.run = c.stored;
    Open();
    const bool opened = c.stored && (*c.stored == kExe || c.stored->front() == '"');
    EXPECT_EQ(forms_.Checked(F(), "ChkBoxAuto"), opened) << c.stored.value_or("-");
    if (forms_.Checked(F(), "ChkBoxAuto") != c.check) forms_.Click(F(), "ChkBoxAuto");
    Ok();
    std::vector<std::string> runs;
    for (const std::string& e : main_.log)
      if (e.rfind("run", 0) == 0) runs.push_back(e);
    EXPECT_EQ(runs, c.runLog) << c.stored.value_or("-");
  }
}

TEST_F(SetupDialogTest, OkAppliesEverySettingAndStoresTheFontWithItsColour) {
  Open();
  forms_.Choose(F(), "ComboBoxDisplayState", 2);
  forms_.Choose(F(), "ComboBoxAction", 7);
  forms_.ScriptColorChoice(0x000000FF);
  ASSERT_TRUE(forms_.Click(F(), "BitBtnColor"));
  EXPECT_EQ(Text("LabelFont"), "\"宋体\", 12, [Bold], [clRed]");
  const std::size_t mark = main_.log.size();
  Ok();
  const std::vector<std::string> expected = {
      "save", "settings", "display 2", "hotkey C", "font 1 \"宋体\", 12, [Bold], [clRed]", "magnify 50 4", "closed"};
  EXPECT_EQ(main_.Since(mark), expected);
  EXPECT_EQ(main_.saved->FrontIndex, 2);
  EXPECT_EQ(main_.settings.CenterAction, 7);
  EXPECT_EQ(main_.settings.HintFontDefine, "\"宋体\", 12, [Bold], [clRed]");
}

TEST_F(SetupDialogTest, TheBrowseButtonsOfferPngPicturesAndPreviewTheChoiceWithoutApplyingIt) {
  Open();
  forms_.ScriptFileChoice(std::nullopt);
  ASSERT_TRUE(forms_.Click(F(), "BitBtnCenter"));
  EXPECT_EQ(Text("EditCenter"), "");
  EXPECT_TRUE(forms_.Find(F())->Find("ImageCenter")->picture.Empty());
  forms_.ScriptFileChoice("C:\\skins\\c.png");
  ASSERT_TRUE(forms_.Click(F(), "BitBtnBG"));
  EXPECT_EQ(forms_.FileDialogs().back().filter, kPngFilter);
  EXPECT_EQ(Text("EditBG"), "C:\\skins\\c.png");
  EXPECT_FALSE(forms_.Find(F())->Find("ImageBG")->picture.Empty());
  EXPECT_FALSE(main_.Logged("settings"));
}

TEST_F(SetupDialogTest, TheFontAndColourButtonsKeepTheColourInTheFontTextAndThePreview) {
  Open();
  forms_.ScriptFontChoice(FontChoice{"Tahoma", 9, false, true, false, false, 0x00FF0000});
  ASSERT_TRUE(forms_.Click(F(), "BitBtnFont"));
  EXPECT_EQ(Text("LabelFont"), "\"Tahoma\", 9, [Italic], [clBlue]");
  const headless::ControlState* preview = forms_.Find(F())->Find("PanelPreview");
  ASSERT_TRUE(preview->font);
  EXPECT_EQ(preview->font->face, "Tahoma");
  EXPECT_TRUE(preview->font->italic);
  EXPECT_EQ(preview->color, 0x00FF0000u);
  EXPECT_EQ(forms_.Find(F())->Find("ShapeColor")->picture.At(37, 12), PackBgra(0xFF, 0, 0, 255));
  forms_.ScriptColorChoice(std::nullopt);  // cancelled: nothing changes
  ASSERT_TRUE(forms_.Click(F(), "BitBtnColor"));
  EXPECT_EQ(Text("LabelFont"), "\"Tahoma\", 9, [Italic], [clBlue]");
}

TEST_F(SetupDialogTest, TheLinkAndItsPictureOpenThePageOfMoreSkins) {
  std::vector<std::string> opened;
  SetupHooks hooks = main_.Hooks();
  hooks.OpenAddress = [&](const std::string& address) { opened.push_back(address); };
  SetupDialog dialog(forms_, hooks);
  dialog.OpenSettings();
  ASSERT_TRUE(forms_.Click(dialog.Form(), "LabelImgDown"));
  ASSERT_TRUE(forms_.Click(dialog.Form(), "ImageDown"));
  EXPECT_EQ(opened, (std::vector<std::string>{kMoreStylesAddress, kMoreStylesAddress}));
  const headless::ControlState* link = forms_.Find(dialog.Form())->Find("LabelImgDown");
  EXPECT_EQ(link->design.color, kColorBlue);
  EXPECT_EQ(link->design.hoverColor, kColorFuchsia);
}

TEST_F(SetupDialogTest, TheDefaultsAskFirstAndShiftTheSkinsFromWhatTheDialogOpenedWith) {
  main_.file->BackgroundSize = 400;
  main_.file->CenterSize = 120;
  main_.run = kExe;
  main_.answerYes = false;
  Open();
  ASSERT_TRUE(forms_.Click(F(), "BitBtnDefault"));
  EXPECT_TRUE(dialog_->IsOpen());
  EXPECT_FALSE(main_.Logged("save defaults"));
  main_.answerYes = true;
  const std::size_t mark = main_.log.size();
  ASSERT_TRUE(forms_.Click(F(), "BitBtnDefault"));
  const std::vector<std::string> expected = {std::string("ask ") + kRestoreQuestion,
                                             "run deleted",
                                             "save defaults",
                                             "settings",
                                             "display 0",
                                             "hotkey C",
                                             "font 1 \"Tahoma\", 9, [clRed]",
                                             "theme Default",
                                             "alpha 100",
                                             "position 0",
                                             "background 300 1  50",
                                             "center 115 1  2",
                                             "relayout",
                                             "magnify 50 4",
                                             "closed"};
  EXPECT_EQ(main_.Since(mark), expected);
  EXPECT_EQ(main_.settings.MinR, 105);
}

TEST_F(SetupDialogTest, WithoutAConfigurationFileNoButtonChangesAnything) {
  main_.file.reset();
  main_.settings.MinR = 140;
  main_.settings.RectTransparence = 80;
  for (const char* button : {"BitBtnOK", "BitBtnCancel", "BitBtnDefault"}) {
    Open();
    EXPECT_EQ(Text("LabelBGNum"), "300");
    EXPECT_EQ(Sel("ComboBoxAction"), 4);
    ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarMinR", 250));
    ASSERT_TRUE(forms_.MoveTrackBar(F(), "TrackBarTransparence", 10));
    ASSERT_TRUE(forms_.Click(F(), button));
    EXPECT_FALSE(dialog_->IsOpen()) << button;
    EXPECT_EQ(main_.settings.MinR, 140) << button;
    EXPECT_EQ(main_.settings.RectTransparence, 80) << button;
    for (const std::string& e : main_.log) {
      EXPECT_TRUE(e.rfind("save", 0) != 0 && e != "settings" && e.rfind("background", 0) != 0 &&
                  e.rfind("hotkey", 0) != 0 && e.rfind("run", 0) != 0)
          << button << ": " << e;
    }
  }
}

}  // namespace
}  // namespace qv::settings
