// The character-voice table of SCRIPT\VOICEINF.DAT: the characters with their voice settings and
// the voice names that belong to each, and the extension of the voice files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct VoiceCharacter {
  std::string name;
  std::optional<std::string> second_name;
  std::uint32_t volume = 256;  // 0 to 256
  std::uint8_t enabled = 1;
  std::uint8_t second_name_flag = 0;  // set when the table gives the character a second-name field
};

struct VoiceName {
  std::string name;
  std::uint32_t character = 0;  // its place in the character table
};

inline constexpr std::size_t kVoiceExtensionSize = 8;  // at most 7 characters and the zero

struct VoiceTable {
  std::vector<VoiceCharacter> characters;
  std::vector<VoiceName> names;
  std::string extension;
};

// Layout, little-endian: u8 n and n bytes holding the extension (up to a zero); u32 voice-name
// count A; u32 character count B; B records {u8 n, n bytes of name; u8 m, m bytes of second name
// (0 none, 1 a byte skipped and no name, more the name); u32 k; k records {u8 n, n bytes of voice
// name}}. Nothing when a record runs past the data, the voice names outnumber A, or the extension
// does not fit its buffer.
std::optional<VoiceTable> ParseVoiceTable(std::span<const std::uint8_t> bytes);
