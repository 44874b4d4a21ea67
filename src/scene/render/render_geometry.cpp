#include "scene/render/render_geometry.h"

#include "base/numbers/trig_tables.h"
#include "gfx/display/render_list.h"

void ApplyBlend(CDirect3DDevice& device, const BlendTriple& blend) {
  device.SetAlphaBlendEnable(blend.enable);
  device.SetSrcBlend(blend.source);
  device.SetDestBlend(blend.dest);
}

void ApplyStages(CDirect3DDevice& device, const StageTriple& colour, const StageTriple& alpha) {
  device.SetColorOp(colour.operation);
  device.SetColorArg1(colour.arg1);
  device.SetColorArg2(colour.arg2);
  device.SetAlphaOp(alpha.operation);
  device.SetAlphaArg1(alpha.arg1);
  device.SetAlphaArg2(alpha.arg2);
}

plat::Point AnchorOffset(int32_t mode, int32_t width, int32_t height, ELargeAnchor large) {
  switch (mode & 0xFF) {
    case 0:
      return {0, 0};
    case 1:
      return {width, 0};
    case 2:
      return {0, height};
    case 3:
      return {width, height};
    case 4:
      return {width / 2, height / 2};
    default:
      break;
  }
  switch (large) {
    case ELargeAnchor::kBoth:
      return {mode, mode};
    case ELargeAnchor::kX:
      return {mode, 0};
    case ELargeAnchor::kY:
      break;
  }
  return {0, mode};
}

bool TurnPoint(float& x, float& y, int32_t angle, plat::Point anchor) {
  if (g_TrigTable == nullptr) return false;
  const auto& cosine = g_TrigTable->cosine;
  constexpr int32_t kMask = CTrigTables::kSteps - 1;
  const int64_t p = cosine[static_cast<size_t>(-angle & kMask)];
  const int64_t q = cosine[static_cast<size_t>((-angle - 128) & kMask)];
  // Vertices lie within the 32-bit range, whose top end a float rounds to 2^31.
  const int64_t dx = static_cast<int64_t>(x) - anchor.x;
  const int64_t dy = static_cast<int64_t>(y) - anchor.y;
  // The products wrap at 32 bits, as the table's fixed point was made for.
  const auto turned_x = static_cast<int32_t>(static_cast<uint32_t>(p * dx - q * dy));
  const auto turned_y = static_cast<int32_t>(static_cast<uint32_t>(q * dx + p * dy));
  x = static_cast<float>(OffsetCoordinate(anchor.x, turned_x >> 16));
  y = static_cast<float>(OffsetCoordinate(anchor.y, turned_y >> 16));
  return true;
}
