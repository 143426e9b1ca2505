#pragma once

// The program's dialogs as real windows: a top-level form owned by the main
// form, centred on the screen, not modal, with child controls of the common
// control library (visual styles come from the program's manifest). Each
// control carries its name as the window property "QuorvelName" (a global
// atom), so tools outside the process can address it; default and cancel
// buttons have the ids IDOK and IDCANCEL, the others 1000 + their index.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

inline constexpr wchar_t kFormClass[] = L"QuorvelForm";
inline constexpr wchar_t kNameProperty[] = L"QuorvelName";
inline constexpr int kFirstControlId = 1000;

// The DPI a window is drawn at: the DPI of its monitor for a program aware of
// each monitor's DPI, else the system's. Works on systems older than the
// per-window lookup.
int WindowDpi(HWND window);
int SystemDpi();
// The frame of a window whose client area is `client` logical pixels at the DPI.
Size FrameForClient(Size client, DWORD style, DWORD exStyle, int dpi);

std::wstring WindowText(HWND window);

// Lets the open forms take their keyboard messages (Tab, Enter, Escape,
// arrows) before the message loop dispatches them. True when one did.
bool TranslateFormMessage(MSG& message);

class Win32Forms final : public IForms {
 public:
  // owner: the main form, looked up when a form is made.
  Win32Forms(HINSTANCE instance, std::function<HWND()> owner);
  ~Win32Forms() override;
  Win32Forms(const Win32Forms&) = delete;
  Win32Forms& operator=(const Win32Forms&) = delete;

  // IForms
  FormId CreateForm(const FormSpec& design, IFormEvents& events) override;
  void ShowForm(FormId form) override;
  void DestroyForm(FormId form) override;
  void BringToFront(FormId form) override;
  bool FormExists(FormId form) const override { return forms_.count(form) != 0; }
  std::string Text(FormId form, const std::string& control) const override;
  void SetText(FormId form, const std::string& control, const std::string& text) override;
  bool Checked(FormId form, const std::string& control) const override;
  void SetChecked(FormId form, const std::string& control, bool checked) override;
  int Position(FormId form, const std::string& control) const override;
  void SetPosition(FormId form, const std::string& control, int position) override;
  int Selection(FormId form, const std::string& control) const override;
  void SetSelection(FormId form, const std::string& control, int index) override;
  void SetItems(FormId form, const std::string& control, const std::vector<std::string>& items) override;
  void SetPicture(FormId form, const std::string& control, const LayeredSurface& picture) override;
  void Enable(FormId form, const std::string& control, bool enabled) override;
  void SetFont(FormId form, const std::string& control, const ControlFont& font, std::uint32_t color) override;
  void Focus(FormId form, const std::string& control) override;
  void SelectPage(FormId form, int page) override;
  int Page(FormId form) const override;
  std::optional<std::string> OpenFileDialog(FormId owner, const std::string& title, const std::string& filter) override;
  std::optional<FontChoice> ChooseFont(FormId owner, const FontChoice& initial) override;
  std::optional<std::uint32_t> ChooseColor(FormId owner, std::uint32_t initial) override;
  std::optional<FileVersion> ProgramFileVersion() const override;

  struct Control {
    ControlSpec design;
    HWND window = nullptr;
    int id = 0;
    ATOM nameAtom = 0;
    HFONT font = nullptr;       // one of the form's fonts
    HFONT hoverFont = nullptr;  // links: the font while the pointer is over them
    bool hovered = false;
    int lastPosition = 0;    // track bars: a change is reported once
    int comboClosed96 = -1;  // combo boxes: the closed height at 96 DPI; -1 until measured
    LayeredSurface picture;
    LayeredSurface fitted;  // pictures: the picture at the size last drawn
  };
  struct Form {
    Win32Forms* owner = nullptr;
    FormId id = kNoForm;
    FormSpec design;
    IFormEvents* events = nullptr;
    UniqueWindow window;
    ATOM nameAtom = 0;
    std::vector<Control> controls;
    std::vector<UniqueFont> fonts;
    HWND pages = nullptr;  // the page control, if any
    int dpi = kBaseDpi;    // the DPI its controls and fonts are made for
    int quiet = 0;         // above 0 while the core changes controls: no events
  };

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept;
  static LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR) noexcept;
  static LRESULT CALLBACK KeyEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR) noexcept;
  LRESULT HandleMessage(Form& form, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(Form& form);
  // Places every control and makes every font at the form's DPI.
  void LayOut(Form& form);
  Point PageBodyAt96(Form& form, Control& pages);
  UniqueFont FontAt96(const Form& form, const Control& c) const;
  void ScaleComboHeight(const Form& form, Control& combo) const;
  void ScaleTrackBarThumb(const Form& form, Control& bar) const;
  void FitClientArea(Form& form);
  // The form moved to a display of another DPI; suggested: where the system
  // wants its frame, or null to keep its top-left.
  void ChangeDpi(Form& form, int dpi, const RECT* suggested);
  void ShowPage(Form& form, int page);
  void DrawPicture(Control& control, int dpi, const DRAWITEMSTRUCT& item) const;
  HFONT MakeFont(Form& form, const ControlFont& font);
  Form* Get(FormId form) const;
  Control* Find(FormId form, const std::string& name) const;
  Control* FindById(Form& form, int id) const;
  Control* FindByWindow(Form& form, HWND window) const;

  HINSTANCE instance_;
  std::function<HWND()> owner_;
  std::map<FormId, std::unique_ptr<Form>> forms_;
  // Forms destroyed from inside one of their own messages live until the
  // next call: their window procedure may still be on the stack.
  std::vector<std::unique_ptr<Form>> retired_;
  FormId nextId_ = 1;
};

}  // namespace qv::win32
