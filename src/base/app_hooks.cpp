#include "base/app_hooks.h"

int (*g_LowerPriorityHook)() = nullptr;
int (*g_RestorePriorityHook)() = nullptr;
void (*g_EndScriptFrameModesHook)() = nullptr;
bool (*g_ScriptStopCheckHook)() = nullptr;
int (*g_FrameProcedureHook)() = nullptr;
