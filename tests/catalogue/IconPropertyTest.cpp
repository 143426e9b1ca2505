// The item property dialog on the headless desktop: what it shows when it
// opens, what OK writes into the file, the record and the window, and its
// binding to the item it was opened for.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "catalogue/IconProperty.h"
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
    return form_ = Start();
  }
  headless::HeadlessForms& Forms() { return Current().Forms(); }
  catalogue::IconPropertyDialog& Dialog() { return form_->Properties(); }
  FormId Open(int slot) {
    Dialog().OpenProperties(slot);
    return Dialog().Form();
  }
  std::string Field(const char* control) { return Forms().Text(Dialog().Form(), control); }

  static ItemSpec Tool(const std::string& name) { return {kTool, name, kOldIco, kKeep, "-a", "C:\\Work"}; }

  app::MainForm* form_ = nullptr;
};

// Asked again for the same item, the dialog comes up with the user's edits;
// asked for another, it is made anew with that item's values.
TEST_F(IconPropertyTest, OpensWithTheItemsValuesAndOnlyOneAtATime) {
  Put(kDir + "Icon\\broken.png", "not a picture");
  app::MainForm* form = StartWith({Tool("one"), {kOther, "two", "", kNewPng, "", ""},
                                   {kTool, "three", "", kDir + "Icon\\broken.png", "-x", ""}});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(2);
  ASSERT_NE(id, kNoForm);
  const headless::FormRecord* f = Forms().Find(id);
  EXPECT_TRUE(f->visible);
  EXPECT_EQ(f->focus, "BitBtnOK");
  // Define is the picture when Default is empty.
  EXPECT_EQ(
      std::vector<std::string>({Field("EditIcon"), Field("EditName"), Field("EditTarget"), Field("EditArgument")}),
      std::vector<std::string>({kNewPng, "two", kOther, ""}));
  EXPECT_EQ(f->Find("ImageIcon")->picture.width, 48);
  ASSERT_TRUE(Forms().Type(id, "EditName", "edited"));
  EXPECT_EQ(Open(2), id);
  EXPECT_EQ(Field("EditName"), "edited");

  // A preview that cannot be loaded stays empty; every field is still filled.
  const FormId broken = Open(3);
  EXPECT_FALSE(Forms().FormExists(id));
  EXPECT_EQ(Forms().Forms().size(), 1u);
  EXPECT_TRUE(Forms().Find(broken)->Find("ImageIcon")->picture.Empty());
  EXPECT_EQ(std::vector<std::string>({Field("EditName"), Field("EditTarget"), Field("EditArgument")}),
            std::vector<std::string>({"three", kTool, "-x"}));
  ASSERT_TRUE(Forms().Type(broken, "EditName", "three renamed"));
  ASSERT_TRUE(Forms().Click(broken, "BitBtnOK"));
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[1], "two");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 3))[1], "three renamed");
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
  const std::string gone = kDir + "Icon\\gone.png";
  // clang-format off
  const std::vector<ApplyCase> cases = {
      {"name only", {{"EditName", "renamed"}}, with({{1, "renamed"}}), kOldIco, &kRed},
      {"blanks and control characters trimmed",
       {{"EditName", "  spaced \t"}, {"EditArgument", "\t-b  "}, {"EditTarget", " " + kOther + "\r\n"}},
       with({{0, kOther}, {1, "spaced"}, {4, "-b"}}), kOldIco, &kRed},
      {"a folder as target is ignored", {{"EditTarget", "C:\\Apps"}}, same, kOldIco, &kRed},
      {".png goes into Define and empties Default", {{"EditIcon", kNewPng}}, with({{2, ""}, {3, kNewPng}}), kNewPng,
       &kGreen},
      {".ico goes into Default", {{"EditIcon", kNewIco}}, with({{2, kNewIco}}), kNewIco, &kBlue},
      {"a missing picture leaves the bare plate and the file's paths", {{"EditIcon", gone}}, same, gone, nullptr},
      {"a picture of another kind leaves the bare plate", {{"EditIcon", kTool}}, same, kTool, nullptr},
  };
  // clang-format on
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.what);
    apps_.clear();
    processes_.clear();
    app::MainForm* form = StartWith({Tool("tool")});
    ASSERT_NE(form, nullptr);
    const WindowId item = form->Slots()[1].Window;
    const FormId id = Open(1);
    for (const auto& [control, text] : c.typed) ASSERT_TRUE(Forms().Type(id, control, text));
    ASSERT_TRUE(Forms().Click(id, "BitBtnOK"));

    EXPECT_FALSE(Forms().FormExists(id)) << "OK closes the dialog";
    EXPECT_FALSE(Dialog().IsOpen());
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
  }
}

TEST_F(IconPropertyTest, CancelCloseBoxAndEscapeChangeNothing) {
  app::MainForm* form = StartWith({Tool("tool")});
  ASSERT_NE(form, nullptr);
  const std::string before = ConfigBytes();
  const std::pair<const char*, std::function<bool(FormId)>> ways[] = {
      {"cancel", [&](FormId id) { return Forms().Click(id, "BitBtnCancel"); }},
      {"close box", [&](FormId id) { return Forms().CloseBox(id); }},
      {"escape", [&](FormId id) { return Forms().PressEscape(id); }},
  };
  for (const auto& [how, close] : ways) {
    SCOPED_TRACE(how);
    const FormId id = Open(1);
    ASSERT_TRUE(Forms().Type(id, "EditName", "changed"));
    ASSERT_TRUE(close(id));
    EXPECT_FALSE(Forms().FormExists(id));
    EXPECT_FALSE(Dialog().IsOpen());
    EXPECT_EQ(ConfigBytes(), before);
    EXPECT_EQ(form->Slots()[1].Hint, "tool");
  }
}

TEST_F(IconPropertyTest, BrowseFillsTheFieldsWithTheChosenFilesAndACancelledChoiceKeepsThem) {
  app::MainForm* form = StartWith({Tool("tool")});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(1);
  Forms().ScriptFileChoice(kNewPng);
  ASSERT_TRUE(Forms().Click(id, "BitBtnIcon"));
  EXPECT_EQ(Field("EditIcon"), kNewPng);
  const LayeredSurface& preview = Forms().Find(id)->Find("ImageIcon")->picture;
  ASSERT_EQ(preview.width, 48);
  EXPECT_EQ(preview.At(24, 24), PackBgra(kGreen.b, kGreen.g, kGreen.r, 255)) << "the preview follows the choice";
  Forms().ScriptFileChoice(std::nullopt);
  ASSERT_TRUE(Forms().Click(id, "BitBtnTarget"));
  EXPECT_EQ(Field("EditTarget"), kTool);
}

// ---- the binding ----------------------------------------------------------------

TEST_F(IconPropertyTest, OkReachesTheItemItWasOpenedForAfterItChangedPlaces) {
  app::MainForm* form = StartWith({Tool("first"), {kOther, "second", kOldIco, "", "", ""}});
  ASSERT_NE(form, nullptr);
  const FormId id = Open(1);
  Drag(ItemMiddle(1), ItemMiddle(2));  // the ring exchanges the two items
  catalogue::ItemSlots& slots = form->Slots();
  ASSERT_EQ(slots[2].Hint, "first");
  ASSERT_TRUE(Forms().Type(id, "EditName", "first renamed"));
  ASSERT_TRUE(Forms().Click(id, "BitBtnOK"));
  const pugi::xml_document doc = LoadConfigDom();
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 2))[1], "first renamed");
  EXPECT_EQ(test::TextsOf(FileCircle(doc, 1))[1], "second");
  EXPECT_EQ(slots[2].Hint, "first renamed");
  EXPECT_EQ(slots[1].Hint, "second");
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
    ASSERT_TRUE(Forms().Type(id, "EditTarget", kTool));
    ASSERT_TRUE(Forms().Click(id, "BitBtnOK"));
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
  Boxes().During([&] {
    EXPECT_FALSE(Forms().FormExists(first));
    second = Open(2);
  });
  ASSERT_TRUE(Forms().Type(first, "EditName", "renamed"));
  ASSERT_TRUE(Forms().Click(first, "BitBtnOK"));
  ASSERT_EQ(desktop_->MessageBoxes().size(), 1u);
  EXPECT_NE(Current().Reports().back().text.find("item 1"), std::string::npos);
  EXPECT_EQ(form->Slots()[1].Hint, "renamed");
  ASSERT_TRUE(Dialog().IsOpen());
  EXPECT_EQ(Dialog().Form(), second);
  EXPECT_EQ(Field("EditName"), "second");
}

TEST(TrimBlanks, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""}, {" \t\r\n\x01\x7f", ""}, {"a", "a"}, {"  a b  ", "a b"}, {"\ta\x1f", "a"}, {"名 称 ", "名 称"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(catalogue::TrimBlanks(in), out) << in;
}

}  // namespace
}  // namespace qv
