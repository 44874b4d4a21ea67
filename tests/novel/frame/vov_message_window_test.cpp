// The frame's message window: what a run's page builds (buttons and their states, the choice
// list, the click area), what its end takes down, the user's settings, the choice serial, the
// wait state, and the message font that the carried command changes and the end of a message
// restores.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "effects/table/builtin_effect_table.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_message_opcodes.h"
#include "novel/page/vov_page_fixture.h"
#include "novel/scenario/vov_command_record.h"
#include "platform/encoding/text_encoding.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "support/data_files_fixture.h"
#include "support/probe_task.h"
#include "support/sob_test_files.h"
#include "tob_builder.h"
#include "ui/widgets/check_button.h"
#include "vov_message_window_fixture.h"

namespace {

using message_test::FrameWorld;

VovOperand V(std::int32_t value) { return {1, static_cast<std::uint32_t>(value), {}}; }
VovOperand S(std::string_view text) { return {kVovStringFlag, 0, text}; }

// The built-in effects by name, for the buttons' fade.
struct EffectHosts {
  EffectHosts() {
    g_DcpHost = &effects;
    RegisterBuiltinEffects(effects, filters);
  }
  ~EffectHosts() { g_DcpHost = nullptr; }
  EffectHosts(const EffectHosts&) = delete;
  EffectHosts& operator=(const EffectHosts&) = delete;
  CDcpPluginManager effects;
  CTcpPluginManager filters;
};

class MessageWindowTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    graphics_ = std::make_unique<page_test::PageGraphics>();
    world_ = std::make_unique<FrameWorld>();
    host_ = std::make_unique<CScriptHost>();
    frame_ = std::make_unique<CVovFrame>(*host_);
  }
  void TearDown() override {
    frame_.reset();
    host_.reset();
    world_.reset();
    graphics_.reset();
    DataFilesTest::TearDown();
  }
  void Prepare() {
    ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
    ASSERT_EQ(frame_->PreparePage(false), 0);
  }
  void AddLogEntries(int count) {
    frame_->TextLog().SetCapacity(10);
    for (int i = 0; i < count; ++i) {
      const std::uint8_t text[] = {'a', 0};
      ASSERT_EQ(frame_->TextLog().AppendMessage(text, 1, 0, nullptr, nullptr, 0), 0u);
    }
  }
  std::vector<bool> Enabled() const {
    std::vector<bool> enabled;
    for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) {
      enabled.push_back(frame_->Button(i) != nullptr && frame_->Button(i)->IsEnabled());
    }
    return enabled;
  }
  // The carried command as the message window runs it.
  std::int32_t RunCarried(std::uint32_t opcode, const std::vector<VovOperand>& operands) {
    return frame_->CallOpcode(opcode, operands);
  }

  // Runs the scenario into the text buffer and shows the message in the message window.
  void ShowScenario(const kvxtools::TobBuilder& builder) {
    game_.WriteFile("SCRIPT/MAIN.TOB", sob_test::AsText(builder.Build()));
    frame_->ResetScripts();
    frame_->TextBuffer().Clear();
    ASSERT_EQ(frame_->LoadMainScript("MAIN"), 0u);
    ASSERT_EQ(frame_->RunScript(), 0);
    const std::span<const std::uint8_t> text = frame_->TextBuffer().Bytes();
    CTextWindow& window = frame_->MessageWindow();
    ASSERT_EQ(window.SetText(text.data(), text.size()), 0u);
    ASSERT_EQ(window.Display(true), 0u);
  }
  // Counts the runs of a carried command's handler as the message window runs it, and what the
  // message font's height was after each.
  void CountCarried(std::uint32_t opcode, VovHandler handler) {
    frame_->SetHandler(opcode, [this, handler](CVovFrame& frame, std::span<const VovOperand> operands) {
      const std::int32_t result = handler(frame, operands);
      if (frame.InHandler()) carried_heights_.push_back(frame.MessageFont().logical_font().height);
      return result;
    });
  }

  std::vector<std::int32_t> carried_heights_;
  std::unique_ptr<page_test::PageGraphics> graphics_;
  std::unique_ptr<FrameWorld> world_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> frame_;
};

TEST_F(MessageWindowTest, NothingIsPreparedOrResetBeforeTheWindowIsBuilt) {
  EXPECT_EQ(frame_->PreparePage(false), CVovFrame::kPageNotBuilt);
  EXPECT_EQ(frame_->ResetPage(), 0);
  EXPECT_EQ(frame_->InitMessageWindow(nullptr, nullptr), CVovFrame::kInitNoRootWindow);
  EXPECT_FALSE(frame_->MessageWindowBuilt());
  EXPECT_EQ(frame_->PreparePage(true), CVovFrame::kPageNotBuilt);
}

TEST_F(MessageWindowTest, TheMessageFontIsTheDefaultFontUntilTheWindowIsReleased) {
  ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
  EXPECT_EQ(g_DefaultFont, &frame_->MessageFont());
  EXPECT_EQ(frame_->MessageFont().logical_font().height, -22);
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "SimSun");
  EXPECT_EQ(frame_->MessageFont().text_color.red, 255);
  EXPECT_FALSE(frame_->MessageFont().gradient_on());
  EXPECT_EQ(frame_->MessageFont().gradient_top(), 0xFFEB00u);
  EXPECT_EQ(frame_->MessageFont().gradient_bottom(), 0xFF4646u);
  EXPECT_EQ(frame_->NameFont().logical_font().height, -18);
  EXPECT_EQ(frame_->Timers().GetCount(), 2);
  frame_->ReleaseMessageWindow();
  EXPECT_EQ(g_DefaultFont, nullptr);
  EXPECT_EQ(frame_->Timers().GetCount(), 0);
  EXPECT_EQ(frame_->PreparePage(false), CVovFrame::kPageNotBuilt);
}

// Which buttons start enabled: all but "back to the choice"; the history only with more than one
// backlog entry; saving and loading as the application permits them.
TEST_F(MessageWindowTest, ButtonsStartAsTheBacklogAndTheApplicationAllow) {
  message_test::WriteButtonFile(game_);
  struct Case {
    bool save;
    bool load;
    int log_entries;
    std::vector<bool> enabled;
  };
  const Case cases[] = {
      {true, true, 0, {1, 1, 0, 1, 1, 1, 1, 0, 1, 1}},
      {true, true, 1, {1, 1, 0, 1, 1, 1, 1, 0, 1, 1}},
      {true, true, 2, {1, 1, 0, 1, 1, 1, 1, 1, 1, 1}},
      {false, true, 2, {0, 1, 0, 0, 1, 1, 1, 1, 1, 1}},
      {true, false, 0, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.save << c.load << c.log_entries);
    frame_ = std::make_unique<CVovFrame>(*host_);
    world_->app.menu_groups[1] = c.save;
    world_->app.menu_groups[2] = c.load;
    world_->settings[kSettingTextLogSize] = 9;
    AddLogEntries(c.log_entries);
    Prepare();
    EXPECT_EQ(Enabled(), c.enabled);
    for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) {
      EXPECT_EQ(frame_->ButtonState(i), c.enabled[i] ? CVovFrame::kButtonEnabled : CVovFrame::kButtonDisabled);
      ASSERT_NE(frame_->Button(i), nullptr);
      EXPECT_FALSE(frame_->Button(i)->IsActive()) << "buttons start hidden";
      EXPECT_EQ(frame_->Button(i)->GetGroup(), CVovFrame::kButtonGroup);
      EXPECT_EQ(frame_->Button(i)->GetId(), static_cast<std::int32_t>(i));
    }
  }
  EXPECT_EQ(g_WidgetManager.group, 0) << "the widget group is put back";
  EXPECT_EQ(std::string(frame_->Button(7)->GetText()), plat::Utf8ToSjis("テキスト履歴"));
  EXPECT_EQ(std::string(frame_->Button(0)->GetText()), plat::Utf8ToSjis("クイックセーブ"));
}

TEST_F(MessageWindowTest, TheEndOfARunTakesTheButtonsDownAndTheNextRunBuildsThemAgain) {
  message_test::WriteButtonFile(game_);
  const std::size_t widgets = g_WidgetManager.GetCount();
  Prepare();
  EXPECT_EQ(g_WidgetManager.GetCount(), widgets + CVovFrame::kButtonCount);
  EXPECT_TRUE(frame_->ClickArea().IsEnabled());
  EXPECT_EQ(frame_->ClickArea().GetOwner(), &world_->root);
  EXPECT_EQ(frame_->ChoiceList().GetOwner(), &world_->root);
  game_.WriteFile("BG01.ELG", page_test::Picture(800, 600, 0xFF102030));
  game_.WriteFile("CHR.ELG", page_test::Picture(100, 100, 0xFF405060));
  ASSERT_EQ(frame_->Page().LoadBg("BG01.ELG", 1), CVovPage::kDone);
  ASSERT_EQ(frame_->Page().LoadSprite(0, "CHR.ELG", false, 0), CVovPage::kDone);
  EXPECT_EQ(frame_->ResetPage(), 0);
  EXPECT_TRUE(frame_->Page().Bg(1).name.empty()) << "the slots are cleared";
  EXPECT_TRUE(frame_->Page().Sprite(0, false, 0)->name.empty());
  EXPECT_EQ(g_WidgetManager.GetCount(), widgets);
  EXPECT_EQ(frame_->Button(0), nullptr);
  EXPECT_FALSE(frame_->ClickArea().IsEnabled());
  EXPECT_FALSE(frame_->MessageWindow().IsActive());
  ASSERT_EQ(frame_->PreparePage(false), 0);
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_EQ(g_WidgetManager.GetCount(), widgets + CVovFrame::kButtonCount) << "one set of buttons";
  frame_.reset();
  EXPECT_EQ(g_WidgetManager.GetCount(), widgets);
  EXPECT_TRUE(world_->root.GetChildren().empty());
}

// The buttons' fades run on one sprite fade effect, which the run's end ends.
TEST_F(MessageWindowTest, TheButtonsFadeOnOneSpriteFadeThatTheRunsEndEnds) {
  const EffectHosts hosts;
  message_test::WriteButtonFile(game_);
  Prepare();
  CTimedTask* fade = world_->timers().FindByKind(kTimedTaskSpriteEffect);
  ASSERT_NE(fade, nullptr);
  EXPECT_STREQ(static_cast<CEffect*>(fade)->GetName(), "sp_fade");
  world_->timers().Advance(1);
  const std::uint32_t tasks = world_->timers().GetCount();
  ASSERT_EQ(frame_->PreparePage(false), 0);
  world_->timers().Advance(2);
  EXPECT_EQ(world_->timers().GetCount(), tasks) << "a page prepared again has one fade";
  EXPECT_EQ(frame_->ResetPage(), 0);
  world_->timers().Advance(2);
  EXPECT_EQ(world_->timers().FindByKind(kTimedTaskSpriteEffect), nullptr);
}

// A game without the button file and without any of the window's pictures runs without them.
TEST_F(MessageWindowTest, AGameWithoutTheButtonFileOrPicturesRunsWithoutThem) {
  Prepare();
  for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) EXPECT_EQ(frame_->Button(i), nullptr);
  EXPECT_EQ(frame_->SetButtonState(3, CVovFrame::kButtonLatched), 0);
  EXPECT_EQ(frame_->ButtonState(3), CVovFrame::kButtonLatched);
  EXPECT_EQ(frame_->SetButtonState(CVovFrame::kButtonCount, CVovFrame::kButtonEnabled), 1);
  EXPECT_NE(frame_->MessageWindow().text_image().GetPixels(), nullptr) << "the window is made at its own size";
  EXPECT_EQ(frame_->MessageWindow().GetWidth(), message_test::kWindowWidth);
  EXPECT_EQ(frame_->MessageWindow().GetY(), 466);
  EXPECT_FALSE(frame_->MessageWindow().IsActive()) << "hidden until shown";
  frame_->MessageWindow().SetNames(plat::Utf8ToSjis("ミオ").c_str(), nullptr);
  const std::string text = plat::Utf8ToSjis("雨");
  ASSERT_EQ(frame_->MessageWindow().SetText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0u);
  EXPECT_EQ(frame_->MessageWindow().Display(true), 0u);
  EXPECT_EQ(frame_->ResetPage(), 0);
}

// Going on from a restored page keeps the current line, and the skip button follows its read
// mark when unread text may not be skipped; a new run forgets the line.
TEST_F(MessageWindowTest, GoingOnKeepsTheLineAndTheSkipButtonFollowsItsReadMark) {
  message_test::WriteButtonFile(game_);
  ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
  frame_->SetCurrentLine(5);
  world_->settings[kSettingUnreadTextUnskippable] = 1;
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_TRUE(frame_->GoingOn());
  EXPECT_EQ(frame_->CurrentLine(), 5);
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonDisabled) << "line 5 is unread";
  world_->settings[kSettingUnreadTextUnskippable] = 0;
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_EQ(frame_->ButtonState(CVovFrame::kSkipButton), CVovFrame::kButtonEnabled);
  ASSERT_EQ(frame_->PreparePage(false), 0);
  EXPECT_FALSE(frame_->GoingOn());
  EXPECT_EQ(frame_->CurrentLine(), -1);
}

// A script's code block may delete the buttons under the frame, by their group (1000) or with
// every widget: the frame forgets each, and its waits, fades and states go on without them.
TEST_F(MessageWindowTest, ButtonsAScriptDeletesAreForgottenAndTheFrameGoesOnWithoutThem) {
  const EffectHosts hosts;
  message_test::WriteButtonFile(game_);
  for (const bool every_widget : {false, true}) {
    Prepare();
    frame_->ShowButtons(true, true);
    world_->timers().Advance(1);
    if (every_widget) {
      g_WidgetManager.DeleteAll();
    } else {
      g_WidgetManager.DeleteGroup(1000, false);
    }
    for (std::size_t i = 0; i < CVovFrame::kButtonCount; ++i) {
      EXPECT_EQ(frame_->Button(i), nullptr) << i;
      EXPECT_EQ(frame_->SetButtonState(i, CVovFrame::kButtonLatched), 0) << i;
      EXPECT_EQ(frame_->SetButtonState(i, CVovFrame::kButtonDisabled), 0) << i;
    }
    frame_->ShowButtons(false, true);
    frame_->ShowButtons(true, false);
    world_->timers().Advance(300);
    EXPECT_EQ(frame_->ResetPage(), 0);
  }
}

TEST_F(MessageWindowTest, ALatchedCheckButtonIsReleasedWhenItIsEnabledOrDisabled) {
  message_test::WriteButtonFile(game_);
  Prepare();
  auto* skip = dynamic_cast<CCheckButton*>(frame_->Button(CVovFrame::kSkipButton));
  ASSERT_NE(skip, nullptr);
  frame_->SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonDisabled);
  frame_->SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonLatched);
  EXPECT_TRUE(skip->IsEnabled());
  EXPECT_TRUE(skip->IsChecked());
  frame_->SetButtonState(CVovFrame::kSkipButton, CVovFrame::kButtonDisabled);
  EXPECT_FALSE(skip->IsChecked());
  EXPECT_FALSE(skip->IsEnabled());
}

TEST_F(MessageWindowTest, TheChoiceSerialGoesOnAtOneAfter255) {
  EXPECT_EQ(frame_->ChoiceSerial(), 1);
  frame_->AdvanceChoiceSerial();
  EXPECT_EQ(frame_->ChoiceSerial(), 1) << "without a choice mark the serial stays";
  for (int i = 0; i < 254; ++i) {
    frame_->SetChoiceMark(true);
    frame_->AdvanceChoiceSerial();
  }
  EXPECT_EQ(frame_->ChoiceSerial(), 255);
  EXPECT_FALSE(frame_->ChoiceMark());
  frame_->SetChoiceMark(true);
  EXPECT_EQ(frame_->AdvanceChoiceSerial(), 0);
  EXPECT_EQ(frame_->ChoiceSerial(), 1);
}

TEST_F(MessageWindowTest, TheWaitStateNamesTheStrongestOfTheWaits) {
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitNormal);
  frame_->SetSkipMode(true);
  frame_->SetAutoModeFlag(true);
  Prepare();
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitNormal) << "a new page starts with the modes off";
  frame_->SetAutoModeFlag(true);
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitAuto);
  frame_->SetMessageSkipMark(true);
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitSkipping);
  frame_->SetMessageSkipMark(false);
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitSkipping);
  frame_->SetChoiceAwaited(true);
  EXPECT_EQ(frame_->GetWaitState(), CVovFrame::kWaitChoice);
}

TEST_F(MessageWindowTest, UserSettingsReachTheWindowOnlyWhenTheyChangedIfAskedSo) {
  Prepare();
  world_->settings[kSettingTextLogSize] = 4;
  world_->settings[kSettingTextEdge] = 1;
  world_->app.settings_changed = false;
  EXPECT_EQ(frame_->ApplyUserSettings(true, true, true, true, true), 0);
  EXPECT_EQ(frame_->TextLog().Capacity(), 101) << "the default 100 entries, plus one";
  EXPECT_EQ(frame_->MessageFont().decoration, 0);
  world_->app.settings_changed = true;
  EXPECT_EQ(frame_->ApplyUserSettings(true, true, true, true, false), 1);
  EXPECT_EQ(frame_->TextLog().Capacity(), 5);
  EXPECT_EQ(frame_->MessageFont().decoration, 2);
  EXPECT_TRUE(world_->app.settings_changed);
  world_->settings[kSettingTextLogSize] = 0;
  EXPECT_EQ(frame_->ApplyUserSettings(false, false, true, true, true), 1);
  EXPECT_EQ(frame_->TextLog().Capacity(), 0) << "no log stays no log";
  EXPECT_FALSE(world_->app.settings_changed);
}

// The carried font command where the display reaches it: the size and colours it names (or the
// defaults), scaled with the small-font setting, and what RestoreMessageFont brings back.
TEST_F(MessageWindowTest, TheCarriedFontCommandAndItsUndoing) {
  ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
  struct Case {
    bool small;
    std::int32_t size;
    std::int32_t expected;
    std::int32_t restored;
  };
  const Case cases[] = {{false, 0, 22, 22}, {true, 22, 18, 18}, {false, 30, 30, 22},
                        {true, 30, 25, 18}, {true, 0, 18, 18},  {false, 1, 1, 22}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.small << " " << c.size);
    world_->settings[kSettingSmallMessageFont] = c.small ? 1 : 0;
    EXPECT_EQ(RunCarried(28, {V(c.size), V(0x112233), V(0x445566)}), 0);
    EXPECT_EQ(frame_->MessageFont().logical_font().height, -c.expected);
    EXPECT_EQ(frame_->MessageFontState(), CVovFrame::kFontSized);
    EXPECT_EQ(frame_->MessageFont().text_color.red, 0x11);
    EXPECT_EQ(frame_->MessageFont().decoration_color.blue, 0x66);
    frame_->RestoreMessageFont();
    EXPECT_EQ(frame_->MessageFont().logical_font().height, -c.restored);
    EXPECT_EQ(frame_->MessageFont().text_color.green, 255);
    EXPECT_EQ(frame_->MessageFont().decoration_color.red, 0);
    EXPECT_EQ(frame_->MessageFontState(), CVovFrame::kFontUnchanged);
  }
  // Colours of -1 (or absent) are white text and a black edge.
  EXPECT_EQ(RunCarried(28, {V(24), V(-1)}), 0);
  EXPECT_EQ(frame_->MessageFont().text_color.blue, 255);
  EXPECT_EQ(frame_->MessageFont().decoration_color.green, 0);
}

TEST_F(MessageWindowTest, AFaceListTakesItsFirstInstalledFaceAndItsUndoingTheUsersFace) {
  ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
  const std::string faces = "NoSuchFaceAnywhere, @user";
  std::memset(&world_->settings[kSettingFaceName], 0, kSettingFaceNameSize);
  std::memcpy(&world_->settings[kSettingFaceName], "SimSun", 6);
  world_->settings[kSettingTextBold] = 1;
  EXPECT_EQ(RunCarried(28, {V(0), V(-1), V(-1), S(faces)}), 0);
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "@SimSun");
  EXPECT_EQ(frame_->MessageFontState(), CVovFrame::kFontFaceChanged);
  frame_->RestoreMessageFont();
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "SimSun");
  EXPECT_EQ(frame_->MessageFont().logical_font().weight, 700);
  EXPECT_EQ(frame_->MessageFont().logical_font().height, -22);
  const std::string missing = "NoSuchFaceAnywhere";
  EXPECT_EQ(RunCarried(28, {V(26), V(0), V(0), S(missing)}), 0);
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "SimSun") << "no installed face: the face stays";
  EXPECT_EQ(frame_->MessageFont().logical_font().height, -26);
}

// Reached by the scenario, 14 and 28 go into the message text as carried commands and change
// nothing yet.
TEST_F(MessageWindowTest, TheMessagePointCommandsTravelInTheText) {
  ASSERT_EQ(frame_->InitMessageWindow(nullptr, &world_->root), 0u);
  kvxtools::TobBuilder builder;
  builder.Text("AB");
  builder.Command(14);
  builder.Text("CD");
  builder.Command(28, {kvxtools::TobOperand::Value(30)});
  game_.WriteFile("SCRIPT/MAIN.TOB", sob_test::AsText(builder.Build()));
  ASSERT_EQ(frame_->LoadMainScript("MAIN"), 0u);
  ASSERT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(frame_->MessageFont().logical_font().height, -22);
  // "AB", the line break's record, "CD", the font's record.
  const std::span<const std::uint8_t> text = frame_->TextBuffer().Bytes();
  ASSERT_GT(text.size(), 8u);
  EXPECT_EQ(std::string(text.begin(), text.begin() + 2), "AB");
  EXPECT_EQ(text[2], 0);
  EXPECT_EQ(text[3], '[');
  const std::optional<VovCarriedCommand> line_break = DecodeVovCommand(text.subspan(4));
  ASSERT_TRUE(line_break.has_value());
  EXPECT_EQ(line_break->opcode, 14u);
  const std::size_t after_break = 4 + line_break->size;
  ASSERT_GT(text.size(), after_break + 4);
  EXPECT_EQ(std::string(text.begin() + after_break, text.begin() + after_break + 2), "CD");
  const std::optional<VovCarriedCommand> font = DecodeVovCommand(text.subspan(after_break + 4));
  ASSERT_TRUE(font.has_value());
  EXPECT_EQ(font->opcode, 28u);
  ASSERT_EQ(font->operands.size(), 1u);
  EXPECT_EQ(font->operands[0].value, 30u);
  EXPECT_EQ(after_break + 4 + font->size, text.size());
}

// A line break carried in the middle of a message: the second half starts a line of its own,
// and the command runs once in each of the window's two passes.
TEST_F(MessageWindowTest, ALineBreakInTheMiddleOfAMessageMakesTwoLines) {
  Prepare();
  CountCarried(14, VovLineBreakHandler);
  kvxtools::TobBuilder builder;
  builder.Text("ABC");
  builder.Command(14);
  builder.Text("DE");
  ShowScenario(builder);
  EXPECT_EQ(carried_heights_.size(), 2u) << "once per pass";
  const std::vector<TextRunRecord>& records = frame_->MessageWindow().run().records();
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[1].box.top, records[0].box.top);
  EXPECT_TRUE(records[3].line_start);
  EXPECT_GT(records[3].box.top, records[2].box.top);
  EXPECT_EQ(records[3].box.left, records[0].box.left);
  EXPECT_EQ(records[4].box.top, records[3].box.top);
}

// The carried font command draws the rest of the message at its size; size 0 is 22 pixels, 18
// with the small-font setting; the message's end brings the font back.
TEST_F(MessageWindowTest, TheCarriedFontCommandDrawsAtItsSizeUntilTheMessageEnds) {
  Prepare();
  CountCarried(28, VovMessageFontHandler);
  struct Case {
    bool small;
    std::int32_t size;
    std::int32_t drawn;
    std::int32_t after;
  };
  for (const Case& c : {Case{false, 0, 22, 22}, Case{true, 22, 18, 18}, Case{false, 30, 30, 22}}) {
    SCOPED_TRACE(testing::Message() << c.small << " " << c.size);
    world_->settings[kSettingSmallMessageFont] = c.small ? 1 : 0;
    carried_heights_.clear();
    frame_->MessageWindow().ClearText();
    kvxtools::TobBuilder builder;
    builder.Text("A");
    builder.Command(28, {kvxtools::TobOperand::Value(static_cast<std::uint32_t>(c.size))});
    builder.Text("B");
    ShowScenario(builder);
    EXPECT_EQ(carried_heights_, (std::vector<std::int32_t>{-c.drawn, -c.drawn}));
    EXPECT_EQ(frame_->MessageFont().logical_font().height, -c.after);
    EXPECT_EQ(frame_->MessageFontState(), CVovFrame::kFontUnchanged);
    EXPECT_EQ(frame_->MessageFont().text_color.red, 255);
  }
}

TEST_F(MessageWindowTest, ShowingAndErasingNameTheirWindowByNumber) {
  Prepare();
  CTextWindow& message = frame_->MessageWindow();
  EXPECT_EQ(frame_->WindowByNumber(0), &message);
  EXPECT_EQ(frame_->WindowByNumber(-1), frame_->CurrentWindow());
  EXPECT_EQ(frame_->WindowByNumber(-7), &message);
  EXPECT_EQ(frame_->WindowByNumber(1), nullptr);
  for (std::int32_t number : {0, -1, -2}) {
    RunCarried(29, {V(1), V(number)});
    EXPECT_TRUE(message.IsActive()) << number;
    EXPECT_TRUE(frame_->MessageWindowShown());
    RunCarried(29, {V(0), V(number)});
    EXPECT_FALSE(message.IsActive()) << number;
  }
  RunCarried(29, {V(1), V(1)});
  EXPECT_FALSE(message.IsActive()) << "window 1 and above do nothing";

  ProbeLog probe;
  auto* first = new ProbeTask(probe);
  ASSERT_EQ(world_->timers().Add(first, 0, 0, 0), CTimerManager::kAdded);
  frame_->HoldWindowTask(0, first);
  const std::string text = "abc";
  message.SetText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  RunCarried(29, {V(1), V(0)});
  RunCarried(30, {V(1)});
  EXPECT_TRUE(message.IsActive()) << "window 1 is not erased";
  EXPECT_NE(frame_->WindowTask(0), nullptr);
  RunCarried(30, {V(-2)});
  EXPECT_FALSE(message.IsActive());
  EXPECT_EQ(frame_->WindowTask(0), nullptr);
  world_->timers().Advance(1);
  EXPECT_TRUE(probe.deleted) << "the held task ended";
  EXPECT_EQ(frame_->CurrentWindow(), &message);
  EXPECT_EQ(message.Display(false), CTextWindow::kNoTextOrFrame) << "the text is gone";
}

}  // namespace
