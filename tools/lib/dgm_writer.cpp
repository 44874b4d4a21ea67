#include "dgm_writer.h"

#include "base/numbers/byte_cursor.h"

namespace kvxtools {

namespace {

void WriteName(ByteWriter& writer, const std::string& name) {
  writer.Byte(static_cast<uint8_t>(name.size()));
  writer.Text(name);
}

}  // namespace

std::vector<uint8_t> EncodeDgm(const DgmFile& file) {
  ByteWriter writer;
  writer.Text(std::string_view("DGM\0", 4));
  WriteName(writer, file.background);
  writer.Word16(static_cast<uint16_t>(file.stated_count >= 0 ? file.stated_count : file.parts.size()));
  for (const DgmPartRecord& part : file.parts) {
    WriteName(writer, part.picture);
    writer.Byte(part.type);
    writer.Word16(static_cast<uint16_t>(part.x));
    writer.Word16(static_cast<uint16_t>(part.y));
    writer.Byte(part.parameter);
    writer.Byte(part.shown);
    if (part.type == 0 && !file.full_picture_records) continue;
    writer.Word16(part.width);
    writer.Word16(part.height);
    writer.Byte(part.state);
  }
  return writer.Take();
}

}  // namespace kvxtools
