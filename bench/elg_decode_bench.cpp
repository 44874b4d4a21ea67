// Unpacking ELG pictures next to libpng decoding the same picture from PNG into the same 32-bit
// pixels: a flat-colour picture (filled shapes, as menus and text windows are) and a photo-like
// one (gradients with noise). A table after the runs gives each ELG time as a ratio to PNG's.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <random>
#include <vector>

#include "elg_encoder.h"
#include "ratio_reporter.h"
#include "resource/pictures/elg_header.h"
#include "resource/pictures/elg_picture.h"

namespace {

constexpr std::uint16_t kWidth = 800;
constexpr std::uint16_t kHeight = 600;

// Blue-green-red rows: rectangles of a few colours (flat), or gradients with noise (photo-like).
std::vector<std::uint8_t> Picture(bool photo_like) {
  std::mt19937 random(5);
  std::vector<std::uint8_t> bgr(std::size_t{kWidth} * kHeight * 3);
  for (std::size_t y = 0; y < kHeight; ++y) {
    for (std::size_t x = 0; x < kWidth; ++x) {
      std::uint8_t* pixel = &bgr[(y * kWidth + x) * 3];
      if (photo_like) {
        pixel[0] = static_cast<std::uint8_t>(x / 4 + random() % 8);
        pixel[1] = static_cast<std::uint8_t>(y / 3 + random() % 8);
        pixel[2] = static_cast<std::uint8_t>((x + y) / 6 + random() % 8);
      } else {
        const std::uint8_t shade = static_cast<std::uint8_t>((x / 160 + y / 120) % 5 * 50);
        pixel[0] = shade;
        pixel[1] = static_cast<std::uint8_t>(shade / 2);
        pixel[2] = static_cast<std::uint8_t>(255 - shade);
      }
    }
  }
  return bgr;
}

std::vector<std::uint8_t> ElgFile(bool photo_like) {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 24;
  picture.width = kWidth;
  picture.height = kHeight;
  picture.pixels = Picture(photo_like);
  return kvxtools::EncodeElg(picture);
}

struct MemoryReader {
  const std::vector<std::uint8_t>* data;
  std::size_t at;
};

std::vector<std::uint8_t> PngFile(bool photo_like) {
  const std::vector<std::uint8_t> bgr = Picture(photo_like);
  std::vector<std::uint8_t> file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &file,
      [](png_structp writer, png_bytep bytes, png_size_t size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(writer));
        out->insert(out->end(), bytes, bytes + size);
      },
      nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  for (std::size_t y = 0; y < kHeight; ++y) png_write_row(png, &bgr[y * kWidth * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}

void BM_ElgDecode(benchmark::State& state) {
  const std::vector<std::uint8_t> file = ElgFile(state.range(0) != 0);
  ElgHeader header{};
  if (!ParseElgHeader(file.data(), file.size(), header)) return state.SkipWithError("bad header");
  std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 4);
  for (auto _ : state) {
    if (!UnpackElgPictureTo32(header, file.data(), file.size(), pixels.data(), kWidth * 4)) {
      state.SkipWithError("did not unpack");
    }
    benchmark::DoNotOptimize(pixels.data());
  }
}

void BM_PngDecode(benchmark::State& state) {
  const std::vector<std::uint8_t> file = PngFile(state.range(0) != 0);
  std::vector<std::uint8_t> pixels(std::size_t{kWidth} * kHeight * 4);
  for (auto _ : state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    png_set_read_fn(png, &reader, [](png_structp read, png_bytep bytes, png_size_t size) {
      auto* from = static_cast<MemoryReader*>(png_get_io_ptr(read));
      if (from->data->size() - from->at < size) png_error(read, "truncated");
      std::memcpy(bytes, from->data->data() + from->at, size);
      from->at += size;
    });
    png_read_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (std::size_t y = 0; y < kHeight; ++y) png_read_row(png, &pixels[y * kWidth * 4], nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

BENCHMARK(BM_ElgDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PngDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "800x600",
                                 {{"BM_ElgDecode/0", "BM_PngDecode/0"}, {"BM_ElgDecode/1", "BM_PngDecode/1"}});
}
