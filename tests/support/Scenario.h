#pragma once

// A headless desktop with a fresh copy of the program folder in a temporary
// directory, for scenario tests that drive the program through its seams.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include <pugixml.hpp>

#include "app/Application.h"
#include "app/MainForm.h"
#include "platform/headless/HeadlessDesktop.h"

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

  std::string programDir_ = "C:\\Quorvel\\";
  std::filesystem::path ConfigFile() const { return desktop_->RealPath(programDir_ + "Config\\UserInfo.xml"); }
  void InstallConfig(const std::string& bytes) { WriteBytes(ConfigFile(), bytes); }
  std::string ConfigBytes() const { return ReadBytes(ConfigFile()); }

  void Put(const std::string& windowsPath, const std::string& bytes) { WriteBytes(desktop_->RealPath(windowsPath), bytes); }

  // The program's own pictures (tool pictures, clock) beside the copy under test.
  void CopyArt() {
    std::filesystem::copy(std::filesystem::path(QV_ART_DIR) / "Icon", desktop_->RealPath(programDir_ + "Icon"),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }

  pugi::xml_node Basic() { return config_.document_element().child("Setup").child("Basic"); }
  pugi::xml_node Circle(int slot) {
    return config_.document_element().child("RoundBackground").child(("Circle" + std::to_string(slot)).c_str());
  }

  // Installs config_ as the program's file, starts the program and runs its
  // start-up step.
  app::MainForm* Start() {
    std::ostringstream xml;
    config_.save(xml, "\t", pugi::format_default, pugi::encoding_utf8);
    InstallConfig(xml.str());
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
