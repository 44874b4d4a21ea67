// The scripts' memory built-ins: blocks of script memory that scripts allocate and free, and
// word and byte fills and copies inside script memory. A range that leaves script memory ends the
// run as a bad script.
#pragma once

#include <cstdint>
#include <set>

#include "script/native_args.h"

// The blocks that ids 75 and 76 handed out, by address; id 77 frees only these. A program-wide
// object (it lives in the program's statics), since a block outlives the call that made it.
class CNativeBlockMap {
 public:
  void Add(std::uint32_t address) { blocks_.insert(address); }
  // True when the address was recorded; it is forgotten then.
  bool Remove(std::uint32_t address) { return blocks_.erase(address) != 0; }
  void Clear() { blocks_.clear(); }

 private:
  std::set<std::uint32_t> blocks_;
};

extern CNativeBlockMap g_NativeMap;

// The largest block 75 and 76 make in one call.
inline constexpr std::int32_t kLargestScriptBlock = 256 << 20;
// 75: args[0] size: a new recorded block; 0 when the size is below 1 or above
// kLargestScriptBlock, or memory is exhausted.
std::uint32_t NativeAlloc(const NativeArgs& args);
// 76: as 75, the block's bytes zero.
std::uint32_t NativeAllocZeroed(const NativeArgs& args);
// 77: args[0] block: 1 when it was recorded and is freed; 0 (nothing freed) otherwise.
std::uint32_t NativeFree(const NativeArgs& args);
// 78: args[0] destination, args[1] word, args[2] count of words: 1; 0 when args[0] is 0.
std::uint32_t NativeFillWords(const NativeArgs& args);
// 79: args[0] destination, args[1] byte, args[2] count: 1; 0 when args[0] is 0.
std::uint32_t NativeFillBytes(const NativeArgs& args);
// 80: args[0] destination, args[1] source, args[2] count: copies forward byte by byte (an
// overlap ahead repeats the pattern); 1; 0 when either address is 0.
std::uint32_t NativeCopyBytes(const NativeArgs& args);
