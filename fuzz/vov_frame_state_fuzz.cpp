// The novel frame's saved state on arbitrary bytes: read as a tail alone, and as a head followed
// by a tail. A refused read changes nothing and leaves the reader where it was; whatever is read
// writes back to as many bytes as its size says, and those read back to the same state.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "novel/frame/vov_frame_state.h"

namespace {

void CheckTail(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  VovFrameTail tail;
  tail.name = "UNTOUCHED";
  if (!ReadFrameTail(in, tail)) {
    if (tail.name != "UNTOUCHED" || in.At() != 0) std::abort();
    return;
  }
  ByteWriter out;
  WriteFrameTail(tail, out);
  if (out.Size() != FrameTailSize(tail)) std::abort();
  ByteReader again(out.Data());
  VovFrameTail reread;
  if (!ReadFrameTail(again, reread) || reread != tail || again.Left() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckTail(bytes);
  ByteReader in(bytes);
  VovFrameHead head;
  if (!ReadFrameHead(in, head)) return 0;
  ByteWriter out;
  WriteFrameHead(head, out);
  if (!std::equal(out.Data().begin(), out.Data().end(), bytes.begin())) std::abort();
  CheckTail(bytes.subspan(in.At()));
  return 0;
}
