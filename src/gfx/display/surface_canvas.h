// The surface canvas (surface kind 7): a software image, with a draw layer of its own when
// asked, that the scripts compose pictures in, and an off-screen display surface of the same
// size that the canvas image view blits. Only what changed since the last copy travels from the
// image to the surface; a transition started on the canvas plays into the surface.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/display/image_canvas.h"

#include "platform/window/surface.h"

// Whether canvases make their images as DIB sections (1 at start; the start-up copies it from
// the environment).
extern uint8_t g_CanvasUseDibSection;

// The status of a canvas's Create for the status of its image part's creation: 3 the image;
// 4 the layer or the list; 5 the layer refuses the image.
uint32_t CanvasCreateStatus(uint32_t part_status);
// The colour (0xRRGGBB) of a pixel of a canvas image, through the palette of an 8-bit one;
// false outside the image or without a palette.
bool CanvasPixelColour(const CImage& image, int32_t x, int32_t y, uint32_t& rgb);

class CSurfaceCanvas : public CImageCanvasBase {
 public:
  // A device given becomes the display of every surface object given none (g_SpriteDevice).
  explicit CSurfaceCanvas(class CScreenManager* device = nullptr);

  ESurfaceKind GetKind() const override { return ESurfaceKind::kSurfaceCanvas; }
  // Layer mode 0 none, 1 a layer, 2 a layer and a draw list. 0; 1 no display device; 2 the
  // surface cannot be made; 3 nor the image; 4 nor the layer or the list; 5 the layer refuses
  // the image; 6 any other failure. A failure releases the canvas.
  uint32_t Create(int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode);
  // Drops the surface and the image part.
  void ReleaseCanvas();
  // Brings the surface up to date (with `changed_only`, the changed rectangles only): 0; -1
  // nothing changed (without a layer); 1 no surface; 2 the surface cannot be locked; with a
  // layer, the layer's repaint status plus one. 0 while a transition plays.
  int32_t Update(bool changed_only);
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the surface
  // cannot be made again; 2 nor brought up to date; 3 the key colour cannot be set again.
  uint32_t Restore(bool only_if_lost) override;
  // 0; 1 no pixels; 2 the image cannot be made again (the canvas is released).
  uint32_t CreateImage(uint8_t depth) override;

  // The key acts on the surface: 0; 1 no surface; 2 its format cannot be read; 3 it refused.
  uint32_t SetColorKeyRgb(uint32_t r, uint32_t g, uint32_t b) override;
  // The key from the colour of a pixel of the image: 1 also when there is no pixel there.
  uint32_t SetColorKeyFromPixel(int32_t x, int32_t y) override;
  // 0xRRGGBB of the key, kNoColorKey without one.
  uint32_t GetColorKey() const override { return key_colour_; }
  // 0; 1 no surface; 2 the surface refused.
  uint32_t ClearColorKey() override;

  plat::Surface* GetSurface() const { return surface_.get(); }
  // A transition shows the source part's picture changing into the canvas's own.
  bool EndsOnOwnImage() const override { return true; }
  // EPixelFormat code of the surface, alpha formats counted as their plain twins.
  uint32_t GetSurfaceFormat() const { return surface_format_; }

 private:
  uint32_t MakeCanvasSurface(int32_t width, int32_t height);
  uint32_t ImageFlags() const;

  std::shared_ptr<plat::Surface> surface_;
  uint32_t surface_format_ = 0;
  uint32_t key_colour_ = kNoColorKey;
};
