// The item property dialog on the headless desktop: what it shows when it
// opens, what OK writes into the file, the record and the window, and its
// binding to the item it was opened for.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "catalogue/IconProperty.h"
#include "catalogue/IconPropertyApply.h"
#include "config/ItemFile.h"
#include "config/Texts.h"
#include "picture/PngLoader.h"
#include "platform/headless/HeadlessForms.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using test::ItemSpec;
using test::kDir;
using testing::Rgb;

constexpr Rgb kRed{210, 30, 40};
constexpr Rgb kGreen{40, 180, 90};
constexpr Rgb kBlue{20, 60, 200};

const std::string kOldIco = kDir + "Icon\\old.exe.ico";
const std::string kNewIco = kDir + "Icon\\new.ico";
const std::string kNewPng = kDir + "Icon\\new.png";
const std::string kTool = "C:\\Apps\\tool.exe";
const std::string kOther = "C:\\Apps\\other.exe";
const std::string kKeep = kDir + "Icon\\keep.png";  // Define under a Default: not in effect

class IconPropertyTest : public test::ItemScenario {
 protected:
  void SetUp() override {
    ItemScenario::SetUp();
    Put(kOldIco, test::SolidIco(48, kRed));
    Put(kNewIco, test::SolidIco(48, kBlue));
    Put(kNewPng, testing::SolidPng(48, kGreen));
    Put(kTool, "MZ");
    Put(kOther, "MZ");
  }

  app::MainForm* StartWith(const std::vector<ItemSpec>& ring) {
    for (std::size_t i = 0; i < ring.size(); ++i) SetCircle(static_cast<int>(i) + 1, ring[i]);
    app::MainForm* form = Start();
    if (form) {
      saveFailures_ = std::make_unique<config::SaveFailures>(boxes_, Current(), Current(), kDir + "Config\\UserInfo.xml");
      properties_ = std::make_unique<catalogue::CatalogueProperties>(Current().AsPlatform(), form->Slots(), form->Round(),
                                                                     saveFailures_.get());
      dialog_ = std::make_unique<catalogue::IconPropertyDialog>(forms_, *properties_, *properties_);
    }
    return form;
  }
  FormId Open(int slot) {
    dialog_->OpenProperties(slot);
    return dialog_->Form();
  }
  std::string Field(const char* control) { return forms_.Text(dialog_->Form(), control); }

  static ItemSpec Tool(const std::string& name) { return {kTool, name, kOldIco, kKeep, "-a", "C:\\Work"}; }

  // A message box whose loop lets the user act while it is open.
  struct Boxes : IDialogs {
    MessageBoxResult MessageBox(const std::string& text, const std::string&, MessageBoxButtons, MessageBoxIcon) override {
      shown.push_back(text);
      open = true;
      if (meanwhile) std::exchange(meanwhile, nullptr)();
      open = false;
      return MessageBoxResult::Ok;
    }
    bool BoxOpen() const override { return open; }
    bool open = false;
    std::vector<std::string> shown;
    std::function<void()> meanwhile;
  };

  headless::HeadlessForms forms_;
  Boxes boxes_;
  std::unique_ptr<config::SaveFailures> saveFailures_;
  std::unique_ptr<catalogue::CatalogueProperties> properties_;
  std::unique_ptr<catalogue::IconPropertyDialog> dialog_;
};

TEST_F(IconPropertyTest, OpensWithTheItemsValuesAndTheFocusOnOk) {
  Put(kDir + "Icon\\broken.png", "not a picture");
  app::MainForm* form = StartWith({Tool("one"), {kOther, "two", "", kNewPng, "", ""},
                                   {kTool, "three", "", kDir + "Icon\\broken.png", "-x", ""}});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(2);
  ASSERT_NE(id, kNoForm);
  const headless::FormRecord* f = forms_.Find(id);
  EXPECT_TRUE(f->visible);
  EXPECT_EQ(f->focus, "BitBtnOK");
  // Define is the picture when Default is empty.
  EXPECT_EQ(
      std::vector<std::string>({Field("EditIcon"), Field("EditName"), Field("EditTarget"), Field("EditArgument")}),
      std::vector<std::string>({kNewPng, "two", kOther, ""}));
  EXPECT_EQ(f->Find("ImageIcon")->picture.width, 48);
  // A preview that cannot be loaded stays empty; every field is still filled.
  const FormId broken = Open(3);
  EXPECT_TRUE(forms_.Find(broken)->Find("ImageIcon")->picture.Empty());
  EXPECT_EQ(std::vector<std::string>({Field("EditName"), Field("EditTarget"), Field("EditArgument")}),
            std::vector<std::string>({"three", kTool, "-x"}));
}

// One OK with some fields edited, and what the element, the record and the window hold afterwards.
struct ApplyCase {
  const char* what;
  std::map<std::string, std::string> typed;  // control -> text
  std::vector<std::string> texts;            // File, Name, Default, Define, Argument, Http, InitialPosition
  std::string recordIconPath;
  const Rgb* shows;  // the colour the item shows; null: the bare plate
};

TEST_F(IconPropertyTest, OkWritesTheValuesTheRulesAllow) {
  const std::vector<std::string> same = {kTool, "tool", kOldIco, kKeep, "-a", "", "C:\\Work"};
  const auto with = [&](const std::map<int, std::string>& changes) {
    std::vector<std::string> texts = same;
    for (const auto& [i, text] : changes) texts[static_cast<std::size_t>(i)] = text;
    return texts;
  };
  const std::string up = kDir + "Icon\\UP.PNG", gone = kDir + "Icon\\gone.png";
  // clang-format off
  const std::vector<ApplyCase> cases = {
      {"name only", {{"EditName", "renamed"}}, with({{1, "renamed"}}), kOldIco, &kRed},
      {"blanks and control characters trimmed",
       {{"EditName", "  spaced \t"}, {"EditArgument", "\t-b  "}, {"EditTarget", " " + kOther + "\r\n"}},
       with({{0, kOther}, {1, "spaced"}, {4, "-b"}}), kOldIco, &kRed},
      {"a folder as target is ignored", {{"EditTarget", "C:\\Apps"}}, same, kOldIco, &kRed},
      {"a missing file as target is ignored", {{"EditTarget", "C:\\Apps\\gone.exe"}}, same, kOldIco, &kRed},
      {".png goes into Define and empties Default", {{"EditIcon", kNewPng}}, with({{2, ""}, {3, kNewPng}}), kNewPng,
       &kGreen},
      {".ico goes into Default", {{"EditIcon", kNewIco}}, with({{2, kNewIco}}), kNewIco, &kBlue},
      {"an upper-case extension counts", {{"EditIcon", up}}, with({{2, ""}, {3, up}}), up, &kGreen},
      {"a missing picture leaves the bare plate and the file's paths", {{"EditIcon", gone}}, same, gone, nullptr},
      {"a picture of another kind leaves the bare plate", {{"EditIcon", kTool}}, same, kTool, nullptr},
  };
  // clang-format on
  Put(kDir + "Icon\\UP.PNG", testing::SolidPng(48, kGreen));
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.what);
    apps_.clear();
    processes_.clear();
    app::MainForm* form = StartWith({Tool("tool")});
    ASSERT_NE(form, nullptr);
    const WindowId item = form->Slots()[1].Window;
    const FormId id = Open(1);
    for (const auto& [control, text] : c.typed) ASSERT_TRUE(forms_.Type(id, control, text));
    ASSERT_TRUE(forms_.Click(id, "BitBtnOK"));

    EXPECT_FALSE(forms_.FormExists(id)) << "OK closes the dialog";
    EXPECT_FALSE(dialog_->IsOpen());
    EXPECT_EQ(test::TextsOf(FileCircle(LoadConfigDom(), 1)), c.texts);
    const catalogue::TImageIconRec& rec = form->Slots()[1];
    EXPECT_EQ(std::tie(rec.File, rec.Hint, rec.Argument, rec.IconPath),
              std::tie(c.texts[0], c.texts[1], c.texts[4], c.recordIconPath));
    EXPECT_EQ(rec.InitialPosition, "C:\\Work") << "the working directory never changes";
    const LayeredSurface& shown = desktop_->FindWindow(item)->surface;
    if (c.shows) {
      EXPECT_TRUE(test::ShowsSolid(shown, *c.shows));
    } else {
      EXPECT_EQ(shown.pixels, picture::LoadPremultipliedPng(Current(), "ICONBACKGROUND").pixels);
    }
    dialog_.reset();
  }
}

TEST_F(IconPropertyTest, CancelCloseBoxAndEscapeChangeNothing) {
  for (const char* how : {"cancel", "close box", "escape"}) {
    SCOPED_TRACE(how);
    apps_.clear();
    processes_.clear();
    app::MainForm* form = StartWith({Tool("tool")});
    ASSERT_NE(form, nullptr);
    const std::string before = ConfigBytes();
    const FormId id = Open(1);
    ASSERT_TRUE(forms_.Type(id, "EditName", "changed"));
    const std::string h = how;
    ASSERT_TRUE(h == "cancel"   ? forms_.Click(id, "BitBtnCancel")
                : h == "escape" ? forms_.PressEscape(id)
                                : forms_.CloseBox(id));
    EXPECT_FALSE(forms_.FormExists(id));
    EXPECT_FALSE(dialog_->IsOpen());
    EXPECT_EQ(ConfigBytes(), before);
    EXPECT_EQ(form->Slots()[1].Hint, "tool");
    dialog_.reset();
  }
}

TEST_F(IconPropertyTest, BrowseFillsTheFieldsWithTheChosenFilesAndACancelledChoiceKeepsThem) {
  app::MainForm* form = StartWith({Tool("tool")});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(1);
  forms_.ScriptFileChoice(kNewPng);
  ASSERT_TRUE(forms_.Click(id, "BitBtnIcon"));
  EXPECT_EQ(Field("EditIcon"), kNewPng);
  const LayeredSurface& preview = forms_.Find(id)->Find("ImageIcon")->picture;
  ASSERT_EQ(preview.width, 48);
  EXPECT_EQ(preview.At(24, 24), PackBgra(kGreen.b, kGreen.g, kGreen.r, 255)) << "the preview follows the choice";
  forms_.ScriptFileChoice(std::nullopt);
  ASSERT_TRUE(forms_.Click(id, "BitBtnTarget"));
  EXPECT_EQ(Field("EditTarget"), kTool);
  ASSERT_EQ(forms_.FileDialogs().size(), 2u);
  EXPECT_EQ(forms_.FileDialogs()[0].filter, config::Tr(config::TextKey::PictureFilter));
  EXPECT_EQ(forms_.FileDialogs()[1].filter, "");
}

// ---- the binding ----------------------------------------------------------------

TEST_F(IconPropertyTest, OkReachesTheItemItWasOpenedForAfterItChangedPlaces) {
  app::MainForm* form = StartWith({Tool("first"), {kOther, "second", kOldIco, "", "", ""}});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(1);
  // The ring exchanges the two items: records, window names and elements.
  catalogue::ItemSlots& slots = form->Slots();
  const WindowId first = slots[1].Window, second = slots[2].Window;
  std::swap(slots[1], slots[2]);
  std::swap(slots[1].OffsetX, slots[2].OffsetX);
  std::swap(slots[1].OffsetY, slots[2].OffsetY);
  Current().SetName(first, "Circle2");
  Current().SetName(second, "Circle1");
  slots.Windows().MoveItem(first, 2);
  slots.Windows().MoveItem(second, 1);
  ASSERT_EQ(config::ItemFile(Current(), Current(), kDir + "Config\\UserInfo.xml").SwapRingItems(1, 2),
            config::EditResult::Saved);

  ASSERT_TRUE(forms_.Type(id, "EditName", "first renamed"));
  ASSERT_TRUE(forms_.Click(id, "BitBtnOK"));
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[1], "first renamed");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "second");
  EXPECT_EQ(slots[2].Hint, "first renamed");
  EXPECT_EQ(slots[1].Hint, "second");
}

TEST_F(IconPropertyTest, OpeningForAnotherItemShowsThatItemsValuesAndTheSameItemKeepsTheEdits) {
  app::MainForm* form = StartWith({Tool("first"), {kOther, "second", kOldIco, "", "-s", ""}});
  ASSERT_NE(form, nullptr);
  const FormId firstForm = Open(1);
  ASSERT_TRUE(forms_.Type(firstForm, "EditName", "edited"));
  EXPECT_EQ(Open(1), firstForm);
  EXPECT_EQ(Field("EditName"), "edited") << "the same item: brought up with the user's edits";

  const FormId secondForm = Open(2);
  EXPECT_FALSE(forms_.FormExists(firstForm));
  ASSERT_TRUE(forms_.FormExists(secondForm));
  EXPECT_EQ(forms_.Forms().size(), 1u);
  EXPECT_EQ(Field("EditName"), "second");
  EXPECT_EQ(Field("EditArgument"), "-s");
  ASSERT_TRUE(forms_.Type(secondForm, "EditName", "second renamed"));
  ASSERT_TRUE(forms_.Click(secondForm, "BitBtnOK"));
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "first");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[1], "second renamed");
}

TEST_F(IconPropertyTest, AnItemDeletedWhileItsDialogIsOpenClosesItAndItsPlaceIsNeverWritten) {
  for (const bool told : {true, false}) {
    SCOPED_TRACE(told ? "told of the removal" : "OK pressed after the removal");
    apps_.clear();
    processes_.clear();
    app::MainForm* form = StartWith({Tool("doomed"), Tool("stays")});
    ASSERT_NE(form, nullptr);
    const FormId id = Open(1);
    ASSERT_TRUE(form->Removal().RequestDestroy(form->Slots()[1].Window));
    desktop_->Advance(240);
    ASSERT_TRUE(form->Slots()[1].File.empty());
    const std::string afterRemoval = ConfigBytes();
    if (told) {
      dialog_->ItemsChanged();
      EXPECT_FALSE(forms_.FormExists(id));
      EXPECT_FALSE(dialog_->IsOpen());
    } else {
      ASSERT_TRUE(forms_.Type(id, "EditName", "ghost"));
      ASSERT_TRUE(forms_.Click(id, "BitBtnOK"));
      EXPECT_FALSE(forms_.FormExists(id));
      EXPECT_EQ(ConfigBytes(), afterRemoval);
      EXPECT_TRUE(form->Slots()[1].Hint.empty());
    }
    dialog_->ItemsChanged();  // an unrelated change leaves nothing open
    dialog_.reset();
  }
}

TEST_F(IconPropertyTest, WithoutAFileTheDialogShowsTheRecordAndOkChangesNothing) {
  app::MainForm* form = StartWith({Tool("tool")});
  ASSERT_NE(form, nullptr);
  std::filesystem::remove(ConfigFile());
  const FormId id = Open(1);
  EXPECT_EQ(Field("EditName"), "tool");
  EXPECT_EQ(Field("EditTarget"), kTool);
  ASSERT_TRUE(forms_.Type(id, "EditName", "renamed"));
  ASSERT_TRUE(forms_.Click(id, "BitBtnOK"));
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
  EXPECT_EQ(form->Slots()[1].Hint, "tool");
}

// Named software that is not installed and a dock placeholder have a window
// but no target: their properties give them one.
TEST_F(IconPropertyTest, AnItemWithoutATargetIsGivenOne) {
  SetRectList({{"", "Holder", "", "", "", ""}});
  app::MainForm* form = StartWith({{"", "NotInstalled", "", "", "", ""}});
  ASSERT_NE(form, nullptr);
  for (const int slot : {1, catalogue::kRingSlots + 1}) {
    SCOPED_TRACE(slot);
    const FormId id = Open(slot);
    ASSERT_NE(id, kNoForm);
    ASSERT_TRUE(forms_.Type(id, "EditTarget", kTool));
    ASSERT_TRUE(forms_.Click(id, "BitBtnOK"));
    EXPECT_EQ(form->Slots()[slot].File, kTool);
  }
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[0], kTool);
  EXPECT_STREQ(doc.document_element().child("RectBackground").child("Rect1").child_value("File"), kTool.c_str());
}

// The failure box runs a loop of its own, in which the user may open the
// properties of another item: it comes once OK is done with its dialog.
TEST_F(IconPropertyTest, TheFailureBoxComesAfterOkHasClosedItsDialog) {
  app::MainForm* form = StartWith({Tool("first"), {kOther, "second", kOldIco, "", "-s", ""}});
  ASSERT_NE(form, nullptr);
  desktop_->RefusedWrites().insert(kDir + "Config\\UserInfo.xml");
  const FormId first = Open(1);
  FormId second = kNoForm;
  boxes_.meanwhile = [&] {
    EXPECT_FALSE(forms_.FormExists(first));
    second = Open(2);
  };
  ASSERT_TRUE(forms_.Type(first, "EditName", "renamed"));
  ASSERT_TRUE(forms_.Click(first, "BitBtnOK"));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_NE(Current().Reports().back().text.find("item 1"), std::string::npos);
  EXPECT_EQ(form->Slots()[1].Hint, "renamed");
  ASSERT_TRUE(dialog_->IsOpen());
  EXPECT_EQ(dialog_->Form(), second);
  EXPECT_EQ(Field("EditName"), "second");
}

TEST(TrimBlanks, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""}, {" \t\r\n\x01\x7f", ""}, {"a", "a"}, {"  a b  ", "a b"}, {"\ta\x1f", "a"}, {"名 称 ", "名 称"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(catalogue::TrimBlanks(in), out) << in;
}

}  // namespace
}  // namespace qv
