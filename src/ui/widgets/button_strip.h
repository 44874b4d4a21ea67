// The face of a button drawn from a horizontal strip of frames: the strip (loaded from a file,
// made by the button, or another object's image), the face that shows one frame of it, the draw
// list and priority, and how the button is hit: by the frame rectangle or by the shown pixels.
// Image buttons and check buttons build their faces through it.
#pragma once

#include <cstdint>
#include <string>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "ui/widgets/widget_face.h"

class CButtonStrip {
 public:
  // Loads the strip as 32 bits. The key: key y >= 0 takes it from the pixel (key, key y), else a
  // key other than -1 is the key colour; without either, blend mode 0 hits by the rectangle.
  // 0; 2 when the file does not load.
  uint32_t LoadFile(const char* file_name, uint8_t blend_mode, int32_t key, int32_t key_y);
  // Shows another object's image (kept by pointer). 0; 1 for null or an image without pixels.
  uint32_t TakeImage(CImage* image, uint8_t blend_mode);
  // A strip of 32 bits that the button draws itself. 0, or the image's failure.
  uint32_t CreateOwnImage(int32_t width, int32_t height);
  CImage& OwnImage() { return image_; }
  // Splits the strip into `frame_count` frames and shows the first at (x, y).
  void ShowFirstFrame(int32_t frame_count, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity);
  // Shows the frame size of an own strip that is exactly one frame high.
  void ShowFrameSize(int32_t width, int32_t height, int32_t x, int32_t y);
  void ShowFrame(int32_t frame) { face_.SetSourceOrigin(frame_width_ * frame, 0); }
  int32_t GetShownFrame() const { return frame_width_ > 0 ? face_.GetSource().left / frame_width_ : 0; }

  // Leaves the draw list and forgets the strip.
  void Release();

  bool HitTest(int32_t x, int32_t y) const;

  CWidgetFace& face() { return face_; }
  const CWidgetFace& face() const { return face_; }
  int32_t frame_width() const { return frame_width_; }
  int32_t frame_height() const { return frame_height_; }
  const CImage* shown_image() const { return external_image_ != nullptr ? external_image_ : &image_; }
  CImage* shown_image() { return external_image_ != nullptr ? external_image_ : &image_; }
  const std::string& file_name() const { return file_name_; }
  int32_t key() const { return key_; }
  int32_t key_y() const { return key_y_; }
  bool rect_hit = false;

 private:
  CImage image_;
  // Shows nothing once the caller's image ends.
  WatchedPtr<CImage, CImageInterface> external_image_;
  std::string file_name_;
  int32_t key_ = -1;
  int32_t key_y_ = -1;
  int32_t frame_width_ = 0;
  int32_t frame_height_ = 0;
  CWidgetFace face_;
};
