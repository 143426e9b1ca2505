#include "platform/headless/HeadlessForms.h"

#include <algorithm>

namespace qv::headless {

const ControlState* FormRecord::Find(const std::string& name) const {
  for (const ControlState& c : controls)
    if (c.design.name == name) return &c;
  return nullptr;
}

ControlState* FormRecord::Find(const std::string& name) {
  return const_cast<ControlState*>(static_cast<const FormRecord*>(this)->Find(name));
}

FormId HeadlessForms::CreateForm(const FormSpec& design, IFormEvents& events) {
  FormRecord record;
  record.id = nextId_++;
  record.design = design;
  record.events = &events;
  for (const ControlSpec& c : design.controls) {
    ControlState state;
    state.design = c;
    state.text = c.caption;
    state.checked = c.checked;
    state.position = std::clamp(c.position, c.min, std::max(c.min, c.max));
    state.items = c.items;
    record.controls.push_back(std::move(state));
  }
  const FormId id = record.id;
  forms_.emplace(id, std::move(record));
  return id;
}

void HeadlessForms::ShowForm(FormId form) {
  if (FormRecord* f = Get(form)) {
    f->visible = true;
    f->raisedAt = ++raiseCounter_;
  }
}

void HeadlessForms::DestroyForm(FormId form) { forms_.erase(form); }

void HeadlessForms::BringToFront(FormId form) {
  if (FormRecord* f = Get(form)) f->raisedAt = ++raiseCounter_;
}

std::string HeadlessForms::Text(FormId form, const std::string& control) const {
  const ControlState* c = Control(form, control);
  if (!c) return {};
  if (c->design.kind == ControlKind::ComboBox)
    return c->selection >= 0 && c->selection < static_cast<int>(c->items.size())
               ? c->items[static_cast<std::size_t>(c->selection)]
               : std::string();
  return c->text;
}

void HeadlessForms::SetText(FormId form, const std::string& control, const std::string& text) {
  if (ControlState* c = Control(form, control)) c->text = text;
}

bool HeadlessForms::Checked(FormId form, const std::string& control) const {
  const ControlState* c = Control(form, control);
  return c && c->checked;
}

void HeadlessForms::SetChecked(FormId form, const std::string& control, bool checked) {
  if (ControlState* c = Control(form, control)) c->checked = checked;
}

int HeadlessForms::Position(FormId form, const std::string& control) const {
  const ControlState* c = Control(form, control);
  return c ? c->position : 0;
}

void HeadlessForms::SetPosition(FormId form, const std::string& control, int position) {
  if (ControlState* c = Control(form, control))
    c->position = std::clamp(position, c->design.min, std::max(c->design.min, c->design.max));
}

int HeadlessForms::Selection(FormId form, const std::string& control) const {
  const ControlState* c = Control(form, control);
  return c ? c->selection : -1;
}

void HeadlessForms::SetSelection(FormId form, const std::string& control, int index) {
  // As a real list box: an index outside the list selects nothing.
  if (ControlState* c = Control(form, control))
    c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

void HeadlessForms::SetItems(FormId form, const std::string& control, const std::vector<std::string>& items) {
  if (ControlState* c = Control(form, control)) {
    c->items = items;
    c->selection = -1;
  }
}

void HeadlessForms::SetPicture(FormId form, const std::string& control, const LayeredSurface& picture) {
  if (ControlState* c = Control(form, control)) c->picture = picture;
}

void HeadlessForms::Enable(FormId form, const std::string& control, bool enabled) {
  if (ControlState* c = Control(form, control)) c->enabled = enabled;
}

void HeadlessForms::SetFont(FormId form, const std::string& control, const ControlFont& font, std::uint32_t color) {
  if (ControlState* c = Control(form, control)) {
    c->font = font;
    c->color = color;
  }
}

void HeadlessForms::Focus(FormId form, const std::string& control) {
  if (FormRecord* f = Get(form); f && f->Find(control)) f->focus = control;
}

void HeadlessForms::SelectPage(FormId form, int page) {
  if (FormRecord* f = Get(form)) f->page = page;
}

int HeadlessForms::Page(FormId form) const {
  const FormRecord* f = Get(form);
  return f ? f->page : 0;
}

std::optional<std::string> HeadlessForms::OpenFileDialog(FormId owner, const std::string& title,
                                                         const std::string& filter) {
  fileDialogs_.push_back({owner, title, filter});
  if (fileChoices_.empty()) return std::nullopt;
  std::optional<std::string> choice = std::move(fileChoices_.front());
  fileChoices_.pop_front();
  return choice;
}

std::optional<FontChoice> HeadlessForms::ChooseFont(FormId, const FontChoice&) {
  if (fontChoices_.empty()) return std::nullopt;
  std::optional<FontChoice> choice = std::move(fontChoices_.front());
  fontChoices_.pop_front();
  return choice;
}

std::optional<std::uint32_t> HeadlessForms::ChooseColor(FormId, std::uint32_t) {
  if (colorChoices_.empty()) return std::nullopt;
  const std::optional<std::uint32_t> choice = colorChoices_.front();
  colorChoices_.pop_front();
  return choice;
}

const FormRecord* HeadlessForms::Find(FormId form) const { return Get(form); }

const FormRecord* HeadlessForms::FindByName(const std::string& name) const {
  const FormRecord* found = nullptr;
  for (const auto& [id, f] : forms_)
    if (f.design.name == name) found = &f;
  return found;
}

std::vector<const FormRecord*> HeadlessForms::Forms() const {
  std::vector<const FormRecord*> all;
  for (const auto& [id, f] : forms_) all.push_back(&f);
  return all;
}

FormId HeadlessForms::Topmost() const {
  const FormRecord* top = nullptr;
  for (const auto& [id, f] : forms_)
    if (f.visible && (!top || f.raisedAt > top->raisedAt)) top = &f;
  return top ? top->id : kNoForm;
}

bool HeadlessForms::Click(FormId form, const std::string& control) {
  if (held_) return false;
  ControlState* c = Control(form, control);
  const FormRecord* f = Get(form);
  if (!c || !c->enabled || !f->visible) return false;
  switch (c->design.kind) {
    case ControlKind::CheckBox:
      c->checked = !c->checked;
      break;
    case ControlKind::Button:
    case ControlKind::LinkLabel:
    case ControlKind::Picture:
    case ControlKind::Label:
      break;
    default:
      return false;
  }
  // The handler may destroy the form: nothing of it is touched afterwards.
  f->events->OnClick(form, control);
  return true;
}

bool HeadlessForms::Type(FormId form, const std::string& control, const std::string& text) {
  ControlState* c = Usable(form, control, ControlKind::Edit);
  if (!c) return false;
  c->text = text;
  Get(form)->events->OnChange(form, control);
  return true;
}

bool HeadlessForms::MoveTrackBar(FormId form, const std::string& control, int position) {
  ControlState* c = Usable(form, control, ControlKind::TrackBar);
  if (!c) return false;
  const int clamped = std::clamp(position, c->design.min, std::max(c->design.min, c->design.max));
  if (clamped == c->position) return true;  // the control sends nothing when the thumb stays
  c->position = clamped;
  Get(form)->events->OnChange(form, control);
  return true;
}

bool HeadlessForms::Choose(FormId form, const std::string& control, int index) {
  ControlState* c = Usable(form, control, ControlKind::ComboBox);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  c->selection = index;
  Get(form)->events->OnChange(form, control);
  return true;
}

bool HeadlessForms::Hover(FormId form, const std::string& control, bool inside) {
  ControlState* c = Usable(form, control, ControlKind::LinkLabel);
  if (!c || c->hovered == inside) return false;
  c->hovered = inside;
  Get(form)->events->OnLinkHover(form, control, inside);
  return true;
}

bool HeadlessForms::PressEnter(FormId form) {
  const FormRecord* f = Get(form);
  if (!f) return false;
  for (const ControlState& c : f->controls)
    if (c.design.kind == ControlKind::Button && c.design.role == ButtonRole::Default) return Click(form, c.design.name);
  return false;
}

bool HeadlessForms::PressEscape(FormId form) {
  if (held_) return false;
  const FormRecord* f = Get(form);
  if (!f || !f->visible) return false;
  for (const ControlState& c : f->controls)
    if (c.design.kind == ControlKind::Button && c.design.role == ButtonRole::Cancel) return Click(form, c.design.name);
  f->events->OnCloseRequest(form);
  return true;
}

bool HeadlessForms::CloseBox(FormId form) {
  if (held_) return false;
  const FormRecord* f = Get(form);
  if (!f || !f->visible) return false;
  f->events->OnCloseRequest(form);
  return true;
}

bool HeadlessForms::FocusControl(FormId form, const std::string& control) {
  if (held_) return false;
  FormRecord* f = Get(form);
  ControlState* c = Control(form, control);
  if (!c || !c->enabled || !f->visible) return false;
  f->focus = control;
  f->events->OnFocus(form, control);
  return true;
}

bool HeadlessForms::PressKey(FormId form, unsigned virtualKey) {
  if (held_) return false;
  FormRecord* f = Get(form);
  if (!f || !f->visible) return false;
  constexpr unsigned kTab = 0x09;
  if (virtualKey == kTab) {
    const ControlState* current = f->Find(f->focus);
    const int from = current ? current->design.tabOrder : -1;
    const ControlState* next = nullptr;
    const ControlState* first = nullptr;
    for (const ControlState& c : f->controls) {
      const int order = c.design.tabOrder;
      if (order < 0 || !c.enabled) continue;
      if (!first || order < first->design.tabOrder) first = &c;
      if (order > from && (!next || order < next->design.tabOrder)) next = &c;
    }
    if (!next) next = first;
    return next && FocusControl(form, next->design.name);
  }
  const ControlState* c = f->Find(f->focus);
  if (!c || c->design.kind != ControlKind::Edit || !c->design.keyEvents) return false;
  f->events->OnKeyDown(form, c->design.name, virtualKey);
  return true;
}

FormRecord* HeadlessForms::Get(FormId form) {
  auto it = forms_.find(form);
  return it == forms_.end() ? nullptr : &it->second;
}

const FormRecord* HeadlessForms::Get(FormId form) const {
  auto it = forms_.find(form);
  return it == forms_.end() ? nullptr : &it->second;
}

ControlState* HeadlessForms::Control(FormId form, const std::string& control) {
  FormRecord* f = Get(form);
  return f ? f->Find(control) : nullptr;
}

const ControlState* HeadlessForms::Control(FormId form, const std::string& control) const {
  const FormRecord* f = Get(form);
  return f ? f->Find(control) : nullptr;
}

ControlState* HeadlessForms::Usable(FormId form, const std::string& control, ControlKind kind) {
  if (held_) return nullptr;
  ControlState* c = Control(form, control);
  if (!c || !c->enabled || c->design.kind != kind || !Get(form)->visible) return nullptr;
  return c;
}

}  // namespace qv::headless
