// The natural cubic spline that motions and motion paths share: the tables solve its equations,
// vanish on a straight line, and the path passes exactly through every one of its points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "scene/motion_curves.h"
#include "scene/motion_path.h"

namespace {

MotionPathRecord Point(int32_t x, int32_t y) { return {MotionPathRecord::kPoint, 0, x, y, 0, 0}; }
MotionPathRecord Command(uint8_t kind) { return {kind, 0, 7, 7, 1.5, 0}; }

TEST(NaturalSplineTest, TheTermsSolveTheSplineEquations) {
  const std::vector<double> keys{0, 37, -12, 250, 251, -3000, 4};
  const std::vector<double> m = NaturalSplineTerms(keys);
  ASSERT_EQ(m.size(), keys.size());
  EXPECT_EQ(m.front(), 0.0);
  EXPECT_EQ(m.back(), 0.0);
  for (size_t i = 1; i + 1 < keys.size(); ++i) {
    const double bend = (keys[i + 1] - keys[i]) - (keys[i] - keys[i - 1]);
    EXPECT_NEAR(m[i - 1] + 4 * m[i] + m[i + 1], bend, 1e-9) << i;
  }
  EXPECT_EQ(NaturalSplineTerms(std::vector<double>{1, 5}), (std::vector<double>{0, 0}));
}

TEST(NaturalSplineTest, ValuesOutsideTheIntegerRangeAreHeldAtItsEnds) {
  EXPECT_EQ(TruncateToInt32(-2.9), -2);
  EXPECT_EQ(TruncateToInt32(1e12), INT32_MAX);
  EXPECT_EQ(TruncateToInt32(-1e12), INT32_MIN);
  EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST(MotionPathTest, TheSplinePassesExactlyThroughEveryPoint) {
  CMotionPath path;
  ASSERT_EQ(path.SetPoints({Point(3, 5), Command(5), Point(101, -47), Point(-13, 29), Command(8), Point(77, 77),
                            Point(-200, 1)},
                           true),
            0u);
  ASSERT_TRUE(path.HasSpline());
  const auto& records = path.Records();
  size_t segments = 0;
  for (size_t a = 0, b = path.NextPoint(0); b < records.size(); a = b, b = path.NextPoint(b), ++segments) {
    int32_t x = 0;
    int32_t y = 0;
    path.EvalSpline(records[a], records[b], 0.0, x, y);
    EXPECT_EQ(x, records[a].x);
    EXPECT_EQ(y, records[a].y);
    path.EvalSpline(records[a], records[b], 1.0, x, y);
    EXPECT_EQ(x, records[b].x);
    EXPECT_EQ(y, records[b].y);
    path.EvalSpline(records[a], records[b], 0.5, x, y);
    int32_t straight_x = 0;
    int32_t straight_y = 0;
    CMotionPath::EvalLinear(records[a], records[b], 0.5, straight_x, straight_y);
    EXPECT_TRUE(x != straight_x || y != straight_y) << "segment " << segments << " bends";
  }
  EXPECT_EQ(segments, 4u);
}

TEST(MotionPathTest, PointsOnAStraightLineGiveZeroTablesAndStraightSegments) {
  CMotionPath path;
  ASSERT_EQ(path.SetPoints({Point(0, 10), Point(20, 40), Point(40, 70)}, true), 0u);
  EXPECT_EQ(path.SplineX(), (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(path.SplineY(), (std::vector<double>{0, 0, 0}));
  int32_t x = 0;
  int32_t y = 0;
  path.EvalSpline(path.Records()[1], path.Records()[2], 0.25, x, y);
  EXPECT_EQ(x, 25);
  EXPECT_EQ(y, 47);
}

TEST(MotionPathTest, TooFewRecordsLeaveThePathAsItWas) {
  CMotionPath path;
  EXPECT_EQ(path.SetPoints({Point(1, 2)}, true), CMotionPath::kTooFewRecords);
  EXPECT_TRUE(path.Records().empty());
  ASSERT_EQ(path.SetPoints({Point(1, 2), Point(3, 4)}, true), 0u);
  EXPECT_FALSE(path.HasSpline());
  EXPECT_EQ(path.SetPoints({}, false), CMotionPath::kTooFewRecords);
  EXPECT_EQ(path.Records().size(), 2u);
  int32_t x = 0;
  int32_t y = 0;
  path.EvalSpline(path.Records()[0], path.Records()[1], 0.5, x, y);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 3);
  path.Clear();
  EXPECT_TRUE(path.Records().empty());
}

}  // namespace
