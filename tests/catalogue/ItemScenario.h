#pragma once

#include <cctype>

// A started program with the items a test asks for, and the ways to look at
// an item: its record, its window, its element in the file.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/CatalogueSite.h"
#include "tests/support/IcoWriter.h"
#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv::test {

inline const std::string kDir = "C:\\Quorvel\\";
inline const std::string kMyFiles = kDir + "Icon\\SysTool\\MyFiles.png";
inline const std::string kHelp = kDir + "Icon\\SysTool\\Help.png";

// The program's own pictures are replaced by solid colours, so that a test
// can tell by one look which picture an item shows.
inline constexpr testing::Rgb kMyFilesColour{30, 140, 220};
inline constexpr testing::Rgb kHelpColour{230, 200, 20};

// A one-image .ico of one opaque colour, as the shell or a program holds it.
inline std::string SolidIcoImage(int side, testing::Rgb c) {
  DibSpec s;
  s.width = s.height = side;
  s.pixels.assign(static_cast<std::size_t>(side * side),
                  0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b);
  return DibImage(s);
}
inline std::string SolidIco(int side, testing::Rgb c) { return IcoFile({{SolidIcoImage(side, c), side, 32}}); }

// The picture fills exactly (1, 1)-(48, 48) of the 50 x 50 plate; the frame around it stays clear.
inline ::testing::AssertionResult ShowsSolid(const LayeredSurface& s, testing::Rgb c) {
  if (s.width != 50 || s.height != 50) return ::testing::AssertionFailure() << "size " << s.width << "x" << s.height;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      const std::uint32_t p = s.At(x, y);
      const bool inside = x >= 1 && x <= 48 && y >= 1 && y <= 48;
      const bool ok = inside ? AlphaOf(p) == 255 && std::abs(RedOf(p) - c.r) <= 2 && std::abs(GreenOf(p) - c.g) <= 2 &&
                                   std::abs(BlueOf(p) - c.b) <= 2
                             : p == 0;
      if (!ok) return ::testing::AssertionFailure() << "(" << x << "," << y << ") = " << std::hex << p;
    }
  return ::testing::AssertionSuccess();
}

struct ItemSpec {
  std::string file, name, iconDefault, iconDefine, argument, workingDirectory;
};

// The seven texts of an item element in the order they are written, the
// pictures as read back; the working directory as the ring's loader reads
// it, from the last child.
inline std::vector<std::string> TextsOf(pugi::xml_node item) {
  const pugi::xml_node last = item.last_child();
  return {item.child("File").text().get(),
          item.child("Name").text().get(),
          config::ResolvedPicturePath(kDir, item.child("IconPath").child("Default").text().get()),
          config::ResolvedPicturePath(kDir, item.child("IconPath").child("Define").text().get()),
          item.child("Argument").text().get(),
          item.child("Http").text().get(),
          std::string(last.name()) == "InitialPosition" ? last.text().get() : "<no trailing InitialPosition>"};
}
inline const std::vector<std::string> kEmptyTexts(7, "");

inline std::vector<std::string> ChildNames(pugi::xml_node e) {
  std::vector<std::string> names;
  for (pugi::xml_node child : e.children()) names.emplace_back(child.name());
  return names;
}

// Stands in for the dock bar: a rectangle on screen that remembers what it heard.
class TestDockBar final : public catalogue::IDockBar {
 public:
  explicit TestDockBar(Rect bounds) : bounds(bounds) {}
  Rect BarBounds() const override { return bounds; }
  void ItemAppended(int slot, Point pointer) override { appended.push_back({slot, pointer}); }
  void ItemRemoved(catalogue::RemovalVariant variant) override { removed.push_back(variant); }

  Rect bounds;
  std::vector<std::pair<int, Point>> appended;
  std::vector<catalogue::RemovalVariant> removed;
};

class ItemScenario : public testing::ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    CopyArt();
    Put(kMyFiles, testing::SolidPng(48, kMyFilesColour));
    Put(kHelp, testing::SolidPng(48, kHelpColour));
  }

  bool Exists(const std::string& windowsPath) const { return std::filesystem::exists(desktop_->RealPath(windowsPath)); }

  static void WriteItem(pugi::xml_node item, const ItemSpec& s) {
    while (item.first_child()) item.remove_child(item.first_child());
    item.append_child("File").text().set(s.file.c_str());
    item.append_child("Argument").text().set(s.argument.c_str());
    item.append_child("Name").text().set(s.name.c_str());
    pugi::xml_node icon = item.append_child("IconPath");
    icon.append_child("Default").text().set(s.iconDefault.c_str());
    icon.append_child("Define").text().set(s.iconDefine.c_str());
    item.append_child("Http");
    item.append_child("InitialPosition").text().set(s.workingDirectory.c_str());
  }
  void SetCircle(int slot, const ItemSpec& s) {
    ASSERT_TRUE(Circle(slot)) << slot;
    WriteItem(Circle(slot), s);
  }
  void SetRectList(const std::vector<ItemSpec>& items) {
    pugi::xml_node root = config_.document_element();
    root.remove_child("RectBackground");
    pugi::xml_node rect = root.append_child("RectBackground");
    for (std::size_t j = 0; j < items.size(); ++j)
      WriteItem(rect.append_child(("Rect" + std::to_string(j + 1)).c_str()), items[j]);
  }

  // A whole new start of the program on the file as it is now.
  app::MainForm* Restart() {
    App(processes_.size() - 1).Stop();
    Current().Exit();
    app::MainForm* form = Launch();
    EXPECT_NE(form, nullptr);
    if (form) desktop_->Advance(50);
    return form;
  }
  headless::HeadlessProcess& Current() { return Process(processes_.size() - 1); }

  const headless::WindowRecord* CircleWindow(int slot) const {
    return desktop_->FindWindowByName("Circle" + std::to_string(slot));
  }
  static pugi::xml_node FileCircle(const pugi::xml_document& doc, int slot) {
    return doc.document_element().child("RoundBackground").child(("Circle" + std::to_string(slot)).c_str());
  }
  // Item windows: the prefix followed by a number ("Rect3", not "RectForm").
  int CountWindowsNamed(const std::string& prefix) const {
    int n = 0;
    for (const headless::WindowRecord* w : desktop_->Windows())
      n += w->name.rfind(prefix, 0) == 0 && w->name.size() > prefix.size() &&
           std::isdigit(static_cast<unsigned char>(w->name[prefix.size()]));
    return n;
  }
};

}  // namespace qv::test
