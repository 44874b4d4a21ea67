#include "effects/sprite/sp_gfade_effect.h"

#include <algorithm>

#include "base/time/eased_time.h"
#include "base/time/timer_manager.h"
#include "effects/framework/effect_args.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr std::uint8_t kOpaque = 255;
constexpr std::int32_t kAlphaByte = 3;  // of a 0xAARRGGBB word in memory

}  // namespace

std::int32_t CSpGfadeEffect::Setup(CTimerManager* manager, void* /*target*/, const PluginArgs& args) {
  sprite_ = ArgPlainSprite(args, 0);
  if (manager == nullptr || sprite_ == nullptr) return kSetupBadArguments;
  duration_ = ArgUnsigned(args, 1);
  if (duration_ == 0) {
    sprite_->SetEnabled(true);
    return kEndedAtOnce;
  }
  direction_ = static_cast<std::uint8_t>(std::min(ArgUnsigned(args, 2), std::uint32_t{kFromBottom}));
  gradient_ = static_cast<std::uint16_t>(ArgUnsigned(args, 3));
  lower_at_end_ = ArgText(args, 4) != nullptr;
  acceleration_ = ArgDecimal(args, 4, 0.0);
  const bool even = direction_ % 2 == 0;
  if (gradient_ != 0 && ramp_.Build(gradient_, even ? kOpaque : 0, even ? 0 : kOpaque, 8) != 0) return kSetupNoRamp;
  distance_ = (Horizontal() ? sprite_->GetWidth() : sprite_->GetHeight()) + gradient_;
  start_offset_ = -static_cast<std::int32_t>(gradient_);
  saved_rect_ = sprite_->GetSourceRect();
  saved_x_ = sprite_->GetX();
  saved_y_ = sprite_->GetY();
  sprite_->SetEnabled(false);
  return manager->Add(this, 0, 0, 0) == CTimerManager::kAdded ? kRunning : kSetupRefused;
}

std::uint32_t CSpGfadeEffect::Update(std::uint32_t now) {
  if (sprite_ == nullptr) ended_ = true;
  if (ended_) return 1;
  if (!timing_) {
    timing_ = true;
    start_time_ = now;
  }
  const std::uint32_t elapsed = now - start_time_;
  if (elapsed >= duration_) {
    End();
    return 1;
  }
  const std::uint32_t eased = EaseElapsed(elapsed, duration_, acceleration_);
  const auto step = static_cast<std::int32_t>(std::int64_t{distance_} * eased / duration_);
  if (step < 1 || step == last_step_) return 0;
  if (drawing_) {
    RestoreStrip();
  } else {
    drawing_ = true;
    sprite_->SetEnabled(true);
  }
  last_step_ = step;
  if (gradient_ != 0) FadeStrip(step);
  ShowPart(step);
  return 0;
}

void CSpGfadeEffect::FadeStrip(std::int32_t step) {
  CImage* image = sprite_->GetSourceImage();
  if (image == nullptr || image->GetBitsPerPixel() != 32) return;
  const std::int32_t length = Horizontal() ? saved_rect_.Width() : saved_rect_.Height();
  // The strip's first column (row) in the sprite, counted from the side the sprite appears at.
  const std::int32_t lead = step + start_offset_;
  const std::int32_t near_end = std::max(lead, 0);
  const std::int32_t far_end = std::min(lead + static_cast<std::int32_t>(gradient_), length);
  if (near_end >= far_end) return;
  const bool reversed = direction_ % 2 != 0;  // counted from the far side
  const std::int32_t from = reversed ? length - far_end : near_end;
  const std::int32_t to = reversed ? length - near_end : far_end;
  strip_ = saved_rect_;
  if (Horizontal()) {
    strip_.left = saved_rect_.left + from;
    strip_.right = saved_rect_.left + to;
  } else {
    strip_.top = saved_rect_.top + from;
    strip_.bottom = saved_rect_.top + to;
  }
  alpha_store_.clear();
  // A sprite given a smaller picture meanwhile has no such strip to fade.
  const bool inside = strip_.left >= 0 && strip_.top >= 0 && strip_.right <= image->GetWidth() &&
                      strip_.bottom <= image->GetHeight();
  if (!inside) return;
  strip_image_ = image;
  // The ramp's first entry lies at the moving edge's inner side: at `lead` for even directions,
  // mirrored for odd ones, where the ramp also runs the other way.
  const std::int32_t ramp_origin = reversed ? length - lead - gradient_ : lead;
  for (std::int32_t y = strip_.top; y < strip_.bottom; ++y) {
    std::uint8_t* row = image->GetRowPointer(y);
    for (std::int32_t x = strip_.left; x < strip_.right; ++x) {
      std::uint8_t& alpha = row[x * 4 + kAlphaByte];
      alpha_store_.push_back(alpha);
      const std::int32_t along = Horizontal() ? x - saved_rect_.left : y - saved_rect_.top;
      alpha = g_PixelTables.product[alpha][ramp_.GetEntry(static_cast<std::uint32_t>(along - ramp_origin))];
    }
  }
}

void CSpGfadeEffect::RestoreStrip() {
  CImage* image = strip_image_;
  if (alpha_store_.empty() || image == nullptr) {
    alpha_store_.clear();
    return;
  }
  auto saved = alpha_store_.cbegin();
  for (std::int32_t y = strip_.top; y < strip_.bottom; ++y) {
    std::uint8_t* row = image->GetRowPointer(y);
    for (std::int32_t x = strip_.left; x < strip_.right; ++x) row[x * 4 + kAlphaByte] = *saved++;
  }
  alpha_store_.clear();
}

void CSpGfadeEffect::ShowPart(std::int32_t step) {
  plat::Rect shown = saved_rect_;
  const std::int32_t length = Horizontal() ? saved_rect_.Width() : saved_rect_.Height();
  const std::int32_t kept = std::min(step, length);
  switch (direction_) {
    case kFromLeft: shown.right = shown.left + kept; break;
    case kFromRight: shown.left = shown.right - kept; break;
    case kFromTop: shown.bottom = shown.top + kept; break;
    default: shown.top = shown.bottom - kept; break;
  }
  sprite_->SetSourceRect(&shown);
  if (direction_ == kFromRight) sprite_->SetPosition(saved_x_ + length - kept, saved_y_);
  if (direction_ == kFromBottom) sprite_->SetPosition(saved_x_, saved_y_ + length - kept);
}

void CSpGfadeEffect::End() {
  if (ended_ || sprite_ == nullptr) return;
  ended_ = true;
  if (!drawing_) {
    sprite_->SetEnabled(true);
  } else {
    sprite_->SetSourceRect(&saved_rect_);
    if (direction_ % 2 != 0) sprite_->SetPosition(saved_x_, saved_y_);
    RestoreStrip();
  }
  if (lower_at_end_) LowerPriority();
}

void CSpGfadeEffect::OnResumed(std::uint32_t paused_span) {
  if (timing_) start_time_ += paused_span;
}
