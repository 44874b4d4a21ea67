// Plays one pattern (entry) of an animation file through a sprite of its own in a layer's list:
// each frame shows its picture at the base place plus the frame's offsets for the frame's wait,
// then the next; at the end of the pattern it starts again, holds the last frame, finishes
// after a number of runs, or goes on with the next pattern. The task holds the file while it
// plays.
#pragma once

#include <cstdint>

#include "base/lifetime/ref_counted.h"
#include "base/lifetime/watched_ptr.h"
#include "scene/animations/animation_task.h"
#include "scene/animations/dag_file.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

class CTimerManager;

struct PatternAnimOptions {
  int32_t pattern = 0;
  // -1 forever; 0 once, then hold the last frame; n >= 1 n runs, then finish.
  int32_t repeats = -1;
  uint32_t priority = 0;
  // Skips the frames whose wait has passed, so that a late update shows the frame that is due.
  bool catch_up = false;
  // A held last frame ends the task.
  bool finish_when_held = false;
  // At the end the file leaves the list of animation files (it lives on while others hold it).
  bool release = false;
  // The sprite stays hidden this long.
  uint32_t delay = 0;
  int32_t base_x = 0;
  int32_t base_y = 0;
  // At the end of the pattern go on with the next one, once.
  bool chain = false;
};

class CPatternAnimTask : public CAnimationTask {
 public:
  static constexpr uint32_t kBadArgument = 1;
  static constexpr uint32_t kNoPattern = 2;
  static constexpr uint32_t kEmptyPattern = 3;
  static constexpr uint32_t kRefused = 4;
  // Update's result when a chain runs out of patterns.
  static constexpr uint32_t kChainEnded = 2;

  CPatternAnimTask() = default;
  ~CPatternAnimTask() override;

  // Shows the pattern's first frame, hands the task to the manager (which owns it from then on)
  // and puts the sprite into the layer's own list: 0, or a status above.
  uint32_t Start(CTimerManager* timers, CDrawLayer* layer, CDagFile* animation, const PatternAnimOptions& options);

  uint32_t GetTypeId() const override { return kTimedTaskPatternAnimation; }
  uint32_t Update(uint32_t now) override;
  // Releases the file when asked and takes the sprite out of the layer.
  void Stop() override;
  bool UsesResource(const void* resource) const override { return resource == animation_.get(); }

  const CSprite& GetSprite() const { return sprite_; }
  // The frame shown, as an index of the file's frame table.
  uint32_t GetCurrentFrame() const { return current_; }
  const PatternAnimOptions& GetOptions() const { return options_; }
  int32_t GetPattern() const { return options_.pattern; }
  // The pattern to play from the next update on, from its first frame. A pattern that cannot be
  // played ends the task there, as a chain that runs out does.
  void ChangePattern(int32_t pattern) {
    options_.pattern = pattern;
    pattern_changed_ = true;
  }
  bool IsPatternChanged() const { return pattern_changed_; }
  bool IsHolding() const { return state_ == State::kHolding; }

 private:
  enum class State : uint8_t { kNotStarted, kRunning, kHolding };

  void OnResumed(uint32_t paused_span) override { frame_start_ += paused_span; }
  const AnimFrame& Frame(uint32_t index) const { return animation_->GetFrames()[index]; }
  bool IsPlayable(int32_t pattern) const;
  // The next frame; non-zero when the task ends there.
  uint32_t Advance();
  uint32_t AtPatternEnd();
  // Starts the changed pattern at `now`: 0, or the end's result.
  uint32_t TakeChangedPattern(uint32_t now);
  void ShowCurrent();
  // Stop with the result that ends the task.
  uint32_t End(uint32_t result);

  RefPtr<CDagFile> animation_;
  PatternAnimOptions options_;
  CSprite sprite_;
  // Null once the canvas of the layer ends, which ends the part at its next step.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  uint32_t pattern_start_ = 0;
  uint32_t current_ = 0;
  uint32_t frame_start_ = 0;
  State state_ = State::kNotStarted;
  bool pattern_changed_ = false;
};
