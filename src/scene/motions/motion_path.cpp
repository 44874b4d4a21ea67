#include "scene/motions/motion_path.h"

#include <utility>

#include "scene/drawables/draw_layer.h"
#include "scene/drawables/motion_curves.h"
#include "scene/motions/motion_path_text.h"
#include "scene/sprites/sprite.h"

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
  direction_ = 0;
  centre_x_ = 0;
  centre_y_ = 0;
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

uint32_t CMotionPath::ParsePathString(const char* text, const CSprite* sprite, const CDrawLayer* layer) {
  if (text == nullptr) return kPathNoText;
  if (layer == nullptr && sprite != nullptr && sprite->GetOwnerList() != nullptr) layer = sprite->GetOwnerList()->GetLayer();
  if (layer == nullptr || layer->GetTarget() == nullptr) return kPathNoText;
  const CImage& target = *layer->GetTarget();
  PathTextFrame frame;
  if (sprite != nullptr) {
    if (sprite->GetSourceImage() == nullptr) return kPathNoText;
    frame = {sprite->GetX(), sprite->GetY(), sprite->GetOpacity(), sprite->GetWidth(), sprite->GetHeight(),
             target.GetWidth(), target.GetHeight()};
  } else {
    CImage* background = nullptr;
    layer->GetBackground(&background, &frame.start_x, &frame.start_y, nullptr, nullptr, nullptr);
    if (background == nullptr) return kPathNoBackground;
    frame.width = target.GetWidth();
    frame.height = target.GetHeight();
    frame.area_width = background->GetWidth();
    frame.area_height = background->GetHeight();
  }
  PathText parsed;
  if (const uint32_t status = ParsePathText(text, frame, parsed); status != 0) return status;
  SetPoints(std::move(parsed.records), parsed.spline);
  direction_ = parsed.direction;
  centre_x_ = parsed.centre_x;
  centre_y_ = parsed.centre_y;
  return 0;
}

int32_t CMotionPath::LastKeyFrame() const {
  for (size_t index = records_.size(); index-- > 1;) {
    if (records_[index].kind == MotionPathRecord::kPoint) return static_cast<int32_t>(index);
  }
  return -1;
}

const MotionPathRecord& CMotionPath::EndPoint() const {
  const int32_t last = LastKeyFrame();
  return records_[last > 0 ? static_cast<size_t>(last) : 0];
}
