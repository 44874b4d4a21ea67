// Moves a speaking character's mouth: shows the cell of a mouth sheet that matches the voice's
// loudness at its play position, every frame time while the voice plays, and the rest frame
// when it stops.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/ref_counted.h"
#include "scene/animations/animation_task.h"
#include "scene/animations/cell_sheet.h"

class CTimerManager;
class IVoiceLoudness;

class CLipSyncTask : public CAnimationTask {
 public:
  static constexpr int32_t kBadArgument = 1;
  static constexpr int32_t kNotPlaying = 2;
  static constexpr int32_t kRefused = 3;

  CLipSyncTask() = default;
  ~CLipSyncTask() override;

  // Saves the background under the mouth and hands the task to the manager, which owns it from
  // then on: 0; 1 an argument is missing, the sheet has no target or the voice holds no data; 2
  // the voice is not playing; 3 the manager refuses. The voice must outlive the task.
  int32_t Setup(CTimerManager* timers, CCellSheet* sheet, IVoiceLoudness* voice);
  // The same with a voice that the task keeps until it is deleted.
  int32_t Setup(CTimerManager* timers, CCellSheet* sheet, std::unique_ptr<IVoiceLoudness> voice);

  uint32_t GetTypeId() const override { return kTimedTaskLipSync; }
  uint32_t Update(uint32_t now) override;
  // Shows the rest frame.
  void Stop() override;
  bool UsesResource(const void* resource) const override { return resource == sheet_.get(); }

  int32_t GetCurrentCell() const { return current_cell_; }

 private:
  void OnResumed(uint32_t) override {}
  void Show(int32_t cell, const plat::Rect& drawn);

  RefPtr<CCellSheet> sheet_;
  IVoiceLoudness* voice_ = nullptr;
  std::unique_ptr<IVoiceLoudness> owned_voice_;
  int32_t current_cell_ = -1;
};
