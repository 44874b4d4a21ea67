#include "effects/filters/ripple_table.h"

#include <algorithm>
#include <cmath>
#include <numbers>

CRippleTableCache g_RippleTables;

namespace {

constexpr double kMinusTwoPi = -6.2831852717958645;
// Scales the wave so that its largest square comes out at about 1.
constexpr double kWaveNorm = 0.8403361344537815;
constexpr double kQuarterTurn = 1.5707963179489661;
// A 64th of a half turn.
constexpr double kAngleStep = 0.04908738493590519;
constexpr double kFixedOne = 2048.0;

std::int32_t RoundedAway(double value) {
  return static_cast<std::int32_t>(std::trunc(value + (value < 0 ? -0.5 : 0.5)));
}

double DirectionAngle(std::int32_t j) { return kQuarterTurn - (j + 0.5) * kAngleStep; }

}  // namespace

std::vector<std::int32_t> RippleWaveProfile(std::int32_t steps) {
  std::vector<std::int32_t> profile(static_cast<std::size_t>(steps));
  for (std::int32_t i = 0; i < steps; ++i) {
    const double t = kMinusTwoPi * i / steps;
    const double v = (std::sin(t) + 0.2 * std::sin(2 * t - 2.0)) * kWaveNorm;
    const double u = std::clamp(v * v, -1.0, 1.0);
    profile[static_cast<std::size_t>(i)] = RoundedAway(u * kFixedOne);
  }
  return profile;
}

std::array<std::int32_t, CRippleTable::kAngles> RippleDirectionCosines() {
  std::array<std::int32_t, CRippleTable::kAngles> cosines{};
  for (std::int32_t j = 0; j < CRippleTable::kAngles; ++j) cosines[j] = RoundedAway(std::cos(DirectionAngle(j)) * kFixedOne);
  return cosines;
}

std::array<std::int32_t, CRippleTable::kAngles> RippleDirectionSines() {
  std::array<std::int32_t, CRippleTable::kAngles> sines{};
  for (std::int32_t j = 0; j < CRippleTable::kAngles; ++j) sines[j] = RoundedAway(std::sin(DirectionAngle(j)) * kFixedOne);
  return sines;
}

CRippleTable::CRippleTable(const RippleKey& key)
    : key_(key),
      half_width_(std::max(key.centre_x, key.width - key.centre_x)),
      half_height_(std::max(key.centre_y, key.height - key.centre_y)) {
  const std::int32_t steps = key.steps;
  distance_.resize(static_cast<std::size_t>(half_width_) * static_cast<std::size_t>(half_height_));
  for (std::int32_t j = 0; j < half_height_; ++j) {
    const double a = (j + 0.5) * static_cast<double>(key.vertical_factor);
    std::uint16_t* row = distance_.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(half_width_);
    for (std::int32_t i = 0; i < half_width_; ++i) {
      const double b = i + 0.5;
      // Only the ring's place within a wave counts.
      const auto ring = static_cast<std::int32_t>(std::fmod(std::trunc(std::sqrt(b * b + a * a)), steps));
      const auto angle = std::min(static_cast<std::int32_t>(std::atan(b / a) * 64 / std::numbers::pi), kAngles - 1);
      row[i] = static_cast<std::uint16_t>(ring * kAngles + angle);
    }
  }
  const std::vector<std::int32_t> profile = RippleWaveProfile(steps);
  const auto cosines = RippleDirectionCosines();
  const auto sines = RippleDirectionSines();
  const std::size_t block = 2 * static_cast<std::size_t>(steps) * kAngles;
  wave_.resize(static_cast<std::size_t>(Blocks()) * block);
  for (std::int32_t step = 0; step < Blocks(); ++step) {
    std::uint16_t* rows = wave_.data() + static_cast<std::size_t>(step) * block;
    for (std::int32_t i = 0; i < steps; ++i) {
      const std::int64_t amp = (std::int64_t{profile[static_cast<std::size_t>(i)]} * step * 256) >> 10;
      for (std::int32_t j = 0; j < kAngles; ++j) {
        const auto dx = static_cast<std::uint8_t>(static_cast<std::int8_t>((cosines[j] * amp) >> 22));
        const auto dy = static_cast<std::uint8_t>(static_cast<std::int8_t>((sines[j] * amp) >> 22));
        rows[i * kAngles + j] = static_cast<std::uint16_t>(dx << 8 | dy);
      }
    }
    // The second copy of the rows lets a phase plus a ring run past the last row unwrapped.
    std::copy(rows, rows + block / 2, rows + block / 2);
  }
}

std::shared_ptr<const CRippleTable> CRippleTableCache::Acquire(const RippleKey& key) {
  const std::lock_guard<std::mutex> lock(mutex_);
  auto found = std::find_if(slots_.begin(), slots_.end(), [&](const auto& slot) { return slot && slot->Key() == key; });
  if (found == slots_.end()) {
    // The last slot's table is let go and the new one takes the first.
    found = slots_.end() - 1;
    *found = std::make_shared<const CRippleTable>(key);
    ++builds_;
  }
  std::rotate(slots_.begin(), found, found + 1);
  return slots_.front();
}

void CRippleTableCache::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  for (auto& slot : slots_) slot.reset();
}

std::uint64_t CRippleTableCache::Builds() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return builds_;
}
