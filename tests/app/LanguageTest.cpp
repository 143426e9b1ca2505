// The interface's language: the text tables, the menus' accelerators, and
// the choice the file holds against the system's display language.

#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <set>

#include "app/Menus.h"
#include "config/Texts.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using config::Language;
using config::TableText;
using config::TextKey;

std::multiset<std::string> Placeholders(const std::string& text) {
  static const std::regex mark(R"(\{\d+\})");
  std::multiset<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), mark); it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

TEST(TextTables, EveryKeyHasBothTextsWithTheSamePlaceholders) {
  for (std::size_t i = 0; i < config::kTextCount; ++i) {
    const auto key = static_cast<TextKey>(i);
    const std::string chinese = TableText(key, Language::Chinese), english = TableText(key, Language::English);
    EXPECT_EQ(config::TableKey(i), key) << "the rows stand in the keys' order: " << i;
    EXPECT_TRUE(!chinese.empty() && !english.empty()) << i;
    EXPECT_EQ(Placeholders(chinese), Placeholders(english)) << chinese << " / " << english;
  }
}

// Each value goes where its mark stands in the table, whatever the value itself holds.
TEST(TextTables, ValuesFillTheirMarksAndAreNotReadAgain) {
  const Language before = config::CurrentLanguage();
  config::SetLanguage(Language::English);
  const std::string table = TableText(TextKey::NotSaved, Language::English);  // "...\n{1}\n{2}"
  EXPECT_EQ(config::Tr(TextKey::NotSaved, {"C:\\{2}\\a", "B"}), table.substr(0, table.find("{1}")) + "C:\\{2}\\a\nB");
  config::SetLanguage(before);
}

// Each entry has one accelerator, and no two entries of one menu share a letter.
void CheckAccelerators(const std::vector<MenuItem>& items, const std::string& where) {
  std::set<char> letters;
  for (const MenuItem& item : items) {
    if (item.separator) continue;
    const std::size_t amp = item.caption.find('&');
    ASSERT_TRUE(amp + 1 < item.caption.size() && item.caption.find('&', amp + 1) == std::string::npos)
        << where << ": " << item.caption;
    EXPECT_TRUE(letters.insert(static_cast<char>(std::toupper(item.caption[amp + 1]))).second)
        << where << ": " << item.caption << " repeats its letter";
    if (!item.submenu.empty()) CheckAccelerators(item.submenu, where + " > " + item.caption);
  }
}

TEST(TextTables, AcceleratorsAreUniqueInEveryMenuInBothLanguages) {
  for (const Language language : {Language::Chinese, Language::English}) {
    config::SetLanguage(language);
    for (const auto kind : {app::MenuKind::Center, app::MenuKind::TaskBar, app::MenuKind::Soft, app::MenuKind::RectBG,
                            app::MenuKind::RectIcon})
      CheckAccelerators(app::MenuOf(kind).items,
                        app::MenuOf(kind).name + (language == Language::Chinese ? " zh" : " en"));
  }
  config::SetLanguage(Language::Chinese);
}

TEST(TextTables, WindowsFollowsTheChineseDisplayLanguagesAlone) {
  // zh-CN, zh-TW, zh-HK, zh-Hant; en-US, ja-JP, cs-CZ (0x04 in the sublanguage's bits only).
  for (const std::uint16_t id : {0x0804, 0x0404, 0x0C04, 0x7C04})
    EXPECT_EQ(config::ResolveLanguage(config::LanguageChoice::Windows, id), Language::Chinese) << id;
  for (const std::uint16_t id : {0x0409, 0x0411, 0x0405})
    EXPECT_EQ(config::ResolveLanguage(config::LanguageChoice::Windows, id), Language::English) << id;
  EXPECT_EQ(config::ResolveLanguage(config::LanguageChoice::Chinese, 0x0409), Language::Chinese);
  EXPECT_EQ(config::ResolveLanguage(config::LanguageChoice::English, 0x0804), Language::English);
}

class LanguageTest : public testing::ScenarioTest {
 protected:
  std::string Stored() {
    return LoadConfigDom().document_element().child("Setup").child("Basic").attribute("Language").as_string("-");
  }
  void ExpectShown(std::size_t process, Language language) {
    EXPECT_EQ(Process(process).TrayTip(), TableText(TextKey::TrayTip, language));
    App(process).Form().OnTrayCallback(100, kMouseRightUp);
    EXPECT_EQ(desktop_->MenusShown().back().menu.items[0].caption, TableText(TextKey::MenuRestore, language));
  }
};

// The file's attribute, or the display language for Windows, an absent or an
// unknown value, picks the menus and the tray tip; the file keeps what it held.
TEST_F(LanguageTest, TheFileOrTheDisplayLanguagePicksTheTexts) {
  struct Case {
    const char* attribute;  // "-": absent
    std::uint16_t display;
    Language expected;
  };
  // Which display language means which is the resolution's own test above.
  const Case cases[] = {{"-", 0x0409, Language::English},       {"Windows", 0x0804, Language::Chinese},
                        {"Chinese", 0x0409, Language::Chinese}, {"English", 0x0804, Language::English},
                        {"Klingon", 0x0409, Language::English}, {"english", 0x0804, Language::Chinese}};
  std::size_t started = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute);
    Basic().remove_attribute("Language");
    if (std::string(c.attribute) != "-") Basic().append_attribute("Language") = c.attribute;
    displayLanguage_ = c.display;
    ASSERT_NE(Start(), nullptr);
    ExpectShown(started, c.expected);
    EXPECT_EQ(Stored(), c.attribute);
    App(started).Stop();
    Process(started++).Exit();
  }
}

// OK stores the choice; the tray tip and the next menu take it at once.
TEST_F(LanguageTest, OkAppliesTheChosenLanguage) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  form->Setup().OpenSettings();
  ASSERT_TRUE(Process().Forms().Choose(form->Setup().Form(), "ComboBoxLanguage", 2));
  ASSERT_TRUE(Process().Forms().Click(form->Setup().Form(), "BitBtnOK"));
  EXPECT_EQ(Stored(), "English");
  ExpectShown(0, Language::English);
}

}  // namespace
}  // namespace qv
