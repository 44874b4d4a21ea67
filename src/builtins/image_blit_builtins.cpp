#include "builtins/image_blit_builtins.h"

#include <type_traits>

#include "builtins/image_args.h"

namespace {

constexpr uint32_t kDestination = 0;
constexpr uint32_t kSource = 1;
constexpr uint32_t kParameter = 2;

// A member that takes a flip flag is called without flipping.
template <auto Member, class... Args>
uint32_t Unflipped(CImage& dst, Args... args) {
  if constexpr (std::is_invocable_v<decltype(Member), CImage&, Args..., bool>) {
    return (dst.*Member)(args..., false);
  } else {
    return (dst.*Member)(args...);
  }
}

// The rows that hand one member of CImage the source and the place: layouts 1 and 2 (source,
// place) and 3 and 4 (source, parameter byte, place).
template <auto Member>
uint32_t BlitPlaced(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    const BlitPlace p = PlacedArgs(args, 2);
    return Unflipped<Member>(dst, &src, p.x, p.y, p.Rect());
  });
}
template <auto Member>
uint32_t BlitStretched(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    const BlitPlace p = StretchedArgs(args, 2, &src);
    return Unflipped<Member>(dst, &src, p.Size(), p.x, p.y, p.Rect());
  });
}
template <auto Member>
uint32_t BlitPlacedWith(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    const BlitPlace p = PlacedArgs(args, 3);
    return (dst.*Member)(&src, args.U8(kParameter), p.x, p.y, p.Rect());
  });
}
template <auto Member>
uint32_t BlitStretchedWith(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    const BlitPlace p = StretchedArgs(args, 3, &src);
    return (dst.*Member)(&src, args.U8(kParameter), p.Size(), p.x, p.y, p.Rect());
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

std::uint32_t NativeBlitCopy(const NativeArgs& args) { return BlitPlaced<&CImage::Copy>(args); }
std::uint32_t NativeBlitAlphaBlend(const NativeArgs& args) { return BlitPlaced<&CImage::AlphaBlend>(args); }
std::uint32_t NativeBlitCopyAlphaPlane(const NativeArgs& args) { return BlitPlaced<&CImage::CopyAlphaPlane>(args); }
std::uint32_t NativeBlitCopyRgb(const NativeArgs& args) { return BlitPlaced<&CImage::CopyRgb>(args); }
std::uint32_t NativeBlitCopyAlpha(const NativeArgs& args) { return BlitPlaced<&CImage::CopyAlpha>(args); }

std::uint32_t NativeBlitStretchCopy(const NativeArgs& args) { return BlitStretched<&CImage::StretchCopy>(args); }
std::uint32_t NativeBlitStretchAlphaBlend(const NativeArgs& args) {
  return BlitStretched<&CImage::StretchAlphaBlend>(args);
}
std::uint32_t NativeBlitStretchCopyAlphaPlane(const NativeArgs& args) {
  return BlitStretched<&CImage::StretchCopyAlphaPlane>(args);
}
std::uint32_t NativeBlitStretchCopyRgb(const NativeArgs& args) { return BlitStretched<&CImage::StretchCopyRgb>(args); }
std::uint32_t NativeBlitStretchCopyAlpha(const NativeArgs& args) {
  return BlitStretched<&CImage::StretchCopyAlpha>(args);
}
std::uint32_t NativeBlitStretchCopySmooth(const NativeArgs& args) {
  return BlitStretched<&CImage::SmoothStretchCopy>(args);
}

std::uint32_t NativeBlitCopyMirrored(const NativeArgs& args) { return BlitPlacedWith<&CImage::CopyMirrored>(args); }
std::uint32_t NativeBlitAlphaBlendMirrored(const NativeArgs& args) {
  return BlitPlacedWith<&CImage::AlphaBlendMirrored>(args);
}
std::uint32_t NativeBlitCopyAlphaPlaneMirrored(const NativeArgs& args) {
  return BlitPlacedWith<&CImage::CopyAlphaPlaneMirrored>(args);
}
std::uint32_t NativeBlitBlendLevel(const NativeArgs& args) { return BlitPlacedWith<&CImage::BlendLevel>(args); }
std::uint32_t NativeBlitAddScaled(const NativeArgs& args) { return BlitPlacedWith<&CImage::AddScaled>(args); }
std::uint32_t NativeBlitSubtractScaled(const NativeArgs& args) { return BlitPlacedWith<&CImage::SubtractScaled>(args); }
std::uint32_t NativeBlitBlendPreserveAlpha(const NativeArgs& args) {
  return BlitPlacedWith<&CImage::BlendPreserveAlpha>(args);
}

std::uint32_t NativeBlitStretchCopyMirrored(const NativeArgs& args) {
  return BlitStretchedWith<&CImage::StretchCopyMirrored>(args);
}
std::uint32_t NativeBlitStretchAlphaBlendMirrored(const NativeArgs& args) {
  return BlitStretchedWith<&CImage::StretchAlphaBlendMirrored>(args);
}
std::uint32_t NativeBlitStretchCopyAlphaPlaneMirrored(const NativeArgs& args) {
  return BlitStretchedWith<&CImage::StretchCopyAlphaPlaneMirrored>(args);
}
std::uint32_t NativeBlitStretchBlendLevel(const NativeArgs& args) {
  return BlitStretchedWith<&CImage::StretchBlendLevel>(args);
}
std::uint32_t NativeBlitStretchBlendPreserveAlpha(const NativeArgs& args) {
  return BlitStretchedWith<&CImage::StretchBlendPreserveAlpha>(args);
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
