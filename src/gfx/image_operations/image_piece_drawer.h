// Many small pieces of one source image drawn into one destination image one after another, each
// exactly as the destination's Copy (or AlphaBlend) without flip would draw it. What those
// operations check and choose once per call (depths, colour key, the pixel-routine library,
// the kernel member, the rows and their pitches) is settled once for all the pieces, and a piece
// that lies within both clip rectangles is drawn inline, so that a piece costs little more than
// its rows: the transition patterns lay down a hundred thousand pieces a frame. The pieces'
// rectangles reach the destination's dirty region together when the drawer ends: joined exactly
// while they are few, and as the bounding box of each band of rows once they are many, where an
// exact union would cost more than presenting the few pixels it leaves out.
// Where the plain kernels do not tell the whole story, every piece takes the full operation.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "gfx/images/blit_clipping.h"
#include "gfx/images/dirty_region.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/column_walk_kernels.h"
#include "platform/system/geometry.h"

class CImage;

class CImagePieceDrawer {
 public:
  enum class EOperation : uint8_t { kPlainCopy, kBlendByAlpha };

  // A source rectangle drawn stretched to `size` with its top-left at (x, y).
  struct StretchedPiece {
    plat::Rect source;
    ImageSize size;
    int32_t x = 0;
    int32_t y = 0;
  };

  // A source rectangle drawn with its top-left at (x, y).
  struct PlacedPiece {
    plat::Rect source;
    int32_t x = 0;
    int32_t y = 0;
  };

  // Columns left to right - 1 of some rows.
  struct ColumnRun {
    int32_t left = 0;
    int32_t right = 0;
  };

  // A block of the source with its top-left at (left, top), drawn with its top-left at (x, y).
  struct BlockMove {
    int32_t left = 0;
    int32_t top = 0;
    int32_t x = 0;
    int32_t y = 0;
  };

  // Past this many rectangles the dirty region gets band boxes of this many rows.
  static constexpr size_t kExactRectLimit = 4096;
  static constexpr int32_t kBandRows = 16;

  CImagePieceDrawer(CImage& dst, CImage& src, EOperation operation);
  ~CImagePieceDrawer();
  CImagePieceDrawer(const CImagePieceDrawer&) = delete;
  CImagePieceDrawer& operator=(const CImagePieceDrawer&) = delete;

  // The source rectangle (cut to the source's clip rectangle) drawn with its top-left at (x, y),
  // cut to the destination's clip rectangle.
  [[gnu::always_inline]] void Draw(const plat::Rect& source, int32_t x, int32_t y) const {
    BlitClip clip;
    if (takes_kernels_) {
      if (LiesWithinClips(source, x, y, clip)) {
        DrawWithinClips(clip);
        return;
      }
      // Cutting the source only moves the piece's place within this rectangle.
      if (MissesDestination(source, x, y)) return;
    }
    DrawCut(source, x, y);
  }

  // The runs of columns of the rows band.top to band.bottom - 1, cut to band.left and band.right,
  // each drawn as Draw draws it with source pixel (c, r) landing on (c + dx, r + dy), in order.
  // Rows of many small runs (a dither, a dissolve) are cut to both clip rectangles once, not once
  // a piece.
  void DrawRuns(const plat::Rect& band, int32_t dx, int32_t dy, std::span<const ColumnRun> runs) const;

  // Blocks of width × height, each drawn as Draw draws it, in order. The clips and the block's
  // size are settled once for them all: the moving patterns lay down their blocks by the
  // hundred thousand.
  void DrawBlocks(int32_t width, int32_t height, std::span<const BlockMove> blocks) const;

  // The one-pixel columns of the source rectangle laid down in reverse order from x: column
  // source.right - 1 at x, column source.left at x + source.Width() - 1, each drawn as Draw
  // draws it, from the left column on. The drawer's own kernels move them a reversed row at a
  // time, since drawing one column after another touches a new row of both pictures at every
  // pixel (and blends each pixel alone).
  void DrawMirroredColumns(const plat::Rect& source, int32_t x, int32_t y) const;

  // One-pixel columns, each stretched down to its height, exactly as the destination's
  // StretchCopy (or StretchAlphaBlend) draws each: drawn a few rows across many columns at a
  // time, since walking down one column after another touches a new row of both pictures at every
  // pixel (and blends each pixel alone). False, having drawn nothing, unless the drawer draws with
  // its own kernels and every piece is such a column; the caller then draws the pieces itself.
  bool DrawStretchedColumns(std::span<const StretchedPiece> columns) const;
  // Pieces of one-pixel columns, each drawn as Draw draws it, a few rows across many columns at
  // a time as the stretched columns are. False, having drawn nothing, unless the drawer draws
  // with its own kernels and every piece is one pixel wide; the caller then draws the pieces
  // itself.
  bool DrawColumns(std::span<const PlacedPiece> columns) const;

 private:
  using Kernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t);

  // The piece as it is when both clip rectangles hold it whole (clip then says what is drawn).
  // Most pieces do, and then nothing needs cutting.
  [[gnu::always_inline]] bool LiesWithinClips(const plat::Rect& source, int32_t x, int32_t y, BlitClip& clip) const {
    if (source.left >= source.right || source.top >= source.bottom) return false;
    if (source.left < source_clip_.left || source.top < source_clip_.top || source.right > source_clip_.right ||
        source.bottom > source_clip_.bottom) {
      return false;
    }
    const int64_t right = int64_t{x} + source.Width();
    const int64_t bottom = int64_t{y} + source.Height();
    if (x < dest_clip_.left || y < dest_clip_.top || right > dest_clip_.right || bottom > dest_clip_.bottom) {
      return false;
    }
    clip = {source, {x, y, static_cast<int32_t>(right), static_cast<int32_t>(bottom)}};
    return true;
  }

  bool MissesDestination(const plat::Rect& source, int32_t x, int32_t y) const {
    return x >= dest_clip_.right || y >= dest_clip_.bottom || int64_t{x} + source.Width() <= dest_clip_.left ||
           int64_t{y} + source.Height() <= dest_clip_.top;
  }

  [[gnu::always_inline]] void DrawWithinClips(const BlitClip& clip) const {
    DrawPixels(clip);
    NoteChanged(clip.dest);
  }

  [[gnu::always_inline]] void DrawPixels(const BlitClip& clip) const {
    const int32_t width = clip.dest.Width();
    uint32_t* to = dst_pixels_ + intptr_t{clip.dest.top} * dst_stride_ + clip.dest.left;
    const uint32_t* from = src_pixels_ + intptr_t{clip.source.top} * src_stride_ + clip.source.left;
    if (operation_ == EOperation::kPlainCopy) {
      CopyRows(to, from, width, clip.dest.Height());
    } else {
      blend_(to, from, static_cast<int32_t>(dst_stride_ - width) * 4, static_cast<int32_t>(src_stride_ - width) * 4,
              width, clip.dest.Height());
    }
  }

  template <int32_t Width, int32_t Height>
  void DrawBlocksOfSize(int32_t width, int32_t height, std::span<const BlockMove> blocks) const;
  // Where a block of one size lies whole within a clip, along one side; and along all four.
  class BlockCorners;
  struct BlockReach;
  // Blocks to blend laid side by side along one row of the destination, left to right or right to
  // left (a pattern's row of blocks, or one turned half round): each block's rows copied into
  // rows side by side, blended over the destination in one call, where each block blended alone
  // pays a call and a partial vector step a row. Blocks wholly off the destination at the row's
  // ends are left out, as they would be; false, having drawn nothing, for other blocks.
  template <int32_t Width, int32_t Height>
  bool BlendBlockRow(std::span<const BlockMove> blocks, const BlockReach& reach) const;

  // Whole blocks of one size to blend, gathered and blended together by the blocks' kernel, in
  // their order: blended one by one, each would pay a call and a partial vector step a row.
  class BlockBlends {
   public:
    BlockBlends(const CImagePieceDrawer& drawer, int32_t width, int32_t height);
    ~BlockBlends() { Draw(); }
    BlockBlends(const BlockBlends&) = delete;
    BlockBlends& operator=(const BlockBlends&) = delete;

    // The block whose first pixels lie `to` and `from` pixels into the destination and source.
    void Add(intptr_t to, intptr_t from);
    // Blends the blocks gathered so far.
    void Draw();

   private:
    const CImagePieceDrawer& drawer_;
    int32_t width_;
    int32_t height_;
    decltype(&AlphaBlendBlocks32) blend_;
    // Enough blocks that the kernel's call is paid for, few enough to stay in the cache.
    std::array<BlockPlace, 256> places_;
    size_t count_ = 0;
  };

  // Columns that all move by one offset, between few distinct ends, blended as the runs of the
  // bands of rows between those ends (DrawRuns): the combs lay down every other column over half
  // the picture, which blended down one column after another touches a new row at every pixel.
  // False, having drawn nothing, for other columns.
  bool BlendColumnsAsBands(std::span<const PlacedPiece> columns) const;
  // At most this many bands of rows, each asked of every column.
  static constexpr size_t kMostColumnBands = 8;

  // Blends the runs of the rows of `cut` (a band already cut to both clips, moved by (dx, dy) on
  // the destination) as whole rows: each row from the first run's left to the last run's right
  // blended over a copy of its destination pixels in one call of the kernel, of which the runs'
  // pixels are then taken. A blend of a few pixels costs many times its pixels, and the dithers
  // and dissolves lay their rows down in runs of a few pixels. Only where the runs lie apart,
  // left to right (a pixel in two runs blends twice), and cover a good share of their span;
  // false, having drawn nothing, otherwise.
  bool BlendRunsAsRows(const plat::Rect& cut, int32_t dx, int32_t dy, std::span<const ColumnRun> runs) const;
  // The runs cover at least this fraction (1 / kDenseRunsShare) of their span to be blended as rows.
  static constexpr int64_t kDenseRunsShare = 4;
  // Rows blended over their copy at a time.
  static constexpr int32_t kRunRowsTogether = 16;

  // A plain copy row by row. Pieces are mostly a few pixels wide, where a library call per row
  // costs more than the pixels: those rows move in fixed-size steps that compile inline.
  [[gnu::always_inline]] void CopyRows(uint32_t* to, const uint32_t* from, int32_t width, int32_t height) const {
    for (; height > 0; --height, to += dst_stride_, from += src_stride_) {
      switch (width) {
        case 1:
          *to = *from;
          break;
        case 2:
          std::memcpy(to, from, 8);
          break;
        case 4:
          std::memcpy(to, from, 16);
          break;
        case 8:
          std::memcpy(to, from, 32);
          break;
        default:
          std::memcpy(to, from, static_cast<size_t>(width) * 4);
          break;
      }
    }
  }

  [[gnu::always_inline]] void NoteChanged(const plat::Rect& rect) const {
    if (!written_) MarkFirstWrite();
    if (region_ != nullptr) KeepForRegion(rect);
  }

  // The walks of columns whose rectangles are noted, in their order, copied or blended.
  void WalkColumns(std::span<ColumnWalk> walks) const;
  // A piece that needs cutting or the full operation.
  void DrawCut(const plat::Rect& source, int32_t x, int32_t y) const;
  // The destination's own Copy or AlphaBlend, whose dirty rectangle is kept with the others.
  void DrawByFullOperation(const plat::Rect& source, int32_t x, int32_t y) const;
  // Marks the destination written, which drops its alpha run map: once is enough, since only the
  // full operations, which never share a drawer with the kernels, could give it a new map.
  void MarkFirstWrite() const;
  // Keeps the rectangle for the dirty region: joined with the one before where the two make one
  // rectangle, or into the band boxes once the rectangles are many.
  // The rectangle comes by value, in registers: its fields read back from the stack right after
  // the caller's wide store of it would stall on the store forwarding, once for every piece.
  void KeepForRegion(plat::Rect rect) const;
  void KeepInBands(plat::Rect rect) const;
  void SwitchToBands() const;
  // A block of Height rows with its top-left at (x, y), wholly within the destination, into the
  // box of each band it reaches: the batches of blocks fold theirs here, a call per block less.
  template <int32_t Width, int32_t Height>
  [[gnu::always_inline]] static void FoldBlockIntoBands(plat::Rect* bands, int32_t x, int32_t y) {
    static_assert(Height <= kBandRows, "a block reaches at most two bands");
    const int32_t band = y / kBandRows;
    const int32_t band_end = (band + 1) * kBandRows;
    GrowBox(bands[band], {x, y, x + Width, std::min(y + Height, band_end)});
    if (y + Height > band_end) GrowBox(bands[band + 1], {x, band_end, x + Width, y + Height});
  }
  // Field by field and only where the box grows: stored as one wide write, the box would be
  // read back field by field by the next piece in the band, which stalls on the forwarding. An
  // empty box is kEmptyBox, which every rectangle grows to itself.
  [[gnu::always_inline]] static void GrowBox(plat::Rect& box, const plat::Rect& rect) {
    if (rect.left < box.left) box.left = rect.left;
    if (rect.top < box.top) box.top = rect.top;
    if (rect.right > box.right) box.right = rect.right;
    if (rect.bottom > box.bottom) box.bottom = rect.bottom;
  }
  static constexpr plat::Rect kEmptyBox{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};

  CImage& dst_;
  CImage& src_;
  EOperation operation_;
  bool takes_kernels_ = false;  // false: every piece takes the full operation
  Kernel blend_ = nullptr;
  plat::Rect source_clip_;
  plat::Rect dest_clip_;
  uint32_t* dst_pixels_ = nullptr;
  const uint32_t* src_pixels_ = nullptr;
  intptr_t dst_stride_ = 0;  // in pixels
  intptr_t src_stride_ = 0;
  // The destination's height, asked once: the band boxes are kept for every piece.
  int32_t dest_height_ = 0;
  // The destination's own region: a drawer lives only within one draw call of its images, during
  // which no script runs, so it borrows the images and their region as it borrows dst_ and src_.
  CDirtyRegion* region_ = nullptr;
  mutable bool written_ = false;
  mutable std::vector<plat::Rect> changed_;
  // The rows that BlendRunsAsRows and BlendBlockRow blend, kept from one batch to the next.
  mutable std::vector<uint32_t> row_pixels_;
  // What BlendColumnsAsBands works out, kept from one batch to the next: the columns' distinct
  // ends, every band's runs one after another, where each band's runs start, one band's lefts.
  struct ColumnBands {
    std::vector<int32_t> ends;
    std::vector<ColumnRun> runs;
    std::vector<size_t> band_starts;
    std::vector<int32_t> lefts;
  };
  mutable ColumnBands column_bands_;
  // One box per band of kBandRows rows of the destination (kEmptyBox where nothing was drawn),
  // none until the rectangles are many.
  mutable std::vector<plat::Rect> bands_;
  // Where a full operation marks its rectangle, in place of the destination's region.
  mutable CDirtyRegion full_operation_changes_;
};
