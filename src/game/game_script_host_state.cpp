// The game script host's state record and the snapshot it holds.
#include <optional>
#include <utility>

#include "base/numbers/byte_cursor.h"
#include "base/settings/game_settings.h"
#include "game/game_script_host.h"

namespace {

// The record carries the class-1 variables, with their selector byte in front.
constexpr std::uint8_t kStateVariables = 0;

}  // namespace

void CGameScriptHost::BeginSaveSelection(std::uint16_t boot_value, std::uint32_t save_word, const char* title) {
  boot_value_ = boot_value;
  save_word_ = save_word;
  save_title_ = title != nullptr ? title : "";
  Variables().ClearMarked();
}

std::uint32_t CGameScriptHost::WriteState(std::vector<std::uint8_t>& record, bool with_text) const {
  const bool text_part = with_text && CurrentGameSettings()[kSettingSaveText] != 0;
  std::size_t size = std::size_t{GetVariableDataSize(kStateVariables, false)} + 1;
  if (text_part) size += std::size_t{text_printer_.SaveSize()} + 4 + snapshot_.size();
  IHostedFrame* frame = AttachedFrame();
  if (frame != nullptr) size += frame->SavedBlockSize(text_part);

  // Built apart and handed over at the end, so that `record` may be the held snapshot itself.
  ByteWriter out;
  out.Reserve(size);
  if (WriteVariables(out, kStateVariables, false) != 0) {
    record.clear();
    return 1;
  }
  out.Byte(text_part ? 1 : 0);
  if (text_part) {
    text_printer_.Save(out);
    out.Word(static_cast<std::uint32_t>(snapshot_.size()));
    out.Bytes(snapshot_);
  }
  if (frame != nullptr && frame->WriteSavedBlock(out, text_part) != 0) {
    record.clear();
    return 3;
  }
  // The record ends with the novel frame's block: other readers of the saves know no more. The
  // frame keeps the music and the looping sounds that a load starts again.
  record = out.Take();
  return 0;
}

std::uint32_t CGameScriptHost::ReadState(std::span<const std::uint8_t> record) {
  if (record.empty()) return 1;
  // What a damaged record must not change: the variables it overwrites, the text printer's
  // history and the held snapshot (the novel frame and the sound channels take over only whole
  // parts).
  ByteWriter variables_before;
  if (WriteVariables(variables_before, kStateVariables, false) != 0) return 2;
  ByteWriter printer_before;
  text_printer_.Save(printer_before);
  // Kept alive to the end: `record` may be the held snapshot's own bytes.
  std::vector<std::uint8_t> snapshot_before = std::exchange(snapshot_, {});

  const std::uint32_t result = ReadStateParts(record);
  if (result != 0) {
    ByteReader undo(variables_before.Data());
    Variables().ReadRecord(undo);
    ByteReader printer_undo(printer_before.Data());
    text_printer_.Load(printer_undo, true);
    snapshot_ = std::move(snapshot_before);
  }
  return result;
}

std::uint32_t CGameScriptHost::ReadStateParts(std::span<const std::uint8_t> record) {
  ByteReader in(record);
  // Records are always written with the class-1 selector; any other would let a damaged save
  // overwrite the persistent variables.
  if (in.Byte() != kStateVariables || Variables().Read(in, kStateVariables) != 0) return 2;
  IHostedFrame* frame = AttachedFrame();
  if (frame != nullptr) frame->ForgetPendingDisplay();

  const std::optional<std::uint8_t> text_flag = in.Byte();
  if (!text_flag) return 3;
  if (*text_flag != 0) {
    if (text_printer_.Load(in, true) != 0) return 3;
    const std::optional<std::uint32_t> snapshot_size = in.Word();
    if (!snapshot_size) return 3;
    const std::optional<std::span<const std::uint8_t>> snapshot = in.Bytes(*snapshot_size);
    if (!snapshot) return 3;
    snapshot_.assign(snapshot->begin(), snapshot->end());
  }
  std::optional<IHostedFrame::BlockTakeOver> frame_take_over;
  if (frame != nullptr) {
    frame_take_over = frame->ReadSavedBlock(in);
    if (!frame_take_over) return 3;
  }
  // Records of earlier builds end with the sound channels' state, which still loads.
  if (in.Left() != 0 && sound_channels_.RestoreState(in) != 0) return 3;
  if (frame_take_over) (*frame_take_over)();
  return 0;
}

std::uint32_t CGameScriptHost::TakeSnapshot() {
  DiscardSnapshot();
  return WriteState(snapshot_, CurrentGameSettings()[kSettingSnapshotWithoutText] == 0);
}

std::uint32_t CGameScriptHost::RestoreSnapshot() {
  if (snapshot_.empty()) return kNoSnapshot;
  const std::vector<std::uint8_t> snapshot = std::exchange(snapshot_, {});
  return ReadState(snapshot);
}
