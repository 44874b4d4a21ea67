// "bg_haze": displaces the rows and columns of a layer's background by a table of offsets made
// from a text of cosine terms, the table running down the picture and moving with time (a heat
// haze).
#pragma once

#include <cstdint>
#include <vector>

#include "effects/background/bg_wave_effect.h"

class CBgHazeEffect : public CBgWaveEffect {
 public:
  static constexpr char kName[] = "bg_haze";
  // Results of Setup besides kRunning and the shared failures.
  static constexpr std::int32_t kSetupBadTable = 6;
  static constexpr std::int32_t kSetupRefused = 7;
  // The full strength of the displacement.
  static constexpr std::uint32_t kFullStrength = 512;

  const char* GetName() const override { return kName; }
  // The target is a canvas's image part. Arguments: table text, table size (at least 1), cycle
  // (ms the table runs through once; 0 counts as 1), hold, fade-in, fade-out (ms), fill flag,
  // lower-priority flag.
  std::int32_t Setup(CTimerManager* manager, void* target, const PluginArgs& args) override;

  // Tables beyond this size are refused: a size from a script must not claim the memory.
  static constexpr std::uint32_t kLargestTable = 65536;
  static constexpr std::int64_t kMostTerms = 256;
  // Results of BuildTable beside 0.
  static constexpr std::int32_t kTableNoText = 1;
  static constexpr std::int32_t kTableNoTerms = 2;
  // The table of `size` offsets from the terms "(a, b, c)" of the text: entry i is the mean over
  // the terms of c · cos(a · (i / size of a turn) + b) in 65536ths, the cosine from the table (512
  // steps a turn). 0; 1 for a null text; 2 for a text without terms or a term without its three
  // integers, a size below 1 or above kLargestTable, or more than kMostTerms terms.
  static std::int32_t BuildTable(const char* text, std::uint32_t size, std::vector<std::int32_t>& table);

 private:
  RowSource SourceOf(std::int32_t row, std::uint32_t phase, std::uint32_t strength) const override;

  std::vector<std::int32_t> table_;
};
