// "sp_fade": fades a fixed number of sprites in or out, each on its own with its own duration
// and delay, optionally gliding it to a new place meanwhile. Setup only sizes it; each fade is
// started through SetParam, and the effect stays on its manager between fades (unless its update
// result ends it after the first update).
#pragma once

#include <cstdint>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/framework/effect.h"

class CDrawable;
class CSprite;

class CSpFadeEffect : public CEffect {
 public:
  // One object, whose address the registration table and GetName share.
  static constexpr char kName[] = "sp_fade";
  static constexpr std::uint8_t kType = 1;
  // Results of Setup besides kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupNoMemory = 2;
  static constexpr std::int32_t kSetupRefused = 3;
  // The most entries one effect takes.
  static constexpr std::int32_t kMostEntries = 4096;
  // SetParam modes: 0 or less finishes every fade, 1 fades in, more fades out.
  static constexpr std::int32_t kModeFadeIn = 1;

  CSpFadeEffect() = default;
  ~CSpFadeEffect() override;

  std::uint32_t GetTypeId() const override { return kTimedTaskSpriteEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Arguments: entry count (above 0, at most kMostEntries), update result (non-zero: 1),
  // heavy-work flag. The target is not read.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  // Arguments: mode, entry index, sprite, duration (ms), delay (ms), move flag, end x, end y,
  // glide power (an integer). Mode 0 or less: Finish and 0; else SetEntry's result.
  std::int32_t SetParam(const PluginArgs& args) override;
  // Whether a fade runs (0 or 1).
  std::int32_t GetParam(const PluginArgs&) override { return running_ ? 1 : 0; }
  std::uint32_t Update(std::uint32_t now) override;
  void Stop() override { Finish(); }

  // Starts a fade of `sprite` in entry `index`: 1 for an index beyond the entries or a null
  // sprite, else 0. The duration is that of a whole fade: a sprite part of the way there takes
  // that part of it.
  std::int32_t SetEntry(std::uint32_t index, CSprite* sprite, bool fade_in, std::uint32_t duration,
                        std::uint32_t delay, bool move, std::int32_t end_x, std::int32_t end_y, double power);
  // Puts every fading sprite at its end at once.
  void Finish();
  bool IsRunning() const { return running_; }

 private:
  struct Entry {
    // Null: free or ended; the entry of a sprite that ends is free, as if its fade had finished.
    WatchedPtr<CSprite, CDrawable> sprite;
    std::uint8_t start_alpha = 0;
    std::uint8_t target_alpha = 0;
    bool move = false;
    std::uint32_t duration = 0;
    std::uint32_t delay = 0;
    std::uint32_t start_time = 0;  // 0: not started
    std::int32_t start_x = 0;
    std::int32_t start_y = 0;
    std::int32_t end_x = 0;
    std::int32_t end_y = 0;
    double power = 0.0;
  };

  void OnResumed(std::uint32_t paused_span) override;
  // Frees the entries and ends a running period.
  void Release();
  // Clears the running flag, restoring the priority the period took.
  void EndRunning();
  void StepEntry(Entry& entry, std::uint32_t now);
  static void PutAtEnd(Entry& entry);

  std::vector<Entry> entries_;
  bool heavy_work_ = false;
  bool running_ = false;
  std::uint8_t update_result_ = 0;
};
