// A change the file does not take: the user hears of it once in a run, with
// the path and the system's reason, and the program goes on in memory.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "catalogue/IconPropertyApply.h"
#include "config/SaveFailures.h"
#include "tests/support/Scenario.h"

namespace qv {
namespace {

using headless::MessageBoxRecord;

constexpr const char* kConfigPath = "C:\\Quorvel\\Config\\UserInfo.xml";

class SaveFailuresTest : public test::ItemScenario {
 protected:
  std::vector<MessageBoxRecord> NotSavedBoxes() const {
    std::vector<MessageBoxRecord> boxes;
    for (const MessageBoxRecord& box : desktop_->MessageBoxes())
      if (box.text.starts_with("配置文件无法保存")) boxes.push_back(box);
    return boxes;
  }
  // Drags the item of `from` onto the place of `to`.
  void Exchange(int from, int to) { Drag(ItemMiddle(from), ItemMiddle(to)); }
};

TEST_F(SaveFailuresTest, EverySavePathTellsTheUserOnceAndKeepsTheChangeInMemory) {
  struct Case {
    const char* what;
    // Runs the change twice (or two changes); memory must show the last.
    std::function<void(app::MainForm&)> act;
    std::function<bool(app::MainForm&)> inMemory;
  };
  const Case cases[] = {
      {"two exchanges",
       [this](app::MainForm&) {
         Exchange(1, 2);
         Exchange(1, 3);
       },
       [](app::MainForm& f) { return f.Slots()[1].File == "C:\\Apps\\app3.exe"; }},
      {"a drop on the ring, then a removal",
       [this](app::MainForm& f) {
         Put("C:\\Apps\\new.exe", "MZ");
         Process().Sink()->OnDropFiles({"C:\\Apps\\new.exe"}, ItemMiddle(1));
         f.Removal().DeleteItem(f.Slots()[2].Window);
         desktop_->Advance(300);  // the removal plays its frames first
       },
       [](app::MainForm& f) { return f.Slots()[2].File.empty(); }},
      {"the property dialog twice",
       [this](app::MainForm& f) {
         catalogue::CatalogueProperties properties(Process().AsPlatform(), f.Slots(), f.Round(),
                                                   &f.SaveFailures());
         for (const char* name : {"first", "renamed"}) {
           properties.EditProperties(1, {"", name, "C:\\Apps\\app1.exe", "-x"});
           properties.TellFailures();
         }
       },
       [](app::MainForm& f) { return f.Slots()[1].Hint == "renamed"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app::MainForm* form = StartAfresh({1, 2, 3});
    ASSERT_NE(form, nullptr);
    const std::string before = ConfigBytes();
    const std::size_t reportsBefore = Process().Reports().size();
    desktop_->RefusedWrites().insert(kConfigPath);

    c.act(*form);

    EXPECT_TRUE(c.inMemory(*form));
    EXPECT_EQ(ConfigBytes(), before);
    const std::vector<MessageBoxRecord> boxes = NotSavedBoxes();
    ASSERT_EQ(boxes.size(), 1u) << "told once, however many saves fail";
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].text,
              config::NotSavedMessage(kConfigPath, "Not saved: the folder of " + std::string(kConfigPath) +
                                                       " refuses a new file: Access is denied. (5)"));
    EXPECT_EQ(Process().Reports().size(), reportsBefore + 2) << "each failure is logged";
  }
}

// A file that went away is never written; the user hears that instead of a
// system's reason. A save that works tells nothing.
TEST_F(SaveFailuresTest, AFileThatWentAwaySaysSoAndSuccessSaysNothing) {
  SetItems({1, 2, 3});
  app::MainForm* form = Start();
  ASSERT_NE(form, nullptr);
  Exchange(1, 2);
  EXPECT_TRUE(NotSavedBoxes().empty());
  std::filesystem::remove(ConfigFile());
  Exchange(1, 2);
  const std::vector<MessageBoxRecord> boxes = NotSavedBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            config::NotSavedMessage(kConfigPath, config::Describe(config::EditResult::NotLoaded)));
  EXPECT_EQ(form->Slots()[1].File, "C:\\Apps\\app1.exe") << "exchanged back in memory";
}

}  // namespace
}  // namespace qv
