#include "script/script_translator.h"

#include <algorithm>
#include <cstring>

#include "script/script_memory.h"
#include "script/script_templates.h"
#include "script/sob_opcode.h"

CScriptTranslator::CScriptTranslator(const ScriptMemory& memory, const TranslatedCalls& calls) : memory_(memory), calls_(calls) {}

void CScriptTranslator::Free() {
  plain_.reset();
  counted_.reset();
  instructions_.clear();
  code_ = length_ = 0;
}

// Finds the instructions: an opcode word at each instruction start, a Switch table closed inside
// the range.
bool CScriptTranslator::Scan(std::uint32_t code, std::uint32_t length) {
  if (length == 0 || length >= 0x40000000u || !memory_.Contains(code, length)) return false;
  for (std::uint32_t offset = 0; offset < length;) {
    if (!memory_.Contains(code + offset, 4)) return false;
    const std::uint32_t opcode = memory_.Word(code + offset);
    if (opcode >= kSobOpcodeCount) return false;
    instructions_.push_back({offset, opcode});
    std::uint64_t next = std::uint64_t{offset} + 4 * (1u + kSobOperandCount[opcode]);
    if (opcode == static_cast<std::uint32_t>(ESobOpcode::Switch)) {
      while (next + 4 <= length && memory_.Word(code + static_cast<std::uint32_t>(next)) != kSwitchTableEnd) next += 4;
      if (next + 4 > length) return false;
      next += 4;
    }
    offset = static_cast<std::uint32_t>(std::min<std::uint64_t>(next, length));
  }
  return true;
}

std::uint32_t CScriptTranslator::Translate(std::uint32_t code, std::uint32_t length) {
  Free();
  if (!plat::ExecutableMemory::Supported() || !Scan(code, length)) {
    Free();
    return kRefused;
  }
  code_ = code;
  length_ = length;
  plain_ = Emit(false);
  counted_ = Emit(true);
  if (plain_ == nullptr || counted_ == nullptr) {
    Free();
    return kRefused;
  }
  return kTranslated;
}

std::unique_ptr<CScriptTranslator::Image> CScriptTranslator::Emit(bool counted) const {
  std::vector<std::uint8_t> bytes;
  auto image = std::make_unique<Image>();
  if (!WriteScriptTemplates(memory_, calls_, code_, length_, counted, instructions_, bytes, image->entries)) return nullptr;
  image->memory = plat::ExecutableMemory::Create(bytes);
  if (image->memory == nullptr) return nullptr;
  return image;
}

const void* CScriptTranslator::EntryFor(std::uint32_t address, bool counted) const {
  const Image* image = counted ? counted_.get() : plain_.get();
  if (image == nullptr || !Covers(address)) return nullptr;
  const std::uint32_t entry = image->entries[address - code_];
  return entry == kNoEntry ? nullptr : image->memory->Data() + entry;
}

TranslatedExit CScriptTranslator::Enter(TranslatedFrame& frame, const void* entry, bool counted) const {
  const Image& image = counted ? *counted_ : *plain_;
  using Code = std::uint32_t (*)(TranslatedFrame*, const void*);
  Code code;
  const void* start = image.memory->Data();
  std::memcpy(&code, &start, sizeof code);
  return static_cast<TranslatedExit>(code(&frame, entry));
}
