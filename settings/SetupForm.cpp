#include "settings/SetupForm.h"

#include "settings/SystemTools.h"

namespace qv::settings {

using config::Tr;
using T = config::TextKey;

namespace {

class Builder {
 public:
  explicit Builder(FormSpec& form) : form_(form) {}

  ControlSpec& Add(ControlKind kind, const char* name, const std::string& caption, Rect bounds, int page) {
    ControlSpec c;
    c.kind = kind;
    c.name = name;
    c.caption = caption;
    c.bounds = bounds;
    c.page = page;
    if (kind != ControlKind::Label && kind != ControlKind::Picture && kind != ControlKind::GroupBox)
      c.tabOrder = nextTab_++;
    form_.controls.push_back(std::move(c));
    return form_.controls.back();
  }
  void Label(const std::string& caption, Rect bounds, int page) {
    Add(ControlKind::Label, "", caption, bounds, page).name = "Label" + std::to_string(++labels_);
  }
  void Label(T caption, Rect bounds, int page) { Label(Tr(caption), bounds, page); }
  ControlSpec& Slider(const char* name, const SliderRange& range, int tickFrequency, int position, Rect bounds,
                      int page) {
    ControlSpec& c = Add(ControlKind::TrackBar, name, "", bounds, page);
    c.min = range.min;
    c.max = range.max;
    c.tickFrequency = tickFrequency;
    c.position = position;
    return c;
  }
  ControlSpec& List(const char* name, const auto& items, Rect bounds, int page) {
    ControlSpec& c = Add(ControlKind::ComboBox, name, "", bounds, page);
    for (const config::TextKey item : items) c.items.push_back(config::Tr(item));
    return c;
  }
  void Tools(const char* group, T caption, char prefix, int top, int page) {
    Add(ControlKind::GroupBox, group, config::Tr(caption), {12, top, 312, 84}, page);
    for (std::size_t i = 0; i < kRectSystemTools.size(); ++i) {
      const int column = static_cast<int>(i % 3);
      const int row = static_cast<int>(i / 3);
      ControlSpec& box = Add(ControlKind::CheckBox, "", config::Tr(kRectSystemTools[i].label),
                             {22 + column * 100, top + 22 + row * 28, 100, 20}, page);
      box.name = std::string(1, prefix) + (kRectSystemTools[i].componentName + 1);
    }
  }

 private:
  FormSpec& form_;
  int nextTab_ = 0;
  int labels_ = 0;
};

void BasicPage(Builder& b) {
  const int p = kPageBasic;
  b.Add(ControlKind::CheckBox, "ChkBoxAuto", Tr(T::AutoStart), {16, 16, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxHide", Tr(T::HideAfterOpen), {16, 44, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxLock", Tr(T::LockPosition), {16, 72, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxLockIcon", Tr(T::LockIcon), {16, 100, 300, 20}, p);
  b.Label(T::HotKeyLabel, {16, 141, 0, 0}, p);
  b.Add(ControlKind::Edit, "EditHot", "", {168, 137, 28, 21}, p).keyEvents = true;
  b.Label("( A-Z )", {204, 141, 0, 0}, p);
  b.Label(T::DisplayStateLabel, {16, 183, 0, 0}, p);
  b.List("ComboBoxDisplayState", kDisplayStateItems, {160, 179, 160, 22}, p);
  b.Label(T::CenterActionLabel, {16, 223, 0, 0}, p);
  b.List("ComboBoxAction", kCenterActionItems, {160, 219, 160, 22}, p);
  // Named apart from the numbered labels, whose names stay as they were.
  b.Add(ControlKind::Label, "LabelLanguage", Tr(T::LanguageLabel), {16, 263, 0, 0}, p);
  b.List("ComboBoxLanguage", kLanguageItems, {160, 259, 160, 22}, p);
}

void RoundPicturesPage(Builder& b) {
  const int p = kPageRoundPictures;
  auto picture = [&](const char* edit, const char* browse, const char* image, const char* number, const char* slider,
                     const SliderRange& range, int ticks, int top) {
    b.Add(ControlKind::Edit, edit, "", {12, top, 228, 21}, p);
    b.Add(ControlKind::Button, browse, Tr(T::Browse), {248, top - 1, 75, 23}, p);
    b.Add(ControlKind::Picture, image, "", {13, top + 29, 80, 80}, p);
    b.Label(T::StandardSize, {108, top + 36, 0, 0}, p);
    b.Add(ControlKind::Label, number, std::to_string(range.offset), {172, top + 36, 40, 14}, p);
    ControlSpec& s = b.Slider(slider, range, ticks, 0, {104, top + 58, 220, 30}, p);
    s.lineSize = 10;
    s.pageSize = 10;
  };
  b.Label(T::BackgroundLabel, {12, 12, 0, 0}, p);
  picture("EditBG", "BitBtnBG", "ImageBG", "LabelBGNum", "TrackBarBG", kBackgroundSlider, 30, 32);
  b.Label(T::CenterLabel, {12, 152, 0, 0}, p);
  picture("EditCenter", "BitBtnCenter", "ImageCenter", "LabelCenterNum", "TrackBarCenter", kCenterSlider, 18, 172);
  b.Add(ControlKind::Picture, "ImageDown", "", {12, 296, 16, 16}, p);
  ControlSpec& link = b.Add(ControlKind::LinkLabel, "LabelImgDown", Tr(T::MoreStyles), {32, 297, 0, 0}, p);
  link.color = kColorBlue;
  link.hoverColor = kColorFuchsia;
  link.font = ControlFont{"", 0, 0, false, true};
}

void RoundGeometryPage(Builder& b) {
  const int p = kPageRoundGeometry;
  auto slider = [&](T caption, const char* number, const char* name, const SliderRange& range, int ticks, int design,
                    int top) {
    b.Label(caption, {12, top, 0, 0}, p);
    b.Add(ControlKind::Label, number, std::to_string(design), {270, top, 50, 14}, p);
    b.Slider(name, range, ticks, range.min, {8, top + 18, 316, 30}, p);
  };
  slider(T::MinRLabel, "LabelMinRNum", "TrackBarMinR", kMinRSlider, 30, 105, 12);
  slider(T::SeparationLabel, "LabelSeparationNum", "TrackBarSeparationSize", kSeparationSlider, 10, 35, 66);
  slider(T::RotationLabel, "LabelRotationNum", "TrackBarRotationValue", kRotationSlider, 36, 45, 120);
  b.Tools("GroupBoxSystemTool", T::RoundToolsGroup, 'C', 184, p);
}

void RectPage(Builder& b) {
  const int p = kPageRect;
  b.Label(T::ThemeLabel, {12, 16, 0, 0}, p);
  b.Add(ControlKind::ComboBox, "ComboBoxTopic", "", {110, 12, 200, 22}, p);
  b.Label(T::PositionLabel, {12, 50, 0, 0}, p);
  b.List("ComboBoxPosition", kRectPositionItems, {110, 46, 200, 22}, p);
  auto slider = [&](T caption, const char* name, const char* number, const SliderRange& range, int design,
                    const std::string& text, int top) {
    b.Label(caption, {12, top + 6, 0, 0}, p);
    b.Slider(name, range, 0, design, {84, top, 200, 28}, p);
    b.Add(ControlKind::Label, number, text, {288, top + 6, 40, 14}, p);
  };
  slider(T::TransparencyLabel, "TrackBarTransparence", "LabelPercent", kTransparenceSlider, 100, "100%", 80);
  slider(T::ZoomSizeLabel, "TrackBarZoomPx", "LabelPx", kZoomPxSlider, 50, "50", 116);
  slider(T::ZoomCountLabel, "TrackBarZoomWidth", "LabelWd", kZoomWidthSlider, 4, "4", 152);
  b.Tools("GroupBoxRectTool", T::RectToolsGroup, 'R', 196, p);
}

void LabelPage(Builder& b) {
  const int p = kPageLabel;
  b.Add(ControlKind::CheckBox, "ChkBoxShow", Tr(T::ShowLabel), {16, 16, 200, 20}, p);
  b.Add(ControlKind::Label, "LabelFont", "", {16, 50, 310, 14}, p);
  b.Add(ControlKind::Button, "BitBtnFont", Tr(T::ChangeFont), {16, 76, 75, 25}, p);
  b.Add(ControlKind::Picture, "ShapeColor", "", {16, 116, 75, 25}, p);
  b.Add(ControlKind::Button, "BitBtnColor", Tr(T::ChangeColor), {100, 116, 75, 25}, p);
  b.Add(ControlKind::Label, "PanelPreview", Tr(T::Preview), {16, 156, 157, 94}, p).sunken = true;
}

}  // namespace

FormSpec SetupFormSpec() {
  FormSpec form;
  form.name = kSetupFormName;
  form.caption = Tr(T::SetupCaption);
  form.clientSize = {374, 418};
  Builder b(form);
  ControlSpec& pages = b.Add(ControlKind::PageControl, "PageControl1", "", {16, 16, 344, 361}, -1);
  pages.items = {Tr(T::PageBasic), Tr(T::PageRoundPictures), Tr(T::PageRoundGeometry), Tr(T::PageRect),
                 Tr(T::PageLabel)};
  pages.tabOrder = -1;
  BasicPage(b);
  RoundPicturesPage(b);
  RoundGeometryPage(b);
  RectPage(b);
  LabelPage(b);
  b.Add(ControlKind::Button, "BitBtnDefault", Tr(T::RestoreDefaults), {19, 383, 110, 25}, -1);
  b.Add(ControlKind::Button, "BitBtnOK", Tr(T::Ok), {202, 383, 75, 25}, -1).role = ButtonRole::Default;
  b.Add(ControlKind::Button, "BitBtnCancel", Tr(T::Cancel), {283, 383, 75, 25}, -1).role = ButtonRole::Cancel;
  return form;
}

}  // namespace qv::settings
