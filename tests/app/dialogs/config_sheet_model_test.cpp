// The rules of the configuration sheet, without drawing it.
#include <gtest/gtest.h>

#include <vector>

#include "app/dialogs/config_sheet_model.h"
#include "base/numbers/little_endian.h"

namespace {

constexpr uint8_t kDikZ = 0x2C;
constexpr uint8_t kDikX = 0x2D;
constexpr uint8_t kDikReturn = 0x1C;
constexpr uint8_t kDikF1 = 0x3B;
constexpr uint8_t kDikUp = 0xC8;
constexpr uint8_t kDikLeft = 0xCB;
constexpr uint8_t kDikApps = 0xDD;
constexpr std::size_t kFirstKey = 114;
constexpr std::size_t kMovieVolume = 168;
constexpr std::size_t kHintDelay = 20;

class ConfigSheetModelTest : public ::testing::Test {
 protected:
  GameSettingsBlock settings_ = DefaultGameSettings();
  std::vector<uint32_t> previews_;
  CConfigSheetModel::VolumePreview preview_ = [this](uint32_t volume) { previews_.push_back(volume); };
};

TEST_F(ConfigSheetModelTest, AKeyTakenByAnotherFieldMovesAndKeysWithoutANameAreRefused) {
  settings_[kFirstKey] = kDikZ;  // "決定"
  settings_[kFirstKey + 1] = kDikX;
  CConfigSheetModel model(settings_, true, preview_);
  // Z pressed in "キャンセル" moves there from "決定".
  EXPECT_TRUE(model.CaptureKey(1, kDikZ));
  EXPECT_EQ(model.Controls().keys[0], 0);
  EXPECT_EQ(model.Controls().keys[1], kDikZ);
  EXPECT_EQ(AssignableKeyName(model.Controls().keys[0]), "");
  for (const uint8_t refused : {kDikReturn, kDikF1, kDikUp, kDikLeft, kDikApps, uint8_t{0}, kDikZ}) {
    SCOPED_TRACE(static_cast<int>(refused));
    EXPECT_FALSE(model.CaptureKey(1, refused));
    EXPECT_EQ(model.Controls().keys[1], kDikZ);
  }
  EXPECT_EQ(AssignableKeyName(kDikZ), "Z");
  EXPECT_EQ(JoystickButtonName(4), "ボタン1");
  EXPECT_EQ(JoystickButtonName(3), "");
}

TEST_F(ConfigSheetModelTest, DefaultsFillOnlyTheShownPageAndOkStoresThem) {
  settings_[kFirstKey] = kDikZ;
  settings_[kSettingStartInWindow] = 1;  // window page, default 0
  settings_[kSettingSaveCaption] = 0;    // other page, default 1
  CConfigSheetModel model(settings_, true, preview_);
  model.ShowPage(kConfigKeyboardPage);
  model.ShowPage(kConfigWindowPage);
  model.ShowPage(kConfigOtherPage);
  model.ShowPage(kConfigKeyboardPage);
  model.FillDefaults();
  EXPECT_EQ(model.Controls().keys[0], DefaultGameSettings()[kFirstKey]);
  EXPECT_TRUE(model.Controls().start_in_window);
  EXPECT_FALSE(model.Controls().caption_from_text);
  EXPECT_EQ(settings_[kFirstKey], kDikZ);  // nothing written before OK
  model.Confirm();
  EXPECT_EQ(settings_[kFirstKey], DefaultGameSettings()[kFirstKey]);
  EXPECT_EQ(settings_[kSettingStartInWindow], 1);
  EXPECT_EQ(settings_[kSettingSaveCaption], 0);
  EXPECT_EQ(settings_[2], kConfigKeyboardPage);  // the page to open with next time
}

TEST_F(ConfigSheetModelTest, NumberFieldsClampAndMoveTheirSliders) {
  CConfigSheetModel model(settings_, true, preview_);
  struct Case {
    const char* typed;
    int hint_delay;
  };
  for (const Case c : {Case{"5000", 300}, Case{"123", 12}, Case{"-5", 0}, Case{"99999999999999999999", 300},
                       Case{"abc", 0}}) {
    SCOPED_TRACE(c.typed);
    model.TypeHintDelay(c.typed);
    EXPECT_EQ(model.Controls().hint_delay, c.hint_delay);
  }
  model.TypeHintDelay("5000");
  EXPECT_EQ(model.HintDelayText(), "3000");
  model.TypeHistoryPages("300");
  EXPECT_EQ(model.Controls().history_pages, 255);
  model.ShowPage(kConfigOtherPage);
  model.Confirm();
  EXPECT_EQ(LoadLe32(&settings_[kHintDelay]), 3000u);
  EXPECT_TRUE(model.HintSettingsChanged());
}

TEST_F(ConfigSheetModelTest, CancellingPutsBackTheVolumeFromBeforeThePreview) {
  StoreLe32(&settings_[kMovieVolume], 200);
  CConfigSheetModel model(settings_, true, preview_);
  model.ShowPage(kConfigOtherPage);
  model.SetMovieVolume(64);
  model.TypeMovieVolume("999");
  model.Cancel();
  EXPECT_EQ(previews_, (std::vector<uint32_t>{64, 256, 200}));
  EXPECT_EQ(LoadLe32(&settings_[kMovieVolume]), 200u);
}

TEST_F(ConfigSheetModelTest, WithoutAJoystickItsSwitchAndButtonsStayAsStored) {
  settings_[132] = 1;
  settings_[133] = 9;
  CConfigSheetModel model(settings_, false, preview_);
  model.ShowPage(kConfigJoystickPage);
  model.Controls().joystick_on = false;
  model.CaptureButton(0, 5);
  model.Controls().right_button = 3;
  model.Confirm();
  EXPECT_EQ(settings_[132], 1);
  EXPECT_EQ(settings_[133], 9);
  EXPECT_EQ(settings_[149], 3);
}

TEST_F(ConfigSheetModelTest, TheWindowPageStoresItsTwoCodedChoices) {
  CConfigSheetModel model(settings_, true, preview_);
  model.ShowPage(kConfigWindowPage);
  model.Controls().resolution_by_direct_draw = true;
  model.Controls().drawing_method = 2;
  model.Confirm();
  EXPECT_EQ(settings_[kSettingResolutionMethod], 2);
  EXPECT_EQ(settings_[kSettingEnlargedDrawing], 3);
  model.Controls().resolution_by_direct_draw = false;
  model.Confirm();
  EXPECT_EQ(settings_[kSettingResolutionMethod], 1);
}

}  // namespace
