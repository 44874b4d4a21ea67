// The system menu over a prepared page, clicked by a player frame by frame: every item's result,
// the items that the frame's buttons and the application's permissions disable, the right click
// that closes it, the questions answered yes and no, the short layout's ids, the slide and the
// handler's command behind a menu result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/settings/game_settings.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "novel/frame/vov_frame_fixture.h"
#include "novel/frame/vov_recording_game_host.h"
#include "pixel/formats/pixel_format_codes.h"
#include "platform/events/window_messages.h"
#include "script/script_memory.h"
#include "sound/sound_channel_manager.h"
#include "support/fake_pcm_decoder.h"
#include "support/fake_sound_system.h"
#include "support/log_capture.h"
#include "support/software_surfaces.h"
#include "support/voiced_channels.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::int32_t kItemX = 624;
constexpr std::int32_t kItemTop = 60;
constexpr std::int32_t kItemStep = 40;
constexpr std::int32_t kItemWidth = 150;
constexpr std::int32_t kItemHeight = 30;

// A layout of `count` items one below the other at x 624; item 0 of the full menu is a check
// button. The base picture is a grey panel.
void WriteMenu(const test_support::TempGameFolder& game, const std::string& layout, const std::string& base,
               std::int16_t count) {
  kvxtools::DgmFile file;
  for (std::int16_t i = 0; i < count; ++i) {
    const std::string name = layout + "_" + std::to_string(i) + ".ELG";
    message_test::WritePicture(game, "SYS/" + name, kItemWidth, kItemHeight,
                               {0xFF306090, 0xFF4080C0, 0xFF50A0F0, 0xFF303030}, 4);
    kvxtools::DgmPartRecord part;
    part.picture = name;
    part.type = i == 0 && count == 11 ? 4 : 1;
    part.x = kItemX;
    part.y = static_cast<std::int16_t>(kItemTop + i * kItemStep);
    file.parts.push_back(part);
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(file);
  game.WriteFile("SYS/" + layout + ".GMP", std::string(bytes.begin(), bytes.end()));
  message_test::WritePicture(game, "SYS/" + base + ".ELG", 186, 600, {0xC0202020});
}

class SystemMenuTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    WriteMenu(game_, "SM_BG", "SM_BASE", 11);
    WriteMenu(game_, "SM_BG2", "SM_BASE2", 8);
    // The questions show in the screen's frame picture.
    ASSERT_EQ(screen_frame_.Create(800, 600, 32, CImagePart::kLayerAndDrawList), 0u);
    screen_.SetFrameImage(&screen_frame_);
    g_ScreenManager = &screen_;
    g_MessageBox.Setup();
    g_MessageBox.SetOwnerWindow(&World().root);
    g_KeyBindings->AddBinding(kActionCancel, kSelectKeyboard, 0x01);  // Escape
    ASSERT_EQ(frame_->PreparePage(false), 0);
    // The history button waits for a second log entry; here it is on from the start.
    frame_->SetButtonState(CVovFrame::kHistoryButton, CVovFrame::kButtonEnabled);
    Settings()[kSettingScreenEffectsOff] = 1;
    widgets_before_ = g_WidgetManager.GetCount();
  }
  void TearDown() override {
    g_MessageBox.SetOwnerWindow(nullptr);
    FrameTest::TearDown();
    g_ScreenManager = nullptr;
  }

  // Places the pointer on the menu's place `row` and clicks at frame `at`.
  void ClickRow(int frame, int at, std::int32_t row) {
    if (frame == at) World().pointer.at = {kItemX + 20, kItemTop + row * kItemStep + 10};
    World().ClickAt(frame, at);
  }
  void RightClick(int frame, int at) {
    auto* mouse = static_cast<CMessageMouse*>(World().input.GetMouse());
    if (frame == at) mouse->OnButton(kMouseRight, true);
    if (frame == at + 1) mouse->OnButton(kMouseRight, false);
  }
  void PressKeyAt(int frame, int at, std::uint32_t key) {
    if (frame == at) World().Key(key, true);
    if (frame == at + 1) World().Key(key, false);
  }
  // The menu item with the id while the menu is open.
  CGuiElement* Item(std::int32_t id) {
    for (CGuiElement* child : World().root.GetChildren()) {
      if (child->GetId() == id) return child;
    }
    return nullptr;
  }
  // The menu was taken down: its widgets gone, the page's children back.
  void ExpectClosed() {
    EXPECT_EQ(g_WidgetManager.GetCount(), widgets_before_);
    EXPECT_EQ(World().root.GetSavedLevelCount(), 0u);
  }
  std::int32_t MenuClickingRow(std::int32_t row, std::int32_t layout = 0) {
    World().frames = 0;
    World().player = [this, row](int frame) { ClickRow(frame, 3, row); };
    return frame_->RunSystemMenu(layout);
  }

  CImageCanvasEx screen_frame_;
  CScreenManager screen_;
  std::size_t widgets_before_ = 0;
};

TEST_F(SystemMenuTest, EachItemGivesItsResultAndTheMenuIsTakenDownAfterwards) {
  struct Row {
    std::int32_t item;
    std::int32_t result;
  };
  for (const Row row : {Row{0, 9}, Row{1, 8}, Row{3, 10}, Row{4, 11}, Row{5, 12}, Row{6, 13}, Row{7, 14},
                        Row{10, CVovFrame::kCommandDone}}) {
    SCOPED_TRACE(row.item);
    EXPECT_EQ(MenuClickingRow(row.item), row.result);
    ExpectClosed();
    EXPECT_EQ(frame_->PendingRequest(), 0);
  }
}

TEST_F(SystemMenuTest, TheButtonsAndPermissionsDisableTheirItemsWhichCannotFire) {
  frame_->SetButtonState(CVovFrame::kBackToChoiceButton, CVovFrame::kButtonDisabled);
  frame_->SetButtonState(6, CVovFrame::kButtonDisabled);
  World().app.menu_groups[IAppServices::kMenuLoad] = false;
  std::vector<std::int32_t> disabled;
  World().frames = 0;
  World().player = [&](int frame) {
    if (frame == 2) {
      for (std::int32_t id = 0; id < 11; ++id) {
        if (Item(id) != nullptr && !Item(id)->IsEnabled()) disabled.push_back(id);
      }
    }
    ClickRow(frame, 3, 2);
    ClickRow(frame, 6, 6);
    RightClick(frame, 9);
  };
  EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandDone);
  EXPECT_EQ(disabled, (std::vector<std::int32_t>{0, 2, 6}));
  EXPECT_EQ(frame_->PendingRequest(), 0);
  EXPECT_EQ(World().frames, 9);  // closed by the right click, not before
  ExpectClosed();
  // Enabled and without the question, the item goes back at once.
  frame_->SetButtonState(CVovFrame::kBackToChoiceButton, CVovFrame::kButtonEnabled);
  Settings()[kSettingBackToChoiceUnasked] = 1;
  EXPECT_EQ(MenuClickingRow(2), CVovFrame::kCommandBackToChoice);
  EXPECT_EQ(frame_->PendingRequest(), CVovFrame::kRequestBackToChoice);
}

TEST_F(SystemMenuTest, TheMenuSoundOpensItAndTheCloseSoundEndsItsRightClickAndCancelKey) {
  test_support::FakeSoundSystem sound;
  CSoundChannelManager channels;
  channels.SetTaskManager(&World().timers);
  ASSERT_EQ(channels.SetChannelCount(4), 0u);
  game_.WriteFile("SE/MENU.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(44100, 1)}));
  for (std::int32_t channel : {1, 2}) ASSERT_EQ(channels.LoadChannel(channel, "SE/MENU.PCM", 0, false), 0u);
  g_SoundChannels = &channels;
  struct Row {
    bool by_key;
  };
  for (const Row row : {Row{false}, Row{true}}) {
    SCOPED_TRACE(row.by_key ? "cancel key" : "right click");
    channels.StopChannel(1);
    channels.StopChannel(2);
    bool menu_sound = false;
    bool close_sound_early = true;
    World().frames = 0;
    World().player = [&](int frame) {
      if (frame == 2) {
        menu_sound = channels.IsChannelPlaying(1);
        close_sound_early = channels.IsChannelPlaying(2);
      }
      if (row.by_key) {
        PressKeyAt(frame, 4, kVkEscape);
      } else {
        RightClick(frame, 4);
      }
    };
    EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandDone);
    EXPECT_EQ(World().frames, 4);
    EXPECT_TRUE(menu_sound);
    EXPECT_FALSE(close_sound_early);
    EXPECT_TRUE(channels.IsChannelPlaying(2));
    ExpectClosed();
  }
  g_SoundChannels = nullptr;
}

TEST_F(SystemMenuTest, ExitAnsweredNoKeepsTheMenuOpenWithoutFocusAndYesEndsTheGame) {
  bool open_after_no = false;
  World().frames = 0;
  World().player = [&](int frame) {
    ClickRow(frame, 3, 9);
    PressKeyAt(frame, 10, kVkEscape);
    if (frame == 16) {
      open_after_no = Item(9) != nullptr && World().root.GetSavedLevelCount() == 1 &&
                      World().root.GetFocused() == nullptr;
    }
    RightClick(frame, 18);
  };
  EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandDone);
  EXPECT_TRUE(open_after_no);
  ExpectClosed();
  EXPECT_TRUE(World().app.messages.empty());
  EXPECT_FALSE(frame_->ApplicationEnding());

  World().frames = 0;
  World().pointer.at = {799, 599};
  World().player = [&](int frame) {
    ClickRow(frame, 3, 9);
    if (frame == 5) World().pointer.at = {799, 599};
    PressKeyAt(frame, 10, kVkReturn);
  };
  EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandAppEnding);
  ExpectClosed();
  // The application ends by the close box's road, without asking again.
  const std::vector<test_support::FakeAppServices::WindowMessage> closed = {
      {plat::WM_CLOSE, IAppServices::kCloseConfirmed, true}};
  EXPECT_EQ(World().app.messages, closed);
  EXPECT_TRUE(frame_->ApplicationEnding());
}

TEST_F(SystemMenuTest, EachQuestionGivesItsResultForYesForNoAndForAnApplicationThatCloses) {
  vov_test::RecordingGameHost game_host(*host_);
  game_host.held_slot = -1;  // the rotating quick save, which button 1 loads
  Settings()[kSettingQuickLoadUnasked] = 0;  // both questions asked
  Settings()[kSettingBackToChoiceUnasked] = 0;
  frame_->SetButtonState(CVovFrame::kBackToChoiceButton, CVovFrame::kButtonEnabled);
  constexpr std::int32_t kNoRequest = 0;
  struct Command {
    const char* what;
    bool from_menu;  // the menu's exit item asks; the other commands are the handler's
    std::int32_t button;
    std::int32_t yes;
    std::int32_t request;
  };
  const Command commands[] = {
      {"quick load", false, 1, CVovFrame::kCommandLoaded, CVovFrame::kRequestLoad},
      {"back to the choice", false, 2, CVovFrame::kCommandBackToChoice, CVovFrame::kRequestBackToChoice},
      {"the menu's exit", true, 0, CVovFrame::kCommandAppEnding, kNoRequest},
      {"back to the title", false, 11, CVovFrame::kCommandBackToTitle, CVovFrame::kRequestTitle},
  };
  enum class Answer { kYes, kNo, kClosing };
  for (const Command& c : commands) {
    for (const Answer answer : {Answer::kYes, Answer::kNo, Answer::kClosing}) {
      SCOPED_TRACE(std::string(c.what) + " answered " + std::to_string(static_cast<int>(answer)));
      frame_->SetPendingRequest(kNoRequest);
      World().frames = 0;
      World().give_up = answer == Answer::kClosing ? 10 : 400;
      World().pointer.at = {799, 599};
      World().player = [&](int frame) {
        if (c.from_menu) ClickRow(frame, 3, 9);
        if (frame == 5) World().pointer.at = {799, 599};
        if (answer != Answer::kClosing) PressKeyAt(frame, 10, answer == Answer::kYes ? kVkReturn : kVkEscape);
        // A menu asked no stays open: a right click closes it.
        if (c.from_menu) RightClick(frame, 18);
      };
      const std::int32_t result =
          c.from_menu ? frame_->RunSystemMenu(0) : frame_->HandleSystemButton(c.button);
      const std::int32_t expected = answer == Answer::kYes  ? c.yes
                                    : answer == Answer::kNo ? CVovFrame::kCommandDone
                                                            : CVovFrame::kCommandAppEnding;
      EXPECT_EQ(result, expected);
      EXPECT_EQ(frame_->PendingRequest(), answer == Answer::kYes ? c.request : kNoRequest);
      ExpectClosed();
    }
  }
  World().give_up = 400;
}

TEST_F(SystemMenuTest, ExitWithTheClosingFadeFadesTheMusicOutAndCrossesTheScreenToBlack) {
  CTcpPluginManager filters;
  vov_test::RegisterTransitions(filters);
  g_TcpHost = &filters;
  test_support::FakeSoundSystem sound;
  test_support::VoicedChannels channels;
  channels.SetTaskManager(&World().timers);
  ASSERT_EQ(channels.SetChannelCount(8), 0u);
  g_SoundChannels = &channels;
  game_.WriteFile("BGM/BGM03.OGG", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(44100, 1)}));
  frame_->PlayMusicTrack(3, 0, true);
  ASSERT_TRUE(channels.IsBgmPlaying());
  Settings()[kSettingClosingFade] = 1;
  frame_->Page().ClearBg(0x0000FF, 0);
  // A zoom running on the back page's background, which the exit releases.
  game_.WriteFile("BG01.ELG", page_test::Picture(800, 600, 0xFF336699));
  ASSERT_EQ(frame_->Page().LoadBg("BG01.ELG", 1), 0);
  Settings()[kSettingScreenEffectsOff] = 0;
  const std::vector<VovOperand> zoom = {{kVovStringFlag, 1, "2"}, {1, 400, {}}, {1, 300, {}},
                                        {1, 5000, {}},           {1, 0, {}},   {1, 1, {}}};
  ASSERT_EQ(frame_->CallOpcode(46, zoom), 0);
  ASSERT_NE(frame_->Page().Bg(1).effect, nullptr);
  Settings()[kSettingScreenEffectsOff] = 1;
  SoftwareSurfaces surfaces;
  auto shown = surfaces.Make(plat::SurfaceFormat::kXrgb8888, 800, 600);
  std::vector<std::uint32_t> after_yes;  // the page's colour at each pass after the answer
  std::uint8_t fade_at_start = 0;
  World().frames = 0;
  World().player = [&](int frame) {
    ClickRow(frame, 3, 9);
    PressKeyAt(frame, 10, kVkReturn);
    if (frame <= 10) return;
    dynamic_cast<CImageCanvasBase*>(frame_->Page().Part(0))
        ->PresentDirty(0, nullptr, shown.get(), kPixelFormatXrgb8888, true);
    after_yes.push_back(SoftwareSurfaces::Pixel(*shown, 10, 10) & 0xFFFFFF);
    if (after_yes.size() == 1) fade_at_start = channels.bgm_fade_kind;
  };
  LogCapture log;
  EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandAppEnding);
  ExpectClosed();
  ASSERT_EQ(after_yes.size(), 26u) << "500 ms from the first present on";
  EXPECT_EQ(after_yes.front(), 0x0000FFu) << "the page at the start";
  EXPECT_GT(after_yes[13], 0u) << "half way";
  EXPECT_LT(after_yes[13], 0xFFu);
  EXPECT_EQ(after_yes.back(), 0u) << "black at the end";
  EXPECT_EQ(fade_at_start, CSoundChannelManager::kBgmFadeOut) << "the music fades out with the screen";
  EXPECT_FALSE(channels.IsBgmPlaying()) << "and has ended with it";
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
  for (std::uint32_t slot = 0; slot < CVovPage::kPages; ++slot) {
    EXPECT_EQ(frame_->Page().Bg(slot).effect, nullptr) << "the background effects were released, slot " << slot;
  }

  g_TcpHost = nullptr;
  g_SoundChannels = nullptr;
  channels.CancelBgmTasks();
  channels.FreeChannels();
  channels.SetTaskManager(nullptr);
}

TEST_F(SystemMenuTest, TheTitleItemAsksAndYesSetsTheTitleRequest) {
  World().frames = 0;
  World().player = [&](int frame) {
    ClickRow(frame, 3, 8);
    if (frame == 5) World().pointer.at = {799, 599};
    PressKeyAt(frame, 10, kVkReturn);
  };
  EXPECT_EQ(frame_->RunSystemMenu(0), CVovFrame::kCommandBackToTitle);
  EXPECT_EQ(frame_->PendingRequest(), CVovFrame::kRequestTitle);
  ExpectClosed();
}

TEST_F(SystemMenuTest, TheShortLayoutNumbersItsEightItemsFromTwo) {
  Settings()[kSettingBackToChoiceUnasked] = 1;
  frame_->SetButtonState(CVovFrame::kBackToChoiceButton, CVovFrame::kButtonEnabled);
  EXPECT_EQ(MenuClickingRow(1, 1), 10);  // the history item
  EXPECT_EQ(MenuClickingRow(2, 1), 12);  // save
  EXPECT_EQ(MenuClickingRow(7, 1), CVovFrame::kCommandDone);
  EXPECT_EQ(MenuClickingRow(0, 1), CVovFrame::kCommandBackToChoice);
  ExpectClosed();
}

TEST_F(SystemMenuTest, WithScreenEffectsThePanelSlidesInFromTheRightAndOutAgain) {
  Settings()[kSettingScreenEffectsOff] = 0;
  std::vector<std::int32_t> item_x;
  World().frames = 0;
  World().player = [&](int frame) {
    if (frame <= 9) {
      if (CGuiElement* item = Item(3)) {
        item_x.push_back(g_WidgetManager.GetWidgetSprite(item, 0)->GetX());
      }
    }
    ClickRow(frame, 12, 3);
  };
  EXPECT_EQ(frame_->RunSystemMenu(0), 10);
  ASSERT_GE(item_x.size(), 8u);
  EXPECT_GT(item_x.front(), kItemX + 100);
  EXPECT_EQ(item_x.back(), kItemX);
  for (std::size_t i = 1; i < item_x.size(); ++i) EXPECT_LE(item_x[i], item_x[i - 1]);
  // In 150 ms and out in 150 ms: at least 8 frames of 20 ms each way.
  EXPECT_GE(World().frames, 12 + 8);
  ExpectClosed();
}

TEST_F(SystemMenuTest, MenuResultTwelveRunsTheSaveScriptInModeOneAsButtonThreeDoes) {
  game_.WriteFile("SCRIPT/SaveLoad.SOB", sob_test::AsText(sob_test::Assemble(".kind script\n  Return\n").bytes));
  const std::uint32_t mode = NewWord(7);
  frame_->SetConfigWord(2, mode);
  World().frames = 0;
  World().player = [&](int frame) { ClickRow(frame, 3, 5); };
  EXPECT_EQ(frame_->HandleSystemButton(10), CVovFrame::kCommandDone);
  EXPECT_EQ(host_->Memory().Word(mode), 1u);
  host_->Memory().SetWord(mode, 7);
  EXPECT_EQ(frame_->HandleSystemButton(CVovFrame::kSaveButton), CVovFrame::kCommandDone);
  EXPECT_EQ(host_->Memory().Word(mode), 1u);
  ExpectClosed();
}

}  // namespace
