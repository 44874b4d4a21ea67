#include "effects/sprite/sp_tanime_effect.h"

#include <algorithm>
#include <new>
#include <utility>

#include "base/time/timer_manager.h"
#include "effects/framework/effect_args.h"
#include "gfx/image_operations/image_part.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr std::uint32_t kDefaultCellTime = 1000;

}  // namespace

std::uint32_t CSpTanimeCell::StartCell(CSprite* sprite, std::uint32_t duration, bool loop,
                                       std::vector<MotionPathRecord> commands, bool smooth, const TransformUse& use) {
  if (sprite == nullptr || sprite->GetDrawableType() != CDrawable::kTypeSprite || duration == 0) {
    return kCellBadArguments;
  }
  if (Path().SetPoints(std::move(commands), smooth) != 0) return kCellBadCommands;
  StartSprite(sprite, duration, loop, use);
  return 0;
}

std::int32_t CSpTanimeEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  const char* file_name = ArgText(args, 0);
  if (manager == nullptr || file_name == nullptr) return kSetupBadArguments;
  auto* part = static_cast<CImagePart*>(target);
  layer_ = part != nullptr ? dynamic_cast<CDrawLayer*>(part->GetLayer()) : nullptr;
  Clear();
  const std::uint32_t base = ArgUnsigned(args, 3);
  if (LoadDefinition(file_name, layer_, ArgInt(args, 1), ArgInt(args, 2), base, cells_, nullptr) != 0) {
    return kSetupBadDefinition;
  }
  g_SpriteBackPriority = base;
  g_SpriteFrontPriority = base - static_cast<std::uint32_t>(cells_.size());
  const bool loop = ArgFlag(args, 4);
  for (const std::unique_ptr<CSpTanimeCellDef>& cell : cells_) {
    auto player = std::unique_ptr<CSpTanimeCell>(new (std::nothrow) CSpTanimeCell);
    if (player == nullptr ||
        player->StartCell(cell->sprite.get(), kDefaultCellTime, loop, cell->commands, cell->smooth, cell->use) != 0) {
      Clear();
      return kSetupNotStarted;
    }
    players_.push_back(std::move(player));
  }
  running_.assign(cells_.size(), 1);
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    Clear();
    return kSetupNotStarted;
  }
  if (ArgFlag(args, 5)) LowerPriority();
  return kRunning;
}

std::uint32_t CSpTanimeEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) return 1;
  bool any = false;
  for (std::size_t i = 0; i < players_.size(); ++i) {
    if (running_[i] == 0) continue;
    if (players_[i]->Update(now) != 0) {
      cells_[i]->sprite->SetEnabled(false);
      running_[i] = 0;
    } else {
      any = true;
    }
  }
  return any ? 0 : 1;
}

void CSpTanimeEffect::OnResumed(std::uint32_t paused_span) {
  for (const std::unique_ptr<CSpTanimeCell>& player : players_) player->ShiftCell(paused_span);
}

void CSpTanimeEffect::Clear() {
  players_.clear();
  running_.clear();
  cells_.clear();
}
