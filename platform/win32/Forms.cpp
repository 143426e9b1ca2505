#include "platform/win32/Forms.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/win32/FormLayout.h"
#include "platform/win32/GeometryWin32.h"
#include "platform/win32/Utf.h"

// After <windows.h>.
#include <commctrl.h>
#include <uxtheme.h>

namespace qv::win32 {

namespace {

// The forms of this thread, for the message loop's keyboard handling.
std::set<HWND>& OpenForms() {
  static std::set<HWND> forms;
  return forms;
}

// While the core changes a control, the control's notifications are its own
// doing, not the user's.
class Quiet {
 public:
  explicit Quiet(Win32Forms::Form& form) : form_(form) { ++form_.quiet; }
  ~Quiet() { --form_.quiet; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  Win32Forms::Form& form_;
};

}  // namespace

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool TranslateFormMessage(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  for (HWND form : OpenForms())
    if ((form == message.hwnd || ::IsChild(form, message.hwnd)) && ::IsDialogMessageW(form, &message)) return true;
  return false;
}

Win32Forms::Win32Forms(HINSTANCE instance, std::function<HWND()> owner)
    : instance_(instance), owner_(std::move(owner)) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Forms::FormProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  wc.hIcon = ::LoadIconW(instance_, L"MAINICON");
  ::RegisterClassExW(&wc);  // fails harmlessly when a second object registers it again
}

Win32Forms::~Win32Forms() {
  while (!forms_.empty()) DestroyForm(forms_.begin()->first);
  retired_.clear();
}

FormId Win32Forms::CreateForm(const FormSpec& design, IFormEvents& events) {
  // At the first form, not at start: the common controls are loaded then.
  static const bool controlsReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)controlsReady;
  retired_.clear();
  auto form = std::make_unique<Form>();
  form->owner = this;
  form->id = nextId_++;
  form->design = design;
  form->events = &events;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // Centred for the system's DPI first; once the window exists it knows the
  // DPI of the monitor it landed on, which decides its real size.
  auto centre = [&](int dpi) {
    const Size frame = FrameForClient(design.clientSize, style, exStyle, dpi);
    return Rect{static_cast<int>(work.left) + (static_cast<int>(work.right - work.left) - frame.width) / 2,
                static_cast<int>(work.top) + (static_cast<int>(work.bottom - work.top) - frame.height) / 2, frame.width,
                frame.height};
  };
  form->dpi = SystemDpi();
  Rect place = centre(form->dpi);
  const std::wstring caption = Widen(design.caption);
  HWND hwnd = ::CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, place.left, place.top, place.width,
                                place.height, owner_ ? owner_() : nullptr, nullptr, instance_, form.get());
  if (!hwnd) return kNoForm;
  if (const int dpi = WindowDpi(hwnd); dpi != form->dpi) {
    form->dpi = dpi;
    place = centre(dpi);
    ::SetWindowPos(hwnd, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitClientArea(*form);
  form->nameAtom = ::GlobalAddAtomW(Widen(design.name).c_str());
  ::SetPropW(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(form->nameAtom)));
  CreateControls(*form);
  OpenForms().insert(hwnd);
  const FormId id = form->id;
  forms_.emplace(id, std::move(form));
  return id;
}

void Win32Forms::CreateControls(Form& form) {
  Quiet quiet(form);
  HWND hwnd = form.window.Get();
  // Creation order is the order Tab follows: group boxes first (they are
  // drawn under what they hold), then the tab stops in order, then the rest.
  std::vector<std::size_t> order(form.design.controls.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto rank = [&](std::size_t i) {
    const ControlSpec& c = form.design.controls[i];
    if (c.kind == ControlKind::PageControl) return -2;
    if (c.kind == ControlKind::GroupBox) return -1;
    return c.tabOrder >= 0 ? c.tabOrder : 1 << 20;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
  form.controls.resize(form.design.controls.size());

  for (std::size_t i : order) {
    const ControlSpec& design = form.design.controls[i];
    Control& c = form.controls[i];
    c.design = design;
    c.id = design.role == ButtonRole::Default  ? IDOK
           : design.role == ButtonRole::Cancel ? IDCANCEL
                                               : kFirstControlId + static_cast<int>(i);
    const wchar_t* cls = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (design.kind) {
      case ControlKind::Label:
        style |= (design.sunken ? SS_CENTER | SS_CENTERIMAGE : SS_LEFT) | SS_NOPREFIX;
        if (design.sunken) exStyle |= WS_EX_STATICEDGE;
        break;
      case ControlKind::LinkLabel:
        style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
        break;
      case ControlKind::Picture:
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
      case ControlKind::Edit:
        cls = WC_EDITW;
        style |= ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Button:
        cls = WC_BUTTONW;
        style |= design.role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
      case ControlKind::CheckBox:
        cls = WC_BUTTONW;
        style |= BS_AUTOCHECKBOX;
        break;
      case ControlKind::GroupBox:
        cls = WC_BUTTONW;
        style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
        break;
      case ControlKind::ComboBox:
        cls = WC_COMBOBOXW;
        style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        break;
      case ControlKind::TrackBar:
        cls = TRACKBAR_CLASSW;
        style |= TBS_HORZ | (design.tickFrequency > 0 ? TBS_AUTOTICKS : TBS_NOTICKS);
        break;
      case ControlKind::PageControl:
        cls = WC_TABCONTROLW;
        style |= WS_CLIPSIBLINGS;
        break;
    }
    if (design.tabOrder >= 0 && design.kind != ControlKind::GroupBox) style |= WS_TABSTOP;
    const std::wstring caption = Widen(design.caption);
    // Placed, sized and given their fonts all at once afterwards, at the form's DPI.
    c.window = ::CreateWindowExW(exStyle, cls, caption.c_str(), style, 0, 0, 0, 0, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
    if (!c.window) continue;
    c.nameAtom = ::GlobalAddAtomW(Widen(design.name).c_str());
    ::SetPropW(c.window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(c.nameAtom)));
    switch (design.kind) {
      case ControlKind::TrackBar:
        ::SendMessageW(c.window, TBM_SETRANGEMIN, FALSE, design.min);
        ::SendMessageW(c.window, TBM_SETRANGEMAX, FALSE, design.max);
        if (design.tickFrequency > 0)
          ::SendMessageW(c.window, TBM_SETTICFREQ, static_cast<WPARAM>(design.tickFrequency), 0);
        ::SendMessageW(c.window, TBM_SETLINESIZE, 0, design.lineSize);
        ::SendMessageW(c.window, TBM_SETPAGESIZE, 0, design.pageSize);
        ::SendMessageW(c.window, TBM_SETPOS, TRUE, design.position);
        c.lastPosition = static_cast<int>(::SendMessageW(c.window, TBM_GETPOS, 0, 0));
        break;
      case ControlKind::CheckBox:
        ::SendMessageW(c.window, BM_SETCHECK, design.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case ControlKind::ComboBox:
        for (const std::string& item : design.items)
          ::SendMessageW(c.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        break;
      case ControlKind::PageControl: {
        form.pages = c.window;
        // The classic look: its page body in the dialog colour, the colour
        // every label and check box on it is drawn over.
        ::SetWindowTheme(c.window, L" ", L" ");
        for (std::size_t p = 0; p < design.items.size(); ++p) {
          std::wstring text = Widen(design.items[p]);
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = text.data();
          ::SendMessageW(c.window, TCM_INSERTITEMW, p, reinterpret_cast<LPARAM>(&item));
        }
        break;
      }
      case ControlKind::GroupBox:
        ::SetWindowSubclass(c.window, &GroupBoxProc, 3, 0);
        break;
      case ControlKind::LinkLabel:
        ::SetWindowSubclass(c.window, &Win32Forms::LinkProc, 1, reinterpret_cast<DWORD_PTR>(&form));
        break;
      case ControlKind::Edit:
        if (design.keyEvents)
          ::SetWindowSubclass(c.window, &Win32Forms::KeyEditProc, 2, reinterpret_cast<DWORD_PTR>(&form));
        break;
      default:
        break;
    }
  }
  LayOut(form);
  // Group boxes lie under what they hold, clipped by it, and paint the rest
  // of their inside themselves: the form clips its children out of its own
  // painting, so nobody else would, and the inside showed black.
  for (const Control& c : form.controls)
    if (c.window && c.design.kind == ControlKind::GroupBox)
      ::SetWindowPos(c.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (form.pages) {
    // The page control lies under the controls of its pages: above them, its
    // own painting would cover theirs (edit frames, owner-drawn pictures).
    ::SetWindowPos(form.pages, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowPage(form, 0);
  }
}

HFONT Win32Forms::MakeFont(Form& form, const ControlFont& font) {
  const std::wstring face = Widen(font.face.empty() ? form.design.fontFace : font.face);
  HFONT handle =
      ::CreateFontW(FontHeight(font, form.design.fontPoints, form.dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                    font.italic, font.underline, font.strikeout, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  form.fonts.emplace_back(handle);
  return handle;
}

void Win32Forms::ShowPage(Form& form, int page) {
  ::SendMessageW(form.pages, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  for (const Control& c : form.controls)
    if (c.window && c.design.page >= 0) ::ShowWindow(c.window, c.design.page == page ? SW_SHOWNA : SW_HIDE);
}

namespace {

// The ring and the dock are popups of this program, in the topmost layer
// when the user put them in front: a dialog of the program goes to the top
// of the layer its owner lives in, so that it never opens behind them, and
// takes the foreground. Raising it also restacks it above the unmanaged
// popups a window manager keeps on top otherwise.
void RaiseDialog(HWND dialog) {
  const HWND owner = ::GetWindow(dialog, GW_OWNER);
  const bool topmost = owner && (::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ::SetWindowPos(dialog, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  ::SetForegroundWindow(dialog);
}

}  // namespace

void Win32Forms::ShowForm(FormId id) {
  if (Form* form = Get(id)) {
    ::ShowWindow(form->window.Get(), SW_SHOWNORMAL);
    RaiseDialog(form->window.Get());
  }
}

void Win32Forms::DestroyForm(FormId id) {
  auto it = forms_.find(id);
  if (it == forms_.end()) return;
  std::unique_ptr<Form> form = std::move(it->second);
  forms_.erase(it);
  HWND hwnd = form->window.Get();
  OpenForms().erase(hwnd);
  // Late messages of the dying window reach nothing.
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  for (Control& c : form->controls) {
    if (c.window) {
      if (c.design.kind == ControlKind::LinkLabel) ::RemoveWindowSubclass(c.window, &Win32Forms::LinkProc, 1);
      if (c.design.keyEvents) ::RemoveWindowSubclass(c.window, &Win32Forms::KeyEditProc, 2);
      ::RemovePropW(c.window, kNameProperty);
    }
    if (c.nameAtom) ::GlobalDeleteAtom(c.nameAtom);
  }
  ::RemovePropW(hwnd, kNameProperty);
  if (form->nameAtom) ::GlobalDeleteAtom(form->nameAtom);
  // Give the activation back to the main form rather than to whatever the
  // system picks when the owned window goes.
  form->window.Reset();
  retired_.push_back(std::move(form));
}

void Win32Forms::BringToFront(FormId id) {
  if (Form* form = Get(id)) {
    if (::IsIconic(form->window.Get())) ::ShowWindow(form->window.Get(), SW_RESTORE);
    RaiseDialog(form->window.Get());
  }
}

std::string Win32Forms::Text(FormId form, const std::string& name) const {
  const Control* c = Find(form, name);
  if (!c || !c->window) return {};
  return Narrow(WindowText(c->window));
}

void Win32Forms::SetText(FormId id, const std::string& name, const std::string& text) {
  Control* c = Find(id, name);
  if (!c || !c->window) return;
  Quiet quiet(*Get(id));
  ::SetWindowTextW(c->window, Widen(text).c_str());
}

bool Win32Forms::Checked(FormId form, const std::string& name) const {
  const Control* c = Find(form, name);
  return c && c->window && ::SendMessageW(c->window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Forms::SetChecked(FormId id, const std::string& name, bool checked) {
  if (Control* c = Find(id, name); c && c->window) {
    Quiet quiet(*Get(id));
    ::SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

int Win32Forms::Position(FormId form, const std::string& name) const {
  const Control* c = Find(form, name);
  return c && c->window ? static_cast<int>(::SendMessageW(c->window, TBM_GETPOS, 0, 0)) : 0;
}

void Win32Forms::SetPosition(FormId id, const std::string& name, int position) {
  if (Control* c = Find(id, name); c && c->window) {
    Quiet quiet(*Get(id));
    ::SendMessageW(c->window, TBM_SETPOS, TRUE, position);
    c->lastPosition = static_cast<int>(::SendMessageW(c->window, TBM_GETPOS, 0, 0));
  }
}

int Win32Forms::Selection(FormId form, const std::string& name) const {
  const Control* c = Find(form, name);
  if (!c || !c->window) return -1;
  const LRESULT index = ::SendMessageW(c->window, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32Forms::SetSelection(FormId id, const std::string& name, int index) {
  if (Control* c = Find(id, name); c && c->window) {
    Quiet quiet(*Get(id));
    ::SendMessageW(c->window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void Win32Forms::SetItems(FormId id, const std::string& name, const std::vector<std::string>& items) {
  if (Control* c = Find(id, name); c && c->window) {
    Quiet quiet(*Get(id));
    ::SendMessageW(c->window, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
      ::SendMessageW(c->window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
}

void Win32Forms::SetPicture(FormId id, const std::string& name, const LayeredSurface& picture) {
  if (Control* c = Find(id, name); c && c->window) {
    c->picture = picture;
    c->fitted = {};
    ::InvalidateRect(c->window, nullptr, TRUE);
  }
}

void Win32Forms::SetFont(FormId id, const std::string& name, const ControlFont& font, std::uint32_t color) {
  Form* form = Get(id);
  Control* c = Find(id, name);
  if (!form || !c || !c->window) return;
  // The form keeps every font it made until it goes: a few per font change.
  c->font = MakeFont(*form, font);
  c->design.font = font;  // made again at another DPI
  c->design.color = color;
  ::SendMessageW(c->window, WM_SETFONT, reinterpret_cast<WPARAM>(c->font), TRUE);
  ::InvalidateRect(c->window, nullptr, TRUE);
}

void Win32Forms::Enable(FormId id, const std::string& name, bool enabled) {
  if (Control* c = Find(id, name); c && c->window) ::EnableWindow(c->window, enabled);
}

void Win32Forms::Focus(FormId id, const std::string& name) {
  Form* form = Get(id);
  Control* c = Find(id, name);
  if (!form || !c || !c->window) return;
  // WM_NEXTDLGCTL also moves the default-button frame, as a dialog does.
  ::SendMessageW(form->window.Get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c->window), TRUE);
}

void Win32Forms::SelectPage(FormId id, int page) {
  if (Form* form = Get(id); form && form->pages) ShowPage(*form, page);
}

int Win32Forms::Page(FormId id) const {
  const Form* form = Get(id);
  return form && form->pages ? static_cast<int>(::SendMessageW(form->pages, TCM_GETCURSEL, 0, 0)) : 0;
}

LRESULT CALLBACK Win32Forms::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    if (message == WM_NCCREATE) {
      auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      form->window.Reset(hwnd);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (form) form->window.Release();
    }
    if (form && message != WM_NCDESTROY) return form->owner->HandleMessage(*form, message, wParam, lParam);
  } catch (...) {
    // Nothing unwinds into the window system.
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Forms::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) noexcept {
  try {
    auto* form = reinterpret_cast<Form*>(data);
    Control* c = form->owner->FindByWindow(*form, hwnd);
    if (c) {
      if (message == WM_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      const bool enter = message == WM_MOUSEMOVE && !c->hovered;
      const bool leave = message == WM_MOUSELEAVE && c->hovered;
      if (enter || leave) {
        c->hovered = enter;
        if (enter) {
          TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
          ::TrackMouseEvent(&track);
        }
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(enter ? c->hoverFont : c->font), TRUE);
        const std::string name = c->design.name;
        const FormId id = form->id;
        form->events->OnLinkHover(id, name, enter);
        return 0;
      }
    }
  } catch (...) {
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// An edit that reports its keys: the core decides what the text becomes, so
// typed characters never reach the edit itself. Tab, Enter and Escape were
// already taken by the dialog navigation before the key got here.
LRESULT CALLBACK Win32Forms::GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR) noexcept {
  if (message == WM_ERASEBKGND) {
    RECT inside{};
    ::GetClientRect(hwnd, &inside);
    ::FillRect(reinterpret_cast<HDC>(wParam), &inside, ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32Forms::KeyEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) noexcept {
  try {
    auto* form = reinterpret_cast<Form*>(data);
    if (Control* c = form->owner->FindByWindow(*form, hwnd)) {
      const std::string name = c->design.name;
      const FormId id = form->id;
      IFormEvents& events = *form->events;
      switch (message) {
        case WM_KEYDOWN:
          events.OnKeyDown(id, name, static_cast<unsigned>(wParam));
          return 0;
        case WM_CHAR:
        case WM_PASTE:
          return 0;
        case WM_SETFOCUS: {
          const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
          events.OnFocus(id, name);
          return result;
        }
        default:
          break;
      }
    }
  } catch (...) {
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Win32Forms::HandleMessage(Form& form, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = form.window.Get();
  const FormId id = form.id;
  IFormEvents& events = *form.events;
  switch (message) {
    case WM_CLOSE:
      events.OnCloseRequest(id);
      return 0;
    case DM_GETDEFID:
      for (const Control& c : form.controls)
        if (c.design.role == ButtonRole::Default) return MAKELRESULT(IDOK, DC_HASDEFID);
      return 0;
    case WM_COMMAND: {
      if (form.quiet > 0) break;
      const int code = HIWORD(wParam);
      const int controlId = LOWORD(wParam);
      Control* c = FindById(form, controlId);
      if (!c && controlId == IDCANCEL && lParam == 0) {
        // Escape on a form without a cancel button.
        events.OnCloseRequest(id);
        return 0;
      }
      if (!c) break;
      const std::string name = c->design.name;
      switch (c->design.kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
          if (code == BN_CLICKED) events.OnClick(id, name);
          return 0;
        case ControlKind::LinkLabel:
        case ControlKind::Picture:
          if (code == STN_CLICKED) events.OnClick(id, name);
          return 0;
        case ControlKind::Edit:
          if (code == EN_CHANGE) events.OnChange(id, name);
          return 0;
        case ControlKind::ComboBox:
          if (code == CBN_SELCHANGE) events.OnChange(id, name);
          return 0;
        default:
          break;
      }
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      Control* c = FindByWindow(form, reinterpret_cast<HWND>(lParam));
      if (!c || c->design.kind != ControlKind::TrackBar) break;
      const int position = static_cast<int>(::SendMessageW(c->window, TBM_GETPOS, 0, 0));
      if (position == c->lastPosition || form.quiet > 0) return 0;
      c->lastPosition = position;
      events.OnChange(id, c->design.name);
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == form.pages && header->code == TCN_SELCHANGE) {
        ShowPage(form, static_cast<int>(::SendMessageW(form.pages, TCM_GETCURSEL, 0, 0)));
        if (Control* c = FindByWindow(form, form.pages); c && form.quiet == 0) events.OnChange(id, c->design.name);
        return 0;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      Control* c = FindByWindow(form, reinterpret_cast<HWND>(lParam));
      if (c && c->design.kind != ControlKind::Picture) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool hovered = c->hovered && c->design.hoverColor;
        if (hovered || c->design.color) {
          ::SetTextColor(dc, hovered ? *c->design.hoverColor : *c->design.color);
          ::SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
      }
      break;
    }
    case WM_DPICHANGED:
      ChangeDpi(form, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Control* c = FindByWindow(form, item->hwndItem)) {
        DrawPicture(*c, form.dpi, *item);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

Win32Forms::Form* Win32Forms::Get(FormId form) const {
  auto it = forms_.find(form);
  return it == forms_.end() ? nullptr : it->second.get();
}

Win32Forms::Control* Win32Forms::Find(FormId id, const std::string& name) const {
  Form* form = Get(id);
  if (!form) return nullptr;
  for (Control& c : form->controls)
    if (c.design.name == name) return &c;
  return nullptr;
}

Win32Forms::Control* Win32Forms::FindById(Form& form, int id) const {
  for (Control& c : form.controls)
    if (c.id == id && c.window) return &c;
  return nullptr;
}

Win32Forms::Control* Win32Forms::FindByWindow(Form& form, HWND window) const {
  for (Control& c : form.controls)
    if (c.window == window && window) return &c;
  return nullptr;
}

}  // namespace qv::win32
