// The DirectDraw picture (surface kind 0): a display surface of a given size, empty or filled
// with a colour, or with a picture file decoded into it. It remembers where its pixels came
// from (the file's name or the fill colour) and its colour key, so that it can make its
// surface anew after the display surfaces were lost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/display/ddraw_surface_image.h"

class CCachedPicture;
class CScreenManager;
struct ElgHeader;

class CDDrawPicture : public CDDrawSurfaceImage {
 public:
  // A device given becomes the display of every surface object given none (g_SpriteDevice).
  explicit CDDrawPicture(CScreenManager* device = nullptr);
  ~CDDrawPicture() override = default;

  ESurfaceKind GetKind() const override { return ESurfaceKind::kDDrawPicture; }
  // 0; 1 no surface; 2 the surface refused.
  uint32_t ClearColorKey() override;
  // 0 (also without a surface, or with `only_if_lost` when it was not lost); 1 the file cannot
  // be loaded again; 2 no memory for its name; 3 the surface cannot be made again; 4 nor filled; 5 or 6 the key from a
  // colour or from a pixel cannot be set again.
  uint32_t Restore(bool only_if_lost) override;

  // An empty surface. 0; 1 no display device, a side below 1 or a texture without a format;
  // 2 the device has no display; 3 the surface cannot be made; 4 its description cannot be read.
  uint32_t Create(int32_t width, int32_t height, bool system_memory, bool texture, const plat::PixelFormat* format);
  // A picture file (or its bytes when no name is given) decoded into a new surface. 0; 1 no
  // name and no data, a name that cannot be found or read; 2 no image-loader host, no decoder
  // or a damaged picture; 3 the surface cannot be made; 4 it cannot be locked; 5 the picture
  // cannot be written into its format; 6 an unexpected failure. A failure leaves it released.
  uint32_t LoadFile(const char* file_name, const uint8_t* data, uint32_t size, bool system_memory);
  // Fills the whole surface; the picture then counts as made of that colour, not of its file.
  // 0; 1 no surface; 2 the fill failed.
  uint32_t FillColor(uint8_t r, uint8_t g, uint8_t b);
  // Writes a decoded picture into the top-left of the surface, converting it to the surface's
  // format: 0; 4 the surface cannot be locked; 5 the format takes no such copy.
  uint32_t CopyFromPicture(const CCachedPicture& picture);
  // Drops the surface, the file name and the keys.
  void Release();

  // EPixelFormat code; alpha formats count as their plain twins unless the surface is a texture.
  uint32_t GetPixelFormatCode() const { return pixel_format_; }
  const std::optional<std::string>& GetFileName() const { return file_name_; }
  // 0xRRGGBB, kNoColorKey when the picture is not a plain colour.
  uint32_t GetFillColor() const { return fill_color_; }
  bool IsInSystemMemory() const { return system_memory_ != 0; }

 protected:
  // The name the picture is loaded again from after a loss.
  void KeepFileName(const char* file_name) { file_name_ = file_name; }

 private:
  uint32_t Load(const char* file_name, const uint8_t* data, uint32_t size, bool system_memory);
  // Unpacks ELG data straight into the surface: 0, 4 it cannot be locked, 2 the data is damaged.
  uint32_t UnpackElg(const ElgHeader& header, const uint8_t* data, uint32_t size);

  std::optional<std::string> file_name_;
  uint32_t pixel_format_ = 0;
  uint32_t fill_color_ = kNoColorKey;
  uint8_t system_memory_ = 0;
};
