// Timed wipes: timed tasks (kind 11000) that change a rectangle of a target image step by step
// over a duration. The source wipes bring a source image in strip by strip, the colour wipes
// colour the target strip by strip, and two types darken or brighten a whole rectangle. Each
// step draws only what lies between the amount already drawn and the amount due now, so the
// picture at any instant is the same however often the wipe was stepped, and the last step
// completes it exactly.
#pragma once

#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "base/time/timed_task.h"
#include "platform/system/geometry.h"

class CImage;
class CImageInterface;

inline constexpr uint32_t kTimedWipeTypeCount = 22;

// The eight type arguments of CreateTimedWipe.
struct TimedWipeArgs {
  uint32_t a1 = 0, a2 = 0, a3 = 0, a4 = 0, a5 = 0, a6 = 0, a7 = 0, a8 = 0;
};

// A wipe whose target or source ends stops drawing and ends at its next update.
class CTimedWipe : public CTimedTask {
 public:
  // Copy modes of the source types and colour operations of the colour types.
  static constexpr uint8_t kCopy = 0;
  static constexpr uint8_t kColourFill = 0;
  static constexpr uint8_t kColourAdd = 1;
  static constexpr uint8_t kColourSubtract = 2;
  static constexpr uint8_t kColourBrightness = 3;

  // Calls the restore hook when the wipe lowered the priority.
  ~CTimedWipe() override;

  uint32_t GetTypeId() const override { return kTimedTaskScreenTransition; }
  // 1 once the wipe is complete, else 0.
  uint32_t Update(uint32_t now) override;
  // Leaves the target as far as the wipe got.
  void Stop() override {}
  // The last resume also moves the wipe's own start time on by the paused span.
  uint32_t Resume(uint32_t now) override;
  // Calls the application's lower-priority hook once.
  void LowerPriority();

  uint32_t GetType() const { return type_; }
  uint32_t GetDuration() const { return duration_; }
  uint32_t GetStart() const { return start_; }

 private:
  friend class CTimedWipeHost;

  // The wipe of `type` (below 22) with its fields taken from the arguments; null for a source
  // type without a source.
  static CTimedWipe* Make(uint32_t type, uint32_t duration, uint32_t now, CImage* target, CImage* source,
                          const TimedWipeArgs& args);
  CTimedWipe(uint32_t type, uint32_t duration, uint32_t now, CImage* target, CImage* source);
  // A picture that ends ends the wipe at its next update without drawing.
  void ForgetPictures();
  void TakeTargetArgs(const TimedWipeArgs& args);
  void TakeSourceArgs(const TimedWipeArgs& args);

  uint32_t UpdateFade(uint32_t elapsed);
  uint32_t UpdateStrips(uint32_t elapsed);
  bool IsSourceType() const;
  bool IsBoxType() const;
  // The amount of `full` due after `elapsed` ms.
  int32_t AmountDue(uint32_t elapsed, int32_t full) const;
  // Draws the rectangle r of R (R-relative coordinates): the source's part at its place, or
  // the target's part coloured.
  void DrawStrip(const plat::Rect& r);

  uint32_t type_;
  uint32_t duration_;
  uint32_t start_;
  WatchedPtr<CImage, CImageInterface> target_{[this] { ForgetPictures(); }};
  plat::Rect target_rect_{};
  int32_t progress_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  WatchedPtr<CImage, CImageInterface> source_{[this] { ForgetPictures(); }};
  plat::Rect source_rect_{};
  uint8_t mode_ = 0;
  uint8_t red_ = 0;
  uint8_t green_ = 0;
  uint8_t blue_ = 0;
  uint16_t value_ = 0;
  int32_t column_progress_ = 0;
  uint8_t state_ = kCreated;
  // Set by the completing update: later updates draw nothing.
  bool complete_ = false;
  static constexpr uint8_t kCreated = 1;
  static constexpr uint8_t kPriorityLowered = 2;
};
