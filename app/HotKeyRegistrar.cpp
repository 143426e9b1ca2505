#include "app/HotKeyRegistrar.h"

namespace qv::app {

std::string HotKeyAtomName(std::size_t n) { return "THotKeyRegistrar:THotKeyRec_" + std::to_string(n); }

unsigned HotKeyVirtualKey(char letter) {
  if (letter >= 'a' && letter <= 'z') return static_cast<unsigned>(letter - 'a' + 'A');
  if ((letter >= 'A' && letter <= 'Z') || (letter >= '0' && letter <= '9')) return static_cast<unsigned>(letter);
  return 0;
}

THotKeyRegistrar::THotKeyRegistrar(IHotKeys& hotKeys) : hotKeys_(hotKeys) {}

THotKeyRegistrar::~THotKeyRegistrar() {
  for (const std::unique_ptr<THotKeyRec>& entry : entries_) {
    // An atom is only given back once its hot key is gone, so the system
    // never keeps a registration under a name someone else may take.
    if (hotKeys_.UnregisterHotKey(entry->Atom)) hotKeys_.GlobalDeleteAtom(entry->Atom);
  }
}

std::string THotKeyRegistrar::AtomNameFor(std::size_t n) const {
  std::string name = HotKeyAtomName(n);
  // Another running program holds this name: count on.
  while (hotKeys_.GlobalAtomExists(name)) name = HotKeyAtomName(++n);
  return name;
}

THotKeyRec* THotKeyRegistrar::AddHotKey(unsigned modifiers, unsigned virtualKey, HotKeyHandler handler) {
  auto entry = std::make_unique<THotKeyRec>();
  entry->Modifiers = modifiers;
  entry->VirtualKey = virtualKey;
  entry->Handler = std::move(handler);
  entry->AtomName = AtomNameFor(entries_.size());
  entry->Atom = hotKeys_.GlobalAddAtom(entry->AtomName);
  entry->Registered = hotKeys_.RegisterHotKey(entry->Atom, modifiers, virtualKey);
  entry->Enabled = true;
  if (!entry->Registered) {
    // The refused key keeps no atom alive for the rest of the session.
    hotKeys_.GlobalDeleteAtom(entry->Atom);
    return nullptr;
  }
  entries_.push_back(std::move(entry));
  return entries_.back().get();
}

bool THotKeyRegistrar::Dispatch(unsigned modifiers, unsigned virtualKey) {
  if (!enabled_) return false;
  THotKeyRec* found = nullptr;
  for (const std::unique_ptr<THotKeyRec>& entry : entries_) {
    if (entry->Modifiers == modifiers && entry->VirtualKey == virtualKey) {
      found = entry.get();
      break;
    }
  }
  if (!found || !found->Registered || !found->Enabled) return false;
  const bool reenable = found->DisableWhileRunning;
  if (reenable) found->Enabled = false;
  if (found->Handler) found->Handler(*found);
  const bool handled = found->MarkHandled;
  if (reenable) found->Enabled = true;
  return handled;
}

}  // namespace qv::app
