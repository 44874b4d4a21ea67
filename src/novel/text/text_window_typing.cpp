// The message window's typewriter. The second pass draws the run into the glyph image, a copy of
// the page under the run's box; the fade image keeps what lay there before. The reveal runs along
// the run in reading order: the columns (rows for vertical writing) it has passed show the glyph
// image, and the last `ramp_level_` of them are blended over the fade image with the colour
// ramp's weights, so that the text comes in with a soft edge.
#include <algorithm>

#include "novel/text/text_window.h"
#include "ui/fonts/font.h"

namespace {

// The soft edge's ramp runs from full weight to none in 8-bit steps.
constexpr uint32_t kRampFull = 255;
constexpr uint32_t kRampNone = 0;
constexpr uint8_t kRampDepth = 8;

uint32_t BlendChannel(uint32_t under, uint32_t over, uint32_t weight, int shift) {
  const uint32_t a = under >> shift & 0xFF;
  const uint32_t b = over >> shift & 0xFF;
  return ((a * (255 - weight) + b * weight + 127) / 255) << shift;
}

uint32_t BlendPixel(uint32_t under, uint32_t over, uint8_t weight) {
  if (weight == 255) return over;
  return BlendChannel(under, over, weight, 24) | BlendChannel(under, over, weight, 16) |
         BlendChannel(under, over, weight, 8) | BlendChannel(under, over, weight, 0);
}

}  // namespace

uint32_t CTextWindow::PrepareTypingImage(int32_t size) {
  if (size < 0) {
    glyph_image_.Release();
    fade_image_.Release();
    color_ramp_.Free();
    ramp_level_ = 0;
    return 0;
  }
  if (font_ == nullptr) return kNoFont;
  if (size < FontHeight()) return kEdgeTooNarrow;
  const auto level = static_cast<uint32_t>(size);
  if (ramp_level_ != level) {
    if (color_ramp_.Build(level, kRampFull, kRampNone, kRampDepth) != 0) return kRampFailed;
    ramp_level_ = level;
  }
  const TextRunMargins margins = StyleMargins();
  const plat::Rect box = run_.Box();
  const plat::Rect page{0, 0, text_image().GetWidth(), text_image().GetHeight()};
  const plat::Rect area{std::max(box.left - margins.left, page.left), std::max(box.top - margins.top, page.top),
                        std::min(box.right + margins.right, page.right),
                        std::min(box.bottom + margins.bottom, page.bottom)};
  if (area.Width() <= 0 || area.Height() <= 0 || glyph_image_.Create(area.Width(), area.Height(), 32, 0) != 0 ||
      fade_image_.Create(area.Width(), area.Height(), 32, 0) != 0) {
    return kImageFailed;
  }
  glyph_image_.Copy(&text_image(), 0, 0, &area, false);
  fade_image_.Copy(&text_image(), 0, 0, &area, false);
  typing_origin_ = {area.left, area.top};
  return 0;
}

bool CTextWindow::UpdateTyping(uint32_t now) {
  if (type_state_ == TypeState::kRequested) {
    type_state_ = TypeState::kTyping;
    type_start_ = now;
    return true;
  }
  if (type_state_ != TypeState::kTyping) return false;
  const uint32_t elapsed = now - type_start_;
  if (elapsed >= type_duration_) {
    FinishTyping();
    return false;
  }
  const int64_t reveal = TypingRevealPosition(elapsed, type_duration_, run_.Extent(vertical_));
  if (reveal > revealed_) AdvanceTyping(reveal - revealed_);
  return true;
}

void CTextWindow::AdvanceTyping(int64_t pixels) {
  if (glyph_image_.GetPixels() == nullptr || pixels <= 0) return;
  const int64_t to = std::min(revealed_ + pixels, run_.Extent(vertical_));
  RevealBetween(revealed_, to);
  revealed_ = to;
}

bool CTextWindow::FinishTyping() {
  if (type_state_ != TypeState::kRequested && type_state_ != TypeState::kTyping) return false;
  if (glyph_image_.GetPixels() != nullptr) {
    text_image().Copy(&glyph_image_, typing_origin_.x, typing_origin_.y, nullptr, false);
    MarkPageChanged({typing_origin_.x, typing_origin_.y, typing_origin_.x + glyph_image_.GetWidth(),
                     typing_origin_.y + glyph_image_.GetHeight()});
  }
  PrepareTypingImage(-1);
  type_state_ = TypeState::kFinished;
  ShowIconAfterText();
  return true;
}

void CTextWindow::EndTyping() {
  PrepareTypingImage(-1);
  type_state_ = TypeState::kNone;
  type_duration_ = 0;
  revealed_ = 0;
}

void CTextWindow::RevealBetween(int64_t from, int64_t to) {
  // The soft edge behind the old reveal position moves on with the new one.
  const int64_t edge = static_cast<int64_t>(color_ramp_.GetCount());
  const TextRunMargins margins = StyleMargins();
  const std::vector<TextRunRecord>& records = run_.records();
  CImage& page = text_image();
  for (const CTextRun::Slice& slice : run_.Slices(std::max<int64_t>(from - edge, 0), to, vertical_)) {
    const plat::Rect& box = records[slice.record].box;
    const int32_t size = vertical_ ? box.Height() : box.Width();
    // Across the line the room the font's shadow or edge takes; a line's first and last boxes
    // take that room before and after them too.
    const bool first_in_line = records[slice.record].line_start;
    const bool last_in_line = slice.record + 1 == records.size() || records[slice.record + 1].line_start;
    const int32_t along_from = slice.from == 0 && first_in_line ? -(vertical_ ? margins.top : margins.left) : slice.from;
    const int32_t along_to =
        slice.to == size && last_in_line ? size + (vertical_ ? margins.bottom : margins.right) : slice.to;
    const plat::Rect area = vertical_ ? plat::Rect{box.left - margins.left, box.top + along_from,
                                                   box.right + margins.right, box.top + along_to}
                                      : plat::Rect{box.left + along_from, box.top - margins.top, box.left + along_to,
                                                   box.bottom + margins.bottom};
    const int32_t left = std::max(area.left, typing_origin_.x);
    const int32_t top = std::max(area.top, typing_origin_.y);
    const int32_t right = std::min(area.right, typing_origin_.x + glyph_image_.GetWidth());
    const int32_t bottom = std::min(area.bottom, typing_origin_.y + glyph_image_.GetHeight());
    for (int32_t y = top; y < bottom; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(page.GetRowPointer(y));
      for (int32_t x = left; x < right; ++x) {
        const int32_t along = std::clamp(vertical_ ? y - box.top : x - box.left, 0, size - 1);
        const uint8_t weight = SoftEdgeWeight(color_ramp_, to - 1 - (slice.start + along));
        const int32_t local_x = x - typing_origin_.x;
        const int32_t local_y = y - typing_origin_.y;
        row[x] = BlendPixel(fade_image_.GetPixel(local_x, local_y), glyph_image_.GetPixel(local_x, local_y), weight);
      }
    }
    MarkPageChanged(area);
  }
}
