// The cost of deleting every sprite at once (what built-in 405 does) as the sprites grow from
// 1,000 to 8,000 and 32,000. Each sprite is made as a script makes it: it shows one picture,
// which it follows, has its script handle, and is shown in a layer's list at the script's one
// priority, painted once; an effect's entry holds it, so that each end is told to the sprite's
// holders. The deletion grows with the sprites it ends: not with the square of the watches alive,
// nor with a walk of the list for each sprite that leaves it. The anchor frees as many plain heap
// objects of a sprite's size, made one after the other and kept in a list as the screen keeps
// its sprites: the growth of that with the count is what the memory itself costs. The ratios
// printed after the runs compare each count with the 1,000 and the deletion with the anchor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/watched_ptr.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "ratio_reporter.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/screen_drawables.h"
#include "scene/sprites/sprite.h"

namespace {

// Larger than the processor's own caches: each deletion starts, as after a frame's drawing, with
// the sprites out of them, so that whether they still fit there does not decide the figures.
constexpr std::size_t kEvictedBytes = std::size_t{32} << 20;
// The priority a script shows its sprites at: each new one goes above those before it.
constexpr uint32_t kScriptPriority = 100;

void EvictCaches(std::vector<std::uint8_t>& evictor) {
  for (std::size_t i = 0; i < evictor.size(); i += 64) ++evictor[i];
  benchmark::ClobberMemory();
}

void BM_DeleteSprites(benchmark::State& state) {
  BuildPixelTables();
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> evictor(kEvictedBytes);
  CPixelLibrary library;
  SetPixelLib(&library);
  CImage picture;
  CImage frame;
  if (picture.Create(16, 16, 32, 0) != 0 || frame.Create(800, 600, 32, 0) != 0) {
    state.SkipWithError("no picture");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto screen = std::make_unique<CScreenManager>();
    CScreenDrawables& drawables = CScreenDrawables::Of(*screen);
    HandleTable handles;
    CDrawLayer layer;
    layer.SetTarget(&frame, false);
    std::vector<WatchedPtr<CSprite, CDrawable>> holders(count);
    const plat::Rect source{0, 0, 16, 16};
    for (WatchedPtr<CSprite, CDrawable>& holder : holders) {
      CSprite* sprite = nullptr;
      if (drawables.CreateSprite(&sprite, &picture, &source, 0, 0) != 0 || sprite->ScriptHandle(handles) == 0 ||
          layer.GetOwnList().Insert(sprite, kScriptPriority, 0) != 0) {
        state.SkipWithError("no sprite");
        return;
      }
      holder = sprite;
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
  SetPixelLib(nullptr);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}
BENCHMARK(BM_DeleteSprites)->Arg(1'000)->Arg(8'000)->Arg(32'000)->Unit(benchmark::kMillisecond);

// As large as a sprite, and ended through its virtual destructor as the screen ends a drawable.
struct PlainObject {
  virtual ~PlainObject() = default;
  unsigned char bytes[sizeof(CSprite) - sizeof(void*)]{};
};

void BM_FreePlainObjects(benchmark::State& state) {
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
BENCHMARK(BM_FreePlainObjects)->Arg(1'000)->Arg(8'000)->Arg(32'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "deleted",
                                 {{"BM_DeleteSprites/8000", "BM_DeleteSprites/1000"},
                                  {"BM_DeleteSprites/32000", "BM_DeleteSprites/1000"},
                                  {"BM_FreePlainObjects/8000", "BM_FreePlainObjects/1000"},
                                  {"BM_FreePlainObjects/32000", "BM_FreePlainObjects/1000"},
                                  {"BM_DeleteSprites/1000", "BM_FreePlainObjects/1000"},
                                  {"BM_DeleteSprites/8000", "BM_FreePlainObjects/8000"},
                                  {"BM_DeleteSprites/32000", "BM_FreePlainObjects/32000"}});
}
