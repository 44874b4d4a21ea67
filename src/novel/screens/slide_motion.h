// A drawable's straight slide along its row, run by the pausable timer manager, as the novel
// frame's screens slide their parts in and out.
#pragma once

#include <cstdint>

class CDrawable;
class CTimedTask;

// Puts the drawable at `from_x` and slides it to `to_x` in `duration` ms keeping its row and
// opacity: the running task, or null when it cannot run (the drawable is then put at `to_x`).
CTimedTask* StartHorizontalSlide(CDrawable& drawable, std::int32_t from_x, std::int32_t to_x, std::uint32_t duration);
