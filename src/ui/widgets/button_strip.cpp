#include "ui/widgets/button_strip.h"

#include "gfx/images/color_key.h"

uint32_t CButtonStrip::LoadFile(const char* file_name, uint8_t blend_mode, int32_t key, int32_t key_y) {
  if (image_.LoadFile32(file_name, nullptr, 0, 0) != 0) return 2;
  external_image_ = nullptr;
  if (key_y >= 0) {
    image_.SetColorKeyFromPixel(key, key_y);
  } else if (key != -1) {
    const auto colour = static_cast<uint32_t>(key);
    image_.SetColorKeyRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
  } else if (blend_mode == 0) {
    rect_hit = true;
  }
  file_name_ = file_name;
  key_ = key;
  key_y_ = key_y;
  return 0;
}

uint32_t CButtonStrip::TakeImage(CImage* image, uint8_t blend_mode) {
  if (image == nullptr || image->GetPixels() == nullptr) return 1;
  external_image_ = image;
  if (image->GetColorKey() == kNoColorKey && blend_mode == 0) rect_hit = true;
  return 0;
}

uint32_t CButtonStrip::CreateOwnImage(int32_t width, int32_t height) {
  external_image_ = nullptr;
  file_name_.clear();
  return image_.Create(width, height, 32, 0);
}

void CButtonStrip::ShowFirstFrame(int32_t frame_count, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity) {
  CImage* image = shown_image();
  frame_width_ = image->GetWidth() / frame_count;
  frame_height_ = image->GetHeight();
  face_.Show(image, {0, 0, frame_width_, frame_height_}, x, y, blend_mode, opacity);
}

void CButtonStrip::ShowFrameSize(int32_t width, int32_t height, int32_t x, int32_t y) {
  frame_width_ = width;
  frame_height_ = height;
  face_.Show(&image_, {0, 0, width, height}, x, y, 0, 255);
}

void CButtonStrip::Release() {
  face_.Leave();
  face_.Reset();
  image_.Release();
  external_image_ = nullptr;
  file_name_.clear();
  frame_width_ = 0;
  frame_height_ = 0;
}

bool CButtonStrip::HitTest(int32_t x, int32_t y) const {
  if (!rect_hit) return face_.HitTest(x, y, true);
  return static_cast<uint32_t>(x - face_.GetX()) < static_cast<uint32_t>(frame_width_) &&
         static_cast<uint32_t>(y - face_.GetY()) < static_cast<uint32_t>(frame_height_);
}
