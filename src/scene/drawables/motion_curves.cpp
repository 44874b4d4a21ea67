#include "scene/drawables/motion_curves.h"

#include <cmath>
#include <cstdint>

std::vector<double> NaturalSplineTerms(std::span<const double> keys) {
  const size_t n = keys.size();
  std::vector<double> terms(n, 0.0);
  if (n < 3) return terms;
  // Forward elimination of the tridiagonal system over the keys between the ends, then back
  // substitution; the ends stay 0.
  std::vector<double> diagonal(n, 4.0);
  std::vector<double> right(n, 0.0);
  for (size_t i = 1; i + 1 < n; ++i) {
    right[i] = (keys[i + 1] - keys[i]) - (keys[i] - keys[i - 1]);
    if (i > 1) {
      diagonal[i] = 4.0 - 1.0 / diagonal[i - 1];
      right[i] -= right[i - 1] / diagonal[i - 1];
    }
  }
  for (size_t i = n - 2; i >= 1; --i) terms[i] = (right[i] - terms[i + 1]) / diagonal[i];
  return terms;
}

double SplineValue(double p0, double p1, double m0, double m1, double f) {
  // f (f - 1) is exactly 0 at both ends, so the end keys come back unchanged.
  const double bend = f * (f - 1.0);
  return p0 + (p1 - p0) * f - m0 * bend * (f - 2.0) + m1 * bend * (f + 1.0);
}

int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);
}
