// A fixture whose tests load ELG pictures that they write into a temporary game folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "elg_encoder.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "support/data_files_fixture.h"
#include "support/temp_game_folder.h"

namespace gui_test {

// A 32-bit ELG picture in the folder of frames side by side, frame f filled with colours[f]
// (0xAARRGGBB).
inline void WriteFramesElg(const test_support::TempGameFolder& folder, const std::string& name, uint16_t frame_width,
                           uint16_t height, const std::vector<uint32_t>& colours) {
  kvxtools::ElgPicture picture;
  picture.width = static_cast<uint16_t>(colours.size() * frame_width);
  picture.height = height;
  for (uint16_t y = 0; y < height; ++y) {
    for (uint16_t x = 0; x < picture.width; ++x) {
      const uint32_t colour = colours[x / frame_width];
      picture.pixels.insert(picture.pixels.end(), {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                                                   static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 24)});
    }
  }
  const std::vector<uint8_t> file = kvxtools::EncodeElg(picture);
  folder.WriteFile(name, std::string(file.begin(), file.end()));
}

class PictureFilesTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterElgDecoder(host_), 0u);
    saved_host_ = g_GllHost;
    g_GllHost = &host_;
  }
  void TearDown() override {
    g_GllHost = saved_host_;
    DataFilesTest::TearDown();
  }
  void WriteFrames(const std::string& name, uint16_t frame_width, uint16_t height, const std::vector<uint32_t>& colours) {
    WriteFramesElg(game_, name, frame_width, height, colours);
  }

 private:
  CImageLoaderManager host_{[] { return uint64_t{1} << 30; }};
  CImageLoaderManager* saved_host_ = nullptr;
};

}  // namespace gui_test
