#include "ui/widgets/ime_context.h"

CImeContext* g_ImeContext = nullptr;
