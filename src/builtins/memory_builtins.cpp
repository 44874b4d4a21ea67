#include "builtins/memory_builtins.h"

#include <algorithm>
#include <cstring>

#include "base/numbers/script_bound.h"

namespace {

// A count of elements of `element` bytes from a signed word; nothing for counts below 1. A range
// beyond 4 GiB cannot lie in script memory.
std::uint32_t ByteCount(const NativeArgs& args, std::uint32_t index, std::uint32_t element) {
  const std::int32_t count = args.I32(index);
  if (count <= 0) return 0;
  const std::uint64_t bytes = std::uint64_t{static_cast<std::uint32_t>(count)} * element;
  if (bytes > UINT32_MAX) RaiseBadAddress(args.U32(0), UINT32_MAX);
  return static_cast<std::uint32_t>(bytes);
}

std::uint32_t AllocateRecorded(const NativeArgs& args, bool zeroed) {
  const std::int32_t size = args.I32(0);
  if (size < 1 || !WithinBound("a script's memory block (bytes)", size, kLargestScriptBlock)) return 0;
  const std::uint32_t block = args.Memory().Allocate(static_cast<std::uint32_t>(size), zeroed);
  if (block != 0) g_NativeMap.Add(block);
  return block;
}

}  // namespace

std::uint32_t NativeAlloc(const NativeArgs& args) { return AllocateRecorded(args, false); }

std::uint32_t NativeAllocZeroed(const NativeArgs& args) { return AllocateRecorded(args, true); }

std::uint32_t NativeFree(const NativeArgs& args) {
  const std::uint32_t block = args.U32(0);
  if (!g_NativeMap.Remove(block)) return 0;
  return args.Memory().Free(block) ? 1 : 0;
}

std::uint32_t NativeFillWords(const NativeArgs& args) {
  const std::uint32_t destination = args.U32(0);
  if (destination == 0) return 0;
  const std::uint32_t value = args.U32(1);
  const std::span<std::byte> range = args.Memory().Range(destination, ByteCount(args, 2, 4));
  for (std::size_t at = 0; at < range.size(); at += 4) std::memcpy(range.data() + at, &value, 4);
  return 1;
}

std::uint32_t NativeFillBytes(const NativeArgs& args) {
  const std::uint32_t destination = args.U32(0);
  if (destination == 0) return 0;
  const std::span<std::byte> range = args.Memory().Range(destination, ByteCount(args, 2, 1));
  std::fill(range.begin(), range.end(), static_cast<std::byte>(args.U8(1)));
  return 1;
}

std::uint32_t NativeCopyBytes(const NativeArgs& args) {
  const std::uint32_t destination = args.U32(0);
  const std::uint32_t source = args.U32(1);
  if (destination == 0 || source == 0) return 0;
  const std::uint32_t count = ByteCount(args, 2, 1);
  const std::byte* from = args.Memory().Range(source, count).data();
  std::byte* to = args.Memory().Range(destination, count).data();
  for (std::uint32_t i = 0; i < count; ++i) to[i] = from[i];
  return 1;
}
