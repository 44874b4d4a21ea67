#include "gfx/images/image.h"

#include <cstring>
#include <new>

CImage::~CImage() { Release(); }

uint32_t CImage::Create(int32_t width, int32_t height, uint8_t bpp, uint32_t flags) {
  Release();
  if (bpp != 8 && bpp != 32) return 1;
  const uint32_t status = CImageBase::Create(width, height, bpp, (flags & kUseDib) != 0);
  if (status == 1) return 1;
  if (status != 0) return 2;
  if ((flags & kOwnDirtyRegion) != 0) {
    owned_region_.reset(new (std::nothrow) CDirtyRegion());
    if (!owned_region_) {
      Release();
      return 3;
    }
    region_in_use_ = owned_region_.get();
  }
  return 0;
}

void CImage::Release() {
  DropAlphaRuns();
  spare_runs_.reset();
  base_palette_.reset();
  if (owned_region_) owned_region_->Clear();
  owned_region_.reset();
  region_in_use_ = nullptr;
  row_table_.reset();
  extra_data_.clear();
  CImageBase::Free();
  alpha_flag_ = 0;
  modified_ = 0;
}

uint32_t CImage::Resize(int32_t width, int32_t height) {
  DropAlphaRuns();
  row_table_.reset();
  return CImageBase::Resize(width, height);
}

void CImage::Free() {
  DropAlphaRuns();
  spare_runs_.reset();
  row_table_.reset();
  CImageBase::Free();
}

uint32_t CImage::Duplicate(const CImage* source, uint32_t flags) {
  if (source == nullptr || !source->HasPixels()) return 1;
  uint32_t create_flags = flags & kUseDib;
  if (flags == kOwnDirtyRegion) {
    create_flags = (source->GetDC() != nullptr ? kUseDib : 0) | (source->GetDirtyRegion() != nullptr ? kOwnDirtyRegion : 0);
  }
  if (Create(source->GetWidth(), source->GetHeight(), source->GetBitsPerPixel(), create_flags) != 0) return 2;
  if (GetBitsPerPixel() == 8 && !CopyPaletteFrom(source)) {
    Release();
    return 3;
  }
  std::memcpy(GetPixels(), source->GetPixels(), static_cast<size_t>(GetPitch()) * static_cast<size_t>(GetHeight()));
  color_key_ = source->GetColorKey();
  SetUserWord0(source->GetUserWord0());
  SetUserWord1(source->GetUserWord1());
  alpha_flag_ = source->alpha_flag_;
  return 0;
}

uint32_t CImage::BuildRowTable() {
  if (!HasPixels()) return 1;
  std::unique_ptr<uint8_t*[]> table(new (std::nothrow) uint8_t*[static_cast<size_t>(GetHeight())]);
  if (!table) return 2;
  for (int32_t y = 0; y < GetHeight(); ++y) table[static_cast<size_t>(y)] = GetRowPointer(y);
  row_table_ = std::move(table);
  return 0;
}

uint32_t CImage::SetPaletteAndMark(const uint32_t* colours, uint32_t count, uint32_t first) {
  const uint32_t status = SetPalette(colours, count, first);
  if (status == 0) MarkAllChanged();
  return status;
}

bool CImage::SetPaletteEntryAndMark(uint32_t index, uint32_t colour, bool update) {
  if (!SetPaletteEntry(index, colour, update)) return false;
  if (update) MarkAllChanged();
  return true;
}

bool CImage::FillPaletteAndMark(uint32_t colour, bool update) {
  if (!FillPalette(colour, update)) return false;
  if (update) MarkAllChanged();
  return true;
}

bool CImage::CopyPaletteFrom(const CImageBase* source) {
  if (source == nullptr || source->GetBitsPerPixel() > 8 || GetBitsPerPixel() > 8) return false;
  const uint32_t* colours = source->GetPalette();
  if (colours == nullptr) return true;
  if (SetPalette(colours, 256, 0) != 0) return false;
  MarkAllChanged();
  return true;
}

void CImage::MarkChanged(const plat::Rect& rect) {
  MarkWritten();
  if (region_in_use_ != nullptr) region_in_use_->AddRect(&rect);
}

void CImage::MarkWritten() {
  DropAlphaRuns();
  modified_ = 1;
}

// The routine's own writes went through engine operations, which keep or drop the alpha run
// map themselves, or through the pixels handed out, which dropped it: marking them keeps it.
void CImage::MarkRoutineChanges(const plat::Rect& changed) {
  if (changed.left >= changed.right || changed.top >= changed.bottom) return;
  std::unique_ptr<AlphaRunMap> runs = TakeAlphaRuns();
  MarkChanged(changed);
  PutAlphaRuns(std::move(runs));
}

void CImage::MarkAllChanged() {
  plat::Rect whole;
  MarkChanged(*GetBounds(&whole));
}

bool CImage::SaveBasePalette() {
  if (base_palette_) return true;
  const uint32_t* colours = GetPalette();
  if (colours == nullptr) return false;
  base_palette_.reset(new (std::nothrow) plat::Palette());
  if (!base_palette_) return false;
  std::memcpy(base_palette_->data(), colours, sizeof(plat::Palette));
  return true;
}
