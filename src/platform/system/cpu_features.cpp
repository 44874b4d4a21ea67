#include "platform/system/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace plat {
#if defined(__x86_64__) || defined(__i386__)
namespace {

// Whether the operating system has turned on the saving of both the SSE and the AVX register
// state (XCR0 bits 1 and 2). XGETBV itself exists only where CPUID reports OSXSAVE.
bool OsSavesAvxState(unsigned leaf1_ecx) {
  constexpr unsigned kOsXsave = 1u << 27;
  constexpr unsigned kAvx = 1u << 28;
  if ((leaf1_ecx & kOsXsave) == 0 || (leaf1_ecx & kAvx) == 0) return false;
  unsigned xcr0_low = 0;
  unsigned xcr0_high = 0;
  __asm__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
  constexpr unsigned kSseAndAvxState = 0x6;
  return (xcr0_low & kSseAndAvxState) == kSseAndAvxState;
}

}  // namespace
#endif

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
    const bool os_saves_avx = OsSavesAvxState(ecx);
    if (os_saves_avx && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0) features.avx2 = (ebx & (1u << 5)) != 0;
  }
  if (__get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0) features.mmx_ext = (edx & (1u << 22)) != 0;
#endif
  return features;
}

}  // namespace plat
