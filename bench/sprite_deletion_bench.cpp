// The cost of ending sprites and pictures as their numbers grow from 1,000 to 8,000 and 32,000,
// with the drawing set up as a game sets it up. Every sprite is made as a script makes it: it
// shows one picture, which it follows, has its script handle, and is shown in a canvas's layer
// at the script's one priority, painted once; sprites lie spread over the screen as a game
// places them, on a heap that has been used before. The figures:
// - every sprite at once (built-in 405), with an effect's entry holding each, so that each end
//   is told to the sprite's holders;
// - one sprite at a time through built-in 408 and one picture at a time through built-in 243,
//   as a script deletes them: oldest first, newest first and in random order;
// - placing 1,000 sprites behind the many of one priority (built-in 410).
// A deletion grows with what it ends: not with the square of the watches alive, nor with a
// search of a list for each object that leaves it. The anchor frees as many plain heap objects
// of a sprite's size, kept in a list as the screen keeps its sprites: the growth of that with
// the count is what the memory itself costs. After the runs each count's time is printed against
// the 1,000's, the anchor's growth beside it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <list>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/watched_ptr.h"
#include "builtins/builtin_table.h"
#include "game_drawing_set_up.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "ratio_reporter.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"
#include "script/native_args.h"
#include "script/script_memory.h"

namespace {

// Larger than the processor's own caches: each deletion starts, as after a frame's drawing, with
// the sprites out of them, so that whether they still fit there does not decide the figures.
constexpr std::size_t kEvictedBytes = std::size_t{32} << 20;
// The priority a script shows its sprites at: each new one goes above those before it.
constexpr uint32_t kScriptPriority = 100;
constexpr int32_t kScreenWidth = 800;
constexpr int32_t kScreenHeight = 600;
constexpr int32_t kSpriteSide = 16;
// Sprites placed behind the many in one run of the placing benchmark.
constexpr uint32_t kPlacedBehind = 1'000;
constexpr std::uint32_t kCreateImage = 231;
constexpr std::uint32_t kCreateImageCanvasEx = 238;
constexpr std::uint32_t kDeleteSurfaceObject = 243;
constexpr std::uint32_t kCreateSprite = 402;
constexpr std::uint32_t kDestroyDrawable = 408;
constexpr std::uint32_t kLayerInsert = 409;
constexpr std::uint32_t kLayerInsertBehind = 410;
constexpr std::uint32_t kLayerRepaint = 428;
constexpr std::uint32_t kCanvasWithLayer = 2;
constexpr std::size_t kMostWords = 8;

enum class Order { kOldestFirst, kNewestFirst, kRandom };

// The counts every benchmark runs at, each a few times over in a few repetitions whose median
// counts: making and painting 32,000 sprites before each deletion takes seconds, far longer
// than the deletion, so the iterations are not left to grow until the deletions add up to a
// given time.
void AtCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1'000)->Arg(8'000)->Arg(32'000)->Iterations(4)->Repetitions(3)->ReportAggregatesOnly(true);
  benchmark->Unit(benchmark::kMillisecond);
}

void EvictCaches(std::vector<std::uint8_t>& evictor) {
  for (std::size_t i = 0; i < evictor.size(); i += 64) ++evictor[i];
  benchmark::ClobberMemory();
}

// A heap as a game leaves it after a while: blocks of many sizes, half of them freed in no order,
// so that new objects land between the ones that stay rather than side by side.
class UsedHeap {
 public:
  UsedHeap() {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> size(16, 1024);
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks(200'000);
    for (auto& block : blocks) block = std::make_unique<std::uint8_t[]>(size(random));
    std::shuffle(blocks.begin(), blocks.end(), random);
    blocks.resize(blocks.size() / 2);
    kept_ = std::move(blocks);
  }

 private:
  std::vector<std::unique_ptr<std::uint8_t[]>> kept_;
};

// Where a game puts its sprites: anywhere on the screen, the same places in every run.
std::vector<std::pair<int32_t, int32_t>> SpreadPlaces(std::size_t count) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> x(0, kScreenWidth - kSpriteSide);
  std::uniform_int_distribution<int32_t> y(0, kScreenHeight - kSpriteSide);
  std::vector<std::pair<int32_t, int32_t>> places(count);
  for (auto& place : places) place = {x(random), y(random)};
  return places;
}

// Indexes of `count` objects in the order a script deletes them.
std::vector<std::size_t> DeletionOrder(std::size_t count, Order order) {
  std::vector<std::size_t> indexes(count);
  std::iota(indexes.begin(), indexes.end(), std::size_t{0});
  if (order == Order::kNewestFirst) std::reverse(indexes.begin(), indexes.end());
  if (order == Order::kRandom) std::shuffle(indexes.begin(), indexes.end(), std::mt19937(13));
  return indexes;
}

// A script's world: the screen with its objects, script memory, the handle table, and a canvas
// with a layer the size of the screen, through which the built-ins are called as a script calls
// them.
class ScriptStage {
 public:
  ScriptStage() {
    g_ScreenManager = &screen_;
    arguments_ = memory_.Allocate(kMostWords * 4, true);
    canvas_ = Call(kCreateImageCanvasEx, {kScreenWidth, kScreenHeight, 32, kCanvasWithLayer});
    picture_ = Call(kCreateImage, {kSpriteSide, kSpriteSide, 32, 0});
  }
  ~ScriptStage() {
    screen_.DestroyObjects();
    g_ScreenManager = nullptr;
  }
  ScriptStage(const ScriptStage&) = delete;
  ScriptStage& operator=(const ScriptStage&) = delete;

  bool Ready() const { return canvas_ != 0 && picture_ != 0; }

  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    std::uint32_t at = arguments_;
    for (const std::uint32_t word : words) {
      memory_.SetWord(at, word);
      at += 4;
    }
    return GameBuiltins()[id - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, arguments_));
  }

  // Script words holding the handles, as a script keeps them: the deleting built-ins take the
  // word's address and clear it.
  std::uint32_t HandleWords(const std::vector<std::uint32_t>& handles) {
    const std::uint32_t words = memory_.Allocate(static_cast<std::uint32_t>(handles.size() * 4));
    for (std::size_t i = 0; i < handles.size(); ++i) memory_.SetWord(words + static_cast<std::uint32_t>(i * 4), handles[i]);
    return words;
  }

  // Sprites of the picture at the places, not shown yet; none when one could not be made.
  std::vector<std::uint32_t> MakeSprites(const std::vector<std::pair<int32_t, int32_t>>& places) {
    std::vector<std::uint32_t> sprites;
    sprites.reserve(places.size());
    for (const auto& [x, y] : places) {
      const std::uint32_t sprite = Call(kCreateSprite, {picture_, 0, 0, kSpriteSide, kSpriteSide,
                                                        static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)});
      if (sprite == 0) return {};
      sprites.push_back(sprite);
    }
    return sprites;
  }
  // Shows each sprite in the canvas's layer at the script's priority, by Insert (409) or
  // InsertBehind (410): false when one was refused.
  bool Show(const std::vector<std::uint32_t>& sprites, std::uint32_t insert) {
    for (const std::uint32_t sprite : sprites) {
      if (Call(insert, {canvas_, sprite, kScriptPriority, 0, 0}) != 0) return false;
    }
    return true;
  }
  std::vector<std::uint32_t> ShowSprites(const std::vector<std::pair<int32_t, int32_t>>& places) {
    std::vector<std::uint32_t> sprites = MakeSprites(places);
    return Show(sprites, kLayerInsert) ? sprites : std::vector<std::uint32_t>{};
  }
  std::uint32_t Repaint() { return Call(kLayerRepaint, {canvas_}); }
  std::size_t Drawables() { return CScreenDrawables::Of(screen_).GetDrawables().size(); }
  std::size_t SurfaceObjects() const { return screen_.GetSurfaceObjects().size(); }

 private:
  CScreenManager screen_;
  ScriptMemory memory_;
  HandleTable handles_;
  std::uint32_t arguments_ = 0;
  std::uint32_t canvas_ = 0;
  std::uint32_t picture_ = 0;
};

void BM_DeleteSprites(benchmark::State& state) {
  const GameDrawingSetUp set_up;
  const UsedHeap heap;
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> evictor(kEvictedBytes);
  CImage picture;
  CImage frame;
  if (picture.Create(kSpriteSide, kSpriteSide, 32, 0) != 0 || frame.Create(kScreenWidth, kScreenHeight, 32, 0) != 0) {
    state.SkipWithError("no picture");
    return;
  }
  const std::vector<std::pair<int32_t, int32_t>> places = SpreadPlaces(count);
  for (auto _ : state) {
    state.PauseTiming();
    auto screen = std::make_unique<CScreenManager>();
    CScreenDrawables& drawables = CScreenDrawables::Of(*screen);
    HandleTable handles;
    CDrawLayer layer;
    layer.SetTarget(&frame, false);
    std::vector<WatchedPtr<CSprite, CDrawable>> holders(count);
    const plat::Rect source{0, 0, kSpriteSide, kSpriteSide};
    for (std::size_t i = 0; i < count; ++i) {
      CSprite* sprite = nullptr;
      if (drawables.CreateSprite(&sprite, &picture, &source, places[i].first, places[i].second) != 0 ||
          sprite->ScriptHandle(handles) == 0 || layer.GetOwnList().Insert(sprite, kScriptPriority, 0) != 0) {
        state.SkipWithError("no sprite");
        return;
      }
      holders[i] = sprite;
    }
    layer.Repaint();
    EvictCaches(evictor);
    state.ResumeTiming();
    drawables.DestroyDrawables();
    state.PauseTiming();
    if (holders.back() != nullptr || !layer.GetOwnList().IsEmpty() || handles.LiveCount() != 0) {
      state.SkipWithError("a sprite was not ended everywhere");
    }
    holders.clear();
    screen.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}
BENCHMARK(BM_DeleteSprites)->Apply(AtCounts);

// Objects that `make` makes through a script's stage, deleted one at a time through the built-in
// `deleting` in the order given; `listed` counts the objects of their kind that the screen holds.
template <class Make, class Listed>
void DeleteOneByOne(benchmark::State& state, Order order, std::uint32_t deleting, Make make, Listed listed) {
  const GameDrawingSetUp set_up;
  const UsedHeap heap;
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> evictor(kEvictedBytes);
  const std::vector<std::size_t> order_of_deletion = DeletionOrder(count, order);
  for (auto _ : state) {
    state.PauseTiming();
    auto stage = std::make_unique<ScriptStage>();
    const std::vector<std::uint32_t> made = make(*stage, count);
    if (!stage->Ready() || made.size() != count) {
      state.SkipWithError("nothing to delete");
      return;
    }
    const std::size_t kept = listed(*stage) - count;
    const std::uint32_t words = stage->HandleWords(made);
    EvictCaches(evictor);
    state.ResumeTiming();
    for (const std::size_t i : order_of_deletion) stage->Call(deleting, {words + static_cast<std::uint32_t>(i * 4)});
    state.PauseTiming();
    if (listed(*stage) != kept) state.SkipWithError("an object was not deleted");
    stage.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}

// Sprites spread over the screen, shown and painted, deleted through built-in 408.
void DeleteSpritesOneByOne(benchmark::State& state, Order order) {
  DeleteOneByOne(
      state, order, kDestroyDrawable,
      [](ScriptStage& stage, std::size_t count) {
        std::vector<std::uint32_t> sprites = stage.ShowSprites(SpreadPlaces(count));
        return stage.Repaint() == 0 ? sprites : std::vector<std::uint32_t>{};
      },
      [](ScriptStage& stage) { return stage.Drawables(); });
}

// Pictures, deleted through built-in 243.
void DeletePicturesOneByOne(benchmark::State& state, Order order) {
  DeleteOneByOne(
      state, order, kDeleteSurfaceObject,
      [](ScriptStage& stage, std::size_t count) {
        std::vector<std::uint32_t> pictures(count);
        for (std::uint32_t& picture : pictures) picture = stage.Call(kCreateImage, {kSpriteSide, kSpriteSide, 32, 0});
        return std::count(pictures.begin(), pictures.end(), 0u) == 0 ? pictures : std::vector<std::uint32_t>{};
      },
      [](ScriptStage& stage) { return stage.SurfaceObjects(); });
}

// 1,000 sprites placed behind the many of one priority through built-in 410.
void BM_PlaceBehind(benchmark::State& state) {
  const GameDrawingSetUp set_up;
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<std::pair<int32_t, int32_t>> places = SpreadPlaces(count);
  const std::vector<std::pair<int32_t, int32_t>> placed(places.begin(), places.begin() + kPlacedBehind);
  for (auto _ : state) {
    state.PauseTiming();
    auto stage = std::make_unique<ScriptStage>();
    if (!stage->Ready() || stage->ShowSprites(places).size() != count) {
      state.SkipWithError("no sprites");
      return;
    }
    const std::vector<std::uint32_t> behind = stage->MakeSprites(placed);
    state.ResumeTiming();
    const bool placed_all = behind.size() == kPlacedBehind && stage->Show(behind, kLayerInsertBehind);
    state.PauseTiming();
    if (!placed_all) state.SkipWithError("a sprite was not placed");
    stage.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPlacedBehind));
}
BENCHMARK(BM_PlaceBehind)->Apply(AtCounts);

// As large as a sprite, and ended through its virtual destructor as the screen ends a drawable.
struct PlainObject {
  virtual ~PlainObject() = default;
  unsigned char bytes[sizeof(CSprite) - sizeof(void*)]{};
};

void BM_FreePlainObjects(benchmark::State& state) {
  const UsedHeap heap;
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> evictor(kEvictedBytes);
  for (auto _ : state) {
    state.PauseTiming();
    std::list<std::unique_ptr<PlainObject>> objects;
    for (std::size_t i = 0; i < count; ++i) objects.push_back(std::make_unique<PlainObject>());
    EvictCaches(evictor);
    state.ResumeTiming();
    for (std::unique_ptr<PlainObject>& object : objects) object.reset();
    objects.clear();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}
BENCHMARK(BM_FreePlainObjects)->Apply(AtCounts);

constexpr std::pair<Order, const char*> kOrders[] = {
    {Order::kOldestFirst, "oldest_first"}, {Order::kNewestFirst, "newest_first"}, {Order::kRandom, "random"}};

// The one-by-one deletions, one benchmark per built-in and order; their names.
std::vector<std::string> RegisterOneByOne() {
  std::vector<std::string> names;
  for (const auto& [order, order_name] : kOrders) {
    const Order chosen = order;
    for (const auto& [kind, run] :
         {std::pair{"BM_DeleteSprites408", &DeleteSpritesOneByOne}, std::pair{"BM_DeletePictures243", &DeletePicturesOneByOne}}) {
      const std::string name = std::string(kind) + "/" + order_name;
      const auto body = run;
      benchmark::RegisterBenchmark(name.c_str(), [body, chosen](benchmark::State& state) { body(state, chosen); })
          ->Apply(AtCounts);
      names.push_back(name);
    }
  }
  return names;
}

// Each measured growth from 1,000 to 32,000 beside the anchor's, and whether it stays within
// twice the anchor's; placing behind 32,000 against placing behind 1,000; and the deletion of
// every sprite at once against the anchor at each count.
void PrintGrowth(const RatioReporter& reporter, const std::vector<std::string>& names) {
  const auto ratio = [&](const std::string& measured, const std::string& anchor) -> double {
    const auto time = reporter.Time(measured);
    const auto anchor_time = reporter.Time(anchor);
    return time && anchor_time ? *time / *anchor_time : 0.0;
  };
  const auto growth = [&](const std::string& name) { return ratio(name + "/32000", name + "/1000"); };
  const double anchor = growth("BM_FreePlainObjects");
  std::printf("\n%-34s %10s %10s %s\n", "32,000 / 1,000", "growth", "anchor", "within 2x");
  std::vector<std::string> all = {"BM_DeleteSprites"};
  all.insert(all.end(), names.begin(), names.end());
  for (const std::string& name : all) {
    const double measured = growth(name);
    if (measured == 0.0 || anchor == 0.0) continue;
    std::printf("%-34s %10.2f %10.2f %s\n", name.c_str(), measured, anchor, measured <= 2 * anchor ? "yes" : "NO");
  }
  const double placing = growth("BM_PlaceBehind");
  if (placing != 0.0) {
    std::printf("%-34s %10.2f %10s %s\n", "BM_PlaceBehind (per sprite)", placing, "1", placing <= 2 ? "yes" : "NO");
  }
  std::printf("\n%-34s %10s\n", "deleted at once", "/ anchor");
  for (const char* count : {"1000", "8000", "32000"}) {
    const std::string at = std::string("/") + count;
    std::printf("%-34s %10.2f\n", ("BM_DeleteSprites" + at).c_str(),
                ratio("BM_DeleteSprites" + at, "BM_FreePlainObjects" + at));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> names = RegisterOneByOne();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintGrowth(reporter, names);
  benchmark::Shutdown();
  return 0;
}
