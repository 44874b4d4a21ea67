#include "novel/page/slot_filters.h"

#include "gfx/images/image.h"
#include "novel/page/vov_slot_records.h"

namespace {

constexpr std::int32_t kFilterConflict = 2;
constexpr std::uint8_t kInvertColour = 0;       // the colour bytes, alpha kept
constexpr std::uint32_t kBrightened = 255 + 150;  // 255 leaves the picture as it is

struct Tint {
  std::uint32_t r, g, b;
  std::int32_t r_offset, g_offset, b_offset;
};
constexpr Tint kSepia{152, 128, 107, 24, 0, -4};
constexpr Tint kEvening{129, 128, 120, 15, 0, 0};
constexpr Tint kNight{126, 128, 115, -7, -7, 25};

void ApplyTint(CImage& image, const Tint& tint) {
  image.AdjustRgb(tint.r, tint.g, tint.b, tint.r_offset, tint.g_offset, tint.b_offset, nullptr);
}

}  // namespace

std::int32_t ApplySlotFilter(CImage& image, std::uint8_t& filter, std::uint8_t request) {
  if (request == kFilterNone) return 0;
  if (filter != kFilterNone) {
    if (filter != kFilterNegative || request != kFilterNegative) return kFilterConflict;
    image.Invert(kInvertColour, nullptr);
    filter = kFilterNone;
    return 0;
  }
  switch (request) {
    case kFilterGrey:
      image.Grayscale(nullptr);
      break;
    case kFilterSepia:
      image.Grayscale(nullptr);
      ApplyTint(image, kSepia);
      break;
    case kFilterNegative:
      image.Invert(kInvertColour, nullptr);
      break;
    case kFilterBright:
      image.AdjustBrightness(kBrightened, nullptr);
      break;
    case kFilterEvening:
      ApplyTint(image, kEvening);
      break;
    case kFilterNight:
      ApplyTint(image, kNight);
      break;
    default:
      return 0;  // no such filter: nothing to do
  }
  filter = request;
  return 0;
}

void ToggleSlotMirrors(CImage& image, std::uint8_t& mirror_x, std::uint8_t& mirror_y, bool toggle_x, bool toggle_y) {
  if (toggle_x) {
    image.PixelLibMirrorHorizontal(nullptr);
    mirror_x ^= 1;
  }
  if (toggle_y) {
    image.PixelLibMirrorVertical(nullptr);
    mirror_y ^= 1;
  }
}

void SoftenSlot(CImage& image, std::uint8_t& softened, std::uint32_t strength) {
  if (strength == 0) strength = 1;
  image.PixelLibSoften(strength, strength, nullptr, 0);
  softened = static_cast<std::uint8_t>(strength);
}
