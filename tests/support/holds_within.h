// Waiting for what another process or the display does, however long a loaded machine takes.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace test_support {

// Asks `holds` every 10 ms until it does, for at most `seconds`; whether it came to hold. The
// bound is for a hang only.
inline bool HoldsWithin(int seconds, const std::function<bool()>& holds) {
  for (int i = 0; i < seconds * 100; ++i) {
    if (holds()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace test_support
