#include "ui/widgets/scroll_bar.h"

#include <algorithm>
#include <utility>

#include "ui/gui/gui_window.h"
#include "ui/widgets/bevel.h"
#include "ui/widgets/scroll_bar_arrow.h"

namespace {

constexpr int32_t kMinimumThickness = 8;
constexpr int32_t kPlainThumbLength = 4;
constexpr int32_t kPlainStates = 3;
constexpr uint8_t kPlainBlendMode = 0;

// Copies the source into the target along the axis: the start cap once, the middle as often as
// it fits, the rest of the run from the middle's start, then the end cap.
void StretchAlong(CImage& target, CImage& source, bool vertical, int32_t length, int32_t start_cap, int32_t end_cap) {
  const int32_t source_length = vertical ? source.GetHeight() : source.GetWidth();
  const int32_t across = vertical ? source.GetWidth() : source.GetHeight();
  start_cap = std::clamp(start_cap, 0, std::min(source_length, length));
  end_cap = std::clamp(end_cap, 0, std::min(source_length - start_cap, length - start_cap));
  const auto copy = [&](int32_t to, int32_t from, int32_t count) {
    if (count <= 0) return;
    const plat::Rect rect = vertical ? plat::Rect{0, from, across, from + count} : plat::Rect{from, 0, from + count, across};
    target.Copy(&source, vertical ? 0 : to, vertical ? to : 0, &rect, false);
  };
  copy(0, 0, start_cap);
  const int32_t middle = source_length - start_cap - end_cap;
  const int32_t end_at = length - end_cap;
  int32_t at = start_cap;
  if (middle > 0) {
    for (; at + middle <= end_at; at += middle) copy(at, start_cap, middle);
    copy(at, start_cap, end_at - at);
  }
  copy(end_at, source_length - end_cap, end_cap);
}

uint8_t OpacityOf(uint32_t argb, uint8_t otherwise) {
  const auto alpha = static_cast<uint8_t>(argb >> 24);
  return alpha != 0 && alpha != 255 ? alpha : otherwise;
}

void ApplyColourKey(CImage& image, int32_t key_x, int32_t key_y) {
  if (key_y >= 0) {
    image.SetColorKeyFromPixel(key_x, key_y);
  } else if (key_x != -1) {
    const auto colour = static_cast<uint32_t>(key_x);
    image.SetColorKeyRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  }
}

}  // namespace

CScrollBar::~CScrollBar() {
  // Leaving the window may tell the bar that the pointer left it, which redraws the thumb.
  DetachFromWindow();
  Release();
}

plat::Rect CScrollBar::StateRect(int32_t frame, int32_t length) const {
  return vertical_ ? plat::Rect{0, 0, frame, length} : plat::Rect{0, 0, length, frame};
}

void CScrollBar::ShowState(CWidgetFace& face, int32_t frame, uint8_t state) const {
  const int32_t at = (state < frame_count_ ? state : 0) * frame;
  if (vertical_) {
    face.SetSourceOrigin(at, 0);
  } else {
    face.SetSourceOrigin(0, at);
  }
}

void CScrollBar::ShowBarState(uint8_t state) {
  if (!MadeFromFiles() && state == kDisabled) state = kNormal;
  ShowState(thumb_face_, thumb_frame_, state);
  if (MadeFromFiles() && track_face_ != nullptr) ShowState(*track_face_, track_frame_, state);
}

void CScrollBar::PlaceThumb() {
  const int32_t along = thumb_offset_ < 0 ? 0 : thumb_offset_;
  thumb_face_.SetPosition(x_ + thumb_origin_x_ + (vertical_ ? 0 : along), y_ + thumb_origin_y_ + (vertical_ ? along : 0));
}

void CScrollBar::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  if (thumb_offset_ >= 0) PlaceThumb();
  const auto advance = [this](int32_t& at_x, int32_t& at_y, int32_t width, int32_t height) {
    (vertical_ ? at_y : at_x) += vertical_ ? height : width;
  };
  int32_t at_x = x;
  int32_t at_y = y;
  if (back_arrow_ != nullptr) {
    back_arrow_->SetPosition(at_x, at_y);
    advance(at_x, at_y, back_arrow_->GetWidth(), back_arrow_->GetHeight());
  }
  if (track_face_ != nullptr) track_face_->SetPosition(at_x, at_y);
  advance(at_x, at_y, bar_width_, bar_height_);
  if (forward_arrow_ != nullptr) forward_arrow_->SetPosition(at_x, at_y);
}

void CScrollBar::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  if (back_arrow_ != nullptr) back_arrow_->SetActive(active);
  if (forward_arrow_ != nullptr) forward_arrow_->SetActive(active);
  if (track_face_ != nullptr) track_face_->SetEnabled(active);
  if (thumb_offset_ >= 0) thumb_face_.SetEnabled(active);
}

void CScrollBar::SetPriority(uint32_t priority, uint32_t group, uint32_t keep_if_same) {
  if (list_ == nullptr) return;
  if (!thumb_face_.IsListed()) group_ = static_cast<int32_t>(group);
  if (track_face_ != nullptr) track_face_->SetPriority(priority, group);
  thumb_face_.SetPriority(priority, group);
  if (back_arrow_ != nullptr) back_arrow_->SetPriority(priority, group, keep_if_same);
  if (forward_arrow_ != nullptr) forward_arrow_->SetPriority(priority, group, keep_if_same);
  priority_ = priority;
}

void CScrollBar::SetOpacity(uint8_t opacity) {
  thumb_face_.SetOpacity(opacity);
  if (track_face_ != nullptr) track_face_->SetOpacity(opacity);
  if (back_arrow_ != nullptr) back_arrow_->SetOpacity(opacity);
  if (forward_arrow_ != nullptr) forward_arrow_->SetOpacity(opacity);
}

bool CScrollBar::InBar(int32_t x, int32_t y) const {
  if (track_face_ != nullptr) return track_face_->HitTest(x, y, !rect_hit_);
  const int32_t back = ArrowLength(back_arrow_.get());
  const auto dx = static_cast<uint32_t>(x - (x_ + (vertical_ ? 0 : back)));
  const auto dy = static_cast<uint32_t>(y - (y_ + (vertical_ ? back : 0)));
  return dx < static_cast<uint32_t>(bar_width_) && dy < static_cast<uint32_t>(bar_height_);
}

uint32_t CScrollBar::SetDrawList(IDrawList* list) {
  if (list_ == nullptr || list == nullptr || !thumb_face_.IsListed()) return 1;
  thumb_face_.MoveToDrawList(list);
  if (track_face_ != nullptr) track_face_->MoveToDrawList(list);
  if (back_arrow_ != nullptr) back_arrow_->MoveToDrawList(list);
  if (forward_arrow_ != nullptr) forward_arrow_->MoveToDrawList(list);
  list_ = list;
  return 0;
}

void CScrollBar::Release() {
  listener_ = nullptr;
  thumb_face_.Leave();
  thumb_face_.UseList(nullptr);
  list_ = nullptr;
  thumb_face_.Reset();
  thumb_image_.Release();
  thumb_stretch_.reset();
  track_face_.reset();
  track_image_.reset();
  track_stretch_.reset();
  ReleaseArrows();
  thumb_file_.clear();
  track_file_.clear();
  ClearRange();
}

int32_t CScrollBar::Fail(int32_t status) {
  Release();
  return status;
}

int32_t CScrollBar::MakePlainThumb(int32_t t, uint32_t face_colour, uint32_t hover_colour, uint32_t pressed_colour) {
  const int32_t w = vertical_ ? t : kPlainThumbLength;
  const int32_t h = vertical_ ? kPlainThumbLength : t;
  // The states lie side by side; a thickness too large for that is refused like a failed picture.
  const int64_t states_length = int64_t{kPlainStates} * t;
  if (!std::in_range<int32_t>(states_length)) return 2;
  const auto length = static_cast<int32_t>(states_length);
  thumb_stretch_ = std::make_unique<CImage>();
  if (thumb_stretch_->Create(vertical_ ? length : w, vertical_ ? h : length, 32, 0) != 0) return 2;
  CImage& picture = *thumb_stretch_;
  const BevelColours bevel(face_colour);
  const uint32_t overlays[kPlainStates] = {0, hover_colour, pressed_colour};
  for (int32_t state = 0; state < kPlainStates; ++state) {
    const int32_t ox = vertical_ ? state * w : 0;
    const int32_t oy = vertical_ ? 0 : state * h;
    const plat::Rect inside{ox + 1, oy + 1, ox + w - 2, oy + h - 2};
    picture.FillRectArgb(face_colour, &inside);
    if (state > 0) BlendColour(picture, overlays[state], inside);
    DrawBevelEdges(picture, {ox, oy, ox + w, oy + h}, bevel.light, bevel.dark, bevel.darkest);
  }
  thumb_start_cap_ = 1;
  thumb_end_cap_ = 2;
  thumb_face_.UseList(list_);
  thumb_face_.Show(thumb_stretch_.get(), StateRect(t, kPlainThumbLength), x_, y_, kPlainBlendMode,
                   OpacityOf(face_colour, 255));
  return 0;
}

int32_t CScrollBar::MakeArrows(uint32_t priority, int32_t group, int32_t t, uint32_t face_colour,
                               uint32_t hover_colour, uint32_t glyph_colour) {
  using Direction = CScrollBarArrow::Direction;
  const Direction directions[2] = {vertical_ ? Direction::kUp : Direction::kLeft,
                                   vertical_ ? Direction::kDown : Direction::kRight};
  std::unique_ptr<CScrollBarArrow>* arrows[2] = {&back_arrow_, &forward_arrow_};
  for (int i = 0; i < 2; ++i) {
    auto arrow = std::make_unique<CScrollBarArrow>(*this, directions[i], glyph_colour);
    arrow->SetFaceColours(face_colour, hover_colour);
    if (arrow->Create(list_, priority, nullptr, nullptr, 0, 0, t, t, true, group) != 0) return 4 + i;
    *arrows[i] = std::move(arrow);
  }
  return 0;
}

int32_t CScrollBar::CreatePlain(IDrawList* list, uint32_t priority, int32_t x, int32_t y, bool vertical,
                                int32_t thickness, uint32_t face_colour, uint32_t track_colour, uint32_t hover_colour,
                                uint32_t pressed_colour, uint32_t glyph_colour, int32_t group) {
  Release();
  if (list == nullptr || thickness < kMinimumThickness) return 1;
  list_ = list;
  x_ = x;
  y_ = y;
  vertical_ = vertical;
  frame_count_ = kPlainStates;
  blend_mode_ = kPlainBlendMode;
  opacity_ = OpacityOf(track_colour, 255);
  if (const int32_t status = MakePlainThumb(thickness, face_colour, hover_colour, pressed_colour); status != 0) {
    return Fail(status);
  }
  track_stretch_ = std::make_unique<CImage>();
  if (track_stretch_->Create(vertical ? thickness : 1, vertical ? 1 : thickness, 32, 0) != 0) return Fail(3);
  track_stretch_->FillRectArgb(track_colour, nullptr);
  track_start_cap_ = track_end_cap_ = 0;
  track_face_ = std::make_unique<CWidgetFace>();
  track_face_->UseList(list_);
  track_face_->Show(track_stretch_.get(), StateRect(thickness, 1), x, y, blend_mode_, opacity_);
  if (const int32_t status = MakeArrows(priority, group, thickness, face_colour, hover_colour, glyph_colour);
      status != 0) {
    return Fail(status);
  }
  start_inset_ = 0;
  bar_width_ = bar_height_ = thickness;
  thumb_frame_ = track_frame_ = thickness;
  thumb_origin_x_ = vertical ? 0 : thickness;
  thumb_origin_y_ = vertical ? thickness : 0;
  priority_ = priority;
  group_ = group;
  return 0;
}

int32_t CScrollBar::CreateFromFiles(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t inset_x,
                                    int32_t inset_y, const Files& files, bool disabled_frame, bool vertical,
                                    uint8_t blend_mode, uint8_t opacity, int32_t key_x, int32_t key_y, int32_t group) {
  Release();
  if (list == nullptr || files.thumb == nullptr) return 1;
  list_ = list;
  vertical_ = vertical;
  frame_count_ = disabled_frame ? 4 : 3;
  blend_mode_ = blend_mode;
  opacity_ = opacity;
  const auto frame_of = [this](const CImage& picture) {
    return (vertical_ ? picture.GetWidth() : picture.GetHeight()) / frame_count_;
  };
  const auto length_of = [this](const CImage& picture) { return vertical_ ? picture.GetHeight() : picture.GetWidth(); };

  thumb_start_cap_ = files.thumb_start_cap;
  thumb_end_cap_ = files.thumb_end_cap;
  CImage* thumb = &thumb_image_;
  if (thumb_start_cap_ != 0 || thumb_end_cap_ != 0) thumb = (thumb_stretch_ = std::make_unique<CImage>()).get();
  if (thumb->LoadFile32(files.thumb, nullptr, 0, 0) != 0) return Fail(2);
  thumb_frame_ = frame_of(*thumb);
  ApplyColourKey(*thumb, key_x, key_y);
  thumb_face_.UseList(list_);
  thumb_face_.Show(thumb, StateRect(thumb_frame_, length_of(*thumb)), x, y, blend_mode, opacity);
  thumb_file_ = files.thumb;

  if (files.track != nullptr) {
    track_start_cap_ = files.track_start_cap;
    track_end_cap_ = files.track_end_cap;
    auto& holder = track_start_cap_ != 0 || track_end_cap_ != 0 ? track_stretch_ : track_image_;
    holder = std::make_unique<CImage>();
    if (holder->LoadFile32(files.track, nullptr, 0, 0) != 0) return Fail(3);
    ApplyColourKey(*holder, key_x, key_y);
    track_frame_ = frame_of(*holder);
    bar_width_ = vertical ? track_frame_ : holder->GetWidth();
    bar_height_ = vertical ? holder->GetHeight() : track_frame_;
    track_face_ = std::make_unique<CWidgetFace>();
    track_face_->UseList(list_);
    track_face_->Show(holder.get(), StateRect(track_frame_, length_of(*holder)), x, y, blend_mode, opacity);
    track_file_ = files.track;
  }
  const char* arrow_files[2] = {files.back_arrow, files.forward_arrow};
  using Direction = CScrollBarArrow::Direction;
  const Direction directions[2] = {vertical ? Direction::kUp : Direction::kLeft,
                                   vertical ? Direction::kDown : Direction::kRight};
  std::unique_ptr<CScrollBarArrow>* arrows[2] = {&back_arrow_, &forward_arrow_};
  for (int i = 0; i < 2; ++i) {
    if (arrow_files[i] == nullptr) continue;
    auto arrow = std::make_unique<CScrollBarArrow>(*this, directions[i], 0);
    if (arrow->CreateFromFile(list_, priority, arrow_files[i], disabled_frame, true, 0, 0, blend_mode, opacity, key_x,
                              key_y, group) != 0) {
      return Fail(4 + i);
    }
    *arrows[i] = std::move(arrow);
  }
  x_ = x;
  y_ = y;
  start_inset_ = vertical ? inset_y : inset_x;
  thumb_origin_x_ = inset_x + (vertical ? 0 : ArrowLength(back_arrow_.get()));
  thumb_origin_y_ = inset_y + (vertical ? ArrowLength(back_arrow_.get()) : 0);
  priority_ = priority;
  group_ = group;
  return 0;
}

int32_t CScrollBar::FitTrack(int32_t track_length) {
  if (track_stretch_ == nullptr) {
    const CScrollBarArrow* arrow = back_arrow_ != nullptr ? back_arrow_.get() : forward_arrow_.get();
    const int32_t across = arrow != nullptr ? (vertical_ ? arrow->GetWidth() : arrow->GetHeight())
                                            : (vertical_ ? thumb_face_.GetSource().Width() + 2 * thumb_origin_x_
                                                         : thumb_face_.GetSource().Height() + 2 * thumb_origin_y_);
    (vertical_ ? bar_width_ : bar_height_) = across;
    (vertical_ ? bar_height_ : bar_width_) = track_length;
    return 0;
  }
  (vertical_ ? bar_height_ : bar_width_) = track_length;
  if (track_length <= 0) return 2;
  track_image_ = std::make_unique<CImage>();
  const int32_t across = vertical_ ? track_stretch_->GetWidth() : track_stretch_->GetHeight();
  if (track_image_->Create(vertical_ ? across : track_length, vertical_ ? track_length : across, 32, 0) != 0) return 2;
  StretchAlong(*track_image_, *track_stretch_, vertical_, track_length, track_start_cap_, track_end_cap_);
  track_face_->Show(track_image_.get(), StateRect(track_frame_, track_length), track_face_->GetX(),
                    track_face_->GetY(), blend_mode_, track_face_->GetOpacity());
  return 0;
}

int32_t CScrollBar::FitThumb(int32_t thumb_length) {
  thumb_length_ = thumb_length;
  const int32_t across = vertical_ ? thumb_stretch_->GetWidth() : thumb_stretch_->GetHeight();
  if (thumb_image_.Create(vertical_ ? across : thumb_length, vertical_ ? thumb_length : across, 32, 0) != 0) return 3;
  StretchAlong(thumb_image_, *thumb_stretch_, vertical_, thumb_length, thumb_start_cap_, thumb_end_cap_);
  thumb_face_.Show(&thumb_image_, StateRect(thumb_frame_, thumb_length), thumb_face_.GetX(), thumb_face_.GetY(),
                   thumb_face_.GetBlendMode(), thumb_face_.GetOpacity());
  return 0;
}

int32_t CScrollBar::SetRange(int32_t length, int32_t total, int32_t visible, int32_t value, int32_t end_inset,
                             int32_t minimum_thumb) {
  if (list_ == nullptr || total == 0) return 1;
  if (!MadeFromFiles()) end_inset = 0;
  const int32_t track_length = length - ArrowsLength();
  if (FitTrack(track_length) != 0) return 2;
  press_state_ = kNormal;
  SetPriority(priority_, static_cast<uint32_t>(group_), 1);
  const int32_t usable = track_length - (start_inset_ + end_inset);
  int32_t thumb = static_cast<int32_t>(static_cast<int64_t>(usable) * visible / total);
  thumb = std::max(thumb, std::max(minimum_thumb, 1) + thumb_start_cap_ + thumb_end_cap_);
  if (thumb <= 0 || thumb >= usable) {
    thumb_face_.SetEnabled(false);
    ClearRange();
    SetEnabled(false);
    SetPosition(x_, y_);
    return kThumbDoesNotFit;
  }
  maximum_ = total - visible;
  if (thumb_stretch_ != nullptr) {
    if (FitThumb(thumb) != 0) return 3;
  } else {
    thumb_length_ = vertical_ ? thumb_face_.GetSource().Height() : thumb_face_.GetSource().Width();
  }
  // A fixed thumb as long as the track or longer has no room to run.
  range_ = std::max(usable - thumb_length_, 0);
  value_ = std::clamp(value, 0, maximum_);
  thumb_offset_ = static_cast<int32_t>(static_cast<int64_t>(range_) * value_ / maximum_);
  thumb_face_.SetEnabled(true);
  SetEnabled(true);
  SetPosition(x_, y_);
  ShowBarState(press_state_);
  UpdateArrows();
  return 0;
}
