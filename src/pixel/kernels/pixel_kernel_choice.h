// The switch between the portable pixel kernels and their vector twins ("MMX" members, written
// with SSE2 on this machine family). Start-up sets it from the processor identification and
// the user's settings; until then the portable kernels run.
#pragma once

#include <cstdint>

#include "platform/system/cpu_features.h"

extern uint8_t g_CpuHasMmx;
// Set beside g_CpuHasMmx: the vector members then run their AVX2 lane functions (eight pixels
// per step, with exactly the same results). Never set without g_CpuHasMmx.
extern uint8_t g_CpuHasAvx2;

// The environment block's allow switches of processor features (1 allows, 0 forbids).
struct CpuFeatureSwitches {
  uint8_t allow_cmov = 1;
  uint8_t allow_mmx = 1;
  uint8_t allow_sse = 1;
  uint8_t allow_sse2 = 1;
};

// Sets g_CpuHasMmx from what the processor reports and the switches allow. The vector twins
// are written with SSE2, so they run only where the processor has it as well as MMX; where it
// also has AVX2 (and the system saves its registers) they take their AVX2 form. The switch
// that forbids MMX forbids both.
void ChoosePixelKernels(const plat::CpuFeatures& cpu, const CpuFeatureSwitches& switches);
