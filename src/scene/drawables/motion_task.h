// The common part of the motions that carry a drawable through key points over time. Each key
// holds two values (what they mean is the motion's: a position, a size, a turn and zoom) and an
// opacity; key 0 is taken from the drawable when the motion starts. Every segment between two
// keys lasts the same time and runs straight or along a natural cubic spline, the whole run
// eased by an exponent, after an optional delay, once or looping. A started motion belongs to
// its timer manager, which deletes it when it has finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "base/time/timed_task.h"

class CDrawable;
class CRenderObject;

// The options every motion takes.
struct MotionTiming {
  // The time of each segment; 0 puts the drawable at the last key at once.
  uint32_t segment_time = 0;
  uint32_t start_delay = 0;
  // The drawable is shown while the motion runs and hidden when it ends.
  bool visible_while_moving = false;
  // 0 straight; > 0 slow start; < 0 slow end.
  double ease = 0;
  // Starts again at key 0 instead of finishing.
  bool loop = false;
  // The game's priority is lowered while a motion that does not loop runs.
  bool lower_priority = false;
};

// Scripts hold a started motion by its handle, revoked when the manager deletes it.
class CMotionTask : public CTimedTask {
 public:
  // Statuses of ParsePoints, SetPoints and Start beside 0.
  static constexpr int32_t kRunning = -1;
  static constexpr int32_t kJumpedToEnd = -2;
  static constexpr int32_t kBadArgument = 1;
  static constexpr int32_t kBadText = 2;
  static constexpr int32_t kRefused = 2;

  // Two values whose meaning is the motion's, and an opacity.
  struct Key {
    double a = 0;
    double b = 0;
    uint8_t opacity = 0;
  };

  // Restores the game's priority when this motion lowered it.
  ~CMotionTask() override;

  // Keys 1.. from a text of groups "(a,b,opacity)" (decimal, 0x or 0b integers, blanks and
  // commas between): 0; -1 while running; 1 null text; 2 an empty text, no "(", fewer than two
  // groups for a spline, or a group whose three numbers cannot all be read (the motion then has
  // no keys). The opening parentheses decide the number of groups, so "(1,2,3" still reads.
  int32_t ParsePoints(const char* text);
  // Keys 1.. from (a, b, opacity) triples: 0; -1 while running; 1 no triple, a trailing partial
  // one, or fewer than two for a spline.
  int32_t SetPoints(std::span<const int32_t> triples);
  // Takes key 0 from the drawable and hands the motion to the manager, which owns it from then
  // on: 0. -1 while running; 1 without manager, keys or drawable; 2 when the drawable cannot
  // take this motion or the manager refuses it; -2 when the segment time is 0: the drawable is
  // put at the last key at once and the motion stays the caller's. A drawable that ends ends its
  // motion at once: the manager deletes it at its next step.
  int32_t Start(CTimerManager* timers, CDrawable* drawable);
  // The same for a render object of the screen: its opacity is the alpha of its corners, stepped
  // for the quads and primitives (kinds 4 to 8) only; the state blocks (kinds 9 and 10) cannot
  // move and are refused with 2.
  int32_t StartOnRenderObject(CTimerManager* timers, CRenderObject* object);

  // The kind without a drawable; with one, the form for a list or for its layer's attached list.
  uint32_t GetTypeId() const override;
  // Non-zero when the motion has finished.
  uint32_t Update(uint32_t now) override;
  // Puts the drawable at the last key when running.
  void Stop() override;
  // The last resume also moves the motion's own start on by the paused span.
  uint32_t Resume(uint32_t now) override;

  bool IsRunning() const { return running_; }

  // Ends, without touching it, every running motion that drives the render object: its
  // destructor calls this, so no motion writes into a destroyed object.
  static void EndMotionsOf(const CRenderObject* object);
  // The keys including key 0.
  size_t GetPointCount() const { return keys_.size(); }

 protected:
  struct TypeIds {
    uint32_t without_drawable;
    uint32_t in_list;
    uint32_t in_attached_list;
  };

  // Resizes step the opacity only on request; a spline needs at least two keys besides key 0.
  CMotionTask(const MotionTiming& timing, TypeIds type_ids, bool spline, bool opacity_on);

  // Key 0 from the drawable (its opacity included) and anything the motion prepares on it: 0,
  // or kRefused when the drawable cannot take this motion.
  virtual int32_t TakeStart(CDrawable& drawable, Key& start) = 0;
  // Key 0 from the render object (its opacity is filled in by the caller); kRefused by default.
  virtual int32_t TakeRenderObjectStart(CRenderObject& object, Key& start);
  // Puts the target (Target() or RenderTarget()) at the values a and b.
  virtual void Apply(double a, double b) = 0;

  CDrawable& Target() const { return *drawable_; }
  // The render object the motion drives, null when it drives a drawable.
  CRenderObject* RenderTarget() const { return render_object_; }
  const std::vector<Key>& Keys() const { return keys_; }

 private:
  // Hands a motion whose key 0 was taken to the manager: the statuses of Start.
  int32_t Launch(CTimerManager* timers);
  void Prepare();
  void SetTargetEnabled(bool enabled);
  // The drawable at `elapsed` ms of the eased run.
  void ApplyAt(uint32_t elapsed);
  void ApplyOpacity(uint8_t opacity);
  void Finish();
  // Ends a launched motion whose target ended; the manager deletes it at its next step.
  void EndWithoutTarget();

  MotionTiming timing_;
  TypeIds type_ids_;
  bool spline_;
  bool opacity_on_;
  bool step_opacity_ = false;
  CRenderObject* render_object_ = nullptr;
  CTimerManager* timers_ = nullptr;
  // Listed among the launched motions of render objects.
  bool listed_ = false;
  bool in_attached_list_ = false;
  bool running_ = false;
  bool lowered_priority_ = false;
  bool first_call_pending_ = false;
  uint32_t start_ = 0;
  uint32_t total_ = 0;
  std::vector<Key> keys_;
  std::vector<double> spline_a_;
  std::vector<double> spline_b_;
  WatchedPtr<CDrawable> drawable_{[this] { EndWithoutTarget(); }};
};
