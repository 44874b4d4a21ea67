#include "effects/sprite/sp_fade_effect.h"

#include <algorithm>
#include <new>

#include "base/numbers/script_bound.h"
#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "base/time/eased_time.h"
#include "effects/framework/effect_args.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr std::uint8_t kOpaque = 255;

std::int32_t Glide(std::int32_t from, std::int32_t to, double progress) {
  return static_cast<std::int32_t>(from + (static_cast<double>(to) - from) * progress);
}

}  // namespace

CSpFadeEffect::~CSpFadeEffect() { Release(); }

std::int32_t CSpFadeEffect::Setup(CTimerManager* manager, void* /*target*/, const PluginArgs& args) {
  const std::int32_t count = ArgInt(args, 0);
  if (manager == nullptr || count <= 0 || !WithinBound("sp_fade's entries", count, kMostEntries)) {
    return kSetupBadArguments;
  }
  Release();
  try {
    entries_.assign(static_cast<std::size_t>(count), Entry{});
  } catch (const std::bad_alloc&) {
    return kSetupNoMemory;
  }
  update_result_ = ArgFlag(args, 1) ? 1 : 0;
  heavy_work_ = ArgFlag(args, 2) && GetPriorityState() == kPriorityReady && g_LowerPriorityHook != nullptr;
  return manager->Add(this, 0, 0, 0) == CTimerManager::kAdded ? kRunning : kSetupRefused;
}

std::int32_t CSpFadeEffect::SetParam(const PluginArgs& args) {
  const std::int32_t mode = ArgInt(args, 0);
  if (mode <= 0) {
    Finish();
    return 0;
  }
  return SetEntry(ArgUnsigned(args, 1), ArgPlainSprite(args, 2), mode == kModeFadeIn, ArgUnsigned(args, 3),
                  ArgUnsigned(args, 4), ArgFlag(args, 5), ArgInt(args, 6), ArgInt(args, 7),
                  static_cast<double>(ArgInt(args, 8)));
}

std::int32_t CSpFadeEffect::SetEntry(std::uint32_t index, CSprite* sprite, bool fade_in, std::uint32_t duration,
                                     std::uint32_t delay, bool move, std::int32_t end_x, std::int32_t end_y,
                                     double power) {
  if (index >= entries_.size() || sprite == nullptr) return 1;
  Entry& entry = entries_[index];
  entry.sprite = sprite;
  if (sprite->IsEnabled()) {
    entry.start_alpha = sprite->GetOpacity();
  } else {
    entry.start_alpha = 0;
    sprite->SetOpacity(0);
  }
  entry.target_alpha = fade_in ? kOpaque : 0;
  const std::uint32_t distance = fade_in ? kOpaque - entry.start_alpha : entry.start_alpha;
  // Whole numbers: a full fade takes exactly the duration.
  entry.duration = static_cast<std::uint32_t>(std::uint64_t{std::max(duration, 1u)} * distance / kOpaque);
  entry.delay = delay;
  entry.start_time = 0;
  entry.move = move;
  if (move) {
    entry.start_x = sprite->GetX();
    entry.start_y = sprite->GetY();
    entry.end_x = end_x;
    entry.end_y = end_y;
    entry.power = power;
  }
  if (!running_) {
    running_ = true;
    // Once per running period, so that it pairs with the one restore at its end.
    if (heavy_work_ && g_LowerPriorityHook != nullptr) g_LowerPriorityHook();
  }
  return 0;
}

std::uint32_t CSpFadeEffect::Update(std::uint32_t now) {
  if (!running_) return 0;
  bool any = false;
  for (Entry& entry : entries_) {
    if (entry.sprite == nullptr) continue;
    any = true;
    StepEntry(entry, now);
  }
  if (!any) EndRunning();
  return update_result_;
}

void CSpFadeEffect::StepEntry(Entry& entry, std::uint32_t now) {
  CSprite& sprite = *entry.sprite;
  if (entry.start_time == 0) {
    entry.start_time = now;
    if (entry.delay == 0) sprite.SetEnabled(true);
    return;
  }
  std::uint32_t elapsed = now - entry.start_time;
  if (entry.delay != 0) {
    if (elapsed <= entry.delay) return;
    entry.start_time += entry.delay;
    elapsed -= entry.delay;
    entry.delay = 0;
    sprite.SetEnabled(true);
  }
  elapsed = std::min(elapsed, entry.duration);
  // A fade of no length (no distance to go) is at its end at once.
  const double t = entry.duration != 0 ? static_cast<double>(elapsed) / entry.duration : 1.0;
  const int span = entry.target_alpha - entry.start_alpha;
  sprite.SetOpacity(static_cast<std::uint8_t>(span * t + entry.start_alpha));
  if (entry.move) {
    const double glide = EaseProgress(t, entry.power);
    sprite.SetPosition(Glide(entry.start_x, entry.end_x, glide), Glide(entry.start_y, entry.end_y, glide));
  }
  if (elapsed != entry.duration) return;
  if (entry.target_alpha == 0) {
    sprite.SetEnabled(false);
    sprite.SetOpacity(kOpaque);
  }
  entry.sprite = nullptr;
}

void CSpFadeEffect::Finish() {
  if (!running_) return;
  for (Entry& entry : entries_) {
    if (entry.sprite != nullptr) PutAtEnd(entry);
  }
  EndRunning();
}

void CSpFadeEffect::PutAtEnd(Entry& entry) {
  CSprite& sprite = *entry.sprite;
  sprite.SetOpacity(kOpaque);
  // A fade-in that had not shown its sprite yet (a pending delay, no update) shows it now.
  sprite.SetEnabled(entry.target_alpha != 0);
  if (entry.move) sprite.SetPosition(entry.end_x, entry.end_y);
  entry.sprite = nullptr;
}

void CSpFadeEffect::EndRunning() {
  if (running_ && heavy_work_ && g_RestorePriorityHook != nullptr) g_RestorePriorityHook();
  running_ = false;
}

void CSpFadeEffect::Release() {
  entries_.clear();
  EndRunning();
}

void CSpFadeEffect::OnResumed(std::uint32_t paused_span) {
  for (Entry& entry : entries_) {
    if (entry.sprite != nullptr && entry.start_time != 0) entry.start_time += paused_span;
  }
}
