// How a routine of the engine's pixel-routine library runs an engine operation: with the library
// path turned off, so that the operation draws with its own kernels, and with the destination's
// changes collected apart, so that the routine reports them as its changed rectangle and the
// caller marks them once.
#pragma once

#include <cstdint>

#include "gfx/images/dirty_region.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

class CPixelRoutineRun {
 public:
  explicit CPixelRoutineRun(CImage& dst);
  ~CPixelRoutineRun();
  CPixelRoutineRun(const CPixelRoutineRun&) = delete;
  CPixelRoutineRun& operator=(const CPixelRoutineRun&) = delete;

  // The result of an engine operation's status (0 = success) with what it changed.
  PixelRoutineResult Result(uint32_t status);

 private:
  CImage& dst_;
  CDirtyRegion* region_;
  bool modified_;
  CDirtyRegion changes_;
};

// Runs op() (an engine operation on dst returning its status) as a routine.
template <typename Op>
PixelRoutineResult RunAsRoutine(CImage& dst, Op&& op) {
  CPixelRoutineRun run(dst);
  return run.Result(op());
}
