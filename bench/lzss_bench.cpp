// Throughput of the LZSS coder on text-like data that packs to about a third, next to zlib
// (deflate at its default level, inflate) and memcpy on the same data; a table after the runs
// gives each time as a ratio to its anchor.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/lzss_coder.h"
#include "ratio_reporter.h"

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

std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& input) {
  uLongf size = compressBound(input.size());
  std::vector<std::uint8_t> packed(size);
  if (compress2(packed.data(), &size, input.data(), input.size(), Z_DEFAULT_COMPRESSION) != Z_OK) return {};
  packed.resize(size);
  return packed;
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

void BM_ZlibDeflate(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const auto packed = Deflated(input);
    if (packed.empty()) state.SkipWithError("did not pack");
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_LzssDecode(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  std::vector<std::uint8_t> packed;
  CLzssCoder().Encode(input, packed);
  std::vector<std::uint8_t> output(input.size());
  for (auto _ : state) {
    if (CLzssCoder::Decode(packed, output.data(), output.size()) != CLzssCoder::kDecodeDone) {
      state.SkipWithError("did not unpack");
    }
    benchmark::DoNotOptimize(output.data());
  }
  if (output != input) state.SkipWithError("unpacked wrongly");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_ZlibInflate(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  const auto packed = Deflated(input);
  std::vector<std::uint8_t> output(input.size());
  for (auto _ : state) {
    uLongf size = output.size();
    if (uncompress(output.data(), &size, packed.data(), packed.size()) != Z_OK) state.SkipWithError("did not unpack");
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Memcpy(benchmark::State& state) {
  const auto input = TextLike(static_cast<std::size_t>(state.range(0)));
  std::vector<std::uint8_t> output(input.size());
  for (auto _ : state) {
    std::memcpy(output.data(), input.data(), input.size());
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

constexpr long kSizes[] = {4 << 10, 256 << 10, 4 << 20};

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (const long size : kSizes) benchmark->Arg(size);
}

BENCHMARK(BM_LzssEncode)->Apply(Sizes);
BENCHMARK(BM_ZlibDeflate)->Apply(Sizes);
BENCHMARK(BM_LzssDecode)->Apply(Sizes);
BENCHMARK(BM_ZlibInflate)->Apply(Sizes);
BENCHMARK(BM_Memcpy)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> names;
  for (const long size : kSizes) {
    const std::string arg = "/" + std::to_string(size);
    for (const char* pair : {"BM_LzssEncode", "BM_ZlibDeflate", "BM_LzssDecode", "BM_ZlibInflate", "BM_Memcpy"}) {
      names.push_back(pair + arg);
    }
  }
  std::vector<std::pair<const char*, const char*>> pairs;
  for (std::size_t at = 0; at < names.size(); at += 5) {
    pairs.push_back({names[at].c_str(), names[at + 1].c_str()});
    pairs.push_back({names[at + 2].c_str(), names[at + 3].c_str()});
    pairs.push_back({names[at + 2].c_str(), names[at + 4].c_str()});
  }
  return RunBenchmarksWithRatios(argc, argv, "LZSS", pairs);
}
