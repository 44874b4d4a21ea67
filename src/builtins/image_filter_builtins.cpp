#include "builtins/image_filter_builtins.h"

#include "builtins/image_args.h"

namespace {

constexpr uint32_t kImage = 0;
constexpr uint32_t kMinusTwo = 0xFFFFFFFE;

// op(image, rectangle or null) with the rectangle at args[rect]; `none` without an image.
template <class Op>
uint32_t Filter(const NativeArgs& args, uint32_t rect, uint32_t none, Op op) {
  return WithImage(args, kImage, none, [&](CImage& image) {
    const std::optional<plat::Rect> area = RectArg(args, rect);
    return op(image, area ? &*area : nullptr);
  });
}

// The rows that answer a boolean with its low byte, 0 without an image.
template <class Op>
uint32_t BooleanFilter(const NativeArgs& args, uint32_t rect, Op op) {
  return Filter(args, rect, 0, [&](CImage& image, const plat::Rect* area) { return op(image, area) ? 1 : 0; });
}

int32_t Signed16(const NativeArgs& args, uint32_t i) { return static_cast<int16_t>(args.U16(i)); }

}  // namespace

std::uint32_t NativeImageBrightness(const NativeArgs& args) {
  return BooleanFilter(args, 2, [&](CImage& image, const plat::Rect* area) {
    return image.AdjustBrightness(args.U16(1), area);
  });
}

std::uint32_t NativeImageFillColor(const NativeArgs& args) {
  return Filter(args, 5, kNoImageResult, [&](CImage& image, const plat::Rect* area) {
    return image.FillColor(args.U8(1), args.U8(2), args.U8(3), args.U8(4), area);
  });
}

std::uint32_t NativeImageAddColor(const NativeArgs& args) {
  return Filter(args, 4, kNoImageResult, [&](CImage& image, const plat::Rect* area) {
    return image.AddColor(args.U8(1), args.U8(2), args.U8(3), area);
  });
}

std::uint32_t NativeImageSubtractColor(const NativeArgs& args) {
  return Filter(args, 4, kNoImageResult, [&](CImage& image, const plat::Rect* area) {
    return image.SubtractColor(args.U8(1), args.U8(2), args.U8(3), area);
  });
}

std::uint32_t NativeImageLibBlendColor(const NativeArgs& args) {
  return Filter(args, 4, kNoImageResult, [&](CImage& image, const plat::Rect* area) {
    return image.PixelLibBlendColor(args.U32(1), args.U8(2), area, args.Flag(3) ? 1 : 0);
  });
}

std::uint32_t NativeImageBlendMasked(const NativeArgs& args) {
  return WithTwoImages(args, 1, 2, [&](CImage& image, CImage& mask) {
    const BlitPlace place = PlacedArgs(args, 7);
    return image.BlendMasked(args.U8(0), &mask, args.U8(3), args.U8(4), args.U8(5), args.U8(6), place.x, place.y,
                             place.Rect());
  });
}

std::uint32_t NativeImageGrayscale(const NativeArgs& args) {
  return Filter(args, 1, kNoImageResult, [](CImage& image, const plat::Rect* area) { return image.Grayscale(area); });
}

std::uint32_t NativeImageAdjustRgb(const NativeArgs& args) {
  return Filter(args, 7, kNoImageResult, [&](CImage& image, const plat::Rect* area) {
    return image.AdjustRgb(args.U16(1), args.U16(2), args.U16(3), Signed16(args, 4), Signed16(args, 5),
                           Signed16(args, 6), area);
  });
}

std::uint32_t NativeImageInvert(const NativeArgs& args) {
  return Filter(args, 2, kNoImageResult,
                [&](CImage& image, const plat::Rect* area) { return image.Invert(args.U8(1), area); });
}

std::uint32_t NativeImageSoften(const NativeArgs& args) {
  return Filter(args, 2, kNoImageResult,
                [&](CImage& image, const plat::Rect* area) { return image.Smooth(args.U8(1), area); });
}

std::uint32_t NativeImageMosaic(const NativeArgs& args) {
  return Filter(args, 3, kNoImageResult,
                [&](CImage& image, const plat::Rect* area) { return image.Mosaic(args.U32(1), args.U8(2), area); });
}

std::uint32_t NativeImageGradient(const NativeArgs& args) {
  return Filter(args, 8, kMinusTwo, [&](CImage& image, const plat::Rect* area) {
    return image.GradientFill(args.U8(1), PackedColourArg(args, 2), PackedColourArg(args, 5), area);
  });
}

std::uint32_t NativeImageAdjustAlpha(const NativeArgs& args) {
  return BooleanFilter(args, 2,
                       [&](CImage& image, const plat::Rect* area) { return image.AdjustAlpha(args.U16(1), area); });
}

std::uint32_t NativeImageScaleAlpha(const NativeArgs& args) {
  return BooleanFilter(args, 3, [&](CImage& image, const plat::Rect* area) {
    return image.ScaleAlpha(args.U16(1), Signed16(args, 2), area);
  });
}
