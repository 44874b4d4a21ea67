// A two-dimensional path through a list of records, most of them points, on which positions are
// evaluated along straight segments or along the natural cubic spline through the points.
// Walking from one point to the next passes over the records that are no points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct MotionPathRecord {
  static constexpr uint8_t kPoint = 0;

  // kPoint, or one of the path's commands (1-9).
  uint8_t kind = kPoint;
  uint8_t flag = 0;
  // A point's coordinates; a command's integer operands.
  int32_t x = 0;
  int32_t y = 0;
  // A command's real operand.
  double real = 0;
  // A point's place in the spline tables: its rank among the points.
  uint32_t spline_index = 0;
};

class CMotionPath {
 public:
  // SetPoints status beside 0.
  static constexpr uint32_t kTooFewRecords = 1;

  CMotionPath() = default;
  CMotionPath(const CMotionPath&) = delete;
  CMotionPath& operator=(const CMotionPath&) = delete;
  virtual ~CMotionPath() = default;

  // Takes the records in place of the path's, numbering the points in order; with `build` and at
  // least three points the path follows the spline through them: 0. 1 for fewer than two
  // records (the path stays as it was).
  uint32_t SetPoints(std::vector<MotionPathRecord> records, bool build);
  void Clear();

  // The point at fraction t (0..1) of the straight segment from a to b, truncated toward zero.
  static void EvalLinear(const MotionPathRecord& a, const MotionPathRecord& b, double t, int32_t& x, int32_t& y);
  // The point at fraction t of the spline segment from a to b, a and b themselves at t = 0 and
  // 1; straight when the path has no spline through a and the point after it.
  void EvalSpline(const MotionPathRecord& a, const MotionPathRecord& b, double t, int32_t& x, int32_t& y) const;

  // The index of the first point after `index`, or the record count when there is none.
  size_t NextPoint(size_t index) const;
  const std::vector<MotionPathRecord>& Records() const { return records_; }
  bool HasSpline() const { return !spline_x_.empty(); }
  const std::vector<double>& SplineX() const { return spline_x_; }
  const std::vector<double>& SplineY() const { return spline_y_; }

 private:
  std::vector<MotionPathRecord> records_;
  std::vector<double> spline_x_;
  std::vector<double> spline_y_;
};
