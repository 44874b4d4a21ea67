// The translated code of a script memory: one translator per translated range of word code, found
// by address when a run enters it. A caller translates a block (a module's code, say); a block
// longer than kRangeBytes is translated as several ranges of whole instructions, so that making
// one range again costs a bounded amount of work. Translated code goes from one range to another
// without leaving machine code, so a translation that is dropped or replaced while any translated
// code runs (a built-in may unload or translate code, a store may change its opcode words) stays
// alive until every such run has returned.
//
// The translations listen to the writes into their code (ScriptMemory::Watch). Before translated
// code runs again, Refresh compares the opcode words that writes reached with the code and makes
// the code of a range whose opcode words changed again. A range whose opcode words keep changing
// would be made again on every pass of the loop that writes them: once it has been made again
// kMostRemakes times, the instructions that changed last are cut out of it and rest, interpreted,
// while the rest of the range is made again around them. A resting span is translated again
// once runs have entered it kQuietEntries times (twice as many for each rest before) with no
// opcode word of it changing in between. The work of translating is counted: a run asks the
// stop check after every kBytesPerStopCheck bytes of code it has had translated.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "script/script_memory.h"
#include "script/script_translator.h"

class ScriptTranslations : private ScriptMemory::WriteListener {
 public:
  explicit ScriptTranslations(ScriptMemory& memory) : memory_(memory) {}
  ~ScriptTranslations();
  ScriptTranslations(const ScriptTranslations&) = delete;
  ScriptTranslations& operator=(const ScriptTranslations&) = delete;

  // Translates the word code of [code, code + length), replacing any translation that overlaps it:
  // CScriptTranslator::kTranslated, or kRefused (logged: that code runs interpreted).
  std::uint32_t Translate(std::uint32_t code, std::uint32_t length);
  // Forgets the translation of the block translated at `code` (or of the range at `code`), when
  // there is one.
  void Drop(std::uint32_t code);
  bool Has(std::uint32_t code) const { return blocks_.count(code) != 0 || translators_.count(code) != 0; }
  // The translation that covers `address`, null where there is none.
  const CScriptTranslator* Find(std::uint32_t address) const;
  // Find for a run that enters code at `address`: where a resting span holds it, the entry counts
  // towards the span's rest, and the span is translated again (and found) once it has rested.
  const CScriptTranslator* FindOrWake(std::uint32_t address);
  // Whether a resting span holds `address`.
  bool Rests(std::uint32_t address) const;

  // A run that starts: the translation work counted for its stop checks starts from nothing.
  void StartRun() { bytes_since_stop_check_ = 0; }
  // True, once, after every kBytesPerStopCheck bytes of code translated since the run started or
  // was last told so: the run then asks the stop check, as it does after so many transfers.
  bool StopCheckDue() {
    if (bytes_since_stop_check_ < limits_.bytes_per_stop_check) return false;
    bytes_since_stop_check_ -= limits_.bytes_per_stop_check;
    return true;
  }
  // The machine code of the instruction at `address` in the form asked for (the counted form is
  // made on first use), null where there is none.
  const void* EntryFor(const CScriptTranslator& translator, std::uint32_t address, bool counted);
  // Every range with code of the form, for transfers from one to another (TranslatedFrame::ranges).
  const std::vector<TranslatedRange>& Ranges(bool counted);
  // The links of the form (TranslatedFrame::links), emptied whenever Ranges makes its list again.
  TranslatedLink* Links(bool counted) { return links_[counted ? 1 : 0].data(); }
  // Runs translated code (see CScriptTranslator::Enter).
  TranslatedExit Enter(const CScriptTranslator& translator, TranslatedFrame& frame, const void* entry, bool counted);
  // Whether [start, end) shares a byte with translated code.
  bool Overlaps(std::uint64_t start, std::uint64_t end) const;

  // Brings the code up to date with the writes heard since the last call.
  void Refresh() {
    if (written_ || compare_all_) RefreshWritten();
  }
  // Changes whenever code is translated, made again or dropped.
  std::uint64_t Generation() const { return generation_; }
  // The map of pages by address >> kCodePageShift (kCodePage, kPlainPage or 0), brought up to
  // date with the usable memory.
  const std::uint8_t* Pages() {
    if (memory_.UsableEnd() != plain_for_end_) MarkPlainPages();
    return code_pages_.data();
  }
  // A map that says nothing of any page.
  static const std::uint8_t* NoPages();

  // Frees the dropped translations once no translated code runs.
  void ReleaseRetired() {
    if (running_ == 0) retired_.clear();
  }

  static constexpr std::uint32_t kRangeBytes = 64 * 1024;
  static constexpr int kMostRemakes = 4;
  static constexpr std::uint32_t kQuietEntries = 64;
  static constexpr std::uint32_t kBytesPerStopCheck = 64 * 1024;
  // The sizes above; tests make them small, to reach every edge with small programs.
  struct Limits {
    std::uint32_t range_bytes = kRangeBytes;
    int most_remakes = kMostRemakes;
    std::uint32_t quiet_entries = kQuietEntries;
    std::uint32_t bytes_per_stop_check = kBytesPerStopCheck;
  };
  void SetLimits(const Limits& limits) { limits_ = limits; }

 private:
  using Translators = std::map<std::uint32_t, std::unique_ptr<CScriptTranslator>>;
  // Instructions cut out of a range, interpreted while they rest: their opcode words as last seen.
  struct RestingSpan {
    std::uint32_t length = 0;
    std::vector<TranslatedInstruction> instructions;  // offsets from the span's start
    int rests = 1;           // how often these instructions were cut out to rest
    std::uint32_t entries = 0;  // entries since an opcode word of the span last changed
    bool written = false;    // a write reached the span since the last entry
  };
  Translators::iterator Retire(Translators::iterator translator);
  std::unique_ptr<CScriptTranslator> NewTranslator();
  // Translates instructions (offsets from `code`) as ranges of at most range_bytes each: false,
  // with none of them kept, where one cannot be translated.
  bool TranslateRanges(std::uint32_t code, std::uint32_t length, const std::vector<TranslatedInstruction>& instructions,
                       int rests);
  // Makes the translator's code again, or cuts out what changed once it was made often enough.
  void Remake(std::uint32_t code);
  void Rest(const CScriptTranslator& translator, std::uint32_t start, std::uint32_t end, int rests);
  // The opcode words of the span changed since they were last seen (and are noted as seen).
  bool RestingChanged(std::uint32_t code, RestingSpan& span) const;
  void ForgetResting(std::uint64_t start, std::uint64_t end);
  // Whether a store to the word at `address` reaches translated code or a resting span.
  bool Listens(std::uint32_t address) const;
  void Written(std::uint32_t address, std::uint64_t size) noexcept override;
  void RefreshWritten();
  // Tells script memory the span that the translations cover now.
  void WatchCode();
  void MarkCodePages();
  void MarkPlainPages();
  void AllocatePages();
  std::uint8_t UncodedPage(std::ptrdiff_t page) const;

  ScriptMemory& memory_;
  Limits limits_;
  Translators translators_;
  std::map<std::uint32_t, RestingSpan> resting_;
  // The blocks translated by callers, by start: their lengths.
  std::map<std::uint32_t, std::uint32_t> blocks_;
  std::uint64_t bytes_since_stop_check_ = 0;
  std::vector<std::unique_ptr<CScriptTranslator>> retired_;
  bool written_ = false;      // a write reached translated code since the last Refresh
  bool compare_all_ = false;  // code was translated while a run of the machine did not tell its stores
  std::uint64_t generation_ = 0;
  int running_ = 0;  // runs inside translated code
  std::vector<TranslatedRange> ranges_[2];  // plain, counted
  std::array<TranslatedLink, kTranslatedLinkCount> links_[2];
  std::uint64_t ranges_generation_[2] = {UINT64_MAX, UINT64_MAX};
  std::vector<std::uint8_t> code_pages_;
  std::uint64_t plain_for_end_ = 0;  // the usable end that the plain pages were marked for
  std::ptrdiff_t plain_end_ = 0;      // the plain pages lie below this page, from the lowest address's on
  std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>> marked_pages_;  // [first, end) set in code_pages_
};
