// The scenario machine: it loads scenario objects (TOB files) from the script folder, keeps them
// as transient scripts (a stack; the last one is the main script or the script a transfer
// loaded) or resident ones (preloaded, addressed by their place), finds labels, keeps the call
// stack of Call and Return between and inside scripts, holds the position in the current
// script's body, and saves and restores all of that in the game state. It also keeps the
// read-text table of the scenario scripts (VOV_INIT.DAT) and their read-text log
// (TEXT_LOG.DAT). The novel frame derives from it and runs the body.
//
// The machine keeps positions as offsets into the current body; callers get them as script
// addresses (body address + offset), never 0, so a transfer's result 0 means failure.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/files/script_write_rule.h"
#include "base/numbers/byte_cursor.h"
#include "novel/scenario/vov_command.h"
#include "novel/scenario/vov_script.h"
#include "script/read_text_table.h"
#include "script/script_vm.h"

struct VovCallFrame {
  // A resident index, kVovTransientIndex for the last transient script, or kVovKeepScript.
  std::int32_t script = 0;
  std::uint32_t return_offset = 0;  // in the body
};

// VOV_INIT.DAT: a u32 count and u32 line and choice counts.
inline constexpr ReadTextTableLayout kVovInitLayout{4, 4};
// The read-text log's magic.
inline constexpr std::string_view kVovTextLogMagic = "TSLG";

inline constexpr std::int32_t kVovTransientIndex = -1;
// A frame pushed by a Call that named no script returns to the script current at that time.
inline constexpr std::int32_t kVovKeepScript = -2;

class CVovVM {
 public:
  static constexpr std::size_t kCallStackFrames = 128;
  // ReturnFrom's offset that means the body's start (a body offset of 0 in a command).
  static constexpr std::uint32_t kBodyStart = 0xFFFFFFFF;

  // LoadTob statuses.
  static constexpr std::uint32_t kTobUnreadable = 1;  // also a name that leaves the script folder
  static constexpr std::uint32_t kTobBadMagic = 2;
  static constexpr std::uint32_t kTobNotInTable = 3;
  static constexpr std::uint32_t kTobMalformed = 4;
  // LoadMainScript status before LoadTob's (whose codes it returns plus 1).
  static constexpr std::uint32_t kMainScriptLoaded = 1;
  // UnloadScript statuses.
  static constexpr std::uint32_t kNoResidentScript = 1;
  static constexpr std::uint32_t kNoResidentOfName = 2;
  static constexpr std::uint32_t kResidentInUse = 3;
  // Load statuses.
  static constexpr std::uint32_t kSavedScriptUnloadable = 2;
  static constexpr std::uint32_t kSavedIndexUnknown = 3;
  static constexpr std::uint32_t kSavedRecordDamaged = 4;
  // LoadInitData statuses.
  static constexpr std::uint32_t kInitUnreadable = 1;
  static constexpr std::uint32_t kInitNoMemory = 2;
  static constexpr std::uint32_t kInitDamaged = 3;

  // The runtime whose script memory holds the images and whose tables link their code.
  explicit CVovVM(CScriptVm& script_vm);
  // Writes the read-text log when its file name is set.
  virtual ~CVovVM();
  CVovVM(const CVovVM&) = delete;
  CVovVM& operator=(const CVovVM&) = delete;

  // Loads `name` as the main script: transient, current, at its body's start. 0; 1 while a
  // transient script is loaded; else LoadTob's failure plus 1.
  virtual std::uint32_t LoadMainScript(const char* name);
  // Loads `name` as a resident script; LoadTob's status.
  virtual std::uint32_t PreloadScript(const char* name);
  // Frees the resident script of that name (case-insensitive), or the last one for null or "".
  // 0; 1 no resident script; 2 none of that name; 3 it is current or a call frame returns to it.
  // Frames and the current index of the scripts behind it move down by one.
  virtual std::uint32_t UnloadScript(const char* name);
  // Transfers: the new position, or 0 when the script, the label or the offset cannot be
  // reached. Null or "" names no script and no label.
  virtual std::uint32_t CallTo(const char* script, const char* label, std::uint32_t offset);
  virtual std::uint32_t JumpTo(const char* script, const char* label, std::uint32_t offset);
  // Offset 0 returns to the frame's return point, kBodyStart to the body's start.
  virtual std::uint32_t ReturnFrom(const char* script, const char* label, std::uint32_t offset);

  // The save record: the transient and resident names, the call frames, the current index and the
  // position. Its size is 20 bytes, plus 2 + length with the zero byte for every name, plus 8 for
  // every frame.
  virtual std::uint32_t SaveSize() const;
  // 0, or 1 when no script is current (nothing written).
  virtual std::uint32_t Save(ByteWriter& out) const;
  // Restores a record into a fresh set of scripts and takes it over only when all of it is
  // restored; on failure the machine stays exactly as it was. 0; 2 a named script cannot be
  // loaded; 3 the current index names no script; 4 the record is damaged (it ends early, holds
  // more frames than the stack, or its position lies beyond the body).
  virtual std::uint32_t Load(ByteReader& in);
  // Load in two steps, for a caller that restores more behind the record: the record read into
  // fresh scripts (Load's statuses; the machine untouched), then taken over.
  struct RestoredMachine;
  std::uint32_t RestoreSaved(ByteReader& in, RestoredMachine& restored) const;
  void TakeOver(RestoredMachine&& restored);

  // LoadTob's statuses; the script is appended to the transient stack or the resident list.
  std::uint32_t LoadTob(const char* name, bool transient);
  // The resident script of that name, else the script loaded as transient, made current; null
  // when it cannot be loaded.
  VovScript* FindOrLoadScript(const char* name);
  // A label's body offset; -1 when not found, 0 for a null label.
  static std::int64_t FindLabel(const VovScript& script, const char* label);
  // Entry `line` of the current script's line table, -1 past it or without a current script.
  std::int64_t GetLineOffset(std::uint32_t line) const;
  // 0, or 1 when there is no transient script.
  std::uint32_t DropTransientScript();
  // Frees every script, empties the call stack and the operand area, and forgets the current
  // script, its position and its read-text record.
  void ResetScripts();
  // 0; 1 for a null path. A backslash is added when the path has no separator at its end.
  std::uint32_t SetScriptFolder(const char* path);
  const std::string& ScriptFolder() const { return script_folder_; }
  void SetOperandAreaSize(std::uint32_t words) { operands_.SetSize(words); }

  // The current script and its position.
  VovScript* CurrentScript() const { return current_; }
  std::int32_t CurrentIndex() const { return current_index_; }
  // The position as a script address, 0 without a current script.
  std::uint32_t Position() const { return current_ != nullptr ? current_->BodyAddress() + position_ : 0; }
  std::uint32_t PositionOffset() const { return position_; }
  // Moves to a script address inside the current body; false (nothing changed) otherwise.
  bool SetPosition(std::uint32_t address);
  // The body byte at an offset of the current body; 0, the end of the body, past it.
  std::uint8_t BodyByte(std::uint32_t offset) const;

  std::size_t TransientCount() const { return transient_.size(); }
  std::size_t ResidentCount() const { return resident_.size(); }
  const VovScript& Transient(std::size_t n) const { return *transient_[n]; }
  const VovScript& Resident(std::size_t n) const { return *resident_[n]; }
  std::span<const VovCallFrame> CallFrames() const { return std::span(frames_).first(frame_count_); }

  VovOperandArea& Operands() { return operands_; }
  // A decoder over the current body, expressions running on `expressions`; nothing without a
  // current script.
  std::optional<VovDecoder> Decoder(VovExpressionRunner& expressions) const;
  CScriptVm& ScriptRuntime() const { return script_vm_; }

  // The read-text table, VOV_INIT.DAT in the script folder: u32 count; count records {u8 name
  // length with the zero byte, the name, u32 lines, u32 choices}. Replaces the table, all bits
  // clear. 0; 1 the file cannot be read; 2 the bits ask for more memory than a table may hold;
  // 3 a record runs past the data. On failure the table stays as it was.
  virtual std::uint32_t LoadInitData(const char* file_name);
  bool HasReadTextTable() const { return has_read_text_table_; }
  const std::vector<ReadTextRecord>& ReadTextRecords() const { return read_text_; }
  // The read-text record of the current script, null when there is none.
  ReadTextRecord* CurrentReadTextRecord();

  // The read-text log, TEXT_LOG.DAT in the save folder (magic "TSLG", the records of the script
  // host's text-log file).
  void SetSaveFolder(const char* folder) { save_folder_ = folder != nullptr ? folder : ""; }
  // 0; 1 for a null name.
  std::uint32_t SetLogFileName(const char* name);
  // 0; 1 no name, a name that leaves the save folder, or the file cannot be written; 2 no table.
  // Without a name the stored one.
  std::uint32_t SaveTextLog(const char* name);
  // 0 (also without a table); 1 no name or the file cannot be read; 2 not a read-text log or
  // damaged, every bit left as it was. Without a name the stored one.
  std::uint32_t LoadTextLog(const char* name);

  bool IsLineRead(std::uint32_t line);
  // -1 without a current record, else the bit array's status.
  std::int32_t MarkLineRead(std::uint32_t line);
  // Of the named script (case-insensitive), or of all scripts for null; 0 without a table or for
  // a name not in it.
  std::uint32_t GetLineCount(const char* name) const;
  std::uint32_t GetReadLineCount(const char* name) const;
  // False without a table.
  bool IsAllRead(const char* name) const;

 private:
  struct LoadedScript {
    std::unique_ptr<VovScript> script;
    std::uint32_t status = 0;
  };
  // Reads and checks a scenario object without adding it to the machine.
  LoadedScript ReadTob(const char* name) const;
  void MakeCurrent(VovScript* script, std::int32_t index);
  // A position at a body offset of the current script, 0 beyond its body.
  std::uint32_t MoveTo(std::uint64_t offset);
  // The label or, without one, the offset, in the current script.
  std::uint32_t MoveToTarget(const char* label, std::uint32_t offset);
  // Drops the current script when it is transient: false when that fails.
  bool DropCurrentTransient();
  // The save-folder path of the log file a script named, when scripts may read or write it there.
  std::optional<std::string> LogPath(const char* name, ScriptFileUse use) const;
  const ReadTextRecord* RecordNamed(const char* name) const;
  // A count of the named record, or the sum over all records for null.
  std::uint32_t SumRecords(const char* name, std::uint32_t (*of)(const ReadTextRecord&)) const;

  CScriptVm& script_vm_;
  std::vector<std::unique_ptr<VovScript>> transient_;
  std::vector<std::unique_ptr<VovScript>> resident_;
  VovScript* current_ = nullptr;
  std::int32_t current_index_ = kVovTransientIndex;
  std::array<VovCallFrame, kCallStackFrames> frames_{};
  std::size_t frame_count_ = 0;
  std::uint32_t position_ = 0;
  VovOperandArea operands_;
  bool has_read_text_table_ = false;
  std::vector<ReadTextRecord> read_text_;
  std::int32_t current_record_ = -1;
  std::string script_folder_ = "SCRIPT\\";
  std::string save_folder_;
  std::optional<std::string> log_file_name_;
};

// A saved machine restored aside: its scripts loaded, its current script found and its position
// checked.
struct CVovVM::RestoredMachine {
  std::vector<std::unique_ptr<VovScript>> transient;
  std::vector<std::unique_ptr<VovScript>> resident;
  std::vector<VovCallFrame> frames;
  VovScript* current = nullptr;
  std::int32_t current_index = kVovTransientIndex;
  std::uint32_t position = 0;
};

// Whether two Shift-JIS names are equal when ASCII letters are compared without case.
bool VovNamesMatch(std::string_view a, std::string_view b);
