#include "script/game_script_host.h"

#include "app/millisecond_clock.h"
#include "app/not_built.h"
#include "app/subtractive_random.h"
#include "builtins/builtin_table.h"

void SeedScriptRandom(std::uint32_t clock) { SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, clock); }

CGameScriptHost::CGameScriptHost() {
  SeedScriptRandom(ReadMillisecondClock());
  for (const GameBuiltin& builtin : GameBuiltins()) RegisterNative(builtin.function);
}

std::uint32_t CGameScriptHost::RestartMain(bool keep_boot_value) {
  const std::uint32_t boot_flag = keep_boot_value ? boot_value_ : 0u - boot_value_;
  ResetScripts(boot_flag);
  if (LoadScript(kMainScript, nullptr) != 0) return 1;
  ReportNotBuiltYet("ending the pending no-wait and high-resolution timer levels on a restart");
  return 0;
}
