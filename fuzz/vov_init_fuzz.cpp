// VOV_INIT.DAT on arbitrary bytes: what the reader accepts must hold together, and no table may
// ask for more bit memory than the cap allows.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "novel/scenario/vov_vm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  std::vector<ReadTextRecord> table;
  if (ParseReadTextTable(input, table, kVovInitLayout) != ReadTextTableStatus::kOk) return 0;
  // Each record takes at least nine bytes of the data after the count.
  if (table.size() * 9 + 4 > size) std::abort();
  std::uint64_t bit_bytes = 0;
  for (const ReadTextRecord& record : table) {
    if (record.name.size() >= 256) std::abort();
    bit_bytes += record.read_lines.ByteCount() + record.choices.ByteCount();
  }
  if (bit_bytes > kMostReadTextBitBytes) std::abort();
  return 0;
}
