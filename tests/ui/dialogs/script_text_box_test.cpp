// The script text box printing a fake message against the fake clock, on the fake face at size
// 20 (every character advances 20), with the game's keyboard fed by key messages: Return is the
// decide action and Ctrl the skip key. Unread text prints one character per 30 ms.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/input/input_manager.h"
#include "base/lifetime/ref_counted.h"
#include "base/settings/game_settings.h"
#include "base/time/timer_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/events/window_messages.h"
#include "scene/animations/cell_sheet.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_clock.h"
#include "support/fake_font_face.h"
#include "support/fake_message_text.h"
#include "support/scoped_pixel_library.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/dialogs/text_anim_task.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"

namespace {

using Stop = FakeMessageText::Stop;
constexpr char kThree[] = "\x82\xA0\x82\xA2\x82\xA4";  // あいう
constexpr int32_t kAdvance = 20;
constexpr int32_t kMargin = 8;
constexpr uint32_t kUnreadInterval = 30;

Stop Wait() { return {IMessageText::kWaitStop, "", 0}; }
Stop End() { return {IMessageText::kEnd, "", 0}; }
Stop Size(int32_t value) { return {IMessageText::kSizeChange, "", value}; }

class ScriptTextBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(kAdvance, 0, 0, "face"), 0U);
    g_KeyBindings = window_.GetInputBindings();
    g_Keyboard = window_.GetKeyboard();
    g_Mouse = window_.GetMouse();
    settings_ = DefaultGameSettings();
    g_UserConfig = &settings_;
  }
  void TearDown() override {
    g_KeyBindings = nullptr;
    g_Keyboard = nullptr;
    g_Mouse = nullptr;
    g_UserConfig = nullptr;
  }
  void CreateBox(int32_t width = 200, int32_t height = 100) {
    ASSERT_EQ(box_->Create(&list_, 10, width, height, 0, 0, &font_, nullptr, 0), 0U);
  }
  void Hold(std::initializer_list<uint32_t> keys) { window_.PressKeys(keys); }
  // One frame `ms` later.
  void Frame(uint32_t ms = kUnreadInterval) {
    clock_.Advance(ms);
    timers_.Dispatch(0);
  }
  int32_t CharactersOnLine() const { return (box_->pen_x() - kMargin) / kAdvance; }
  const CTextAnimTask& task() const { return *box_->animation(); }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  GameSettingsBlock settings_{};
  // Its devices are the game's; Return is its decide action.
  gui_test::TestWindow window_;
  CDrawList list_;
  CTimerManager timers_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  FakeMessageText message_;
  std::unique_ptr<CScriptTextBox> box_ = std::make_unique<CScriptTextBox>(&message_, &timers_);
};

TEST_F(ScriptTextBoxTest, AWaitMarkHoldsTheTextAndShowsTheIconUntilTheDecideAction) {
  CreateBox();
  CImage cells;
  ASSERT_EQ(cells.Create(2 * 10, 10, 32, 0), 0U);
  cells.FillRectArgb(0xFFFF0000, nullptr);
  RefPtr<CCellSheet> sheet = MakeRef<CCellSheet>();
  CellSheetSetup setup;
  setup.cell_count = 2;
  setup.frame_time = 100;
  setup.target = &box_->text_image();
  setup.x = 180;
  setup.y = 80;
  setup.background_mode = CellSheetSetup::kKeepBackground;
  ASSERT_EQ(sheet->Attach(&cells, setup), 0U);
  box_->SetPictureSet(sheet.get());
  message_.Set({FakeMessageText::Text("\x82\xA0\x82\xA2"), {Wait()}, FakeMessageText::Text("\x82\xA4"), {End()}});
  ASSERT_EQ(box_->StartAnimation(true), 0U);
  const uint32_t background = box_->text_image().GetPixel(185, 85);

  for (int frame = 0; frame < 6; ++frame) Frame();
  EXPECT_EQ(task().state(), CTextAnimTask::kWaiting);
  EXPECT_EQ(task().last_stop(), IMessageText::kWaitStop);
  EXPECT_EQ(CharactersOnLine(), 2);
  EXPECT_TRUE(box_->wait_icon_shown());
  EXPECT_EQ(box_->text_image().GetPixel(185, 85), 0xFFFF0000u) << "the icon's cell is on the page";

  Hold({plat::VK_SPACE});  // a key bound to nothing
  for (int frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(task().state(), CTextAnimTask::kWaiting);
  EXPECT_EQ(CharactersOnLine(), 2);

  Hold({plat::VK_RETURN});
  Frame();
  Hold({});
  for (int frame = 0; frame < 3; ++frame) Frame();
  EXPECT_EQ(CharactersOnLine(), 3);
  EXPECT_EQ(task().state(), CTextAnimTask::kEnded);
  EXPECT_FALSE(box_->wait_icon_shown());
  EXPECT_EQ(box_->text_image().GetPixel(185, 85), background) << "the hidden icon left the background";
  box_.reset();
  Frame();
  EXPECT_EQ(timers_.GetCount(), 0U) << "the box took its task and icon with it";
}

TEST_F(ScriptTextBoxTest, AClickAdvancesUnlessItLandsOnAnotherWidgetOfTheWindow) {
  CreateBox();
  std::vector<std::string> log;
  gui_test::LoggingElement button("button", log, {0, 0, 50, 50});
  ASSERT_EQ(window_.AddChild(&button, -1), 0U);
  ASSERT_EQ(window_.AddChild(box_.get(), -1), 0U);
  message_.Set({{Wait()}, FakeMessageText::Text(kThree), {End()}});
  ASSERT_EQ(box_->StartAnimation(true), 0U);
  Frame();
  ASSERT_EQ(task().state(), CTextAnimTask::kWaiting);

  window_.pointer = {10, 10};
  window_.ProcessInput(clock_.PreciseMilliseconds());
  window_.SetLeftButton(true);
  Frame();
  EXPECT_EQ(task().state(), CTextAnimTask::kWaiting) << "the click was the button's";

  window_.SetLeftButton(false);
  window_.pointer = {300, 300};
  window_.ProcessInput(clock_.PreciseMilliseconds());
  window_.SetLeftButton(true);
  Frame();
  EXPECT_EQ(task().state(), CTextAnimTask::kPrinting);
  window_.RemoveAll();
}

TEST_F(ScriptTextBoxTest, TheSkipKeyFinishesReadTextButUnreadTextPrintsWhenOnlyReadTextMaySkip) {
  struct Case {
    bool read;
    int32_t on_line_at_start;
    uint8_t state;
  };
  for (const Case& c : {Case{false, 0, CTextAnimTask::kStarted}, Case{true, 3, CTextAnimTask::kSkipped}}) {
    SCOPED_TRACE(c.read ? "read" : "unread");
    box_ = std::make_unique<CScriptTextBox>(&message_, &timers_);
    CreateBox();
    settings_[kSettingSkipKeyReadTextOnly] = 1;
    settings_[kSettingReadTextAtOnce] = 0;
    settings_[kSettingReadTextInterval] = kUnreadInterval;
    Hold({plat::VK_CONTROL});
    message_.Set({FakeMessageText::Text(kThree), {End()}}, "", c.read);
    ASSERT_EQ(box_->StartAnimation(true), 0U);
    EXPECT_EQ(CharactersOnLine(), c.on_line_at_start);
    EXPECT_EQ(task().state(), c.state);
    Frame();
    Frame();
    EXPECT_EQ(CharactersOnLine(), c.read ? 3 : 2) << "one character per interval while unread";
    Hold({});
  }
}

TEST_F(ScriptTextBoxTest, AFullPageStopsOnTheCharacterThatDidNotFitAndTheNextPageStartsWithIt) {
  CreateBox(200, 60);
  std::string long_text;
  for (int i = 0; i < 12; ++i) long_text += kThree;
  message_.Set({FakeMessageText::Text(long_text), {End()}});
  ASSERT_EQ(box_->StartAnimation(true), 0U);
  ASSERT_EQ(box_->ControlAnimation(CTextAnimTask::kPrintToWait), 0U);
  ASSERT_EQ(task().state(), CTextAnimTask::kWaiting);
  EXPECT_EQ(task().last_stop(), IMessageText::kPageStop);
  const size_t unplaced = message_.cursor();
  EXPECT_GT(unplaced, 8U);
  EXPECT_LT(unplaced, 36U);

  Hold({plat::VK_RETURN});
  Frame();
  EXPECT_EQ(box_->pen_y(), kMargin) << "a new page";
  EXPECT_EQ(CharactersOnLine(), 1);
  EXPECT_EQ(message_.cursor(), unplaced + 1) << "the first character on it is the one that did not fit";
}

TEST_F(ScriptTextBoxTest, ASizeChangeLastsUntilTheNextMessage) {
  CreateBox();
  settings_[kSettingUnreadTextAtOnce] = 1;
  message_.Set({{Size(10)}, FakeMessageText::Text("\x82\xA0"), {Wait()}});
  ASSERT_EQ(box_->StartAnimation(true), 0U);
  Frame();
  ASSERT_EQ(task().state(), CTextAnimTask::kWaiting);
  EXPECT_EQ(std::abs(font_.logical_font().height), kAdvance + 10);
  EXPECT_EQ(box_->line_size(), kAdvance + 10);
  message_.Set({FakeMessageText::Text(kThree), {End()}});
  ASSERT_EQ(box_->StartAnimation(true), 0U);
  EXPECT_EQ(std::abs(font_.logical_font().height), kAdvance);
  EXPECT_EQ(box_->line_size(), kAdvance);
}

TEST_F(ScriptTextBoxTest, AVoicePartThatDoesNotFitTheVoiceNameGivesTwoAndTheMessageStillPrints) {
  CreateBox();
  struct Case {
    std::string voice;
    uint32_t result;
    std::string kept;
  };
  for (const Case& c : {Case{"v0123456789abcd", 0, "v0123456789abcd"}, Case{std::string(20, 'v'), 2, ""}}) {
    message_.Set({FakeMessageText::Text(kThree), {End()}}, "name\\" + c.voice);
    EXPECT_EQ(box_->StartAnimation(true), c.result) << c.voice.size();
    EXPECT_EQ(std::string(box_->voice_name()), c.kept);
    for (int frame = 0; frame < 4; ++frame) Frame();
    EXPECT_EQ(task().state(), CTextAnimTask::kEnded);
  }
  EXPECT_EQ(box_->ControlAnimation(7), CTextAnimTask::kBadOperation);
  CScriptTextBox without_message(nullptr, &timers_);
  EXPECT_EQ(without_message.StartAnimation(true), CScriptTextBox::kNoTimersOrMessage);
  EXPECT_EQ(without_message.ControlAnimation(0), CScriptTextBox::kNoTask);
}

}  // namespace
