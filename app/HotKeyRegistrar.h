#pragma once

// The global hot keys of the program. Each one is named by a global atom, so
// that two running programs never hand the system the same identifier, and is
// registered without auto-repeat: holding the keys acts once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qv::app {

struct THotKeyRec;
using HotKeyHandler = std::function<void(THotKeyRec&)>;

struct THotKeyRec {
  std::string AtomName;
  std::uint16_t Atom = 0;  // the identifier the hot key is registered under
  bool Registered = false;
  bool Enabled = false;
  unsigned Modifiers = 0;
  unsigned VirtualKey = 0;
  // A handler that runs a nested message loop must not be re-entered by its
  // own key: the entry is disabled while it runs.
  bool DisableWhileRunning = true;
  bool MarkHandled = false;  // the message is answered with 1
  HotKeyHandler Handler;
};

class THotKeyRegistrar {
 public:
  explicit THotKeyRegistrar(IHotKeys& hotKeys);
  // Unregisters every entry and gives back the atoms of those that were unregistered.
  ~THotKeyRegistrar();
  THotKeyRegistrar(const THotKeyRegistrar&) = delete;
  THotKeyRegistrar& operator=(const THotKeyRegistrar&) = delete;

  // The new entry, or null when the system refused the combination (another
  // program holds it). Nothing is reported either way.
  THotKeyRec* AddHotKey(unsigned modifiers, unsigned virtualKey, HotKeyHandler handler);

  // A hot-key message with its modifiers and key. Returns true when the
  // message is to be answered as handled. A handler must not destroy the
  // registrar that calls it; replacing the hot key waits for the handler's end.
  bool Dispatch(unsigned modifiers, unsigned virtualKey);

  // The registrar answers nothing while disabled.
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }

  const std::vector<std::unique_ptr<THotKeyRec>>& Entries() const { return entries_; }

 private:
  std::string AtomNameFor(std::size_t n) const;

  IHotKeys& hotKeys_;
  std::vector<std::unique_ptr<THotKeyRec>> entries_;
  bool enabled_ = true;
};

// "THotKeyRegistrar:THotKeyRec_" followed by n in decimal.
std::string HotKeyAtomName(std::size_t n);

// The key a hot-key letter stands for: letters of either case give the
// upper-case letter's key, digits their own; anything else (an empty text, a
// punctuation mark, the first byte of a non-Latin letter) gives 0, no key.
unsigned HotKeyVirtualKey(char letter);

}  // namespace qv::app
