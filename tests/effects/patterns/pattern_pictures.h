// Pictures for the transition-pattern tests: a source whose pixels encode their own coordinates
// (x in bits 12 to 23, y in bits 0 to 11, alpha 255), so that every drawn pixel of the
// destination tells where in the source it came from, over a white destination. The
// trigonometric tables are published while a test runs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "effects/patterns/transition_patterns.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"

namespace pattern_test {

inline constexpr uint32_t kBackground = 0xFFFFFFFF;

inline uint32_t SourcePixel(int32_t x, int32_t y, uint8_t alpha = 0xFF) {
  return (uint32_t{alpha} << 24) | (static_cast<uint32_t>(x) << 12) | static_cast<uint32_t>(y);
}

struct Point {
  int32_t x;
  int32_t y;
  bool operator==(const Point&) const = default;
};

inline void FillImage(CImage& image, uint32_t (*pixel)(int32_t, int32_t)) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) row[x] = pixel(x, y);
  }
}

// A software source and destination and the tables; the destination is white before every draw.
class PatternPictures {
 public:
  // `dst_flags`: the destination's CImage::Create flags.
  PatternPictures(int32_t src_width = 64, int32_t src_height = 48, int32_t dst_width = 160, int32_t dst_height = 120,
                  uint8_t source_alpha = 0xFF, uint32_t dst_flags = 0)
      : saved_trig_(g_TrigTable) {
    BuildPixelTables();
    g_TrigTable = &trig_;
    EXPECT_EQ(src_.Create(src_width, src_height, 32, 0), 0u);
    EXPECT_EQ(dst_.Create(dst_width, dst_height, 32, dst_flags), 0u);
    for (int32_t y = 0; y < src_height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(src_.GetRowPointer(y));
      for (int32_t x = 0; x < src_width; ++x) row[x] = SourcePixel(x, y, source_alpha);
    }
    Clear();
  }
  ~PatternPictures() { g_TrigTable = saved_trig_; }
  PatternPictures(const PatternPictures&) = delete;
  PatternPictures& operator=(const PatternPictures&) = delete;

  CImage& Src() { return src_; }
  CImage& Dst() { return dst_; }
  const CImage& Dst() const { return dst_; }
  int32_t SrcWidth() const { return src_.GetWidth(); }
  int32_t SrcHeight() const { return src_.GetHeight(); }

  // Row by row: every draw of the property tests clears first.
  void Clear() {
    for (int32_t y = 0; y < dst_.GetHeight(); ++y) {
      std::fill_n(reinterpret_cast<uint32_t*>(dst_.GetRowPointer(y)), dst_.GetWidth(), kBackground);
    }
  }

  // Clears the destination and draws the pattern.
  int32_t Draw(int32_t type, int32_t level, int32_t x = 0, int32_t y = 0, int32_t mode = kTransitionCopy) {
    Clear();
    return DrawTransitionPattern(type, &dst_, &src_, level, x, y, mode, nullptr);
  }

  uint32_t Pixel(int32_t x, int32_t y) const {
    return reinterpret_cast<const uint32_t*>(dst_.GetRowPointer(y))[x];
  }
  bool Drawn(int32_t x, int32_t y) const { return Pixel(x, y) != kBackground; }
  // The source pixel shown at a destination pixel, none where nothing was drawn.
  std::optional<Point> From(int32_t x, int32_t y) const {
    const uint32_t pixel = Pixel(x, y);
    if (pixel == kBackground) return std::nullopt;
    return Point{static_cast<int32_t>((pixel >> 12) & 0xFFF), static_cast<int32_t>(pixel & 0xFFF)};
  }
  // Whether the source pixel (sx, sy) shows at its own place for a source drawn at (x, y).
  bool Shown(int32_t sx, int32_t sy, int32_t x = 0, int32_t y = 0) const {
    return From(x + sx, y + sy) == Point{sx, sy};
  }
  int32_t DrawnCount() const {
    int32_t count = 0;
    for (int32_t y = 0; y < dst_.GetHeight(); ++y) {
      for (int32_t x = 0; x < dst_.GetWidth(); ++x) count += Drawn(x, y) ? 1 : 0;
    }
    return count;
  }
  // Every drawn pixel of the destination holds the source pixel of its own place. (Row by row:
  // the property tests call it for every level of every pattern.)
  bool OnlyOwnPlaces(int32_t x, int32_t y) const {
    for (int32_t dy = 0; dy < dst_.GetHeight(); ++dy) {
      const auto* row = reinterpret_cast<const uint32_t*>(dst_.GetRowPointer(dy));
      for (int32_t dx = 0; dx < dst_.GetWidth(); ++dx) {
        if (row[dx] == kBackground) continue;
        const int32_t sx = dx - x;
        const int32_t sy = dy - y;
        if (sx < 0 || sy < 0 || (row[dx] & 0xFFFFFF) != SourcePixel(sx, sy, 0)) return false;
      }
    }
    return true;
  }
  // FNV-1a over the destination's pixels.
  uint32_t Checksum() const {
    uint32_t hash = 2166136261u;
    for (int32_t y = 0; y < dst_.GetHeight(); ++y) {
      for (int32_t x = 0; x < dst_.GetWidth(); ++x) {
        uint32_t pixel = Pixel(x, y);
        for (int i = 0; i < 4; ++i, pixel >>= 8) hash = (hash ^ (pixel & 0xFF)) * 16777619u;
      }
    }
    return hash;
  }
  // Whether the destination holds exactly what `expected(dx, dy)` says: a source point or none.
  template <typename Expected>
  ::testing::AssertionResult Matches(Expected&& expected) const {
    for (int32_t dy = 0; dy < dst_.GetHeight(); ++dy) {
      for (int32_t dx = 0; dx < dst_.GetWidth(); ++dx) {
        const std::optional<Point> want = expected(dx, dy);
        const std::optional<Point> got = From(dx, dy);
        if (want != got) {
          auto text = [](const std::optional<Point>& p) {
            return p ? "(" + std::to_string(p->x) + ", " + std::to_string(p->y) + ")" : std::string("nothing");
          };
          return ::testing::AssertionFailure()
                 << "at (" << dx << ", " << dy << ") expected " << text(want) << ", drawn " << text(got);
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  CTrigTables trig_;
  CTrigTables* saved_trig_;
  CImage src_;
  CImage dst_;
};

// The same pieces drawn by the test itself with the image's own copy, onto a white image the
// size of the destination, to compare with what a pattern drew.
class ReferenceDrawing {
 public:
  explicit ReferenceDrawing(PatternPictures& pictures) : pictures_(pictures) {
    EXPECT_EQ(image_.Create(pictures.Dst().GetWidth(), pictures.Dst().GetHeight(), 32, 0), 0u);
    FillImage(image_, [](int32_t, int32_t) { return kBackground; });
  }
  void Piece(const plat::Rect& source, int32_t px, int32_t py) {
    plat::Rect cut{std::max(source.left, 0), std::max(source.top, 0), std::min(source.right, pictures_.SrcWidth()),
                   std::min(source.bottom, pictures_.SrcHeight())};
    if (cut.left >= cut.right || cut.top >= cut.bottom) return;
    image_.Copy(&pictures_.Src(), px + cut.left - source.left, py + cut.top - source.top, &cut, false);
  }
  void Stretched(const plat::Rect& source, int32_t width, int32_t height, int32_t px, int32_t py) {
    const ImageSize size{width, height};
    image_.StretchCopy(&pictures_.Src(), &size, px, py, &source, false);
  }
  CImage& Image() { return image_; }
  // Blocks of bw × bh from the top-left corner, each drawn where place(bx, by) says.
  template <typename Place>
  void Blocks(int32_t bw, int32_t bh, Place&& place) {
    for (int32_t by = 0; by < pictures_.SrcHeight(); by += bh) {
      for (int32_t bx = 0; bx < pictures_.SrcWidth(); bx += bw) {
        const std::optional<Point> at = place(bx, by);
        if (at) Piece({bx, by, bx + bw, by + bh}, at->x, at->y);
      }
    }
  }
  ::testing::AssertionResult SameAsDestination() const {
    for (int32_t y = 0; y < image_.GetHeight(); ++y) {
      for (int32_t x = 0; x < image_.GetWidth(); ++x) {
        const uint32_t want = reinterpret_cast<const uint32_t*>(image_.GetRowPointer(y))[x];
        if (pictures_.Pixel(x, y) != want) {
          return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") expected " << std::hex << want
                                               << ", drawn " << pictures_.Pixel(x, y);
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  PatternPictures& pictures_;
  CImage image_;
};

// The source pixel (sx, sy) when it lies inside a w × h source.
inline std::optional<Point> Inside(int32_t sx, int32_t sy, int32_t w, int32_t h) {
  if (sx < 0 || sy < 0 || sx >= w || sy >= h) return std::nullopt;
  return Point{sx, sy};
}

// A pattern drawn at (x, y) with the source's and the destination's clip rectangles where given:
// the scenes that place the pattern pictures (61 x 47 onto 97 x 83) across the destination's
// edges and cut both pictures.
struct ClippedScene {
  int32_t x;
  int32_t y;
  std::optional<plat::Rect> source_clip;
  std::optional<plat::Rect> dest_clip;

  void Apply(PatternPictures& pictures) const {
    if (source_clip) pictures.Src().SetClipRect(&*source_clip);
    if (dest_clip) pictures.Dst().SetClipRect(&*dest_clip);
  }
};

inline const ClippedScene kClippedScenes[] = {
    {13, -5, std::nullopt, std::nullopt},
    {-9, 11, std::nullopt, plat::Rect{5, 7, 90, 71}},
    {17, 9, plat::Rect{3, 2, 55, 44}, plat::Rect{1, 0, 96, 80}},
};

// The coordinates of the pattern pictures (or the colour bits they hold, turned by `seed`) with
// an alpha that changes from pixel to pixel, so that the alpha-blend mode shows every weight.
inline void GiveVaryingAlpha(CImage& image, uint32_t seed = 0) {
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const uint32_t colour = seed == 0 ? SourcePixel(x, y, 0) : (row[x] ^ (seed * 0x9E3779B9u)) & 0x00FFFFFFu;
      row[x] = colour | uint32_t{static_cast<uint8_t>(x * 37 + y * 11 + seed)} << 24;
    }
  }
}

// Reseeds the program-wide generator, for patterns that draw from it.
inline void SeedProgramRandom(uint32_t seed) { SeedSubtractive(g_SubtractiveIndex, g_SubtractiveState, seed); }

// Checksums recorded by pattern and level, read from lines "type level checksum" (hexadecimal).
using Goldens = std::map<std::pair<int32_t, int32_t>, uint32_t>;

inline Goldens ReadGoldens(const char* file) {
  Goldens goldens;
  std::ifstream in(file);
  int32_t type = 0;
  int32_t level = 0;
  std::string checksum;
  while (in >> type >> level >> checksum) {
    goldens[{type, level}] = static_cast<uint32_t>(std::stoul(checksum, nullptr, 16));
  }
  return goldens;
}

}  // namespace pattern_test
