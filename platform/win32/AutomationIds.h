#pragma once

// The numbers of UI Automation that the headers at hand lack: properties,
// patterns, control types and events, as the automation library knows them.

namespace qv::win32::automation {

inline constexpr long kRootObjectId = -25;  // WM_GETOBJECT's object number for a provider
inline constexpr long kElementNotAvailable = static_cast<long>(0x80040201);
inline constexpr int kNameProperty = 30005;
inline constexpr int kControlTypeProperty = 30003;
inline constexpr int kHasKeyboardFocusProperty = 30008;
inline constexpr int kIsKeyboardFocusableProperty = 30009;
inline constexpr int kAutomationIdProperty = 30011;
inline constexpr int kIsInvokePatternAvailableProperty = 30031;
inline constexpr int kInvokePattern = 10000;
inline constexpr int kButtonControlType = 50000;
inline constexpr int kFocusChangedEvent = 20005;

}  // namespace qv::win32::automation
