#include "platform/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace plat {

CpuFeatures ReadCpuFeatures() {
  CpuFeatures features;
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
    features.sse3 = (ecx & (1u << 0)) != 0;
    features.fpu = (edx & (1u << 0)) != 0;
    features.tsc = (edx & (1u << 4)) != 0;
    features.cmov = (edx & (1u << 15)) != 0;
    features.mmx = (edx & (1u << 23)) != 0;
    features.sse = (edx & (1u << 25)) != 0;
    features.sse2 = (edx & (1u << 26)) != 0;
  }
  if (__get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0) features.mmx_ext = (edx & (1u << 22)) != 0;
#endif
  return features;
}

}  // namespace plat
