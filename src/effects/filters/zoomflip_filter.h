// "zoomflip": the picture change by stretching. Modes 0 to 3 push the old picture out to the
// right, bottom, left or top while the new one grows in from the other side; 4 and 5 zoom into
// the old picture's centre and out of the new one's (5 leaving faint trails); 6 zooms the new
// picture out of its centre over the old one while fading it in. Other modes draw nothing.
#pragma once

#include <cstdint>

#include "effects/framework/timed_filter.h"

class CImage;

class CZoomFlipFilter : public CTimedFilter {
 public:
  static constexpr const char* kName = "zoomflip";
  static constexpr std::uint8_t kType = 1;

  std::uint8_t GetType() const override { return kType; }
  const char* GetName() const override { return kName; }
  std::int32_t Update(std::uint32_t now) override;
  // Finished when the progress reaches the span.
  std::int32_t GetState() const override { return progress_ == span_ ? kStateFinished : kStateRunning; }
  std::int32_t Apply(const FilterApplyArea& area) override;
  // Arguments: duration, mode, draw mode (the stretch's filter word: its low four bits set
  // choose the smooth stretch). The span: the layer's width in modes 0 and 2, its height in 1
  // and 3, 256 in mode 6, 512 otherwise.
  std::int32_t SetParam(CImagePart* target, const PluginArgs& args) override;

  std::int32_t Progress() const { return progress_; }
  std::int32_t Span() const { return span_; }

 private:
  // The old and the new picture each drawn into (x, y, w, h) of the destination, whole.
  void Slide(const FilterApplyArea& area, std::int32_t old_x, std::int32_t old_y, std::int32_t old_w,
             std::int32_t old_h, std::int32_t new_x, std::int32_t new_y, std::int32_t new_w, std::int32_t new_h);
  // The central part of `size` 256ths of the picture stretched over the area, at the level.
  void Zoom(const FilterApplyArea& area, CImage& picture, std::int32_t size, std::uint8_t level);
  void ZoomThrough(const FilterApplyArea& area, bool trails);

  std::int32_t progress_ = 0;
  std::int32_t span_ = 0;
  std::int32_t last_drawn_ = -1;
  std::uint8_t mode_ = 0;
  std::uint8_t draw_mode_ = 0;
};
