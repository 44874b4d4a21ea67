// An animated picture part: steps through the cells of a cell sheet and draws them into the
// sheet's target (or a sprite's source image): forward, back and forth, or at random, in runs
// with waits between them, a number of times or forever. Drawn cells are reported to the
// sprites that show the target.
#pragma once

#include <cstdint>
#include <memory>

#include "base/lifetime/ref_counted.h"
#include "base/numbers/subtractive_random.h"
#include "base/lifetime/watched_ptr.h"
#include "scene/animations/animation_task.h"
#include "scene/animations/cell_sheet.h"

class CImage;
class CSprite;
class CTimerManager;

struct PicturePartSettings {
  // 0 forever, else the number of runs.
  uint8_t repeats = 0;
  // The wait between runs, plus a random part below random_range when that is not 0.
  uint32_t wait = 0;
  uint32_t random_range = 0;
  // The first run waits too.
  bool wait_first = false;
  // The caller's generator, used instead of one of the part's own.
  CSubtractiveGenerator* generator = nullptr;
};

class CPicturePart : public CAnimationTask {
 public:
  static constexpr int32_t kBadArgument = 1;
  static constexpr int32_t kRefused = 2;

  CPicturePart() = default;
  ~CPicturePart() override;

  // Saves the background under the cells and hands the part to the manager, which owns it from
  // then on: 0; 1 without manager or sheet, or a sheet without target; 2 a sprite without source
  // image, or the manager refuses.
  int32_t Setup(CTimerManager* timers, CCellSheet* sheet, CSprite* sprite, const PicturePartSettings& settings);
  // Keeps the area under the cells of `from` (null: the target) as the background: 0, 1 without
  // sheet.
  uint32_t CopyBackground(CImage* from);
  // Moves the cells; with redraw the background goes back at the old place and is saved at the
  // new one, and the cell is drawn there at the next update. 0, 1 without sheet.
  uint32_t MoveTo(int32_t x, int32_t y, bool redraw);

  uint32_t GetTypeId() const override { return kTimedTaskPicturePart; }
  uint32_t Update(uint32_t now) override;
  // Shows the rest frame.
  void Stop() override;
  bool UsesResource(const void* resource) const override { return resource == sheet_.get(); }

  int32_t GetCurrentCell() const { return current_cell_; }
  // The image the cells go into (a sprite's source image, else the sheet's target); null once
  // the sheet has been released.
  CImage* GetTargetImage() const { return Target(); }

 private:
  void OnResumed(uint32_t paused_span) override;
  // The cell at `elapsed` ms into a run.
  int32_t RunCell(uint32_t elapsed) const;
  uint32_t RunTime() const;
  uint32_t NextWait();
  uint32_t UpdateRandom(uint32_t now);
  uint32_t EndRun(uint32_t now);
  void Show(int32_t cell);
  void ShowRest();
  void Report(const plat::Rect& drawn);
  // The image the cells go into; null once the sheet has been released or the own sprite or its
  // picture ended, which ends the part at its next step.
  CImage* Target() const;
  void HeldEnds();

  RefPtr<CCellSheet> sheet_;
  uint8_t repeats_ = 0;
  uint32_t base_wait_ = 0;
  uint32_t random_range_ = 0;
  CSubtractiveGenerator* generator_ = nullptr;
  std::unique_ptr<CSubtractiveGenerator> own_generator_;
  uint32_t current_wait_ = 0;
  bool waiting_ = false;
  bool first_call_pending_ = true;
  int32_t current_cell_ = -1;
  uint32_t run_start_ = 0;
  uint32_t wait_start_ = 0;
  bool target_lost_ = false;
  WatchedPtr<CSprite, CDrawable> sprite_{[this] { HeldEnds(); }};
  WatchedPtr<CImage, CImageInterface> target_override_{[this] { HeldEnds(); }};
};
