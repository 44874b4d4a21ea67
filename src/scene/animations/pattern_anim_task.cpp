#include "scene/animations/pattern_anim_task.h"

#include "base/time/timer_manager.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/draw_layer.h"

CPatternAnimTask::~CPatternAnimTask() = default;

uint32_t CPatternAnimTask::Start(CTimerManager* timers, CDrawLayer* layer, CDagFile* animation,
                                 const PatternAnimOptions& options) {
  if (timers == nullptr || layer == nullptr || animation == nullptr) return kBadArgument;
  const int32_t start = animation->GetEntries().GetEntryStart(options.pattern);
  if (start < 0) return kNoPattern;
  if (animation->GetFrames()[static_cast<uint32_t>(start)].ImageNumber() < 0) return kEmptyPattern;
  animation->AddRef();
  animation_.reset(animation);
  options_ = options;
  pattern_start_ = static_cast<uint32_t>(start);
  current_ = pattern_start_;
  ShowCurrent();
  if (timers->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    animation_.reset();
    return kRefused;
  }
  if (options_.delay != 0) sprite_.SetEnabled(false);
  layer_ = layer;
  layer_->GetOwnList().Insert(&sprite_, options_.priority, 0);
  return 0;
}

bool CPatternAnimTask::IsPlayable(int32_t pattern) const {
  const int32_t start = animation_ ? animation_->GetEntries().GetEntryStart(pattern) : -1;
  return start >= 0 && Frame(static_cast<uint32_t>(start)).ImageNumber() >= 0;
}

uint32_t CPatternAnimTask::Update(uint32_t now) {
  if (!animation_) return 1;
  if (layer_ == nullptr) return End(1);
  switch (state_) {
    case State::kNotStarted:
      state_ = State::kRunning;
      frame_start_ = now;
      return 0;
    case State::kHolding:
      if (pattern_changed_) return TakeChangedPattern(now);
      return options_.finish_when_held ? End(1) : 0;
    case State::kRunning:
      break;
  }
  if (pattern_changed_) return TakeChangedPattern(now);
  if (options_.delay != 0) {
    if (now - frame_start_ < options_.delay) return 0;
    frame_start_ = now;
    options_.delay = 0;
    sprite_.SetEnabled(true);
  }
  const uint32_t shown = current_;
  uint32_t elapsed = now - frame_start_;
  while (state_ == State::kRunning && elapsed >= Frame(current_).Wait()) {
    const uint32_t wait = Frame(current_).Wait();
    if (options_.catch_up) {
      elapsed -= wait;
      frame_start_ += wait;
    } else {
      frame_start_ = now;
    }
    if (const uint32_t result = Advance(); result != 0) return result;
    // Without catching up one frame a pass; a frame without wait takes a pass of its own.
    if (!options_.catch_up || wait == 0) break;
  }
  if (current_ != shown) ShowCurrent();
  return 0;
}

uint32_t CPatternAnimTask::TakeChangedPattern(uint32_t now) {
  pattern_changed_ = false;
  if (!IsPlayable(options_.pattern)) return End(kChainEnded);
  pattern_start_ = static_cast<uint32_t>(animation_->GetEntries().GetEntryStart(options_.pattern));
  current_ = pattern_start_;
  frame_start_ = now;
  state_ = State::kRunning;
  ShowCurrent();
  return 0;
}

uint32_t CPatternAnimTask::Advance() {
  ++current_;
  return Frame(current_).ImageNumber() < 0 ? AtPatternEnd() : 0;
}

uint32_t CPatternAnimTask::AtPatternEnd() {
  if (options_.chain) {
    options_.chain = false;
    const int32_t next = options_.pattern + 1;
    if (!IsPlayable(next)) return End(kChainEnded);
    options_.pattern = next;
    pattern_start_ = static_cast<uint32_t>(animation_->GetEntries().GetEntryStart(next));
    current_ = pattern_start_;
    return 0;
  }
  switch (options_.repeats) {
    case -1:
      current_ = pattern_start_;
      return 0;
    case 0:
      --current_;
      state_ = State::kHolding;
      return 0;
    default:
      if (options_.repeats-- == 1) return End(1);
      current_ = pattern_start_;
      return 0;
  }
}

void CPatternAnimTask::ShowCurrent() {
  const AnimFrame& frame = Frame(current_);
  CImage* picture = animation_->GetPicture(frame.ImageNumber());
  if (picture == nullptr) return;
  sprite_.SetImage(picture, nullptr, options_.base_x + frame.OffsetX(), options_.base_y + frame.OffsetY());
}

uint32_t CPatternAnimTask::End(uint32_t result) {
  Stop();
  return result;
}

void CPatternAnimTask::Stop() {
  if (options_.release && animation_) g_AnimFiles.Release(animation_.get());
  options_.release = false;
  if (layer_ != nullptr && !layer_->GetOwnList().Remove(&sprite_) && layer_->GetAttachedList() != nullptr) {
    layer_->GetAttachedList()->Remove(&sprite_);
  }
  layer_ = nullptr;
}
