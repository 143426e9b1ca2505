#include "settings/Setup.h"

#include <algorithm>
#include <cctype>

#include "config/FontSpec.h"
#include "settings/SetupForm.h"
#include "settings/SystemTools.h"

namespace qv::settings {

namespace {

std::string TrimBlanks(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string ToolBox(char prefix, std::size_t tool) {
  return std::string(1, prefix) + (kRectSystemTools[tool].componentName + 1);
}

std::array<bool, 5> ToolsPresent(const std::vector<std::string>& files) {
  std::array<bool, 5> present{};
  for (std::size_t i = 0; i < kRectSystemTools.size(); ++i)
    present[i] = std::find(files.begin(), files.end(), kRectSystemTools[i].target) != files.end();
  return present;
}

// The small picture before the link: a blue arrow pointing down.
LayeredSurface DownArrow() {
  LayeredSurface s(16, 16);
  const std::uint32_t blue = PackBgra(0xC0, 0x40, 0x10, 255);
  for (int y = 2; y < 8; ++y)
    for (int x = 6; x < 10; ++x) s.At(x, y) = blue;
  for (int y = 8; y < 14; ++y)
    for (int x = y - 6; x < 22 - y; ++x) s.At(x, y) = blue;
  return s;
}

// The colour as a filled rectangle with a black outline, so that a colour
// close to the dialog's own still shows where it is.
LayeredSurface Swatch(std::uint32_t color) {
  LayeredSurface s(75, 25);
  const std::uint32_t fill = PackBgra(static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
                                      static_cast<std::uint8_t>(color), 255);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      s.At(x, y) = x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1 ? PackBgra(0, 0, 0, 255) : fill;
  return s;
}

}  // namespace

TFormSetup::TFormSetup(IForms& forms, config::SettingsOwner& owner, catalogue::IItemOperations& items, ISetupMachine& machine,
                       std::function<void()> onClosed)
    : forms_(forms), owner_(owner), items_(items), machine_(machine), onClosed_(std::move(onClosed)) {
  form_ = forms_.CreateForm(SetupFormSpec(), *this);
  if (form_ != kNoForm) FormCreate();
}

TFormSetup::~TFormSetup() {
  *alive_ = false;
  if (form_ != kNoForm) forms_.DestroyForm(form_);
}

void TFormSetup::FormCreate() {
  ApplyDisplayDefaults();
  forms_.SetPicture(form_, "ImageDown", DownArrow());
  const config::Settings current = owner_.Current();
  // Without a file, Cancel goes back to what the windows show now.
  origMinR_ = current.MinR;
  origSeparationSize_ = current.SeparationSize;
  origTransparence_ = current.RectTransparence;
  origPosition_ = current.RectPosition;
  origIconPx_ = current.RectIconPx;
  origIconWd_ = current.RectIconWd;
  const std::optional<config::SetupFileValues> file = owner_.ReadFile();
  if (!file) return;
  haveFile_ = true;
  LoadFromFile(*file);
}

void TFormSetup::ApplyDisplayDefaults() {
  forms_.SetSelection(form_, "ComboBoxDisplayState", 0);
  forms_.SetSelection(form_, "ComboBoxAction", kDefaultCenterAction);
  forms_.SetSelection(form_, "ComboBoxPosition", 0);
  forms_.SetSelection(form_, "ComboBoxLanguage", static_cast<int>(owner_.Current().Language));
}

void TFormSetup::LoadFromFile(const config::SetupFileValues& file) {
  const std::optional<std::string> run = machine_.ReadRunValue();
  autoStart_ = run && RunValueStartsProgram(*run, machine_.ExecutablePath());
  forms_.SetChecked(form_, "ChkBoxAuto", autoStart_);
  forms_.SetChecked(form_, "ChkBoxHide", file.HideAfterClick);
  forms_.SetChecked(form_, "ChkBoxLock", file.LockPosition);
  forms_.SetChecked(form_, "ChkBoxLockIcon", file.LockIcon);
  std::string hotKey = file.HotKey;
  for (char& c : hotKey) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  forms_.SetText(form_, "EditHot", hotKey);
  if (const std::optional<int> i = ListIndex(file.FrontIndex, static_cast<int>(kDisplayStateItems.size())))
    forms_.SetSelection(form_, "ComboBoxDisplayState", *i);
  if (const std::optional<int> i = ListIndex(file.CenterAction, static_cast<int>(kCenterActionItems.size())))
    forms_.SetSelection(form_, "ComboBoxAction", *i);
  forms_.SetSelection(form_, "ComboBoxLanguage", static_cast<int>(file.Language));

  if (!file.BackgroundPath.empty() && machine_.FileExists(file.BackgroundPath)) {
    forms_.SetText(form_, "EditBG", file.BackgroundPath);
    forms_.SetPicture(form_, "ImageBG", machine_.LoadPreview(file.BackgroundPath));
  }
  if (!file.CenterPath.empty() && machine_.FileExists(file.CenterPath)) {
    forms_.SetText(form_, "EditCenter", file.CenterPath);
    forms_.SetPicture(form_, "ImageCenter", machine_.LoadPreview(file.CenterPath));
  }
  origBGPath_ = Trimmed("EditBG");
  origCenterPath_ = Trimmed("EditCenter");

  // A value that is not a number leaves the control at its form default.
  auto sized = [&](const std::optional<int>& value, const char* label, const char* slider, const SliderRange& range) {
    if (!value) return;
    forms_.SetText(form_, label, std::to_string(*value));
    SetSlider(slider, SliderPosition(range, *value));
  };
  sized(file.BackgroundSize, "LabelBGNum", "TrackBarBG", kBackgroundSlider);
  origBGSize_ = LabelValue("LabelBGNum");
  sized(file.CenterSize, "LabelCenterNum", "TrackBarCenter", kCenterSlider);
  origCenterSize_ = LabelValue("LabelCenterNum");
  sized(file.MinR, "LabelMinRNum", "TrackBarMinR", kMinRSlider);
  origMinR_ = forms_.Position(form_, "TrackBarMinR");
  sized(file.SeparationSize, "LabelSeparationNum", "TrackBarSeparationSize", kSeparationSlider);
  origSeparationSize_ = forms_.Position(form_, "TrackBarSeparationSize");
  sized(file.RotationValue, "LabelRotationNum", "TrackBarRotationValue", kRotationSlider);

  roundToolPresent_ = ToolsPresent(file.RoundFiles);
  for (std::size_t i = 0; i < roundToolPresent_.size(); ++i)
    forms_.SetChecked(form_, ToolBox('C', i), roundToolPresent_[i]);

  LoadDockPage(owner_.Current());

  rectToolPresent_ = ToolsPresent(file.RectFiles);
  for (std::size_t i = 0; i < rectToolPresent_.size(); ++i)
    forms_.SetChecked(form_, ToolBox('R', i), rectToolPresent_[i]);

  forms_.SetChecked(form_, "ChkBoxShow", file.IsShowHint);
  fontDefine_ = file.HintFontDefine;
  ShowFont(fontDefine_);
}

void TFormSetup::LoadDockPage(const config::Settings& current) {
  std::vector<std::string> themes;
  int selected = -1;
  for (const std::string& fileName : machine_.ThemeFiles()) {
    const std::optional<std::string> name = ThemeName(fileName);
    if (!name) continue;
    if (selected < 0 && *name == current.RectTopic) selected = static_cast<int>(themes.size());
    themes.push_back(*name);
  }
  forms_.SetItems(form_, "ComboBoxTopic", themes);
  forms_.SetSelection(form_, "ComboBoxTopic", selected);

  SetSlider("TrackBarTransparence", current.RectTransparence);
  forms_.SetText(form_, "LabelPercent", std::to_string(forms_.Position(form_, "TrackBarTransparence")) + "%");
  origTransparence_ = current.RectTransparence;
  SetSlider("TrackBarZoomPx", current.RectIconPx);
  forms_.SetText(form_, "LabelPx", std::to_string(forms_.Position(form_, "TrackBarZoomPx")));
  origIconPx_ = current.RectIconPx;
  SetSlider("TrackBarZoomWidth", current.RectIconWd);
  forms_.SetText(form_, "LabelWd", std::to_string(forms_.Position(form_, "TrackBarZoomWidth")));
  origIconWd_ = current.RectIconWd;
  forms_.SetSelection(form_, "ComboBoxPosition", current.RectPosition);
  origPosition_ = current.RectPosition;
}

void TFormSetup::SetSlider(const char* name, int position) {
  const int before = forms_.Position(form_, name);
  forms_.SetPosition(form_, name, position);
  if (forms_.Position(form_, name) != before) SliderChanged(name);
}

void TFormSetup::SliderChanged(const std::string& name) {
  const int position = forms_.Position(form_, name);
  const std::string number = std::to_string(position);
  if (name == "TrackBarBG") {
    forms_.SetText(form_, "LabelBGNum", std::to_string(SliderSetting(kBackgroundSlider, position)));
  } else if (name == "TrackBarCenter") {
    forms_.SetText(form_, "LabelCenterNum", std::to_string(SliderSetting(kCenterSlider, position)));
  } else if (name == "TrackBarMinR") {
    forms_.SetText(form_, "LabelMinRNum", number);
    owner_.PreviewRing(position, owner_.Current().SeparationSize);
  } else if (name == "TrackBarSeparationSize") {
    forms_.SetText(form_, "LabelSeparationNum", number);
    owner_.PreviewRing(owner_.Current().MinR, position);
  } else if (name == "TrackBarRotationValue") {
    forms_.SetText(form_, "LabelRotationNum", number);
  } else if (name == "TrackBarTransparence") {
    forms_.SetText(form_, "LabelPercent", number + "%");
    owner_.PreviewDockTransparency(position);
  } else if (name == "TrackBarZoomPx") {
    forms_.SetText(form_, "LabelPx", number);
    owner_.PreviewMagnify(position, owner_.Current().RectIconWd);
  } else if (name == "TrackBarZoomWidth") {
    forms_.SetText(form_, "LabelWd", number);
    owner_.PreviewMagnify(owner_.Current().RectIconPx, position);
  }
}

void TFormSetup::ShowFont(const std::string& define) {
  forms_.SetText(form_, "LabelFont", define);
  const std::optional<config::FontSpec> font = config::ParseFontSpec(define);
  forms_.SetPicture(form_, "ShapeColor", Swatch(font ? font->color : 0));
  if (font) {
    ControlFont preview;
    preview.face = font->face;
    preview.points = font->size;
    preview.bold = font->bold;
    preview.italic = font->italic;
    preview.underline = font->underline;
    preview.strikeout = font->strikeout;
    forms_.SetFont(form_, "PanelPreview", preview, font->color);
  }
}

std::string TFormSetup::Trimmed(const char* edit) const { return TrimBlanks(forms_.Text(form_, edit)); }

int TFormSetup::LabelValue(const char* label) const { return LabelNumber(forms_.Text(form_, label)); }

void TFormSetup::FormShow() {
  if (form_ == kNoForm) return;
  forms_.ShowForm(form_);
  forms_.Focus(form_, "BitBtnOK");
}

void TFormSetup::BringToFront() {
  if (form_ != kNoForm) forms_.BringToFront(form_);
}

void TFormSetup::SelectPage(int page) {
  if (form_ != kNoForm) forms_.SelectPage(form_, page);
}

// ---- the user's actions ----

void TFormSetup::OnClick(FormId, const std::string& control) {
  if (control == "BitBtnOK") {
    BitBtnOKClick();
  } else if (control == "BitBtnCancel") {
    BitBtnCancelClick();
  } else if (control == "BitBtnDefault") {
    BitBtnDefaultClick();
  } else if (control == "BitBtnBG") {
    BrowsePicture("EditBG", "ImageBG");
  } else if (control == "BitBtnCenter") {
    BrowsePicture("EditCenter", "ImageCenter");
  } else if (control == "BitBtnFont") {
    config::FontSpec font = config::ParseFontSpec(fontDefine_).value_or(config::FontSpec{});
    const std::shared_ptr<bool> alive = alive_;
    const std::optional<FontChoice> chosen = forms_.ChooseFont(
        form_, {font.face, font.size, font.bold, font.italic, font.underline, font.strikeout, font.color});
    if (!chosen || !(*alive && form_ != kNoForm)) return;
    font = {chosen->face,      chosen->size,      chosen->bold, chosen->italic,
            chosen->underline, chosen->strikeout, chosen->color};
    fontDefine_ = config::FormatFontSpec(font);
    ShowFont(fontDefine_);
  } else if (control == "BitBtnColor") {
    config::FontSpec font = config::ParseFontSpec(fontDefine_).value_or(config::FontSpec{});
    const std::shared_ptr<bool> alive = alive_;
    const std::optional<std::uint32_t> color = forms_.ChooseColor(form_, font.color);
    if (!color || !(*alive && form_ != kNoForm)) return;
    font.color = *color;
    fontDefine_ = config::FormatFontSpec(font);
    ShowFont(fontDefine_);
  } else if (control == "LabelImgDown" || control == "ImageDown") {
    machine_.OpenAddress(kMoreStylesAddress);
  }
}

void TFormSetup::BrowsePicture(const char* edit, const char* image) {
  const std::shared_ptr<bool> alive = alive_;
  const std::optional<std::string> path = forms_.OpenFileDialog(form_, "", config::Tr(config::TextKey::PngFilter));
  if (!path || !(*alive && form_ != kNoForm)) return;
  forms_.SetText(form_, edit, *path);
  forms_.SetPicture(form_, image, machine_.LoadPreview(Trimmed(edit)));
}

void TFormSetup::OnChange(FormId, const std::string& control) {
  if (control.rfind("TrackBar", 0) == 0) {
    SliderChanged(control);
  } else if (control == "ComboBoxPosition") {
    owner_.PreviewDockPosition(std::max(0, forms_.Selection(form_, control)));
  } else if (control == "ComboBoxTopic") {
    owner_.PreviewDockTheme(forms_.Text(form_, control));
  }
}

void TFormSetup::OnLinkHover(FormId, const std::string&, bool) {
  // The link's own hover colours (fuchsia over blue) are part of its design.
}

void TFormSetup::OnFocus(FormId, const std::string& control) {
  if (control == "EditHot") savedHotKey_ = forms_.Text(form_, control);
}

void TFormSetup::OnKeyDown(FormId, const std::string& control, unsigned virtualKey) {
  if (control != "EditHot") return;
  switch (HotKeyKey(virtualKey)) {
    case HotKeyKeyAction::TakeLetter:
      forms_.SetText(form_, control, std::string(1, static_cast<char>(virtualKey)));
      break;
    case HotKeyKeyAction::Ignore:
      break;
    case HotKeyKeyAction::Refuse: {
      // Taken before the message: the focus coming back after it must not
      // make the refused state the one to return to.
      const std::string restore = savedHotKey_;
      const std::shared_ptr<bool> alive = alive_;
      machine_.Tell(config::Tr(config::TextKey::HotKeyRule));
      if (!(*alive && form_ != kNoForm)) return;
      forms_.SetText(form_, "EditHot", restore);
      break;
    }
  }
}

void TFormSetup::OnCloseRequest(FormId) { FormClose(); }

void TFormSetup::FormClose() {
  const config::Settings& current = owner_.Current();
  owner_.PreviewMagnify(current.RectIconPx, current.RectIconWd);
  machine_.DialogClosed();
  if (form_ != kNoForm) forms_.DestroyForm(form_);
  form_ = kNoForm;
  // Last: the owner may let go of this object now.
  if (onClosed_) onClosed_();
}

}  // namespace qv::settings
