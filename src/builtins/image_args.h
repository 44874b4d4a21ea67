// How the image built-ins read their argument words: object handles as the images behind them,
// optional rectangles and sizes (absent when their first word is 65535), the placements of the
// blits and colours packed from three words.
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/images/blit_clipping.h"
#include "gfx/images/image.h"
#include "script/native_args.h"

inline constexpr uint32_t kNoImageResult = 0xFFFFFFFF;

// The software image behind the object whose handle is args[i]: the object itself for a plain
// image, its canvas image for a canvas; null for 0, a stale handle or another kind.
CImage* ImageArg(const NativeArgs& args, uint32_t i);

// left, top, right, bottom from args[i] as they stand; absent when args[i] is 65535.
std::optional<plat::Rect> RectArg(const NativeArgs& args, uint32_t i);

// Two optional rectangles at args[i] and args[i + 4]: the second is read only with the first.
struct RectPair {
  std::optional<plat::Rect> first;
  std::optional<plat::Rect> second;
  const plat::Rect* First() const { return first ? &*first : nullptr; }
  const plat::Rect* Second() const { return second ? &*second : nullptr; }
};
RectPair RectPairArgs(const NativeArgs& args, uint32_t i);

// Where a blit draws: (x, y), the source rectangle (null: the whole source) and the size
// (null: the source rectangle's own).
struct BlitPlace {
  int32_t x = 0;
  int32_t y = 0;
  std::optional<plat::Rect> rect;
  std::optional<ImageSize> size;

  const plat::Rect* Rect() const { return rect ? &*rect : nullptr; }
  const ImageSize* Size() const { return size ? &*size : nullptr; }
};
// x, y and the rectangle from args[i]; args[i] = 65535 is the whole source at (0, 0).
BlitPlace PlacedArgs(const NativeArgs& args, uint32_t i);
// width, height, x, y and the rectangle from args[i]; args[i] = 65535 is the whole source at
// (0, 0) in its own size, which is given to the operation (a stretch without a size fills the
// destination), so the size is absent only without a source.
BlitPlace StretchedArgs(const NativeArgs& args, uint32_t i, const CImageInterface* source);

// The `size` bytes of script memory at the address args[i]; null when that word is 0. A range
// outside script memory faults.
const uint8_t* DataArg(const NativeArgs& args, uint32_t i, uint32_t size);

// red · 65536 + green · 256 + blue from the low bytes of args[i] to args[i + 2].
uint32_t PackedColourArg(const NativeArgs& args, uint32_t i);

// Runs op(destination, source) on the images of args[dst] and args[src]; kNoImageResult when
// either has none.
template <class Op>
uint32_t WithTwoImages(const NativeArgs& args, uint32_t dst, uint32_t src, Op op) {
  CImage* destination = ImageArg(args, dst);
  CImage* source = ImageArg(args, src);
  if (destination == nullptr || source == nullptr) return kNoImageResult;
  return static_cast<uint32_t>(op(*destination, *source));
}

// Runs op(image) on the image of args[i]; `none` when it has none.
template <class Op>
uint32_t WithImage(const NativeArgs& args, uint32_t i, uint32_t none, Op op) {
  CImage* image = ImageArg(args, i);
  if (image == nullptr) return none;
  return static_cast<uint32_t>(op(*image));
}
