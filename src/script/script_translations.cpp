#include "script/script_translations.h"

#include <algorithm>
#include <cstdio>

#include "platform/system/diagnostic_log.h"
#include "script/script_translated_run.h"

namespace {

// A range whose opcode words keep changing would be made again on every pass of the loop that
// writes them, each time at the cost of a whole translation that the stop check does not see:
// after this many remakes it is left to the interpreter, which pays nothing for such writes. The
// script sees no difference, so nothing is logged.
constexpr int kMostRemakes = 4;

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
                                             [this](std::uint32_t address) { return Overlaps(address, std::uint64_t{address} + 4); });
}

std::uint32_t ScriptTranslations::Translate(std::uint32_t code, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{code} + length;
  for (auto it = translators_.begin(); it != translators_.end();) {
    const std::uint64_t start = it->second->CodeStart();
    const bool overlaps = start < end && code < start + it->second->CodeLength();
    it = overlaps ? Retire(it) : std::next(it);
  }
  auto translator = NewTranslator();
  const std::uint32_t status = translator->Translate(code, length);
  if (status != CScriptTranslator::kTranslated) {
    WatchCode();
    LogRefused(code, length);
    return status;
  }
  // Code that stores into the new range without a look must be made again, with the look.
  for (const auto& [start, other] : translators_) {
    if (other->StoresInto(code, end)) {
      other->MarkOutdated();
      written_ = true;
    }
  }
  translators_.emplace(code, std::move(translator));
  if (memory_.UnwatchedRuns() > 0) compare_all_ = true;
  WatchCode();
  return status;
}

void ScriptTranslations::Drop(std::uint32_t code) {
  if (const auto it = translators_.find(code); it != translators_.end()) {
    Retire(it);
    WatchCode();
  }
}

ScriptTranslations::Translators::iterator ScriptTranslations::Retire(Translators::iterator translator) {
  ++generation_;
  if (running_ > 0) retired_.push_back(std::move(translator->second));
  return translators_.erase(translator);
}

void ScriptTranslations::WatchCode() {
  ++generation_;
  MarkCodePages();
  if (translators_.empty()) {
    memory_.Watch(nullptr, 0, 0);
    return;
  }
  const CScriptTranslator& last = *std::prev(translators_.end())->second;
  memory_.Watch(this, translators_.begin()->first, std::uint64_t{last.CodeStart()} + last.CodeLength());
}

// Only the pages marked before are cleared: the map is large, and code is translated often.
void ScriptTranslations::MarkCodePages() {
  for (const auto& [first, end] : marked_pages_) {
    for (std::ptrdiff_t page = first; page < end; ++page) code_pages_[page] = UncodedPage(page);
  }
  marked_pages_.clear();
  if (translators_.empty()) return;
  AllocatePages();
  for (const auto& [start, translator] : translators_) {
    // A word that starts up to three bytes before the code reaches it.
    const auto first = static_cast<std::ptrdiff_t>((start < 3 ? 0 : start - 3) >> kCodePageShift);
    const auto end = static_cast<std::ptrdiff_t>(((std::uint64_t{start} + translator->CodeLength() - 1) >> kCodePageShift) + 1);
    std::fill(code_pages_.begin() + first, code_pages_.begin() + end, kCodePage);
    marked_pages_.emplace_back(first, end);
  }
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
}

void ScriptTranslations::RefreshWritten() {
  if (compare_all_) {
    for (const auto& [start, translator] : translators_) translator->NoteWritten(start, translator->CodeLength());
    compare_all_ = memory_.UnwatchedRuns() > 0;
  }
  written_ = false;
  bool dropped = false;
  for (auto it = translators_.begin(); it != translators_.end();) {
    if (!it->second->Verify()) {
      ++it;
      continue;
    }
    const std::uint32_t code = it->first, length = it->second->CodeLength();
    if (it->second->Remakes() >= kMostRemakes) {
      it = Retire(it);
      dropped = true;
      continue;
    }
    auto fresh = NewTranslator();
    const bool made = fresh->Retranslate(*it->second) == CScriptTranslator::kTranslated;
    it = Retire(it);
    if (made) {
      it = std::next(translators_.emplace_hint(it, code, std::move(fresh)));
    } else {
      dropped = true;
      LogRefused(code, length);
    }
  }
  if (dropped) WatchCode();
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
