#include "anim_file_writer.h"

#include "base/numbers/byte_cursor.h"

namespace kvxtools {

namespace {

constexpr std::size_t kPictureRecordBytes = 12;

void WriteFrames(ByteWriter& out, const std::vector<AnimFrameWords>& frames) {
  out.Word(static_cast<std::uint32_t>(frames.size()));
  for (const AnimFrameWords& frame : frames) {
    for (const std::uint32_t word : frame) out.Word(word);
  }
}

}  // namespace

AnimFrameWords PatternFrame(std::int32_t image, std::uint32_t wait, std::int16_t x, std::int16_t y) {
  return {static_cast<std::uint32_t>(image), wait,
          static_cast<std::uint16_t>(x) | (std::uint32_t{static_cast<std::uint16_t>(y)} << 16), 0};
}

std::vector<std::uint8_t> WriteDag(const DagFileSpec& spec) {
  ByteWriter out;
  out.Text(std::string_view("DAG\0", 4));
  out.Word16(spec.value_a);
  out.Word16(spec.value_b);
  out.Word16(0);
  out.Word16(spec.entry_count);
  out.Word(0);
  out.Word(static_cast<std::uint32_t>(spec.skipped_block.size()));
  out.Bytes(spec.skipped_block);
  WriteFrames(out, spec.frames);
  out.Word(static_cast<std::uint32_t>(spec.pictures.size()));
  std::size_t offset = out.Size() + spec.pictures.size() * kPictureRecordBytes;
  for (const DagPictureSpec& picture : spec.pictures) {
    out.Word(static_cast<std::uint32_t>(picture.file.size()));
    out.Word(static_cast<std::uint32_t>(offset));
    out.Word16(static_cast<std::uint16_t>(picture.key_x));
    out.Word16(static_cast<std::uint16_t>(picture.key_y));
    offset += picture.file.size();
  }
  for (const DagPictureSpec& picture : spec.pictures) out.Bytes(picture.file);
  return out.Take();
}

std::vector<std::uint8_t> WriteDad(const DadFileSpec& spec) {
  ByteWriter out;
  out.Text(std::string_view("DAD\0", 4));
  std::array<std::uint8_t, 12> header = spec.header;
  header[6] = static_cast<std::uint8_t>(spec.entry_count);
  header[7] = static_cast<std::uint8_t>(spec.entry_count >> 8);
  out.Bytes(header);
  out.Word(static_cast<std::uint32_t>(spec.data_block.size()));
  out.Bytes(spec.data_block);
  WriteFrames(out, spec.frames);
  out.Word(static_cast<std::uint32_t>(spec.references.size()));
  for (const DadReferenceSpec& reference : spec.references) {
    out.Word16(static_cast<std::uint16_t>(reference.name.size()));
    out.Text(reference.name);
    out.Word16(reference.first);
    out.Word16(reference.second);
  }
  return out.Take();
}

}  // namespace kvxtools
