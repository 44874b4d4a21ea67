// Mapping a source image onto a quadrilateral of this one, plainly or blended at a level, and
// the rotations, which map the turned and scaled source rectangle.
#include <algorithm>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "pixel/kernels/parallelogram_vector_copy.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

// The kernels sample the source through its row table, within its clip rectangle.
class ImageQuadSource final : public QuadMapSource {
 public:
  explicit ImageQuadSource(CImage& image) : image_(image) {}
  uint8_t* const* GetRowTable() const override { return image_.GetRowTable(); }
  uint32_t BuildRowTable() override { return image_.BuildRowTable(); }
  plat::Rect SampleRect() const override {
    plat::Rect rect;
    image_.GetClipRect(&rect);
    return rect;
  }

 private:
  CImage& image_;
};

int32_t Saturated(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// (hi - lo) × scale >> 16 for a 16.16 scale; extents past any image are held where the turning
// products still fit in 64 bits.
int64_t ScaledExtent(int32_t lo, int32_t hi, uint32_t scale) {
  __extension__ using Wide = __int128;
  constexpr int64_t kLimit = int64_t{1} << 40;
  const Wide scaled = (Wide{int64_t{hi} - lo} * scale) >> 16;
  return static_cast<int64_t>(std::clamp<Wide>(scaled, -kLimit, kLimit));
}

// The pixel positions of a rectangle's corners (an edge at the bottom of the range stays there).
QuadCorners CornersOf(const plat::Rect& rect) {
  const int32_t last_x = Saturated(int64_t{rect.right} - 1);
  const int32_t last_y = Saturated(int64_t{rect.bottom} - 1);
  return {QuadCorner{rect.left, rect.top}, QuadCorner{last_x, rect.top}, QuadCorner{rect.left, last_y},
          QuadCorner{last_x, last_y}};
}

plat::Rect BoundingBox(const QuadCorners& quad) {
  plat::Rect box{quad[0].x, quad[0].y, quad[0].x, quad[0].y};
  for (const QuadCorner& corner : quad) {
    box.left = std::min(box.left, corner.x);
    box.top = std::min(box.top, corner.y);
    box.right = std::max(box.right, corner.x);
    box.bottom = std::max(box.bottom, corner.y);
  }
  return box;
}

}  // namespace

uint32_t CImage::MapQuad(CImage* src, const QuadCorners& dst_quad, const QuadCorners& src_quad, const plat::Rect* clip,
                         uint32_t step_flag) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  const QuadMapTarget target{reinterpret_cast<uint32_t*>(GetPixels()), GetPitch(), GetWidth(), GetHeight()};
  plat::Rect area;
  if (clip != nullptr) {
    area = *clip;
  } else {
    GetClipRect(&area);
  }
  ImageQuadSource source(*src);
  const uint32_t key = src->GetColorKey();
  const uint32_t result = key != kNoColorKey
                              ? MapQuad32Key(target, source, dst_quad, src_quad, area, step_flag, key)
                              : MapQuad32(target, source, dst_quad, src_quad, area, step_flag);
  if (result != 0) return 2;
  MarkQuad(dst_quad);
  return 0;
}

uint32_t CImage::MapRectToQuad(CImage* src, const QuadCorners& dst_quad, const plat::Rect* src_rect,
                               const plat::Rect* clip) {
  if (!HasPixelsFrom(src)) return 1;
  plat::Rect source;
  if (src_rect != nullptr) {
    source = *src_rect;
  } else {
    src->GetClipRect(&source);
  }
  return MapQuad(src, dst_quad, CornersOf(source), clip, 0);
}

uint32_t CImage::MapQuadToRect(CImage* src, const QuadCorners& src_quad, const plat::Rect* dst_rect,
                               const plat::Rect* clip) {
  if (!HasPixelsFrom(src)) return 1;
  plat::Rect dest;
  if (dst_rect != nullptr) {
    dest = *dst_rect;
  } else {
    GetClipRect(&dest);
  }
  return MapQuad(src, CornersOf(dest), src_quad, clip, 1);
}

uint32_t CImage::MapQuadBlend(CImage* src, const QuadCorners& dst_quad, const QuadCorners& src_quad, uint8_t level,
                              const plat::Rect* clip, uint32_t step_flag) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  const QuadMapTarget target{reinterpret_cast<uint32_t*>(GetPixels()), GetPitch(), GetWidth(), GetHeight()};
  plat::Rect area;
  if (clip != nullptr) {
    area = *clip;
  } else {
    GetClipRect(&area);
  }
  ImageQuadSource source(*src);
  const uint8_t* level_row = g_PixelTables.product[level];
  const uint32_t result = (g_CpuHasMmx != 0 ? MapQuadAlphaLevel32Mmx : MapQuadAlphaLevel32)(
      target, source, dst_quad, src_quad, area, step_flag, level_row);
  if (result != 0) return 2;
  MarkQuad(dst_quad);
  return 0;
}

uint32_t CImage::MapParallelogram(CImage* src, const Parallelogram& at, const uint8_t* level) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  const QuadMapTarget target{reinterpret_cast<uint32_t*>(GetPixels()), GetPitch(), GetWidth(), GetHeight()};
  plat::Rect clip;
  GetClipRect(&clip);
  ImageQuadSource source(*src);
  const uint32_t key = src->GetColorKey();
  plat::Rect drawn;
  uint32_t result = 0;
  if (level != nullptr) {
    const uint8_t* level_row = g_PixelTables.product[*level];
    result = (g_CpuHasMmx != 0 ? MapParallelogramAlphaLevel32Mmx : MapParallelogramAlphaLevel32)(target, source, at,
                                                                                                  clip, drawn, level_row);
  } else if (key != kNoColorKey) {
    result = MapParallelogram32Key(target, source, at, clip, drawn, key);
  } else {
    result = (g_CpuHasMmx != 0 ? MapParallelogram32Mmx : MapParallelogram32)(target, source, at, clip, drawn);
  }
  if (result != 0) return 2;
  if (drawn.left < drawn.right) MarkChanged(drawn);
  return 0;
}

void CImage::MarkQuad(const QuadCorners& quad) {
  // The kernels never draw a span's right end or the bottom corner's row, so the box whose
  // exclusive edges are the largest coordinates holds every written pixel.
  plat::Rect box = BoundingBox(quad);
  if (ClipRect(&box) && box.left < box.right && box.top < box.bottom) MarkChanged(box);
}

uint32_t CImage::RotateCopy(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale,
                            const plat::Rect* src_rect, const plat::Rect* clip) {
  return RotatePass(src, anchor, x, y, angle, scale, src_rect, clip, nullptr);
}

uint32_t CImage::RotateBlend(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale,
                             uint8_t level, const plat::Rect* src_rect, const plat::Rect* clip) {
  return RotatePass(src, anchor, x, y, angle, scale, src_rect, clip, &level);
}

uint32_t CImage::RotatePass(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale,
                            const plat::Rect* src_rect, const plat::Rect* clip, const uint8_t* level) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32) || g_TrigTable == nullptr) return 2;
  plat::Rect source;
  if (src_rect != nullptr) {
    source = *src_rect;
  } else {
    src->GetBounds(&source);
  }
  const int64_t width = ScaledExtent(source.left, source.right, scale);
  const int64_t height = ScaledExtent(source.top, source.bottom, scale);
  // The pivot inside the scaled rectangle; anchors past the centre take the top-left one.
  int64_t pivot_x = 0;
  int64_t pivot_y = 0;
  if (anchor == 1 || anchor == 3) pivot_x = width;
  if (anchor == 2 || anchor == 3) pivot_y = height;
  if (anchor == 4) {
    pivot_x = width / 2;
    pivot_y = height / 2;
  }
  if (CPixelLibrary* library = ActivePixelLib(); library != nullptr && src->GetColorKey() == kNoColorKey) {
    return LibraryRotation(*library, *src, source, {x, y, angle, width, height, pivot_x, pivot_y}, level);
  }
  const int64_t cosine = g_TrigTable->cosine[static_cast<uint32_t>(angle) & 511];
  const int64_t sine = g_TrigTable->cosine[(static_cast<uint32_t>(angle) - 128) & 511];
  const auto turned = [&](int64_t corner_x, int64_t corner_y) {
    const int64_t dx = corner_x - pivot_x;
    const int64_t dy = corner_y - pivot_y;
    return QuadCorner{Saturated(x + ((dx * cosine - dy * sine) >> 16)), Saturated(y + ((dx * sine + dy * cosine) >> 16))};
  };
  const QuadCorners quad = {turned(0, 0), turned(width, 0), turned(0, height), turned(width, height)};
  if (level != nullptr) return MapQuadBlend(src, quad, CornersOf(source), *level, clip, 0);
  return MapRectToQuad(src, quad, &source, clip);
}

// The library turns the three corners top-left, top-right and bottom-left in double precision.
uint32_t CImage::LibraryRotation(CPixelLibrary& library, CImage& src, const plat::Rect& source,
                                 const RotationPlacement& at, const uint8_t* level) {
  if (!g_TrigTable->EnsureCosTable()) return 2;
  const double cosine = g_TrigTable->double_cosine[static_cast<uint32_t>(at.angle) & 511];
  const double sine = g_TrigTable->double_cosine[(static_cast<uint32_t>(at.angle) - 128) & 511];
  const auto turned = [&](int64_t corner_x, int64_t corner_y) {
    const auto dx = static_cast<double>(corner_x - at.pivot_x);
    const auto dy = static_cast<double>(corner_y - at.pivot_y);
    return PixelTransformArgs::Point{at.x + dx * cosine - dy * sine, at.y + dx * sine + dy * cosine};
  };
  PixelTransformArgs args;
  args.points[0] = turned(0, 0);
  args.points[1] = turned(at.width, 0);
  args.points[2] = turned(0, at.height);
  args.src_rect = &source;
  if (level != nullptr) {
    // A blend at 255 still goes by the source alpha.
    args.mode = kPixelBlendAlpha;
    args.level = *level;
  }
  const PixelRoutineResult result = library.Routines().transform(*this, src, args);
  if (!result.ok) return 2;
  MarkRoutineChanges(result.changed);
  return 0;
}
