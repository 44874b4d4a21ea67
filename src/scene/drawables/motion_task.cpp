#include "scene/drawables/motion_task.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/system/app_hooks.h"
#include "base/text/tokenizer.h"
#include "base/time/eased_time.h"
#include "base/time/timer_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/drawables/motion_curves.h"
#include "scene/render/render_primitives.h"
#include "scene/render/textured_quad.h"

namespace {

CMotionTask::Key KeyFrom(int32_t a, int32_t b, int32_t opacity) {
  return {static_cast<double>(a), static_cast<double>(b), static_cast<uint8_t>(opacity)};
}

std::vector<double> KeyValues(std::span<const CMotionTask::Key> keys, double CMotionTask::Key::*value) {
  std::vector<double> values;
  values.reserve(keys.size());
  for (const CMotionTask::Key& key : keys) values.push_back(key.*value);
  return values;
}

bool LiesInAttachedList(const CDrawable& drawable) {
  const CDrawList* list = drawable.GetOwnerList();
  return list != nullptr && list->GetLayer() != nullptr && list->GetLayer()->GetAttachedList() == list;
}

// The opacity of a quad or primitive is the alpha of its first corner; other render objects
// have none.
template <typename Fn>
bool WithCorners(CRenderObject& object, Fn fn) {
  const ERenderObjectKind kind = object.GetKind();
  if (kind < ERenderObjectKind::kTexturedQuad || kind > ERenderObjectKind::kTrianglePrim) return false;
  if (auto* quad = dynamic_cast<CTexturedQuad*>(&object)) return fn(*quad, quad->GetCorners()[0].colour);
  if (auto* rect = dynamic_cast<CRectPrim*>(&object)) return fn(*rect, rect->GetCorners()[0].colour);
  if (auto* shape = dynamic_cast<CPointShape*>(&object)) {
    const uint32_t first = shape->GetVertices().empty() ? 0xFF000000u : shape->GetVertices()[0].colour;
    return fn(*shape, first);
  }
  return false;
}

bool IsStateBlock(const CRenderObject& object) {
  return object.GetKind() == ERenderObjectKind::kRenderStateBlock ||
         object.GetKind() == ERenderObjectKind::kBlendStateBlock;
}

}  // namespace

CMotionTask::CMotionTask(const MotionTiming& timing, TypeIds type_ids, bool spline, bool opacity_on)
    : timing_(timing), type_ids_(type_ids), spline_(spline), opacity_on_(opacity_on) {}

namespace {

// The motions of render objects handed to a manager and not yet deleted.
std::vector<CMotionTask*>& LaunchedMotions() {
  static std::vector<CMotionTask*> motions;
  return motions;
}

void EndMotionsOfRenderObject(CRenderObject* object) { CMotionTask::EndMotionsOf(object); }

}  // namespace

void CMotionTask::EndMotionsOf(const CRenderObject* object) {
  if (object == nullptr) return;
  const std::vector<CMotionTask*> launched = LaunchedMotions();
  for (CMotionTask* motion : launched) {
    if (motion->render_object_ != object) continue;
    motion->render_object_ = nullptr;
    motion->EndWithoutTarget();
  }
}

void CMotionTask::EndWithoutTarget() {
  if (timers_ == nullptr) return;
  running_ = false;
  timers_->Remove(this);
}

CMotionTask::~CMotionTask() {
  if (listed_) std::erase(LaunchedMotions(), this);
  if (lowered_priority_ && g_RestorePriorityHook != nullptr) g_RestorePriorityHook();
}

int32_t CMotionTask::ParsePoints(const char* text) {
  if (running_) return kRunning;
  if (text == nullptr) return kBadArgument;
  const size_t groups = CountParenGroups(text);
  if (groups == 0 || (spline_ && groups < 2)) return kBadText;
  std::vector<Key> keys(1);
  keys.reserve(groups + 1);
  CTokenizer tokenizer(text);
  for (size_t group = 0; group < groups; ++group) {
    int32_t a = 0;
    int32_t b = 0;
    int32_t opacity = 0;
    if (tokenizer.ReadInteger(a) != CTokenizer::kOk || tokenizer.ReadInteger(b) != CTokenizer::kOk ||
        tokenizer.ReadInteger(opacity) != CTokenizer::kOk) {
      keys_.clear();
      return kBadText;
    }
    keys.push_back(KeyFrom(a, b, opacity));
  }
  keys_ = std::move(keys);
  return 0;
}

int32_t CMotionTask::SetPoints(std::span<const int32_t> triples) {
  if (running_) return kRunning;
  const size_t count = triples.size() / 3;
  if (count == 0 || triples.size() % 3 != 0 || (spline_ && count < 2)) return kBadArgument;
  std::vector<Key> keys(1);
  keys.reserve(count + 1);
  for (size_t i = 0; i < count; ++i) keys.push_back(KeyFrom(triples[3 * i], triples[3 * i + 1], triples[3 * i + 2]));
  keys_ = std::move(keys);
  return 0;
}

int32_t CMotionTask::Start(CTimerManager* timers, CDrawable* drawable) {
  if (running_) return kRunning;
  if (timers == nullptr || keys_.empty() || drawable == nullptr) return kBadArgument;
  if (TakeStart(*drawable, keys_.front()) != 0) return kRefused;
  drawable_ = drawable;
  render_object_ = nullptr;
  step_opacity_ = opacity_on_;
  in_attached_list_ = LiesInAttachedList(*drawable);
  return Launch(timers);
}

int32_t CMotionTask::TakeRenderObjectStart(CRenderObject&, Key&) { return kRefused; }

int32_t CMotionTask::StartOnRenderObject(CTimerManager* timers, CRenderObject* object) {
  if (running_) return kRunning;
  if (timers == nullptr || keys_.empty() || object == nullptr) return kBadArgument;
  if (IsStateBlock(*object) || TakeRenderObjectStart(*object, keys_.front()) != 0) return kRefused;
  step_opacity_ = opacity_on_ && WithCorners(*object, [&](auto&, uint32_t colour) {
                    keys_.front().opacity = static_cast<uint8_t>(colour >> 24);
                    return true;
                  });
  drawable_ = nullptr;
  render_object_ = object;
  in_attached_list_ = false;
  return Launch(timers);
}

int32_t CMotionTask::Launch(CTimerManager* timers) {
  if (timing_.segment_time == 0) {
    Finish();
    return kJumpedToEnd;
  }
  Prepare();
  if (timers->Add(this, 0, 0, 0) != CTimerManager::kAdded) return kRefused;
  running_ = true;
  timers_ = timers;
  if (render_object_ != nullptr) {
    LaunchedMotions().push_back(this);
    listed_ = true;
    g_RenderObjectDestroyedHook = &EndMotionsOfRenderObject;
  }
  if (!timing_.loop && timing_.lower_priority && g_LowerPriorityHook != nullptr) {
    g_LowerPriorityHook();
    lowered_priority_ = true;
  }
  return 0;
}

void CMotionTask::Prepare() {
  const uint64_t total = uint64_t{timing_.segment_time} * (keys_.size() - 1);
  total_ = static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX));
  if (spline_) {
    spline_a_ = NaturalSplineTerms(KeyValues(keys_, &Key::a));
    spline_b_ = NaturalSplineTerms(KeyValues(keys_, &Key::b));
  }
  first_call_pending_ = true;
}

uint32_t CMotionTask::GetTypeId() const {
  if (drawable_ == nullptr) return type_ids_.without_drawable;
  return in_attached_list_ ? type_ids_.in_attached_list : type_ids_.in_list;
}

uint32_t CMotionTask::Update(uint32_t now) {
  if (first_call_pending_) {
    first_call_pending_ = false;
    start_ = now;
    // Without a delay the motion shows its drawable at once.
    if (timing_.start_delay == 0 && timing_.visible_while_moving) SetTargetEnabled(true);
  }
  if (timing_.start_delay != 0) {
    if (now - start_ < timing_.start_delay) return 0;
    start_ = now;
    timing_.start_delay = 0;
    if (timing_.visible_while_moving) SetTargetEnabled(true);
  }
  uint32_t elapsed = now - start_;
  if (elapsed >= total_) {
    if (!timing_.loop) {
      Finish();
      return 1;
    }
    start_ = now;
    elapsed = 0;
  }
  ApplyAt(EaseElapsed(elapsed, total_, timing_.ease));
  return 0;
}

void CMotionTask::ApplyAt(uint32_t elapsed) {
  const uint32_t segment_time = timing_.segment_time;
  const size_t segment = std::min<size_t>(elapsed / segment_time, keys_.size() - 2);
  const double f = static_cast<double>(elapsed % segment_time) / segment_time;
  const Key& from = keys_[segment];
  const Key& to = keys_[segment + 1];
  if (spline_) {
    Apply(SplineValue(from.a, to.a, spline_a_[segment], spline_a_[segment + 1], f),
          SplineValue(from.b, to.b, spline_b_[segment], spline_b_[segment + 1], f));
  } else {
    Apply(LinearValue(from.a, to.a, f), LinearValue(from.b, to.b, f));
  }
  ApplyOpacity(static_cast<uint8_t>(from.opacity + TruncateToInt32((to.opacity - from.opacity) * f)));
}

void CMotionTask::ApplyOpacity(uint8_t opacity) {
  if (!step_opacity_) return;
  if (drawable_ != nullptr) {
    drawable_->SetOpacity(opacity);
    return;
  }
  WithCorners(*render_object_, [&](auto& shape, uint32_t) {
    shape.SetAlpha(opacity);
    return true;
  });
}

void CMotionTask::SetTargetEnabled(bool enabled) {
  if (drawable_ != nullptr) {
    drawable_->SetEnabled(enabled);
  } else {
    render_object_->SetEnabled(enabled ? 1 : 0);
  }
}

void CMotionTask::Finish() {
  const Key& last = keys_.back();
  Apply(last.a, last.b);
  ApplyOpacity(last.opacity);
  if (timing_.visible_while_moving) SetTargetEnabled(false);
  running_ = false;
}

void CMotionTask::Stop() {
  if (running_) Finish();
}

uint32_t CMotionTask::Resume(uint32_t now) {
  const bool was_paused = IsPaused();
  const uint32_t result = CTimedTask::Resume(now);
  if (was_paused && !IsPaused()) start_ += result;
  return result;
}
