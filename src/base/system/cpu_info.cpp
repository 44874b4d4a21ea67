#include "base/system/cpu_info.h"

#include <cstdio>
#include <cstring>

#include "base/system/cpu_model_names.h"
#include "platform/encoding/text_encoding.h"

CpuInfo g_CpuInfo;

namespace {

bool g_identified = false;

constexpr uint32_t Bit(uint32_t value, int bit) { return (value >> bit) & 1u; }

enum class CacheKind { kCode, kData, kTrace, kL2, kL3 };

struct CacheDescriptor {
  uint8_t code;
  CacheKind kind;
  uint32_t size;
};

constexpr CacheDescriptor kDescriptors[] = {
    {0x06, CacheKind::kCode, 8},     {0x08, CacheKind::kCode, 16},    {0x15, CacheKind::kCode, 16},
    {0x77, CacheKind::kCode, 16},    {0x30, CacheKind::kCode, 32},    {0x0A, CacheKind::kData, 8},
    {0x66, CacheKind::kData, 8},     {0x0C, CacheKind::kData, 16},    {0x10, CacheKind::kData, 16},
    {0x67, CacheKind::kData, 16},    {0x2C, CacheKind::kData, 32},    {0x68, CacheKind::kData, 32},
    {0x70, CacheKind::kTrace, 12},   {0x71, CacheKind::kTrace, 16},   {0x72, CacheKind::kTrace, 32},
    {0x1A, CacheKind::kL2, 96},      {0x39, CacheKind::kL2, 128},     {0x3B, CacheKind::kL2, 128},
    {0x41, CacheKind::kL2, 128},     {0x79, CacheKind::kL2, 128},     {0x81, CacheKind::kL2, 128},
    {0x3C, CacheKind::kL2, 256},     {0x42, CacheKind::kL2, 256},     {0x7A, CacheKind::kL2, 256},
    {0x7E, CacheKind::kL2, 256},     {0x82, CacheKind::kL2, 256},     {0x43, CacheKind::kL2, 512},
    {0x7B, CacheKind::kL2, 512},     {0x83, CacheKind::kL2, 512},     {0x86, CacheKind::kL2, 512},
    {0x44, CacheKind::kL2, 1024},    {0x7C, CacheKind::kL2, 1024},    {0x84, CacheKind::kL2, 1024},
    {0x87, CacheKind::kL2, 1024},    {0x45, CacheKind::kL2, 2048},    {0x85, CacheKind::kL2, 2048},
    {0x22, CacheKind::kL3, 512},     {0x23, CacheKind::kL3, 1024},    {0x25, CacheKind::kL3, 2048},
    {0x88, CacheKind::kL3, 2048},    {0x29, CacheKind::kL3, 4096},    {0x89, CacheKind::kL3, 4096},
    {0x8A, CacheKind::kL3, 8192},    {0x8D, CacheKind::kL3, 3072},
};

uint32_t& SizeOf(CpuCaches& caches, CacheKind kind) {
  switch (kind) {
    case CacheKind::kCode:
      return caches.l1_code;
    case CacheKind::kData:
      return caches.l1_data;
    case CacheKind::kTrace:
      return caches.l1_trace;
    case CacheKind::kL2:
      return caches.l2;
    case CacheKind::kL3:
      break;
  }
  return caches.l3;
}

std::string RegisterText(std::initializer_list<uint32_t> registers) {
  std::string text;
  for (const uint32_t value : registers) {
    for (int shift = 0; shift < 32; shift += 8) text += static_cast<char>((value >> shift) & 0xFF);
  }
  return text;
}

// Caches of other vendors' family 5, which have no cache leaves.
void SetFamily5Caches(uint8_t model, CpuCaches& caches) {
  if (model == 4 || model == 8) {
    caches.l1_code = caches.l1_data = 16;
  } else if (model <= 7) {
    caches.l1_code = caches.l1_data = 8;
  }
}

void SetExtendedCaches(const CpuInfo& info, const std::function<std::optional<plat::CpuidLeaf>(uint32_t)>& leaf,
                       CpuCaches& caches) {
  if (const auto l1 = leaf(0x80000005u)) {
    caches.l1_data = l1->ecx >> 24;
    caches.l1_code = l1->edx >> 24;
  }
  const auto l2 = leaf(0x80000006u);
  if (!l2) return;
  caches.l2 = l2->ecx >> 16;
  if (info.vendor == "CentaurHauls" && info.family == 6 && (info.model == 7 || info.model == 8)) {
    caches.l2 = l2->ecx >> 24;
  } else if (info.vendor == "AuthenticAMD" && info.family == 6 && info.model == 3 && info.stepping == 0) {
    caches.l2 = 64;
  } else if (info.vendor == "AuthenticAMD" && info.family == 6 && info.model == 4 && info.stepping <= 1) {
    caches.l2 = 256;
  }
}

// What the name tables need beyond the record: the brand words, the extended family, the
// multiprocessor and voltage-control bits, the Crusoe revision, and the K6 parts' L2 (their
// caches are otherwise not read from the extended leaves).
CpuNameFacts NameFacts(const CpuInfo& info, const std::function<std::optional<plat::CpuidLeaf>(uint32_t)>& leaf) {
  CpuNameFacts facts;
  facts.vendor = info.vendor;
  facts.type = info.type;
  facts.family = info.family;
  facts.model = info.model;
  facts.stepping = info.stepping;
  facts.l2 = info.caches.l2;
  facts.l3 = info.caches.l3;
  facts.htt = info.htt;
  facts.long_mode = info.long_mode;
  facts.has_brand_text = !info.brand.empty();
  if (const auto leaf1 = leaf(1)) {
    facts.brand_index = static_cast<uint8_t>(leaf1->ebx & 0xFF);
    facts.extended_family = static_cast<uint8_t>((leaf1->eax >> 20) & 0xFF);
  }
  if (const auto extended = leaf(0x80000001u)) {
    facts.amd_brand = static_cast<uint16_t>(extended->ebx & 0xFFFF);
    facts.multiprocessor = Bit(extended->edx, 19) != 0;
  }
  if (const auto power = leaf(0x80000007u)) facts.voltage_control = Bit(power->edx, 2) != 0;
  if (info.vendor == "GenuineTMx86" && leaf(0x80860000u)) {
    if (const auto revision = leaf(0x80860001u)) facts.transmeta_major = static_cast<uint8_t>(revision->ebx >> 24);
  }
  if (info.vendor != "GenuineIntel" && info.family == 5 && facts.l2 == 0) {
    if (const auto l2 = leaf(0x80000006u)) facts.l2 = l2->ecx >> 16;
  }
  return facts;
}

}  // namespace

void ApplyCacheDescriptors(const plat::CpuidLeaf& leaf2, uint8_t family, CpuCaches& caches) {
  const std::string bytes = RegisterText({leaf2.eax, leaf2.ebx, leaf2.ecx, leaf2.edx});
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    const auto code = static_cast<uint8_t>(bytes[i]);
    if (code == 0x40) {
      (family == 15 ? caches.l3 : caches.l2) = 0;
      continue;
    }
    for (const CacheDescriptor& descriptor : kDescriptors) {
      if (descriptor.code == code) SizeOf(caches, descriptor.kind) = descriptor.size;
    }
  }
}

CpuInfo DecodeProcessor(const std::function<std::optional<plat::CpuidLeaf>(uint32_t)>& leaf) {
  CpuInfo info;
  const auto leaf0 = leaf(0);
  if (!leaf0) {
    info.name = "Unknown";
    return info;
  }
  info.vendor = RegisterText({leaf0->ebx, leaf0->edx, leaf0->ecx});
  if (const auto leaf1 = leaf(1)) {
    info.type = static_cast<uint8_t>((leaf1->eax >> 12) & 3);
    info.family = static_cast<uint8_t>((leaf1->eax >> 8) & 15);
    info.model = static_cast<uint8_t>((leaf1->eax >> 4) & 15);
    info.stepping = static_cast<uint8_t>(leaf1->eax & 15);
    info.logical_count = (leaf1->ebx >> 16) & 0xFF;
    info.sse3 = Bit(leaf1->ecx, 0) != 0;
    info.fpu = Bit(leaf1->edx, 0) != 0;
    info.tsc = Bit(leaf1->edx, 4) != 0;
    info.cmov = Bit(leaf1->edx, 15) != 0;
    info.mmx = Bit(leaf1->edx, 23) != 0;
    info.sse = Bit(leaf1->edx, 25) != 0;
    info.sse2 = Bit(leaf1->edx, 26) != 0;
    info.htt = Bit(leaf1->edx, 28) != 0 && info.logical_count >= 2;
  }
  if (const auto extended = leaf(0x80000001u)) {
    info.mmx_ext = Bit(extended->edx, 22) != 0;
    info.long_mode = Bit(extended->edx, 29) != 0;
    info.now3d_ext = Bit(extended->edx, 30) != 0;
    info.now3d = Bit(extended->edx, 31) != 0;
  }
  const auto b1 = leaf(0x80000002u), b2 = leaf(0x80000003u), b3 = leaf(0x80000004u);
  if (b1 && b2 && b3) {
    std::string brand = RegisterText({b1->eax, b1->ebx, b1->ecx, b1->edx, b2->eax, b2->ebx, b2->ecx, b2->edx,
                                      b3->eax, b3->ebx, b3->ecx, b3->edx});
    brand.resize(std::strlen(brand.c_str()));
    info.brand = brand.substr(std::min(brand.find_first_not_of(' '), brand.size()));
  }
  if (info.vendor == "GenuineIntel") {
    if (const auto leaf2 = leaf(2)) ApplyCacheDescriptors(*leaf2, info.family, info.caches);
  } else if (info.family == 5) {
    SetFamily5Caches(info.model, info.caches);
  } else {
    SetExtendedCaches(info, leaf, info.caches);
  }
  info.name = ProcessorName(NameFacts(info, leaf));
  return info;
}

int IdentifyProcessor() {
  if (g_identified) return 2;
  g_identified = true;
  g_CpuInfo = DecodeProcessor(&plat::Cpuid);
  return 0;
}

std::string FormatCpuClock(uint32_t megahertz) {
  if (megahertz == 0) return plat::Utf8ToSjis("？？MHz");
  char text[32];
  if (megahertz < 1000) {
    std::snprintf(text, sizeof text, "%uMHz", megahertz);
  } else {
    std::snprintf(text, sizeof text, "%u.%02uGHz", megahertz / 1000, (megahertz % 1000) / 10);
  }
  return text;
}

std::string FormatCpuName(const CpuInfo& cpu) {
  return cpu.brand.empty() ? cpu.name : cpu.brand + " [ " + cpu.name + " ]";
}

std::string FormatCpuCaches(const CpuCaches& caches) {
  std::string text;
  auto add = [&text](const std::string& part) { text += (text.empty() ? "" : " / ") + part; };
  if (caches.l1_trace != 0) {
    add(plat::Utf8ToSjis("L1 T-Cache ") + std::to_string(caches.l1_trace) + plat::Utf8ToSjis("KμOPs"));
  } else if (caches.l1_code != 0) {
    add("L1 C-Cache " + std::to_string(caches.l1_code) + "KB");
  }
  if (caches.l1_data != 0) add("L1 D-Cache " + std::to_string(caches.l1_data) + "KB");
  if (caches.l2 != 0) add("L2 Cache " + std::to_string(caches.l2) + "KB");
  if (caches.l3 != 0) add("L3 Cache " + std::to_string(caches.l3) + "KB");
  return text;
}

const std::string& FeatureMark(bool present) {
  static const std::string kPresent = plat::Utf8ToSjis("○");
  static const std::string kAbsent = plat::Utf8ToSjis("×");
  return present ? kPresent : kAbsent;
}
