#include "scene/drawables/draw_layer.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "base/numbers/trig_tables.h"
#include "gfx/image_operations/rotated_quad.h"
#include "gfx/image_operations/screen_transition.h"

uint8_t g_MergeDirtyRects = 1;

namespace {

// Uncovered areas up to this many join the region one by one, as every other rectangle does;
// more join in one sweep. So many wait at the most before they join.
constexpr std::size_t kUncoveredJoinedOneByOne = 16;
constexpr std::size_t kMostUncoveredWaiting = 4096;

}  // namespace

// What a repaint paints under and over each rectangle.
struct CDrawLayer::Plan {
  CImage* source = nullptr;
  int32_t source_x = 0;
  int32_t source_y = 0;
  bool fill = false;
  uint32_t fill_value = 0;
  // Painted in this order, each from its tail to its head; null: not painted.
  const CDrawList* lists[2] = {nullptr, nullptr};
  uint8_t filter = kFilterAll;
  uint32_t id = 0;

  bool HasLists() const { return lists[0] != nullptr || lists[1] != nullptr; }
  bool Passes(const CDrawable& drawable) const {
    if (!drawable.IsEnabled() || drawable.GetOpacity() == 0) return false;
    if (filter == kFilterAll) return true;
    if (filter == kFilterSameId) return drawable.GetId() == id;
    return filter == kFilterOtherId && drawable.GetId() != id;
  }
};

CDrawLayer::CDrawLayer() { own_list_.layer_ = this; }

CDrawLayer::~CDrawLayer() {
  ReleaseAttachedList();
  own_list_.Clear();
  own_list_.layer_ = nullptr;
}

uint32_t CDrawLayer::SetTarget(CImage* image, bool redraw) {
  if (image == nullptr || !image->HasPixels()) return 1;
  target_ = image;
  if (redraw) InvalidateAll();
  return 0;
}

// Two layers that swap their attached lists each bind the other's list before the other lets go
// of it, so a layer unbinds only a list that is still bound to itself.
void CDrawLayer::ReleaseAttachedList() {
  if (attached_ != nullptr && attached_->layer_ == this) attached_->layer_ = nullptr;
}

void CDrawLayer::SetAttachedList(IDrawList* list) {
  ReleaseAttachedList();
  attached_ = dynamic_cast<CDrawList*>(list);
  if (attached_ != nullptr) attached_->layer_ = this;
}

bool CDrawLayer::SetBackgroundImage(CImage* image, int32_t x, int32_t y, bool redraw) {
  if (image != nullptr && !image->HasPixels()) return false;
  if (image != nullptr) {
    anchor_x_ = image->GetWidth() / 2;
    anchor_y_ = image->GetHeight() / 2;
  }
  ReleaseBackgroundCache();
  background_ = image;
  background_x_ = x;
  background_y_ = y;
  if (redraw) InvalidateAll();
  return true;
}

void CDrawLayer::ForgetBackgroundImage(const CImage* image) {
  if (image == nullptr || background_ != image) return;
  SetBackgroundImage(nullptr, background_x_, background_y_, true);
}

void CDrawLayer::SetBackgroundRgb(uint8_t r, uint8_t g, uint8_t b, bool redraw) {
  SetBackgroundColor((colour_ & 0xFF000000u) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b, redraw);
}

void CDrawLayer::SetBackgroundColor(uint32_t colour, bool redraw) {
  background_ = nullptr;
  ReleaseBackgroundCache();
  colour_ = colour;
  if (redraw) InvalidateAll();
}

bool CDrawLayer::SetBackgroundOffset(int32_t x, int32_t y) {
  if (x == background_x_ && y == background_y_) return false;
  background_x_ = x;
  background_y_ = y;
  return true;
}

void CDrawLayer::GetBackground(CImage** image, int32_t* x, int32_t* y, uint8_t* r, uint8_t* g, uint8_t* b) const {
  if (image != nullptr) *image = background_;
  if (x != nullptr) *x = background_x_;
  if (y != nullptr) *y = background_y_;
  if (r != nullptr) *r = static_cast<uint8_t>(colour_ >> 16);
  if (g != nullptr) *g = static_cast<uint8_t>(colour_ >> 8);
  if (b != nullptr) *b = static_cast<uint8_t>(colour_);
}

bool CDrawLayer::SetBackgroundAnchor(int32_t mode) {
  if (background_ == nullptr) return false;
  const int32_t w = background_->GetWidth();
  const int32_t h = background_->GetHeight();
  switch (mode) {
    case 0: anchor_x_ = 0, anchor_y_ = 0; break;
    case 1: anchor_x_ = w, anchor_y_ = 0; break;
    case 2: anchor_x_ = 0, anchor_y_ = h; break;
    case 4: anchor_x_ = w / 2, anchor_y_ = h / 2; break;
    default: anchor_x_ = w, anchor_y_ = h; break;
  }
  return true;
}

void CDrawLayer::GetBackgroundAnchor(int32_t* x, int32_t* y) const {
  *x = anchor_x_;
  *y = anchor_y_;
}

void CDrawLayer::SwapBackground(IDrawLayer& other, bool redraw) {
  SwapBackgroundWith(dynamic_cast<CDrawLayer*>(&other), redraw);
}

uint32_t CDrawLayer::SwapBackgroundWith(CDrawLayer* other, bool redraw) {
  if (other == nullptr) return 1;
  std::swap(background_, other->background_);
  std::swap(background_x_, other->background_x_);
  std::swap(background_y_, other->background_y_);
  std::swap(cache_, other->cache_);
  std::swap(colour_, other->colour_);
  std::swap(anchor_x_, other->anchor_x_);
  std::swap(anchor_y_, other->anchor_y_);
  std::swap(stretch_mode_, other->stretch_mode_);
  std::swap(area_, other->area_);
  std::swap(area_source_, other->area_source_);
  std::swap(angle_, other->angle_);
  std::swap(zoom_, other->zoom_);
  std::swap(zoom_x_, other->zoom_x_);
  std::swap(zoom_y_, other->zoom_y_);
  if (redraw) {
    InvalidateAll();
    other->InvalidateAll();
  }
  return 0;
}

uint32_t CDrawLayer::CreateBackgroundCache(bool recreate) {
  if (recreate) cache_.reset();
  if (cache_ == nullptr) {
    if (target_ == nullptr) return 1;
    if (!EnsureCache(target_->GetBitsPerPixel())) return 2;
  }
  area_ = {};
  angle_ = 0;
  zoom_ = 0.0;
  return 0;
}

void CDrawLayer::ReleaseBackgroundCache() {
  cache_.reset();
  area_ = {};
  angle_ = 0;
  zoom_ = 0.0;
}

void CDrawLayer::FillCache() {
  if (cache_->GetBitsPerPixel() == 32) {
    cache_->FillRectArgb(FillValue(), nullptr);
  } else {
    cache_->FillRect(FillValue(), 0, 0, nullptr);
  }
}

bool CDrawLayer::SetBackgroundRotoZoom(int32_t x, int32_t y, int32_t angle, double zoom) {
  if (background_ == nullptr || target_ == nullptr || background_->GetBitsPerPixel() != 32) return false;
  if (cache_ != nullptr && x == zoom_x_ && y == zoom_y_ && angle == angle_ && zoom == zoom_) return false;
  const bool no_turn = (angle & (CTrigTables::kSteps - 1)) == 0 && zoom == 1.0 && x == 0 && y == 0;
  RotatedQuad quad;
  const RotationRequest request{0, 0, angle, zoom, background_->GetWidth(), background_->GetHeight(), anchor_x_,
                                anchor_y_};
  if (no_turn || !ComputeRotatedQuad(request, quad)) {
    ReleaseBackgroundCache();
  } else {
    if (!EnsureCache(32)) return false;
    // The quad's corners are relative to its box; the anchor, scaled with the picture, lands
    // at (x + anchor x, y + anchor y).
    const double shift_x = static_cast<double>(quad.x) + x + anchor_x_ - anchor_x_ * zoom;
    const double shift_y = static_cast<double>(quad.y) + y + anchor_y_ - anchor_y_ * zoom;
    PixelTransformArgs args;
    const RotatedPoint* corners[3] = {&quad.corners[0], &quad.corners[1], &quad.corners[3]};
    for (int i = 0; i < 3; ++i) args.points[i] = {corners[i]->x + shift_x, corners[i]->y + shift_y};
    const ImageSize size{cache_->GetWidth(), cache_->GetHeight()};
    args.fill = colour_;
    args.area = &size;
    if (cache_->PixelLibTransform(background_, args) != 0) FillCache();
    zoom_x_ = x;
    zoom_y_ = y;
    area_ = {};
    angle_ = angle;
    zoom_ = zoom;
  }
  InvalidateAll();
  return true;
}

uint32_t CDrawLayer::FillValue() const { return target_->GetBitsPerPixel() == 32 ? colour_ : (colour_ >> 16) & 0xFF; }

bool CDrawLayer::GetBackgroundArea(plat::Rect* source) const {
  if (cache_ == nullptr || (area_[2] == 0 && area_[3] == 0)) return false;
  *source = area_source_;
  return true;
}

bool CDrawLayer::SetBackgroundArea(int32_t x, int32_t y, int32_t width, int32_t height, const plat::Rect* source) {
  if (background_ == nullptr || target_ == nullptr) return false;
  const plat::Rect whole_source{0, 0, background_->GetWidth(), background_->GetHeight()};
  const plat::Rect from = source != nullptr ? *source : whole_source;
  const int32_t target_width = target_->GetWidth();
  const int32_t target_height = target_->GetHeight();
  const std::array<int32_t, 4> placement{x, y, width, height};
  if (cache_ != nullptr && area_ == placement && area_source_ == from) return false;
  const bool identity =
      x == 0 && y == 0 && width == target_width && height == target_height && from == whole_source;
  if ((width == 0 && height == 0) || identity) {
    ReleaseBackgroundCache();
  } else {
    const int32_t w = width < 1 ? target_width : width;
    const int32_t h = height < 1 ? target_height : height;
    if (!EnsureCache(background_->GetBitsPerPixel())) return false;
    const bool filled = x > 0 || y > 0 || int64_t{x} + w < target_width || int64_t{y} + h < target_height;
    if (filled) FillCache();
    if (!StretchIntoCache(x, y, ImageSize{w, h}, from) && !filled) FillCache();
    area_ = placement;
    angle_ = 0;
    zoom_ = 0.0;
    area_source_ = from;
  }
  InvalidateAll();
  return true;
}

bool CDrawLayer::EnsureCache(uint8_t depth) {
  if (cache_ != nullptr) return true;
  auto cache = std::make_unique<CImage>();
  if (cache->Create(target_->GetWidth(), target_->GetHeight(), depth, 0) != 0) return false;
  cache_ = std::move(cache);
  return true;
}

bool CDrawLayer::StretchIntoCache(int32_t x, int32_t y, const ImageSize& size, const plat::Rect& source) {
  const bool smooth = (stretch_mode_ & 0xF) != 0;
  // Without the pixel-routine library the engine's own stretch serves 32-bit pictures too.
  if (cache_->GetBitsPerPixel() == 32 && g_PixelLib != nullptr) {
    return cache_->PixelLibStretchBlend(background_, 0, stretch_mode_, 255, 0, &size, x, y, &source) == 0;
  }
  if (smooth) return cache_->SmoothStretchCopy(background_, &size, x, y, &source) == 0;
  return cache_->StretchCopy(background_, &size, x, y, &source, false) == 0;
}

void CDrawLayer::SetFlags(uint8_t first, uint8_t second) {
  skip_own_ = first;
  skip_attached_ = second;
}

template <typename Fn>
void CDrawLayer::ForEachNode(Fn fn) {
  for (CDrawList* list : {&own_list_, attached_}) {
    if (list == nullptr) continue;
    for (CDrawList::Node& node : list->nodes_) fn(node);
  }
}

uint32_t CDrawLayer::InvalidateAll() {
  if (target_ == nullptr) return 1;
  ForEachNode([](CDrawList::Node& node) {
    if (!node.drawable->IsEnabled() || node.drawable->GetOpacity() == 0) return;
    node.drawable->SetDirty(true);
    node.last_drawn.left = CDrawList::kNotPainted;
  });
  uncovered_.clear();
  region_.Clear();
  const plat::Rect whole{0, 0, target_->GetWidth(), target_->GetHeight()};
  region_.AddRect(&whole);
  return 0;
}

void CDrawLayer::AddToRegion(const plat::Rect& rect) {
  if (uncovered_.size() >= kMostUncoveredWaiting) JoinUncovered();
  try {
    uncovered_.push_back(rect);
  } catch (const std::bad_alloc&) {
    region_.AddRect(&rect);
  }
}

void CDrawLayer::JoinUncovered() const {
  if (uncovered_.size() <= kUncoveredJoinedOneByOne) {
    for (const plat::Rect& rect : uncovered_) region_.AddRect(&rect);
  } else {
    region_.AddRects(uncovered_);
  }
  uncovered_.clear();
}

const CDirtyRegion& CDrawLayer::GetRegion() const {
  JoinUncovered();
  return region_;
}

bool CDrawLayer::InvalidateRect(plat::Rect* rect) {
  if (target_ == nullptr) return false;
  if (target_->ClipRect(rect)) region_.AddRect(rect);
  return true;
}

uint32_t CDrawLayer::Invalidate(const plat::Rect* rect) {
  if (target_ == nullptr) return 0;
  const plat::Rect whole{0, 0, target_->GetWidth(), target_->GetHeight()};
  plat::Rect cut = whole;
  if (rect != nullptr && !IntersectRect(&cut, rect, &whole)) return 0;
  region_.AddRect(&cut);
  return 1;
}

void CDrawLayer::DiscardDirty() {
  ForEachNode([](CDrawList::Node& node) { node.drawable->SetDirty(false); });
  uncovered_.clear();
  region_.Clear();
}

void CDrawLayer::CollectList(CDrawList& list) {
  for (CDrawList::Node& node : list.nodes_) {
    CDrawable& drawable = *node.drawable;
    if (!drawable.IsDirty()) continue;
    if (node.last_drawn.left != CDrawList::kNotPainted) region_.AddRect(&node.last_drawn);
    plat::Rect bounds;
    drawable.GetBounds(&bounds);
    drawable.SetDirty(false);
    if (target_->ClipRect(&bounds)) {
      region_.AddRect(&bounds);
      node.last_drawn = bounds;
    } else {
      node.last_drawn.left = CDrawList::kNotPainted;
    }
  }
}

void CDrawLayer::CollectDirty() {
  if (target_ == nullptr) return;
  JoinUncovered();
  CollectList(own_list_);
  if (attached_ != nullptr) CollectList(*attached_);
  if (g_MergeDirtyRects != 0) region_.Coalesce();
}

CDrawLayer::Plan CDrawLayer::MakePlan(bool own, bool attached) const {
  Plan plan;
  if (no_background_ == 0) {
    if (cache_ != nullptr) {
      plan.source = cache_.get();
    } else if (background_ != nullptr) {
      plan.source = background_;
      plan.source_x = background_x_;
      plan.source_y = background_y_;
    } else if (target_->GetBitsPerPixel() == 32 || target_->GetBitsPerPixel() == 8) {
      plan.fill = true;
      plan.fill_value = FillValue();
    }
  }
  if (own && skip_own_ == 0) plan.lists[0] = &own_list_;
  if (attached && skip_attached_ == 0) plan.lists[1] = attached_;
  return plan;
}

void CDrawLayer::PaintArea(CImage& image, const Plan& plan, const plat::Rect& area) const {
  if (plan.source != nullptr) {
    const plat::Rect from{area.left + plan.source_x, area.top + plan.source_y, area.right + plan.source_x,
                          area.bottom + plan.source_y};
    image.Copy(plan.source, area.left, area.top, &from, false);
  } else if (plan.fill && image.GetBitsPerPixel() == 32) {
    image.FillRectArgb(plan.fill_value, &area);
  } else if (plan.fill) {
    image.FillRect(plan.fill_value, 0, 0, &area);
  }
  for (const CDrawList* list : plan.lists) {
    if (list == nullptr) continue;
    for (auto node = list->nodes_.rbegin(); node != list->nodes_.rend(); ++node) {
      if (plan.Passes(*node->drawable)) node->drawable->DrawRect(&image, area);
    }
  }
}

namespace {

// Cuts the area into the strips of a repaint (the whole area when strips are off or nothing is
// painted over the background).
template <typename Fn>
void ForEachStrip(const plat::Rect& area, bool has_lists, Fn fn) {
  const int32_t height = g_StripRepaint != 0 && has_lists ? TransitionStripHeight(area.Width()) : area.Height();
  for (int32_t top = area.top; top < area.bottom; top += height) {
    fn(plat::Rect{area.left, top, area.right, std::min(top + height, area.bottom)});
  }
}

}  // namespace

void CDrawLayer::RepaintRegion(const std::function<void(const plat::Rect&)>& copy_out) {
  const Plan plan = MakePlan(true, true);
  JoinUncovered();
  region_.ForEachRect([&](const plat::Rect& rect) {
    ForEachStrip(rect, plan.HasLists(), [&](const plat::Rect& strip) {
      PaintArea(*target_, plan, strip);
      copy_out(strip);
    });
  });
  region_.Clear();
}

int32_t CDrawLayer::Repaint() {
  if (suspended_ != 0) return 0;
  if (target_ == nullptr) return kNoTarget;
  CollectDirty();
  if (region_.Count() == 0) return kNothingDirty;
  RepaintRegion([](const plat::Rect&) {});
  return 0;
}

void CDrawLayer::RepaintWithoutAttached() {
  CDrawList* const attached = attached_;
  attached_ = nullptr;
  Repaint();
  attached_ = attached;
}

void CDrawLayer::PaintBackground(CImage& image, const plat::Rect& rect) {
  if (target_ != nullptr) PaintArea(image, MakePlan(false, false), rect);
}

void CDrawLayer::DrawListsOver(CImage& image, const plat::Rect& rect, bool own, bool attached) {
  Plan plan = MakePlan(own, attached);
  plan.source = nullptr;
  plan.fill = false;
  PaintArea(image, plan, rect);
}

uint32_t CDrawLayer::RenderTo(CImage* image, uint8_t filter, uint32_t id, bool with_attached) {
  if (image == nullptr || !image->HasPixels()) return 1;
  if (target_ == nullptr || image->GetWidth() != target_->GetWidth() || image->GetHeight() != target_->GetHeight()) {
    return 2;
  }
  Plan plan = MakePlan(true, with_attached);
  plan.filter = filter;
  plan.id = id;
  ForEachStrip(plat::Rect{0, 0, image->GetWidth(), image->GetHeight()}, plan.HasLists(),
               [&](const plat::Rect& strip) { PaintArea(*image, plan, strip); });
  return 0;
}
