// The rules of the message, version and text-input dialogs, without drawing them.
#include <gtest/gtest.h>

#include <string>

#include "app/dialogs/message_dialog_model.h"
#include "app/dialogs/version_dialog_model.h"
#include "app/framework/text_input_dialog_model.h"
#include "platform/encoding/text_encoding.h"

namespace {

TEST(MessageDialogModelTest, TheCheckBoxKindsClearTheFlagAndTheCheckBoxWritesItAtOnce) {
  struct Case {
    uint32_t kind;
    bool yes_no;
    bool has_switch;
    uint8_t flag_at_open;
  };
  for (const Case c : {Case{kDialogOk, false, false, 7}, Case{kDialogOkWithSwitchOff, false, true, 0},
                       Case{kDialogYesNo, true, false, 7}, Case{kDialogYesNoWithSwitchOff, true, true, 0}}) {
    SCOPED_TRACE(c.kind);
    uint8_t flag = 7;
    CMessageDialogModel model(c.kind, &flag);
    EXPECT_EQ(model.AsksYesNo(), c.yes_no);
    EXPECT_EQ(model.HasSwitchOff(), c.has_switch);
    EXPECT_EQ(flag, c.flag_at_open);
    EXPECT_FALSE(model.Result().has_value());
  }
  uint8_t flag = 0;
  CMessageDialogModel model(kDialogYesNoWithSwitchOff, &flag);
  model.SetSwitchOff(true);
  EXPECT_EQ(flag, 1);
  model.Accept();
  EXPECT_EQ(model.Result(), 1);
  CMessageDialogModel without_flag(kDialogOkWithSwitchOff, nullptr);
  without_flag.SetSwitchOff(true);
  without_flag.Refuse();
  EXPECT_EQ(without_flag.Result(), 0);
}

TEST(VersionDialogModelTest, TheVersionLineTheReportFileAndTheDetailChoice) {
  EXPECT_EQ(VersionLine(1, 0, 0), "Version 1.00 ");
  EXPECT_EQ(VersionLine(2, 5, 0x1A), "Version 2.051a ");
  EXPECT_EQ(ReportFileText("OS: x\nCPU: y\nlast"), "OS: x\r\nCPU: y\r\n");
  EXPECT_EQ(ReportFileText("OS: x\r\nCPU: y\r\n"), "OS: x\r\nCPU: y\r\n");
  EXPECT_EQ(ReportFileName(plat::Utf8ToSjis("ゲーム")), plat::Utf8ToSjis("「ゲーム」システム情報.txt"));

  uint8_t setting = 0;
  CVersionDialogModel model([](bool detailed) { return std::string(detailed ? "long" : "short"); }, setting);
  EXPECT_EQ(model.Report(), "short");
  model.SetDetailed(true);
  EXPECT_EQ(model.Report(), "long");
  EXPECT_EQ(setting, 1);
}

TEST(TextInputDialogModelTest, AnEntryIsCutBetweenWholeCharacters) {
  struct Case {
    const char* name;
    std::string entered;
    bool double_byte_only;
    uint8_t max_length;
    std::string result;
  };
  const std::string a = plat::Utf8ToSjis("あ");
  const std::string i = plat::Utf8ToSjis("い");
  for (const Case& c : {Case{"three bytes of two characters", a + a, false, 3, a},
                        Case{"double-byte only stops at a letter", a + i + "x" + a, true, 0, a + i},
                        Case{"within the maximum", a + "b", false, 3, a + "b"},
                        Case{"a letter after a character", "x" + a, false, 2, "x"},
                        Case{"no limit", std::string(20, 'z'), false, 0, std::string(20, 'z')},
                        Case{"the dialog reads 255 bytes", std::string(300, 'z'), false, 0, std::string(255, 'z')},
                        Case{"255 bytes keep whole characters", "z" + std::string(300 / 2 * 2, '\x82'), false, 0,
                             "z" + std::string(254, '\x82')}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CutEnteredText(c.entered, c.double_byte_only, c.max_length), c.result);
  }
}

}  // namespace
