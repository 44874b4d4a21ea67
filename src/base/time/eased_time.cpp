#include "base/time/eased_time.h"

#include <cmath>

double EaseProgress(double t, double power) {
  if (power > 0) return std::pow(t, power);
  if (power < 0) return 1.0 - std::pow(1.0 - t, -power);
  return t;
}

uint32_t EaseElapsed(uint32_t elapsed, uint32_t total, double exponent) {
  if (elapsed >= total) return total;
  if (exponent == 0) return elapsed;
  const double part = static_cast<double>(elapsed) / total;
  const double reached = total * EaseProgress(part, exponent);
  if (!(reached > 0)) return 0;
  return reached >= total ? total : static_cast<uint32_t>(reached);
}
