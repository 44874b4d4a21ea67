// The instruction-set features the processor reports through CPUID (leaves 1, 7 and 0x80000001).
// On processors without CPUID every feature reads as absent.
#pragma once

namespace plat {

struct CpuFeatures {
  bool fpu = false;
  bool tsc = false;
  bool cmov = false;
  bool mmx = false;
  bool sse = false;
  bool sse2 = false;
  bool sse3 = false;
  bool mmx_ext = false;  // the extended MMX of the extended leaf
  // AVX2, and the operating system saves the 256-bit registers on a task switch (XGETBV): an
  // AVX2 instruction faults without both.
  bool avx2 = false;
};

CpuFeatures ReadCpuFeatures();

}  // namespace plat
