// "sp_tanime": the definition file's lines and failures, the cells' key frames and commands, the
// priorities of the cells' sprites, looping, timing at any frame rate and across a pause, and
// the end of the effect.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "base/numbers/trig_tables.h"
#include "effects/sprite/sp_tanime_effect.h"
#include "gfx/display/image_canvas.h"
#include "platform/encoding/text_encoding.h"
#include "elg_encoder.h"
#include "random_elg_picture.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/motions/motion_path_text.h"
#include "support/fake_clock.h"
#include "support/image_host_fixture.h"
#include "support/scoped_pixel_library.h"

namespace {

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// Pictures 40 x 20 placed at (5, 6) by their own values; the animation's offset is (100, 200).
constexpr std::int32_t kBaseX = 105;
constexpr std::int32_t kBaseY = 206;
constexpr const char* kFile = "SYS/CA021.TXT";

class SpTanimeTest : public test_support::ImageHostTest {
 protected:
  void SetUp() override {
    ImageHostTest::SetUp();
    g_DrawLayerFactory = &factory_;
    g_TrigTable = &trig_;
    ASSERT_EQ(canvas_.Create(800, 600, 32, CImagePart::kLayerAndDrawList), 0u);
    layer_ = dynamic_cast<CDrawLayer*>(canvas_.GetLayer());
    ASSERT_NE(layer_, nullptr);
    game_.MakeFolder("SYS");
    kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(32, 40, 20, 1);
    picture.form = kvxtools::ElgHeaderForm::kOrigin;
    picture.user_value0 = 5;
    picture.user_value1 = 6;
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(picture);
    for (const char* name : {"SYS/A.ELG", "SYS/B.ELG", "SYS/C.ELG"}) game_.WriteFile(name, std::string(file.begin(), file.end()));
  }
  void TearDown() override {
    timers_.RemoveAll();
    timers_.Dispatch(0);
    g_TrigTable = nullptr;
    g_DrawLayerFactory = nullptr;
    ImageHostTest::TearDown();
  }

  // The definition file of the lines, each ended by CR LF.
  void Define(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    game_.WriteFile(kFile, text);
  }
  std::int32_t Load(std::uint32_t* line = nullptr) {
    return LoadDefinition(kFile, layer_, 100, 200, 100, cells_, line);
  }
  // Sets the effect up at 1000 ms and runs its first step: the Setup result.
  std::int32_t Start(bool loop = false) {
    clock_.SetMilliseconds(1000);
    effect_ = new CSpTanimeEffect;
    effect_->SetOwnerReference(&effect_);
    const std::int32_t result = effect_->Setup(&timers_, static_cast<CImagePart*>(&canvas_),
                                               PluginArgList{Word(kFile), 100, 200, 100, loop, 0}.View());
    if (result != CEffect::kRunning) {
      delete effect_;
      return result;
    }
    timers_.Dispatch(1000);
    return result;
  }
  const CSprite& Cell(std::size_t index) const { return *effect_->GetCellSprite(index); }
  std::int32_t XAt(std::uint32_t now, std::size_t cell = 0) {
    clock_.SetMilliseconds(now);
    timers_.Dispatch(now);
    return Cell(cell).GetX();
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CDrawLayerFactory factory_;
  CImageCanvasEx canvas_;
  CDrawLayer* layer_ = nullptr;
  CTimerManager timers_;
  CSpTanimeEffect* effect_ = nullptr;
  std::vector<std::unique_ptr<CSpTanimeCellDef>> cells_;
};

TEST_F(SpTanimeTest, EveryFailureOfTheFileHasItsCodeAndLeavesNothing) {
  struct Case {
    std::vector<std::string> lines;
    std::int32_t status;
    std::uint32_t line;
  };
  const std::string long_line(2000, '1');
  const std::string long_name(300, 'N');
  const Case cases[] = {
      {{"// nothing", "", "l 1, 2"}, kCellMalformed, 3},
      {{"t 100"}, kCellCommandBeforeCell, 1},
      {{"  10, 10"}, kCellLineBeforeCell, 1},
      {{"*A.ELG", "t 100", "10"}, kCellCommandBeforeKeyFrame, 2},
      {{"*A.ELG", "0", "t"}, kCellTimeWithoutNumber, 3},
      {{"*A.ELG", "0", "time 0"}, kCellZeroTime, 3},
      {{"*A.ELG", "0", "*MISSING.ELG", "0"}, kCellNoImage, 3},
      {{"*A.ELG", "0", long_line, "10"}, kCellMalformed, 2},
      {{"*" + long_name + ".ELG", "0"}, kCellMalformed, 1},
  };
  for (const Case& c : cases) {
    Define(c.lines);
    std::uint32_t line = 0;
    EXPECT_EQ(Load(&line), c.status) << c.lines.front();
    EXPECT_EQ(line, c.line) << c.lines.front();
    EXPECT_TRUE(cells_.empty());
    EXPECT_TRUE(layer_->GetOwnList().IsEmpty()) << "no sprite of a failed file stays";
  }
  Define({"l 3", "// a cell", "*A.ELG", "\tl 5", "10", "t 100", "20"});
  EXPECT_EQ(Load(), 0) << "an l line may come before the first key frame";
  EXPECT_EQ(LoadDefinition("SYS/NONE.TXT", layer_, 0, 0, 0, cells_, nullptr), kCellNoFile);
  EXPECT_EQ(LoadDefinition(kFile, nullptr, 0, 0, 0, cells_, nullptr), kCellNoLayer);

  Define({"l 1, 2"});
  EXPECT_EQ(Start(), CSpTanimeEffect::kSetupBadDefinition);
  CSpTanimeEffect effect;
  EXPECT_EQ(effect.Setup(&timers_, static_cast<CImagePart*>(&canvas_), PluginArgList{0, 0, 0, 0, 0, 0}.View()),
            CSpTanimeEffect::kSetupBadArguments);
}

// A cell's picture lies in the definition's folder, cut behind its last real separator: not behind
// the '\' second byte of ソ (83 5C), and behind a '/' after half-width katakana.
TEST_F(SpTanimeTest, ACellsPictureIsTakenFromTheDefinitionsFolder) {
  const struct {
    std::string folder, definition, file;  // the file: the definition's place on the disk
  } cases[] = {
      {"SYS", "SYS\\\x83\x5C.TXT", "SYS/\x83\x5C.TXT"},
      {"\xC3\xBD\xC4", "\xC3\xBD\xC4/DEF.TXT", "\xC3\xBD\xC4/DEF.TXT"},
  };
  const std::string picture = game_.ReadFile("SYS/A.ELG");
  for (const auto& each : cases) {
    game_.WriteFile(plat::SjisToUtf8(each.folder + "/A.ELG"), picture);
    game_.WriteFile(plat::SjisToUtf8(each.file), "*A.ELG\r\n0\r\n");
    EXPECT_EQ(LoadDefinition(each.definition.c_str(), layer_, 0, 0, 0, cells_, nullptr), 0)
        << plat::SjisToUtf8(each.definition);
    EXPECT_EQ(cells_.size(), 1u);
  }
}

TEST_F(SpTanimeTest, KeyFramesKeepTheirPreviousFieldsAndCommandsMakeTheirRecords) {
  Define({"*A.ELG", "l 1, 2, 3, 4", "0, 0, 128, 2, 0.5", "10", "c 10, 5", "c , 20", "a", "a 2", "a -2", "s", "s 0",
          "f", "b", "t 250", ",,,0"});
  ASSERT_EQ(Load(), 0);
  ASSERT_EQ(cells_.size(), 1u);
  const CSpTanimeCellDef& cell = *cells_.front();
  const std::vector<MotionPathRecord>& records = cell.commands;
  ASSERT_EQ(records.size(), 13u);
  EXPECT_EQ(std::vector<int32_t>({records[0].x, records[0].y, records[0].alpha}), std::vector<int32_t>({kBaseX, kBaseY, 128}));
  EXPECT_EQ(std::vector<int32_t>({records[0].swing_x, records[0].swing_y, records[0].phase_x, records[0].phase_y}),
            std::vector<int32_t>({1, 2, 3, 4}));
  EXPECT_EQ(std::vector<int32_t>({records[1].x, records[1].y, records[1].alpha, records[1].swing_x}),
            std::vector<int32_t>({kBaseX + 10, kBaseY, 128, 0}))
      << "a line of 10 moves x only";
  EXPECT_DOUBLE_EQ(records[1].zoom, 2.0);
  EXPECT_DOUBLE_EQ(records[1].angle, 0.5);
  EXPECT_EQ(records[1].key_index, 1);
  EXPECT_EQ(std::pair(records[3].x, records[3].y), std::pair(10, 20)) << "an empty x keeps the centre's x";
  EXPECT_EQ(std::vector<int>({records[4].flag, records[5].flag, records[6].flag}), std::vector<int>({0, 1, 1}));
  EXPECT_DOUBLE_EQ(records[5].real, 2.0);
  EXPECT_DOUBLE_EQ(records[6].real, -2.0);
  EXPECT_EQ(std::vector<int>({records[7].kind, records[8].kind, records[9].kind, records[10].kind, records[11].kind}),
            std::vector<int>({kPathCurvesOn, kPathCurvesOff, kPathToFront, kPathToBack, kPathTime}));
  EXPECT_DOUBLE_EQ(records[12].zoom, 1.0) << "a zoom of 0 is 1.0";
  EXPECT_TRUE(cell.smooth);
  EXPECT_TRUE(cell.use.zoom);
  EXPECT_TRUE(cell.use.rotation);
  EXPECT_DOUBLE_EQ(cell.use.largest_zoom, 2.0);
  EXPECT_EQ(cell.key_frames, 3);
  EXPECT_EQ(std::pair(cell.sprite->GetX(), cell.sprite->GetY()), std::pair(kBaseX, kBaseY)) << "placed at once";
  EXPECT_EQ(cell.sprite->GetOpacity(), 128);
}

TEST_F(SpTanimeTest, TheCosineEaseOfAnALineRunsThroughTheCell) {
  Define({"*A.ELG", "0", "a", "100"});
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(XAt(1250), kBaseX + static_cast<std::int32_t>(100 * ((-46340 + 65536) / 131072.0)));
  EXPECT_EQ(XAt(1500), kBaseX + 50);
}

TEST_F(SpTanimeTest, ThreeCellsEnterAtFallingPrioritiesAndFrontAndBackUseTheRange) {
  Define({"*A.ELG", "0", "10", "*B.ELG", "0", "b", "10", "*C.ELG", "0", "f", "10"});
  clock_.SetMilliseconds(1000);
  effect_ = new CSpTanimeEffect;
  effect_->SetOwnerReference(&effect_);
  ASSERT_EQ(effect_->Setup(&timers_, static_cast<CImagePart*>(&canvas_), PluginArgList{Word(kFile), 100, 200, 100, 0, 0}.View()), 0);
  std::vector<std::uint32_t> priorities;
  for (const CDrawList::Node& node : layer_->GetOwnList().Nodes()) priorities.push_back(node.priority);
  EXPECT_EQ(priorities, (std::vector<std::uint32_t>{98, 99, 100}));
  EXPECT_EQ(g_SpriteFrontPriority, 97u);
  EXPECT_EQ(g_SpriteBackPriority, 100u);
  timers_.Dispatch(1000);
  std::vector<const CDrawable*> order;
  priorities.clear();
  for (const CDrawList::Node& node : layer_->GetOwnList().Nodes()) {
    order.push_back(node.drawable);
    priorities.push_back(node.priority);
  }
  EXPECT_EQ(priorities, (std::vector<std::uint32_t>{97, 100, 100}));
  EXPECT_EQ(order, (std::vector<const CDrawable*>{&Cell(2), &Cell(0), &Cell(1)})) << "b goes behind the others of 100";
}

TEST_F(SpTanimeTest, ALoopPlaysTheFirstKeyFrameOnceAndRunsFromTheLastBackToTheSecond) {
  Define({"*A.ELG", "0", "100", "200"});
  ASSERT_EQ(Start(true), 0);
  EXPECT_EQ(XAt(1500), kBaseX + 50);
  EXPECT_EQ(XAt(2500), kBaseX + 150);
  EXPECT_EQ(XAt(3500), kBaseX + 150) << "from the last key frame back towards the second";
  EXPECT_EQ(XAt(4000), kBaseX + 100);
  EXPECT_EQ(XAt(4500), kBaseX + 150);
  EXPECT_EQ(XAt(5500), kBaseX + 150);
  EXPECT_TRUE(effect_->IsCellRunning(0));
}

TEST_F(SpTanimeTest, CellsKeepTimeAtAnyFrameRateAndAcrossAPause) {
  Define({"*A.ELG", "0", "t 500", "100", "300", "*B.ELG", "0", "t 300", "50", "-50"});
  std::vector<std::vector<std::int32_t>> runs;
  for (std::uint32_t step : {7u, 40u}) {
    ASSERT_EQ(Start(), 0);
    std::vector<std::int32_t> seen;
    for (std::uint32_t now = 1000; now < 2000; now += step) {
      timers_.Dispatch(now);
      if ((now - 1000) % 280 == 0) seen.push_back(Cell(0).GetX() * 1000 + Cell(1).GetX());
    }
    runs.push_back(seen);
    timers_.RemoveAll();
    timers_.Dispatch(0);
  }
  ASSERT_EQ(runs[0].size(), 4u);
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_EQ(runs[0].back(), (kBaseX + 236) * 1000 + kBaseX - 50) << "at 1840: 340 ms into A's second movement";

  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(XAt(1250), kBaseX + 50);
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(1550);
  timers_.Dispatch(1550);
  timers_.ResumeAll(-1);
  EXPECT_EQ(XAt(1550), kBaseX + 50) << "where it was when paused";
  EXPECT_EQ(XAt(1799), kBaseX + 99);
  EXPECT_EQ(XAt(1800), kBaseX + 100) << "the key frame 300 ms later than at 1500";
}

TEST_F(SpTanimeTest, EachCellHidesWhenItEndsAndStopReleasesEverything) {
  Define({"*A.ELG", "0", "t 100", "10", "*B.ELG", "0", "10"});
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(Cell(0).IsEnabled());
  timers_.Dispatch(1100);
  EXPECT_FALSE(Cell(0).IsEnabled());
  EXPECT_FALSE(effect_->IsCellRunning(0));
  EXPECT_EQ(Cell(0).GetX(), kBaseX + 10) << "at its last key frame";
  EXPECT_TRUE(Cell(1).IsEnabled());
  timers_.Dispatch(1999);
  EXPECT_NE(effect_, nullptr);
  timers_.Dispatch(2000);
  EXPECT_EQ(effect_, nullptr);
  EXPECT_TRUE(layer_->GetOwnList().IsEmpty()) << "the sprites went with the effect";

  ASSERT_EQ(Start(true), 0);
  EXPECT_EQ(layer_->GetOwnList().Nodes().size(), 2u);
  timers_.Remove(effect_);
  EXPECT_TRUE(layer_->GetOwnList().IsEmpty());
}

}  // namespace
