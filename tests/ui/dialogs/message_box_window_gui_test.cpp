// An OK/Cancel message box over a game frame in a real window (run under Xvfb): the frame's draw
// layer composes the box's pieces, its half-transparent interior, the text and the two buttons
// over the background, and the test reads back what the window shows. Written to
// message_box.png in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/system/app_hooks.h"
#include "message_box_pictures.h"
#include "resource/archives/file_system.h"
#include "scene/drawables/draw_layer.h"
#include "support/data_files_fixture.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/temp_game_folder.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/gui_root_window.h"

namespace {

constexpr int32_t kWidth = CMessageBox::kScreenWidth;
constexpr int32_t kHeight = CMessageBox::kScreenHeight;
constexpr uint32_t kBackground = 0x608050;
// The least box, centred: 252 × 134 at (274, 233); its inner panel 226 × 124 at (287, 238).
constexpr int32_t kBoxX = 274;
constexpr int32_t kBoxY = 233;
constexpr int32_t kBoxRight = kBoxX + 252;
constexpr int32_t kBoxBottom = kBoxY + 134;
constexpr int32_t kOkX = kBoxX + 13 + (226 - 180) / 2;
constexpr int32_t kButtonY = kBoxBottom - 40;

class MessageBoxWindowTest : public LayerWindowTestBase {
 protected:
  MessageBoxWindowTest() : LayerWindowTestBase("message box test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowTestBase::SetUp();
    ASSERT_TRUE(folder_.Enter(game_, &files_));
    gui_test::WriteMessageBoxPictures(game_);
    ASSERT_EQ(background_.Create(kWidth, kHeight, 32, 0), 0u);
    background_.FillRectArgb(0xFF000000 | kBackground, nullptr);
    static_cast<CDrawLayer*>(frame_.GetLayer())->SetBackgroundImage(&background_, 0, 0, true);
    running_ = this;
    g_FrameProcedureHook = &PresentAndEnd;
    box_.Setup();
    GuiRootWindow().SetTooltipFont(nullptr);
  }
  void TearDown() override {
    g_FrameProcedureHook = nullptr;
    folder_.Leave();
    LayerWindowTestBase::TearDown();
  }

  // The first frame of the box is presented and read back; then the game ends.
  static int PresentAndEnd() {
    EXPECT_EQ(running_->screen_->UpdateScreen(), 0u);
    running_->shown_ = ShownPixels(*running_->window_, kWidth, kHeight);
    return 0;
  }
  uint32_t At(int32_t x, int32_t y) const { return shown_.at(static_cast<size_t>(y * kWidth + x)) & 0xFFFFFF; }

  static inline MessageBoxWindowTest* running_ = nullptr;
  ScopedPixelLibrary pixels_;
  test_support::TempGameFolder game_;
  CFileSystem files_;
  CImage background_;
  CMessageBox box_;
  std::vector<uint32_t> shown_;
  test_support::DataFolderSwitch folder_;
};

TEST_F(MessageBoxWindowTest, TheBoxPiecesAndButtonsLieWhereTheGeometrySays) {
  EXPECT_EQ(box_.Show(1, "Save the game?", CMessageBox::kCentred, CMessageBox::kCentred, -1, &frame_),
            CMessageBox::kGameEnded);
  ASSERT_EQ(shown_.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("message_box.png", shown_, kWidth, kHeight));

  const uint32_t corner = gui_test::kBoxCorner & 0xFFFFFF;
  for (const auto& [x, y] : {std::pair{kBoxX, kBoxY}, {kBoxRight - 1, kBoxY}, {kBoxX, kBoxBottom - 1},
                             {kBoxRight - 1, kBoxBottom - 1}, {kBoxX + 12, kBoxY + 4}}) {
    EXPECT_EQ(At(x, y), corner) << x << "," << y;
  }
  EXPECT_EQ(At(kBoxX + 13, kBoxY), gui_test::kBoxTopBar & 0xFFFFFF);
  EXPECT_EQ(At(kBoxRight - 14, kBoxY + 4), gui_test::kBoxTopBar & 0xFFFFFF);
  EXPECT_EQ(At(kBoxX + 100, kBoxBottom - 5), gui_test::kBoxBottomBar & 0xFFFFFF);
  EXPECT_EQ(At(kBoxX, kBoxY + 5), gui_test::kBoxSideBar & 0xFFFFFF);
  EXPECT_EQ(At(kBoxRight - 1, kBoxBottom - 6), gui_test::kBoxSideBar & 0xFFFFFF);
  // Just outside, the frame shows.
  for (const auto& [x, y] : {std::pair{kBoxX - 1, kBoxY}, {kBoxRight, kBoxBottom - 1}, {kBoxX, kBoxY - 1},
                             {kBoxX + 100, kBoxBottom}}) {
    EXPECT_EQ(At(x, y), kBackground) << x << "," << y;
  }
  // The interior: the frame half covered by the panel colour (8, 17, 45).
  const uint32_t interior = At(kBoxX + 15, kBoxY + 7);
  const auto near = [](uint32_t value, uint32_t expected) { return std::abs(int(value) - int(expected)) <= 2; };
  EXPECT_TRUE(near(interior >> 16, (0x60 + 8) / 2)) << std::hex << interior;
  EXPECT_TRUE(near((interior >> 8) & 0xFF, (0x80 + 17) / 2)) << std::hex << interior;
  EXPECT_TRUE(near(interior & 0xFF, (0x50 + 45) / 2)) << std::hex << interior;
  // OK and Cancel, 104 pixels apart, their top 40 pixels above the bottom.
  EXPECT_EQ(At(kOkX, kButtonY), gui_test::kBoxButtonFace & 0xFFFFFF);
  EXPECT_EQ(At(kOkX + 75, kButtonY + 23), gui_test::kBoxButtonFace & 0xFFFFFF);
  EXPECT_NE(At(kOkX - 1, kButtonY), gui_test::kBoxButtonFace & 0xFFFFFF);
  EXPECT_NE(At(kOkX, kButtonY - 1), gui_test::kBoxButtonFace & 0xFFFFFF);
  EXPECT_EQ(At(kOkX + 104, kButtonY), gui_test::kBoxSecondButtonFace & 0xFFFFFF);
  EXPECT_EQ(At(kOkX + 104 + 75, kButtonY + 23), gui_test::kBoxSecondButtonFace & 0xFFFFFF);
  // The text: white glyphs with their blue outline somewhere in the text area.
  int white = 0;
  for (int32_t y = kBoxY + 17; y < kBoxY + 17 + 69; ++y) {
    for (int32_t x = kBoxX + 31; x < kBoxX + 31 + 194; ++x) white += At(x, y) == 0xFFFFFF;
  }
  EXPECT_GT(white, 20);
}

}  // namespace
