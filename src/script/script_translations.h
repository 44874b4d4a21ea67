// The translated code of a script memory: one translator per translated range of word code (a
// module's code, or any block a caller translates), found by address when a run enters it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "script/script_translator.h"

class ScriptMemory;

class ScriptTranslations {
 public:
  explicit ScriptTranslations(const ScriptMemory& memory) : memory_(memory) {}

  // Translates the word code of [code, code + length), replacing any translation that overlaps it:
  // CScriptTranslator::kTranslated, or kRefused (logged: that code runs interpreted).
  std::uint32_t Translate(std::uint32_t code, std::uint32_t length);
  // Forgets the translation of the code at `code`, when there is one.
  void Drop(std::uint32_t code);
  bool Has(std::uint32_t code) const { return translators_.count(code) != 0; }
  // The translation that covers `address`, null where there is none.
  const CScriptTranslator* Find(std::uint32_t address) const;

 private:
  const ScriptMemory& memory_;
  std::map<std::uint32_t, std::unique_ptr<CScriptTranslator>> translators_;
};
