#pragma once

// The backend's message loop, as the process's start-up code drives it.

#include "platform/Platform.h"

namespace qv {

// Events reach the sink until it is cleared.
class IMessageLoop {
 public:
  virtual ~IMessageLoop() = default;
  virtual void SetEventSink(IPlatformEvents* sink) = 0;
  // Runs until the core asks to quit (ISystem::RequestQuit).
  virtual void Run() = 0;
};

}  // namespace qv
