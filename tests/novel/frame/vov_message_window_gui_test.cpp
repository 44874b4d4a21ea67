// The message window in a real window (under Xvfb): a prepared page shows a speaker's name and a
// long Japanese sentence that the layout wraps; the frame picture's colour at the window's top
// corners, ink inside the text rectangle and none in the margins, ink in the name box, and the
// waiting mark where it belongs once the text is out. Written to message_window.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "novel/frame/vov_frame.h"
#include "novel/page/vov_page_fixture.h"
#include "platform/encoding/text_encoding.h"
#include "support/fake_clock.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/test_window.h"
#include "vov_message_window_fixture.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::int32_t kWindowY = 466;
constexpr std::int32_t kNameY = 427;
constexpr std::uint32_t kFrameColour = 0xFF203C78;
constexpr std::uint32_t kNameColour = 0xFF3C6428;
constexpr std::uint32_t kMarkColour = 0xFFE0C020;
// The text rectangle inside the window's margins (left 28, top 13, right 16, bottom 34).
constexpr std::int32_t kTextLeft = 28;
constexpr std::int32_t kTextTop = 13;
constexpr std::int32_t kTextRight = kWidth - 16;
constexpr std::int32_t kTextBottom = message_test::kWindowHeight - 34;
constexpr std::int32_t kMarkX = 756;
constexpr std::int32_t kMarkY = 115;

class MessageWindowGuiTest : public LayerWindowFilesTestBase {
 protected:
  MessageWindowGuiTest() : LayerWindowFilesTestBase("message window test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowFilesTestBase::SetUp();
    world_ = std::make_unique<message_test::FrameWorld>();
    world_->settings[kSettingTextBoxAlpha] = 255;
    message_test::WriteWindowPictures(game_, kFrameColour, kNameColour);
    message_test::WritePicture(game_, "SYS/MS_CURSR.ELG", message_test::kMarkCell, message_test::kMarkCell,
                               {kMarkColour}, 6);
    message_test::WriteButtonFile(game_);
    host_ = std::make_unique<CScriptHost>();
    novel_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(novel_->InitMessageWindow(nullptr, &world_->root), 0u);
    screen_->SetFrameImage(dynamic_cast<CImageCanvasBase*>(novel_->Page().PageImage()));
    ASSERT_EQ(novel_->PreparePage(false), 0);
  }
  void TearDown() override {
    screen_->SetFrameImage(&frame_);
    novel_.reset();
    host_.reset();
    world_.reset();
    LayerWindowFilesTestBase::TearDown();
  }
  std::vector<std::uint32_t> Show(const char* picture) {
    world_->timers().Dispatch(clock_.PreciseMilliseconds());
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    std::vector<std::uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    EXPECT_TRUE(WritePng(picture, shown, kWidth, kHeight));
    shown.resize(static_cast<std::size_t>(kWidth * kHeight));
    return shown;
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
    return shown[static_cast<std::size_t>(y * kWidth + x)] | 0xFF000000;
  }
  // Pixels of the rectangle (window coordinates, right and bottom excluded) not in `colour`.
  static int InkIn(const std::vector<std::uint32_t>& shown, std::int32_t top, std::int32_t left, std::int32_t right,
                   std::int32_t bottom, std::uint32_t colour) {
    int ink = 0;
    for (std::int32_t y = top; y < bottom; ++y) {
      for (std::int32_t x = left; x < right; ++x) ink += At(shown, x, y) != colour ? 1 : 0;
    }
    return ink;
  }

  ScopedPixelLibrary library_;
  ScopedFakeClock clock_;
  std::unique_ptr<message_test::FrameWorld> world_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> novel_;
};

TEST_F(MessageWindowGuiTest, APreparedPageShowsTheSpeakerTheWrappedTextAndTheWaitingMark) {
  CTextWindow& window = novel_->MessageWindow();
  const std::string text =
      plat::Utf8ToSjis("今日は朝から雨が降っていた。傘を忘れた私は、駅前の本屋で雨宿りをすることにした。");
  window.SetNames(plat::Utf8ToSjis("ミオ").c_str(), nullptr);
  ASSERT_EQ(window.SetText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0u);
  novel_->ShowTextWindow(window, true);
  ASSERT_EQ(window.Display(true), 0u);
  EXPECT_TRUE(window.icon_shown());
  clock_.Advance(10);
  const std::vector<std::uint32_t> shown = Show("message_window.png");

  EXPECT_EQ(At(shown, 0, kWindowY), kFrameColour) << "the window's top-left corner";
  EXPECT_EQ(At(shown, kWidth - 1, kWindowY), kFrameColour) << "the window's top-right corner";
  const std::int32_t top = kWindowY;
  // Ink on two lines inside the text rectangle, none in the margins (the mark lies in the
  // bottom margin and is counted there on its own).
  EXPECT_GT(InkIn(shown, top + kTextTop, kTextLeft, kTextRight, top + kTextTop + 22, kFrameColour), 50);
  EXPECT_GT(InkIn(shown, top + kTextTop + 22, kTextLeft, kTextRight, top + kTextBottom, kFrameColour), 50);
  EXPECT_EQ(InkIn(shown, top, 0, kWidth, top + kTextTop, kFrameColour), 0) << "top margin";
  EXPECT_EQ(InkIn(shown, top, 0, kTextLeft, kHeight, kFrameColour), 0) << "left margin";
  EXPECT_EQ(InkIn(shown, top, kTextRight, kWidth, kHeight, kFrameColour), 0) << "right margin";
  EXPECT_EQ(InkIn(shown, top + kTextBottom, 0, kMarkX, kHeight, kFrameColour), 0) << "bottom margin";
  EXPECT_GT(InkIn(shown, kNameY, 0, message_test::kNameWidth, kWindowY, kNameColour), 20) << "the speaker";
  EXPECT_EQ(At(shown, kMarkX, top + kMarkY), kMarkColour) << "the waiting mark";
  EXPECT_EQ(At(shown, kMarkX + message_test::kMarkCell - 1, top + kMarkY + message_test::kMarkCell - 1), kMarkColour);
  EXPECT_EQ(At(shown, kMarkX - 1, top + kMarkY), kFrameColour);
}

}  // namespace
