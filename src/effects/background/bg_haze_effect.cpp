#include "effects/background/bg_haze_effect.h"

#include <new>

#include "base/numbers/script_bound.h"
#include "base/numbers/trig_tables.h"
#include "base/text/tokenizer.h"
#include "effects/framework/effect_args.h"

namespace {

// A full turn of the table (512 steps) in 65536ths of a step.
constexpr std::uint32_t kTurn = 512u << 16;

struct Term {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;
};

}  // namespace

std::int32_t CBgHazeEffect::BuildTable(const char* text, std::uint32_t size, std::vector<std::int32_t>& table) {
  if (text == nullptr) return kTableNoText;
  const std::size_t count = CountParenGroups(text);
  if (count == 0 || size < 1) return kTableNoTerms;
  // Each term walks the whole table.
  if (!WithinBound("bg_haze's table size", size, kLargestTable) ||
      !WithinBound("bg_haze's terms", static_cast<std::int64_t>(count), kMostTerms)) {
    return kTableNoTerms;
  }
  std::vector<Term> terms(count);
  CTokenizer tokenizer(text);
  for (Term& term : terms) {
    if (tokenizer.ReadInteger(term.a) != CTokenizer::kOk || tokenizer.ReadInteger(term.b) != CTokenizer::kOk ||
        tokenizer.ReadInteger(term.c) != CTokenizer::kOk) {
      return kTableNoTerms;
    }
  }
  const std::uint32_t step = kTurn / size;
  std::vector<std::int64_t> sums(size, 0);
  for (const Term& term : terms) {
    for (std::uint32_t i = 0; i < size; ++i) {
      const std::uint32_t angle = ((i * step) >> 16) * static_cast<std::uint32_t>(term.a) + static_cast<std::uint32_t>(term.b);
      sums[i] += std::int64_t{g_TrigTable->cosine[angle & 511]} * term.c;
    }
  }
  table.resize(size);
  for (std::uint32_t i = 0; i < size; ++i) {
    table[i] = static_cast<std::int32_t>((sums[i] / static_cast<std::int64_t>(count)) >> 16);
  }
  return 0;
}

std::int32_t CBgHazeEffect::Setup(CTimerManager* manager, void* target, const PluginArgs& args) {
  if (g_TrigTable == nullptr) return kSetupNoTrigTables;
  const std::uint32_t size = ArgUnsigned(args, 1);
  try {
    if (BuildTable(ArgText(args, 0), size, table_) != 0) return kSetupBadTable;
  } catch (const std::bad_alloc&) {
    return kSetupBadTable;
  }
  const std::int32_t status = PrepareCache(manager, target, ArgFlag(args, 6));
  if (status != 0) return status;
  SetTiming(ArgUnsigned(args, 2), size,
            CFadeEnvelope(kFullStrength, ArgUnsigned(args, 3), ArgUnsigned(args, 4), ArgUnsigned(args, 5)));
  if (AddTo(*manager, ArgFlag(args, 7))) return kRunning;
  ReleaseCache();
  return kSetupRefused;
}

CBgWaveEffect::RowSource CBgHazeEffect::SourceOf(std::int32_t row, std::uint32_t phase, std::uint32_t strength) const {
  const std::size_t entry = (std::uint64_t{phase} + static_cast<std::uint32_t>(row)) % table_.size();
  const std::int64_t offset = (std::int64_t{table_[entry]} * strength) >> 9;
  return {row + offset, offset};
}
