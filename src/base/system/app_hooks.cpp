#include "base/system/app_hooks.h"

int (*g_LowerPriorityHook)() = nullptr;
int (*g_RestorePriorityHook)() = nullptr;
bool (*g_PriorityControlOffHook)() = nullptr;
void (*g_EndScriptFrameModesHook)() = nullptr;
bool (*g_ScriptStopCheckHook)() = nullptr;
int (*g_FrameProcedureHook)() = nullptr;
