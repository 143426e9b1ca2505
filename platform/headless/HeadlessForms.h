#pragma once

// The forms of the headless desktop: a table of forms and their controls'
// values. A test reads what the dialog shows and acts as the user would
// (types into an edit, clicks a button, moves a track bar, closes the form);
// those actions raise the same events the real controls do.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Forms.h"

namespace qv::headless {

struct ControlState {
  ControlSpec design;
  std::string text;
  bool checked = false;
  int position = 0;
  int selection = -1;
  std::vector<std::string> items;
  LayeredSurface picture;
  bool enabled = true;
  bool hovered = false;
  std::optional<ControlFont> font;  // as the core last set it
  std::optional<std::uint32_t> color;
};

struct FormRecord {
  FormId id = kNoForm;
  FormSpec design;
  IFormEvents* events = nullptr;
  bool visible = false;
  int page = 0;
  std::string focus;                   // the control holding the keyboard focus
  unsigned raisedAt = 0;               // larger is nearer the top
  std::vector<ControlState> controls;  // in the order of the design

  const ControlState* Find(const std::string& name) const;
  ControlState* Find(const std::string& name);
};

struct FileDialogRecord {
  FormId owner = kNoForm;
  std::string title;
  std::string filter;
};

class HeadlessForms final : public IForms {
 public:
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
  std::optional<FileVersion> ProgramFileVersion() const override { return version_; }

  // What a test looks at.
  const FormRecord* Find(FormId form) const;
  const FormRecord* FindByName(const std::string& name) const;  // the newest form of that name
  std::vector<const FormRecord*> Forms() const;
  const std::vector<FileDialogRecord>& FileDialogs() const { return fileDialogs_; }
  FormId Topmost() const;  // the visible form raised last

  // The machine's answers.
  void SetProgramFileVersion(std::optional<FileVersion> version) { version_ = version; }
  void ScriptFileChoice(std::optional<std::string> path) { fileChoices_.push_back(std::move(path)); }
  void ScriptFontChoice(std::optional<FontChoice> font) { fontChoices_.push_back(std::move(font)); }
  void ScriptColorChoice(std::optional<std::uint32_t> color) { colorChoices_.push_back(color); }

  // While a message box is up every form is disabled, as the window system
  // disables them.
  void Hold(bool held) { held_ = held; }

  // The user's actions. Each returns false when the control cannot take it
  // (absent, disabled, of another kind, on a hidden form, held by a box).
  bool Click(FormId form, const std::string& control);
  bool Type(FormId form, const std::string& control, const std::string& text);
  bool MoveTrackBar(FormId form, const std::string& control, int position);
  bool Choose(FormId form, const std::string& control, int index);
  bool Hover(FormId form, const std::string& control, bool inside);
  bool PressEnter(FormId form);
  bool PressEscape(FormId form);
  bool CloseBox(FormId form);
  // The user moves the focus into a control (a click or Tab).
  bool FocusControl(FormId form, const std::string& control);
  // A key pressed in the focused control: Tab moves the focus to the next
  // tab stop; other keys reach an edit with keyEvents.
  bool PressKey(FormId form, unsigned virtualKey);

 private:
  FormRecord* Get(FormId form);
  const FormRecord* Get(FormId form) const;
  ControlState* Control(FormId form, const std::string& control);
  const ControlState* Control(FormId form, const std::string& control) const;
  ControlState* Usable(FormId form, const std::string& control, ControlKind kind);

  std::map<FormId, FormRecord> forms_;
  FormId nextId_ = 1;
  unsigned raiseCounter_ = 0;
  bool held_ = false;
  std::optional<FileVersion> version_;
  std::deque<std::optional<std::string>> fileChoices_;
  std::deque<std::optional<FontChoice>> fontChoices_;
  std::deque<std::optional<std::uint32_t>> colorChoices_;
  std::vector<FileDialogRecord> fileDialogs_;
};

}  // namespace qv::headless
