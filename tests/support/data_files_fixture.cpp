#include "support/data_files_fixture.h"

#include <cstring>

namespace test_support {

void DataFilesTest::SetUp() {
  std::memcpy(saved_base_folder_, g_ModuleFolder, kMaxPath);
  saved_data_files_ = g_DataFiles;
  ASSERT_EQ(SetBaseFolder(game_.EnginePath().c_str()), 0u);
  g_DataFiles = files_.get();
}

void DataFilesTest::TearDown() {
  g_DataFiles = saved_data_files_;
  std::memcpy(g_ModuleFolder, saved_base_folder_, kMaxPath);
}

void DataFilesTest::RegisterFakeDecoder() {
  ASSERT_EQ(files_->RegisterArchiveDecoder(std::make_unique<FakeArchiveDecoder>(archive_log_), "FAK\0", "Fake format",
                                           9, nullptr, nullptr, nullptr),
            0u);
}

}  // namespace test_support
