#include "effects/filters/mosaic_filter.h"

#include <algorithm>

#include "effects/framework/effect_args.h"
#include "effects/framework/row_kernel_runner.h"
#include "gfx/images/image.h"

namespace {

// The size of the first, partial block along a side of `length` for blocks of `block`: 0 when
// the first block is a whole one.
std::int32_t FirstBlock(std::uint8_t anchor, bool horizontal, std::int32_t length, std::int32_t block) {
  switch (anchor) {
    case 0: return block < length ? ((length - block) / 2) % block : 0;
    case 2: return horizontal ? length % block : 0;
    case 3: return horizontal ? 0 : length % block;
    case 4: return length % block;
    default: return 0;
  }
}

}  // namespace

std::int32_t CMosaicFilter::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  const std::uint32_t anchor = ArgUnsigned(args, 1);
  anchor_ = anchor <= kLastAnchor ? static_cast<std::uint8_t>(anchor) : 0;
  // Kept where twice the size still fits the block value.
  target_ = 2 * std::clamp(ArgInt(args, 2), 1, 0x3FFFFFFF);
  keep_aspect_ = ArgFlag(args, 3);
  return status;
}

std::int32_t CMosaicFilter::Update(std::uint32_t now) {
  if (LatchStart(now)) {
    value_ = 0;
    return 0;
  }
  value_ = static_cast<std::int32_t>(
      std::min<std::int64_t>(std::int64_t{Elapsed(now)} * target_ / duration_, target_));
  return 0;
}

std::int32_t CMosaicFilter::Apply(const FilterApplyArea& area) {
  std::int32_t b = value_;
  CImage* source = area.old_picture;
  std::int32_t source_x = area.old_x;
  std::int32_t source_y = area.old_y;
  if (b >= target_ / 2) {
    source = area.new_picture;
    source_x = area.new_x;
    source_y = area.new_y;
    b = target_ - b;
  }
  CImage& destination = *area.destination;
  const plat::Rect changed{area.destination_x, area.destination_y, area.destination_x + area.width,
                           area.destination_y + area.height};
  if (b < 2) {
    const plat::Rect rect{source_x, source_y, source_x + area.width, source_y + area.height};
    if (RunRowKernel(RowCopyKernel(), destination, area.destination_x, area.destination_y, *source, rect)) {
      destination.MarkChanged(changed);
    }
    return 0;
  }
  const std::int32_t width = area.width;
  const std::int32_t height = area.height;
  std::int32_t block_width = b;
  std::int32_t block_height = b;
  if (keep_aspect_ && height > 0 && width > 0) {
    if (width < height) {
      block_width = std::max<std::int32_t>(2, static_cast<std::int32_t>(std::int64_t{width} * b / height));
    } else {
      block_height = std::max<std::int32_t>(2, static_cast<std::int32_t>(std::int64_t{height} * b / width));
    }
  }
  const std::int32_t first_width = FirstBlock(anchor_, true, width, block_width);
  const std::int32_t first_height = FirstBlock(anchor_, false, height, block_height);
  const auto inside = [](const CImage& image, std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight();
  };
  for (std::int32_t top = 0; top < height;) {
    const std::int32_t rows = std::min(top == 0 && first_height != 0 ? first_height : block_height, height - top);
    for (std::int32_t left = 0; left < width;) {
      const std::int32_t columns =
          std::min(left == 0 && first_width != 0 ? first_width : block_width, width - left);
      if (inside(*source, source_x + left, source_y + top)) {
        const std::uint32_t colour =
            reinterpret_cast<const std::uint32_t*>(source->GetRowPointer(source_y + top))[source_x + left];
        for (std::int32_t y = area.destination_y + top; y < area.destination_y + top + rows; ++y) {
          if (y < 0 || y >= destination.GetHeight()) continue;
          auto* row = reinterpret_cast<std::uint32_t*>(destination.GetRowPointer(y));
          const std::int32_t from = std::max(0, area.destination_x + left);
          const std::int32_t until = std::min(destination.GetWidth(), area.destination_x + left + columns);
          std::fill(row + std::min(from, until), row + until, colour);
        }
      }
      left += columns;
    }
    top += rows;
  }
  destination.MarkChanged(changed);
  return 0;
}
