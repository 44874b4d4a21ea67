// Cosine and arctangent tables in fixed point, read directly by everything that turns or waves
// (rotations, motions, effects, widgets) instead of calling the floating-point functions per
// pixel or per frame. Angles run in 512 steps per turn: the cosine of a is cosine[a & 511], the
// sine is cosine[(a - 128) & 511]; an amplitude times an entry, shifted right by 16, gives the
// scaled integer. The arctangent of a ratio r in [0, 1) is arctangent[trunc(r × 256)].
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CTrigTables {
 public:
  static constexpr int kSteps = 512;

  CTrigTables();
  CTrigTables(const CTrigTables&) = delete;
  CTrigTables& operator=(const CTrigTables&) = delete;
  virtual ~CTrigTables() = default;

  // Builds the cosines in double precision on first use; false when they cannot be had.
  bool EnsureCosTable();

  // cos(k·π/256) in 16.16, exactly symmetric over the four quadrants.
  std::array<int32_t, kSteps> cosine{};
  // atan(i/256) in units of 32768 per π.
  std::array<uint16_t, 256> arctangent{};
  // cos(k·π/256), or null until EnsureCosTable has succeeded.
  std::unique_ptr<double[]> double_cosine;
};

// Both point to the application's one table object.
extern CTrigTables* g_TrigTable;
extern CTrigTables* g_MotionTrigTable;
