#include "ui/ime_context.h"

CImeContext* g_ImeContext = nullptr;
