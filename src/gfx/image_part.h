// An owned software image that the scene can draw through: it may carry a draw layer and a
// draw list, and it keeps the flag that suspends the image's own change tracking while a
// layer does the tracking. The image canvases are built on it.
#pragma once

#include <cstdint>

#include "gfx/image.h"

class CImagePart {
 public:
  // Status of Create and CreateEx.
  static constexpr uint32_t kImageFailed = 1;
  static constexpr uint32_t kLayerFailed = 2;
  // Layer modes of CreateEx.
  static constexpr uint8_t kNoLayer = 0;
  static constexpr uint8_t kLayer = 1;
  static constexpr uint8_t kLayerAndDrawList = 2;

  CImagePart() = default;
  CImagePart(const CImagePart&) = delete;
  CImagePart& operator=(const CImagePart&) = delete;
  virtual ~CImagePart() { Release(); }

  // 0; 1 when the image cannot be created; 2 when a layer is asked for (draw layers are not
  // built yet). The image is black afterwards; on failure the part is released.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth, bool with_layer);
  // The same codes; the image has a DIB section and its own dirty region.
  uint32_t CreateEx(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode);
  void Release();

  CImage* GetImage() { return &image_; }
  const CImage* GetImage() const { return &image_; }
  uint8_t GetDepth() const { return image_.GetBitsPerPixel(); }
  CImagePart* GetPartner() const { return partner_; }
  bool IsTrackingSuspended() const { return tracking_suspended_ != 0; }

  // Stores the flag: a set flag stops the image recording its changes, a clear one resumes
  // them in its own region. Returns the previous flag.
  virtual uint8_t SuspendTracking(uint8_t flag);
  // Adds the rectangle (null: the whole image) to the image's region in use and sets its
  // modified flag.
  virtual void MarkDirty(const plat::Rect* rect);
  // Re-creates the image at its size with this depth: 0; 1 without pixels; 2 when the creation
  // fails (the part is then released).
  virtual uint32_t CreateImage(uint8_t depth) = 0;
  // 0; 1 when the partner has no image or differs in width, height or depth. Null clears it.
  uint32_t SetPartner(CImagePart* partner);

 protected:
  uint32_t CreateWithFlags(int32_t width, int32_t height, uint8_t depth, uint32_t image_flags, bool with_layer);
  uint32_t RecreateImage(uint8_t depth, uint32_t image_flags);
  uint8_t tracking_suspended_ = 0;

 private:
  void FillBlack();

  CImage image_;
  CImagePart* partner_ = nullptr;
};
