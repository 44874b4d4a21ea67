// The text history screen over a prepared page, played frame by frame: where it opens, where the
// paging keys, the wheel and the scroll bar take it and when they close it, the rows that a voice
// can be replayed from, and everything it greyed, paused, loaded and showed given back on closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "novel/frame/vov_frame_fixture.h"
#include "pixel/formats/pixel_format_codes.h"
#include "sound/sound_channel_manager.h"
#include "support/fake_pcm_decoder.h"
#include "support/fake_sound_system.h"
#include "support/software_surfaces.h"
#include "support/voiced_channels.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkPageUp = 0x21;
constexpr std::uint32_t kVkEnd = 0x23;
constexpr std::uint32_t kVkHome = 0x24;
constexpr std::int32_t kRowX = 300;
constexpr std::int32_t kPageChannel = 5;

class TextHistoryScreenTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    message_test::WritePicture(game_, "SYS/TH_BASE.ELG", 800, 600, {0x80000000});
    message_test::WritePicture(game_, "SYS/TH_CLOSE.ELG", 24, 16, {0xFFC0C0C0, 0xFFE0E0E0, 0xFF808080}, 3);
    message_test::WritePicture(game_, "SYS/TH_BAR.ELG", 24, 40, {0xFF6080A0, 0xFF80A0C0, 0xFF405060, 0xFF303030}, 4);
    message_test::WritePicture(game_, "SYS/TH_UP.ELG", 24, 16, {0xFF6080A0}, 4);
    message_test::WritePicture(game_, "SYS/TH_DOWN.ELG", 24, 16, {0xFF6080A0}, 4);
    message_test::WritePicture(game_, "SYS/TH_VOICE.ELG", 634, 198, {0x40FFFFFF});
    for (const char* icon : {"X", "Y", "Aki"}) {
      message_test::WritePicture(game_, std::string("SYS/TH_") + icon + ".ELG", 100, 100, {0xFF906030});
    }
    game_.WriteFile("VOICE/V0.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(4410, 1)}));
    game_.WriteFile("SE/SE_SEL2.OGG", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(441, 1)}));
    ASSERT_EQ(screen_frame_.Create(800, 600, 32, CImagePart::kLayerAndDrawList), 0u);
    screen_.SetFrameImage(&screen_frame_);
    g_ScreenManager = &screen_;
    channels_.SetTaskManager(&World().timers);
    ASSERT_EQ(channels_.SetChannelCount(8), 0u);
    ASSERT_EQ(channels_.SetChannelClass(CVovFrame::kVoiceChannel, CSoundChannelManager::kVoiceClass), 0u);
    g_SoundChannels = &channels_;
    host_->Voices() = channels_.table;  // the game's channels read the host's table
    g_KeyBindings->AddBinding(kActionCancel, kSelectKeyboard, 0x01);  // Escape
    ASSERT_EQ(frame_->PreparePage(false), 0);
    Settings()[kSettingScreenEffectsOff] = 1;
    widgets_before_ = g_WidgetManager.GetCount();
  }
  void TearDown() override {
    g_SoundChannels = nullptr;
    channels_.SetTaskManager(nullptr);  // the world's timers go first
    FrameTest::TearDown();
    g_ScreenManager = nullptr;
  }

  // `count` messages "m<i>"; the even ones are Aki's with the voice "V<i>", the odd ones have
  // neither speaker nor voice.
  void FillLog(std::int32_t count) {
    CTextLog& log = frame_->TextLog();
    ASSERT_EQ(log.SetCapacity(64), 0u);
    for (std::int32_t i = 0; i < count; ++i) {
      const std::string text = "m" + std::to_string(i);
      const std::string voice = "V" + std::to_string(i);
      const bool voiced = i % 2 == 0;
      ASSERT_EQ(log.AppendMessage(reinterpret_cast<const std::uint8_t*>(text.data()),
                                  static_cast<std::uint32_t>(text.size()), 0, voiced ? "Aki" : nullptr,
                                  voiced ? voice.c_str() : nullptr, 0),
                0u);
    }
  }
  std::vector<std::int32_t> ShownEntries() const {
    std::vector<std::int32_t> entries;
    if (const HistoryRows* rows = frame_->ShownHistoryRows()) {
      for (const HistoryRow& row : *rows) entries.push_back(row.entry);
    }
    return entries;
  }
  void PressKeyAt(int frame, int at, std::uint32_t key) {
    if (frame == at) World().Key(key, true);
    if (frame == at + 1) World().Key(key, false);
  }
  void WheelAt(int frame, int at, bool towards) {
    auto* mouse = static_cast<CMessageMouse*>(World().input.GetMouse());
    const std::uint32_t delta = static_cast<std::uint16_t>(towards ? -120 : 120);
    if (frame == at) mouse->OnWheel(delta << 16);
    if (frame == at + 1) mouse->OnWheel(0);
  }
  CGuiElement* Child(std::int32_t id) {
    for (CGuiElement* child : World().root.GetChildren()) {
      if (child->GetId() == id) return child;
    }
    return nullptr;
  }
  // Everything the screen made is gone and what it changed is back.
  void ExpectClosed() {
    EXPECT_EQ(g_WidgetManager.GetCount(), widgets_before_);
    EXPECT_EQ(World().root.GetSavedLevelCount(), 0u);
    EXPECT_EQ(screen_.GetFrameImage(), &screen_frame_);
    EXPECT_EQ(frame_->ShownHistoryRows(), nullptr);
    EXPECT_EQ(frame_->CurrentWindow(), &frame_->MessageWindow());
    for (int group : {IAppServices::kMenuSave, IAppServices::kMenuLoad, IAppServices::kMenuBackToTitle}) {
      EXPECT_TRUE(World().app.menu_groups[static_cast<std::size_t>(group)]) << group;
    }
  }

  CImageCanvasEx screen_frame_;
  CScreenManager screen_;
  test_support::FakeSoundSystem sound_;
  test_support::VoicedChannels channels_;
  std::size_t widgets_before_ = 0;
};

TEST_F(TextHistoryScreenTest, TenEntriesOpenOnTheNewestPagePageBackAndTheWheelDownOnTheLastPageCloses) {
  FillLog(10);
  std::vector<std::vector<std::int32_t>> pages;
  bool bar_active = false;
  bool greyed = false;
  bool page_sound_loaded = false;
  World().player = [&](int frame) {
    if (frame == 2) {
      bar_active = Child(110) != nullptr && Child(110)->IsActive();
      greyed = !World().app.menu_groups[IAppServices::kMenuSave];
      page_sound_loaded = channels_.GetChannel(kPageChannel)->active != nullptr;
    }
    if (frame == 2 || frame == 5 || frame == 8 || frame == 11 || frame == 14) pages.push_back(ShownEntries());
    PressKeyAt(frame, 3, kVkPageUp);
    PressKeyAt(frame, 6, kVkHome);
    WheelAt(frame, 9, true);  // from the first page the wheel goes one down
    PressKeyAt(frame, 12, kVkEnd);
    WheelAt(frame, 15, true);
  };
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  EXPECT_EQ(pages, (std::vector<std::vector<std::int32_t>>{
                       {6, 7, 8, 9}, {2, 3, 4, 5}, {0, 1, 2, 3}, {1, 2, 3, 4}, {6, 7, 8, 9}}));
  EXPECT_EQ(World().frames, 15);  // closed in the turn of the wheel
  EXPECT_TRUE(bar_active);
  EXPECT_TRUE(greyed);
  EXPECT_TRUE(page_sound_loaded);
  ExpectClosed();
  EXPECT_EQ(channels_.GetChannel(kPageChannel)->active, nullptr);
}

TEST_F(TextHistoryScreenTest, WithThreeEntriesTheBarIsInactiveTheLastRowStaysEmptyAndTheWheelDownCloses) {
  FillLog(3);
  std::vector<std::int32_t> shown;
  bool bar_active = true;
  World().player = [&](int frame) {
    if (frame == 2) {
      shown = ShownEntries();
      bar_active = Child(110) != nullptr && Child(110)->IsActive();
    }
    PressKeyAt(frame, 3, kVkPageUp);  // nothing to page to
    WheelAt(frame, 6, true);
  };
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  EXPECT_EQ(shown, (std::vector<std::int32_t>{0, 1, 2, -1}));
  EXPECT_FALSE(bar_active);
  EXPECT_EQ(World().frames, 6);
  ExpectClosed();
}

TEST_F(TextHistoryScreenTest, OnlyAVoicedRowHasAnIconAndReplaysItsVoiceWhenClicked) {
  FillLog(2);
  HistoryRows rows;
  bool unvoiced_clickable = true;
  bool played_after_unvoiced = true;
  bool played_after_voiced = false;
  World().player = [&](int frame) {
    if (frame == 2) {
      rows = *frame_->ShownHistoryRows();
      unvoiced_clickable = Child(102) != nullptr && Child(102)->IsEnabled();
      World().pointer.at = {kRowX, 34 + 140 + 50};
    }
    World().ClickAt(frame, 3);
    if (frame == 6) {
      played_after_unvoiced = channels_.IsChannelPlaying(CVovFrame::kVoiceChannel);
      World().pointer.at = {kRowX, 34 + 50};
    }
    World().ClickAt(frame, 7);
    if (frame == 10) played_after_voiced = channels_.IsChannelPlaying(CVovFrame::kVoiceChannel);
    PressKeyAt(frame, 11, kVkEscape);
  };
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  EXPECT_EQ(rows[0].icon, "SYS/TH_Aki.ELG");
  EXPECT_EQ(rows[0].speaker, "Aki");
  EXPECT_EQ(rows[1].icon, "");
  EXPECT_FALSE(unvoiced_clickable);
  EXPECT_FALSE(played_after_unvoiced);
  EXPECT_TRUE(played_after_voiced);
  ExpectClosed();
}

TEST_F(TextHistoryScreenTest, TheCloseButtonClosesIt) {
  FillLog(2);
  World().player = [&](int frame) {
    if (frame == 3) World().pointer.at = {777, 30};
    World().ClickAt(frame, 3);
  };
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  EXPECT_EQ(World().frames, 4);
  ExpectClosed();
}

TEST_F(TextHistoryScreenTest, TheApplicationEndingWhileItIsOpenGivesMinusOneAndStillTakesItDown) {
  FillLog(6);
  World().give_up = 4;
  EXPECT_EQ(frame_->RunTextHistory(), -1);
  ExpectClosed();
}

TEST_F(TextHistoryScreenTest, TheHistoryButtonOpensItAndARightClickClosesIt) {
  FillLog(5);
  frame_->SetButtonState(CVovFrame::kHistoryButton, CVovFrame::kButtonEnabled);
  std::int32_t first = -1;
  World().player = [&](int frame) {
    if (frame == 2) first = frame_->HistoryFirstRow();
    auto* mouse = static_cast<CMessageMouse*>(World().input.GetMouse());
    if (frame == 3) mouse->OnButton(kMouseRight, true);
    if (frame == 4) mouse->OnButton(kMouseRight, false);
  };
  EXPECT_EQ(frame_->HandleSystemButton(static_cast<std::int32_t>(CVovFrame::kHistoryButton)),
            CVovFrame::kCommandHistoryClosed);
  EXPECT_EQ(first, 1);
  ExpectClosed();
}

// In a message wait, the press on the history button is the button's: the history opens when it
// is let go, and the message waits on until the reader clicks after the history closed.
TEST_F(TextHistoryScreenTest, AClickOnTheHistoryButtonInAMessageWaitOpensItWithoutGoingOn) {
  kvxtools::TobBuilder builder;
  builder.Text("one");
  builder.Command(16);
  builder.Text("two");
  builder.Command(16);
  Load(builder);
  std::int32_t opened_on = -1;
  World().player = [&](int frame) {
    World().ClickAt(frame, 3);
    if (frame == 8) World().pointer.at = {300 + 7 * 44 + 10, 588};
    World().ClickAt(frame, 8);
    if (frame == 12) opened_on = frame_->HistoryFirstRow();
    PressKeyAt(frame, 14, kVkEscape);
    if (frame == 18) World().pointer.at = {kRowX, 300};
    World().ClickAt(frame, 18);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(opened_on, 0);
  EXPECT_GE(World().frames, 18) << "the button's click did not end the second message's wait";
  ExpectClosed();
}

// The screen crosses in and out over the game page, which the screen manager shows.
class TextHistoryCrossTest : public TextHistoryScreenTest {
 protected:
  void SetUp() override {
    TextHistoryScreenTest::SetUp();
    vov_test::RegisterTransitions(filters_);
    g_TcpHost = &filters_;
    game_page_ = frame_->Page().Part(0);
    screen_.SetFrameImage(dynamic_cast<CImageCanvasBase*>(game_page_));
    frame_->Page().ClearBg(0x0000FF, 0);
    shown_ = surfaces_.Make(plat::SurfaceFormat::kXrgb8888, 800, 600);
    FillLog(3);
    // Each pass presents what the screen manager shows and reads a point of plain background.
    World().player = [this](int frame) {
      dynamic_cast<CImageCanvasBase*>(screen_.GetFrameImage())
          ->PresentDirty(0, nullptr, shown_.get(), kPixelFormatXrgb8888, true);
      blue_.push_back(SoftwareSurfaces::Pixel(*shown_, 50, 590) & 0xFFFFFF);
      PressKeyAt(frame, close_at_, kVkEscape);
    };
  }
  void TearDown() override {
    g_TcpHost = nullptr;
    TextHistoryScreenTest::TearDown();
  }

  CTcpPluginManager filters_;
  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> shown_;
  CImagePart* game_page_ = nullptr;
  std::vector<std::uint32_t> blue_;  // the point's colour, one per pass
  int close_at_ = 20;
};

TEST_F(TextHistoryCrossTest, WithScreenEffectsTheScreenCrossesIntoTheHistoryAndBackOverThreeHundredMilliseconds) {
  Settings()[kSettingScreenEffectsOff] = 0;
  CImagePart* back_page = game_page_->GetPartner();
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  // Passes 1-16 cross in (the start is latched at the first), the history serves 17-20, and the
  // close in pass 20 crosses back over passes 21-36.
  ASSERT_EQ(World().frames, 36);
  ASSERT_EQ(blue_.size(), 36u);
  const std::uint32_t history = blue_[16];
  EXPECT_GE(history, 0x7Cu) << "the game page under the history's half-dark base";
  EXPECT_LE(history, 0x82u);
  EXPECT_EQ(blue_[0], 0xFFu) << "0 ms: the game screen";
  EXPECT_GT(blue_[7], 0xB8u) << "140 ms: between the two";
  EXPECT_LT(blue_[8], 0xC0u) << "160 ms";
  EXPECT_EQ(blue_[15], history) << "300 ms: the history";
  EXPECT_TRUE(std::is_sorted(blue_.begin(), blue_.begin() + 16, std::greater<>()));
  EXPECT_EQ(blue_[20], history) << "the way back starts on the history";
  EXPECT_GT(blue_[28], history);
  EXPECT_LT(blue_[28], 0xFFu);
  EXPECT_EQ(blue_[35], 0xFFu) << "300 ms later: the game screen";
  EXPECT_TRUE(std::is_sorted(blue_.begin() + 20, blue_.end()));
  EXPECT_EQ(screen_.GetFrameImage(), dynamic_cast<CImageCanvasBase*>(game_page_));
  EXPECT_FALSE(game_page_->HasAttached());
  EXPECT_EQ(game_page_->GetPartner(), back_page) << "the game page has its back page again";
}

TEST_F(TextHistoryCrossTest, WithScreenEffectsOffTheScreenChangesAtOnce) {
  close_at_ = 3;
  EXPECT_EQ(frame_->RunTextHistory(), 0);
  ASSERT_EQ(World().frames, 3);
  EXPECT_LE(blue_[0], 0x80u) << "the history from the first pass on";
  frame_->RedrawFrontPage();
  dynamic_cast<CImageCanvasBase*>(screen_.GetFrameImage())
      ->PresentDirty(0, nullptr, shown_.get(), kPixelFormatXrgb8888, false);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*shown_, 50, 590) & 0xFFFFFF, 0xFFu) << "and the game screen right after";
}

TEST_F(TextHistoryCrossTest, TheApplicationEndingDuringTheCrossInClosesTheHistoryWithMinusOne) {
  Settings()[kSettingScreenEffectsOff] = 0;
  World().give_up = 5;
  EXPECT_EQ(frame_->RunTextHistory(), CVovFrame::kWaitAppEnding);
  EXPECT_EQ(World().frames, 5) << "no cross back";
  EXPECT_EQ(frame_->ShownHistoryRows(), nullptr);
  EXPECT_EQ(screen_.GetFrameImage(), dynamic_cast<CImageCanvasBase*>(game_page_));
  EXPECT_EQ(World().root.GetSavedLevelCount(), 0u);
}

}  // namespace
