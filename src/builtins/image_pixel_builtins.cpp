#include "builtins/image_pixel_builtins.h"

#include "builtins/image_args.h"

namespace {

constexpr uint32_t kImage = 0;
constexpr uint32_t kMinusTwo = 0xFFFFFFFE;

// The rows that answer a boolean or a status byte with the low byte of the result.
template <class Op>
uint32_t ByteResult(const NativeArgs& args, Op op) {
  return WithImage(args, kImage, 0, [&](CImage& image) { return static_cast<uint8_t>(op(image)); });
}

// A plain image (kind 4) and not a canvas's image.
CImage* PlainImageArg(const NativeArgs& args) {
  CImageInterface* object = args.Handle<CImageInterface>(kImage);
  if (object == nullptr || object->GetKind() != ESurfaceKind::kImage) return nullptr;
  return ImageArg(args, kImage);
}

}  // namespace

std::uint32_t NativeImageConvertDepth(const NativeArgs& args) {
  CImage* image = PlainImageArg(args);
  return image != nullptr ? image->ConvertDepth(args.U8(1)) : kNoImageResult;
}

std::uint32_t NativeImageLoadByPlugin(const NativeArgs& args) {
  return WithImage(args, kImage, kNoImageResult,
                   [&](CImage& image) { return image.LoadFileByPlugin(args.Str(1), args.U8(2), args.U32(3)); });
}

std::uint32_t NativeImageGetLoaderFlag(const NativeArgs& args) {
  CImage* image = PlainImageArg(args);
  return image != nullptr ? image->GetAlphaFlag() : 0;
}

std::uint32_t NativeImageLoadFileInto(const NativeArgs& args) {
  return WithImage(args, kImage, kMinusTwo, [&](CImage& image) {
    return image.LoadFileInto(args.Str(1), nullptr, 0, args.I32(2), args.I32(3), args.U8(4) != 0);
  });
}

std::uint32_t NativeImageLoadDataInto(const NativeArgs& args) {
  return WithImage(args, kImage, kMinusTwo, [&](CImage& image) {
    const uint8_t* data = DataArg(args, 1, args.U32(2));
    return image.LoadFileInto(nullptr, data, data == nullptr ? 0 : args.U32(2), args.I32(3), args.I32(4),
                              args.U8(5) != 0);
  });
}

std::uint32_t NativeImageFillRect(const NativeArgs& args) {
  return ByteResult(args, [&](CImage& image) {
    const plat::Rect rect{args.I32(1), args.I32(2), args.I32(3), args.I32(4)};
    return image.FillRect(args.U8(5), args.U8(6), args.U8(7), &rect);
  });
}

std::uint32_t NativeImageFillRectArgb(const NativeArgs& args) {
  return ByteResult(args, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 2);
    return image.FillRectArgb(args.U32(1), rect ? &*rect : nullptr);
  });
}

std::uint32_t NativeImageSetRgbKeepAlpha(const NativeArgs& args) {
  return ByteResult(args, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 4);
    return image.SetRgbKeepAlpha(args.U8(1), args.U8(2), args.U8(3), rect ? &*rect : nullptr);
  });
}

std::uint32_t NativeImageLibFillValue(const NativeArgs& args) {
  return WithImage(args, kImage, kNoImageResult, [&](CImage& image) {
    const std::optional<plat::Rect> rect = RectArg(args, 2);
    return image.PixelLibFillValue(args.U8(1), rect ? &*rect : nullptr);
  });
}

std::uint32_t NativeImageSetAlphaAll(const NativeArgs& args) {
  return WithImage(args, kImage, 1, [&](CImage& image) { return image.SetAlphaAll(args.U8(1)); });
}

std::uint32_t NativeImageSetPixel(const NativeArgs& args) {
  return WithImage(args, kImage, 0, [&](CImage& image) { return image.SetPixel(args.I32(1), args.I32(2), args.U32(3)); });
}

std::uint32_t NativeImageGetPixel(const NativeArgs& args) {
  return WithImage(args, kImage, kNoImageResult, [&](CImage& image) { return image.GetPixel(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeImageFindPaletteColor(const NativeArgs& args) {
  return WithImage(args, kImage, kNoImageResult,
                   [&](CImage& image) { return image.FindPaletteIndex(args.U8(1), args.U8(2), args.U8(3)); });
}

std::uint32_t NativeImageCopyPalette(const NativeArgs& args) {
  CImage* destination = ImageArg(args, kImage);
  CImage* source = ImageArg(args, 1);
  return destination != nullptr && source != nullptr && destination->CopyPaletteFrom(source) ? 1 : 0;
}

std::uint32_t NativeImageSetPaletteEntry(const NativeArgs& args) {
  return ByteResult(args, [&](CImage& image) {
    return image.SetPaletteEntryAndMark(args.U8(1), PackedColourArg(args, 2), args.U8(5) != 0);
  });
}

std::uint32_t NativeImageFillPalette(const NativeArgs& args) {
  return ByteResult(args,
                    [&](CImage& image) { return image.FillPaletteAndMark(PackedColourArg(args, 1), args.U8(4) != 0); });
}
