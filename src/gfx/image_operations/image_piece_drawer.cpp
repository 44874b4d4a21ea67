#include "gfx/image_operations/image_piece_drawer.h"

#include <algorithm>

#include "gfx/images/color_key.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/image.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

// A colour key, another depth or a source drawn onto itself take the full operation; so do the
// images with alpha run maps that the full operations keep up: a copy from a source whose map has
// clear runs gives the destination a map (from any other source it only drops the destination's
// map, as the drawer does), and an alpha blend marks the destination's map clear where it drew.
// The pixel-routine library, which a game always installs, changes nothing here: its blend by
// alpha at 255 and its stretched copy are the destination's own AlphaBlend and StretchCopy.
bool TakesPlainKernel(const CImage& dst, const CImage& src, CImagePieceDrawer::EOperation operation) {
  if (&dst == &src || !dst.HasPixels() || !src.HasPixels()) return false;
  if (dst.GetBitsPerPixel() != 32 || src.GetBitsPerPixel() != 32) return false;
  if (operation == CImagePieceDrawer::EOperation::kBlendByAlpha) return !dst.HasAlphaRuns();
  return src.GetColorKey() == kNoColorKey && !src.HasClearAlphaRuns();
}

bool IsEmptyRect(const plat::Rect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

}  // namespace

// The corners from which a whole block of `size` lies within a clip from clip_low to clip_high:
// those whose value - low, unsigned, is at most span.
class CImagePieceDrawer::BlockCorners {
 public:
  BlockCorners(int32_t clip_low, int32_t clip_high, int32_t size) {
    const int64_t span = int64_t{clip_high} - size - clip_low;
    // No block fits: a low end 2^40 below every 32-bit value, which none then lies within.
    low_ = span < 0 ? int64_t{clip_low} - (int64_t{1} << 40) : clip_low;
    span_ = span < 0 ? 0 : static_cast<uint64_t>(span);
  }
  [[gnu::always_inline]] bool Hold(int32_t value) const { return static_cast<uint64_t>(value - low_) <= span_; }

 private:
  int64_t low_;
  uint64_t span_;
};

struct CImagePieceDrawer::BlockReach {
  BlockReach(const plat::Rect& source_clip, const plat::Rect& dest_clip, int32_t width, int32_t height)
      : source_x(source_clip.left, source_clip.right, width),
        source_y(source_clip.top, source_clip.bottom, height),
        dest_x(dest_clip.left, dest_clip.right, width),
        dest_y(dest_clip.top, dest_clip.bottom, height) {}
  BlockCorners source_x;
  BlockCorners source_y;
  BlockCorners dest_x;
  BlockCorners dest_y;
};

CImagePieceDrawer::CImagePieceDrawer(CImage& dst, CImage& src, EOperation operation)
    : dst_(dst),
      src_(src),
      operation_(operation),
      dest_height_(std::max(dst.GetHeight(), 0)),
      region_(dst.GetDirtyRegion()) {
  if (!TakesPlainKernel(dst, src, operation)) return;
  takes_kernels_ = true;
  if (operation == EOperation::kBlendByAlpha) blend_ = g_CpuHasMmx != 0 ? AlphaBlend32Mmx : AlphaBlend32;
  src.GetClipRect(&source_clip_);
  dst.GetClipRect(&dest_clip_);
  dst_pixels_ = reinterpret_cast<uint32_t*>(dst.CImageBase::GetPixels());
  src_pixels_ = reinterpret_cast<const uint32_t*>(src.CImageBase::GetPixels());
  dst_stride_ = dst.GetPitch() / 4;
  src_stride_ = src.GetPitch() / 4;
}

CImagePieceDrawer::~CImagePieceDrawer() {
  if (region_ == nullptr) return;
  if (bands_.empty()) {
    region_->AddRects(changed_);
    return;
  }
  std::erase_if(bands_, IsEmptyRect);
  region_->AddRects(bands_);
}

void CImagePieceDrawer::DrawCut(const plat::Rect& source, int32_t x, int32_t y) const {
  if (!takes_kernels_) {
    DrawByFullOperation(source, x, y);
    return;
  }
  BlitClip clip;
  if (ClipBlt({x, y, &source, false, false}, source_clip_, dest_clip_, clip)) DrawWithinClips(clip);
}

void CImagePieceDrawer::DrawRuns(const plat::Rect& band, int32_t dx, int32_t dy,
                                 std::span<const ColumnRun> runs) const {
  if (!takes_kernels_) {
    for (const ColumnRun& run : runs) {
      const int32_t left = std::max(run.left, band.left);
      const int32_t right = std::min(run.right, band.right);
      if (left < right) DrawByFullOperation({left, band.top, right, band.bottom}, left + dx, band.top + dy);
    }
    return;
  }
  // A piece only moves, so cutting it to both clips is cutting its source to the source's clip
  // and to the destination's clip moved back by (dx, dy): done here once for every run.
  const auto left_end = static_cast<int32_t>(
      std::max({int64_t{band.left}, int64_t{source_clip_.left}, int64_t{dest_clip_.left} - dx}));
  const auto right_end = static_cast<int32_t>(
      std::min({int64_t{band.right}, int64_t{source_clip_.right}, int64_t{dest_clip_.right} - dx}));
  const auto top = static_cast<int32_t>(
      std::max({int64_t{band.top}, int64_t{source_clip_.top}, int64_t{dest_clip_.top} - dy}));
  const auto bottom = static_cast<int32_t>(
      std::min({int64_t{band.bottom}, int64_t{source_clip_.bottom}, int64_t{dest_clip_.bottom} - dy}));
  if (left_end >= right_end || top >= bottom) return;
  const plat::Rect cut{left_end, top, right_end, bottom};
  const bool blended_as_rows = operation_ == EOperation::kBlendByAlpha && BlendRunsAsRows(cut, dx, dy, runs);
  // Once the region keeps band boxes, the runs of these rows reach it as their bounding box,
  // which leaves every band's box as the runs one by one would.
  plat::Rect box = kEmptyBox;
  for (const ColumnRun& run : runs) {
    const int32_t left = std::max(run.left, left_end);
    const int32_t right = std::min(run.right, right_end);
    if (left >= right) continue;
    const BlitClip clip{{left, top, right, bottom}, {left + dx, top + dy, right + dx, bottom + dy}};
    if (!blended_as_rows) DrawPixels(clip);
    if (region_ == nullptr || bands_.empty()) {
      NoteChanged(clip.dest);
    } else {
      GrowBox(box, clip.dest);
    }
  }
  if (!IsEmptyRect(box)) KeepInBands(box);
}

bool CImagePieceDrawer::BlendRunsAsRows(const plat::Rect& cut, int32_t dx, int32_t dy,
                                        std::span<const ColumnRun> runs) const {
  int32_t first = 0;
  int32_t last = 0;
  int64_t covered = 0;
  for (const ColumnRun& run : runs) {
    const int32_t left = std::max(run.left, cut.left);
    const int32_t right = std::min(run.right, cut.right);
    if (left >= right) continue;
    if (covered == 0) first = left;
    if (covered != 0 && left < last) return false;
    last = right;
    covered += right - left;
  }
  const int32_t span = last - first;
  if (covered == 0 || covered * kDenseRunsShare < span) return false;
  // A few rows at a time, so that the copy stays at hand for the runs taken from it.
  const int32_t rows_together = std::min(cut.Height(), kRunRowsTogether);
  row_pixels_.resize(static_cast<size_t>(span) * static_cast<size_t>(rows_together));
  for (int32_t top = cut.top; top < cut.bottom; top += rows_together) {
    const int32_t rows = std::min(rows_together, cut.bottom - top);
    uint32_t* const to = dst_pixels_ + intptr_t{top + dy} * dst_stride_ + (first + dx);
    const uint32_t* const from = src_pixels_ + intptr_t{top} * src_stride_ + first;
    for (int32_t row = 0; row < rows; ++row) {
      std::copy_n(to + row * dst_stride_, span, &row_pixels_[static_cast<size_t>(row) * span]);
    }
    blend_(row_pixels_.data(), from, 0, static_cast<int32_t>(src_stride_ - span) * 4, span, rows);
    for (int32_t row = 0; row < rows; ++row) {
      uint32_t* const row_to = to + row * dst_stride_;
      const uint32_t* const blended = &row_pixels_[static_cast<size_t>(row) * span];
      for (const ColumnRun& run : runs) {
        const int32_t left = std::max(run.left, cut.left);
        const int32_t right = std::min(run.right, cut.right);
        for (int32_t x = left - first; x < right - first; ++x) row_to[x] = blended[x];
      }
    }
  }
  return true;
}

void CImagePieceDrawer::DrawBlocks(int32_t width, int32_t height, std::span<const BlockMove> blocks) const {
  if (takes_kernels_) {
    if (width == 2 && height == 2) return DrawBlocksOfSize<2, 2>(width, height, blocks);
    if (width == 4 && height == 2) return DrawBlocksOfSize<4, 2>(width, height, blocks);
    if (width == 4 && height == 4) return DrawBlocksOfSize<4, 4>(width, height, blocks);
  }
  DrawBlocksOfSize<0, 0>(width, height, blocks);
}

// Width and Height are the blocks' size known when compiled, 0 where it is not.
template <int32_t Width, int32_t Height>
void CImagePieceDrawer::DrawBlocksOfSize(int32_t width, int32_t height, std::span<const BlockMove> blocks) const {
  if constexpr (Width != 0) width = Width;
  if constexpr (Height != 0) height = Height;
  const BlockReach reach(source_clip_, dest_clip_, width, height);
  if constexpr (Width != 0) {
    if (operation_ == EOperation::kBlendByAlpha && takes_kernels_ && BlendBlockRow<Width, Height>(blocks, reach)) {
      return;
    }
  }
  // Held in locals: the pixels' stores could otherwise change the members for all the compiler
  // knows, which it would then read again for every block.
  const bool within_reach = takes_kernels_;
  uint32_t* const dst_pixels = dst_pixels_;
  const uint32_t* const src_pixels = src_pixels_;
  const intptr_t dst_stride = dst_stride_;
  const intptr_t src_stride = src_stride_;
  // Once the region keeps band boxes, the blocks drawn here fold into them without a call; where
  // there is no region, a block has nothing to note once the destination is marked written.
  plat::Rect* const bands = Width != 0 && region_ != nullptr && !bands_.empty() ? bands_.data() : nullptr;
  const bool notes_rects = region_ != nullptr && bands == nullptr;
  // Blends of whole blocks gather here and are drawn together, before any block drawn otherwise.
  const bool blend = operation_ == EOperation::kBlendByAlpha;
  BlockBlends blends(*this, width, height);
  // Blocks flung wholly off the destination are many in the patterns that scatter them.
  const plat::Rect reached{dest_clip_.left - width, dest_clip_.top - height, dest_clip_.right, dest_clip_.bottom};
  for (const BlockMove& block : blocks) {
    if (within_reach && (block.x <= reached.left || block.x >= reached.right || block.y <= reached.top ||
                         block.y >= reached.bottom)) {
      continue;
    }
    if (!within_reach || !reach.source_x.Hold(block.left) || !reach.source_y.Hold(block.top) ||
        !reach.dest_x.Hold(block.x) || !reach.dest_y.Hold(block.y)) {
      blends.Draw();
      Draw({block.left, block.top, block.left + width, block.top + height}, block.x, block.y);
      continue;
    }
    if constexpr (Width != 0) {
      const intptr_t to = intptr_t{block.y} * dst_stride + block.x;
      const intptr_t from = intptr_t{block.top} * src_stride + block.left;
      if (blend) {
        blends.Add(to, from);
      } else {
        for (int32_t row = 0; row < Height; ++row) {
          std::memcpy(dst_pixels + to + row * dst_stride, src_pixels + from + row * src_stride, sizeof(uint32_t) * Width);
        }
      }
      if (bands != nullptr) {
        FoldBlockIntoBands<Width, Height>(bands, block.x, block.y);
      } else if (notes_rects || !written_) {
        NoteChanged({block.x, block.y, block.x + Width, block.y + Height});
      }
    } else if (blend) {
      blends.Add(intptr_t{block.y} * dst_stride + block.x, intptr_t{block.top} * src_stride + block.left);
      NoteChanged({block.x, block.y, block.x + width, block.y + height});
    } else {
      DrawWithinClips({{block.left, block.top, block.left + width, block.top + height},
                       {block.x, block.y, block.x + width, block.y + height}});
    }
  }
}

template <int32_t Width, int32_t Height>
bool CImagePieceDrawer::BlendBlockRow(std::span<const BlockMove> blocks, const BlockReach& reach) const {
  if (blocks.size() < 2) return false;
  const BlockMove& first = blocks.front();
  const int64_t step = int64_t{blocks[1].x} - first.x;
  if (step != Width && step != -Width) return false;
  // Blocks that merely start as a row leave at their first place out of it.
  for (size_t k = 2; k < blocks.size(); ++k) {
    if (int64_t{blocks[k].x} != first.x + step * static_cast<int64_t>(k) || blocks[k].y != first.y) return false;
  }
  // The corners of what the blocks read (those of the blocks left out too, which at worst sends
  // back a row that could have been drawn so).
  int32_t least_left = INT32_MAX;
  int32_t most_left = INT32_MIN;
  int32_t least_top = INT32_MAX;
  int32_t most_top = INT32_MIN;
  for (const BlockMove& block : blocks) {
    least_left = std::min(least_left, block.left);
    most_left = std::max(most_left, block.left);
    least_top = std::min(least_top, block.top);
    most_top = std::max(most_top, block.top);
  }
  if (first.y != blocks[1].y || !reach.dest_y.Hold(first.y) || !reach.source_x.Hold(least_left) ||
      !reach.source_x.Hold(most_left) || !reach.source_y.Hold(least_top) || !reach.source_y.Hold(most_top)) {
    return false;
  }
  // The places run one way, so the blocks that the destination holds whole lie together, between
  // blocks at the ends wholly off it, which are left out; a block cut by its clip sends the row back.
  const auto off = [&](const BlockMove& block) {
    return block.x <= dest_clip_.left - Width || block.x >= dest_clip_.right;
  };
  size_t held_first = 0;
  for (; held_first < blocks.size() && !reach.dest_x.Hold(blocks[held_first].x); ++held_first) {
    if (!off(blocks[held_first])) return false;
  }
  size_t held_end = blocks.size();
  for (; held_end > held_first && !reach.dest_x.Hold(blocks[held_end - 1].x); --held_end) {
    if (!off(blocks[held_end - 1])) return false;
  }
  if (held_first >= held_end) return false;
  const std::span<const BlockMove> held = blocks.subspan(held_first, held_end - held_first);
  const int32_t left = std::min(held.front().x, held.back().x);
  const auto span = static_cast<int32_t>(held.size()) * Width;
  row_pixels_.resize(static_cast<size_t>(span) * Height);
  // Held in locals: the stores of the rows could change the members for all the compiler knows.
  uint32_t* const rows = row_pixels_.data();
  const uint32_t* const src_pixels = src_pixels_;
  const intptr_t src_stride = src_stride_;
  for (const BlockMove& block : held) {
    const uint32_t* const from = src_pixels + intptr_t{block.top} * src_stride + block.left;
    uint32_t* const to = rows + (block.x - left);
    for (int32_t row = 0; row < Height; ++row) {
      std::memcpy(to + intptr_t{row} * span, from + row * src_stride, sizeof(uint32_t) * Width);
    }
  }
  blend_(dst_pixels_ + intptr_t{first.y} * dst_stride_ + left, row_pixels_.data(),
         static_cast<int32_t>(dst_stride_ - span) * 4, 0, span, Height);
  // The region gets what the blocks one by one would give it: the row's box in each band, or
  // the blocks' own rectangles.
  if (region_ == nullptr || !bands_.empty()) {
    NoteChanged({left, first.y, left + span, first.y + Height});
  } else {
    for (const BlockMove& block : held) NoteChanged({block.x, block.y, block.x + Width, block.y + Height});
  }
  return true;
}

CImagePieceDrawer::BlockBlends::BlockBlends(const CImagePieceDrawer& drawer, int32_t width, int32_t height)
    : drawer_(drawer),
      width_(width),
      height_(height),
      blend_(g_CpuHasMmx != 0 ? AlphaBlendBlocks32Mmx : AlphaBlendBlocks32) {}

void CImagePieceDrawer::BlockBlends::Add(intptr_t to, intptr_t from) {
  places_[count_++] = {to, from};
  if (count_ == places_.size()) Draw();
}

void CImagePieceDrawer::BlockBlends::Draw() {
  if (count_ == 0) return;
  blend_(drawer_.dst_pixels_, drawer_.dst_stride_, drawer_.src_pixels_, drawer_.src_stride_, width_, height_,
         std::span(places_.data(), count_));
  count_ = 0;
}

void CImagePieceDrawer::DrawMirroredColumns(const plat::Rect& source, int32_t x, int32_t y) const {
  // Column c lands at mirror - c.
  const int64_t mirror = int64_t{x} + source.right - 1;
  if (!takes_kernels_) {
    for (int32_t c = source.left; c < source.right; ++c) {
      Draw({c, source.top, c + 1, source.bottom}, static_cast<int32_t>(mirror - c), y);
    }
    return;
  }
  // Every column keeps the same rows; a column is drawn where both it and its landing place lie
  // within their clips, which holds for one span of columns.
  const int64_t dy = int64_t{y} - source.top;
  const auto left = static_cast<int32_t>(
      std::max({int64_t{source.left}, int64_t{source_clip_.left}, mirror - dest_clip_.right + 1}));
  const auto right = static_cast<int32_t>(
      std::min({int64_t{source.right}, int64_t{source_clip_.right}, mirror - dest_clip_.left + 1}));
  const auto top = static_cast<int32_t>(
      std::max({int64_t{source.top}, int64_t{source_clip_.top}, int64_t{dest_clip_.top} - dy}));
  const auto bottom = static_cast<int32_t>(
      std::min({int64_t{source.bottom}, int64_t{source_clip_.bottom}, int64_t{dest_clip_.bottom} - dy}));
  if (left >= right || top >= bottom) return;
  const auto dest_top = static_cast<int32_t>(top + dy);
  const auto dest_bottom = static_cast<int32_t>(bottom + dy);
  for (int32_t c = left; c < right; ++c) {
    const auto landing = static_cast<int32_t>(mirror - c);
    NoteChanged({landing, dest_top, landing + 1, dest_bottom});
  }
  const int32_t width = right - left;
  const int32_t dst_skip = static_cast<int32_t>(dst_stride_ - width) * 4;
  const int32_t src_skip = static_cast<int32_t>(src_stride_ - width) * 4;
  uint32_t* const to = dst_pixels_ + intptr_t{dest_top} * dst_stride_ + (mirror - (right - 1));
  const uint32_t* const from_end = src_pixels_ + intptr_t{top} * src_stride_ + right;
  const bool mmx = g_CpuHasMmx != 0;
  const auto mirrored = operation_ == EOperation::kPlainCopy ? (mmx ? Copy32MirrorMmx : Copy32Mirror)
                                                             : (mmx ? AlphaBlend32MirrorMmx : AlphaBlend32Mirror);
  mirrored(to, from_end, dst_skip, src_skip, width, bottom - top);
}

bool CImagePieceDrawer::DrawStretchedColumns(std::span<const StretchedPiece> columns) const {
  const auto one_pixel_wide = [](const StretchedPiece& piece) {
    return piece.size.width == 1 && piece.source.Width() == 1;
  };
  if (!takes_kernels_ || !std::ranges::all_of(columns, one_pixel_wide)) return false;
  std::vector<ColumnWalk> walks;
  walks.reserve(columns.size());
  for (const StretchedPiece& column : columns) {
    BlitClip clip;
    StretchStep step;
    if (!ClipStretchBlt({column.x, column.y, &column.source, false, false}, column.size, source_clip_, dest_clip_,
                        clip, step)) {
      continue;
    }
    const intptr_t from = intptr_t{clip.source.top} * src_stride_ + clip.source.left;
    walks.push_back({clip.dest.left, clip.dest.top, clip.dest.bottom, from, static_cast<uint32_t>(step.yAcc), step});
    NoteChanged(clip.dest);
  }
  WalkColumns(walks);
  return true;
}

bool CImagePieceDrawer::DrawColumns(std::span<const PlacedPiece> columns) const {
  const auto one_pixel_wide = [](const PlacedPiece& piece) { return piece.source.Width() == 1; };
  if (!takes_kernels_ || !std::ranges::all_of(columns, one_pixel_wide)) return false;
  if (operation_ == EOperation::kBlendByAlpha && BlendColumnsAsBands(columns)) return true;
  // A walk of a whole row a row, never a carry.
  constexpr StretchStep kOneToOne{0, 0, 1, 1, 0, 0, 1, 1};
  std::vector<ColumnWalk> walks;
  walks.reserve(columns.size());
  for (const PlacedPiece& column : columns) {
    BlitClip clip;
    if (!ClipBlt({column.x, column.y, &column.source, false, false}, source_clip_, dest_clip_, clip)) continue;
    const intptr_t from = intptr_t{clip.source.top} * src_stride_ + clip.source.left;
    walks.push_back({clip.dest.left, clip.dest.top, clip.dest.bottom, from, 0, kOneToOne});
    NoteChanged(clip.dest);
  }
  WalkColumns(walks);
  return true;
}

bool CImagePieceDrawer::BlendColumnsAsBands(std::span<const PlacedPiece> columns) const {
  if (columns.empty()) return false;
  const int64_t dx = int64_t{columns.front().x} - columns.front().source.left;
  const int64_t dy = int64_t{columns.front().y} - columns.front().source.top;
  if (dx != static_cast<int32_t>(dx) || dy != static_cast<int32_t>(dy)) return false;
  auto& [ends, runs, band_starts, lefts] = column_bands_;
  ends.clear();
  for (const PlacedPiece& column : columns) {
    if (int64_t{column.x} - column.source.left != dx || int64_t{column.y} - column.source.top != dy) return false;
    ends.push_back(column.source.top);
    ends.push_back(column.source.bottom);
  }
  std::ranges::sort(ends);
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  if (ends.size() > kMostColumnBands + 1) return false;
  // Every band's columns left to right, neighbours joined into runs. Columns at one place read
  // the same pixels, so where two share a pixel the order of their blends changes nothing.
  runs.clear();
  band_starts.assign(1, 0);
  for (size_t band = 0; band + 1 < ends.size(); ++band) {
    lefts.clear();
    for (const PlacedPiece& column : columns) {
      if (column.source.top <= ends[band] && column.source.bottom >= ends[band + 1]) lefts.push_back(column.source.left);
    }
    if (!std::ranges::is_sorted(lefts)) std::ranges::sort(lefts);
    for (size_t k = 0; k < lefts.size(); ++k) {
      if (k > 0 && lefts[k] == lefts[k - 1] + 1) {
        runs.back().right = lefts[k] + 1;
      } else {
        runs.push_back({lefts[k], lefts[k] + 1});
      }
    }
    band_starts.push_back(runs.size());
  }
  for (size_t band = 0; band + 1 < ends.size(); ++band) {
    const std::span<const ColumnRun> band_runs(runs.data() + band_starts[band], band_starts[band + 1] - band_starts[band]);
    if (band_runs.empty()) continue;
    DrawRuns({band_runs.front().left, ends[band], band_runs.back().right, ends[band + 1]}, static_cast<int32_t>(dx),
             static_cast<int32_t>(dy), band_runs);
  }
  return true;
}

// A plain copy takes a cache line's worth of columns together, so that the rows' lines of the
// destination stay at hand from one column to the next; a blend takes them all, so that each
// row's pixels are blended as one run.
void CImagePieceDrawer::WalkColumns(std::span<ColumnWalk> walks) const {
  if (operation_ == EOperation::kBlendByAlpha) {
    const auto blend_columns = g_CpuHasMmx != 0 ? BlendColumns32Mmx : BlendColumns32;
    blend_columns(dst_pixels_, dst_stride_, src_pixels_, src_stride_, walks, blend_);
    return;
  }
  constexpr size_t kColumnsTogether = 16;
  const auto walk = g_CpuHasMmx != 0 ? WalkColumns32Mmx : WalkColumns32;
  for (size_t first = 0; first < walks.size(); first += kColumnsTogether) {
    walk(dst_pixels_, dst_stride_, src_pixels_, src_stride_,
         walks.subspan(first, std::min(kColumnsTogether, walks.size() - first)));
  }
}

void CImagePieceDrawer::DrawByFullOperation(const plat::Rect& source, int32_t x, int32_t y) const {
  if (region_ != nullptr) dst_.SetDirtyRegionInUse(&full_operation_changes_);
  if (operation_ == EOperation::kPlainCopy) {
    dst_.Copy(&src_, x, y, &source, false);
  } else {
    dst_.AlphaBlend(&src_, x, y, &source, false);
  }
  if (region_ == nullptr) return;
  dst_.SetDirtyRegionInUse(region_);
  // The operation marked the destination itself, and may have given it an alpha run map to keep.
  full_operation_changes_.ForEachRect([this](const plat::Rect& rect) { KeepForRegion(rect); });
  full_operation_changes_.Clear();
}

void CImagePieceDrawer::MarkFirstWrite() const {
  dst_.MarkWritten();
  written_ = true;
}

void CImagePieceDrawer::KeepForRegion(plat::Rect rect) const {
  if (!bands_.empty()) {
    KeepInBands(rect);
    return;
  }
  if (!changed_.empty()) {
    plat::Rect& last = changed_.back();
    if (last.top == rect.top && last.bottom == rect.bottom && last.right == rect.left) {
      last.right = rect.right;
      return;
    }
    if (last.left == rect.left && last.right == rect.right && last.bottom == rect.top) {
      last.bottom = rect.bottom;
      return;
    }
  }
  // Room for all of them at once: grown by doubling, the vector would pass the size from which
  // the heap maps and unmaps its blocks afresh, which costs page faults in every frame.
  if (changed_.empty()) changed_.reserve(kExactRectLimit + 1);
  changed_.push_back(rect);
  if (changed_.size() > kExactRectLimit) SwitchToBands();
}

void CImagePieceDrawer::SwitchToBands() const {
  bands_.assign(static_cast<size_t>(dest_height_ / kBandRows + 1), kEmptyBox);
  for (const plat::Rect& rect : changed_) KeepInBands(rect);
  changed_.clear();
}

// Only the destination's own rows can have changed; each band's box takes the rows of the
// rectangle that lie in the band, so that the boxes stay disjoint.
void CImagePieceDrawer::KeepInBands(plat::Rect rect) const {
  const int32_t top = std::max(rect.top, 0);
  const int32_t bottom = std::min(rect.bottom, dest_height_);
  if (rect.left >= rect.right || top >= bottom) return;
  for (int32_t band = top / kBandRows; band * kBandRows < bottom; ++band) {
    const int32_t band_top = std::max(top, band * kBandRows);
    const int32_t band_bottom = std::min(bottom, (band + 1) * kBandRows);
    GrowBox(bands_[static_cast<size_t>(band)], {rect.left, band_top, rect.right, band_bottom});
  }
}
