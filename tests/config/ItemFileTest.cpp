// The item and settings operations on the file: what each finds, writes and
// refuses, checked against the readers of the same file.

#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>

#include "config/ConfigDocument.h"
#include "config/ItemFile.h"
#include "config/Layout.h"
#include "config/SettingsFile.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string FileWith(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quorvel>" + body + "</Quorvel>";
}

pugi::xml_document Parsed(const MemoryFiles& files) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(files.files.at(kConfigPath).c_str(), pugi::parse_default | pugi::parse_comments));
  return doc;
}

std::vector<std::string> ChildNames(pugi::xml_node node) {
  std::vector<std::string> names;
  for (pugi::xml_node child : node.children()) names.push_back(child.name());
  return names;
}

TEST(StartupItems, ReadsTheWorkingDirectoryByEachListsRule) {
  struct Case {
    const char* what;
    ItemList list;
    std::string element;
    std::string workingDir;
    std::string iconInEffect;
    std::vector<std::string> childrenAfter;
  };
  // clang-format off
  const Case cases[] = {
      {"ring: the last child", ItemList::Ring,
       "<File>a</File><IconPath><Default>d.ico</Default><Define>e.png</Define></IconPath>"
       "<InitialPosition>D:\\Old</InitialPosition><Http/><InitialPosition>D:\\Run</InitialPosition>",
       "D:\\Run", "C:\\Quorvel\\d.ico", {"File", "IconPath", "InitialPosition", "Http", "InitialPosition"}},
      {"ring: none last, an empty one is appended", ItemList::Ring,
       "<File>a</File><InitialPosition>D:\\Old</InitialPosition><Http/>", "", "",
       {"File", "InitialPosition", "Http", "InitialPosition"}},
      {"ring: the name is compared case-sensitively", ItemList::Ring,
       "<File>a</File><initialposition>D:\\x</initialposition>", "", "", {"File", "initialposition", "InitialPosition"}},
      {"dock: the first, wherever it stands, nothing appended", ItemList::Dock,
       "<File>a</File><InitialPosition>D:\\Dock</InitialPosition><IconPath><Default/><Define>e.png</Define>"
       "</IconPath><Http/>", "D:\\Dock", "C:\\Quorvel\\e.png", {"File", "InitialPosition", "IconPath", "Http"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFiles files;
    IconvSystem system;
    const char* list = c.list == ItemList::Ring ? "RoundBackground" : "RectBackground";
    files.files[kConfigPath] = FileWith(std::string("<") + list + "><I>" + c.element + "</I></" + list + ">");
    StartupItems items(files, system, kConfigPath);
    ASSERT_TRUE(items.Load());
    EXPECT_EQ(items.Count(c.list), 1);
    EXPECT_FALSE(items.Read(c.list, 2).has_value());
    const std::optional<ItemTexts> texts = items.Read(c.list, 1);
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->File, "a");
    EXPECT_EQ(texts->InitialPosition, c.workingDir);
    EXPECT_EQ(IconInEffect(*texts), c.iconInEffect);
    EXPECT_EQ(items.Save(), EditResult::Saved);
    EXPECT_EQ(ChildNames(Parsed(files).document_element().child(list).child("I")), c.childrenAfter);
  }
}

// A picture inside the program folder is stored relative to it, so the
// folder can move with its pictures; the file may hold either form.
TEST(ItemFile, PicturesInTheProgramFolderMoveWithIt) {
  struct Case {
    std::string given, stored, readAfterMove;
  };
  const Case cases[] = {
      {"C:\\Quorvel\\Icon\\app.exe.ico", "Icon\\app.exe.ico", "E:\\Moved\\Icon\\app.exe.ico"},
      {"c:\\QUORVEL\\Icon\\a.png", "Icon\\a.png", "E:\\Moved\\Icon\\a.png"},
      {"C:\\Quorvel2\\a.png", "C:\\Quorvel2\\a.png", "C:\\Quorvel2\\a.png"},
      {"C:\\Quorvel\\", "C:\\Quorvel\\", "C:\\Quorvel\\"},
      {"D:\\Pictures\\b.ico", "D:\\Pictures\\b.ico", "D:\\Pictures\\b.ico"},
      {"\\\\server\\share\\c.ico", "\\\\server\\share\\c.ico", "\\\\server\\share\\c.ico"},
      {"", "", ""},
  };
  using Write = std::function<void(IFileSystem&, ISystem&, const std::string& picture)>;
  const std::pair<const char*, Write> writers[] = {
      {"a dropped ring item",
       [](IFileSystem& f, ISystem& s, const std::string& p) { ItemFile(f, s, kConfigPath).WriteRingItem(1, {"x", "", p}); }},
      {"a dropped dock item",
       [](IFileSystem& f, ISystem& s, const std::string& p) {
         ItemFile(f, s, kConfigPath).AppendDockItem(1, {"x", "", "", p});
       }},
      {"the properties",
       [](IFileSystem& f, ISystem& s, const std::string& p) {
         ItemFile(f, s, kConfigPath).WriteRingItem(1, {"x"});
         ItemFile(f, s, kConfigPath).EditItem(ItemList::Ring, 1, {{}, p, {}, "", ""});
       }},
      {"the start's completion",
       [](IFileSystem& f, ISystem& s, const std::string& p) {
         StartupItems items(f, s, kConfigPath);
         items.Load();
         items.AppendDockItems({{"x"}});
         items.SetIconDefine(ItemList::Dock, 1, p);
         items.Save();
       }},
  };
  for (const auto& [what, write] : writers) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(what) + ": " + c.given);
      IconvSystem system;
      MemoryFiles files;
      files.files[kConfigPath] = FileWith("<RoundBackground/><RectBackground/>");
      write(files, system, c.given);
      const pugi::xml_document saved = Parsed(files);
      const pugi::xml_node icon = saved.document_element().select_node("//IconPath").node();
      EXPECT_EQ(std::string(icon.child_value("Default")) + icon.child_value("Define"), c.stored);
      files.programDir = "E:\\Moved\\";
      const ItemList list = FirstChild(saved.document_element(), "RoundBackground").first_child() ? ItemList::Ring
                                                                                                  : ItemList::Dock;
      EXPECT_EQ(IconInEffect(*ItemFile(files, system, kConfigPath).ReadItem(list, 1)), c.readAfterMove);
      StartupItems items(files, system, kConfigPath);
      ASSERT_TRUE(items.Load());
      EXPECT_EQ(IconInEffect(*items.Read(list, 1)), c.readAfterMove);
    }
  }
}

// Every operation leaves a file it cannot load alone and says why, and says
// so too when the new file does not reach the disk.
TEST(ItemFile, FailuresAreToldApart) {
  const std::string ring =
      "<RoundBackground><Circle1><File>a</File></Circle1><Circle2><File>b</File></Circle2>"
      "</RoundBackground><RectBackground><Rect1><File>c</File></Rect1></RectBackground>";
  const std::pair<const char*, std::function<EditResult(ItemFile&)>> operations[] = {
      {"write ring", [](ItemFile& f) { return f.WriteRingItem(1, {"x"}); }},
      {"empty ring", [](ItemFile& f) { return f.EmptyRingItem(1); }},
      {"empty many",
       [](ItemFile& f) {
         return f.EmptyRingItems({1, 2});
       }},
      {"swap", [](ItemFile& f) { return f.SwapRingItems(1, 2); }},
      {"append dock", [](ItemFile& f) { return f.AppendDockItem(2, {"x"}); }},
      {"remove dock", [](ItemFile& f) { return f.RemoveDockItem(1); }},
      {"edit", [](ItemFile& f) { return f.EditItem(ItemList::Ring, 1, {.Name = "x"}); }},
  };
  for (const auto& [what, operation] : operations) {
    SCOPED_TRACE(what);
    IconvSystem system;
    MemoryFiles missing;
    ItemFile onMissing(missing, system, kConfigPath);
    EXPECT_EQ(operation(onMissing), EditResult::NotLoaded);
    EXPECT_TRUE(missing.files.empty()) << "nothing is made";

    MemoryFiles unreadable;
    unreadable.files[kConfigPath] = FileWith(ring);
    unreadable.unreadable.insert(kConfigPath);
    ItemFile onUnreadable(unreadable, system, kConfigPath);
    EXPECT_EQ(operation(onUnreadable), EditResult::NotLoaded);

    MemoryFiles refusing;
    refusing.files[kConfigPath] = FileWith(ring);
    refusing.refuseWrites = true;
    ItemFile onRefusing(refusing, system, kConfigPath);
    EXPECT_EQ(operation(onRefusing), EditResult::WriteFailed);
    EXPECT_TRUE(Failed(EditResult::WriteFailed) && Failed(EditResult::NotLoaded));
    EXPECT_EQ(refusing.files[kConfigPath], FileWith(ring));
  }
}

TEST(ItemFile, AbsentElementsChangeNothing) {
  const std::pair<const char*, std::function<EditResult(ItemFile&)>> operations[] = {
      {"empty a place past the list", [](ItemFile& f) { return f.EmptyRingItem(3); }},
      {"swap with a place past the list", [](ItemFile& f) { return f.SwapRingItems(1, 3); }},
      {"swap a place with itself", [](ItemFile& f) { return f.SwapRingItems(1, 1); }},
      {"remove past the dock's end", [](ItemFile& f) { return f.RemoveDockItem(2); }},
  };
  for (const auto& [what, operation] : operations) {
    SCOPED_TRACE(what);
    IconvSystem system;
    MemoryFiles files;
    files.files[kConfigPath] = FileWith(
        "<RoundBackground><Circle1><File>a</File></Circle1><Circle2/></RoundBackground>"
        "<RectBackground><Rect1/></RectBackground>");
    ItemFile file(files, system, kConfigPath);
    EXPECT_EQ(operation(file), EditResult::NothingToChange);
    EXPECT_EQ(files.writes, 0);
  }
}

// An edit by position goes ahead only while the place holds the item the
// program shows there: a file changed meanwhile keeps the other item.
TEST(ItemFile, EditsByPositionCheckTheItemFirst) {
  const std::string body =
      "<RoundBackground><Circle1><File>a.exe</File><Name>A</Name></Circle1>"
      "<Circle2><Name>Named</Name></Circle2><Circle3/></RoundBackground>"
      "<RectBackground><Rect1><File>c.exe</File><Name>C</Name></Rect1><Rect2><Name>Gone</Name></Rect2>"
      "</RectBackground>";
  const ItemIdentity a{"a.exe", "A"};
  const ItemIdentity free{"", ""};
  struct Case {
    const char* what;
    std::function<EditResult(ItemFile&)> operation;
    EditResult expected;
  };
  const Case cases[] = {
      {"empty: the same item", [&](ItemFile& f) { return f.EmptyRingItem(1, a); }, EditResult::Saved},
      {"empty: another target", [](ItemFile& f) { return f.EmptyRingItem(1, ItemIdentity{"b.exe", "A"}); },
       EditResult::Mismatch},
      {"empty: another name", [](ItemFile& f) { return f.EmptyRingItem(1, ItemIdentity{"a.exe", "B"}); },
       EditResult::Mismatch},
      {"empty: no target in the file matches by name",
       [](ItemFile& f) { return f.EmptyRingItem(2, ItemIdentity{"http://x", "Named"}); }, EditResult::Saved},
      {"empty: a free place where an item was expected", [&](ItemFile& f) { return f.EmptyRingItem(3, a); },
       EditResult::Mismatch},
      {"swap with a free place", [&](ItemFile& f) { return f.SwapRingItems(1, 3, a, free); }, EditResult::Saved},
      {"swap: the target holds an item", [&](ItemFile& f) { return f.SwapRingItems(1, 2, a, free); },
       EditResult::Mismatch},
      {"swap: the source moved", [&](ItemFile& f) { return f.SwapRingItems(3, 1, a, free); }, EditResult::Mismatch},
      {"remove dock: the same item", [](ItemFile& f) { return f.RemoveDockItem(1, ItemIdentity{"c.exe", "C"}); },
       EditResult::Saved},
      {"remove dock: a placeholder by name", [](ItemFile& f) { return f.RemoveDockItem(2, ItemIdentity{"", "Gone"}); },
       EditResult::Saved},
      {"remove dock: another item", [](ItemFile& f) { return f.RemoveDockItem(1, ItemIdentity{"", "Gone"}); },
       EditResult::Mismatch},
      {"edit: the same item", [&](ItemFile& f) { return f.EditItem(ItemList::Ring, 1, {}, a); }, EditResult::Saved},
      {"edit: another item",
       [](ItemFile& f) { return f.EditItem(ItemList::Dock, 1, {}, ItemIdentity{"a.exe", "C"}); },
       EditResult::Mismatch},
      {"edit: a placeholder by name",
       [](ItemFile& f) { return f.EditItem(ItemList::Dock, 2, {{"d.exe"}, {}, {}, "Gone", ""}, ItemIdentity{"", "Gone"}); },
       EditResult::Saved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IconvSystem system;
    MemoryFiles files;
    files.files[kConfigPath] = FileWith(body);
    ItemFile file(files, system, kConfigPath);
    EXPECT_EQ(c.operation(file), c.expected);
    EXPECT_EQ(files.writes, c.expected == EditResult::Saved ? 1 : 0);
    if (c.expected == EditResult::Mismatch) {
      EXPECT_EQ(files.files[kConfigPath], FileWith(body));
    }
  }
  EXPECT_TRUE(Failed(EditResult::Mismatch));
}

TEST(ItemFile, RemovingADockItemRenumbersTheRest) {
  IconvSystem system;
  MemoryFiles files;
  files.files[kConfigPath] = FileWith(
      "<RectBackground><Rect1><File>a</File></Rect1><Rect2><File>b</File></Rect2>"
      "<!-- kept --><Rect3><File>c</File><Extra/></Rect3><Odd><File>d</File></Odd>"
      "</RectBackground>");
  ItemFile file(files, system, kConfigPath);
  ASSERT_EQ(file.RemoveDockItem(2), EditResult::Saved);
  const pugi::xml_document saved = Parsed(files);
  const pugi::xml_node dock = saved.document_element().child("RectBackground");
  EXPECT_EQ(ChildNames(dock), (std::vector<std::string>{"Rect1", "", "Rect2", "Rect3"}));
  EXPECT_STREQ(dock.child("Rect2").child_value("File"), "c");
  EXPECT_TRUE(dock.child("Rect2").child("Extra")) << "every child stays";
  EXPECT_STREQ(dock.child("Rect3").child_value("File"), "d");
  ASSERT_EQ(file.AppendDockItem(4, {"e", "E"}), EditResult::Saved);
  EXPECT_STREQ(Parsed(files).document_element().child("RectBackground").child("Rect4").child_value("Name"), "E");

  // Renaming stops at the dock's last place: elements past it were never items.
  std::string many;
  for (int i = 1; i <= kDockItemLimit + 3; ++i) many += "<Rect" + std::to_string(i) + "/>";
  files.files[kConfigPath] = FileWith("<RectBackground>" + many + "</RectBackground>");
  ASSERT_EQ(file.RemoveDockItem(kDockItemLimit - 1), EditResult::Saved);
  const std::vector<std::string> names = ChildNames(Parsed(files).document_element().child("RectBackground"));
  EXPECT_EQ(std::vector<std::string>(names.end() - 4, names.end()),
            (std::vector<std::string>{"Rect239", "Rect240", "Rect242", "Rect243"}));
}

// The swap exchanges what the loader reads from each element, whatever the
// element holds: the last InitialPosition (which the loader takes), children
// and attributes it does not know, each staying with its item.
TEST(ItemFile, SwapMovesWholeItems) {
  IconvSystem system;
  MemoryFiles files;
  files.files[kConfigPath] = FileWith(
      "<RoundBackground>"
      "<Circle1 tag=\"a\"><InitialPosition>old</InitialPosition><File>a.exe</File><Extra>kept</Extra>"
      "<InitialPosition>C:\\A</InitialPosition></Circle1>"
      "<Circle2><File>b.exe</File><Name>B</Name></Circle2>"
      "</RoundBackground>");
  StartupItems before(files, system, kConfigPath);
  ASSERT_TRUE(before.Load());
  const ItemTexts first = *before.Read(ItemList::Ring, 1);
  const ItemTexts second = *before.Read(ItemList::Ring, 2);
  ItemFile file(files, system, kConfigPath);
  ASSERT_EQ(file.SwapRingItems(1, 2), EditResult::Saved);

  StartupItems after(files, system, kConfigPath);
  ASSERT_TRUE(after.Load());
  EXPECT_EQ(*after.Read(ItemList::Ring, 1), second);
  EXPECT_EQ(*after.Read(ItemList::Ring, 2), first);
  const pugi::xml_document saved = Parsed(files);
  const pugi::xml_node ring = saved.document_element().child("RoundBackground");
  EXPECT_EQ(ChildNames(ring), (std::vector<std::string>{"Circle1", "Circle2"}));
  EXPECT_STREQ(ring.child("Circle2").child_value("Extra"), "kept");
  EXPECT_STREQ(ring.child("Circle2").attribute("tag").value(), "a");
  EXPECT_FALSE(ring.child("Circle1").child("Extra"));
  EXPECT_FALSE(ring.child("Circle1").attribute("tag"));
  EXPECT_EQ(ChildNames(ring.child("Circle1")), (std::vector<std::string>{"File", "Name"}));
}

std::string Text(bool v) { return v ? "True" : "False"; }
std::string Text(int v) { return std::to_string(v); }
std::string Text(const std::string& v) { return v; }

// Each key is written where the settings reader looks for it: every value
// differs from its default, so a key written into another's place shows.
TEST(SettingsFile, EveryKeyIsWrittenWhereTheReaderFindsIt) {
  using K = SettingKey;
  const std::pair<SettingKey, const char*> writes[] = {
      {K::HideAfterClick, "True"}, {K::LockPosition, "True"},  {K::LockIcon, "True"},       {K::FrontIndex, "2"},
      {K::BackgroundIndex, "3"},   {K::BackgroundSize, "333"}, {K::CenterIndex, "4"},       {K::CenterSize, "99"},
      {K::CenterAction, "2"},      {K::PositionLeft, "-17"},   {K::PositionTop, "19"},      {K::MinR, "120"},
      {K::SeparationSize, "40"},   {K::RotationValue, "30"},   {K::IsShowRound, "False"},   {K::IsShowRect, "False"},
      {K::RectTopic, "Blue"},      {K::RectTransparence, "60"}, {K::RectPosition, "2"},     {K::RectIconPx, "64"},
      {K::RectIconWd, "6"},        {K::IsShowHint, "False"},   {K::HintFontDefine, "x,9"},  {K::HotKey, "Q"},
  };
  IconvSystem system;
  MemoryFiles files;
  files.files[kConfigPath] = FileWith("");
  EXPECT_EQ(SettingsFile(files, system, kConfigPath).WriteSetting(K::MinR, "120"), EditResult::NothingToChange)
      << "nothing is made above Basic";
  files.files[kConfigPath] = FileWith("<Setup><Basic/></Setup>");
  std::vector<std::string> written;
  for (const auto& [key, value] : writes) {
    EXPECT_EQ(SettingsFile(files, system, kConfigPath).WriteSetting(key, value), EditResult::Saved) << value;
    written.push_back(value);
  }
  Settings s;
  ConfigDocument document(files, system, kConfigPath);
  const SettingsOutcome outcome = LoadSettings(document, s);
  ASSERT_EQ(outcome.status, SettingsStatus::Loaded);
  const std::vector<std::string> read = {
      Text(s.HideAfterClick), Text(s.LockPosition),   Text(s.LockIcon),         Text(outcome.frontIndex),
      Text(s.BackgroundIndex), Text(s.BackgroundSize), Text(s.CenterIndex),     Text(s.CenterSize),
      Text(s.CenterAction),   Text(s.PositionLeft),   Text(s.PositionTop),      Text(s.MinR),
      Text(s.SeparationSize), Text(s.RotationValue),  Text(s.IsShowRound),      Text(s.IsShowRect),
      Text(s.RectTopic),      Text(s.RectTransparence), Text(s.RectPosition),   Text(s.RectIconPx),
      Text(s.RectIconWd),     Text(s.IsShowHint),     Text(s.HintFontDefine),   HotKeyText(document.Root())};
  EXPECT_EQ(read, written);
}

}  // namespace
}  // namespace qv::config
