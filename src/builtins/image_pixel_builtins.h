// The built-ins that work on the pixels and palette of one image (ids 317 to 332). args[0] is
// the object, read as the software image behind it; a handle that gives none returns the row's
// none value at once. Rectangles are four words left, top, right, bottom, absent (the whole
// image) where a row allows it when the first is 65535; colours are bytes.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[1] 8 or 32: CImage::ConvertDepth's status; -1 for 0 or an object other than a plain
// image (a canvas too).
std::uint32_t NativeImageConvertDepth(const NativeArgs& args);
// args[1] file, args[2] option byte, args[3] loader plug-in type (0 by the name):
// CImage::LoadFileByPlugin's status; -1 none.
std::uint32_t NativeImageLoadByPlugin(const NativeArgs& args);
// Whether the picture a plain image was loaded from carried alpha; 0 for 0 or another kind.
std::uint32_t NativeImageGetLoaderFlag(const NativeArgs& args);
// args[1] file, args[2] x, args[3] y, args[4] option byte (non-zero takes the palette); 321:
// args[1] data address, args[2] size, then x, y, option. CImage::LoadFileInto's status; -2 none.
std::uint32_t NativeImageLoadFileInto(const NativeArgs& args);
std::uint32_t NativeImageLoadDataInto(const NativeArgs& args);
// args[1..4] rectangle (always), args[5..7] red, green, blue: 1 filled, 0 not; 0 none.
std::uint32_t NativeImageFillRect(const NativeArgs& args);
// args[1] 0xAARRGGBB, args[2..5] rectangle: 1 filled, 0 not 32 bits; 0 none.
std::uint32_t NativeImageFillRectArgb(const NativeArgs& args);
// args[1..3] red, green, blue, args[4..7] rectangle: 1 done, 0 not; 0 none.
std::uint32_t NativeImageSetRgbKeepAlpha(const NativeArgs& args);
// args[1] value byte, args[2..5] rectangle: the pixel library's fill status; -1 none.
std::uint32_t NativeImageLibFillValue(const NativeArgs& args);
// args[1] alpha byte: 0 done; 1 none; 2 not 32 bits or without pixels.
std::uint32_t NativeImageSetAlphaAll(const NativeArgs& args);
// args[1] x, args[2] y, args[3] value: 1 written, 0 outside; 0 none.
std::uint32_t NativeImageSetPixel(const NativeArgs& args);
// args[1] x, args[2] y: the index or the 32-bit value; -1 outside or none.
std::uint32_t NativeImageGetPixel(const NativeArgs& args);
// args[1..3] red, green, blue: the first palette index of that colour; -1 none found or none.
std::uint32_t NativeImageFindPaletteColor(const NativeArgs& args);
// args[1] the source object: 1 copied, 0 either deeper than 8 bits; 0 none.
std::uint32_t NativeImageCopyPalette(const NativeArgs& args);
// args[1] index byte, args[2..4] packed colour, args[5] option byte (non-zero updates the
// colour table): 1 set, 0 not; 0 none.
std::uint32_t NativeImageSetPaletteEntry(const NativeArgs& args);
// args[1..3] packed colour, args[4] option byte: all 256 entries; 1 set, 0 not; 0 none.
std::uint32_t NativeImageFillPalette(const NativeArgs& args);
