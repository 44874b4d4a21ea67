#include "effects/patterns/wave_patterns.h"

#include <vector>

#include "effects/patterns/pattern_blocks.h"
#include "effects/patterns/pattern_lines.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/image.h"
#include "platform/window/surface.h"

namespace {

// A weight repeated in the blue, green and red bytes.
uint32_t ChannelWeights(int32_t weight) { return static_cast<uint32_t>(weight) * 0x010101u; }

// The pixel operation over the locked target surface, within its clip.
int32_t RunOnLockedTarget(const CPatternPainter& painter, EImageOperation operation, const plat::Rect& area,
                          int32_t block) {
  plat::Surface* surface = painter.TargetSurface();
  plat::LockedSurface locked;
  if (plat::Failed(surface->Lock(nullptr, locked))) return 3;
  // The pixels are the target's, so its own format tells how to step through them.
  const uint32_t format = static_cast<uint32_t>(ClassifyPixelFormat(locked.format));
  plat::Rect bounds{0, 0, locked.width, locked.height};
  ClipRectToRect(&bounds, painter.TargetClip());
  const int32_t status =
      operation == EImageOperation::kNegative
          ? InvertSurfaceRect(0, format, locked.bits, locked.pitch, &bounds, &area)
          : MosaicSurfaceRect(format, locked.bits, locked.pitch, &bounds, &area, block,
                              operation == EImageOperation::kMosaicTopLeft ? 1 : 0);
  if (plat::Failed(surface->Unlock())) return 4;
  return status;
}

}  // namespace

void DrawBulgePattern(const CPatternPainter& painter, bool columns) {
  const CPatternLines lines(painter, columns);
  const int32_t count = lines.Count();
  const int32_t length = lines.Length();
  const double amount = (256 - painter.Level()) / 256.0;
  std::vector<CImagePieceDrawer::StretchedPiece> stretched_columns;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t c = PatternCos((256 * i) / count - 128);
    const double f = 1.0 + 2 * c * amount / 65536;
    const auto stretched = static_cast<int32_t>(f * length);
    const auto shift = static_cast<int32_t>((f - 1.0) * (length >> 1));
    if (columns) {
      stretched_columns.push_back({{i, 0, i + 1, length}, {1, stretched}, painter.X() + i, painter.Y() - shift});
    } else {
      painter.DrawStretched({0, i, length, i + 1}, stretched, 1, painter.X() - shift, painter.Y() + i);
    }
  }
  painter.DrawStretchedColumns(stretched_columns);
}

void DrawWavePattern(const CPatternPainter& painter, EWave wave) {
  const int32_t amplitude = 255 - painter.Level();
  for (int32_t r = 0; r < painter.Height(); ++r) {
    int32_t dx = 0;
    switch (wave) {
      case EWave::kLong:
        dx = (PatternCos(r) * amplitude * 2) >> 16;
        break;
      case EWave::kLongLate:
        dx = (PatternCos(r - 256) * amplitude * 2) >> 16;
        break;
      case EWave::kShort:
        dx = (PatternCos((r % 64) * 8) * amplitude) >> 16;
        break;
      case EWave::kShortLate:
        dx = (PatternCos(8 * r - 256) * amplitude) >> 16;
        break;
    }
    painter.DrawPiece({0, r, painter.Width(), r + 1}, painter.X() + dx, painter.Y() + r);
  }
}

int32_t DrawCrossFadePattern(const CPatternPainter& painter) {
  const int32_t level = painter.Level();
  switch (painter.Mode()) {
    case kTransitionCopy:
      return static_cast<int32_t>(painter.DestImage()->BlendWeighted(
          painter.SourceImage(), ChannelWeights(256 - level), ChannelWeights(level - 1), painter.X(), painter.Y(),
          nullptr));
    case kTransitionAlphaBlend:
      return static_cast<int32_t>(painter.DestImage()->BlendModeLevel(
          0, painter.SourceImage(), static_cast<uint8_t>(level - 1), painter.X(), painter.Y(), nullptr));
    case kTransitionDirectDraw:
      return -1;
    default:
      return 0;
  }
}

void DrawZoomScatterPattern(const CPatternPainter& painter) {
  const int64_t travel = FlightLeft(painter);
  const int32_t theta = TurnAngle(painter);
  const int32_t across = PatternCos(theta / 4);
  const int32_t down = PatternSin(theta);
  CMovedBlocks blocks(painter, 4, 2);
  ForEachBlock(painter, 4, 2, [&](int32_t bx, int32_t by, const plat::Rect& block) {
    const auto dx = static_cast<int32_t>((Mul32(bx - painter.Width() / 2, across) * travel) >> 24);
    const auto dy = static_cast<int32_t>((Mul32(by - painter.Height() / 2, down) * travel) >> 24);
    DrawMovedBlock(blocks, block, dx, dy);
  });
}

void DrawRotationPattern(const CPatternPainter& painter, int32_t block_size) {
  const int32_t theta = TurnAngle(painter);
  const int32_t c = PatternCos(theta);
  const int32_t s = PatternSin(theta);
  const int32_t w = painter.Width();
  const int32_t h = painter.Height();
  const int32_t cx = w / 2;
  const int32_t cy = h / 2;
  // A block's offset is a part of its column plus a part of its row of blocks: the columns'
  // parts are worked out once, not again for every row.
  struct Turned {
    int32_t x;
    int32_t y;
  };
  std::vector<Turned> columns;
  for (int32_t bx = 0; bx < w; bx += block_size) {
    columns.push_back({Mul32(c, bx - cx) >> 16, Mul32(s, bx - cx) >> 16});
  }
  // Taken by value: the stores of the places could change the painter for all the compiler knows.
  const int32_t centre_x = painter.X() + cx;
  const int32_t centre_y = painter.Y() + cy;
  const Turned* turned = columns.data();
  DrawPlacedBlocks(painter, block_size, block_size,
                   [turned, centre_x, centre_y, c, s, cy](int32_t column, int32_t bx, int32_t by) {
                     const int32_t x = centre_x + turned[column].x - (Mul32(s, by - cy) >> 16);
                     const int32_t y = centre_y + turned[column].y + (Mul32(c, by - cy) >> 16);
                     return CImagePieceDrawer::BlockMove{bx, by, x, y};
                   });
}

int32_t DrawImageOperationPattern(const CPatternPainter& painter, EImageOperation operation) {
  const int32_t x = painter.X();
  const int32_t y = painter.Y();
  const plat::Rect area{x, y, x + painter.Width(), y + painter.Height()};
  const int32_t block = ((255 - painter.Level()) >> 2) + 1;
  switch (painter.Mode()) {
    case kTransitionCopy:
    case kTransitionAlphaBlend: {
      painter.DrawWhole();
      CImage* dst = painter.DestImage();
      if (operation == EImageOperation::kNegative) return static_cast<int32_t>(dst->Invert(0, &area));
      const uint8_t align = operation == EImageOperation::kMosaicTopLeft ? 1 : 0;
      return static_cast<int32_t>(dst->Mosaic(static_cast<uint32_t>(block), align, &area));
    }
    case kTransitionDirectDraw:
      painter.DrawPiece({0, 0, painter.Width(), painter.Height()}, x, y);
      return RunOnLockedTarget(painter, operation, area, block);
    default:
      return 0;
  }
}
