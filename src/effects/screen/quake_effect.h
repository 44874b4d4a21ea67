// "quake": shakes the background of the two pages of an image part by the quake rule. It moves
// each chosen layer's background offset, or, in cache mode, draws the background shifted into
// the layer's background cache with the uncovered strips in the layer's colour. Its end (the
// duration run out, or Stop) puts both layers back exactly where they stood at the set-up and
// drops the caches.
#pragma once

#include <array>
#include <cstdint>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"
#include "effects/screen/quake_shake.h"
#include "scene/drawables/draw_layer.h"


class CQuakeEffect : public CEffect {
 public:
  static constexpr char kName[] = "quake";
  static constexpr std::uint8_t kType = 3;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadTarget = 1;
  static constexpr std::int32_t kSetupNoCache = 4;
  static constexpr std::int32_t kSetupRefused = 5;  // also: no random generator

  CQuakeEffect() = default;

  std::uint32_t GetTypeId() const override { return kTimedTaskScreenEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // The target is an image part with a partner, both with a layer. Arguments: count of
  // half-waves (with a duration) or period in ms (without; 0 shakes randomly), amplitude x,
  // amplitude y, duration (ms, 0 endless), decay text (null 0.0), cache mode, shake the first
  // layer, shake the second layer, lower-priority flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override { Restore(); }

 private:
  struct Page {
    // Null once its canvas ends: the quake then ends, putting back what still lives.
    WatchedPtr<CDrawLayer, IDrawLayer> layer;
    bool shaken = false;
    std::int32_t base_x = 0;
    std::int32_t base_y = 0;
  };

  void OnResumed(std::uint32_t paused_span) override { shake_.MoveStart(paused_span); }
  // Shows the layer's background moved by (dx, dy) from where it stood at the set-up.
  void Move(const Page& page, std::int32_t dx, std::int32_t dy) const;
  void MoveOffset(const Page& page, std::int32_t x, std::int32_t y) const;
  static void DrawIntoCache(CDrawLayer& layer, std::int32_t x, std::int32_t y);
  // Drops the caches (in cache mode) and puts the layers back at their set-up offsets.
  void Restore();

  std::array<Page, 2> pages_{};
  bool cache_mode_ = false;
  CQuakeShake shake_;
};
