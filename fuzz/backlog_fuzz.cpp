// A saved backlog on arbitrary bytes: Load never reads past the data, and whatever it rebuilds
// saves into the bytes SaveSize announces and loads back into the same log.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "novel/text/text_log.h"

namespace {

std::vector<std::uint8_t> SaveAll(const CTextLog& log) {
  ByteWriter out;
  if (log.Save(out, 0, 0xFFFFFFFF) != 0 || out.Size() != log.SaveSize(0, 0xFFFFFFFF)) std::abort();
  return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CTextLog log;
  log.SetCapacity(6);
  ByteReader in(bytes);
  const std::uint32_t status = log.Load(in, true);
  if (in.At() > size || log.Count() > log.Capacity() || log.ChoiceIsOpen()) std::abort();

  // A load without keep reads exactly as far and keeps nothing.
  CTextLog skipped;
  skipped.SetCapacity(6);
  ByteReader skip_in(bytes);
  if (skipped.Load(skip_in, false) != status || skip_in.At() != in.At() || skipped.Count() != 0) std::abort();

  if (status != 0) return 0;
  const std::vector<std::uint8_t> saved = SaveAll(log);
  CTextLog again;
  again.SetCapacity(6);
  ByteReader again_in(saved);
  if (again.Load(again_in, true) != 0 || again_in.Left() != 0 || SaveAll(again) != saved) std::abort();
  return 0;
}
