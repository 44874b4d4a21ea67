// Runs a fuzz target without libFuzzer: every file of the corpus folder given on the command
// line, then a bounded number of inputs made by mutating those files with a fixed seed, so that
// a run is short and repeatable. A crash or a sanitizer report fails the run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::vector<std::uint8_t>;

std::vector<Input> ReadCorpus(const std::filesystem::path& folder) {
  std::vector<Input> corpus;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return corpus;
}

Input Mutate(const Input& seed, std::mt19937& random) {
  Input input = seed;
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits; ++i) {
    switch (random() % 4) {
      case 0:
        if (!input.empty()) input[random() % input.size()] = static_cast<std::uint8_t>(random());
        break;
      case 1:
        input.insert(input.begin() + static_cast<long>(random() % (input.size() + 1)), static_cast<std::uint8_t>(random()));
        break;
      case 2:
        if (!input.empty()) input.erase(input.begin() + static_cast<long>(random() % input.size()));
        break;
      default:
        if (!input.empty()) input.resize(random() % input.size());
        break;
    }
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Input> corpus = argc > 1 ? ReadCorpus(argv[1]) : std::vector<Input>{};
  for (const Input& input : corpus) LLVMFuzzerTestOneInput(input.data(), input.size());

  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5000;
  std::mt19937 random(12345);
  for (int round = 0; round < rounds; ++round) {
    Input seed;
    if (corpus.empty() || random() % 4 == 0) {
      seed.resize(random() % 1024);
      for (auto& byte : seed) byte = static_cast<std::uint8_t>(random());
    } else {
      seed = corpus[random() % corpus.size()];
    }
    const Input input = Mutate(seed, random);
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%zu corpus inputs and %d generated inputs ran\n", corpus.size(), rounds);
  return 0;
}
