#include "builtins/surface_object_builtins.h"

#include "builtins/builtin_table.h"
#include "builtins/image_args.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/picture_object.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/display/surface_object_image.h"
#include "ui/fonts/font_base.h"
#include "ui/text_objects/text_object.h"
#include "ui/text_objects/text_surface_factories.h"
#include "ui/widgets/ddraw_sprite.h"

namespace {

constexpr uint32_t kObject = 0;
constexpr uint32_t kNotACanvas = 1;
constexpr bool kVideoMemory = false;

// The handle of the object that create(screen, &object) made; 0 when it made none or there is
// no screen.
template <class T, class Create>
uint32_t Created(const NativeArgs& args, Create create) {
  if (g_ScreenManager == nullptr) return 0;
  T* object = nullptr;
  create(*g_ScreenManager, &object);
  return object != nullptr ? static_cast<CImageInterface*>(object)->ScriptHandle(args.Handles()) : 0;
}

// A font argument: 0 is the default font (null); a handle that names no font is refused.
bool FontArg(const NativeArgs& args, uint32_t i, CFontBase*& font) {
  font = args.Handle<CFontBase>(i);
  return font != nullptr || args.U32(i) == 0;
}

template <class Op>
uint32_t WithObject(const NativeArgs& args, uint32_t none, Op op) {
  CImageInterface* object = args.Handle<CImageInterface>(kObject);
  return object != nullptr ? static_cast<uint32_t>(op(*object)) : none;
}

bool IsDisplayPicture(ESurfaceKind kind) {
  return kind == ESurfaceKind::kDDrawPicture || kind == ESurfaceKind::kDDrawSprite;
}

}  // namespace

std::uint32_t NativeCreatePicture(const NativeArgs& args) {
  return Created<CDDrawPicture>(args, [&](CScreenManager& screen, CDDrawPicture** out) {
    return screen.CreatePicture(out, args.I32(0), args.I32(1), kVideoMemory);
  });
}

std::uint32_t NativeLoadPicture(const NativeArgs& args) {
  return Created<CDDrawPicture>(args, [&](CScreenManager& screen, CDDrawPicture** out) {
    return screen.LoadPicture(out, args.Str(0), nullptr, 0, kVideoMemory);
  });
}

std::uint32_t NativeLoadPictureData(const NativeArgs& args) {
  return Created<CDDrawPicture>(args, [&](CScreenManager& screen, CDDrawPicture** out) {
    return screen.LoadPicture(out, nullptr, DataArg(args, 0, args.U32(1)), args.U32(1), kVideoMemory);
  });
}

std::uint32_t NativeCreateDDrawSprite(const NativeArgs& args) {
  CFontBase* font = nullptr;
  if (!FontArg(args, 1, font)) return 0;
  return Created<CDDrawSprite>(args, [&](CScreenManager& screen, CDDrawSprite** out) {
    return CreateDDrawSprite(screen, out, args.Str(0), font);
  });
}

std::uint32_t NativeCreateSurfaceCanvas(const NativeArgs& args) {
  return Created<CSurfaceCanvas>(args, [&](CScreenManager& screen, CSurfaceCanvas** out) {
    return screen.CreateSurfaceCanvas(out, args.I32(0), args.I32(1), args.U8(2), args.U8(3));
  });
}

std::uint32_t NativeCreatePictureObject(const NativeArgs& args) {
  return Created<CPictureObject>(args, [&](CScreenManager& screen, CPictureObject** out) {
    return screen.CreatePictureObject(out, args.U32(0), args.Str(1), nullptr, 0, kVideoMemory);
  });
}

std::uint32_t NativeCreatePictureObject2(const NativeArgs& args) {
  return Created<CPictureObject>(args, [&](CScreenManager& screen, CPictureObject** out) {
    return screen.CreatePictureObject(out, args.U32(0), nullptr, DataArg(args, 1, args.U32(2)), args.U32(2),
                                      kVideoMemory);
  });
}

std::uint32_t NativeCreateTextObject(const NativeArgs& args) {
  CFontBase* font = nullptr;
  if (!FontArg(args, 2, font)) return 0;
  return Created<CTextObject>(args, [&](CScreenManager& screen, CTextObject** out) {
    return CreateTextObject(screen, out, args.U32(0), args.Str(1), font);
  });
}

std::uint32_t NativeCreatePictureCanvas(const NativeArgs& args) {
  return Created<CPictureCanvas>(args, [&](CScreenManager& screen, CPictureCanvas** out) {
    return screen.CreatePictureCanvas(out, args.U32(0), args.I32(1), args.I32(2), args.U8(3), args.U8(4),
                                      kVideoMemory);
  });
}

std::uint32_t NativeCreateImage(const NativeArgs& args) {
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return screen.CreateImage(out, args.I32(0), args.I32(1), args.U8(2), args.U32(3));
  });
}

std::uint32_t NativeLoadImage32(const NativeArgs& args) {
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return screen.LoadImage32(out, args.Str(0), nullptr, 0, args.U32(1));
  });
}

std::uint32_t NativeLoadImage(const NativeArgs& args) {
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return screen.LoadImage(out, args.Str(0), nullptr, 0, args.U32(1));
  });
}

std::uint32_t NativeLoadImage32Data(const NativeArgs& args) {
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return screen.LoadImage32(out, nullptr, DataArg(args, 0, args.U32(1)), args.U32(1), args.U32(2));
  });
}

std::uint32_t NativeLoadImageData(const NativeArgs& args) {
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return screen.LoadImage(out, nullptr, DataArg(args, 0, args.U32(1)), args.U32(1), args.U32(2));
  });
}

std::uint32_t NativeCreateTextImage(const NativeArgs& args) {
  CFontBase* font = nullptr;
  if (!FontArg(args, 1, font)) return 0;
  return Created<CImage>(args, [&](CScreenManager& screen, CImage** out) {
    return CreateTextImage(screen, out, args.Str(0), font, args.U32(2));
  });
}

std::uint32_t NativeDuplicateImage(const NativeArgs& args) {
  const CImage* source = ImageArg(args, 0);
  if (source == nullptr) return 0;
  return Created<CImage>(
      args, [&](CScreenManager& screen, CImage** out) { return screen.DuplicateImage(out, source, args.U32(1)); });
}

std::uint32_t NativeCreateImageCanvasEx(const NativeArgs& args) {
  return Created<CImageCanvasEx>(args, [&](CScreenManager& screen, CImageCanvasEx** out) {
    return screen.CreateImageCanvasEx(out, args.I32(0), args.I32(1), args.U8(2), args.U8(3));
  });
}

std::uint32_t NativeCreateImageCanvas(const NativeArgs& args) {
  return Created<CImageCanvas>(args, [&](CScreenManager& screen, CImageCanvas** out) {
    return screen.CreateImageCanvas(out, args.I32(0), args.I32(1), args.U8(2), args.Flag(3));
  });
}

std::uint32_t NativeSetObjectLink(const NativeArgs& args) {
  // The two words of the object that the link joins are not known: only the answer is given.
  return WithObject(args, 0, [](CImageInterface&) {
    ReportBuiltinNotBuilt(240);
    return 1;
  });
}

std::uint32_t NativeGetFrameImage(const NativeArgs& args) {
  if (g_ScreenManager == nullptr || g_ScreenManager->GetFrameImage() == nullptr) return 0;
  return static_cast<CImageInterface*>(g_ScreenManager->GetFrameImage())->ScriptHandle(args.Handles());
}

std::uint32_t NativeSetFrameImage(const NativeArgs& args) {
  if (g_ScreenManager == nullptr) return kNotACanvas;
  if (args.U32(kObject) == 0) return g_ScreenManager->SetFrameImage(nullptr);
  auto* canvas = dynamic_cast<CImageCanvasBase*>(args.Handle<CImageInterface>(kObject));
  return canvas != nullptr ? g_ScreenManager->SetFrameImage(canvas) : kNotACanvas;
}

std::uint32_t NativeDeleteSurfaceObject(const NativeArgs& args) {
  const HandleRefResult<CImageInterface> ref = args.HandleRef<CImageInterface>(kObject);
  if (ref.status != kHandleRefResolved) return ref.status;
  const uint32_t handle = ref.object->ScriptHandle(args.Handles());
  const uint32_t status = g_ScreenManager != nullptr ? g_ScreenManager->DeleteSurfaceObject(ref.object)
                                                     : uint32_t{kHandleRefNotFound};
  // An object the screen does not hold stays, and so does the script's word.
  if (status != 0) args.Memory().SetWord(args.U32(kObject), handle);
  return status;
}

std::uint32_t NativeGetObjectWidth(const NativeArgs& args) {
  return WithObject(args, 0, [](CImageInterface& object) { return object.GetWidth(); });
}

std::uint32_t NativeGetObjectHeight(const NativeArgs& args) {
  return WithObject(args, 0, [](CImageInterface& object) { return object.GetHeight(); });
}

std::uint32_t NativeSetColorKeyAt(const NativeArgs& args) {
  return WithObject(args, kNoImageResult,
                    [&](CImageInterface& object) { return object.SetColorKeyFromPixel(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSetColorKey(const NativeArgs& args) {
  return WithObject(args, kNoImageResult,
                    [&](CImageInterface& object) { return object.SetColorKeyRgb(args.U8(1), args.U8(2), args.U8(3)); });
}

std::uint32_t NativeClearColorKey(const NativeArgs& args) {
  return WithObject(args, kNoImageResult, [](CImageInterface& object) { return object.ClearColorKey(); });
}

std::uint32_t NativeGetUserWordA(const NativeArgs& args) {
  return WithObject(args, 0, [](CImageInterface& object) { return object.GetUserWord0(); });
}

std::uint32_t NativeGetUserWordB(const NativeArgs& args) {
  return WithObject(args, 0, [](CImageInterface& object) { return object.GetUserWord1(); });
}

std::uint32_t NativeFillObject(const NativeArgs& args) {
  return WithObject(args, kNoImageResult, [&](CImageInterface& object) -> uint32_t {
    if (object.GetKind() == ESurfaceKind::kDDrawPicture) {
      auto* picture = dynamic_cast<CDDrawPicture*>(&object);
      return picture != nullptr ? picture->FillColor(args.U8(1), args.U8(2), args.U8(3)) : kNoImageResult;
    }
    CImage* image = GetObjectImage(&object);
    if (image == nullptr) return kNoImageResult;
    return image->FillRect(args.U8(1), args.U8(2), args.U8(3), nullptr) ? 1 : 0;
  });
}

std::uint32_t NativeDrawTransition(const NativeArgs& args) {
  CImageInterface* source = args.Handle<CImageInterface>(2);
  if (source == nullptr) return kNoImageResult;
  const int32_t type = args.I32(0), level = args.I32(3), x = args.I32(4), y = args.I32(5);
  if (IsDisplayPicture(source->GetKind())) {
    return static_cast<uint32_t>(
        DrawTransitionPattern(type, nullptr, source, level, x, y, kTransitionCopy, g_ScreenManager));
  }
  CImage* source_image = GetObjectImage(source);
  CImage* destination_image = ImageArg(args, 1);
  if (source_image == nullptr || destination_image == nullptr) return kNoImageResult;
  return static_cast<uint32_t>(
      DrawTransitionPattern(type, destination_image, source_image, level, x, y, args.I32(6), nullptr));
}
