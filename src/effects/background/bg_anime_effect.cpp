#include "effects/background/bg_anime_effect.h"

#include <algorithm>

#include "base/numbers/little_endian.h"
#include "base/time/timer_manager.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"

namespace {

// Command values of the frame records whose cell index is negative; a value of 0 or below ends
// an entry, any other value is refused.
constexpr std::int32_t kMarkRecord = 1;
constexpr std::int32_t kJumpRecord = 2;

// The frame size is the header's first two 16-bit values.
constexpr std::size_t kWidthAt = 0;
constexpr std::size_t kHeightAt = 2;

bool IsCommand(const AnimFrame& frame) { return frame.ImageNumber() < 0; }
std::int32_t CommandValue(const AnimFrame& frame) { return frame.Word(1); }

}  // namespace

CBgAnimeEffect::~CBgAnimeEffect() { TakeOutFrameImage(); }

std::int32_t CBgAnimeEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  layer_ = CanvasLayer(target);
  CDadFile* file = ArgObject<CDadFile>(args, 0);
  const char* folder = ArgText(args, 1);
  if (manager == nullptr || layer_ == nullptr || file == nullptr || file->GetFrames().empty() || folder == nullptr) {
    return kSetupBadArguments;
  }
  if (file_ != nullptr) return kSetupNoFrameImage;
  const std::uint8_t* header = file->GetHeader().data();
  // Two buffers of the longest entry's length must fit the loader's 16-bit entry numbers.
  const std::uint32_t longest = file->GetLongestEntry();
  if (longest == 0 || longest > 0xFFFF / 2 ||
      frame_image_.Create(LoadLe16(header + kWidthAt), LoadLe16(header + kHeightAt), 32, 0) != 0 ||
      loader_.Allocate(static_cast<std::uint16_t>(2 * longest)) != 0) {
    return kSetupNoFrameImage;
  }
  file->AddRef();
  file_.reset(file);
  buffer_size_ = static_cast<std::uint16_t>(longest);
  folder_ = folder;
  loader_.SetFolder(folder_.c_str());
  loop_ = ArgFlag(args, 4);
  if (const std::int32_t entry = ArgInt(args, 2); entry >= 0) Select(entry, ArgInt(args, 3));
  if (ArgFlag(args, 5) && Start() != 0) return kSetupStartFailed;
  if (manager->Add(this, 0, 0, 0) != CTimerManager::kAdded) return kSetupRefused;
  LowerPriority();
  return kRunning;
}

std::int32_t CBgAnimeEffect::SetParam(const PluginArgs& args) {
  if (file_ == nullptr) return kNoFile;
  switch (ArgUnsigned(args, 0)) {
    case kSelect:
      return Select(ArgInt(args, 1), ArgInt(args, 2));
    case kStart:
      return Start();
    case kPause:
      if (state_ != kPlaying) return kNotInThisState;
      state_ = kPaused;
      return 0;
    case kResume:
      if (state_ != kPaused) return kNotInThisState;
      restart_timing_ = true;
      state_ = kPlaying;
      return 0;
    case kStop:
      StopPlaying();
      return 0;
    case kStopAtMark:
      if (target_ < 0) return kNotInThisState;
      stop_at_target_ = true;
      return 0;
    default:
      return kUnknownCommand;
  }
}

std::int32_t CBgAnimeEffect::Select(std::int32_t entry, std::int32_t frame) {
  entry_ = static_cast<std::uint32_t>(entry) < file_->GetEntryCount() ? entry : 0;
  const std::int32_t first = file_->GetEntryStart(entry_);
  frame_ = frame >= 1 && frame > first && frame <= file_->GetEntryEnd(entry_) ? frame : first;
  active_ = 0;
  LoadCells(0, entry_);
  target_ = -1;
  state_ = kPrepared;
  return 0;
}

std::int32_t CBgAnimeEffect::Start() {
  if (state_ != kPrepared) return kNotInThisState;
  loader_.WaitIdle();
  if (const std::int32_t next = EntryAfter(entry_); next >= 0 && next != entry_) LoadCells(1 - active_, next);
  target_ = -1;
  if (FindCell() != Step::kCell || !DrawCell()) return kFrameNotShown;
  ShowFrameImage();
  restart_timing_ = true;
  state_ = kPlaying;
  return 0;
}

void CBgAnimeEffect::Stop() {
  if (file_ != nullptr) StopPlaying();
  // The manager deletes a stopped effect later, when the layer may be gone.
  layer_ = nullptr;
}

void CBgAnimeEffect::StopPlaying() {
  target_ = -1;
  state_ = kStopped;
  TakeOutFrameImage();
  // The loader is emptied with the load it runs; every buffer must be asked for again.
  loader_.Clear();
  buffers_ = {};
}

std::uint32_t CBgAnimeEffect::Update(std::uint32_t now) {
  if (layer_ == nullptr) {
    Stop();
    return 1;
  }
  if (state_ != kPlaying) return 0;
  if (restart_timing_) {
    restart_timing_ = false;
    frame_time_ = now;
    return 0;
  }
  std::uint32_t wait = Wait();
  std::uint32_t elapsed = now - frame_time_;
  if (wait == 0 || elapsed < wait) return 0;
  if (!catch_up_) {
    frame_time_ = now;
  } else if (elapsed > kForgottenDelayMs) {
    frame_time_ = now - wait;
    elapsed = wait;
  }
  // Caught up, the frames whose time has passed are stepped over without being drawn.
  Step step = Step::kCell;
  do {
    if (catch_up_) {
      elapsed -= wait;
      frame_time_ += wait;
    }
    step = StepToNextCell();
    wait = step == Step::kCell ? Wait() : 0;
  } while (catch_up_ && wait != 0 && elapsed >= wait);
  if (step == Step::kBadRecord) return kBadRecord;
  if (step == Step::kCell) DrawCell();
  return 0;
}

CBgAnimeEffect::Step CBgAnimeEffect::StepToNextCell() {
  ++frame_;
  return FindCell();
}

CBgAnimeEffect::Step CBgAnimeEffect::FindCell() {
  // A way from one cell to the next performs each command record once at most, and the wrap to
  // the first frame adds one more; beyond that, marks and jumps go round without a cell.
  std::int32_t commands_left = FrameCount() + 1;
  bool wrapped = false;
  while (true) {
    if (frame_ >= FrameCount()) {
      if (!loop_ || wrapped) {
        state_ = kStopped;
        return Step::kStopped;
      }
      wrapped = true;
      target_ = -1;
      EnterEntry(0);
      frame_ = 0;
      continue;
    }
    const AnimFrame& record = Frame(frame_);
    if (!IsCommand(record)) return Step::kCell;
    if (--commands_left < 0 || !PerformCommand(CommandValue(record))) return Step::kBadRecord;
  }
}

bool CBgAnimeEffect::PerformCommand(std::int32_t value) {
  if (value <= 0) {
    if (EntryCount() <= 1) {
      ++frame_;
    } else if (entry_ + 1 >= EntryCount()) {
      frame_ = FrameCount();
    } else {
      EnterEntry(entry_ + 1);
      frame_ = file_->GetEntryStart(entry_);
    }
    return true;
  }
  if (value == kMarkRecord) {
    target_ = frame_++;
    stop_at_target_ = false;
    return true;
  }
  if (value != kJumpRecord) return false;
  if (stop_at_target_) {
    stop_at_target_ = false;
    target_ = -1;
    ++frame_;
  } else if (target_ >= 0) {
    std::int32_t offset = 0;
    EnterEntry(file_->GetEntryAtFrame(target_, &offset));
    frame_ = target_;
  } else {
    ++frame_;
  }
  return true;
}

bool CBgAnimeEffect::DrawCell() {
  const CellBuffer& buffer = buffers_[active_];
  const auto offset = static_cast<std::size_t>(frame_ - file_->GetEntryStart(entry_));
  if (buffer.entry != entry_ || offset >= buffer.cell_of_frame.size() || buffer.cell_of_frame[offset] < 0) return false;
  const auto index = static_cast<std::uint16_t>(active_ * buffer_size_ + buffer.cell_of_frame[offset]);
  if (loader_.IsBusy(index)) loader_.WaitIdle();
  const std::uint8_t* data = loader_.GetData(index);
  if (data == nullptr) return false;
  // The record's third word places the cell: x in its low half, y in its high half, unsigned.
  const std::uint32_t place = Frame(frame_).words[2];
  const std::uint32_t status = frame_image_.LoadFileInto(nullptr, data, loader_.GetSize(index),
                                                        static_cast<std::int32_t>(place & 0xFFFF),
                                                        static_cast<std::int32_t>(place >> 16), false);
  if (layer_ != nullptr) layer_->InvalidateAll();
  return status == 0;
}

std::uint32_t CBgAnimeEffect::Wait() const { return Frame(frame_).Wait(); }

void CBgAnimeEffect::EnterEntry(std::int32_t entry) {
  const std::size_t other = 1 - active_;
  if (buffers_[active_].entry != entry) {
    if (buffers_[other].entry == entry) {
      loader_.WaitIdle();
      active_ = other;
    } else {
      active_ = 0;
      LoadCells(0, entry);
    }
  }
  entry_ = entry;
  const std::int32_t next = EntryAfter(entry);
  if (next >= 0 && next != entry && buffers_[1 - active_].entry != next) LoadCells(1 - active_, next);
}

void CBgAnimeEffect::LoadCells(std::size_t buffer, std::int32_t entry) {
  if (loader_.GetCount() == 0 && loader_.Allocate(static_cast<std::uint16_t>(2 * buffer_size_)) != 0) return;
  loader_.WaitIdle();
  CellBuffer& cells = buffers_[buffer];
  cells = CellBuffer{};
  const std::int32_t first = file_->GetEntryStart(entry);
  const std::int32_t last = file_->GetEntryEnd(entry);
  const auto& references = file_->GetReferences();
  for (std::int32_t frame = first; frame >= 0 && frame <= last; ++frame) {
    const std::int32_t cell = Frame(frame).ImageNumber();
    if (cell < 0 || static_cast<std::size_t>(cell) >= references.size()) {
      cells.cell_of_frame.push_back(-1);
      continue;
    }
    const std::string& name = references[static_cast<std::size_t>(cell)].name;
    const auto known = std::find(cells.names.begin(), cells.names.end(), name);
    cells.cell_of_frame.push_back(static_cast<std::int32_t>(known - cells.names.begin()));
    if (known == cells.names.end()) cells.names.push_back(name);
  }
  cells.entry = entry;
  const auto base = static_cast<std::uint16_t>(buffer * buffer_size_);
  loader_.CloseRange(base, buffer_size_);
  if (cells.names.empty()) return;
  std::vector<const char*> names;
  for (const std::string& name : cells.names) names.push_back(name.c_str());
  loader_.Request(base, static_cast<std::uint16_t>(names.size()), names);
}

std::int32_t CBgAnimeEffect::EntryAfter(std::int32_t entry) const {
  if (entry + 1 < EntryCount()) return entry + 1;
  return loop_ ? 0 : -1;
}

std::int32_t CBgAnimeEffect::GetParam(const PluginArgs& args) {
  switch (ArgUnsigned(args, 0)) {
    case kQueryState:
      return state_;
    case kQueryLooping:
      return target_ >= 0 && !stop_at_target_ ? 1 : 0;
    case kQueryEntry:
      return entry_;
    case kQueryFrame:
      return frame_;
    case kQueryNextMark:
      if (file_ == nullptr) return -1;
      for (std::int32_t frame = frame_ + 1; frame <= file_->GetEntryEnd(entry_); ++frame) {
        const AnimFrame& record = Frame(frame);
        if (!IsCommand(record)) continue;
        if (CommandValue(record) == kMarkRecord) return frame;
        if (CommandValue(record) < kMarkRecord) return -1;
      }
      return -1;
    case kQueryNextMarkedEntry:
      if (file_ == nullptr) return -1;
      for (std::int32_t entry = entry_ + 1; entry < EntryCount(); ++entry) {
        if (FindsMark(file_->GetEntryStart(entry), file_->GetEntryEnd(entry))) return entry;
      }
      return -1;
    default:
      return -1;
  }
}

bool CBgAnimeEffect::FindsMark(std::int32_t from, std::int32_t end) const {
  for (std::int32_t frame = from; frame >= 0 && frame <= end; ++frame) {
    if (IsCommand(Frame(frame)) && CommandValue(Frame(frame)) == kMarkRecord) return true;
  }
  return false;
}

void CBgAnimeEffect::ShowFrameImage() {
  if (layer_ != nullptr && LayerBackground(layer_) != &frame_image_) layer_->SetBackgroundImage(&frame_image_, 0, 0, false);
}

void CBgAnimeEffect::TakeOutFrameImage() {
  if (layer_ != nullptr) layer_->ForgetBackgroundImage(&frame_image_);
}

std::int32_t CBgAnimeEffect::Assist(const PluginArgs* args) {
  catch_up_ = ArgFlag(ArgsOrNone(args), 0);
  return 0;
}
