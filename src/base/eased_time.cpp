#include "base/eased_time.h"

#include <cmath>

uint32_t EaseElapsed(uint32_t elapsed, uint32_t total, double exponent) {
  if (elapsed >= total) return total;
  if (exponent == 0) return elapsed;
  const double part = static_cast<double>(elapsed) / total;
  const double eased = exponent > 0 ? std::pow(part, exponent) : 1.0 - std::pow(1.0 - part, -exponent);
  const double reached = total * eased;
  if (!(reached > 0)) return 0;
  return reached >= total ? total : static_cast<uint32_t>(reached);
}
