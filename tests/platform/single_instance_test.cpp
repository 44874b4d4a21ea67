#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/temp_game_folder.h"

namespace {

TEST(SingleInstanceTest, ALaterInstanceIsRefusedAndAsksTheFirstToComeToTheFront) {
  test_support::TempGameFolder folder;
  const std::string lock = folder.HostPath() + "game.lock";
  std::atomic<int> front_requests{0};
  plat::SingleInstance first;
  ASSERT_EQ(first.Take(lock, [&] { ++front_requests; }), plat::SingleInstance::Claim::kFirst);
  plat::SingleInstance second;
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  EXPECT_FALSE(second.Holds());
  for (int i = 0; i < 1000 && front_requests == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(front_requests, 1);
  // Once the first lets go, the next start is the first.
  first.Release();
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kFirst);
}

TEST(SingleInstanceTest, WithoutAFolderForTheLockNothingIsHeld) {
  plat::SingleInstance instance;
  EXPECT_EQ(instance.Take("/nonexistent-folder/game.lock", [] {}), plat::SingleInstance::Claim::kUnavailable);
  EXPECT_FALSE(instance.Holds());
}

}  // namespace
