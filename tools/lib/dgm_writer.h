// Writes screen layout files ("DGM") for the tests: a background name and the part records,
// picture parts (type 0) in the short form unless every record is asked for in full.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvxtools {

struct DgmPartRecord {
  std::string picture;
  uint8_t type = 0;
  int16_t x = 0;
  int16_t y = 0;
  uint8_t parameter = 255;
  uint8_t shown = 1;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t state = 0;
};

struct DgmFile {
  std::string background;
  std::vector<DgmPartRecord> parts;
  // Written instead of the number of parts when set.
  int32_t stated_count = -1;
  bool full_picture_records = false;
};

std::vector<uint8_t> EncodeDgm(const DgmFile& file);

}  // namespace kvxtools
