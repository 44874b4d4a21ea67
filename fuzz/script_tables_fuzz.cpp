// SCRIPT\SOB_INIT.DAT and SCRIPT\VOICEINF.DAT on arbitrary bytes: what they accept must hold
// together, and nothing may cost more than the data can describe.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "script/read_text_table.h"
#include "sound/voice_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  std::vector<ReadTextRecord> table;
  if (ParseReadTextTable(input, table) == ReadTextTableStatus::kOk) {
    // Each record takes at least five bytes of the data after the count.
    if (table.size() * 5 + 2 > size) std::abort();
    for (const ReadTextRecord& record : table) {
      if (record.name.size() >= 256 || record.read_lines.BitCount() > 0xFFFF || record.choices.BitCount() > 0xFFFF) {
        std::abort();
      }
    }
  }
  if (const std::optional<VoiceTable> voices = ParseVoiceTable(input)) {
    if (voices->extension.size() > 7) std::abort();
    for (const VoiceName& name : voices->names) {
      if (name.character >= voices->characters.size()) std::abort();
    }
  }
  return 0;
}
