// The novel frame's page transitions: the filters they start on the front part, the page swap,
// the rule images, the waits, and the reader's skipping, with the frame procedure presenting the
// page image on the fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/settings/game_switches.h"
#include "base/time/frame_pacer.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/trans_callback.h"
#include "gfx/display/image_canvas.h"
#include "pixel/formats/pixel_format_codes.h"
#include "support/log_capture.h"
#include "support/software_surfaces.h"
#include "vov_frame_fixture.h"

namespace {

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;

// The transition-object host with the built-in filters, which remembers what it was asked for.
class RecordingFilters : public CTcpPluginManager {
 public:
  struct Request {
    std::string name;
    std::vector<std::uintptr_t> words;
  };
  RefPtr<CTcpObject> CreateObjectV(std::uintptr_t parameter, const char* name, const PluginArgs& args) const override {
    requests.push_back({name, std::vector<std::uintptr_t>(args.words, args.words + args.count)});
    return CTcpPluginManager::CreateObjectV(parameter, name, args);
  }
  mutable std::vector<Request> requests;
};

class ScreenTransitionsTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    vov_test::RegisterTransitions(filters_);
    g_TcpHost = &filters_;
    screen_ = surfaces_.Make(plat::SurfaceFormat::kXrgb8888, CVovPage::kWidth, CVovPage::kHeight);
    // The application's frame procedure presents the page image every pass.
    World().player = [this](int) { Present(); };
    Page().ClearBg(kBlue, 0);
    Page().ClearBg(kRed, 1);
    Present();
  }
  void TearDown() override {
    g_TcpHost = nullptr;
    FrameTest::TearDown();
  }
  CVovPage& Page() { return frame_->Page(); }
  CImagePart& Front() { return *Page().Part(0); }
  void Present() {
    dynamic_cast<CImageCanvasBase&>(Front()).PresentDirty(0, nullptr, screen_.get(), kPixelFormatXrgb8888, false);
  }
  std::uint32_t Shown(std::int32_t x, std::int32_t y) { return SoftwareSurfaces::Pixel(*screen_, x, y) & 0xFFFFFF; }
  std::int32_t Opcode(std::uint32_t opcode, std::vector<std::uint32_t> values) {
    std::vector<VovOperand> operands;
    for (std::uint32_t value : values) operands.push_back({1, value, {}});
    return frame_->CallOpcode(opcode, operands);
  }
  // Frame passes until the transition lets go of the front part: how many it took.
  int FramesToEnd() {
    const int before = World().frames;
    EXPECT_EQ(frame_->WaitTransition(false), CVovFrame::kWaitDone);
    return World().frames - before;
  }

  RecordingFilters filters_;
  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> screen_;
};

TEST_F(ScreenTransitionsTest, ACrossRunsItsDurationAndADurationOfZeroRunsOneSecond) {
  std::array<int, 3> frames{};
  const std::array<std::uint32_t, 3> durations = {500, 1000, 0};
  for (std::size_t i = 0; i < durations.size(); ++i) {
    ASSERT_EQ(frame_->CrossTransition(durations[i]), 0);
    EXPECT_TRUE(Front().HasAttached());
    EXPECT_TRUE(frame_->FilterRunning());
    frames[i] = FramesToEnd();
    EXPECT_FALSE(frame_->FilterRunning());
    EXPECT_EQ(filters_.requests.back().name, "cross");
  }
  EXPECT_EQ(filters_.requests[2].words[0], 1000u) << "a duration of 0 asks for 1000 ms";
  EXPECT_EQ(frames[1], frames[2]);
  EXPECT_EQ(frames[0] * 20, 520) << "the start is latched at the first present, one frame in";
  EXPECT_EQ(frames[1] * 20, 1020);
}

TEST_F(ScreenTransitionsTest, TheBackRecordsBecomeTheFrontOnesAndTheBackPageShowsAtTheEnd) {
  BgSlotRecord* front = &Page().Bg(0);
  BgSlotRecord* back = &Page().Bg(1);
  ASSERT_EQ(Page().LoadSprite(0, nullptr, true, 1), Page().LoadSprite(0, nullptr, true, 1));
  SpriteRecord* back_sprite = Page().Sprite(0, true, 1);
  SpriteRecord* front_sprite = Page().Sprite(0, false, 1);
  EXPECT_EQ(Shown(10, 10), kBlue);
  ASSERT_EQ(Opcode(93, {500}), 0);
  EXPECT_EQ(&Page().Bg(0), back) << "the pages swap when the transition starts";
  EXPECT_EQ(&Page().Bg(1), front);
  EXPECT_EQ(Page().Sprite(0, false, 1), back_sprite) << "page mode 1: the sprite pages swap along";
  EXPECT_EQ(Page().Sprite(0, true, 1), front_sprite);
  EXPECT_EQ(frame_->PageMode(), 1);
  FramesToEnd();
  EXPECT_EQ(Shown(10, 10), kRed) << "the present that ends the transition shows the back page";
  EXPECT_EQ(Page().Bg(0).color, kRed) << "the record shown is the front one";
  Page().ClearBg(0x00FF00, 0);
  Present();
  EXPECT_EQ(Shown(10, 10), 0x00FF00u) << "the front slot draws on the front part's layer";
}

TEST_F(ScreenTransitionsTest, WhileSkippingEveryTransitionSwapsThePagesAtOnceAndReturnsZero) {
  game_.WriteFile("SYS/RULE001.ELG", page_test::RampRule(16, 4));
  const std::array<std::uintptr_t, 6> ripple{};
  const std::array<std::uintptr_t, 3> named{};
  const std::vector<std::function<std::int32_t()>> commands = {
      [&] { return frame_->CrossTransition(500); },
      [&] { return frame_->RuleTransition(1, 500, 10); },
      [&] { return frame_->PatternTransition(3, 500, 0); },
      [&] { return frame_->NamedFilterTransition(7, 500, named); },
      [&] { return frame_->RippleTransition(500, ripple); },
  };
  for (bool by_mark : {false, true}) {
    frame_->SetSkipMode(!by_mark);
    frame_->SetMessageSkipMark(by_mark);
    for (std::size_t i = 0; i < commands.size(); ++i) {
      const std::uint32_t shown_before = Page().Bg(0).color;
      BgSlotRecord* back = &Page().Bg(1);
      EXPECT_EQ(commands[i](), 0) << i;
      EXPECT_EQ(&Page().Bg(0), back) << i;
      EXPECT_FALSE(Front().HasAttached()) << i;
      Present();
      EXPECT_EQ(Shown(10, 10), shown_before == kBlue ? kRed : kBlue) << i;
    }
  }
  EXPECT_TRUE(filters_.requests.empty()) << "no filter is made while skipping";
}

TEST_F(ScreenTransitionsTest, WithScreenEffectsOffTheCrossStillRuns) {
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Opcode(93, {400}), 0);
  EXPECT_TRUE(Front().HasAttached());
  EXPECT_EQ(FramesToEnd() * 20, 420);
}

TEST_F(ScreenTransitionsTest, ARuleIsLoadedOnceMirroredAndItsSoftnessBelowOneIs32) {
  game_.WriteFile("SYS/RULE001.ELG", page_test::RampRule(16, 4));
  ASSERT_EQ(Opcode(94, {1, 300, 0}), 0);
  ASSERT_EQ(filters_.requests.size(), 1u);
  const RecordingFilters::Request& rule = filters_.requests[0];
  EXPECT_EQ(rule.name, "rule");
  EXPECT_EQ(rule.words[0], 300u);
  EXPECT_EQ(rule.words[1], reinterpret_cast<std::uintptr_t>(&frame_->RuleImage()));
  EXPECT_EQ(rule.words[2], 32u) << "softness 0 passes 32";
  ASSERT_EQ(frame_->RuleImage().GetBitsPerPixel(), 8);
  EXPECT_LT(frame_->RuleImage().GetPixels()[0], frame_->RuleImage().GetPixels()[15]);

  // The same number again is not read again, even when the file has changed meanwhile.
  game_.WriteFile("SYS/RULE001.ELG", page_test::RampRule(16, 4, 1));
  EXPECT_EQ(frame_->RuleTransition(1, 300, -5), 0);
  EXPECT_EQ(filters_.requests[1].words[2], 32u);
  EXPECT_EQ(frame_->RuleImage().GetPixels()[0], 0) << "the rule loaded before";
  EXPECT_EQ(frame_->RuleTransition(1, 300, 7), 0);
  EXPECT_EQ(filters_.requests[2].words[2], 7u);

  // A mirror setting loads it again, mirrored left to right.
  frame_->SetRuleMirrors(false, true);
  ASSERT_EQ(frame_->LoadRule(1), 0u);
  EXPECT_GT(frame_->RuleImage().GetPixels()[0], frame_->RuleImage().GetPixels()[15]);
}

TEST_F(ScreenTransitionsTest, AMissingRuleShowsTheBackPageAtOnceAndFails) {
  BgSlotRecord* back = &Page().Bg(1);
  EXPECT_EQ(frame_->RuleTransition(9, 300, 10), CVovFrame::kTransitionNoRule);
  EXPECT_EQ(&Page().Bg(0), back);
  EXPECT_FALSE(Front().HasAttached());
  EXPECT_FALSE(frame_->FilterRunning());
  Present();
  EXPECT_EQ(Shown(10, 10), kRed);
  EXPECT_EQ(Opcode(94, {9, 300, 10}), -1) << "the scenario stops";
}

// Every transition row that cannot start shows the back page at once and stops the scenario with
// its failure code: 2 without a filter to make, -1 without its rule; only row 96 goes on.
TEST_F(ScreenTransitionsTest, AFailedTransitionStopsTheScenarioWithItsCodeExceptANamedFilter) {
  using kvxtools::TobOperand;
  game_.WriteFile("SYS/RULE001.ELG", page_test::RampRule(16, 4));
  game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF102030));
  game_.WriteFile("CHR.ELG", page_test::Picture(40, 100, 0xFF00FF00, -1, 0, 20, 80));
  const auto v = [](std::uint32_t value) { return TobOperand::Value(value); };
  const TobOperand bg = TobOperand::String("BG01.ELG");
  const TobOperand sprite = TobOperand::String("CHR.ELG");
  struct Case {
    std::uint32_t opcode;
    std::vector<TobOperand> operands;
    bool filter_host;
    std::int32_t run;
  };
  const Case cases[] = {
      {93, {v(300)}, false, 2},
      {94, {v(1), v(300)}, false, 2},
      {94, {v(9), v(300)}, true, -1},
      {95, {v(1), v(300), v(0)}, false, 2},
      {96, {v(0), v(300)}, false, 0},
      {97, {v(300), v(1), v(2), v(3), v(4), v(5), v(6)}, false, 2},
      {98, {v(300)}, false, 2},
      {99, {v(300)}, false, 2},
      {100, {bg, v(300)}, false, 2},
      {101, {bg, v(1), v(300)}, false, 2},
      {101, {bg, v(9), v(300)}, true, -1},
      {102, {bg, v(1), v(300), v(0)}, false, 2},
      {103, {v(0), sprite, v(400), v(300)}, false, 2},
      {104, {v(0), v(1), sprite, v(400), v(300)}, false, 2},
      {104, {v(0), v(9), sprite, v(400), v(300)}, true, -1},
      {105, {v(300), TobOperand::Value(0xFFFFFFFF)}, false, 2},
      {105, {v(300), v(1)}, false, 2},
      {105, {v(300), v(9)}, true, -1},
      {93, {v(300)}, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.opcode << (c.filter_host ? " with" : " without") << " filters");
    g_TcpHost = c.filter_host ? &filters_ : nullptr;
    kvxtools::TobBuilder builder;
    builder.Command(c.opcode, c.operands);
    builder.Text("after");
    EXPECT_EQ(Run(builder), c.run);
    EXPECT_EQ(std::string(frame_->TextBuffer().Text()), c.run == 0 ? "after" : "");
    EXPECT_FALSE(Front().HasAttached() && c.run != 0) << "a failed transition showed the back page at once";
  }
}

TEST_F(ScreenTransitionsTest, TheSpriteTransitionsTakeThreeHundredMillisecondsForAnAbsentOrZeroTime) {
  using kvxtools::TobOperand;
  for (const TobOperand& time : {TobOperand::Absent(), TobOperand::Value(0)}) {
    kvxtools::TobBuilder builder;
    builder.Command(105, {time, TobOperand::Value(0xFFFFFFFF), TobOperand::Value(0), TobOperand::Value(0)});
    EXPECT_EQ(Run(builder), 0);
    ASSERT_FALSE(filters_.requests.empty());
    EXPECT_EQ(filters_.requests.back().name, "cross");
    EXPECT_EQ(filters_.requests.back().words[0], 300u);
  }
}

TEST_F(ScreenTransitionsTest, TheNamedFiltersAreClampedAndTheRunningOneEndsFirst) {
  EXPECT_STREQ(CVovFrame::NamedFilterName(9), "scroll");
  EXPECT_STREQ(CVovFrame::NamedFilterName(-3), "zoomflip");
  EXPECT_STREQ(CVovFrame::NamedFilterName(2), "mosaic");
  // The scroll's third value is its acceleration text: a text operand reaches it as its text.
  std::vector<VovOperand> operands = {{1, 9, {}}, {1, 400, {}}, {1, 2, {}}, {1, 3, {}}, {kVovStringFlag, 0, "-2"}};
  ASSERT_EQ(frame_->CallOpcode(96, operands), 0);
  ASSERT_EQ(filters_.requests.size(), 1u);
  const std::vector<std::uintptr_t>& words = filters_.requests[0].words;
  EXPECT_EQ(filters_.requests[0].name, "scroll");
  ASSERT_EQ(words.size(), 6u);
  EXPECT_EQ((std::vector<std::uintptr_t>{words[0], words[1], words[2], words[4], words[5]}),
            (std::vector<std::uintptr_t>{400, 2, 3, 0, 0}));
  EXPECT_TRUE(Front().HasAttached());

  BgSlotRecord* back = &Page().Bg(1);
  EXPECT_EQ(frame_->NamedFilterTransition(-3, 400, std::array<std::uintptr_t, 3>{}), 0);
  ASSERT_TRUE(Front().HasAttached()) << "the running scroll was ended first";
  EXPECT_STREQ(dynamic_cast<const CTransCallback*>(Front().GetAttached())->GetName(), "zoomflip");
  EXPECT_EQ(&Page().Bg(0), back) << "the page changes at once";
}

TEST_F(ScreenTransitionsTest, RowNinetySixWithIndexZeroRunsZoomflipToItsEndAndSwapsThePages) {
  BgSlotRecord* back = &Page().Bg(1);
  ASSERT_EQ(Opcode(96, {0, 400, 0, 0, 0}), 0);
  EXPECT_EQ(filters_.requests.back().name, "zoomflip");
  EXPECT_EQ(&Page().Bg(0), back);
  // Half way the new page has come in from the left over half the width.
  for (int pass = 0; pass < 11; ++pass) ASSERT_TRUE(frame_->RunFramePass());
  EXPECT_EQ(Shown(10, 10), kRed);
  EXPECT_EQ(Shown(CVovPage::kWidth - 10, 10), kBlue);
  FramesToEnd();
  EXPECT_FALSE(Front().HasAttached());
  EXPECT_EQ(Shown(CVovPage::kWidth - 10, 10), kRed) << "the end shows the back page";
}

TEST_F(ScreenTransitionsTest, RowNinetySevenRunsTheRippleToTheBackPage) {
  ASSERT_EQ(Opcode(97, {300, 0, 0xFFFFFFFF, 0xFFFFFFFF, 16, 24, 0}), 0);
  ASSERT_TRUE(Front().HasAttached());
  EXPECT_STREQ(dynamic_cast<const CTransCallback*>(Front().GetAttached())->GetName(), "ripple");
  ASSERT_TRUE(frame_->RunFramePass());
  ASSERT_TRUE(frame_->RunFramePass());
  const std::uint32_t early = Shown(400, 300);
  EXPECT_NE(early, kBlue) << "the cross-fade has begun";
  EXPECT_NE(early, kRed);
  EXPECT_EQ(FramesToEnd() * 20, 300 - 20);
  EXPECT_EQ(Shown(10, 10), kRed);
  EXPECT_EQ(Shown(400, 300), kRed) << "the new picture alone once the ripple has ended";
}

TEST_F(ScreenTransitionsTest, PatternAndRippleReceiveTheirOperandsInTheirOrder) {
  ASSERT_EQ(Opcode(95, {4, 250, 1}), 0);
  EXPECT_EQ(filters_.requests[0].name, "trans");
  EXPECT_EQ(filters_.requests[0].words, (std::vector<std::uintptr_t>{250, 4, 1}));
  EXPECT_EQ(Front().GetAttachByte(), 0) << "with the flag the end does not redraw";
  ASSERT_EQ(Opcode(95, {4, 250, 0}), 0);
  EXPECT_EQ(Front().GetAttachByte(), 1);
  // Operands 1 and 6 are the speed and the vertical factor texts.
  const std::vector<VovOperand> operands = {{1, 600, {}}, {kVovStringFlag, 0, "2.5"}, {1, 3, {}}, {1, 4, {}},
                                            {1, 5, {}},   {1, 6, {}},                {kVovStringFlag, 0, "0.5"}};
  ASSERT_EQ(frame_->CallOpcode(97, operands), 0);
  EXPECT_EQ(filters_.requests[2].name, "ripple");
  const std::vector<std::uintptr_t>& words = filters_.requests[2].words;
  ASSERT_EQ(words.size(), 7u);
  EXPECT_EQ((std::vector<std::uintptr_t>{words[0], words[1], words[2], words[3], words[6]}),
            (std::vector<std::uintptr_t>{600, 3, 4, 5, 6}));
  EXPECT_NE(words[4], 0u);
  EXPECT_NE(words[5], 0u);
  EXPECT_TRUE(Front().HasAttached());
}

// A number where the filter reads a text would be taken for an address: it goes as a null text,
// which the filter reads as its default. Numbers in the other places go as they are.
// The message window stays over the page shown, whichever layer a transition handed over, and
// over the transition itself.
TEST_F(ScreenTransitionsTest, TheMessageWindowStaysInFrontThroughAndAfterTransitions) {
  ASSERT_EQ(frame_->PreparePage(false), 0);
  frame_->ShowMessageWindow(true, false);
  Present();
  const std::uint32_t window = Shown(400, 560);
  ASSERT_NE(window, kBlue) << "the window shows over the page";
  for (const std::uint32_t page : {kRed, kBlue}) {
    ASSERT_EQ(Opcode(93, {400}), 0);
    for (int pass = 0; pass < 10; ++pass) ASSERT_TRUE(frame_->RunFramePass());
    EXPECT_EQ(Shown(400, 560), window) << "during the cross to " << std::hex << page;
    FramesToEnd();
    Present();
    EXPECT_EQ(Shown(10, 10), page);
    EXPECT_EQ(Shown(400, 560), window) << "after the cross to " << std::hex << page;
    Page().ClearBg(page == kRed ? kBlue : kRed, 1);
  }
  ASSERT_EQ(Opcode(90, {}), 0);
  Present();
  EXPECT_EQ(Shown(400, 560), window) << "after a swap at once";
}

TEST_F(ScreenTransitionsTest, ANumberWhereTheFilterReadsATextGoesAsANullText) {
  struct Case {
    std::uint32_t opcode;
    std::vector<std::uint32_t> operands;
    const char* filter;
    std::vector<std::uintptr_t> words;
  };
  const std::vector<Case> cases = {
      {96, {7, 400, 2, 3, 77}, "scroll", {400, 2, 3, 0, 0, 0}},
      {96, {0, 400, 2, 3, 77}, "zoomflip", {400, 2, 3, 77, 0, 0}},
      {97, {600, 77, 3, 4, 5, 6, 77}, "ripple", {600, 3, 4, 5, 0, 0, 6}},
      {106, {11, 12, 0, 77, 0, 1}, "quake", {0, 11, 12, 0, 0, 0}},
      {107, {21, 22, 23, 500, 77, 0, 1}, "quake", {23, 21, 22, 500, 0, 0}},
  };
  for (const Case& c : cases) {
    filters_.requests.clear();
    ASSERT_EQ(Opcode(c.opcode, c.operands), 0) << c.opcode;
    ASSERT_EQ(filters_.requests.size(), 1u) << c.opcode;
    EXPECT_EQ(filters_.requests[0].name, c.filter);
    EXPECT_EQ(filters_.requests[0].words, c.words) << c.opcode << " " << c.filter;
    EXPECT_TRUE(Front().HasAttached()) << c.opcode << " " << c.filter << " starts";
    frame_->EndScreenFilter();
  }
}

TEST_F(ScreenTransitionsTest, AReversedPatternShowsTheBackPagesLayerFromTheStartAndEndsWithoutASwap) {
  IDrawLayer* back_layer = Page().Part(1)->GetLayer();
  BgSlotRecord* back = &Page().Bg(1);
  const auto colours = [this] {
    std::vector<std::uint32_t> seen;
    for (std::int32_t y = 0; y < CVovPage::kHeight; y += 8) {
      for (std::int32_t x = 0; x < CVovPage::kWidth; x += 8) seen.push_back(Shown(x, y));
    }
    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    return seen;
  };
  std::vector<std::vector<std::uint32_t>> shown;
  World().player = [&](int) {
    Present();
    shown.push_back(colours());
  };
  ASSERT_EQ(Opcode(95, {6, 500, 1}), 0);
  EXPECT_EQ(Front().GetLayer(), back_layer) << "the front part shows the back page's layer";
  EXPECT_EQ(&Page().Bg(0), back);
  FramesToEnd();
  ASSERT_EQ(shown.size(), 26u);
  EXPECT_EQ(shown.front(), std::vector<std::uint32_t>{kBlue}) << "0 ms: the old page";
  EXPECT_EQ(shown[13], (std::vector<std::uint32_t>{kBlue, kRed})) << "half way: both";
  EXPECT_EQ(shown.back(), std::vector<std::uint32_t>{kRed}) << "the end: the new page";
  EXPECT_EQ(Front().GetLayer(), back_layer) << "nothing swapped at the end";
  Page().ClearBg(0x00FF00, 0);
  Present();
  EXPECT_EQ(Shown(10, 10), 0x00FF00u) << "the front slot draws on the front part's layer";

  // A reversed pattern that cannot start turns the view back before the page changes at once.
  g_TcpHost = nullptr;
  IDrawLayer* green_layer = Front().GetLayer();
  IDrawLayer* blue_layer = Front().GetSecondView();
  EXPECT_EQ(frame_->PatternTransition(6, 500, 1), static_cast<std::int32_t>(kFilterNotMade));
  EXPECT_EQ(Front().GetLayer(), blue_layer) << "swapped once, as any transition applied at once";
  EXPECT_EQ(Page().Part(1)->GetLayer(), green_layer);
  Present();
  EXPECT_EQ(Shown(10, 10), kBlue) << "the back page at once";
}

TEST_F(ScreenTransitionsTest, AWaitCutShortByAClickDetachesTheFilterAndAStreakEndsTheNextAtOnce) {
  ASSERT_EQ(Opcode(93, {1000}), 0);
  World().player = [this](int frame) {
    Present();
    World().ClickAt(frame, 5);
  };
  EXPECT_EQ(Opcode(91, {1}), 0);
  EXPECT_LT(World().frames, 10);
  EXPECT_EQ(frame_->RepeatCounter(), 1u);
  EXPECT_FALSE(Front().HasAttached());
  EXPECT_FALSE(frame_->FilterRunning());
  Present();
  EXPECT_EQ(Shown(10, 10), kRed) << "the back page shows";

  ASSERT_EQ(Opcode(93, {1000}), 0);
  const int before = World().frames;
  EXPECT_EQ(Opcode(91, {1}), 0);
  EXPECT_EQ(World().frames, before) << "the streak ends it at once";
  EXPECT_EQ(frame_->RepeatCounter(), 2u);
  EXPECT_FALSE(Front().HasAttached());

  frame_->SetRepeatCounter(0);
  World().player = [this](int) { Present(); };
  ASSERT_EQ(Opcode(93, {200}), 0);
  EXPECT_EQ(Opcode(91, {0}), 0);
  EXPECT_EQ(frame_->RepeatCounter(), 0u) << "a wait that ran out";
  EXPECT_EQ(Opcode(92, {}), 0);
}

TEST_F(ScreenTransitionsTest, EndingTheScreenFilterDetachesItAndWaitingForNothingEndsAtOnce) {
  ASSERT_EQ(Opcode(93, {1000}), 0);
  ASSERT_EQ(Opcode(92, {}), 0);
  EXPECT_FALSE(Front().HasAttached());
  EXPECT_FALSE(frame_->FilterRunning());
  Present();
  EXPECT_EQ(Shown(10, 10), kRed) << "the end swaps the layers as the transition's own end does";
  World().give_up = World().frames + 1;
  EXPECT_EQ(frame_->WaitTransition(true), CVovFrame::kWaitAppEnding) << "quitting during the wait";
}

TEST_F(ScreenTransitionsTest, ASlotCommandDuringARunningCrossEndsItFirstAndDrawsOnTheShownPage) {
  game_.WriteFile("CHR.ELG", page_test::Picture(40, 100, 0xFF00FF00, -1, 0, 20, 80));
  struct Case {
    const char* what;
    std::function<void()> command;
    std::uint32_t shown;  // at the page's corner afterwards
  };
  const std::vector<Case> cases = {
      {"a background colour for the front slot", [&] { ASSERT_EQ(Opcode(36, {0x00FFFF, 0}), 0); }, 0x00FFFF},
      {"a sprite for the back page", [&] { ASSERT_EQ(Page().LoadSprite(0, "CHR.ELG", true, 1), 0); }, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Page().ClearBg(kBlue, 0);
    Page().ClearBg(kRed, 1);
    ASSERT_EQ(Opcode(93, {1000}), 0);
    Present();
    ASSERT_TRUE(frame_->FilterRunning());
    c.command();
    EXPECT_FALSE(frame_->FilterRunning());
    EXPECT_FALSE(Front().HasAttached());
    Present();
    EXPECT_EQ(Shown(2, 2), c.shown) << "the transition's end, and the change on the page shown";
  }
  const SpriteRecord& sprite = *Page().Sprite(0, true, 1);
  ASSERT_NE(sprite.sprite, nullptr);
  EXPECT_EQ(sprite.sprite->GetOwnerList(), &Page().Layer(1)->GetOwnList()) << "on the back page's layer";
}

TEST_F(ScreenTransitionsTest, ALoadDuringARunningCrossLetsItGoAndStillStartsTheRecordedQuake) {
  ASSERT_EQ(Opcode(93, {1000}), 0);
  const std::array<std::int32_t, 6> recorded = {1, 5, 6, 7, 1, 1};
  for (std::size_t i = 0; i < recorded.size(); ++i) frame_->SetStateWord(kStateQuakeFirst + i, recorded[i]);
  ASSERT_EQ(frame_->RestoreState(), 0);
  ASSERT_TRUE(Front().HasAttached());
  EXPECT_STREQ(dynamic_cast<const CTransCallback*>(Front().GetAttached())->GetName(), "quake")
      << "the cross from before the load is gone";
  ASSERT_EQ(filters_.requests.size(), 2u);
  EXPECT_EQ(filters_.requests[1].name, "quake");
  EXPECT_EQ(filters_.requests[1].words, (std::vector<std::uintptr_t>{5, 6, 7, 0, 0, 1}));
}

TEST_F(ScreenTransitionsTest, AFlashOfFiveRunsFourHundredAndTwoHundredMillisecondsAndComesBack) {
  std::vector<std::uint32_t> shown;
  World().player = [&](int) {
    Present();
    shown.push_back(Shown(10, 10));
  };
  BgSlotRecord* front = &Page().Bg(0);
  ASSERT_EQ(Opcode(112, {5, 0xFFFFFF}), 0);
  ASSERT_EQ(filters_.requests.size(), 2u);
  EXPECT_EQ(filters_.requests[0].words[0], 400u);
  EXPECT_EQ(filters_.requests[1].words[0], 200u);
  EXPECT_EQ(World().frames * 20, 420 + 220) << "each cross latches its start one frame in";
  EXPECT_EQ(&Page().Bg(0), front) << "two swaps: the page the flash began on";
  EXPECT_EQ(Page().Bg(1).color, 0xFFFFFFu);
  EXPECT_NE(std::find(shown.begin(), shown.end(), 0xFFFFFFu), shown.end()) << "the colour between the crosses";
  Present();
  EXPECT_EQ(Shown(10, 10), kBlue);
  EXPECT_FALSE(Front().HasAttached());
}

TEST_F(ScreenTransitionsTest, AFlashOrACrossToABackgroundWhileSkippingChangesAtOnce) {
  game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF102030));
  frame_->SetSkipMode(true);
  ASSERT_EQ(frame_->ScreenFlash(600, 0x00FF00), 0);
  EXPECT_EQ(World().frames, 0);
  EXPECT_EQ(Page().Bg(1).color, 0x00FF00u) << "only the back page was prepared";
  ASSERT_EQ(frame_->ScreenCrossToBg("BG01.ELG", 800, 0x00FF00), 0);
  EXPECT_EQ(World().frames, 0);
  EXPECT_EQ(Page().Bg(0).name, "BG01.ELG");
  EXPECT_EQ(frame_->ScreenCrossToBg("NONE.ELG", 800, 0), 2);
  EXPECT_TRUE(filters_.requests.empty());
}

TEST_F(ScreenTransitionsTest, ACrossToABackgroundGoesThroughTheColourAndACrossIsCutShortByTheReader) {
  game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF102030));
  std::vector<std::uint32_t> shown;
  World().player = [&](int) {
    Present();
    shown.push_back(Shown(10, 10));
  };
  ASSERT_EQ(Opcode(113, {0, 0, 0x00FF00}), 0) << "an absent name: the colour stays";
  ASSERT_EQ(filters_.requests.size(), 2u);
  EXPECT_EQ(filters_.requests[0].words[0], 500u) << "5/8 of 800";
  EXPECT_EQ(filters_.requests[1].words[0], 300u);
  EXPECT_NE(std::find(shown.begin(), shown.end(), 0x00FF00u), shown.end());

  std::vector<VovOperand> operands = {{kVovStringFlag, 0, "BG01.ELG"}, {1, 1600, {}}, {1, 0xFF0000, {}}};
  ASSERT_EQ(frame_->CallOpcode(113, operands), 0);
  EXPECT_EQ(Page().Bg(0).name, "BG01.ELG");
  Present();
  EXPECT_EQ(Shown(2, 2), 0x102030u);

  const int before = World().frames;
  World().player = [this, before](int frame) {
    Present();
    World().ClickAt(frame, before + 3);
  };
  EXPECT_EQ(frame_->CrossScreen(1000, 0, CVovFrame::kInterruptClick), 1);
  EXPECT_LT(World().frames - before, 6);
  EXPECT_FALSE(Front().HasAttached());
  World().give_up = World().frames + 2;
  EXPECT_EQ(frame_->CrossScreen(1000, 1, 0), CVovFrame::kWaitAppEnding);
}

TEST_F(ScreenTransitionsTest, ThePreparedTransitionsSetUpTheBackPageFirst) {
  game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF102030));
  game_.WriteFile("SYS/RULE002.ELG", page_test::RampRule(16, 4));
  const VovOperand bg{kVovStringFlag, 0, "BG01.ELG"};
  const VovOperand missing{kVovStringFlag, 0, "NONE.ELG"};
  const auto number = [](std::uint32_t value) { return VovOperand{1, value, {}}; };
  struct Case {
    std::uint32_t opcode;
    std::vector<VovOperand> operands;
    const char* filter;  // null: nothing starts
    std::vector<std::uintptr_t> first_words;
    std::string front_name;
    std::uint32_t front_colour;
  };
  const std::vector<Case> cases = {
      {98, {number(300)}, "cross", {300}, "", 0},
      {99, {number(0)}, "cross", {1000}, "", 0xFFFFFF},
      {100, {bg, number(250), number(1), number(0), number(0), number(0)}, "cross", {250}, "BG01.ELG", 0},
      {101, {bg, number(2), number(350), number(0), number(0), number(0), number(0), number(0)}, "rule", {350}, "BG01.ELG", 0},
      {102, {bg, number(6), number(450), number(1), number(0), number(0), number(0), number(0)}, "trans", {450, 6, 1},
       "BG01.ELG", 0},
      {100, {missing, number(250)}, nullptr, {}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.opcode);
    frame_->EndScreenFilter();
    Page().ClearBg(0x123456, 0);
    Page().ClearBg(0x654321, 1);
    filters_.requests.clear();
    ASSERT_EQ(frame_->CallOpcode(c.opcode, c.operands), 0);
    if (c.filter == nullptr) {
      EXPECT_TRUE(filters_.requests.empty());
      EXPECT_EQ(Page().Bg(0).color, 0x123456u) << "the pages stay";
      continue;
    }
    ASSERT_EQ(filters_.requests.size(), 1u);
    EXPECT_EQ(filters_.requests[0].name, c.filter);
    EXPECT_EQ(std::vector<std::uintptr_t>(filters_.requests[0].words.begin(),
                                          filters_.requests[0].words.begin() + static_cast<std::ptrdiff_t>(c.first_words.size())),
              c.first_words);
    EXPECT_EQ(Page().Bg(0).name, c.front_name);
    EXPECT_EQ(Page().Bg(0).color, c.front_colour);
    EXPECT_EQ(Page().Bg(0).filter, c.opcode == 100 ? kFilterGrey : kFilterNone) << "the filter operands";
    EXPECT_TRUE(Front().HasAttached());
  }
}

TEST_F(ScreenTransitionsTest, CopyingTheFrontPageThenCrossingMakesTheCopiesTheFrontRecords) {
  game_.WriteFile("BG01.ELG", page_test::Picture(16, 8, 0xFF102030));
  game_.WriteFile("CHR.ELG", page_test::Picture(40, 100, 0xFF808080, -1, 0, 20, 80));
  ASSERT_EQ(Page().LoadBg("BG01.ELG", 0), 0);
  ASSERT_EQ(Page().SetBgOffset(3, 2, 0), 0);
  ASSERT_EQ(Page().LoadSprite(1, "CHR.ELG", false, 1), 0);
  ASSERT_EQ(Page().PlaceSprite(1, 2, false, false, 1), 0);
  ASSERT_EQ(Opcode(90, {}), 0);

  BgSlotRecord& back = Page().Bg(1);
  EXPECT_EQ(back.name, "BG01.ELG");
  EXPECT_EQ(back.image, Page().Bg(0).image) << "the picture is shared";
  EXPECT_EQ(back.offset_x, 3);
  EXPECT_TRUE(back.anime_name.empty());
  const SpriteRecord& front_sprite = *Page().Sprite(1, false, 1);
  const SpriteRecord& back_sprite = *Page().Sprite(1, true, 1);
  ASSERT_NE(back_sprite.sprite, nullptr);
  EXPECT_NE(back_sprite.sprite.get(), front_sprite.sprite.get()) << "a sprite of its own";
  EXPECT_EQ(back_sprite.image, front_sprite.image);
  EXPECT_EQ(back_sprite.name, front_sprite.name);
  EXPECT_EQ(back_sprite.x, front_sprite.x);
  EXPECT_EQ(back_sprite.priority, front_sprite.priority);

  const SpriteRecord* copy = &back_sprite;
  ASSERT_EQ(Opcode(93, {200}), 0);
  FramesToEnd();
  EXPECT_EQ(&Page().Bg(0), &back) << "the former back records are the front ones";
  EXPECT_EQ(Page().Sprite(1, false, 1), copy);
  Present();
  EXPECT_EQ(Shown(3 + 2, 2 + 2), 0x102030u) << "the copied background at its offset";
  const SpriteRecord& shown = *Page().Sprite(1, false, 1);
  EXPECT_EQ(Shown(shown.x - shown.ref_x + 5, shown.y - shown.ref_y + 5), 0x808080u) << "the copied sprite";
}

TEST_F(ScreenTransitionsTest, TheSpriteTransitionsCopyThePageAndTakeThreeHundredMillisecondsUnlessTold) {
  game_.WriteFile("CHR2.ELG", page_test::Picture(40, 100, 0xFF808080, -1, 0, 20, 80));
  game_.WriteFile("SYS/RULE002.ELG", page_test::RampRule(16, 4));
  const auto number = [](std::uint32_t value) { return VovOperand{1, value, {}}; };
  const VovOperand chr{kVovStringFlag, 0, "CHR2.ELG"};
  ASSERT_EQ(frame_->CallOpcode(103, std::vector<VovOperand>{number(2), chr, number(1)}), 0);
  EXPECT_EQ(filters_.requests.back().name, "cross");
  EXPECT_EQ(filters_.requests.back().words[0], 300u);
  EXPECT_EQ(Page().Sprite(2, false, 0)->name, "CHR2.ELG") << "loaded on the back page, now the front";

  ASSERT_EQ(frame_->CallOpcode(104, std::vector<VovOperand>{number(0), number(2), chr, number(1), number(450), number(9)}),
            0);
  EXPECT_EQ(filters_.requests.back().name, "rule");
  EXPECT_EQ(filters_.requests.back().words[0], 450u);
  EXPECT_EQ(filters_.requests.back().words[2], 9u);
  EXPECT_EQ(Page().Sprite(0, false, 0)->name, "CHR2.ELG");
  EXPECT_EQ(Page().Sprite(2, false, 0)->name, "CHR2.ELG") << "the copy carried the earlier sprite";

  ASSERT_EQ(Opcode(105, {700, 0xFFFFFFFF, 0, 0}), 0);
  EXPECT_EQ(filters_.requests.back().name, "cross");
  EXPECT_EQ(filters_.requests.back().words[0], 700u);
  EXPECT_TRUE(Page().Sprite(2, false, 0)->name.empty()) << "the group's back sprites were cleared";
  ASSERT_EQ(Opcode(105, {250, 2, 40, 1}), 0);
  EXPECT_EQ(filters_.requests.back().name, "rule");
  EXPECT_EQ(filters_.requests.back().words[2], 40u);
}

TEST_F(ScreenTransitionsTest, TheScreenQuakesAttachQuakeWithTheirOperandsAndRecordTheEndlessOnes) {
  ASSERT_EQ(Opcode(106, {11, 12, 0, 0, 0x101, 1}), 0);
  ASSERT_EQ(filters_.requests.size(), 1u);
  EXPECT_EQ(filters_.requests[0].name, "quake");
  EXPECT_EQ(filters_.requests[0].words, (std::vector<std::uintptr_t>{0, 11, 12, 0, 0, 1})) << "the fill as a byte";
  EXPECT_TRUE(Front().HasAttached());
  EXPECT_TRUE(frame_->FilterRunning());
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(frame_->StateWord(kStateQuakeFirst + i), (std::array<std::int32_t, 6>{1, 0, 11, 12, 1, 1}[i])) << i;
  }
  ASSERT_EQ(Opcode(92, {}), 0);
  EXPECT_FALSE(Front().HasAttached()) << "row 92 ends the quake";
  EXPECT_FALSE(frame_->FilterRunning());
  EXPECT_EQ(frame_->StateWord(kStateQuakeFirst), 0);

  // Swapping the backgrounds needs a background picture, which these pages lack: swap the layers.
  ASSERT_EQ(Opcode(107, {21, 22, 23, 0, 0, 1, 1}), 0);
  EXPECT_EQ(filters_.requests[1].words, (std::vector<std::uintptr_t>{23, 21, 22, 0, 0, 1})) << "operand 3 first";
  EXPECT_TRUE(Front().HasAttached());
  EXPECT_EQ(frame_->StateWord(kStateQuakeFirst + 1), 23);
  const std::array<std::uintptr_t, 6> timed = {0, 4, 4, 500, 0, 0};
  EXPECT_EQ(frame_->ScreenQuake(timed, true, true), 0);
  EXPECT_TRUE(Front().HasAttached());
  frame_->SetSkipMode(true);
  EXPECT_EQ(frame_->ScreenQuake(timed, true, true), 0) << "a quake with a duration is skipped";
  EXPECT_EQ(filters_.requests.size(), 3u);
  EXPECT_EQ(frame_->ScreenQuake(std::array<std::uintptr_t, 6>{}, true, false), 0) << "an endless one is not";
  EXPECT_EQ(filters_.requests.size(), 4u);
}

TEST_F(ScreenTransitionsTest, AnEndlessScreenQuakeShakesThePageWithBlackBordersUntilRowNinetyTwo) {
  // A wave of 100 ms, 21 px across: a quarter period in, the page stands 20 px to the right.
  ASSERT_EQ(Opcode(107, {21, 0, 100, 0, 0, 1, 1}), 0);
  ASSERT_TRUE(Front().HasAttached());
  bool shifted = false;
  for (int pass = 0; pass < 10 && !shifted; ++pass) {
    ASSERT_TRUE(frame_->RunFramePass());
    shifted = Shown(5, 300) == 0;
  }
  EXPECT_TRUE(shifted) << "the uncovered strip at the left is black";
  EXPECT_EQ(Shown(400, 300), kBlue);
  EXPECT_EQ(frame_->WaitTransition(false), CVovFrame::kWaitDone) << "a wait ends an endless quake at once";
  EXPECT_FALSE(Front().HasAttached());
  ASSERT_EQ(Opcode(107, {21, 0, 100, 0, 0, 1, 1}), 0);
  ASSERT_EQ(Opcode(92, {}), 0);
  ASSERT_TRUE(frame_->RunFramePass());
  EXPECT_EQ(Shown(5, 300), kBlue) << "ended: the page in its place";
}

TEST_F(ScreenTransitionsTest, ALoadedGameStartsItsRecordedQuakeAgainWithoutTheFadeIn) {
  const std::array<std::int32_t, 6> recorded = {1, 5, 6, 7, 1, 1};
  for (std::size_t i = 0; i < recorded.size(); ++i) frame_->SetStateWord(kStateQuakeFirst + i, recorded[i]);
  LogCapture log;
  ASSERT_EQ(frame_->RestoreState(), 0);
  ASSERT_EQ(filters_.requests.size(), 1u);
  EXPECT_EQ(filters_.requests[0].name, "quake");
  EXPECT_EQ(filters_.requests[0].words, (std::vector<std::uintptr_t>{5, 6, 7, 0, 0, 1}));
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

TEST_F(ScreenTransitionsTest, ALoadFadesTheScreenInFromBlackToTheRestoredPageOverHalfASecond) {
  BgSlotRecord* front = &Page().Bg(0);
  IDrawLayer* front_layer = Front().GetLayer();
  CImagePart* back_part = Page().Part(1);
  std::vector<std::uint32_t> shown;  // one present each 20 ms from the cross's start on
  World().player = [&](int) {
    Present();
    shown.push_back(Shown(10, 10));
  };
  ASSERT_EQ(frame_->RestoreState(), 0);
  ASSERT_EQ(filters_.requests.size(), 1u);
  EXPECT_EQ(filters_.requests[0].name, "cross");
  EXPECT_EQ(filters_.requests[0].words,
            (std::vector<std::uintptr_t>{500, reinterpret_cast<std::uintptr_t>(&Front()), 0, 2}));
  ASSERT_EQ(shown.size(), 26u) << "500 ms from the first present on";
  EXPECT_EQ(shown[0], 0u) << "0 ms: black";
  EXPECT_GT(shown[12], 0x70u) << "240 ms";
  EXPECT_LT(shown[12], 0x80u);
  EXPECT_GE(shown[13], 0x80u) << "260 ms: past half way";
  EXPECT_LT(shown[13], 0x90u);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  for (std::uint32_t colour : shown) EXPECT_EQ(colour & 0xFFFF00, 0u) << "nothing of the back page";
  EXPECT_EQ(shown.back(), kBlue) << "500 ms: the page";
  EXPECT_FALSE(Front().HasAttached());
  EXPECT_EQ(&Page().Bg(0), front) << "the records stay as the restore left them";
  EXPECT_EQ(Front().GetLayer(), front_layer) << "and so do the layers";
  EXPECT_EQ(Page().Part(1), back_part);

  // The back page draws its own picture again: a cross to it ends on red, not on the black.
  ASSERT_EQ(Opcode(93, {100}), 0);
  FramesToEnd();
  EXPECT_EQ(Shown(10, 10), kRed);
}

TEST_F(ScreenTransitionsTest, TheFadeInAfterALoadIsCutShortBySkippingAndReportsQuitting) {
  World().player = [this](int frame) {
    Present();
    if (frame == 4) Settings()[kSettingAlwaysSkip] = 1;
  };
  ASSERT_EQ(frame_->RestoreState(), 0);
  EXPECT_EQ(World().frames, 4) << "skipping ends it";
  EXPECT_FALSE(Front().HasAttached());
  Present();
  EXPECT_EQ(Shown(10, 10), kBlue);

  Settings()[kSettingAlwaysSkip] = 0;
  World().player = [this](int) { Present(); };
  World().give_up = World().frames + 3;
  EXPECT_EQ(frame_->RestoreState(), CVovFrame::kRunStopped);
}

TEST_F(ScreenTransitionsTest, NoFadeInFollowsALoadThatAsksForNoneOrShowsABlackPageOrQuakes) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
  };
  const std::vector<Case> cases = {
      {"the setting", [&] { Settings()[kSettingNoFadeAfterLoad] = 1; }},
      {"a black page without sprites", [&] { Page().ClearBg(0, 0); }},
      {"a quake started again", [&] { frame_->SetStateWord(kStateQuakeFirst, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings()[kSettingNoFadeAfterLoad] = 0;
    Page().ClearBg(kBlue, 0);
    c.prepare();
    filters_.requests.clear();
    World().frames = 0;
    ASSERT_EQ(frame_->RestoreState(), 0);
    for (const RecordingFilters::Request& request : filters_.requests) EXPECT_NE(request.name, "cross");
    EXPECT_EQ(World().frames, 0);
  }
}

TEST_F(ScreenTransitionsTest, ACrossDrawsEveryFrameWhileTheApplicationSwitchSkipsFramesAndSkipsAgainAfter) {
  CFramePacer& pacer = World().app.pacer;
  std::vector<bool> skipping;
  World().player = [&](int) {
    Present();
    skipping.push_back(pacer.IsSkipEnabled());
  };
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    World().app.switches[kSwitchFrameSkip] = on ? 1 : 0;
    pacer.SetSkipEnabled(on);
    skipping.clear();
    ASSERT_EQ(frame_->CrossScreen(100, 1, 0), 0);
    ASSERT_FALSE(skipping.empty());
    EXPECT_EQ(std::count(skipping.begin(), skipping.end(), true), 0) << "no frame is skipped during the wait";
    EXPECT_EQ(pacer.IsSkipEnabled(), on) << "the working copy comes back as the switch says";
  }
  World().app.switches[kSwitchFrameSkip] = 1;
  pacer.SetSkipEnabled(true);
  World().give_up = World().frames + 2;
  EXPECT_EQ(frame_->CrossScreen(1000, 1, 0), CVovFrame::kWaitAppEnding);
  EXPECT_TRUE(pacer.IsSkipEnabled()) << "also when the application ends during the wait";
}

}  // namespace
