#include "effects/background/zoom_source.h"

#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/motion_curves.h"

namespace {

// Places a span of `length` about `centre` within a background side of `side`, cut to it when
// it is longer.
void PlaceSpan(std::int32_t centre, std::int32_t side, std::int32_t& start, std::int32_t& length) {
  std::int64_t from = std::int64_t{centre} - length / 2;
  if (from < 0) {
    from = 0;
    length = std::min(length, side);
  }
  if (from + length > side) {
    from = std::int64_t{side} - length;
    if (from < 0) {
      from = 0;
      length = side;
    }
  }
  start = static_cast<std::int32_t>(from);
}

// The layer's background and target, or null when either is missing.
CImage* BackgroundOf(const CDrawLayer& layer) {
  CImage* background = nullptr;
  layer.GetBackground(&background, nullptr, nullptr, nullptr, nullptr, nullptr);
  return layer.GetTarget() != nullptr ? background : nullptr;
}

std::int32_t Round(double value) { return TruncateToInt32(value + 0.5); }

}  // namespace

plat::Rect ToRect(const ZoomRect& rect) {
  const auto edge = [](std::int32_t start, std::int32_t length) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{start} + length, INT32_MIN, INT32_MAX));
  };
  return {rect.x, rect.y, edge(rect.x, rect.width), edge(rect.y, rect.height)};
}

std::uint32_t ComputeZoomSource(const CDrawLayer* layer, std::int32_t centre_x, std::int32_t centre_y, double zoom,
                                ZoomRect& out) {
  if (layer == nullptr || zoom == 0.0) return kZoomSourceNoLayer;
  const CImage* background = BackgroundOf(*layer);
  if (background == nullptr) return kZoomSourceNoImage;
  const CImage& target = *layer->GetTarget();
  ZoomRect rect;
  rect.width = TruncateToInt32(target.GetWidth() / zoom);
  rect.height = TruncateToInt32(target.GetHeight() / zoom);
  PlaceSpan(centre_x, background->GetWidth(), rect.x, rect.width);
  PlaceSpan(centre_y, background->GetHeight(), rect.y, rect.height);
  out = rect;
  return kZoomSourceOk;
}

std::uint32_t ComputeZoomRotateSource(const CDrawLayer* layer, std::int32_t centre_x, std::int32_t centre_y,
                                      double zoom, double angle, ZoomRect& out) {
  if (layer == nullptr || zoom == 0.0) return kZoomSourceNoLayer;
  const CImage* background = BackgroundOf(*layer);
  if (background == nullptr) return kZoomSourceNoImage;
  const double cx = centre_x;
  const double cy = centre_y;
  if (angle == 0.0) {
    out = {Round(cx - cx / zoom), Round(cy - cy / zoom), Round(background->GetWidth() / zoom),
           Round(background->GetHeight() / zoom)};
    return kZoomSourceOk;
  }
  if (g_TrigTable == nullptr) return kZoomSourceNoTrigTables;
  if (!g_TrigTable->EnsureCosTable()) return kZoomSourceNoCosines;
  const std::int32_t steps = TruncateToInt32(angle * -512.0);
  const double c = g_TrigTable->double_cosine[static_cast<std::uint32_t>(steps) & 511];
  const double n = g_TrigTable->double_cosine[(static_cast<std::uint32_t>(steps) - 128) & 511];
  std::int32_t anchor_x = 0;
  std::int32_t anchor_y = 0;
  layer->GetBackgroundAnchor(&anchor_x, &anchor_y);
  const double dx = cx - anchor_x;
  const double dy = cy - anchor_y;
  out = {TruncateToInt32(dx - (dx * c + dy * n) * zoom), TruncateToInt32((dx * n - dy * c - 1.0) * zoom + dy), steps,
         0};
  return kZoomSourceOk;
}

bool ShowZoomRotateView(CDrawLayer& layer, const ZoomRect& view, double zoom, double angle) {
  if (angle != 0.0) return layer.SetBackgroundRotoZoom(view.x, view.y, view.width, zoom);
  if (view.width <= 0 || view.height <= 0 || layer.GetTarget() == nullptr) return false;
  const plat::Rect source = ToRect(view);
  return layer.SetBackgroundArea(0, 0, layer.GetTarget()->GetWidth(), layer.GetTarget()->GetHeight(), &source);
}

void StoreZoomRect(const PluginArgs& args, std::uint32_t first, const ZoomRect& rect) {
  const std::int32_t values[] = {rect.x, rect.y, rect.width, rect.height};
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (auto* out = ArgOut<std::int32_t>(args, first + i)) *out = values[i];
  }
}
