// "bg_anime" on a canvas's layer: cells read from the cell folder by the effect's own loader and
// drawn into the frame image, entries and their buffers, marks and jumps, the commands and
// queries, and the timing with and without catching up.
#include "effects/background/bg_anime_effect.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/time/timer_manager.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/create_by_name.h"
#include "effects/table/builtin_effect_table.h"
#include "gfx/display/image_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/anim_test_pictures.h"
#include "support/fake_clock.h"
#include "support/image_host_fixture.h"

namespace {

using kvxtools::AnimFrameWords;
using kvxtools::PatternFrame;

constexpr std::int32_t kCells = 10;
constexpr std::uint16_t kFrameWidth = 8;
constexpr std::uint16_t kFrameHeight = 6;
// The small cell that the placement test puts into the frame.
constexpr std::int32_t kSmallCell = kCells;
constexpr AnimFrameWords kMark{0xFFFFFFFF, 1, 0, 0};
constexpr AnimFrameWords kJump{0xFFFFFFFF, 2, 0, 0};
constexpr AnimFrameWords kEndOfEntry = kvxtools::kEndOfEntry;

constexpr std::uint32_t ColourOf(std::int32_t cell) {
  return 0xFF000000u | (0x10u * static_cast<std::uint32_t>(cell + 1)) << 16 | static_cast<std::uint32_t>(cell);
}

// A cell picture of the cell's colour, as the game folder holds it.
std::string CellPicture(std::uint16_t width, std::uint16_t height, std::int32_t cell) {
  const std::vector<std::uint8_t> bytes = SolidElg(width, height, ColourOf(cell) & 0xFFFFFF);
  return std::string(bytes.begin(), bytes.end());
}

std::uintptr_t Word(std::int32_t value) { return static_cast<std::uint32_t>(value); }

class BgAnimeTest : public test_support::ImageHostTest {
 protected:
  static constexpr std::uint32_t kStart = 5000;
  static constexpr std::uint32_t kQueryMissing = 0xFFFFFFFF;

  void SetUp() override {
    ImageHostTest::SetUp();
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(canvas_.Create(16, 12, 32, CImagePart::kLayer), 0u);
    layer_ = CanvasLayer(Part());
    ASSERT_NE(layer_, nullptr);
    clock_.SetMilliseconds(kStart);
    CatchUp(false);
    for (std::int32_t cell = 0; cell < kCells; ++cell) {
      game_.WriteFile("ANIME/C" + std::to_string(cell) + ".ELG", CellPicture(kFrameWidth, kFrameHeight, cell));
    }
    game_.WriteFile("ANIME/SMALL.ELG", CellPicture(2, 2, kSmallCell));
  }
  void TearDown() override {
    timers_.RemoveAll();
    canvas_.Release();
    g_DrawLayerFactory = nullptr;
    CatchUp(false);
    ImageHostTest::TearDown();
  }

  static void CatchUp(bool on) {
    const PluginArgList args{on ? 1u : 0u};
    const PluginArgs view = args.View();
    EXPECT_EQ(CBgAnimeEffect::Assist(&view), 0);
  }

  // An animation of `entries` entries whose references are the cells C0 to C9 and SMALL.
  void UseFrames(std::vector<AnimFrameWords> frames, std::uint16_t entries = 1) {
    kvxtools::DadFileSpec spec;
    spec.header = {kFrameWidth, 0, kFrameHeight, 0};
    spec.entry_count = entries;
    spec.frames = std::move(frames);
    for (std::int32_t cell = 0; cell < kCells; ++cell) spec.references.push_back({"C" + std::to_string(cell) + ".ELG"});
    spec.references.push_back({"SMALL.ELG"});
    file_ = MakeRef<CDadFile>();
    ASSERT_EQ(file_->LoadFromMemory(kvxtools::WriteDad(spec)), 0u);
  }
  // Cells 0 to 9 of 100 ms each.
  void UseTenCells() {
    std::vector<AnimFrameWords> frames;
    for (std::int32_t cell = 0; cell < kCells; ++cell) frames.push_back(PatternFrame(cell, 100));
    UseFrames(frames);
  }

  PluginArgList SetupArgs(std::int32_t entry, bool loop, bool start) const {
    return {reinterpret_cast<std::uintptr_t>(file_.get()), reinterpret_cast<std::uintptr_t>("ANIME"), Word(entry), 0,
            loop ? 1u : 0u, start ? 1u : 0u};
  }
  // The effect set up on the manager, which then owns it; null (with the result) when it fails.
  CBgAnimeEffect* Make(const PluginArgList& args, std::int32_t expected = CEffect::kRunning) {
    auto effect = std::make_unique<CBgAnimeEffect>();
    EXPECT_EQ(effect->Setup(&timers_, Part(), args.View()), expected);
    if (expected != CEffect::kRunning) return nullptr;
    effect->SetOwnerReference(&running_);
    running_ = effect.get();
    return effect.release();
  }
  // Selects entry 0 and starts it.
  CBgAnimeEffect* Play(bool loop = false) { return Make(SetupArgs(0, loop, true)); }

  static std::int32_t Command(CBgAnimeEffect& effect, std::uint32_t command, std::int32_t a = 0, std::int32_t b = 0) {
    return effect.SetParam(PluginArgList{command, Word(a), Word(b)}.View());
  }
  static std::int32_t Query(CBgAnimeEffect& effect, std::uint32_t query) {
    return effect.GetParam(PluginArgList{query}.View());
  }
  // The cell the frame image shows at (x, y); -1 for none of them.
  static std::int32_t CellAt(const CBgAnimeEffect& effect, std::int32_t x = 0, std::int32_t y = 0) {
    const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(effect.GetFrameImage().GetRowPointer(y))[x];
    for (std::int32_t cell = 0; cell <= kSmallCell; ++cell) {
      if (ColourOf(cell) == pixel) return cell;
    }
    return -1;
  }
  void RunAt(std::uint32_t ms) {
    clock_.SetMilliseconds(kStart + ms);
    timers_.Dispatch(kStart + ms);
  }
  // The effects' target: the canvas's image part.
  CImagePart* Part() { return &canvas_; }
  bool ShowsFrameImage(const CBgAnimeEffect& effect) const {
    return LayerBackground(layer_) == &effect.GetFrameImage();
  }

  ScopedFakeClock clock_;
  CDrawLayerFactory factory_;
  CImageCanvasEx canvas_;
  CDrawLayer* layer_ = nullptr;
  CTimerManager timers_;
  RefPtr<CDadFile> file_;
  CEffect* running_ = nullptr;
};

TEST_F(BgAnimeTest, CommandsAreRefusedInStatesThatDoNotAllowThem) {
  UseTenCells();
  CBgAnimeEffect* effect = Make(SetupArgs(-1, false, false));
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kStopped);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStart), CBgAnimeEffect::kNotInThisState) << "start before select";
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kPause), CBgAnimeEffect::kNotInThisState);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 0, 3), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kPrepared);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryFrame), 3);
  EXPECT_FALSE(ShowsFrameImage(*effect));
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kResume), CBgAnimeEffect::kNotInThisState);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStart), 0);
  EXPECT_TRUE(ShowsFrameImage(*effect));
  EXPECT_EQ(CellAt(*effect), 3);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStart), CBgAnimeEffect::kNotInThisState) << "started already";
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kPause), 0);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kPause), CBgAnimeEffect::kNotInThisState) << "paused already";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kPaused);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kResume), 0);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStopAtMark), CBgAnimeEffect::kNotInThisState) << "no mark";
  EXPECT_EQ(Command(*effect, 6), CBgAnimeEffect::kUnknownCommand);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStop), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kStopped);
  EXPECT_FALSE(ShowsFrameImage(*effect));
  EXPECT_EQ(Query(*effect, 6), -1);
  // A stopped animation can be selected and started again: the loader is asked anew.
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 5, 0), 0) << "entry 5 does not exist: entry 0";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryEntry), 0);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStart), 0);
  EXPECT_EQ(CellAt(*effect), 0);

  CBgAnimeEffect unset;
  EXPECT_EQ(Command(unset, CBgAnimeEffect::kSelect), CBgAnimeEffect::kNoFile);
}

TEST_F(BgAnimeTest, SetupChecksItsTargetFileAndFrameSize) {
  UseTenCells();
  EXPECT_EQ(Make({0, reinterpret_cast<std::uintptr_t>("ANIME")}, CBgAnimeEffect::kSetupBadArguments), nullptr);
  EXPECT_EQ(Make({reinterpret_cast<std::uintptr_t>(file_.get()), 0}, CBgAnimeEffect::kSetupBadArguments), nullptr);
  CBgAnimeEffect no_canvas;
  EXPECT_EQ(no_canvas.Setup(&timers_, nullptr, SetupArgs(0, false, false).View()), CBgAnimeEffect::kSetupBadArguments);
  EXPECT_EQ(Make(SetupArgs(-1, false, true), CBgAnimeEffect::kSetupStartFailed), nullptr) << "nothing selected";
  // A frame of no size cannot be made.
  kvxtools::DadFileSpec spec;
  spec.frames = {PatternFrame(0, 100)};
  spec.references = {{"C0.ELG"}};
  ASSERT_EQ(file_->LoadFromMemory(kvxtools::WriteDad(spec)), 0u);
  EXPECT_EQ(Make(SetupArgs(0, false, true), CBgAnimeEffect::kSetupNoFrameImage), nullptr);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_EQ(file_->GetRefCount(), 0u) << "a refused effect lets go of the file";
}

TEST_F(BgAnimeTest, MadeByNameThroughTheDrawObjectHost) {
  UseTenCells();
  CDcpPluginManager effects;
  CTcpPluginManager filters;
  RegisterSetUpEffects(effects, filters);
  CDcpPluginManager* saved_host = g_DcpHost;
  CTimerManager* saved_manager = g_PausableTimerManager;
  g_DcpHost = &effects;
  g_PausableTimerManager = &timers_;
  CEffect* slot = nullptr;
  EXPECT_EQ(CreateEffectByName(&slot, "bg_anime", Part(), SetupArgs(0, false, true).View()), kEffectCreated);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->GetTypeId(), kTimedTaskDrawObject);
  EXPECT_EQ(slot->GetType(), 0);
  EXPECT_EQ(LayerBackground(layer_), &static_cast<CBgAnimeEffect*>(slot)->GetFrameImage());
  // Its assist pair switches catching up.
  const PluginArgList on{1};
  const PluginArgs view = on.View();
  EXPECT_EQ(effects.FindAssistFunc("bg_anime")(&view), 0);
  EXPECT_TRUE(CBgAnimeEffect::CatchesUp());
  timers_.RemoveAll();
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(LayerBackground(layer_), nullptr) << "the frame image leaves with the effect";
  g_DcpHost = saved_host;
  g_PausableTimerManager = saved_manager;
}

TEST_F(BgAnimeTest, WithoutCatchingUpEveryLateUpdateShowsTheNextFrame) {
  UseTenCells();
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);  // the clock starts
  EXPECT_EQ(CellAt(*effect), 0);
  RunAt(99);
  EXPECT_EQ(CellAt(*effect), 0);
  RunAt(600);
  EXPECT_EQ(CellAt(*effect), 1);
  RunAt(3600);
  EXPECT_EQ(CellAt(*effect), 2);
  RunAt(3699);
  EXPECT_EQ(CellAt(*effect), 2) << "the frame's time counts from the late update";
  RunAt(3700);
  EXPECT_EQ(CellAt(*effect), 3);
}

TEST_F(BgAnimeTest, CatchingUpSkipsPassedFramesButForgetsADelayAboveASecond) {
  UseTenCells();
  CatchUp(true);
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  RunAt(500);
  EXPECT_EQ(CellAt(*effect), 5) << "five frames on";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryFrame), 5);
  RunAt(550);
  EXPECT_EQ(CellAt(*effect), 5);
  RunAt(3500);
  EXPECT_EQ(CellAt(*effect), 6) << "a delay of 3000 ms is forgotten";
  RunAt(3599);
  EXPECT_EQ(CellAt(*effect), 6) << "and the clock starts again with that frame";
  RunAt(3600);
  EXPECT_EQ(CellAt(*effect), 7);
  RunAt(4600);
  EXPECT_EQ(CellAt(*effect), 7) << "the last frame stays once the animation has ended";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kStopped);
  EXPECT_TRUE(ShowsFrameImage(*effect));
}

TEST_F(BgAnimeTest, CatchingUpGoesRoundAMarkedLoopManyTimesInOneUpdate) {
  // Each way from a cell to the next performs few records; many of them in one update are no
  // endless loop.
  UseFrames({kMark, PatternFrame(0, 10), PatternFrame(1, 10), kJump});
  CatchUp(true);
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  RunAt(510);
  ASSERT_EQ(running_, effect) << "still running after 51 frames round the loop";
  EXPECT_EQ(CellAt(*effect), 1);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryFrame), 2);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryLooping), 1);
}

TEST_F(BgAnimeTest, APauseMovesTheFrameTimeByThePausedSpan) {
  UseTenCells();
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  RunAt(60);
  clock_.SetMilliseconds(kStart + 60);
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(kStart + 1060);
  timers_.ResumeAll(-1);
  RunAt(1099);
  EXPECT_EQ(CellAt(*effect), 0);
  RunAt(1100);
  EXPECT_EQ(CellAt(*effect), 1);
  // Command 3 after command 2 gives the frame its whole time again.
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kPause), 0);
  RunAt(1500);
  EXPECT_EQ(CellAt(*effect), 1);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kResume), 0);
  RunAt(1550);
  RunAt(1649);
  EXPECT_EQ(CellAt(*effect), 1);
  RunAt(1650);
  EXPECT_EQ(CellAt(*effect), 2);
}

TEST_F(BgAnimeTest, EntriesPlayInTurnFromTheirOwnBuffersAndLoop) {
  // Entry 1 uses its cells in another order and one twice, so that each buffer keeps its own map.
  UseFrames({PatternFrame(0, 100), PatternFrame(1, 100), kEndOfEntry, PatternFrame(5, 100), PatternFrame(4, 100),
             PatternFrame(5, 100), kEndOfEntry, PatternFrame(7, 100)},
            3);
  CBgAnimeEffect* effect = Play(true);
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  const std::int32_t expected_cells[] = {0, 1, 5, 4, 5, 7, 0, 1, 5};
  const std::int32_t expected_entries[] = {0, 0, 1, 1, 1, 2, 0, 0, 1};
  for (std::size_t step = 0; step < std::size(expected_cells); ++step) {
    SCOPED_TRACE(step);
    RunAt(static_cast<std::uint32_t>(step * 100));
    EXPECT_EQ(CellAt(*effect), expected_cells[step]);
    EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryEntry), expected_entries[step]);
  }
}

TEST_F(BgAnimeTest, TheMarkLoopsUntilAStopAtTheMarkLetsTheJumpGoOn) {
  UseFrames({PatternFrame(0, 100), kMark, PatternFrame(1, 100), PatternFrame(2, 100), kJump, PatternFrame(3, 100)});
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMark), 1);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryLooping), 0);
  RunAt(0);
  const std::int32_t looping[] = {1, 2, 1, 2, 1};
  for (std::size_t step = 0; step < std::size(looping); ++step) {
    RunAt(static_cast<std::uint32_t>((step + 1) * 100));
    EXPECT_EQ(CellAt(*effect), looping[step]) << step;
  }
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryLooping), 1);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStopAtMark), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryLooping), 0);
  RunAt(600);
  EXPECT_EQ(CellAt(*effect), 2);
  RunAt(700);
  EXPECT_EQ(CellAt(*effect), 3) << "the jump went on";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryLooping), 0);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStopAtMark), CBgAnimeEffect::kNotInThisState);
  RunAt(800);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryState), CBgAnimeEffect::kStopped);
}

TEST_F(BgAnimeTest, MarkQueriesLookInTheEntryAndInTheEntriesAfterIt) {
  UseFrames({PatternFrame(0, 100), PatternFrame(1, 100), kEndOfEntry, PatternFrame(2, 100), kMark,
             PatternFrame(3, 100), kJump, kEndOfEntry, PatternFrame(4, 100), kMark, PatternFrame(5, 100)},
            3);
  CBgAnimeEffect* effect = Make(SetupArgs(0, false, false));
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMark), -1) << "an entry without marks";
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMarkedEntry), 1);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 1, 0), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryFrame), 3);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMark), 4);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMarkedEntry), 2);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 1, 5), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMark), -1) << "past the mark";
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 2, 0), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryNextMarkedEntry), -1);
  // A frame beyond the entry selects its first frame.
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 0, 5), 0);
  EXPECT_EQ(Query(*effect, CBgAnimeEffect::kQueryFrame), 0);
}

TEST_F(BgAnimeTest, AMarkAndJumpWithoutACellBetweenOrAnUnknownCommandEndTheEffectInOneUpdate) {
  const std::vector<AnimFrameWords> endless = {PatternFrame(0, 100), kMark, kJump, PatternFrame(1, 100)};
  const std::vector<AnimFrameWords> unknown = {PatternFrame(0, 100), {0xFFFFFFFF, 7, 0, 0}, PatternFrame(1, 100)};
  for (const auto& frames : {endless, unknown}) {
    SCOPED_TRACE(frames.size());
    UseFrames(frames);
    CBgAnimeEffect* effect = Play();
    ASSERT_NE(effect, nullptr);
    RunAt(0);
    // A non-zero result makes the manager delete the effect, which takes its frame image along.
    EXPECT_EQ(effect->Update(kStart + 100), CBgAnimeEffect::kBadRecord);
    timers_.RemoveAll();
    EXPECT_EQ(running_, nullptr);
    EXPECT_EQ(LayerBackground(layer_), nullptr);
  }
}

TEST_F(BgAnimeTest, ACellIsPlacedAtTheLowAndHighHalvesOfTheThirdWord) {
  UseFrames({PatternFrame(0, 100), PatternFrame(kSmallCell, 100, 3, 2), PatternFrame(kSmallCell, 100, 0, 0)});
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  RunAt(100);
  EXPECT_EQ(CellAt(*effect, 3, 2), kSmallCell);
  EXPECT_EQ(CellAt(*effect, 4, 3), kSmallCell);
  EXPECT_EQ(CellAt(*effect, 2, 2), 0) << "the earlier frame stays around the cell";
  EXPECT_EQ(CellAt(*effect, 5, 4), 0);
}

TEST_F(BgAnimeTest, AMissingCellFailsTheStartAndLeavesTheFrameWhilePlaying) {
  UseFrames({PatternFrame(0, 100), PatternFrame(1, 100), PatternFrame(2, 100)});
  game_.WriteFile("ANIME/C1.ELG", "not a picture");
  CBgAnimeEffect* effect = Play();
  ASSERT_NE(effect, nullptr);
  RunAt(0);
  RunAt(100);
  EXPECT_EQ(CellAt(*effect), 0);
  RunAt(200);
  EXPECT_EQ(CellAt(*effect), 2);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kSelect, 0, 1), 0);
  EXPECT_EQ(Command(*effect, CBgAnimeEffect::kStart), CBgAnimeEffect::kFrameNotShown);
}

}  // namespace
