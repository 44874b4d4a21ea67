// The end watch: a watch is told once of the end of the object it follows and of no other end,
// also when a holder ends or moves other watches, or announces further ends, while it is told.
#include "base/threads/end_watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace {

// A watch that counts its tellings and then does what the test asks.
struct CountingWatch : CEndWatch {
  explicit CountingWatch(std::function<void()> then_do = {})
      : CEndWatch([](CEndWatch& watch) {
          auto& self = static_cast<CountingWatch&>(watch);
          ++self.told;
          if (self.then) self.then();
        }),
        then(std::move(then_do)) {}
  int told = 0;
  std::function<void()> then;
};

TEST(EndWatchTest, OnlyTheFollowersOfTheEndingObjectAreToldOnce) {
  const int ending = 0;
  const int living = 0;
  CountingWatch first;
  CountingWatch second;
  CountingWatch other;
  first.Follow(&ending);
  second.Follow(&ending);
  other.Follow(&living);
  CEndWatch::Announce(&ending);
  EXPECT_EQ(first.told + second.told, 2);
  EXPECT_EQ(other.told, 0);
  CEndWatch::Announce(&ending);
  EXPECT_EQ(first.told + second.told, 2) << "a told watch follows nothing";
  other.Follow(&ending);
  other.Follow(nullptr);
  CEndWatch::Announce(&ending);
  CEndWatch::Announce(&living);
  EXPECT_EQ(other.told, 0) << "a watch that moved on is told of neither";
}

TEST(EndWatchTest, WatchesEndedMovedOrMadeWhileTheyAreToldAreLeftOutOrToldLater) {
  const int first_object = 0;
  const int second_object = 0;
  auto doomed = std::make_unique<CountingWatch>();
  CountingWatch moved;
  std::unique_ptr<CountingWatch> late;
  CountingWatch outer([&] {
    doomed.reset();
    moved.Follow(&second_object);
    late = std::make_unique<CountingWatch>();
    late->Follow(&first_object);
    CEndWatch::Announce(&second_object);
  });
  // The outer watch is told first: it follows first.
  outer.Follow(&first_object);
  doomed->Follow(&first_object);
  moved.Follow(&first_object);
  CEndWatch::Announce(&first_object);
  EXPECT_EQ(outer.told, 1);
  EXPECT_EQ(doomed, nullptr) << "ended before its turn, untold";
  EXPECT_EQ(moved.told, 1) << "told of the object it moved to, not of the one it left";
  EXPECT_EQ(late->told, 0) << "not told of the end it began in";
  CEndWatch::Announce(&first_object);
  EXPECT_EQ(late->told, 1) << "the made watch is told once the telling is over";
}

}  // namespace
