// The copy kernels: stretch stepping, mirroring, flipping, colour keys and channel copies, and
// every vector member held to a plain reference of its own formula on random pixels.
#include "pixel/kernels/copy_kernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string_view>
#include <vector>

#include "pixel_kernel_harness.h"

namespace {

constexpr int32_t kPixel = 4;

// Source pixels equal to their index, read by a one-row stretch of src_width onto dst_width.
std::vector<uint32_t> StretchedRow(int32_t src_width, int32_t dst_width, bool vector_member) {
  std::vector<uint32_t> src(static_cast<size_t>(src_width));
  for (int32_t i = 0; i < src_width; ++i) src[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
  std::vector<uint32_t> dst(static_cast<size_t>(dst_width), 0xDEAD);
  const StretchStep step = UnclippedStretchStep(src_width, 1, dst_width, 1);
  (vector_member ? Copy32StretchMmx : Copy32Stretch)(dst.data(), src.data(), 0, src_width * kPixel, dst_width, 1, step);
  return dst;
}

TEST(CopyKernelTest, StretchingReadsTheSourcePixelsOfTheStepping) {
  for (const bool vector_member : {false, true}) {
    EXPECT_EQ(StretchedRow(2, 4, vector_member), (std::vector<uint32_t>{0, 0, 0, 1}));
    EXPECT_EQ(StretchedRow(3, 4, vector_member), (std::vector<uint32_t>{0, 0, 1, 2}));
    EXPECT_EQ(StretchedRow(4, 2, vector_member), (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(StretchedRow(5, 5, vector_member), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(StretchedRow(7, 3, vector_member), (std::vector<uint32_t>{0, 2, 4}));
  }
}

TEST(CopyKernelTest, RowsStretchLikeColumnsAndFlipWithANegativePitch) {
  // Three source rows, one pixel each, holding their row number; four destination rows.
  const uint32_t src[3] = {0, 1, 2};
  const StretchStep step = UnclippedStretchStep(1, 3, 1, 4);
  uint32_t dst[4] = {};
  Copy32Stretch(dst, src, 0, kPixel, 1, 4, step);
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 4), (std::vector<uint32_t>{0, 0, 1, 2}));
  Copy32Stretch(dst, src + 2, 0, -kPixel, 1, 4, step);
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 4), (std::vector<uint32_t>{2, 2, 1, 0}));
}

TEST(CopyKernelTest, MirroredCopiesWriteTheRowBackwards) {
  const uint32_t src[2][3] = {{1, 2, 3}, {4, 5, 6}};
  for (const auto kernel : {Copy32Mirror, Copy32MirrorMmx}) {
    uint32_t dst[2][3] = {};
    kernel(&dst[0][0], &src[0][0] + 3, 0, 0, 3, 2);
    EXPECT_EQ(std::vector<uint32_t>(&dst[0][0], &dst[0][0] + 6), (std::vector<uint32_t>{3, 2, 1, 6, 5, 4}));
  }
  const uint8_t bytes[2][4] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  uint8_t out[2][4] = {};
  Copy8(&out[0][0], &bytes[0][2], 1, 1, -1, 3, 2);  // handed the rightmost pixel itself
  EXPECT_EQ(std::vector<uint8_t>(&out[0][0], &out[0][0] + 8), (std::vector<uint8_t>{3, 2, 1, 0, 6, 5, 4, 0}));
  Copy8(&out[0][0], &bytes[1][0], 1, -4 - 3, 1, 3, 2);  // forward and flipped
  EXPECT_EQ(std::vector<uint8_t>(&out[0][0], &out[0][0] + 8), (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));

  const uint32_t wide[4] = {10, 11, 12, 13};
  uint32_t stretched[8] = {};
  Copy32MirrorStretch(stretched, wide + 4, 0, 16, 8, 1, UnclippedStretchStep(4, 1, 8, 1));
  EXPECT_EQ(std::vector<uint32_t>(stretched, stretched + 8), (std::vector<uint32_t>{13, 13, 13, 12, 12, 11, 11, 10}));
}

TEST(CopyKernelTest, KeyedThirtyTwoBitCopiesCompareTheWholePixel) {
  const uint32_t key = 0x00123456;
  const uint32_t src[3] = {0x00123456, 0xFF123456, 0x00654321};
  uint32_t dst[3] = {7, 7, 7};
  Copy32Key(dst, src, 0, 0, 3, 1, key);
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 3), (std::vector<uint32_t>{7, 0xFF123456, 0x00654321}));
  uint32_t rgb[3] = {0xAA000000, 0xAA000000, 0xAA000000};
  for (const auto kernel : {CopyRgb32Key, CopyRgb32KeyMmx}) {
    kernel(rgb, src, 0, 0, 3, 1, key);
    EXPECT_EQ(std::vector<uint32_t>(rgb, rgb + 3), (std::vector<uint32_t>{0xAA000000, 0xAA123456, 0xAA654321}));
  }
}

TEST(CopyKernelTest, KeyedEightBitSourcesCompareTheKeysLowByte) {
  uint32_t palette[256];
  for (uint32_t i = 0; i < 256; ++i) palette[i] = 0x80000000u | i;
  const uint8_t src[4] = {0x12, 0x13, 0x12, 0x00};
  for (const uint32_t key : {0x00000012u, 0xABCDEF12u}) {
    uint32_t dst[4] = {1, 1, 1, 1};
    Copy8To32Key(dst, src, 0, 0, 4, 1, palette, key);
    EXPECT_EQ(std::vector<uint32_t>(dst, dst + 4), (std::vector<uint32_t>{1, 0x80000013, 1, 0x80000000}));
    uint8_t bytes[4] = {9, 9, 9, 9};
    Copy8Key(bytes, src, 0, 0, 1, 4, 1, key);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{9, 0x13, 9, 0}));
    Copy8StretchKey(bytes, src, 0, 4, 4, 1, UnclippedStretchStep(4, 1, 4, 1), key);
    EXPECT_EQ(bytes[0], 9);
  }
}

TEST(CopyKernelTest, APaletteCopyCarriesTheEntrysFourthByteIntoAlpha) {
  uint32_t palette[256] = {};
  palette[3] = 0x7F102030;
  const uint8_t src[2] = {3, 0};
  uint32_t dst[2] = {0xFFFFFFFF, 0xFFFFFFFF};
  Copy8To32(dst, src, 0, 0, 2, 1, palette);
  EXPECT_EQ(dst[0], 0x7F102030u);
  EXPECT_EQ(dst[1], 0u);
}

TEST(CopyKernelTest, ChannelCopies) {
  const uint32_t src[2] = {0x11223344, 0xAABBCCDD};
  uint32_t dst[2] = {0x55667788, 0x99000000};
  CopyAlpha32(dst, src, 0, 0, 2, 1);
  EXPECT_EQ(dst[0], 0x11667788u);
  EXPECT_EQ(dst[1], 0xAA000000u);
  CopyRgb32(dst, src, 0, 0, 2, 1);
  EXPECT_EQ(dst[0], 0x11223344u);

  const uint8_t bytes[2] = {0x40, 0xFE};
  uint32_t planes[2] = {0x00ABCDEF, 0xFF010203};
  CopyBytesToAlpha(planes, bytes, 0, 0, 2, 1);
  EXPECT_EQ(planes[0], 0x40ABCDEFu);
  EXPECT_EQ(planes[1], 0xFE010203u);
  uint8_t alphas[2] = {};
  CopyAlphaToBytesMirror(alphas, src + 2, 0, 0, 2, 1);
  EXPECT_EQ(alphas[0], 0xAA);
  EXPECT_EQ(alphas[1], 0x11);
}

TEST(CopyKernelTest, MergingIntoAlphaIsTheCompositeAlphaForEveryPair) {
  std::vector<uint32_t> dst(256 * 256);
  std::vector<uint8_t> src(256 * 256);
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t b = 0; b < 256; ++b) {
      dst[a * 256 + b] = (a << 24) | 0x00C0FFEE;
      src[a * 256 + b] = static_cast<uint8_t>(b);
    }
  }
  MergeBytesIntoAlpha(dst.data(), src.data(), 0, 0, 256, 256);
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t b = 0; b < 256; ++b) {
      const uint32_t expected = 255 - (255 - a) * (255 - b) / 255;
      ASSERT_EQ(dst[a * 256 + b], (expected << 24) | 0x00C0FFEE) << a << " " << b;
    }
  }
}

TEST(CopyKernelTest, FillsAndColourOfRows) {
  uint32_t pixels[2][3] = {{0x10000001, 0x20000002, 0x30000003}, {0x40000004, 0x50000005, 0x60000006}};
  Fill32(&pixels[0][0], 4, 2, 2, 0xCAFEF00D);
  EXPECT_EQ(pixels[0][1], 0xCAFEF00Du);
  EXPECT_EQ(pixels[0][2], 0x30000003u);  // the skip passes over it
  EXPECT_EQ(pixels[1][1], 0xCAFEF00Du);
  for (const auto kernel : {SetRgb32, SetRgb32Mmx}) {
    uint32_t row[5] = {0x10000000, 0x20000000, 0x30000000, 0x40000000, 0x50000000};
    kernel(row, 0, 5, 1, 0x00ABCDEF);
    EXPECT_EQ(row[0], 0x10ABCDEFu);
    EXPECT_EQ(row[4], 0x50ABCDEFu);
  }
}

TEST(CopyKernelTest, TheVectorFillLeavesThePixelsOfThePortableOneInEachForm) {
  // Rows of every width up to three steps of eight, with pixels of their own past each row's end.
  const auto filled = [](void (*fill)(uint32_t*, int32_t, int32_t, int32_t, uint32_t), int32_t width) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width + 3) * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i);
    fill(pixels.data(), 3 * kPixel, width, 3, 0xCAFEF00D);
    return pixels;
  };
  for (int32_t width = 0; width <= 24; ++width) {
    const std::vector<uint32_t> portable = filled(Fill32, width);
    EXPECT_EQ(filled(Fill32Mmx, width), portable) << width;
    if (pixel_kernel_harness::ProcessorHasAvx2()) {
      const pixel_kernel_harness::Avx2Form avx2;
      EXPECT_EQ(filled(Fill32Mmx, width), portable) << width;
    }
  }
}

TEST(CopyKernelTest, ZeroWidthOrHeightWritesNothing) {
  uint32_t dst[4] = {1, 2, 3, 4};
  const uint32_t src[4] = {};
  const StretchStep step = UnclippedStretchStep(4, 1, 4, 1);
  Copy32(dst, src, 0, 0, 0, 1);
  Copy32Mmx(dst, src, 0, 0, 4, 0);
  Copy32StretchMmx(dst, src, 0, 16, 0, 1, step);
  CopyRgb32KeyMmx(dst, src, 0, 0, -1, 1, 5);
  Fill32(dst, 0, 4, 0, 0);
  Fill32Mmx(dst, 0, 4, 0, 0);
  SetRgb32Mmx(dst, 0, 0, 4, 0);
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 4), (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST(CopyKernelTest, EightBitMembersStepLikeTheThirtyTwoBitOnes) {
  // Two rows of four bytes, each its own column and row number; stretched 4 × 2 onto 8 × 3.
  const uint8_t src[2][4] = {{0x00, 0x01, 0x02, 0x03}, {0x10, 0x11, 0x12, 0x13}};
  const StretchStep step = UnclippedStretchStep(4, 2, 8, 3);
  const std::vector<uint8_t> columns = {3, 3, 3, 2, 2, 1, 1, 0};  // mirrored
  const std::vector<uint8_t> rows = {0x00, 0x00, 0x10};

  uint8_t bytes[3][8] = {};
  Copy8MirrorStretch(&bytes[0][0], &src[0][0] + 4, 0, 4, 8, 3, step);
  uint32_t palette[256];
  for (uint32_t i = 0; i < 256; ++i) palette[i] = 0xA0000000u + i;
  uint32_t words[3][8] = {};
  Copy8To32MirrorStretch(&words[0][0], &src[0][0] + 4, 0, 4, 8, 3, step, palette);
  uint32_t alphas[3][8] = {};
  CopyBytesToAlphaMirrorStretch(&alphas[0][0], &src[0][0] + 4, 0, 4, 8, 3, step);
  for (size_t y = 0; y < 3; ++y) {
    for (size_t x = 0; x < 8; ++x) {
      const uint8_t expected = static_cast<uint8_t>(rows[y] + columns[x]);
      EXPECT_EQ(bytes[y][x], expected) << x << "," << y;
      EXPECT_EQ(words[y][x], 0xA0000000u + expected) << x << "," << y;
      EXPECT_EQ(alphas[y][x], uint32_t{expected} << 24) << x << "," << y;
    }
  }

  uint8_t back[3][8] = {};
  CopyAlphaToBytesStretch(&back[0][0], &alphas[0][0], 0, 32, 8, 3, UnclippedStretchStep(8, 3, 8, 3));
  EXPECT_EQ(std::memcmp(back, bytes, sizeof back), 0);
}

// ---- Vector members against plain references of their formulas ----

using Formula = std::function<uint32_t(uint32_t d, uint32_t s)>;
using OneToOne = std::function<void(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t)>;
using Stretched =
    std::function<void(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const StretchStep&)>;

// Where stepping i times from the start lands: i whole steps plus one for every carry of the
// accumulator (start acc, plus rem each step, carrying whenever it reaches 0, d, 2d, ...).
int64_t SteppedPosition(int64_t i, int32_t acc, int32_t rem, int32_t den, int32_t whole) {
  const int64_t total = acc + i * rem;
  return i * whole + (total >= 0 ? total / den + 1 : 0);
}

struct Pass {
  int32_t width = 1;
  int32_t height = 1;
  bool mirrored = false;
  bool flipped = false;
  bool stretched = false;
  StretchStep step;
};

StretchStep RandomStep(std::mt19937& rng, int32_t width, int32_t height) {
  auto pick = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(rng); };
  StretchStep step;
  step.xDen = width + pick(0, 5);
  step.xAcc = pick(-step.xDen - 1, -1);
  step.xRem = pick(0, step.xDen - 1);
  step.xStep = pick(0, 3);
  step.yDen = height + pick(0, 5);
  step.yAcc = pick(-step.yDen - 1, -1);
  step.yRem = pick(0, step.yDen - 1);
  step.yStep = pick(0, 2);
  return step;
}

// Runs one pass of a kernel over random pixels (a quarter of them equal to the key) and checks
// every destination pixel against the formula applied to the source pixel the pass reads.
void CheckPass(const Pass& pass, const std::function<void(uint32_t*, const uint32_t*, int32_t, int32_t)>& run,
               const Formula& formula, uint32_t key, std::mt19937& rng) {
  const int32_t w = pass.width;
  const int32_t h = pass.height;
  auto column = [&](int32_t x) {
    return pass.stretched ? SteppedPosition(x, pass.step.xAcc, pass.step.xRem, pass.step.xDen, pass.step.xStep)
                          : int64_t{x};
  };
  auto row = [&](int32_t y) {
    return pass.stretched ? SteppedPosition(y, pass.step.yAcc, pass.step.yRem, pass.step.yDen, pass.step.yStep)
                          : int64_t{y};
  };
  const int32_t src_cols = static_cast<int32_t>(column(w - 1) + 1);
  const int32_t src_rows = static_cast<int32_t>(row(h - 1) + 1);
  const int32_t src_pitch = src_cols + static_cast<int32_t>(rng() % 3);
  const int32_t dst_pitch = w + static_cast<int32_t>(rng() % 3);

  std::vector<uint32_t> src(static_cast<size_t>(src_pitch) * static_cast<size_t>(src_rows));
  for (uint32_t& pixel : src) pixel = (rng() % 4 == 0) ? key : static_cast<uint32_t>(rng());
  std::vector<uint32_t> dst(static_cast<size_t>(dst_pitch) * static_cast<size_t>(h));
  for (uint32_t& pixel : dst) pixel = static_cast<uint32_t>(rng());
  const std::vector<uint32_t> before = dst;

  const int32_t first_row = pass.flipped ? src_rows - 1 : 0;
  const uint32_t* start = src.data() + static_cast<size_t>(first_row) * static_cast<size_t>(src_pitch) +
                          (pass.mirrored ? src_cols : 0);
  const int32_t signed_pitch = (pass.flipped ? -src_pitch : src_pitch) * kPixel;
  run(dst.data(), start, (dst_pitch - w) * kPixel, pass.stretched ? signed_pitch : signed_pitch - w * kPixel);

  for (int32_t y = 0; y < h; ++y) {
    const int64_t src_row = pass.flipped ? src_rows - 1 - row(y) : row(y);
    for (int32_t x = 0; x < dst_pitch; ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(dst_pitch) + static_cast<size_t>(x);
      if (x >= w) {
        ASSERT_EQ(dst[at], before[at]) << "wrote past the row at " << x << "," << y;
        continue;
      }
      const int64_t src_col = pass.mirrored ? src_cols - 1 - column(x) : column(x);
      const uint32_t s = src[static_cast<size_t>(src_row * src_pitch + src_col)];
      ASSERT_EQ(dst[at], formula(before[at], s)) << "pixel " << x << "," << y << " width " << w;
    }
  }
}

struct Member {
  const char* name;
  bool mirrored;
  bool stretched;
  std::function<void(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const StretchStep&, uint32_t)> run;
  std::function<uint32_t(uint32_t d, uint32_t s, uint32_t key)> formula;
};

uint32_t CopyFormula(uint32_t, uint32_t s, uint32_t) { return s; }
uint32_t RgbFormula(uint32_t d, uint32_t s, uint32_t) { return (s & 0x00FFFFFF) | (d & 0xFF000000); }
uint32_t RgbKeyFormula(uint32_t d, uint32_t s, uint32_t key) { return s == key ? d : RgbFormula(d, s, key); }
uint32_t AlphaFormula(uint32_t d, uint32_t s, uint32_t) { return (s & 0xFF000000) | (d & 0x00FFFFFF); }

template <typename Kernel>
Member OneToOneMember(const char* name, bool mirrored, Kernel kernel,
                      uint32_t (*formula)(uint32_t, uint32_t, uint32_t)) {
  return {name, mirrored, false,
          [kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h, const StretchStep&,
                   uint32_t) { kernel(d, s, ds, ss, w, h); },
          formula};
}

template <typename Kernel>
Member StretchMember(const char* name, bool mirrored, Kernel kernel, uint32_t (*formula)(uint32_t, uint32_t, uint32_t)) {
  return {name, mirrored, true,
          [kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h, const StretchStep& st,
                   uint32_t) { kernel(d, s, ds, sp, w, h, st); },
          formula};
}

std::vector<Member> Members() {
  std::vector<Member> members = {
      OneToOneMember("Copy32", false, Copy32, CopyFormula),
      OneToOneMember("Copy32Mmx", false, Copy32Mmx, CopyFormula),
      OneToOneMember("Copy32Mirror", true, Copy32Mirror, CopyFormula),
      OneToOneMember("Copy32MirrorMmx", true, Copy32MirrorMmx, CopyFormula),
      StretchMember("Copy32Stretch", false, Copy32Stretch, CopyFormula),
      StretchMember("Copy32StretchMmx", false, Copy32StretchMmx, CopyFormula),
      StretchMember("Copy32MirrorStretch", true, Copy32MirrorStretch, CopyFormula),
      StretchMember("Copy32MirrorStretchMmx", true, Copy32MirrorStretchMmx, CopyFormula),
      OneToOneMember("CopyRgb32", false, CopyRgb32, RgbFormula),
      OneToOneMember("CopyRgb32Mmx", false, CopyRgb32Mmx, RgbFormula),
      StretchMember("CopyRgb32Stretch", false, CopyRgb32Stretch, RgbFormula),
      StretchMember("CopyRgb32StretchMmx", false, CopyRgb32StretchMmx, RgbFormula),
      OneToOneMember("CopyAlpha32", false, CopyAlpha32, AlphaFormula),
      OneToOneMember("CopyAlpha32Mmx", false, CopyAlpha32Mmx, AlphaFormula),
      StretchMember("CopyAlpha32Stretch", false, CopyAlpha32Stretch, AlphaFormula),
      StretchMember("CopyAlpha32StretchMmx", false, CopyAlpha32StretchMmx, AlphaFormula),
  };
  auto keyed = [](auto kernel) {
    return [kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h, const StretchStep&,
                    uint32_t key) { kernel(d, s, ds, ss, w, h, key); };
  };
  auto keyed_stretch = [](auto kernel) {
    return [kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
                    const StretchStep& st, uint32_t key) { kernel(d, s, ds, sp, w, h, st, key); };
  };
  auto key_copy = [](uint32_t d, uint32_t s, uint32_t key) { return s == key ? d : s; };
  members.push_back({"Copy32Key", false, false, keyed(Copy32Key), key_copy});
  members.push_back({"Copy32MirrorKey", true, false, keyed(Copy32MirrorKey), key_copy});
  members.push_back({"Copy32StretchKey", false, true, keyed_stretch(Copy32StretchKey), key_copy});
  members.push_back({"Copy32MirrorStretchKey", true, true, keyed_stretch(Copy32MirrorStretchKey), key_copy});
  members.push_back({"CopyRgb32Key", false, false, keyed(CopyRgb32Key), RgbKeyFormula});
  members.push_back({"CopyRgb32KeyMmx", false, false, keyed(CopyRgb32KeyMmx), RgbKeyFormula});
  members.push_back({"CopyRgb32StretchKey", false, true, keyed_stretch(CopyRgb32StretchKey), RgbKeyFormula});
  members.push_back({"CopyRgb32StretchKeyMmx", false, true, keyed_stretch(CopyRgb32StretchKeyMmx), RgbKeyFormula});
  return members;
}

void CheckMember(const Member& member, const Pass& pass, std::mt19937& rng) {
  const uint32_t key = static_cast<uint32_t>(rng());
  CheckPass(
      pass,
      [&](uint32_t* d, const uint32_t* s, int32_t dst_skip, int32_t src_skip) {
        member.run(d, s, dst_skip, src_skip, pass.width, pass.height, pass.step, key);
      },
      [&](uint32_t d, uint32_t s) { return member.formula(d, s, key); }, key, rng);
}

// The members with an AVX2 form: the vector ones and the keyed 32-bit copies.
bool HasAvx2Form(const Member& member) {
  const std::string_view name = member.name;
  return name.ends_with("Mmx") || (name.starts_with("Copy32") && name.ends_with("Key"));
}

void ExpectMembersOnEveryWidth(bool avx2_forms_only) {
  std::mt19937 rng(1234);
  for (const Member& member : Members()) {
    if (avx2_forms_only && !HasAvx2Form(member)) continue;
    SCOPED_TRACE(member.name);
    for (int32_t width = 1; width <= 67; ++width) {
      for (const bool flipped : {false, true}) {
        Pass pass;
        pass.width = width;
        pass.height = 3;
        pass.mirrored = member.mirrored;
        pass.flipped = flipped;
        pass.stretched = member.stretched;
        if (member.stretched) pass.step = RandomStep(rng, width, pass.height);
        CheckMember(member, pass, rng);
        if (testing::Test::HasFatalFailure()) return;
      }
    }
  }
}

void ExpectMembersOnAMillionPixels(bool avx2_forms_only) {
  std::mt19937 rng(99);
  for (const Member& member : Members()) {
    if (avx2_forms_only && !HasAvx2Form(member)) continue;
    SCOPED_TRACE(member.name);
    Pass pass;
    pass.width = 1000;
    pass.height = 1000;
    pass.mirrored = member.mirrored;
    pass.flipped = (rng() & 1) != 0;
    pass.stretched = member.stretched;
    if (member.stretched) pass.step = RandomStep(rng, pass.width, pass.height);
    CheckMember(member, pass, rng);
    if (testing::Test::HasFatalFailure()) return;
  }
}

TEST(CopyKernelFormulaTest, EveryMemberOnWidthsOneToSixtySevenForwardAndFlipped) {
  ExpectMembersOnEveryWidth(false);
}

TEST(CopyKernelFormulaTest, EveryMemberOnAMillionRandomPixels) { ExpectMembersOnAMillionPixels(false); }

TEST(CopyKernelFormulaTest, Avx2FormsOfTheVectorMembers) {
  if (!pixel_kernel_harness::ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const pixel_kernel_harness::Avx2Form avx2;
  ExpectMembersOnEveryWidth(true);
  ExpectMembersOnAMillionPixels(true);
}

TEST(CopyKernelFormulaTest, SetRgbMembersOnEveryWidth) {
  std::mt19937 rng(5);
  for (const auto kernel : {SetRgb32, SetRgb32Mmx}) {
    for (int32_t width = 1; width <= 67; ++width) {
      std::vector<uint32_t> pixels(static_cast<size_t>(width + 1) * 2);
      for (uint32_t& pixel : pixels) pixel = static_cast<uint32_t>(rng());
      const std::vector<uint32_t> before = pixels;
      const uint32_t rgb = static_cast<uint32_t>(rng()) & 0x00FFFFFF;
      kernel(pixels.data(), kPixel, width, 2, rgb);
      for (size_t i = 0; i < pixels.size(); ++i) {
        const bool inside = static_cast<int32_t>(i % static_cast<size_t>(width + 1)) < width;
        ASSERT_EQ(pixels[i], inside ? (before[i] & 0xFF000000) | rgb : before[i]) << width << " " << i;
      }
    }
  }
}

}  // namespace
