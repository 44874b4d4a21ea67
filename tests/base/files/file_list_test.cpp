#include "base/files/file_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/temp_game_folder.h"

namespace {

class FileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game_.WriteFile("top.txt", "12345");
    game_.WriteFile("other.dat", "");
    game_.WriteFile("sub/inner.txt", "");
    game_.WriteFile("sub/deeper/deep.txt", "");
  }

  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (uint32_t i = 0; i < list_.GetCount(); ++i) paths.emplace_back(list_.GetEntryFirstField(i));
    return paths;
  }

  test_support::TempGameFolder game_;
  CFileList list_;
};

TEST_F(FileListTest, SubfoldersComeFirstWithTheirContentsThenTheFolderOwnFiles) {
  struct Case {
    bool list_folders;
    bool recurse;
    const char* pattern;
    std::vector<std::string> first;  // in this order
    std::set<std::string> rest;      // the top folder's own files, in the listing's order
  };
  const Case cases[] = {
      {false, true, nullptr, {"sub\\deeper\\deep.txt", "sub\\inner.txt"}, {"top.txt", "other.dat"}},
      {true, true, "*.TXT", {"sub\\", "sub\\deeper\\", "sub\\deeper\\deep.txt", "sub\\inner.txt"}, {"top.txt"}},
      {true, false, nullptr, {"sub\\"}, {"top.txt", "other.dat"}},
      {false, false, "*.txt", {}, {"top.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "folders " << c.list_folders << " recurse " << c.recurse);
    const uint32_t count = list_.Scan(game_.EnginePath().c_str(), c.pattern, c.list_folders, c.recurse);
    const std::vector<std::string> paths = Paths();
    ASSERT_EQ(count, c.first.size() + c.rest.size());
    EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.begin() + c.first.size()), c.first);
    EXPECT_EQ(std::set<std::string>(paths.begin() + c.first.size(), paths.end()), c.rest);
  }
}

TEST_F(FileListTest, EntriesCarryLocalTimeSizeAndAttributes) {
  const std::time_t written = 1700000000;
  const utimbuf times{written, written};
  ASSERT_EQ(utime((game_.HostPath() + "top.txt").c_str(), &times), 0);
  ASSERT_EQ(chmod((game_.HostPath() + "top.txt").c_str(), 0444), 0);
  game_.WriteFile(".hidden", "");
  list_.Scan(game_.EnginePath().c_str(), "*.*", true, false);

  std::tm local{};
  ASSERT_NE(localtime_r(&written, &local), nullptr);
  for (uint32_t i = 0; i < list_.GetCount(); ++i) {
    const FileListEntry& entry = *list_.GetEntry(i);
    if (entry.path == "top.txt") {
      EXPECT_EQ(entry.size, 5u);
      EXPECT_EQ(entry.attributes, kListedReadOnly);
      EXPECT_EQ(entry.year, local.tm_year + 1900);
      EXPECT_EQ(entry.month, local.tm_mon + 1);
      EXPECT_EQ(entry.day, local.tm_mday);
      EXPECT_EQ(entry.day_of_week, local.tm_wday);
      EXPECT_EQ(entry.hour, local.tm_hour);
      EXPECT_EQ(entry.minute, local.tm_min);
      EXPECT_EQ(entry.second, local.tm_sec);
    } else if (entry.path == "sub\\") {
      EXPECT_EQ(entry.attributes, kListedFolder);
      EXPECT_EQ(entry.size, 0u);
    } else if (entry.path == ".hidden") {
      EXPECT_EQ(entry.attributes, kListedHidden);
    } else {
      EXPECT_EQ(entry.attributes, 0u) << entry.path;
    }
  }
  EXPECT_EQ(list_.GetEntry(list_.GetCount()), nullptr);
  EXPECT_EQ(list_.GetEntryFirstField(list_.GetCount()), nullptr);
}

TEST_F(FileListTest, ALinkedFolderIsListedButNotEnteredAndABadFolderEmptiesTheList) {
  std::filesystem::create_directory_symlink(game_.HostPath(), game_.HostPath() + "sub/loop");
  list_.Scan(game_.EnginePath().c_str(), nullptr, true, true);
  const std::vector<std::string> paths = Paths();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), "sub\\loop\\"), 1);
  for (const std::string& path : paths) {
    EXPECT_FALSE(path != "sub\\loop\\" && path.starts_with("sub\\loop\\")) << path;
  }

  EXPECT_EQ(list_.Scan(std::string(300, 'a').c_str(), nullptr, false, false), 0u);
  EXPECT_EQ(list_.GetCount(), 0u);
}

}  // namespace
