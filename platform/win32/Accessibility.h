#pragma once

// The items as UI Automation sees them. An item window (and the ring's
// center) answers WM_GETOBJECT with a provider that gives its name, calls it
// a button and invokes it as a click does; the other windows keep the
// system's answer. The automation library is loaded when the first client
// asks, never at start.
//
// A provider may be called on any thread: it asks the window for what it
// needs with a sent message (a direct call on the window's own thread) and
// invokes with a posted one, so the core is only ever entered on the thread
// that owns it.

#include <map>
#include <optional>
#include <string>

#include "platform/win32/Win32Api.h"

struct IRawElementProviderSimple;
struct IAccessible;

namespace qv::win32 {

// Sent to an item window by AskItem: lParam names the AccessibleAnswer to
// fill (through FillAnswer).
inline constexpr UINT kAccessibleQueryMessage = WM_APP + 0x51;
// Posted to an item window: invoke it.
inline constexpr UINT kAccessibleInvokeMessage = WM_APP + 0x52;

struct AccessibleAnswer {
  bool item = false;  // the window is an item, the rest is meaningful
  std::wstring name;
  std::wstring automationId;  // the window's name, which no language changes
  bool focused = false;
};

class AccessibleItems {
 public:
  AccessibleItems() = default;
  ~AccessibleItems();
  AccessibleItems(const AccessibleItems&) = delete;
  AccessibleItems& operator=(const AccessibleItems&) = delete;

  // WM_GETOBJECT's answer for an item window: a UI Automation provider, or
  // for the older clients an accessible object; nullopt leaves it to the system.
  std::optional<LRESULT> Answer(HWND hwnd, WPARAM wParam, LPARAM lParam, bool isItem);
  // The question is one of the two these objects answer (the others are the system's).
  static bool Answers(LPARAM lParam);
  // The window goes: its provider answers "not available" from now on.
  void Forget(HWND hwnd);
  // The keyboard's focus came to hwnd (an item); listening clients are told.
  void FocusMoved(HWND hwnd);

  struct Api;  // the libraries' functions, looked up when first needed

 private:
  struct Objects {
    IRawElementProviderSimple* provider = nullptr;  // one reference held each
    IAccessible* accessible = nullptr;
  };
  bool Load();

  bool loadFailed_ = false;
  const Api* api_ = nullptr;
  std::map<HWND, Objects> objects_;
};

// Asked by the objects of an item window, from any thread: its answer, and
// its invoke (posted); false when the window is gone or no longer an item.
bool AskItem(HWND hwnd, AccessibleAnswer& answer);
bool InvokeItem(HWND hwnd);
// The window's side of AskItem: the query's answer written, when the query
// is one AskItem still waits for; false for any other number.
bool FillAnswer(LPARAM query, const AccessibleAnswer& found);

}  // namespace qv::win32
