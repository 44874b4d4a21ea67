// The scripts give their text box a cell sheet as the wait icon's picture set and start the icon:
// it is made once, drawn into the box's page, ended when the set changes, and the box holds the
// set safely when the scripts release or reload it meanwhile.
#include <string>

#include "base/time/timer_manager.h"
#include "builtins/widget_builtins_fixture.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/picture_part.h"
#include "scene/animations/resource_list.h"
#include "support/fake_clock.h"
#include "ui/dialogs/script_text_box.h"

namespace {

using test_support::ScriptCallsRun;
using widget_test::WidgetBuiltinsTest;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kFirstCell = 0xFFE04030;
constexpr std::uint32_t kSecondCell = 0xFF30E040;
// Where the sheet puts its cells in the box's page, and a pixel inside the first.
constexpr int32_t kCellX = 60;
constexpr int32_t kCellY = 20;
constexpr int32_t kProbeX = kCellX + 4;
constexpr int32_t kProbeY = kCellY + 4;

// Refuses every task, as a manager that cannot take more would.
class RefusingTimers : public CTimerManager {
 public:
  uint32_t Add(CTimedTask* /*task*/, uint32_t /*delay*/, uint32_t /*period*/, uint32_t /*repeat_count*/) override {
    return kAlreadyAdded;
  }
};

std::string Words(std::uint32_t handle, const std::string& rest = "") {
  return std::to_string(handle) + (rest.empty() ? "" : ", " + rest);
}

class TextBoxPictureTest : public WidgetBuiltinsTest {
 protected:
  void SetUp() override {
    WidgetBuiltinsTest::SetUp();
    gui_test::WriteFramesElg(game_, "cells.elg", 10, 10, {kFirstCell, kSecondCell, 0xFF4030E0});
    g_PausableTimerManager = &timers_;
    box_ = MakeBox();
    ASSERT_NE(Box(), nullptr);
    sheet_ = LoadSheet(box_);
    ASSERT_NE(Sheet(), nullptr);
  }
  void TearDown() override {
    g_WidgetManager.DeleteAll();
    g_CellSheets.ReleaseAll();
    g_PausableTimerManager = nullptr;
    WidgetBuiltinsTest::TearDown();
  }

  std::uint32_t MakeBox() { return Make(697, "10, 80, 100, 60, " + FontText() + ", -1"); }
  CScriptTextBox* Box(std::uint32_t handle) { return dynamic_cast<CScriptTextBox*>(Widget(handle)); }
  CScriptTextBox* Box() { return Box(box_); }
  CCellSheet* Sheet() { return host_.Handles().Get<CCellSheet>(sheet_); }
  // A sheet of three cells that draws into the page the box's sprite shows, keeping what was under them.
  std::uint32_t LoadSheet(std::uint32_t box) {
    const std::uint32_t sprite = Call(736, Words(box, "0"));
    const ScriptCallsRun run = Run({{{532, "cells, 3, 50, " + Words(sprite, "0, 60, 20, 0, 2, 65535")}},
                                    "cells: .string \"cells.elg\"\n"});
    return run.Result(0);
  }
  uint32_t PageAtProbe() { return Box()->text_image().GetPixel(kProbeX, kProbeY); }
  // A frame of the pausable tasks.
  void Frame() {
    clock_.Advance(17);
    timers_.Advance(clock_.PreciseMilliseconds());
  }

  ScopedFakeClock clock_;
  CTimerManager timers_;
  std::uint32_t box_ = 0;
  std::uint32_t sheet_ = 0;
};

TEST_F(TextBoxPictureTest, TheIconIsMadeOnceFromTheSetAndDrawsIntoThePage) {
  EXPECT_EQ(Call(773, Words(box_)), 1u) << "no picture set yet";
  const uint32_t background = PageAtProbe();
  const ScriptCallsRun run = Run({{{775, Words(box_, Words(sheet_))}, {773, Words(box_)}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 0u);
  const CPicturePart* icon = Box()->wait_icon();
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(Box()->wait_icon_shown());
  Frame();
  EXPECT_EQ(PageAtProbe(), kFirstCell);
  EXPECT_EQ(Call(773, Words(box_)), 0u);
  EXPECT_EQ(Box()->wait_icon(), icon) << "made once";
  EXPECT_EQ(Sheet()->GetRefCount(), 2u) << "held by the box and by its icon besides the list";

  // A new set ends the running icon and takes its cell off the page.
  EXPECT_EQ(Call(775, Words(box_, "0")), 1u);
  EXPECT_EQ(Box()->wait_icon(), nullptr);
  EXPECT_FALSE(Box()->wait_icon_shown());
  EXPECT_EQ(PageAtProbe(), background);
  Frame();
  EXPECT_EQ(Sheet()->GetRefCount(), 0u) << "the ended icon is gone and only the list holds the set";
  EXPECT_EQ(Call(773, Words(box_)), 1u);
}

TEST_F(TextBoxPictureTest, WithoutATimerManagerNoIconStarts) {
  g_PausableTimerManager = nullptr;
  const std::uint32_t untimed = MakeBox();
  ASSERT_NE(Box(untimed), nullptr);
  const ScriptCallsRun run = Run({{{775, Words(untimed, Words(sheet_))}, {773, Words(untimed)}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 1u);
  EXPECT_EQ(Box(untimed)->wait_icon(), nullptr);
}

TEST_F(TextBoxPictureTest, AnIconTheManagerRefusesIsDeleted) {
  RefusingTimers refusing;
  g_PausableTimerManager = &refusing;
  const std::uint32_t refused = MakeBox();
  ASSERT_NE(Box(refused), nullptr);
  const ScriptCallsRun run =
      Run({{{775, Words(refused, Words(sheet_))}, {773, Words(refused)}, {773, Words(refused)}}});
  EXPECT_EQ(run.Result(1), 2u);
  EXPECT_EQ(run.Result(2), 2u);
  EXPECT_EQ(Box(refused)->wait_icon(), nullptr);
  EXPECT_EQ(Sheet()->GetRefCount(), 1u) << "the refused icon let go of the set: only the box holds it";
  g_WidgetManager.DeleteWidget(Widget(refused));
}

TEST_F(TextBoxPictureTest, ASetTheScriptsReleaseLivesOnWithTheBox) {
  ASSERT_EQ(Run({{{775, Words(box_, Words(sheet_))}, {773, Words(box_)}}}).Result(1), 0u);
  const ScriptCallsRun release =
      Run({{{535, "word"}, {775, Words(box_, "0")}}, "word: .word " + std::to_string(sheet_) + "\n"});
  EXPECT_EQ(release.Result(0), 0u);
  EXPECT_EQ(release.Word("word"), 0u);
  EXPECT_EQ(g_CellSheets.GetCount(), 0u);
  EXPECT_EQ(Box()->picture_set(), nullptr) << "775 let go of it, so it went";
  EXPECT_EQ(Call(773, Words(box_)), 1u);

  // Released while the box keeps it: the running icon ends, the set stays the box's.
  sheet_ = LoadSheet(box_);
  ASSERT_EQ(Run({{{775, Words(box_, Words(sheet_))}, {773, Words(box_)}}}).Result(1), 0u);
  const CCellSheet* held = Box()->picture_set();
  ASSERT_EQ(Run({{{536, ""}}}).Result(0), 0u);
  EXPECT_EQ(Box()->wait_icon(), nullptr);
  EXPECT_EQ(Box()->picture_set(), held);
  EXPECT_EQ(Call(773, Words(box_)), 0u) << "a new icon from the set the box holds";
  ASSERT_NE(Box()->wait_icon(), nullptr);
  // 51 ms into its run (50 ms a cell) the icon shows the second cell.
  for (int frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(PageAtProbe(), kSecondCell);
  // A handle of the released set names no set.
  EXPECT_EQ(Call(775, Words(box_, Words(sheet_))), 1u);
  EXPECT_EQ(Box()->picture_set(), nullptr);
  EXPECT_EQ(Box()->wait_icon(), nullptr);
}

TEST_F(TextBoxPictureTest, ASetLoadedAgainWithoutAPictureRefusesTheIcon) {
  ASSERT_EQ(Call(775, Words(box_, Words(sheet_))), 1u);
  const std::uint32_t sprite = Call(736, Words(box_, "0"));
  const ScriptCallsRun reload = Run({{{537, Words(sheet_, "none, 3, 50, " + Words(sprite, "0, 60, 20, 0, 2, 65535"))},
                                      {773, Words(box_)}},
                                     "none: .string \"none.elg\"\n"});
  EXPECT_NE(reload.Result(0), 0u);
  EXPECT_EQ(reload.Result(1), 2u);
  EXPECT_EQ(Box()->wait_icon(), nullptr);
}

TEST_F(TextBoxPictureTest, OnlyTheScriptsTextBoxTakesAPictureSet) {
  const std::uint32_t plain = Make(696, "10, 10, 100, 60, " + FontText() + ", -1");
  const ScriptCallsRun run = Run({{{773, "0"}, {773, Words(plain)}, {775, Words(0, Words(sheet_))},
                                   {775, Words(plain, Words(sheet_))}}});
  EXPECT_EQ(run.Result(0), kMinusOne);
  EXPECT_EQ(run.Result(1), kMinusOne);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Result(3), 0u);
  EXPECT_EQ(Sheet()->GetRefCount(), 0u);
}

}  // namespace
