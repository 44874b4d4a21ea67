// The frame's effect commands: effects made into the slot records' fields, their defaults, the
// road with effects off, the persistent records and the page swap, and the sprite effects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/sprite/sp_change_effect.h"
#include "effects/sprite/sp_panime_effect.h"
#include "effects/sprite/sp_tanime_effect.h"
#include "platform/encoding/text_encoding.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"
#include "support/log_capture.h"
#include "vov_frame_fixture.h"

namespace {

constexpr std::uint32_t kFrameTime = vov_test::WaitWorld::kFrameTime;

class EffectCommandsTest : public vov_test::EffectFrameTest {
 protected:
  void SetUp() override {
    EffectFrameTest::SetUp();
    game_.WriteFile("SYS/NOISE.ELG", page_test::Picture(8, 8, 0xFF808080));
    game_.WriteFile("AAA01S.ELG", page_test::Picture(40, 60, 0xFFFF0000));
  }
  CVovPage& Page() { return frame_->Page(); }
  // Operands: a number, or a text (kept in `texts_`).
  struct Arg {
    Arg(int number) : value(static_cast<std::uint32_t>(number)) {}  // NOLINT: a scenario operand
    Arg(const char* given) : text(given), is_text(true) {}  // NOLINT
    std::uint32_t value = 0;
    std::string text;
    bool is_text = false;
  };
  std::int32_t Opcode(std::uint32_t opcode, const std::vector<Arg>& args, std::vector<std::size_t> absent = {}) {
    std::vector<VovOperand> operands;
    texts_.clear();
    texts_.reserve(args.size());
    for (std::size_t n = 0; n < args.size(); ++n) {
      VovOperand operand{1, args[n].value, {}};
      if (args[n].is_text) {
        texts_.push_back(args[n].text);
        operand = {kVovStringFlag, 1, texts_.back()};
      }
      if (std::find(absent.begin(), absent.end(), n + 1) != absent.end()) operand = {};
      operands.push_back(operand);
    }
    return frame_->CallOpcode(opcode, operands);
  }
  // Frame passes until the field's effect ends: the time it took.
  std::uint32_t TimeToEnd(CEffect*& field) {
    const int before = World().frames;
    EXPECT_EQ(frame_->WaitEffect(field, false), 0);
    return static_cast<std::uint32_t>(World().frames - before) * kFrameTime;
  }
  SpriteRecord& LoadedSprite() {
    Page().SetCharacters({"AAA"});
    EXPECT_EQ(Page().LoadSprite(0, "AAA01S.ELG", false, 0), 0);
    return *Page().Sprite(0, false, 0);
  }

  // The drawables in both pages' own and attached lists.
  std::vector<const CDrawable*> DrawnSprites() {
    std::vector<const CDrawable*> drawn;
    for (std::uint32_t page : {0u, 1u}) {
      CDrawLayer* layer = Page().Layer(page);
      for (const CDrawList* list : {&layer->GetOwnList(), layer->GetAttachedList()}) {
        if (list == nullptr) continue;
        for (const CDrawList::Node& node : list->Nodes()) drawn.push_back(node.drawable);
      }
    }
    return drawn;
  }
  // Opcode 83 on sprite 0 of group 0 on the front page: new name, path, time (absent when 0),
  // mode and the size-letter switch.
  std::int32_t Change(const char* name, const char* path, int time, int mode = 0, int sizes = 0) {
    return Opcode(83, {0, name, path, 0, time, mode, sizes, 0}, time == 0 ? std::vector<std::size_t>{5}
                                                                             : std::vector<std::size_t>{});
  }
  CSpChangeEffect* RunningChange(const SpriteRecord& record) { return dynamic_cast<CSpChangeEffect*>(record.effect); }

  std::vector<std::string> texts_;
};


TEST_F(EffectCommandsTest, WithEffectsOffTheZoomSetsTheAreaAtOnceAndCreatesNoEffect) {
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Opcode(46, {"2", 0, 0, 0, 0, 0}, {2, 3}), 0);
  const BgSlotRecord& record = Page().Bg(0);
  EXPECT_EQ(record.effect, nullptr);
  EXPECT_EQ(record.area, (std::array<std::int32_t, 4>{200, 150, 600, 450})) << "zoom 2 about (400, 300)";
}

TEST_F(EffectCommandsTest, SkippingAlsoTakesTheRoadWithoutEffects) {
  frame_->SetSkipMode(true);
  ASSERT_EQ(Opcode(46, {"2", 100, 100, 500, 0, 0}), 0);
  EXPECT_EQ(Page().Bg(0).effect, nullptr);
  EXPECT_EQ(Page().Bg(0).area[0], 0) << "the centre near the corner keeps the area inside the picture";
}

TEST_F(EffectCommandsTest, TheZoomDefaultsToTheScreenCentreAndOneSecond) {
  ASSERT_EQ(Opcode(46, {"2", 0, 0, 0, 0, 0}, {2, 3, 4}), 0);
  BgSlotRecord& record = Page().Bg(0);
  ASSERT_NE(record.effect, nullptr);
  EXPECT_EQ(record.area, (std::array<std::int32_t, 4>{200, 150, 600, 450})) << "the record holds the end view";
  // The effect latches its start at its first update, one frame in.
  EXPECT_EQ(TimeToEnd(record.effect), 1000u + kFrameTime);
  // A present 0 takes the default too.
  ASSERT_EQ(Opcode(46, {"2", 400, 300, 0, 0, 0}), 0);
  EXPECT_EQ(TimeToEnd(record.effect), 1000u + kFrameTime);
}

TEST_F(EffectCommandsTest, ALoopingPathWithA48CharacterNameGives2AndChangesNothing) {
  const std::string name(48, 'l');
  ASSERT_EQ(Opcode(46, {"2", 400, 300, 5000, 0, 0}), 0);
  CEffect* running = Page().Bg(0).effect;
  ASSERT_NE(running, nullptr);
  EXPECT_EQ(Opcode(48, {name.c_str(), 500, 0, 0, 0, 0, 1}), 2);
  EXPECT_EQ(Page().Bg(0).effect, running) << "the zoom still runs";
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistNone);
  EXPECT_EQ(Opcode(48, {("l" + std::string(46, ' ')).c_str(), 500, 0, 0, 0, 0, 1}), 0) << "47 characters are kept";
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistLoopingPanime);
  EXPECT_EQ(Page().Bg(0).effect, nullptr) << "the zoom ended first";
}

TEST_F(EffectCommandsTest, ARasterOrHazeModeAbove2Gives1) {
  EXPECT_EQ(Opcode(60, {3, 4, 8, 100, 0, 0, 0, 0, 0}), 1);
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistNone);
  ASSERT_EQ(Opcode(60, {1, 4, 8, 100, 0, 0, 0, 0, 0}), 0);
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistHaze) << "a hold of 0 runs for ever";
  EXPECT_NE(Page().Bg(0).persist_effect, nullptr);
}

TEST_F(EffectCommandsTest, TheCrossDefaultsToTwoSecondsOnlyWhenItsTimeIsAbsent) {
  game_.WriteFile("BG02.ELG", page_test::Picture(800, 600, 0xFF00FF00));
  ASSERT_EQ(Page().LoadBg("BG02.ELG", 1), 0);
  ASSERT_EQ(Opcode(61, {0, 1, 0, 0}, {1}), 0);
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistNone) << "one loop runs once";
  EXPECT_EQ(TimeToEnd(Page().Bg(0).effect), 2000u + kFrameTime);
  ASSERT_EQ(Opcode(61, {0, 0, 0, 0}), 0);
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistCross) << "no count: for ever, recorded";
  EXPECT_EQ(PersistWord(Page().Bg(0), 0), 0u) << "a present 0 stays 0";
}

TEST_F(EffectCommandsTest, APageSwapExchangesTheSwitchesOfTheScreenEffectsInBothRecords) {
  ASSERT_EQ(Opcode(59, {128, 1, 0, 0}), 0);
  ASSERT_NE(Page().Bg(0).persist_effect, nullptr);
  BgSlotRecord& noise = Page().Bg(0);
  BgSlotRecord& quake = Page().Bg(1);
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Opcode(108, {4, 4, 0, 0, 0, 1, 0, 1}), 0) << "recorded with effects off";
  EXPECT_EQ(quake.quake_effect, nullptr);
  ASSERT_EQ(quake.persist_kind, kPersistQuake);
  Page().SwapPages(false);
  EXPECT_EQ(PersistWord(noise, 1), 0u);
  EXPECT_EQ(PersistWord(noise, 2), 1u);
  EXPECT_EQ(PersistWord(quake, 4), 0u);
  EXPECT_EQ(PersistWord(quake, 5), 1u);
  EXPECT_EQ(PersistWord(noise, 0), 128u) << "the strength stays";
}

TEST_F(EffectCommandsTest, TheSwitchesReachOnlyARunningNoiseOrParticleEffect) {
  EXPECT_EQ(Opcode(63, {0, 1, 1}), 1) << "nothing runs";
  ASSERT_EQ(Opcode(59, {128, 1, 0, 0}), 0);
  EXPECT_EQ(Opcode(63, {0, 0, 1}), 0);
  EXPECT_EQ(PersistWord(Page().Bg(0), 1), 0u);
  EXPECT_EQ(PersistWord(Page().Bg(0), 2), 1u);
  ASSERT_EQ(Opcode(64, {0, 1}), 0);
  EXPECT_EQ(Page().Bg(0).persist_effect, nullptr);
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistNone);
}

TEST_F(EffectCommandsTest, AParticleEffectAskedToEndRunsOutAndItsWaitWaitsForIt) {
  World().give_up = 5000;  // the flakes take their time to fall out
  for (int kind = 0; kind < 5; ++kind) {
    game_.WriteFile("SYS/SNOW_" + std::to_string(kind) + ".ELG", page_test::Picture(4, 4, 0xFFFFFFFF));
  }
  EXPECT_EQ(Opcode(62, {4, 10, 0, 0, 1, 0, 0}), 1) << "kinds 0-3 only";
  ASSERT_EQ(Opcode(62, {2, 10, 0, 0, 1, 0, 0}), 0);
  BgSlotRecord& record = Page().Bg(0);
  ASSERT_NE(record.persist_effect, nullptr);
  EXPECT_EQ(record.persist_kind, kPersistPaper + 2);
  ASSERT_EQ(Opcode(64, {0, 0}), 0) << "without force: a stop request";
  EXPECT_EQ(record.persist_kind, kPersistNone);
  ASSERT_NE(record.persist_effect, nullptr) << "the pieces finish their way";
  ASSERT_EQ(Opcode(65, {0, 0}), 0);
  EXPECT_EQ(record.persist_effect, nullptr) << "the wait lasted until the last flake left";
}

TEST_F(EffectCommandsTest, WithEffectsOffAPersistentEffectIsRecordedButNotCreated) {
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Opcode(62, {3, 10, 0, "TEX", 1, 0, 0}), 0);
  const BgSlotRecord& record = Page().Bg(0);
  EXPECT_EQ(record.persist_effect, nullptr);
  EXPECT_EQ(record.persist_kind, kPersistRain);
  EXPECT_EQ(PersistName(record), "TEX");
  EXPECT_EQ(PersistWord(record, 3), 10u);
}

TEST_F(EffectCommandsTest, AQuakeWithADurationRunsOnceAndItsWaitFollowsTheRepeatCounter) {
  ASSERT_EQ(Opcode(108, {4, 4, 400, 0, 0, 1, 1, 0}), 0);
  BgSlotRecord& record = Page().Bg(0);
  ASSERT_NE(record.quake_effect, nullptr);
  EXPECT_EQ(record.persist_kind, kPersistNone);
  frame_->SetRepeatCounter(1);
  ASSERT_EQ(Opcode(110, {0, 1}), 0);
  EXPECT_EQ(record.quake_effect, nullptr) << "a skipped wait ends the quake at once";
  EXPECT_EQ(frame_->RepeatCounter(), 2u);
  ASSERT_EQ(Opcode(108, {4, 4, 400, 0, 0, 1, 1, 0}), 0);
  frame_->SetRepeatCounter(0);
  ASSERT_EQ(Opcode(110, {0, 1}), 0);
  EXPECT_EQ(record.quake_effect, nullptr);
  EXPECT_EQ(frame_->RepeatCounter(), 0u) << "the wait ran out";
}

TEST_F(EffectCommandsTest, AnEndlessQuakeEndsWithItsScenarioAndALaterUnskippableWaitDoesNotWaitForIt) {
  using kvxtools::TobOperand;
  kvxtools::TobBuilder shaking;
  shaking.Command(108, {TobOperand::Value(4), TobOperand::Value(4), TobOperand::Value(0), TobOperand::Absent(),
                        TobOperand::Value(0), TobOperand::Value(1), TobOperand::Value(1), TobOperand::Value(0)});
  ASSERT_EQ(Run(shaking), 0);
  ASSERT_NE(Page().Bg(0).quake_effect, nullptr);
  frame_->ResetPage();
  EXPECT_EQ(Page().Bg(0).quake_effect, nullptr);
  kvxtools::TobBuilder waiting;
  waiting.Command(110, {TobOperand::Value(0), TobOperand::Value(0)});
  EXPECT_EQ(Run(waiting), 0);
  EXPECT_LT(World().frames, 10);
}

TEST_F(EffectCommandsTest, ASlotWaitIsCutShortByASkipAndTheEndEndsAtOnce) {
  ASSERT_EQ(Opcode(46, {"2", 400, 300, 5000, 0, 0}), 0);
  frame_->SetSkipMode(true);
  ASSERT_EQ(Opcode(57, {0, 1}), 0);
  EXPECT_EQ(Page().Bg(0).effect, nullptr);
  EXPECT_EQ(frame_->RepeatCounter(), 1u);
  frame_->SetSkipMode(false);
  ASSERT_EQ(Opcode(46, {"2", 400, 300, 5000, 0, 0}), 0);
  ASSERT_EQ(Opcode(58, {0}), 0);
  EXPECT_EQ(Page().Bg(0).effect, nullptr);
}

TEST_F(EffectCommandsTest, ASpritePathDefaultsToHalfASecondAndALoopingOneEndsAtItsWaitWith2) {
  SpriteRecord& record = LoadedSprite();
  EXPECT_EQ(Opcode(81, {6, "l", 0, 0, 0, 0}, {3}), 1) << "no record past the group";
  EXPECT_EQ(Opcode(81, {1, "l", 0, 0, 0, 0}, {3}), 2) << "no sprite in the record";
  ASSERT_EQ(Opcode(81, {0, "l", 0, 0, 0, 0}, {3}), 0);
  ASSERT_NE(record.effect, nullptr);
  EXPECT_EQ(TimeToEnd(record.effect), 500u + kFrameTime);
  ASSERT_EQ(Opcode(81, {0, "l r", 300, 0, 0, 1}), 0);
  EXPECT_EQ(record.persist_kind, 1);
  EXPECT_EQ(record.persist_name, "l r");
  EXPECT_EQ(record.persist_param, 300);
  EXPECT_EQ(Opcode(85, {0, 0, 0, 1}), 2);
  EXPECT_EQ(record.effect, nullptr);
  EXPECT_EQ(record.persist_kind, 0);
}

TEST_F(EffectCommandsTest, WithEffectsOffASpritePathPutsTheSpriteAtItsEnd) {
  SpriteRecord& record = LoadedSprite();
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Opcode(81, {0, "l", 300, 0, 0, 0}), 0);
  EXPECT_EQ(record.effect, nullptr);
  EXPECT_EQ(record.sprite->GetX(), 0) << "at the layer's left edge";
  EXPECT_EQ(record.x, record.ref_x);
}

TEST_F(EffectCommandsTest, TheCellAnimationOfASmallSpriteReadsDefinition20PlusItsNumber) {
  game_.WriteFile("SYS/CELL.ELG", page_test::Picture(4, 4, 0xFF00FF00));
  game_.WriteFile("SYS/CA023.TXT", "*CELL.ELG\r\n0,0\r\nt 100\r\n10,0\r\n");
  SpriteRecord& record = LoadedSprite();
  ASSERT_EQ(record.character, 0);
  ASSERT_EQ(Opcode(84, {0, 3, 0, 0, 0}), 0);
  EXPECT_NE(record.effect, nullptr) << "SYS/CA023.TXT was read";
  EXPECT_EQ(TimeToEnd(record.effect), 100u + kFrameTime);
  EXPECT_EQ(Opcode(84, {0, 4, 0, 0, 0}), 4) << "SYS/CA024.TXT does not exist";
  record.character = 7;
  EXPECT_EQ(Opcode(84, {0, 3, 0, 0, 0}), 3) << "only characters 0-6 have cell animations";
}

TEST_F(EffectCommandsTest, TheCellAnimationNumberFollowsTheLastWholeCharacterOfTheNameLeaf) {
  game_.WriteFile("SYS/CELL.ELG", page_test::Picture(4, 4, 0xFF00FF00));
  game_.WriteFile("SYS/CA043.TXT", "*CELL.ELG\r\n0,0\r\nt 100\r\n10,0\r\n");
  SpriteRecord& record = LoadedSprite();
  // Only SYS/CA043.TXT exists: the base 40 reads, 20 ("S") and 80 ("X") find no file.
  const struct {
    const char* name;
    std::int32_t result;
  } cases[] = {
      {"AAA01S.ELG", 4},          {"AAA01X.ELG", 4},        {"AAA01M.ELG", 0},
      {"AAA01S", 4},              {"X.DIR/AAA01", 0},       {"S.DIR\\AAA01.ELG", 0},
      {"AAA\x83\x53.ELG", 0},   {"AAA\x83\x4D.ELG", 0}, {"DIR/AAA\x83\x58", 0},
      {"AAA\xB1S.ELG", 4},  // a one-byte katakana before the S
  };
  for (const auto& each : cases) {
    record.name = each.name;
    EXPECT_EQ(Opcode(84, {0, 3, 0, 0, 0}), each.result) << each.name;
  }
}

TEST_F(EffectCommandsTest, TheCellAnimationMovesByTheOffsetThatThePictureKeepsForItsDefinition) {
  game_.WriteFile("SYS/CELL.ELG", page_test::Picture(4, 4, 0xFF00FF00));
  game_.WriteFile("SYS/CA023.TXT", "*CELL.ELG\r\n0,0\r\nt 5000\r\n0,0\r\n");
  // A picture whose record chain holds offsets for definitions 43 and 23, as the picture files do.
  kvxtools::ElgPicture picture;
  picture.width = 40;
  picture.height = 60;
  picture.pixels.assign(40 * 60 * 4, 0xFF);
  picture.form = kvxtools::ElgHeaderForm::kRecords;
  picture.records = {{7, {43, 0, 1, 0, 2, 0, 23, 0, 11, 0, 0xF3, 0xFF}}, {9, {1, 2, 3, 4}}};
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeElg(picture);
  game_.WriteFile("AAA01S.ELG", std::string(bytes.begin(), bytes.end()));
  SpriteRecord& record = LoadedSprite();
  ASSERT_EQ(Page().PlaceSprite(0, 0, false, false, 0), 0);
  ASSERT_EQ(Page().MoveSprite(0, 100, 200, false, 0), 0);
  ASSERT_EQ(record.sprite->GetX(), 100);
  ASSERT_EQ(record.sprite->GetY(), 200);
  const auto cell_place = [&] {
    EXPECT_EQ(Opcode(84, {0, 3, 0, 0, 0}), 0);
    const auto* cells = dynamic_cast<const CSpTanimeEffect*>(record.effect);
    if (cells == nullptr || cells->GetCellCount() != 1) return std::pair{-1, -1};
    return std::pair{cells->GetCellSprite(0)->GetX(), cells->GetCellSprite(0)->GetY()};
  };
  EXPECT_EQ(cell_place(), std::pair(111, 187)) << "definition 23's record: (11, -13)";

  // The records' length counts itself; one that overruns the picture's block is not read.
  const auto offsets_with_length = [&](std::uint32_t length) {
    std::vector<std::uint8_t> data = {7, 0, 0, 0, 0, 23, 0, 5, 0, 6, 0};
    for (int i = 0; i < 4; ++i) data[1 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    record.image->SetExtraData(data);
    return cell_place();
  };
  EXPECT_EQ(offsets_with_length(10), std::pair(105, 206)) << "one record filling the block";
  EXPECT_EQ(offsets_with_length(11), std::pair(100, 200)) << "a byte past the block";
  EXPECT_EQ(offsets_with_length(0xFFFFFFFF), std::pair(100, 200));
  EXPECT_EQ(offsets_with_length(3), std::pair(100, 200)) << "shorter than the length itself";
  EXPECT_EQ(offsets_with_length(9), std::pair(100, 200)) << "a record cut short is not read";
  record.image->SetExtraData({7, 10, 0, 0});
  EXPECT_EQ(cell_place(), std::pair(100, 200)) << "a block shorter than its head";
}

TEST_F(EffectCommandsTest, ASpriteChangeDefaultsToHalfASecondAndTheOldSpriteGoesAtItsEnd) {
  game_.WriteFile("AAA02M.ELG", page_test::Picture(60, 60, 0xFF0000FF));
  SpriteRecord& record = LoadedSprite();
  const CSprite* old_sprite = record.sprite.get();
  EXPECT_EQ(Opcode(83, {6, "AAA02M.ELG", "l", 0, 0, 0, 0, 0}), 1) << "no record past the group";
  EXPECT_EQ(Opcode(83, {0, 0, "l", 0, 0, 0, 0, 0}), 1) << "no new name";
  EXPECT_EQ(Change("aaa01s.elg", "l", 0), 3) << "the picture it shows already";
  ASSERT_EQ(Change("AAA02M.ELG", "l", 0), 0);
  ASSERT_NE(RunningChange(record), nullptr);
  EXPECT_EQ(record.name, "AAA02M.ELG");
  EXPECT_EQ(record.character, 0);
  EXPECT_EQ(DrawnSprites().size(), 2u) << "the old sprite stays until the first step";
  EXPECT_EQ(TimeToEnd(record.effect), 500u + kFrameTime);
  EXPECT_EQ(DrawnSprites(), std::vector<const CDrawable*>{record.sprite.get()}) << "the old sprite went";
  EXPECT_NE(record.sprite.get(), old_sprite);
  EXPECT_TRUE(record.sprite->IsEnabled());
  EXPECT_EQ(record.sprite->GetX(), 0) << "at the path's end, the layer's left edge";
  EXPECT_EQ(record.x, record.ref_x);
  ASSERT_EQ(Change("AAA01S.ELG", "l", 300), 0);
  EXPECT_EQ(TimeToEnd(record.effect), 300u + kFrameTime);
}

// The failure road (a path text the parser refuses, a picture that is missing, effects off):
// the old sprite and its picture are deleted (ASan sees none left) and no list draws them.
TEST_F(EffectCommandsTest, ASpriteChangeThatCannotStartDeletesTheOldSpriteAndGivesItsFailure) {
  game_.WriteFile("AAA02M.ELG", page_test::Picture(60, 60, 0xFF0000FF));
  SpriteRecord& record = LoadedSprite();
  EXPECT_EQ(Change("AAA02M.ELG", "q", 0), 4) << "the path is refused";
  EXPECT_EQ(record.effect, nullptr);
  EXPECT_EQ(record.name, "AAA02M.ELG") << "the new picture stays";
  EXPECT_EQ(DrawnSprites(), std::vector<const CDrawable*>{record.sprite.get()});
  EXPECT_TRUE(record.sprite->IsEnabled());

  EXPECT_EQ(Change("AAA09S.ELG", "l", 0), 4) << "no such picture";
  EXPECT_EQ(record.character, kFreeSprite);
  EXPECT_TRUE(DrawnSprites().empty());

  LoadedSprite();
  Settings()[kSettingScreenEffectsOff] = 1;
  ASSERT_EQ(Change("AAA02M.ELG", "l", 0), 0);
  EXPECT_EQ(record.effect, nullptr);
  EXPECT_EQ(DrawnSprites(), std::vector<const CDrawable*>{record.sprite.get()});
  EXPECT_EQ(record.sprite->GetX(), 0) << "the new sprite at the path's end";
  const std::int32_t path_failure = Opcode(82, {0, "q", 0, 0}) - 4;
  ASSERT_GT(path_failure, 0);
  EXPECT_EQ(Change("AAA01S.ELG", "q", 0), path_failure + 5) << "the failure of the path's end + 5";
  EXPECT_EQ(DrawnSprites(), std::vector<const CDrawable*>{record.sprite.get()});
}

TEST_F(EffectCommandsTest, ASpriteChangeLeavesThePictureItSharesWithTheBackPageThere) {
  game_.WriteFile("AAA02M.ELG", page_test::Picture(60, 60, 0xFF0000FF));
  SpriteRecord& front = LoadedSprite();
  Page().CopyFrontToBack();
  const SpriteRecord& back = *Page().Sprite(0, true, 0);
  ASSERT_EQ(back.image, front.image);
  const std::shared_ptr<CImage> shared = front.image;
  ASSERT_EQ(Change("AAA02M.ELG", "l", 0, CSpChangeEffect::kModeCrossFade), 0);
  EXPECT_EQ(TimeToEnd(front.effect), 500u + kFrameTime);
  EXPECT_EQ(back.image, shared) << "the back page keeps the old picture";
  EXPECT_EQ(back.sprite->GetSourceImage(), shared.get());
  EXPECT_EQ(page_test::PixelOf(*shared, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(shared.use_count(), 2) << "only the back record and this test hold it";
}

TEST_F(EffectCommandsTest, TheSizeLettersOfBothNamesDecideWhetherTheChangeResizes) {
  game_.WriteFile("AAA01M.ELG", page_test::Picture(60, 60, 0xFF00FF00));
  game_.WriteFile("AAA02S.ELG", page_test::Picture(40, 60, 0xFF0000FF));
  game_.WriteFile("AAA03M.ELG", page_test::Picture(40, 60, 0xFF0000FF));
  game_.WriteFile("BBB02S.ELG", page_test::Picture(40, 60, 0xFF0000FF));
  game_.WriteFile(plat::SjisToUtf8("AAA\x83\x53.ELG"), page_test::Picture(40, 60, 0xFF0000FF));
  Page().SetCharacters({"AAA", "BBB"});
  SpriteRecord& record = *Page().Sprite(0, false, 0);
  // A resized cross-fade to a narrower sprite runs from the old picture to the scaled new one.
  const struct {
    const char* name;
    int sizes;
    std::uint8_t mode;
  } cases[] = {
      {"AAA02S.ELG", 2, CSpChangeEffect::kModeCrossFadeToNarrow},
      {"AAA02S.ELG", 0, CSpChangeEffect::kModeCrossFade},
      {"AAA03M.ELG", 2, CSpChangeEffect::kModeCrossFade},
      {"BBB02S.ELG", 2, CSpChangeEffect::kModeCrossFade},
      {"AAA\x83\x53.ELG", 2, CSpChangeEffect::kModeCrossFade},
  };
  for (const auto& each : cases) {
    ASSERT_EQ(Page().LoadSprite(0, "AAA01M.ELG", false, 0), 0);
    ASSERT_EQ(Change(each.name, "l", 0, CSpChangeEffect::kModeCrossFade, each.sizes), 0) << each.name;
    ASSERT_NE(RunningChange(record), nullptr) << each.name;
    EXPECT_EQ(RunningChange(record)->GetMode(), each.mode) << each.name << " " << each.sizes;
  }
}

// A game saved with a noise over the page and a sprite's looping cell animation, loaded into a
// new frame: both run again, and the page shows without fading in.
TEST_F(EffectCommandsTest, ALoadStartsTheRecordedNoiseAndTheLoopingCellAnimationAgain) {
  using kvxtools::TobBuilder;
  using kvxtools::TobOperand;
  game_.WriteFile("SYS/CELL.ELG", page_test::Picture(4, 4, 0xFF00FF00));
  game_.WriteFile("SYS/CA021.TXT", "*CELL.ELG\r\n0,0\r\nt 100\r\n10,0\r\n");
  Page().SetCharacters({"AAA"});
  TobBuilder builder;
  builder.Command(35, {TobOperand::String("BG01.ELG"), TobOperand::Value(0)});
  builder.Command(73, {TobOperand::Value(0), TobOperand::String("AAA01S.ELG"), TobOperand::Value(0),
                       TobOperand::Value(0), TobOperand::Value(0)});
  builder.Command(59, {TobOperand::Value(64), TobOperand::Value(1), TobOperand::Value(0), TobOperand::Value(0)});
  builder.Command(84, {TobOperand::Value(0), TobOperand::Value(1), TobOperand::Value(1), TobOperand::Value(0),
                       TobOperand::Value(0)});
  builder.Text("x");
  builder.Command(16);
  SaveInTheMessageAndLoad(builder);
  EXPECT_EQ(Page().Bg(0).persist_effect, nullptr);
  LogCapture log;
  ASSERT_EQ(frame_->PreparePage(true), 0);
  EXPECT_NE(Page().Bg(0).persist_effect, nullptr) << "the noise runs again";
  EXPECT_EQ(Page().Bg(0).persist_kind, kPersistNoise);
  EXPECT_EQ(PersistWord(Page().Bg(0), 0), 64u);
  const SpriteRecord& sprite = *Page().Sprite(0, false, 0);
  EXPECT_NE(sprite.effect, nullptr) << "the cells play again";
  EXPECT_EQ(sprite.persist_kind, 2);
  EXPECT_EQ(sprite.persist_param, 1);
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace
