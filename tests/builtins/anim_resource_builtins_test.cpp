// Built-ins 510 to 540: animation files, animation-data files and cell sheets held by handle,
// the animated parts and picture parts that play them on the pausable timer manager (ended
// before their resource goes), and the entries of the shared layout buffers and layout image.
#include "builtins/anim_file_builtins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "anim_file_writer.h"
#include "base/time/timer_manager.h"
#include "builtin_call.h"
#include "builtins/script_task.h"
#include "dgm_writer.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/dag_file.h"
#include "scene/animations/pattern_anim_task.h"
#include "scene/animations/picture_part.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/anim_test_pictures.h"
#include "support/data_files_fixture.h"
#include "support/fake_clock.h"
#include "support/probe_task.h"
#include "support/scoped_pixel_library.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/layouts/dgm_image_file.h"

namespace {

using kvxtools::kEndOfEntry;
using kvxtools::PatternFrame;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kMinusTwo = 0xFFFFFFFE;
constexpr std::uint32_t kMinusThree = 0xFFFFFFFD;
constexpr std::uint32_t kMinusFour = 0xFFFFFFFC;
constexpr std::uint32_t kDefaults = 0xFFFFFFFF;

// Pattern 0: pictures 0 and 1; pattern 1: picture 1 alone.
std::string TwoPatterns() {
  kvxtools::DagFileSpec spec;
  spec.entry_count = 2;
  spec.frames = {PatternFrame(0, 100), PatternFrame(1, 100), kEndOfEntry, PatternFrame(1, 100), kEndOfEntry};
  for (std::int32_t i = 0; i < 2; ++i) spec.pictures.push_back({SolidElg(4, 4, CellColour(i))});
  const std::vector<std::uint8_t> bytes = kvxtools::WriteDag(spec);
  return {bytes.begin(), bytes.end()};
}

std::string DataFile() {
  kvxtools::DadFileSpec spec;
  spec.header = {1, 2, 3, 4, 5, 6, 0, 0, 9, 10, 11, 12};
  spec.entry_count = 1;
  spec.data_block = {1, 2, 3, 4};
  spec.frames = {PatternFrame(0, 10), kEndOfEntry};
  const std::vector<std::uint8_t> bytes = kvxtools::WriteDad(spec);
  return {bytes.begin(), bytes.end()};
}

class AnimResourceBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    g_GllHost = &host_;
    g_ScreenManager = &screen_;
    g_DrawLayerFactory = &layers_;
    g_PausableTimerManager = &timers_;
    game_.WriteFile("ANIM/A.DAG", TwoPatterns());
    game_.WriteFile("ANIM/B.DAG", TwoPatterns());
    game_.WriteFile("ANIM/A.DAD", DataFile());
    const std::vector<std::uint8_t> strip = CellStripElg(4, 8, 6);
    game_.WriteFile("ANIM/CELLS.ELG", std::string(strip.begin(), strip.end()));
    ASSERT_EQ(screen_.CreateImageCanvasEx(&canvas_, 64, 48, 32, CImagePart::kLayer), 0u);
    canvas_handle_ = canvas_->ScriptHandle(Handles());
    clock_.SetMilliseconds(1000);
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_AnimFiles.ReleaseAll();
    g_AnimDataFiles.ReleaseAll();
    g_CellSheets.ReleaseAll();
    g_DgmBufferSet.Release();
    g_PausableTimerManager = nullptr;
    g_DrawLayerFactory = nullptr;
    g_ScreenManager = nullptr;
    g_GllHost = nullptr;
    DataFilesTest::TearDown();
  }

  std::uint32_t LoadAnim(const char* name = "ANIM\\A.DAG") { return Call(510, {Text(name), 0}); }
  std::uint32_t StartPart(std::uint32_t file, std::uint32_t pattern = 0, std::uint32_t priority = kDefaults) {
    return Call(514, {canvas_handle_, file, pattern, kMinusOne, priority, 3, 4, 0, 0, 0});
  }
  CTimedTask* TaskOf(std::uint32_t handle) { return TaskOfHandle(Handles(), handle); }
  std::uint32_t LoadSheet(std::uint32_t target) {
    return Call(532, {Text("ANIM\\CELLS.ELG"), 4, 50, 0, target, 2, 3, 0, 0, 65535, 1, 1, 1});
  }

  ScopedPixelLibrary pixel_library_;
  ScopedFakeClock clock_;
  // Outlives the manager, which ends and deletes the probe.
  ProbeLog probe_log_;
  CImageLoaderManager host_;
  CDrawLayerFactory layers_;
  CScreenManager screen_;
  CImageCanvasEx* canvas_ = nullptr;
  std::uint32_t canvas_handle_ = 0;
  // Ends before the screen, whose layers its animations leave.
  CTimerManager timers_;
};

TEST_F(AnimResourceBuiltinsTest, AnAnimatedPartStartsWithTheDefaultsOrTheGivenWords) {
  EXPECT_EQ(LoadAnim("ANIM\\NONE.DAG"), 0u);
  const std::uint32_t file = LoadAnim();
  ASSERT_NE(file, 0u);
  const std::uint32_t defaults = StartPart(file);
  const auto* part = dynamic_cast<CPatternAnimTask*>(TaskOf(defaults));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->GetOptions().priority, 0u);
  EXPECT_TRUE(part->GetOptions().catch_up);
  EXPECT_TRUE(part->GetOptions().finish_when_held);
  EXPECT_EQ(part->GetOptions().base_x, 0) << "the words after args[4] are not read";

  const std::uint32_t given = Call(514, {canvas_handle_, file, 1, 2, 7, 3, 4, 0, 1, 20});
  const auto* second = dynamic_cast<CPatternAnimTask*>(TaskOf(given));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetOptions().priority, 7u);
  EXPECT_EQ(second->GetOptions().repeats, 2);
  EXPECT_EQ(second->GetOptions().base_x, 3);
  EXPECT_EQ(second->GetOptions().base_y, 4);
  EXPECT_FALSE(second->GetOptions().catch_up);
  EXPECT_TRUE(second->GetOptions().finish_when_held);
  EXPECT_EQ(second->GetOptions().delay, 20u);
  EXPECT_EQ(Call(515, {given}), 1u);

  EXPECT_EQ(StartPart(file, 5), 0u) << "no such pattern";
  EXPECT_EQ(StartPart(0), 0u);
  CImage plain;
  ASSERT_EQ(plain.Create(4, 4, 32, 0), 0u);
  EXPECT_EQ(Call(514, {plain.ScriptHandle(Handles()), file, 0, 0, kDefaults}), 0u) << "no draw layer";
}

TEST_F(AnimResourceBuiltinsTest, ReleasingAFileEndsTheAnimatedPartsThatPlayItFirst) {
  const std::uint32_t file = LoadAnim();
  const std::uint32_t other = LoadAnim("ANIM\\B.DAG");
  const std::uint32_t playing = StartPart(file);
  const std::uint32_t playing_other = StartPart(other);
  EXPECT_EQ(Call(511, {0}), 1u);
  EXPECT_EQ(Call(511, {WordHolding(0)}), 1u);

  const std::uint32_t word = WordHolding(file);
  EXPECT_EQ(Call(511, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_TRUE(TaskOf(playing)->IsFinished()) << "ended before the file went";
  EXPECT_FALSE(TaskOf(playing_other)->IsFinished());
  EXPECT_EQ(g_AnimFiles.GetCount(), 1u);
  // The part is deleted at the next pass and the file with it; nothing reads either again.
  timers_.Dispatch(0);
  EXPECT_EQ(TaskOf(playing), nullptr);
  clock_.SetMilliseconds(1500);
  timers_.Dispatch(0);

  const std::uint32_t again = WordHolding(file);
  EXPECT_EQ(Call(511, {again}), 2u) << "a file released before";
  EXPECT_EQ(WordAt(again), file);
  EXPECT_EQ(Call(513, {file, Text("ANIM\\A.DAG"), 0}), kMinusTwo);
  EXPECT_EQ(Call(514, {canvas_handle_, file, 0, 0, kDefaults}), 0u);

  EXPECT_EQ(Call(512, {}), 0u);
  EXPECT_TRUE(TaskOf(playing_other)->IsFinished());
  EXPECT_EQ(g_AnimFiles.GetCount(), 0u);
  timers_.Dispatch(0);
  EXPECT_EQ(TaskOf(playing_other), nullptr);
}

TEST_F(AnimResourceBuiltinsTest, ReloadingAFileEndsItsPartsAndLoadsInPlace) {
  const std::uint32_t file = LoadAnim();
  const std::uint32_t playing = StartPart(file);
  EXPECT_EQ(Call(513, {0, Text("ANIM\\B.DAG"), 0}), kMinusTwo);
  EXPECT_EQ(Call(513, {file, Text("ANIM\\B.DAG"), 1}), 0u);
  EXPECT_TRUE(TaskOf(playing)->IsFinished());
  EXPECT_EQ(Handles().Get<CDagFile>(file)->GetPictureCount(), 2u);
  EXPECT_EQ(Call(513, {file, Text("ANIM\\NONE.DAG"), 0}), CDagFile::kOpenFailed);
  EXPECT_TRUE(g_AnimFiles.Contains(Handles().Get<CDagFile>(file))) << "an empty file stays listed";
  timers_.Dispatch(0);
}

TEST_F(AnimResourceBuiltinsTest, ThePatternOfAnAnimatedPartIsReadAndChanged) {
  const std::uint32_t file = LoadAnim();
  const std::uint32_t part = StartPart(file, 0, 5);
  EXPECT_EQ(Call(515, {part}), 0u);
  EXPECT_EQ(Call(516, {part, 1, 1}), kMinusFour);
  EXPECT_EQ(Call(515, {part}), 0u) << "nothing changed";
  EXPECT_FALSE(dynamic_cast<CPatternAnimTask*>(TaskOf(part))->IsPatternChanged());
  EXPECT_EQ(Call(516, {part, 0, 1}), 0u);
  EXPECT_EQ(Call(515, {part}), 1u);
  timers_.Dispatch(0);
  timers_.Dispatch(0);
  const auto* task = dynamic_cast<CPatternAnimTask*>(TaskOf(part));
  ASSERT_NE(task, nullptr);
  EXPECT_FALSE(task->IsPatternChanged());
  EXPECT_EQ(task->GetSprite().GetSourceImage(), Handles().Get<CDagFile>(file)->GetPicture(1));

  // A pattern that cannot be played ends the part at its next update.
  EXPECT_EQ(Call(516, {part, 0, 9}), 0u);
  timers_.Dispatch(0);
  EXPECT_EQ(TaskOf(part), nullptr);
  EXPECT_EQ(Call(516, {part, 0, 0}), kMinusTwo);
  EXPECT_EQ(Call(515, {part}), 0u);
  EXPECT_EQ(Call(516, {0, 0, 0}), kMinusOne);
  auto* probe = new ProbeTask(probe_log_, kTimedTaskPicturePart);
  ASSERT_EQ(timers_.Add(probe, 0, 0, 0), CTimerManager::kAdded);
  const std::uint32_t other = TaskHandle(probe, Handles());
  EXPECT_EQ(Call(516, {other, 0, 0}), kMinusThree);
  EXPECT_EQ(Call(515, {other}), 0u);
}

TEST_F(AnimResourceBuiltinsTest, AnimationDataFilesGiveTheirHeaderValues) {
  EXPECT_EQ(Call(517, {Text("ANIM\\NONE.DAD")}), 0u);
  const std::uint32_t file = Call(517, {Text("ANIM\\A.DAD")});
  ASSERT_NE(file, 0u);
  EXPECT_EQ(Call(521, {file, 0}), 0x0201u);
  EXPECT_EQ(Call(521, {file, 2}), 0x0605u);
  EXPECT_EQ(Call(521, {file, 3}), 1u) << "the entry count";
  EXPECT_EQ(Call(521, {file, 4}), 0u);
  EXPECT_EQ(Call(520, {file, Text("ANIM\\NONE.DAD")}), CDadFile::kOpenFailed);
  EXPECT_EQ(Call(520, {file, Text("ANIM\\A.DAD")}), 0u);
  EXPECT_EQ(Call(520, {0, Text("ANIM\\A.DAD")}), kMinusTwo);
  const std::uint32_t word = WordHolding(file);
  EXPECT_EQ(Call(518, {word}), 0u);
  EXPECT_EQ(Call(521, {file, 0}), 0u);
  EXPECT_EQ(Call(518, {WordHolding(file)}), 2u);
  ASSERT_NE(Call(517, {Text("ANIM\\A.DAD")}), 0u);
  EXPECT_EQ(Call(519, {}), 0u);
  EXPECT_EQ(g_AnimDataFiles.GetCount(), 0u);
}

TEST_F(AnimResourceBuiltinsTest, LayoutBufferEntriesAreCopiedFromTheFirstOn) {
  const std::vector<std::uint8_t> picture = SolidElg(16, 24, 0x405060);
  game_.WriteFile("LAYOUT/pic.elg", std::string(picture.begin(), picture.end()));
  kvxtools::DgmFile layout;
  layout.full_picture_records = true;
  for (std::int16_t i = 0; i < 3; ++i) {
    layout.parts.push_back({"pic.elg", 1, i, 2, 255, 1, static_cast<std::uint16_t>(10 + i), 20, static_cast<std::uint8_t>(i)});
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(layout);
  game_.WriteFile("LAYOUT/screen.gmp", std::string(bytes.begin(), bytes.end()));

  CImage plain;
  ASSERT_EQ(plain.Create(4, 4, 32, 0), 0u);
  EXPECT_EQ(Call(522, {plain.ScriptHandle(Handles()), Text("LAYOUT\\screen.gmp"), 0, 0, 0}), kMinusTwo);
  ASSERT_EQ(Call(522, {canvas_handle_, Text("LAYOUT\\screen.gmp"), 5, 0, 0}), 0u);
  ASSERT_EQ(Call(524, {}), 3u);

  const std::uint32_t entry = Block(20, 0xAB);
  EXPECT_EQ(Call(525, {1, entry, entry + 4, entry + 8, 0, entry + 16}), 1u);
  EXPECT_EQ(Handles().Get<CImageInterface>(WordAt(entry)), g_DgmBufferSet.GetPartImage(1));
  EXPECT_EQ(Handles().Get<CDrawable>(WordAt(entry + 4)), g_DgmBufferSet.GetPartSprite(1));
  EXPECT_EQ(WordAt(entry + 8), 11u);
  EXPECT_EQ(WordAt(entry + 12), 0xABABABABu);
  EXPECT_EQ(WordAt(entry + 16), 1u);
  EXPECT_EQ(Call(525, {3, entry, 0, 0, 0, 0}), 0u);

  const std::uint32_t widths = Block(16, 0xAB);
  const std::uint32_t states = Block(16, 0xAB);
  EXPECT_EQ(Call(526, {3, 0, 0, 0, widths, 0, states}), 1u) << "a first entry beyond the count";
  EXPECT_EQ(WordAt(widths), 0xABABABABu);
  EXPECT_EQ(Call(526, {static_cast<std::uint32_t>(-4), 2, 0, 0, widths, 0, states}), 1u);
  EXPECT_EQ(WordAt(widths), 10u);
  EXPECT_EQ(WordAt(widths + 4), 11u);
  EXPECT_EQ(WordAt(widths + 8), 0xABABABABu);
  EXPECT_EQ(Call(526, {1, 0, 0, 0, widths, 0, states}), 1u) << "all from the second on";
  EXPECT_EQ(WordAt(widths + 4), 12u);
  EXPECT_EQ(WordAt(states + 4), 2u);
  EXPECT_EQ(WordAt(widths + 8), 0xABABABABu);

  EXPECT_EQ(Call(523, {}), 0u);
  EXPECT_EQ(Call(524, {}), 0u);
  EXPECT_EQ(Call(529, {}), 0u);
  EXPECT_EQ(Call(531, {0, 0, entry, 0, 0, 0}), 0u) << "no layout image entries";
  EXPECT_EQ(Call(530, {0, entry, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(527, {0, Text("LAYOUT\\NONE.GMP"), 0, 0, 0}), CDgmImageFile::kReadFailed);
  EXPECT_EQ(Call(528, {}), 0u);
}

TEST_F(AnimResourceBuiltinsTest, CellSheetsDrivePicturePartsAndEndThemWhenReleased) {
  CImage* target = canvas_->GetImage();
  EXPECT_EQ(LoadSheet(0), 1u) << "neither sprite nor target";
  const std::uint32_t sheet = LoadSheet(canvas_handle_);
  ASSERT_NE(sheet, 0u);
  const CCellSheet* held = Handles().Get<CCellSheet>(sheet);
  EXPECT_EQ(held->GetCellCount(), 4);
  EXPECT_EQ(held->GetDrawMode(), CCellSheet::kDrawCopy) << "65535: no blend, no key";
  EXPECT_EQ(held->GetTarget(), target);
  EXPECT_EQ(Call(532, {Text("ANIM\\NONE.ELG"), 4, 50, 0, canvas_handle_, 0, 0, 0, 0, 65535}), 0u);

  const std::uint32_t part = Call(538, {sheet, 0, 0, 0, 0});
  ASSERT_NE(part, 0u);
  EXPECT_EQ(TaskOf(part)->GetTypeId(), kTimedTaskPicturePart);
  EXPECT_EQ(Handles().Get<CImageInterface>(Call(540, {part})), target);
  EXPECT_EQ(Call(540, {0}), 0u);
  EXPECT_EQ(Call(538, {0, 0, 0, 0, 0}), 0u);
  timers_.Dispatch(0);
  clock_.SetMilliseconds(1075);
  timers_.Dispatch(0);
  EXPECT_EQ(target->GetPixel(2 + 1, 3 + 1), static_cast<std::int32_t>(0xFF000000 | CellColour(1)));

  EXPECT_EQ(Call(537, {0, Text("ANIM\\CELLS.ELG"), 2, 50, 0, canvas_handle_, 0, 0, 0, 0, 65535}), kMinusTwo);
  EXPECT_EQ(Call(537, {sheet, Text("ANIM\\CELLS.ELG"), 2, 50, 0, canvas_handle_, 0, 0, 0, 0, 65535}), 0u);
  EXPECT_TRUE(TaskOf(part)->IsFinished()) << "reloading ends the parts first";
  EXPECT_EQ(held->GetCellCount(), 2);
  timers_.Dispatch(0);

  const std::uint32_t second = Call(538, {sheet, 0, 0, 0, 0});
  const std::uint32_t word = WordHolding(sheet);
  EXPECT_EQ(Call(535, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_TRUE(TaskOf(second)->IsFinished());
  EXPECT_EQ(Call(535, {WordHolding(sheet)}), 2u);
  EXPECT_EQ(Call(538, {sheet, 0, 0, 0, 0}), 0u) << "a released sheet";
  timers_.Dispatch(0);

  const std::uint32_t third = Call(538, {LoadSheet(canvas_handle_), 0, 0, 0, 0});
  EXPECT_EQ(Call(536, {}), 0u);
  EXPECT_TRUE(TaskOf(third)->IsFinished());
  EXPECT_EQ(g_CellSheets.GetCount(), 0u);
}

TEST_F(AnimResourceBuiltinsTest, SpritesAreAddedToASheetAndTakenOff) {
  const std::uint32_t sheet = LoadSheet(canvas_handle_);
  CImage picture;
  ASSERT_EQ(picture.Create(8, 8, 32, 0), 0u);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&picture, nullptr, 0, 0), 0u);
  const std::uint32_t sprite_handle = sprite.ScriptHandle(Handles());
  const CCellSheet* held = Handles().Get<CCellSheet>(sheet);
  EXPECT_EQ(Call(533, {sheet, sprite_handle}), 0u);
  EXPECT_EQ(Call(533, {sheet, sprite_handle}), 0u);
  EXPECT_EQ(held->GetSprites().size(), 1u);
  EXPECT_EQ(Call(534, {sheet, sprite_handle}), 0u);
  EXPECT_TRUE(held->GetSprites().empty());
  EXPECT_EQ(Call(533, {0, sprite_handle}), 0u);

  // A sheet whose cells go into a sprite's picture.
  const std::uint32_t into_sprite =
      Call(532, {Text("ANIM\\CELLS.ELG"), 4, 50, sprite_handle, 0, 0, 0, 0, 0, 65535});
  ASSERT_NE(into_sprite, 0u);
  EXPECT_EQ(Handles().Get<CCellSheet>(into_sprite)->GetTarget(), &picture);
}

}  // namespace
