#include "builtins/draw_layer_builtins.h"

#include <bit>

#include "builtins/image_args.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/image_operations/screen_transition.h"
#include "scene/drawables/draw_layer.h"

namespace {

constexpr uint32_t kMinus1 = 0xFFFFFFFF;
constexpr uint32_t kMinus2 = 0xFFFFFFFE;
constexpr uint32_t kNoAttachedList = 4;
constexpr uint32_t kAny = 0xFFFFFFFF;

CDrawLayer* LayerArg(const NativeArgs& args) {
  return dynamic_cast<CDrawLayer*>(GetObjectDrawLayer(args.Handle<CImageInterface>(0)));
}

// op(layer) for the layer of args[0]; `none` without one.
template <class Op>
uint32_t WithLayer(const NativeArgs& args, uint32_t none, Op op) {
  CDrawLayer* layer = LayerArg(args);
  if (layer == nullptr) return none;
  return static_cast<uint32_t>(op(*layer));
}

// op(list) on the own list, then on the attached one when there is one.
template <class Op>
void OnBothLists(CDrawLayer& layer, Op op) {
  op(layer.GetOwnList());
  if (CDrawList* attached = layer.GetAttachedList()) op(*attached);
}
// op(list) on the own list and, when that fails, on the attached one: true when either did.
template <class Op>
bool OnFirstList(CDrawLayer& layer, Op op) {
  if (op(layer.GetOwnList())) return true;
  CDrawList* attached = layer.GetAttachedList();
  return attached != nullptr && op(*attached);
}

uint32_t Insert(const NativeArgs& args, bool behind) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    CDrawable* drawable = args.Handle<CDrawable>(1);
    const auto insert = [&](CDrawList& list, uint32_t priority, uint32_t tag) {
      return behind ? list.InsertBehind(drawable, priority, tag) : list.Insert(drawable, priority, tag);
    };
    if (args.I32(2) == -1) return insert(layer.GetOwnList(), 0, 0);
    if (!args.Flag(4)) return insert(layer.GetOwnList(), args.U32(2), args.U32(3));
    CDrawList* attached = layer.GetAttachedList();
    return attached != nullptr ? insert(*attached, args.U32(2), args.U32(3)) : kNoAttachedList;
  });
}

uint32_t SetPriority(const NativeArgs& args, bool behind) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    CDrawable* drawable = args.Handle<CDrawable>(1);
    return OnFirstList(layer, [&](CDrawList& list) {
      return behind ? list.SetPriorityBehind(drawable, args.U32(2), args.Flag(3))
                    : list.SetPriority(drawable, args.U32(2), args.Flag(3));
    }) ? 1 : 0;
  });
}

// The handle of the screen's surface object whose image is `image`; 0 when none is.
uint32_t ObjectHandleOf(const CImage* image, HandleTable& handles) {
  if (image == nullptr || g_ScreenManager == nullptr) return 0;
  for (const std::unique_ptr<CImageInterface>& object : g_ScreenManager->GetSurfaceObjects()) {
    if (GetObjectImage(object.get()) == image) return object->ScriptHandle(handles);
  }
  return 0;
}

}  // namespace

std::uint32_t NativeLayerInsert(const NativeArgs& args) { return Insert(args, false); }
std::uint32_t NativeLayerInsertBehind(const NativeArgs& args) { return Insert(args, true); }

std::uint32_t NativeLayerRemove(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    CDrawable* drawable = args.Handle<CDrawable>(1);
    return OnFirstList(layer, [&](CDrawList& list) { return list.Remove(drawable); }) ? 1 : 0;
  });
}

std::uint32_t NativeLayerRemovePriority(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    OnBothLists(layer, [&](CDrawList& list) { list.RemovePriority(args.U32(1), args.U8(2) != 0); });
    return 0;
  });
}

std::uint32_t NativeLayerRemoveWhere(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    OnBothLists(layer, [&](CDrawList& list) { list.RemoveWhere(args.U32(1), args.U32(2), args.U8(3) != 0); });
    return 0;
  });
}

std::uint32_t NativeLayerSetPriority(const NativeArgs& args) { return SetPriority(args, false); }
std::uint32_t NativeLayerSetPriorityBehind(const NativeArgs& args) { return SetPriority(args, true); }

std::uint32_t NativeLayerClear(const NativeArgs& args) {
  return WithLayer(args, 0, [](CDrawLayer& layer) {
    OnBothLists(layer, [](CDrawList& list) { list.Clear(); });
    return 0;
  });
}

std::uint32_t NativeLayerSetEnabledWhere(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    const bool any = args.U32(3) == kAbsentArgumentGroup;
    const uint32_t tag = any ? kAny : args.U32(3);
    const uint32_t id = any ? kAny : args.U32(4);
    const bool invert = any ? false : args.U8(5) != 0;
    OnBothLists(layer, [&](CDrawList& list) { list.SetEnabledWhere(args.Flag(1), args.U32(2), tag, id, invert); });
    return 0;
  });
}

std::uint32_t NativeLayerSetBackgroundImage(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    CImage* image = nullptr;
    if (args.U32(1) != 0) {
      image = ImageArg(args, 1);
      if (image == nullptr) return 0;
    }
    return layer.SetBackgroundImage(image, args.I32(2), args.I32(3), args.Flag(4)) ? 1 : 0;
  });
}

std::uint32_t NativeLayerSetBackgroundColor(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    const uint8_t redraw = args.U8(2);
    if (redraw < 2) {
      layer.SetBackgroundColor(args.U32(1), redraw == 1);
    } else {
      layer.StoreBackgroundColor(args.U32(1));
    }
    return 1;
  });
}

std::uint32_t NativeLayerSetBackgroundOffset(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    return layer.SetBackgroundOffset(args.I32(1), args.I32(2)) ? layer.InvalidateAll() : 0;
  });
}

std::uint32_t NativeLayerSetBackgroundArea(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    const std::optional<plat::Rect> source = RectArg(args, 5);
    return layer.SetBackgroundArea(args.I32(1), args.I32(2), args.I32(3), args.I32(4), source ? &*source : nullptr)
               ? 1
               : 0;
  });
}

std::uint32_t NativeLayerSetBackgroundAnchor(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) { return layer.SetBackgroundAnchor(args.I32(1)) ? 1 : 0; });
}

std::uint32_t NativeLayerSetBackgroundRotoZoom(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    const double zoom = std::bit_cast<float>(args.U32(4));
    return layer.SetBackgroundRotoZoom(args.I32(1), args.I32(2), args.I32(3), zoom) ? 1 : 0;
  });
}

std::uint32_t NativeLayerGetBackground(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    CImage* image = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t rgb[3] = {};
    layer.GetBackground(&image, &x, &y, &rgb[0], &rgb[1], &rgb[2]);
    args.Out(1).Set(ObjectHandleOf(image, args.Handles()));
    args.Out(2).Set(static_cast<uint32_t>(x));
    args.Out(3).Set(static_cast<uint32_t>(y));
    for (uint32_t i = 0; i < 3; ++i) args.Out(4 + i).SetBytes(&rgb[i], 1);
    return 1;
  });
}

std::uint32_t NativeLayerInvalidateAll(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [](CDrawLayer& layer) { return layer.InvalidateAll(); });
}

std::uint32_t NativeLayerInvalidateRect(const NativeArgs& args) {
  return WithLayer(args, 0, [&](CDrawLayer& layer) {
    plat::Rect rect{args.I32(1), args.I32(2), args.I32(3), args.I32(4)};
    layer.InvalidateRect(&rect);
    return 1;
  });
}

std::uint32_t NativeCanvasSetPartSwitch(const NativeArgs& args) {
  CImagePart* part = GetObjectImagePart(args.Handle<CImageInterface>(0));
  return part != nullptr ? part->SetSwitch(args.Flag(1) ? 1 : 0) : 0;
}

std::uint32_t NativeLayerRepaint(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [](CDrawLayer& layer) { return layer.Repaint(); });
}

std::uint32_t NativeLayerRenderTo(const NativeArgs& args) {
  return WithLayer(args, kMinus2, [&](CDrawLayer& layer) {
    CImage* image = ImageArg(args, 1);
    if (image == nullptr) return kMinus1;
    return layer.RenderTo(image, args.U8(2), args.U32(3), args.Flag(4));
  });
}

std::uint32_t NativeLayerSetSkipLists(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    layer.SetFlags(args.Flag(1) ? 1 : 0, args.Flag(2) ? 1 : 0);
    return 0;
  });
}

std::uint32_t NativeLayerSetNoBackground(const NativeArgs& args) {
  return WithLayer(args, kMinus1, [&](CDrawLayer& layer) {
    layer.SetVisible(args.Flag(1) ? 1 : 0);
    return 0;
  });
}

std::uint32_t NativeSetStripRepaint(const NativeArgs& args) {
  g_StripRepaint = args.Flag(0) ? 1 : 0;
  return 0;
}
