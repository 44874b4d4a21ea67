#include "builtins/drawable_builtins.h"

#include "builtins/image_args.h"
#include "gfx/display/screen_manager.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr uint32_t kNoDrawable = 0xFFFFFFFE;  // -2
constexpr uint32_t kNotListed = 2;

CDrawable* DrawableArg(const NativeArgs& args, uint32_t i) { return args.Handle<CDrawable>(i); }

// op(drawable) for the drawable of args[0]; `none` without one.
template <class Op>
uint32_t WithDrawable(const NativeArgs& args, uint32_t none, Op op) {
  CDrawable* drawable = DrawableArg(args, 0);
  if (drawable == nullptr) return none;
  return static_cast<uint32_t>(op(*drawable));
}

// A made drawable's handle; 0 when the factory failed.
template <class T>
uint32_t HandleIfMade(uint32_t status, T* drawable, const NativeArgs& args) {
  if (status != 0 || drawable == nullptr) return 0;
  return static_cast<CDrawable*>(drawable)->ScriptHandle(args.Handles());
}

}  // namespace

std::uint32_t NativeCreateSprite(const NativeArgs& args) {
  CImage* image = ImageArg(args, 0);
  if (image == nullptr || g_ScreenManager == nullptr) return 0;
  BlitPlace place;
  if (args.U32(1) != kAbsentArgumentGroup) {
    place.rect = RectArg(args, 1);
    place.x = args.I32(5);
    place.y = args.I32(6);
  }
  CSprite* sprite = nullptr;
  const uint32_t status =
      CScreenDrawables::Of(*g_ScreenManager).CreateSprite(&sprite, image, place.Rect(), place.x, place.y);
  return HandleIfMade(status, sprite, args);
}

std::uint32_t NativeCreateSpriteCopy(const NativeArgs& args) {
  CDrawable* drawable = DrawableArg(args, 0);
  if (drawable == nullptr || drawable->GetDrawableType() != CDrawable::kTypeSprite) return 0;
  const auto* source = dynamic_cast<const CSprite*>(drawable);
  if (source == nullptr || g_ScreenManager == nullptr) return 0;
  CSprite* sprite = nullptr;
  const uint32_t status = CScreenDrawables::Of(*g_ScreenManager).CreateSpriteCopy(&sprite, source);
  return HandleIfMade(status, sprite, args);
}

std::uint32_t NativeCreateColorBox(const NativeArgs& args) {
  if (g_ScreenManager == nullptr) return 0;
  CColorBox* box = nullptr;
  const uint32_t status = CScreenDrawables::Of(*g_ScreenManager)
                              .CreateColorBox(&box, args.I32(0), args.I32(1), args.U32(2), args.I32(3), args.I32(4));
  return HandleIfMade(status, box, args);
}

std::uint32_t NativeDestroyDrawables(const NativeArgs& /*args*/) {
  if (g_ScreenManager != nullptr) CScreenDrawables::Of(*g_ScreenManager).DestroyDrawables();
  return 0;
}

std::uint32_t NativeSetDrawableId(const NativeArgs& args) {
  return g_ScreenManager != nullptr ? g_ScreenManager->SetDrawableId(args.U32(0)) : 0;
}

std::uint32_t NativeDestroyDrawablesById(const NativeArgs& args) {
  if (g_ScreenManager == nullptr) return 0;
  CScreenDrawables::Of(*g_ScreenManager).DeleteDrawablesById(args.U32(0), args.U8(1) != 0);
  return 0;
}

std::uint32_t NativeDestroyDrawable(const NativeArgs& args) {
  return args.DestroyThroughHandleRef<CDrawable>(0, [](CDrawable& drawable) {
    if (g_ScreenManager == nullptr) return kNotListed;
    return CScreenDrawables::Of(*g_ScreenManager).DeleteDrawable(&drawable);
  });
}

std::uint32_t NativeDrawableSetEnabled(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& drawable) {
    drawable.SetEnabled(args.Flag(1));
    return 0;
  });
}

std::uint32_t NativeDrawableGetState(const NativeArgs& args) {
  return WithDrawable(args, 0, [](CDrawable& drawable) {
    if (drawable.GetOwnerList() == nullptr) return 0;
    return drawable.IsEnabled() ? 2 : 1;
  });
}

std::uint32_t NativeDrawableMarkDirty(const NativeArgs& args) {
  return WithDrawable(args, 0, [](CDrawable& drawable) {
    drawable.SetDirty(true);
    return 1;
  });
}

std::uint32_t NativeDrawableClipRect(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& drawable) {
    plat::Rect rect{args.I32(1), args.I32(2), args.I32(3), args.I32(4)};
    return drawable.InvalidateLocalRect(&rect) ? 1 : 0;
  });
}

std::uint32_t NativeDrawableSetBlendMode(const NativeArgs& args) {
  return WithDrawable(args, kNoDrawable, [&](CDrawable& drawable) { return drawable.SetBlendMode(args.U8(1)); });
}

std::uint32_t NativeDrawableSetOpacity(const NativeArgs& args) {
  return WithDrawable(args, kNoDrawable, [&](CDrawable& drawable) {
    drawable.SetOpacity(args.U8(1));
    return 0;
  });
}

std::uint32_t NativeDrawableSetPosition(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& d) { return d.SetPosition(args.I32(1), args.I32(2)) ? 1 : 0; });
}

std::uint32_t NativeDrawableSwapId(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& drawable) {
    const uint32_t previous = drawable.GetId();
    drawable.SetId(args.U32(1));
    return previous;
  });
}

std::uint32_t NativeDrawableMoveBy(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& d) { return d.MoveBy(args.I32(1), args.I32(2)) ? 1 : 0; });
}

std::uint32_t NativeDrawableHitTest(const NativeArgs& args) {
  return WithDrawable(args, 0,
                      [&](CDrawable& d) { return d.HitTest(args.I32(1), args.I32(2), args.U8(3) != 0) ? 1 : 0; });
}

std::uint32_t NativeDrawableOverlaps(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& d) { return d.Overlaps(DrawableArg(args, 1)) ? 1 : 0; });
}

std::uint32_t NativeDrawableGetBounds(const NativeArgs& args) {
  return WithDrawable(args, 0, [&](CDrawable& drawable) {
    plat::Rect bounds;
    drawable.GetBounds(&bounds);
    const int32_t sides[] = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    for (uint32_t i = 0; i < 4; ++i) args.Out(1 + i).Set(static_cast<uint32_t>(sides[i]));
    return 1;
  });
}

std::uint32_t NativeDrawableDrawInto(const NativeArgs& args) {
  CImage* image = ImageArg(args, 0);
  if (image == nullptr) return kNoImageResult;
  CDrawable* drawable = DrawableArg(args, 1);
  if (drawable == nullptr) return kNoDrawable;
  return drawable->DrawKeepDirty(image);
}
