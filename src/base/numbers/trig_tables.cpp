#include "base/numbers/trig_tables.h"

#include <cmath>
#include <new>
#include <numbers>

CTrigTables* g_TrigTable = nullptr;
CTrigTables* g_MotionTrigTable = nullptr;

namespace {

constexpr double kStepAngle = 0.00390625;  // 1/256 of π

// Fills one quadrant's values into all four places; the axes are exact.
template <typename T, typename Value>
void FillSymmetric(T* table, T one, Value value_of_step) {
  table[0] = one;
  table[128] = T{};
  table[256] = -one;
  table[384] = T{};
  for (int k = 1; k < 128; ++k) {
    const T value = value_of_step(k);
    table[k] = value;
    table[512 - k] = value;
    table[256 - k] = -value;
    table[256 + k] = -value;
  }
}

}  // namespace

CTrigTables::CTrigTables() {
  FillSymmetric<int32_t>(cosine.data(), 65536, [](int k) {
    return static_cast<int32_t>(std::cos(k * std::numbers::pi * kStepAngle) * 65536.0);
  });
  for (int i = 0; i < 256; ++i) {
    arctangent[static_cast<size_t>(i)] =
        static_cast<uint16_t>(std::atan(i * kStepAngle) * 32768.0 / std::numbers::pi);
  }
}

bool CTrigTables::EnsureCosTable() {
  if (double_cosine) return true;
  std::unique_ptr<double[]> table(new (std::nothrow) double[kSteps]);
  if (!table) return false;
  FillSymmetric<double>(table.get(), 1.0, [](int k) { return std::cos(k * std::numbers::pi * kStepAngle); });
  double_cosine = std::move(table);
  return true;
}
