// The curves that motions and motion paths follow between key values: straight lines, or the
// natural cubic spline with unit spacing between successive keys.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The second-derivative terms M of the natural cubic spline through `keys`: M0 = Mn-1 = 0 and
// Mi-1 + 4 Mi + Mi+1 = (Pi+1 - Pi) - (Pi - Pi-1) for the keys between; all 0 for fewer than
// three keys.
std::vector<double> NaturalSplineTerms(std::span<const double> keys);

// The value at fraction f (0..1) of the segment from key p0 to key p1.
inline double LinearValue(double p0, double p1, double f) { return p0 + (p1 - p0) * f; }
// The spline's value on the segment from p0 (term m0) to p1 (term m1):
// p0 + f ((p1 - p0) - (2 m0 + m1)) + 3 m0 f^2 + (m1 - m0) f^3, arranged so that the ends come
// out exactly p0 at f = 0 and p1 at f = 1.
double SplineValue(double p0, double p1, double m0, double m1, double f);

// Truncated toward zero and held within the 32-bit range (NaN gives 0): curves through key
// points from scripts may overshoot any range.
int32_t TruncateToInt32(double value);
