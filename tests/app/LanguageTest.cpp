// The interface's language: the text tables, the menus' accelerators, and
// the choice the file holds against the system's display language.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>

#include "app/Menus.h"
#include "config/Texts.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using config::Language;
using config::LanguageChoice;
using config::TextKey;

constexpr Language kLanguages[] = {Language::Chinese, Language::English};

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
    SCOPED_TRACE(i);
    EXPECT_EQ(config::TableKey(i), key) << "the rows stand in the keys' order";
    const std::string chinese = config::TableText(key, Language::Chinese);
    const std::string english = config::TableText(key, Language::English);
    EXPECT_FALSE(chinese.empty());
    EXPECT_FALSE(english.empty());
    EXPECT_EQ(Placeholders(chinese), Placeholders(english)) << chinese << " / " << english;
  }
}

// Each entry has one accelerator, and no two entries of one menu share a letter.
void CheckAccelerators(const std::vector<MenuItem>& items, const std::string& where) {
  std::set<char> letters;
  for (const MenuItem& item : items) {
    if (item.separator) continue;
    const std::size_t amp = item.caption.find('&');
    ASSERT_LT(amp + 1, item.caption.size()) << where << ": " << item.caption;
    EXPECT_EQ(item.caption.find('&', amp + 1), std::string::npos) << where << ": " << item.caption;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(item.caption[amp + 1])));
    EXPECT_TRUE(letters.insert(letter).second) << where << ": " << item.caption << " repeats " << letter;
    if (!item.submenu.empty()) CheckAccelerators(item.submenu, where + " > " + item.caption);
  }
}

TEST(TextTables, AcceleratorsAreUniqueInEveryMenuInBothLanguages) {
  for (const Language language : kLanguages) {
    config::SetLanguage(language);
    for (const app::MenuKind kind : {app::MenuKind::Center, app::MenuKind::TaskBar, app::MenuKind::Soft,
                                     app::MenuKind::RectBG, app::MenuKind::RectIcon}) {
      const Menu menu = app::MenuOf(kind);
      CheckAccelerators(menu.items, menu.name + (language == Language::Chinese ? " (Chinese)" : " (English)"));
    }
  }
  config::SetLanguage(Language::Chinese);
}

TEST(TextTables, WindowsFollowsTheChineseDisplayLanguagesAlone) {
  struct Case {
    LanguageChoice choice;
    std::uint16_t display;
    Language expected;
  };
  const Case cases[] = {
      {LanguageChoice::Windows, 0x0804, Language::Chinese},  // zh-CN
      {LanguageChoice::Windows, 0x0404, Language::Chinese},  // zh-TW
      {LanguageChoice::Windows, 0x0C04, Language::Chinese},  // zh-HK
      {LanguageChoice::Windows, 0x7C04, Language::Chinese},  // zh-Hant
      {LanguageChoice::Windows, 0x0409, Language::English},  // en-US
      {LanguageChoice::Windows, 0x0411, Language::English},  // ja-JP
      {LanguageChoice::Windows, 0x0405, Language::English},  // cs-CZ: 0x04 only in the sublanguage bits
      {LanguageChoice::Chinese, 0x0409, Language::Chinese}, {LanguageChoice::English, 0x0804, Language::English},
  };
  for (const Case& c : cases)
    EXPECT_EQ(config::ResolveLanguage(c.choice, c.display), c.expected) << std::hex << c.display;
}

class LanguageTest : public testing::ScenarioTest {};

// The file's attribute, or the display language for Windows, an absent or an
// unknown value, picks the menus and the tray tip; the file keeps what it held.
TEST_F(LanguageTest, TheFileOrTheDisplayLanguagePicksTheTexts) {
  struct Case {
    const char* attribute;  // null: absent
    std::uint16_t display;
    bool english;
  };
  const Case cases[] = {
      {nullptr, 0x0804, false},   {nullptr, 0x0409, true},    {"Windows", 0x0409, true},
      {"Windows", 0x0804, false}, {"Chinese", 0x0409, false}, {"English", 0x0804, true},
      {"Klingon", 0x0409, true},  {"english", 0x0804, false}, {"", 0x0409, true},
  };
  std::size_t started = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attribute ? c.attribute : "(absent)");
    Basic().remove_attribute("Language");
    if (c.attribute) Basic().append_attribute("Language") = c.attribute;
    displayLanguage_ = c.display;
    app::MainForm* form = Start();
    ASSERT_NE(form, nullptr);
    form->OnTrayCallback(100, kMouseRightUp);
    ASSERT_FALSE(desktop_->MenusShown().empty());
    const Language language = c.english ? Language::English : Language::Chinese;
    EXPECT_EQ(desktop_->MenusShown().back().menu.items[0].caption, config::TableText(TextKey::MenuRestore, language));
    EXPECT_EQ(Process(started).TrayTip(), config::TableText(TextKey::TrayTip, language));
    const pugi::xml_attribute stored =
        LoadConfigDom().document_element().child("Setup").child("Basic").attribute("Language");
    EXPECT_EQ(std::string(stored.as_string("(absent)")), c.attribute ? c.attribute : "(absent)");
    App(started).Stop();
    Process(started++).Exit();
  }
}

// OK stores the choice and the tray tip and the next menu take it at once.
TEST_F(LanguageTest, OkAppliesTheChosenLanguage) {
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  form->Setup().OpenSettings();
  const FormId setup = form->Setup().Form();
  ASSERT_TRUE(Process().Forms().Choose(setup, "ComboBoxLanguage", 2));
  ASSERT_TRUE(Process().Forms().Click(setup, "BitBtnOK"));
  EXPECT_STREQ(LoadConfigDom().document_element().child("Setup").child("Basic").attribute("Language").value(),
               "English");
  EXPECT_EQ(Process().TrayTip(), config::TableText(TextKey::TrayTip, Language::English));
  form->OnTrayCallback(100, kMouseRightUp);
  EXPECT_EQ(desktop_->MenusShown().back().menu.items[0].caption,
            config::TableText(TextKey::MenuRestore, Language::English));
}

}  // namespace
}  // namespace qv
