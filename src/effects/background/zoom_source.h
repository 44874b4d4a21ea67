// Which part of a layer's background a zoom (and a turn) shows: the source rectangle that the
// background effects and the novel frame hand to the layer's area or roto-zoom view.
#pragma once

#include <cstdint>

#include "resource/plugins/plugin_args.h"

#include "platform/system/geometry.h"

class CDrawLayer;

// Results of the two computations.
inline constexpr std::uint32_t kZoomSourceOk = 0;
inline constexpr std::uint32_t kZoomSourceNoLayer = 1;  // also for zoom 0
inline constexpr std::uint32_t kZoomSourceNoImage = 2;  // no background or target image
inline constexpr std::uint32_t kZoomSourceNoTrigTables = 3;
inline constexpr std::uint32_t kZoomSourceNoCosines = 4;

struct ZoomRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The rectangle's left, top, right and bottom, the far edges held within the 32-bit range.
plat::Rect ToRect(const ZoomRect& rect);

// The rectangle of the background that fills the target at `zoom` about (centre x, centre y):
// the target's size divided by the zoom, centred on the point and moved (then cut) to lie
// within the background.
std::uint32_t ComputeZoomSource(const CDrawLayer* layer, std::int32_t centre_x, std::int32_t centre_y, double zoom,
                                ZoomRect& out);

// The view of the background at `zoom` turned by `angle` turns about (centre x, centre y).
// Unturned: the area (x, y, width, height) in `out`. Turned: x and y of the roto-zoom view, the
// angle in table steps (512 a turn, counted the other way) as width, and height 0, which marks
// the turned form.
std::uint32_t ComputeZoomRotateSource(const CDrawLayer* layer, std::int32_t centre_x, std::int32_t centre_y,
                                      double zoom, double angle, ZoomRect& out);

// The view above for `angle` shown on the layer: a turned one (angle not 0) as its roto-zoom at
// `zoom`, an unturned one as its area over the whole target. True when the layer drew it; false
// for an unturned view with no size, or when the layer refuses.
bool ShowZoomRotateView(CDrawLayer& layer, const ZoomRect& view, double zoom, double angle);

// Writes x, y, width and height through the four optional int32_t pointers of the argument list
// from `first` on.
void StoreZoomRect(const PluginArgs& args, std::uint32_t first, const ZoomRect& rect);
