// A two-dimensional path through a list of records, most of them points, on which positions are
// evaluated along straight segments or along the natural cubic spline through the points.
// Walking from one point to the next passes over the records that are no points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CDrawLayer;
class CSprite;

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
  // What a key-frame player shows at a point besides its place: opacity, the swing out and back
  // (with its phase) during the movement that ends here, zoom and turn (1.0 a full turn), and
  // the point's rank among the key frames (0 for the start).
  uint8_t alpha = 255;
  int32_t swing_x = 0;
  int32_t swing_y = 0;
  int32_t phase_x = 0;
  int32_t phase_y = 0;
  double zoom = 1.0;
  double angle = 0.0;
  int32_t key_index = 0;
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

  // Parses a path text (see motion_path_text.h) written for the sprite, whose area is the
  // layer's target (null: the layer of the sprite's list), or, without a sprite, for the view
  // of the layer's background, and takes its records; a spline is built when the text asks for
  // one and three points result. 0; 1 a null text, a sprite without image, no layer or no
  // target; 3 a view without background image; 4-6 a malformed text (the path stays as it was).
  uint32_t ParsePathString(const char* text, const CSprite* sprite, const CDrawLayer* layer);
  // The record index of the last point after the start, -1 when the path has none.
  int32_t LastKeyFrame() const;
  // The last point after the start, else the start; the path must hold records.
  const MotionPathRecord& EndPoint() const;
  // The last F or B of the text: 1 to the front, 2 to the back, 0 none.
  uint8_t GetDirection() const { return direction_; }
  // The turning centre in force at the text's end, relative to the sprite's top-left.
  int32_t GetCentreX() const { return centre_x_; }
  int32_t GetCentreY() const { return centre_y_; }

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
  uint8_t direction_ = 0;
  int32_t centre_x_ = 0;
  int32_t centre_y_ = 0;
};
