#include "config/ItemFile.h"

#include <array>
#include <cstring>
#include <utility>

#include "config/ConfigDocument.h"
#include "config/Layout.h"

namespace qv::config {

namespace {

constexpr const char* kRing = "RoundBackground";
constexpr const char* kDock = "RectBackground";
constexpr const char* kWorkingDirectory = "InitialPosition";

bool Named(pugi::xml_node node, const char* name) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The first child of that name, or a new one placed before a trailing
// InitialPosition, which must stay the last child.
pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  if (pugi::xml_node found = FirstChild(parent, name)) return found;
  const pugi::xml_node last = parent.last_child();
  if (Named(last, kWorkingDirectory)) return parent.insert_child_before(name, last);
  return parent.append_child(name);
}

pugi::xml_node ListNode(pugi::xml_node root, ItemList list) {
  return FirstChild(root, list == ItemList::Ring ? kRing : kDock);
}

pugi::xml_node Element(pugi::xml_node root, ItemList list, int position) {
  return ChildAt(ListNode(root, list), position);
}

// The ring's element of the place, by position as the loader reads it. A
// file with fewer places than the ring gains the missing ones, named as the
// loader expects them.
pugi::xml_node RingElement(pugi::xml_node root, int position) {
  pugi::xml_node ring = FirstChild(root, kRing);
  if (!ring) ring = root.append_child(kRing);
  for (int p = CountChildElements(ring) + 1; p <= position; ++p)
    ring.append_child(("Circle" + std::to_string(p)).c_str());
  return ChildAt(ring, position);
}

// Writes all seven texts, making the children that are missing. The element
// ends with an InitialPosition child afterwards, as the ring's loader wants.
void WriteTexts(pugi::xml_node item, const ItemTexts& texts, const std::string& programDir) {
  if (item.type() != pugi::node_element) return;
  SetText(Child(item, "File"), texts.File);
  SetText(Child(item, "Name"), texts.Name);
  pugi::xml_node icon = Child(item, "IconPath");
  SetText(Child(icon, "Default"), StoredPicturePath(programDir, texts.IconDefault));
  SetText(Child(icon, "Define"), StoredPicturePath(programDir, texts.IconDefine));
  SetText(Child(item, "Argument"), texts.Argument);
  SetText(Child(item, "Http"), texts.Http);
  // The ring reads its last child, the dock its first of the name: an older
  // element may hold both, and both say the same afterwards.
  if (!Named(item.last_child(), kWorkingDirectory)) item.append_child(kWorkingDirectory);
  for (pugi::xml_node child : item.children())
    if (Named(child, kWorkingDirectory)) SetText(child, texts.InitialPosition);
}

// Empties the seven texts of every child that carries one; missing children
// stay missing, since they read as empty anyway.
void EmptyTexts(pugi::xml_node item) {
  static constexpr const char* kTexts[] = {"File", "Name", "Argument", "Http", kWorkingDirectory};
  for (pugi::xml_node child : item.children()) {
    if (child.type() != pugi::node_element) continue;
    for (const char* name : kTexts)
      if (Named(child, name)) SetText(child, "");
    if (Named(child, "IconPath"))
      for (pugi::xml_node path : child.children())
        if (Named(path, "Default") || Named(path, "Define")) SetText(path, "");
  }
}

EditResult SaveEdited(ConfigDocument& document) {
  return document.Save() ? EditResult::Saved : EditResult::WriteFailed;
}

}  // namespace

std::string IconInEffect(const ItemTexts& texts) {
  return texts.IconDefault.empty() ? texts.IconDefine : texts.IconDefault;
}

namespace {

// A drive ("C:..."), a root or a network share ("\\server"): nothing to resolve.
bool IsAbsolute(const std::string& path) {
  return path.starts_with('\\') || path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string StoredPicturePath(const std::string& programDir, const std::string& path) {
  // Windows compares names without regard to case; a folder given with
  // other capitals is still the program folder.
  if (programDir.empty() || path.size() <= programDir.size()) return path;
  for (std::size_t i = 0; i < programDir.size(); ++i)
    if (LowerAscii(path[i]) != LowerAscii(programDir[i])) return path;
  return path.substr(programDir.size());
}

std::string ResolvedPicturePath(const std::string& programDir, const std::string& stored) {
  if (stored.empty() || IsAbsolute(stored)) return stored;
  return programDir + stored;
}

// ---- one edit each ----

ItemFile::ItemFile(IFileSystem& files, ISystem& system, std::string path)
    : files_(files), system_(system), path_(std::move(path)) {}

EditResult ItemFile::WriteRingItem(int position, const ItemTexts& texts) { return WriteRingItems({{position, texts}}); }

EditResult ItemFile::WriteRingItems(const std::vector<std::pair<int, ItemTexts>>& places) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  // The whole element is written: a place emptied by hand may still hold
  // leftovers, which would come back with the item at the next start.
  for (const auto& [position, texts] : places)
    WriteTexts(RingElement(document.Root(), position), texts, files_.ProgramDir());
  return SaveEdited(document);
}

namespace {

bool Holds(pugi::xml_node element, const std::optional<ItemIdentity>& expected) {
  if (!expected) return true;
  const std::string file = Text(FirstChild(element, "File"));
  return Text(FirstChild(element, "Name")) == expected->Name && (file.empty() || file == expected->File);
}

}  // namespace

EditResult ItemFile::EmptyRingItem(int position, const std::optional<ItemIdentity>& expected) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  const pugi::xml_node item = Element(document.Root(), ItemList::Ring, position);
  if (!item) return EditResult::NothingToChange;
  if (!Holds(item, expected)) return EditResult::Mismatch;
  EmptyTexts(item);
  return SaveEdited(document);
}

EditResult ItemFile::EmptyRingItems(const std::vector<int>& positions) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  for (const int position : positions) EmptyTexts(Element(document.Root(), ItemList::Ring, position));
  return SaveEdited(document);
}

EditResult ItemFile::SwapRingItems(int source, int target, const std::optional<ItemIdentity>& expectedSource,
                                   const std::optional<ItemIdentity>& expectedTarget) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  const pugi::xml_node a = Element(document.Root(), ItemList::Ring, source);
  const pugi::xml_node b = Element(document.Root(), ItemList::Ring, target);
  if (a && b && a != b && (!Holds(a, expectedSource) || !Holds(b, expectedTarget))) return EditResult::Mismatch;
  if (!ExchangeItems(a, b)) return EditResult::NothingToChange;
  return SaveEdited(document);
}

EditResult ItemFile::AppendDockItem(int position, const ItemTexts& texts) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  pugi::xml_node dock = FirstChild(document.Root(), kDock);
  if (!dock) dock = document.Root().append_child(kDock);
  const std::string name = "Rect" + std::to_string(position);
  const pugi::xml_node before = position > 1 ? ChildAt(dock, position - 1) : pugi::xml_node();
  pugi::xml_node element = position <= 1 ? dock.prepend_child(name.c_str())
                           : before      ? dock.insert_child_after(name.c_str(), before)
                                         : dock.append_child(name.c_str());
  WriteTexts(element, texts, files_.ProgramDir());
  return SaveEdited(document);
}

namespace {

// Every text of an item element but its working directory, whose reading
// differs between the ring's loader and the dock's.
ItemTexts TextsBesidesWorkingDirectory(pugi::xml_node element, const std::string& programDir) {
  ItemTexts texts;
  texts.File = Text(FirstChild(element, "File"));
  texts.Name = Text(FirstChild(element, "Name"));
  const pugi::xml_node icon = FirstChild(element, "IconPath");
  texts.IconDefault = ResolvedPicturePath(programDir, Text(FirstChild(icon, "Default")));
  texts.IconDefine = ResolvedPicturePath(programDir, Text(FirstChild(icon, "Define")));
  texts.Argument = Text(FirstChild(element, "Argument"));
  texts.Http = Text(FirstChild(element, "Http"));
  return texts;
}

}  // namespace

std::optional<ItemTexts> ItemFile::ReadItem(ItemList list, int position) const {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return std::nullopt;
  const pugi::xml_node element = Element(document.Root(), list, position);
  if (!element) return std::nullopt;
  ItemTexts texts = TextsBesidesWorkingDirectory(element, files_.ProgramDir());
  texts.InitialPosition = Text(FirstChild(element, kWorkingDirectory));
  return texts;
}

std::optional<std::vector<std::string>> ItemFile::Files(ItemList list) const {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return std::nullopt;
  std::vector<std::string> files;
  for (pugi::xml_node item : ListNode(document.Root(), list).children())
    if (item.type() == pugi::node_element) files.push_back(Text(FirstChild(item, "File")));
  return files;
}

EditResult ItemFile::EditItem(ItemList list, int position, const ItemEdit& edit,
                              const std::optional<ItemIdentity>& expected) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  const pugi::xml_node item = Element(document.Root(), list, position);
  if (!item) return EditResult::NothingToChange;
  if (!Holds(item, expected)) return EditResult::Mismatch;
  if (edit.File) SetText(Child(item, "File"), *edit.File);
  if (edit.IconDefault || edit.IconDefine) {
    const std::string programDir = files_.ProgramDir();
    pugi::xml_node icon = Child(item, "IconPath");
    if (edit.IconDefault) SetText(Child(icon, "Default"), StoredPicturePath(programDir, *edit.IconDefault));
    if (edit.IconDefine) SetText(Child(icon, "Define"), StoredPicturePath(programDir, *edit.IconDefine));
  }
  SetText(Child(item, "Name"), edit.Name);
  SetText(Child(item, "Argument"), edit.Argument);
  return SaveEdited(document);
}

EditResult ItemFile::RemoveDockItem(int position, const std::optional<ItemIdentity>& expected) {
  ConfigDocument document(files_, system_, path_);
  if (document.Load().status != LoadStatus::Ok) return EditResult::NotLoaded;
  pugi::xml_node dock = FirstChild(document.Root(), kDock);
  pugi::xml_node item = ChildAt(dock, position);
  if (!item) return EditResult::NothingToChange;
  if (!Holds(item, expected)) return EditResult::Mismatch;
  pugi::xml_node next = item.next_sibling();
  dock.remove_child(item);
  // Elements past the dock's last place were never loaded; they keep their names.
  for (; next && position <= kDockItemLimit; next = next.next_sibling())
    if (next.type() == pugi::node_element) next.set_name(("Rect" + std::to_string(position++)).c_str());
  return SaveEdited(document);
}

// ---- the start-up step ----

StartupItems::StartupItems(IFileSystem& files, ISystem& system, std::string path)
    : document_(std::make_unique<ConfigDocument>(files, system, std::move(path))), programDir_(files.ProgramDir()) {}

StartupItems::~StartupItems() = default;

bool StartupItems::Load() { return document_->Load().status == LoadStatus::Ok; }

bool StartupItems::Current() const { return document_->Current(); }

int StartupItems::Count(ItemList list) const { return CountChildElements(ListNode(document_->Root(), list)); }

std::optional<ItemTexts> StartupItems::Read(ItemList list, int position) {
  pugi::xml_node element = Element(document_->Root(), list, position);
  if (!element) return std::nullopt;
  ItemTexts texts = TextsBesidesWorkingDirectory(element, programDir_);
  if (list == ItemList::Ring) {
    const pugi::xml_node last = element.last_child();
    if (Named(last, kWorkingDirectory)) {
      texts.InitialPosition = Text(last);
    } else {
      element.append_child(kWorkingDirectory);
    }
  } else {
    texts.InitialPosition = Text(FirstChild(element, kWorkingDirectory));
  }
  return texts;
}

void StartupItems::SetFile(ItemList list, int position, const std::string& file) {
  pugi::xml_node element = Element(document_->Root(), list, position);
  if (!element) return;
  pugi::xml_node node = FirstChild(element, "File");
  if (!node) node = element.prepend_child("File");
  SetText(node, file);
}

void StartupItems::SetIconDefine(ItemList list, int position, const std::string& path) {
  pugi::xml_node element = Element(document_->Root(), list, position);
  if (!element) return;
  pugi::xml_node icon = Child(element, "IconPath");
  pugi::xml_node define = FirstChild(icon, "Define");
  if (!define) define = icon.append_child("Define");
  const std::string stored = StoredPicturePath(programDir_, path);
  if (Text(define) != stored) SetText(define, stored);
}

void StartupItems::AppendDockItems(const std::vector<ItemTexts>& items) {
  pugi::xml_node dock = FirstChild(document_->Root(), kDock);
  if (!dock) dock = document_->Root().append_child(kDock);
  int position = 0;
  for (const ItemTexts& texts : items) {
    pugi::xml_node item = dock.append_child(("Rect" + std::to_string(++position)).c_str());
    SetText(item.append_child("File"), texts.File);
    SetText(item.append_child("Name"), texts.Name);
    pugi::xml_node icon = item.append_child("IconPath");
    SetText(icon.append_child("Default"), StoredPicturePath(programDir_, texts.IconDefault));
    SetText(icon.append_child("Define"), StoredPicturePath(programDir_, texts.IconDefine));
    SetText(item.append_child("Argument"), texts.Argument);
    SetText(item.append_child("Http"), texts.Http);
    SetText(item.append_child(kWorkingDirectory), texts.InitialPosition);
  }
}

std::string StartupItems::HotKeyText() const { return config::HotKeyText(document_->Root()); }

EditResult StartupItems::Save() { return SaveEdited(*document_); }

}  // namespace qv::config
