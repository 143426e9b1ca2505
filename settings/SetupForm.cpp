#include "settings/SetupForm.h"

#include "settings/SystemTools.h"

namespace qv::settings {

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
    for (const char* item : items) c.items.push_back(item);
    return c;
  }
  void Tools(const char* group, const char* caption, char prefix, int top, int page) {
    Add(ControlKind::GroupBox, group, caption, {12, top, 312, 84}, page);
    for (std::size_t i = 0; i < kRectSystemTools.size(); ++i) {
      const int column = static_cast<int>(i % 3);
      const int row = static_cast<int>(i / 3);
      ControlSpec& box = Add(ControlKind::CheckBox, "", kRectSystemTools[i].caption,
                             {26 + column * 100, top + 22 + row * 28, 92, 20}, page);
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
  b.Add(ControlKind::CheckBox, "ChkBoxAuto", "开机自动启动", {16, 16, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxHide", "打开文件/文件夹后隐藏Quorvel", {16, 44, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxLock", "将Quorvel锁定在当前位置", {16, 72, 300, 20}, p);
  b.Add(ControlKind::CheckBox, "ChkBoxLockIcon", "锁定图标", {16, 100, 300, 20}, p);
  b.Label("显示窗口快捷键：  Alt + ", {16, 141, 0, 0}, p);
  b.Add(ControlKind::Edit, "EditHot", "", {168, 137, 28, 21}, p).keyEvents = true;
  b.Label("( A-Z )", {204, 141, 0, 0}, p);
  b.Label("窗口显示状态：", {16, 183, 0, 0}, p);
  b.List("ComboBoxDisplayState", kDisplayStateItems, {160, 179, 160, 22}, p);
  b.Label("中央按钮单击功能设置：", {16, 223, 0, 0}, p);
  b.List("ComboBoxAction", kCenterActionItems, {160, 219, 160, 22}, p);
}

void RoundPicturesPage(Builder& b) {
  const int p = kPageRoundPictures;
  auto picture = [&](const char* edit, const char* browse, const char* image, const char* number, const char* slider,
                     const SliderRange& range, int ticks, int top) {
    b.Add(ControlKind::Edit, edit, "", {12, top, 228, 21}, p);
    b.Add(ControlKind::Button, browse, "浏  览", {248, top - 1, 75, 23}, p);
    b.Add(ControlKind::Picture, image, "", {13, top + 29, 80, 80}, p);
    b.Label("标准大小：", {108, top + 36, 0, 0}, p);
    b.Add(ControlKind::Label, number, std::to_string(range.offset), {172, top + 36, 40, 14}, p);
    ControlSpec& s = b.Slider(slider, range, ticks, 0, {104, top + 58, 220, 30}, p);
    s.lineSize = 10;
    s.pageSize = 10;
  };
  b.Label("背景图片：(建议选择标准大小范围内的PNG图片)", {12, 12, 0, 0}, p);
  picture("EditBG", "BitBtnBG", "ImageBG", "LabelBGNum", "TrackBarBG", kBackgroundSlider, 30, 32);
  b.Label("中央图标：(建议选择标准大小范围内的PNG图片)", {12, 152, 0, 0}, p);
  picture("EditCenter", "BitBtnCenter", "ImageCenter", "LabelCenterNum", "TrackBarCenter", kCenterSlider, 18, 172);
  b.Add(ControlKind::Picture, "ImageDown", "", {12, 296, 16, 16}, p);
  ControlSpec& link = b.Add(ControlKind::LinkLabel, "LabelImgDown", "下载更多样式", {32, 297, 0, 0}, p);
  link.color = kColorBlue;
  link.hoverColor = kColorFuchsia;
  link.font = ControlFont{"", 0, 0, false, true};
}

void RoundGeometryPage(Builder& b) {
  const int p = kPageRoundGeometry;
  auto slider = [&](const char* caption, const char* number, const char* name, const SliderRange& range, int ticks,
                    int design, int top) {
    b.Label(caption, {12, top, 0, 0}, p);
    b.Add(ControlKind::Label, number, std::to_string(design), {270, top, 50, 14}, p);
    b.Slider(name, range, ticks, range.min, {8, top + 18, 316, 30}, p);
  };
  slider("最小半径：", "LabelMinRNum", "TrackBarMinR", kMinRSlider, 30, 105, 12);
  slider("每圈分隔距离：", "LabelSeparationNum", "TrackBarSeparationSize", kSeparationSlider, 10, 35, 66);
  slider("按键/鼠标滚轮滚动一次的旋转度数：", "LabelRotationNum", "TrackBarRotationValue", kRotationSlider, 36, 45,
         120);
  b.Tools("GroupBoxSystemTool", "圆形添加系统工具", 'C', 184, p);
}

void RectPage(Builder& b) {
  const int p = kPageRect;
  b.Label("主题：", {12, 16, 0, 0}, p);
  b.Add(ControlKind::ComboBox, "ComboBoxTopic", "", {110, 12, 200, 22}, p);
  b.Label("屏幕中的位置：", {12, 50, 0, 0}, p);
  b.List("ComboBoxPosition", kRectPositionItems, {110, 46, 200, 22}, p);
  auto slider = [&](const char* caption, const char* name, const char* number, const SliderRange& range, int design,
                    const std::string& text, int top) {
    b.Label(caption, {12, top + 6, 0, 0}, p);
    b.Slider(name, range, 0, design, {84, top, 200, 28}, p);
    b.Add(ControlKind::Label, number, text, {288, top + 6, 40, 14}, p);
  };
  slider("透明度：", "TrackBarTransparence", "LabelPercent", kTransparenceSlider, 100, "100%", 80);
  slider("放大尺寸：", "TrackBarZoomPx", "LabelPx", kZoomPxSlider, 50, "50", 116);
  slider("放大个数：", "TrackBarZoomWidth", "LabelWd", kZoomWidthSlider, 4, "4", 152);
  b.Tools("GroupBoxRectTool", "矩形添加系统工具", 'R', 196, p);
}

void LabelPage(Builder& b) {
  const int p = kPageLabel;
  b.Add(ControlKind::CheckBox, "ChkBoxShow", "显示标签", {16, 16, 200, 20}, p);
  b.Add(ControlKind::Label, "LabelFont", "", {16, 50, 310, 14}, p);
  b.Add(ControlKind::Button, "BitBtnFont", "更改字体", {16, 76, 75, 25}, p);
  b.Add(ControlKind::Picture, "ShapeColor", "", {16, 116, 75, 25}, p);
  b.Add(ControlKind::Button, "BitBtnColor", "更改颜色", {100, 116, 75, 25}, p);
  b.Add(ControlKind::Label, "PanelPreview", "预览", {16, 156, 157, 94}, p).sunken = true;
}

}  // namespace

FormSpec SetupFormSpec() {
  FormSpec form;
  form.name = kSetupFormName;
  form.caption = kSetupCaption;
  form.clientSize = {374, 418};
  Builder b(form);
  ControlSpec& pages = b.Add(ControlKind::PageControl, "PageControl1", "", {16, 16, 344, 361}, -1);
  pages.items = {"基本设置", "圆形设置Ⅰ", "圆形设置Ⅱ", "矩形设置Ⅰ", "标签设置"};
  pages.tabOrder = -1;
  BasicPage(b);
  RoundPicturesPage(b);
  RoundGeometryPage(b);
  RectPage(b);
  LabelPage(b);
  b.Add(ControlKind::Button, "BitBtnDefault", "恢复默认状态", {19, 383, 110, 25}, -1);
  b.Add(ControlKind::Button, "BitBtnOK", "确  定", {202, 383, 75, 25}, -1).role = ButtonRole::Default;
  b.Add(ControlKind::Button, "BitBtnCancel", "取  消", {283, 383, 75, 25}, -1).role = ButtonRole::Cancel;
  return form;
}

}  // namespace qv::settings
