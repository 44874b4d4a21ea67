// Scripts make widgets, put them into the root window and set them through the widget built-ins:
// the words each row passes and the defaults of an absent group, the window's command and the
// manager's switches, deleting by the script's handle word, the children that scroll bars and
// list boxes bring, and what every row gives for a widget that is gone.
#include <string>
#include <vector>

#include "base/numbers/bit_array.h"
#include "base/time/timer_manager.h"
#include "builtins/widget_builtins_fixture.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/dialogs/text_anim_task.h"
#include "ui/widgets/check_button.h"
#include "ui/widgets/click_area.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/scroll_bar.h"
#include "ui/widgets/scroll_bar_arrow.h"

namespace {

using test_support::ScriptCalls;
using test_support::ScriptCallsRun;
using widget_test::WidgetBuiltinsTest;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

std::string Words(std::uint32_t handle, const std::string& rest = "") {
  return std::to_string(handle) + (rest.empty() ? "" : ", " + rest);
}

TEST_F(WidgetBuiltinsTest, ALabelButtonWithoutItsGroupReadsNoneOfIt) {
  // args[5] lies outside script memory: reading it would end the run.
  const std::uint32_t bare = Make(685, "10, 10, 80, 30, 65535, 0xFFFFFFF0, 0x12345, 99");
  ASSERT_NE(Widget(bare), nullptr);
  EXPECT_EQ(Widget(bare)->GetPriority(), 0u);
  const std::uint32_t given = Make(685, "10, 50, 80, 30, 1, 0, 0, 7");
  ASSERT_NE(Widget(given), nullptr);
  EXPECT_EQ(Widget(given)->GetPriority(), 7u);
  EXPECT_EQ(Widget(given)->GetWidth(), 80);
  g_WidgetManager.SetLayer(nullptr);
  EXPECT_EQ(Call(685, "10, 50, 80, 30, 65535"), 0u) << "without a layer the factory fails";
}

TEST_F(WidgetBuiltinsTest, AListBoxTakesItsFirstFiveWordsAsFontHeightWidthThenItsPlace) {
  const std::uint32_t box = Make(700, "30, 40, " + FontText() + ", 90, 120, thumb, 0, 0, 90, 150, 40, 65535");
  ASSERT_NE(Widget(box), nullptr);
  EXPECT_EQ(Widget(box)->GetType(), CListBox::kType);
  EXPECT_EQ(Widget(box)->GetX(), 30);
  EXPECT_EQ(Widget(box)->GetY(), 40);
  EXPECT_EQ(Widget(box)->GetWidth(), 120);
  EXPECT_EQ(Widget(box)->GetHeight(), 90);
}

TEST_F(WidgetBuiltinsTest, AClickAreaWithMinusOneTakesTheMiddleAndNeitherSwitchWhateverFollows) {
  const std::uint32_t plain = Make(699, "10, 20, 40, 30, -1, 0xFFFFFFF0, 1, 1");
  auto* area = dynamic_cast<CClickArea*>(Widget(plain));
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->GetHotX(), 30);
  EXPECT_EQ(area->GetHotY(), 35);
  EXPECT_FALSE(area->HitTest(15, 25)) << "not hit-testable";
  auto* given = dynamic_cast<CClickArea*>(Widget(Make(699, "10, 20, 40, 30, 3, 4, 1, 1")));
  ASSERT_NE(given, nullptr);
  EXPECT_EQ(given->GetHotX(), 3);
  EXPECT_TRUE(given->HitTest(15, 25));
  EXPECT_EQ(Call(750, Words(plain, "7, 8")), 1u);
  EXPECT_EQ(area->GetHotX(), 7);
  EXPECT_EQ(area->GetHotY(), 8);
}

TEST_F(WidgetBuiltinsTest, TheCommandIsTakenOnceAndTheListSwitchAnswersItsPreviousValue) {
  GuiRootWindow().OnCommand(42);
  const ScriptCallsRun run = Run({{{707, ""}, {707, ""}, {712, "1"}, {712, "1"}, {712, "0"}, {713, "5"}}});
  EXPECT_EQ(run.Result(0), 42u);
  EXPECT_EQ(run.Result(1), kMinusOne);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Result(3), 1u);
  EXPECT_EQ(run.Result(4), 1u);
  EXPECT_FALSE(g_WidgetManager.use_attached_list);
  EXPECT_EQ(Widget(MakeLabelButton())->GetGroup(), 5) << "new widgets take the group";
}

TEST_F(WidgetBuiltinsTest, DeletingClearsTheScriptsWordOnlyWhenTheWidgetWentAway) {
  const std::uint32_t button = MakeLabelButton();
  const std::string words = "word: .word " + std::to_string(button) + "\ncopy: .word " + std::to_string(button) +
                            "\nzero: .word 0\n";
  const ScriptCallsRun run = Run({{{715, "word"}, {715, "copy"}, {715, "zero"}, {715, "0"}}, words});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(run.Word("word"), 0u);
  EXPECT_EQ(run.Result(1), 2u) << "the widget is gone";
  EXPECT_EQ(run.Word("copy"), button);
  EXPECT_EQ(run.Result(2), 1u);
  EXPECT_EQ(run.Result(3), 1u);
  EXPECT_EQ(g_WidgetManager.GetCount(), 0u);
}

TEST_F(WidgetBuiltinsTest, SoundsGoToWidgetsWithAnActionOnly) {
  const std::uint32_t field = Make(691, "5, 5, " + FontText() + ", 100, 65535");
  ASSERT_NE(Widget(field), nullptr);
  const std::uint32_t button = MakeLabelButton();
  const ScriptCallsRun run = Run({{{726, Words(field, "1, 2, 3")}, {726, "0, 1, 2, 3"}, {726, Words(button, "1, 2, 3")}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), kMinusOne);
  EXPECT_EQ(run.Result(2), 0u);
}

// Sizes worked out from extreme words do not fit a picture: the factories refuse them.
TEST_F(WidgetBuiltinsTest, FieldsAndBarsTooLargeForAPictureAreRefused) {
  const std::vector<std::string> words = {
      FontText() + ", 2, 0x7FFFFFFF, 65535",
      FontText() + ", 0x7FFFFFFF, 1, 65535",
      FontText() + ", 65541, 1, 0, 65564, 1, 0",
      FontText() + ", 2, 1, 0x7FFFFFFF, 0, 1, 0",
  };
  for (const std::string& rest : words) EXPECT_EQ(Make(692, "5, 5, " + rest), 0u) << rest;
  EXPECT_EQ(Make(691, "5, 5, " + FontText() + ", 100, 0x7FFFFFFF, 1, 0"), 0u);
  EXPECT_EQ(Make(693, "200, 10, 1, 0x7FFFFFFF, 0, 0, 0, 0, 0, 0"), 0u);
  EXPECT_NE(Make(693, "200, 10, 1, 16, 0, 0, 0, 0, 0, 0"), 0u);
}

TEST_F(WidgetBuiltinsTest, TheBarsPairIsWrittenForABarAndZerosForAnythingElse) {
  const std::uint32_t bar = Make(693, "200, 10, 1, 65535");
  const std::uint32_t button = MakeLabelButton();
  ASSERT_NE(Widget(bar), nullptr);
  const ScriptCallsRun run = Run({{{695, Words(bar, "100, 50, 10, 5, 0, 1")},
                                   {749, Words(bar, "value, maximum")},
                                   {749, Words(button, "other_value, other_maximum")},
                                   {749, Words(button, "0, 0")}},
                                  "value: .word 9\nmaximum: .word 9\nother_value: .word 9\nother_maximum: .word 9\n"});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(run.Result(1), 1u);
  EXPECT_EQ(run.Word("value"), 5u);
  EXPECT_EQ(run.Word("maximum"), 40u);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Word("other_value"), 0u);
  EXPECT_EQ(run.Word("other_maximum"), 0u);
  EXPECT_EQ(run.Result(3), 0u);
  // The bar reports its changes to the root window as its id.
  Widget(bar)->SetId(77);
  EXPECT_EQ(dynamic_cast<CBarBase*>(Widget(bar))->SetValue(6), 0);
  EXPECT_EQ(GuiRootWindow().TakeCommandId(), 77);
}

TEST_F(WidgetBuiltinsTest, ScrollBarsAndListBoxesJoinTheWindowWithTheirPartsAndLeaveAsTheyCame) {
  const std::uint32_t label = MakeLabelButton();
  const std::uint32_t bar = Make(693, "200, 10, 1, 65535");
  const std::uint32_t box = Make(700, "30, 40, " + FontText() + ", 90, 120, thumb, 0, 0, 90, 150, 40, 65535");
  ASSERT_NE(Widget(box), nullptr);
  auto* scroll_bar = dynamic_cast<CScrollBar*>(Widget(bar));
  auto* list_box = dynamic_cast<CListBox*>(Widget(box));
  ASSERT_EQ(Call(716, Words(label, "-1")), 0u);
  const std::vector<CGuiElement*> before = Children();
  EXPECT_EQ(Call(716, Words(box, "-1")), 0u);
  EXPECT_EQ(Children(), (std::vector<CGuiElement*>{Widget(label), list_box, static_cast<CGuiElement*>(&list_box->GetScrollBar())}));
  EXPECT_EQ(Call(717, Words(box)), 1u);
  EXPECT_EQ(Children(), before);
  EXPECT_EQ(Call(716, Words(bar, "-1")), 0u);
  EXPECT_EQ(Children(), (std::vector<CGuiElement*>{Widget(label), scroll_bar->GetBackArrow(), scroll_bar,
                                                   scroll_bar->GetForwardArrow()}));
  EXPECT_EQ(Call(716, Words(bar, "-1")), kMinusOne) << "already in the window";
  EXPECT_EQ(Call(717, Words(bar)), 1u);
  EXPECT_EQ(Children(), before);
  const std::uint32_t second = MakeLabelButton(10, 60);
  EXPECT_EQ(Call(716, Words(second, "0")), 0u);
  EXPECT_EQ(Children(), (std::vector<CGuiElement*>{Widget(second), Widget(label)}));
  EXPECT_EQ(Call(717, Words(second)), 0u);
  EXPECT_EQ(Children(), before);
  EXPECT_EQ(Call(716, "0, -1"), kMinusOne);
}

TEST_F(WidgetBuiltinsTest, ModalLevelsSetTheChildrenAsideAndBringThemBack) {
  const std::uint32_t label = MakeLabelButton();
  const ScriptCallsRun run = Run({{{716, Words(label, "-1")}, {721, ""}, {722, ""}, {722, ""}}});
  EXPECT_EQ(run.Result(1), 0u);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Result(3), 1u) << "no level saved";
  EXPECT_EQ(Children(), std::vector<CGuiElement*>{Widget(label)});
}

TEST_F(WidgetBuiltinsTest, AChoiceItemsStateAndTextChangeOnlyWhenGiven) {
  const std::uint32_t choice = Make(701, "map, 2, 0, 0, 1");
  ASSERT_NE(Widget(choice), nullptr);
  const ScriptCallsRun run = Run({{{762, Words(choice, "5, -1, 0")},
                                   {762, Words(choice, "5, 0, 0")},
                                   {762, Words(choice, "0x105, 1, name")},
                                   {762, Words(choice, "1, -1, name")},
                                   {762, "0, 1, 1, 0"}},
                                  "name: .string \"go\"\n"});
  EXPECT_EQ(run.Result(0), 0u) << "nothing given, nothing refused";
  EXPECT_EQ(run.Result(1), 2u) << "item 5 of 2";
  EXPECT_EQ(run.Result(2), 3u) << "the low byte: item 5 again";
  EXPECT_EQ(run.Result(3), 0u);
  EXPECT_EQ(run.Result(4), 1u);
}

TEST_F(WidgetBuiltinsTest, TheScriptsTextBoxIsToldApartAndLinksOnlyTheKindsItTakes) {
  const std::uint32_t layout = Make(696, "10, 10, 100, 60, " + FontText() + ", -1");
  const std::uint32_t box = Make(697, "10, 80, 100, 60, " + FontText() + ", -1");
  const std::uint32_t check = Make(688, "10, 150, thumb, 0, 65535");
  ASSERT_NE(Widget(layout), nullptr);
  ASSERT_NE(Widget(box), nullptr);
  ASSERT_NE(Widget(check), nullptr);
  const ScriptCallsRun run = Run({{{771, "0"},
                                   {771, Words(layout)},
                                   {771, Words(box)},
                                   {776, Words(box, Words(check, "1"))},
                                   {776, Words(box, Words(layout, "1"))},
                                   {776, Words(layout, Words(layout, "1"))},
                                   {777, Words(box, Words(layout))},
                                   {777, Words(box, Words(check))},
                                   {780, Words(box, "buffer")},
                                   {780, Words(box, "0")},
                                   {765, Words(layout, "60, 40")},
                                   {765, Words(check, "60, 40")}},
                                  "buffer: .word 0xCCCCCCCC, 0xCCCCCCCC\n"});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 1u);
  EXPECT_EQ(run.Result(2), 0u);
  EXPECT_EQ(run.Result(3), 2u) << "a check button is no text layout";
  EXPECT_EQ(run.Result(4), 0u);
  EXPECT_EQ(run.Result(5), 1u) << "only the scripts' text box links";
  EXPECT_EQ(run.Result(6), 2u);
  EXPECT_EQ(run.Result(7), 0u);
  EXPECT_EQ(run.Result(8), 0u) << "no voice name";
  EXPECT_EQ(run.Word("buffer"), 0u);
  EXPECT_EQ(run.Result(9), 0u);
  EXPECT_EQ(run.Result(10), 0u);
  EXPECT_EQ(Widget(layout)->GetWidth(), 60);
  EXPECT_EQ(Widget(layout)->GetHeight(), 40);
  EXPECT_EQ(run.Result(11), 4u) << "no text box";
  // The animation's state and last stop: none before a start, the task's after.
  CTimerManager timers;
  g_PausableTimerManager = &timers;
  const std::uint32_t timed = Make(697, "10, 80, 100, 60, " + FontText() + ", -1");
  const ScriptCallsRun before = Run({{{778, Words(timed)}, {779, Words(timed)}, {778, Words(layout)}}});
  EXPECT_EQ(before.Result(0), 0u);
  EXPECT_EQ(before.Result(1), 0u);
  EXPECT_EQ(before.Result(2), 0u);
  const ScriptCallsRun started = Run({{{772, Words(timed, "0")}, {774, Words(timed, "2")}, {778, Words(timed)}, {779, Words(timed)}}});
  EXPECT_EQ(started.Result(0), 0u);
  EXPECT_EQ(started.Result(1), 0u);
  const CTextAnimTask* animation = dynamic_cast<CScriptTextBox*>(Widget(timed))->animation();
  ASSERT_NE(animation, nullptr);
  EXPECT_EQ(started.Result(2), animation->state());
  EXPECT_EQ(started.Result(3), static_cast<std::uint8_t>(animation->last_stop()));
  g_WidgetManager.DeleteWidget(Widget(timed));
  g_PausableTimerManager = nullptr;
  // The box lets go of what it links when that goes first.
  EXPECT_EQ(g_WidgetManager.DeleteWidget(Widget(layout)), 0u);
  EXPECT_EQ(g_WidgetManager.DeleteWidget(Widget(check)), 0u);
  Widget(box)->SetPosition(20, 90);
  Widget(box)->SetActive(false);
  EXPECT_EQ(Widget(box)->GetX(), 20);
  EXPECT_FALSE(Widget(box)->IsActive());
}

TEST_F(WidgetBuiltinsTest, ATextBoxKeepsCopiesOfTheDisplayObjectsPicturesItIsGiven) {
  const std::uint32_t box = Make(696, "10, 10, 100, 60, " + FontText() + ", -1");
  CImage* frame = nullptr;
  ASSERT_EQ(screen_.CreateImage(&frame, 140, 50, 32, 0), 0u);
  frame->FillRectArgb(0xFF405060, nullptr);
  const std::string picture = HandleText(static_cast<CImageInterface&>(*frame));
  const ScriptCallsRun run = Run({{{767, Words(box, picture + ", 0, 0, 1")}, {767, Words(box, "0, 0, 0, 1")}, {767, "0, 0, 0, 0, 1"}}});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(Widget(box)->GetWidth(), 140) << "a plain picture gives the box its size";
  EXPECT_EQ(run.Result(1), 1u) << "no picture";
  EXPECT_EQ(run.Result(2), 9u);
  ASSERT_EQ(Call(767, Words(box, picture + ", 0, 0, 1")), 0u);
  ASSERT_EQ(screen_.DeleteSurfaceObject(frame), 0u);
  EXPECT_EQ(Call(753, Words(box, "1, 0x102030, 200")), 0u) << "the background composed again from the copy";
}

TEST_F(WidgetBuiltinsTest, ATextBoxGoingWithItsNameBoxAndToggleTouchesNeitherAfterThey) {
  for (const std::uint32_t deleting : {711u, 714u}) {
    SCOPED_TRACE(deleting);
    const std::uint32_t name_box = Make(696, "10, 10, 100, 30, " + FontText() + ", -1");
    const std::uint32_t toggle = Make(688, "10, 150, thumb, 0, 65535");
    const std::uint32_t box = Make(697, "10, 80, 100, 60, " + FontText() + ", -1");
    const ScriptCallsRun run = Run({{{776, Words(box, Words(name_box, "0"))},
                                     {777, Words(box, Words(toggle))},
                                     {deleting, "0, 0"}}});
    EXPECT_EQ(run.Result(0), 0u);
    EXPECT_EQ(run.Result(1), 0u);
    EXPECT_EQ(g_WidgetManager.GetCount(), 0u) << "the box's end came after theirs";
  }
}

TEST_F(WidgetBuiltinsTest, TheCurrentListMenuIsLetGoEvenWhenTheNewOneIsRefused) {
  const std::uint32_t menu = Make(698, "20, 100, 120, 24, 2, " + FontText() + ", 0");
  const std::uint32_t other = Make(698, "160, 100, 120, 24, 2, " + FontText() + ", 0");
  const std::uint32_t button = MakeLabelButton();
  auto* list = dynamic_cast<CListMenu*>(Widget(menu));
  ASSERT_NE(list, nullptr);
  CBitArray bits;
  const ScriptCallsRun items = Run({{{787, Words(menu, "first, 0, -1")},
                                     {788, Words(menu, "0, 1")},
                                     {788, Words(menu, "1, 1")},
                                     {788, Words(button, "0, 1")}},
                                    "first: .string \"one\"\n"});
  EXPECT_EQ(items.Result(0), 0u);
  EXPECT_EQ(items.Result(1), 0u);
  EXPECT_EQ(list->GetItemFace(0)->GetSource().left, list->GetItemFace(0)->GetSource().Width()) << "the hovered picture";
  EXPECT_EQ(items.Result(2), 1u) << "one item";
  EXPECT_EQ(items.Result(3), kMinusOne);
  const ScriptCallsRun first = Run({{{790, Words(other)}, {789, Words(menu)}}});
  EXPECT_EQ(first.Result(0), 1u) << "none current";
  EXPECT_EQ(first.Result(1), 0u);
  EXPECT_EQ(g_ChoiceList, list);
  list->SetChoiceRecord(&bits, 3, {});
  const ScriptCallsRun copied = Run({{{790, Words(other)}, {789, Words(button)}, {790, Words(button)}}});
  EXPECT_EQ(copied.Result(0), 0u);
  EXPECT_EQ(dynamic_cast<CListMenu*>(Widget(other))->choice_base(), 3);
  EXPECT_EQ(copied.Result(1), 1u);
  EXPECT_EQ(g_ChoiceList, nullptr);
  EXPECT_EQ(list->choice_record(), nullptr) << "the released menu's record is cleared";
  EXPECT_EQ(copied.Result(2), kMinusOne);
}

TEST_F(WidgetBuiltinsTest, TheManagersDefaultsAndTheWindowsValuesAreSet) {
  const ScriptCallsRun run = Run({{{742, "0x102030, 0x40506070"},
                                   {745, "40, 0x11223344, 0x556677"},
                                   {746, "3, 0x01020304, 0x05060708"},
                                   {747, "0x102, 4"},
                                   {748, "1, 2, 3, 0"},
                                   {703, "1, 300, 900, 17"}}});
  EXPECT_EQ(g_WidgetManager.button_face_colour, 0x102030u);
  EXPECT_EQ(g_WidgetManager.button_focus_tint, 0x40506070u);
  EXPECT_EQ(g_WidgetManager.text_entry.max_length, 40);
  EXPECT_EQ(g_WidgetManager.text_entry.background, 0x11223344u);
  EXPECT_EQ(g_WidgetManager.text_entry.text_colour, 0x556677u);
  EXPECT_EQ(g_WidgetManager.text_entry.composition_capacity, 3);
  EXPECT_EQ(g_WidgetManager.text_entry.composition_background, 0x01020304u);
  EXPECT_EQ(g_WidgetManager.text_entry.composition_text_colour, 0x05060708u);
  EXPECT_EQ(g_WidgetManager.bar_style.click_mode, 2) << "the low byte";
  EXPECT_EQ(g_WidgetManager.bar_style.step, 4);
  EXPECT_EQ(g_WidgetManager.list_box_style.background, 1u);
  EXPECT_EQ(g_WidgetManager.list_box_style.selection_colour, 3u);
  EXPECT_EQ(g_WidgetManager.list_box_style.default_icon_state, 0);
  EXPECT_EQ(GuiRootWindow().GetScriptValue(), 17);
  EXPECT_TRUE(GuiRootWindow().AreTooltipsEnabled());
  EXPECT_EQ(GuiRootWindow().GetTooltipDelay(), 300u);
  EXPECT_EQ(GuiRootWindow().GetTooltipDuration(), 900u);
  for (std::size_t call = 0; call < 6; ++call) EXPECT_EQ(run.Result(call), 0u) << call;
}

TEST_F(WidgetBuiltinsTest, AnArgumentArrayOutsideScriptMemoryEndsTheRunAndTheNextRunGoesOn) {
  for (const std::uint32_t id : {685u, 716u, 738u, 762u, 789u}) {
    SCOPED_TRACE(id);
    WriteScript("BAD", ".kind script\n  CallNative native(" + std::to_string(id) + "), 0x100, out\n  Return\nout: .word 0\n");
    ASSERT_EQ(host_.LoadScript("BAD", nullptr), 0u);
    EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunBadScript);
    host_.ResetScripts(0);
  }
  EXPECT_EQ(Call(707), kMinusOne);
}

TEST_F(WidgetBuiltinsTest, EveryRowGivesItsNoWidgetResultForADeletedWidget) {
  const std::uint32_t gone = MakeLabelButton();
  ASSERT_EQ(g_WidgetManager.DeleteWidget(Widget(gone)), 0u);
  struct Row {
    std::uint32_t id;
    std::string rest;
    std::uint32_t none;
  };
  const std::vector<Row> rows = {
      {723, "5", 0},        {724, "0", 0},        {725, "0, 0, 0, 0", 0}, {726, "1, 2, 3", kMinusOne},
      {727, "1", 0},        {728, "", 0},         {731, "1, 2", 0},       {734, "", 0},
      {736, "0", 0},        {738, "1", kMinusOne}, {739, "", kMinusOne},  {740, "1", kMinusOne},
      {741, "1", kMinusOne}, {743, "1", kMinusOne}, {744, "", kMinusOne}, {750, "1, 2", 0},
      {751, "1, 2, 3, 4, 5, 6, 7, 8", 0}, {752, "0, 0", kMinusOne}, {756, "0, 0, 0, 0", 0},
      {757, "0, 0, 0", kMinusOne}, {761, "", 0}, {762, "0, 1, 0", 1}, {763, "1, 2, 3, 1, 5, 6", 0},
      {764, "1", 0},        {766, "0, 0, 0, 0", 9},
      {769, "1", 5},        {771, "", 1},         {773, "", kMinusOne},   {775, "0", 0},
      {776, "0, 0", 1},     {781, "10, 10, 0, 0", 4},
      {787, "0, 0, -1", 4}, {789, "", 1},         {790, "", kMinusOne},   {716, "-1", kMinusOne},
  };
  ScriptCalls calls;
  for (const Row& row : rows) calls.calls.push_back({row.id, Words(gone, row.rest)});
  const ScriptCallsRun run = Run(calls);
  EXPECT_EQ(run.RunResult(), CScriptHost::kRunFinished);
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(run.Result(i), rows[i].none) << rows[i].id;
}

}  // namespace
