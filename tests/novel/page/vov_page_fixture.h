// A novel page over a game folder of ELG pictures made at test time: backgrounds whose pixels
// encode their place and character pictures with placement values.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/framework/effect.h"
#include "elg_encoder.h"
#include "gfx/images/image.h"
#include "novel/page/vov_page.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/data_files_fixture.h"
#include "support/scoped_pixel_library.h"

namespace page_test {

// A 32-bit picture whose every pixel is `colour`, but for a column of `stripe` at `stripe_x`.
inline std::string Picture(std::uint16_t width, std::uint16_t height, std::uint32_t colour, std::int32_t stripe_x = -1,
                           std::uint32_t stripe = 0, std::int16_t place_x = 0, std::int16_t place_y = 0) {
  kvxtools::ElgPicture picture;
  picture.width = width;
  picture.height = height;
  picture.form = kvxtools::ElgHeaderForm::kOrigin;
  picture.user_value0 = place_x;
  picture.user_value1 = place_y;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t pixel = x == stripe_x ? stripe : colour;
      for (int shift = 0; shift < 32; shift += 8) picture.pixels.push_back(static_cast<std::uint8_t>(pixel >> shift));
    }
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeElg(picture);
  return std::string(bytes.begin(), bytes.end());
}

// An 8-bit rule picture whose index rises from left to right, from `shift` (below 256 / width) on.
inline std::string RampRule(std::uint16_t width, std::uint16_t height, std::uint8_t shift = 0) {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 8;
  picture.width = width;
  picture.height = height;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) picture.pixels.push_back(static_cast<std::uint8_t>(x * 256 / width + shift));
  }
  for (std::size_t i = 0; i < 256; ++i) {
    for (std::size_t c = 0; c < 3; ++c) picture.palette[i * 4 + c] = static_cast<std::uint8_t>(i);
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeElg(picture);
  return std::string(bytes.begin(), bytes.end());
}

inline std::uint32_t PixelOf(const CImage& image, std::int32_t x, std::int32_t y) {
  return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
}

// What a page needs while it lives: an ELG image loader, the draw layers and the pixel library.
class PageGraphics {
 public:
  PageGraphics() {
    BuildPixelTables();
    RegisterElgDecoder(loader_);
    saved_loader_ = g_GllHost;
    g_GllHost = &loader_;
    g_DrawLayerFactory = &factory_;
  }
  ~PageGraphics() {
    g_DrawLayerFactory = nullptr;
    g_GllHost = saved_loader_;
  }
  PageGraphics(const PageGraphics&) = delete;
  PageGraphics& operator=(const PageGraphics&) = delete;

 private:
  CImageLoaderManager loader_;
  CImageLoaderManager* saved_loader_ = nullptr;
  CDrawLayerFactory factory_;
  ScopedPixelLibrary library_;
};

// What a stand-in slot effect saw: whether it was ended and the commands it was sent.
struct EffectSeen {
  bool ended = false;
  std::vector<std::int32_t> commands;
};

// An effect that only records what is done to it, standing in for an effect running on a slot.
class StandInEffect : public CEffect {
 public:
  explicit StandInEffect(EffectSeen& seen) : seen_(seen) {}
  const char* GetName() const override { return "stand_in"; }
  std::uint8_t GetType() const override { return 0; }
  std::int32_t Setup(CTimerManager*, void*, const PluginArgs&) override { return kRunning; }
  std::int32_t SetParam(const PluginArgs& args) override {
    seen_.commands.push_back(args.I32(0));
    return 0;
  }
  std::uint32_t Update(std::uint32_t) override { return 0; }
  void Stop() override { seen_.ended = true; }

 private:
  EffectSeen& seen_;
};

// A pausable timer manager for the test's life, which runs stand-in effects in a slot's field.
class SlotEffects {
 public:
  SlotEffects() : saved_(g_PausableTimerManager) { g_PausableTimerManager = &manager_; }
  ~SlotEffects() { g_PausableTimerManager = saved_; }
  SlotEffects(const SlotEffects&) = delete;
  SlotEffects& operator=(const SlotEffects&) = delete;

  // What the effect sees lives as long as the manager, which may end the effect after the test.
  const EffectSeen& Start(CEffect*& field) {
    EffectSeen& seen = seen_.emplace_back();
    auto* effect = new StandInEffect(seen);
    EXPECT_EQ(manager_.Add(effect, 0, 0, 0), CTimerManager::kAdded);
    effect->SetOwnerReference(&field);
    field = effect;
    return seen;
  }
  // The effects still running, after a pass that deletes the ended ones.
  std::uint32_t Running() {
    manager_.Advance(0);
    return manager_.GetCount();
  }

 private:
  std::list<EffectSeen> seen_;
  CTimerManager manager_;
  CTimerManager* saved_;
};

class VovPageTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    graphics_ = std::make_unique<PageGraphics>();
    page_ = std::make_unique<CVovPage>();
    ASSERT_EQ(page_->InitPageImage(nullptr, CVovPage::kWidth, CVovPage::kHeight), 0u);
  }
  void TearDown() override {
    page_.reset();
    graphics_.reset();
    DataFilesTest::TearDown();
  }

  std::unique_ptr<PageGraphics> graphics_;
  std::unique_ptr<CVovPage> page_;
};

}  // namespace page_test
