// The 8-bit palettized or 32-bit 0xAARRGGBB software image on which the compositing operations
// work. It records every rectangle it changes in the dirty region in use and sets its modified
// flag.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "gfx/images/blit_clipping.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/image_base.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/alpha_run_map.h"
#include "pixel/kernels/parallelogram_kernels.h"
#include "pixel/kernels/quad_map_kernels.h"

struct BlitPass;
namespace plat {
class Surface;
}

class CImage : public CImageBase {
 public:
  // Create flags.
  static constexpr uint32_t kUseDib = 1;
  static constexpr uint32_t kOwnDirtyRegion = 2;

  CImage() = default;
  ~CImage() override;

  // 0; 1 unless bpp is 8 or 32 (or a side is below 1); 2 when the buffer cannot be had;
  // 3 when the dirty region cannot be had (the image is released again).
  uint32_t Create(int32_t width, int32_t height, uint8_t bpp, uint32_t flags);
  // Frees everything the image holds and clears its flags.
  void Release();
  uint32_t Resize(int32_t width, int32_t height) override;
  void Free() override;

  // 0; 1 when the source is null or empty; 2 when Create fails; 3 when the palette cannot be
  // copied. Flags 2 takes the source's own storage (DIB section, own dirty region); any other
  // value uses only its bit 0.
  uint32_t Duplicate(const CImage* source, uint32_t flags);

  // 0; 1 without pixels; 2 without memory. Entry y is the address of row y.
  uint32_t BuildRowTable();
  // The row table, or null until BuildRowTable.
  uint8_t* const* GetRowTable() const {
    DropAlphaRuns();
    return row_table_.get();
  }

  // Whoever is handed the pixels, the row table or the device context may write through them,
  // so each of these drops the image's alpha run map (see SourceAlphaRuns below).
  uint8_t* GetPixels() const override;
  uint8_t* GetRowPointer(int32_t y) const override;
  plat::DeviceContext* GetDC() const;
  // Whether the image holds an alpha run map now.
  bool HasAlphaRuns() const { return alpha_runs_ != nullptr; }
  // Whether that map has a clear run, the only kind a plain copy hands on to its destination.
  bool HasClearAlphaRuns() const { return alpha_runs_ != nullptr && alpha_runs_->HasClearRuns(); }

  // The palette setters of CImageBase that also mark the whole image changed when they succeed
  // (the two with an update flag only when it is set).
  uint32_t SetPaletteAndMark(const uint32_t* colours, uint32_t count, uint32_t first);
  bool SetPaletteEntryAndMark(uint32_t index, uint32_t colour, bool update);
  bool FillPaletteAndMark(uint32_t colour, bool update);
  // Takes the 256 palette entries of an 8-bit source; false when the source is null or either
  // image is deeper than 8 bits. A source without palette changes nothing and gives true.
  bool CopyPaletteFrom(const CImageBase* source);

  // Adds the rectangle to the dirty region in use (when tracking is on) and sets the modified flag.
  void MarkChanged(const plat::Rect& rect);
  // What MarkChanged does besides the dirty region (the alpha run map dropped, the modified flag
  // set), for a writer that hands the region its rectangles together afterwards.
  void MarkWritten();
  // Marks what a pixel-library routine reports it changed; a routine that changed nothing (an
  // empty rectangle) marks nothing.
  void MarkRoutineChanges(const plat::Rect& changed);
  void MarkAllChanged();
  bool IsModified() const { return modified_ != 0; }
  void ClearModified() { modified_ = 0; }
  CDirtyRegion* GetOwnedDirtyRegion() const { return owned_region_.get(); }
  CDirtyRegion* GetDirtyRegion() const { return region_in_use_; }
  // Null suspends the tracking; owners give the owned region back to resume it.
  void SetDirtyRegionInUse(CDirtyRegion* region) { region_in_use_ = region; }

  // Whether the decoded picture carried alpha.
  uint8_t GetAlphaFlag() const { return alpha_flag_; }
  void SetAlphaFlag(uint8_t flag) { alpha_flag_ = flag; }

  // The palette as it was before the first palette-based tone change; null until then.
  const plat::Palette* GetBasePalette() const { return base_palette_.get(); }
  // Saves the current palette as the base palette unless one is saved; false without palette
  // or memory.
  bool SaveBasePalette();

  // A copy of the extra data the decoder delivered with the picture.
  const std::vector<uint8_t>& GetExtraData() const { return extra_data_; }
  void SetExtraData(std::vector<uint8_t> data) { extra_data_ = std::move(data); }

  // Loading through the image-loader host (g_GllHost), into a new image made with the Create
  // flags: 32 bits (LoadFile32) or 8 bits with palette (LoadFile), from the named file or, without
  // a name, from the data. 0; 1 no host; 4 no data-file layer or the name is not found; 6 the
  // image cannot be made from a cached picture; 9 a cached picture cannot be converted; 10
  // (LoadFile32) or 5 (LoadFile) for an unexpected failure; otherwise the host's status.
  uint32_t LoadFile32(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags);
  uint32_t LoadFile(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags);
  // Loads a picture into this image at (x, y). 0; 1 without pixels; 2 without name and data, or
  // when the file is not found; 3 without host or decoder, for a palette that cannot be had or an
  // unsupported ELG depth; 4 a conversion failed; 0xFFFFFFFF nothing falls inside; 5 unexpected.
  uint32_t LoadFileInto(const char* file_name, const uint8_t* data, uint32_t size, int32_t x, int32_t y,
                        bool take_palette);
  // Decodes the file through the image-loader host (the loader of the plug-in type, 0: chosen
  // by the name) straight into this image's pixels, which the picture must fit exactly (width,
  // height and depth; the option is the decoder's target mode, 1 an 8-bit picture with its
  // palette). 0; 0xFFFFFFFC without pixels; 1 without host or loader, or for a picture that
  // does not fit; otherwise the host's status. The whole image is marked.
  uint32_t LoadFileByPlugin(const char* file_name, uint8_t option, uint32_t type);
  // Hands the pixels to the host to be written as a file: 0xFFFFFFFC without pixels; 1 without
  // host; otherwise the host's save status.
  uint32_t SaveFile(const char* file_name, uint32_t option, uint32_t encoder_id);

  // Writes one pixel: the palette index of an 8-bit image, the 32-bit value of a 32-bit one;
  // its rectangle is marked. 1 written; 0 outside the image or without pixels.
  uint32_t SetPixel(int32_t x, int32_t y, uint32_t value);
  // Every pixel of a 32-bit image takes the alpha byte, its colour bits kept, and the image is
  // marked: 0; 2 without pixels or at another depth.
  uint32_t SetAlphaAll(uint8_t alpha);
  // Converts the pixels to 8 or 32 bits: 8 to 32 through the palette, 32 to 8 as the grey
  // (77 R + 150 G + 29 B) >> 8 over the grey-ramp palette. The storage kind, the clip
  // rectangle and the user words stay, the colour key goes, and the whole image is marked.
  // 0; 1 without pixels; 2 for another depth or the depth the image has; 3 without memory.
  uint32_t ConvertDepth(uint8_t bpp);

  // The compositing operations draw a source image into this one. Results: 0 done or nothing
  // visible; 1 this image has no pixels or the source is null or has none; 2 the pair of depths
  // (this ← source) is not the operation's. (x, y) is where the source rectangle's top-left pixel
  // lands; a null source rectangle is the source's clip rectangle; a null size is this image's
  // size. Flip draws the source upside down; a mirror mode of 0 mirrors left to right, 1 flips
  // top to bottom and 2 does both. A source colour key leaves the destination where the source
  // pixel equals it, except where an operation ignores it. The written rectangle is marked.
  // 32←32, 32←8 (through the palette, the grey ramp for a source without one) and 8←8.
  uint32_t Copy(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip);
  uint32_t StretchCopy(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip);
  uint32_t CopyMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchCopyMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                               const plat::Rect* src_rect);
  // 32←32 by the source alpha; the key is ignored.
  uint32_t AlphaBlend(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip);
  uint32_t StretchAlphaBlend(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect,
                             bool flip);
  uint32_t AlphaBlendMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchAlphaBlendMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                     const plat::Rect* src_rect);
  // 32←8: the bytes become the alpha bytes; 8←32: the alpha bytes become the bytes. No key.
  uint32_t CopyAlphaPlane(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect, bool flip);
  uint32_t StretchCopyAlphaPlane(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect,
                                 bool flip);
  uint32_t CopyAlphaPlaneMirrored(CImage* src, uint8_t mode, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchCopyAlphaPlaneMirrored(CImage* src, uint8_t mode, const ImageSize* size, int32_t x, int32_t y,
                                         const plat::Rect* src_rect);
  // 32←32: the colour bits only (keyed), the alpha bytes only (the key ignored).
  uint32_t CopyRgb(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchCopyRgb(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t CopyAlpha(CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchCopyAlpha(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect);
  // 32←32 at a level (0 draws nothing); by a weight byte per channel (source weights 0 draw
  // nothing); by mode 0 average, 1 saturating add, 2 saturating subtract (another mode gives 1).
  uint32_t BlendLevel(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchBlendLevel(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                             const plat::Rect* src_rect);
  uint32_t BlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, int32_t x, int32_t y,
                         const plat::Rect* src_rect);
  uint32_t StretchBlendWeighted(CImage* src, uint32_t dst_weights, uint32_t src_weights, const ImageSize* size,
                                int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t BlendByMode(uint8_t mode, CImage* src, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchBlendByMode(uint8_t mode, CImage* src, const ImageSize* size, int32_t x, int32_t y,
                              const plat::Rect* src_rect);
  // A level blend that keeps fully transparent pixels apart; level 255 is a plain copy.
  uint32_t BlendLevelClearAware(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  // 32←32 with a level row P[level] (level 0 draws nothing; the key is ignored): mode 0 blends
  // by the source alpha at the level, 1 adds and 2 subtracts the source so weighted (another
  // mode gives 1). The alpha-preserving blend lays the source over the destination by its alpha
  // at the level, the alpha bytes becoming the composite's.
  uint32_t BlendModeLevel(uint8_t mode, CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchBlendModeLevel(uint8_t mode, CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                 const plat::Rect* src_rect);
  uint32_t BlendPreserveAlpha(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchBlendPreserveAlpha(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                     const plat::Rect* src_rect);
  // 32←32: the source scaled by the level added or subtracted with saturation (level 0 draws
  // nothing; the key is ignored).
  uint32_t AddScaled(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t SubtractScaled(CImage* src, uint8_t level, int32_t x, int32_t y, const plat::Rect* src_rect);
  // Their stretched forms, which the pixel-routine library's stretched blend serves.
  uint32_t StretchAddScaled(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                            const plat::Rect* src_rect);
  uint32_t StretchSubtractScaled(CImage* src, uint8_t level, const ImageSize* size, int32_t x, int32_t y,
                                 const plat::Rect* src_rect);
  // 32←8: the colour r, g, b painted through the 8-bit mask's coverage at the level, mode 0
  // blended, 1 added, 2 subtracted (another mode gives 1; level 0 draws nothing). The alpha
  // bytes stay.
  uint32_t BlendMasked(uint8_t mode, CImage* mask, uint8_t level, uint8_t r, uint8_t g, uint8_t b, int32_t x,
                       int32_t y, const plat::Rect* src_rect);
  // 32←32: the source blurred along its rows with the radius (above 127 taken as 127; pixels
  // outside the source's clip rectangle repeat its edge pixels) and blended at the level (255
  // writes the blur, alpha included; 0 draws nothing). Radius 0 is BlendWeighted at the level;
  // the alpha form weighs by the blurred alpha and is BlendModeLevel mode 0 at radius 0.
  uint32_t BlurBlendLevel(CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                          const plat::Rect* src_rect);
  uint32_t BlurBlendAlphaLevel(CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                               const plat::Rect* src_rect);
  // Bilinear stretch (32←32, 32←8, 8←8; a null source rectangle is the source's bounds). A size
  // equal to the source rectangle's copies, one of at most half of it stretches plainly; the
  // filtered stretch leaves the last column and row of its rectangle as they were.
  uint32_t SmoothStretchCopy(CImage* src, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect);
  // 32←32 onto a quadrilateral (corners top-left, top-right, bottom-left, bottom-right; a null
  // clip is this image's clip rectangle); the bounding box of the destination quad is marked.
  uint32_t MapQuad(CImage* src, const QuadCorners& dst_quad, const QuadCorners& src_quad, const plat::Rect* clip,
                   uint32_t step_flag);
  uint32_t MapRectToQuad(CImage* src, const QuadCorners& dst_quad, const plat::Rect* src_rect, const plat::Rect* clip);
  uint32_t MapQuadToRect(CImage* src, const QuadCorners& src_quad, const plat::Rect* dst_rect, const plat::Rect* clip);
  uint32_t MapQuadBlend(CImage* src, const QuadCorners& dst_quad, const QuadCorners& src_quad, uint8_t level,
                        const plat::Rect* clip, uint32_t step_flag);
  // 32←32 onto a parallelogram, each covered pixel taking the source pixel under its centre:
  // copied (keyed by the source's colour key) without a level, blended by the source alpha at
  // the level with one; the covered pixels' rectangle is marked.
  uint32_t MapParallelogram(CImage* src, const Parallelogram& at, const uint8_t* level);
  // The source rectangle (null: the whole source) scaled by scale (16.16) and turned by angle
  // (512 steps a turn) about the pivot that the anchor chooses (0 top-left, 1 top-right, 2
  // bottom-left, 3 bottom-right, 4 centre; any other value top-left), placed at (x, y).
  uint32_t RotateCopy(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale,
                      const plat::Rect* src_rect, const plat::Rect* clip);
  uint32_t RotateBlend(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale, uint8_t level,
                       const plat::Rect* src_rect, const plat::Rect* clip);

  // The in-place operations change this image's pixels in a rectangle: null is the clip
  // rectangle, a given one is cut to it first, and an empty result changes and marks nothing.
  // Colours come as r, g, b bytes or as one 0xAARRGGBB value. Unless stated the changed
  // rectangle is marked and the colour key kept.
  // 8 bits: every byte = r (an index); 32 bits: every pixel = rgb with alpha 0. False without
  // pixels, for an empty rectangle or another depth. The filled rectangle goes to `changed`.
  bool FillRect(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect, plat::Rect* changed = nullptr);
  bool FillRectXYWH(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t r, uint32_t g, uint32_t b);
  // 32 bits only.
  bool FillRectArgb(uint32_t colour, const plat::Rect* rect, plat::Rect* changed = nullptr);
  bool FillRectArgbXYWH(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
  // 32 bits: the colour bits become rgb, the alpha bytes stay.
  bool SetRgbKeepAlpha(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect);
  // 32 bits (else 1): the colour mixed in at the level (0 changes nothing and gives 0).
  uint32_t FillColor(uint32_t r, uint32_t g, uint32_t b, uint8_t level, const plat::Rect* rect);
  // Level 0..510: below 255 darker, 255 unchanged, above it white mixed in at level - 255. False
  // without pixels or from 511 on. 8 bits: the whole image only, through the palette, each time
  // from the palette saved before the first such change.
  bool AdjustBrightness(uint32_t level, const plat::Rect* rect);
  // 32 bits (else 1): saturating add or subtract per colour channel; all three 0 gives 0.
  uint32_t AddColor(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect);
  uint32_t SubtractColor(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect);
  // Grey = (77 R + 150 G + 29 B) >> 8. 8 bits: the whole image only (a rectangle gives 3, no
  // palette 0 and nothing changes): the pixels take their entries' grey, the palette becomes
  // the grey ramp, the saved palette is dropped and the colour key cleared. 1 without pixels or
  // at another depth.
  uint32_t Grayscale(const plat::Rect* rect);
  // channel = clamp((c × scale >> 7) + offset): scales below 257 and offsets -255..255, else 3.
  // 8 bits: the palette changes in place, the saved palette is dropped, the key cleared.
  uint32_t AdjustRgb(uint32_t r_scale, uint32_t g_scale, uint32_t b_scale, int32_t r_offset, int32_t g_offset,
                     int32_t b_offset, const plat::Rect* rect);
  // 32 bits: XOR with 0x00FFFFFF (mode 0), 0xFFFFFFFF (1) or 0xFF000000 (any other mode). 8
  // bits: mode 0 inverts the palette (whole image only: 2 with a rectangle, 1 without palette)
  // and clears the key; other modes invert the pixel values. 1 without pixels.
  uint32_t Invert(uint8_t mode, const plat::Rect* rect);
  // The alpha bytes (8 bits: the pixel values), level 0..511: below 256 a = P[level][a], from
  // 256 a = P[255 - t][a] + t with t = level - 256. False without pixels or from 512 on. Marks
  // nothing and leaves the modified flag.
  bool AdjustAlpha(uint32_t level, const plat::Rect* rect);
  // alpha = clamp((a × scale >> 7) + offset), scale 0..256, offset -255..255; marks nothing.
  bool ScaleAlpha(uint32_t scale, int32_t offset, const plat::Rect* rect);

  // 32←32 through the levels of a rule transition (progress 0..512, soft edge width 1..511, else
  // 3; progress 0 or 512 or level 0 draw nothing), indexed by the 8-bit rule image's value at
  // the source position (4 when the rule is not 8 bits or does not cover the clipped source
  // rectangle) or, without a rule, by the source alpha. Progress 256 is a plain level blend.
  uint32_t RuleBlend(CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width, int32_t x, int32_t y,
                     const plat::Rect* src_rect);

  // RuleBlend whose levels are also scaled by the source alpha. The rule is required (null or
  // not 8 bits gives 2); progress 256 is BlendModeLevel mode 0.
  uint32_t RuleBlendAlpha(CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width, int32_t x,
                          int32_t y, const plat::Rect* src_rect);

  // Blurs the rectangle in place (32 bits by the mode, see Smooth32; 8 bits see Smooth8): 1
  // without pixels, the kernel's failure + 1 (a rectangle under 4 pixels on a side gives 2); on
  // success the colour key is cleared.
  uint32_t Smooth(uint8_t mode, const plat::Rect* rect);
  // Blocks of block × block pixels take the colour of their first pixel, the grid aligned by the
  // mode (0 centred, 1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right). 1 without pixels;
  // a block below 2 changes nothing. Clears the colour key.
  uint32_t Mosaic(uint32_t block, uint8_t mode, const plat::Rect* rect);

  // Copies from a picture of any kind through its device context or its pixels: a software
  // image (Copy) or the image of a surface or picture canvas; a picture on a display surface by
  // BitBlt (StretchBlt) from the surface's device context into this image's, which must be 32
  // bits with a device context (else 2). A null source rectangle is the whole source, a null
  // size this image's size. 1 for another kind, a missing source or surface; 2 when the
  // surface's device context cannot be had or the copy fails; otherwise Copy's (StretchCopy's)
  // codes. The written rectangle is marked.
  uint32_t CopyFromSurface(CImageInterface* src, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t StretchCopyFromSurface(CImageInterface* src, const ImageSize* size, int32_t x, int32_t y,
                                  const plat::Rect* src_rect);

  // Exchange a rectangle with a device context through this image's own (a DIB image's): the
  // rectangle (null: the clip rectangle, a given one cut to it) copied to (x, y) of dc; or the
  // rectangle of dc (null: this image's size from dc's origin) drawn at (x, y) in the size (null:
  // the rectangle's own), the written part marked. 0; 1 without pixels, without either device
  // context; 2 when the copy fails.
  uint32_t CopyToDC(plat::DeviceContext* dc, int32_t x, int32_t y, const plat::Rect* rect);
  uint32_t CopyFromDC(plat::DeviceContext* dc, const ImageSize* size, int32_t x, int32_t y, const plat::Rect* rect);

  // A colour ramp from A to B across the rectangle: direction 0 left to right, 1 top to bottom
  // (another gives 3 and changes nothing). 1 without pixels; 2 when the ramp cannot be made
  // (also for a rectangle one entry long). Clears the colour key.
  uint32_t GradientFill(uint32_t direction, uint32_t colour_a, uint32_t colour_b, const plat::Rect* rect);

  // The pixel library's own blends (see pixel_library.h for the modes): 1 when this image has no
  // pixels or the source is null or has none; 2 when either is not 32 bits or no library is
  // bound; 3 when the routine fails; otherwise 0 with its changed rectangle marked.
  uint32_t PixelLibBlend(CImage* src, uint32_t mode, uint8_t level, uint32_t flag, int32_t x, int32_t y,
                         const plat::Rect* src_rect);
  uint32_t PixelLibStretchBlend(CImage* src, uint32_t mode, uint32_t filter, uint8_t level, uint32_t flag,
                                const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t PixelLibTransform(CImage* src, const PixelTransformArgs& args);
  // The two matrix forms of the affine draw (one routine serves both), the cross-fade of two
  // sources and the rule transition, with the statuses above; every source is checked, the rule
  // image of the transition being 8 bits where the others are 32.
  uint32_t PixelLibAffineDraw(CImage* src, const PixelAffineArgs& args);
  uint32_t PixelLibAffineDraw2(CImage* src, const PixelAffineArgs& args);
  uint32_t PixelLibBlendTwo(CImage* a, CImage* b, const PixelCrossFadeArgs& args);
  uint32_t PixelLibBlendThree(CImage* a, CImage* b, CImage* rule, const PixelRuleTransitionArgs& args);
  // The library's mirrors of a rectangle in place (null: the clip rectangle): 1 without pixels
  // or without the library; 2 when the routine fails; otherwise 0 with the rectangle marked.
  uint32_t PixelLibMirrorHorizontal(const plat::Rect* rect);
  uint32_t PixelLibMirrorVertical(const plat::Rect* rect);
  // The library's in-place routines (see pixel_library.h): 1 without pixels (FillValue and
  // BlendColor: also for an image that is not 32 bits); 2 for an image that is not 32 bits or
  // without the library; 3 when the routine fails; otherwise 0 with its changed rectangle
  // marked. BlendColor at level 0 gives 0 at once.
  uint32_t PixelLibFillValue(uint8_t value, const plat::Rect* rect);
  uint32_t PixelLibBlendColor(uint32_t colour, uint8_t level, const plat::Rect* rect, uint32_t flag);
  uint32_t PixelLibSoften(uint32_t horizontal, uint32_t vertical, const plat::Rect* rect, uint32_t flag);
  // Whole-image library routines (within the clip rectangle): the flag set inverts the alpha
  // bytes, clear the colour bits; A is the brightness level, B the alpha level. False without
  // pixels, at another depth, without the library or when the routine fails.
  bool PixelLibSwitchOp(bool flag);
  bool PixelLibValueOpA(uint32_t value);
  bool PixelLibValueOpB(uint32_t value);

  // The rectangle of an in-place operation: null is the clip rectangle, a given one is cut to
  // it; false when nothing is left or the image has no pixels.
  bool InPlaceRect(const plat::Rect* rect, plat::Rect& out) const;

 private:
  // The geometry of a pass: one to one without a size, else stretched to it.
  // The pixel library's blend that paints what a pass paints: its mode and level, and whether
  // a keyed source keeps the pass on the engine's kernels.
  struct LibraryBlend {
    uint32_t mode = 0;
    uint8_t level = 255;
    bool keyless_only = false;
  };
  struct BlitRequest {
    BlitPlacement placement;
    std::optional<ImageSize> size = std::nullopt;
    std::optional<LibraryBlend> library = std::nullopt;
  };
  // BlendModeLevel's mode 0 is the library's blend by the source alpha at the level, below 255:
  // at 255 that blend is the alpha blend, which clears the alpha bytes that this one keeps.
  static std::optional<LibraryBlend> AlphaLibraryBlend(uint8_t mode, uint8_t level) {
    if (mode != 0 || level == 255) return std::nullopt;
    return LibraryBlend{2, level};
  }
  // The early status of RunPass that lets the pass go on to draw.
  static constexpr uint32_t kDraw = 0xFFFFFFFF;
  // The shared dispatch of a pass that draws a source into this image: 1 without pixels, 2 for
  // another depth pair, then `early` unless it is kDraw; 0 when nothing is visible; otherwise
  // draw(pass), whose status (none counts as 0) is returned, and the written rectangle is
  // marked when it is 0. Defined in blit_pass.h.
  template <typename Draw>
  uint32_t RunPass(CImage* src, uint8_t dst_bpp, uint8_t src_bpp, uint32_t early, const BlitRequest& request,
                   Draw&& draw);
  // Hands a 32←32 pass without flip or mirror to the bound pixel library's blend (stretched with
  // a size): 2 when the routine fails, else 0 with its changed rectangle marked. Nothing when
  // the pass has no library blend or stays on the engine's kernels.
  std::optional<uint32_t> LibraryPass(CImage& src, const BlitRequest& request);
  // The checks, the call and the marking of a library-only operation; call(routines) gives the
  // routine's result.
  template <typename Call>
  uint32_t LibraryOnlyPass(CImage* src, Call&& call);
  // The same for a routine on this image alone: 1 without pixels, `wrong_depth` when it is not
  // 32 bits, 2 without the library, 3 when the routine fails.
  template <typename Call>
  uint32_t LibraryOnlyInPlace(uint32_t wrong_depth, Call&& call);
  // The library path of the fills, given the clipped rectangle: nothing without a bound library,
  // else whether the routine worked, its changed rectangle marked (and handed to `changed`).
  std::optional<bool> LibraryFill(uint32_t value, const plat::Rect& area, plat::Rect* changed);
  std::optional<bool> LibraryColour(uint32_t rgb, uint8_t level, const plat::Rect& area);
  // The alpha run map of a 32-bit image read by a pass as a source, made when the pass reads
  // `area` again, or an area overlapping one read, since the pixels last changed (a picture
  // redrawn before every use, whether read whole or strip by strip, never pays for one); null
  // until then. Every write to the pixels drops it: MarkChanged, the hand-outs above,
  // Create, Resize and Free. The alpha blends and the plain copies keep up the map of the image
  // they draw into, where it has one (a copy of a mapped source gives it one), instead.
  const AlphaRunMap* SourceAlphaRuns(const plat::Rect& area);
  void DropAlphaRuns() const;
  // Takes the map out of the image for the length of a pass that keeps it up itself, and puts
  // it back after the pass has marked its rectangle.
  std::unique_ptr<AlphaRunMap> TakeAlphaRuns() { return std::move(alpha_runs_); }
  void PutAlphaRuns(std::unique_ptr<AlphaRunMap> runs) { alpha_runs_ = std::move(runs); }
  // This image's map after a plain 32-bit copy from src drawn at dest_rect_ (taken out of the
  // image); null when the source has no map.
  std::unique_ptr<AlphaRunMap> CopiedAlphaRuns(CImage& src);
  // An unknown map of the image's size, made in the storage of the map last dropped if any.
  std::unique_ptr<AlphaRunMap> UnknownAlphaRuns();
  // Step 1 of every operation: this image and the source have pixels.
  bool HasPixelsFrom(const CImage* src) const;
  bool IsDepthPair(const CImage* src, uint8_t dst_bpp, uint8_t src_bpp) const;
  // Clips and lays the pass out for its kernel; false when nothing is visible.
  bool PlanBlit(const CImage& src, const BlitRequest& request, BlitPass& pass);
  ImageSize SizeOr(const ImageSize* size) const;
  uint32_t CopyPass(CImage* src, const BlitRequest& request);
  uint32_t AlphaBlendPass(CImage* src, const BlitRequest& request);
  uint32_t AlphaPlanePass(CImage* src, const BlitRequest& request);
  uint32_t ChannelPass(CImage* src, const BlitRequest& request, bool colour);
  uint32_t LevelPass(CImage* src, uint8_t level, const BlitRequest& request);
  uint32_t WeightedPass(CImage* src, uint32_t dst_weights, uint32_t src_weights, const BlitRequest& request);
  uint32_t ModePass(uint8_t mode, CImage* src, const BlitRequest& request);
  // The blends by a product-table row of the level: modes 0 to 2 of BlendModeLevel, and the
  // alpha-preserving blend as family kLevelRowOver.
  static constexpr uint8_t kLevelRowOver = 3;
  static constexpr uint8_t kNoFamily = 0xFF;
  uint32_t LevelRowPass(uint8_t family, CImage* src, uint8_t level, const BlitRequest& request);
  uint32_t ScaledPass(bool subtract, CImage* src, uint8_t level, const BlitRequest& request);
  uint32_t BlurPass(bool by_alpha, CImage* src, uint32_t radius, uint8_t level, int32_t x, int32_t y,
                    const plat::Rect* src_rect);
  uint32_t RulePass(bool by_alpha, CImage* src, CImage* rule, uint8_t level, uint32_t progress, uint32_t width,
                    int32_t x, int32_t y, const plat::Rect* src_rect);
  uint32_t SurfaceCopyPass(CImageInterface* src, std::optional<ImageSize> size, int32_t x, int32_t y,
                           const plat::Rect* src_rect);
  uint32_t BitBltFromSurface(plat::Surface& surface, const BlitPlacement& placement, const plat::Rect& bounds,
                             const plat::Rect& clip_rect);
  uint32_t StretchBltFromSurface(plat::Surface& surface, ImageSize size, int32_t x, int32_t y,
                                 const plat::Rect& source, const plat::Rect& bounds, const plat::Rect& clip_rect);
  uint32_t SmoothStretchPass(CImage* src, ImageSize size, int32_t x, int32_t y, const plat::Rect& src_rect);
  // The four members of a colour arithmetic kernel: plain and keyed, portable and vector.
  struct ColourKernels {
    void (*plain)(uint32_t*, int32_t, int32_t, int32_t, uint32_t);
    void (*plain_mmx)(uint32_t*, int32_t, int32_t, int32_t, uint32_t);
    void (*keyed)(uint32_t*, int32_t, int32_t, int32_t, uint32_t, uint32_t);
    void (*keyed_mmx)(uint32_t*, int32_t, int32_t, int32_t, uint32_t, uint32_t);
  };
  uint32_t ColourArithmetic(const ColourKernels& kernels, uint32_t colour, const plat::Rect* rect);
  // ConvertDepth over the whole image (the clip rectangle is the whole image meanwhile).
  uint32_t ConvertWholeImage(uint8_t bpp);
  // Recomputes the palette from the saved base palette with a brightness level.
  bool AdjustPaletteBrightness(uint32_t level);
  // After a change to the palette itself: the colour table, the dropped base palette, the
  // cleared key and the whole image marked.
  void PaletteChanged();
  // Marks the bounding box of a destination quad, cut to the clip rectangle.
  void MarkQuad(const QuadCorners& quad);
  uint32_t RotatePass(CImage* src, uint8_t anchor, int32_t x, int32_t y, int32_t angle, uint32_t scale,
                      const plat::Rect* src_rect, const plat::Rect* clip, const uint8_t* level);
  // Where a rotation puts the scaled source rectangle: (x, y) the pivot's place, the pivot
  // inside the scaled rectangle of width × height.
  struct RotationPlacement {
    int32_t x;
    int32_t y;
    int32_t angle;
    int64_t width;
    int64_t height;
    int64_t pivot_x;
    int64_t pivot_y;
  };
  // The rotation's library path: the transform routine, copying without a level and blending
  // by the source alpha at the level with one.
  uint32_t LibraryRotation(CPixelLibrary& library, CImage& src, const plat::Rect& source, const RotationPlacement& at,
                           const uint8_t* level);

  uint32_t LoadNew(const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags, bool palettized);
  uint32_t LoadFromCachedPicture(const class CCachedPicture& picture, uint32_t flags, bool palettized);
  bool UnpackElgInto(const uint8_t* data, uint32_t size, bool take_palette, uint32_t& status);
  uint32_t ConvertPictureInto(const class CCachedPicture& picture, int32_t x, int32_t y, bool take_palette);
  // Takes a picture's colour table as the palette, dropping the base palette.
  bool TakePalette(const uint32_t* colours, uint32_t count);

  std::unique_ptr<plat::Palette> base_palette_;
  uint8_t alpha_flag_ = 0;
  uint8_t modified_ = 0;
  std::unique_ptr<CDirtyRegion> owned_region_;
  CDirtyRegion* region_in_use_ = nullptr;
  std::unique_ptr<uint8_t*[]> row_table_;
  std::vector<uint8_t> extra_data_;
  plat::Rect source_rect_;
  plat::Rect dest_rect_;
  mutable std::unique_ptr<AlphaRunMap> alpha_runs_;
  // The map last dropped, whose rows the next copy that needs a map fills instead of allocating
  // them all anew: a picture copied into the same scratch image every frame (a cross-fade's)
  // would otherwise make and free a vector for each of its rows, each time.
  mutable std::unique_ptr<AlphaRunMap> spare_runs_;
  // The box of the areas read as a source since the pixels last changed.
  mutable plat::Rect read_since_change_;
};
