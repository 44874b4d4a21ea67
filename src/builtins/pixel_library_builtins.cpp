#include "builtins/pixel_library_builtins.h"

#include <array>

#include "builtins/image_args.h"
#include "gfx/images/pixel_library.h"

namespace {

constexpr uint32_t kDestination = 0;
constexpr uint32_t kSource = 1;
constexpr double kFixedOne = 1.0 / 65536.0;

// The object's image through op, -1 without one.
template <class Op>
uint32_t OnImage(const NativeArgs& args, Op op) {
  return WithImage(args, 0, kNoImageResult, op);
}
// A whole-image routine: 1 done, 0 otherwise or for an object without an image.
template <class Op>
uint32_t WholeImage(const NativeArgs& args, Op op) {
  return WithImage(args, 0, 0, [&](CImage& image) { return op(image) ? 1u : 0u; });
}

// 392 draws through the first form of the affine draw, 393 (fixed point) through the second.
uint32_t Affine(const NativeArgs& args, double scale, bool fixed_point) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    const RectPair rects = RectPairArgs(args, 14);
    PixelAffineArgs affine;
    for (uint32_t i = 0; i < 6; ++i) affine.matrix[i] = args.I32(2 + i) * scale;
    affine.src_rect = rects.First();
    affine.mode = args.U32(8);
    affine.filter = args.U32(9);
    affine.level = args.U8(10);
    affine.flags[0] = args.Flag(11) ? 1 : 0;
    affine.flags[1] = args.Flag(12) ? 1 : 0;
    affine.fill = args.U32(13);
    affine.fill_area = rects.Second();
    return fixed_point ? dst.PixelLibAffineDraw2(&src, affine) : dst.PixelLibAffineDraw(&src, affine);
  });
}

// `count` coordinate pairs from args[i]; from the first pair whose first word is 65535 on, every
// pair is (0, 0).
template <size_t count>
std::array<PixelPoint, count> PairArgs(const NativeArgs& args, uint32_t i) {
  std::array<PixelPoint, count> pairs{};
  for (PixelPoint& pair : pairs) {
    if (args.U32(i) == kAbsentArgumentGroup) break;
    pair = PixelPoint{args.I32(i), args.I32(i + 1)};
    i += 2;
  }
  return pairs;
}

PixelArea AreaOf(const PixelPoint& place, const PixelPoint& size) {
  return PixelArea{place.x, place.y, size.x, size.y};
}

}  // namespace

std::uint32_t NativeBlitLibStretchBlend(const NativeArgs& args) {
  return WithTwoImages(args, kDestination, kSource, [&](CImage& dst, CImage& src) {
    BlitPlace place;
    if (args.U32(6) != kAbsentArgumentGroup) {
      place.size = ImageSize{args.I32(6), args.I32(7)};
      place.x = args.I32(8);
      place.y = args.I32(9);
      place.rect = RectArg(args, 10);
    }
    return dst.PixelLibStretchBlend(&src, args.U32(2), args.U32(3), args.U8(4), args.Flag(5) ? 1 : 0, place.Size(),
                                    place.x, place.y, place.Rect());
  });
}

std::uint32_t NativeBlitLibAffine(const NativeArgs& args) { return Affine(args, 1.0, false); }
std::uint32_t NativeBlitLibAffineFixed(const NativeArgs& args) { return Affine(args, kFixedOne, true); }

std::uint32_t NativeImageLibSoften(const NativeArgs& args) {
  return OnImage(args, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 4);
    return image.PixelLibSoften(args.U32(1), args.U32(2), rect ? &*rect : nullptr, args.Flag(3) ? 1 : 0);
  });
}

std::uint32_t NativeImageMirrorHorizontal(const NativeArgs& args) {
  return OnImage(args, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 1);
    return image.PixelLibMirrorHorizontal(rect ? &*rect : nullptr);
  });
}
std::uint32_t NativeImageMirrorVertical(const NativeArgs& args) {
  return OnImage(args, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 1);
    return image.PixelLibMirrorVertical(rect ? &*rect : nullptr);
  });
}

std::uint32_t NativeImageLibSwitchOp(const NativeArgs& args) {
  return WholeImage(args, [&](CImage& image) { return image.PixelLibSwitchOp(args.Flag(1)); });
}
std::uint32_t NativeImageLibValueOpA(const NativeArgs& args) {
  return WholeImage(args, [&](CImage& image) { return image.PixelLibValueOpA(args.U32(1)); });
}
std::uint32_t NativeImageLibValueOpB(const NativeArgs& args) {
  return WholeImage(args, [&](CImage& image) { return image.PixelLibValueOpB(args.U32(1)); });
}

std::uint32_t NativeBlitLibTwoSources(const NativeArgs& args) {
  CImage* a = ImageArg(args, 1);
  CImage* b = ImageArg(args, 2);
  if (a == nullptr || b == nullptr) return kNoImageResult;
  return OnImage(args, [&](CImage& dst) {
    const std::array<PixelPoint, 4> pairs = PairArgs<4>(args, 5);
    // The row's level byte is the cross-fade's level; its mode byte is the byte passed through.
    const PixelCrossFadeArgs fade{args.U8(4), args.U8(3), AreaOf(pairs[0], pairs[1]), pairs[2], pairs[3]};
    return dst.PixelLibBlendTwo(a, b, fade);
  });
}

std::uint32_t NativeBlitLibThreeSources(const NativeArgs& args) {
  CImage* a = ImageArg(args, 1);
  CImage* b = ImageArg(args, 2);
  CImage* rule = ImageArg(args, 3);
  if (a == nullptr || b == nullptr || rule == nullptr) return kNoImageResult;
  return OnImage(args, [&](CImage& dst) {
    const std::array<PixelPoint, 5> pairs = PairArgs<5>(args, 7);
    const PixelRuleTransitionArgs transition{args.U8(4),  args.U32(5), args.U8(6), AreaOf(pairs[0], pairs[1]),
                                             pairs[2],    pairs[3],    pairs[4]};
    return dst.PixelLibBlendThree(a, b, rule, transition);
  });
}
