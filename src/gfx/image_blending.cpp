// The blending compositing operations: by the source alpha, at a level, by weights, by the
// three arithmetic modes, and the level blend that keeps transparent pixels apart.
#include <iterator>

#include "gfx/blit_pass.h"
#include "gfx/image.h"
#include "pixel/arithmetic_kernels.h"
#include "pixel/blend_kernels.h"
#include "pixel/pixel_kernel_choice.h"

namespace {

constexpr uint32_t EveryByte(uint8_t value) { return value * 0x01010101u; }

}  // namespace

uint32_t CImage::AlphaBlend(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip) {
  return AlphaBlendPass(src, {{x, y, src_rect, false, flip}, nullptr});
}

uint32_t CImage::StretchAlphaBlend(CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                   const plat::Rect* src_rect, bool flip) {
  const ImageSize stretched = SizeOr(size);
  return AlphaBlendPass(src, {{x, y, src_rect, false, flip}, &stretched});
}

uint32_t CImage::AlphaBlendMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return AlphaBlendPass(src, {MirroredPlacement(mode, x, y, src_rect), nullptr});
}

uint32_t CImage::StretchAlphaBlendMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                           const plat::Rect* src_rect) {
  const ImageSize stretched = SizeOr(size);
  return AlphaBlendPass(src, {MirroredPlacement(mode, x, y, src_rect), &stretched});
}

uint32_t CImage::AlphaBlendPass(CImage* src, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  const bool mmx = g_CpuHasMmx != 0;
  using P = uint32_t;
  if (pass.mirrored) {
    pass.Run<P, P>(mmx ? AlphaBlend32MirrorMmx : AlphaBlend32Mirror,
                   mmx ? AlphaBlend32MirrorStretchMmx : AlphaBlend32MirrorStretch);
  } else {
    pass.Run<P, P>(mmx ? AlphaBlend32Mmx : AlphaBlend32, mmx ? AlphaBlend32StretchMmx : AlphaBlend32Stretch);
  }
  MarkChanged(dest_rect_);
  return 0;
}

uint32_t CImage::BlendLevel(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return LevelPass(src, level, {{x, y, src_rect, false, false}, nullptr});
}

uint32_t CImage::StretchBlendLevel(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                   const plat::Rect* src_rect) {
  const ImageSize stretched = SizeOr(size);
  return LevelPass(src, level, {{x, y, src_rect, false, false}, &stretched});
}

// The portable members are the weighted blends with weights 255 - level and level.
uint32_t CImage::LevelPass(CImage* src, uint8_t level, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  if (level == 0) return 0;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  const uint32_t key = src->GetColorKey();
  const uint32_t dw = EveryByte(static_cast<uint8_t>(255 - level));
  const uint32_t sw = EveryByte(level);
  using P = uint32_t;
  if (g_CpuHasMmx != 0) {
    if (key != kNoColorKey) {
      pass.Run<P, P>([&](auto... a) { BlendLevel32KeyMmx(a..., level, key); },
                     [&](auto... a) { BlendLevel32StretchKeyMmx(a..., level, key); });
    } else {
      pass.Run<P, P>([&](auto... a) { BlendLevel32Mmx(a..., level); },
                     [&](auto... a) { BlendLevel32StretchMmx(a..., level); });
    }
  } else if (key != kNoColorKey) {
    pass.Run<P, P>([&](auto... a) { BlendWeighted32Key(a..., key, dw, sw); },
                   [&](auto... a) { BlendWeighted32StretchKey(a..., key, dw, sw); });
  } else {
    pass.Run<P, P>([&](auto... a) { BlendWeighted32(a..., dw, sw); },
                   [&](auto... a) { BlendWeighted32Stretch(a..., dw, sw); });
  }
  MarkChanged(dest_rect_);
  return 0;
}

uint32_t CImage::BlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, int32_t x, int32_t y,
                               const plat::Rect* src_rect) {
  return WeightedPass(src, dst_weights, src_weights, {{x, y, src_rect, false, false}, nullptr});
}

uint32_t CImage::StretchBlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, const ImageSize* size,
                                      int32_t x, int32_t y, const plat::Rect* src_rect) {
  const ImageSize stretched = SizeOr(size);
  return WeightedPass(src, dst_weights, src_weights, {{x, y, src_rect, false, false}, &stretched});
}

uint32_t CImage::WeightedPass(CImage* src, uint32_t dst_weights, uint32_t src_weights, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  if (src_weights == 0) return 0;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  const bool mmx = g_CpuHasMmx != 0;
  const uint32_t key = src->GetColorKey();
  using P = uint32_t;
  if (key != kNoColorKey) {
    pass.Run<P, P>(
        [&](auto... a) { (mmx ? BlendWeighted32KeyMmx : BlendWeighted32Key)(a..., key, dst_weights, src_weights); },
        [&](auto... a) {
          (mmx ? BlendWeighted32StretchKeyMmx : BlendWeighted32StretchKey)(a..., key, dst_weights, src_weights);
        });
  } else {
    pass.Run<P, P>([&](auto... a) { (mmx ? BlendWeighted32Mmx : BlendWeighted32)(a..., dst_weights, src_weights); },
                   [&](auto... a) {
                     (mmx ? BlendWeighted32StretchMmx : BlendWeighted32Stretch)(a..., dst_weights, src_weights);
                   });
  }
  MarkChanged(dest_rect_);
  return 0;
}

uint32_t CImage::BlendByMode(uint8_t mode, CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ModePass(mode, src, {{x, y, src_rect, false, false}, nullptr});
}

uint32_t CImage::StretchBlendByMode(uint8_t mode, CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                    const plat::Rect* src_rect) {
  const ImageSize stretched = SizeOr(size);
  return ModePass(mode, src, {{x, y, src_rect, false, false}, &stretched});
}

namespace {

using OneToOne32 = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t);
using Stretched32 = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const StretchStep&);
using OneToOne32Key = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, uint32_t);
using Stretched32Key = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const StretchStep&,
                                uint32_t);

// The eight members of one arithmetic mode: portable, vector, keyed and keyed vector, one to one
// and stretched.
struct ModeMembers {
  OneToOne32 one[2];
  Stretched32 stretched[2];
  OneToOne32Key one_key[2];
  Stretched32Key stretched_key[2];
};

constexpr ModeMembers kModes[] = {
    {{Average32, Average32Mmx},
     {Average32Stretch, Average32StretchMmx},
     {Average32Key, Average32KeyMmx},
     {Average32StretchKey, Average32StretchKeyMmx}},
    {{AddSat32, AddSat32Mmx},
     {AddSat32Stretch, AddSat32StretchMmx},
     {AddSat32Key, AddSat32KeyMmx},
     {AddSat32StretchKey, AddSat32StretchKeyMmx}},
    {{SubSat32, SubSat32Mmx},
     {SubSat32Stretch, SubSat32StretchMmx},
     {SubSat32Key, SubSat32KeyMmx},
     {SubSat32StretchKey, SubSat32StretchKeyMmx}},
};

}  // namespace

uint32_t CImage::ModePass(uint8_t mode, CImage* src, const BlitRequest& request) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  if (mode >= std::size(kModes)) return 1;
  BlitPass pass;
  if (!PlanBlit(*src, request, pass)) return 0;
  const ModeMembers& members = kModes[mode];
  const int vector = g_CpuHasMmx != 0 ? 1 : 0;
  const uint32_t key = src->GetColorKey();
  using P = uint32_t;
  if (key != kNoColorKey) {
    pass.Run<P, P>([&](auto... a) { members.one_key[vector](a..., key); },
                   [&](auto... a) { members.stretched_key[vector](a..., key); });
  } else {
    pass.Run<P, P>(members.one[vector], members.stretched[vector]);
  }
  MarkChanged(dest_rect_);
  return 0;
}

uint32_t CImage::BlendLevelClearAware(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  if (!HasPixelsFrom(src)) return 1;
  if (!IsDepthPair(src, 32, 32)) return 2;
  if (level == 0) return 0;
  if (level == 255) return Copy(src, x, y, src_rect, false);
  BlitPass pass;
  if (!PlanBlit(*src, {{x, y, src_rect, false, false}, nullptr}, pass)) return 0;
  BlendLevelClearAware32(reinterpret_cast<uint32_t*>(pass.dst), reinterpret_cast<const uint32_t*>(pass.src),
                         pass.dst_skip, pass.src_skip_or_pitch, pass.width, pass.height, level);
  MarkChanged(dest_rect_);
  return 0;
}
