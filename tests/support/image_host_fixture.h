// A test fixture with a temporary game folder and data-file layer (DataFilesTest) and an
// image-loader host that decodes ELG pictures, published as g_GllHost while the test runs.
// Its cache starts off; the machine counts as having a gigabyte of memory.
#pragma once

#include "resource/pictures/image_loader_manager.h"
#include "support/data_files_fixture.h"

namespace test_support {

class ImageHostTest : public DataFilesTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  CImageLoaderManager host_{&GigabyteOfMemory};

 private:
  static std::uint64_t GigabyteOfMemory() { return std::uint64_t{1} << 30; }

  CImageLoaderManager* saved_host_ = nullptr;
};

}  // namespace test_support
