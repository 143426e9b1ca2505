#pragma once

// TFormIconProperty: edits the picture, name, target and arguments of one
// item. The dialog is bound to the item it was opened for, by the item's
// window: a later release on another item, or the item changing places,
// cannot move the edit to another item. At most one exists.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Forms.h"
#include "platform/Platform.h"

namespace qv::catalogue {

inline constexpr const char* kIconPropertyFormName = "FormIconProperty";
inline constexpr const char* kIconPropertyCaption = "属性：Quorvel";
inline constexpr const char* kPictureFilter =
    "All (*.png;*.ico)|*.png;*.ico|Portable Network Graphics (*.png)|*.png|Icons (*.ico)|*.ico";

// The four values the dialog edits: PropIconPath, PropName, PropTarget, PropArgument.
struct ItemProperties {
  std::string IconPath;
  std::string Name;
  std::string Target;
  std::string Argument;
  friend bool operator==(const ItemProperties&, const ItemProperties&) = default;
};

// Without leading and trailing blanks and control characters.
std::string TrimBlanks(const std::string& text);

// What the dialog reaches outside itself; the main form wires it.
struct ItemPropertyHooks {
  // The window of the item in a slot; kNoWindow for a free slot.
  std::function<WindowId(int slot)> ItemWindow;
  // The slot that holds the item of this window now; 0 when the item is gone.
  std::function<int(WindowId item)> SlotOfItem;
  // The item's values as its element in the file holds them.
  std::function<ItemProperties(int slot)> ReadItemProperties;
  // Writes the values into the element, the slot record and the window, and
  // redraws the item's picture.
  std::function<void(int slot, const ItemProperties&)> ApplyItemProperties;
  // The preview picture of a file; empty when it cannot be loaded.
  std::function<LayeredSurface(const std::string& path)> LoadPreview;
};

FormSpec IconPropertyFormSpec();

class TFormIconProperty final : public IFormEvents {
 public:
  // onClosed runs after the form is gone; the owner may let go of this object then.
  TFormIconProperty(IForms& forms, const ItemPropertyHooks& hooks, WindowId item, const ItemProperties& values,
                    std::function<void()> onClosed);
  ~TFormIconProperty() override;
  TFormIconProperty(const TFormIconProperty&) = delete;
  TFormIconProperty& operator=(const TFormIconProperty&) = delete;

  FormId Form() const { return form_; }
  WindowId Item() const { return item_; }
  void FormShow();
  void BringToFront();
  // Closes without applying anything.
  void FormClose();

  // IFormEvents
  void OnClick(FormId form, const std::string& control) override;
  void OnCloseRequest(FormId form) override;

 private:
  void FormCreate(const ItemProperties& values);
  void LoadPreview();
  void BitBtnIconClick();
  void BitBtnTargetClick();
  void BitBtnOKClick();

  IForms& forms_;
  const ItemPropertyHooks& hooks_;
  WindowId item_;
  std::function<void()> onClosed_;
  FormId form_ = kNoForm;
};

// The application's one property dialog.
class IconPropertyDialog {
 public:
  IconPropertyDialog(IForms& forms, ItemPropertyHooks hooks) : forms_(forms), hooks_(std::move(hooks)) {}
  ~IconPropertyDialog();
  IconPropertyDialog(const IconPropertyDialog&) = delete;
  IconPropertyDialog& operator=(const IconPropertyDialog&) = delete;

  // The item menus' properties entry for the item in `slot`. Asked again for the same item, the open dialog comes to
  // the front with the user's edits; asked for another item, the dialog is made anew for that one, so it never shows
  // one item's values for another.
  void OpenProperties(int slot);
  // Items were removed or moved: a dialog whose item is gone closes.
  void ItemsChanged();

  bool IsOpen() const { return form_ != nullptr; }
  FormId Form() const { return form_ ? form_->Form() : kNoForm; }

 private:
  IForms& forms_;
  ItemPropertyHooks hooks_;
  std::unique_ptr<TFormIconProperty> form_;
  std::unique_ptr<TFormIconProperty> closing_;  // kept until the event that closed it has returned
};

}  // namespace qv::catalogue
