// The processor's name from its vendor, family and model: the vendor's short name followed by
// the model name ("Intel Pentium 4(Northwood)", "AMD Athlon XP(Barton)", "Centaur VIA
// C3(Nehemiah)"), a family-level "(Unknown)" name for a model the tables do not know, and
// "Unknown Family" for a family they do not know.
#pragma once

#include <cstdint>
#include <string>

// What the name tables look at besides vendor, family and model.
struct CpuNameFacts {
  std::string vendor;
  uint8_t type = 0;  // 1: an OverDrive processor
  uint8_t family = 0;
  uint8_t model = 0;
  uint8_t stepping = 0;
  uint8_t extended_family = 0;
  uint8_t brand_index = 0;     // leaf 1, EBX bits 0-7
  uint16_t amd_brand = 0;      // leaf 0x80000001, EBX bits 0-15
  uint8_t transmeta_major = 0; // the processor revision's first number (leaf 0x80860001)
  uint32_t l2 = 0;             // KB
  uint32_t l3 = 0;             // KB
  bool htt = false;
  bool long_mode = false;
  bool multiprocessor = false;  // leaf 0x80000001, EDX bit 19
  bool voltage_control = false; // leaf 0x80000007, EDX bit 2: the mobile parts
  bool has_brand_text = false;
};

// "Unknown" for a vendor outside the tables.
std::string ProcessorName(const CpuNameFacts& facts);
