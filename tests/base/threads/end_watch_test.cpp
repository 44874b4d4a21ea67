// The end watch: every living watch is told of each end once, also when a holder ends other
// watches or announces further ends while it is told.
#include "base/threads/end_watch.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Told {
  std::vector<const void*> ends;
};

TEST(EndWatchTest, WatchesEndedOrMadeWhileTheyAreToldAreLeftOutOrToldLater) {
  const int first_object = 0;
  const int second_object = 0;
  Told outer_told;
  Told doomed_told;
  Told late_told;
  auto doomed = std::make_unique<CEndWatch>([&](const void* ending) { doomed_told.ends.push_back(ending); });
  std::unique_ptr<CEndWatch> late;
  const CEndWatch outer([&](const void* ending) {
    outer_told.ends.push_back(ending);
    if (ending != &first_object) return;
    doomed.reset();
    late = std::make_unique<CEndWatch>([&](const void* later) { late_told.ends.push_back(later); });
    CEndWatch::Announce(&second_object);
  });
  CEndWatch::Announce(&first_object);
  EXPECT_EQ(outer_told.ends, (std::vector<const void*>{&first_object, &second_object}));
  EXPECT_EQ(doomed_told.ends, std::vector<const void*>{&first_object}) << "told before the holder ended it";
  EXPECT_EQ(late_told.ends, (std::vector<const void*>{&second_object})) << "not told of the end it began in";
  CEndWatch::Announce(&second_object);
  EXPECT_EQ(late_told.ends.size(), 2u) << "the made watch is listed once the telling is over";
  EXPECT_TRUE(CEndWatch::Names<int>(&second_object, &second_object));
  EXPECT_FALSE(CEndWatch::Names<int>(nullptr, nullptr));
}

}  // namespace
