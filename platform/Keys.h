#pragma once

// The keys the program answers, by name. The system's key numbers stop here.

namespace qv {

enum class Key { Other, Left, Right, Up, Down, Space, Enter };

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
    default:
      return Key::Other;
  }
}

}  // namespace qv
