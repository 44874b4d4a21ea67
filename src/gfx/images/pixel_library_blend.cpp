// The blend routines of the engine's pixel-routine library: each mode is the engine operation
// that paints the same pixels, one to one or stretched.
#include <bitset>
#include <string>

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr uint32_t kModeCount = 32;

// A mode without a meaning draws nothing; the log names each such mode of each routine the
// first time.
PixelRoutineResult UnknownMode(std::bitset<kModeCount>& logged, const char* routine, uint32_t mode) {
  const uint32_t slot = mode < kModeCount ? mode : kModeCount - 1;
  if (!logged.test(slot)) {
    logged.set(slot);
    plat::LogDiagnostic(std::string("pixel library: ") + routine + " mode " + std::to_string(mode) +
                        " has no meaning; nothing drawn");
  }
  return {};
}

// The low four bits of the filter mode ask for the bilinear stretch.
constexpr uint32_t kFilterBits = 0x0F;

}  // namespace

PixelRoutineResult PixelLibBlendRoutine(CImage& dst, CImage& src, const PixelBlendArgs& args) {
  // Plain copies rather than a structured binding, which the lambdas below could not capture
  // under every compiler the project builds with.
  const int32_t x = args.x;
  const int32_t y = args.y;
  const plat::Rect* const rect = args.src_rect;
  const uint8_t level = args.level;
  switch (args.mode) {
    case kPixelBlendLevel:
      return RunAsRoutine(dst, [&] {
        return level == 255 ? dst.Copy(&src, x, y, rect, false) : dst.BlendLevel(&src, level, x, y, rect);
      });
    case kPixelBlendAlpha:
      return RunAsRoutine(dst, [&] {
        return level == 255 ? dst.AlphaBlend(&src, x, y, rect, false) : dst.BlendModeLevel(0, &src, level, x, y, rect);
      });
    case kPixelBlendKeepAlpha:
      return RunAsRoutine(dst, [&] { return dst.BlendPreserveAlpha(&src, level, x, y, rect); });
    case kPixelBlendAdd:
      return RunAsRoutine(dst, [&] { return dst.AddScaled(&src, level, x, y, rect); });
    case kPixelBlendSubtract:
      return RunAsRoutine(dst, [&] { return dst.SubtractScaled(&src, level, x, y, rect); });
    default: {
      static std::bitset<kModeCount> logged;
      return UnknownMode(logged, "blend", args.mode);
    }
  }
}

PixelRoutineResult PixelLibStretchBlendRoutine(CImage& dst, CImage& src, const PixelStretchArgs& args) {
  const ImageSize* const size = args.size;
  const int32_t x = args.x;
  const int32_t y = args.y;
  const plat::Rect* const rect = args.src_rect;
  const uint32_t filter = args.filter;
  const uint8_t level = args.level;
  switch (args.mode) {
    case kPixelBlendLevel:
      return RunAsRoutine(dst, [&] {
        if (level != 255) return dst.StretchBlendLevel(&src, level, size, x, y, rect);
        if ((filter & kFilterBits) == 0) return dst.StretchCopy(&src, size, x, y, rect, false);
        return dst.SmoothStretchCopy(&src, size, x, y, rect);
      });
    case kPixelBlendAlpha:
      return RunAsRoutine(dst, [&] {
        return level == 255 ? dst.StretchAlphaBlend(&src, size, x, y, rect, false)
                            : dst.StretchBlendModeLevel(0, &src, level, size, x, y, rect);
      });
    case kPixelBlendKeepAlpha:
      return RunAsRoutine(dst, [&] { return dst.StretchBlendPreserveAlpha(&src, level, size, x, y, rect); });
    case kPixelBlendAdd:
      return RunAsRoutine(dst, [&] { return dst.StretchAddScaled(&src, level, size, x, y, rect); });
    case kPixelBlendSubtract:
      return RunAsRoutine(dst, [&] { return dst.StretchSubtractScaled(&src, level, size, x, y, rect); });
    default: {
      static std::bitset<kModeCount> logged;
      return UnknownMode(logged, "stretched blend", args.mode);
    }
  }
}
