// The novel frame: the scenario machine with everything the novel page owns. Its interpreter
// loop reads the current body byte by byte: text bytes collect in the text buffer, commands run
// as core commands of the machine or as opcode handlers (the table of 129, one per opcode), and
// "[s" blocks run as script code on the frame's own script context, whose Call and Jump
// requests the frame serves itself. Nothing of a run lives outside the frame and the stack, since
// embedded code, system scripts and the main script's context nest.
//
// The message window, the slots, the fonts, the list menu and the click area, and the handlers
// of their opcodes, join the frame with the issues that build them; until then those opcodes
// say "not built yet" in the log and let the scenario go on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/sjis_fit.h"
#include "novel/text_log.h"
#include "novel/vov_command.h"
#include "novel/vov_page.h"
#include "novel/vov_text_buffer.h"
#include "novel/vov_vm.h"
#include "script/script_context.h"
#include "script/script_host.h"
#include "ui/font.h"

class CVovFrame;

// An opcode handler: 0 lets the scenario go on; -1 or a positive value stops the run and becomes
// its result.
using VovHandler = std::function<std::int32_t(CVovFrame&, std::span<const VovOperand>)>;

class CVovFrame : public CVovVM {
 public:
  static constexpr std::uint32_t kOpcodeCount = 129;
  static constexpr std::uint32_t kContextStackWords = 8192;
  // The command result of a Return that gave no position: the run ends with 0.
  static constexpr std::int32_t kReturnedToNothing = 0x7FFFFFFF;
  // RunScript's results besides the handlers' own.
  static constexpr std::int32_t kRunNoMainScript = -2;
  static constexpr std::int32_t kRunStopped = -1;
  static constexpr std::int32_t kRunBadHandlerResult = -4;
  // ServeTransfer's results.
  static constexpr std::int32_t kServeDone = 0;
  static constexpr std::int32_t kServeCallFailed = 1;
  static constexpr std::int32_t kServeJumpFailed = 2;
  static constexpr std::int32_t kServeJumpRefused = 3;
  static constexpr std::int32_t kServeFaulted = 4;  // a script fault stopped the code (logged)
  static constexpr std::int32_t kServeEnded = -1;   // an end request, or the application is ending
  // RunSystemScript's results before ServeTransfer's.
  static constexpr std::int32_t kSystemScriptUnloadable = 2;
  // Title, speaker and voice lengths in bytes, double-byte characters kept whole.
  static constexpr std::size_t kTitleSize = 40;
  static constexpr std::size_t kSpeakerSize = 16;
  static constexpr std::size_t kVoiceSize = 15;
  static constexpr std::size_t kChoiceMarks = 5;

  // Builds the frame on the host's runtime: its own context of 8192 words (translated when the
  // host's context is), the handler table, and the text log sized by the user's setting. The
  // newest frame is g_VovFrame while it lives.
  explicit CVovFrame(CScriptHost& host);
  ~CVovFrame() override;

  // Runs the current script from its position until its body ends (0), a Return finds no frame
  // (0), a transfer cannot reach its target (0), a handler stops it (its -1 or positive result;
  // below -1: -4), an embedded block's service fails or a command cannot be read (-1). -2
  // without a main script. The operand area is emptied whenever the run stops.
  std::int32_t RunScript();
  // Runs a handler for the message window (a command carried in the text): the in-handler flag
  // is set while it runs, and its result goes to the command result and "retVovExp". -1 (logged)
  // for an opcode past the table.
  std::int32_t CallOpcode(std::uint32_t opcode, std::span<const VovOperand> operands);
  // Runs the named script object on the frame's context with Jump allowed, and unloads it: 1
  // never (the frame always has its host), 2 it cannot be loaded, else ServeTransfer's result.
  std::int32_t RunSystemScript(const char* name);

  // The handler table; a later part of the frame (and a test) sets the handler of its opcode.
  void SetHandler(std::uint32_t opcode, VovHandler handler);
  // The rule every skippable wait follows: with `skippable` and a non-zero repeat counter the
  // effect ends at once (`finish`), the counter goes up, 0. Otherwise `wait` runs: 1 (cut short
  // by the reader) sets the counter to 1, 0 (ran out) to 0, and both give 0; a negative result
  // (the application is ending) gives -1.
  std::int32_t SkippableWait(bool skippable, const std::function<void()>& finish,
                             const std::function<std::int32_t()>& wait);
  // Writes the running command (the opcode in the command result, its operands) into the text
  // buffer, for the commands that act at their point of the message. A record that does not fit
  // whole is dropped (logged). 0.
  std::int32_t CarryInText(std::span<const VovOperand> operands);

  // The page image of the novel page (InitMessageWindow's part of it): the part handed in or
  // the frame's own two, shown by the screen manager; then the BG tone table of "DATA/BG.TXT"
  // and the characters of the voice table that sprite names are matched against. 0; 2 when
  // the part handed in is not usable.
  std::uint32_t InitPageImage(CImagePart* part);
  CVovPage& Page() { return page_; }
  // The two page flags of opcodes 88 and 89; setting either forgets the last BG tone (-1).
  void SetPageFlag(std::size_t which, bool on) {
    page_flags_[which & 1] = on;
    last_bg_tone_ = -1;
  }
  bool PageFlag(std::size_t which) const { return page_flags_[which & 1]; }
  std::int32_t LastBgTone() const { return last_bg_tone_; }
  void SetLastBgTone(std::int32_t tone) { last_bg_tone_ = tone; }

  VovTextBuffer& TextBuffer() { return text_; }
  CTextLog& TextLog() { return text_log_; }
  CScriptContext& Context() { return context_; }
  std::int32_t CommandResult() const { return command_result_; }
  std::uint32_t OperandCount() const { return operand_count_; }
  bool InHandler() const { return in_handler_; }
  std::uint32_t RepeatCounter() const { return repeat_counter_; }
  void SetRepeatCounter(std::uint32_t value) { repeat_counter_ = value; }
  std::int32_t CurrentLine() const { return current_line_; }
  void SetCurrentLine(std::int32_t line) { current_line_ = line; }
  // At most 40 bytes of the title, 16 of the speaker's name and 15 of the voice's name are kept.
  void SetTitle(std::string_view title) { title_ = FitSjis(title, kTitleSize); }
  const std::string& Title() const { return title_; }
  void SetNames(std::string_view speaker, std::string_view voice) {
    speaker_ = FitSjis(speaker, kSpeakerSize);
    voice_ = FitSjis(voice, kVoiceSize);
  }
  // Marks 0 to 4; other indexes are ignored.
  void MarkChoiceDisabled(std::uint32_t index) {
    if (index < kChoiceMarks) choice_disabled_[index] = true;
  }
  bool ChoiceDisabled(std::size_t index) const { return index < kChoiceMarks && choice_disabled_[index]; }
  void ClearChoiceMarks() { choice_disabled_ = {}; }
  const std::string& SpeakerName() const { return speaker_; }
  const std::string& VoiceName() const { return voice_; }
  void ClearNames() {
    speaker_.clear();
    voice_.clear();
  }

  // What the waits are doing, as the text window asks before it shows its click icon: 2 while a
  // choice is awaited, 3 while skipping (skip mode or a skipped read message), else 1 in auto
  // mode and 0.
  static constexpr std::int32_t kWaitNormal = 0;
  static constexpr std::int32_t kWaitAuto = 1;
  static constexpr std::int32_t kWaitChoice = 2;
  static constexpr std::int32_t kWaitSkipping = 3;
  std::int32_t GetWaitState() const;
  void SetChoiceAwaited(bool on) { choice_awaited_ = on; }
  bool ChoiceAwaited() const { return choice_awaited_; }
  void SetSkipMode(bool on) { skip_mode_ = on; }
  bool SkipMode() const { return skip_mode_; }
  void SetMessageSkipMark(bool on) { message_skip_mark_ = on; }
  bool MessageSkipMark() const { return message_skip_mark_; }
  void SetAutoModeFlag(bool on) { auto_mode_ = on; }
  bool AutoMode() const { return auto_mode_; }

  // The message font (22 pixels, "SimSun", white, made the default font of text drawing) and the
  // name font (18 pixels).
  static constexpr std::int32_t kMessageFontSize = 22;
  static constexpr std::int32_t kNameFontSize = 18;
  // How the carried font command left the message font: 0 as it was, 1 size or colours changed,
  // 2 the face changed.
  static constexpr std::uint8_t kFontUnchanged = 0;
  static constexpr std::uint8_t kFontSized = 1;
  static constexpr std::uint8_t kFontFaceChanged = 2;
  CFont& MessageFont() { return message_font_; }
  CFont& NameFont() { return name_font_; }
  std::uint8_t MessageFontState() const { return message_font_state_; }
  // The carried font command where the display reaches it: `size` below 1 is 22 (scaled to the
  // small-font setting), colours of -1 are white text and a black edge, and `faces` (null: the
  // face stays) is a comma-separated list whose first installed face is taken, "user" naming the
  // user's face and a leading '@' kept for vertical writing.
  void SetMessageFont(std::int32_t size, std::int32_t text_colour, std::int32_t edge_colour, const char* faces);
  // Undoes the carried font command: white text, black edge, and the user's face and weight at
  // the message size (18 with the small-font setting) after a face change, only that size after
  // a size change.
  void RestoreMessageFont();
  // The message size with the user's small-font setting: size × 0.8181818181818182, rounded.
  static std::int32_t ScaledFontSize(std::int32_t size);

 private:
  // The next script address, or 0 to stop with the command result.
  std::uint32_t ExecCommand(std::uint32_t at);
  std::uint32_t ExecCoreCommand(std::uint32_t kind, std::span<const VovOperand> operands, std::uint32_t next);
  std::uint32_t RunHandler(std::uint32_t kind, std::span<const VovOperand> operands, std::uint32_t next);
  // The address behind the block, or 0 when it cannot be read or its service failed.
  std::uint32_t RunCodeBlock(std::uint32_t at);
  // Serves the requests of the code running on the context; `loaded` counts the script objects
  // this service holds loaded, which the caller unloads afterwards.
  std::int32_t ServeTransfer(bool allow_jump, bool suspended, std::uint32_t& loaded);
  void UnloadServed(std::uint32_t& loaded);
  // Stops the run with -1 and a log line.
  std::uint32_t Refuse(const std::string& why);
  void InstallHandlers();
  void InstallPageHandlers();

  CScriptHost& host_;
  CScriptContext context_;
  ContextExpressionRunner expressions_;
  std::vector<VovHandler> handlers_;
  std::int32_t command_result_ = 0;
  std::string pending_insert_;
  std::size_t pending_at_ = 0;
  bool has_pending_insert_ = false;
  VovTextBuffer text_;
  bool in_handler_ = false;
  std::uint32_t operand_count_ = 0;
  std::uint32_t repeat_counter_ = 0;
  std::int32_t current_line_ = -1;
  std::string title_;
  std::array<bool, kChoiceMarks> choice_disabled_{};
  std::string speaker_;
  std::string voice_;
  CTextLog text_log_;
  CVovPage page_;
  std::array<bool, 2> page_flags_{};
  std::int32_t last_bg_tone_ = -1;
  bool choice_awaited_ = false;
  bool skip_mode_ = false;
  bool message_skip_mark_ = false;
  bool auto_mode_ = false;
  CFont message_font_;
  CFont name_font_;
  std::uint8_t message_font_state_ = kFontUnchanged;
};

// The living frame, null while there is none.
extern CVovFrame* g_VovFrame;

// The operand n (counted from 0), absent past the operands given.
VovOperand VovOperandAt(std::span<const VovOperand> operands, std::size_t n);
