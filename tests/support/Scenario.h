#pragma once

// A headless desktop with a fresh copy of the program folder in a temporary
// directory, for scenario tests that drive the program through its seams; and
// a started program with the items a test asks for, the hand on its pointer
// and the ways to look at an item: its record, its window, its element in the file.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <pugixml.hpp>

#include "app/Application.h"
#include "app/MainForm.h"
#include "catalogue/CatalogueSite.h"
#include "config/ItemFile.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/IcoWriter.h"
#include "tests/support/Pictures.h"

namespace qv::testing {

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string DistributedConfig() { return ReadBytes(std::filesystem::path(QV_SOURCE_DIR) / "config/UserInfo.xml"); }

// The process's boxes, with the loop a real box runs: what a test queues
// happens while the next box is up, before its answer.
class BoxLoop final : public IDialogs {
 public:
  explicit BoxLoop(IDialogs& dialogs) : dialogs_(dialogs) {}
  MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                              MessageBoxIcon icon) override {
    if (!during_.empty()) {
      std::function<void()> input = std::move(during_.front());
      during_.pop_front();
      input();
    }
    return dialogs_.MessageBox(text, caption, buttons, icon);
  }
  bool BoxOpen() const override { return dialogs_.BoxOpen(); }
  void During(std::function<void()> input) { during_.push_back(std::move(input)); }

 private:
  IDialogs& dialogs_;
  std::deque<std::function<void()>> during_;
};

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quorvel-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                       std::to_string(::getpid());
    for (char& c : name) c = c == '/' ? '_' : c;
    root_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(root_);
    desktop_ = std::make_unique<headless::HeadlessDesktop>(root_, QV_ART_DIR);
    ASSERT_TRUE(config_.load_string(DistributedConfig().c_str()));
    std::filesystem::create_directories(desktop_->RealPath(programDir_));
  }
  void TearDown() override {
    apps_.clear();
    platforms_.clear();
    boxes_.clear();
    processes_.clear();
    desktop_.reset();
    std::filesystem::remove_all(root_);
  }

  // A new desktop and program folder, for the next case of a table.
  void Afresh() {
    TearDown();
    SetUp();
  }

  std::string programDir_ = "C:\\Quorvel\\";
  std::uint16_t displayLanguage_ = 0x0804;  // the system's display language for the next start
  std::filesystem::path ConfigFile() const { return desktop_->RealPath(programDir_ + "Config\\UserInfo.xml"); }
  void InstallConfig(const std::string& bytes) { WriteBytes(ConfigFile(), bytes); }
  std::string ConfigBytes() const { return ReadBytes(ConfigFile()); }

  void Put(const std::string& windowsPath, const std::string& bytes) { WriteBytes(desktop_->RealPath(windowsPath), bytes); }

  // The program's own pictures (tool pictures, clock) beside the copy under test.
  void CopyArt() {
    std::filesystem::copy(std::filesystem::path(QV_ART_DIR) / "Icon", desktop_->RealPath(programDir_ + "Icon"),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }

  // config_ as the bytes of a file.
  std::string Xml() const {
    std::ostringstream xml;
    config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
    return xml.str();
  }
  pugi::xml_node Basic() { return config_.document_element().child("Setup").child("Basic"); }
  pugi::xml_node Circle(int slot) {
    return config_.document_element().child("RoundBackground").child(("Circle" + std::to_string(slot)).c_str());
  }

  // Installs config_ as the program's file, starts the program and runs its
  // start-up step.
  app::MainForm* Start() {
    InstallConfig(Xml());
    app::MainForm* form = Launch();
    EXPECT_NE(form, nullptr);
    if (!form) return nullptr;
    desktop_->Advance(50);
    EXPECT_TRUE(form->IconsLoaded());
    return form;
  }

  // Starts one more copy of the program; nullptr when it ended at once.
  app::MainForm* Launch() {
    processes_.push_back(std::make_unique<headless::HeadlessProcess>(*desktop_, programDir_));
    processes_.back()->SetUserInterfaceLanguage(displayLanguage_);
    const Platform& p = processes_.back()->AsPlatform();
    boxes_.push_back(std::make_unique<BoxLoop>(p.dialogs));
    platforms_.push_back(std::make_unique<Platform>(Platform{p.windows, p.timers, *boxes_.back(), p.files, p.registry,
                                                             p.shell, p.tray, hotKeys_ ? *hotKeys_ : p.hotKeys,
                                                             p.system, p.canvas, p.diagnostics, p.menus, p.forms}));
    apps_.push_back(std::make_unique<app::Application>(*platforms_.back()));
    if (!apps_.back()->Start(*processes_.back())) return nullptr;
    return &apps_.back()->Form();
  }
  headless::HeadlessProcess& Process(std::size_t i = 0) { return *processes_.at(i); }
  BoxLoop& Boxes(std::size_t i = 0) { return *boxes_.at(i); }
  app::Application& App(std::size_t i = 0) { return *apps_.at(i); }

  const headless::WindowRecord* Named(const std::string& name) const { return desktop_->FindWindowByName(name); }
  const headless::WindowRecord* CircleWindow(int slot) const { return Named("Circle" + std::to_string(slot)); }

  pugi::xml_document LoadConfigDom() const {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file(ConfigFile().c_str()));
    return doc;
  }

  std::filesystem::path root_;
  pugi::xml_document config_;  // the file the next Start() installs: the distributed one until a test changes it
  std::unique_ptr<headless::HeadlessDesktop> desktop_;
  std::vector<std::unique_ptr<headless::HeadlessProcess>> processes_;
  std::vector<std::unique_ptr<BoxLoop>> boxes_;
  IHotKeys* hotKeys_ = nullptr;  // in place of the process's own, for the next Launch()
  std::vector<std::unique_ptr<Platform>> platforms_;
  std::vector<std::unique_ptr<app::Application>> apps_;
};

}  // namespace qv::testing

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

// The seven texts of an item element in the order they are written; the
// working directory as the ring's loader reads it, from the last child.
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

  // A new desktop whose program starts with these items.
  app::MainForm* StartAfresh(std::initializer_list<int> slots) {
    Afresh();
    SetItems(slots);
    return Start();
  }
  // Items named "item <slot>", each with a target of its own.
  void SetItems(std::initializer_list<int> slots) {
    for (int slot : slots)
      SetCircle(slot, {"C:\\Apps\\app" + std::to_string(slot) + ".exe", "item " + std::to_string(slot), "", "", "", ""});
  }

  Point ItemMiddle(int slot) const {
    const headless::WindowRecord* w = CircleWindow(slot);
    EXPECT_NE(w, nullptr) << slot;
    return w ? Point{w->bounds.left + 25, w->bounds.top + 25} : Point{};
  }
  // A point where the pointer reaches this window and no other.
  Point PointOn(const std::string& name) const {
    const headless::WindowRecord* w = Named(name);
    EXPECT_NE(w, nullptr) << name;
    if (!w) return {};
    for (int y = w->bounds.top; y < w->bounds.Bottom(); y += 2)
      for (int x = w->bounds.left; x < w->bounds.Right(); x += 2)
        if (desktop_->WindowAt({x, y}) == w) return {x, y};
    ADD_FAILURE() << name << " shows nowhere";
    return {};
  }
  void Click(Point p, MouseButton button = MouseButton::Left) {
    desktop_->MouseMove(p);
    desktop_->MouseDown(p, button);
    desktop_->MouseUp(p, button);
  }
  // Press at from, move to `to` in a few steps as a hand does, release there.
  void Drag(Point from, Point to, int steps = 5) {
    desktop_->MouseMove(from);
    desktop_->MouseDown(from);
    for (int i = 1; i <= steps; ++i)
      desktop_->MouseMove({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    desktop_->MouseUp(to);
  }

  headless::HeadlessProcess& Current() { return Process(processes_.size() - 1); }

  // The file's dock list, "Rect1=<File>" for each element.
  std::vector<std::string> DockInFile() const {
    std::vector<std::string> files;
    for (pugi::xml_node e : LoadConfigDom().document_element().child("RectBackground").children())
      files.push_back(std::string(e.name()) + "=" + e.child_value("File"));
    return files;
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
