#include "ui/widgets/list_menu.h"

#include "ui/fonts/font.h"
#include "ui/fonts/text_image.h"
#include "ui/gui/gui_window.h"

namespace {

Rgb ToRgb(uint32_t colour) {
  return {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
}

}  // namespace

CListMenu::CListMenu() = default;

CListMenu* g_ChoiceList = nullptr;

CListMenu::~CListMenu() {
  if (g_ChoiceList == this) g_ChoiceList = nullptr;
  ReleaseItems();
  ReleaseSkin();
}

uint32_t CListMenu::Create(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t plain_width,
                           int32_t plain_height, int32_t item_gap, CFont* font, int32_t group) {
  ReleaseItems();
  if (font == nullptr) return 1;
  left_ = x;
  centre_y_ = y;
  list_ = list;
  priority_ = priority;
  item_gap_ = item_gap;
  font_ = font;
  group_ = group;
  const bool plain_ends = header_.plain_height > 0 || footer_.plain_height > 0;
  if (plain_width != plain_width_ && !item_.HasPixels() && plain_ends) {
    CreatePlainSkin(plain_width, plain_height, header_.plain_height, footer_.plain_height);
  }
  plain_width_ = plain_width;
  plain_height_ = plain_height;
  return 0;
}

uint32_t CListMenu::SetDrawList(IDrawList* list) {
  ReleaseItems();
  list_ = list;
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->MoveToDrawList(list);
  }
  return 0;
}

void CListMenu::ReleaseItems() {
  ClearItems();
  item_faces_.clear();
  item_pictures_.clear();
  width_ = 0;
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->SetEnabled(false);
  }
}

void CListMenu::DrawItemText(int32_t index, const CListItem* item, CImage& picture, int32_t states,
                             int32_t state_width) const {
  const bool disabled = item != nullptr && item->disabled;
  const int32_t height = picture.GetHeight();
  const Margins& m = margins_;
  if (background_kind_ != 0) {
    const uint32_t colour = background_kind_ == 1 ? (background_colour_ & 0xFFFFFF) | uint32_t{skin_alpha_} << 24
                                                  : background_colour_;
    const int32_t filled = states > 2 && disabled_frame_ ? states - 1 : states;
    for (int32_t s = 1; s < filled; ++s) {
      picture.FillRectArgbXYWH(s * state_width + m.left, m.top, state_width - m.left - m.right,
                               height - m.top - m.bottom, colour);
    }
  }
  if (item == nullptr || item->text.empty()) return;
  const bool chosen = IsChosenValue(item->value >= 0 ? item->value : index);
  const bool gradient = font_->gradient_on();
  const Rgb saved_colour = font_->text_color;
  const uint32_t saved_top = font_->gradient_top();
  const uint32_t saved_bottom = font_->gradient_bottom();
  const auto use = [&](uint32_t plain, GradientPair pair) {
    if (gradient) {
      font_->SetGradient(1, pair.top, pair.bottom, 1);
    } else {
      font_->text_color = ToRgb(plain);
    }
  };
  const auto use_resting = [&] {
    if (disabled) {
      use(text_colours_.disabled, gradients_.disabled);
    } else if (chosen) {
      use(text_colours_.chosen, gradients_.chosen);
    } else {
      use(text_colours_.normal, gradients_.normal);
    }
  };
  const auto draw = [&](int32_t state, plat::Point shift) {
    text_image::DrawString(picture, state * state_width + m.left + text_offset_.x + shift.x,
                           m.top + text_offset_.y + shift.y, item->text.c_str(), font_);
  };
  use_resting();
  draw(0, {});
  if (!disabled) use(text_colours_.hover, gradients_.hover);
  draw(1, {});
  if (pressed_frame_ && states > 2) draw(2, pressed_shift_);
  if (disabled_frame_ && !disabled && states > 2) {
    use_resting();
    draw(states - 1, {});
  }
  font_->text_color = saved_colour;
  if (gradient) font_->SetGradient(1, saved_top, saved_bottom, 1);
}

int32_t CListMenu::MakeItemPicture(CImage& picture, const CListItem* item, int32_t index, int32_t& state_width) const {
  int32_t states = 1 + hover_frame_ + pressed_frame_ + disabled_frame_;
  if (!item_.HasPixels()) {
    if (picture.Create(2 * plain_width_, plain_height_, 32, 0) != 0) return 4;
    picture.FillRectArgb(PlainColour(), nullptr);
    state_width = plain_width_;
    states = 2;
  } else if (states <= 1) {
    CImage& skin = *item_.skin;
    state_width = skin.GetWidth();
    if (picture.Create(2 * state_width, skin.GetHeight(), 32, 0) != 0) return 2;
    picture.Copy(&skin, 0, 0, nullptr, false);
    picture.Copy(&skin, state_width, 0, nullptr, false);
    states = 2;
  } else {
    if (picture.Duplicate(item_.skin.get(), 0) != 0) return 3;
    state_width = item_.skin->GetWidth() / states;
  }
  DrawItemText(index, item, picture, states, state_width);
  return 0;
}

int32_t CListMenu::AddMenuItem(const ItemSetup& setup) {
  if (list_ == nullptr || font_ == nullptr || setup.text == nullptr) return 1;
  const int32_t index = GetItemCount();
  CListItem preview;
  preview.text = setup.text;
  preview.disabled = setup.disabled;
  preview.value = setup.value;
  auto picture = std::make_unique<CImage>();
  int32_t state_width = 0;
  if (const int32_t status = MakeItemPicture(*picture, &preview, index, state_width); status != 0) return status;
  auto face = std::make_unique<CWidgetFace>();
  face->UseList(list_);
  face->Show(picture.get(), {0, 0, state_width, picture->GetHeight()}, left_, 0, kFaceBlendMode, 255);
  if (AddItem(setup) != 0) return 5;
  face->SetPriority(priority_, static_cast<uint32_t>(group_));
  item_pictures_.push_back(std::move(picture));
  item_faces_.push_back(std::move(face));
  width_ = state_width;
  height_ = (GetItemCount() - 1) * RowStep() + EndHeight(header_) + EndHeight(footer_) +
            item_pictures_.front()->GetHeight();
  Layout(left_, centre_y_ - height_ / 2);
  return 0;
}

int32_t CListMenu::EndHeight(const SkinPart& part) const {
  return part.face != nullptr ? part.face->GetSource().Height() : 0;
}

int32_t CListMenu::RowStep() const {
  if (item_pictures_.empty()) return 0;
  const bool touching = header_.face != nullptr || footer_.face != nullptr;
  return item_pictures_.front()->GetHeight() + (touching ? 0 : item_gap_);
}

void CListMenu::Layout(int32_t x, int32_t top) {
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr && !part->face->IsListed()) part->face->UseList(list_);
  }
  if (header_.face != nullptr) {
    header_.face->SetPriority(priority_, static_cast<uint32_t>(group_));
    header_.face->SetEnabled(true);
    header_.face->SetPosition(x, top);
  }
  int32_t y = top + EndHeight(header_);
  for (const auto& face : item_faces_) {
    face->SetPosition(x, y);
    y += RowStep();
  }
  if (footer_.face != nullptr) {
    footer_.face->SetPriority(priority_, static_cast<uint32_t>(group_));
    footer_.face->SetEnabled(true);
    footer_.face->SetPosition(x, y - RowStep() + item_pictures_.front()->GetHeight());
  }
}

int32_t CListMenu::GetX() const {
  if (header_.face != nullptr) return header_.face->GetX();
  return item_faces_.empty() ? 0 : item_faces_.front()->GetX();
}

int32_t CListMenu::GetY() const {
  if (header_.face != nullptr) return header_.face->GetY();
  return item_faces_.empty() ? 0 : item_faces_.front()->GetY();
}

void CListMenu::SetPosition(int32_t x, int32_t y) {
  if (item_faces_.empty()) return;
  Layout(x, y);
}

void CListMenu::SetActive(bool active) {
  if (item_faces_.empty()) return;
  if (!active) LeaveOwnerFocusAndHover();
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->SetEnabled(active);
  }
  for (const auto& face : item_faces_) face->SetEnabled(active);
}

bool CListMenu::IsActive() const { return !item_faces_.empty() && item_faces_.front()->IsEnabled(); }

void CListMenu::SetPriority(uint32_t priority, uint32_t tag, uint32_t /*keep_if_same*/) {
  if (item_faces_.empty()) return;
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->SetPriority(priority, tag);
  }
  for (const auto& face : item_faces_) face->SetPriority(priority, tag);
  priority_ = priority;
}

void CListMenu::SetOpacity(uint8_t opacity) {
  if (item_faces_.empty()) return;
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->SetOpacity(opacity);
  }
  for (const auto& face : item_faces_) face->SetOpacity(opacity);
}

uint8_t CListMenu::GetOpacity() const { return item_faces_.empty() ? 0 : item_faces_.front()->GetOpacity(); }

const CWidgetFace* CListMenu::GetItemFace(int32_t index) const {
  if (index < 0) return header_.face.get();
  if (index >= GetItemCount()) return footer_.face.get();
  return item_faces_[static_cast<size_t>(index)].get();
}

const CImage* CListMenu::GetItemImage(int32_t index) const {
  const CWidgetFace* face = GetItemFace(index);
  return face != nullptr ? face->GetImage() : nullptr;
}

uint32_t CListMenu::DrawItem(int32_t index, int32_t state) {
  if (index < 0 || index >= GetItemCount()) return 1;
  if (state >= kItemPressed && !pressed_frame_) --state;
  CWidgetFace& face = *item_faces_[static_cast<size_t>(index)];
  face.SetSourceOrigin(state * face.GetSource().Width(), 0);
  return 0;
}

bool CListMenu::GetItemPoint(int32_t index, int32_t& x, int32_t& y) const {
  if (index < 0 || index >= GetItemCount()) return false;
  const CWidgetFace& face = *item_faces_[static_cast<size_t>(index)];
  const int32_t right = margins_.right;
  x = picture_mode_ == 0 && skin_alpha_ == 0 ? face.GetX() + margins_.left - 8
                                             : face.GetX() + width_ - right + (right >> 2) + 1;
  y = face.GetY() + face.GetSource().Height() / 2;
  return true;
}

int32_t CListMenu::ItemAt(int32_t x, int32_t y) const {
  if (IsHoverSuppressed() || item_faces_.empty() || x < margins_.left || x > width_ - margins_.right) return -1;
  const int32_t header = EndHeight(header_);
  if (y < header) return -1;
  y -= header;
  const int32_t row_height = item_pictures_.front()->GetHeight();
  const int32_t step = RowStep();
  if (step <= 0) return -1;
  const int32_t index = y / step;
  const int32_t in_row = y - index * step;
  if (index >= GetItemCount() || in_row < margins_.top || in_row >= row_height - margins_.bottom) return -1;
  const bool shows_disabled =
      disabled_frame_x_ != 0 && item_faces_[static_cast<size_t>(index)]->GetSource().left == disabled_frame_x_;
  return IsItemDisabled(index) || shows_disabled ? -1 : index;
}

bool CListMenu::IsInDragArea(int32_t x, int32_t y) const {
  if (!item_.HasPixels() || item_faces_.empty()) return false;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  const int32_t header = EndHeight(header_);
  const int32_t footer = EndHeight(footer_);
  if (x >= margins_.left && x < width_ - margins_.right && y >= margins_.top + header &&
      y < height_ - margins_.bottom - footer) {
    return false;
  }
  const auto opaque = [this](const CImage* image, int32_t px, int32_t py) {
    return image != nullptr && px < image->GetWidth() && py < image->GetHeight() &&
           (image->GetPixel(px, py) >> 24) >= drag_alpha_;
  };
  if (header_.HasPixels() && y < header) return opaque(header_.skin.get(), x, y);
  if (header_.HasPixels()) y -= header;
  const int32_t row_height = item_pictures_.front()->GetHeight();
  const int32_t rows_end = (GetItemCount() - 1) * RowStep() + row_height;
  if (y >= rows_end) return opaque(footer_.skin.get(), x, y - rows_end);
  const int32_t in_row = y % RowStep();
  return in_row < row_height && opaque(item_.skin.get(), x, in_row);
}
