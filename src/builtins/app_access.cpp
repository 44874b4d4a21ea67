#include "builtins/app_access.h"

IBuiltinApp* g_BuiltinApp = nullptr;
