#include "effects/eased_progress.h"

#include <cmath>

double EaseProgress(double t, double power) {
  if (power > 0) return std::pow(t, power);
  if (power < 0) return 1.0 - std::pow(1.0 - t, -power);
  return t;
}
