#include "scene/motion_path.h"

#include <utility>

#include "scene/motion_curves.h"

uint32_t CMotionPath::SetPoints(std::vector<MotionPathRecord> records, bool build) {
  if (records.size() < 2) return kTooFewRecords;
  Clear();
  records_ = std::move(records);
  std::vector<double> xs;
  std::vector<double> ys;
  for (MotionPathRecord& record : records_) {
    if (record.kind != MotionPathRecord::kPoint) continue;
    record.spline_index = static_cast<uint32_t>(xs.size());
    xs.push_back(record.x);
    ys.push_back(record.y);
  }
  if (build && xs.size() >= 3) {
    spline_x_ = NaturalSplineTerms(xs);
    spline_y_ = NaturalSplineTerms(ys);
  }
  return 0;
}

void CMotionPath::Clear() {
  records_.clear();
  spline_x_.clear();
  spline_y_.clear();
}

void CMotionPath::EvalLinear(const MotionPathRecord& a, const MotionPathRecord& b, double t, int32_t& x, int32_t& y) {
  x = TruncateToInt32(LinearValue(a.x, b.x, t));
  y = TruncateToInt32(LinearValue(a.y, b.y, t));
}

void CMotionPath::EvalSpline(const MotionPathRecord& a, const MotionPathRecord& b, double t, int32_t& x,
                             int32_t& y) const {
  const size_t i = a.spline_index;
  if (i + 1 >= spline_x_.size()) {
    EvalLinear(a, b, t, x, y);
    return;
  }
  x = TruncateToInt32(SplineValue(a.x, b.x, spline_x_[i], spline_x_[i + 1], t));
  y = TruncateToInt32(SplineValue(a.y, b.y, spline_y_[i], spline_y_[i + 1], t));
}

size_t CMotionPath::NextPoint(size_t index) const {
  for (size_t next = index + 1; next < records_.size(); ++next) {
    if (records_[next].kind == MotionPathRecord::kPoint) return next;
  }
  return records_.size();
}
