// The choice of the vector kernels by the processor's features and the allow switch.
#include "pixel/kernels/pixel_kernel_choice.h"

#include <gtest/gtest.h>

namespace {

class PixelKernelChoiceTest : public testing::Test {
 protected:
  void TearDown() override {
    g_CpuHasMmx = 0;
    g_CpuHasAvx2 = 0;
  }
};

TEST_F(PixelKernelChoiceTest, VectorKernelsRunOnlyWhereTheProcessorHasThemAndTheSettingAllows) {
  plat::CpuFeatures cpu;
  cpu.mmx = true;
  cpu.sse2 = true;
  ChoosePixelKernels(cpu, CpuFeatureSwitches{});
#if defined(__SSE2__)
  EXPECT_EQ(g_CpuHasMmx, 1);
#else
  EXPECT_EQ(g_CpuHasMmx, 0);
#endif
  CpuFeatureSwitches forbid;
  forbid.allow_mmx = 0;
  ChoosePixelKernels(cpu, forbid);
  EXPECT_EQ(g_CpuHasMmx, 0);
  cpu.mmx = false;
  ChoosePixelKernels(cpu, CpuFeatureSwitches{});
  EXPECT_EQ(g_CpuHasMmx, 0);
}

TEST_F(PixelKernelChoiceTest, TheAvx2FormsRunOnlyWithTheVectorMembers) {
  plat::CpuFeatures cpu;
  cpu.mmx = true;
  cpu.sse2 = true;
  ChoosePixelKernels(cpu, CpuFeatureSwitches{});
  EXPECT_EQ(g_CpuHasAvx2, 0);
  cpu.avx2 = true;
  ChoosePixelKernels(cpu, CpuFeatureSwitches{});
  EXPECT_EQ(g_CpuHasAvx2, g_CpuHasMmx);
  CpuFeatureSwitches forbid;
  forbid.allow_mmx = 0;
  ChoosePixelKernels(cpu, forbid);
  EXPECT_EQ(g_CpuHasMmx, 0);
  EXPECT_EQ(g_CpuHasAvx2, 0);
}

TEST_F(PixelKernelChoiceTest, ThisMachineReportsWhatItsCompilerAssumes) {
  const plat::CpuFeatures cpu = plat::ReadCpuFeatures();
#if defined(__x86_64__)
  EXPECT_TRUE(cpu.mmx);
  EXPECT_TRUE(cpu.sse2);
  EXPECT_TRUE(cpu.cmov);
#else
  (void)cpu;
  GTEST_SKIP() << "not an x86-64 build";
#endif
}

}  // namespace
