// A test fixture with a temporary game folder as the base data folder and a data-file layer
// published as g_DataFiles; both are put back when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "base/files/path.h"
#include "resource/archives/file_system.h"
#include "support/fake_archive.h"
#include "support/temp_game_folder.h"

namespace test_support {

// Makes a game folder the base data folder and a data-file layer g_DataFiles until Leave, which
// puts the previous ones back.
class DataFolderSwitch {
 public:
  // False when the folder cannot become the base folder.
  bool Enter(const TempGameFolder& game, IDataFileLayer* files);
  void Leave();

 private:
  char saved_base_folder_[kMaxPath] = {};
  IDataFileLayer* saved_data_files_ = nullptr;
};

class DataFilesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Registers the fake archive decoder for the extension "FAK".
  void RegisterFakeDecoder();

  TempGameFolder game_;
  std::unique_ptr<CFileSystem> files_ = std::make_unique<CFileSystem>();
  std::shared_ptr<FakeArchiveLog> archive_log_ = std::make_shared<FakeArchiveLog>();

 private:
  DataFolderSwitch folder_;
};

}  // namespace test_support
