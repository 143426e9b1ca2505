#pragma once

// Every message box the program shows goes through here. A box runs a loop
// of its own inside the handler that asked: menus, the tray and the hot key
// keep reaching the program meanwhile. While a box is up the commands they
// carry are dropped, so that no question is asked twice and nothing runs
// under the one waiting for its answer.

#include <string>

#include "platform/Platform.h"

namespace qv::app {

class BoxTracker final : public IDialogs {
 public:
  explicit BoxTracker(IDialogs& dialogs) : dialogs_(dialogs) {}

  MessageBoxResult MessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                              MessageBoxIcon icon) override {
    struct Open {
      int& count;
      explicit Open(int& c) : count(c) { ++count; }
      ~Open() { --count; }
    } open(open_);
    return dialogs_.MessageBox(text, caption, buttons, icon);
  }

  // Ours, or one the platform shows for another part of the program.
  bool BoxOpen() const override { return open_ > 0 || dialogs_.BoxOpen(); }

 private:
  IDialogs& dialogs_;
  int open_ = 0;
};

}  // namespace qv::app
