// "noise": lays a moving noise texture over both pages of an image part. Every 100 ms the
// texture ("SYS\NOISE.ELG") is copied into a work image of the screen's size from a random
// starting pixel on, wrapping around, so that a small texture shows tiled and shifted. A sprite
// in each page's own draw list shows the work image; the effect runs until it is stopped or its
// canvas is deleted.
#pragma once

#include <array>
#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "gfx/images/image.h"
#include "scene/sprites/sprite.h"

class CImagePart;

class CNoiseEffect : public CEffect {
 public:
  static constexpr char kName[] = "noise";
  static constexpr std::uint8_t kType = 3;
  static constexpr char kPicture[] = "SYS\\NOISE.ELG";
  static constexpr std::uint32_t kStep = 100;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoPages = 2;
  static constexpr std::int32_t kSetupNoPicture = 3;
  static constexpr std::int32_t kSetupNoImage = 4;
  static constexpr std::int32_t kSetupRefused = 5;

  CNoiseEffect() = default;

  std::uint32_t GetTypeId() const override { return kTimedTaskScreenEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // The target is an image part with a partner, both with a layer. Arguments: opacity,
  // priority, show on the first page, show on the second page.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Arguments: show on the first page, show on the second page (the pages as they stand now).
  std::int32_t SetParam(const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  // Hides both sprites.
  void Stop() override;

  const CImage& WorkImage() const { return work_; }
  const CSprite& SpriteMadeFor(std::size_t page) const { return sprites_[page]; }

 private:
  void Render();

  // Null once the canvas ends: the effect then ends at its next step.
  WatchedPtr<CImagePart> part_;
  CImage noise_;
  CImage work_;
  std::array<CSprite, 2> sprites_;
};
