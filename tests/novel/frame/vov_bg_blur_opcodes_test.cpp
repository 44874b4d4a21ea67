// The "bg_blur" opcodes: the words each row hands the effect, the end view recorded and shown,
// the road with effects off, the refused key-frame lists, the wait on the repeat counter, and the
// view carried through a save.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "effects/background/bg_blur_effect.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/effect_args.h"
#include "scene/drawables/draw_layer.h"
#include "support/log_capture.h"
#include "vov_frame_fixture.h"

namespace {

using Area = std::array<std::int32_t, 4>;
constexpr Area kNoView{kNoArea, 0, 0, 0};
constexpr Area kZoom2{200, 150, 600, 450};  // zoom 2 about (400, 300) on 800 x 600

// Stands in for "bg_blur": keeps its target and its words (texts read out, "null" for none), and
// ends at its first update.
struct Recorded {
  void* target = nullptr;
  std::vector<std::string> words;
} g_recorded;

class RecordingBlur : public CBgEffect {
 public:
  const char* GetName() const override { return "bg_blur"; }
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override {
    const bool centre_form = args.Word(0) == 0;
    const std::vector<std::uint32_t> texts = centre_form ? std::vector<std::uint32_t>{3, 4, 5, 6, 9, 10}
                                                         : std::vector<std::uint32_t>{0, 4, 5};
    g_recorded = {target, {}};
    for (std::uint32_t n = 0; n < args.count; ++n) {
      const bool text = std::find(texts.begin(), texts.end(), n) != texts.end();
      const char* chars = ArgText(args, n);
      g_recorded.words.push_back(!text ? std::to_string(args.Word(n)) : chars != nullptr ? chars : "null");
    }
    return AddTo(*manager, false) ? kRunning : 1;
  }
  std::uint32_t Update(std::uint32_t) override { return 1; }
  void Stop() override {}
};
CDcpObject* MakeRecordingBlur(std::uint32_t) { return new RecordingBlur; }

// A scenario operand: a number, a text, or absent.
struct Operand {
  Operand(int number) : value(static_cast<std::uint32_t>(number)) {}  // NOLINT: an operand
  Operand(const char* given) : flags(kVovStringFlag), text(given) {}  // NOLINT
  std::uint32_t flags = 1;
  std::uint32_t value = 0;
  std::string text;
};
const Operand kAbsent = [] {
  Operand absent(0);
  absent.flags = 0;
  return absent;
}();

class BgBlurOpcodesTest : public vov_test::EffectFrameTest {
 protected:
  std::int32_t Call(std::uint32_t opcode, const std::vector<Operand>& given) {
    std::vector<VovOperand> operands;
    for (const Operand& operand : given) operands.push_back({operand.flags, operand.value, operand.text});
    return frame_->CallOpcode(opcode, operands);
  }
  BgSlotRecord& Record() { return frame_->Page().Bg(0); }
  CDrawLayer& Layer() { return *frame_->Page().Layer(0); }
  Area ShownArea() {
    plat::Rect area{};
    if (!Layer().GetBackgroundArea(&area)) return kNoView;
    return {area.left, area.top, area.right, area.bottom};
  }
  // 52 about (400, 300) from zoom 1 to `zoom` turned by `turns`, 300 ms, opaque.
  std::int32_t Blur(const char* zoom, const char* turns, int keep_end_view, int wait) {
    return Call(52, {400, 300, "1", "0", zoom, turns, 300, 255, kAbsent, 0, 0, 0, 0, 0, keep_end_view, wait});
  }
};

struct RowCase {
  std::uint32_t opcode;
  std::vector<Operand> operands;
  std::vector<std::string> words;
};

TEST_F(BgBlurOpcodesTest, EachRowHandsTheEffectItsOperandsInOrderWithTheirDefaultsAndConversions) {
  CDcpPluginManager recorder;
  ASSERT_EQ(recorder.RegisterObject(&MakeRecordingBlur, "bg_blur", 0, &CBgBlurEffect::Assist, nullptr, 0), 0u);
  g_DcpHost = &recorder;
  const char* path = "(1,2)(3,4)";
  const std::vector<RowCase> cases = {
      {50, {257, 258, "t3", "t4", "t5", "t6", 263, 264, "t9", "t10", 1},
       {"0", "257", "258", "t3", "t4", "t5", "t6", "263", "8", "t9", "t10", "0", "0", "0", "0", "0", "0"}},
      {50, {kAbsent, kAbsent, 3, kAbsent, kAbsent, kAbsent, kAbsent, 255, 0, 0, 1},
       {"0", "400", "300", "null", "null", "null", "null", "1000", "255", "null", "null", "0", "0", "0", "0", "0", "0"}},
      {50, {0, 0, "1", "0", "1", "0", 0, 255, 0, 0, 1},
       {"0", "0", "0", "1", "0", "1", "0", "1000", "255", "null", "null", "0", "0", "0", "0", "0", "0"}},
      {52, {257, 258, "t3", "t4", "t5", "t6", 263, 264, "t9", 266, 267, 268, 269, 1, 271, 272},
       {"0", "257", "258", "t3", "t4", "t5", "t6", "263", "8", "t9", "null", "1", "1", "12", "13", "0", "1"}},
      {53, {"t1", 258, 259, "t4", "t5", "t6", "t7", 264, 265, "t10", 267, 268, 269, 270, 1, 272, 273},
       {"0", "258", "259", "t4", "t5", "t6", "t7", "264", "9", "t10", "t1", "1", "1", "13", "14", "0", "1"}},
      {51, {path, 258, 259, 260, "t5", "t6", 1}, {path, "1", "259", "4", "t5", "t6", "0", "0", "0", "0", "0", "0"}},
      {51, {path, 0, kAbsent, 255, 0, 0, 1}, {path, "0", "1000", "255", "null", "null", "0", "0", "0", "0", "0", "0"}},
      {54, {path, 258, 259, 260, "t5", 262, 263, 264, 265, 1, 267, 268},
       {path, "1", "259", "4", "t5", "null", "1", "1", "8", "9", "0", "1"}},
      {55, {"t1", path, 259, 0, 261, "t6", 263, 264, 265, 266, 1, 268, 269},
       {path, "1", "1000", "5", "t6", "t1", "1", "1", "9", "10", "0", "1"}},
  };
  LogCapture log;
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.opcode);
    g_recorded = {};
    ASSERT_EQ(Call(c.opcode, c.operands), 0);
    EXPECT_EQ(g_recorded.words, c.words);
    EXPECT_EQ(g_recorded.target, frame_->Page().Part(1)) << "on the back page's slot";
  }
  g_DcpHost = &effects_->effects;
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

TEST_F(BgBlurOpcodesTest, TheSlotKeepsTheViewTheBlurEndsOnUnturnedOrTurned) {
  ASSERT_EQ(Blur("2", "0", 1, 1), 0);
  EXPECT_EQ(Record().effect, nullptr) << "waited for";
  EXPECT_EQ(Record().area, kZoom2);
  EXPECT_EQ(ShownArea(), kZoom2);
  ASSERT_EQ(Blur("2", "0.25", 1, 1), 0);
  ZoomRect turned;
  ASSERT_EQ(ComputeZoomRotateSource(&Layer(), 400, 300, 2.0, 0.25, turned), kZoomSourceOk);
  EXPECT_EQ(Record().area, kNoView);
  EXPECT_EQ(Record().angle, -128);
  EXPECT_EQ(Record().zoom, 2.0f);
  EXPECT_EQ(Record().offset_x, turned.x);
  EXPECT_EQ(Record().offset_y, turned.y);
  const CDrawLayer::RotoZoom shown = Layer().GetRotoZoom();
  EXPECT_EQ((std::array<std::int32_t, 3>{shown.x, shown.y, shown.angle}), (std::array<std::int32_t, 3>{turned.x, turned.y, -128}));
  ASSERT_EQ(Call(54, {"(0,0)(400,300,2)", 0, 100, 255, 0, 0, 0, 0, 0, 0, 1, 1}), 0);
  EXPECT_EQ(Record().area, kZoom2) << "the last key frame's view";
}

TEST_F(BgBlurOpcodesTest, WithEffectsOffOnlyTheEndViewIsShownAtOnce) {
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Blur("2", "0", 0, 1), 0);
  EXPECT_EQ(Record().area, kNoView) << "no end view asked for: nothing changes";
  ASSERT_EQ(Blur("2", "0", 1, 1), 0);
  EXPECT_EQ(Record().effect, nullptr);
  EXPECT_EQ(World().frames, 0);
  EXPECT_EQ(ShownArea(), kZoom2);
  EXPECT_EQ(Record().area, kZoom2);
  for (const char* list : {"", "(1,x)"}) {
    EXPECT_EQ(Call(54, {list, 0, 100, 255, 0, 0, 0, 0, 0, 0, 1, 0}), 2) << list;
    EXPECT_EQ(Record().area, kZoom2) << "a refused list changes nothing";
  }
  EXPECT_EQ(Call(54, {7, 0, 100, 255, 0, 0, 0, 0, 0, 0, 1, 0}), 2) << "a number is no list";
  Settings()[kSettingScreenEffectsOff] = 0;
  frame_->SetSkipMode(true);
  ASSERT_EQ(Call(55, {0, "(0,0,4)", 0, 100, 255, 0, 0, 0, 0, 0, 0, 1, 0}), 0) << "one key frame is enough";
  EXPECT_EQ(Record().area, (Area{0, 0, 200, 150}));
}

TEST_F(BgBlurOpcodesTest, AKeyFrameListTheEffectRefusesStartsNothing) {
  for (const Operand& list : {Operand("(400,300,2)"), Operand(7)}) {
    EXPECT_EQ(Call(54, {list, 0, 100, 255, 0, 0, 0, 0, 0, 0, 1, 0}), 1);
    EXPECT_EQ(Record().effect, nullptr) << "a number would have started the centre form";
    EXPECT_EQ(Record().area, kNoView);
  }
}

TEST_F(BgBlurOpcodesTest, TheWaitFollowsTheRepeatCounter) {
  ASSERT_EQ(Blur("2", "0", 0, 1), 0);
  EXPECT_GE(World().frames * vov_test::WaitWorld::kFrameTime, 300);
  EXPECT_EQ(frame_->RepeatCounter(), 0u);
  World().frames = 0;
  frame_->SetRepeatCounter(1);
  ASSERT_EQ(Blur("2", "0", 0, 1), 0);
  EXPECT_EQ(World().frames, 0) << "after a cut-short wait the blur ends at once";
  EXPECT_EQ(Record().effect, nullptr);
  EXPECT_EQ(frame_->RepeatCounter(), 2u);
  frame_->SetRepeatCounter(0);
  World().player = [&](int frame) { frame_->SetSkipMode(frame >= 3); };
  ASSERT_EQ(Blur("2", "0", 0, 1), 0);
  EXPECT_EQ(World().frames, 3);
  EXPECT_EQ(frame_->RepeatCounter(), 1u) << "cut short by the skip";
  World().player = nullptr;
  frame_->SetSkipMode(false);
  frame_->SetRepeatCounter(0);
  World().give_up = World().frames + 2;
  EXPECT_EQ(Blur("2", "0", 0, 1), -1) << "the application ends during the wait";
}

TEST_F(BgBlurOpcodesTest, APointViewEndsTheBlurAndDefaultsToTheScreenCentre) {
  ASSERT_EQ(Blur("2", "0", 0, 0), 0);
  ASSERT_NE(Record().effect, nullptr);
  ASSERT_EQ(Call(56, {kAbsent, kAbsent, "2", 5, 0}), 0);
  EXPECT_EQ(Record().effect, nullptr);
  EXPECT_EQ(ShownArea(), kZoom2) << "a number where the turn stands is no turn";
  effects_->effects.UnloadObjects();
  EXPECT_EQ(Call(56, {400, 300, "2", "0", 0}), -2) << "without \"bg_blur\"";
}

// A game saved while a blur with its end view runs, loaded into a new frame: the page shows the
// end view, and nothing starts again.
TEST_F(BgBlurOpcodesTest, ALoadShowsTheRecordedEndViewWithoutABlur) {
  using kvxtools::TobOperand;
  kvxtools::TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), TobOperand::Value(0)});
  std::vector<TobOperand> blur;
  for (std::uint32_t value : {400u, 300u}) blur.push_back(TobOperand::Value(value));
  for (const char* text : {"1", "0", "2", "0"}) blur.push_back(TobOperand::String(text));
  for (std::uint32_t value : {5000u, 255u, 0u, 0u, 0u, 0u, 0u, 0u, 1u, 0u}) blur.push_back(TobOperand::Value(value));
  builder.Command(52, blur);
  builder.Text("x");
  builder.Command(16);
  SaveInTheMessageAndLoad(builder);
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_EQ(ShownArea(), kZoom2);
  EXPECT_EQ(Record().effect, nullptr);
  EXPECT_EQ(Record().persist_kind, kPersistNone);
}

}  // namespace
