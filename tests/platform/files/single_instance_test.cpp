#include "platform/files/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <thread>

#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

namespace {

TEST(SingleInstanceTest, ALaterInstanceIsRefusedAndAsksTheFirstToComeToTheFront) {
  test_support::TempGameFolder folder;
  const std::string lock = folder.HostPath() + "game.lock";
  std::atomic<int> front_requests{0};
  plat::SingleInstance first;
  ASSERT_EQ(first.Take(lock, [&] { ++front_requests; }), plat::SingleInstance::Claim::kFirst);
  first.StartAnswering();
  plat::SingleInstance second;
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  EXPECT_FALSE(second.Holds());
  for (int i = 0; i < 1000 && front_requests == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(front_requests, 1);
  // Once the first lets go, the next start is the first.
  first.Release();
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kFirst);
}

size_t ThreadCount() {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                           std::filesystem::directory_iterator()));
}

// The claim starts no thread (a program starts none before its window); a request made before the
// first instance answers waits on the socket and is answered once it does, once.
TEST(SingleInstanceTest, RequestsWaitUntilTheFirstStartsAnswering) {
  test_support::TempGameFolder folder;
  const std::string lock = folder.HostPath() + "game.lock";
  std::atomic<int> front_requests{0};
  plat::SingleInstance first;
  const size_t threads = ThreadCount();
  ASSERT_EQ(first.Take(lock, [&] { ++front_requests; }), plat::SingleInstance::Claim::kFirst);
  EXPECT_EQ(ThreadCount(), threads);
  plat::SingleInstance second;
  EXPECT_EQ(second.Take(lock, [] {}), plat::SingleInstance::Claim::kAnotherRuns);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(front_requests, 0);
  // Counted against the count after the start: a sanitizer may add a thread of its own at the
  // program's first thread start.
  first.StartAnswering();
  const size_t answering = ThreadCount();
  EXPECT_GT(answering, threads);
  first.StartAnswering();
  EXPECT_EQ(ThreadCount(), answering) << "a second start starts nothing";
  for (int i = 0; i < 1000 && front_requests == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(front_requests, 1);
  first.Release();
  EXPECT_EQ(ThreadCount(), answering - 1);
}

// Without a runtime folder the lock lives in a folder of the user's own under /tmp, made for it,
// whether or not the user's data folders exist.
TEST(SingleInstanceTest, WithoutARuntimeFolderTheLockGoesIntoTheUsersOwnFolderUnderTmp) {
  const ScopedEnvironment no_runtime("XDG_RUNTIME_DIR", nullptr);
  const ScopedEnvironment no_data("XDG_DATA_HOME", "/nonexistent-data-home");
  const ScopedEnvironment no_home("HOME", "/nonexistent-home");
  const std::string folder = plat::RuntimeFolder();
  EXPECT_EQ(folder, "/tmp/kestrune-" + std::to_string(getuid()));
  struct stat facts {};
  ASSERT_EQ(stat(folder.c_str(), &facts), 0);
  EXPECT_TRUE(S_ISDIR(facts.st_mode));
  EXPECT_EQ(facts.st_mode & 0777, 0700u);
  const std::string lock = folder + "/single-instance-test-" + std::to_string(getpid()) + ".lock";
  plat::SingleInstance instance;
  EXPECT_EQ(instance.Take(lock, [] {}), plat::SingleInstance::Claim::kFirst);
  instance.Release();
  std::filesystem::remove(lock);
  const ScopedEnvironment runtime("XDG_RUNTIME_DIR", "/run/user/test");
  EXPECT_EQ(plat::RuntimeFolder(), "/run/user/test");
}

TEST(SingleInstanceTest, WithoutAFolderForTheLockNothingIsHeld) {
  plat::SingleInstance instance;
  EXPECT_EQ(instance.Take("/nonexistent-folder/game.lock", [] {}), plat::SingleInstance::Claim::kUnavailable);
  EXPECT_FALSE(instance.Holds());
  const size_t threads = ThreadCount();
  instance.StartAnswering();
  EXPECT_EQ(ThreadCount(), threads);
}

}  // namespace
