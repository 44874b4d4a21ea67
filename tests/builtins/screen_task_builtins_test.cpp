// Built-ins 200 to 221: the screen's display objects, the image cache and its plug-ins, the tasks
// of the pausable timer manager by handle, and draw objects started by name.
#include "builtins/task_builtins.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/settings/game_switches.h"
#include "base/time/timer_manager.h"
#include "builtin_call.h"
#include "builtins/script_task.h"
#include "effects/sprite/sp_fade_effect.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "scene/sprites/sprite.h"
#include "support/fake_app_services.h"
#include "support/probe_task.h"
#include "support/scoped_pixel_library.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kMinusTwo = 0xFFFFFFFE;
constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;

class ScreenTaskBuiltinsTest : public builtin_test::BuiltinCallTest {
 protected:
  void SetUp() override {
    g_ScreenManager = &screen_;
    g_GllHost = &loaders_;
    g_PausableTimerManager = &timers_;
    g_DcpHost = &objects_;
  }
  void TearDown() override {
    g_DcpHost = nullptr;
    g_PausableTimerManager = nullptr;
    g_GllHost = nullptr;
    g_ScreenManager = nullptr;
  }

  // A probe task on the pausable manager and its script handle.
  std::uint32_t StartProbe(ProbeLog& log, std::uint32_t kind = 0) {
    auto* task = new ProbeTask(log, kind);
    EXPECT_EQ(timers_.Add(task, 0, 0, 0), CTimerManager::kAdded);
    return TaskHandle(task, Handles());
  }

  static inline std::uint64_t physical_memory_ = 300 * kMegabyte;
  // What the probe tasks record; outlives the manager, which deletes the tasks still first_.
  ProbeLog first_;
  ProbeLog second_;
  ProbeLog third_;
  CScreenManager screen_;
  CImageLoaderManager loaders_{[] { return physical_memory_; }};
  CTimerManager timers_;
  CDcpPluginManager objects_;
  test_support::FakeAppServices app_;
};

TEST_F(ScreenTaskBuiltinsTest, DisplayObjectsAreDestroyedAllOrByTheirGroupId) {
  EXPECT_EQ(Call(201, {7}), 0u) << "the previous id";
  EXPECT_EQ(Call(201, {9}), 7u);
  CImage* of_nine = nullptr;
  ASSERT_EQ(screen_.CreateImage(&of_nine, 4, 4, 32, 0), 0u);
  ASSERT_EQ(Call(201, {3}), 9u);
  CImage* of_three = nullptr;
  ASSERT_EQ(screen_.CreateImage(&of_three, 4, 4, 32, 0), 0u);
  const std::uint32_t handle = of_three->ScriptHandle(Handles());
  EXPECT_EQ(Call(202, {9, CScreenManager::kDeleteSurfaceObjectsToo}), 0u);
  ASSERT_EQ(screen_.GetSurfaceObjects().size(), 1u);
  EXPECT_EQ(screen_.GetSurfaceObjects().front().get(), of_three);
  EXPECT_EQ(Call(200, {}), 0u);
  EXPECT_TRUE(screen_.GetSurfaceObjects().empty());
  EXPECT_EQ(Handles().Get<CImageInterface>(handle), nullptr);
  EXPECT_EQ(Call(209, {}), screen_.GetDisplayState());
}

TEST_F(ScreenTaskBuiltinsTest, TheScreenRectangleIsWrittenAndValidOnlyWithAnArea) {
  const std::uint32_t rect = Block(16, 0xAB);
  EXPECT_EQ(Call(210, {rect, rect + 4, 0, rect + 12}), 0u) << "no display yet";
  EXPECT_EQ(WordAt(rect), 0u);
  EXPECT_EQ(WordAt(rect + 8), 0xABABABABu) << "a zero address is not written";
}

TEST_F(ScreenTaskBuiltinsTest, TheImageCacheBudgetFollowsTheMachineOrTheSetting) {
  struct Case {
    std::int32_t asked;
    std::uint8_t setting;
    std::uint64_t physical;
    std::uint64_t budget;
  };
  const Case cases[] = {
      {-1, 0, 300 * kMegabyte, 64 * kMegabyte},  {-1, 0, 600 * kMegabyte, 80 * kMegabyte},
      {-1, 0, 96 * kMegabyte, 0},               {10, 0, 600 * kMegabyte, 10 * kMegabyte},
      {-5, 3, 600 * kMegabyte, 8 * kMegabyte},  {-5, 1, 600 * kMegabyte, 80 * kMegabyte},
      {0, 0, 600 * kMegabyte, 0},
  };
  for (const Case& c : cases) {
    physical_memory_ = c.physical;
    app_.switches[kSwitchImageCache] = c.setting;
    EXPECT_EQ(Call(203, {static_cast<std::uint32_t>(c.asked)}), 0u);
    EXPECT_EQ(loaders_.GetCache().GetBudget(), c.budget) << c.asked << " " << int{c.setting};
  }
  physical_memory_ = 300 * kMegabyte;
}

TEST_F(ScreenTaskBuiltinsTest, CacheAndPluginRowsAnswerWithTheHostsStatuses) {
  EXPECT_EQ(Call(204, {Text("BG.ELG")}), 1u) << "cache off";
  Call(203, {16});
  EXPECT_EQ(Call(204, {Text("BG.ELG")}), 2u) << "not cached";
  EXPECT_NE(Call(205, {Text("Z:\\no\\such\\PLUGIN.GLL")}), 0u);
  EXPECT_EQ(Call(206, {Text("Z:\\no\\such\\folder")}), 0u) << "none loaded";
  EXPECT_EQ(Call(207, {kMinusOne}), 0u);
  EXPECT_EQ(Call(207, {5}), 0u);
  EXPECT_EQ(Call(208, {0x47494620, 1, 2}), kMinusTwo);
  g_GllHost = nullptr;
  EXPECT_EQ(Call(204, {Text("BG.ELG")}), 1u);
  EXPECT_EQ(Call(208, {0, 1, 2}), kMinusTwo);
}

TEST_F(ScreenTaskBuiltinsTest, TasksArePausedResumedAndEndedByHandle) {
  const std::uint32_t a = StartProbe(first_, 13000);
  const std::uint32_t b = StartProbe(second_, 13000);
  const std::uint32_t c = StartProbe(third_, 14000);
  EXPECT_EQ(TaskHandle(TaskOfHandle(Handles(), a), Handles()), a) << "one handle per task";
  EXPECT_EQ(Call(211, {a}), 1u);
  EXPECT_EQ(Call(214, {a}), 1u);
  EXPECT_TRUE(TaskOfHandle(Handles(), a)->IsPaused());
  EXPECT_EQ(Call(216, {a}), 1u);
  EXPECT_FALSE(TaskOfHandle(Handles(), a)->IsPaused());
  EXPECT_EQ(Call(215, {13000}), 0u);
  EXPECT_TRUE(TaskOfHandle(Handles(), b)->IsPaused());
  EXPECT_FALSE(TaskOfHandle(Handles(), c)->IsPaused());
  EXPECT_EQ(Call(217, {kMinusOne}), 0u);
  EXPECT_FALSE(TaskOfHandle(Handles(), b)->IsPaused());
  EXPECT_EQ(Call(213, {13000}), 0u);
  EXPECT_EQ(first_.stops, 1);
  EXPECT_EQ(second_.stops, 1);
  EXPECT_EQ(third_.stops, 0);
  timers_.Dispatch(5);
  EXPECT_EQ(Call(211, {c}), 1u);
  EXPECT_TRUE(first_.deleted);
  EXPECT_TRUE(second_.deleted);
  // A deleted task's handle names nothing.
  for (const std::uint32_t id : {211u, 214u, 216u}) EXPECT_EQ(Call(id, {a}), 0u) << id;
  for (const std::uint32_t id : {211u, 214u, 216u}) EXPECT_EQ(Call(id, {0}), 0u) << id;
}

TEST_F(ScreenTaskBuiltinsTest, RemovingATaskClearsTheWordAlsoWhenTheTaskHasFinished) {
  const std::uint32_t word = WordHolding(StartProbe(first_));
  EXPECT_EQ(Call(212, {word}), 1u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_EQ(first_.stops, 1);

  const std::uint32_t handle = StartProbe(second_);
  static_cast<ProbeTask*>(TaskOfHandle(Handles(), handle))->on_update = [](std::uint32_t) { return 1u; };
  timers_.Dispatch(0);
  ASSERT_TRUE(second_.deleted);
  const std::uint32_t stale_word = WordHolding(handle);
  EXPECT_EQ(Call(212, {stale_word}), 0u);
  EXPECT_EQ(WordAt(stale_word), 0u);
  EXPECT_EQ(second_.stops, 0);
  EXPECT_EQ(Call(212, {0}), 0u);
}

CDcpObject* MakeSpFade(std::uint32_t) { return new CSpFadeEffect; }
std::int32_t SumOfThree(const PluginArgs* args) { return args->I32(0) + args->I32(1) + args->I32(2); }

TEST_F(ScreenTaskBuiltinsTest, ADrawObjectStartsByNameAndTakesItsParametersByHandle) {
  ASSERT_EQ(objects_.RegisterObject(&MakeSpFade, CSpFadeEffect::kName, CSpFadeEffect::kType, &SumOfThree, nullptr, 0),
            0u);
  CImageCanvasEx* canvas = nullptr;
  ASSERT_EQ(screen_.CreateImageCanvasEx(&canvas, 32, 32, 32, 0), 0u);
  const std::uint32_t target = canvas->ScriptHandle(Handles());
  const std::uint32_t name = Text("sp_fade");

  const std::uint32_t fade = Call(218, {target, name, 2, 0, 0});
  ASSERT_NE(fade, 0u);
  EXPECT_EQ(Call(211, {fade}), 1u);
  EXPECT_EQ(Call(220, {fade}), 0u) << "no fade runs yet";

  ScopedPixelLibrary pixel_library;
  CImage picture;
  ASSERT_EQ(picture.Create(8, 8, 32, 0), 0u);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&picture, nullptr, 0, 0), 0u);
  const std::uint32_t sprite_handle = sprite.ScriptHandle(Handles());
  EXPECT_EQ(Call(219, {fade, CSpFadeEffect::kModeFadeIn, 1, sprite_handle, 100, 0, 0, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(220, {fade}), 1u);
  EXPECT_EQ(Call(219, {fade, CSpFadeEffect::kModeFadeIn, 2, sprite_handle, 100, 0, 0, 0, 0, 0}), 1u)
      << "an entry beyond the two";
  EXPECT_EQ(Call(219, {fade, 0}), 0u) << "every fade finished";
  EXPECT_EQ(sprite.GetOpacity(), 255);

  // The assist entry of the name is handed the words from args[1] on.
  EXPECT_EQ(Call(221, {name, 4, 5, 6}), 15u);
  EXPECT_EQ(Call(221, {Text("no such"), 4}), kMinusOne);

  // Refusals: no canvas, an unknown name, a set-up that fails; nothing is left first_.
  CImage plain;
  ASSERT_EQ(plain.Create(4, 4, 32, 0), 0u);
  const std::uint32_t before = timers_.GetCount();
  EXPECT_EQ(Call(218, {plain.ScriptHandle(Handles()), name, 2, 0, 0}), 0u);
  EXPECT_EQ(Call(218, {0, name, 2, 0, 0}), 0u);
  EXPECT_EQ(Call(218, {target, Text("no such"), 2}), 0u);
  EXPECT_EQ(Call(218, {target, name, 0, 0, 0}), 0u) << "no entries";
  EXPECT_EQ(timers_.GetCount(), before);

  EXPECT_EQ(Call(212, {WordHolding(fade)}), 1u);
  timers_.Dispatch(1);
  for (const std::uint32_t id : {219u, 220u}) EXPECT_EQ(Call(id, {fade, 0}), kMinusOne) << id;
  EXPECT_EQ(Call(220, {StartProbe(first_)}), kMinusOne) << "a task that is no draw object";
}

}  // namespace
