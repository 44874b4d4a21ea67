#include "pixel/kernels/pixel_kernel_choice.h"

uint8_t g_CpuHasMmx = 0;
uint8_t g_CpuHasAvx2 = 0;

void ChoosePixelKernels(const plat::CpuFeatures& cpu, const CpuFeatureSwitches& switches) {
#if defined(__SSE2__)
  const bool vector_code_runs = cpu.sse2;
#else
  const bool vector_code_runs = false;
#endif
  g_CpuHasMmx = (cpu.mmx && vector_code_runs && switches.allow_mmx != 0) ? 1 : 0;
  g_CpuHasAvx2 = (g_CpuHasMmx != 0 && cpu.avx2) ? 1 : 0;
}
