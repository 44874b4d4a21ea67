// The members of the pixel kernels that a test runs its drawing under in turn: the portable one,
// the vector one in its SSE2 form, and in its AVX2 form where the processor has it.
#pragma once

#include <cstdint>
#include <vector>

#include "pixel/kernels/pixel_kernel_choice.h"
#include "platform/system/cpu_features.h"

struct PixelKernelMember {
  const char* name;
  uint8_t mmx;
  uint8_t avx2;
};

inline std::vector<PixelKernelMember> PixelKernelMembers() {
  std::vector<PixelKernelMember> members = {{"portable", 0, 0}, {"SSE2", 1, 0}};
  if (plat::ReadCpuFeatures().avx2) members.push_back({"AVX2", 1, 1});
  return members;
}

// The member chosen while this lives; the portable one again after it.
class ChosenPixelKernels {
 public:
  explicit ChosenPixelKernels(const PixelKernelMember& member) {
    g_CpuHasMmx = member.mmx;
    g_CpuHasAvx2 = member.avx2;
  }
  ~ChosenPixelKernels() {
    g_CpuHasMmx = 0;
    g_CpuHasAvx2 = 0;
  }
  ChosenPixelKernels(const ChosenPixelKernels&) = delete;
  ChosenPixelKernels& operator=(const ChosenPixelKernels&) = delete;
};
