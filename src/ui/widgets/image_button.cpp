#include "ui/widgets/image_button.h"

#include <limits>

#include "ui/fonts/font_base.h"
#include "ui/widgets/bevel.h"

namespace {

constexpr uint32_t kOtherFailure = 0xFFFFFFFF;
constexpr int32_t kLabelMargin = 8;
constexpr Rgb kDisabledText{0x80, 0x80, 0x80};
constexpr Rgb kDisabledEdge{0xFF, 0xFF, 0xFF};

}  // namespace

// The colours of a label button's frames, from its face colour.
struct CImageButton::Bevel : BevelColours {
  Bevel(uint32_t face_colour, uint32_t focus_tint) : BevelColours(face_colour), tint(focus_tint) {}

  uint32_t tint;
};

CImageButton::~CImageButton() { Release(); }

void CImageButton::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  strip_.face().SetEnabled(active);
}

void CImageButton::SetPriority(uint32_t priority, uint32_t key, uint32_t /*key3*/) {
  const bool joins = !strip_.face().IsListed();
  if (strip_.face().SetPriority(priority, key) == 0 && joins) group_ = static_cast<int32_t>(key);
}

bool CImageButton::SetEnabled(bool enabled) {
  if (!CGuiElement::SetEnabled(enabled)) return false;
  SetState(enabled ? kNormal : kDisabled);
  return true;
}

void CImageButton::ShowState() {
  static constexpr int32_t kFrames[4] = {0, 1, 2, 0};
  int32_t frame = kFrames[GetState()];
  if (GetState() == kPressed && !has_pressed_frame_) frame = 1;
  if (GetState() == kDisabled && has_disabled_frame_) frame = has_pressed_frame_ ? 3 : 2;
  strip_.ShowFrame(frame);
}

void CImageButton::Release() {
  strip_.Release();
  label_.clear();
  font_ = nullptr;
  width_ = 0;
}

void CImageButton::UseList(IDrawList* list) {
  if (list != strip_.face().GetList()) Release();
  strip_.face().UseList(list);
}

uint32_t CImageButton::Finish(uint32_t status) {
  if (status != 0) Release();
  return status;
}

uint32_t CImageButton::PlaceFace(int32_t frame_count, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity,
                                 uint32_t priority, int32_t group) {
  strip_.ShowFirstFrame(frame_count, x, y, blend_mode, opacity);
  width_ = strip_.frame_width();
  height_ = strip_.frame_height();
  group_ = group;
  strip_.face().SetPriority(priority, static_cast<uint32_t>(group));
  ShowState();
  return 0;
}

uint32_t CImageButton::CreateFromFile(IDrawList* list, uint32_t priority, const char* file_name,
                                      bool has_disabled_frame, bool has_pressed_frame, int32_t x, int32_t y,
                                      uint8_t blend_mode, uint8_t opacity, int32_t key, int32_t key_y, int32_t group) {
  if (list == nullptr || file_name == nullptr) return Finish(1);
  const std::string name = file_name;
  UseList(list);
  if (strip_.LoadFile(name.c_str(), blend_mode, key, key_y) != 0) return Finish(2);
  has_disabled_frame_ = has_disabled_frame;
  has_pressed_frame_ = pressed_flash_ = has_pressed_frame;
  return PlaceFace(2 + has_disabled_frame + has_pressed_frame, x, y, blend_mode, opacity, priority, group);
}

uint32_t CImageButton::CreateFromImage(IDrawList* list, uint32_t priority, CImage* image, bool has_disabled_frame,
                                       bool has_pressed_frame, int32_t x, int32_t y, uint8_t blend_mode,
                                       uint8_t opacity, int32_t group) {
  if (list == nullptr || image == nullptr || image->GetPixels() == nullptr) return Finish(1);
  UseList(list);
  if (strip_.TakeImage(image, blend_mode) != 0) return Finish(1);
  has_disabled_frame_ = has_disabled_frame;
  has_pressed_frame_ = pressed_flash_ = has_pressed_frame;
  return PlaceFace(2 + has_disabled_frame + has_pressed_frame, x, y, blend_mode, opacity, priority, group);
}

uint32_t CImageButton::Create(IDrawList* list, uint32_t priority, const char* text, CFontBase* font, int32_t x,
                              int32_t y, int32_t width, int32_t height, bool has_disabled_frame, int32_t group) {
  const uint32_t status = Finish(Build(list, text, font, x, y, width, height, has_disabled_frame));
  if (status != 0) return status;
  group_ = group;
  strip_.face().SetPriority(priority, static_cast<uint32_t>(group));
  ShowState();
  return 0;
}

uint32_t CImageButton::Build(IDrawList* list, const char* text, CFontBase* font, int32_t x,
                             int32_t y, int32_t width, int32_t height, bool has_disabled_frame) {
  if (list == nullptr) return 1;
  const std::string label = text != nullptr ? text : "";
  UseList(list);
  if (font != nullptr) {
    if (text == nullptr) return 1;
    TextSize size;
    int32_t offset_x = 0;
    int32_t offset_y = 0;
    if (font->MeasureText(label.c_str(), &size, &offset_x, &offset_y, 1, nullptr) == 0) return kOtherFailure;
    const plat::Rect bounds = font->GetRotatedBounds(offset_x, offset_y, size.cx, size.cy);
    if (width == 0) width = bounds.Width() + kLabelMargin;
    if (height == 0) height = bounds.Height() + kLabelMargin;
    text_offset_ = {(width - bounds.Width()) >> 1, (height - bounds.Height()) >> 1};
    text_origin_ = {bounds.left, bounds.top};
  } else if (width < kLabelMargin || height < kLabelMargin) {
    return 1;
  }
  const int32_t frame_count = 3 + has_disabled_frame;
  if (width <= 0 || height <= 0 || width > std::numeric_limits<int32_t>::max() / frame_count) return 2;
  if (strip_.CreateOwnImage(frame_count * width, height) != 0) return 2;
  font_ = font;
  label_ = label;
  width_ = width;
  height_ = height;
  has_disabled_frame_ = has_disabled_frame;
  has_pressed_frame_ = pressed_flash_ = true;

  const Bevel bevel(face_colour_, focus_tint_);
  CImage& image = strip_.OwnImage();
  const plat::Rect content{1, 1, width - 2, height - 2};
  image.FillRectArgb(bevel.face, &content);
  if (font_ != nullptr) {
    DrawLabelText(text_offset_.x, text_offset_.y, false);
  } else {
    DrawLabel(image, content, false);
  }
  for (int32_t frame = 0; frame < frame_count; ++frame) DrawFrame(frame, bevel, text_offset_);

  strip_.ShowFrameSize(width, height, x, y);
  const uint32_t alpha = face_colour_ >> 24;
  if (alpha != 0 && alpha != 255) strip_.face().SetOpacity(static_cast<uint8_t>(alpha));
  strip_.rect_hit = true;
  return 0;
}

void CImageButton::DrawFrame(int32_t frame, const Bevel& bevel, const plat::Point& text_at) {
  CImage& image = strip_.OwnImage();
  const int32_t w = width_;
  const int32_t h = height_;
  const int32_t ox = frame * w;
  const plat::Rect content{1, 1, w - 2, h - 2};
  const auto fill = [&image](plat::Rect rect, uint32_t colour) { image.FillRectArgb(colour, &rect); };
  if (frame == 1) {
    image.Copy(&image, ox + 1, 1, &content, false);
    BlendColour(image, bevel.tint, {ox + 2, 2, ox + w - 3, h - 3});
  } else if (frame == 2) {
    image.Copy(&image, ox + 2, 2, &content, false);
    fill({ox + 1, 1, ox + w - 1, 2}, bevel.dark);
    fill({ox + 1, 2, ox + 2, h - 1}, bevel.dark);
    BlendColour(image, bevel.tint, {ox + 3, 3, ox + w - 3, h - 3});
  } else if (frame == 3) {
    const plat::Rect face{ox + 1, 1, ox + w - 2, h - 2};
    fill(face, bevel.face);
    DrawLabel(image, face, true);
    if (font_ != nullptr) DrawLabelText(ox + text_at.x, text_at.y, true);
  }
  // The pressed frame has no light edge and no outer shadow: it looks pushed in.
  DrawBevelEdges(image, {ox, 0, ox + w, h}, frame == 2 ? 0 : bevel.light, bevel.dark, frame == 2 ? 0 : bevel.darkest);
}

void CImageButton::DrawLabelText(int32_t x, int32_t y, bool disabled) {
  CImage& image = strip_.OwnImage();
  const int32_t pen_x = x - text_origin_.x;
  const int32_t pen_y = y - text_origin_.y;
  if (!disabled) {
    font_->DrawText(&image, pen_x, pen_y, label_.c_str(), nullptr, nullptr);
    return;
  }
  // Grey text with a white edge below and right of it, then the font's own look again.
  const Rgb text_color = font_->text_color;
  const uint8_t decoration = font_->decoration;
  const Rgb decoration_color = font_->decoration_color;
  const int32_t shadow_x = font_->shadow_x;
  const int32_t shadow_y = font_->shadow_y;
  font_->text_color = kDisabledText;
  font_->decoration = 1;
  font_->decoration_color = kDisabledEdge;
  font_->shadow_x = 1;
  font_->shadow_y = 1;
  font_->DrawText(&image, pen_x, pen_y, label_.c_str(), nullptr, nullptr);
  font_->text_color = text_color;
  font_->decoration = decoration;
  font_->decoration_color = decoration_color;
  font_->shadow_x = shadow_x;
  font_->shadow_y = shadow_y;
}

uint32_t CImageButton::SetLabel(const char* text) {
  if (text == nullptr) return 1;
  return Create(strip_.face().GetList(), strip_.face().GetPriority(), text, font_, GetX(), GetY(), width_, height_, has_disabled_frame_,
                group_) == 0
             ? 0
             : 2;
}

uint32_t CImageButton::SetFaceFile(const char* file_name) {
  if (file_name == nullptr) return 1;
  const CWidgetFace& face = strip_.face();
  return CreateFromFile(strip_.face().GetList(), face.GetPriority(), file_name, has_disabled_frame_, has_pressed_frame_,
                        GetX(), GetY(), face.GetBlendMode(), face.GetOpacity(), strip_.key(), strip_.key_y(),
                        group_) == 0
             ? 0
             : 2;
}
