#include "scene/animations/picture_part.h"

#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr uint8_t kForward = 0;
constexpr uint8_t kBackAndForth = 1;

}  // namespace

CPicturePart::~CPicturePart() = default;

int32_t CPicturePart::Setup(CTimerManager* timers, CCellSheet* sheet, CSprite* sprite,
                            const PicturePartSettings& settings) {
  if (timers == nullptr || sheet == nullptr || sheet->GetTarget() == nullptr) return kBadArgument;
  if (sprite != nullptr && sprite->GetSourceImage() == nullptr) return kRefused;
  sheet->AddRef();
  sheet_.reset(sheet);
  sprite_ = sprite;
  target_override_ = sprite != nullptr ? sprite->GetSourceImage() : nullptr;
  CopyBackground(nullptr);
  repeats_ = settings.repeats;
  base_wait_ = settings.wait;
  random_range_ = settings.random_range;
  // Random cells need a generator even without a random wait.
  if (random_range_ != 0 || RunTime() == 0) {
    generator_ = settings.generator;
    if (generator_ == nullptr) {
      own_generator_ = std::make_unique<CSubtractiveGenerator>(ReadMillisecondClock());
      generator_ = own_generator_.get();
    }
  }
  waiting_ = settings.wait_first;
  if (waiting_) current_wait_ = NextWait();
  return timers->Add(this, 0, 0, 0) == CTimerManager::kAdded ? 0 : kRefused;
}

uint32_t CPicturePart::CopyBackground(CImage* from) {
  if (!sheet_) return 1;
  return sheet_->SaveBackground(from != nullptr ? from : Target());
}

uint32_t CPicturePart::MoveTo(int32_t x, int32_t y, bool redraw) {
  if (!sheet_) return 1;
  CImage* target = Target();
  if (redraw && target != nullptr && sheet_->HasBackground()) {
    Report(sheet_->RestoreBackground(*target));
    sheet_->SetPlace(x, y);
    sheet_->SaveBackground(target);
    current_cell_ = -1;
  } else {
    sheet_->SetPlace(x, y);
  }
  return 0;
}

uint32_t CPicturePart::Update(uint32_t now) {
  // A sheet released under the part ends it.
  if (!sheet_ || Target() == nullptr) return 1;
  if (first_call_pending_) {
    first_call_pending_ = false;
    wait_start_ = now;
    run_start_ = now;
  }
  if (waiting_) {
    if (now - wait_start_ < current_wait_) return 0;
    waiting_ = false;
    run_start_ = now;
  }
  if (RunTime() == 0) return UpdateRandom(now);
  if (now - run_start_ >= RunTime()) {
    if (const uint32_t result = EndRun(now); result != 0 || waiting_) return result;
    // An update later than a whole run starts the next one afresh.
    if (now - run_start_ >= RunTime()) run_start_ = now;
  }
  if (const int32_t cell = RunCell(now - run_start_); cell != current_cell_) Show(cell);
  return 0;
}

uint32_t CPicturePart::UpdateRandom(uint32_t now) {
  if (current_cell_ >= 0 && now - run_start_ < static_cast<uint32_t>(sheet_->GetFrameTime())) return 0;
  const int32_t count = sheet_->GetCellCount();
  int32_t cell = generator_->Next() % count;
  if (cell == current_cell_) cell = (cell + 1) % count;
  Show(cell);
  run_start_ = now;
  return 0;
}

uint32_t CPicturePart::EndRun(uint32_t now) {
  if (repeats_ != 0 && --repeats_ == 0) {
    ShowRest();
    return 1;
  }
  if (const int32_t last = RunCell(RunTime() - 1); last != current_cell_) Show(last);
  current_wait_ = NextWait();
  run_start_ += RunTime();
  if (current_wait_ != 0) {
    waiting_ = true;
    wait_start_ = now;
  }
  return 0;
}

void CPicturePart::Stop() {
  if (sheet_) ShowRest();
}

void CPicturePart::OnResumed(uint32_t paused_span) {
  run_start_ += paused_span;
  wait_start_ += paused_span;
  current_cell_ = -1;
}

int32_t CPicturePart::RunCell(uint32_t elapsed) const {
  const int32_t count = sheet_->GetCellCount();
  const auto cell = static_cast<int32_t>(elapsed / static_cast<uint32_t>(sheet_->GetFrameTime()));
  return sheet_->GetOption() == kBackAndForth && cell >= count ? 2 * count - cell - 2 : cell;
}

uint32_t CPicturePart::RunTime() const {
  const auto cells = static_cast<uint32_t>(sheet_->GetCellCount());
  const auto frame = static_cast<uint32_t>(sheet_->GetFrameTime());
  switch (sheet_->GetOption()) {
    case kForward:
      return cells * frame;
    case kBackAndForth:
      return (2 * cells - 1) * frame;
    default:
      return 0;
  }
}

uint32_t CPicturePart::NextWait() {
  const uint32_t extra = random_range_ != 0 ? static_cast<uint32_t>(generator_->Next()) % random_range_ : 0;
  return base_wait_ + extra;
}

void CPicturePart::Show(int32_t cell) {
  current_cell_ = cell;
  if (CImage* target = Target()) Report(sheet_->DrawCell(cell, *target));
}

void CPicturePart::ShowRest() {
  current_cell_ = 0;
  if (CImage* target = Target()) Report(sheet_->DrawRestFrame(*target));
}

void CPicturePart::Report(const plat::Rect& drawn) {
  if (sprite_ == nullptr) {
    sheet_->ReportDrawn(drawn);
  } else if (drawn.Width() > 0 && drawn.Height() > 0) {
    plat::Rect rect = drawn;
    sprite_->InvalidateLocalRect(&rect);
  }
}

CImage* CPicturePart::Target() const {
  if (target_lost_) return nullptr;
  return target_override_ != nullptr ? target_override_ : sheet_->GetTarget();
}

void CPicturePart::HeldEnds() {
  sprite_ = nullptr;
  target_override_ = nullptr;
  target_lost_ = true;
}
