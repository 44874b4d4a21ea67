// The shake rule of the quakes: where a shaken picture stands at a moment. A quake with a
// duration runs a number of half-waves over it (or random jumps) whose size falls linearly to
// the decay factor at its end; an endless one repeats a wave of a period in milliseconds (or
// random jumps) at full size until it is stopped. The screen effect and the layer filter share
// it; the caller moves its pictures by the shift it returns.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

struct QuakeShift {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  bool operator==(const QuakeShift&) const = default;
};

class CQuakeShake {
 public:
  // Draws the next value of a random generator, 0 to 999,999,999.
  using RandomDraw = std::function<std::int32_t()>;

  // count_or_period: with a duration the number of half-waves over it, without one the wave
  // period in ms (its absolute value); 0 shakes randomly. Amplitudes in pixels; duration in ms,
  // 0 endless; decay: the factor of the amplitude left at the end of the duration. The next
  // Step takes its moment as the start.
  void Configure(std::int32_t count_or_period, std::int32_t amplitude_x, std::int32_t amplitude_y,
                 std::uint32_t duration, double decay);
  // The shift at `now` (milliseconds); nothing once the duration has run out. Random shaking
  // draws one or two values per step.
  std::optional<QuakeShift> Step(std::uint32_t now, const RandomDraw& draw);
  // Moves a started quake's start later by a span it was held still (a pause), so that it goes
  // on at the phase and size where it stopped.
  void MoveStart(std::uint32_t span) {
    if (!first_step_) start_ += span;
  }

 private:
  QuakeShift Periodic(std::int32_t phase, double scale) const;
  QuakeShift Random(double scale, const RandomDraw& draw);

  std::uint32_t duration_ = 0;
  std::int32_t period_ = 0;
  double amplitude_x_ = 0.0;
  double amplitude_y_ = 0.0;
  double decay_ = 0.0;
  std::uint32_t start_ = 0;
  bool first_step_ = true;
  bool sign_toggle_ = false;
};
