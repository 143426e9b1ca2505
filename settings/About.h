#pragma once

// TFormAbout: the program's picture, name, version and three web links. At
// most one exists; it is made when asked for, destroyed when closed, and so
// reads the version afresh at every opening.

#include <functional>
#include <optional>
#include <string>

#include "platform/Forms.h"
#include "platform/Platform.h"

namespace qv::settings {

inline constexpr const char* kAboutFormName = "FormAbout";
inline constexpr const char* kAboutPictureResource = "ABOUTPICTURE";
// The links show their addresses without the scheme, which the room beside
// the OK button has no space for; they open over https.
inline constexpr const char* kLinkScheme = "https://";
inline constexpr const char* kProductSite = "quorvel.example";
inline constexpr const char* kMakerSite = "quorvel.example/bw";
inline constexpr const char* kForumSite = "quorvel.example/bbs";

// The version line with major.minor of the file version, or 0 for a program
// that carries no version resource ("版本：V 1.2", "版本：V 0").
std::string VersionText(const std::optional<FileVersion>& version);

FormSpec AboutFormSpec(const std::string& versionText);

class TFormAbout final : public IFormEvents {
 public:
  // onClosed runs after the form is gone; it may destroy this object.
  TFormAbout(IForms& forms, IShell& shell, const ISystem& system, IDiagnostics& diagnostics,
             std::function<void()> onClosed);
  ~TFormAbout() override;
  TFormAbout(const TFormAbout&) = delete;
  TFormAbout& operator=(const TFormAbout&) = delete;

  FormId Form() const { return form_; }
  void Show();
  void BringToFront();

  // IFormEvents
  void OnClick(FormId form, const std::string& control) override;
  void OnCloseRequest(FormId form) override;

 private:
  void FormClose();

  IForms& forms_;
  IShell& shell_;
  IDiagnostics& diagnostics_;
  std::function<void()> onClosed_;
  FormId form_ = kNoForm;
};

// The application's one about dialog: OpenAbout makes it or brings it up.
class AboutDialog {
 public:
  AboutDialog(IForms& forms, IShell& shell, const ISystem& system, IDiagnostics& diagnostics)
      : forms_(forms), shell_(shell), system_(system), diagnostics_(diagnostics) {}
  ~AboutDialog();
  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

  void OpenAbout();
  bool IsOpen() const { return form_ != nullptr; }
  FormId Form() const { return form_ ? form_->Form() : kNoForm; }

 private:
  IForms& forms_;
  IShell& shell_;
  const ISystem& system_;
  IDiagnostics& diagnostics_;
  std::unique_ptr<TFormAbout> form_;
  std::unique_ptr<TFormAbout> closing_;  // kept until the event that closed it has returned
};

}  // namespace qv::settings
