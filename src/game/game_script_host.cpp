#include "game/game_script_host.h"

#include "base/app_hooks.h"
#include "base/millisecond_clock.h"
#include "base/subtractive_random.h"
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
  // The frame modes the old scripts left on end with them.
  if (g_EndScriptFrameModesHook != nullptr) g_EndScriptFrameModesHook();
  return 0;
}
