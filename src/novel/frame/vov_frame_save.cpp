// The novel frame's saved state: the scenario machine's record, then the frame's head (state
// words, slot records, the message window's block), the text log when asked, and the tail
// (looping sounds, name, the shown choices and the displayed message). A load reads all of it
// aside, the machine's scripts included, and takes it over only when every part was whole.
#include <memory>

#include "gfx/image_operations/image_part.h"
#include "novel/frame/vov_frame.h"
#include "novel/text/text_window_run.h"
#include "scene/drawables/draw_layer.h"

namespace {

constexpr std::uint8_t kNoLog = 0;
constexpr std::uint8_t kWithLog = 1;
constexpr std::int32_t kNoResumeLine = -1;
constexpr std::int32_t kMessageWindowNumber = 0;
constexpr std::uint32_t kTintByte = 2;
constexpr std::uint32_t kMessageWaitByte = 2;

std::int32_t WithByte(std::int32_t word, std::uint32_t byte, bool on) {
  const auto mask = static_cast<std::uint32_t>(0xFF) << (byte * 8);
  const auto value = (static_cast<std::uint32_t>(word) & ~mask) | (on ? std::uint32_t{1} << (byte * 8) : 0);
  return static_cast<std::int32_t>(value);
}

bool ByteSet(std::int32_t word, std::uint32_t byte) { return ((static_cast<std::uint32_t>(word) >> (byte * 8)) & 0xFF) != 0; }

}  // namespace

std::array<std::int32_t, kFrameStateWords> CVovFrame::InitialStateWords() {
  std::array<std::int32_t, kFrameStateWords> words{};
  words[kStateResumeIndex] = kNoResumeLine;
  words[kStateBgm] = -1;
  words[kStateCurrentLine] = -1;
  words[kStateNoMusic] = 1;
  return words;
}

VovFrameHead CVovFrame::CaptureHead() {
  VovFrameHead head;
  head.words = state_words_;
  head.words[kStateResumeIndex] = kNoResumeLine;
  head.words[kStateLookRules] = WithByte(state_words_[kStateLookRules], kTintByte, page_.SpriteTint());
  head.words[kStateCurrentWindow] = kMessageWindowNumber;
  head.words[kStateCurrentLine] = current_line_;
  head.words[kStateMessageFlags] = WithByte(state_words_[kStateMessageFlags], kMessageWaitByte, window_waiting_);
  CaptureSlotRecords(page_, head);
  head.window = window_block_;
  return head;
}

VovFrameTail CVovFrame::CaptureTail() const {
  VovFrameTail tail;
  tail.loops = looping_;
  tail.name = name_;
  // A load's display state that the restore step has not shown yet is still the frame's.
  if (deferred_) {
    tail.deferred = *deferred_;
    return tail;
  }
  VovDeferredBlock& deferred = tail.deferred;
  if (choice_awaited_ && choice_list_.GetItemCount() > 0) {
    deferred.list_value = static_cast<std::uint32_t>(choice_list_.choice_base());
    for (std::int32_t index = 0; index < choice_list_.GetItemCount(); ++index) {
      const CListItem& item = choice_list_.ItemOrBlank(index);
      deferred.choices.push_back({static_cast<std::uint32_t>(item.value), item.disabled ? std::uint8_t{1} : std::uint8_t{0},
                                  item.text});
    }
  }
  const std::span<const std::uint8_t> message = message_window_.text();
  deferred.message.assign(message.begin(), message.end());
  if (!message.empty()) {
    deferred.speaker = message_window_.name();
    deferred.voice = message_window_.voice_name();
  }
  return tail;
}

std::uint32_t CVovFrame::SaveSize(bool with_log) const {
  std::uint32_t size = CVovVM::SaveSize() + static_cast<std::uint32_t>(kFrameHeadSize) + 1;
  if (with_log && text_log_.Count() > 0) {
    size += text_log_.SaveSize(text_log_.GetEntry(0)->serial, text_log_.GetEntry(text_log_.Count() - 1)->serial);
  }
  return size + FrameTailSize(CaptureTail());
}

std::uint32_t CVovFrame::Save(ByteWriter& out, bool with_log) {
  if (CVovVM::Save(out) != 0) return 2;
  WriteFrameHead(CaptureHead(), out);
  const bool log = with_log && text_log_.Count() > 0;
  out.Byte(log ? kWithLog : kNoLog);
  if (log &&
      text_log_.Save(out, text_log_.GetEntry(0)->serial, text_log_.GetEntry(text_log_.Count() - 1)->serial) != 0) {
    return 3;
  }
  WriteFrameTail(CaptureTail(), out);
  return 0;
}

std::uint32_t CVovFrame::ReadSaved(ByteReader& in, bool keep_log, PendingLoad& pending) const {
  PendingLoad read;
  if (RestoreSaved(in, read.machine) != 0) return kLoadMachineFailed;
  if (!ReadFrameHead(in, read.head)) return kLoadFrameDamaged;
  const std::optional<std::uint8_t> log_flag = in.Byte();
  if (!log_flag || *log_flag > kWithLog) return kLoadFrameDamaged;
  if (*log_flag == kWithLog) {
    auto log = std::make_unique<CTextLog>();
    log->SetCapacity(keep_log ? text_log_.Capacity() : 0);
    if (log->Load(in, keep_log) != 0) return kLoadLogDamaged;
    if (keep_log) read.log = std::move(log);
  }
  if (!ReadFrameTail(in, read.tail)) return kLoadFrameDamaged;
  // A saved resume line takes the place of the saved position.
  const std::int32_t line = read.head.words[kStateResumeIndex];
  if (line >= 0) {
    const std::int64_t offset = read.machine.current->LineOffset(static_cast<std::uint32_t>(line));
    if (offset < 0 || !read.machine.current->IsPosition(static_cast<std::uint64_t>(offset))) return kLoadLineUnknown;
    read.machine.position = static_cast<std::uint32_t>(offset);
  }
  pending = std::move(read);
  return 0;
}

void CVovFrame::TakeOverSaved(PendingLoad&& pending) {
  TakeOver(std::move(pending.machine));
  state_words_ = pending.head.words;
  state_words_[kStateResumeIndex] = kNoResumeLine;
  page_.SetSpriteTint(ByteSet(state_words_[kStateLookRules], kTintByte));
  current_line_ = state_words_[kStateCurrentLine];
  window_waiting_ = ByteSet(state_words_[kStateMessageFlags], kMessageWaitByte);
  current_window_ = &message_window_;
  ApplySlotRecords(pending.head, page_);
  window_block_ = pending.head.window;
  if (pending.log != nullptr) text_log_.Swap(*pending.log);
  looping_ = std::move(pending.tail.loops);
  name_ = std::move(pending.tail.name);
  deferred_ = std::move(pending.tail.deferred);
}

std::optional<IHostedFrame::BlockTakeOver> CVovFrame::ReadSavedBlock(ByteReader& in) {
  // Shared, because a take-over is copyable and the read block holds the log by unique pointer.
  auto pending = std::make_shared<PendingLoad>();
  if (ReadSaved(in, true, *pending) != 0) return std::nullopt;
  return [this, pending] { TakeOverSaved(std::move(*pending)); };
}

std::uint32_t CVovFrame::Load(ByteReader& in, bool keep_log) {
  PendingLoad pending;
  if (const std::uint32_t status = ReadSaved(in, keep_log, pending); status != 0) return status;
  TakeOverSaved(std::move(pending));
  return 0;
}

std::uint32_t CVovFrame::RedrawFrontPage() {
  CImagePart* part = page_.Part(0);
  CDrawLayer* layer = page_.Layer(0);
  if (part == nullptr || layer == nullptr || part->GetImage()->GetPixels() == nullptr) return 1;
  return layer->RenderTo(part->GetImage(), CDrawLayer::kFilterAll, 0, true) == 0 ? 0 : 1;
}

CImage* CVovFrame::ScreenPicture() {
  RedrawFrontPage();
  CImagePart* part = page_.Part(0);
  return part != nullptr ? part->GetImage() : nullptr;
}

std::optional<std::string> CVovFrame::GetCaption() const {
  const std::span<const std::uint8_t> text = message_window_.text();
  if (text.empty()) return std::nullopt;
  std::string caption;
  for (TextToken token = ReadTextToken(text, 0, false); token.kind != TextTokenKind::kEnd;
       token = ReadTextToken(text, token.offset + token.length, false)) {
    if (token.kind == TextTokenKind::kCharacter) caption.append(text.begin() + token.offset, text.begin() + token.offset + token.length);
  }
  return caption;
}
