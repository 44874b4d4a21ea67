// The ripple's wave table: for a picture size, centre and wave setting, where each pixel of
// the picture reads from at every amplitude step and phase of the rings. Building one costs
// square roots, arctangents and sines over a quadrant of the picture, so the last four are kept
// in a shared cache and the transition only looks entries up per frame.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// What a table is built for: all seven equal (the factor compared as a float) is the same table.
struct RippleKey {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t centre_x = 0;
  std::int32_t centre_y = 0;
  // Wave steps per ring: 16, 32, 64 or 128.
  std::int32_t steps = 16;
  // How much closer the rings lie vertically than horizontally.
  float vertical_factor = 1.0f;
  // The wave height: the displacement reaches about this many pixels; 1..127.
  std::int32_t amplitude = 24;
  bool operator==(const RippleKey&) const = default;
};

class CRippleTable {
 public:
  // The directions of a quadrant, in 64ths of a half turn.
  static constexpr std::int32_t kAngles = 32;

  explicit CRippleTable(const RippleKey& key);

  const RippleKey& Key() const { return key_; }
  std::int32_t HalfWidth() const { return half_width_; }
  std::int32_t HalfHeight() const { return half_height_; }
  std::int32_t Blocks() const { return 4 * key_.amplitude; }
  // The distance entries of the quadrant row `row` counted away from the centre: ring × 32 +
  // angle for each column counted away from it.
  const std::uint16_t* DistanceRow(std::int32_t row) const {
    return distance_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(half_width_);
  }
  // The wave rows of amplitude step `step` from row `phase` on: the entry of a distance entry e
  // is at index e, its displacement dx × 256 + dy in two signed bytes.
  const std::uint16_t* WaveRows(std::int32_t step, std::int32_t phase) const {
    const std::size_t rows = 2 * static_cast<std::size_t>(key_.steps);
    return wave_.data() + (static_cast<std::size_t>(step) * rows + static_cast<std::size_t>(phase)) * kAngles;
  }

 private:
  RippleKey key_;
  std::int32_t half_width_ = 0;
  std::int32_t half_height_ = 0;
  std::vector<std::uint16_t> distance_;
  std::vector<std::uint16_t> wave_;
};

// The height of the wave over one ring of `steps` steps, 0 to 2048 (the square of a lopsided
// sine, so that it is never negative).
std::vector<std::int32_t> RippleWaveProfile(std::int32_t steps);
// The cosine and sine of each quadrant direction, × 2048, rounded away from zero.
std::array<std::int32_t, CRippleTable::kAngles> RippleDirectionCosines();
std::array<std::int32_t, CRippleTable::kAngles> RippleDirectionSines();

// The tables of the four most recently asked keys, the most recent first.
class CRippleTableCache {
 public:
  static constexpr std::size_t kSlots = 4;

  // The table for the key, built when none of the slots holds it (the least recently asked one
  // then drops out; its users keep it until they let go).
  std::shared_ptr<const CRippleTable> Acquire(const RippleKey& key);
  // Lets go of every slot.
  void Clear();
  // How many tables were built.
  std::uint64_t Builds() const;

 private:
  mutable std::mutex mutex_;
  std::array<std::shared_ptr<const CRippleTable>, kSlots> slots_;
  std::uint64_t builds_ = 0;
};

extern CRippleTableCache g_RippleTables;
