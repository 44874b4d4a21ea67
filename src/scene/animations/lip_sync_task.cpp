#include "scene/animations/lip_sync_task.h"

#include "base/time/timer_manager.h"
#include "scene/animations/voice_loudness.h"

CLipSyncTask::~CLipSyncTask() = default;

int32_t CLipSyncTask::Setup(CTimerManager* timers, CCellSheet* sheet, IVoiceLoudness* voice) {
  if (timers == nullptr || sheet == nullptr || voice == nullptr || sheet->GetTarget() == nullptr || !voice->HoldsData()) {
    return kBadArgument;
  }
  sheet->SaveBackground(nullptr);
  if (!voice->IsPlaying()) return kNotPlaying;
  sheet->AddRef();
  sheet_.reset(sheet);
  voice_ = voice;
  current_cell_ = -1;
  const auto interval = static_cast<uint32_t>(sheet->GetFrameTime());
  return timers->Add(this, 0, interval, 0) == CTimerManager::kAdded ? 0 : kRefused;
}

int32_t CLipSyncTask::Setup(CTimerManager* timers, CCellSheet* sheet, std::unique_ptr<IVoiceLoudness> voice) {
  owned_voice_ = std::move(voice);
  return Setup(timers, sheet, owned_voice_.get());
}

uint32_t CLipSyncTask::Update(uint32_t) {
  // A sheet released under the task ends it.
  if (!sheet_ || sheet_->GetTarget() == nullptr) return 1;
  if (!voice_->IsPlaying()) {
    Stop();
    return 1;
  }
  const int32_t cell = voice_->LoudnessNow(sheet_->GetCellCount());
  if (cell != current_cell_) Show(cell, sheet_->DrawCell(cell, *sheet_->GetTarget()));
  return 0;
}

void CLipSyncTask::Stop() {
  if (sheet_ && sheet_->GetTarget() != nullptr) Show(0, sheet_->DrawRestFrame(*sheet_->GetTarget()));
}

void CLipSyncTask::Show(int32_t cell, const plat::Rect& drawn) {
  current_cell_ = cell;
  sheet_->ReportDrawn(drawn);
}
