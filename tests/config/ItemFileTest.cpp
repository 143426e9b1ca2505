// The item operations on the file: what each finds, writes and refuses,
// checked against the readers of the same file.

#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>

#include "config/ItemFile.h"
#include "tests/config/FakePlatform.h"

namespace qv::config {
namespace {

using testing::IconvSystem;
using testing::kConfigPath;
using testing::MemoryFiles;

std::string FileWith(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quorvel>" + body + "</Quorvel>";
}

// A file of the given body on an in-memory disk, and what it holds after the operations.
struct Disk {
  explicit Disk(const std::string& body) { files.files[kConfigPath] = FileWith(body); }
  pugi::xml_node Saved(const char* list) {
    EXPECT_TRUE(parsed.load_string(files.files.at(kConfigPath).c_str(), pugi::parse_default | pugi::parse_comments));
    return parsed.document_element().child(list);
  }
  MemoryFiles files;
  IconvSystem system;
  ItemFile items{files, system, kConfigPath};
  pugi::xml_document parsed;
};

std::vector<std::string> ChildNames(pugi::xml_node node) {
  std::vector<std::string> names;
  for (pugi::xml_node child : node.children()) names.push_back(child.name());
  return names;
}

TEST(StartupItems, ReadsTheWorkingDirectoryByEachListsRule) {
  // clang-format off
  const struct {
    const char* what; ItemList list; std::string element, workingDir, icon; std::vector<std::string> childrenAfter;
  } cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const char* list = c.list == ItemList::Ring ? "RoundBackground" : "RectBackground";
    Disk disk(std::string("<") + list + "><I>" + c.element + "</I></" + list + ">");
    StartupItems items(disk.files, disk.system, kConfigPath);
    ASSERT_TRUE(items.Load());
    EXPECT_EQ(items.Count(c.list), 1);
    EXPECT_FALSE(items.Read(c.list, 2).has_value());
    const std::optional<ItemTexts> texts = items.Read(c.list, 1);
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->File, "a");
    EXPECT_EQ(texts->InitialPosition, c.workingDir);
    EXPECT_EQ(IconInEffect(*texts), c.icon);
    EXPECT_EQ(items.Save(), EditResult::Saved);
    EXPECT_EQ(ChildNames(disk.Saved(list).child("I")), c.childrenAfter);
  }
}

// A picture inside the program folder is stored relative to it, so the
// folder can move with its pictures; the file may hold either form.
TEST(ItemFile, PicturesInTheProgramFolderMoveWithIt) {
  const std::tuple<std::string, std::string, std::string> paths[] = {  // given, stored, read after a move
      {"C:\\Quorvel\\Icon\\app.exe.ico", "Icon\\app.exe.ico", "E:\\Moved\\Icon\\app.exe.ico"},
      {"c:\\QUORVEL\\Icon\\a.png", "Icon\\a.png", "E:\\Moved\\Icon\\a.png"},
      {"C:\\Quorvel2\\a.png", "C:\\Quorvel2\\a.png", "C:\\Quorvel2\\a.png"},
      {"C:\\Quorvel\\", "C:\\Quorvel\\", "C:\\Quorvel\\"},
      {"\\\\server\\share\\c.ico", "\\\\server\\share\\c.ico", "\\\\server\\share\\c.ico"},
      {"", "", ""},
  };
  for (const auto& [given, stored, moved] : paths) {
    EXPECT_EQ(StoredPicturePath("C:\\Quorvel\\", given), stored) << given;
    EXPECT_EQ(ResolvedPicturePath("E:\\Moved\\", stored), moved) << given;
  }
  // Every writer stores that way, and both readers read that way.
  const std::string picture = "C:\\Quorvel\\Icon\\a.png";
  const std::pair<ItemList, std::function<void(Disk&)>> writers[] = {
      {ItemList::Ring, [&](Disk& d) { d.items.WriteRingItem(1, {"x", "", picture}); }},
      {ItemList::Dock, [&](Disk& d) { d.items.AppendDockItem(1, {"x", "", "", picture}); }},
      {ItemList::Ring,
       [&](Disk& d) {
         d.items.WriteRingItem(1, {"x"});
         d.items.EditItem(ItemList::Ring, 1, {{}, picture, {}, "", ""});
       }},
      {ItemList::Dock,
       [&](Disk& d) {
         StartupItems items(d.files, d.system, kConfigPath);
         items.Load();
         items.AppendDockItems({{"x"}});
         items.SetIconDefine(ItemList::Dock, 1, picture);
         items.Save();
       }},
  };
  for (const auto& [list, write] : writers) {
    Disk disk("<RoundBackground/><RectBackground/>");
    write(disk);
    const pugi::xml_node icon = disk.Saved(list == ItemList::Ring ? "RoundBackground" : "RectBackground")
                                    .first_child().child("IconPath");
    EXPECT_EQ(std::string(icon.child_value("Default")) + icon.child_value("Define"), "Icon\\a.png");
    disk.files.programDir = "E:\\Moved\\";
    EXPECT_EQ(IconInEffect(*ItemFile(disk.files, disk.system, kConfigPath).ReadItem(list, 1)),
              "E:\\Moved\\Icon\\a.png");
    StartupItems items(disk.files, disk.system, kConfigPath);
    ASSERT_TRUE(items.Load());
    EXPECT_EQ(IconInEffect(*items.Read(list, 1)), "E:\\Moved\\Icon\\a.png");
  }
}

using Operation = std::function<EditResult(ItemFile&)>;

// Every operation leaves a file it cannot load alone and says why, and says
// so too when the new file does not reach the disk.
TEST(ItemFile, FailuresAreToldApart) {
  const std::string ring =
      "<RoundBackground><Circle1><File>a</File></Circle1><Circle2><File>b</File></Circle2>"
      "</RoundBackground><RectBackground><Rect1><File>c</File></Rect1></RectBackground>";
  const Operation operations[] = {
      [](ItemFile& f) { return f.WriteRingItem(1, {"x"}); },
      [](ItemFile& f) { return f.EmptyRingItem(1); },
      [](ItemFile& f) { return f.EmptyRingItems({1, 2}); },
      [](ItemFile& f) { return f.SwapRingItems(1, 2); },
      [](ItemFile& f) { return f.AppendDockItem(2, {"x"}); },
      [](ItemFile& f) { return f.RemoveDockItem(1); },
      [](ItemFile& f) { return f.EditItem(ItemList::Ring, 1, {.Name = "x"}); },
  };
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    Disk missing("");
    missing.files.files.clear();
    EXPECT_EQ(operations[i](missing.items), EditResult::NotLoaded);
    EXPECT_TRUE(missing.files.files.empty()) << "nothing is made";
    Disk unreadable(ring);
    unreadable.files.unreadable.insert(kConfigPath);
    EXPECT_EQ(operations[i](unreadable.items), EditResult::NotLoaded);
    Disk refusing(ring);
    refusing.files.refuseWrites = true;
    EXPECT_EQ(operations[i](refusing.items), EditResult::WriteFailed);
    EXPECT_EQ(refusing.files.files[kConfigPath], FileWith(ring));
  }
}

// An edit by position goes ahead only while the place holds the item the
// program shows there: a file changed meanwhile keeps the other item. A place
// that is not there changes nothing.
TEST(ItemFile, EditsByPositionCheckTheItemFirst) {
  const std::string body =
      "<RoundBackground><Circle1><File>a.exe</File><Name>A</Name></Circle1>"
      "<Circle2><Name>Named</Name></Circle2><Circle3/></RoundBackground>"
      "<RectBackground><Rect1><File>c.exe</File><Name>C</Name></Rect1><Rect2><Name>Gone</Name></Rect2>"
      "</RectBackground>";
  const ItemIdentity a{"a.exe", "A"}, free{"", ""}, gone{"", "Gone"};
  const std::tuple<const char*, Operation, EditResult> cases[] = {
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
      {"remove dock: a placeholder by name", [&](ItemFile& f) { return f.RemoveDockItem(2, gone); },
       EditResult::Saved},
      {"remove dock: another item", [&](ItemFile& f) { return f.RemoveDockItem(1, gone); }, EditResult::Mismatch},
      {"edit: the same item", [&](ItemFile& f) { return f.EditItem(ItemList::Ring, 1, {}, a); }, EditResult::Saved},
      {"edit: another item",
       [](ItemFile& f) { return f.EditItem(ItemList::Dock, 1, {}, ItemIdentity{"a.exe", "C"}); },
       EditResult::Mismatch},
      {"edit: a placeholder by name",
       [&](ItemFile& f) { return f.EditItem(ItemList::Dock, 2, {{"d.exe"}, {}, {}, "Gone", ""}, gone); },
       EditResult::Saved},
      {"empty a place past the list", [](ItemFile& f) { return f.EmptyRingItem(4); }, EditResult::NothingToChange},
      {"swap with a place past the list", [](ItemFile& f) { return f.SwapRingItems(1, 4); },
       EditResult::NothingToChange},
      {"swap a place with itself", [](ItemFile& f) { return f.SwapRingItems(1, 1); }, EditResult::NothingToChange},
      {"remove past the dock's end", [](ItemFile& f) { return f.RemoveDockItem(3); }, EditResult::NothingToChange},
  };
  for (const auto& [what, operation, expected] : cases) {
    SCOPED_TRACE(what);
    Disk disk(body);
    EXPECT_EQ(operation(disk.items), expected);
    EXPECT_EQ(disk.files.writes, expected == EditResult::Saved ? 1 : 0);
  }
}

TEST(ItemFile, RemovingADockItemRenumbersTheRest) {
  Disk disk(
      "<RectBackground><Rect1><File>a</File></Rect1><Rect2><File>b</File></Rect2>"
      "<!-- kept --><Rect3><File>c</File><Extra/></Rect3><Odd><File>d</File></Odd>"
      "</RectBackground>");
  ASSERT_EQ(disk.items.RemoveDockItem(2), EditResult::Saved);
  const pugi::xml_node dock = disk.Saved("RectBackground");
  EXPECT_EQ(ChildNames(dock), (std::vector<std::string>{"Rect1", "", "Rect2", "Rect3"}));
  EXPECT_STREQ(dock.child("Rect2").child_value("File"), "c");
  EXPECT_TRUE(dock.child("Rect2").child("Extra")) << "every child stays";
  EXPECT_STREQ(dock.child("Rect3").child_value("File"), "d");
  ASSERT_EQ(disk.items.AppendDockItem(4, {"e", "E"}), EditResult::Saved);
  EXPECT_STREQ(disk.Saved("RectBackground").child("Rect4").child_value("Name"), "E");

  // Renaming stops at the dock's last place: elements past it were never items.
  std::string many;
  for (int i = 1; i <= kDockItemLimit + 3; ++i) many += "<Rect" + std::to_string(i) + "/>";
  disk.files.files[kConfigPath] = FileWith("<RectBackground>" + many + "</RectBackground>");
  ASSERT_EQ(disk.items.RemoveDockItem(kDockItemLimit - 1), EditResult::Saved);
  const std::vector<std::string> names = ChildNames(disk.Saved("RectBackground"));
  EXPECT_EQ(std::vector<std::string>(names.end() - 4, names.end()),
            (std::vector<std::string>{"Rect239", "Rect240", "Rect242", "Rect243"}));
}

// The swap exchanges what the loader reads from each element, whatever the
// element holds: the last InitialPosition (which the loader takes), children
// and attributes it does not know, each staying with its item.
TEST(ItemFile, SwapMovesWholeItems) {
  Disk disk(
      "<RoundBackground>"
      "<Circle1 tag=\"a\"><InitialPosition>old</InitialPosition><File>a.exe</File><Extra>kept</Extra>"
      "<InitialPosition>C:\\A</InitialPosition></Circle1>"
      "<Circle2><File>b.exe</File><Name>B</Name></Circle2>"
      "</RoundBackground>");
  const auto read = [&disk](int position) {
    StartupItems items(disk.files, disk.system, kConfigPath);
    EXPECT_TRUE(items.Load());
    return items.Read(ItemList::Ring, position);
  };
  const std::optional<ItemTexts> first = read(1), second = read(2);
  ASSERT_EQ(disk.items.SwapRingItems(1, 2), EditResult::Saved);
  EXPECT_EQ(read(1), second);
  EXPECT_EQ(read(2), first);
  const pugi::xml_node ring = disk.Saved("RoundBackground");
  EXPECT_EQ(ChildNames(ring), (std::vector<std::string>{"Circle1", "Circle2"}));
  EXPECT_STREQ(ring.child("Circle2").attribute("tag").value(), "a");
  EXPECT_FALSE(ring.child("Circle1").attribute("tag"));
  EXPECT_EQ(ChildNames(ring.child("Circle1")), (std::vector<std::string>{"File", "Name"}));
  EXPECT_EQ(ChildNames(ring.child("Circle2")),
            (std::vector<std::string>{"InitialPosition", "File", "Extra", "InitialPosition"}));
}

}  // namespace
}  // namespace qv::config
