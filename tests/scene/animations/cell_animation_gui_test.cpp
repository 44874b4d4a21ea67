// A pattern animation and a picture part reach a real window (run under Xvfb): the pattern's
// sprite in the frame's layer moves to the frame that is due, the part draws its cell into a
// sprite's picture, and both are read back from the window after the clock has moved on.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "anim_file_writer.h"
#include "base/time/timer_manager.h"
#include "gfx/images/pixel_library.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/pattern_anim_task.h"
#include "scene/animations/picture_part.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"
#include "support/anim_test_pictures.h"
#include "support/fake_clock.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint32_t kBackground = 0x303030;
constexpr uint32_t kBoard = 0x808080;
constexpr int32_t kBoardX = 80;
constexpr int32_t kBoardY = 60;
constexpr int32_t kCellX = 10;
constexpr int32_t kCellY = 8;

class CellAnimationGuiTest : public LayerWindowTestBase {
 protected:
  CellAnimationGuiTest() : LayerWindowTestBase("cell animation test", kWidth, kHeight) {}
  void SetUp() override {
    SetPixelLib(&library_);
    LayerWindowTestBase::SetUp();
  }
  void TearDown() override {
    timers_.RemoveAll();
    LayerWindowTestBase::TearDown();
    SetPixelLib(nullptr);
  }

  ScopedFakeClock clock_;
  CTimerManager timers_;
  CPixelLibrary library_;
};

kvxtools::DagFileSpec WalkingSquares() {
  kvxtools::DagFileSpec spec;
  for (int16_t i = 0; i < 4; ++i) {
    spec.frames.push_back(kvxtools::PatternFrame(i, 100, static_cast<int16_t>(30 * i), 0));
    spec.pictures.push_back({SolidElg(20, 20, CellColour(i))});
  }
  return spec;
}

TEST_F(CellAnimationGuiTest, ThePatternAndThePartShowTheirDueFramesInTheWindow) {
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(kBackground, true);

  RefPtr<CDagFile> squares = MakeRef<CDagFile>();
  ASSERT_EQ(squares->LoadFromMemory(kvxtools::WriteDag(WalkingSquares()), false), 0u);
  PatternAnimOptions options;
  options.catch_up = true;
  options.base_x = 10;
  options.base_y = 10;
  auto pattern = std::make_unique<CPatternAnimTask>();
  ASSERT_EQ(pattern->Start(&timers_, layer, squares.get(), options), 0u);
  pattern.release();

  CImage board;
  ASSERT_EQ(board.Create(60, 40, 32, 0), 0u);
  board.FillRectArgb(0xFF000000 | kBoard, nullptr);
  CSprite board_sprite;
  ASSERT_EQ(board_sprite.SetImage(&board, nullptr, kBoardX, kBoardY), 0u);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&board_sprite, 0, 0), 0u);
  const std::vector<uint8_t> strip_elg = CellStripElg(4, 24, 24);
  CImage strip;
  ASSERT_EQ(strip.LoadFile32(nullptr, strip_elg.data(), static_cast<uint32_t>(strip_elg.size()), 0), 0u);
  CellSheetSetup setup;
  setup.cell_count = 4;
  setup.frame_time = 100;
  setup.sprite = &board_sprite;
  setup.x = kCellX;
  setup.y = kCellY;
  RefPtr<CCellSheet> sheet = MakeRef<CCellSheet>();
  ASSERT_EQ(sheet->Attach(&strip, setup), 0u);
  auto part = std::make_unique<CPicturePart>();
  ASSERT_EQ(part->Setup(&timers_, sheet.get(), nullptr, {}), 0);
  part.release();

  timers_.Dispatch(0);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);
  clock_.SetMilliseconds(1000 + 250);
  timers_.Dispatch(0);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);

  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  const auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  EXPECT_EQ(at(10 + 60 + 10, 20), CellColour(2)) << "the third square, 60 px on";
  EXPECT_EQ(at(15, 20), kBackground) << "the first square's place is clear again";
  EXPECT_EQ(at(kBoardX + kCellX + 12, kBoardY + kCellY + 12), CellColour(2)) << "the third cell";
  EXPECT_EQ(at(kBoardX + 4, kBoardY + 4), kBoard);
  EXPECT_TRUE(WritePng("cell_animation.png", *frame_.GetImage()));
  // The part tells the board's sprite of its rest frame when it ends: before the sprite goes.
  timers_.RemoveAll();
}

}  // namespace
