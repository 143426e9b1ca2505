#pragma once

// Dialog windows described by plain values. The core says what a form holds
// (controls, captions, places, tab order) and reacts to what the user does
// through IFormEvents; the backend makes real child controls or, for tests, a
// table of values a test reads and sets. Controls are addressed by the names
// the core gave them ("EditName", "BitBtnOK"), never by handles.
//
// Setting a value from the core never raises an event: only the user's own
// actions do. Code that wants its change handler to run calls it itself.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Surface.h"

namespace qv {

using FormId = std::uint32_t;
inline constexpr FormId kNoForm = 0;

enum class ControlKind { Label, Edit, Button, CheckBox, ComboBox, TrackBar, Picture, GroupBox, PageControl, LinkLabel };

// Enter presses the default button; Escape presses the cancel button (or,
// without one, closes the form as its close box would).
enum class ButtonRole { None, Default, Cancel };

// Colours are 0x00BBGGRR values.
inline constexpr std::uint32_t kColorBlue = 0x00FF0000;
inline constexpr std::uint32_t kColorFuchsia = 0x00FF00FF;
inline constexpr std::uint32_t kColorBlack = 0x00000000;

struct ControlFont {
  std::string face;  // empty: the form's face
  int points = 0;    // size in points; 0 with pixels 0: the form's size
  int pixels = 0;    // character height in pixels, when given instead of points
  bool bold = false;
  bool underline = false;
  bool italic = false;
  bool strikeout = false;
};

struct ControlSpec {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string caption;  // label, button, check box, group box and link text; the edit's initial text
  // Left, top, width, height inside the parent: the form's client area, the
  // group box named by `parent`, or the page `page` of the form's page control.
  // Labels and links with a width of 0 take the size of their text.
  Rect bounds;
  int tabOrder = -1;   // -1: not reached by Tab
  int page = -1;       // index of the page holding it; -1: the form itself
  std::string parent;  // a group box the bounds are relative to
  ButtonRole role = ButtonRole::None;
  std::optional<ControlFont> font;
  std::optional<std::uint32_t> color;  // text colour of labels and links
  // Links: the colour and underline while the pointer is over them.
  std::optional<std::uint32_t> hoverColor;
  bool hoverUnderline = false;
  std::vector<std::string> items;  // combo box entries; page captions of a page control
  // Track bars.
  int min = 0;
  int max = 10;
  int tickFrequency = 0;  // 0: no ticks
  int position = 0;
  int lineSize = 1;
  int pageSize = 1;
  bool checked = false;  // check boxes
  // Edits: the keys pressed in it and its gaining the focus are reported
  // (OnKeyDown, OnFocus) and typing does not change the text; the core sets it.
  bool keyEvents = false;
  // Labels: the text centred both ways inside a sunken frame (a preview panel).
  bool sunken = false;
};

struct FormSpec {
  std::string name;  // the program's name of the form ("FormAbout")
  std::string caption;
  Size clientSize;
  std::string fontFace = "Tahoma";
  int fontPoints = 8;
  std::vector<ControlSpec> controls;
};

// What the user did on a form. All arrive on the GUI thread, outside any call
// the core made into IForms.
class IFormEvents {
 public:
  virtual ~IFormEvents() = default;
  // Buttons, check boxes (after the tick changed), links and pictures.
  virtual void OnClick(FormId form, const std::string& control) = 0;
  // An edit's text, a track bar's position or a combo box's selection.
  virtual void OnChange(FormId /*form*/, const std::string& /*control*/) {}
  // The close box, Alt+F4, or Escape on a form without a cancel button.
  // The form stays until the core destroys it.
  virtual void OnCloseRequest(FormId form) = 0;
  virtual void OnLinkHover(FormId /*form*/, const std::string& /*control*/, bool /*inside*/) {}
  // Edits with keyEvents. Tab, Enter and Escape move the focus or press the
  // buttons as in any dialog and never arrive here.
  virtual void OnFocus(FormId /*form*/, const std::string& /*control*/) {}
  virtual void OnKeyDown(FormId /*form*/, const std::string& /*control*/, unsigned /*virtualKey*/) {}
};

// A font as the font dialog shows it, with the colour it offers.
struct FontChoice {
  std::string face;
  int size = 0;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  std::uint32_t color = 0;
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

struct FileVersion {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

class IForms {
 public:
  virtual ~IForms() = default;
  // Makes the form hidden, centred on the screen, owned by the main form.
  // kNoForm when it cannot be made.
  virtual FormId CreateForm(const FormSpec& design, IFormEvents& events) = 0;
  virtual void ShowForm(FormId form) = 0;
  virtual void DestroyForm(FormId form) = 0;
  virtual void BringToFront(FormId form) = 0;
  virtual bool FormExists(FormId form) const = 0;

  virtual std::string Text(FormId form, const std::string& control) const = 0;
  virtual void SetText(FormId form, const std::string& control, const std::string& text) = 0;
  virtual bool Checked(FormId form, const std::string& control) const = 0;
  virtual void SetChecked(FormId form, const std::string& control, bool checked) = 0;
  virtual int Position(FormId form, const std::string& control) const = 0;
  // Clamped to the track bar's range.
  virtual void SetPosition(FormId form, const std::string& control, int position) = 0;
  virtual int Selection(FormId form, const std::string& control) const = 0;  // -1: none
  virtual void SetSelection(FormId form, const std::string& control, int index) = 0;
  virtual void SetItems(FormId form, const std::string& control, const std::vector<std::string>& items) = 0;
  // An empty surface clears the picture.
  virtual void SetPicture(FormId form, const std::string& control, const LayeredSurface& picture) = 0;
  virtual void Enable(FormId form, const std::string& control, bool enabled) = 0;
  // A label's font and text colour from now on.
  virtual void SetFont(FormId form, const std::string& control, const ControlFont& font, std::uint32_t color) = 0;
  virtual void Focus(FormId form, const std::string& control) = 0;
  virtual void SelectPage(FormId form, int page) = 0;
  virtual int Page(FormId form) const = 0;

  // Common dialogs, modal to the form. Filters are "Description|pattern|..."
  // pairs. nullopt when the user cancelled.
  virtual std::optional<std::string> OpenFileDialog(FormId owner, const std::string& title,
                                                    const std::string& filter) = 0;
  virtual std::optional<FontChoice> ChooseFont(FormId owner, const FontChoice& initial) = 0;
  // With the custom colours part open.
  virtual std::optional<std::uint32_t> ChooseColor(FormId owner, std::uint32_t initial) = 0;

  // The file version in the running program's version resource; nullopt
  // when the program has none.
  virtual std::optional<FileVersion> ProgramFileVersion() const = 0;
};

}  // namespace qv
