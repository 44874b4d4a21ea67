#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/temp_game_folder.h"

namespace {

// A first instance that holds the lock in a folder of its own and counts the requests it answers.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(first.Take(lock, [this] { ++front_requests; }), plat::SingleInstance::Claim::kFirst); }
  void WaitForRequests(int count) {
    for (int i = 0; i < 1000 && front_requests < count; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  test_support::TempGameFolder folder;
  const std::string lock = folder.HostPath() + "game.lock";
  std::atomic<int> front_requests{0};
  plat::SingleInstance first;
};

TEST_F(SingleInstanceTest, ALaterInstanceIsRefusedAndAsksTheFirstToComeToTheFront) {
  first.AnswerRequests();
  plat::SingleInstance second;
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  EXPECT_FALSE(second.Holds());
  WaitForRequests(1);
  EXPECT_EQ(front_requests, 1);
  // Once the first lets go, the next start is the first.
  first.Release();
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kFirst);
}

// The first instance answers only from AnswerRequests on: later instances are refused before
// that all the same, and their requests wait for it.
TEST_F(SingleInstanceTest, RequestsMadeBeforeTheFirstAnswersAreAnsweredOnceItDoes) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    plat::SingleInstance later;
    EXPECT_EQ(later.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  }
  EXPECT_EQ(front_requests, 0);
  first.AnswerRequests();
  first.AnswerRequests();
  WaitForRequests(2);
  EXPECT_EQ(front_requests, 2);
  plat::SingleInstance third;
  EXPECT_EQ(third.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  WaitForRequests(3);
  EXPECT_EQ(front_requests, 3);
}

TEST_F(SingleInstanceTest, AnInstanceThatNeverAnsweredLetsGoOfItsLock) {
  first.Release();
  first.AnswerRequests();
  plat::SingleInstance second;
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kFirst);
}

TEST(SingleInstanceLockTest, WithoutAFolderForTheLockNothingIsHeld) {
  plat::SingleInstance instance;
  EXPECT_EQ(instance.Take("/nonexistent-folder/game.lock", [] {}), plat::SingleInstance::Claim::kUnavailable);
  EXPECT_FALSE(instance.Holds());
}

}  // namespace
