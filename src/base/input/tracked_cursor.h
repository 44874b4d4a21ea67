// The cursor's position in game-screen pixels as the application tracks it each frame, read by
// the mouse: -1 on an axis means outside the screen, -2 that the axis is not tested. Written on
// the thread that runs the game and by cursor moves from any thread.
#pragma once

#include <atomic>
#include <cstdint>

inline constexpr int32_t kCursorOutside = -1;
inline constexpr int32_t kCursorAxisUntested = -2;

struct TrackedCursor {
  std::atomic<int32_t> x{kCursorOutside};
  std::atomic<int32_t> y{kCursorOutside};

  void Set(int32_t new_x, int32_t new_y) {
    x.store(new_x);
    y.store(new_y);
  }
  // An axis below 0 that is tested puts the cursor outside.
  bool IsOutside() const {
    const int32_t at_x = x.load();
    const int32_t at_y = y.load();
    return (at_x < 0 && at_x != kCursorAxisUntested) || (at_y < 0 && at_y != kCursorAxisUntested);
  }
};
