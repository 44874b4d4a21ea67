// The box, disc, grid, dither and pinwheel patterns, each held to the pieces its formulas give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "pattern_pictures.h"

namespace {

using pattern_test::Inside;
using pattern_test::PatternPictures;
using pattern_test::Point;

// The source pixels that pieces drawn at their own places cover.
class Coverage {
 public:
  Coverage(int32_t w, int32_t h) : w_(w), h_(h), shown_(static_cast<size_t>(w * h)) {}
  void Mark(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    for (int32_t y = std::max(top, 0); y < std::min(bottom, h_); ++y) {
      for (int32_t x = std::max(left, 0); x < std::min(right, w_); ++x) shown_[static_cast<size_t>(y * w_ + x)] = true;
    }
  }
  bool Shown(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < w_ && y < h_ && shown_[static_cast<size_t>(y * w_ + x)];
  }
  // The picture a source drawn at (x, y) with these pixels shown gives.
  auto Picture(int32_t x, int32_t y) const {
    return [this, x, y](int32_t dx, int32_t dy) -> std::optional<Point> {
      return Shown(dx - x, dy - y) ? std::optional<Point>(Point{dx - x, dy - y}) : std::nullopt;
    };
  }

 private:
  int32_t w_;
  int32_t h_;
  std::vector<bool> shown_;
};

int32_t Root(double value, int32_t scale) { return static_cast<int32_t>(scale * std::sqrt(std::max(value, 0.0))); }

TEST(BoxPatterns, TheCentreSquareOfALargeSourceAtTheMiddleLevel) {
  PatternPictures pictures(640, 480, 640, 480);
  ASSERT_EQ(pictures.Draw(11, 128), 0);
  Coverage expected(640, 480);
  expected.Mark(160, 80, 480, 400);
  EXPECT_TRUE(pictures.Matches(expected.Picture(0, 0)));
}

TEST(BoxPatterns, CornerSquaresReachTheShortSideFirst) {
  PatternPictures pictures(64, 32, 100, 60);
  for (const int32_t level : {1, 60, 128, 200, 255}) {
    const int32_t s = (64 * level) >> 8;
    const int32_t cw = std::min(s, 64);
    const int32_t ch = std::min(s, 32);
    struct Case {
      int32_t type;
      int32_t left;
      int32_t top;
    };
    for (const Case c : {Case{12, 0, 0}, Case{13, 64 - cw, 0}, Case{14, 0, 32 - ch}, Case{15, 64 - cw, 32 - ch}}) {
      SCOPED_TRACE(testing::Message() << "pattern " << c.type << " level " << level);
      ASSERT_EQ(pictures.Draw(c.type, level, 7, 9), 0);
      Coverage expected(64, 32);
      expected.Mark(c.left, c.top, c.left + cw, c.top + ch);
      EXPECT_TRUE(pictures.Matches(expected.Picture(7, 9)));
    }
  }
  // The short side is whole from 32 · 256 / 64 = 128 on.
  ASSERT_EQ(pictures.Draw(12, 128), 0);
  EXPECT_TRUE(pictures.Shown(31, 31));
  EXPECT_FALSE(pictures.Shown(32, 0));
}

TEST(BoxPatterns, TheDiscOfASmallSourceStartsEmpty) {
  PatternPictures pictures(100, 50, 120, 60);
  ASSERT_EQ(pictures.Draw(31, 1), 0);
  EXPECT_EQ(pictures.DrawnCount(), 0);
}

TEST(BoxPatterns, TheLeftHalfDiscRedrawsRowZeroForEveryRowAboveTheSource) {
  // Half-transparent source pixels show how often each pixel of row 0 was drawn.
  PatternPictures pictures(100, 50, 120, 60, 0x80);
  const int32_t level = 128;
  const int32_t diameter = Root(50 * 50 / 4 + 100 * 100, 2);
  ASSERT_EQ(diameter, 206);
  const int32_t t = (diameter * level) >> 8;
  ASSERT_EQ(t, 103);
  const int32_t r2 = (t * t) / 4;
  auto chord = [&](int32_t r) { return Root(r2 - (r - 25) * (r - 25), 1); };
  EXPECT_EQ(chord(-26), 7);
  EXPECT_EQ(chord(-25), 12);
  EXPECT_EQ(chord(-24), 15);

  CImage expected;
  ASSERT_EQ(expected.Create(120, 60, 32, 0), 0u);
  pattern_test::FillImage(expected, [](int32_t, int32_t) { return pattern_test::kBackground; });
  for (int32_t r = 25 - t / 2; r < 25 + t / 2; ++r) {
    if (r >= 50) continue;  // below the source: nothing
    const int32_t row = std::max(r, 0);
    const plat::Rect piece{0, row, std::min(chord(r), 100), row + 1};
    expected.AlphaBlend(&pictures.Src(), 4, 3 + row, &piece, false);
  }
  ASSERT_EQ(pictures.Draw(29, level, 4, 3, kTransitionAlphaBlend), 0);
  for (int32_t y = 0; y < 60; ++y) {
    for (int32_t x = 0; x < 120; ++x) {
      ASSERT_EQ(pictures.Pixel(x, y), reinterpret_cast<const uint32_t*>(expected.GetRowPointer(y))[x])
          << x << ", " << y;
    }
  }
}

TEST(BoxPatterns, HalfDiscsAndTheDiscShowTheirChords) {
  PatternPictures pictures(80, 50, 100, 70);
  const int32_t w = 80;
  const int32_t h = 50;
  for (const int32_t level : {40, 128, 230}) {
    SCOPED_TRACE(level);
    auto centred = [&](Coverage& coverage, int32_t row, int32_t c) {
      const int32_t left = std::max(0, (w >> 1) - (c >> 1));
      coverage.Mark(left, row, left + std::min(c, w - left), row + 1);
    };
    const int32_t across = Root((w * w) / 4 + h * h, 2);
    const int32_t t_edge = (across * level) >> 8;
    Coverage top(w, h);
    Coverage bottom(w, h);
    for (int32_t j = 0; j < t_edge / 2; ++j) {
      const int32_t c = Root((t_edge * t_edge) / 4 - j * j, 2);
      centred(top, j, c);
      centred(bottom, h - j, c);
    }
    ASSERT_EQ(pictures.Draw(27, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(top.Picture(5, 5)));
    ASSERT_EQ(pictures.Draw(28, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(bottom.Picture(5, 5)));

    const int32_t down = Root((h * h) / 4 + w * w, 2);
    const int32_t t_side = (down * level) >> 8;
    const int32_t t_disc = ((w + h) * level) >> 8;
    Coverage left(w, h);
    Coverage right(w, h);
    Coverage disc(w, h);
    for (int32_t r = 25 - t_side / 2; r < 25 + t_side / 2; ++r) {
      const int32_t c = std::min(Root((t_side * t_side) / 4 - (r - 25) * (r - 25), 1), w);
      left.Mark(0, std::max(r, 0), c, std::max(r, 0) + 1);
      right.Mark(w - c, std::max(r, 0), w, std::max(r, 0) + 1);
    }
    for (int32_t r = 25 - t_disc / 2; r < 25 + t_disc / 2; ++r) {
      centred(disc, std::max(r, 0), Root((t_disc * t_disc) / 4 - (r - 25) * (r - 25), 2));
    }
    ASSERT_EQ(pictures.Draw(29, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(left.Picture(5, 5)));
    ASSERT_EQ(pictures.Draw(30, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(right.Picture(5, 5)));
    ASSERT_EQ(pictures.Draw(31, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(disc.Picture(5, 5)));
  }
}

TEST(BoxPatterns, GridsGrowASquareInEveryCellFromItsFirstStep) {
  PatternPictures pictures(70, 45, 80, 50);
  struct Case {
    int32_t type;
    int32_t cell;
    int32_t shift;
  };
  for (const Case c : {Case{32, 4, 6}, Case{33, 8, 5}, Case{34, 16, 4}}) {
    for (const int32_t level : {1, 63, 64, 150, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << c.type << " level " << level);
      const int32_t k = level >> c.shift;
      ASSERT_EQ(pictures.Draw(c.type, level), 0);
      EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
        return sx % c.cell < k && sy % c.cell < k ? Inside(sx, sy, 70, 45) : std::nullopt;
      }));
    }
  }
  for (int32_t level = 1; level < 64; ++level) {
    ASSERT_EQ(pictures.Draw(32, level), 0);
    ASSERT_EQ(pictures.DrawnCount(), 0) << level;
  }
}

TEST(BoxPatterns, DithersShowTheirCellsInTheOrderOfTheirMatrix) {
  PatternPictures pictures(70, 45, 80, 50);
  const int32_t order_a[4][4] = {{0, 1, 2, 3}, {11, 12, 13, 4}, {10, 15, 14, 5}, {9, 8, 7, 6}};
  const int32_t order_b[4][4] = {{6, 7, 8, 9}, {5, 0, 1, 10}, {4, 3, 2, 11}, {15, 14, 13, 12}};
  for (int32_t type = 45; type <= 52; ++type) {
    const int32_t cell = 1 << ((type - 45) / 2);
    const auto& matrix = (type - 45) % 2 == 0 ? order_a : order_b;
    for (const int32_t level : {1, 16, 100, 239, 240, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      ASSERT_EQ(pictures.Draw(type, level), 0);
      EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
        return matrix[(sy / cell) & 3][(sx / cell) & 3] <= (level >> 4) ? Inside(sx, sy, 70, 45) : std::nullopt;
      }));
    }
  }
  // At level 1 a single pixel of every 4 × 4 tile: its top-left pixel in order A, the pixel in
  // its second row and column in order B.
  ASSERT_EQ(pictures.Draw(45, 1), 0);
  EXPECT_TRUE(pictures.Shown(0, 0) && pictures.Shown(4, 4) && !pictures.Shown(1, 0));
  ASSERT_EQ(pictures.Draw(46, 1), 0);
  EXPECT_TRUE(pictures.Shown(1, 1) && pictures.Shown(5, 5) && !pictures.Shown(0, 0));
}

TEST(BoxPatterns, PinwheelsOpenHalfOfEveryQuarterAtTheMiddleLevel) {
  PatternPictures pictures(320, 240, 330, 250);
  // At level 128 the wedges reach from each half axis to the diagonal, 160 pixels out.
  ASSERT_EQ(pictures.Draw(83, 128, 5, 5), 0);
  EXPECT_TRUE(pictures.Matches([](int32_t px, int32_t py) -> std::optional<Point> {
    const int32_t dx = px - 5 - 160;
    const int32_t dy = py - 5 - 120;
    const bool shown = (dy >= 0 && dx >= dy && dx < 160) || (dy <= 0 && dx < dy && dx >= -160) ||
                       (dx <= 0 && dy >= -dx && dy < 160) || (dx >= 0 && dy < -dx && dy >= -160);
    return shown ? Inside(px - 5, py - 5, 320, 240) : std::nullopt;
  }));
  ASSERT_EQ(pictures.Draw(84, 128, 5, 5), 0);
  EXPECT_TRUE(pictures.Matches([](int32_t px, int32_t py) -> std::optional<Point> {
    const int32_t dx = px - 5 - 160;
    const int32_t dy = py - 5 - 120;
    const bool shown = (dy <= 0 && dx >= -dy && dx < 160) || (dy >= 0 && dx < -dy && dx >= -160) ||
                       (dx <= 0 && dy < dx && dy >= -160) || (dx >= 0 && dy >= dx && dy < 160);
    return shown ? Inside(px - 5, py - 5, 320, 240) : std::nullopt;
  }));
  for (const int32_t type : {83, 84}) {
    ASSERT_EQ(pictures.Draw(type, 1, 5, 5), 0);
    EXPECT_EQ(pictures.DrawnCount(), 0) << "no wedge at level 1";
  }
}

TEST(BoxPatterns, PinwheelsAreAlmostCompleteAtTheTopLevel) {
  PatternPictures pictures(320, 240, 330, 250);
  CTrigTables trig;
  // R = 161 · 65536 / cos 45°, A = sin θ · R and B = cos θ · R for θ = 127: the rectangles beyond
  // the wedges cover all but the thin lines beside the axes where the slope has reached 1.
  const int32_t radius = (161 * 65536) / trig.cosine[448];
  const int32_t a = (trig.cosine[511] * radius) >> 16;
  const int32_t b = (trig.cosine[127] * radius) >> 16;
  ASSERT_EQ(a, 226);
  ASSERT_EQ(b, 2);
  for (const int32_t type : {83, 84}) {
    SCOPED_TRACE(type);
    const bool counter = type == 84;
    Coverage expected(320, 240);
    auto row = [&](int32_t r, int32_t from, int32_t to) { expected.Mark(from, r, to, r + 1); };
    auto column = [&](int32_t c, int32_t from, int32_t to) { expected.Mark(c, from, c + 1, to); };
    for (int32_t k = 0; k < a; ++k) {
      const int32_t f = k * b / a;
      row(counter ? 120 - k : 120 + k, 160 + f, 160 + b);
      row(counter ? 120 + k : 120 - k, 160 - b, 160 - f);
      counter ? column(160 - k, 120 - b, 120 - f) : column(160 - k, 120 + f, 120 + b);
      counter ? column(160 + k, 120 + f, 120 + b) : column(160 + k, 120 - b, 120 - f);
    }
    if (counter) {
      expected.Mark(160 + b, 0, 320, 121);
      expected.Mark(0, 120, 160 - b, 240);
      expected.Mark(0, 0, 161, 120 - b);
      expected.Mark(160, 120 + b, 320, 240);
    } else {
      expected.Mark(160 + b, 120, 320, 240);
      expected.Mark(0, 0, 160 - b, 121);
      expected.Mark(0, 120 + b, 161, 240);
      expected.Mark(160, 0, 320, 120 - b);
    }
    ASSERT_EQ(pictures.Draw(type, 255, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches(expected.Picture(5, 5)));
    EXPECT_GE(pictures.DrawnCount(), 320 * 240 - 64);
  }
}

}  // namespace
