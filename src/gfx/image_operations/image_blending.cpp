// The blending compositing operations: by the source alpha, at a level, by weights, by the
// three arithmetic modes, by the source alpha through a level row, scaled sums, a colour through
// a mask, and the level blend that keeps transparent pixels apart.
#include <iterator>

#include "gfx/image_operations/blit_pass.h"
#include "gfx/images/image.h"
#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/alpha_run_blend.h"
#include "pixel/kernels/arithmetic_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/masked_colour_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

constexpr uint32_t EveryByte(uint8_t value) { return value * 0x01010101u; }


}  // namespace

uint32_t CImage::AlphaBlend(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip) {
  return AlphaBlendPass(src, {{x, y, src_rect, false, flip}, std::nullopt, LibraryBlend{2, 255}});
}

uint32_t CImage::StretchAlphaBlend(CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                   const plat::Rect* src_rect, bool flip) {
  return AlphaBlendPass(src, {{x, y, src_rect, false, flip}, SizeOr(size), LibraryBlend{2, 255}});
}

uint32_t CImage::AlphaBlendMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return AlphaBlendPass(src, {MirroredPlacement(mode, x, y, src_rect)});
}

uint32_t CImage::StretchAlphaBlendMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                           const plat::Rect* src_rect) {
  return AlphaBlendPass(src, {MirroredPlacement(mode, x, y, src_rect), SizeOr(size)});
}

// Every alpha blend leaves alpha 0 where it drew, which this image's map, where it has one, keeps.
// A plain pass over a source with a map walks the source's runs.
uint32_t CImage::AlphaBlendPass(CImage* src, const BlitRequest& request) {
  std::unique_ptr<AlphaRunMap> kept_runs;
  const uint32_t status = RunPass(src, 32, 32, kDraw, request, [&](const BlitPass& pass) {
    kept_runs = TakeAlphaRuns();
    const bool mmx = g_CpuHasMmx != 0;
    using P = uint32_t;
    const AlphaRunMap* source_runs =
        pass.stretched || pass.mirrored || request.placement.flip || src == this ? nullptr : src->SourceAlphaRuns(source_rect_);
    if (source_runs != nullptr && source_runs->HasClearOrOpaqueRuns()) {
      pass.Run<P, P>([&](auto... a) {
        (mmx ? AlphaBlend32RunsMmx : AlphaBlend32Runs)(a..., {source_runs, source_rect_.left, source_rect_.top},
                                                       {kept_runs.get(), dest_rect_.left, dest_rect_.top});
      });
    } else if (pass.mirrored) {
      pass.Run<P, P>(mmx ? AlphaBlend32MirrorMmx : AlphaBlend32Mirror,
                     mmx ? AlphaBlend32MirrorStretchMmx : AlphaBlend32MirrorStretch);
    } else {
      pass.Run<P, P>(mmx ? AlphaBlend32Mmx : AlphaBlend32, mmx ? AlphaBlend32StretchMmx : AlphaBlend32Stretch);
    }
    if (kept_runs != nullptr) {
      kept_runs->MarkClear(dest_rect_.left, dest_rect_.top, dest_rect_.Width(), dest_rect_.Height());
    }
  });
  if (kept_runs != nullptr) PutAlphaRuns(std::move(kept_runs));
  return status;
}

// A blend at level 255 is a copy, alpha bytes included, as the library's blend at 255 is.
uint32_t CImage::BlendLevel(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  if (level == 255 && HasPixelsFrom(src) && IsDepthPair(src, 32, 32)) return Copy(src, x, y, src_rect, false);
  return LevelPass(src, level, {{x, y, src_rect, false, false}, std::nullopt, LibraryBlend{0, level, true}});
}

uint32_t CImage::StretchBlendLevel(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                   const plat::Rect* src_rect) {
  if (level == 255 && HasPixelsFrom(src) && IsDepthPair(src, 32, 32)) {
    return StretchCopy(src, size, x, y, src_rect, false);
  }
  return LevelPass(src, level, {{x, y, src_rect, false, false}, SizeOr(size), LibraryBlend{0, level, true}});
}

// The portable members are the weighted blends with weights 255 - level and level.
uint32_t CImage::LevelPass(CImage* src, uint8_t level, const BlitRequest& request) {
  const uint32_t key = src != nullptr ? src->GetColorKey() : kNoColorKey;
  return RunPass(src, 32, 32, level == 0 ? 0 : kDraw, request, [&](const BlitPass& pass) {
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
  });
}

uint32_t CImage::BlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, int32_t x, int32_t y,
                               const plat::Rect* src_rect) {
  return WeightedPass(src, dst_weights, src_weights, {{x, y, src_rect, false, false}});
}

uint32_t CImage::StretchBlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, const ImageSize* size,
                                      int32_t x, int32_t y, const plat::Rect* src_rect) {
  return WeightedPass(src, dst_weights, src_weights, {{x, y, src_rect, false, false}, SizeOr(size)});
}

uint32_t CImage::WeightedPass(CImage* src, uint32_t dst_weights, uint32_t src_weights, const BlitRequest& request) {
  const uint32_t key = src != nullptr ? src->GetColorKey() : kNoColorKey;
  return RunPass(src, 32, 32, src_weights == 0 ? 0 : kDraw, request, [&](const BlitPass& pass) {
    const bool mmx = g_CpuHasMmx != 0;
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
  });
}

uint32_t CImage::BlendByMode(uint8_t mode, CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ModePass(mode, src, {{x, y, src_rect, false, false}});
}

uint32_t CImage::StretchBlendByMode(uint8_t mode, CImage* src, const ImageSize* size, int32_t x, int32_t y,
                                    const plat::Rect* src_rect) {
  return ModePass(mode, src, {{x, y, src_rect, false, false}, SizeOr(size)});
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
  const uint32_t key = src != nullptr ? src->GetColorKey() : kNoColorKey;
  return RunPass(src, 32, 32, mode < std::size(kModes) ? kDraw : 1, request, [&](const BlitPass& pass) {
    const ModeMembers& members = kModes[mode];
    const int vector = g_CpuHasMmx != 0 ? 1 : 0;
    using P = uint32_t;
    if (key != kNoColorKey) {
      pass.Run<P, P>([&](auto... a) { members.one_key[vector](a..., key); },
                     [&](auto... a) { members.stretched_key[vector](a..., key); });
    } else {
      pass.Run<P, P>(members.one[vector], members.stretched[vector]);
    }
  });
}

uint32_t CImage::BlendLevelClearAware(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  if (level == 255 && HasPixelsFrom(src) && IsDepthPair(src, 32, 32)) return Copy(src, x, y, src_rect, false);
  return RunPass(src, 32, 32, level == 0 ? 0 : kDraw, {{x, y, src_rect, false, false}},
                 [&](const BlitPass& pass) {
                   pass.Run<uint32_t, uint32_t>([&](auto... a) { BlendLevelClearAware32(a..., level); });
                 });
}

uint32_t CImage::BlendModeLevel(uint8_t mode, CImage* src, uint8_t level, int32_t x, int32_t y,
                                const plat::Rect* src_rect) {
  return LevelRowPass(mode < kLevelRowOver ? mode : kNoFamily, src, level,
                      {{x, y, src_rect, false, false}, std::nullopt, AlphaLibraryBlend(mode, level)});
}

uint32_t CImage::StretchBlendModeLevel(uint8_t mode, CImage* src, uint8_t level, const ImageSize* size, int32_t x,
                                       int32_t y, const plat::Rect* src_rect) {
  return LevelRowPass(mode < kLevelRowOver ? mode : kNoFamily, src, level,
                      {{x, y, src_rect, false, false}, SizeOr(size), AlphaLibraryBlend(mode, level)});
}

uint32_t CImage::BlendPreserveAlpha(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return LevelRowPass(kLevelRowOver, src, level,
                      {{x, y, src_rect, false, false}, std::nullopt, LibraryBlend{3, level}});
}

uint32_t CImage::StretchBlendPreserveAlpha(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                           const plat::Rect* src_rect) {
  return LevelRowPass(kLevelRowOver, src, level,
                      {{x, y, src_rect, false, false}, SizeOr(size), LibraryBlend{3, level}});
}

namespace {

using OneToOneRow = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const uint8_t*);
using StretchedRow = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const uint8_t*,
                              const StretchStep&);

// The four members of a level-row family: portable and vector, one to one and stretched.
struct LevelRowMembers {
  OneToOneRow one[2];
  StretchedRow stretched[2];
};

constexpr LevelRowMembers kLevelRowFamilies[] = {
    {{BlendAlphaLevel32, BlendAlphaLevel32Mmx}, {BlendAlphaLevel32Stretch, BlendAlphaLevel32StretchMmx}},
    {{AddAlphaLevel32, AddAlphaLevel32Mmx}, {AddAlphaLevel32Stretch, AddAlphaLevel32StretchMmx}},
    {{SubAlphaLevel32, SubAlphaLevel32Mmx}, {SubAlphaLevel32Stretch, SubAlphaLevel32StretchMmx}},
    {{BlendOver32, BlendOver32Mmx}, {BlendOver32Stretch, BlendOver32StretchMmx}},
};

}  // namespace

uint32_t CImage::LevelRowPass(uint8_t family, CImage* src, uint8_t level, const BlitRequest& request) {
  const uint32_t early = family >= std::size(kLevelRowFamilies) ? 1 : level == 0 ? 0 : kDraw;
  return RunPass(src, 32, 32, early, request, [&](const BlitPass& pass) {
    const LevelRowMembers& members = kLevelRowFamilies[family];
    const int vector = g_CpuHasMmx != 0 ? 1 : 0;
    const uint8_t* row = g_PixelTables.product[level];
    // The stretched members take the level row before the step record.
    const auto stretched = [&](uint32_t* dst, const uint32_t* source, int32_t dst_skip, int32_t src_pitch,
                               int32_t width, int32_t height, const StretchStep& step) {
      members.stretched[vector](dst, source, dst_skip, src_pitch, width, height, row, step);
    };
    pass.Run<uint32_t, uint32_t>([&](auto... a) { members.one[vector](a..., row); }, stretched);
  });
}

uint32_t CImage::AddScaled(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  // The library adds; the subtraction stays on the engine's kernels.
  return ScaledPass(false, src, level, {{x, y, src_rect, false, false}, std::nullopt, LibraryBlend{4, level}});
}

uint32_t CImage::SubtractScaled(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return ScaledPass(true, src, level, {{x, y, src_rect, false, false}});
}

uint32_t CImage::StretchAddScaled(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                  const plat::Rect* src_rect) {
  return ScaledPass(false, src, level, {{x, y, src_rect, false, false}, SizeOr(size)});
}

uint32_t CImage::StretchSubtractScaled(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                       const plat::Rect* src_rect) {
  return ScaledPass(true, src, level, {{x, y, src_rect, false, false}, SizeOr(size)});
}

uint32_t CImage::ScaledPass(bool subtract, CImage* src, uint8_t level, const BlitRequest& request) {
  return RunPass(src, 32, 32, level == 0 ? 0 : kDraw, request, [&](const BlitPass& pass) {
    const bool mmx = g_CpuHasMmx != 0;
    const auto one = subtract ? (mmx ? SubScaled32Mmx : SubScaled32) : (mmx ? AddScaled32Mmx : AddScaled32);
    const auto stretched = subtract ? (mmx ? SubScaled32StretchMmx : SubScaled32Stretch)
                                    : (mmx ? AddScaled32StretchMmx : AddScaled32Stretch);
    // The stretched members take the level before the step record.
    pass.Run<uint32_t, uint32_t>([&](auto... a) { one(a..., level); },
                                 [&](uint32_t* dst, const uint32_t* source, int32_t dst_skip, int32_t src_pitch,
                                     int32_t width, int32_t height, const StretchStep& step) {
                                   stretched(dst, source, dst_skip, src_pitch, width, height, level, step);
                                 });
  });
}

namespace {

using MaskedColour = void (*)(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, uint32_t,
                              const uint8_t*);

// Blend, add and subtract, portable and vector.
constexpr MaskedColour kMaskedModes[][2] = {
    {BlendColorMasked32, BlendColorMasked32Mmx},
    {AddColorMasked32, AddColorMasked32Mmx},
    {SubColorMasked32, SubColorMasked32Mmx},
};

}  // namespace

uint32_t CImage::BlendMasked(uint8_t mode, CImage* mask, uint8_t level, uint8_t r, uint8_t g, uint8_t b, int32_t x,
                             int32_t y, const plat::Rect* src_rect) {
  const uint32_t early = mode >= std::size(kMaskedModes) ? 1 : level == 0 ? 0 : kDraw;
  return RunPass(mask, 32, 8, early, {{x, y, src_rect, false, false}}, [&](const BlitPass& pass) {
    const MaskedColour kernel = kMaskedModes[mode][g_CpuHasMmx != 0 ? 1 : 0];
    const uint32_t colour = (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    pass.Run<uint32_t, uint8_t>([&](auto... a) { kernel(a..., colour, g_PixelTables.product[level]); });
  });
}
