// The frame image's present: changed rectangles to a device context or into a surface, and a
// running transition's strips.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "gfx/display/image_canvas.h"
#include "gfx/display/surface_services.h"
#include "support/fake_screen_transition.h"
#include "support/software_surfaces.h"

namespace {

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 80;

// A 32-bit device context over the test's own pixels that records every rectangle drawn.
class CountingDc {
 public:
  CountingDc(int32_t width, int32_t height) : pixels_(static_cast<size_t>(width * height)) {
    plat::PixelView view;
    view.bits = reinterpret_cast<uint8_t*>(pixels_.data());
    view.pitch = width * 4;
    view.width = width;
    view.height = height;
    view.format = plat::MakePixelFormat(plat::SurfaceFormat::kXrgb8888);
    dc_ = std::make_unique<plat::DeviceContext>(view, [this](const plat::Rect& rect) { copies.push_back(rect); },
                                                nullptr);
  }
  plat::DeviceContext* Get() { return dc_.get(); }
  uint32_t At(int32_t x, int32_t y) const { return pixels_[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; }

  std::vector<plat::Rect> copies;

 private:
  std::vector<uint32_t> pixels_;
  std::unique_ptr<plat::DeviceContext> dc_;
};

std::array<int32_t, 4> Edges(const plat::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void Fill(CImageCanvasEx& frame, const plat::Rect& rect, uint32_t colour, bool mark) {
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(frame.GetImage()->GetRowPointer(y));
    for (int32_t x = rect.left; x < rect.right; ++x) row[x] = colour;
  }
  if (mark) frame.MarkDirty(&rect);
}

class FramePresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
    frame_.GetImage()->GetDirtyRegion()->Clear();
    frame_.GetImage()->ClearModified();
  }

  CImageCanvasEx frame_;
  CountingDc dc_{kWidth, kHeight};
};

TEST_F(FramePresentTest, NothingChangedCopiesNothing) {
  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), -1);
  EXPECT_TRUE(dc_.copies.empty());
}

TEST_F(FramePresentTest, OnlyTheDirtyRectanglesAreCopiedAndTheRegionIsCleared) {
  Fill(frame_, {2, 2, 10, 6}, 0xFF0000, true);
  Fill(frame_, {30, 20, 40, 40}, 0x00FF00, true);
  Fill(frame_, {50, 0, 60, 4}, 0x0000FF, false);  // drawn without being marked
  ASSERT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), 0);
  ASSERT_EQ(dc_.copies.size(), 2u);
  EXPECT_EQ(Edges(dc_.copies[0]), Edges({2, 2, 10, 6}));
  EXPECT_EQ(Edges(dc_.copies[1]), Edges({30, 20, 40, 40}));
  EXPECT_EQ(dc_.At(5, 3), 0xFF0000u);
  EXPECT_EQ(dc_.At(35, 39), 0x00FF00u);
  EXPECT_EQ(dc_.At(55, 1), 0u);
  EXPECT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 0u);
  EXPECT_FALSE(frame_.GetImage()->IsModified());

  dc_.copies.clear();
  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), -1);
  EXPECT_TRUE(dc_.copies.empty());

  ASSERT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, false), 0);
  ASSERT_EQ(dc_.copies.size(), 1u);
  EXPECT_EQ(Edges(dc_.copies[0]), Edges({0, 0, kWidth, kHeight}));
  EXPECT_EQ(dc_.At(55, 1), 0x0000FFu);
}

TEST_F(FramePresentTest, WithoutADeviceContextNothingIsCopied) {
  Fill(frame_, {0, 0, 4, 4}, 0xFFFFFF, true);
  EXPECT_EQ(frame_.PresentDirty(0, nullptr, nullptr, 0, true), 1);
  EXPECT_EQ(frame_.PresentDirty(0, nullptr, nullptr, 0, false), 1);
  EXPECT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 1u) << "the change waits for the next present";
}

TEST_F(FramePresentTest, IntoALockedSurfaceOfItsOwnFormat) {
  SoftwareSurfaces surfaces;
  auto surface = surfaces.Make(plat::SurfaceFormat::kRgb565, kWidth, kHeight);
  Fill(frame_, {4, 4, 8, 8}, 0xFF0000, true);
  Fill(frame_, {20, 0, 24, 4}, 0x0000FF, false);
  ASSERT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatRgb565, true), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 4, 4), 0xF800u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 7, 7), 0xF800u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 8, 8), 0u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 21, 1), 0u);
  EXPECT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 0u);

  ASSERT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatRgb565, false), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 21, 1), 0x1Fu);

  Fill(frame_, {0, 0, 2, 2}, 0xFFFFFF, true);
  surface->SimulateBusy(true);
  EXPECT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatRgb565, true), 2);
  EXPECT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 1u);
}

TEST(FramePresentPaletteTest, AnEightBitFrameGoesThroughItsPalette) {
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(8, 8, 8, CImagePart::kNoLayer), 0u);
  ASSERT_EQ(frame.GetImage()->SetPalette(nullptr, 0, 0), 0u);
  ASSERT_TRUE(frame.GetImage()->SetPaletteEntry(7, 0x00FF8040, false));
  frame.GetImage()->GetRowPointer(2)[3] = 7;
  SoftwareSurfaces surfaces;
  auto surface = surfaces.Make(plat::SurfaceFormat::kArgb4444, 8, 8);
  ASSERT_EQ(frame.PresentDirty(0, nullptr, surface.get(), kPixelFormatArgb4444, false), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 3, 2), 0xFF84u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 0, 0), 0xF000u);
}

TEST_F(FramePresentTest, ASurfaceSmallerThanTheFrameIsWrittenOnlyWhereItIs) {
  SoftwareSurfaces surfaces;
  auto surface = surfaces.Make(plat::SurfaceFormat::kXrgb8888, 16, 16);
  Fill(frame_, {10, 10, 30, 30}, 0x123456, true);
  ASSERT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatXrgb8888, true), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 15, 15), 0x123456u);
  ASSERT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatXrgb8888, false), 0);
}

// A frame with a layer and a partner, so that transitions can be attached to it.
class TransitionPresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    ASSERT_EQ(partner_.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    ASSERT_EQ(frame_.SetPartner(&partner_), 0u);
  }

  // Attaches a new fake transition in mode 0 with the redraw byte set. Its log lives in the
  // fixture, declared before the frame, so the frame may still let the transition go at its end.
  TransitionLog& Attach(uint32_t flags) {
    TransitionLog& log = logs_.emplace_back();
    RefPtr<CScreenTransition> transition = MakeRef<FakeTransition>(log, uint8_t{0}, flags, 1, kWidth, kHeight);
    EXPECT_EQ(frame_.Attach(transition, CImagePart::kModePlain, 1, false), 0u);
    return log;
  }

  FakeDrawLayers layers_;
  std::deque<TransitionLog> logs_;
  CImageCanvasEx frame_;
  CImageCanvasEx partner_;
  CountingDc dc_{kWidth, kHeight};
};

TEST_F(TransitionPresentTest, AnAttachedTransitionIsPresentedInStripsUntilItEndsAndIsLetGo) {
  const TransitionLog& log = Attach(CScreenTransition::kAllowsStrips);
  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), 0);
  // 64 pixels wide: strips of 64 rows, the last one cut to the height.
  ASSERT_EQ(log.strips.size(), 2u);
  EXPECT_EQ(Edges(log.strips[0]), Edges({0, 0, kWidth, 64}));
  EXPECT_EQ(Edges(log.strips[1]), Edges({0, 64, kWidth, kHeight}));
  EXPECT_EQ(dc_.copies.size(), 2u);
  EXPECT_EQ(dc_.At(63, 79), FakeTransition::kColour);
  EXPECT_TRUE(frame_.HasAttached());

  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), 0);
  EXPECT_EQ(log.strips.size(), 2u) << "an ended transition renders nothing";
  EXPECT_FALSE(frame_.HasAttached());
  EXPECT_TRUE(log.deleted) << "the frame held the only reference";
}

TEST_F(TransitionPresentTest, StripHeightsFollowTheFrameWidthAndTheSwitches) {
  EXPECT_EQ(TransitionStripHeight(39), 128);
  EXPECT_EQ(TransitionStripHeight(79), 64);
  EXPECT_EQ(TransitionStripHeight(159), 32);
  EXPECT_EQ(TransitionStripHeight(200), 16);
  EXPECT_EQ(TransitionStripHeight(320), 8);

  const TransitionLog& whole = Attach(0);
  frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true);
  ASSERT_EQ(whole.strips.size(), 1u);
  EXPECT_EQ(Edges(whole.strips[0]), Edges({0, 0, kWidth, kHeight}));

  g_StripRepaint = 0;
  const TransitionLog& switched_off = Attach(CScreenTransition::kAllowsStrips);
  frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true);
  g_StripRepaint = 1;
  EXPECT_EQ(switched_off.strips.size(), 1u);
  EXPECT_TRUE(whole.deleted) << "attaching another transition let the first one go";
}

TEST_F(TransitionPresentTest, ATransitionIntoASurfaceWritesItsFormat) {
  SoftwareSurfaces surfaces;
  auto surface = surfaces.Make(plat::SurfaceFormat::kArgb8888, kWidth, kHeight);
  Attach(CScreenTransition::kAllowsStrips);
  EXPECT_EQ(frame_.PresentDirty(0, nullptr, surface.get(), kPixelFormatArgb8888, true), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 0, 0), FakeTransition::kColour);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*surface, 63, 79), FakeTransition::kColour);
}

}  // namespace

namespace {

FakeDrawLayer& LayerOf(const CImagePart& part) { return *static_cast<FakeDrawLayer*>(part.GetLayer()); }

TEST_F(TransitionPresentTest, AFrameWithItsOwnLayerPresentsThroughIt) {
  FakeDrawLayer& layer = LayerOf(frame_);
  const int invalidations = layer.invalidations;
  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), -1);
  EXPECT_EQ(layer.presents, 1);
  EXPECT_EQ(layer.invalidations, invalidations);
  frame_.PresentDirty(0, dc_.Get(), nullptr, 0, false);
  EXPECT_EQ(layer.presents, 2);
  EXPECT_EQ(layer.invalidations, invalidations + 1) << "a full copy repaints everything first";
}

struct OverlayCase {
  uint8_t mode;
  int lists;
  int repaints_without_attached;
};

class TransitionOverlayTest : public TransitionPresentTest, public testing::WithParamInterface<OverlayCase> {};

TEST_P(TransitionOverlayTest, TheLayersListsGoOverEachStripByTheAttachMode) {
  LayerOf(frame_).background = 1;
  TransitionLog& log = logs_.emplace_back();
  RefPtr<CScreenTransition> transition =
      MakeRef<FakeTransition>(log, uint8_t{0}, CScreenTransition::kAllowsStrips, 1, kWidth, kHeight);
  ASSERT_EQ(frame_.Attach(transition, GetParam().mode, 0, false), 0u);
  EXPECT_EQ(frame_.PresentDirty(0, dc_.Get(), nullptr, 0, true), 0);
  EXPECT_EQ(LayerOf(frame_).overlays, std::vector<int>(log.strips.size(), GetParam().lists));
  EXPECT_EQ(LayerOf(frame_).repaints_without_attached, GetParam().repaints_without_attached);
  EXPECT_EQ(LayerOf(partner_).repaints_without_attached, GetParam().repaints_without_attached);
}

INSTANTIATE_TEST_SUITE_P(Modes, TransitionOverlayTest,
                         testing::Values(OverlayCase{CImagePart::kModePlain, 2, 0},
                                         OverlayCase{CImagePart::kModeSwapLayers, 2, 1},
                                         OverlayCase{CImagePart::kModeSwapBackgrounds, 3, 0}));

}  // namespace
