// The frame's waits driven frame by frame: a fake clock moved by the test's frame procedure and
// a player whose clicks, keys and pointer are planned by frame number. The timed waits, the
// message and choice waits of builder-made scenarios, the speeds at which a message prints, the
// voice's pan, the auto-hidden buttons and the button states.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "effects/table/builtin_effect_table.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_message_window_fixture.h"
#include "novel/page/vov_page_fixture.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "scene/sprites/sprite.h"
#include "sound/sound_channel_manager.h"
#include "sound/voice_table.h"
#include "support/data_files_fixture.h"
#include "support/fake_pcm_decoder.h"
#include "support/fake_sound_system.h"
#include "support/probe_task.h"
#include "support/sob_test_files.h"
#include "support/voiced_channels.h"
#include "tob_builder.h"
#include "ui/widgets/image_button.h"
#include "vov_frame_fixture.h"
#include "vov_wait_world.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kVkControl = 0x11;

class FrameWaitsTest : public vov_test::FrameTest {
 protected:
  // The choice the text log holds last, or null when its newest entry is no choice.
  const CTextLog::Choice* NewestChoice() {
    const CTextLog& log = frame_->TextLog();
    const CTextLog::Entry* newest = log.GetEntry(log.Count() - 1);
    if (newest == nullptr || newest->Kind() != 1) return nullptr;
    return &std::get<CTextLog::Choice>(newest->payload);
  }
};

// The game's channels with channel 6 for voices, and the one-second voice "V01".
struct VoiceChannels {
  VoiceChannels(vov_test::WaitWorld& world, const test_support::TempGameFolder& game) {
    channels.SetTaskManager(&world.timers);
    EXPECT_EQ(channels.SetChannelCount(8), 0u);
    EXPECT_EQ(channels.SetChannelClass(CVovFrame::kVoiceChannel, CSoundChannelManager::kVoiceClass), 0u);
    g_SoundChannels = &channels;
    game.WriteFile("VOICE/V01.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(44100, 1)}));
  }
  ~VoiceChannels() { g_SoundChannels = nullptr; }
  VoiceChannels(const VoiceChannels&) = delete;
  VoiceChannels& operator=(const VoiceChannels&) = delete;

  test_support::FakeSoundSystem sound;
  test_support::VoicedChannels channels;
};

TEST_F(FrameWaitsTest, TimedWaitsEndByTimeByClickBySkipKeyOrAtOnceWhileSkipping) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  // 0 ms: the first pass ends it.
  EXPECT_EQ(frame_->WaitTime(0, true), 0);
  EXPECT_EQ(World().frames, 1);
  // 100 ms: ends on the pass that passes it (120 ms).
  World().frames = 0;
  EXPECT_EQ(frame_->WaitTime(100, true), 0);
  EXPECT_EQ(World().frames, 6);
  // A click on frame 3 cuts it short; not when the wait is not clickable.
  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 3); };
  EXPECT_EQ(frame_->WaitTime(1000, true), 1);
  EXPECT_EQ(World().frames, 3);
  World().frames = 0;
  EXPECT_EQ(frame_->WaitTime(100, false), 0);
  EXPECT_EQ(World().frames, 6);
  // The skip key ends it as run out.
  World().frames = 0;
  World().player = [&](int frame) {
    if (frame == 2) World().Key(kVkControl, true);
  };
  EXPECT_EQ(frame_->WaitTime(1000, true), 0);
  EXPECT_EQ(World().frames, 2);
  World().Key(kVkControl, false);
  World().input.Update();
  // Skip mode and the message skip mark: 1 without a pass.
  World().player = nullptr;
  World().frames = 0;
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->WaitTime(1000, true), 1);
  frame_->SetSkipMode(false);
  frame_->SetMessageSkipMark(true);
  EXPECT_EQ(frame_->WaitTime(1000, true), 1);
  EXPECT_EQ(World().frames, 0);
  // The application ending ends every wait with -1.
  frame_->SetMessageSkipMark(false);
  World().give_up = 2;
  EXPECT_EQ(frame_->WaitTime(1000, true), -1);
  EXPECT_TRUE(frame_->ApplicationEnding());
}

TEST_F(FrameWaitsTest, OneClickCutsShortARunOfSkippableWaitsAndTheScenarioGoesOn) {
  TobBuilder builder;
  builder.Text("a");
  for (int i = 0; i < 3; ++i) builder.Command(20, {TobOperand::Value(1000)});
  builder.Text("b");
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(World().frames, 2);  // the first cut short, the next two at once
  EXPECT_EQ(std::string(frame_->TextBuffer().Text()), "ab");
  EXPECT_EQ(frame_->RepeatCounter(), 3u);
}

TEST_F(FrameWaitsTest, AFixedWaitRunsItsTimeWhateverTheReaderDoesAndEndsSkipping) {
  TobBuilder builder;
  builder.Command(21, {TobOperand::Value(100)});
  builder.Text("x");
  Load(builder);
  frame_->SetSkipMode(true);
  World().player = [&](int frame) {
    World().Mouse(frame % 2 == 1);
    World().Key(kVkControl, true);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 6);
  EXPECT_FALSE(frame_->SkipMode());
  // Ending while it waits stops the run.
  World().give_up = 3;
  EXPECT_EQ(Run(builder), -1);
}

TEST_F(FrameWaitsTest, AMessagePrintsAtTheSpeedOfItsLinesReadState) {
  struct Case {
    const char* what;
    bool read;
    std::uint8_t unread_at_once, unread_interval, read_at_once, read_interval, skip_read;
    std::uint32_t delay;
    bool skip_mark;
  };
  const Case cases[] = {
      {"unread, interval", false, 0, 30, 0, 20, 0, 30, false},
      {"unread, interval 0 is 1", false, 0, 0, 0, 20, 0, 1, false},
      {"unread at once", false, 1, 30, 0, 20, 1, 0, false},
      {"read, interval", true, 0, 30, 0, 20, 0, 20, false},
      {"read at once", true, 0, 30, 1, 20, 0, 0, false},
      {"read, skipped", true, 0, 30, 0, 20, 1, 0, true},
  };
  ASSERT_EQ(frame_->PreparePage(false), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings()[kSettingUnreadTextAtOnce] = c.unread_at_once;
    Settings()[kSettingUnreadTextInterval] = c.unread_interval;
    Settings()[kSettingReadTextAtOnce] = c.read_at_once;
    Settings()[kSettingReadTextInterval] = c.read_interval;
    Settings()[kSettingSkipReadText] = c.skip_read;
    frame_->SetLineRead(c.read);
    frame_->SetMessageSkipMark(false);
    const std::uint8_t text[] = {'a', 'b'};
    ASSERT_TRUE(frame_->TextBuffer().Append(text));
    EXPECT_EQ(frame_->FlushText(), 0);
    EXPECT_EQ(frame_->MessageWindow().char_delay(), c.delay);
    EXPECT_EQ(frame_->MessageSkipMark(), c.skip_mark);
    EXPECT_TRUE(frame_->TextBuffer().Empty());
  }
  EXPECT_EQ(frame_->FlushText(), 1);  // nothing to flush
}

TEST_F(FrameWaitsTest, FlushedMessagesGoToTheBacklogWithTheirNames) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  frame_->TextLog().SetCapacity(4);
  frame_->SetNames("\x88\xa4", "V001");
  const std::uint8_t text[] = {'h', 'i'};
  ASSERT_TRUE(frame_->TextBuffer().Append(text));
  ASSERT_EQ(frame_->FlushText(), 0);
  const CTextLog::Entry* entry = frame_->TextLog().GetEntry(0);
  ASSERT_NE(entry, nullptr);
  const auto& message = std::get<CTextLog::Message>(entry->payload);
  EXPECT_EQ(message.record, (std::vector<std::uint8_t>{'h', 'i', 0, 0}));
  EXPECT_EQ(message.speaker, std::optional<std::string>("\x88\xa4"));
  EXPECT_EQ(message.voice, std::optional<std::string>("V001"));
  EXPECT_EQ(frame_->ReplayVoice(), "V001");
  EXPECT_TRUE(frame_->SpeakerName().empty());
}

TEST_F(FrameWaitsTest, AFlushedMessageEndsTheWindowsEffectsAndAnEmptyFlushKeepsThem) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  ProbeLog first;
  ProbeLog second;
  auto* running = new ProbeTask(first);
  auto* other = new ProbeTask(second);
  ASSERT_EQ(World().pausable.Add(running, 0, 0, 0), CTimerManager::kAdded);
  ASSERT_EQ(World().pausable.Add(other, 0, 0, 0), CTimerManager::kAdded);
  frame_->HoldWindowTask(0, running);
  frame_->HoldWindowTask(1, other);
  ASSERT_EQ(frame_->FlushText(), 1);
  EXPECT_EQ(frame_->WindowTask(0), running) << "no message, nothing ends";
  const std::uint8_t text[] = {'n', 'e', 'w'};
  ASSERT_TRUE(frame_->TextBuffer().Append(text));
  ASSERT_EQ(frame_->FlushText(), 0);
  EXPECT_EQ(frame_->WindowTask(0), nullptr);
  EXPECT_EQ(frame_->WindowTask(1), nullptr);
  EXPECT_EQ(first.stops, 1);
  EXPECT_EQ(second.stops, 1);
  World().pausable.Advance(1);
  EXPECT_TRUE(first.deleted);
  EXPECT_TRUE(second.deleted);
}

TEST_F(FrameWaitsTest, TheChoiceListEndsAtTheFirstAbsentText) {
  TobBuilder builder;
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("A"), TobOperand::String("B"), TobOperand::Absent(),
                       TobOperand::String("E")});
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(World().frames, 0);  // no text: no wait
  EXPECT_EQ(frame_->ChoiceCount(), 2u);
  ASSERT_EQ(frame_->ChoiceList().GetItemCount(), 2);
  EXPECT_EQ(frame_->ChoiceList().GetItem(1)->text, "B");
}

// A message, a two-way choice answered by a click on the second item, and the text after it.
TobBuilder ChoiceScenario() {
  TobBuilder builder;
  builder.Text("Q");
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("one"), TobOperand::String("two")});
  builder.Command(17);
  builder.Text("after");
  return builder;
}

TEST_F(FrameWaitsTest, AClickedChoiceGoesToTheConfiguredWordsAndTheBacklog) {
  struct Case {
    const char* what;
    bool bind_in_memory;
  };
  for (const Case c : {Case{"bound word in script memory", true}, Case{"bound word outside it", false}}) {
    SCOPED_TRACE(c.what);
    const std::uint32_t picked = NewWord(0xAAAA);
    const std::uint32_t bound = NewWord(0xBBBB);
    CScriptHost::ConfigWords words{};
    words[0] = c.bind_in_memory ? bound : 0xFFFFFFF0u;
    words[1] = picked;
    frame_->SetConfigWords(words);
    frame_->TextLog().SetCapacity(8);
    Load(ChoiceScenario());
    World().pointer.at = {0, 0};
    World().player = [&](int frame) {
      World().ClickAt(frame, 2);  // the message
      if (frame == 5) World().pointer.at = ItemCentre(1);
      World().ClickAt(frame, 7);
    };
    EXPECT_EQ(frame_->RunScript(), 0);
    EXPECT_EQ(host_->Memory().Word(picked), 1u);
    EXPECT_EQ(host_->Memory().Word(bound), c.bind_in_memory ? 1u : 0xBBBBu);
    const CTextLog::Choice* choice = NewestChoice();
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->selected, 1);
    ASSERT_EQ(choice->items.size(), 2u);
    EXPECT_EQ(choice->items[1].text, "two");
    EXPECT_FALSE(frame_->TextLog().ChoiceIsOpen());
    EXPECT_EQ(std::string(frame_->TextBuffer().Text()), "after");
    EXPECT_EQ(frame_->ChoiceCount(), 0u);
    EXPECT_FALSE(frame_->ChoiceList().IsActive());
    World().player = nullptr;
  }
}

TEST_F(FrameWaitsTest, AChoiceWithoutTextIsAPresentChoiceShownEmptyAlsoInASave) {
  TobBuilder builder;
  builder.Text("Q");
  builder.Command(13, {TobOperand::Absent(), TobOperand::String(""), TobOperand::Value(7), TobOperand::String("three")});
  builder.Command(17);
  builder.Text("after");
  frame_->TextLog().SetCapacity(8);
  Load(builder);
  World().pointer.at = {0, 0};
  std::uint32_t saved = 1;
  World().player = [&](int frame) {
    World().ClickAt(frame, 2);
    if (frame == 5) {
      ByteWriter out;
      saved = frame_->Save(out, false);
      World().pointer.at = ItemCentre(1);
    }
    World().ClickAt(frame, 7);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  World().player = nullptr;
  EXPECT_EQ(saved, 0u);
  const CTextLog::Choice* choice = NewestChoice();
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->selected, 1);
  ASSERT_EQ(choice->items.size(), 3u);
  EXPECT_EQ(choice->items[0].text, "");
  EXPECT_EQ(choice->items[1].text, "");
  EXPECT_EQ(choice->items[2].text, "three");
  EXPECT_EQ(std::string(frame_->TextBuffer().Text()), "after");
}

TEST_F(FrameWaitsTest, APickBlinksFiveTimesWithTheChoiceSoundAndTheWayBackStaysClosed) {
  Settings()[kSettingChoiceSound] = 1;
  Settings()[kSettingBackToChoices] = 1;
  Load(ChoiceScenario());
  World().player = [&](int frame) {
    World().ClickAt(frame, 2);
    if (frame == 5) World().pointer.at = ItemCentre(0);
    World().ClickAt(frame, 7);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  // Picked on frame 8; each blink is 40 ms off (3 passes) and 80 ms on (5 passes).
  EXPECT_EQ(World().frames, 8 + 5 * 8);
  // Without a game host no snapshot is taken, so the way back stays closed.
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kBackToChoiceButton), CVovFrame::kButtonDisabled);
}

TEST_F(FrameWaitsTest, TheSkipKeyOrSkipModeEndsAMessageAfterOnePass) {
  TobBuilder builder;
  builder.Text("message");
  builder.Command(16);
  builder.Text("next");
  Load(builder);
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 1);
  EXPECT_EQ(std::string(frame_->TextBuffer().Text()), "next");
  EXPECT_FALSE(frame_->MessageWindow().icon_shown());
  // Without skipping, a click while the text types finishes it; the next one goes on.
  Settings()[kSettingUnreadTextAtOnce] = 0;
  Settings()[kSettingUnreadTextInterval] = 200;
  Load(builder);
  World().player = [&](int frame) {
    World().ClickAt(frame, 2);
    World().ClickAt(frame, 5);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 5);
}

TEST_F(FrameWaitsTest, AutoModeGoesOnWhenTheAutoWaitHasPassed) {
  Settings()[kSettingAutoWait] = 100;
  Settings()[kSettingAutoWait + 1] = 0;
  TobBuilder builder;
  builder.Text("message");
  builder.Command(16);
  Load(builder);
  frame_->SetAutoMode(true);
  EXPECT_EQ(frame_->ButtonState(6), CVovFrame::kButtonLatched);
  EXPECT_EQ(frame_->RunScript(), 0);
  // The timer starts at the first turn and the wait ends on the pass past 100 ms.
  EXPECT_EQ(World().frames, 7);
}

TEST_F(FrameWaitsTest, TheVoicePansToItsSpeakersPlace) {
  struct Case {
    std::int32_t x;
    std::int32_t pan;
  };
  for (const Case c : {Case{-3, -5000}, Case{0, -5000}, Case{1, -4988}, Case{200, -2500}, Case{399, -13},
                       Case{400, 0}, Case{600, 2500}, Case{799, 4987}, Case{800, 5000}, Case{1200, 5000}}) {
    EXPECT_EQ(CVovFrame::VoicePan(c.x), c.pan) << c.x;
  }
}

TEST_F(FrameWaitsTest, AutoHiddenButtonsShowOnlyWhenTheCursorReachesTheBottomRow) {
  Settings()[kSettingAutoHideButtons] = 1;
  TobBuilder builder;
  builder.Text("message");
  builder.Command(16);
  Load(builder);
  CSprite* sprite = dynamic_cast<CSprite*>(&static_cast<CImageButton*>(frame_->Button(0))->GetFace().GetDrawable());
  ASSERT_NE(sprite, nullptr);
  std::vector<bool> shown;
  std::vector<int> opacity;
  World().player = [&](int frame) {
    World().pointer.at = {100, frame < 5 ? 577 : CVovFrame::kButtonRowTop};
    shown.push_back(frame_->ButtonsShown());
    opacity.push_back(sprite->IsEnabled() ? sprite->GetOpacity() : -1);
    World().ClickAt(frame, 20);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  // Hidden above the row; from the pass that sees the cursor there, a fade of 200 ms.
  for (int frame = 1; frame <= 5; ++frame) EXPECT_FALSE(shown[frame - 1]) << frame;
  EXPECT_TRUE(shown[5]);
  EXPECT_GT(opacity[6], 0);
  EXPECT_LT(opacity[10], 255);
  EXPECT_GT(opacity[10], opacity[6]);
  EXPECT_EQ(opacity[15], 255);
}

TEST_F(FrameWaitsTest, ButtonStatesOutsideTheTenChangeNothing) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  std::vector<std::uint8_t> before;
  for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) before.push_back(frame_->ButtonState(i));
  EXPECT_EQ(frame_->SetButtonState(10, CVovFrame::kButtonLatched), 1);
  for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) EXPECT_EQ(frame_->ButtonState(i), before[i]) << i;
  // Stopping skip releases the latched skip button.
  frame_->SetSkipMode(true);
  frame_->SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonLatched);
  EXPECT_TRUE(frame_->StopSkip());
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonEnabled);
  EXPECT_FALSE(frame_->StopSkip());
}

TEST_F(FrameWaitsTest, TheIdleCursorHidesAfterTheReadersClickAndShowsAgainAtTheReset) {
  Settings()[kSettingHideIdleCursor] = 1;
  TobBuilder builder;
  builder.Text("message");
  builder.Command(16);
  builder.Command(20, {TobOperand::Value(200)});
  Load(builder);
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_FALSE(World().app.cursor_visible);
  frame_->ResetPage();
  EXPECT_TRUE(World().app.cursor_visible);
}

// The window is drawn before the reader's wait shows it: a hidden window starts on a clean page
// too, its pen back at the first line.
TEST_F(FrameWaitsTest, AMessageAfterTheScenarioHidTheWindowStartsOnACleanPage) {
  TobBuilder builder;
  builder.Text("AB");
  builder.Command(16);
  builder.Command(115, {TobOperand::Value(0)});
  builder.Text("AB");
  builder.Command(16);
  Load(builder);
  frame_->MessageWindow().SetIconAfterText(false);
  const auto page = [&] {
    const CImage& image = frame_->MessageWindow().text_image();
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
      for (std::int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(image.GetPixel(x, y));
    }
    return pixels;
  };
  std::vector<std::uint32_t> first;
  std::vector<std::uint32_t> second;
  World().player = [&](int frame) {
    if (frame == 1) first = page();
    if (frame == 4) second = page();
    World().ClickAt(frame, 2);
    World().ClickAt(frame, 5);
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == second) << "the second message is laid where the first was, alone";
}

TEST_F(FrameWaitsTest, TheMessageWindowShowsAtOnceWithItsButtonsOrFadesOverItsTime) {
  TobBuilder builder;
  builder.Command(115, {TobOperand::Value(1)});
  EXPECT_EQ(Run(builder), 0);
  // The run ends with the page reset; the state of the last command is looked at before.
  TobBuilder at_once;
  at_once.Command(115, {TobOperand::Value(1)});
  at_once.Command(20, {TobOperand::Value(0)});
  Load(at_once);
  bool window_shown = false;
  bool buttons_shown = false;
  World().player = [&](int) {
    window_shown = frame_->MessageWindowShown();
    buttons_shown = frame_->ButtonsShown();
  };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_TRUE(window_shown);
  EXPECT_TRUE(buttons_shown);
  // With auto-hidden buttons only the window shows.
  Settings()[kSettingAutoHideButtons] = 1;
  Load(at_once);
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_TRUE(window_shown);
  EXPECT_FALSE(buttons_shown);

  // A fade in of 100 ms: part of the way at 60 ms, whole at its end.
  TobBuilder fade;
  fade.Command(114, {TobOperand::Value(1), TobOperand::Value(100)});
  fade.Command(20, {TobOperand::Value(0)});
  Load(fade);
  std::vector<int> opacity;
  World().player = [&](int) { opacity.push_back(frame_->MessageWindow().GetOpacity()); };
  EXPECT_EQ(frame_->RunScript(), 0);
  ASSERT_GE(opacity.size(), 6u);
  EXPECT_GT(opacity[2], 0);
  EXPECT_LT(opacity[2], 255);
  EXPECT_EQ(opacity.back(), 255);
  EXPECT_EQ(World().frames, 6);  // five passes of the fade, one of the wait
  // While skipping the window shows at once; the application ending stops the fade with -1.
  Load(fade);
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 0);
  Load(fade);
  World().give_up = 2;
  EXPECT_EQ(frame_->RunScript(), -1);
}

TEST_F(FrameWaitsTest, ATaskWaitEndsWithItsTaskOrCutsItShortAndTheResetRemovesAPendingOne) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  ProbeLog log;
  auto* task = new ProbeTask(log);
  task->on_update = [&](std::uint32_t) { return World().frames >= 3 ? 1u : 0u; };
  ASSERT_EQ(World().pausable.Add(task, 0, 0, 0), 0u);
  EXPECT_EQ(frame_->WaitTask(task, true, true), 0);
  EXPECT_TRUE(log.deleted);
  // A click cuts a stoppable wait short and removes the task.
  ProbeLog second;
  auto* endless = new ProbeTask(second);
  ASSERT_EQ(World().pausable.Add(endless, 0, 0, 0), 0u);
  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  EXPECT_EQ(frame_->WaitTask(endless, true, true), 1);
  EXPECT_EQ(second.stops, 1);
  // One the application's end left pending goes with the page.
  ProbeLog third;
  auto* pending = new ProbeTask(third);
  ASSERT_EQ(World().pausable.Add(pending, 0, 0, 0), 0u);
  World().player = nullptr;
  World().give_up = World().frames + 2;
  EXPECT_EQ(frame_->WaitTask(pending, true, false), -1);
  EXPECT_EQ(third.stops, 0);
  frame_->ResetPage();
  EXPECT_EQ(third.stops, 1);
  World().pausable.Advance(World().clock.PreciseMilliseconds());
  EXPECT_TRUE(second.deleted);
  EXPECT_TRUE(third.deleted);
}

TEST_F(FrameWaitsTest, ThePlayClockAddsTheTimeOfEachRunAndItsStopEndsSkipping) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  frame_->StartClock();
  EXPECT_EQ(frame_->WaitFixed(100), 0);
  frame_->SetSkipMode(true);
  frame_->StopClock();
  EXPECT_EQ(frame_->PlayTime(), 120u);
  EXPECT_FALSE(frame_->SkipMode());
  frame_->StartClock();
  World().clock.Advance(30);
  frame_->StopClock();
  EXPECT_EQ(frame_->PlayTime(), 150u);
}

TEST_F(FrameWaitsTest, InterruptionsNeedInputAllowedAndTheirSettings) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  World().Mouse(true);
  World().input.Update();
  EXPECT_TRUE(frame_->IsInterrupted(CVovFrame::kInterruptClick));
  EXPECT_FALSE(frame_->IsInterrupted(CVovFrame::kInterruptSkip));
  Settings()[kSettingClickEndsWaits] = 0;
  EXPECT_FALSE(frame_->IsInterrupted(CVovFrame::kInterruptClick));
  Settings()[kSettingAlwaysSkip] = 1;
  EXPECT_TRUE(frame_->IsInterrupted(CVovFrame::kInterruptSkip));
  frame_->SetInputAllowed(false);
  EXPECT_FALSE(frame_->IsInterrupted(CVovFrame::kInterruptClick | CVovFrame::kInterruptSkip));
}

TEST_F(FrameWaitsTest, AMessagesVoicePlaysOnChannelSixPannedToItsSpeaker) {
  VoiceChannels voices(World(), game_);
  test_support::VoicedChannels& channels = voices.channels;
  Settings()[kSettingPositionalVoices] = 1;
  TobBuilder builder;
  builder.Command(25, {TobOperand::String("Aki"), TobOperand::String("V01")});
  builder.Text("voiced");
  builder.Command(16);
  struct Case {
    std::int32_t x;
    std::int32_t pan;
  };
  for (const Case c : {Case{200, -2500}, Case{600, 2500}, Case{1, -4988}}) {
    Load(builder);
    // The speaker stands in the second slot of the speakers' group.
    SpriteRecord* speaker = frame_->Page().Sprite(1, false, CVovFrame::kSpeakerGroup);
    ASSERT_NE(speaker, nullptr);
    speaker->character = 0;
    speaker->x = c.x;
    std::int32_t pan = -1;
    bool playing = false;
    World().player = [&](int frame) {
      if (frame == 2) {
        pan = channels.GetChannel(CVovFrame::kVoiceChannel)->pan;
        playing = frame_->VoicePlaying();
      }
      World().ClickAt(frame, 3);
    };
    EXPECT_EQ(frame_->RunScript(), 0);
    EXPECT_EQ(pan, c.pan) << c.x;
    EXPECT_TRUE(playing);
    EXPECT_FALSE(frame_->VoicePlaying());  // the click ended it
    speaker->character = kFreeSprite;
  }
}

TEST_F(FrameWaitsTest, TheSettingThatWaitsForVoicesEndsTheMessageAfterItsVoiceAlsoOutOfAutoMode) {
  VoiceChannels voices(World(), game_);
  test_support::VoicedChannels& channels = voices.channels;
  Settings()[kSettingWaitForVoice] = 1;
  Settings()[kSettingUnreadTextAtOnce] = 0;
  TobBuilder builder;
  builder.Command(25, {TobOperand::String("Aki"), TobOperand::String("V01")});
  builder.Text("a voiced line long enough to type for a while");
  builder.Command(16);
  Load(builder);
  ASSERT_FALSE(frame_->AutoMode());
  bool typed_at_once = false;
  World().player = [&](int frame) {
    if (frame == 1) typed_at_once = frame_->MessageWindow().type_state() == CTextWindow::TypeState::kFinished;
    if (frame == 5) channels.StopChannel(CVovFrame::kVoiceChannel);
  };
  EXPECT_EQ(frame_->RunScript(), 0) << "no click needed";
  EXPECT_TRUE(typed_at_once);
  EXPECT_LT(World().frames, 200);
}

}  // namespace
