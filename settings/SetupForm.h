#pragma once

// The settings dialog's controls and their places: five pages under one page
// control, three buttons below it.

#include <array>

#include "platform/Forms.h"
#include "settings/SetupValues.h"

namespace qv::settings {

inline constexpr const char* kSetupFormName = "FormSetup";
inline constexpr const char* kSetupCaption = "设置";
inline constexpr const char* kHotKeyRuleText = "只能在 A-Z 之间设置。";
inline constexpr const char* kRestoreQuestion = "确定要恢复到默认状态吗？";
inline constexpr const char* kPngFilter = "Portable Network Graphics (*.png)|*.png";
inline constexpr const char* kMoreStylesAddress = "https://quorvel.example/skins";

inline constexpr int kPageBasic = 0;
inline constexpr int kPageRoundPictures = 1;
inline constexpr int kPageRoundGeometry = 2;
inline constexpr int kPageRect = 3;
inline constexpr int kPageLabel = 4;

inline constexpr std::array<const char*, 3> kDisplayStateItems{"正常显示", "总显示在最前面", "总显示在桌面"};
inline constexpr std::array<const char*, 8> kCenterActionItems{
    "最小化窗口", "清除所有图标", "切换背景", "切换中央图标", "设置", "帮助", "关于Quorvel", "退出"};
inline constexpr std::array<const char*, 2> kRectPositionItems{"顶部", "底部"};

// Form defaults: what the controls show before anything is loaded.
inline constexpr int kDefaultCenterAction = 4;

FormSpec SetupFormSpec();

}  // namespace qv::settings
