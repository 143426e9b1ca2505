#pragma once

// The process after the entry point has picked a backend: the single-instance
// check, the main form's creation and showing, the message loop, shutdown.

#include <memory>

#include "platform/MessageLoop.h"
#include "platform/Platform.h"

namespace qv::app {

class MainForm;

// Mutex "Quorvel" and window class TFormRoundHot titled "Quorvel".
inline constexpr const char* kInstanceName = "Quorvel";
inline constexpr const char* kMainWindowClass = "TFormRoundHot";
inline constexpr const char* kMainWindowTitle = "Quorvel";

// Returns true when this process is the first instance. A second instance has
// signalled the first one (message 1124, lParam 513) when it returns false.
bool SingleInstanceCheck(ISystem& system);

class Application {
 public:
  explicit Application(Platform& platform);
  ~Application();

  // Single-instance check, main form creation and showing. False for a second
  // instance, which must end at once.
  bool Start(IMessageLoop& loop);
  // Runs the shutdown if the main form has not closed yet, and detaches.
  void Stop();

  MainForm& Form() { return *form_; }

 private:
  Platform& platform_;
  IMessageLoop* loop_ = nullptr;
  std::unique_ptr<MainForm> form_;
};

// The whole life of the process: returns its exit code.
int RunQuorvel(Platform& platform, IMessageLoop& loop);

}  // namespace qv::app
