#include "gfx/images/blit_clipping.h"

#include <algorithm>

namespace {

// One axis of a pass: the source span read and the destination span written, half open.
struct Axis {
  int64_t source_lo = 0;
  int64_t source_hi = 0;
  int64_t dest_lo = 0;
  int64_t dest_hi = 0;
};

// The axis as the caller gives it: the position, the source span, the two clip spans, and
// whether the pass runs the source backwards along it.
struct AxisRequest {
  int64_t position;
  int32_t source_lo;
  int32_t source_hi;
  int32_t clip_lo;
  int32_t clip_hi;
  int32_t dest_clip_lo;
  int32_t dest_clip_hi;
  bool reversed;
};

// Cuts the source span to its clip; the placement moves by the cut of the side that lands first.
// The axis is written field by field: a whole returned record, copied out in wide loads right
// after its narrow stores, stalls every small pass on the store forwarding.
void CutSourceToClip(const AxisRequest& request, Axis& axis) {
  const int64_t cut_lo = std::max<int64_t>(0, int64_t{request.clip_lo} - request.source_lo);
  const int64_t cut_hi = std::max<int64_t>(0, int64_t{request.source_hi} - request.clip_hi);
  axis.source_lo = request.source_lo + cut_lo;
  axis.source_hi = request.source_hi - cut_hi;
  axis.dest_lo = request.position + (request.reversed ? cut_hi : cut_lo);
  axis.dest_hi = 0;
}

bool ClipAxis(const AxisRequest& request, Axis& axis) {
  CutSourceToClip(request, axis);
  if (axis.source_hi <= axis.source_lo) return false;
  axis.dest_hi = axis.dest_lo + (axis.source_hi - axis.source_lo);
  const int64_t cut_start = std::max<int64_t>(0, request.dest_clip_lo - axis.dest_lo);
  const int64_t cut_end = std::max<int64_t>(0, axis.dest_hi - request.dest_clip_hi);
  axis.dest_lo += cut_start;
  axis.dest_hi -= cut_end;
  if (request.reversed) {
    axis.source_hi -= cut_start;
    axis.source_lo += cut_end;
  } else {
    axis.source_lo += cut_start;
    axis.source_hi -= cut_end;
  }
  return axis.source_lo < axis.source_hi;
}

struct AxisStep {
  int32_t acc;
  int32_t rem;
  int32_t den;
  int32_t whole;
};

// The kernel reads a pixel, then moves xStep pixels and one more whenever the accumulator,
// started at -size - 1 and raised by the remainder each pixel, reaches zero (taking size off
// again). A cut of d pixels on the near side starts the source and the accumulator where those
// d steps would have left them, so the clipped pass reads what the unclipped one reads there.
bool ClipStretchedAxis(const AxisRequest& request, int32_t size, Axis& axis, AxisStep& step) {
  if (size < 1) return false;
  CutSourceToClip(request, axis);
  const int64_t width = axis.source_hi - axis.source_lo;
  if (width <= 0) return false;
  const int64_t whole = width / size;
  const int64_t remainder = width % size;
  int64_t acc = -int64_t{size} - 1;
  axis.dest_hi = axis.dest_lo + size;
  const int64_t cut = int64_t{request.dest_clip_lo} - axis.dest_lo;
  if (cut > 0) {
    const int64_t raised = remainder * cut;
    const int64_t carries = raised >= 1 ? (raised - 1) / size : 0;
    const int64_t advance = whole * cut + carries;
    acc += raised - size * carries;
    if (request.reversed) {
      axis.source_hi -= advance;
    } else {
      axis.source_lo += advance;
    }
    axis.dest_lo = request.dest_clip_lo;
  }
  axis.dest_hi = std::min<int64_t>(axis.dest_hi, request.dest_clip_hi);
  if (axis.dest_hi <= axis.dest_lo || axis.source_hi <= axis.source_lo) return false;
  step = {static_cast<int32_t>(acc), static_cast<int32_t>(remainder), size, static_cast<int32_t>(whole)};
  return true;
}

plat::Rect RectOf(const Axis& x, const Axis& y, bool dest) {
  return dest ? plat::Rect{static_cast<int32_t>(x.dest_lo), static_cast<int32_t>(y.dest_lo),
                           static_cast<int32_t>(x.dest_hi), static_cast<int32_t>(y.dest_hi)}
              : plat::Rect{static_cast<int32_t>(x.source_lo), static_cast<int32_t>(y.source_lo),
                           static_cast<int32_t>(x.source_hi), static_cast<int32_t>(y.source_hi)};
}

std::pair<AxisRequest, AxisRequest> Requests(const BlitPlacement& placement, const plat::Rect& source_clip,
                                             const plat::Rect& dest_clip) {
  const plat::Rect source = placement.source_rect != nullptr ? *placement.source_rect : source_clip;
  return {AxisRequest{placement.x, source.left, source.right, source_clip.left, source_clip.right, dest_clip.left,
                      dest_clip.right, placement.mirror},
          AxisRequest{placement.y, source.top, source.bottom, source_clip.top, source_clip.bottom, dest_clip.top,
                      dest_clip.bottom, placement.flip}};
}

// Sample positions in 32.32 fixed point over any int32 span, and the products of such
// positions with destination counts, need more than 64 bits.
__extension__ using Wide = __int128;

// The filtered stretch along one axis: the destination span and the first sample in 32.32.
struct FixedAxis {
  int64_t dest_lo;
  int64_t dest_hi;
  Wide first_sample;
  uint64_t step;
};

Wide CeilDiv(Wide a, Wide b) { return a > 0 ? (a + b - 1) / b : a / b; }

bool ClipFixedAxis(int32_t source_lo, int32_t source_hi, int32_t dest_lo, int32_t dest_hi, int32_t clip_lo,
                   int32_t clip_hi, int32_t dest_clip_lo, int32_t dest_clip_hi, FixedAxis& out) {
  // Right and bottom edges one pixel in.
  const int64_t source_span = int64_t{source_hi} - 1 - source_lo;
  const int64_t dest_span = int64_t{dest_hi} - 1 - dest_lo;
  if (source_span <= 0 || dest_span <= 0) return false;
  const uint64_t step = (static_cast<uint64_t>(source_span) << 32) / static_cast<uint64_t>(dest_span);
  // Pixel i samples source_lo + i × step; it reads the sample's pixel and the next, so the
  // sample must lie in [clip_lo, clip_hi - 1).
  Wide begin = 0;
  Wide end = dest_span;
  if (source_lo < clip_lo) begin = CeilDiv(static_cast<Wide>(int64_t{clip_lo} - source_lo) << 32, step);
  const Wide room = static_cast<Wide>(int64_t{clip_hi} - 1 - source_lo) << 32;
  if (room <= 0) return false;
  end = std::min(end, CeilDiv(room, step));
  begin = std::max<Wide>(begin, int64_t{dest_clip_lo} - dest_lo);
  end = std::min<Wide>(end, int64_t{dest_clip_hi} - dest_lo);
  if (end <= begin) return false;
  out.dest_lo = dest_lo + static_cast<int64_t>(begin);
  out.dest_hi = dest_lo + static_cast<int64_t>(end);
  out.first_sample = (static_cast<Wide>(source_lo) << 32) + begin * step;
  out.step = step;
  return true;
}

}  // namespace

bool ClipBlt(const BlitPlacement& placement, const plat::Rect& source_clip, const plat::Rect& dest_clip, BlitClip& out) {
  const auto [x_request, y_request] = Requests(placement, source_clip, dest_clip);
  Axis x;
  Axis y;
  if (!ClipAxis(x_request, x) || !ClipAxis(y_request, y)) return false;
  out = {RectOf(x, y, false), RectOf(x, y, true)};
  return true;
}

bool ClipStretchBlt(const BlitPlacement& placement, ImageSize size, const plat::Rect& source_clip,
                    const plat::Rect& dest_clip, BlitClip& out, StretchStep& step) {
  const auto [x_request, y_request] = Requests(placement, source_clip, dest_clip);
  Axis x;
  Axis y;
  AxisStep x_step{};
  AxisStep y_step{};
  if (!ClipStretchedAxis(x_request, size.width, x, x_step) || !ClipStretchedAxis(y_request, size.height, y, y_step)) {
    return false;
  }
  out = {RectOf(x, y, false), RectOf(x, y, true)};
  step = {x_step.acc, x_step.rem, x_step.den, x_step.whole, y_step.acc, y_step.rem, y_step.den, y_step.whole};
  return true;
}

bool ClipStretchFixed(const plat::Rect& source, const plat::Rect& dest, const plat::Rect& source_clip,
                      const plat::Rect& dest_clip, BlitClip& out, BilinearStep& step) {
  FixedAxis x{};
  FixedAxis y{};
  if (!ClipFixedAxis(source.left, source.right, dest.left, dest.right, source_clip.left, source_clip.right,
                     dest_clip.left, dest_clip.right, x) ||
      !ClipFixedAxis(source.top, source.bottom, dest.top, dest.bottom, source_clip.top, source_clip.bottom,
                     dest_clip.top, dest_clip.bottom, y)) {
    return false;
  }
  const auto whole = [](Wide sample) { return static_cast<int32_t>(sample >> 32); };
  const auto fraction = [](Wide sample) { return static_cast<uint32_t>(static_cast<uint64_t>(sample)); };
  out.source = {whole(x.first_sample), whole(y.first_sample), whole(x.first_sample) + 1, whole(y.first_sample) + 1};
  out.dest = {static_cast<int32_t>(x.dest_lo), static_cast<int32_t>(y.dest_lo), static_cast<int32_t>(x.dest_hi),
              static_cast<int32_t>(y.dest_hi)};
  step = {fraction(x.first_sample), fraction(y.first_sample), static_cast<uint32_t>(x.step),
          static_cast<int32_t>(x.step >> 32), static_cast<uint32_t>(y.step), static_cast<int32_t>(y.step >> 32)};
  return true;
}
