// Reads arbitrary bytes as a save file, whole and at an offset taken from the first byte; a
// state record read from it must survive being written into a save and read back. The header's
// caption, re-flowed for the save screens, keeps to four lines of at most 34 bytes.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/save_file_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  std::vector<std::uint8_t> record;
  const std::uint32_t status = save_file::ReadSaveFile(input, 0, record);
  if (status != 0 && status != 3 && status != 5) std::abort();
  if (status != 0 && !record.empty()) std::abort();
  std::vector<std::uint8_t> at_offset;
  if (size > 0) save_file::ReadSaveFile(input, input[0], at_offset);

  if (const std::optional<save_file::SaveHeader> header = save_file::ReadSaveHeaderFields(input)) {
    const std::string wrapped = save_file::WrapCaption(header->caption);
    std::size_t lines = 1;
    std::size_t line_bytes = 0;
    for (const char c : wrapped) {
      line_bytes = c == '\n' ? 0 : line_bytes + 1;
      if (c == '\n') ++lines;
      if (line_bytes > save_file::kCaptionLineBytes || lines > save_file::kCaptionLines) std::abort();
    }
  }

  if (status == 0) {
    const std::vector<std::uint8_t> thumbnail(save_file::kThumbnailSize, 0x7F);
    const save_file::SaveHeader header{thumbnail, "title", "caption"};
    const std::vector<std::uint8_t> file = save_file::WriteSaveFile(header, PackBlock(record));
    std::vector<std::uint8_t> again;
    if (save_file::ReadSaveFile(file, 0, again) != 0 || again != record) std::abort();
  }
  return 0;
}
