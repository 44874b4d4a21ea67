// The translated code of a script memory: one translator per translated range of word code (a
// module's code, or any block a caller translates), found by address when a run enters it.
// A translation that is dropped or replaced while a run is inside translated code (a built-in
// may unload or translate code) stays alive until the last run ends: its code may still be on
// the machine stack.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

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

  // Held by every run while it may be inside translated code.
  class RunScope {
   public:
    explicit RunScope(ScriptTranslations& translations) : translations_(translations) { ++translations_.runs_; }
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

   private:
    ScriptTranslations& translations_;
  };

 private:
  using Translators = std::map<std::uint32_t, std::unique_ptr<CScriptTranslator>>;
  Translators::iterator Retire(Translators::iterator translator);

  const ScriptMemory& memory_;
  Translators translators_;
  int runs_ = 0;
  std::vector<std::unique_ptr<CScriptTranslator>> retired_;
};
