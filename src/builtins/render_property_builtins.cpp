#include "builtins/render_property_builtins.h"

#include <array>
#include <optional>
#include <type_traits>

#include "effects/patterns/transition_drawable.h"
#include "gfx/display/picture_canvas.h"
#include "scene/render/render_image.h"
#include "scene/render/render_primitives.h"
#include "scene/render/textured_quad.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kCorners = 4;
constexpr std::uint8_t kLastPolygonNumber = 5;

std::uint32_t Bit(bool value) { return value ? 1 : 0; }

// Runs `operation` on the render object of args[0] when it is a T: its result, else `refused`.
template <class T, class Operation>
std::uint32_t With(const NativeArgs& args, std::uint32_t refused, Operation operation) {
  auto* object = dynamic_cast<T*>(args.Handle<CRenderObject>(0));
  if (object == nullptr) return refused;
  if constexpr (std::is_void_v<decltype(operation(*object))>) {
    operation(*object);
    return 1;
  } else {
    return static_cast<std::uint32_t>(operation(*object));
  }
}

// The quads and the rectangle (kinds 4 to 6) and, unless only four corners will do, the point
// shapes (kinds 7 and 8): `operation` is called with the object as its own class. 1, or 0 for
// other objects.
enum class EServed { kPrimitives, kFourCorners };
template <EServed Served = EServed::kPrimitives, class Operation>
std::uint32_t WithPrimitive(const NativeArgs& args, Operation operation) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  if (auto* quad = dynamic_cast<CTexturedQuad*>(object)) {
    operation(*quad);
  } else if (auto* rect = dynamic_cast<CRectPrim*>(object)) {
    operation(*rect);
  } else if (auto* shape = dynamic_cast<CPointShape*>(object); shape != nullptr && Served == EServed::kPrimitives) {
    if constexpr (Served == EServed::kPrimitives) operation(*shape);
  } else {
    return 0;
  }
  return 1;
}

template <class Object>
constexpr bool kHasFourCorners = std::is_same_v<Object, CTexturedQuad> || std::is_same_v<Object, CRectPrim>;

// One vertex's colour or alpha: a number outside the object's vertices changes nothing.
template <class Object, class Value>
void SetVertex(Object& object, std::uint32_t number, Value value, bool alpha) {
  if constexpr (kHasFourCorners<Object>) {
    if (number >= kCorners) return;
    if (alpha) {
      object.SetCornerAlpha(static_cast<std::uint8_t>(number), static_cast<std::int32_t>(value));
    } else {
      object.SetCornerColour(static_cast<std::uint8_t>(number), static_cast<std::uint32_t>(value));
    }
  } else {
    const auto index = static_cast<std::int32_t>(number);
    if (alpha) {
      object.SetCornerAlpha(index, static_cast<std::int32_t>(value));
    } else {
      object.SetCornerColour(index, static_cast<std::uint32_t>(value));
    }
  }
}

template <class T, std::size_t N>
std::array<T, N> Words(const NativeArgs& args, std::uint32_t first) {
  std::array<T, N> words{};
  for (std::size_t i = 0; i < N; ++i) words[i] = static_cast<T>(args.U32(first + static_cast<std::uint32_t>(i)));
  return words;
}

std::optional<plat::Rect> RectAt(const NativeArgs& args, std::uint32_t i) {
  const std::optional<ScriptRect> given = args.Rect(i);
  if (!given) return std::nullopt;
  return plat::Rect{given->left, given->top, given->right, given->bottom};
}

StageTriple StageFrom(const NativeArgs& args) { return {args.U8(1), args.U8(2), args.U8(3)}; }

}  // namespace

std::uint32_t NativeSetRenderObjectSource(const NativeArgs& args) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  CImageInterface* picture = args.Handle<CImageInterface>(1);
  if (auto* image = dynamic_cast<CRenderImage*>(object)) return image->SetSource(picture);
  if (auto* canvas_quad = dynamic_cast<CCanvasQuad*>(object)) {
    return canvas_quad->SetSource(dynamic_cast<CPictureCanvas*>(picture));
  }
  if (auto* quad = dynamic_cast<CTexturedQuad*>(object)) return quad->SetSource(dynamic_cast<CD3DTexture*>(picture));
  if (auto* transition = dynamic_cast<CTransitionDrawable*>(object)) return transition->SetSource(picture);
  return kMinusOne;
}

std::uint32_t NativeSetRenderObjectSourceRect(const NativeArgs& args) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  const std::int32_t x = args.I32(1);
  const std::int32_t y = args.I32(2);
  const std::optional<plat::Rect> rect = RectAt(args, 3);
  const plat::Rect* given = rect ? &*rect : nullptr;
  if (auto* image = dynamic_cast<CRenderImage*>(object)) return Bit(image->SetSourceRect(x, y, given));
  if (auto* transition = dynamic_cast<CTransitionDrawable*>(object)) return Bit(transition->SetShownArea(x, y, given));
  if (auto* quad = dynamic_cast<CTexturedQuad*>(object)) return Bit(quad->SetTexCoords(x, y, given));
  return 0;
}

std::uint32_t NativeSetRenderObjectPosition(const NativeArgs& args) {
  return With<CRenderObject>(args, 0, [&](CRenderObject& o) { o.SetPosition(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSetRenderObjectSize(const NativeArgs& args) {
  return With<CRenderObject>(args, 0, [&](CRenderObject& o) { o.SetSize(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSetRenderObjectSizeAndPosition(const NativeArgs& args) {
  return With<CRenderObject>(
      args, 0, [&](CRenderObject& o) { o.SetSizeAndPosition(args.I32(1), args.I32(2), args.I32(3), args.I32(4)); });
}

std::uint32_t NativeMoveRenderObject(const NativeArgs& args) {
  return With<CRenderObject>(args, 0, [&](CRenderObject& o) { o.MoveBy(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeHitTestRenderObject(const NativeArgs& args) {
  return With<CRenderObject>(args, 0,
                             [&](CRenderObject& o) { return Bit(o.HitTest(args.I32(1), args.I32(2), args.Flag(3))); });
}

std::uint32_t NativeRenderObjectsOverlap(const NativeArgs& args) {
  const CRenderObject* other = args.Handle<CRenderObject>(1);
  if (other == nullptr) return 0;
  return With<CRenderObject>(args, 0, [&](CRenderObject& o) { return Bit(o.Overlaps(*other)); });
}

std::uint32_t NativeRotateRenderObject(const NativeArgs& args) {
  return WithPrimitive(args, [&](auto& o) { o.Rotate(args.I32(1), args.U8(2)); });
}

std::uint32_t NativeSetRenderObjectBlend(const NativeArgs& args) {
  const BlendTriple blend{static_cast<std::uint8_t>(args.U32(1) & 1), args.U8(2), args.U8(3)};
  return WithPrimitive(args, [&](auto& o) { o.SetBlend(blend); });
}

std::uint32_t NativeSetRenderObjectDrawMode(const NativeArgs& args) {
  const bool additive = args.U8(1) != 0;
  const std::int32_t alpha = args.U8(2);
  return WithPrimitive(args, [&](auto& o) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(o)>, CTexturedQuad>) {
      o.SetBlendMode(additive, alpha, args.I32(3));
    } else {
      o.SetBlendMode(additive, alpha);
    }
  });
}

std::uint32_t NativeSetRenderObjectColor(const NativeArgs& args) {
  return WithPrimitive(args, [&](auto& o) { o.SetColour(args.U32(1)); });
}

std::uint32_t NativeSetRenderObjectVertexColor(const NativeArgs& args) {
  return WithPrimitive(args, [&](auto& o) { SetVertex(o, args.U32(1), args.U32(2), false); });
}

std::uint32_t NativeSetRenderObjectCornerColors(const NativeArgs& args) {
  return WithPrimitive<EServed::kFourCorners>(args,
                                              [&](auto& o) { o.SetCornerColours(Words<std::uint32_t, 4>(args, 1)); });
}

std::uint32_t NativeSetTriangleColors(const NativeArgs& args) {
  return With<CTrianglePrim>(args, 0, [&](CTrianglePrim& o) { o.SetCornerColours(Words<std::uint32_t, 3>(args, 1)); });
}

std::uint32_t NativeSetRenderObjectAlpha(const NativeArgs& args) {
  return WithPrimitive(args, [&](auto& o) { o.SetAlpha(args.I32(1)); });
}

std::uint32_t NativeSetRenderObjectVertexAlpha(const NativeArgs& args) {
  return WithPrimitive(args, [&](auto& o) { SetVertex(o, args.U32(1), args.I32(2), true); });
}

std::uint32_t NativeSetRenderObjectCornerAlphas(const NativeArgs& args) {
  return WithPrimitive<EServed::kFourCorners>(args,
                                              [&](auto& o) { o.SetCornerAlphas(Words<std::int32_t, 4>(args, 1)); });
}

std::uint32_t NativeSetTriangleAlphas(const NativeArgs& args) {
  return With<CTrianglePrim>(args, 0, [&](CTrianglePrim& o) { o.SetCornerAlphas(Words<std::int32_t, 3>(args, 1)); });
}

std::uint32_t NativeSetQuadStageA(const NativeArgs& args) {
  return With<CTexturedQuad>(args, 0, [&](CTexturedQuad& o) { o.SetStages(StageFrom(args), o.GetAlphaStage()); });
}

std::uint32_t NativeSetQuadStageB(const NativeArgs& args) {
  return With<CTexturedQuad>(args, 0, [&](CTexturedQuad& o) { o.SetStages(o.GetColourStage(), StageFrom(args)); });
}

std::uint32_t NativeSetQuadCorners(const NativeArgs& args) {
  const auto words = Words<std::int32_t, 8>(args, 1);
  return With<CTexturedQuad>(args, 0, [&](CTexturedQuad& o) {
    o.SetCorners({{{words[0], words[1]}, {words[2], words[3]}, {words[4], words[5]}, {words[6], words[7]}}});
  });
}

std::uint32_t NativeSetRectPrimBaseSize(const NativeArgs& args) {
  return With<CRectPrim>(args, 0, [&](CRectPrim& o) { o.SetBaseSize(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSetRectPrimBaseSizeAndPosition(const NativeArgs& args) {
  return With<CRectPrim>(
      args, 0, [&](CRectPrim& o) { o.SetBaseSizeAndPosition(args.I32(1), args.I32(2), args.I32(3), args.I32(4)); });
}

std::uint32_t NativeSetPolygonType(const NativeArgs& args) {
  const std::uint8_t number = args.U8(1);
  return With<CPolygonPrim>(args, 0, [&](CPolygonPrim& o) {
    if (number <= kLastPolygonNumber) o.SetPrimitiveType(PolygonPrimitiveType(number));
  });
}

std::uint32_t NativeSetPrimitivePoint(const NativeArgs& args) {
  return With<CPointShape>(args, 0,
                           [&](CPointShape& o) { return Bit(o.SetPoint(args.I32(1), args.I32(2), args.I32(3))); });
}

std::uint32_t NativeSetLinePoints(const NativeArgs& args) {
  return With<CPolygonPrim>(args, 0, [&](CPolygonPrim& o) {
    return Bit(o.SetFirstTwoPoints({args.I32(1), args.I32(2)}, {args.I32(3), args.I32(4)}));
  });
}

std::uint32_t NativeSetTrianglePoints(const NativeArgs& args) {
  const auto words = Words<std::int32_t, 6>(args, 1);
  return With<CTrianglePrim>(args, 0, [&](CTrianglePrim& o) {
    o.SetPoints({{{words[0], words[1]}, {words[2], words[3]}, {words[4], words[5]}}});
  });
}

std::uint32_t NativeSetTransitionLevel(const NativeArgs& args) {
  return With<CTransitionDrawable>(args, kMinusOne, [&](CTransitionDrawable& o) { return o.SetLevel(args.U32(1)); });
}

std::uint32_t NativeSetTransitionPattern(const NativeArgs& args) {
  return With<CTransitionDrawable>(args, 0, [&](CTransitionDrawable& o) { o.SetPattern(args.U32(1)); });
}

std::uint32_t NativeSetTransitionTarget(const NativeArgs& args) {
  return With<CTransitionDrawable>(args, kMinusOne, [&](CTransitionDrawable& o) -> std::uint32_t {
    if (args.U32(1) == 0) return o.SetTarget(nullptr);
    // A word that names no picture is refused like a picture without a surface.
    CImageInterface* picture = args.Handle<CImageInterface>(1);
    return picture != nullptr ? o.SetTarget(picture) : 1;
  });
}

std::uint32_t NativeSetTransitionPatternPosition(const NativeArgs& args) {
  return With<CTransitionDrawable>(args, 0,
                                   [&](CTransitionDrawable& o) { o.SetPatternPosition(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeMoveTransitionPatternPosition(const NativeArgs& args) {
  return With<CTransitionDrawable>(args, 0, [&](CTransitionDrawable& o) {
    o.SetPatternPosition(OffsetCoordinate(o.GetPatternX(), args.I32(1)),
                         OffsetCoordinate(o.GetPatternY(), args.I32(2)));
  });
}

std::uint32_t NativeGetRenderObjectBounds(const NativeArgs& args) {
  return With<CRenderObject>(args, 0, [&](CRenderObject& o) -> std::uint32_t {
    plat::Rect bounds;
    if (!o.GetBounds(&bounds)) return 0;
    const std::int32_t sides[] = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    for (std::uint32_t i = 0; i < 4; ++i) args.Out(1 + i).Set(static_cast<std::uint32_t>(sides[i]));
    return 1;
  });
}
