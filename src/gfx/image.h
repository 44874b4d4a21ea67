// The 8-bit palettized or 32-bit 0xAARRGGBB software image on which the compositing operations
// work. It records every rectangle it changes in the dirty region in use and sets its modified
// flag.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/dirty_region.h"
#include "gfx/image_base.h"

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
  uint8_t* const* GetRowTable() const { return row_table_.get(); }

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
  // Hands the pixels to the host to be written as a file: 0xFFFFFFFC without pixels; 1 without
  // host; otherwise the host's save status.
  uint32_t SaveFile(const char* file_name, uint32_t option, uint32_t encoder_id);

  // The parts of the source and of this image that the operation in progress reads and writes.
  plat::Rect& SourceRect() { return source_rect_; }
  plat::Rect& DestRect() { return dest_rect_; }

 private:
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
};
