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

// What the dialog reads of the items.
class IPropertyItems {
 public:
  virtual ~IPropertyItems() = default;
  // The window of the item in a slot, with or without a target; kNoWindow
  // for a free slot.
  virtual WindowId ItemWindow(int slot) const = 0;
  // The slot that holds the item of this window now; 0 when the item is gone.
  virtual int SlotOfItem(WindowId item) const = 0;
  // The item's values as its element in the file holds them.
  virtual ItemProperties ReadProperties(int slot) const = 0;
  // The preview picture of a file; empty when it cannot be loaded.
  virtual LayeredSurface LoadPreview(const std::string& path) const = 0;
};

// What the dialog's OK changes.
class IPropertyEdits {
 public:
  virtual ~IPropertyEdits() = default;
  // Writes the values into the element, the slot record and the window, and
  // redraws the item's picture. Shows nothing; false when the change did not
  // reach the file.
  virtual bool EditProperties(int slot, const ItemProperties& values) = 0;
  // Tells the user what could not be saved since the last call. A message
  // box runs a loop of its own: the dialog calls this once its work is done.
  virtual void TellFailures() = 0;
};

FormSpec IconPropertyFormSpec();

class TFormIconProperty final : public IFormEvents {
 public:
  // onClosed runs after the form is gone; the owner may let go of this object then.
  TFormIconProperty(IForms& forms, const IPropertyItems& items, IPropertyEdits& edits, WindowId item,
                    const ItemProperties& values, std::function<void()> onClosed);
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
  const IPropertyItems& items_;
  IPropertyEdits& edits_;
  WindowId item_;
  std::function<void()> onClosed_;
  FormId form_ = kNoForm;
  // Held only here: a handler that ran a loop of its own (a file dialog)
  // looks through a weak copy to learn whether it still has an object.
  std::shared_ptr<const bool> life_ = std::make_shared<const bool>(true);
};

// The application's one property dialog.
class IconPropertyDialog {
 public:
  IconPropertyDialog(IForms& forms, const IPropertyItems& items, IPropertyEdits& edits)
      : forms_(forms), items_(items), edits_(edits) {}
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
  const IPropertyItems& items_;
  IPropertyEdits& edits_;
  std::unique_ptr<TFormIconProperty> form_;
  std::unique_ptr<TFormIconProperty> closing_;  // kept until the event that closed it has returned
};

}  // namespace qv::catalogue
