// "bg_cross": fades a layer's background back and forth with the background of its partner
// canvas (the other page), through the layer's cache: A, then B at half a period, then A again.
#pragma once

#include <cstdint>
#include <memory>

#include "effects/background/bg_cache_effect.h"
#include "gfx/images/image.h"

class CBgCrossEffect : public CBgCacheEffect {
 public:
  static constexpr char kName[] = "bg_cross";
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupNoBackground = 1;
  static constexpr std::int32_t kSetupNoPartner = 3;  // also: the manager refuses
  static constexpr std::int32_t kSetupNoCache = 4;
  static constexpr std::int32_t kSetupSizesDiffer = 5;
  // Modes: both pictures live; the partner's picture as it was at the set-up; from that picture to
  // the partner's live one.
  static constexpr std::uint8_t kLive = 0;
  static constexpr std::uint8_t kPartnerTaken = 1;
  static constexpr std::uint8_t kTakenToLive = 2;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part with a partner. Arguments: period (ms; 0 counts as 1),
  // loops (0: until stopped), mode, lower-priority flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Asks the effect to end at the end of the running period: 0.
  std::int32_t SetParam(const PluginArgs&) override {
    stop_requested_ = true;
    return 0;
  }
  std::uint32_t Update(std::uint32_t now) override;

 private:
  void Draw(std::uint8_t level);

  WatchedPtr<CDrawLayer, IDrawLayer> partner_layer_;
  // The partner's picture taken at the set-up (modes 1 and 2).
  std::unique_ptr<CImage> taken_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::uint32_t period_ = 1;
  std::int32_t loops_ = 0;
  std::int32_t last_step_ = -1;
  bool stop_requested_ = false;
  std::uint8_t mode_ = kLive;
};
