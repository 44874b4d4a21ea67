#include "effects/screen/quake_shake.h"

#include <cmath>
#include <cstdlib>

#include "base/numbers/trig_tables.h"

namespace {

constexpr double kRandomUnit = 1e-9;

std::int32_t Truncated(double value) { return static_cast<std::int32_t>(std::trunc(value)); }

// The application's tables, or the same values made here for a program that has none.
const CTrigTables& Tables() {
  if (g_TrigTable != nullptr) return *g_TrigTable;
  static const CTrigTables own;
  return own;
}

}  // namespace

void CQuakeShake::Configure(std::int32_t count_or_period, std::int32_t amplitude_x, std::int32_t amplitude_y,
                            std::uint32_t duration, double decay) {
  duration_ = duration;
  // Half-waves are counted in 256ths so that the phase of 512 steps a turn is period × t.
  period_ = duration != 0 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(count_or_period) * 256u)
                          : static_cast<std::int32_t>(std::abs(static_cast<std::int64_t>(count_or_period)));
  amplitude_x_ = amplitude_x;
  amplitude_y_ = amplitude_y;
  decay_ = decay;
  first_step_ = true;
}

std::optional<QuakeShift> CQuakeShake::Step(std::uint32_t now, const RandomDraw& draw) {
  if (first_step_) {
    start_ = now;
    first_step_ = false;
    sign_toggle_ = false;
  }
  std::uint32_t elapsed = now - start_;
  double scale = 1.0;
  std::int32_t phase = 0;
  if (duration_ != 0) {
    if (elapsed >= duration_) return std::nullopt;
    const double t = static_cast<double>(elapsed) / duration_;
    scale = 1.0 - (1.0 - decay_) * t;
    if (period_ != 0) phase = Truncated(period_ * t);
  } else if (period_ != 0) {
    const auto period = static_cast<std::uint32_t>(period_);
    if (elapsed >= period) {
      start_ = now;
      elapsed = period;
    }
    phase = Truncated(static_cast<double>(elapsed) / period * 511.0);
  }
  return period_ != 0 ? Periodic(phase, scale) : Random(scale, draw);
}

QuakeShift CQuakeShake::Periodic(std::int32_t phase, double scale) const {
  const std::int64_t sine = Tables().cosine[(phase - 128) & 511];
  const auto along = [&](double amplitude) {
    return Truncated(static_cast<double>((Truncated(amplitude) * sine) >> 16) * scale);
  };
  return {along(amplitude_x_), along(amplitude_y_)};
}

// The larger axis jumps to alternate sides every step while the smaller one jitters about the
// centre; equal amplitudes both jitter.
QuakeShift CQuakeShake::Random(double scale, const RandomDraw& draw) {
  const auto centred = [&](double amplitude) {
    return Truncated((draw() * amplitude * kRandomUnit - amplitude * 0.5) * scale);
  };
  const double side = sign_toggle_ ? kRandomUnit : -kRandomUnit;
  const auto alternating = [&](double amplitude) { return Truncated(draw() * side * amplitude * scale); };
  QuakeShift shift;
  if (amplitude_x_ == amplitude_y_) {
    shift.dx = centred(amplitude_x_);
    shift.dy = centred(amplitude_y_);
  } else if (amplitude_x_ < amplitude_y_) {
    shift.dx = centred(amplitude_x_);
    shift.dy = alternating(amplitude_y_);
  } else {
    shift.dx = alternating(amplitude_x_);
    shift.dy = centred(amplitude_y_);
  }
  sign_toggle_ = !sign_toggle_;
  return shift;
}
