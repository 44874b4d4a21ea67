#include "builtins/image_blit_builtins.h"

#include "builtins/image_args.h"

namespace {

constexpr uint32_t kDestination = 0;
constexpr uint32_t kSource = 1;
constexpr uint32_t kParameter = 2;

// Layouts 1 and 2: op(destination, source, place).
template <class Op>
uint32_t Placed(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource,
                       [&](CImage& dst, CImage& src) { return op(dst, src, PlacedArgs(args, 2)); });
}
template <class Op>
uint32_t Stretched(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource,
                       [&](CImage& dst, CImage& src) { return op(dst, src, StretchedArgs(args, 2, &src)); });
}
// Layouts 3 and 4: op(destination, source, parameter byte, place).
template <class Op>
uint32_t PlacedWith(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource,
                       [&](CImage& dst, CImage& src) { return op(dst, src, args.U8(kParameter), PlacedArgs(args, 3)); });
}
template <class Op>
uint32_t StretchedWith(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    return op(dst, src, args.U8(kParameter), StretchedArgs(args, 3, &src));
  });
}

// The rows whose mode byte comes first: args[0] mode, args[1] destination, args[2] source.
template <class Op>
uint32_t ModeFirst(const NativeArgs& args, Op op) {
  return WithTwoImages(args, 1, 2, [&](CImage& dst, CImage& src) { return op(dst, src, args.U8(0)); });
}

template <class Op>
uint32_t RuleBlend(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    // The rule image is handed over as the script gave it: a handle that gives none blends
    // by the source alpha.
    return op(dst, src, ImageArg(args, 2), args.U8(3), args.U32(4), args.U32(5), PlacedArgs(args, 6));
  });
}

// Two optional rectangles at args[i] and args[i + 4]: the second is read only with the first.
struct RectPair {
  std::optional<plat::Rect> first;
  std::optional<plat::Rect> second;
  const plat::Rect* First() const { return first ? &*first : nullptr; }
  const plat::Rect* Second() const { return second ? &*second : nullptr; }
};
RectPair RectPairArgs(const NativeArgs& args, uint32_t i) {
  RectPair pair{RectArg(args, i), std::nullopt};
  if (pair.first) pair.second = RectArg(args, i + 4);
  return pair;
}

QuadCorners CornerArgs(const NativeArgs& args, uint32_t i) {
  QuadCorners corners;
  for (QuadCorner& corner : corners) {
    corner = QuadCorner{args.I32(i), args.I32(i + 1)};
    i += 2;
  }
  return corners;
}

template <class Op>
uint32_t Quad(const NativeArgs& args, Op op) {
  return WithTwoImages(args, kDestination, kSource,
                       [&](CImage& dst, CImage& src) { return op(dst, src, CornerArgs(args, 2), RectPairArgs(args, 10)); });
}

// The placement of a rotation: anchor, x, y, angle, zoom.
struct Rotation {
  uint8_t anchor;
  int32_t x;
  int32_t y;
  int32_t angle;
  uint32_t zoom;
};
Rotation RotationArgs(const NativeArgs& args) {
  return Rotation{args.U8(2), args.I32(3), args.I32(4), args.I32(5), args.U32(6)};
}

}  // namespace

std::uint32_t NativeBlitCopy(const NativeArgs& args) {
  return Placed(args, [](CImage& d, CImage& s, const BlitPlace& p) { return d.Copy(&s, p.x, p.y, p.Rect(), false); });
}
std::uint32_t NativeBlitAlphaBlend(const NativeArgs& args) {
  return Placed(args,
                [](CImage& d, CImage& s, const BlitPlace& p) { return d.AlphaBlend(&s, p.x, p.y, p.Rect(), false); });
}
std::uint32_t NativeBlitCopyAlphaPlane(const NativeArgs& args) {
  return Placed(
      args, [](CImage& d, CImage& s, const BlitPlace& p) { return d.CopyAlphaPlane(&s, p.x, p.y, p.Rect(), false); });
}
std::uint32_t NativeBlitCopyRgb(const NativeArgs& args) {
  return Placed(args, [](CImage& d, CImage& s, const BlitPlace& p) { return d.CopyRgb(&s, p.x, p.y, p.Rect()); });
}
std::uint32_t NativeBlitCopyAlpha(const NativeArgs& args) {
  return Placed(args, [](CImage& d, CImage& s, const BlitPlace& p) { return d.CopyAlpha(&s, p.x, p.y, p.Rect()); });
}

std::uint32_t NativeBlitStretchCopy(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.StretchCopy(&s, p.Size(), p.x, p.y, p.Rect(), false);
  });
}
std::uint32_t NativeBlitStretchAlphaBlend(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.StretchAlphaBlend(&s, p.Size(), p.x, p.y, p.Rect(), false);
  });
}
std::uint32_t NativeBlitStretchCopyAlphaPlane(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.StretchCopyAlphaPlane(&s, p.Size(), p.x, p.y, p.Rect(), false);
  });
}
std::uint32_t NativeBlitStretchCopyRgb(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.StretchCopyRgb(&s, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchCopyAlpha(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.StretchCopyAlpha(&s, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchCopySmooth(const NativeArgs& args) {
  return Stretched(args, [](CImage& d, CImage& s, const BlitPlace& p) {
    return d.SmoothStretchCopy(&s, p.Size(), p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitCopyMirrored(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.CopyMirrored(&s, mode, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitAlphaBlendMirrored(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.AlphaBlendMirrored(&s, mode, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitCopyAlphaPlaneMirrored(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.CopyAlphaPlaneMirrored(&s, mode, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitBlendLevel(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.BlendLevel(&s, level, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitAddScaled(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.AddScaled(&s, level, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitSubtractScaled(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.SubtractScaled(&s, level, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitBlendPreserveAlpha(const NativeArgs& args) {
  return PlacedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.BlendPreserveAlpha(&s, level, p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitStretchCopyMirrored(const NativeArgs& args) {
  return StretchedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.StretchCopyMirrored(&s, mode, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchAlphaBlendMirrored(const NativeArgs& args) {
  return StretchedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.StretchAlphaBlendMirrored(&s, mode, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchCopyAlphaPlaneMirrored(const NativeArgs& args) {
  return StretchedWith(args, [](CImage& d, CImage& s, uint8_t mode, const BlitPlace& p) {
    return d.StretchCopyAlphaPlaneMirrored(&s, mode, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchBlendLevel(const NativeArgs& args) {
  return StretchedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.StretchBlendLevel(&s, level, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchBlendPreserveAlpha(const NativeArgs& args) {
  return StretchedWith(args, [](CImage& d, CImage& s, uint8_t level, const BlitPlace& p) {
    return d.StretchBlendPreserveAlpha(&s, level, p.Size(), p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeImageCopyToDC(const NativeArgs& args) {
  return WithImage(args, kDestination, kNoImageResult, [&](CImage& image) {
    const BlitPlace p = PlacedArgs(args, 2);
    return image.CopyToDC(nullptr, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeImageCopyFromDC(const NativeArgs& args) {
  return WithImage(args, kDestination, kNoImageResult, [&](CImage& image) {
    const BlitPlace p = StretchedArgs(args, 2, nullptr);
    return image.CopyFromDC(nullptr, p.Size(), p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitAlphaBlendWeights(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const BlitPlace p = PlacedArgs(args, 8);
    return d.BlendWeighted(&s, PackedColourArg(args, 2), PackedColourArg(args, 5), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchAlphaBlendWeights(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const BlitPlace p = StretchedArgs(args, 8, &s);
    return d.StretchBlendWeighted(&s, PackedColourArg(args, 2), PackedColourArg(args, 5), p.Size(), p.x, p.y,
                                  p.Rect());
  });
}

std::uint32_t NativeBlitByMode(const NativeArgs& args) {
  return ModeFirst(args, [&](CImage& d, CImage& s, uint8_t mode) {
    const BlitPlace p = PlacedArgs(args, 3);
    return d.BlendByMode(mode, &s, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchByMode(const NativeArgs& args) {
  return ModeFirst(args, [&](CImage& d, CImage& s, uint8_t mode) {
    const BlitPlace p = StretchedArgs(args, 3, &s);
    return d.StretchBlendByMode(mode, &s, p.Size(), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitModeLevel(const NativeArgs& args) {
  return ModeFirst(args, [&](CImage& d, CImage& s, uint8_t mode) {
    const BlitPlace p = PlacedArgs(args, 4);
    return d.BlendModeLevel(mode, &s, args.U8(3), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitStretchModeLevel(const NativeArgs& args) {
  return ModeFirst(args, [&](CImage& d, CImage& s, uint8_t mode) {
    const BlitPlace p = StretchedArgs(args, 4, &s);
    return d.StretchBlendModeLevel(mode, &s, args.U8(3), p.Size(), p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitRuleBlend(const NativeArgs& args) {
  return RuleBlend(args, [](CImage& d, CImage& s, CImage* rule, uint8_t opacity, uint32_t progress, uint32_t width,
                            const BlitPlace& p) {
    return d.RuleBlend(&s, rule, opacity, progress, width, p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitRuleBlend2(const NativeArgs& args) {
  return RuleBlend(args, [](CImage& d, CImage& s, CImage* rule, uint8_t opacity, uint32_t progress, uint32_t width,
                            const BlitPlace& p) {
    return d.RuleBlendAlpha(&s, rule, opacity, progress, width, p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitFade(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const BlitPlace p = PlacedArgs(args, 4);
    return d.BlurBlendLevel(&s, args.U8(2), args.U8(3), p.x, p.y, p.Rect());
  });
}
std::uint32_t NativeBlitFadeLevel(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const BlitPlace p = PlacedArgs(args, 4);
    return d.BlurBlendAlphaLevel(&s, args.U8(2), args.U8(3), p.x, p.y, p.Rect());
  });
}

std::uint32_t NativeBlitQuad(const NativeArgs& args) {
  return Quad(args, [](CImage& d, CImage& s, const QuadCorners& corners, const RectPair& rects) {
    return d.MapRectToQuad(&s, corners, rects.First(), rects.Second());
  });
}
std::uint32_t NativeBlitQuad2(const NativeArgs& args) {
  return Quad(args, [](CImage& d, CImage& s, const QuadCorners& corners, const RectPair& rects) {
    return d.MapQuadToRect(&s, corners, rects.First(), rects.Second());
  });
}

std::uint32_t NativeBlitRotated(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const Rotation r = RotationArgs(args);
    const RectPair rects = RectPairArgs(args, 7);
    return d.RotateCopy(&s, r.anchor, r.x, r.y, r.angle, r.zoom, rects.First(), rects.Second());
  });
}
std::uint32_t NativeBlitRotatedEx(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const Rotation r = RotationArgs(args);
    const RectPair rects = RectPairArgs(args, 8);
    return d.RotateBlend(&s, r.anchor, r.x, r.y, r.angle, r.zoom, args.U8(7), rects.First(), rects.Second());
  });
}

std::uint32_t NativeBlitLibBlend(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& d, CImage& s) {
    const BlitPlace p = PlacedArgs(args, 5);
    return d.PixelLibBlend(&s, args.U32(2), args.U8(3), args.Flag(4) ? 1 : 0, p.x, p.y, p.Rect());
  });
}
