#include "builtins/text_draw_builtins.h"

#include <string>

#include "base/system/app_services.h"
#include "base/text/sjis_fit.h"
#include "builtins/row_text_export.h"
#include "builtins/script_format.h"
#include "gfx/display/surface_object_image.h"
#include "ui/fonts/font_list.h"
#include "ui/fonts/text_image.h"

namespace {

constexpr std::uint32_t kNoImage = 0xFFFFFFFF;
// The formatting buffer holds 512 bytes with the terminating zero.
constexpr std::size_t kFormattedLimit = 511;
// A face name as the installed-font records hold it, with its terminating zero.
constexpr std::size_t kFaceNameBytes = 32;

using Drawer = std::uint32_t (*)(CImage&, std::int32_t, std::int32_t, const char*, CFontBase*);

std::uint32_t DrawInto(const NativeArgs& args, Drawer draw) {
  CImage* image = GetObjectImage(args.Handle<CImageInterface>(0));
  if (image == nullptr) return kNoImage;
  return draw(*image, args.I32(1), args.I32(2), args.Str(3), args.Handle<CFontBase>(4));
}

// The face of listed font `index`; null when there is none.
const LogicalFont* ListedFace(std::uint32_t index) {
  if (g_AppServices == nullptr) return nullptr;
  const CFontList& list = g_AppServices->InstalledFonts();
  return index < list.faces.size() ? &list.faces[index] : nullptr;
}

}  // namespace

std::uint32_t NativeDrawTextFormat(const NativeArgs& args) {
  CImage* image = GetObjectImage(args.Handle<CImageInterface>(0));
  if (image == nullptr) return kNoImage;
  const char* format = args.Str(3);
  // No format draws nothing, as an empty text does.
  const std::string text = format != nullptr ? FormatScriptText(format, args.From(4), kFormattedLimit) : "";
  return text_image::DrawTextGdi(*image, args.I32(1), args.I32(2), text.c_str(), nullptr);
}

std::uint32_t NativeDrawTextGdi(const NativeArgs& args) { return DrawInto(args, text_image::DrawTextGdi); }

std::uint32_t NativeDrawText(const NativeArgs& args) { return DrawInto(args, text_image::DrawText); }

std::uint32_t NativeDrawTextLayout(const NativeArgs& args) { return DrawInto(args, text_image::DrawString); }

std::uint32_t NativeEnumerateFonts(const NativeArgs& args) {
  if (g_AppServices == nullptr) return 0;
  return EnumerateFonts(g_AppServices->InstalledFonts(), args.U8(0), args.U8(1));
}

std::uint32_t NativeGetFontFace(const NativeArgs& args) {
  const LogicalFont* face = ListedFace(args.U32(0));
  const std::string name = face != nullptr ? FitSjis(face->face_name, kFaceNameBytes - 1) : std::string();
  args.Out(1).SetBytes(name.c_str(), static_cast<std::uint32_t>(name.size() + 1));
  return face != nullptr ? 1 : 0;
}

std::uint32_t NativeGetFontFaceText(const NativeArgs& args) {
  static RowTextExport exported;
  const LogicalFont* face = ListedFace(args.U32(0));
  return face != nullptr ? exported.Export(args.Memory(), face->face_name) : 0;
}
