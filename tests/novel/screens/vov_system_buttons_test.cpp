// The frame's system commands with a game host that records what it is asked: clicks on enabled
// and disabled buttons, F keys with and without the skip key under both settings of the skip key,
// the notices they slide in, skip mode's two results, a quick load that ends a scenario's wait
// with the run's result 6, and the settings script whose change flags lay the window out again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "novel/frame/vov_frame_fixture.h"
#include "novel/frame/vov_recording_game_host.h"
#include "platform/encoding/text_encoding.h"
#include "script/game_host_access.h"
#include "support/log_capture.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/fonts/text_image.h"

namespace {

using kvxtools::TobBuilder;

constexpr std::uint32_t kVkShift = 0x10;
constexpr std::uint32_t kVkControl = 0x11;
constexpr std::uint32_t kVkF1 = 0x70;
constexpr std::uint32_t kVkS = 0x53;
constexpr std::int32_t kSaveButton = 3;
constexpr std::int32_t kSettingsButton = 8;

std::vector<std::uint32_t> Pixels(const CImage& image) {
  std::vector<std::uint32_t> pixels;
  for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
    for (std::int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(image.GetPixel(x, y));
  }
  return pixels;
}

class SystemButtonsTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    g_MessageBox.Setup();
    g_MessageBox.SetOwnerWindow(&World().root);
    game_host_ = std::make_unique<vov_test::RecordingGameHost>(*host_);
    ASSERT_EQ(frame_->PreparePage(false), 0);
  }
  void TearDown() override {
    g_MessageBox.StopNotice();
    g_MessageBox.SetOwnerWindow(nullptr);
    game_host_.reset();
    FrameTest::TearDown();
  }

  // F1 + slot pressed with `modifier` held (0 none), then one poll of the handler.
  std::int32_t PressFunctionKey(std::int32_t slot, std::uint32_t modifier) {
    if (modifier != 0) World().Key(modifier, true);
    World().Key(kVkF1 + static_cast<std::uint32_t>(slot), true);
    World().input.Update();
    const std::int32_t result = frame_->HandleSystemButton(-1);
    World().Key(kVkF1 + static_cast<std::uint32_t>(slot), false);
    if (modifier != 0) World().Key(modifier, false);
    World().input.Update();
    return result;
  }
  // Whether the notice shows exactly the text (UTF-8, "%s" completed with `digit`).
  static bool NoticeReads(const char* utf8_text) {
    CImage expected;
    // The box's own notice font draws the expected line as it drew the notice.
    auto* font = const_cast<CGdiFont*>(&g_MessageBox.GetNoticeFont());
    if (text_image::CreateFromText(expected, plat::Utf8ToSjis(utf8_text).c_str(), font, 0) != 0) return false;
    const CImage& shown = g_MessageBox.GetNoticeImage();
    if (shown.GetWidth() != expected.GetWidth() || shown.GetHeight() != expected.GetHeight()) return false;
    for (std::int32_t y = 0; y < expected.GetHeight(); ++y) {
      for (std::int32_t x = 0; x < expected.GetWidth(); ++x) {
        if (shown.GetPixel(x, y) != expected.GetPixel(x, y)) return false;
      }
    }
    return true;
  }

  std::unique_ptr<vov_test::RecordingGameHost> game_host_;
};

TEST_F(SystemButtonsTest, AClickOnADisabledButtonDoesNothingAndNumbersPastTheCommandsAreNone) {
  frame_->SetButtonState(CVovFrame::kQuickSaveButton, CVovFrame::kButtonDisabled);
  EXPECT_EQ(frame_->HandleSystemButton(0), 0);
  EXPECT_EQ(frame_->HandleSystemButton(12), 0);
  EXPECT_TRUE(game_host_->saves.empty());
  EXPECT_EQ(g_MessageBox.GetNoticeTask(), nullptr);
  // Nothing pressed: nothing polled.
  EXPECT_EQ(frame_->HandleSystemButton(-1), 0);
  frame_->SetButtonState(CVovFrame::kQuickSaveButton, CVovFrame::kButtonEnabled);
  EXPECT_EQ(frame_->HandleSystemButton(0), CVovFrame::kCommandDone);
  EXPECT_EQ(game_host_->saves, (std::vector<std::pair<std::int32_t, std::int32_t>>{{11, -1}}));
  EXPECT_TRUE(NoticeReads("クイックセーブを実行しました"));
}

TEST_F(SystemButtonsTest, CtrlF3SavesIntoSlotTwoAndF3OnAnEmptySlotSaysSoWithTheFullWidthDigit) {
  Settings()[kSettingSkipKeyModifier] = 1;
  Settings()[kSettingQuickLoadUnasked] = 0;
  EXPECT_EQ(PressFunctionKey(2, kVkControl), CVovFrame::kCommandDone);
  EXPECT_EQ(game_host_->saves, (std::vector<std::pair<std::int32_t, std::int32_t>>{{11, 2}}));
  EXPECT_TRUE(NoticeReads("スロット３にセーブしました"));
  // Slot 2 holds nothing here: no question, the notice, no load.
  EXPECT_EQ(PressFunctionKey(2, 0), CVovFrame::kCommandDone);
  EXPECT_TRUE(NoticeReads("スロット３にデータは存在しません"));
  EXPECT_TRUE(game_host_->pending_load.empty());
  EXPECT_EQ(frame_->PendingRequest(), 0);
}

// A damaged save is refused before the run ends, with or without the question: the story stays.
TEST_F(SystemButtonsTest, AQuickLoadOfADamagedSaveSaysSoAndKeepsTheStory) {
  game_host_->damaged = true;
  for (const std::uint8_t unasked : {std::uint8_t{0}, std::uint8_t{1}}) {
    SCOPED_TRACE(::testing::Message() << "unasked " << int{unasked});
    Settings()[kSettingQuickLoadUnasked] = unasked;
    EXPECT_EQ(PressFunctionKey(0, 0), CVovFrame::kCommandDone);
    EXPECT_TRUE(NoticeReads("スロット１からのロードに失敗しました"));
    EXPECT_TRUE(game_host_->pending_load.empty());
    EXPECT_EQ(frame_->PendingRequest(), 0);
  }
}

TEST_F(SystemButtonsTest, TheSkipKeySettingChoosesWhichModifierSavesAndTheOtherLoads) {
  Settings()[kSettingQuickLoadUnasked] = 1;
  struct Row {
    std::uint8_t setting;
    std::uint32_t modifier;
    bool saves;
  };
  for (const Row& row : {Row{1, kVkControl, true}, Row{1, kVkShift, false}, Row{0, kVkShift, true},
                         Row{0, kVkControl, false}}) {
    SCOPED_TRACE(::testing::Message() << "setting " << int{row.setting} << " modifier " << row.modifier);
    Settings()[kSettingSkipKeyModifier] = row.setting;
    game_host_->saves.clear();
    game_host_->pending_load.clear();
    const std::int32_t result = PressFunctionKey(0, row.modifier);
    if (row.saves) {
      EXPECT_EQ(result, CVovFrame::kCommandDone);
      EXPECT_EQ(game_host_->saves, (std::vector<std::pair<std::int32_t, std::int32_t>>{{11, 0}}));
    } else {
      EXPECT_EQ(result, CVovFrame::kCommandLoaded);
      EXPECT_TRUE(game_host_->saves.empty());
      EXPECT_EQ(game_host_->pending_load, "DATA11_0.SAV");
      EXPECT_EQ(frame_->PendingRequest(), CVovFrame::kRequestLoad);
      EXPECT_TRUE(NoticeReads("スロット１からロードしました"));
    }
  }
}

TEST_F(SystemButtonsTest, SkipGoesOnWithThreeAndOffWithFourAndTheSelectScreensPollNoSkip) {
  EXPECT_EQ(frame_->HandleSystemButton(5), CVovFrame::kCommandSkipOn);
  EXPECT_TRUE(frame_->SkipMode());
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonLatched);
  EXPECT_EQ(frame_->HandleSystemButton(5), CVovFrame::kCommandSkipOff);
  EXPECT_FALSE(frame_->SkipMode());
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonEnabled);
  // The skip action polled on a select screen names button 5, which has no command there.
  CInputBindings* bindings = World().input.CreateBindings(20);
  bindings->AddBinding(kActionSkipToChoice, kSelectKeyboard, 0x1F);
  g_KeyBindings = bindings;
  World().Key(kVkS, true);
  World().input.Update();
  EXPECT_EQ(frame_->HandleSelectScreenButton(-1), 0);
  EXPECT_FALSE(frame_->SkipMode());
  // Its command 0 is the quick save.
  EXPECT_EQ(frame_->HandleSelectScreenButton(0), CVovFrame::kCommandDone);
  EXPECT_EQ(game_host_->saves.size(), 1u);
}

TEST_F(SystemButtonsTest, F1DuringAMessageWaitEndsTheRunWithSixAndTheSavesPath) {
  Settings()[kSettingQuickLoadUnasked] = 1;
  World().player = [&](int frame) {
    if (frame == 5) World().Key(kVkF1, true);
    if (frame == 6) World().Key(kVkF1, false);
  };
  TobBuilder builder;
  builder.Line();
  builder.Text("quick");
  builder.Command(16);
  builder.Line();
  builder.Text("never");
  builder.Command(16);
  EXPECT_EQ(Run(builder), CVovFrame::kCommandLoaded);
  EXPECT_EQ(game_host_->pending_load, "DATA11_0.SAV");
  EXPECT_EQ(frame_->PendingRequest(), CVovFrame::kRequestLoad);
  EXPECT_LT(World().frames, 10);
}

// A change flag raised by the settings script lays the window out again with the new settings;
// the message shown stays, drawn as it was, with its speaker's name.
TEST_F(SystemButtonsTest, TheSettingsScriptsChangeFlagKeepsTheMessageInTheWindowLaidOutAgain) {
  const std::uint32_t flags = host_->Memory().Allocate(8, true);
  frame_->SetConfigWord(5, flags);
  game_.WriteFile("SCRIPT/Config1.SOB",
                  sob_test::AsText(sob_test::Assemble(".kind script\n  StoreImm 1, " + std::to_string(flags + 4) +
                                                      "\n  Return\n")
                                       .bytes));
  CTextWindow& window = frame_->MessageWindow();
  const std::string message = plat::Utf8ToSjis("まだ読んでいる行");
  window.SetText(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
  window.SetNames("Mio", nullptr);
  window.SetCharDelay(0);
  ASSERT_EQ(window.Display(true), 0u);
  const std::vector<std::uint32_t> before = Pixels(window.text_image());
  ASSERT_NE(std::count(before.begin(), before.end(), before.front()), static_cast<std::ptrdiff_t>(before.size()))
      << "the message is drawn";

  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandDone);
  EXPECT_EQ(host_->Memory().Word(flags + 4), 1u) << "the script ran and raised the second flag";
  const std::span<const std::uint8_t> kept = window.text();
  EXPECT_EQ(std::string(kept.begin(), kept.end()), message);
  EXPECT_EQ(window.name(), "Mio");
  EXPECT_EQ(Pixels(window.text_image()), before) << "the message drawn again";
}

// The settings screen: the window fades out over 100 ms before the script runs and back in after
// it with screen effects on (five 20 ms passes each way), goes and comes at once without them, and
// the application ending during the fade ends the command.
TEST_F(SystemButtonsTest, TheWindowFadesAroundTheSettingsScreenOnlyWithScreenEffects) {
  const std::uint32_t ran = NewWord(0);
  game_.WriteFile("SCRIPT/Config1.SOB",
                  sob_test::AsText(sob_test::Assemble(".kind script\n  StoreImm 1, " + std::to_string(ran) +
                                                      "\n  Return\n")
                                       .bytes));
  frame_->ShowMessageWindow(true, false);
  std::vector<int> opacity;
  std::vector<bool> shown;
  World().player = [&](int) {
    opacity.push_back(frame_->MessageWindow().GetOpacity());
    shown.push_back(frame_->MessageWindowShown());
  };

  Settings()[kSettingScreenEffectsOff] = 0;
  World().frames = 0;
  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandDone);
  EXPECT_EQ(host_->Memory().Word(ran), 1u);
  ASSERT_EQ(World().frames, 10);
  EXPECT_GT(opacity[2], 0);
  EXPECT_LT(opacity[2], 255) << "part of the way out";
  EXPECT_LT(opacity[7], opacity[8]) << "coming back in";
  EXPECT_TRUE(frame_->MessageWindowShown());
  EXPECT_EQ(frame_->MessageWindow().GetOpacity(), 255);

  Settings()[kSettingScreenEffectsOff] = 1;
  World().frames = 0;
  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandDone);
  EXPECT_EQ(World().frames, 0);
  EXPECT_TRUE(frame_->MessageWindowShown());

  Settings()[kSettingScreenEffectsOff] = 0;
  World().frames = 0;
  World().give_up = 2;
  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandAppEnding);
}

// The application ends while the settings screen waits for the player: the log says so, and does
// not blame the script; a screen whose script is missing could not run.
TEST_F(SystemButtonsTest, AnEndDuringTheSettingsScreenIsLoggedAsTheApplicationEnding) {
  game_.WriteFile("SCRIPT/Config1.SOB",
                  sob_test::AsText(sob_test::Assemble(".kind script\nwait:\n  Yield\n  Jump wait\n").bytes));
  Settings()[kSettingScreenEffectsOff] = 1;
  World().frames = 0;
  World().give_up = 3;
  LogCapture log;
  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandAppEnding);
  EXPECT_EQ(log.Last(), "the novel frame ends: the application is ending while the script \"Config1\" runs");
  World().give_up = 400;
  EXPECT_EQ(frame_->HandleSystemButton(kSaveButton), CVovFrame::kCommandAppEnding);
  EXPECT_EQ(log.Last(), "the novel frame ends: the script \"SaveLoad\" could not run");
}

}  // namespace
