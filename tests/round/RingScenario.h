#pragma once

// A started program with ring items a test chooses, and a hand on the pointer.

#include <gtest/gtest.h>

#include <string>

#include "app/MainForm.h"
#include "tests/support/Pictures.h"
#include "tests/support/Scenario.h"

namespace qv::testing {

struct RingItem {
  std::string file, name, argument, workingDirectory;
};

class RingScenario : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    // Every item shows the placeholder, an opaque square the pointer can hit.
    Put(programDir_ + "Icon\\SysTool\\Help.png", SolidPng(48, {230, 200, 20}));
  }

  void SetItem(int slot, const RingItem& item) {
    pugi::xml_node c = Circle(slot);
    ASSERT_TRUE(c) << slot;
    c.child("File").text().set(item.file.c_str());
    c.child("Name").text().set(item.name.c_str());
    c.child("Argument").text().set(item.argument.c_str());
    c.child("InitialPosition").text().set(item.workingDirectory.c_str());
  }
  // Items with names "item <slot>" and a target of their own.
  void SetItems(std::initializer_list<int> slots) {
    for (int slot : slots)
      SetItem(slot, {"C:\\Apps\\app" + std::to_string(slot) + ".exe", "item " + std::to_string(slot), "", ""});
  }
  void SetBasicText(const char* element, const char* text) { Basic().child(element).text().set(text); }
  void SetRotationValue(int degrees) { Basic().child("IconElement").attribute("RotationValue").set_value(degrees); }

  const headless::WindowRecord* Named(const std::string& name) const { return desktop_->FindWindowByName(name); }
  const headless::WindowRecord* Item(int slot) const { return Named("Circle" + std::to_string(slot)); }
  Point ItemMiddle(int slot) const {
    const headless::WindowRecord* w = Item(slot);
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
};

}  // namespace qv::testing
