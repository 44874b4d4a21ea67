#include "builtins/render_object_builtins.h"

#include <array>
#include <optional>
#include <vector>

#include "builtins/script_word_arrays.h"
#include "effects/patterns/transition_drawable.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "scene/render/render_image.h"
#include "scene/render/render_object_factories.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/render/textured_quad.h"

namespace {

constexpr std::int32_t kFirstPriority = -1;
constexpr std::uint8_t kLastPolygonNumber = 5;

// The handle of what a factory of the screen made, 0 when it made nothing or there is no screen.
template <class T, class Make>
std::uint32_t Created(const NativeArgs& args, Make make) {
  if (g_ScreenManager == nullptr) return 0;
  T* object = nullptr;
  make(*g_ScreenManager, &object);
  return object != nullptr ? object->ScriptHandle(args.Handles()) : 0;
}

// The image and quad views: args[0] picture, args[1..4] rectangle, args[5], args[6] place; the
// picture is offered to the factory as the source type it takes (none when it is not one).
template <class T, class Source, class Factory>
std::uint32_t CreatedView(const NativeArgs& args, Factory factory) {
  auto* source = dynamic_cast<Source*>(args.Handle<CImageInterface>(0));
  const std::optional<ScriptRect> given = args.Rect(1);
  std::optional<plat::Rect> rect;
  std::int32_t x = 0;
  std::int32_t y = 0;
  if (given) {
    rect = plat::Rect{given->left, given->top, given->right, given->bottom};
    x = args.I32(5);
    y = args.I32(6);
  }
  return Created<T>(
      args, [&](CScreenManager& screen, T** out) { factory(screen, out, source, rect ? &*rect : nullptr, x, y); });
}

bool IsDisplayPicture(const CImageInterface& picture) {
  return picture.GetKind() == ESurfaceKind::kDDrawPicture || picture.GetKind() == ESurfaceKind::kDDrawSprite;
}

std::uint32_t AddToRenderList(const NativeArgs& args, bool after_equal) {
  if (g_ScreenManager == nullptr) return 1;
  CRenderObject* object = args.Handle<CRenderObject>(0);
  const std::int32_t priority = args.I32(1);
  const bool first = priority == kFirstPriority;
  const auto place = static_cast<std::uint32_t>(first ? 0 : priority);
  const std::uint8_t tag = first ? 0 : args.U8(2);
  return after_equal ? g_ScreenManager->AddAfterEqual(object, place, tag)
                     : g_ScreenManager->AddBeforeEqual(object, place, tag);
}

std::uint32_t MoveInRenderList(const NativeArgs& args, bool after_equal) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  if (g_ScreenManager == nullptr || object == nullptr) return 0;
  const std::uint32_t priority = args.U32(1);
  const bool keep_if_same = (args.U32(2) & 1) != 0;
  return after_equal ? g_ScreenManager->MoveAfterEqual(object, priority, keep_if_same)
                     : g_ScreenManager->MoveBeforeEqual(object, priority, keep_if_same);
}

}  // namespace

std::uint32_t NativeCreateRenderImage(const NativeArgs& args) {
  return CreatedView<CRenderImage, CImageInterface>(args, CreateRenderImage);
}

std::uint32_t NativeCreateTexturedQuad(const NativeArgs& args) {
  return CreatedView<CTexturedQuad, CD3DTexture>(args, CreateTexturedQuad);
}

std::uint32_t NativeCreateRenderImage2(const NativeArgs& args) {
  return CreatedView<CCanvasImage, CSurfaceCanvas>(args, CreateCanvasImage);
}

std::uint32_t NativeCreateTexturedQuad2(const NativeArgs& args) {
  return CreatedView<CCanvasQuad, CPictureCanvas>(args, CreateCanvasQuad);
}

std::uint32_t NativeCreatePolygon(const NativeArgs& args) {
  const std::uint8_t number = args.U8(0);
  if (number > kLastPolygonNumber) return 0;
  const std::uint32_t colour = args.U32(1);
  const std::vector<std::int32_t> pairs = ReadScriptWords(args, 3, std::uint64_t{args.U32(2)} * 2);
  std::vector<std::int32_t> xs;
  std::vector<std::int32_t> ys;
  xs.reserve(pairs.size() / 2);
  ys.reserve(pairs.size() / 2);
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
    xs.push_back(pairs[i]);
    ys.push_back(pairs[i + 1]);
  }
  return Created<CPolygonPrim>(args, [&](CScreenManager& screen, CPolygonPrim** out) {
    CreatePolygonPrim(screen, out, std::move(xs), std::move(ys), colour, PolygonPrimitiveType(number));
  });
}

std::uint32_t NativeCreateRectPrim(const NativeArgs& args) {
  return Created<CRectPrim>(args, [&](CScreenManager& screen, CRectPrim** out) {
    CreateRectPrim(screen, out, args.I32(0), args.I32(1), args.U32(2), args.I32(3), args.I32(4));
  });
}

std::uint32_t NativeCreateTrianglePrim(const NativeArgs& args) {
  const std::array<plat::Point, 3> points{
      {{args.I32(0), args.I32(1)}, {args.I32(2), args.I32(3)}, {args.I32(4), args.I32(5)}}};
  return Created<CTrianglePrim>(args, [&](CScreenManager& screen, CTrianglePrim** out) {
    CreateTrianglePrim(screen, out, points, args.U32(6), args.I32(7), args.I32(8));
  });
}

std::uint32_t NativeCreateRenderStateA(const NativeArgs& args) {
  return Created<CRenderStateBlock>(args, CreateRenderStateBlock);
}

std::uint32_t NativeCreateRenderStateB(const NativeArgs& args) {
  return Created<CBlendStateBlock>(args, CreateBlendStateBlock);
}

std::uint32_t NativeCreateTransitionDrawable(const NativeArgs& args) {
  CImageInterface* source = args.Handle<CImageInterface>(1);
  if (source == nullptr || !IsDisplayPicture(*source)) return 0;
  CImageInterface* target = nullptr;
  if (args.U32(0) != 0) {
    target = args.Handle<CImageInterface>(0);
    if (target == nullptr || !IsDisplayPicture(*target)) return 0;
  }
  const std::uint32_t pattern = args.U32(2);
  const bool placed = args.U32(3) != kAbsentArgumentGroup;
  const std::int32_t x = placed ? args.I32(3) : 0;
  const std::int32_t y = placed ? args.I32(4) : 0;
  const std::uint32_t level = placed ? args.U32(5) : 0;
  return Created<CTransitionDrawable>(args, [&](CScreenManager& screen, CTransitionDrawable** out) {
    CreateTransitionDrawable(screen, out, target, source, pattern, x, y, level);
  });
}

// An object the screen does not hold (the movie's) is not the scripts' to delete: 2, word kept.
std::uint32_t NativeDeleteRenderObject(const NativeArgs& args) {
  return args.DestroyThroughHandleRef<CRenderObject>(0, [](CRenderObject& object) -> std::uint32_t {
    return g_ScreenManager != nullptr ? g_ScreenManager->DeleteRenderObject(&object) : kHandleRefNotFound;
  });
}

std::uint32_t NativeRenderListAdd(const NativeArgs& args) { return AddToRenderList(args, true); }

std::uint32_t NativeRenderListAddBefore(const NativeArgs& args) { return AddToRenderList(args, false); }

std::uint32_t NativeRenderListRemove(const NativeArgs& args) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  if (g_ScreenManager != nullptr && object != nullptr) g_ScreenManager->Remove(object);
  return 0;
}

std::uint32_t NativeRenderListRemovePriority(const NativeArgs& args) {
  if (g_ScreenManager != nullptr) g_ScreenManager->RemoveByPriority(args.U32(0));
  return 0;
}

std::uint32_t NativeRenderListOperation(const NativeArgs& args) {
  if (g_ScreenManager != nullptr) g_ScreenManager->SetApplyStates(args.U8(0));
  return 0;
}

std::uint32_t NativeSetRenderObjectEnabled(const NativeArgs& args) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  if (object == nullptr) return 0;
  object->SetEnabled(static_cast<std::uint8_t>(args.U32(1) & 1));
  return 1;
}

std::uint32_t NativeIsRenderObjectEnabled(const NativeArgs& args) {
  CRenderObject* object = args.Handle<CRenderObject>(0);
  return object != nullptr ? object->IsEnabled() : 0;
}

std::uint32_t NativeRenderListNotify(const NativeArgs& args) {
  if (g_ScreenManager == nullptr) return 0;
  const auto enabled = static_cast<std::uint8_t>(args.U32(0) & 1);
  if (args.U32(1) == kAbsentArgumentGroup) {
    g_ScreenManager->SetEnabledWhere(enabled, CRenderList::kAnyPriority, CRenderList::kAnyTag);
  } else {
    g_ScreenManager->SetEnabledWhere(enabled, args.U32(1), args.I32(2));
  }
  return 0;
}

std::uint32_t NativeRenderListMove(const NativeArgs& args) { return MoveInRenderList(args, true); }

std::uint32_t NativeRenderListMoveBefore(const NativeArgs& args) { return MoveInRenderList(args, false); }
