#pragma once

// Turning the rings: a wheel notch or an arrow key asks for RotationValue
// degrees; the rings get there in 0.1 rad steps, one per tick of
// TimerRotation, and stop on the first step that passes the asked turn.

#include "platform/FormTimer.h"
#include "platform/Platform.h"

namespace qv::round {

class RoundPresentation;

inline constexpr unsigned kRotationIntervalMs = 20;

// The turn one notch asks for, in radians.
double RotationTarget(int rotationValue);

struct RotationTick {
  double angle = 0;
  double progress = 0;
  bool finished = false;  // the timer stops; the angle has been brought back within a turn
};

// One tick: a step of 0.1 rad while the progress has not passed the target,
// otherwise the end of the animation. So a notch turns by
// (floor(target / 0.1) + 1) × 0.1 rad: the last step overshoots.
RotationTick TickRotation(double angle, double progress, bool forward, double target);

class Rotation {
 public:
  // rotationValue is the setting; the angle is the rings' own, changed by
  // nothing but the turns.
  Rotation(ITimerHost& timers, RoundPresentation& round, const int& rotationValue);
  Rotation(const Rotation&) = delete;
  Rotation& operator=(const Rotation&) = delete;

  // Starting again while the rings turn restarts the progress: the turn is
  // extended by a whole notch from where the rings are.
  void StartRotation(bool forward);
  // One tick. following: an item window that follows the pointer and is left
  // where the pointer put it.
  void TimerRotation(WindowId following = kNoWindow);

  bool Turning() const { return timer_.Enabled(); }
  bool RotationForward() const { return forward_; }
  double RotationProgress() const { return progress_; }
  // RotationAngle: where the rings stand, in radians.
  double Angle() const { return angle_; }

 private:
  RoundPresentation& round_;
  const int& rotationValue_;
  double angle_ = 0;
  FormTimer timer_;
  bool forward_ = true;
  double progress_ = 0;
};

}  // namespace qv::round
