#include "effects/patterns/timed_wipe.h"

#include <memory>
#include <new>

#include "base/system/app_hooks.h"
#include "effects/patterns/timed_wipe_strips.h"
#include "gfx/images/image.h"

namespace {

constexpr uint32_t kDarken = 0;
constexpr uint32_t kFirstColourType = 8;
constexpr uint32_t kLastColourType = 13;
constexpr uint32_t kWholeImage = 65535;
constexpr int32_t kFullLevel = 255;

// The shape of each strip type, source types 2 to 7 and 14 to 21, colour types 8 to 13.
WipeShape ShapeOf(uint32_t type) {
  static constexpr WipeShape kBoxShapes[] = {WipeShape::kOpenFromMiddleRow,   WipeShape::kOpenFromMiddleColumn,
                                             WipeShape::kGrowBox,             WipeShape::kCloseToMiddleRow,
                                             WipeShape::kCloseToMiddleColumn, WipeShape::kCloseFrame};
  if (type < kFirstColourType) return kBoxShapes[type - 2];
  if (type <= kLastColourType) return kBoxShapes[type - kFirstColourType];
  return static_cast<WipeShape>(static_cast<uint32_t>(WipeShape::kBlindsFromLeft) + (type - 14));
}

plat::Rect WholeOrPart(uint32_t x, uint32_t y, uint32_t width, uint32_t height, const plat::Rect& whole) {
  if (x == kWholeImage) return whole;
  const int32_t left = static_cast<int32_t>(x);
  const int32_t top = static_cast<int32_t>(y);
  return plat::Rect{left, top, left + static_cast<uint16_t>(width), top + static_cast<uint16_t>(height)};
}

}  // namespace

void CTimedWipe::ForgetPictures() {
  target_ = nullptr;
  source_ = nullptr;
  complete_ = true;
}

CTimedWipe::CTimedWipe(uint32_t type, uint32_t duration, uint32_t now, CImage* target, CImage* source)
    : type_(type), duration_(duration == 0 ? 1 : duration), start_(now) {
  target_ = target;
  source_ = source;
}

CTimedWipe::~CTimedWipe() {
  if (state_ == kPriorityLowered && g_RestorePriorityHook != nullptr) g_RestorePriorityHook();
}

CTimedWipe* CTimedWipe::Make(uint32_t type, uint32_t duration, uint32_t now, CImage* target, CImage* source,
                             const TimedWipeArgs& args) {
  auto wipe = std::unique_ptr<CTimedWipe>(new (std::nothrow) CTimedWipe(type, duration, now, target, source));
  if (wipe == nullptr) return nullptr;
  if (wipe->IsSourceType()) {
    if (source == nullptr) return nullptr;
    wipe->TakeSourceArgs(args);
  } else {
    wipe->source_ = nullptr;
    wipe->TakeTargetArgs(args);
  }
  return wipe.release();
}

void CTimedWipe::TakeTargetArgs(const TimedWipeArgs& args) {
  plat::Rect clip;
  target_->GetClipRect(&clip);
  target_rect_ = WholeOrPart(args.a1, args.a2, args.a3, args.a4, clip);
  if (type_ < kFirstColourType) return;
  red_ = static_cast<uint8_t>(args.a6);
  green_ = static_cast<uint8_t>(args.a7);
  blue_ = static_cast<uint8_t>(args.a8);
  const uint16_t colour_mode = static_cast<uint16_t>(args.a5);
  if (colour_mode == 0) {
    mode_ = kColourFill;
    value_ = 128;
  } else if (colour_mode == kColourAdd || colour_mode == kColourSubtract) {
    mode_ = static_cast<uint8_t>(colour_mode);
    value_ = static_cast<uint16_t>(args.a8);
  } else if (colour_mode == kColourBrightness) {
    mode_ = kColourBrightness;
    value_ = static_cast<uint16_t>(args.a6);
  } else {
    mode_ = kColourFill;
    value_ = colour_mode > 255 ? 128 : colour_mode;
  }
}

void CTimedWipe::TakeSourceArgs(const TimedWipeArgs& args) {
  x_ = args.a1 == kWholeImage ? 0 : static_cast<int32_t>(args.a1);
  y_ = static_cast<int32_t>(args.a2);
  mode_ = static_cast<uint8_t>(args.a3);
  plat::Rect bounds;
  source_->GetBounds(&bounds);
  source_rect_ = WholeOrPart(static_cast<uint16_t>(args.a4), args.a5, args.a6, args.a7, bounds);
}

bool CTimedWipe::IsSourceType() const {
  return type_ >= 2 && (type_ < kFirstColourType || type_ > kLastColourType);
}

bool CTimedWipe::IsBoxType() const {
  const WipeShape shape = ShapeOf(type_);
  return shape == WipeShape::kGrowBox || shape == WipeShape::kCloseFrame;
}

void CTimedWipe::LowerPriority() {
  if (state_ != kCreated) return;
  if (g_LowerPriorityHook != nullptr) g_LowerPriorityHook();
  state_ = kPriorityLowered;
}

uint32_t CTimedWipe::Resume(uint32_t now) {
  const bool was_paused = IsPaused();
  const uint32_t result = CTimedTask::Resume(now);
  if (was_paused && !IsPaused()) start_ += result;
  return result;
}

uint32_t CTimedWipe::Update(uint32_t now) {
  if (complete_) return 1;
  const uint32_t elapsed = now - start_;
  const uint32_t done = type_ < 2 ? UpdateFade(elapsed) : UpdateStrips(elapsed);
  complete_ = done != 0;
  return done;
}

int32_t CTimedWipe::AmountDue(uint32_t elapsed, int32_t full) const {
  if (elapsed >= duration_) return full;
  return static_cast<int32_t>(static_cast<double>(elapsed) * full / duration_);
}

uint32_t CTimedWipe::UpdateFade(uint32_t elapsed) {
  const int32_t level = AmountDue(elapsed, kFullLevel);
  const uint8_t delta = static_cast<uint8_t>(level - progress_);
  if (delta == 0 && elapsed < duration_) return 0;
  if (type_ == kDarken) {
    target_->SubtractColor(delta, delta, delta, &target_rect_);
  } else {
    target_->AddColor(delta, delta, delta, &target_rect_);
  }
  if (level == kFullLevel) return 1;
  progress_ += delta;
  return 0;
}

uint32_t CTimedWipe::UpdateStrips(uint32_t elapsed) {
  const plat::Rect& area = IsSourceType() ? source_rect_ : target_rect_;
  const WipeShape shape = ShapeOf(type_);
  const WipeAmounts full = WipeFullAmounts(shape, area.Width(), area.Height());
  const bool completes = elapsed >= duration_;
  WipeStep step{{progress_, column_progress_}, {AmountDue(elapsed, full.rows), 0}, completes};
  if (IsBoxType()) step.after.columns = AmountDue(elapsed, full.columns);
  const bool moved = step.after.rows != step.before.rows || step.after.columns != step.before.columns;
  if (moved || completes) {
    ForEachWipeStrip(shape, area.Width(), area.Height(), step, [this](const plat::Rect& strip) { DrawStrip(strip); });
  }
  progress_ = step.after.rows;
  column_progress_ = step.after.columns;
  if (!completes) return 0;
  start_ = 0;
  return 1;
}

void CTimedWipe::DrawStrip(const plat::Rect& r) {
  if (IsSourceType()) {
    const plat::Rect part{source_rect_.left + r.left, source_rect_.top + r.top, source_rect_.left + r.right,
                          source_rect_.top + r.bottom};
    if (mode_ == kCopy) {
      target_->Copy(source_, x_ + r.left, y_ + r.top, &part, false);
    } else {
      target_->AlphaBlend(source_, x_ + r.left, y_ + r.top, &part, false);
    }
    return;
  }
  const plat::Rect part{target_rect_.left + r.left, target_rect_.top + r.top, target_rect_.left + r.right,
                        target_rect_.top + r.bottom};
  switch (mode_) {
    case kColourFill:
      target_->FillColor(red_, green_, blue_, static_cast<uint8_t>(value_), &part);
      return;
    case kColourAdd:
      target_->AddColor(red_, green_, blue_, &part);
      return;
    case kColourSubtract:
      target_->SubtractColor(red_, green_, blue_, &part);
      return;
    case kColourBrightness:
      target_->AdjustBrightness(value_, &part);
      return;
    default:
      return;
  }
}
