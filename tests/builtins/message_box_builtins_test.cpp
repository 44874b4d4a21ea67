// Built-ins 796 to 799: the scripts' message boxes and message dialog, answered through the
// application from the game thread.
#include "builtins/message_box_builtins.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "script/script_fault.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"

namespace {

class MessageBoxBuiltinsTest : public ::testing::Test, public builtin_test::BuiltinCaller {
 protected:
  test_support::FakeAppServices app_;
  std::vector<plat::MessageBoxRequest> shown_;
  int answer_ = plat::IDYES;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    shown_.push_back(request);
    return answer_;
  }};
};

TEST_F(MessageBoxBuiltinsTest, EachBoxAsksWithItsButtonsAndAnswersOneOnlyForYesOrOk) {
  struct Case {
    std::uint32_t id;
    int answer;
    std::uint32_t buttons;
    std::uint32_t result;
  };
  for (const Case c : {Case{796, plat::IDOK, plat::MB_OK, 0}, Case{797, plat::IDYES, plat::MB_YESNO, 1},
                       Case{797, plat::IDNO, plat::MB_YESNO, 0}, Case{798, plat::IDOK, plat::MB_OKCANCEL, 1},
                       Case{798, plat::IDCANCEL, plat::MB_OKCANCEL, 0}}) {
    shown_.clear();
    answer_ = c.answer;
    EXPECT_EQ(Call(c.id, {Text("Title"), Text("Question?"), 3}), c.result) << c.id << " " << c.answer;
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, "Question?");
    EXPECT_EQ(shown_[0].caption, "Title");
    EXPECT_EQ(shown_[0].style & 0xF, c.buttons);
  }
  // The style word goes to the application as the icon kind, unchanged.
  EXPECT_EQ(app_.icon_kinds, std::vector<int>(5, 3));
  shown_.clear();
  answer_ = plat::IDYES;
  EXPECT_EQ(Call(797, {0, Text("No title"), 0xFFFFFFFF}), 1u);
  EXPECT_EQ(shown_.at(0).caption, "Kestrune");
  EXPECT_EQ(app_.icon_kinds.back(), -1);
}

TEST_F(MessageBoxBuiltinsTest, TheDialogAsksYesOrNoForAPositiveModeAndShowsNothingWithoutAText) {
  app_.dialog_answer = 1;
  EXPECT_EQ(Call(799, {1, Text("Title"), Text("Go on?")}), 1u);
  EXPECT_EQ(Call(799, {0, 0, Text("Note")}), 1u);
  EXPECT_EQ(Call(799, {0xFFFFFFFF, Text("T"), Text("Note")}), 1u);
  EXPECT_EQ(Call(799, {1, Text("T"), 0}), 0u);
  EXPECT_EQ(Call(799, {1, Text("T"), Text("")}), 0u);
  using Dialog = test_support::FakeAppServices::Dialog;
  EXPECT_EQ(app_.dialogs, (std::vector<Dialog>{{"Go on?", 2, "Title"}, {"Note", 0, ""}, {"Note", 0, "T"}}));
}

TEST_F(MessageBoxBuiltinsTest, ABadTextAddressIsABadScriptAndShowsNothing) {
  for (const std::uint32_t id : {796u, 797u, 798u, 799u}) {
    EXPECT_THROW(Call(id, {Text("T"), 0x7FFFFFF0, Text("x")}), ScriptFault) << id;
  }
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(app_.dialogs.empty());
}

TEST_F(MessageBoxBuiltinsTest, NoMessageBuiltInIsLeftUnbuilt) {
  LogCapture log;
  for (std::uint32_t id = 796; id <= 799; ++id) Call(id, {0, 0, 0});
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace
