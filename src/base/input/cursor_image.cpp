#include "base/input/cursor_image.h"

#include <algorithm>
#include <utility>

CCursorImage::CCursorImage(CursorImageStrip strip, uint32_t frames, uint32_t frame_time, bool ping_pong,
                           plat::Point hot_spot)
    : strip_(std::move(strip)),
      frames_(std::max<uint32_t>(frames, 1)),
      frame_width_(strip_.width / static_cast<int32_t>(std::min<uint32_t>(frames_, INT32_MAX))),
      frame_time_(frame_time),
      ping_pong_(ping_pong),
      hot_spot_(hot_spot) {}

uint64_t CCursorImage::GetCycleLength() const {
  const uint64_t steps = ping_pong_ ? 2 * uint64_t{frames_} - 1 : frames_;
  return steps * frame_time_;
}

uint32_t CCursorImage::FrameAt(uint32_t elapsed) const {
  if (frame_time_ == 0) return 0;
  const uint64_t index = (elapsed % GetCycleLength()) / frame_time_;
  // Past the last frame the ping-pong runs back towards the first.
  if (index >= frames_) return static_cast<uint32_t>(2 * uint64_t{frames_} - index - 2);
  return static_cast<uint32_t>(index);
}

std::vector<uint32_t> CCursorImage::FramePixels(uint32_t frame) const {
  const auto width = static_cast<std::size_t>(frame_width_);
  std::vector<uint32_t> pixels(width * static_cast<std::size_t>(strip_.height));
  const std::size_t left = width * std::min(frame, frames_ - 1);
  for (std::size_t y = 0; y < static_cast<std::size_t>(strip_.height); ++y) {
    const auto row = strip_.pixels.begin() + static_cast<std::ptrdiff_t>(y * static_cast<std::size_t>(strip_.width) + left);
    std::copy(row, row + static_cast<std::ptrdiff_t>(width), pixels.begin() + static_cast<std::ptrdiff_t>(y * width));
  }
  return pixels;
}
