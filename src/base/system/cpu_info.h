// The processor record of the start-up log and the system report: vendor, brand and name,
// type, family, model and stepping, cache sizes, clock, processor count and features. Filled
// once from the processor's CPUID leaves; the decoding of each leaf is its own function.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/system/system_facts.h"

struct CpuCaches {
  uint32_t l1_trace = 0;  // K micro-operations
  uint32_t l1_code = 0;   // KB, as the sizes below
  uint32_t l1_data = 0;
  uint32_t l2 = 0;
  uint32_t l3 = 0;
};

struct CpuInfo {
  std::string vendor;
  std::string brand;  // without its leading blanks; empty when the processor has none
  std::string name;
  uint8_t type = 0;
  uint8_t family = 0;
  uint8_t model = 0;
  uint8_t stepping = 0;
  CpuCaches caches;
  uint32_t logical_count = 0;
  bool fpu = false, tsc = false, cmov = false, mmx = false, sse = false, sse2 = false, sse3 = false, htt = false;
  bool mmx_ext = false, now3d = false, now3d_ext = false, long_mode = false;
};

extern CpuInfo g_CpuInfo;

// Fills g_CpuInfo from the processor: 0, or 2 when it was filled before (nothing changes).
int IdentifyProcessor();

// The processor record that the given leaves describe (`leaf` answers CPUID, empty past the
// highest leaf); the work of IdentifyProcessor.
CpuInfo DecodeProcessor(const std::function<std::optional<plat::CpuidLeaf>(uint32_t)>& leaf);

// Sets the sizes that the cache descriptor bytes of leaf 2 (EAX, EBX, ECX, EDX, each
// little-endian) name; byte 0, the iteration count, is skipped, and a later byte overrides an
// earlier one.
void ApplyCacheDescriptors(const plat::CpuidLeaf& leaf2, uint8_t family, CpuCaches& caches);

// The clock as the log and the report print it: "？？MHz" for 0, "850MHz", "2.40GHz" (Shift-JIS).
std::string FormatCpuClock(uint32_t megahertz);

// "brand [ name ]", or the name alone for a processor without a brand text.
std::string FormatCpuName(const CpuInfo& cpu);

// The known cache sizes joined by " / ": "L1 T-Cache 12KμOPs" (or "L1 C-Cache 16KB"),
// "L1 D-Cache 16KB", "L2 Cache 256KB", "L3 Cache 2048KB" (Shift-JIS).
std::string FormatCpuCaches(const CpuCaches& caches);

// "○" for a feature that is present, "×" for one that is absent (Shift-JIS).
const std::string& FeatureMark(bool present);
