#include "script/script_translator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "script/script_memory.h"
#include "script/script_templates.h"
#include "script/sob_opcode.h"

CScriptTranslator::CScriptTranslator(const ScriptMemory& memory, const TranslatedCalls& calls, StoreReachesOtherCode other_code)
    : memory_(memory), calls_(calls), other_code_(std::move(other_code)) {}

void CScriptTranslator::Free() {
  plain_.reset();
  counted_.reset();
  instructions_.clear();
  unchecked_stores_.clear();
  code_ = length_ = 0;
  remakes_ = 0;
  rests_ = 0;
  changed_ = {};
  written_start_ = UINT64_MAX;
  written_end_ = 0;
  outdated_ = false;
}

// Finds the instructions: an opcode word at each instruction start, a Switch table closed inside
// the range.
bool CScriptTranslator::Scan(const ScriptMemory& memory, std::uint32_t code, std::uint32_t length,
                             std::vector<TranslatedInstruction>& instructions) {
  instructions.clear();
  if (length == 0 || length >= 0x40000000u || !memory.Contains(code, length)) return false;
  for (std::uint32_t offset = 0; offset < length;) {
    if (!memory.Contains(code + offset, 4)) return false;
    const std::uint32_t opcode = memory.Word(code + offset);
    if (opcode >= kSobOpcodeCount) return false;
    instructions.push_back({offset, opcode});
    std::uint64_t next = std::uint64_t{offset} + 4 * (1u + kSobOperandCount[opcode]);
    if (opcode == static_cast<std::uint32_t>(ESobOpcode::Switch)) {
      while (next + 4 <= length && memory.Word(code + static_cast<std::uint32_t>(next)) != kSwitchTableEnd) next += 4;
      if (next + 4 > length) return false;
      next += 4;
    }
    offset = static_cast<std::uint32_t>(std::min<std::uint64_t>(next, length));
  }
  return true;
}

std::uint32_t CScriptTranslator::Translate(std::uint32_t code, std::uint32_t length) {
  std::vector<TranslatedInstruction> instructions;
  if (!Scan(memory_, code, length, instructions)) {
    Free();
    return kRefused;
  }
  return Translate(code, length, std::move(instructions));
}

std::uint32_t CScriptTranslator::Translate(std::uint32_t code, std::uint32_t length,
                                           std::vector<TranslatedInstruction> instructions) {
  Free();
  if (!plat::ExecutableMemory::Supported() || instructions.empty()) return kRefused;
  code_ = code;
  length_ = length;
  instructions_ = std::move(instructions);
  return Build();
}

std::uint32_t CScriptTranslator::Retranslate(const CScriptTranslator& previous) {
  Free();
  if (!previous.HasCode()) return kRefused;
  code_ = previous.code_;
  length_ = previous.length_;
  remakes_ = previous.remakes_ + 1;
  rests_ = previous.rests_;
  instructions_ = previous.instructions_;
  // The code lay in usable memory when it was translated, and usable memory never shrinks.
  for (TranslatedInstruction& instruction : instructions_) instruction.stale = memory_.Word(code_ + instruction.offset) != instruction.opcode;
  return Build();
}

std::uint32_t CScriptTranslator::Build() {
  plain_ = Emit(false, unchecked_stores_);
  if (plain_ == nullptr) {
    Free();
    return kRefused;
  }
  std::sort(unchecked_stores_.begin(), unchecked_stores_.end());
  unchecked_stores_.erase(std::unique(unchecked_stores_.begin(), unchecked_stores_.end()), unchecked_stores_.end());
  return kTranslated;
}

bool CScriptTranslator::MakeCounted() {
  if (counted_ == nullptr && HasCode()) {
    // The same instructions store to the same places as in the plain form.
    std::vector<std::uint32_t> same_stores;
    counted_ = Emit(true, same_stores);
  }
  return counted_ != nullptr;
}

std::unique_ptr<CScriptTranslator::Image> CScriptTranslator::Emit(bool counted, std::vector<std::uint32_t>& unchecked_stores) {
  std::vector<std::uint8_t> bytes;
  auto image = std::make_unique<Image>();
  const TemplateInput input{memory_, calls_, other_code_, code_, length_, counted, instructions_};
  if (!WriteScriptTemplates(input, bytes, image->entries, image->table, unchecked_stores)) return nullptr;
  // Named after the word code it runs, so that a profiler's samples in it tell the module.
  char name[64];
  std::snprintf(name, sizeof name, "script code %08x-%08x %s", code_, code_ + length_, counted ? "counted" : "plain");
  image->memory = plat::ExecutableMemory::Create(bytes, name);
  if (image->memory == nullptr) return nullptr;
  return image;
}

const void* CScriptTranslator::EntryFor(std::uint32_t address, bool counted) const {
  const Image* image = counted ? counted_.get() : plain_.get();
  if (image == nullptr || !Covers(address)) return nullptr;
  const std::uint32_t entry = image->entries[address - code_];
  return entry == kNoEntry ? nullptr : image->memory->Data() + entry;
}

TranslatedRange CScriptTranslator::Range(bool counted) const {
  const Image* image = counted ? counted_.get() : plain_.get();
  if (image == nullptr) return {code_, length_, nullptr};
  return {code_, length_, image->memory->Data() + image->table};
}

void CScriptTranslator::NoteWritten(std::uint32_t address, std::uint64_t size) {
  written_start_ = std::min<std::uint64_t>(written_start_, address);
  written_end_ = std::max<std::uint64_t>(written_end_, address + size);
}

bool CScriptTranslator::StoresInto(std::uint64_t start, std::uint64_t end) const {
  // A word at a reaches [start, end) when start - 3 <= a < end.
  const auto first = std::lower_bound(unchecked_stores_.begin(), unchecked_stores_.end(), start < 3 ? 0 : start - 3);
  return first != unchecked_stores_.end() && *first < end;
}

bool CScriptTranslator::Verify() {
  if (written_end_ > written_start_ && HasCode()) {
    // The instructions whose opcode word shares a byte with the written span.
    const auto first = std::lower_bound(instructions_.begin(), instructions_.end(), written_start_,
                                        [this](const TranslatedInstruction& instruction, std::uint64_t start) {
                                          return code_ + std::uint64_t{instruction.offset} + 4 <= start;
                                        });
    for (auto it = first; it != instructions_.end() && code_ + std::uint64_t{it->offset} < written_end_; ++it) {
      const bool stale = memory_.Word(code_ + it->offset) != it->opcode;
      if (stale == it->stale) continue;
      outdated_ = true;
      const std::uint32_t start = code_ + it->offset;
      const std::uint32_t end = std::next(it) != instructions_.end() ? code_ + std::next(it)->offset : code_ + length_;
      changed_ = changed_.first < changed_.second ? std::pair{std::min(changed_.first, start), std::max(changed_.second, end)}
                                                 : std::pair{start, end};
    }
  }
  written_start_ = UINT64_MAX;
  written_end_ = 0;
  return outdated_;
}

TranslatedExit CScriptTranslator::Enter(TranslatedFrame& frame, const void* entry, bool counted) const {
  const Image& image = counted ? *counted_ : *plain_;
  using Code = std::uint32_t (*)(TranslatedFrame*, const void*);
  Code code;
  const void* start = image.memory->Data();
  std::memcpy(&code, &start, sizeof code);
  return static_cast<TranslatedExit>(code(&frame, entry));
}
