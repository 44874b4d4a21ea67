#include "effects/sprite/key_frame_player.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "base/time/eased_time.h"
#include "scene/motions/motion_path_text.h"

namespace {

const CTrigTables& Trig() {
  static const CTrigTables fallback;
  return g_TrigTable != nullptr ? *g_TrigTable : fallback;
}

}  // namespace

void CKeyFramePlayer::StartPlaying(std::uint32_t duration, bool loop) {
  index_ = 1;
  previous_ = 0;
  started_ = false;
  step_start_ = 0;
  duration_ = std::max(duration, 1u);
  loop_ = loop && path_.LastKeyFrame() > 0;
  has_value_ = true;
  power_ = 0.0;
  curves_ = false;
  step_m_ = kDefaultStepM;
  step_l_ = kDefaultStepL;
}

bool CKeyFramePlayer::Step(std::uint32_t now) {
  const std::vector<MotionPathRecord>& records = path_.Records();
  if (records.empty()) return true;
  if (!started_) {
    started_ = true;
    step_start_ = now;
  }
  for (;;) {
    while (index_ < records.size() && records[index_].kind != MotionPathRecord::kPoint) Perform(records[index_++]);
    if (index_ >= records.size()) {
      if (loop_) {
        index_ = 1;
        continue;
      }
      ShowFrame(records[previous_], records[previous_], 1.0);
      return true;
    }
    const std::uint32_t elapsed = now - step_start_;
    if (elapsed < duration_) {
      ShowFrame(records[previous_], records[index_], Progress(elapsed));
      return false;
    }
    step_start_ += duration_;
    previous_ = index_++;
  }
}

void CKeyFramePlayer::ShowEnd() {
  const std::vector<MotionPathRecord>& records = path_.Records();
  if (records.empty()) return;
  for (; index_ < records.size(); ++index_) {
    if (records[index_].kind != MotionPathRecord::kPoint) Perform(records[index_]);
  }
  const MotionPathRecord& end = path_.EndPoint();
  previous_ = static_cast<std::size_t>(&end - records.data());
  ShowFrame(end, end, 1.0);
}

void CKeyFramePlayer::ShiftStart(std::uint32_t span) {
  if (started_) step_start_ += span;
}

double CKeyFramePlayer::Progress(std::uint32_t elapsed) const {
  if (duration_ < 2) return 1.0;
  if (has_value_) return EaseProgress(static_cast<double>(elapsed) / duration_, power_);
  // The cosine ease: (1 - cos(k·π/256)) / 2 from the fixed-point table.
  const std::uint64_t k = std::uint64_t{elapsed} * 256 / duration_;
  const std::int32_t cosine = Trig().cosine[(-256 - static_cast<std::int64_t>(k)) & (CTrigTables::kSteps - 1)];
  return (cosine + 65536) / 131072.0;
}

std::int32_t CKeyFramePlayer::SwingOffset(std::int32_t swing, std::int32_t phase, double t) {
  const std::int64_t s = static_cast<std::int64_t>(2.0 * swing * t);
  const std::int64_t p = phase;
  if (s > -2 * p) {
    const std::int64_t q = s + 2 * p;
    return static_cast<std::int32_t>(q > p + swing ? 2 * (p + swing) - q : q);
  }
  return static_cast<std::int32_t>(s > -p ? s + 2 * p : -s);
}

void CKeyFramePlayer::PlaceAt(const MotionPathRecord& from, const MotionPathRecord& to, double t, std::int32_t& x,
                              std::int32_t& y) const {
  if (curves_) {
    path_.EvalSpline(from, to, t, x, y);
  } else {
    CMotionPath::EvalLinear(from, to, t, x, y);
  }
  x += SwingOffset(to.swing_x, to.phase_x, t);
  y += SwingOffset(to.swing_y, to.phase_y, t);
}

void CKeyFramePlayer::Perform(const MotionPathRecord& command) {
  switch (command.kind) {
    case kPathTime:
      duration_ = command.x < 1 ? 1u : static_cast<std::uint32_t>(command.x);
      break;
    case kPathEasing:
      has_value_ = command.flag != 0;
      power_ = command.real;
      break;
    case kPathCurvesOn:
      curves_ = path_.HasSpline();
      break;
    case kPathCurvesOff:
      curves_ = false;
      break;
    case kPathStepM:
      step_m_ = command.x;
      break;
    case kPathStepL:
      step_l_ = command.x;
      break;
    default:
      OnCommand(command);
      break;
  }
}
