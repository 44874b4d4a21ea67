#include "support/image_host_fixture.h"

#include "resource/pictures/elg_decoder.h"

namespace test_support {

void ImageHostTest::SetUp() {
  DataFilesTest::SetUp();
  ASSERT_EQ(RegisterElgDecoder(host_), 0u);
  saved_host_ = g_GllHost;
  g_GllHost = &host_;
}

void ImageHostTest::TearDown() {
  g_GllHost = saved_host_;
  DataFilesTest::TearDown();
}

}  // namespace test_support
