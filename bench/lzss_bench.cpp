// Throughput of the LZSS coder on text-like data that packs to about a third.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "base/lzss_coder.h"

namespace {

std::vector<std::uint8_t> TextLike(std::size_t size) {
  static const char* const kWords[] = {"scenario ", "sprite ", "voice ", "\x82\xa0\x82\xa2", "message ", ",", "\r\n"};
  std::mt19937 random(1);
  std::vector<std::uint8_t> data;
  while (data.size() < size) {
    if (random() % 32 == 0) data.push_back(static_cast<std::uint8_t>(random()));
    for (const char* c = kWords[random() % 7]; *c != '\0'; ++c) data.push_back(static_cast<std::uint8_t>(*c));
  }
  data.resize(size);
  return data;
}

void BM_LzssEncode(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  auto coder = std::make_unique<CLzssCoder>();
  std::vector<std::uint8_t> packed;
  for (auto _ : state) {
    if (coder->Encode(input, packed) != CLzssCoder::kEncodePacked) state.SkipWithError("did not pack");
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_LzssDecode(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  auto coder = std::make_unique<CLzssCoder>();
  std::vector<std::uint8_t> packed;
  coder->Encode(input, packed);
  std::vector<std::uint8_t> output(input.size());
  for (auto _ : state) {
    if (coder->Decode(packed, output.data(), output.size()) != CLzssCoder::kDecodeDone) {
      state.SkipWithError("did not unpack");
    }
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_LzssEncode)->Arg(4 << 10)->Arg(256 << 10)->Arg(4 << 20);
BENCHMARK(BM_LzssDecode)->Arg(4 << 10)->Arg(256 << 10)->Arg(4 << 20);

}  // namespace
