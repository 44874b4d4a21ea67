// The two select screens over a prepared page, played frame by frame: the panel's flags, marks
// and name plates; the choice screen's pick, its refusal of a choice it does not list, its bar's
// quick load and its opening with nothing to choose; the select prompt's two answers and its
// character's background.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/settings/game_settings.h"
#include "gfx/display/image_canvas.h"
#include "gfx/images/image.h"
#include "novel/frame/vov_frame_fixture.h"
#include "novel/frame/vov_recording_game_host.h"
#include "novel/screens/select_panel.h"
#include "pixel/formats/pixel_format_codes.h"
#include "sob_builder.h"
#include "support/log_capture.h"
#include "support/software_surfaces.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/widget_manager/widget_manager.h"
#include "vov_select_screen_files.h"

namespace {

using select_test::kPanelColour;

constexpr std::uint32_t kZeroVariable = 0;
constexpr std::uint32_t kFiveVariable = 1;
constexpr std::int32_t kItemClickX = 57 + 50;
constexpr std::int32_t kFirstItemY = 247 + 20;

class SelectScreensTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    select_test::WriteSelectScreenFiles(game_);
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 0, 4, {0});
    variables.AddVariable(0, 0, 4, {5});
    const std::vector<std::uint8_t> bytes = variables.Build();
    game_.WriteFile("SCRIPT/USER_VAR.SOB", std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(host_->LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, false, false), 0u);
    g_MessageBox.Setup();
    g_MessageBox.SetOwnerWindow(&World().root);
    game_host_ = std::make_unique<vov_test::RecordingGameHost>(*host_);
    ASSERT_EQ(frame_->PreparePage(false), 0);
    picked_ = NewWord(99);
    frame_->SetConfigWord(1, picked_);
    widgets_before_ = g_WidgetManager.GetCount();
  }
  void TearDown() override {
    g_MessageBox.StopNotice();
    g_MessageBox.SetOwnerWindow(nullptr);
    game_host_.reset();
    FrameTest::TearDown();
  }

  // Three pending choices, whose script variables are the given numbers.
  std::uint32_t PendChoices(std::uint32_t first, std::uint32_t second, std::uint32_t third) {
    for (const char* text : {"one", "two", "three"}) {
      CListPart::ItemSetup setup;
      setup.text = text;
      frame_->ChoiceList().AddMenuItem(setup);
    }
    frame_->SetChoiceCount(3);
    const std::uint32_t list = host_->Memory().Allocate(12, true);
    host_->Memory().SetWord(list, first);
    host_->Memory().SetWord(list + 4, second);
    host_->Memory().SetWord(list + 8, third);
    return list;
  }
  void ClickAt(int frame, int at, plat::Point where) {
    if (frame == at) World().pointer.at = where;
    World().ClickAt(frame, at);
  }
  std::int32_t Word(std::uint32_t address) const { return static_cast<std::int32_t>(host_->Memory().Word(address)); }
  void ExpectClosed() {
    EXPECT_EQ(g_WidgetManager.GetCount(), widgets_before_);
    EXPECT_EQ(World().root.GetSavedLevelCount(), 0u);
  }

  std::unique_ptr<vov_test::RecordingGameHost> game_host_;
  std::uint32_t picked_ = 0;
  std::size_t widgets_before_ = 0;
};

std::uint32_t Pixel(const CImage& image, plat::Point at) { return image.GetPixel(at.x + 2, at.y + 2); }

TEST_F(SelectScreensTest, ThePanelShowsEightFlagsFromTheCrowdedPlaceWithTheMarkOrFewFlagsEndingAtTheRight) {
  struct Row {
    std::int32_t count;
    std::int32_t first_x;
    bool mark;
  };
  for (const Row row : {Row{10, 273, true}, Row{3, 543, false}, Row{8, 273, false}}) {
    SCOPED_TRACE(row.count);
    SelectPanelContent content;
    content.flag_count = row.count;
    for (std::int32_t i = 0; i < std::min(row.count, 8); ++i) content.flags.push_back(static_cast<std::uint32_t>(i + 1));
    CImage panel;
    ASSERT_TRUE(ComposeSelectPanel(panel, content, nullptr, nullptr));
    std::int32_t drawn = 0;
    for (std::int32_t i = 0; i < 10; ++i) {
      const plat::Point at{row.first_x + 54 * i, 24};
      if (at.x + 2 < panel.GetWidth() && Pixel(panel, at) == select_test::FlagColour(static_cast<std::uint32_t>(i + 1))) {
        ++drawn;
      }
    }
    EXPECT_EQ(drawn, std::min(row.count, 8));
    EXPECT_EQ(Pixel(panel, {row.first_x - 54, 24}), kPanelColour);
    EXPECT_EQ(Pixel(panel, {709, 61}), row.mark ? select_test::kMoreFlagsColour : kPanelColour);
  }
}

TEST_F(SelectScreensTest, TheNameBoxShowsItsLineWhole) {
  SelectPanelContent content;
  content.name_text = "HHHH";
  CImage panel;
  ASSERT_TRUE(ComposeSelectPanel(panel, content, &frame_->NameFont(), nullptr));
  // The box is 22 high at (53, 99); the 18-pixel letters lie inside it, not cut by its bottom.
  // Ink: pixels unlike the box's left margin on their row.
  const auto ink_in_rows = [&](std::int32_t top, std::int32_t bottom) {
    std::int32_t ink = 0;
    for (std::int32_t y = top; y < bottom; ++y) {
      for (std::int32_t x = 53 + 8; x < 53 + 120; ++x) ink += panel.GetPixel(x, y) != panel.GetPixel(53 + 2, y) ? 1 : 0;
    }
    return ink;
  };
  EXPECT_GT(ink_in_rows(99, 99 + 8), 0) << "the letters start near the box's top";
  EXPECT_EQ(ink_in_rows(99 + 21, 99 + 22), 0) << "the box's last row cuts no letter";
}

TEST_F(SelectScreensTest, OnlyCharactersOneToFiveShowTheirNamePlateAtTheirPlace) {
  const std::vector<plat::Point> places = {{39, 345}, {34, 360}, {31, 364}, {48, 347}, {29, 336}};
  for (std::int32_t character : {2, 5, 6, 7, 0}) {
    SCOPED_TRACE(character);
    SelectPanelContent content;
    content.character = character;
    CImage panel;
    ASSERT_TRUE(ComposeSelectPanel(panel, content, nullptr, nullptr));
    for (std::size_t i = 0; i < places.size(); ++i) {
      const bool own = static_cast<std::int32_t>(i) + 1 == character;
      // The places overlap: only the own plate's corner is tested against its colour.
      if (own) {
        EXPECT_EQ(Pixel(panel, places[i]), select_test::NameColour(character));
      } else if (character > 5 || character < 1) {
        EXPECT_EQ(Pixel(panel, places[i]), kPanelColour);
      }
    }
  }
}

TEST_F(SelectScreensTest, WithNoPendingChoicesTheChoiceScreenReturnsAtOnceAndChangesNothing) {
  frame_->SetSkipMode(true);
  frame_->SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonLatched);
  Settings()[kSettingSaveAtChoices] = 1;
  const std::uint32_t list = host_->Memory().Allocate(12, true);
  EXPECT_EQ(frame_->RunChoiceScreen(list, 0, 0, 1, 0), CVovFrame::kNothingToSelect);
  // Choices without their variable list are nothing to select either.
  PendChoices(0, 0, 0);
  EXPECT_EQ(frame_->RunChoiceScreen(0, 0, 0, 1, 0), CVovFrame::kNothingToSelect);
  EXPECT_EQ(World().frames, 0);
  EXPECT_TRUE(frame_->SkipMode());
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonLatched);
  EXPECT_TRUE(game_host_->saves.empty());
  EXPECT_EQ(Word(picked_), 99);
  ExpectClosed();
}

TEST_F(SelectScreensTest, AChoiceTheScreenDoesNotListIsIgnoredAndALaterPickOfTheSecondWritesOne) {
  const std::uint32_t list = PendChoices(kFiveVariable, kZeroVariable, kFiveVariable);
  LogCapture log;
  bool open_after_refusal = false;
  std::int32_t word_after_refusal = -1;
  World().player = [&](int frame) {
    if (frame == 20) World().root.OnCommand(CVovFrame::kFirstChoiceCommand + 9);
    if (frame == 22) {
      open_after_refusal = World().root.GetSavedLevelCount() == 1;
      word_after_refusal = Word(picked_);
    }
    ClickAt(frame, 25, {kItemClickX, kFirstItemY + select_test::kItemHeight});
  };
  EXPECT_EQ(frame_->RunChoiceScreen(list, 0, 0, 1, 0), 0);
  EXPECT_TRUE(open_after_refusal);
  EXPECT_EQ(word_after_refusal, 99);
  EXPECT_EQ(Word(picked_), 1);
  EXPECT_TRUE(std::any_of(log.Lines().begin(), log.Lines().end(),
                          [](const std::string& line) { return line.find("ignores choice 9 of 3") != std::string::npos; }));
  // The second choice's variable is 0: the parts slid away for 300 ms after the pick.
  EXPECT_GE(World().frames, 26 + 15);
  EXPECT_EQ(frame_->ChoiceCount(), 0u);
  EXPECT_EQ(frame_->ChoiceList().GetItemCount(), 0);
  ExpectClosed();
}

TEST_F(SelectScreensTest, APickWhoseVariableIsSetFlashesAndAVariableBeyondTheTableCountsAsZero) {
  struct Row {
    std::uint32_t variable;
    const char* logged;
  };
  for (const Row row : {Row{kFiveVariable, nullptr}, Row{40, "script variable 40"}}) {
    SCOPED_TRACE(row.variable);
    const std::uint32_t list = PendChoices(row.variable, 0, 0);
    LogCapture log;
    World().frames = 0;
    World().player = [&](int frame) { ClickAt(frame, 20, {kItemClickX, kFirstItemY}); };
    EXPECT_EQ(frame_->RunChoiceScreen(list, 0, 0, 1, 0), 0);
    EXPECT_EQ(Word(picked_), 0);
    const bool logged = std::any_of(log.Lines().begin(), log.Lines().end(), [&](const std::string& line) {
      return row.logged != nullptr && line.find(row.logged) != std::string::npos;
    });
    EXPECT_EQ(logged, row.logged != nullptr);
    EXPECT_GE(World().frames, 21 + 15);
    ExpectClosed();
  }
}

TEST_F(SelectScreensTest, QuickLoadFromTheBarEndsTheChoiceScreenWithTheLoadRequestAfterTheChoiceSave) {
  Settings()[kSettingQuickLoadUnasked] = 1;
  Settings()[kSettingSaveAtChoices] = 1;
  game_host_->held_slot = -1;
  const std::uint32_t list = PendChoices(0, 0, 0);
  World().player = [&](int frame) { ClickAt(frame, 20, {select_test::kBarX + select_test::kBarStep + 10, select_test::kBarY + 5}); };
  EXPECT_EQ(frame_->RunChoiceScreen(list, 0, 0, 1, 0), CVovFrame::kCommandLoaded);
  EXPECT_EQ(frame_->PendingRequest(), CVovFrame::kRequestLoad);
  EXPECT_EQ(game_host_->pending_load, "DATA11_-1.SAV");
  EXPECT_EQ(game_host_->saves, (std::vector<std::pair<std::int32_t, std::int32_t>>{{10, -1}}));
  EXPECT_EQ(Word(picked_), 99);
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheBarsCommandsFollowThePermissionsAndTheFramesButtons) {
  World().app.menu_groups[IAppServices::kMenuSave] = false;
  World().app.menu_groups[IAppServices::kMenuSettings] = false;
  frame_->SetButtonState(CVovFrame::kBackToChoiceButton, CVovFrame::kButtonDisabled);
  const std::uint32_t list = PendChoices(0, 0, 0);
  std::vector<std::int32_t> disabled;
  World().player = [&](int frame) {
    if (frame == 20) {
      for (CGuiElement* child : World().root.GetChildren()) {
        if (child->GetId() >= 0 && child->GetId() < 7 && !child->IsEnabled()) disabled.push_back(child->GetId());
      }
    }
    // A click on the disabled quick save does nothing; the second choice ends the screen.
    ClickAt(frame, 22, {select_test::kBarX + 10, select_test::kBarY + 5});
    ClickAt(frame, 25, {kItemClickX, kFirstItemY + select_test::kItemHeight});
  };
  EXPECT_EQ(frame_->RunChoiceScreen(list, 0, 0, 1, 0), 0);
  std::sort(disabled.begin(), disabled.end());
  // Quick save, back to the choice, save, history (one log entry at most) and configuration.
  EXPECT_EQ(disabled, (std::vector<std::int32_t>{0, 2, 3, 5, 6}));
  EXPECT_TRUE(game_host_->saves.empty());
  EXPECT_EQ(Word(picked_), 1);
}

TEST_F(SelectScreensTest, TheSelectPromptWithoutAnAnswerWordReturnsAtOnce) {
  EXPECT_EQ(frame_->RunSelectPrompt(-1, 0, 0, 0, 1, 0, "text"), CVovFrame::kNothingToSelect);
  EXPECT_EQ(World().frames, 0);
  EXPECT_FALSE(frame_->ChoicesPending());
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheFirstAnswerLeavesTheCharacterAndTheSecondZeroOverTheCharactersBackground) {
  struct Row {
    std::int32_t answer;
    std::int32_t variable;
    std::int32_t word;
    bool pending_after;
  };
  for (const Row row : {Row{0, -1, 7, true}, Row{1, -1, 0, false}, Row{0, static_cast<std::int32_t>(kFiveVariable), 7, false}}) {
    SCOPED_TRACE(row.answer);
    frame_->SetChoicesPending(false);
    const std::uint32_t answer = NewWord(1);
    World().frames = 0;
    World().player = [&](int frame) {
      ClickAt(frame, 30, {select_test::kAnswerX + 10, select_test::kAnswerY + row.answer * select_test::kAnswerStep + 10});
    };
    EXPECT_EQ(frame_->RunSelectPrompt(row.variable, answer, 0, 0, 7, 0, "text"), 0);
    EXPECT_EQ(Word(answer), row.word);
    EXPECT_EQ(frame_->ChoicesPending(), row.pending_after);
    EXPECT_EQ(frame_->Page().Bg(0).name, "SYS/SS_BG4.ELG");
    ExpectClosed();
  }
}

TEST_F(SelectScreensTest, ThePromptHidesTheWindowWithItsButtonsAndSlidesItsBarInAlsoWhileSkipping) {
  frame_->ShowButtons(true, false);
  frame_->SetSkipMode(true);
  const std::uint32_t answer = NewWord(1);
  bool buttons_shown = true;
  World().frames = 0;
  World().player = [&](int frame) {
    if (frame == 2) buttons_shown = frame_->ButtonsShown();
    // A click while the bar is still on its way in takes no answer.
    ClickAt(frame, 3, {select_test::kAnswerX + 10, select_test::kAnswerY + 10});
    ClickAt(frame, 30, {select_test::kAnswerX + 10, select_test::kAnswerY + 10});
  };
  EXPECT_EQ(frame_->RunSelectPrompt(-1, answer, 0, 0, 7, 0, "text"), 0);
  EXPECT_FALSE(buttons_shown);
  EXPECT_GE(World().frames, 30) << "the answer came after the slide";
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheConfigurationCommandOfTheSelectScreensRunsWithoutThePauseClock) {
  game_.WriteFile("SCRIPT/Config1.SOB", sob_test::AsText(sob_test::Assemble(".kind script\n  Return\n").bytes));
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->HandleSelectScreenButton(6), CVovFrame::kCommandDone);
  EXPECT_TRUE(frame_->SkipMode()) << "the pause clock's end would have ended skipping";
  EXPECT_EQ(frame_->HandleSystemButton(8), CVovFrame::kCommandDone);
  EXPECT_FALSE(frame_->SkipMode()) << "the message window's configuration ends it";
}

TEST_F(SelectScreensTest, ThePromptCrossesItsBackgroundInOver300Milliseconds) {
  CTcpPluginManager filters;
  vov_test::RegisterTransitions(filters);
  g_TcpHost = &filters;
  auto* page = dynamic_cast<CImageCanvasBase*>(frame_->Page().Part(0));
  ASSERT_NE(page, nullptr);
  SoftwareSurfaces surfaces;
  auto screen = surfaces.Make(plat::SurfaceFormat::kXrgb8888, CVovPage::kWidth, CVovPage::kHeight);
  int crossing = 0;
  const std::uint32_t answer = NewWord(1);
  World().frames = 0;
  World().player = [&](int frame) {
    page->PresentDirty(0, nullptr, screen.get(), kPixelFormatXrgb8888, false);
    if (frame_->Page().Part(0)->HasAttached()) ++crossing;
    ClickAt(frame, 60, {select_test::kAnswerX + 10, select_test::kAnswerY + 10});
  };
  EXPECT_EQ(frame_->RunSelectPrompt(-1, answer, 0, 0, 7, 0, "text"), 0);
  g_TcpHost = nullptr;
  EXPECT_EQ(crossing * 20, 300) << "the cross held the page from its first present to its end";
  EXPECT_EQ(frame_->Page().Bg(0).name, "SYS/SS_BG4.ELG");
  EXPECT_TRUE(frame_->Page().Bg(1).name.empty()) << "the back page is cleared afterwards";
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheScenarioRunsTheChoiceScreenOnTheChoicesItCollectedAndGoesOnAfterThePick) {
  using kvxtools::TobOperand;
  const std::uint32_t list = host_->Memory().Allocate(8, true);
  kvxtools::TobBuilder builder;
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("a"), TobOperand::String("b")});
  builder.Command(128, {TobOperand::Value(list), TobOperand::Value(0), TobOperand::Value(0), TobOperand::Value(2),
                        TobOperand::Value(0)});
  // Without choices the opcode does nothing.
  builder.Command(128, {TobOperand::Value(list), TobOperand::Value(0), TobOperand::Value(0), TobOperand::Value(2),
                        TobOperand::Value(0)});
  World().player = [&](int frame) { ClickAt(frame, 20, {kItemClickX, kFirstItemY + select_test::kItemHeight}); };
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Word(picked_), 1);
  EXPECT_FALSE(frame_->ChoiceAwaited());
  EXPECT_LT(World().frames, 60);
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheChoiceScreenShowsAChoiceWithoutTextEmpty) {
  using kvxtools::TobOperand;
  const std::uint32_t list = host_->Memory().Allocate(8, true);
  kvxtools::TobBuilder builder;
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("a"), TobOperand::String("")});
  builder.Command(128, {TobOperand::Value(list), TobOperand::Value(0), TobOperand::Value(0), TobOperand::Value(2),
                        TobOperand::Value(0)});
  World().player = [&](int frame) { ClickAt(frame, 20, {kItemClickX, kFirstItemY + select_test::kItemHeight}); };
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(Word(picked_), 1);
  ExpectClosed();
}

TEST_F(SelectScreensTest, TheMessageWindowsOwnListStaysHiddenUntilAChoiceWaitTakesIt) {
  using kvxtools::TobOperand;
  kvxtools::TobBuilder builder;
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("a"), TobOperand::String("b")});
  EXPECT_EQ(Run(builder), 0);
  ASSERT_EQ(frame_->ChoiceList().GetItemCount(), 2);
  EXPECT_FALSE(frame_->ChoiceList().IsActive()) << "hidden behind a choice screen that may follow";
}

TEST_F(SelectScreensTest, AChoiceListEndingOnAPendingPromptOnlyFinishesTyping) {
  using kvxtools::TobOperand;
  kvxtools::TobBuilder builder;
  builder.Line();
  builder.Text("asked");
  builder.Command(13, {TobOperand::Absent(), TobOperand::String("yes"), TobOperand::String("no")});
  Load(builder);
  frame_->SetChoicesPending(true);
  // Without the prompt the message would wait for the reader's click, which never comes.
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 0);
  EXPECT_EQ(frame_->ChoiceCount(), 2u);
}

}  // namespace
