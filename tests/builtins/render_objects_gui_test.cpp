// Render objects made and listed by the scripts' built-ins reach a real window (run under Xvfb)
// through the render pass: a transition drawable that draws its pattern on the screen, one that
// draws into a plain-coloured DirectDraw target shown stretched, and a render image of a part
// of the picture. The window is read back and written to render_objects.png.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "builtin_call.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/png_file.h"
#include "support/render_pass_window.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr uint32_t kPlain = 0x3060A0;

// Red across, green down, a blue line every 8 pixels: a piece out of place shows.
uint32_t SourceColour(int32_t x, int32_t y) {
  const uint32_t blue = x % 8 == 0 || y % 8 == 0 ? 0xFF : 0x40;
  return static_cast<uint32_t>(x * 4) << 16 | static_cast<uint32_t>(y * 5) << 8 | blue;
}

class RenderObjectsGuiTest : public WindowTestBase, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    BuildPixelTables();
    saved_trig_ = std::exchange(g_TrigTable, &trig_);
    ASSERT_NO_FATAL_FAILURE(display_.Open("render objects", kWidth, kHeight));
    saved_screen_ = std::exchange(g_ScreenManager, &display_.Screen());
  }
  void TearDown() override {
    g_ScreenManager = saved_screen_;
    g_TrigTable = saved_trig_;
  }

  uint32_t Picture(int32_t width, int32_t height) {
    CDDrawPicture* picture = nullptr;
    EXPECT_EQ(display_.Screen().CreatePicture(&picture, width, height, false), 0u);
    return picture != nullptr ? picture->ScriptHandle(Handles()) : 0;
  }
  std::vector<uint32_t> DrawFrame() { return display_.DrawFrame(); }

  CTrigTables trig_;
  RenderPassWindow display_;
  CTrigTables* saved_trig_ = nullptr;
  CScreenManager* saved_screen_ = nullptr;
};

TEST_F(RenderObjectsGuiTest, TransitionDrawablesAndARenderImageShowInTheWindow) {
  const uint32_t source = Picture(64, 48);
  auto* source_picture = dynamic_cast<CDDrawPicture*>(Handles().Get<CImageInterface>(source));
  ASSERT_NE(source_picture, nullptr);
  plat::LockedSurface locked;
  ASSERT_EQ(source_picture->GetSurface()->Lock(nullptr, locked), plat::DD_OK);
  for (int32_t y = 0; y < 48; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(locked.bits + static_cast<intptr_t>(y) * locked.pitch);
    for (int32_t x = 0; x < 64; ++x) row[x] = SourceColour(x, y);
  }
  ASSERT_EQ(source_picture->GetSurface()->Unlock(), plat::DD_OK);
  const uint32_t target = Picture(64, 48);
  auto* target_picture = dynamic_cast<CDDrawPicture*>(Handles().Get<CImageInterface>(target));
  ASSERT_EQ(target_picture->FillColor(kPlain >> 16, kPlain >> 8 & 0xFF, kPlain & 0xFF), 0u);

  // On the screen: the disc of pattern 31 at (20, 20).
  const uint32_t on_screen = Call(269, {0, source, 31, 20, 20, 160});
  ASSERT_NE(on_screen, 0u);
  // Into the target: the centred square of pattern 11, the target shown twice its size at (100, 20).
  const uint32_t into_target = Call(269, {target, source, 11, 100, 20, 0});
  ASSERT_NE(into_target, 0u);
  ASSERT_EQ(Call(309, {into_target, 128}), 0u);
  ASSERT_EQ(Call(284, {into_target, 128, 96}), 1u);
  // A render image of the source's lower right quarter at (20, 150).
  const uint32_t image = Call(260, {source, 32, 24, 64, 48, 20, 150});
  ASSERT_NE(image, 0u);
  for (const uint32_t object : {on_screen, into_target, image}) ASSERT_EQ(Call(271, {object, 1, 0}), 0u);

  const std::vector<uint32_t> shown = DrawFrame();
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("render_objects.png", shown, kWidth, kHeight));
  const auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  struct Probe {
    const char* what;
    int32_t x, y;
    uint32_t colour;
  };
  for (const Probe& p : {Probe{"disc centre", 20 + 32, 20 + 24, SourceColour(32, 24)},
                         Probe{"beyond the disc", 20 + 1, 20 + 1, 0},
                         Probe{"square of the target", 100 + 2 * 20, 20 + 2 * 10, SourceColour(20, 10)},
                         Probe{"target's plain colour", 100 + 2, 20 + 2, kPlain},
                         Probe{"target's far corner", 100 + 127, 20 + 95, kPlain},
                         Probe{"past the stretched target", 100 + 128, 20 + 96, 0},
                         Probe{"image's first pixel", 20, 150, SourceColour(32, 24)},
                         Probe{"image's last pixel", 20 + 31, 150 + 23, SourceColour(63, 47)},
                         Probe{"past the image", 20 + 32, 150, 0}}) {
    EXPECT_EQ(at(p.x, p.y), p.colour) << p.what;
  }

  // The level rises to the whole source; the first drawable goes.
  ASSERT_EQ(Call(309, {into_target, 256}), 0u);
  ASSERT_EQ(Call(276, {on_screen, 0}), 1u);
  const std::vector<uint32_t> later = DrawFrame();
  ASSERT_EQ(later.size(), shown.size());
  EXPECT_TRUE(WritePng("render_objects_later.png", later, kWidth, kHeight));
  const auto later_at = [&](int32_t x, int32_t y) { return later[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  EXPECT_EQ(later_at(100 + 2, 20 + 2), SourceColour(1, 1));
  EXPECT_EQ(later_at(20 + 32, 20 + 24), 0u) << "disabled";
}

}  // namespace
