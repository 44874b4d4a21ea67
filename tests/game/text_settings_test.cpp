// The game settings brought to the message display: a text box's background, a list menu's
// chosen-item colouring, the message font, the settings-changed mark, and the root window's
// tooltips.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "game/game_script_host.h"
#include "novel/frame/vov_frame.h"
#include "support/fake_app_services.h"
#include "support/fake_font_face.h"
#include "support/game_host_fixture.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_root_window.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widgets/list_menu.h"

namespace {

// A text box that keeps what its background was last set to.
class RecordingTextBox : public CTextLayout {
 public:
  int32_t SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) override {
    received = {style, colour, alpha, redraw};
    ++calls;
    return 0;
  }
  std::tuple<uint8_t, uint32_t, uint8_t, bool> received{};
  int calls = 0;
};

class TextSettingsTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    g_UserConfig = &settings_;
    host_.SetSettingsChangedMark(&mark_);
    settings_[kSettingTextBoxStyle] = 3;
    StoreLe32(&settings_[kSettingTextBoxColour], 0x123456);
    settings_[kSettingTextBoxAlpha] = 200;
    SetFace("face");
    ASSERT_EQ(font_.SetFont(18, 0, 1, "face"), 0u);
  }
  void TearDown() override {
    g_UserConfig = nullptr;
    GameScriptHostTest::TearDown();
  }
  void SetFace(const char* name) {
    std::memset(&settings_[kSettingFaceName], 0, kSettingFaceNameSize);
    std::memcpy(&settings_[kSettingFaceName], name, std::strlen(name));
  }
  std::uint8_t ApplyToFont(bool font_flag) {
    return host_.ApplyTextSettings(false, false, nullptr, nullptr, &font_, font_flag, false);
  }

  GameSettingsBlock settings_ = DefaultGameSettings();
  std::atomic<std::uint8_t> mark_{0};
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
};

TEST_F(TextSettingsTest, WithoutTheMarkOnlyWhenChangedDoesNothingAndTheMarkIsReturnedAndClearedOnRequest) {
  RecordingTextBox box;
  CListMenu menu;
  settings_[kSettingShowChosenChoices] = 0;
  EXPECT_EQ(host_.ApplyTextSettings(true, true, &box, &menu, &font_, true, true), 0);
  EXPECT_EQ(box.calls, 0);
  EXPECT_TRUE(menu.GetShowChosen());
  EXPECT_EQ(font_.creation_count(), 1u);
  EXPECT_TRUE(log_.Lines().empty());

  mark_ = 1;
  EXPECT_EQ(host_.ApplyTextSettings(true, false, &box, nullptr, nullptr, false, false), 1);
  EXPECT_EQ(mark_.load(), 1);
  EXPECT_EQ(host_.ApplyTextSettings(true, true, &box, nullptr, nullptr, false, false), 1);
  EXPECT_EQ(mark_.load(), 0);
  EXPECT_EQ(host_.ApplyTextSettings(false, true, &box, nullptr, nullptr, false, false), 0);
  EXPECT_EQ(box.calls, 3);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(TextSettingsTest, ThePrinterTakesTheTextLogLengthPlusOne) {
  settings_[kSettingTextLogSize] = 5;
  host_.ApplyTextSettings(false, false, nullptr, nullptr, nullptr, false, false);
  EXPECT_EQ(host_.TextPrinter().history_size(), 0) << "without the printer flag";
  host_.ApplyTextSettings(false, false, nullptr, nullptr, nullptr, false, true);
  EXPECT_EQ(host_.TextPrinter().history_size(), 6);
  // The same length keeps the history; another one starts it again.
  host_.TextPrinter().history_on = 1;
  const std::uint32_t record = host_.Memory().Allocate(8, true);
  host_.Memory().Write(record + 3, "kept", 4);
  ASSERT_EQ(host_.TextPrinter().SetMessage(record), 0);
  host_.ApplyTextSettings(false, false, nullptr, nullptr, nullptr, false, true);
  EXPECT_EQ(host_.TextPrinter().history_count(), 1);
  settings_[kSettingTextLogSize] = 0;
  host_.ApplyTextSettings(false, false, nullptr, nullptr, nullptr, false, true);
  EXPECT_EQ(host_.TextPrinter().history_size(), 0);
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(TextSettingsTest, ATextBoxTakesStyleColourAndAlphaAndAListMenusFlagFollowsByteFour) {
  RecordingTextBox box;
  host_.ApplyTextSettings(false, false, &box, nullptr, nullptr, false, false);
  EXPECT_EQ(box.received, std::make_tuple(uint8_t{3}, uint32_t{0x123456}, uint8_t{200}, false));
  for (const std::uint8_t byte : {std::uint8_t{0}, std::uint8_t{7}, std::uint8_t{0}}) {
    CListMenu menu;
    menu.SetShowChosen(byte == 0);
    settings_[kSettingShowChosenChoices] = byte;
    host_.ApplyTextSettings(false, false, nullptr, &menu, nullptr, false, false);
    EXPECT_EQ(menu.GetShowChosen(), byte != 0) << int{byte};
  }
  // A list menu given as the text box is left alone.
  CListMenu menu;
  host_.ApplyTextSettings(false, false, &menu, nullptr, nullptr, false, false);
  EXPECT_TRUE(menu.GetShowChosen());
}

TEST_F(TextSettingsTest, TheFontIsMadeAgainOnlyWhenTheFaceOrTheBoldnessDiffer) {
  settings_[kSettingTextLineSpacing] = 3;
  settings_[kSettingTextEdge] = 1;
  settings_[kSettingTextGlyphFormat] = 1;
  ApplyToFont(false);
  EXPECT_EQ(font_.creation_count(), 1u);
  EXPECT_EQ(font_.line_spacing, 0);
  ApplyToFont(true);
  EXPECT_EQ(font_.creation_count(), 1u);
  EXPECT_EQ(font_.line_spacing, 6);
  EXPECT_EQ(font_.decoration, 2);
  EXPECT_EQ(font_.glyph_format(), 1);
  EXPECT_EQ(font_.shadow_x, 2);
  settings_[kSettingTextBold] = 1;
  ApplyToFont(true);
  EXPECT_EQ(font_.creation_count(), 2u);
  EXPECT_EQ(font_.logical_font().weight, 700);
  SetFace("other");
  ApplyToFont(true);
  EXPECT_EQ(font_.creation_count(), 3u);
  EXPECT_EQ(font_.logical_font().face_name, "other");
  EXPECT_EQ(font_.logical_font().height, -18);
  EXPECT_EQ(font_.logical_font().italic, 1);
  ApplyToFont(true);
  EXPECT_EQ(font_.creation_count(), 3u);
}

TEST_F(TextSettingsTest, AFontWithoutAFaceIsLeftAlone) {
  CFont unmade{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  settings_[kSettingTextLineSpacing] = 3;
  host_.ApplyTextSettings(false, false, nullptr, nullptr, &unmade, true, false);
  EXPECT_EQ(unmade.line_spacing, 0);
  EXPECT_EQ(unmade.creation_count(), 0u);
}

TEST_F(TextSettingsTest, TheHintSwitchAndDelayBecomeTheRootWindowsTooltips) {
  GuiRootWindow().SetTooltipMode(false, 0, 77);
  for (const std::uint8_t on : {std::uint8_t{1}, std::uint8_t{0}}) {
    settings_[kSettingHintsOn] = on == 0 ? 0 : 9;
    StoreLe32(&settings_[kSettingHintDelay], 400 + on);
    EXPECT_EQ(host_.ApplyMessageLayerRedrawSetting(), 0u);
    EXPECT_EQ(GuiRootWindow().AreTooltipsEnabled(), on != 0);
    EXPECT_EQ(GuiRootWindow().GetTooltipDelay(), 400u + on);
    EXPECT_EQ(GuiRootWindow().GetTooltipDuration(), 0u) << "shown until the pointer moves";
  }
}

}  // namespace

// While a novel frame lives, the frame applies the settings to its own message window, list and
// font, reading the application's mark.
class TextSettingsWithFrameTest : public TextSettingsTest {
 protected:
  void SetUp() override {
    TextSettingsTest::SetUp();
    frame_ = std::make_unique<CVovFrame>(host_);
    ASSERT_EQ(frame_->MessageFont().SetFont(22, 0, 0, "SimSun"), 0u);
    settings_[kSettingShowChosenChoices] = 0;
  }
  void TearDown() override {
    frame_.reset();
    TextSettingsTest::TearDown();
  }

  test_support::FakeAppServices app_;
  std::unique_ptr<CVovFrame> frame_;
};

TEST_F(TextSettingsWithFrameTest, OnlyWhenChangedWithoutTheMarkChangesNothing) {
  app_.settings_changed = false;
  mark_ = 1;
  EXPECT_EQ(host_.ApplyTextSettings(true, true, nullptr, nullptr, &font_, true, true, true), 0);
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "SimSun");
  EXPECT_TRUE(frame_->ChoiceList().GetShowChosen());
  EXPECT_EQ(font_.creation_count(), 1u) << "the font given is the frame's matter";
  EXPECT_EQ(mark_.load(), 1);
}

TEST_F(TextSettingsWithFrameTest, TheMarkIsReturnedAndTheFramesFontTakesTheSettingsFace) {
  app_.settings_changed = true;
  EXPECT_EQ(host_.ApplyTextSettings(true, false, nullptr, nullptr, nullptr, true, false), 1);
  EXPECT_EQ(frame_->MessageFont().logical_font().face_name, "face");
  EXPECT_TRUE(app_.settings_changed);
  EXPECT_TRUE(frame_->ChoiceList().GetShowChosen()) << "no text box given: the colours stay";
  EXPECT_EQ(host_.ApplyTextSettings(false, true, nullptr, nullptr, nullptr, false, false), 1);
  EXPECT_FALSE(app_.settings_changed);
  EXPECT_EQ(host_.ApplyTextSettings(false, true, nullptr, nullptr, nullptr, false, false), 0);
}

// The script word -1 names no widget but counts as a text box given.
TEST_F(TextSettingsWithFrameTest, ATextBoxWordOfMinusOneReachesTheFrameAsGiven) {
  EXPECT_EQ(host_.ApplyTextSettings(false, false, nullptr, nullptr, nullptr, false, false, true), 0);
  EXPECT_FALSE(frame_->ChoiceList().GetShowChosen());
}
