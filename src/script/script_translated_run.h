// Runs a context in the translated mode: translated code where the run finds some, the
// interpreter elsewhere (code that was not translated, the middle of an instruction, an
// instruction whose opcode word changed), going back into translated code at the next transfer.
// Faults leave as ScriptFault exceptions with the state the interpreter would leave; none crosses
// translated code.
#pragma once

#include <cstdint>

#include "script/script_translator.h"

class CScriptContext;

struct SobTranslatedRun {
  // As SobInterpreter::Execute, counted with `budget` when `counted` is set.
  static std::uint32_t Execute(CScriptContext& context, bool counted, std::uint64_t budget);
  // The calls that translated code makes.
  static const TranslatedCalls& Calls();

  struct Run;
};
