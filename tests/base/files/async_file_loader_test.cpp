#include "base/files/async_file_loader.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "support/data_files_fixture.h"

namespace {

std::string Contents(const CAsyncFileLoader& loader, uint16_t index) {
  const unsigned char* data = loader.GetData(index);
  return data != nullptr ? std::string(reinterpret_cast<const char*>(data), loader.GetSize(index)) : std::string();
}

class AsyncFileLoaderTest : public test_support::DataFilesTest {};

TEST_F(AsyncFileLoaderTest, ARangeBeyondTheEntriesIsRefusedAndAGoodOneLoadsInTheBackground) {
  game_.WriteFile("c.bin", "third");
  game_.WriteFile("data/d.bin", "fourth");
  CAsyncFileLoader loader;
  const char* const names[] = {"c.bin", "d.bin"};
  EXPECT_EQ(loader.Request(0, 1, names), CAsyncFileLoader::kBadRange);  // no entries yet
  ASSERT_EQ(loader.Allocate(4), 0u);
  EXPECT_EQ(loader.Request(3, 2, names), CAsyncFileLoader::kBadRange);
  EXPECT_EQ(loader.Request(2, 0, names), CAsyncFileLoader::kBadRange);
  EXPECT_EQ(loader.Request(0, 3, names), CAsyncFileLoader::kBadRange);  // two names for three entries

  const char* const loose[] = {"c.bin", "data\\d.bin"};
  ASSERT_EQ(loader.Request(2, 2, loose), CAsyncFileLoader::kStarted);
  loader.WaitIdle();
  EXPECT_EQ(Contents(loader, 2), "third");
  EXPECT_EQ(Contents(loader, 3), "fourth");
  EXPECT_EQ(loader.GetData(0), nullptr);
  EXPECT_EQ(loader.GetData(4), nullptr);

  EXPECT_EQ(loader.SetFolder("data/"), 0u);  // a trailing slash becomes a backslash
  const char* const in_folder[] = {"d.bin"};
  ASSERT_EQ(loader.Request(0, 1, in_folder), CAsyncFileLoader::kStarted);
  loader.WaitIdle();
  EXPECT_EQ(Contents(loader, 0), "fourth");

  EXPECT_EQ(loader.CloseRange(0, 9), 0);
  EXPECT_EQ(loader.GetData(2), nullptr);
  loader.Clear();
  EXPECT_EQ(loader.CloseRange(0, 1), -1);
}

TEST_F(AsyncFileLoaderTest, AMissingFileClearsItsBusyFlagAndReadsAsEmpty) {
  game_.WriteFile("here.bin", "here");
  CAsyncFileLoader loader;
  ASSERT_EQ(loader.Allocate(2), 0u);
  const char* const names[] = {"missing.bin", "here.bin"};
  ASSERT_EQ(loader.Request(0, 2, names), CAsyncFileLoader::kStarted);
  loader.WaitIdle();
  EXPECT_FALSE(loader.IsBusy(0));
  EXPECT_EQ(loader.GetData(0), nullptr);
  EXPECT_EQ(loader.GetSize(0), 0u);
  EXPECT_EQ(Contents(loader, 1), "here");
}

TEST_F(AsyncFileLoaderTest, EntriesReadAsSoonAsTheirFlagsClearHoldTheirWholeContents) {
  constexpr uint16_t kCount = 64;
  std::vector<std::string> names;
  for (uint16_t i = 0; i < kCount; ++i) {
    names.push_back("f" + std::to_string(i) + ".bin");
    game_.WriteFile(names.back(), std::string(1000 + i, static_cast<char>('a' + i % 26)));
  }
  std::vector<const char*> pointers;
  for (const std::string& name : names) pointers.push_back(name.c_str());
  CAsyncFileLoader loader;
  ASSERT_EQ(loader.Allocate(kCount), 0u);
  ASSERT_EQ(loader.Request(0, kCount, pointers), CAsyncFileLoader::kStarted);
  names.assign(kCount, std::string());  // the loader keeps copies of the names

  std::vector<bool> seen(kCount, false);
  for (uint16_t left = kCount; left > 0;) {
    for (uint16_t i = 0; i < kCount; ++i) {
      if (seen[i] || loader.IsBusy(i)) continue;
      seen[i] = true;
      --left;
      EXPECT_EQ(Contents(loader, i), std::string(1000 + i, static_cast<char>('a' + i % 26))) << i;
    }
  }
  loader.WaitIdle();
}

// A data-file layer whose reads wait until the test opens its gate, so that loads stay pending;
// each file holds its own name.
class GatedLayer : public IDataFileLayer {
 public:
  void Open() {
    {
      std::lock_guard guard(lock_);
      open_ = true;
    }
    opened_.notify_all();
  }
  // Runs on the loader's thread when it reads the name.
  void OnRead(std::string name, std::function<void()> action) {
    on_read_name_ = std::move(name);
    on_read_ = std::move(action);
  }

  unsigned ReadFile(const char* name, CReadTarget& target, char* out_path) override {
    {
      std::unique_lock guard(lock_);
      opened_.wait(guard, [this] { return open_; });
    }
    if (on_read_ && on_read_name_ == name) on_read_();
    const std::size_t size = std::strlen(name);
    unsigned char* buffer = target.Allocate(static_cast<std::uint32_t>(size));
    if (buffer == nullptr) return 8;
    std::memcpy(buffer, name, size);
    std::snprintf(out_path, kMaxPath, "%s", name);
    return 0;
  }
  RefPtr<CReadStream> OpenStream(const char*, char*, int* out_error, bool) override {
    *out_error = 3;
    return nullptr;
  }
  unsigned FindFile(char*, const char*, plat::FindData*) const override { return 3; }
  int LocateFile(char*, const char*, plat::FindData*) const override { return 2; }
  unsigned ReadArchiveEntry(std::int32_t, std::int32_t, const char*, CReadTarget&, char*) override { return 3; }

 private:
  std::mutex lock_;
  std::condition_variable opened_;
  bool open_ = false;
  std::string on_read_name_;
  std::function<void()> on_read_;
};

class GatedLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_DataFiles;
    g_DataFiles = &layer_;
  }
  void TearDown() override {
    layer_.Open();
    loader_.Clear();
    g_DataFiles = saved_;
  }

  GatedLayer layer_;
  CAsyncFileLoader loader_;
  IDataFileLayer* saved_ = nullptr;
};

TEST_F(GatedLoaderTest, PendingEntriesAreNeitherReadNorClosedAndANewRequestWaits) {
  ASSERT_EQ(loader_.Allocate(4), 0u);
  const char* const names[] = {"a", "b", "c"};
  ASSERT_EQ(loader_.Request(1, 3, names), CAsyncFileLoader::kStarted);
  EXPECT_EQ(loader_.Request(0, 1, names), CAsyncFileLoader::kStillRunning);
  EXPECT_TRUE(loader_.IsBusy(1));
  EXPECT_EQ(loader_.GetData(1), nullptr);
  EXPECT_EQ(loader_.GetSize(3), 0u);
  EXPECT_EQ(loader_.CloseRange(0, 4), 3);  // entry 0 is idle and closed

  layer_.Open();
  loader_.WaitIdle();
  EXPECT_EQ(loader_.WaitIdle(), 0u);  // nothing left to wait for
  EXPECT_EQ(Contents(loader_, 1), "a");
  EXPECT_EQ(Contents(loader_, 3), "c");
  EXPECT_EQ(loader_.CloseRange(0, 4), 0);
  EXPECT_EQ(loader_.GetData(1), nullptr);
}

TEST_F(GatedLoaderTest, AStoppedLoadLeavesTheEntriesItDidNotReachEmptyAndIdle) {
  ASSERT_EQ(loader_.Allocate(3), 0u);
  const char* const first[] = {"old"};
  layer_.Open();
  ASSERT_EQ(loader_.Request(2, 1, first), CAsyncFileLoader::kStarted);
  loader_.WaitIdle();
  ASSERT_EQ(Contents(loader_, 2), "old");

  // Changing the folder stops the load; asked on the loader's own thread, after its first read.
  layer_.OnRead("a", [this] { loader_.SetFolder(nullptr); });
  const char* const names[] = {"a", "b", "c"};
  ASSERT_EQ(loader_.Request(0, 3, names), CAsyncFileLoader::kStarted);
  loader_.WaitIdle();
  EXPECT_EQ(Contents(loader_, 0), "a");
  for (uint16_t i = 1; i < 3; ++i) {
    EXPECT_FALSE(loader_.IsBusy(i)) << i;
    EXPECT_EQ(loader_.GetData(i), nullptr) << i;  // not the earlier load's contents either
  }
}

}  // namespace
