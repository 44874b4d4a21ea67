// "sp_gfade": reveals a sprite from one side, its moving edge softened by an alpha gradient
// of a given width. The sprite's pixels under the edge are changed in place and put back at
// every step and at the end, when the sprite is shown whole again.
#pragma once

#include <cstdint>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "gfx/image_operations/color_ramp.h"
#include "platform/system/geometry.h"
#include "scene/sprites/sprite.h"


class CSpGfadeEffect : public CEffect {
 public:
  static constexpr char kName[] = "sp_gfade";
  static constexpr std::uint8_t kType = 1;
  // Results of Setup besides kRunning; a duration of 0 shows the sprite whole and gives kEndedAtOnce.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoRamp = 3;
  static constexpr std::int32_t kSetupRefused = 5;
  static constexpr std::int32_t kEndedAtOnce = -1;
  // Directions: the side the sprite appears from.
  static constexpr std::uint8_t kFromLeft = 0;
  static constexpr std::uint8_t kFromRight = 1;
  static constexpr std::uint8_t kFromTop = 2;
  static constexpr std::uint8_t kFromBottom = 3;

  std::uint32_t GetTypeId() const override { return kTimedTaskSpriteEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Arguments: plain sprite, duration (ms), direction (above 3: 3), gradient width (0: a hard
  // edge), acceleration text (null: 0.0 and no lowered priority at the end).
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override { End(); }

 private:
  void OnResumed(std::uint32_t paused_span) override;
  void End();
  // Saves the alpha of the strip under the edge at step `step` and multiplies it by the ramp.
  void FadeStrip(std::int32_t step);
  void RestoreStrip();
  void ShowPart(std::int32_t step);
  bool Horizontal() const { return direction_ <= kFromRight; }

  // Null once the sprite ends: the fade then ends without touching it.
  WatchedPtr<CSprite, CDrawable> sprite_;
  // The picture the strip's alpha was saved from: it alone gets it back, while it lives.
  WatchedPtr<CImage, CImageInterface> strip_image_;
  std::uint32_t duration_ = 0;
  std::uint8_t direction_ = 0;
  std::uint16_t gradient_ = 0;
  double acceleration_ = 0.0;
  bool lower_at_end_ = false;
  CColorRamp ramp_;
  // The strip's rectangle in the source image and its saved alpha bytes, row by row.
  plat::Rect strip_{};
  std::vector<std::uint8_t> alpha_store_;
  plat::Rect saved_rect_{};
  std::int32_t saved_x_ = 0;
  std::int32_t saved_y_ = 0;
  std::int32_t distance_ = 0;
  std::int32_t start_offset_ = 0;
  std::int32_t last_step_ = 0;
  std::uint32_t start_time_ = 0;
  bool timing_ = false;
  bool drawing_ = false;
  bool ended_ = false;
};
