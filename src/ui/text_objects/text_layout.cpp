#include "ui/text_objects/text_layout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "scene/drawables/draw_list.h"
#include "scene/sprites/color_box.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_window.h"

namespace {

constexpr int32_t kAngleUpright = 0;
constexpr int32_t kAngleVertical = 2700;
// The page carries alpha: the background's and the glyphs'.
constexpr uint8_t kPageBlendMode = 2;

// The face name for vertical writing starts with "@"; upright it does not.
uint32_t TurnFont(CFont& font, bool vertical) {
  const std::string& face = font.logical_font().face_name;
  const bool turned = !face.empty() && face[0] == '@';
  if (vertical && !turned && font.SetFaceNameIfChanged(("@" + face).c_str()) != 0) return 1;
  if (!vertical && turned && font.SetFaceNameIfChanged(face.substr(1).c_str()) != 0) return 1;
  return font.SetAngle(vertical ? kAngleVertical : kAngleUpright) == 0 ? 0 : 1;
}

}  // namespace

CTextLayout::~CTextLayout() {
  Destroy();
  ReleaseImages(false);
  ClearItems();
}

void CTextLayout::SetPosition(int32_t x, int32_t y) {
  if (text_image_.GetPixels() == nullptr) return;
  for (auto& box : highlight_boxes_) box->MoveBy(x - GetX(), y - GetY());
  sprite_.SetPosition(x, y);
}

void CTextLayout::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  sprite_.SetEnabled(active);
  if (items_frozen_) {
    for (int32_t i = 0; i < highlight_count_; ++i) highlight_boxes_[static_cast<size_t>(i)]->SetEnabled(active);
  }
}

void CTextLayout::SetPriority(uint32_t priority, uint32_t key, uint32_t tag) {
  if (draw_list_ == nullptr) return;
  if (sprite_.GetOwnerList() == nullptr) {
    draw_list_->Insert(&sprite_, priority, key);
    sprite_.SetId(key);
    group_ = static_cast<int32_t>(key);
  } else {
    draw_list_->SetPriority(&sprite_, priority, tag != 0);
  }
  if (items_enabled_) {
    for (auto& box : highlight_boxes_) draw_list_->SetPriority(box.get(), priority, false);
  }
  priority_ = priority;
}

void CTextLayout::SetOpacity(uint8_t level) {
  if (text_image_.GetPixels() == nullptr) return;
  sprite_.SetOpacity(level);
  if (items_enabled_) {
    for (auto& box : highlight_boxes_) box->SetOpacity(level);
  }
}

uint32_t CTextLayout::Create(CDrawList* draw_list, uint32_t priority, int32_t width, int32_t height, int32_t x,
                             int32_t y, CFont* font, CFont* ruby_font, uint32_t key) {
  if (draw_list == nullptr || font == nullptr) return kBadArguments;
  if (composite_ == nullptr && (width < 1 || height < 1)) return kBadArguments;
  // Made again in the same list, the sprite keeps its place there.
  if (draw_list == draw_list_) draw_list_ = nullptr;
  Destroy();
  draw_list_ = draw_list;
  if (composite_ != nullptr && tile_width_ == 0) {
    width = composite_->GetWidth();
    height = composite_->GetHeight();
  }
  if (text_image_.Create(width, height, 32, 0) != 0 || !ShowPage(x, y)) return kTextImageFailed;
  box_width_ = width;
  box_height_ = height;
  if (items_enabled_ && MakeRegionMap(false) != 0) return kRegionMapFailed;
  SetPriority(priority, key, 1);
  font_ = font;
  ruby_font_ = ruby_font;
  UpdateLayout();
  Refresh(true);
  return 0;
}

uint32_t CTextLayout::Recreate(int32_t width, int32_t height) {
  if (text_image_.GetPixels() == nullptr) return 1;
  ReleaseImages(false);
  CFont* font = font_;
  CFont* ruby_font = ruby_font_;
  const uint32_t failed =
      Create(draw_list_, priority_, width, height, GetX(), GetY(), font, ruby_font, static_cast<uint32_t>(group_));
  return failed == 0 ? 0 : 3;
}

bool CTextLayout::ShowPage(int32_t x, int32_t y) {
  const uint8_t opacity = sprite_.GetOpacity();
  if (sprite_.SetImage(&text_image_, nullptr, x, y) != 0 || sprite_.SetBlendMode(kPageBlendMode) != 0) return false;
  sprite_.SetOpacity(opacity);
  return true;
}

void CTextLayout::MarkPageChanged(const plat::Rect& rect) {
  text_image_.MarkChanged(rect);
  plat::Rect shown = rect;
  sprite_.InvalidateLocalRect(&shown);
}

void CTextLayout::Destroy() {
  if (draw_list_ != nullptr && sprite_.GetOwnerList() == draw_list_) draw_list_->Remove(&sprite_);
  draw_list_ = nullptr;
  sprite_.Reset();
  text_image_.Release();
  region_map_.reset();
  font_ = nullptr;
  ruby_font_ = nullptr;
  box_width_ = 0;
  ClearHighlightPool();
}

int32_t CTextLayout::SetFont(CFont* font, CFont* ruby_font, bool redraw) {
  if (font == nullptr) return 1;
  if (text_image_.GetPixels() == nullptr) return -1;
  font_ = font;
  ruby_font_ = ruby_font;
  UpdateLayout();
  if (redraw) Refresh(true);
  return 0;
}

int32_t CTextLayout::SetImages(CImage* frame, CImage* mask, CImage* second_mask, bool redraw) {
  ReleaseImages(false);
  auto has_pixels = [](const CImage* image) { return image != nullptr && image->GetPixels() != nullptr; };
  if (!has_pixels(frame) && !has_pixels(mask) && !has_pixels(second_mask)) return 1;
  const CImage* sizer = has_pixels(second_mask) ? second_mask : has_pixels(mask) ? mask : frame;
  composite_ = std::make_unique<CImage>();
  if (composite_->Create(sizer->GetWidth(), sizer->GetHeight(), 32, 0) != 0) {
    ReleaseImages(true);
    return 3;
  }
  frame_ = has_pixels(frame) ? frame : nullptr;
  mask_ = has_pixels(mask) ? mask : nullptr;
  second_mask_ = has_pixels(second_mask) ? second_mask : nullptr;
  ComposeNewBackground();
  if (!redraw || text_image_.GetPixels() == nullptr) return 0;
  const int32_t result = RebuildForPicture();
  if (result != 0) ReleaseImages(true);
  return result;
}

int32_t CTextLayout::SetImageCopies(const CImage* frame, const CImage* mask, const CImage* second_mask,
                                    bool redraw) {
  bool copied = true;
  auto copy = [&copied](const CImage* image) -> std::unique_ptr<CImage> {
    if (image == nullptr || image->GetPixels() == nullptr) return nullptr;
    auto twin = std::make_unique<CImage>();
    if (twin->Duplicate(image, 0) != 0) {
      copied = false;
      return nullptr;
    }
    return twin;
  };
  std::unique_ptr<CImage> own_frame = copy(frame);
  std::unique_ptr<CImage> own_mask = copy(mask);
  std::unique_ptr<CImage> own_second_mask = copy(second_mask);
  if (!copied) {
    ReleaseImages(true);
    return 3;
  }
  const int32_t result = SetImages(own_frame.get(), own_mask.get(), own_second_mask.get(), redraw);
  if (result != 0) return result;
  loaded_frame_ = std::move(own_frame);
  loaded_mask_ = std::move(own_mask);
  loaded_second_mask_ = std::move(own_second_mask);
  return 0;
}

void CTextLayout::ComposeNewBackground() {
  if (tile_width_ != 0) {
    right_corner_ = composite_->GetWidth() - left_corner_ - tile_width_;
    bottom_corner_ = composite_->GetHeight() - top_corner_ - tile_height_;
  }
  ApplyBackground(true, true, true);
}

int32_t CTextLayout::LoadImages(const char* frame_file, const char* mask_file, const char* second_mask_file,
                                bool redraw) {
  ReleaseImages(false);
  if (frame_file == nullptr && mask_file == nullptr && second_mask_file == nullptr) return 1;
  int32_t result = LoadNamedImages(frame_file, mask_file, second_mask_file);
  if (result == 0) ComposeNewBackground();
  if (result == 0 && redraw && text_image_.GetPixels() != nullptr) result = RebuildForPicture();
  if (result != 0) ReleaseImages(true);
  return result;
}

int32_t CTextLayout::RebuildForPicture() {
  // A nine-patch stretches to any size, so it keeps the box's; a plain picture sets it.
  const int32_t width = tile_width_ != 0 ? box_width_ : 0;
  const int32_t height = tile_width_ != 0 ? box_height_ : 0;
  return Create(draw_list_, priority_, width, height, GetX(), GetY(), font_, ruby_font_,
                static_cast<uint32_t>(group_)) != 0
             ? 9
             : 0;
}

int32_t CTextLayout::LoadNamedImages(const char* frame_file, const char* mask_file, const char* second_mask_file) {
  composite_ = std::make_unique<CImage>();
  // Loads one picture; the first to load gives the composite its size.
  auto load = [this](const char* name, bool as_32, std::unique_ptr<CImage>& into, int32_t load_failed,
                     int32_t create_failed) {
    into = std::make_unique<CImage>();
    const uint32_t status =
        as_32 ? into->LoadFile32(name, nullptr, 0, 0) : into->LoadFile(name, nullptr, 0, 0);
    if (status != 0) return load_failed;
    if (composite_->GetPixels() != nullptr) return 0;
    return composite_->Create(into->GetWidth(), into->GetHeight(), 32, 0) == 0 ? 0 : create_failed;
  };
  if (mask_file != nullptr) {
    if (const int32_t failed = load(mask_file, false, loaded_mask_, 2, 3)) return failed;
    mask_ = loaded_mask_.get();
  }
  if (second_mask_file != nullptr) {
    if (const int32_t failed = load(second_mask_file, false, loaded_second_mask_, 4, 5)) return failed;
    second_mask_ = loaded_second_mask_.get();
  }
  if (frame_file != nullptr) {
    const bool sized = composite_->GetPixels() != nullptr;
    if (const int32_t failed = load(frame_file, true, loaded_frame_, sized ? 6 : 8, 7)) return failed;
    frame_ = loaded_frame_.get();
  }
  return 0;
}

void CTextLayout::ReleaseImages(bool redraw) {
  composite_.reset();
  loaded_frame_.reset();
  loaded_mask_.reset();
  loaded_second_mask_.reset();
  frame_ = nullptr;
  mask_ = nullptr;
  second_mask_ = nullptr;
  if (redraw && text_image_.GetPixels() != nullptr) Refresh(true);
}

bool CTextLayout::SetFrameSlices(int32_t left_corner, int32_t top_corner, int32_t tile_width, int32_t tile_height) {
  if (composite_ != nullptr) return false;
  left_corner_ = left_corner;
  top_corner_ = top_corner;
  tile_width_ = tile_width;
  tile_height_ = tile_height;
  return true;
}

int32_t CTextLayout::SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) {
  if (text_image_.GetPixels() == nullptr) return -2;
  colour &= 0xFFFFFF;
  const bool style_changed = style != background_style_;
  const bool colour_changed = colour != background_colour_;
  const bool alpha_changed = alpha != background_alpha_;
  if (!style_changed && !colour_changed && !alpha_changed) return -1;
  background_style_ = style;
  background_colour_ = colour;
  background_alpha_ = alpha;
  ApplyBackground(style_changed, colour_changed, alpha_changed);
  if (redraw) Refresh(true);
  return 0;
}

void CTextLayout::ApplyBackground(bool style_changed, bool colour_changed, bool alpha_changed) {
  if (composite_ == nullptr) return;
  const uint32_t r = background_colour_ >> 16 & 0xFF;
  const uint32_t g = background_colour_ >> 8 & 0xFF;
  const uint32_t b = background_colour_ & 0xFF;
  const bool only_colour = colour_changed && !style_changed && !alpha_changed;
  auto take_alpha_from = [&](CImage* alpha_plane) {
    composite_->CopyAlphaPlane(alpha_plane, 0, 0, nullptr, false);
    if (background_alpha_ < 255) composite_->AdjustAlpha(background_alpha_, nullptr);
  };
  if (background_style_ == 1 && mask_ != nullptr) {
    if (only_colour) {
      composite_->SetRgbKeepAlpha(r, g, b, nullptr);
    } else if (frame_ != nullptr || colour_changed) {
      composite_->FillRectArgb(background_colour_, nullptr);
      take_alpha_from(mask_);
    }
    if (frame_ != nullptr) composite_->BlendPreserveAlpha(frame_, 255, 0, 0, nullptr);
  } else if (background_style_ == 1) {
    if (alpha_changed && frame_ != nullptr) {
      composite_->Copy(frame_, 0, 0, nullptr, false);
      if (background_alpha_ < 255) composite_->AdjustAlpha(background_alpha_, nullptr);
    }
  } else if (second_mask_ != nullptr) {
    if (only_colour) {
      composite_->SetRgbKeepAlpha(r, g, b, nullptr);
      return;
    }
    if (style_changed || colour_changed) composite_->FillRectArgb(background_colour_, nullptr);
    take_alpha_from(second_mask_);
  }
}

void CTextLayout::SetLayoutRect(int32_t left, int32_t top, int32_t right, int32_t bottom, bool redraw) {
  margin_left_ = left;
  margin_top_ = top;
  margin_right_ = right;
  margin_bottom_ = bottom;
  UpdateBreakLimit();
  if (redraw && text_image_.GetPixels() != nullptr) Refresh(true);
}

void CTextLayout::SetDrawParams(int32_t left, int32_t top, int32_t right, int32_t bottom, bool redraw) {
  inset_left_ = left;
  inset_top_ = top;
  inset_right_ = right;
  inset_bottom_ = bottom;
  if (redraw && text_image_.GetPixels() != nullptr) Refresh(true);
}

void CTextLayout::SetTextFlow(const TextFlow& flow, bool redraw) {
  SetAutoWrap(flow.auto_wrap);
  SetLineGap(flow.line_gap);
  SetCharacterSpacing(flow.character_spacing);
  SetRubyBand(flow.ruby_band);
  SetRubyGap(flow.ruby_gap);
  UpdateLineMetrics();
  if (redraw && text_image_.GetPixels() != nullptr) Refresh(true);
}

uint32_t CTextLayout::MakeRegionMap(bool keep_pixels) {
  if (region_map_ == nullptr) {
    keep_pixels = false;
    region_map_ = std::make_unique<CImage>();
  }
  const uint32_t failed = keep_pixels ? region_map_->Resize(box_width_, box_height_)
                                      : region_map_->Create(box_width_, box_height_, 8, 0);
  if (failed != 0) {
    region_map_.reset();
    return 1;
  }
  for (int32_t y = 0; y < box_height_; ++y) std::memset(region_map_->GetRowPointer(y), 0, box_width_);
  return 0;
}

uint32_t CTextLayout::EnableRegionMap(bool on, bool redraw) {
  items_enabled_ = on;
  if (text_image_.GetPixels() == nullptr) return 0;
  region_map_.reset();
  if (on && MakeRegionMap(false) != 0) return 1;
  if (redraw) Refresh(true);
  return 0;
}

uint32_t CTextLayout::SetVertical(bool on, bool redraw) {
  vertical_ = on;
  if (redraw && text_image_.GetPixels() != nullptr) Refresh(true);
  if (font_ != nullptr && TurnFont(*font_, on) != 0) return on ? 1 : 2;
  if (ruby_font_ != nullptr && TurnFont(*ruby_font_, on) != 0) return on ? 3 : 4;
  UpdateLayout();
  return 0;
}

uint32_t CTextLayout::Resize(int32_t width, int32_t height, bool keep_pixels) {
  if (composite_ == nullptr || tile_width_ == 0 || width < 1 || height < 1) return 1;
  ClearHighlightPool();
  auto whole_tiles = [](int32_t size, int32_t first, int32_t last, int32_t tile) {
    const int32_t middle = size - first - last;
    if (tile <= 1 || middle % tile == 0) return size;
    return (middle / tile + 1) * tile + first + last;
  };
  width = whole_tiles(width, left_corner_, right_corner_, tile_width_);
  height = whole_tiles(height, top_corner_, bottom_corner_, tile_height_);
  if (keep_pixels && text_image_.GetPixels() != nullptr) {
    if (text_image_.Resize(width, height) != 0) return 3;
  } else if (text_image_.Create(width, height, 32, 0) != 0) {
    return 2;
  }
  if (!ShowPage(GetX(), GetY())) return keep_pixels ? 3 : 2;
  const bool map_existed = region_map_ != nullptr;
  box_width_ = width;
  box_height_ = height;
  if (items_enabled_ && MakeRegionMap(keep_pixels) != 0) return keep_pixels && map_existed ? 5 : 4;
  UpdateLayout();
  Refresh(true);
  return 0;
}

void CTextLayout::GetCellOrigin(int32_t* x, int32_t* y, int32_t width, int32_t height) const {
  if (vertical_) {
    *x = pen_x_ - (line_size_ - width) / 2 - width;
    *y = pen_y_;
  } else {
    *x = pen_x_;
    *y = pen_y_ + line_size_ - height;
  }
}

void CTextLayout::DrawNinePatch() {
  CImage& source = *composite_;
  const int32_t middle_right = box_width_ - right_corner_;
  const int32_t middle_bottom = box_height_ - bottom_corner_;
  const int32_t source_right = left_corner_ + tile_width_;
  const int32_t source_bottom = top_corner_ + tile_height_;
  auto copy = [&](int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const plat::Rect part{left, top, right, bottom};
    text_image_.Copy(&source, x, y, &part, false);
  };
  copy(0, 0, 0, 0, left_corner_, top_corner_);
  copy(middle_right, 0, source_right, 0, source.GetWidth(), top_corner_);
  copy(0, middle_bottom, 0, source_bottom, left_corner_, source.GetHeight());
  copy(middle_right, middle_bottom, source_right, source_bottom, source.GetWidth(), source.GetHeight());
  for (int32_t x = left_corner_; x < middle_right; x += tile_width_) {
    copy(x, 0, left_corner_, 0, source_right, top_corner_);
    copy(x, middle_bottom, left_corner_, source_bottom, source_right, source.GetHeight());
  }
  for (int32_t y = top_corner_; y < middle_bottom; y += tile_height_) {
    copy(0, y, 0, top_corner_, left_corner_, source_bottom);
    copy(middle_right, y, source_right, top_corner_, source.GetWidth(), source_bottom);
  }
  if (tile_width_ == 1 && tile_height_ == 1) {
    const plat::Rect middle{left_corner_, top_corner_, middle_right, middle_bottom};
    text_image_.FillRectArgb(source.GetPixel(left_corner_, top_corner_), &middle);
    return;
  }
  for (int32_t y = top_corner_; y < middle_bottom; y += tile_height_) {
    for (int32_t x = left_corner_; x < middle_right; x += tile_width_) {
      copy(x, y, left_corner_, top_corner_, source_right, source_bottom);
    }
  }
}

void CTextLayout::ClearPage() {
  ParkAtOwnerPointer();
  previous_lead_ = 0;
  previous_trail_ = 0;
  page_empty_ = true;
  if (composite_ != nullptr && tile_width_ != 0) {
    DrawNinePatch();
  } else if (composite_ != nullptr) {
    text_image_.Copy(composite_.get(), 0, 0, nullptr, false);
  } else {
    const uint32_t fill = background_alpha_ == 0 ? 0 : uint32_t{background_alpha_} << 24 | background_colour_;
    text_image_.FillRectArgb(fill, nullptr);
  }
  if (!items_.empty()) {
    if (region_map_ != nullptr) {
      for (int32_t y = 0; y < box_height_; ++y) std::memset(region_map_->GetRowPointer(y), 0, box_width_);
    }
    SetItemsFrozen(false);
    SetItemHighlight(current_item_, false);
    ClearItems();
  }
  current_item_ = -1;
  last_line_ = false;
  UpdateLineMetrics();
  text_image_.MarkAllChanged();
  sprite_.SetDirty(true);
}

int32_t CTextLayout::StartAlong() const {
  return vertical_ ? margin_top_ + indent_ : margin_left_ + indent_;
}

void CTextLayout::Refresh(bool clear) {
  indent_ = 0;
  RefreshCurrent(clear);
}

void CTextLayout::RefreshCurrent(bool clear) {
  if (vertical_) {
    pen_x_ = box_width_ - margin_right_ + 1;
    pen_y_ = StartAlong();
  } else {
    pen_x_ = StartAlong();
    pen_y_ = margin_top_;
  }
  previous_pen_ = vertical_ ? pen_y_ : pen_x_;
  if (clear) ClearPage();
  pending_ruby_ = nullptr;
}

void CTextLayout::SetCursor(int32_t x, int32_t y) {
  if (!vertical_ && y < 0) {
    pen_x_ = margin_left_ + x;
    return;
  }
  if (vertical_ && x < 0) {
    pen_y_ = margin_top_ + y;
    return;
  }
  if (item_open_) CloseItemRegion();
  if (x >= 0) pen_x_ = margin_left_ + x;
  if (y >= 0) pen_y_ = margin_top_ + y;
  UpdateLineMetrics();
}

bool CTextLayout::NewLine() {
  const int32_t old_size = line_size_;
  const int32_t old_pitch = line_pitch_;
  UpdateLineMetrics();
  const bool full = vertical_ ? pen_x_ - line_gap_ - line_size_ - old_pitch <= margin_left_
                              : pen_y_ + line_size_ + line_gap_ + old_pitch > box_height_ - margin_bottom_;
  if (full) {
    line_size_ = old_size;
    line_pitch_ = old_pitch;
    return true;
  }
  if (item_open_) CloseItemRegion();
  if (vertical_) {
    pen_x_ = MovedPen(pen_x_, -(line_gap_ + old_pitch));
    pen_y_ = StartAlong();
    last_line_ = pen_x_ - line_size_ - line_gap_ - line_pitch_ <= margin_left_;
  } else {
    pen_y_ = MovedPen(pen_y_, line_gap_ + line_pitch_);
    pen_x_ = StartAlong();
    last_line_ = line_size_ + pen_y_ + line_gap_ + line_pitch_ > box_height_ - margin_bottom_;
  }
  return false;
}

int32_t CTextLayout::PutCharInto(const char** text, CImage* target) {
  if (font_ == nullptr || text == nullptr || *text == nullptr) return kPlaced;
  const LayoutChar ch = ReadLayoutChar(*text);
  if (ch.length == 0) return kPlaced;
  const int32_t height = FontHeight();
  int32_t result = kPlaced;
  if (auto_wrap_ && PenAlong() > break_limit_) {
    const bool no_break = ch.two_byte() ? IsNoBreakDbcs(ch.lead, ch.trail) : IsNoBreakSbcs(ch.lead);
    if (!no_break || PenAlong() + height > LineEnd()) {
      if (NewLine()) return kPageFull;
      result = kPlacedAfterBreak;
    }
  }
  const std::string drawn(*text, static_cast<size_t>(ch.length));
  *text += ch.length;
  previous_lead_ = ch.lead;
  previous_trail_ = ch.trail;
  if (item_open_) StartItemSegment();

  int32_t glyph_x = vertical_ ? pen_x_ - (line_size_ - height) / 2 : pen_x_;
  int32_t glyph_y = vertical_ ? pen_y_ : pen_y_ + line_size_ - height;
  int32_t square_advance = 0;
  if (centre_double_byte_ && ch.two_byte()) {
    TextSize measured;
    font_->MeasureText(drawn.c_str(), &measured, nullptr, nullptr, 0, nullptr);
    if (vertical_) {
      glyph_y += (height - measured.cy) / 2;
    } else {
      glyph_x += (height - measured.cx) / 2;
    }
    square_advance = height;
  }
  CImage& image = target != nullptr ? *target : text_image_;
  auto mark_changed = [&](const plat::Rect& rect) {
    if (target != nullptr) {
      target->MarkChanged(rect);
    } else {
      MarkPageChanged(rect);
    }
  };
  plat::Rect bounds;
  plat::Point end{glyph_x, glyph_y};
  font_->DrawString(&image, glyph_x, glyph_y, drawn.c_str(), &bounds, &end);
  mark_changed(bounds);
  const int32_t start = PenAlong();
  int32_t advance = vertical_ ? end.y - glyph_y : end.x - glyph_x;
  if (square_advance != 0) advance = square_advance;

  if (pending_ruby_ != nullptr && ruby_font_ != nullptr) {
    TextSize ruby;
    ruby_font_->MeasureText(pending_ruby_, &ruby, nullptr, nullptr, 0, nullptr);
    const int32_t ruby_along = start + advance / 2 - ruby.cx / 2;
    const int32_t ruby_x = vertical_ ? glyph_x + ruby_gap_ + RubyFontHeight() : ruby_along;
    const int32_t ruby_y = vertical_ ? ruby_along : glyph_y - ruby_gap_ - RubyFontHeight();
    plat::Rect ruby_bounds;
    ruby_font_->DrawString(&image, ruby_x, ruby_y, pending_ruby_, &ruby_bounds, nullptr);
    mark_changed(ruby_bounds);
    pending_ruby_ = nullptr;
  }
  previous_pen_ = start;
  AdvancePen(character_spacing_ + advance);
  page_empty_ = false;
  return result;
}

void CTextLayout::DrawItemText(const char* text, int32_t x, int32_t y, bool use_cursor) {
  if (font_ == nullptr || text == nullptr) return;
  if (use_cursor) {
    SetCursor(x, y);
  } else {
    pen_x_ = margin_left_ + x;
    pen_y_ = margin_top_ + y;
  }
  if (item_open_) StartItemSegment();
  previous_lead_ = 0;
  previous_trail_ = 0;
  const int32_t height = FontHeight();
  const int32_t draw_x = vertical_ ? pen_x_ - (line_size_ - height) / 2 : pen_x_;
  const int32_t draw_y = vertical_ ? pen_y_ : pen_y_ + line_size_ - height;
  plat::Rect bounds;
  plat::Point end{draw_x, draw_y};
  font_->DrawString(&text_image_, draw_x, draw_y, text, &bounds, &end);
  MarkPageChanged(bounds);
  previous_pen_ = PenAlong();
  AdvancePen(character_spacing_ + (vertical_ ? end.y - draw_y : end.x - draw_x));
  page_empty_ = false;
}

int32_t CTextLayout::DrawHorizontalInVertical(const char* text) {
  if (!vertical_) return 2;
  if (font_ == nullptr || text == nullptr) return 3;
  int32_t result = kPlaced;
  if (auto_wrap_ && pen_y_ > break_limit_) {
    if (NewLine()) return kPageFull;
    result = kPlacedAfterBreak;
  }
  if (TurnFont(*font_, false) != 0) return 3;
  TextSize size;
  font_->MeasureText(text, &size, nullptr, nullptr, 0, nullptr);
  if (item_open_) StartItemSegment();
  previous_lead_ = 0;
  previous_trail_ = 0;
  plat::Rect bounds;
  font_->DrawString(&text_image_, pen_x_ - (size.cx - line_size_) / 2 - line_size_ + 1, pen_y_, text, &bounds,
                    nullptr);
  MarkPageChanged(bounds);
  if (TurnFont(*font_, true) != 0) result = 3;
  pen_y_ = MovedPen(pen_y_, character_spacing_ + FontHeight());
  page_empty_ = false;
  return result;
}

int32_t CTextLayout::DrawPictureFile(const char* file_name, int32_t key_x, int32_t key_y) {
  CImage picture;
  if (file_name == nullptr || picture.LoadFile32(file_name, nullptr, 0, 0) != 0) return 2;
  if (key_y >= 0) {
    picture.SetColorKeyFromPixel(key_x, key_y);
  } else if (key_x != -1) {
    const auto key = static_cast<uint32_t>(key_x);
    picture.SetColorKeyRgb(key >> 16, key >> 8, key);
  }
  int32_t result = kPlaced;
  if (auto_wrap_ && PenAlong() > break_limit_) {
    if (NewLine()) return kPageFull;
    result = kPlacedAfterBreak;
  }
  if (item_open_) StartItemSegment();
  previous_lead_ = 0;
  previous_trail_ = 0;
  const int32_t x = vertical_ ? pen_x_ - (picture.GetWidth() - line_size_) / 2 - line_size_ - 1 : pen_x_;
  const int32_t y = vertical_ ? pen_y_ : pen_y_ + line_size_ - picture.GetHeight();
  if (picture.GetAlphaFlag() != 0) {
    text_image_.BlendPreserveAlpha(&picture, 255, x, y, nullptr);
  } else {
    text_image_.CopyRgb(&picture, x, y, nullptr);
  }
  MarkPageChanged(plat::Rect{x, y, x + picture.GetWidth(), y + picture.GetHeight()});
  AdvancePen(character_spacing_ + (vertical_ ? picture.GetHeight() : picture.GetWidth()));
  page_empty_ = false;
  return result;
}

bool CTextLayout::HitTestAlpha(int32_t x, int32_t y) const {
  if (composite_ == nullptr) return false;
  if (x < 0 || y < 0 || x >= box_width_ || y >= box_height_) return false;
  const bool in_text_area =
      x >= margin_left_ && x < box_width_ - margin_right_ && y >= margin_top_ && y < box_height_ - margin_bottom_;
  if (in_text_area || x >= composite_->GetWidth() || y >= composite_->GetHeight()) return false;
  return (composite_->GetPixel(x, y) >> 24) >= drag_threshold_;
}

void CTextLayout::FillRegion(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (region_map_ == nullptr) return;
  const int32_t left = std::max(x, 0);
  const int32_t right = std::min(x + width, box_width_);
  const auto value = static_cast<uint8_t>(item_count());
  for (int32_t row = std::max(y, 0); row < std::min(y + height, box_height_); ++row) {
    if (right > left) std::memset(region_map_->GetRowPointer(row) + left, value, static_cast<size_t>(right - left));
  }
}

int32_t CTextLayout::GetRegionAt(int32_t x, int32_t y) const {
  if (pointer_parked_ || region_map_ == nullptr) return -1;
  if (x < 0 || y < 0 || x >= box_width_ || y >= box_height_) return -1;
  const uint8_t value = region_map_->GetRowPointer(y)[x];
  return value == 0 ? -1 : value - 1;
}

void CTextLayout::SetItemHighlight(int32_t index, bool on) {
  if (items_frozen_) return;
  if (!on) {
    for (auto& box : highlight_boxes_) box->SetEnabled(false);
    highlight_count_ = 0;
    return;
  }
  if (index < 0 || index >= item_count() || draw_list_ == nullptr) return;
  const CTextItem& lit = item(index);
  while (highlight_boxes_.size() < lit.segments.size()) {
    auto box = std::make_unique<CColorBox>();
    box->SetEnabled(false);
    box->SetId(static_cast<uint32_t>(group_));
    draw_list_->Insert(box.get(), priority_, static_cast<uint32_t>(group_));
    highlight_boxes_.push_back(std::move(box));
  }
  for (size_t i = 0; i < lit.segments.size(); ++i) {
    const CTextItem::Segment& segment = lit.segments[i];
    highlight_boxes_[i]->SetBox(segment.width, segment.height, lit.highlight_colour, GetX() + segment.x, GetY() + segment.y);
    highlight_boxes_[i]->SetEnabled(true);
  }
  highlight_count_ = static_cast<int32_t>(lit.segments.size());
}

void CTextLayout::ClearHighlightPool() {
  highlight_boxes_.clear();
  highlight_count_ = 0;
}
