#include "effects/sprite/sp_panime_effect.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_list.h"
#include "scene/motions/motion_path_text.h"
#include "scene/sprites/sprite.h"

std::uint32_t g_SpriteFrontPriority = 0;
std::uint32_t g_SpriteBackPriority = 0;

namespace {

std::int32_t Turn(double turns) { return static_cast<std::int32_t>(turns * CTrigTables::kSteps); }

template <class T>
void Put(const PluginArgs& args, std::uint32_t index, T value) {
  if (T* out = ArgOut<T>(args, index); out != nullptr) *out = value;
}

// The end key frame, the direction and the centre into the out-pointers from `first` on.
void PutEnd(const PluginArgs& args, std::uint32_t first, const CMotionPath& path, const MotionPathRecord& end) {
  Put<std::int32_t>(args, first, end.x);
  Put<std::int32_t>(args, first + 1, end.y);
  Put<std::int32_t>(args, first + 2, end.alpha);
  Put<std::int32_t>(args, first + 3, path.GetDirection());
  Put<float>(args, first + 4, static_cast<float>(end.zoom));
  Put<float>(args, first + 5, static_cast<float>(end.angle));
  Put<std::int32_t>(args, first + 6, path.GetCentreX());
  Put<std::int32_t>(args, first + 7, path.GetCentreY());
}

}  // namespace

std::int32_t CSpPanimeEffect::Setup(CTimerManager* manager, void* /*target*/, const PluginArgs& args) {
  CSprite* sprite = ArgPlainSprite(args, 0);
  if (manager == nullptr || sprite == nullptr) return kSetupBadArguments;
  if (Path().ParsePathString(ArgText(args, 1), sprite, nullptr) != 0) return kSetupBadPath;
  const std::uint32_t duration = ArgUnsigned(args, 2);
  sprite->SetAnchor(-1, Path().GetCentreX(), Path().GetCentreY());
  StartSprite(sprite, duration, ArgFlag(args, 3), ScanTransforms(Path()));
  if (duration == 0) {
    ShowEnd();
    return kFinishedAtOnce;
  }
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) return kSetupRefused;
  if (ArgFlag(args, 4)) LowerPriority();
  return kRunning;
}

CSpPanimeEffect::TransformUse CSpPanimeEffect::ScanTransforms(const CMotionPath& path) {
  TransformUse use;
  for (const MotionPathRecord& record : path.Records()) {
    if (record.kind != MotionPathRecord::kPoint) continue;
    use.zoom = use.zoom || record.zoom != 1.0;
    use.rotation = use.rotation || record.angle != 0.0;
    use.largest_zoom = std::max(use.largest_zoom, record.zoom);
  }
  return use;
}

void CSpPanimeEffect::StartSprite(CSprite* sprite, std::uint32_t duration, bool loop, const TransformUse& use) {
  sprite_ = sprite;
  front_ = g_SpriteFrontPriority;
  back_ = g_SpriteBackPriority;
  use_ = use;
  StartPlaying(duration, loop);
  if (g_TrigTable != nullptr) g_TrigTable->EnsureCosTable();
  if (!use.zoom && !use.rotation) return;
  if (use.rotation) {
    sprite->ReserveTurnImage(use.largest_zoom);
  } else {
    sprite->CreateWorkImage(static_cast<std::int32_t>(sprite->GetWidth() * use.largest_zoom),
                            static_cast<std::int32_t>(sprite->GetHeight() * use.largest_zoom));
  }
  const MotionPathRecord& first = Path().Records().front();
  sprite->RenderTransformed(Turn(first.angle), first.zoom);
}

void CSpPanimeEffect::OnCommand(const MotionPathRecord& command) {
  CDrawList* list = sprite_->GetOwnerList();
  switch (command.kind) {
    case kPathToFront:
      if (list != nullptr) list->SetPriority(sprite_, front_, false);
      break;
    case kPathToBack:
      if (list != nullptr) list->SetPriorityBehind(sprite_, back_, false);
      break;
    case kPathCentre:
      sprite_->SetAnchor(-1, command.x, command.y);
      break;
    default:
      break;
  }
}

void CSpPanimeEffect::ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) {
  std::int32_t x = 0;
  std::int32_t y = 0;
  PlaceAt(from, to, t, x, y);
  sprite_->SetPosition(x, y);
  sprite_->SetOpacity(static_cast<std::uint8_t>(from.alpha + (to.alpha - from.alpha) * t));
  if (!RendersTransforms()) return;
  const double zoom = from.zoom + (to.zoom - from.zoom) * t;
  sprite_->RenderTransformed(Turn(from.angle + (to.angle - from.angle) * t), zoom);
}

std::int32_t CSpPanimeEffect::GetParam(const PluginArgs& args) {
  if (Path().Records().empty()) return 1;
  if (Path().LastKeyFrame() < 0) {
    Put<std::int32_t>(args, 2, -1);
    return 0;
  }
  PutEnd(args, 0, Path(), Path().EndPoint());
  Put<float>(args, 8, RendersTransforms() ? 1.0f : 0.0f);
  return 0;
}

std::int32_t CSpPanimeEffect::Assist(const PluginArgs* args) {
  if (args == nullptr) return 1;
  if (ArgInt(*args, 0) == 0) {
    g_SpriteFrontPriority = ArgUnsigned(*args, 1);
    g_SpriteBackPriority = ArgUnsigned(*args, 2);
    return 0;
  }
  CSprite* sprite = ArgPlainSprite(*args, 1);
  if (sprite == nullptr) return 1;
  CMotionPath path;
  if (const std::uint32_t status = path.ParsePathString(ArgText(*args, 2), sprite, nullptr); status != 0) {
    return static_cast<std::int32_t>(status);
  }
  const MotionPathRecord& end = path.EndPoint();
  PutEnd(*args, 3, path, end);
  sprite->SetPosition(end.x, end.y);
  sprite->SetOpacity(end.alpha);
  if (end.zoom != 1.0 || end.angle != 0.0) {
    sprite->SetAnchor(-1, path.GetCentreX(), path.GetCentreY());
    sprite->RenderTransformed(Turn(end.angle), end.zoom);
  }
  return 0;
}
