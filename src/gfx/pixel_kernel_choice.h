// The switch between the portable pixel kernels and their vector twins ("MMX" members, written
// with SSE2 on this machine family). Start-up sets it from the processor identification and
// the user's settings; until then the portable kernels run.
#pragma once

#include <cstdint>

extern uint8_t g_CpuHasMmx;
