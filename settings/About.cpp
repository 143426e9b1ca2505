#include "settings/About.h"

#include "config/Texts.h"
#include "picture/Picture.h"

namespace qv::settings {

using T = config::TextKey;
using config::Tr;

std::string VersionText(const std::optional<FileVersion>& version) {
  const std::string number =
      version ? std::to_string(version->major) + "." + std::to_string(version->minor) : std::string("0");
  return Tr(T::AboutVersion, {number});
}

FormSpec AboutFormSpec(const std::string& versionText) {
  FormSpec form;
  form.name = kAboutFormName;
  form.caption = Tr(T::AboutCaption);
  form.clientSize = {313, 181};
  const ControlFont linkFont{"Tahoma", 0, 12, false, false};
  auto label = [](const char* name, const std::string& caption, Rect bounds) {
    ControlSpec c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.caption = caption;
    c.bounds = bounds;
    return c;
  };
  auto link = [&](const char* name, const char* address, Rect bounds) {
    ControlSpec c = label(name, address, bounds);
    c.kind = ControlKind::LinkLabel;
    c.font = linkFont;
    c.color = kColorBlue;
    c.hoverUnderline = true;
    return c;
  };
  ControlSpec picture;
  picture.name = "Image1";
  picture.kind = ControlKind::Picture;
  picture.bounds = {16, 16, 100, 100};
  form.controls.push_back(picture);
  ControlSpec name = label("LName", "Quorvel", {142, 16, 0, 0});
  name.font = ControlFont{"Times New Roman", 0, 16, true, false};
  form.controls.push_back(name);
  form.controls.push_back(label("LVersion", versionText, {143, 56, 0, 0}));
  form.controls.push_back(label("LInitiator", Tr(T::AboutOwner), {143, 87, 0, 0}));
  // "Brimwold：" is wider than the 40 pixels a two-character caption needs,
  // so the links start further right, clear of it.
  form.controls.push_back(label("Label1", Tr(T::AboutSite), {16, 124, 0, 0}));
  form.controls.push_back(link("LAddress", kProductSite, {84, 123, 0, 0}));
  form.controls.push_back(label("Label2", Tr(T::AboutMaker), {16, 141, 0, 0}));
  form.controls.push_back(link("LBrimwold", kMakerSite, {84, 140, 0, 0}));
  form.controls.push_back(label("Label3", Tr(T::AboutForum), {16, 158, 0, 0}));
  form.controls.push_back(link("LBBS", kForumSite, {84, 157, 0, 0}));
  ControlSpec ok;
  ok.name = "BitBtnOK";
  ok.kind = ControlKind::Button;
  ok.caption = Tr(T::Ok);
  ok.bounds = {235, 148, 70, 25};
  ok.tabOrder = 0;
  ok.role = ButtonRole::Default;
  form.controls.push_back(ok);
  return form;
}

TFormAbout::TFormAbout(IForms& forms, IShell& shell, const ISystem& system, IDiagnostics& diagnostics,
                       std::function<void()> onClosed)
    : forms_(forms), shell_(shell), diagnostics_(diagnostics), onClosed_(std::move(onClosed)) {
  form_ = forms_.CreateForm(AboutFormSpec(VersionText(forms_.ProgramFileVersion())), *this);
  if (form_ == kNoForm) return;
  if (const std::optional<std::string> png = system.LoadResource("PNG", kAboutPictureResource))
    forms_.SetPicture(form_, "Image1", picture::LoadPictureBytes(*png));
}

TFormAbout::~TFormAbout() {
  if (form_ != kNoForm) forms_.DestroyForm(form_);
}

void TFormAbout::Show() {
  if (form_ == kNoForm) return;
  forms_.ShowForm(form_);
  forms_.Focus(form_, "BitBtnOK");
}

void TFormAbout::BringToFront() {
  if (form_ != kNoForm) forms_.BringToFront(form_);
}

void TFormAbout::OnClick(FormId, const std::string& control) {
  if (control == "BitBtnOK") {
    FormClose();
    return;
  }
  const char* address = control == "LAddress"    ? kProductSite
                        : control == "LBrimwold" ? kMakerSite
                        : control == "LBBS"      ? kForumSite
                                                 : nullptr;
  // A refused address changes nothing the user could act on here; the log keeps it.
  if (address && !shell_.Execute(std::string(kLinkScheme) + address, "", ""))
    diagnostics_.Report(Severity::Warning, std::string("The shell refused the link ") + kLinkScheme + address);
}

void TFormAbout::OnCloseRequest(FormId) { FormClose(); }

void TFormAbout::FormClose() {
  if (form_ != kNoForm) forms_.DestroyForm(form_);
  form_ = kNoForm;
  // Last: the owner may let go of this object now.
  if (onClosed_) onClosed_();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::OpenAbout() {
  closing_.reset();
  if (form_) {
    form_->BringToFront();
    return;
  }
  form_ = std::make_unique<TFormAbout>(forms_, shell_, system_, diagnostics_, [this] { closing_ = std::move(form_); });
  if (form_->Form() == kNoForm) {
    form_.reset();
    return;
  }
  form_->Show();
}

}  // namespace qv::settings
