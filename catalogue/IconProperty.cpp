#include "catalogue/IconProperty.h"

#include "config/Texts.h"

namespace qv::catalogue {

using T = config::TextKey;
using config::Tr;

namespace {

bool IsBlank(unsigned char c) { return c <= ' ' || c == 0x7F; }

ControlSpec Make(const char* name, ControlKind kind, const std::string& caption, Rect bounds, int tabOrder = -1) {
  ControlSpec c;
  c.name = name;
  c.kind = kind;
  c.caption = caption;
  c.bounds = bounds;
  c.tabOrder = tabOrder;
  return c;
}

ControlSpec BoldLabel(const char* name, const std::string& caption, Point at) {
  ControlSpec c = Make(name, ControlKind::Label, caption, {at.x, at.y, 0, 0});
  c.font = ControlFont{"", 0, 0, true, false};
  return c;
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && IsBlank(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

FormSpec IconPropertyFormSpec() {
  FormSpec form;
  form.name = kIconPropertyFormName;
  form.caption = Tr(T::PropertyCaption);
  form.clientSize = {469, 318};
  form.controls.push_back(Make("GroupBoxIcon", ControlKind::GroupBox, Tr(T::Preview), {32, 10, 140, 145}, 8));
  ControlSpec image = Make("ImageIcon", ControlKind::Picture, "", {6, 15, 128, 128});
  image.parent = "GroupBoxIcon";
  form.controls.push_back(image);
  ControlSpec name = BoldLabel("LabelName", Tr(T::PropertyName), {180, 41});
  name.font->points = 9;
  form.controls.push_back(name);
  form.controls.push_back(Make("EditName", ControlKind::Edit, "", {180, 60, 258, 21}, 1));
  form.controls.push_back(BoldLabel("LabelArgument", Tr(T::PropertyArgument), {180, 96}));
  form.controls.push_back(Make("EditArgument", ControlKind::Edit, "", {180, 116, 258, 21}, 5));
  form.controls.push_back(BoldLabel("LabelIcon", Tr(T::PropertyIcon), {32, 161}));
  form.controls.push_back(Make("EditIcon", ControlKind::Edit, "", {32, 181, 329, 21}, 0));
  form.controls.push_back(Make("BitBtnIcon", ControlKind::Button, Tr(T::Browse), {375, 179, 63, 25}, 3));
  form.controls.push_back(BoldLabel("LabelTarget", Tr(T::PropertyTarget), {32, 215}));
  form.controls.push_back(Make("EditTarget", ControlKind::Edit, "", {32, 234, 329, 21}, 2));
  form.controls.push_back(Make("BitBtnTarget", ControlKind::Button, Tr(T::Browse), {375, 232, 63, 25}, 4));
  ControlSpec ok = Make("BitBtnOK", ControlKind::Button, Tr(T::Ok), {282, 277, 75, 25}, 6);
  ok.role = ButtonRole::Default;
  form.controls.push_back(ok);
  ControlSpec cancel = Make("BitBtnCancel", ControlKind::Button, Tr(T::Cancel), {363, 277, 75, 25}, 7);
  cancel.role = ButtonRole::Cancel;
  form.controls.push_back(cancel);
  return form;
}

TFormIconProperty::TFormIconProperty(IForms& forms, const IPropertyItems& items, IPropertyEdits& edits,
                                     WindowId item, const ItemProperties& values, std::function<void()> onClosed)
    : forms_(forms), items_(items), edits_(edits), item_(item), onClosed_(std::move(onClosed)) {
  form_ = forms_.CreateForm(IconPropertyFormSpec(), *this);
  if (form_ != kNoForm) FormCreate(values);
}

TFormIconProperty::~TFormIconProperty() {
  if (form_ != kNoForm) forms_.DestroyForm(form_);
}

void TFormIconProperty::FormCreate(const ItemProperties& values) {
  // Every field is filled before the preview is tried, so a picture that
  // cannot be loaded leaves an empty preview and nothing else missing.
  forms_.SetText(form_, "EditIcon", values.IconPath);
  forms_.SetText(form_, "EditTarget", values.Target);
  forms_.SetText(form_, "EditName", values.Name);
  forms_.SetText(form_, "EditArgument", values.Argument);
  LoadPreview();
}

void TFormIconProperty::LoadPreview() {
  const std::string path = forms_.Text(form_, "EditIcon");
  forms_.SetPicture(form_, "ImageIcon", items_.LoadPreview(path));
}

void TFormIconProperty::FormShow() {
  if (form_ == kNoForm) return;
  forms_.ShowForm(form_);
  forms_.Focus(form_, "BitBtnOK");
}

void TFormIconProperty::BringToFront() {
  if (form_ != kNoForm) forms_.BringToFront(form_);
}

void TFormIconProperty::OnClick(FormId, const std::string& control) {
  if (control == "BitBtnIcon") {
    BitBtnIconClick();
  } else if (control == "BitBtnTarget") {
    BitBtnTargetClick();
  } else if (control == "BitBtnOK") {
    BitBtnOKClick();
  } else if (control == "BitBtnCancel") {
    FormClose();
  }
}

void TFormIconProperty::OnCloseRequest(FormId) { FormClose(); }

// The file dialogs run a loop of their own, in which the dialog may be
// closed, or freed by a properties command for another item.
void TFormIconProperty::BitBtnIconClick() {
  const std::weak_ptr<const bool> alive = life_;
  const std::optional<std::string> path = forms_.OpenFileDialog(form_, "", Tr(T::PictureFilter));
  if (!path || alive.expired() || form_ == kNoForm) return;
  forms_.SetText(form_, "EditIcon", *path);
  LoadPreview();
}

void TFormIconProperty::BitBtnTargetClick() {
  const std::weak_ptr<const bool> alive = life_;
  const std::optional<std::string> path = forms_.OpenFileDialog(form_, "", "");
  if (!path || alive.expired() || form_ == kNoForm) return;
  forms_.SetText(form_, "EditTarget", *path);
}

void TFormIconProperty::BitBtnOKClick() {
  ItemProperties values;
  values.IconPath = TrimBlanks(forms_.Text(form_, "EditIcon"));
  values.Target = TrimBlanks(forms_.Text(form_, "EditTarget"));
  values.Name = TrimBlanks(forms_.Text(form_, "EditName"));
  values.Argument = TrimBlanks(forms_.Text(form_, "EditArgument"));
  // The item may have gone while the dialog was open; its slot may hold
  // another item by now, which must not receive these values.
  const int slot = items_.SlotOfItem(item_);
  if (slot != 0) edits_.EditProperties(slot, values);
  // Closing lets the owner free this object: what follows uses locals only.
  IPropertyEdits& edits = edits_;
  FormClose();
  edits.TellFailures();
}

void TFormIconProperty::FormClose() {
  // Once only: the owner's onClosed_ takes this object over.
  if (form_ == kNoForm) return;
  forms_.DestroyForm(form_);
  form_ = kNoForm;
  if (onClosed_) onClosed_();
}

IconPropertyDialog::~IconPropertyDialog() = default;

void IconPropertyDialog::OpenProperties(int slot) {
  closing_.reset();
  const WindowId item = items_.ItemWindow(slot);
  if (item == kNoWindow) return;
  if (form_ && form_->Item() == item) {
    form_->BringToFront();
    return;
  }
  if (form_) form_->FormClose();
  closing_.reset();
  const ItemProperties values = items_.ReadProperties(slot);
  form_ = std::make_unique<TFormIconProperty>(forms_, items_, edits_, item, values,
                                              [this] { closing_ = std::move(form_); });
  if (form_->Form() == kNoForm) {
    form_.reset();
    return;
  }
  form_->FormShow();
}

void IconPropertyDialog::ItemsChanged() {
  if (form_ && items_.SlotOfItem(form_->Item()) == 0) form_->FormClose();
}

}  // namespace qv::catalogue
