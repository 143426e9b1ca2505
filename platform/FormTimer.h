#pragma once

// A timer of the main form. Like the form's timers it is created disabled;
// enabling a running timer leaves its countdown alone, disabling a stopped
// one does nothing.

#include "platform/Platform.h"

namespace qv {

enum TimerId : int {
  TimerGetIcon = 1,
  TimerClearMemory,
  TimerPBT,
  TimerRedraw,
  TimerClock,
  TimerRotation,
  TimerIconWobbleUp,
  TimerIconWobbleDown,
  TimerDestroyIcon,
  TimerClearIcon,
};

class FormTimer {
 public:
  FormTimer(ITimerHost& host, TimerId id, unsigned intervalMs) : host_(host), id_(id), interval_(intervalMs) {}
  FormTimer(const FormTimer&) = delete;
  FormTimer& operator=(const FormTimer&) = delete;
  ~FormTimer() { Disable(); }

  void Enable() {
    if (enabled_) return;
    enabled_ = true;
    host_.StartTimer(id_, interval_);
  }
  void Disable() {
    if (!enabled_) return;
    enabled_ = false;
    host_.StopTimer(id_);
  }
  bool Enabled() const { return enabled_; }
  unsigned Interval() const { return interval_; }
  TimerId Id() const { return id_; }

 private:
  ITimerHost& host_;
  TimerId id_;
  unsigned interval_;
  bool enabled_ = false;
};

}  // namespace qv
