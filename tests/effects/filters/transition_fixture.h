// What the tests of the built-in transitions share: the pixel library bound, real draw layers,
// the built-ins registered with a transition-object host, a fake clock, and two pages of 32 × 16
// pixels (the front one a frame part, the back one its partner) painted with pictures whose
// pixels tell where they lie.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "base/numbers/trig_tables.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/trans_callback.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_clock.h"

class TransitionFixture : public ::testing::Test {
 public:
  static constexpr std::int32_t kWidth = 32;
  static constexpr std::int32_t kHeight = 16;

  // The tags of the two pictures, in the red byte; the other bytes are the place.
  static constexpr std::uint32_t kOld = 0x40;
  static constexpr std::uint32_t kNew = 0xC0;
  static std::uint32_t Coded(std::uint32_t tag, std::int32_t x, std::int32_t y) {
    return 0xFF000000u | tag << 16 | static_cast<std::uint32_t>(x * 7) << 8 | static_cast<std::uint32_t>(y * 13);
  }

 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &trig_;
    SetPixelLib(&library_);
    g_DrawLayerFactory = &layers_;
    g_TcpHost = &filters_;
    for (const BuiltinFilterRow& row : BuiltinFilterRows()) {
      ASSERT_EQ(filters_.RegisterObject(row.creator, row.name, row.type, 0, 0, row.start_up, row.clean_up), 0u);
    }
    ASSERT_EQ(front_.Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(back_.Create(kWidth, kHeight, 32, CImagePart::kLayer), 0u);
    ASSERT_EQ(front_.SetPartner(&back_), 0u);
    Paint(*front_.GetImage(), kOld);
    Paint(*back_.GetImage(), kNew);
  }
  void TearDown() override {
    front_.Release();
    g_TcpHost = nullptr;
    g_DrawLayerFactory = nullptr;
    SetPixelLib(nullptr);
    g_TrigTable = nullptr;
  }

  static void Paint(CImage& image, std::uint32_t tag) {
    for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.GetRowPointer(y));
      for (std::int32_t x = 0; x < image.GetWidth(); ++x) row[x] = Coded(tag, x, y);
    }
  }
  static std::uint32_t Pixel(const CImage& image, std::int32_t x, std::int32_t y) {
    return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
  }
  // The number of pixels in which the two images differ (both kWidth × kHeight).
  static int Differences(const CImage& a, const CImage& b) {
    int count = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) count += Pixel(a, x, y) != Pixel(b, x, y) ? 1 : 0;
    }
    return count;
  }
  static PluginArgs Args(const PluginArgList& list) { return list.View(); }

  // Makes the filter on the front page in mode 1 with the redraw byte set, as the frame does.
  CTransCallback& Start(const char* name, const PluginArgList& args) {
    EXPECT_EQ(CreateLayerFilterByName(&front_, name, CImagePart::kModeSwapLayers, 1, args.View()), kFilterAttached)
        << name;
    return dynamic_cast<CTransCallback&>(*front_.GetAttached());
  }
  // One frame of the filter at `now`, painted whole; the work image it painted.
  const CImage& Frame(CTransCallback& filter, std::uint32_t now) {
    filter.Advance(now);
    filter.RenderStrip(plat::Rect{0, 0, kWidth, kHeight});
    return *front_.GetWorkImage();
  }

  ScopedFakeClock clock_;
  CTrigTables trig_;
  CPixelLibrary library_;
  CDrawLayerFactory layers_;
  CTcpPluginManager filters_;
  CImageCanvasEx front_;
  CImageCanvasEx back_;
};
