#pragma once

// The keys the program answers, by name. The system's key numbers stop here.

namespace qv {

enum class Key { Other, Left, Right, Up, Down, Space, Enter, Tab, Escape, Apps, F10 };

constexpr Key KeyOfVirtualKey(unsigned virtualKey) {
  switch (virtualKey) {
    case 0x25:
      return Key::Left;
    case 0x26:
      return Key::Up;
    case 0x27:
      return Key::Right;
    case 0x28:
      return Key::Down;
    case 0x20:
      return Key::Space;
    case 0x0D:
      return Key::Enter;
    case 0x09:
      return Key::Tab;
    case 0x1B:
      return Key::Escape;
    case 0x5D:
      return Key::Apps;
    case 0x79:
      return Key::F10;
    default:
      return Key::Other;
  }
}

// A key as it arrives, with the Shift key's state (Shift+Tab goes back, Shift+F10 opens a menu).
struct KeyPress {
  Key key = Key::Other;
  bool shift = false;
};

}  // namespace qv
