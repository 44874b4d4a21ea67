// The screen layout reader on arbitrary bytes, with short picture records and with every record
// in full. Whatever it accepts must be written back by the layout writer to the bytes it read,
// up to whatever followed the last part.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "dgm_writer.h"
#include "ui/layouts/dgm_layout.h"

namespace {

kvxtools::DgmFile AsWritten(const DgmLayout& layout, DgmRecords records) {
  kvxtools::DgmFile file;
  file.background = layout.background;
  file.full_picture_records = records == DgmRecords::kFull;
  for (const DgmPart& part : layout.parts) {
    file.parts.push_back({part.picture, part.type, part.x, part.y, part.parameter, part.shown, part.size.width,
                          part.size.height, part.size.state});
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (const DgmRecords records : {DgmRecords::kShortPictures, DgmRecords::kFull}) {
    DgmLayout layout;
    if (ParseDgmLayout(bytes, records, layout) != 0) continue;
    const std::vector<std::uint8_t> written = kvxtools::EncodeDgm(AsWritten(layout, records));
    if (written.size() > size || !std::equal(written.begin(), written.end(), data)) std::abort();
  }
  return 0;
}
