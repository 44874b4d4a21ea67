// Measures how much memory a piece of work really takes: the work runs in a child process, and
// the result is how far the child's resident set rose above what it held when it began. Memory
// that is reserved but never written does not count, memory that is zeroed or written does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace test_support {

inline constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
// The bound for work that reserves blocks of a gigabyte or two but writes little of them: far
// below what writing them would cost, above the eighth of a freed block that the address
// sanitizer writes into its shadow memory.
inline constexpr std::uint64_t kBelowAWrittenGigabyte = 512 * kMebibyte;

// Nothing when the child could not be started or did not finish normally.
std::optional<std::uint64_t> PeakMemoryGrowth(const std::function<void()>& work);

}  // namespace test_support
