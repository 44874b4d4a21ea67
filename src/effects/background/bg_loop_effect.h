// "bg_loop": scrolls a layer's background through its cache without end or a number of times,
// the picture's start following right behind its end.
#pragma once

#include <cstdint>
#include <limits>

#include "effects/background/bg_cache_effect.h"

class CBgLoopEffect : public CBgCacheEffect {
 public:
  static constexpr char kName[] = "bg_loop";
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupNoBackground = 1;
  static constexpr std::int32_t kSetupNoCache = 2;
  static constexpr std::int32_t kSetupNarrowBackground = 3;
  static constexpr std::int32_t kSetupShortBackground = 4;
  static constexpr std::int32_t kSetupRefused = 5;
  // Directions: the picture moves left, right, up or down.
  static constexpr std::uint8_t kHorizontal = 0;
  static constexpr std::uint8_t kHorizontalReversed = 1;
  static constexpr std::uint8_t kVertical = 2;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. Arguments: direction (3 and above vertical reversed),
  // period (ms a loop; 0 counts as 1), loops (0: until stopped), lower-priority flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;

 private:
  bool IsVertical() const { return direction_ >= kVertical; }
  void Draw(std::uint32_t position);

  std::uint8_t direction_ = kHorizontal;
  std::uint32_t period_ = 1;
  std::int32_t loops_ = 0;
  // The background's side along the motion.
  std::uint32_t span_ = 0;
  // None yet, so that the first update draws.
  std::uint32_t last_position_ = std::numeric_limits<std::uint32_t>::max();
};
