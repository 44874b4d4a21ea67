#include "support/data_files_fixture.h"

#include <cstring>

namespace test_support {

bool DataFolderSwitch::Enter(const TempGameFolder& game, IDataFileLayer* files) {
  std::memcpy(saved_base_folder_, g_ModuleFolder, kMaxPath);
  saved_data_files_ = g_DataFiles;
  g_DataFiles = files;
  return SetBaseFolder(game.EnginePath().c_str()) == 0;
}

void DataFolderSwitch::Leave() {
  g_DataFiles = saved_data_files_;
  std::memcpy(g_ModuleFolder, saved_base_folder_, kMaxPath);
}

void DataFilesTest::SetUp() { ASSERT_TRUE(folder_.Enter(game_, files_.get())); }

void DataFilesTest::TearDown() { folder_.Leave(); }

void DataFilesTest::RegisterFakeDecoder() {
  ASSERT_EQ(files_->RegisterArchiveDecoder(std::make_unique<FakeArchiveDecoder>(archive_log_), "FAK\0", "Fake format",
                                           9, nullptr, nullptr, nullptr),
            0u);
}

}  // namespace test_support
