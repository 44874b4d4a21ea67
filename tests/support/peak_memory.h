// Measures how much memory a piece of work really takes: the work runs in a child process, and
// the result is how far the child's resident set rose above what it held when it began. Memory
// that is reserved but never written does not count, memory that is zeroed or written does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace test_support {

inline constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;

// Nothing when the child could not be started or did not finish normally.
std::optional<std::uint64_t> PeakMemoryGrowth(const std::function<void()>& work);

}  // namespace test_support
