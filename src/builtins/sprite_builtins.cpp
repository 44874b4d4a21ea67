#include "builtins/sprite_builtins.h"

#include "builtins/image_args.h"
#include "builtins/motion_args.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr uint32_t kMinus1 = 0xFFFFFFFF;
constexpr uint32_t kMinus2 = 0xFFFFFFFE;
constexpr uint32_t kLastAnchorCode = 4;

// op(drawable as T) when the drawable of args[0] has the type; `other` otherwise.
template <class T, class Op>
uint32_t WithTyped(const NativeArgs& args, int32_t type, uint32_t other, Op op) {
  CDrawable* drawable = args.Handle<CDrawable>(0);
  if (drawable == nullptr || drawable->GetDrawableType() != type) return other;
  T* typed = dynamic_cast<T*>(drawable);
  if (typed == nullptr) return other;
  return static_cast<uint32_t>(op(*typed));
}
template <class Op>
uint32_t WithSprite(const NativeArgs& args, uint32_t other, Op op) {
  return WithTyped<CSprite>(args, CDrawable::kTypeSprite, other, op);
}
template <class Op>
uint32_t WithColorBox(const NativeArgs& args, Op op) {
  return WithTyped<CColorBox>(args, CDrawable::kTypeColorBox, 0, op);
}
// Sprites and colour boxes; 0 for other drawables.
template <class Op>
uint32_t WithSpriteOrBox(const NativeArgs& args, Op op) {
  CDrawable* drawable = args.Handle<CDrawable>(0);
  if (drawable == nullptr) return 0;
  const int32_t type = drawable->GetDrawableType();
  if (type != CDrawable::kTypeSprite && type != CDrawable::kTypeColorBox) return 0;
  return op(*drawable) ? 1 : 0;
}

// The decimal zoom text at args[i], 1.0 when the word is 0.
double ZoomArg(const NativeArgs& args, uint32_t i) { return DecimalArg(args, i, 1.0); }

}  // namespace

std::uint32_t NativeDrawableSetSize(const NativeArgs& args) {
  return WithSpriteOrBox(args, [&](CDrawable& d) { return d.SetSize(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeDrawableSetSizeAndPosition(const NativeArgs& args) {
  return WithSpriteOrBox(
      args, [&](CDrawable& d) { return d.SetSizeAndPosition(args.I32(1), args.I32(2), args.I32(3), args.I32(4)); });
}

std::uint32_t NativeSpriteCreateWorkImage(const NativeArgs& args) {
  return WithSprite(args, kMinus2, [&](CSprite& s) { return s.CreateWorkImage(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSpriteSetSourceRect(const NativeArgs& args) {
  return WithSprite(args, kMinus1, [&](CSprite& sprite) {
    const plat::Rect rect{args.I32(1), args.I32(2), args.I32(3), args.I32(4)};
    return sprite.SetSourceRect(&rect);
  });
}

std::uint32_t NativeSpriteSetSourceOrigin(const NativeArgs& args) {
  return WithSprite(args, kMinus1, [&](CSprite& s) { return s.SetSourceOrigin(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSpriteSetDrawMode(const NativeArgs& args) {
  return WithSprite(args, 0, [&](CSprite& s) { return s.SetDrawMode(args.U8(1)) ? 1 : 0; });
}

std::uint32_t NativeSpriteSetAnchor(const NativeArgs& args) {
  return WithSprite(args, 0, [&](CSprite& sprite) {
    const uint32_t code = args.U32(1);
    const bool set = code <= kLastAnchorCode ? sprite.SetAnchor(static_cast<int32_t>(code), 0, 0)
                                             : sprite.SetAnchor(-1, args.I32(2), args.I32(3));
    return set ? 1 : 0;
  });
}

std::uint32_t NativeSpriteSetTransform(const NativeArgs& args) {
  return WithSprite(args, 0, [&](CSprite& s) { return s.RenderTransformed(args.I32(1), ZoomArg(args, 2)) ? 1 : 0; });
}

std::uint32_t NativeSpritePrepareTransform(const NativeArgs& args) {
  return WithSprite(args, kMinus2, [&](CSprite& s) { return s.ReserveTurnImage(ZoomArg(args, 1)); });
}

std::uint32_t NativeSpriteDropWorkImage(const NativeArgs& args) {
  return WithSprite(args, 0, [](CSprite& sprite) {
    sprite.DropWorkImage();
    return 1;
  });
}

std::uint32_t NativeSpriteSetImage(const NativeArgs& args) {
  return WithSprite(args, kMinus1, [&](CSprite& sprite) -> uint32_t {
    CImage* image = ImageArg(args, 1);
    if (image == nullptr) return kMinus2;
    if (args.I32(2) == -1) return sprite.SetSourceImage(image);
    if (args.U32(2) == kAbsentArgumentGroup) return sprite.SetImage(image, nullptr, 0, 0);
    const plat::Rect rect{args.I32(2), args.I32(3), args.I32(4), args.I32(5)};
    return sprite.SetImage(image, &rect, args.I32(6), args.I32(7));
  });
}

std::uint32_t NativeSpriteRefresh(const NativeArgs& args) {
  return WithSprite(args, 0, [&](CSprite& s) { return s.RefreshFromSource(args.Flag(1)) ? 1 : 0; });
}

std::uint32_t NativeColorBoxSetRgb(const NativeArgs& args) {
  return WithColorBox(args, [&](CColorBox& box) { return box.SetColor(args.U32(1) & 0xFFFFFF) ? 1 : 0; });
}

std::uint32_t NativeColorBoxResize(const NativeArgs& args) {
  return WithColorBox(args, [&](CColorBox& box) { return box.Resize(args.I32(1), args.I32(2)) ? 1 : 0; });
}

std::uint32_t NativeColorBoxResizeAndMove(const NativeArgs& args) {
  return WithColorBox(args, [&](CColorBox& box) {
    return box.ResizeAndPosition(args.I32(1), args.I32(2), args.I32(3), args.I32(4)) ? 1 : 0;
  });
}
