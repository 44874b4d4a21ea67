// The translated code of a script memory: one translator per translated range of word code (a
// module's code, or any block a caller translates), found by address when a run enters it.
// Translated code goes from one range to another without leaving machine code, so a translation
// that is dropped or replaced while any translated code runs (a built-in may unload or translate
// code, a store may change its opcode words) stays alive until every such run has returned.
//
// The translations listen to the writes into their code (ScriptMemory::Watch). Before translated
// code runs again, Refresh compares the opcode words that writes reached with the code and makes
// the code of a range whose opcode words changed again.
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
  // Forgets the translation of the code at `code`, when there is one.
  void Drop(std::uint32_t code);
  bool Has(std::uint32_t code) const { return translators_.count(code) != 0; }
  // The translation that covers `address`, null where there is none.
  const CScriptTranslator* Find(std::uint32_t address) const;
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

 private:
  using Translators = std::map<std::uint32_t, std::unique_ptr<CScriptTranslator>>;
  Translators::iterator Retire(Translators::iterator translator);
  std::unique_ptr<CScriptTranslator> NewTranslator();
  void Written(std::uint32_t address, std::uint64_t size) noexcept override;
  void RefreshWritten();
  // Tells script memory the span that the translations cover now.
  void WatchCode();
  void MarkCodePages();
  void MarkPlainPages();
  void AllocatePages();
  std::uint8_t UncodedPage(std::ptrdiff_t page) const;

  ScriptMemory& memory_;
  Translators translators_;
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
