#include "script/script_translations.h"

#include <algorithm>
#include <cstdio>

#include "platform/system/diagnostic_log.h"
#include "script/script_translated_run.h"

namespace {

constexpr std::ptrdiff_t kMapPageCount = std::ptrdiff_t{1} << (32 - kCodePageShift);
constexpr std::ptrdiff_t kFirstPlainMapPage = ScriptMemory::kLowestAddress >> kCodePageShift;

void LogRefused(std::uint32_t code, std::uint32_t length) {
  char line[128];
  std::snprintf(line, sizeof line, "script translation: the code at 0x%08X (%u bytes) cannot be translated and runs interpreted",
                code, length);
  plat::LogDiagnostic(line);
}

}  // namespace

const std::uint8_t* ScriptTranslations::NoPages() {
  // Never written, so it costs no memory beyond the pages that reads touch.
  static const std::uint8_t kNone[kMapPageCount] = {};
  return kNone;
}

void ScriptTranslations::AllocatePages() {
  if (code_pages_.empty()) code_pages_.assign(kMapPageCount, 0);
}

std::uint8_t ScriptTranslations::UncodedPage(std::ptrdiff_t page) const {
  return page >= kFirstPlainMapPage && page < plain_end_ ? kPlainPage : 0;
}

// The last page that is wholly usable holds words that run past the end, so it is not plain.
void ScriptTranslations::MarkPlainPages() {
  AllocatePages();
  plain_for_end_ = memory_.UsableEnd();
  const auto usable_pages = static_cast<std::ptrdiff_t>(plain_for_end_ >> kCodePageShift);
  const std::ptrdiff_t end = std::max(kFirstPlainMapPage, usable_pages - 1);
  for (std::ptrdiff_t page = std::max(kFirstPlainMapPage, plain_end_); page < end; ++page) {
    if (code_pages_[page] == 0) code_pages_[page] = kPlainPage;
  }
  plain_end_ = std::max(plain_end_, end);
}

ScriptTranslations::~ScriptTranslations() { memory_.Watch(nullptr, 0, 0); }

std::unique_ptr<CScriptTranslator> ScriptTranslations::NewTranslator() {
  return std::make_unique<CScriptTranslator>(memory_, SobTranslatedRun::Calls(),
                                             [this](std::uint32_t address) { return Listens(address); });
}

std::uint32_t ScriptTranslations::Translate(std::uint32_t code, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{code} + length;
  for (auto it = translators_.begin(); it != translators_.end();) {
    const std::uint64_t start = it->second->CodeStart();
    const bool overlaps = start < end && code < start + it->second->CodeLength();
    it = overlaps ? Retire(it) : std::next(it);
  }
  ForgetResting(code, end);
  std::erase_if(blocks_, [&](const auto& block) { return block.first < end && code < std::uint64_t{block.first} + block.second; });
  std::vector<TranslatedInstruction> instructions;
  if (!plat::ExecutableMemory::Supported() || !CScriptTranslator::Scan(memory_, code, length, instructions) ||
      !TranslateRanges(code, length, instructions, 0)) {
    WatchCode();
    LogRefused(code, length);
    return CScriptTranslator::kRefused;
  }
  blocks_.emplace(code, length);
  if (memory_.UnwatchedRuns() > 0) compare_all_ = true;
  WatchCode();
  return CScriptTranslator::kTranslated;
}

bool ScriptTranslations::TranslateRanges(std::uint32_t code, std::uint32_t length,
                                         const std::vector<TranslatedInstruction>& instructions, int rests) {
  std::vector<std::uint32_t> made;
  for (std::size_t first = 0; first < instructions.size();) {
    // The range's instructions: up to range_bytes of them, at least one.
    const std::uint32_t start = instructions[first].offset;
    std::size_t end = first + 1;
    while (end < instructions.size() && instructions[end].offset - start < limits_.range_bytes) ++end;
    const std::uint32_t range_end = end < instructions.size() ? instructions[end].offset : length;
    std::vector<TranslatedInstruction> range(instructions.begin() + static_cast<std::ptrdiff_t>(first),
                                             instructions.begin() + static_cast<std::ptrdiff_t>(end));
    for (TranslatedInstruction& instruction : range) instruction.offset -= start;
    auto translator = NewTranslator();
    if (translator->Translate(code + start, range_end - start, std::move(range)) != CScriptTranslator::kTranslated) {
      for (const std::uint32_t range_start : made) Retire(translators_.find(range_start));
      return false;
    }
    translator->SetRests(rests);
    bytes_since_stop_check_ += range_end - start;
    // Code that stores into the new range without a look must be made again, with the look.
    for (const auto& [other_start, other] : translators_) {
      if (other->StoresInto(code + start, std::uint64_t{code} + range_end)) {
        other->MarkOutdated();
        written_ = true;
      }
    }
    translators_.emplace(code + start, std::move(translator));
    made.push_back(code + start);
    first = end;
  }
  return true;
}

void ScriptTranslations::Drop(std::uint32_t code) {
  const auto block = blocks_.find(code);
  if (block == blocks_.end()) {
    if (const auto it = translators_.find(code); it != translators_.end()) {
      Retire(it);
      WatchCode();
    }
    return;
  }
  const std::uint64_t end = std::uint64_t{code} + block->second;
  blocks_.erase(block);
  for (auto it = translators_.lower_bound(code); it != translators_.end() && it->first < end;) it = Retire(it);
  ForgetResting(code, end);
  WatchCode();
}

void ScriptTranslations::ForgetResting(std::uint64_t start, std::uint64_t end) {
  std::erase_if(resting_, [&](const auto& span) { return span.first < end && start < std::uint64_t{span.first} + span.second.length; });
}

ScriptTranslations::Translators::iterator ScriptTranslations::Retire(Translators::iterator translator) {
  ++generation_;
  if (running_ > 0) retired_.push_back(std::move(translator->second));
  return translators_.erase(translator);
}

void ScriptTranslations::WatchCode() {
  ++generation_;
  MarkCodePages();
  std::uint64_t low = UINT64_MAX;
  std::uint64_t end = 0;
  if (!translators_.empty()) {
    const CScriptTranslator& last = *std::prev(translators_.end())->second;
    low = translators_.begin()->first;
    end = std::uint64_t{last.CodeStart()} + last.CodeLength();
  }
  if (!resting_.empty()) {
    low = std::min<std::uint64_t>(low, resting_.begin()->first);
    const auto& [last_start, last] = *std::prev(resting_.end());
    end = std::max<std::uint64_t>(end, std::uint64_t{last_start} + last.length);
  }
  if (low >= end) {
    memory_.Watch(nullptr, 0, 0);
    return;
  }
  memory_.Watch(this, low, end);
}

// Only the pages marked before are cleared: the map is large, and code is translated often. A
// resting span's pages count as code as well, so that a run that enters it comes back to be
// counted, and a store into it is heard.
void ScriptTranslations::MarkCodePages() {
  for (const auto& [first, end] : marked_pages_) {
    for (std::ptrdiff_t page = first; page < end; ++page) code_pages_[page] = UncodedPage(page);
  }
  marked_pages_.clear();
  if (translators_.empty() && resting_.empty()) return;
  AllocatePages();
  const auto mark = [this](std::uint32_t start, std::uint32_t length) {
    // A word that starts up to three bytes before the code reaches it.
    const auto first = static_cast<std::ptrdiff_t>((start < 3 ? 0 : start - 3) >> kCodePageShift);
    const auto end = static_cast<std::ptrdiff_t>(((std::uint64_t{start} + length - 1) >> kCodePageShift) + 1);
    std::fill(code_pages_.begin() + first, code_pages_.begin() + end, kCodePage);
    marked_pages_.emplace_back(first, end);
  };
  for (const auto& [start, translator] : translators_) mark(start, translator->CodeLength());
  for (const auto& [start, span] : resting_) mark(start, span.length);
}

void ScriptTranslations::Written(std::uint32_t address, std::uint64_t size) noexcept {
  const std::uint64_t end = address + size;
  auto it = translators_.upper_bound(address);
  if (it != translators_.begin()) --it;
  for (; it != translators_.end() && it->first < end; ++it) {
    if (!it->second->Overlaps(address, end)) continue;
    it->second->NoteWritten(address, size);
    written_ = true;
  }
  auto span = resting_.upper_bound(address);
  if (span != resting_.begin()) --span;
  for (; span != resting_.end() && span->first < end; ++span) {
    if (address < std::uint64_t{span->first} + span->second.length) span->second.written = true;
  }
}

void ScriptTranslations::RefreshWritten() {
  if (compare_all_) {
    for (const auto& [start, translator] : translators_) translator->NoteWritten(start, translator->CodeLength());
    compare_all_ = memory_.UnwatchedRuns() > 0;
  }
  written_ = false;
  std::vector<std::uint32_t> outdated;
  for (const auto& [start, translator] : translators_) {
    if (translator->Verify()) outdated.push_back(start);
  }
  for (const std::uint32_t start : outdated) Remake(start);
  if (!outdated.empty()) WatchCode();
}

// The range is made again as memory holds it now, the instructions whose opcode words changed as
// ways out to the interpreter; once it has been made again most_remakes times, the instructions
// that changed last rest instead, and what lies before and after them is translated afresh. The
// script sees no difference either way, so nothing is logged but a range that cannot be made.
void ScriptTranslations::Remake(std::uint32_t code) {
  const auto it = translators_.find(code);
  const CScriptTranslator& old = *it->second;
  const std::uint32_t length = old.CodeLength();
  const auto [changed_start, changed_end] = old.ChangedSpan();
  if (old.Remakes() < limits_.most_remakes || changed_start >= changed_end) {
    auto fresh = NewTranslator();
    const bool made = fresh->Retranslate(old) == CScriptTranslator::kTranslated;
    Retire(it);
    if (made) {
      bytes_since_stop_check_ += length;
      translators_.emplace(code, std::move(fresh));
    } else {
      LogRefused(code, length);
    }
    return;
  }
  // The instructions before and after the changed ones, offsets from the range's start.
  std::vector<TranslatedInstruction> before;
  std::vector<TranslatedInstruction> after;
  for (const TranslatedInstruction& instruction : old.Instructions()) {
    const std::uint32_t at = code + instruction.offset;
    if (at < changed_start) before.push_back({instruction.offset, instruction.opcode});
    if (at >= changed_end) after.push_back({at - changed_end, instruction.opcode});
  }
  const int rests = old.Rests();
  Rest(old, changed_start, changed_end, rests + 1);
  Retire(it);
  // The parts are translated as they were found when the range was: an opcode word that changed
  // since is stale in them, as in the range.
  for (auto* part : {&before, &after}) {
    for (TranslatedInstruction& instruction : *part) {
      const std::uint32_t at = (part == &before ? code : changed_end) + instruction.offset;
      instruction.stale = memory_.Word(at) != instruction.opcode;
    }
  }
  if (!before.empty() && !TranslateRanges(code, changed_start - code, before, rests)) LogRefused(code, changed_start - code);
  const std::uint32_t end = code + length;
  if (!after.empty() && !TranslateRanges(changed_end, end - changed_end, after, rests)) {
    LogRefused(changed_end, end - changed_end);
  }
}

void ScriptTranslations::Rest(const CScriptTranslator& translator, std::uint32_t start, std::uint32_t end, int rests) {
  RestingSpan span;
  span.length = end - start;
  span.rests = rests;
  for (const TranslatedInstruction& instruction : translator.Instructions()) {
    const std::uint32_t at = translator.CodeStart() + instruction.offset;
    if (at >= start && at < end) span.instructions.push_back({at - start, memory_.Word(at)});
  }
  resting_.insert_or_assign(start, std::move(span));
}

bool ScriptTranslations::RestingChanged(std::uint32_t code, RestingSpan& span) const {
  bool changed = false;
  for (TranslatedInstruction& instruction : span.instructions) {
    const std::uint32_t word = memory_.Word(code + instruction.offset);
    changed = changed || word != instruction.opcode;
    instruction.opcode = word;
  }
  return changed;
}

bool ScriptTranslations::Rests(std::uint32_t address) const {
  auto it = resting_.upper_bound(address);
  if (it == resting_.begin()) return false;
  --it;
  return address - it->first < it->second.length;
}

const CScriptTranslator* ScriptTranslations::FindOrWake(std::uint32_t address) {
  if (const CScriptTranslator* translator = Find(address)) return translator;
  auto it = resting_.upper_bound(address);
  if (it == resting_.begin()) return nullptr;
  --it;
  const std::uint32_t code = it->first;
  RestingSpan& span = it->second;
  if (address - code >= span.length) return nullptr;
  if (span.written) {
    span.written = false;
    if (RestingChanged(code, span)) span.entries = 0;
  }
  // Twice as long a rest for each rest before, and no shift past the width of the count.
  const int doublings = std::min(span.rests - 1, 16);
  if (++span.entries < (std::uint64_t{limits_.quiet_entries} << doublings)) return nullptr;
  // Translated as the words are now: any that is no opcode any more leaves it to rest on.
  std::vector<TranslatedInstruction> instructions;
  if (!CScriptTranslator::Scan(memory_, code, span.length, instructions)) {
    span.entries = 0;
    return nullptr;
  }
  const std::uint32_t length = span.length;
  const int rests = span.rests;
  resting_.erase(it);
  if (!TranslateRanges(code, length, instructions, rests)) LogRefused(code, length);
  WatchCode();
  // Code that stored into the span without a look is made again with it before any runs.
  Refresh();
  return Find(address);
}

// A resting span is whole instructions, longer than the word: the word reaches one where its
// first or last byte lies in it.
bool ScriptTranslations::Listens(std::uint32_t address) const {
  return Overlaps(address, std::uint64_t{address} + 4) || Rests(address) || Rests(address + 3);
}

bool ScriptTranslations::Overlaps(std::uint64_t start, std::uint64_t end) const {
  auto it = translators_.upper_bound(static_cast<std::uint32_t>(std::min<std::uint64_t>(start, UINT32_MAX)));
  if (it != translators_.begin()) --it;
  for (; it != translators_.end() && it->first < end; ++it) {
    if (it->second->Overlaps(start, end)) return true;
  }
  return false;
}

const CScriptTranslator* ScriptTranslations::Find(std::uint32_t address) const {
  auto it = translators_.upper_bound(address);
  if (it == translators_.begin()) return nullptr;
  --it;
  return it->second->Covers(address) ? it->second.get() : nullptr;
}

const void* ScriptTranslations::EntryFor(const CScriptTranslator& translator, std::uint32_t address, bool counted) {
  // The ranges of the counted form are made all at once, so that a counted run finds every one.
  if (counted) Ranges(true);
  return translator.EntryFor(address, counted);
}

const std::vector<TranslatedRange>& ScriptTranslations::Ranges(bool counted) {
  std::vector<TranslatedRange>& ranges = ranges_[counted ? 1 : 0];
  std::uint64_t& made = ranges_generation_[counted ? 1 : 0];
  if (made == generation_) return ranges;
  ranges.clear();
  std::array<TranslatedLink, kTranslatedLinkCount>& links = links_[counted ? 1 : 0];
  for (std::uint32_t slot = 0; slot < kTranslatedLinkCount; ++slot) links[slot] = EmptyTranslatedLink(slot);
  for (const auto& [start, translator] : translators_) {
    if (counted && !translator->MakeCounted()) continue;
    ranges.push_back(translator->Range(counted));
  }
  made = generation_;
  return ranges;
}

TranslatedExit ScriptTranslations::Enter(const CScriptTranslator& translator, TranslatedFrame& frame, const void* entry, bool counted) {
  ++running_;
  const TranslatedExit exit = translator.Enter(frame, entry, counted);
  --running_;
  return exit;
}
