#include "ui/gui/cursor_glide_hook.h"

int32_t (*g_CursorGlideHook)(int32_t x, int32_t y, uint32_t duration, CCursorMotion** task) = nullptr;
