// The two pages that the screen effects work on: the target image part's draw layer and that of
// its partner (the page behind it). A page swap exchanges the parts' layers, so an effect that
// shows a drawable on each page finds out again, when it is told which pages to show, which of
// its drawables lies in the target's layer now.
#pragma once

#include <cstdint>

class CDrawable;
class CDrawLayer;
class CImagePart;

struct ScreenPages {
  CImagePart* part = nullptr;
  CDrawLayer* first = nullptr;   // the part's own layer
  CDrawLayer* second = nullptr;  // the partner's layer
};

// The pages of an effect's target (an image part, or null); nulls where something is missing.
ScreenPages PagesOf(void* target);

// The show flags of a pair of drawables made for the first and the second page: `first` for the
// one in the part's layer now, `second` for the other.
struct PairShow {
  bool made_for_first = false;
  bool made_for_second = false;
};
PairShow ResolvePairShow(const CDrawable& made_for_first, CImagePart& part, bool first, bool second);
