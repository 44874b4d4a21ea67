#include "builtins/cursor_builtins.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "base/input/cursor_image.h"
#include "base/input/input_manager.h"
#include "base/system/app_services.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/images/image_base.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr std::uint32_t kFirstProgramShape = 13;
constexpr std::uint32_t kProgramCursorBase = 107;

constexpr std::uint32_t kCursorImageNoSurface = 1;
constexpr std::uint32_t kCursorImageNoPixels = 2;
constexpr std::uint32_t kCursorImageBadObject = 3;
constexpr std::uint32_t kOpaque = 0xFF000000;
constexpr std::uint32_t kRgbBits = 0x00FFFFFF;

// Copies 32-bit 0x??RRGGBB rows into the strip: opaque, but for the colour key's pixels, which
// become transparent.
void CopyRows(const std::uint8_t* bits, std::int32_t pitch, std::uint32_t key, CursorImageStrip& strip) {
  strip.pixels.resize(static_cast<std::size_t>(strip.width) * static_cast<std::size_t>(strip.height));
  auto out = strip.pixels.begin();
  for (std::int32_t y = 0; y < strip.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(y) * pitch);
    for (std::int32_t x = 0; x < strip.width; ++x, ++out) {
      const std::uint32_t rgb = row[x] & kRgbBits;
      *out = key != kNoColorKey && rgb == (key & kRgbBits) ? 0 : rgb | kOpaque;
    }
  }
}

bool IsXrgb(const plat::PixelFormat& format) {
  return format.bit_count == 32 && format.red_mask == 0xFF0000 && format.green_mask == 0xFF00 &&
         format.blue_mask == 0xFF;
}

std::uint32_t StripOfPicture(const CDDrawPicture& picture, CursorImageStrip& strip) {
  plat::Surface* surface = picture.GetSurface();
  if (surface == nullptr) return kCursorImageNoSurface;
  plat::LockedSurface locked;
  if (plat::Failed(surface->Lock(nullptr, locked))) return kCursorImageNoSurface;
  const bool usable = IsXrgb(locked.format);
  if (usable) {
    strip.width = std::min(picture.GetWidth(), locked.width);
    strip.height = std::min(picture.GetHeight(), locked.height);
    CopyRows(locked.bits, locked.pitch, picture.GetColorKey(), strip);
  }
  surface->Unlock();
  return usable ? 0 : kCursorImageBadObject;
}

std::uint32_t StripOfImage(const CImageBase& image, CursorImageStrip& strip) {
  if (image.GetPixels() == nullptr) return kCursorImageNoPixels;
  if (image.GetBitsPerPixel() != 32) return kCursorImageBadObject;
  strip.width = image.GetWidth();
  strip.height = image.GetHeight();
  CopyRows(image.GetPixels(), image.GetPitch(), image.GetColorKey(), strip);
  return 0;
}

// The object's pixels as a strip: 0, or the status for an object the cursor cannot take.
std::uint32_t StripOf(const CImageInterface& object, CursorImageStrip& strip) {
  if (const auto* picture = dynamic_cast<const CDDrawPicture*>(&object);
      picture != nullptr && object.GetKind() == ESurfaceKind::kDDrawPicture) {
    return StripOfPicture(*picture, strip);
  }
  if (const auto* image = dynamic_cast<const CImageBase*>(&object);
      image != nullptr && object.GetKind() == ESurfaceKind::kImage) {
    return StripOfImage(*image, strip);
  }
  return kCursorImageBadObject;
}

}  // namespace

std::uint32_t NativeSetCursorShape(const NativeArgs& args) {
  const std::uint32_t shape = args.U8(0);
  if (g_Mouse == nullptr) return 0;
  g_Mouse->SetCursorImage(nullptr);
  if (shape < kFirstProgramShape) {
    g_Mouse->SetCursorShape(static_cast<int>(shape));
    return 0;
  }
  const int resource = static_cast<int>(kProgramCursorBase + shape);
  if (g_Mouse->SetCursorShape(static_cast<int>(shape), resource) != 0) {
    plat::LogDiagnostic("cursor shape " + std::to_string(shape) + ": the program has no cursor " +
                        std::to_string(resource) + "; the cursor stays as it was");
  }
  return 0;
}

std::uint32_t NativeSetCursorImage(const NativeArgs& args) {
  if (args.U32(0) == 0) {
    if (g_Mouse != nullptr) g_Mouse->SetCursorImage(nullptr);
    return 0;
  }
  const CImageInterface* object = args.Handle<CImageInterface>(0);
  if (object == nullptr) return kCursorImageBadObject;
  CursorImageStrip strip;
  if (const std::uint32_t status = StripOf(*object, strip); status != 0) return status;
  auto image = std::make_unique<CCursorImage>(std::move(strip), args.U32(1), args.U32(2), args.U8(3) != 0,
                                              plat::Point{args.I32(4), args.I32(5)});
  if (image->GetFrameWidth() < 1 || image->GetFrameHeight() < 1) return kCursorImageBadObject;
  if (g_Mouse != nullptr) g_Mouse->SetCursorImage(std::move(image));
  return 0;
}

std::uint32_t NativeShowCursor(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->SetCursorVisible(args.U32(0) != 0);
  return 0;
}

std::uint32_t NativeGetCursorPos(const NativeArgs& args) {
  const plat::Point at = g_AppServices != nullptr ? g_AppServices->CursorInGame() : plat::Point{-1, -1};
  args.Out(0).Set(static_cast<std::uint32_t>(at.x));
  args.Out(1).Set(static_cast<std::uint32_t>(at.y));
  return 0;
}

std::uint32_t NativeSetCursorPos(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->PutCursorInGame(args.I32(0), args.I32(1));
  return 0;
}
