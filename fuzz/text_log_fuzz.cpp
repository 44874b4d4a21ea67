// TEXT_LOG.DAT on arbitrary bytes, read into a table of scripts: a log that is refused changes no
// bit, and no log changes a record's sizes; whatever is read writes back into a log that reads.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "novel/scenario/vov_vm.h"

namespace {

std::vector<ReadTextRecord> Table() {
  std::vector<ReadTextRecord> table(3);
  const char* names[] = {"MAIN", "MAIN", "SUB"};
  const std::uint32_t lines[] = {20, 12, 9};
  for (std::size_t n = 0; n < table.size(); ++n) {
    table[n].name = names[n];
    table[n].name_length = static_cast<std::uint8_t>(table[n].name.size() + 1);
    table[n].read_lines.Resize(lines[n]);
    table[n].choices.Resize(4);
  }
  return table;
}

bool SameSizes(const std::vector<ReadTextRecord>& a, const std::vector<ReadTextRecord>& b) {
  for (std::size_t n = 0; n < a.size(); ++n) {
    if (a[n].read_lines.BitCount() != b[n].read_lines.BitCount() || a[n].choices.ByteCount() != b[n].choices.ByteCount()) {
      return false;
    }
  }
  return a.size() == b.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<ReadTextRecord> clear = Table();
  std::vector<ReadTextRecord> table = Table();
  const bool read = ReadTextLogFile(std::span<const std::uint8_t>(data, size), kVovTextLogMagic, table);
  if (!SameSizes(table, clear)) std::abort();
  if (!read) {
    for (const ReadTextRecord& record : table) {
      if (record.read_lines.CountBits() != 0 || record.choices.CountBits() != 0) std::abort();
    }
    return 0;
  }
  std::vector<ReadTextRecord> again = Table();
  if (!ReadTextLogFile(BuildTextLogFile(kVovTextLogMagic, table), kVovTextLogMagic, again)) std::abort();
  for (std::size_t n = 0; n < table.size(); ++n) {
    if (again[n].read_lines.CountBits() != table[n].read_lines.CountBits()) std::abort();
  }
  return 0;
}
