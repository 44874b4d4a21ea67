#include "builtins/font_builtins.h"

#include <type_traits>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "ui/fonts/edge_disc.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/fonts/screen_fonts.h"

namespace {

constexpr std::uint32_t kNoFont = 0xFFFFFFFF;
constexpr std::uint32_t kWrongKind = 0xFFFFFFFE;

CFontBase* FontOf(const NativeArgs& args) { return args.Handle<CFontBase>(0); }

// Runs `operation` on the font of args[0]: its result as a word, or kNoFont.
template <class Operation>
std::uint32_t WithFont(const NativeArgs& args, Operation operation) {
  CFontBase* font = FontOf(args);
  return font == nullptr ? kNoFont : static_cast<std::uint32_t>(operation(*font));
}

// Runs `store` on the font of args[0]: 1, or 0 without a font.
template <class Store>
std::uint32_t StoreInFont(const NativeArgs& args, Store store) {
  CFontBase* font = FontOf(args);
  if (font == nullptr) return 0;
  store(*font);
  return 1;
}

// Runs `operation` on a font of one kind: its result, kNoFont without a font, kWrongKind for
// the other kind.
template <class Font, class Operation>
std::uint32_t WithFontOfKind(const NativeArgs& args, Operation operation) {
  CFontBase* font = FontOf(args);
  if (font == nullptr) return kNoFont;
  Font* of_kind = dynamic_cast<Font*>(font);
  if (of_kind == nullptr) return kWrongKind;
  return static_cast<std::uint32_t>(operation(*of_kind));
}

// Runs `store` on a glyph font: 1, or 0 without one.
template <class Store>
std::uint32_t StoreInGlyphFont(const NativeArgs& args, Store store) {
  auto* font = dynamic_cast<CFont*>(FontOf(args));
  if (font == nullptr) return 0;
  store(*font);
  return 1;
}

Rgb RgbAt(const NativeArgs& args, std::uint32_t first) { return Rgb{args.U8(first), args.U8(first + 1), args.U8(first + 2)}; }

template <class Font>
std::uint32_t CreateFontOfKind(const NativeArgs& args) {
  if (g_ScreenManager == nullptr) return 0;
  CScreenFonts& fonts = CScreenFonts::Of(*g_ScreenManager);
  Font* font = nullptr;
  std::uint32_t status = 0;
  if constexpr (std::is_same_v<Font, CFont>) {
    status = fonts.CreateFont(&font, args.Str(0), args.I32(1));
  } else {
    status = fonts.CreateGdiFont(&font, args.Str(0), args.I32(1));
  }
  if (status != 0 || font == nullptr) return 0;
  const std::uint32_t handle = font->ScriptHandle(args.Handles());
  if (handle == 0) fonts.DeleteFontRef(font);
  return handle;
}

struct Measurement {
  std::int32_t lines = 0;
  TextSize size;
  std::int32_t offset_x = 0;
  std::int32_t offset_y = 0;
};

// Measures args[1] with the font's decoration; writes nothing itself.
template <class Write>
std::uint32_t MeasureWith(const NativeArgs& args, Write write) {
  CFontBase* font = FontOf(args);
  if (font == nullptr) return kNoFont;
  Measurement measured;
  measured.lines = font->MeasureText(args.Str(1), &measured.size, &measured.offset_x, &measured.offset_y, 1, nullptr);
  if (measured.lines == 0) return 0;
  write(*font, measured);
  return static_cast<std::uint32_t>(measured.lines);
}

void WriteBox(const NativeArgs& args, std::int32_t width, std::int32_t height, std::int32_t x, std::int32_t y) {
  args.Out(2).Set(static_cast<std::uint32_t>(width));
  args.Out(3).Set(static_cast<std::uint32_t>(height));
  args.Out(4).Set(static_cast<std::uint32_t>(x));
  args.Out(5).Set(static_cast<std::uint32_t>(y));
}

}  // namespace

std::uint32_t NativeDestroyFonts(const NativeArgs& /*args*/) {
  if (g_ScreenManager != nullptr) CScreenFonts::Of(*g_ScreenManager).DestroyFonts();
  return 0;
}

std::uint32_t NativeCreateGdiFont(const NativeArgs& args) { return CreateFontOfKind<CGdiFont>(args); }

std::uint32_t NativeCreateGlyphFont(const NativeArgs& args) { return CreateFontOfKind<CFont>(args); }

std::uint32_t NativeDeleteFont(const NativeArgs& args) {
  const std::uint32_t cell = args.U32(0);
  const HandleRefResult<CFontBase> ref = args.HandleRef<CFontBase>(0);
  if (ref.status != kHandleRefResolved) return ref.status;
  const std::uint32_t handle = ref.object->ScriptHandle(args.Handles());
  CFontBase* font = ref.object;
  if (g_ScreenManager == nullptr || CScreenFonts::Of(*g_ScreenManager).DeleteFontRef(font) != 0) {
    // A font the scripts may hold but the screen's list does not own (the novel frame's).
    args.Memory().SetWord(cell, handle);
    return kHandleRefNotFound;
  }
  return kHandleRefResolved;
}

std::uint32_t NativeSetDefaultFont(const NativeArgs& args) {
  CFontBase* font = FontOf(args);
  if (font == nullptr) return 0;
  g_DefaultFont = font;
  return 1;
}

std::uint32_t NativeFontSetFace(const NativeArgs& args) {
  return WithFont(args, [&](CFontBase& font) { return font.SetFaceNameIfChanged(args.Str(1)); });
}

std::uint32_t NativeFontSetSize(const NativeArgs& args) {
  return WithFont(args, [&](CFontBase& font) { return font.SetSize(args.I32(1)); });
}

std::uint32_t NativeFontSetStyle(const NativeArgs& args) {
  return WithFont(args, [&](CFontBase& font) { return font.SetBoldItalic(args.U8(1), args.U8(2)); });
}

std::uint32_t NativeFontSetAngle(const NativeArgs& args) {
  return WithFont(args, [&](CFontBase& font) { return font.SetAngle(args.I32(1)); });
}

std::uint32_t NativeFontSetSwitch(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) { font.SetGlyphFormat(args.U8(1)); });
}

std::uint32_t NativeFontSetColorA(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) { font.text_color = RgbAt(args, 1); });
}

std::uint32_t NativeFontSetColorB(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) {
    font.decoration = args.U8(1);
    font.shadow_x = args.I32(2);
    font.shadow_y = args.I32(3);
  });
}

std::uint32_t NativeFontSetColorC(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) { font.decoration_color = RgbAt(args, 1); });
}

std::uint32_t NativeFontSetBackground(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) {
    const Rgb colour = RgbAt(args, 2);
    if (auto* plain = dynamic_cast<CGdiFont*>(&font); plain != nullptr) {
      plain->SetBackground(args.U8(1), colour.red, colour.green, colour.blue);
    } else {
      font.background_color = colour;
    }
  });
}

std::uint32_t NativeFontSetWord(const NativeArgs& args) {
  return StoreInFont(args, [&](CFontBase& font) { font.line_spacing = args.I32(1); });
}

std::uint32_t NativeFontSetUnderline(const NativeArgs& args) {
  return WithFontOfKind<CGdiFont>(args,
                                  [&](CGdiFont& font) { return font.SetUnderlineStrikeOut(args.U8(1), args.U8(2)); });
}

std::uint32_t NativeFontSetQuality(const NativeArgs& args) {
  return WithFontOfKind<CGdiFont>(args, [&](CGdiFont& font) { return font.SetQuality(args.U8(1)); });
}

std::uint32_t NativeFontSetGlyphOption(const NativeArgs& args) {
  return StoreInGlyphFont(args, [&](CFont& font) { font.glyph_cache().SetLimit(args.U16(1)); });
}

std::uint32_t NativeFontDrawWithHelper(const NativeArgs& args) {
  return WithFontOfKind<CFont>(args, [&](CFont& font) -> std::uint32_t {
    CImage* image = GetObjectImage(args.Handle<CImageInterface>(1));
    if (image == nullptr) return 1;
    plat::Rect bounds;
    const std::uint32_t status =
        args.U8(5) != 0 ? font.DrawTextWithAlpha(image, args.I32(2), args.I32(3), args.Str(4), &bounds, nullptr)
                        : font.DrawText(image, args.I32(2), args.I32(3), args.Str(4), &bounds, nullptr);
    if (status == 0 && image->ClipRect(&bounds)) image->MarkChanged(bounds);
    return status;
  });
}

std::uint32_t NativeFontSetEdge(const NativeArgs& args) {
  return WithFontOfKind<CFont>(args,
                               [&](CFont& font) { return font.SetGradient(args.U8(1), args.U32(2), args.U32(3), 1); });
}

std::uint32_t NativeFontSetRenderParams(const NativeArgs& args) {
  const std::int32_t radius = args.I32(2);
  if (radius < -kMaxEdgeRadius || radius > kMaxEdgeRadius) return 0;
  return StoreInGlyphFont(args, [&](CFont& font) { font.SetEdgeParams(args.I32(1), args.I32(2)); });
}

std::uint32_t NativeFontMeasure(const NativeArgs& args) {
  return MeasureWith(args, [&](const CFontBase&, const Measurement& measured) {
    WriteBox(args, measured.size.cx, measured.size.cy, measured.offset_x, measured.offset_y);
  });
}

std::uint32_t NativeFontMeasureRotated(const NativeArgs& args) {
  return MeasureWith(args, [&](const CFontBase& font, const Measurement& measured) {
    const plat::Rect box =
        font.GetRotatedBounds(measured.offset_x, measured.offset_y, measured.size.cx, measured.size.cy);
    WriteBox(args, box.Width(), box.Height(), box.left, box.top);
  });
}
