#include "round/Rotation.h"

#include <numbers>

#include "round/RingGeometry.h"
#include "round/RoundPresentation.h"

namespace qv::round {

double RotationTarget(int rotationValue) { return rotationValue * std::numbers::pi / 180; }

RotationTick TickRotation(double angle, double progress, bool forward, double target) {
  if (target >= progress) return {StepRotationAngle(angle, forward), progress + kRotationStep, false};
  return {NormalizeRotationAngle(angle), progress, true};
}

Rotation::Rotation(ITimerHost& timers, RoundPresentation& round, const int& rotationValue)
    : round_(round),
      rotationValue_(rotationValue),
      timer_(timers, qv::TimerRotation, kRotationIntervalMs) {}

void Rotation::StartRotation(bool forward) {
  forward_ = forward;
  progress_ = 0;
  timer_.Enable();
}

void Rotation::TimerRotation(WindowId following) {
  const RotationTick tick = TickRotation(angle_, progress_, forward_, RotationTarget(rotationValue_));
  angle_ = tick.angle;
  progress_ = tick.progress;
  if (tick.finished) {
    timer_.Disable();
    return;
  }
  round_.ComputeOffsets(angle_);
  round_.ApplyRingOffsets(following);
}

}  // namespace qv::round
