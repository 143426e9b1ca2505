#pragma once

// The settings dialog's controls and their places: five pages under one page
// control, three buttons below it. The texts are in the language in use when
// the form is made: an open dialog keeps its language until it is made again.

#include <array>

#include "config/Texts.h"
#include "platform/Forms.h"
#include "settings/SetupValues.h"

namespace qv::settings {

inline constexpr const char* kSetupFormName = "FormSetup";
inline constexpr const char* kMoreStylesAddress = "https://quorvel.example/skins";

inline constexpr int kPageBasic = 0;
inline constexpr int kPageRoundPictures = 1;
inline constexpr int kPageRoundGeometry = 2;
inline constexpr int kPageRect = 3;
inline constexpr int kPageLabel = 4;

inline constexpr std::array<config::TextKey, 3> kDisplayStateItems{
    config::TextKey::DisplayNormal, config::TextKey::DisplayTopmost, config::TextKey::DisplayDesktop};
inline constexpr std::array<config::TextKey, 8> kCenterActionItems{
    config::TextKey::ActionMinimize,   config::TextKey::ActionClearAll, config::TextKey::ActionNextBackground,
    config::TextKey::ActionNextCenter, config::TextKey::ActionSettings, config::TextKey::ActionHelp,
    config::TextKey::ActionAbout,      config::TextKey::ActionExit};
inline constexpr std::array<config::TextKey, 2> kRectPositionItems{config::TextKey::PositionTop,
                                                                   config::TextKey::PositionBottom};
// In the order of config::LanguageChoice.
inline constexpr std::array<config::TextKey, 3> kLanguageItems{
    config::TextKey::LanguageWindows, config::TextKey::LanguageChinese, config::TextKey::LanguageEnglish};

// Form defaults: what the controls show before anything is loaded.
inline constexpr int kDefaultCenterAction = 4;

FormSpec SetupFormSpec();

}  // namespace qv::settings
