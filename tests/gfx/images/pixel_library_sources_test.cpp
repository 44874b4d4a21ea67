// The pixel library's matrix affine draw, its two- and three-source routines and its frame
// routines: each paints what the engine operation that computes the same thing paints.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

using plat::Rect;

std::unique_ptr<CImage> Picture(int32_t width, int32_t height, uint8_t bpp, uint32_t seed) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(width, height, bpp, CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = (seed * 131 + static_cast<uint32_t>(x) * 71 + static_cast<uint32_t>(y) * 193) * 2246822519u;
      if (bpp == 32) reinterpret_cast<uint32_t*>(image->GetRowPointer(y))[x] = v;
      if (bpp == 8) image->GetRowPointer(y)[x] = static_cast<uint8_t>(v >> 24);
    }
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

// The pixels of a 32-bit image and the box of what was marked changed.
std::string Snapshot(const CImage& image) {
  std::string out;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    out.append(reinterpret_cast<const char*>(image.GetRowPointer(y)), image.GetWidth() * 4u);
  }
  if (!image.IsModified()) return out + "|none";
  const Rect& b = image.GetDirtyRegion()->BoundingBox();
  return out + "|" + std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
         std::to_string(b.bottom);
}

class PixelLibrarySourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildPixelTables(); }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_CpuHasMmx = saved_mmx_;
  }
  // What op paints into a fresh 10×8 destination with the library bound.
  std::string Bound(const std::function<uint32_t(CImage&)>& op, uint32_t expected_status = 0) {
    auto dst = Picture(10, 8, 32, 1);
    SetPixelLib(&library_);
    EXPECT_EQ(op(*dst), expected_status);
    SetPixelLib(nullptr);
    return Snapshot(*dst);
  }
  std::string Engine(const std::function<void(CImage&)>& steps) {
    auto dst = Picture(10, 8, 32, 1);
    steps(*dst);
    return Snapshot(*dst);
  }
  CPixelLibrary library_;
  uint8_t saved_mmx_ = g_CpuHasMmx;
};

TEST_F(PixelLibrarySourcesTest, TheMatrixDrawIsTheTransformOntoTheCornersItGivesWithTheFillAround) {
  auto src = Picture(4, 2, 32, 7);
  const Rect part{1, 0, 4, 2};
  const Rect fill_area{0, 0, 6, 6};
  // A quarter turn: u runs down, v runs left, the part's top-left corner at (5, 1).
  PixelAffineArgs turn{{0, 1, -1, 0, 5, 1}, &part, 0, 1, 255, {}, 0xFF123456u, &fill_area};
  PixelTransformArgs corners;
  corners.points[0] = {5, 1};
  corners.points[1] = {5, 4};
  corners.points[2] = {3, 1};
  corners.src_rect = &part;
  const std::string expected = Bound([&](CImage& d) {
    d.FillRectArgb(0xFF123456u, &fill_area);
    return d.PixelLibTransform(src.get(), corners);
  });
  EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibAffineDraw(src.get(), turn); }), expected);
  EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibAffineDraw2(src.get(), turn); }), expected);
  // Inside the fill area and outside the turned 2×3 block, the fill colour.
  auto dst = Picture(10, 8, 32, 1);
  SetPixelLib(&library_);
  ASSERT_EQ(dst->PixelLibAffineDraw(src.get(), turn), 0u);
  EXPECT_EQ(dst->GetPixel(0, 0), 0xFF123456u);
  EXPECT_EQ(dst->GetPixel(4, 1), src->GetPixel(1, 0));
  EXPECT_EQ(dst->GetPixel(3, 3), src->GetPixel(3, 1));
  EXPECT_NE(dst->GetPixel(7, 7), 0xFF123456u);
  turn.matrix[2] = std::nan("");
  EXPECT_EQ(dst->PixelLibAffineDraw(src.get(), turn), 3u);
}

TEST_F(PixelLibrarySourcesTest, TheCrossFadeIsACopyOfAWithBBlendedOverAtTheLevel) {
  auto a = Picture(6, 5, 32, 2);
  auto b = Picture(9, 9, 32, 3);
  for (const uint8_t level : std::initializer_list<uint8_t>{0, 77, 128, 255}) {
    SCOPED_TRACE(level);
    // The area of width 0 runs as far as A allows: A from (2, 1) has 4 columns and 4 rows.
    const PixelCrossFadeArgs args{level, 0, {5, 3, 0, 7}, {2, 1}, {3, 2}};
    const Rect from_a{2, 1, 6, 5};
    const Rect from_b{3, 2, 7, 6};
    const std::string expected = Engine([&](CImage& d) {
      d.Copy(a.get(), 5, 3, &from_a, false);
      d.BlendLevel(b.get(), level, 5, 3, &from_b);
    });
    EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibBlendTwo(a.get(), b.get(), args); }), expected);
    EXPECT_NE(expected.find("|5,3,9,7"), std::string::npos);
    // B as the destination itself is read as it was before A was painted.
    auto same = Picture(9, 9, 32, 3);
    auto copy_of_b = Picture(9, 9, 32, 3);
    SetPixelLib(&library_);
    ASSERT_EQ(same->PixelLibBlendTwo(a.get(), same.get(), args), 0u);
    ASSERT_EQ(copy_of_b->PixelLibBlendTwo(a.get(), b.get(), args), 0u);
    SetPixelLib(nullptr);
    EXPECT_EQ(Snapshot(*same), Snapshot(*copy_of_b));
  }
}

TEST_F(PixelLibrarySourcesTest, TheRuleTransitionIsTheEngineRuleBlendOfBOverA) {
  auto a = Picture(10, 8, 32, 4);
  auto b = Picture(10, 8, 32, 5);
  auto rule = Picture(10, 8, 8, 6);
  for (const auto& [level, mmx] : {std::pair<uint8_t, uint8_t>{0, 0}, {40, 0}, {40, 1}, {200, 1}, {255, 0}}) {
    SCOPED_TRACE(std::to_string(level) + (mmx != 0 ? " vector" : " portable"));
    g_CpuHasMmx = mmx;
    const PixelRuleTransitionArgs args{level, 24, 0, {1, 2, 7, 5}, {1, 2}, {2, 1}, {2, 1}};
    const uint32_t progress = (level * 256u + 127u) / 255u;
    const Rect from_a{1, 2, 8, 7};
    const Rect from_b{2, 1, 9, 6};
    const std::string expected = Engine([&](CImage& d) {
      d.Copy(a.get(), 1, 2, &from_a, false);
      if (progress == 256) {
        d.Copy(b.get(), 1, 2, &from_b, false);
      } else {
        d.RuleBlend(b.get(), rule.get(), 255, progress, 24, 1, 2, &from_b);
      }
    });
    EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibBlendThree(a.get(), b.get(), rule.get(), args); }), expected);
  }
  const PixelRuleTransitionArgs args{128, 24, 0, {0, 0, 4, 4}, {}, {}, {}};
  EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibBlendThree(a.get(), b.get(), a.get(), args); }, 2), Engine([](CImage&) {}));
  EXPECT_EQ(Bound([&](CImage& d) { return d.PixelLibBlendThree(a.get(), b.get(), nullptr, args); }, 1), Engine([](CImage&) {}));
  auto dst = Picture(10, 8, 32, 1);
  EXPECT_EQ(dst->PixelLibBlendThree(a.get(), b.get(), rule.get(), args), 2u);
}

TEST_F(PixelLibrarySourcesTest, TheRowBlendIsTheLevelBlendOfOneRowAndMayWriteOverEitherSource) {
  const auto a = Picture(16, 1, 32, 8);
  const auto b = Picture(16, 1, 32, 9);
  const auto* row_a = reinterpret_cast<const uint32_t*>(a->GetRowPointer(0));
  const auto* row_b = reinterpret_cast<const uint32_t*>(b->GetRowPointer(0));
  for (const uint8_t mmx : std::initializer_list<uint8_t>{0, 1}) {
    g_CpuHasMmx = mmx;
    SCOPED_TRACE(mmx);
    auto engine = Picture(16, 1, 32, 8);
    ASSERT_EQ(engine->BlendLevel(b.get(), 99, 0, 0, nullptr), 0u);
    const std::vector<uint32_t> expected(reinterpret_cast<const uint32_t*>(engine->GetRowPointer(0)),
                                         reinterpret_cast<const uint32_t*>(engine->GetRowPointer(0)) + 16);
    const auto blend = library_.Routines().row_blend;
    std::vector<uint32_t> out(16);
    ASSERT_TRUE(blend(out.data(), row_a, row_b, 16, 99));
    EXPECT_EQ(out, expected);
    std::vector<uint32_t> over_b(row_b, row_b + 16);
    ASSERT_TRUE(blend(over_b.data(), row_a, over_b.data(), 16, 99));
    EXPECT_EQ(over_b, expected);
    std::vector<uint32_t> over_a(row_a, row_a + 16);
    ASSERT_TRUE(blend(over_a.data(), over_a.data(), row_b, 16, 99));
    EXPECT_EQ(over_a, expected);
    EXPECT_FALSE(blend(out.data(), row_a, row_b, -1, 99));
  }
}

TEST_F(PixelLibrarySourcesTest, AFrameInPlainMemoryDrawsAsTheSamePictureInAnImage) {
  const auto picture = Picture(7, 5, 32, 10);
  // The frame's rows are padded beyond its width.
  const int32_t pitch = 7 * 4 + 12;
  std::vector<uint8_t> memory(static_cast<size_t>(pitch) * 5, 0xEE);
  for (int32_t y = 0; y < 5; ++y) std::memcpy(&memory[static_cast<size_t>(y) * pitch], picture->GetRowPointer(y), 28);
  const PixelFrame frame{memory.data(), 7, 5, pitch, 32};
  const Rect part{1, 1, 6, 4};
  const ImageSize size{9, 4};
  const PixelRoutines& routines = library_.Routines();
  const auto frame_draw = [&](CImage& d, bool stretched) {
    const PixelRoutineResult r = stretched ? routines.frame_stretch_blend(d, frame, {&size, -1, 3, &part, 0, 1, 255, 0})
                                           : routines.frame_blend(d, frame, {4, -1, &part, 2, 150, 0});
    if (r.ok) d.MarkChanged(r.changed);
    return r.ok ? 0u : 3u;
  };
  for (const bool stretched : {false, true}) {
    SCOPED_TRACE(stretched);
    const std::string expected = Bound([&](CImage& d) {
      return stretched ? d.PixelLibStretchBlend(picture.get(), 0, 1, 255, 0, &size, -1, 3, &part)
                       : d.PixelLibBlend(picture.get(), 2, 150, 0, 4, -1, &part);
    });
    EXPECT_EQ(Bound([&](CImage& d) { return frame_draw(d, stretched); }), expected);
  }
  auto dst = Picture(10, 8, 32, 1);
  const Rect outside{3, 2, 8, 4};
  EXPECT_FALSE(routines.frame_blend(*dst, frame, {0, 0, &outside, 0, 255, 0}).ok);
  const PixelFrame deep{memory.data(), 7, 5, pitch, 24};
  EXPECT_FALSE(routines.frame_blend(*dst, deep, {0, 0, nullptr, 0, 255, 0}).ok);
  const PixelFrame short_rows{memory.data(), 7, 5, 20, 32};
  EXPECT_FALSE(routines.frame_blend(*dst, short_rows, {0, 0, nullptr, 0, 255, 0}).ok);
  EXPECT_EQ(Snapshot(*dst), Snapshot(*Picture(10, 8, 32, 1)));
}

}  // namespace
