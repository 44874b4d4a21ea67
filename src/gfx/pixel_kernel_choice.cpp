#include "gfx/pixel_kernel_choice.h"

uint8_t g_CpuHasMmx = 0;
