// "sp_tanime": a small cut-out animation of several cells read from a definition file (see
// sp_tanime_definition.h). Each cell is a picture with its own sprite in the target layer's
// list, played by a key-frame player of its own; a cell's sprite is hidden once its cell has
// played through, and the effect ends when no cell plays any more.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "effects/sprite/sp_panime_effect.h"
#include "effects/sprite/sp_tanime_definition.h"
#include "scene/drawables/draw_layer.h"

// The player of one cell: the sprite path player started from the cell's own records.
class CSpTanimeCell : public CSpPanimeEffect {
 public:
  static constexpr std::uint32_t kCellBadArguments = 1;
  static constexpr std::uint32_t kCellBadCommands = 2;

  // 0; 1 for a null or not plain sprite or a duration of 0; 2 when the records make no path.
  std::uint32_t StartCell(CSprite* sprite, std::uint32_t duration, bool loop, std::vector<MotionPathRecord> commands,
                          bool smooth, const TransformUse& use);
  void ShiftCell(std::uint32_t span) { ShiftStart(span); }
};

class CSpTanimeEffect : public CEffect {
 public:
  static constexpr char kName[] = "sp_tanime";
  static constexpr std::uint8_t kType = 1;
  // Results of Setup beside kRunning.
  static constexpr std::int32_t kSetupBadArguments = 1;
  static constexpr std::int32_t kSetupBadDefinition = 2;
  static constexpr std::int32_t kSetupNotStarted = 3;

  CSpTanimeEffect() = default;
  ~CSpTanimeEffect() override { Clear(); }

  std::uint32_t GetTypeId() const override { return kTimedTaskSpriteEffect; }
  const char* GetName() const override { return kName; }
  std::uint8_t GetType() const override { return kType; }
  // Target: the canvas part whose layer takes the cells. Arguments: definition file name, x and
  // y offsets, base priority (the first cell's; each further cell one less), loop flag,
  // heavy-work flag. The to-front and to-back priorities become base - cell count and base.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;
  std::uint32_t Update(std::uint32_t now) override;
  // Everything released: the cells' sprites leave the layer.
  void Stop() override { Clear(); }

  std::size_t GetCellCount() const { return cells_.size(); }
  const CSprite* GetCellSprite(std::size_t index) const { return cells_[index]->sprite.get(); }
  bool IsCellRunning(std::size_t index) const { return running_[index] != 0; }

 private:
  void OnResumed(std::uint32_t paused_span) override;
  void Clear();

  // Null once the canvas ends: the cells then show nowhere, and the effect ends at its next step.
  WatchedPtr<CDrawLayer, IDrawLayer> layer_;
  // The players before the cells whose sprites they move.
  std::vector<std::unique_ptr<CSpTanimeCellDef>> cells_;
  std::vector<std::unique_ptr<CSpTanimeCell>> players_;
  std::vector<std::uint8_t> running_;
};
