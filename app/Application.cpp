#include "app/Application.h"

#include "app/MainForm.h"

namespace qv::app {

bool SingleInstanceCheck(ISystem& system) {
  if (system.CreateSingleInstanceMutex(kInstanceName)) return true;
  // The running copy restores and raises its windows, as a click on its tray icon does.
  system.SendToWindow(kMainWindowClass, kMainWindowTitle, kTrayCallbackMessage, 0, kMouseLeftDown);
  return false;
}

Application::Application(Platform& platform) : platform_(platform) {}

Application::~Application() { Stop(); }

bool Application::Start(IMessageLoop& loop) {
  if (!SingleInstanceCheck(platform_.system)) return false;
  loop_ = &loop;
  form_ = std::make_unique<MainForm>(platform_);
  loop.SetEventSink(form_.get());
  form_->FormCreate();
  form_->FormShow();
  return true;
}

void Application::Stop() {
  if (!form_) return;
  form_->FormClose();
  if (loop_) loop_->SetEventSink(nullptr);
  form_.reset();
}

int RunQuorvel(Platform& platform, IMessageLoop& loop) {
  Application application(platform);
  if (!application.Start(loop)) return 0;
  loop.Run();
  application.Stop();
  return 0;
}

}  // namespace qv::app
