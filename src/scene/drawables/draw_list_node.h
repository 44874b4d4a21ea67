// One drawable's place in a draw list. Apart from the list, so that a drawable keeps its own
// node's position and leaves its list without a search.
#pragma once

#include <cstdint>
#include <list>

#include "platform/system/geometry.h"

class CDrawable;

struct CDrawListNode {
  // A left edge of -1: the drawable has not been painted since it was listed or forgotten.
  static constexpr int32_t kNotPainted = -1;

  CDrawable* drawable = nullptr;
  // Where the drawable was last painted, so that a drawable that moves, hides or leaves
  // uncovers exactly that area.
  plat::Rect last_drawn{kNotPainted, 0, 0, 0};
  uint32_t priority = 0;
  uint32_t tag = 0;
};

using CDrawListNodes = std::list<CDrawListNode>;
