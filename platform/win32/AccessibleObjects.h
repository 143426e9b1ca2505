#pragma once

// The objects that stand for one item window before assistive clients: a UI
// Automation provider and, for clients that speak only the older interface,
// an accessible object. Both ask the window for everything (AskItem) and
// forget it when it goes.

#include <ole2.h>
#include <oleacc.h>
#include <uiautomationcore.h>

#include "platform/win32/Accessibility.h"

namespace qv::win32 {

struct AccessibleItems::Api {
  using ReturnProvider = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
  using HostProvider = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
  using RaiseEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, EVENTID);
  using ClientsListening = BOOL(WINAPI*)();
  using AllocString = BSTR(WINAPI*)(const OLECHAR*);
  using ResultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using StandardObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  ReturnProvider returnProvider = nullptr;
  HostProvider hostProvider = nullptr;
  RaiseEvent raiseEvent = nullptr;
  ClientsListening clientsListening = nullptr;
  AllocString allocString = nullptr;
  ResultFromObject resultFromObject = nullptr;
  StandardObject standardObject = nullptr;
};

// The libraries' functions, loaded at the first call (on the GUI thread);
// null when one is missing.
const AccessibleItems::Api* LoadAccessibleApi();

// The invoke pattern's interface, which the headers at hand lack.
inline constexpr IID kInvokeProviderId = {0x54fcb24b, 0xe18e, 0x47a2, {0xb4, 0xd3, 0xec, 0xcb, 0xe7, 0x75, 0x99, 0xa2}};
struct IInvokeProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};

// The window's UI Automation provider, with one reference for the caller.
IRawElementProviderSimple* MakeItemProvider(HWND hwnd, const AccessibleItems::Api& api);
// The window's accessible object over the system's standard one for it
// (which answers place, parent and navigation), with one reference.
IAccessible* MakeItemAccessible(HWND hwnd, IAccessible* standard, const AccessibleItems::Api& api);
// Both kinds let go of their window.
void ForgetWindow(IRawElementProviderSimple* provider);
void ForgetWindow(IAccessible* accessible);

}  // namespace qv::win32
