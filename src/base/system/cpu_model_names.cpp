#include "base/system/cpu_model_names.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr uint8_t kOverDrive = 1;

// Intel brand indexes (leaf 1, EBX bits 0-7).
constexpr uint8_t kBrandCeleron = 0x01;
constexpr uint8_t kBrandCeleronOrXeon = 0x03;  // Celeron on the Tualatin, Xeon on the Cascades
constexpr uint8_t kBrandMobilePentium3 = 0x06;
constexpr uint8_t kBrandMobileCeleron = 0x07;
constexpr uint8_t kBrandCeleron4 = 0x0A;
constexpr uint8_t kBrandXeon = 0x0B;
constexpr uint8_t kBrandXeonMp = 0x0C;
constexpr uint8_t kBrandMobilePentium4 = 0x0E;
constexpr uint8_t kBrandMobileCeleron4 = 0x0F;
constexpr uint8_t kBrandCeleronM = 0x12;

// A model range whose name needs nothing but vendor, family and model.
struct ModelRow {
  std::string_view vendor;
  uint8_t family;
  uint8_t first_model;
  uint8_t last_model;
  const char* name;
};

constexpr ModelRow kPlainModels[] = {
    {"GenuineIntel", 3, 0, 0, "386DX"},
    {"GenuineIntel", 3, 1, 1, "RapidCAD coprocessor"},
    {"GenuineIntel", 3, 2, 2, "386SX/CX/EX"},
    {"GenuineIntel", 3, 4, 4, "386SL"},
    {"GenuineIntel", 4, 0, 1, "486DX"},
    {"GenuineIntel", 4, 2, 2, "486SX"},
    {"GenuineIntel", 4, 3, 3, "486DX2"},
    {"GenuineIntel", 4, 4, 4, "486SL"},
    {"GenuineIntel", 4, 5, 5, "486SX"},
    {"GenuineIntel", 4, 7, 7, "LightbackEnhanced DX2"},
    {"GenuineIntel", 4, 8, 9, "486DX4(WB)"},
    {"GenuineIntel", 5, 7, 7, "Mobile Pentium(P54C)"},
    {"GenuineIntel", 5, 8, 8, "Mobile Pentium MMX(low voltage P55)"},
    {"GenuineIntel", 6, 0, 0, "Pentium Pro(A-step sample)"},
    {"GenuineIntel", 6, 1, 1, "Pentium Pro"},
    {"GenuineIntel", 6, 10, 10, "Pentium III Xeon(Cascades)"},
    {"GenuineIntel", 6, 13, 13, "Mobile Pentium M(Dothan)"},
    {"GenuineIntel", 7, 0, 15, "Itanium(Merced)"},
    {"GenuineIntel", 15, 3, 4, "Pentium 4 HT(Prescott)"},
    {"AuthenticAMD", 4, 3, 3, "486DX2/DX4 (2xWT)"},
    {"AuthenticAMD", 4, 7, 7, "486DX2/DX2 (2xWB)"},
    {"AuthenticAMD", 4, 8, 8, "486DX4/5x86 (3xWT)"},
    {"AuthenticAMD", 4, 9, 9, "486DX4 SV8B (3xWB)"},
    {"AuthenticAMD", 4, 14, 14, "5x86 (4xWT)"},
    {"AuthenticAMD", 4, 15, 15, "5x86 (4xWB)"},
    {"AuthenticAMD", 5, 6, 7, "K6 Family(Unknown)"},
    {"AuthenticAMD", 5, 8, 8, "K6-2(Chompers)"},
    {"AuthenticAMD", 5, 9, 9, "K6-III(Sharptooth)"},
    {"AuthenticAMD", 6, 1, 1, "Athlon(K7)"},
    {"AuthenticAMD", 6, 2, 2, "Athlon(K75)"},
    {"AuthenticAMD", 6, 3, 3, "Duron(Spitfire)"},
    {"AuthenticAMD", 6, 4, 4, "Athlon(ThunderBird)"},
    {"UMC UMC UMC ", 4, 1, 1, "U5D (486DX)"},
    {"UMC UMC UMC ", 4, 2, 2, "U5S (486SX)"},
    {"CyrixInstead", 4, 4, 4, "MediaGX/GXm/GXi"},
    {"CyrixInstead", 4, 9, 9, "5x86"},
    {"CyrixInstead", 5, 2, 2, "6x86 / 6x86L"},
    {"CyrixInstead", 5, 4, 4, "MediaGX-MMX"},
    {"CyrixInstead", 6, 0, 0, "6x86MX / M-II"},
    {"CyrixInstead", 6, 5, 5, "VIA Cyrix III(Joshua)"},
    {"NexGenDriven", 5, 0, 0, "Nx586"},
    {"NexGenDriven", 6, 0, 15, "Nx686"},
    {"CentaurHauls", 5, 4, 4, "WinChip C6"},
    {"CentaurHauls", 5, 9, 9, "WinChip 3"},
    {"CentaurHauls", 6, 6, 6, "VIA Cyrix III(Samuel)"},
    {"CentaurHauls", 6, 8, 8, "VIA C3(Ezra-T)"},
    {"CentaurHauls", 6, 9, 9, "VIA C3(Nehemiah)"},
    {"RiseRiseRise", 5, 0, 2, "mP6(iDragon)"},
    {"RiseRiseRise", 5, 8, 9, "mP6(iDragon II)"},
    {"GenuineTMx86", 15, 0, 15, "Efficeon (Astro, TM8000)"},
    {"Geode by NSC", 5, 4, 4, "Geode GXM/GXLV/GX1"},
};

// The name of a known family's models that no row or rule names.
struct FamilyRow {
  std::string_view vendor;
  uint8_t family;
  const char* name;
};

constexpr FamilyRow kFamilies[] = {
    {"GenuineIntel", 4, "486 Family(Unknown)"},       {"GenuineIntel", 5, "Pentium Family(Unknown)"},
    {"GenuineIntel", 6, "P6 Family(Unknown)"},        {"GenuineIntel", 15, "Pentium 4 Family(Unknown)"},
    {"AuthenticAMD", 4, "486 Family(Unknown)"},       {"AuthenticAMD", 5, "K5/K6 Family(Unknown)"},
    {"AuthenticAMD", 6, "Athlon Family(Unknown)"},    {"CyrixInstead", 4, "5x86 Family(Unknown)"},
    {"CyrixInstead", 5, "6x86 Family(Unknown)"},      {"CyrixInstead", 6, "6x86MX / M-II Family(Unknown)"},
    {"CentaurHauls", 5, "IDT C6 Family(Unknown)"},    {"CentaurHauls", 6, "VIA C3 Family(Unknown)"},
    {"RiseRiseRise", 5, "mP6 Family(Unknown)"},       {"Geode by NSC", 5, "Geode CPU(Unknown)"},
};

constexpr std::pair<std::string_view, const char*> kVendorNames[] = {
    {"GenuineIntel", "Intel "},  {"AuthenticAMD", "AMD "},  {"CyrixInstead", "Cyrix "}, {"CentaurHauls", "Centaur "},
    {"NexGenDriven", "NexGen "}, {"RiseRiseRise", "Rise "}, {"GenuineTMx86", "Transmeta "},
    {"UMC UMC UMC ", "UMC "},    {"SiS SiS SiS ", "SiS "},  {"Geode by NSC", "NSC "},
    {"ConnectixCPU", ""},
};

const char* IntelPentium(const CpuNameFacts& cpu) {
  const bool overdrive = cpu.type == kOverDrive;
  switch (cpu.model) {
    case 0:
    case 1:
      return overdrive ? "Pentium(P5 ODP)" : "Pentium";
    case 2:
      return overdrive ? "Pentium ODP" : "Pentium";
    case 3:
      return "Pentium(DX4 ODP)";
    case 4:
      return overdrive ? "Pentium MMX ODP" : "Pentium with MMX(P55C)";
    default:
      return nullptr;
  }
}

const char* IntelP6(const CpuNameFacts& cpu) {
  switch (cpu.model) {
    case 3:
      return cpu.type == kOverDrive ? "Pentium II OverDrive" : "Pentium II(Klamath)";
    case 5:
      if (cpu.type == kOverDrive) return "Pentium II OverDrive";
      if (cpu.l2 == 0) return "Celeron(Convington)";
      return cpu.l2 >= 1024 ? "Pentium II Xeon(Deschutes)" : "Pentium II(Deschutes)";
    case 6:
      if (cpu.l2 == 0) return "Celeron(Convinton)";
      if (cpu.l2 == 256) return "Mobile Pentium II(Dixon)";
      return cpu.stepping == 10 ? "Mobile Celeron(Dixon-128K)" : "Celeron(Mendocino)";
    case 7:
      return cpu.l2 >= 1024 ? "Pentium III Xeon(Tanner)" : "Pentium III(Katmai)";
    case 8:
      if (cpu.brand_index == kBrandCeleron || cpu.l2 == 128) return "Celeron(Coppermine-128K)";
      return cpu.brand_index == kBrandCeleronOrXeon ? "Pentium III Xeon(Cascades)" : "Pentium III(Coppermine)";
    case 9:
      return cpu.brand_index == kBrandCeleronM ? "Mobile Celeron(Banias)" : "Mobile Pentium M(Banias)";
    case 11:
      if (cpu.brand_index == kBrandMobilePentium3) return "Mobile Pentium III-M(Tualatin)";
      if (cpu.brand_index == kBrandMobileCeleron) return "Mobile Celeron(Tualatin)";
      if (cpu.brand_index == kBrandCeleronOrXeon) return "Celeron(Tualatin)";
      return cpu.l2 >= 512 ? "Pentium III-S(Tualatin)" : "Pentium III(Tualatin)";
    default:
      return nullptr;
  }
}

const char* IntelNetBurst(const CpuNameFacts& cpu) {
  if (cpu.extended_family == 1) return "Itanium 2(McKinley)";
  if (cpu.extended_family != 0) return nullptr;
  if (cpu.model <= 1) {
    if (cpu.brand_index == kBrandXeonMp) return "Xeon MP(Foster MP)";
    if (cpu.brand_index == kBrandXeon || cpu.brand_index == kBrandMobilePentium4) return "Xeon(Foster)";
    if (cpu.brand_index == kBrandCeleron4 || cpu.l2 == 128) return "Celeron(Willamette-128K)";
    return "Pentium 4(Willamette)";
  }
  if (cpu.model != 2) return nullptr;
  switch (cpu.brand_index) {
    case kBrandXeonMp:
      return "Xeon MP(Gallatin)";
    case kBrandXeon:
      return cpu.l3 != 0 ? "Xeon(Gallatin)" : "Xeon(Prestonia)";
    case kBrandMobilePentium4:
      return cpu.htt ? "Mobile Pentium 4 HT(Northwood)" : "Mobile Pentium 4-M(Northwood)";
    case kBrandMobileCeleron4:
      if (cpu.l2 == 256) return "Mobile Celeron(Northwood-256K)";
      return cpu.l2 == 128 ? "Mobile Celeron(Northwood-128K)" : "Mobile Pentium 4-M ES(Northwood)";
    case kBrandCeleron4:
      return "Celeron(Northwood-128K)";
    default:
      if (cpu.l3 != 0) return "Pentium 4 Extreme Edition(Gallatin)";
      return cpu.htt ? "Pentium 4 HT(Northwood)" : "Pentium 4(Northwood)";
  }
}

const char* AmdK6(const CpuNameFacts& cpu) {
  if (cpu.model == 13) return cpu.l2 >= 256 ? "K6-III+" : "K6-2+";
  return nullptr;
}

// Athlons from the Palomino on: Durons by their 64 KB L2, mobile parts by their voltage control,
// MP parts by their multiprocessor bit.
const char* AmdAthlon(const CpuNameFacts& cpu) {
  const bool duron = cpu.l2 == 64;
  switch (cpu.model) {
    case 6:
      if (duron) return cpu.voltage_control ? "Mobile Duron(Palomino)" : "Duron(Palomino)";
      if (cpu.voltage_control) return "Mobile Athlon 4(Palomino)";
      if (!cpu.has_brand_text) return "Athlon XP/MP(Palomino)";
      return cpu.multiprocessor ? "Athlon MP(Palomino)" : "Athlon XP(Palomino)";
    case 7:
      return cpu.voltage_control ? "Mobile Duron(Morgan)" : "Duron(Morgan)";
    case 8:
      if (duron) return "Duron(Applebred)";
      if (cpu.voltage_control) return "Mobile Athlon XP-M(Thoroughbred)";
      return cpu.multiprocessor ? "Athlon MP(Thoroughbred)" : "Athlon XP(Thoroughbred)";
    case 10:
      if (cpu.l2 == 256) return "Athlon XP(Thorton)";
      if (cpu.voltage_control) return "Mobile Athlon XP-M(Barton)";
      return cpu.multiprocessor ? "Athlon MP(Barton)" : "Athlon XP(Barton)";
    default:
      return nullptr;
  }
}

// The 64-bit processors: the marketing name from the extended brand word (its table index in
// bits 6-15, its number in bits 0-5), then the core.
std::string AmdHammer(const CpuNameFacts& cpu) {
  if (!cpu.long_mode) return "Athlon XP(Paris)";
  const uint32_t table = cpu.amd_brand >> 6;
  const uint32_t number = cpu.amd_brand & 0x3F;
  char text[48];
  switch (table) {
    case 0x00:
      std::snprintf(text, sizeof text, "%s", cpu.brand_index == 0 ? "Engineering Sample" : "Hammer");
      break;
    case 0x04:
      std::snprintf(text, sizeof text, "Athlon 64 %u00+", 22 + number);
      break;
    case 0x06:
      std::snprintf(text, sizeof text, "Athlon 64 FX-%u", 24 + number);
      break;
    case 0x08:
    case 0x09:
      std::snprintf(text, sizeof text, "Mobile Athlon 64 %u00+", 22 + number);
      break;
    case 0x0C:
      std::snprintf(text, sizeof text, "Opteron UP 1%02u", 38 + 2 * number);
      break;
    case 0x0D:
      std::snprintf(text, sizeof text, "Opteron DP 2%02u", 38 + 2 * number);
      break;
    case 0x0E:
      std::snprintf(text, sizeof text, "Opteron MP 8%02u", 38 + 2 * number);
      break;
    default:
      std::snprintf(text, sizeof text, "Hammer");
      break;
  }
  const char* core = cpu.model == 4 ? "(ClawHammer)" : cpu.model == 5 ? "(SledgeHammer)" : "(Unknown)";
  return std::string(text) + core;
}

const char* CentaurModel(const CpuNameFacts& cpu) {
  if (cpu.family == 5 && cpu.model == 8) {
    if (cpu.stepping >= 10) return "WinChip 2B";
    return cpu.stepping >= 7 ? "WinChip 2A" : "WinChip 2";
  }
  if (cpu.family == 6 && cpu.model == 7) return cpu.stepping >= 8 ? "VIA C3(Ezra)" : "VIA C3(Samuel2)";
  return nullptr;
}

// The Crusoe parts by their revision and L2: no L2 the TM3200, then the TM5400 and TM5600
// (revision 2 and below) and the TM5500 and TM5800 by 256 or 512 KB.
const char* TransmetaModel(const CpuNameFacts& cpu) {
  if (cpu.family != 5) return nullptr;
  if (cpu.l2 == 0) return "Crusoe TM3200";
  if (cpu.transmeta_major <= 2) return cpu.l2 >= 512 ? "Crusoe TM5600" : "Crusoe TM5400";
  return cpu.l2 >= 512 ? "Crusoe TM5800" : "Crusoe TM5500";
}

std::string ModelName(const CpuNameFacts& cpu) {
  const char* name = nullptr;
  if (cpu.vendor == "GenuineIntel") {
    if (cpu.family == 5) name = IntelPentium(cpu);
    if (cpu.family == 6) name = IntelP6(cpu);
    if (cpu.family == 15) name = IntelNetBurst(cpu);
  } else if (cpu.vendor == "AuthenticAMD") {
    if (cpu.family == 5) name = AmdK6(cpu);
    if (cpu.family == 6) name = AmdAthlon(cpu);
    if (cpu.family == 15) return AmdHammer(cpu);
  } else if (cpu.vendor == "CentaurHauls") {
    name = CentaurModel(cpu);
  } else if (cpu.vendor == "GenuineTMx86") {
    name = TransmetaModel(cpu);
  }
  if (name != nullptr) return name;
  for (const ModelRow& row : kPlainModels) {
    if (row.vendor == cpu.vendor && row.family == cpu.family && cpu.model >= row.first_model &&
        cpu.model <= row.last_model) {
      return row.name;
    }
  }
  for (const FamilyRow& row : kFamilies) {
    if (row.vendor == cpu.vendor && row.family == cpu.family) return row.name;
  }
  return "Unknown Family";
}

}  // namespace

std::string ProcessorName(const CpuNameFacts& facts) {
  for (const auto& [vendor, short_name] : kVendorNames) {
    if (facts.vendor == vendor) return short_name + ModelName(facts);
  }
  return "Unknown";
}
