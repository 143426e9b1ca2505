#pragma once

#include "platform/Platform.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

class Win32MessageLoop;
class Win32Windows;

class Win32System final : public ISystem {
 public:
  Win32System(HINSTANCE instance, Win32Windows& windows, Win32MessageLoop& loop);

  bool CreateSingleInstanceMutex(const std::string& name) override;
  bool SendToWindow(const std::string& className, const std::string& title, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  void TrimWorkingSet() override;
  void ProcessPendingMessages() override;
  void RequestQuit() override;
  LocalTime Now() const override;
  std::optional<std::string> DecodeToUtf8(const std::string& bytes, const std::string& encoding) const override;
  std::optional<std::string> EncodeFromUtf8(const std::string& utf8, const std::string& encoding) const override;
  std::optional<std::string> LoadResource(const std::string& type, const std::string& name) const override;
  std::uint16_t UserInterfaceLanguage() const override;
  void SignalReady() override;

 private:
  HINSTANCE instance_;
  Win32Windows& windows_;
  Win32MessageLoop& loop_;
  // Held, and owned, for the life of the process: while it exists, later
  // starts know that this one runs.
  UniqueMutex instanceMutex_;
};

}  // namespace qv::win32
