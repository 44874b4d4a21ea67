#include "script/script_translations.h"

#include <cstdio>

#include "platform/diagnostic_log.h"
#include "script/script_translated_run.h"

std::uint32_t ScriptTranslations::Translate(std::uint32_t code, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{code} + length;
  for (auto it = translators_.begin(); it != translators_.end();) {
    const std::uint64_t start = it->second->CodeStart();
    const bool overlaps = start < end && code < start + it->second->CodeLength();
    it = overlaps ? Retire(it) : std::next(it);
  }
  auto translator = std::make_unique<CScriptTranslator>(memory_, SobTranslatedRun::Calls());
  const std::uint32_t status = translator->Translate(code, length);
  if (status != CScriptTranslator::kTranslated) {
    char line[128];
    std::snprintf(line, sizeof line, "script translation: the code at 0x%08X (%u bytes) cannot be translated and runs interpreted",
                  code, length);
    plat::LogDiagnostic(line);
    return status;
  }
  translators_.emplace(code, std::move(translator));
  return status;
}

void ScriptTranslations::Drop(std::uint32_t code) {
  if (const auto it = translators_.find(code); it != translators_.end()) Retire(it);
}

ScriptTranslations::Translators::iterator ScriptTranslations::Retire(Translators::iterator translator) {
  if (runs_ > 0) retired_.push_back(std::move(translator->second));
  return translators_.erase(translator);
}

ScriptTranslations::RunScope::~RunScope() {
  if (--translations_.runs_ == 0) translations_.retired_.clear();
}

const CScriptTranslator* ScriptTranslations::Find(std::uint32_t address) const {
  auto it = translators_.upper_bound(address);
  if (it == translators_.begin()) return nullptr;
  --it;
  return it->second->Covers(address) ? it->second.get() : nullptr;
}
