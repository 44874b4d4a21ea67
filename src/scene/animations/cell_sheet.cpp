#include "scene/animations/cell_sheet.h"

#include <algorithm>

#include "gfx/images/color_key.h"
#include "scene/sprites/sprite.h"

uint32_t CCellSheet::Load(const char* name, const CellSheetSetup& setup, bool keep_depth, uint32_t colour_key) {
  if (name == nullptr || setup.frame_time <= 0 || setup.cell_count <= 0) return kBadArgument;
  Release();
  const uint32_t loaded = keep_depth ? image_.LoadFile(name, nullptr, 0, 0) : image_.LoadFile32(name, nullptr, 0, 0);
  if (loaded != 0) return kLoadFailed;
  if (colour_key != kNoColourKey) {
    image_.SetColorKeyRgb((colour_key >> 16) & 0xFF, (colour_key >> 8) & 0xFF, colour_key & 0xFF);
  }
  return SetUp(setup);
}

uint32_t CCellSheet::Attach(CImage* image, const CellSheetSetup& setup) {
  if (image == nullptr || setup.frame_time <= 0 || setup.cell_count <= 0) return kBadArgument;
  Release();
  attached_ = image;
  return SetUp(setup);
}

uint32_t CCellSheet::SetUp(const CellSheetSetup& setup) {
  if (setup.sprite != nullptr) {
    if (setup.sprite->GetSourceImage() == nullptr) return kSpriteWithoutImage;
    target_ = setup.sprite->GetSourceImage();
    AddSprite(setup.sprite);
  } else {
    if (setup.target == nullptr) return kBadArgument;
    target_ = setup.target;
  }
  CImage* source = GetSource();
  draw_mode_ = source->GetColorKey() != kNoColorKey ? kDrawKeyed : (setup.blend ? kDrawBlend : kDrawCopy);
  cell_count_ = setup.cell_count;
  frame_time_ = setup.frame_time;
  option_ = setup.option;
  cell_width_ = source->GetWidth() / cell_count_;
  if (setup.x == CellSheetSetup::kPlaceFromPicture) {
    SetPlace(static_cast<int32_t>(source->GetUserWord0()), static_cast<int32_t>(source->GetUserWord1()));
  } else {
    SetPlace(setup.x, setup.y);
  }
  background_mode_ = setup.background_mode;
  if (background_mode_ == CellSheetSetup::kKeepBackground || setup.blend) {
    background_ = std::make_unique<CImage>();
    if (background_->Create(cell_width_, source->GetHeight(), target_->GetBitsPerPixel(), 0) != 0) return kNoBackground;
  }
  return 0;
}

void CCellSheet::Release() {
  image_.Release();
  attached_ = nullptr;
  background_.reset();
  target_ = nullptr;
  sprites_.clear();
}

std::vector<CSprite*> CCellSheet::GetSprites() const {
  std::vector<CSprite*> living;
  for (CSprite* sprite : sprites_) {
    if (sprite != nullptr) living.push_back(sprite);
  }
  return living;
}

void CCellSheet::AddSprite(CSprite* sprite) {
  std::erase_if(sprites_, [](CSprite* ended) { return ended == nullptr; });
  if (sprite == nullptr || std::find(sprites_.begin(), sprites_.end(), sprite) != sprites_.end()) return;
  sprites_.emplace_back(sprite);
}

void CCellSheet::RemoveSprite(CSprite* sprite) {
  const auto found = std::find(sprites_.begin(), sprites_.end(), sprite);
  if (found != sprites_.end()) sprites_.erase(found);
}

plat::Rect CCellSheet::CellRect(int32_t cell) {
  if (cell < 0 || cell >= cell_count_) return {};
  return {cell * cell_width_, 0, (cell + 1) * cell_width_, GetCellHeight()};
}

uint32_t CCellSheet::SaveBackground(CImage* from) {
  if (cell_count_ == 0) return 1;
  CImage* source = from != nullptr ? from : target_;
  if (!HasBackground() || source == nullptr) return 0;
  const plat::Rect area{x_, y_, x_ + cell_width_, y_ + GetCellHeight()};
  background_->Copy(source, 0, 0, &area, false);
  return 0;
}

plat::Rect CCellSheet::DrawCell(int32_t cell, CImage& into) {
  const plat::Rect cell_rect = CellRect(cell);
  if (cell_rect.Width() <= 0 || cell_rect.Height() <= 0) return {};
  RestoreBackground(into);
  CImage* source = GetSource();
  if (draw_mode_ == kDrawBlend) {
    into.AlphaBlend(source, x_, y_, &cell_rect, false);
  } else {
    into.Copy(source, x_, y_, &cell_rect, false);
  }
  return {x_, y_, x_ + cell_width_, y_ + cell_rect.Height()};
}

plat::Rect CCellSheet::RestoreBackground(CImage& into) {
  if (!HasBackground()) return {};
  into.Copy(background_.get(), x_, y_, nullptr, false);
  return {x_, y_, x_ + background_->GetWidth(), y_ + background_->GetHeight()};
}

void CCellSheet::ReportDrawn(const plat::Rect& drawn) const {
  if (drawn.Width() <= 0 || drawn.Height() <= 0) return;
  for (CSprite* sprite : sprites_) {
    if (sprite == nullptr) continue;
    plat::Rect rect = drawn;
    sprite->InvalidateLocalRect(&rect);
  }
}
