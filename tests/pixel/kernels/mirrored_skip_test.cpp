// Every family's mirrored one-to-one member takes the same source skip, pitch minus the row's
// bytes, counted from the right end of the row just read: each member is held to its forward twin
// run on a copy of the source whose rows are reversed, forward and flipped, on padded rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

template <typename D, typename S>
using Pass = std::function<void(D* dst, const S* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                                int32_t height)>;

template <typename D, typename S>
void ExpectMirrorEqualsForwardOnReversedRows(const Pass<D, S>& mirrored, const Pass<D, S>& forward) {
  std::mt19937 random(7);
  for (int32_t width = 1; width <= 11; ++width) {
    for (const bool flipped : {false, true}) {
      const int32_t height = 3;
      const int32_t src_pitch = width + 3;  // in pixels
      const int32_t dst_pitch = width + 2;
      std::vector<S> src(static_cast<size_t>(src_pitch * height));
      for (S& pixel : src) pixel = static_cast<S>(random() % 3 == 0 ? 0x80808080u : random());
      std::vector<S> reversed = src;
      for (int32_t y = 0; y < height; ++y) {
        std::reverse(reversed.begin() + y * src_pitch, reversed.begin() + y * src_pitch + width);
      }
      std::vector<D> expected(static_cast<size_t>(dst_pitch * height));
      for (D& pixel : expected) pixel = static_cast<D>(random());
      std::vector<D> actual = expected;

      const int32_t first_row = flipped ? height - 1 : 0;
      const int32_t signed_pitch = (flipped ? -src_pitch : src_pitch) * int32_t{sizeof(S)};
      const int32_t src_skip = signed_pitch - width * int32_t{sizeof(S)};
      const int32_t dst_skip = (dst_pitch - width) * int32_t{sizeof(D)};
      forward(expected.data(), reversed.data() + first_row * src_pitch, dst_skip, src_skip, width, height);
      mirrored(actual.data(), src.data() + first_row * src_pitch + width, dst_skip, src_skip, width, height);
      ASSERT_EQ(actual, expected) << "width " << width << (flipped ? " flipped" : "");
    }
  }
}

constexpr uint32_t kKey = 0x80808080;

const uint32_t* Palette() {
  static const std::vector<uint32_t> palette = [] {
    std::vector<uint32_t> colours(256);
    for (uint32_t i = 0; i < 256; ++i) colours[i] = i * 0x01030507u;
    return colours;
  }();
  return palette.data();
}

TEST(MirroredSkipTest, EveryMirroredFamilyCountsItsSkipFromTheRightEnd) {
  BuildPixelTables();
  using P32 = Pass<uint32_t, uint32_t>;
  const std::vector<std::pair<P32, P32>> same_depth = {
      {Copy32Mirror, Copy32},
      {Copy32MirrorMmx, Copy32},
      {[](auto... a) { Copy32MirrorKey(a..., kKey); }, [](auto... a) { Copy32Key(a..., kKey); }},
      {AlphaBlend32Mirror, AlphaBlend32},
      {AlphaBlend32MirrorMmx, AlphaBlend32Mmx},
  };
  for (const auto& [mirrored, forward] : same_depth) ExpectMirrorEqualsForwardOnReversedRows(mirrored, forward);

  ExpectMirrorEqualsForwardOnReversedRows<uint32_t, uint8_t>(
      [](auto... a) { Copy8To32Mirror(a..., Palette()); }, [](auto... a) { Copy8To32(a..., Palette()); });
  ExpectMirrorEqualsForwardOnReversedRows<uint32_t, uint8_t>(
      [](auto... a) { Copy8To32MirrorKey(a..., Palette(), kKey); },
      [](auto... a) { Copy8To32Key(a..., Palette(), kKey); });
  ExpectMirrorEqualsForwardOnReversedRows<uint32_t, uint8_t>(CopyBytesToAlphaMirror, CopyBytesToAlpha);
  ExpectMirrorEqualsForwardOnReversedRows<uint8_t, uint32_t>(CopyAlphaToBytesMirror, CopyAlphaToBytes);
  // The 8-bit copies take the rightmost pixel itself and a direction.
  ExpectMirrorEqualsForwardOnReversedRows<uint8_t, uint8_t>(
      [](uint8_t* d, const uint8_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h) { Copy8(d, s - 1, ds, ss, -1, w, h); },
      [](uint8_t* d, const uint8_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h) { Copy8(d, s, ds, ss, 1, w, h); });
  ExpectMirrorEqualsForwardOnReversedRows<uint8_t, uint8_t>(
      [](uint8_t* d, const uint8_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h) {
        Copy8Key(d, s - 1, ds, ss, -1, w, h, kKey);
      },
      [](uint8_t* d, const uint8_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h) {
        Copy8Key(d, s, ds, ss, 1, w, h, kKey);
      });
}

}  // namespace
