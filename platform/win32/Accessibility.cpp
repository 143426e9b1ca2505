#include "platform/win32/Accessibility.h"

#include <mutex>
#include <set>

#include "platform/win32/AccessibleObjects.h"
#include "platform/win32/AutomationIds.h"
#include "platform/win32/Diagnostics.h"
#include "platform/win32/OleApartment.h"

namespace qv::win32 {
namespace {

using automation::kFocusChangedEvent;
using automation::kRootObjectId;
constexpr UINT kQueryTimeoutMs = 2000;

AccessibleItems::Api loadedApi;

template <typename Function>
bool Resolve(HMODULE library, const char* name, Function& out) {
  out = library ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name))) : nullptr;
  return out != nullptr;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // Without the search flags (an old Windows 7 without its update) the plain call.
  HMODULE library = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return library ? library : ::LoadLibraryW(name);
}

}  // namespace

namespace {

// The answers being waited for. The query's pointer is written only while it
// is in here: another program can send the same message number with any
// number, and a query that timed out is gone before its late answer comes.
std::mutex waitingLock;
std::set<AccessibleAnswer*> waiting;

}  // namespace

bool AskItem(HWND hwnd, AccessibleAnswer& answer) {
  if (!hwnd) return false;
  {
    const std::lock_guard<std::mutex> lock(waitingLock);
    waiting.insert(&answer);
  }
  DWORD_PTR result = 0;
  const bool answered = ::SendMessageTimeoutW(hwnd, kAccessibleQueryMessage, 0, reinterpret_cast<LPARAM>(&answer),
                                              SMTO_BLOCK | SMTO_ABORTIFHUNG, kQueryTimeoutMs, &result) != 0;
  const std::lock_guard<std::mutex> lock(waitingLock);
  waiting.erase(&answer);
  return answered && answer.item;
}

bool FillAnswer(LPARAM query, const AccessibleAnswer& found) {
  const std::lock_guard<std::mutex> lock(waitingLock);
  const auto at = waiting.find(reinterpret_cast<AccessibleAnswer*>(query));
  if (at == waiting.end()) return false;
  **at = found;
  return true;
}

// Posted, so that the launch runs from the window's own loop and never
// inside the client's call.
bool InvokeItem(HWND hwnd) {
  AccessibleAnswer answer;
  return AskItem(hwnd, answer) && ::PostMessageW(hwnd, kAccessibleInvokeMessage, 0, 0);
}

AccessibleItems::~AccessibleItems() {
  for (auto& [hwnd, objects] : objects_) {
    if (objects.provider) {
      ForgetWindow(objects.provider);
      objects.provider->Release();
    }
    if (objects.accessible) {
      ForgetWindow(objects.accessible);
      objects.accessible->Release();
    }
  }
  // The libraries stay: a client may still hold an object's last reference.
}

const AccessibleItems::Api* LoadAccessibleApi() {
  static const AccessibleItems::Api* loaded = [] () -> const AccessibleItems::Api* {
    // Both kinds of object are handed to their clients through COM.
    EnsureOleApartment();
    HMODULE automation = LoadSystemLibrary(L"uiautomationcore.dll");
    HMODULE oleAut = LoadSystemLibrary(L"oleaut32.dll");
    HMODULE oleAcc = LoadSystemLibrary(L"oleacc.dll");
    AccessibleItems::Api& api = loadedApi;
    const bool found = Resolve(automation, "UiaReturnRawElementProvider", api.returnProvider) &&
                       Resolve(automation, "UiaHostProviderFromHwnd", api.hostProvider) &&
                       Resolve(automation, "UiaRaiseAutomationEvent", api.raiseEvent) &&
                       Resolve(automation, "UiaClientsAreListening", api.clientsListening) &&
                       Resolve(oleAut, "SysAllocString", api.allocString) &&
                       Resolve(oleAcc, "LresultFromObject", api.resultFromObject) &&
                       Resolve(oleAcc, "CreateStdAccessibleObject", api.standardObject);
    return found ? &api : nullptr;
  }();
  return loaded;
}

bool AccessibleItems::Load() {
  if (api_) return true;
  if (loadFailed_) return false;
  api_ = LoadAccessibleApi();
  loadFailed_ = api_ == nullptr;
  if (loadFailed_) {
    ReportFailure(Severity::Warning,
                  "The accessibility libraries are missing: the items are not shown to assistive clients");
  }
  return api_ != nullptr;
}

bool AccessibleItems::Answers(LPARAM lParam) {
  const LONG object = static_cast<LONG>(lParam);
  return object == kRootObjectId || object == OBJID_CLIENT;
}

std::optional<LRESULT> AccessibleItems::Answer(HWND hwnd, WPARAM wParam, LPARAM lParam, bool isItem) {
  const LONG object = static_cast<LONG>(lParam);
  if (!Answers(lParam) || !isItem || !Load()) return std::nullopt;
  Objects& objects = objects_[hwnd];
  if (object == kRootObjectId) {
    if (!objects.provider) objects.provider = MakeItemProvider(hwnd, *api_);
    return api_->returnProvider(hwnd, wParam, lParam, objects.provider);
  }
  if (!objects.accessible) {
    IAccessible* standard = nullptr;
    if (FAILED(api_->standardObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
      return std::nullopt;
    objects.accessible = MakeItemAccessible(hwnd, standard, *api_);
    standard->Release();
  }
  return api_->resultFromObject(__uuidof(IAccessible), wParam, objects.accessible);
}

void AccessibleItems::Forget(HWND hwnd) {
  const auto found = objects_.find(hwnd);
  if (found == objects_.end()) return;
  Objects& objects = found->second;
  if (objects.provider) {
    ForgetWindow(objects.provider);
    // Lets the automation library give up what it holds for the window.
    api_->returnProvider(hwnd, 0, 0, nullptr);
    objects.provider->Release();
  }
  if (objects.accessible) {
    ForgetWindow(objects.accessible);
    objects.accessible->Release();
  }
  objects_.erase(found);
}

void AccessibleItems::FocusMoved(HWND hwnd) {
  if (!hwnd) return;
  ::NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, CHILDID_SELF);
  if (!api_ || !api_->clientsListening()) return;
  const auto found = objects_.find(hwnd);
  if (found != objects_.end() && found->second.provider) api_->raiseEvent(found->second.provider, kFocusChangedEvent);
}

}  // namespace qv::win32
