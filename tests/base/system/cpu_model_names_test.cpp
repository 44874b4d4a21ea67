#include "base/system/cpu_model_names.h"

#include <gtest/gtest.h>

namespace {

CpuNameFacts Cpu(const char* vendor, uint8_t family, uint8_t model) {
  CpuNameFacts facts;
  facts.vendor = vendor;
  facts.family = family;
  facts.model = model;
  facts.has_brand_text = true;
  facts.long_mode = family == 15;
  return facts;
}

template <class Change>
CpuNameFacts With(CpuNameFacts facts, Change change) {
  change(facts);
  return facts;
}

TEST(CpuModelNamesTest, ModelsAreNamedByVendorFamilyModelAndTheirDistinguishingFacts) {
  const char* intel = "GenuineIntel";
  const char* amd = "AuthenticAMD";
  const char* centaur = "CentaurHauls";
  const struct {
    CpuNameFacts cpu;
    const char* name;
  } cases[] = {
      {Cpu(intel, 4, 8), "Intel 486DX4(WB)"},
      {Cpu(intel, 4, 6), "Intel 486 Family(Unknown)"},
      {Cpu(intel, 5, 4), "Intel Pentium with MMX(P55C)"},
      {With(Cpu(intel, 5, 4), [](auto& c) { c.type = 1; }), "Intel Pentium MMX ODP"},
      {With(Cpu(intel, 6, 5), [](auto& c) { c.l2 = 0; }), "Intel Celeron(Convington)"},
      {With(Cpu(intel, 6, 5), [](auto& c) { c.l2 = 2048; }), "Intel Pentium II Xeon(Deschutes)"},
      {With(Cpu(intel, 6, 6), [](auto& c) { c.l2 = 128; }), "Intel Celeron(Mendocino)"},
      {With(Cpu(intel, 6, 8), [](auto& c) { c.brand_index = 1; }), "Intel Celeron(Coppermine-128K)"},
      {With(Cpu(intel, 6, 8), [](auto& c) { c.brand_index = 2; c.l2 = 256; }), "Intel Pentium III(Coppermine)"},
      {With(Cpu(intel, 6, 11), [](auto& c) { c.brand_index = 6; }), "Intel Mobile Pentium III-M(Tualatin)"},
      {With(Cpu(intel, 6, 11), [](auto& c) { c.brand_index = 4; c.l2 = 512; }), "Intel Pentium III-S(Tualatin)"},
      {Cpu(intel, 6, 13), "Intel Mobile Pentium M(Dothan)"},
      {Cpu(intel, 6, 15), "Intel P6 Family(Unknown)"},
      {With(Cpu(intel, 15, 2), [](auto& c) { c.brand_index = 9; c.htt = true; }), "Intel Pentium 4 HT(Northwood)"},
      {With(Cpu(intel, 15, 2), [](auto& c) { c.brand_index = 9; }), "Intel Pentium 4(Northwood)"},
      {With(Cpu(intel, 15, 2), [](auto& c) { c.brand_index = 11; c.l3 = 1024; }), "Intel Xeon(Gallatin)"},
      {With(Cpu(intel, 15, 2), [](auto& c) { c.brand_index = 15; c.l2 = 256; }), "Intel Mobile Celeron(Northwood-256K)"},
      {With(Cpu(intel, 15, 1), [](auto& c) { c.extended_family = 1; }), "Intel Itanium 2(McKinley)"},
      {Cpu(intel, 15, 3), "Intel Pentium 4 HT(Prescott)"},
      {Cpu(intel, 15, 6), "Intel Pentium 4 Family(Unknown)"},
      {Cpu(amd, 4, 14), "AMD 5x86 (4xWT)"},
      {With(Cpu(amd, 5, 13), [](auto& c) { c.l2 = 256; }), "AMD K6-III+"},
      {With(Cpu(amd, 5, 13), [](auto& c) { c.l2 = 128; }), "AMD K6-2+"},
      {Cpu(amd, 5, 1), "AMD K5/K6 Family(Unknown)"},
      {With(Cpu(amd, 6, 6), [](auto& c) { c.l2 = 64; c.voltage_control = true; }), "AMD Mobile Duron(Palomino)"},
      {With(Cpu(amd, 6, 6), [](auto& c) { c.l2 = 256; c.has_brand_text = false; }), "AMD Athlon XP/MP(Palomino)"},
      {With(Cpu(amd, 6, 8), [](auto& c) { c.l2 = 256; c.multiprocessor = true; }), "AMD Athlon MP(Thoroughbred)"},
      {With(Cpu(amd, 6, 10), [](auto& c) { c.l2 = 512; }), "AMD Athlon XP(Barton)"},
      {With(Cpu(amd, 6, 10), [](auto& c) { c.l2 = 256; }), "AMD Athlon XP(Thorton)"},
      {With(Cpu(amd, 15, 4), [](auto& c) { c.amd_brand = 0x04 << 6 | 10; }), "AMD Athlon 64 3200+(ClawHammer)"},
      {With(Cpu(amd, 15, 5), [](auto& c) { c.amd_brand = 0x0D << 6 | 3; }), "AMD Opteron DP 244(SledgeHammer)"},
      {With(Cpu(amd, 15, 5), [](auto& c) { c.amd_brand = 0x06 << 6 | 27; }), "AMD Athlon 64 FX-51(SledgeHammer)"},
      {Cpu(amd, 15, 4), "AMD Engineering Sample(ClawHammer)"},
      {With(Cpu(amd, 15, 12), [](auto& c) { c.amd_brand = 0x3F << 6; }), "AMD Hammer(Unknown)"},
      {With(Cpu(amd, 15, 12), [](auto& c) { c.long_mode = false; }), "AMD Athlon XP(Paris)"},
      {With(Cpu(centaur, 6, 7), [](auto& c) { c.stepping = 8; }), "Centaur VIA C3(Ezra)"},
      {Cpu(centaur, 6, 9), "Centaur VIA C3(Nehemiah)"},
      {With(Cpu(centaur, 5, 8), [](auto& c) { c.stepping = 7; }), "Centaur WinChip 2A"},
      {Cpu(centaur, 5, 2), "Centaur IDT C6 Family(Unknown)"},
      {Cpu("CyrixInstead", 6, 5), "Cyrix VIA Cyrix III(Joshua)"},
      {Cpu("UMC UMC UMC ", 4, 2), "UMC U5S (486SX)"},
      {Cpu("RiseRiseRise", 5, 9), "Rise mP6(iDragon II)"},
      {With(Cpu("GenuineTMx86", 5, 4), [](auto& c) { c.l2 = 512; c.transmeta_major = 3; }), "Transmeta Crusoe TM5800"},
      {Cpu("GenuineTMx86", 15, 2), "Transmeta Efficeon (Astro, TM8000)"},
      {Cpu("Geode by NSC", 5, 9), "NSC Geode CPU(Unknown)"},
      {Cpu("SiS SiS SiS ", 5, 0), "SiS Unknown Family"},
      {Cpu("GenuineIntel", 9, 0), "Intel Unknown Family"},
      {Cpu("SomeoneElse!", 6, 0), "Unknown"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(ProcessorName(test.cpu), test.name) << test.cpu.vendor << " " << int{test.cpu.family} << " " << int{test.cpu.model};
  }
}

}  // namespace
