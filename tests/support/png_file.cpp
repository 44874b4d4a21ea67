#include "support/png_file.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "gfx/images/image.h"

bool WritePng(const std::string& path, const CImage& image) {
  if (image.GetPixels() == nullptr || image.GetBitsPerPixel() != 32) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.GetWidth()), static_cast<png_uint_32>(image.GetHeight()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(image.GetWidth()) * 3);
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    const auto* pixels = reinterpret_cast<const uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      row[x * 3] = static_cast<png_byte>(pixels[x] >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(pixels[x] >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(pixels[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int32_t width, int32_t height) {
  if (width < 1 || height < 1 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  CImage picture;
  if (picture.Create(width, height, 32, 0) != 0) return false;
  for (int32_t y = 0; y < height; ++y) {
    std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * width, width,
                reinterpret_cast<uint32_t*>(picture.GetRowPointer(y)));
  }
  return WritePng(path, picture);
}
