// The natural cubic spline that motions and motion paths share: its terms solve the spline's
// equations and vanish on evenly spaced points of a line, and a path passes exactly through
// every one of its points.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scene/drawables/motion_curves.h"
#include "scene/motions/motion_path.h"

namespace {

MotionPathRecord Point(int32_t x, int32_t y) { return {MotionPathRecord::kPoint, 0, x, y, 0, 0}; }

TEST(MotionPathTest, TheSplineTermsSolveTheSplineEquations) {
  const std::vector<double> keys{0, 37, -12, 250, 251, -3000, 4};
  const std::vector<double> m = NaturalSplineTerms(keys);
  ASSERT_EQ(m.size(), keys.size());
  EXPECT_EQ(m.front(), 0.0);
  EXPECT_EQ(m.back(), 0.0);
  for (size_t i = 1; i + 1 < keys.size(); ++i) {
    EXPECT_NEAR(m[i - 1] + 4 * m[i] + m[i + 1], (keys[i + 1] - keys[i]) - (keys[i] - keys[i - 1]), 1e-9) << i;
  }
}

TEST(MotionPathTest, TheSplinePassesExactlyThroughEveryPointAndSkipsCommands) {
  CMotionPath path;
  const MotionPathRecord command{5, 0, 7, 7, 1.5, 0};
  ASSERT_EQ(path.SetPoints({Point(3, 5), command, Point(101, -47), Point(-13, 29), command, Point(77, 77),
                            Point(-200, 1)},
                           true),
            0u);
  const auto& records = path.Records();
  int segments = 0;
  for (size_t a = 0, b = path.NextPoint(0); b < records.size(); a = b, b = path.NextPoint(b), ++segments) {
    for (auto [t, end] : {std::pair{0.0, &records[a]}, std::pair{1.0, &records[b]}}) {
      int32_t x = 0;
      int32_t y = 0;
      path.EvalSpline(records[a], records[b], t, x, y);
      EXPECT_EQ(std::pair(x, y), std::pair(end->x, end->y)) << "segment " << segments << " at " << t;
    }
  }
  EXPECT_EQ(segments, 4);
}

TEST(MotionPathTest, EvenlySpacedPointsOfALineGiveZeroTerms) {
  CMotionPath path;
  ASSERT_EQ(path.SetPoints({Point(0, 10), Point(20, 40), Point(40, 70)}, true), 0u);
  EXPECT_EQ(path.SplineX(), (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(path.SplineY(), (std::vector<double>{0, 0, 0}));
  int32_t x = 0;
  int32_t y = 0;
  path.EvalSpline(path.Records()[1], path.Records()[2], 0.25, x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(25, 47));
}

TEST(MotionPathTest, OneRecordIsRefusedAndAPathOfTwoRunsStraight) {
  CMotionPath path;
  EXPECT_EQ(path.SetPoints({Point(1, 2)}, true), CMotionPath::kTooFewRecords);
  EXPECT_TRUE(path.Records().empty());
  ASSERT_EQ(path.SetPoints({Point(1, 2), Point(-3, 4)}, true), 0u);
  EXPECT_FALSE(path.HasSpline());
  int32_t x = 0;
  int32_t y = 0;
  path.EvalSpline(path.Records()[0], path.Records()[1], 0.5, x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(-1, 3));
}

}  // namespace
