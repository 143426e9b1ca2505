// An item window's UI Automation provider: a button with the item's name
// that invokes as a click does.

#include "platform/win32/AccessibleObjects.h"
#include "platform/win32/AutomationIds.h"

namespace qv::win32 {
namespace {

using namespace automation;

class ItemProvider final : public IRawElementProviderSimple, public IInvokeProvider {
 public:
  ItemProvider(HWND hwnd, const AccessibleItems::Api& api) : hwnd_(hwnd), api_(api) {}
  void Forget() { hwnd_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IRawElementProviderSimple)) {
      *out = static_cast<IRawElementProviderSimple*>(this);
    } else if (riid == kInvokeProviderId) {
      *out = static_cast<IInvokeProvider*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IRawElementProviderSimple
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) override {
    if (!out) return E_POINTER;
    *out = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (pattern == kInvokePattern) {
      *out = static_cast<IInvokeProvider*>(this);
      AddRef();
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* out) override {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    AccessibleAnswer answer;
    if (!AskItem(hwnd_, answer)) return kElementNotAvailable;
    auto text = [&](const std::wstring& value) {
      out->bstrVal = api_.allocString(value.c_str());
      if (!out->bstrVal) return E_OUTOFMEMORY;
      out->vt = VT_BSTR;
      return S_OK;
    };
    auto flag = [&](bool value) {
      out->vt = VT_BOOL;
      out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    };
    switch (property) {
      case kNameProperty:
        return text(answer.name);
      case kAutomationIdProperty:
        return text(answer.automationId);
      case kControlTypeProperty:
        out->vt = VT_I4;
        out->lVal = kButtonControlType;
        return S_OK;
      case kHasKeyboardFocusProperty:
        return flag(answer.focused);
      case kIsKeyboardFocusableProperty:
      case kIsInvokePatternAvailableProperty:
        return flag(true);
      default:
        return S_OK;  // the host window's provider answers the rest
    }
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    HWND hwnd = hwnd_;
    return hwnd ? api_.hostProvider(hwnd, out) : kElementNotAvailable;
  }

  // IInvokeProvider
  HRESULT STDMETHODCALLTYPE Invoke() override { return InvokeItem(hwnd_) ? S_OK : kElementNotAvailable; }

 private:
  LONG references_ = 1;
  HWND volatile hwnd_;
  const AccessibleItems::Api& api_;
};

}  // namespace

IRawElementProviderSimple* MakeItemProvider(HWND hwnd, const AccessibleItems::Api& api) {
  return new ItemProvider(hwnd, api);
}

void ForgetWindow(IRawElementProviderSimple* provider) { static_cast<ItemProvider*>(provider)->Forget(); }

}  // namespace qv::win32
