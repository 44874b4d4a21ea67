// An 800 x 600 picture letterboxed into outputs of other sizes: the output's pixel that a point of
// the picture is put at reads back as that point wherever the picture is scaled up, and where it
// is scaled down, as the point the pixel holds.
#include "platform/window/letterbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;

std::vector<plat::Point> PointsOfThePicture() {
  std::vector<plat::Point> points{{-1, -1}, {kWidth, kHeight}, {kWidth - 1, kHeight - 1}, {-1, kHeight}};
  for (int32_t y = 0; y < kHeight; y += 13) {
    for (int32_t x = 0; x < kWidth; x += 7) points.push_back({x, y});
  }
  return points;
}

// Whether `read`, the reading of the pixel a point was put at, answers the point: the point
// itself, or where the picture is scaled down and the pixel holds several points, the first of
// them, with the point before `next`, the reading of the pixel after it.
bool Answers(int32_t point, int32_t read, int32_t next, int32_t length, bool scaled_down) {
  if (!scaled_down || point < 0 || point >= length) return read == point;
  return read <= point && point < next;
}

TEST(LetterboxTest, APointPutOnTheOutputReadsBackAsItselfOrWhereScaledDownAsThePointItsPixelHolds) {
  const struct {
    int32_t width;
    int32_t height;
  } outputs[] = {{800, 999}, {1920, 1080}, {1280, 1024}, {801, 601}, {800, 600}, {400, 300}, {397, 512}};
  for (const auto& output : outputs) {
    const plat::Rect area = plat::LetterboxedArea(output.width, output.height, kWidth, kHeight);
    const bool scaled_down = area.Width() < kWidth;
    for (const plat::Point point : PointsOfThePicture()) {
      const plat::Point put = plat::FromPicturePoint(area, kWidth, kHeight, point);
      const plat::Point read = plat::ToPicturePoint(area, kWidth, kHeight, put);
      const plat::Point next = plat::ToPicturePoint(area, kWidth, kHeight, {put.x + 1, put.y + 1});
      EXPECT_TRUE(Answers(point.x, read.x, next.x, kWidth, scaled_down) &&
                  Answers(point.y, read.y, next.y, kHeight, scaled_down))
          << output.width << "x" << output.height << ": " << point.x << "," << point.y << " put at " << put.x << ","
          << put.y << " reads " << read.x << "," << read.y;
    }
  }
}

}  // namespace
