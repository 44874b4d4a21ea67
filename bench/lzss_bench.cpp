// Throughput of the LZSS coder on text-like data that packs to about a third, next to zlib
// (deflate at its default level, inflate) and memcpy on the same data, and its unpacking of
// English and Japanese prose next to zlib's; a table after the runs gives each time as a ratio
// to its anchor (the bytes per second are in the runs' lines).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/files/lzss_coder.h"
#include "ratio_reporter.h"

namespace {

// English with the word distribution of real writing: the project's own document and sources,
// read in name order until `size` bytes are gathered (again from the start if they run out).
std::vector<std::uint8_t> English(std::size_t size) {
  std::vector<std::filesystem::path> files{std::filesystem::path(KESTRUNE_SOURCE_DIR) / "README.md"};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(std::filesystem::path(KESTRUNE_SOURCE_DIR) / "src")) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin() + 1, files.end());
  std::vector<std::uint8_t> data;
  while (data.size() < size) {
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      data.insert(data.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (data.size() >= size) break;
    }
  }
  data.resize(size);
  return data;
}

// Japanese prose in Shift-JIS as its statistics go: a vocabulary of words of hiragana, kanji
// and katakana used with a Zipf distribution, particles between them, and commas, full stops,
// quotes and line ends.
std::vector<std::uint8_t> Japanese(std::size_t size) {
  std::mt19937 random(3);
  const auto character = [&](unsigned kind) -> std::pair<std::uint8_t, std::uint8_t> {
    if (kind < 6) return {0x82, static_cast<std::uint8_t>(0x9F + random() % 83)};  // hiragana
    if (kind < 9) {                                                                   // kanji
      std::uint8_t trail = static_cast<std::uint8_t>(0x40 + random() % 188);
      if (trail >= 0x7F) ++trail;
      return {static_cast<std::uint8_t>(0x88 + random() % 16), trail};
    }
    std::uint8_t trail = static_cast<std::uint8_t>(0x40 + random() % 86);  // katakana
    if (trail >= 0x7F) ++trail;
    return {0x83, trail};
  };
  std::vector<std::string> words(3000);
  for (std::string& word : words) {
    const auto kind = static_cast<unsigned>(random() % 10);
    for (auto length = static_cast<unsigned>(1 + random() % 3); length > 0; --length) {
      const auto [lead, trail] = character(kind);
      word += static_cast<char>(lead);
      word += static_cast<char>(trail);
    }
  }
  // の は が を に て た で と も
  static const char* const kParticles[] = {"\x82\xcc", "\x82\xcd", "\x82\xaa", "\x82\xf0", "\x82\xc9",
                                           "\x82\xc4", "\x82\xbd", "\x82\xc5", "\x82\xc6", "\x82\xe0"};
  std::vector<double> weights(words.size());
  for (std::size_t rank = 0; rank < weights.size(); ++rank) weights[rank] = 1.0 / static_cast<double>(rank + 1);
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  std::string text;
  while (text.size() < size) {
    text += words[pick(random)];
    const auto after = static_cast<unsigned>(random() % 20);
    if (after < 9) text += kParticles[random() % 10];
    else if (after < 11) text += "\x81\x41";  // 、
    else if (after == 11) text += "\x81\x42\r\n";  // 。
    else if (after == 12) text += "\x81\x76\x81\x42\r\n\x81\x75";  // 」。「
  }
  text.resize(size);
  return {text.begin(), text.end()};
}

// The seven-word text the coder was first measured on: repeats far more than real prose.
std::vector<std::uint8_t> FewWords(std::size_t size) {
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

enum Text { kFewWords, kEnglish, kJapanese };

// The texts are made once per text and size.
const std::vector<std::uint8_t>& TextOf(Text text, std::size_t size) {
  static std::map<std::pair<Text, std::size_t>, std::vector<std::uint8_t>> made;
  auto& data = made[{text, size}];
  if (data.empty()) data = text == kEnglish ? English(size) : text == kJapanese ? Japanese(size) : FewWords(size);
  return data;
}

std::vector<std::uint8_t> TextLike(std::size_t size) { return TextOf(kFewWords, size); }

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

void RunLzssDecode(benchmark::State& state, const std::vector<std::uint8_t>& input) {
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
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void RunZlibInflate(benchmark::State& state, const std::vector<std::uint8_t>& input) {
  const auto packed = Deflated(input);
  std::vector<std::uint8_t> output(input.size());
  for (auto _ : state) {
    uLongf size = output.size();
    if (uncompress(output.data(), &size, packed.data(), packed.size()) != Z_OK) state.SkipWithError("did not unpack");
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_LzssDecode(benchmark::State& state) { RunLzssDecode(state, TextLike(static_cast<std::size_t>(state.range(0)))); }
void BM_ZlibInflate(benchmark::State& state) { RunZlibInflate(state, TextLike(static_cast<std::size_t>(state.range(0)))); }

// Unpacking prose: range(0) the size, range(1) the text (English, Japanese); LZSS and zlib.
const std::vector<std::uint8_t>& Prose(const benchmark::State& state) {
  return TextOf(static_cast<Text>(state.range(1)), static_cast<std::size_t>(state.range(0)));
}
void BM_LzssDecodeProse(benchmark::State& state) { RunLzssDecode(state, Prose(state)); }
void BM_ZlibInflateProse(benchmark::State& state) { RunZlibInflate(state, Prose(state)); }

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
BENCHMARK(BM_LzssDecodeProse)->Args({256 << 10, kEnglish})->Args({256 << 10, kJapanese});
BENCHMARK(BM_ZlibInflateProse)->Args({256 << 10, kEnglish})->Args({256 << 10, kJapanese});

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> names;
  for (const long size : kSizes) {
    const std::string arg = "/" + std::to_string(size);
    for (const char* pair : {"BM_LzssEncode", "BM_ZlibDeflate", "BM_LzssDecode", "BM_ZlibInflate", "BM_Memcpy"}) {
      names.push_back(pair + arg);
    }
  }
  const std::size_t sized = names.size();
  for (const Text text : {kEnglish, kJapanese}) {
    const std::string arg = "/" + std::to_string(256 << 10) + "/" + std::to_string(text);
    names.push_back("BM_LzssDecodeProse" + arg);
    names.push_back("BM_ZlibInflateProse" + arg);
  }
  std::vector<std::pair<const char*, const char*>> pairs;
  for (std::size_t at = 0; at < sized; at += 5) {
    pairs.push_back({names[at].c_str(), names[at + 1].c_str()});
    pairs.push_back({names[at + 2].c_str(), names[at + 3].c_str()});
    pairs.push_back({names[at + 2].c_str(), names[at + 4].c_str()});
  }
  for (std::size_t at = sized; at < names.size(); at += 2) pairs.push_back({names[at].c_str(), names[at + 1].c_str()});
  return RunBenchmarksWithRatios(argc, argv, "LZSS", pairs);
}
