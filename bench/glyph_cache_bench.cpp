// Glyphs per second for a page of Japanese text (400 characters: kana and kanji, 16 pixels,
// grey in 65 levels) from the installed faces, with the cache emptied before every page (cold)
// and kept (warm); the anchor is memcpy of the same number of 16 × 16 coverage cells.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "ui/fonts/font.h"

namespace {

constexpr int kPageGlyphs = 400;
constexpr int kCell = 16 * 16;

std::vector<uint32_t> JapanesePage() {
  std::vector<uint32_t> codes;
  for (int i = 0; i < kPageGlyphs; ++i) {
    // Hiragana of row 0x82 and kanji of the first level, interleaved; about a third repeat.
    codes.push_back(i % 3 == 0 ? 0x829F + (i % 83) : 0x889F + (i % 94) + ((i / 94) << 8));
  }
  return codes;
}

std::unique_ptr<CFont> GothicFont() {
  auto font = std::make_unique<CFont>();
  font->SetFont(-16, 0, 0, "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");
  return font;
}

void DrawPage(benchmark::State& state, bool cold) {
  auto font = GothicFont();
  const std::vector<uint32_t> page = JapanesePage();
  for (auto _ : state) {
    if (cold) font->glyph_cache().Clear();
    for (uint32_t code : page) benchmark::DoNotOptimize(font->GetGlyph(code, 16, 0, 0, 0, 0));
  }
  state.SetItemsProcessed(state.iterations() * kPageGlyphs);
}

void GlyphsCold(benchmark::State& state) { DrawPage(state, true); }
void GlyphsWarm(benchmark::State& state) { DrawPage(state, false); }

void MemcpyCells(benchmark::State& state) {
  std::vector<uint8_t> source(static_cast<size_t>(kPageGlyphs) * kCell, 0x40);
  std::vector<uint8_t> target(source.size());
  for (auto _ : state) {
    for (int i = 0; i < kPageGlyphs; ++i) std::memcpy(target.data() + i * kCell, source.data() + i * kCell, kCell);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPageGlyphs);
}

}  // namespace

BENCHMARK(MemcpyCells)->Unit(benchmark::kMicrosecond);
BENCHMARK(GlyphsCold)->Unit(benchmark::kMicrosecond);
BENCHMARK(GlyphsWarm)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "page",
                                 {{"GlyphsCold", "MemcpyCells"}, {"GlyphsWarm", "MemcpyCells"}});
}
