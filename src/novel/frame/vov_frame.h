// The novel frame: the scenario machine with everything the novel page owns. Its interpreter
// loop reads the current body byte by byte: text bytes collect in the text buffer, commands run
// as core commands of the machine or as opcode handlers (the table of 129, one per opcode), and
// "[s" blocks run as script code on the frame's own script context, whose Call and Jump
// requests the frame serves itself. Nothing of a run lives outside the frame and the stack, since
// embedded code, system scripts and the main script's context nest.
//
// The page's slots, the message window with its fonts, choice list, buttons and click area, the
// waits for the reader (messages, choices, timed waits, skip and auto mode), the effect,
// transition and sound commands and the screens are the frame's parts, each setting the handlers
// of its opcodes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "base/text/sjis_fit.h"
#include "base/time/elapsed_timer_array.h"
#include "gfx/images/image.h"
#include "novel/frame/vov_frame_state.h"
#include "novel/page/vov_page.h"
#include "novel/scenario/vov_command.h"
#include "novel/scenario/vov_vm.h"
#include "novel/screens/text_history_page.h"
#include "novel/text/text_log.h"
#include "novel/text/text_window.h"
#include "novel/text/text_window_frame.h"
#include "novel/text/vov_text_buffer.h"
#include "resource/plugins/plugin_args.h"
#include "script/script_context.h"
#include "script/script_host.h"
#include "ui/fonts/font.h"
#include "ui/widgets/click_area.h"
#include "ui/widgets/list_menu.h"

class CEffect;
class CGuiWindow;
class CSprite;
class CTimedTask;
class CTimerManager;
class CVovFrame;

// An opcode handler: 0 lets the scenario go on; -1 or a positive value stops the run and becomes
// its result.
using VovHandler = std::function<std::int32_t(CVovFrame&, std::span<const VovOperand>)>;

class CVovFrame : public CVovVM, public ITextWindowFrame, public IHostedFrame {
 public:
  static constexpr std::uint32_t kOpcodeCount = 129;
  static constexpr std::uint32_t kContextStackWords = 8192;
  // The command result of a Return that gave no position: the run ends with 0.
  static constexpr std::int32_t kReturnedToNothing = 0x7FFFFFFF;
  // RunScript's results besides the handlers' own.
  static constexpr std::int32_t kRunNoMainScript = -2;
  static constexpr std::int32_t kRunStopped = -1;
  static constexpr std::int32_t kRunBadHandlerResult = -4;
  // Commands a run carries out without a frame pass before it asks the stop check whether the
  // application is ending: a scenario loop without waits must not hold the game.
  static constexpr std::uint32_t kCommandsPerStopCheck = std::uint32_t{1} << 16;
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

  // The frame's saved state behind the scenario machine's record: the state words, the slot
  // records, the message window's block, the text log when asked and it holds an entry, the
  // looping sound effects, the name and the deferred block (the shown choice list and the
  // displayed message). The machine's own operations stay reachable.
  using CVovVM::Load;
  using CVovVM::Save;
  using CVovVM::SaveSize;
  std::uint32_t SaveSize(bool with_log) const;
  // 0; 2 the machine's record cannot be written (no current script); 3 the log's cannot.
  std::uint32_t Save(ByteWriter& out, bool with_log);
  // Load's statuses.
  static constexpr std::uint32_t kLoadMachineFailed = 1;  // damaged, or a script that cannot be loaded
  static constexpr std::uint32_t kLoadLogDamaged = 2;
  static constexpr std::uint32_t kLoadLineUnknown = 3;    // the resume line is not in the current script
  static constexpr std::uint32_t kLoadFrameDamaged = 4;   // the frame's own part
  // Load in two steps: everything read and checked aside (the frame untouched), then taken over.
  // Load does both; a failure changes nothing. The log is rebuilt only with `keep_log`.
  struct PendingLoad;
  std::uint32_t ReadSaved(ByteReader& in, bool keep_log, PendingLoad& pending) const;
  void TakeOverSaved(PendingLoad&& pending);
  std::uint32_t Load(ByteReader& in, bool keep_log);
  // Forgets what a load left for the restore step (the host calls it before it reads a record).
  void ClearPendingDisplay() { deferred_.reset(); }
  bool HasPendingDisplay() const { return deferred_.has_value(); }
  // Rebuilds the page from the records a load copied back: pictures, filters, the message and
  // the choices, then the fade-in. 0; -1 when the application is ending.
  std::int32_t RestoreState();
  // Renders the front page into the page image: 0; 1 when there is nothing to draw.
  std::uint32_t RedrawFrontPage();
  // The frame's block of the host's save records: Save, ReadSaved and TakeOverSaved with the
  // text log when asked.
  std::size_t SavedBlockSize(bool with_log) const override { return SaveSize(with_log); }
  std::uint32_t WriteSavedBlock(ByteWriter& out, bool with_log) override { return Save(out, with_log); }
  void ForgetPendingDisplay() override { ClearPendingDisplay(); }
  std::optional<BlockTakeOver> ReadSavedBlock(ByteReader& in) override;
  // A save's header while the frame exists: the page image, the title and the displayed
  // message's plain text (nothing without a message).
  SaveFace CurrentSaveFace() override { return {ScreenPicture(), title_, GetCaption()}; }
  CImage* ScreenPicture();
  std::optional<std::string> GetCaption() const;
  // The notice of a quick load that failed: of the quick slot, or of the rotating one (-1).
  static void NoticeLoadFailed(std::int32_t slot);
  // The newest save's notice waits for the page of the next run: a load comes between runs, and
  // the notice slides in only once that page stands, however long its restore takes.
  void NoticeNewestLoadFailed() override { newest_load_failed_ = true; }
  // The looping sound effects remembered for channels 8 to 11, and the frame's name.
  std::array<VovLoopingSound, kLoopingChannels>& LoopingSounds() { return looping_; }
  void SetFrameName(std::string_view name) { name_ = name; }
  const std::string& FrameName() const { return name_; }
  // The state words that later parts of the frame own (the screen quake, the music, the sound
  // channel rotation) as the last load left them.
  std::int32_t StateWord(std::size_t index) const { return index < kFrameStateWords ? state_words_[index] : 0; }
  void SetStateWord(std::size_t index, std::int32_t value) {
    if (index < kFrameStateWords) state_words_[index] = value;
  }
  std::int32_t WindowBlockWord(std::size_t index) const {
    return index < kWindowBlockWords ? window_block_[index] : 0;
  }

  // The sound commands, on the script host's channels. A channel operand c selects channel c + 8
  // (the sound-effect channels 8 to 11 for 0 to 3) and, below 0, channel -c; the play commands
  // give a negative c the next of the four sound-effect channels in turn instead. Results: 0
  // done; 1 the sound or its fade did not start (PlayVoice: voices switched off); PlayVoice 2
  // the speaker's voice switched off, 3 no such voice; WaitSound 2 a looping channel stopped; the
  // waits 1 cut short by the reader and -1 when the application ends meanwhile.
  static constexpr std::int32_t kLoopingStopped = 2;
  // With the sound-effect setting off nothing plays, but a looping sound is still remembered.
  std::int32_t PlaySound(const char* name, std::int32_t channel, std::uint32_t stream, bool loop);
  // Faded-in sounds always loop; a duration of 0 is 1000 ms.
  std::int32_t FadeInSound(const char* name, std::uint32_t duration, std::int32_t channel, std::uint32_t stream);
  std::int32_t FadeOutSound(std::uint32_t duration, std::int32_t channel);
  std::int32_t StopSound(std::int32_t channel);
  std::int32_t UnloadSoundEffects();
  std::int32_t WaitSoundFade(std::int32_t channel, bool skippable, bool stop_after_skip, bool voice_wait);
  std::int32_t WaitSound(std::int32_t channel, bool skippable, bool voice_wait);
  std::int32_t PlayVoice(const char* name, bool loop);
  // Skipped, the music stops unless a track number is current.
  std::int32_t WaitBgmFade(bool skippable);
  // Music by track number, remembered for a saved game (track 0: no music); and forgotten.
  void PlayMusicTrack(std::int32_t track, std::uint32_t fade_time, bool loop);
  void StopMusicTrack();
  // Whether a command left a looped sound on the channel.
  bool ChannelLooping(std::int32_t channel) const;

  // Runs the current script from its position until its body ends (0), a Return finds no frame
  // (0), a transfer cannot reach its target (0), a handler stops it (its -1 or positive result;
  // below -1: -4), an embedded block's service fails or a command cannot be read (-1). -2
  // without a main script. The operand area is emptied whenever the run stops.
  std::int32_t RunScript();
  // Runs a handler for the message window (a command carried in the text): the in-handler flag
  // is set while it runs, and its result goes to the command result and "retVovExp". -1 (logged)
  // for an opcode past the table.
  std::int32_t CallOpcode(std::uint32_t opcode, std::span<const VovOperand> operands) override;
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

  // The page transitions: a filter made by name runs on the front part from the front page to
  // the back page, whose slot and sprite records become the front ones when it starts.
  // Results of the transition operations.
  static constexpr std::int32_t kTransitionDone = 0;
  static constexpr std::int32_t kTransitionNoRule = -1;
  // Makes the filter and attaches it to `part` with the attach mode and byte: 0; 1 without a
  // part; 2 when no filter was made; 3 when the part refuses it (it is released).
  std::uint32_t CreateLayerFilter(CImagePart* part, const char* name, std::uint8_t mode, std::uint8_t byte,
                                  const PluginArgs& args);
  // Detaches a running transition (with its completion byte) and forgets a recorded screen quake.
  // The page's slot operations call it first while a filter runs.
  void EndScreenFilter();
  // Only the first half: the recorded quake stays.
  void DetachScreenFilter();
  bool FilterRunning() const { return filter_running_; }
  // Whether the reader skips: the transitions then apply at once.
  bool ReaderSkipping() const;
  // The transition commands: each ends the running filter, sets the sprite pages to swap along,
  // and applies at once while the reader skips (0); otherwise starts the filter over `duration`
  // (0: 1000 ms) and swaps the pages: 0, or the failure code after applying at once.
  std::int32_t CrossTransition(std::uint32_t duration);
  // The rule image "SYS\RULE%03d.ELG"; a softness below 1 is 32. -1 when the rule cannot be loaded.
  std::int32_t RuleTransition(std::uint32_t rule, std::uint32_t duration, std::int32_t softness);
  std::int32_t PatternTransition(std::uint32_t pattern, std::uint32_t duration, std::uint32_t flag);
  // One of eight named filters by `index` (clamped to 0-7) with its three argument words (a
  // number, or the address of a text that outlives the call).
  static const char* NamedFilterName(std::int32_t index);
  std::int32_t NamedFilterTransition(std::int32_t index, std::uint32_t duration, std::span<const std::uintptr_t, 3> words);
  std::int32_t RippleTransition(std::uint32_t duration, std::span<const std::uintptr_t, 6> words);
  // Loads rule image `number` (8 bits), mirrored as the two rule settings say; the number of the
  // rule loaded last is not loaded again. 0; 1 when it cannot be loaded.
  std::uint32_t LoadRule(std::uint32_t number);
  const CImage& RuleImage() const { return rule_image_; }
  void SetRuleMirrors(bool vertical, bool horizontal) {
    mirror_rule_ = {vertical, horizontal};
    rule_number_.reset();
  }
  // Waits for the running transition: 0 when it has ended; 1 when `skippable` and the reader
  // cut it short (it is detached); -1 when the application ends meanwhile.
  std::int32_t WaitTransition(bool skippable);
  static constexpr std::int32_t kCrossSkipped = 1;
  static constexpr std::int32_t kCrossNoFilter = 2;
  static constexpr std::int32_t kCrossRefused = 3;
  // The whole-screen cross: "cross" over `duration` on `part` (null: the front part), attached
  // with `swap_mode` (its end swaps the parts' layers in mode 1), waited for frame by frame and cut
  // short (detached) when `skip_mask` is given and the reader interrupts with it; with a swap mode
  // the pages swap afterwards (mode 1 with the sprite pages). 0; 1 skipped; 2 no filter made; 3
  // the part refused it; -1 when the application ends meanwhile.
  std::int32_t CrossScreen(std::uint32_t duration, std::uint8_t swap_mode, std::uint32_t skip_mask,
                           CImagePart* part = nullptr);
  // The screen fades to `colour` in 4/6 of `duration` (below 6: 600 ms) and back in 2/6: 0, or
  // -1 when the application ends meanwhile. Skipping, the back page is only cleared to the colour.
  std::int32_t ScreenFlash(std::uint32_t duration, std::uint32_t colour);
  // The screen fades to `colour` in 5/8 of `duration` (below 8: 800 ms), then to the background
  // `name` in 3/8; skipping, it changes at once. 0; 2 the background cannot be loaded (the colour
  // stays); -1 when the application ends meanwhile.
  std::int32_t ScreenCrossToBg(const char* name, std::uint32_t duration, std::uint32_t colour);
  // The screen quake: "quake" on the front part with `words` (period, amplitudes x and y,
  // duration, decay text, border fill as a byte), attached to swap the layers at its end when
  // `swap`, else the backgrounds, lowering the priority when `lower_priority` (only for a quake
  // with a duration). The quakes of both background slots end first; a quake with a duration
  // does nothing while the reader skips (0). An endless quake is recorded for a saved game. 0;
  // 2 no filter made; 3 the part refused it.
  std::int32_t ScreenQuake(std::span<const std::uintptr_t, 6> words, bool swap, bool lower_priority);
  // The page mode: 1 makes the sprite pages swap with the background slots.
  std::uint8_t PageMode() const { return page_mode_; }

  // The frame's effect commands (vov_effect_commands.cpp). Effects run on the pausable timer
  // manager; each writes null into the field that holds it when it ends.
  // Whether effect commands animate: the user's effects setting on and the reader not skipping.
  bool EffectsEnabled() const;
  // Ends the field's effect, then makes the effect `name` and sets it up with `target` and `args`
  // into `field`: 0 (the field holds it while it runs); 1 when no effect bears the name; 2 when its set-up fails.
  std::uint32_t CreateEffect(CEffect*& field, const char* name, void* target, const PluginArgs& args);
  // Ends the effect the field holds and empties the field.
  static void ReleaseEffect(CEffect*& field);
  // Whether the pausable timer manager still runs the effect.
  static bool EffectRuns(const CEffect* effect);
  // Frame passes while the field's effect runs: 0 when it ended (at once for an empty field); 1
  // when `skippable` and the reader clicked or skips (the effect is ended); -1 when the
  // application ends meanwhile.
  std::int32_t WaitEffect(CEffect*& field, bool skippable);
  // Ends the screen filter and the slot's effect run once, and a persistent one that works on
  // the picture; with `resume_anime` a stopped background animation runs again.
  void EndBgEffect(std::uint32_t slot, bool resume_anime);
  // The tasks of message window 0 (the current one for a negative index) end; 1 and above: none.
  void EndWindowEffects(std::int32_t index);
  // Forgets the page's persistent effect. Without `force` a running effect of kind 4 and above
  // is asked to end by itself (0), 1 when it no longer runs; otherwise it ends at once (0).
  std::int32_t EndPersistentEffect(std::uint32_t page, bool force);

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
  std::int32_t GetWaitState() const override;
  void SetChoiceAwaited(bool on) { choice_awaited_ = on; }
  bool ChoiceAwaited() const { return choice_awaited_; }
  void SetSkipMode(bool on) { skip_mode_ = on; }
  bool SkipMode() const { return skip_mode_; }
  void SetMessageSkipMark(bool on) { message_skip_mark_ = on; }
  bool MessageSkipMark() const { return message_skip_mark_; }
  void SetAutoModeFlag(bool on) { auto_mode_ = on; }
  bool AutoMode() const { return auto_mode_; }

  // The configuration words the creator copied from the script host: word 0 where the choice list
  // writes a decided item's value, word 1 where a picked choice's index goes, words 2 to 5 the
  // save/load mode pair, the save/load result, the configuration-script choice and the pair of
  // change flags. Each is a script address, 0 for none.
  void SetConfigWords(const CScriptHost::ConfigWords& words) { config_words_ = words; }
  void SetConfigWord(std::size_t index, std::uint32_t address) {
    if (index < config_words_.size()) config_words_[index] = address;
  }
  std::uint32_t ConfigWord(std::size_t index) const { return index < config_words_.size() ? config_words_[index] : 0; }
  // The script word that configuration word `index` names; null for 0 and for an address that is
  // not a whole, aligned word of script memory (nothing is ever written through those).
  // `word` counts further words behind the named one (the save/load mode pair, the change flags).
  std::int32_t* ConfiguredWord(std::size_t index, std::size_t word = 0) const;
  // A writer of the same word for a holder that writes it later: it writes through script
  // memory, so that translated code hears of the write; empty without the word.
  CListPart::DecisionSink ConfiguredWordWriter(std::size_t index) const;

  // The system commands: the ten buttons of the message window (0-9), the system menu (10) and
  // the return to the title (11), chosen by a click or, with -1, polled from the pointer's edge
  // zone, a right click in auto mode, the key bindings' actions 6-17 and F1-F5 (slots 0-4 of the
  // quick group, saved with the skip key held, else loaded). Results: -2 the application is
  // ending; -1 carried out or cancelled; 0 nothing (no command, a disabled button, a number
  // above 11); 2 the text history closed; 3 and 4 skip mode on and off; 5 back to the previous
  // choice, 6 a game was loaded, 7 back to the title (each with its pending request); a system
  // menu result that maps to no command is returned as it is.
  static constexpr std::int32_t kCommandAppEnding = -2;
  static constexpr std::int32_t kCommandDone = -1;
  static constexpr std::int32_t kCommandNone = 0;
  static constexpr std::int32_t kCommandHistoryClosed = 2;
  static constexpr std::int32_t kCommandSkipOn = 3;
  static constexpr std::int32_t kCommandSkipOff = 4;
  static constexpr std::int32_t kCommandBackToChoice = 5;
  static constexpr std::int32_t kCommandLoaded = 6;
  static constexpr std::int32_t kCommandBackToTitle = 7;
  std::int32_t HandleSystemButton(std::int32_t button);
  // The select screens' twin: commands 0-8 of their own bar (quick save, quick load, back to the
  // choice, save, load, text history, configuration, the system menu's short layout, back to the
  // title), or with -1 polled from the keys only. Its results are HandleSystemButton's.
  std::int32_t HandleSelectScreenButton(std::int32_t command);
  // What the page's end asks of the caller: 1 back to the title, 2 load the stored save, 3 back
  // to the previous choice (0: nothing). Setting one also sets the screen result that ends the
  // wait (7, 6, 5).
  static constexpr std::int32_t kRequestTitle = 1;
  static constexpr std::int32_t kRequestLoad = 2;
  static constexpr std::int32_t kRequestBackToChoice = 3;
  void SetPendingRequest(std::int32_t request);
  std::int32_t PendingRequest() const { return pending_request_; }
  // A screen's result that ends the wait that served it (0: none).
  void SetPendingScreenResult(std::int32_t result) { pending_screen_result_ = result; }
  std::int32_t PendingScreenResult() const { return pending_screen_result_; }
  // The system menu over the page (layout 0 its eleven items, else the select screens' eight):
  // the picked item's result, -1 closed, -2 the application is ending.
  std::int32_t RunSystemMenu(std::int32_t layout);
  // The backlog's screen: 0 closed by the reader, -1 the application ended meanwhile.
  std::int32_t RunTextHistory();
  // Fills the open history's four rows from log entry `first` and plays the page sound. 0.
  std::int32_t FillHistoryPage(std::int32_t first);
  // What the open history shows, null while it is closed.
  const HistoryRows* ShownHistoryRows() const;
  // Where the open history's first row stands, -1 while it is closed.
  std::int32_t HistoryFirstRow() const;

  // The select screens over the page, each with a panel, the select bar of seven commands and its
  // own loop. The choice screen (opcode 128) lists the pending choices: 0 after a pick (its index
  // written through configuration word 1), -2 with no choices pending (nothing changed), -1 when
  // the application ended, the screen result of a bar command that ended it (5, 6, 7). The
  // select prompt (opcode 127) asks for one of two answers over the character's background: the
  // character number (first answer) or 0 goes into the answer word; -2 for no answer word, else
  // as the choice screen. Script addresses are read and written through checked script memory.
  static constexpr std::int32_t kNothingToSelect = -2;
  std::int32_t RunChoiceScreen(std::uint32_t choice_variables, std::uint32_t flags, std::int32_t flag_count,
                               std::int32_t character, std::int32_t scene);
  std::int32_t RunSelectPrompt(std::int32_t variable, std::uint32_t answer, std::uint32_t flags,
                               std::int32_t flag_count, std::int32_t character, std::int32_t scene, const char* text);
  // Set while choices wait for a select screen: the end of a message then only finishes typing.
  void SetChoicesPending(bool on) { choices_pending_ = on; }
  bool ChoicesPending() const { return choices_pending_; }

  // Waiting for the reader. Every wait runs one pass of the application's frame procedure per
  // turn and gives -1 when a pass reports that the application is ending.
  static constexpr std::int32_t kWaitAppEnding = -1;
  static constexpr std::int32_t kWaitDone = 0;
  static constexpr std::int32_t kWaitCutShort = 1;
  // The voice channel, the group of the page's speakers and its first five sprites.
  static constexpr std::int32_t kVoiceChannel = 6;
  // What the music's ducking under a voice does by itself: halve the music.
  static constexpr float kVoiceDuckingHalf = -1.0f;
  static constexpr std::int32_t kSpeakerGroup = 0;
  static constexpr std::int32_t kSpeakerSprites = 5;
  // The buttons' fade, and the row from which auto-hidden buttons show.
  static constexpr std::uint32_t kButtonFadeTime = 200;
  static constexpr std::int32_t kButtonRowTop = 578;
  // The choice list reports a choice as this number plus its index; 0-19 are system buttons.
  static constexpr std::int32_t kFirstChoiceCommand = 20;
  // One pass of the frame procedure: false when there is none or it reports the application's end
  // (remembered: ApplicationEnding), and without one once the page image a script gave ended.
  bool RunFramePass();
  bool ApplicationEnding() const { return application_ending_; }
  // Tests set it to reach the stop check soon.
  void SetCommandsUntilStopCheck(std::uint32_t commands) { commands_until_stop_check_ = commands; }
  // mask 1: a click or the decide key (with the setting that lets a click end waits); mask 2: the
  // skip key or the always-skip setting. False while input is not allowed.
  static constexpr std::uint32_t kInterruptClick = 1;
  static constexpr std::uint32_t kInterruptSkip = 2;
  bool IsInterrupted(std::uint32_t mask) const;
  void SetInputAllowed(bool on) { input_allowed_ = on; }
  // 1 at once while skipping; else frame passes until more than `milliseconds` have passed (0),
  // the skip key is down (0) or, when `clickable`, the reader clicks (1).
  std::int32_t WaitTime(std::uint32_t milliseconds, bool clickable);
  // Frame passes until more than `milliseconds` have passed; nothing cuts it short. 0.
  std::int32_t WaitFixed(std::uint32_t milliseconds);
  // Frame passes while the timer manager (the pausable one or the normal one) holds `task`: 0
  // when it ended; 1 when `stoppable` and skipping or interrupted, the task then removed.
  std::int32_t WaitTask(CTimedTask* task, bool pausable, bool stoppable);
  // Ends skipping (the message skip mark, skip mode and the latched skip button): true when skip
  // mode was on.
  bool StopSkip();
  // Auto mode on or off with its button; its timer starts again. The timer's status.
  bool SetAutoMode(bool on);
  // The system buttons shown or hidden when that changes: with `fade` over 200 ms.
  void ShowButtons(bool show, bool fade);
  bool ButtonsShown() const { return buttons_shown_; }
  // The message window (with its name box, and the choice list while a choice is awaited), and
  // with `with_buttons` the buttons without fade, unless they hide by themselves and the window
  // is being shown.
  void ShowMessageWindow(bool show, bool with_buttons);
  // The message window (as above) faded in or out over `time` ms of frame passes, with
  // `with_buttons` the buttons fading too; false when the application ends meanwhile.
  bool FadeMessageWindow(bool show, std::uint32_t time, bool with_buttons);
  // Follows the cursor: a move shows a cursor the frame hid; the buttons follow the cursor to
  // the bottom row with the auto-hide setting, else they show when hidden. `moved` tells.
  void TrackMouse(bool& moved);
  // Shows the cursor again when the frame hid it: true then.
  bool ShowHiddenCursor();
  // The play clock: a run's time is added to it from StartClock to StopClock.
  void StartClock();
  void StopClock();
  std::uint32_t PlayTime() const { return play_time_; }
  // Ends the voice-playing mark; the voice stops when `stop_voice` and the user's setting agree.
  void StopVoiceMark(bool stop_voice);
  // The end of a message: the reader's click, the skip key, auto mode or a voice's end go on. 0;
  // -1; a pending screen result. `text_shown`: the message was shown by this wait's command.
  std::int32_t WaitForReader(bool text_shown);
  // The choice wait of a list that opcode 13 filled: 0 with the picked index stored; -1; a pending
  // screen result.
  std::int32_t WaitForChoice();
  // Hands the collected text to the current window, at the speed of the line's read state, and
  // to the text log. 1 when there is no text, else 0.
  std::int32_t FlushText();
  // The number of choices opcode 13 put in the list (0: none awaited).
  std::size_t ChoiceCount() const { return choice_count_; }
  void SetChoiceCount(std::size_t count) { choice_count_ = count; }
  bool LineRead() const { return line_read_; }
  void SetLineRead(bool read) { line_read_ = read; }
  // Whether the message window was left waiting (the go-on page's "text shown").
  bool WindowWaiting() const { return window_waiting_; }
  std::uint8_t VoiceWaitState() const { return voice_wait_state_; }
  bool VoicePlaying() const { return voice_playing_; }
  // The voice of the last message that had one, for replay.
  const std::string& ReplayVoice() const { return replay_voice_; }
  // The voice's pan for a speaker at x: -5000 at 0 or less, 5000 at 800 or more, linear between
  // in whole steps.
  static std::int32_t VoicePan(std::int32_t x);

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
  void RestoreMessageFont() override;
  // The message size with the user's small-font setting: size × 0.8181818181818182, rounded.
  static std::int32_t ScaledFontSize(std::int32_t size);

  // The message window, its name box, the choice list, the ten system buttons, the click area
  // over the screen and the waiting mark (the message window's click icon).
  static constexpr std::size_t kButtonCount = 10;
  static constexpr std::int32_t kButtonGroup = 1000;
  static constexpr std::uint32_t kPagePriority = 10000;
  // Button states.
  static constexpr std::uint8_t kButtonDisabled = 0;
  static constexpr std::uint8_t kButtonEnabled = 1;
  static constexpr std::uint8_t kButtonLatched = 2;
  // The system buttons by their place in the button file.
  static constexpr std::size_t kQuickSaveButton = 0;
  static constexpr std::size_t kQuickLoadButton = 1;
  static constexpr std::size_t kBackToChoiceButton = 2;
  static constexpr std::size_t kSaveButton = 3;
  static constexpr std::size_t kLoadButton = 4;
  static constexpr std::size_t kSkipButton = 5;
  static constexpr std::size_t kHistoryButton = 7;
  // InitMessageWindow's results.
  static constexpr std::uint32_t kInitNoRootWindow = 1;
  static constexpr std::uint32_t kInitPageUnusable = 2;
  // PreparePage's result before InitMessageWindow.
  static constexpr std::int32_t kPageNotBuilt = -2;

  // The page image (the part handed in, or the frame's own), the BG tone table, both fonts (the
  // message font becomes the default font), the two timers and the waiting mark's picture. 0;
  // 1 without a root window; 2 when the part handed in is not usable.
  std::uint32_t InitMessageWindow(CImagePart* part, CGuiWindow* root);
  // Builds the page's widgets for a run: -2 before InitMessageWindow; -1 once the page image a
  // script gave ended; 0 otherwise. A game without the button file or a picture runs without
  // them. With `go_on` the run goes on from a restored page (RestoreState; -1 when the
  // application ends meanwhile). The notice of a newest save that did not load slides in once
  // the page is prepared.
  std::int32_t PreparePage(bool go_on);
  // Shows the cursor again when the frame hid it, removes the task a wait left pending, takes
  // down what a run built (the buttons, the choices, the slots' pictures and effects) and
  // resets the scenario machine. 0.
  std::int32_t ResetPage();
  // ResetPage, then everything InitMessageWindow made. The destructor calls it.
  void ReleaseMessageWindow();
  // The user's settings applied to the message window and the choice list (`colours`), the
  // message font (`font`) and the text log's size (`log_size`); with `only_if_changed` only when
  // the application's settings-changed mark is set. Returns the mark as read (0 or 1);
  // `clear_changed` clears it.
  std::uint8_t ApplyUserSettings(bool colours, bool font, bool log_size, bool only_if_changed,
                                 bool clear_changed) override;
  // When a choice was marked, the mark goes and the serial number moves on (after 255 comes 1).
  // 0.
  std::int32_t AdvanceChoiceSerial();
  void SetChoiceMark(bool on) { choice_mark_ = on; }
  bool ChoiceMark() const { return choice_mark_; }
  std::uint8_t ChoiceSerial() const { return choice_serial_; }
  // 1 for an index past the buttons. 0 and 1 release a latched button and disable or enable
  // it; 2 enables a disabled one and latches a check button. The state is kept also while the
  // page has no button widgets.
  std::int32_t SetButtonState(std::size_t index, std::uint8_t state);
  std::uint8_t ButtonState(std::size_t index) const { return index < kButtonCount ? button_states_[index] : 0; }
  CGuiElement* Button(std::size_t index) const { return index < kButtonCount ? buttons_[index].get() : nullptr; }

  bool MessageWindowBuilt() const { return built_; }
  bool GoingOn() const { return go_on_; }
  CTextWindow& MessageWindow() { return message_window_; }
  CTextLayout& NameBox() { return name_box_; }
  CListMenu& ChoiceList() { return choice_list_; }
  CClickArea& ClickArea() { return click_area_; }
  CImage& WaitingMarkImage() { return mark_image_; }
  CElapsedTimerArray& Timers() { return timers_; }
  CTextWindow* CurrentWindow() { return current_window_; }
  // The window a scenario names: 0 and below -1 the message window, -1 the current one; null for
  // 1 or more.
  CTextWindow* WindowByNumber(std::int32_t number);
  void MakeMessageWindowCurrent() { current_window_ = &message_window_; }
  // Shows or hides a text window and remembers the message window's shown flag.
  void ShowTextWindow(CTextWindow& window, bool show);
  bool MessageWindowShown() const { return message_window_shown_; }
  // Empties a window: its text and page go, it is hidden, and the two timed tasks of the task
  // record end.
  void EraseTextWindow(CTextWindow& window);
  // The task record: two timed tasks of the pausable timer manager that erasing the window or
  // resetting the page ends; a task that ends by itself leaves its place empty.
  static constexpr std::size_t kWindowTasks = 2;
  void HoldWindowTask(std::size_t index, CTimedTask* task);
  CTimedTask* WindowTask(std::size_t index) const { return index < kWindowTasks ? window_tasks_[index] : nullptr; }
  void EndWindowTasks();
  // The message window's own opacity, used instead of the user's (-1: the user's).
  void SetWindowOpacity(std::int32_t alpha) { window_opacity_ = alpha; }

 private:
  // Counts one command of the run: true (logged) when the stop check it asks every
  // kCommandsPerStopCheck commands without a frame pass says the application is ending, and at
  // once when the page image a script gave ended.
  bool StopRequested();
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
  // The address behind ConfiguredWord.
  std::optional<std::uint32_t> ConfiguredAddress(std::size_t index, std::size_t word) const;
  void InstallHandlers();
  void InstallPageHandlers();
  void InstallMessageHandlers();
  // PreparePage's steps.
  CDrawList* PageWidgetList();
  void BuildMessageWindow();
  void BuildChoiceList();
  void LoadButtons();
  void JoinRootWindow(CGuiElement& element);
  void InstallFlowHandlers();
  // The wait steps.
  struct ServedButton {
    bool ends = false;
    std::int32_t result = 0;
    bool click = false;
    bool restart_auto = false;
  };
  // The system commands' steps (vov_system_buttons.cpp). A polled command with its quick slot
  // (-1 the rotating one) and whether the pointer's edge zone chose it.
  struct PolledCommand {
    std::int32_t command = -1;
    std::int32_t slot = -1;
    bool by_pointer = false;
  };
  PolledCommand PollCommandKeys() const;
  PolledCommand PollSystemCommand() const;
  std::int32_t RunSystemCommand(const PolledCommand& chosen);
  std::int32_t QuickSave(std::int32_t slot);
  std::int32_t QuickLoad(std::int32_t slot);
  std::int32_t ConfirmBackToChoice();
  std::int32_t RunSaveLoadScript(bool save, bool paused);
  // Says why a system script's run (RunSystemScript's result) ended the frame: the application
  // ending while it ran (the run ended), or the script that could not run.
  void LogSystemScriptEnd(const char* script, std::int32_t served) const;
  std::int32_t ToggleSkipMode();
  std::int32_t ToggleAutoMode();
  std::int32_t ShowTextHistory(bool paused);
  std::int32_t RunConfigScript(bool whole);
  // The message window around a settings screen: faded over 100 ms, or at once with screen
  // effects off; false when the application ends meanwhile.
  bool ShowWindowAroundScreen(bool show);
  // The user's settings laid onto the message window anew, its message drawn again at once.
  void RelayOutMessageWindow();
  // The window's message drawn at once with its speaker's and voice's names.
  void ShowMessageAtOnce(std::span<const std::uint8_t> message, const std::string& speaker, const std::string& voice);
  std::int32_t HideMessageWindow(bool by_pointer);
  std::int32_t OpenSystemMenu();
  // The system menu's steps (vov_system_menu.cpp): the slide of its panel in or out (false when
  // the application ends meanwhile) and the answer to a fired item (0: the menu stays open).
  struct SystemMenuPanel;
  bool SlideSystemMenu(SystemMenuPanel& panel, bool in);
  std::int32_t ServeMenuItem(std::int32_t id);
  // The text history's steps (vov_text_history.cpp): the screen built over the page, one turn of
  // the reader's input (false once it closes), a row's voice played again and the screen taken
  // down.
  struct HistoryScreen;
  // Opening and closing return false when the application ends during their cross.
  bool OpenTextHistory(HistoryScreen& screen);
  bool ServeHistoryTurn(HistoryScreen& screen);
  void ReplayHistoryVoice(HistoryScreen& screen, std::size_t row);
  bool CloseTextHistory(HistoryScreen& screen, bool cross);
  // The screen crosses from `from`'s picture to the page `to`, which the screen manager shows;
  // false when the application ends meanwhile.
  bool CrossBetweenPages(CImagePart& to, CImagePart& from);
  // The game ends in black: the music fades out while the screen crosses to a black page.
  void FadeOutForExit();
  // The player's confirmed exit: the application ends by the close box's road, so that every
  // frame pass from here on reports the end.
  void EndApplication();
  // The select screens' steps (vov_select_screen.cpp): the screen built from its layout with
  // the bar commands from part `first_command`, its slide in or out (false when the application
  // ends meanwhile), the flash of a decided pick, one bar command's answer (0: the screen goes
  // on) and the screen taken down.
  struct SelectScreen;
  // The panel shows the first flags of the list at `flags`.
  bool OpenSelectScreen(SelectScreen& screen, const char* layout, std::size_t first_command, std::uint32_t flags);
  bool SlideSelectScreen(SelectScreen& screen, bool in);
  std::int32_t FlashSelection();
  std::int32_t ServeSelectCommand(std::int32_t command);
  // Waits for the screens' slides and removes what is left of them: false when the application
  // ends meanwhile.
  bool WaitForSlides(const std::vector<CTimedTask*>& slides);
  void CloseSelectScreen(SelectScreen& screen);
  // Word `index` of the script array at `address`; nothing for 0 or outside script memory.
  std::optional<std::uint32_t> ScriptWordAt(std::uint32_t address, std::size_t index) const;
  // The value of a script variable that a select screen names; 0 (logged) past the host's table.
  std::int32_t SelectVariableValue(std::uint32_t number) const;
  void InstallSelectScreenHandlers();
  void InstallTransitionHandlers();
  void InstallBgEffectHandlers();
  void InstallBgBlurHandlers();
  void InstallSpriteEffectHandlers();
  // The transitions' steps: the filter started on the front part (the pages swap), or the back
  // page shown at once. With `second_view` the front part shows the back page's layer while the
  // filter runs (a filter that starts from the back page's side); a failed start turns it back.
  std::int32_t RunPageTransition(const char* name, const PluginArgs& args, std::uint8_t byte,
                                 bool second_view = false);
  void StartTransition();
  void ApplyTransitionAtOnce();
  void BeginTransitionCommand();
  std::int32_t ConfirmBackToTitle();
  // The pause clock around a system screen: the cursor shows; afterwards the auto timer leaves
  // the screen's time out, the pointer is forgotten and skip mode ends.
  void BeginSystemPause();
  void EndSystemPause();
  // The widget command of this turn (a system button 0-9, a choice from 20), -1 for none.
  std::int32_t TakeWidgetCommand();
  ServedButton ServeSystemButton(std::int32_t button);
  bool SkipKeyCounts() const;
  bool ReaderPressed() const;
  // A left press on a shown, enabled system button: the button's, which answers when let go.
  bool PressIsOnButton() const;
  void StartVoice(const std::string& voice);
  // Loads the voice on the voice channel for the speakers on the page and plays it, from the
  // speaker's side and over lowered music as the settings say: PlayCharacterVoice's result.
  std::int32_t PlaySpeakerVoice(const std::string& voice, bool loop);
  void InstallSoundHandlers();
  // The sound-effect channel of a play command's channel operand.
  std::int32_t EffectChannel(std::int32_t channel);
  void RememberLoop(std::int32_t channel, bool loop, const char* name, std::uint32_t stream);
  void FinishReaderWait(bool text_shown, bool pressed);
  void HideIdleCursor();
  // Blinks the picked item; false when the application ends.
  bool BlinkChoice(std::int32_t index);
  // The sprite that shows a button's face, null without one.
  static CSprite* ButtonSprite(CGuiElement* button);
  // Removes the task a wait left pending (the page's reset).
  void RemovePendingTask();

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
  CGuiWindow* root_window_ = nullptr;
  bool built_ = false;
  bool go_on_ = false;
  bool line_read_ = false;
  bool newest_load_failed_ = false;
  CElapsedTimerArray timers_;
  CImage mark_image_;
  CTextLayout name_box_;
  CTextWindow message_window_;
  CTextWindow* current_window_ = &message_window_;
  bool message_window_shown_ = false;
  CListMenu choice_list_;
  CClickArea click_area_;
  // The widget manager owns the buttons; one that a script deletes (by its group or with every
  // widget) is forgotten, and the frame goes on without it.
  std::array<WatchedPtr<CGuiElement>, kButtonCount> buttons_{};
  std::array<std::uint8_t, kButtonCount> button_states_{};
  CEffect* button_fade_ = nullptr;
  std::array<CTimedTask*, kWindowTasks> window_tasks_{};
  std::int32_t window_opacity_ = -1;
  bool choice_mark_ = false;
  std::uint8_t choice_serial_ = 1;
  CScriptHost::ConfigWords config_words_{};
  std::int32_t pending_screen_result_ = 0;
  std::int32_t pending_request_ = 0;
  std::uint32_t pause_start_ = 0;
  bool application_ending_ = false;
  std::uint32_t commands_until_stop_check_ = kCommandsPerStopCheck;
  bool input_allowed_ = true;
  bool buttons_shown_ = false;
  std::int32_t mouse_x_ = -1;
  std::int32_t mouse_y_ = -1;
  bool cursor_hidden_ = false;
  std::uint8_t voice_wait_state_ = 0;
  bool voice_playing_ = false;
  std::string replay_voice_;
  HistoryScreen* history_ = nullptr;
  bool choices_pending_ = false;
  bool window_waiting_ = false;
  std::uint32_t clock_start_ = 0;
  std::uint32_t play_time_ = 0;
  std::size_t choice_count_ = 0;
  CTimedTask* pending_task_ = nullptr;
  CTimerManager* pending_manager_ = nullptr;
  std::array<std::int32_t, kFrameStateWords> state_words_ = InitialStateWords();
  std::array<std::int32_t, kWindowBlockWords> window_block_{};
  std::array<VovLoopingSound, kLoopingChannels> looping_{};
  std::string name_;
  bool filter_running_ = false;
  std::uint8_t page_mode_ = 0;
  CImage rule_image_;
  std::optional<std::uint32_t> rule_number_;
  std::array<bool, 2> mirror_rule_{};
  // What a load left for the restore step.
  std::optional<VovDeferredBlock> deferred_;

  static std::array<std::int32_t, kFrameStateWords> InitialStateWords();
  VovFrameHead CaptureHead();
  VovFrameTail CaptureTail() const;
  // RestoreState's steps.
  bool RestoreSprites(bool& fade_in);
  void RestoreBackgrounds(bool any_front_sprite, bool& fade_in);
  void RestoreLoopingSounds();
  // The looping effect of a sprite record and the persistent effect of a background slot
  // started again from their records, as their commands start them (vov_effect_restart.cpp).
  void RestartSpriteEffect(std::uint32_t index, bool back, std::int32_t group);
  void RestartBgEffect(std::uint32_t slot);
  void RestoreDeferred();
  // The saved message displayed again at once in the message window, its click icon shown
  // unless choices are open.
  void ShowSavedMessage(const VovDeferredBlock& block, bool choices);
  // The message window's sprite turned and zoomed about its anchor as the saved words 8-11 say.
  void TurnMessageWindowAsSaved();
  void RestoreMusic(bool fade_in);
  // The screen comes up from black to the restored page: 0 (also when it cannot run, and the
  // page shows at once), 1 cut short by skipping, -1 when the application ends meanwhile.
  std::int32_t FadeInAfterLoad();
};

// A saved frame read aside, ready to be taken over.
struct CVovFrame::PendingLoad {
  CVovVM::RestoredMachine machine;
  VovFrameHead head;
  std::unique_ptr<CTextLog> log;  // null: the save carries none and the log stays
  VovFrameTail tail;
};

// The living frame, null while there is none.
extern CVovFrame* g_VovFrame;

// The operand n (counted from 0), absent past the operands given.
VovOperand VovOperandAt(std::span<const VovOperand> operands, std::size_t n);
