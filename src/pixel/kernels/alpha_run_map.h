// For each row of a 32-bit picture, its runs of clear (alpha 0), opaque (alpha 255) and mixed
// pixels, so that a blend can skip, copy or blend a run as a whole instead of testing every
// pixel. A picture shaped like a game's (figures on clear surroundings) has a handful of runs
// per row.
//
// Clear and opaque runs shorter than the map's shortest run count as mixed: the blend of a
// mixed run gives the same pixels, and a short run is not worth a step of its own. A map only
// tells the truth about the pixels it was built from: whoever keeps one drops it, or updates it,
// on every write to the pixels.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class AlphaKind : uint8_t { kClear, kOpaque, kMixed };

// Pixels begin..end - 1 of a row.
struct AlphaRun {
  int32_t begin;
  int32_t end;
  AlphaKind kind;
};

class AlphaRunMap {
 public:
  static constexpr int32_t kShortestRun = 16;

  // Maps width x height pixels, rows `pitch` bytes apart; runs of clear or opaque pixels shorter
  // than shortest_run (at least 1) are mixed.
  static AlphaRunMap Build(const uint32_t* pixels, intptr_t pitch, int32_t width, int32_t height,
                           int32_t shortest_run = kShortestRun);

  // Makes this a map of width x height that knows nothing: every row one mixed run (a mixed run
  // is true of any pixels). The rows' storage is kept for the runs to come.
  void ResetToUnknown(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Row y's runs, left to right, covering the whole width.
  std::span<const AlphaRun> Row(int32_t y) const { return rows_[static_cast<size_t>(y)]; }
  // Whether any run is clear, and whether any is clear or opaque (else the map tells nothing a
  // plain blend would not find out).
  bool HasClearRuns() const { return has_clear_; }
  bool HasClearOrOpaqueRuns() const { return has_clear_ || has_opaque_; }
  // The index in `runs` of the run that holds pixel x (x inside the row).
  static size_t RunAt(std::span<const AlphaRun> runs, int32_t x) {
    const auto run = std::upper_bound(runs.begin(), runs.end(), x, [](int32_t at, const AlphaRun& r) { return at < r.end; });
    return static_cast<size_t>(run - runs.begin());
  }

  // The area now holds alpha 0 everywhere (an alpha blend wrote it). The area lies inside the
  // map.
  void MarkClear(int32_t x, int32_t y, int32_t width, int32_t height);
  // The area at (x, y) now holds the alpha bytes of `source`'s area at (source_x, source_y)
  // (a copy wrote it). Both areas lie inside their maps.
  void CopyArea(const AlphaRunMap& source, int32_t source_x, int32_t source_y, int32_t x, int32_t y, int32_t width,
                int32_t height);

 private:
  // Row y with pixels x..x + width - 1 replaced by what fill(append) appends through
  // append(begin, end, kind) in this map's columns, left to right.
  template <typename Fill>
  void SpliceRow(int32_t y, int32_t x, int32_t width, Fill&& fill);

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<std::vector<AlphaRun>> rows_;
  std::vector<AlphaRun> scratch_;
  bool has_clear_ = false;
  bool has_opaque_ = false;
};
