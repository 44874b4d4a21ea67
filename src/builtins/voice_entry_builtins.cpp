#include "builtins/voice_entry_builtins.h"

#include <optional>
#include <string>

#include "platform/encoding/text_encoding.h"
#include "script/game_host_access.h"

namespace {

enum VoiceField : std::uint32_t {
  kVolume = 0,
  kEnabled = 1,
  kSecondNameSwitch = 2,
  kName = 3,
  kSecondName = 4,
  kShownName = 5,
  kFirstVoice = 6,
};

constexpr std::uint32_t kMinusOne = static_cast<std::uint32_t>(-1);

std::optional<std::string> TextField(const VoiceTable& table, std::uint32_t record, std::uint32_t field) {
  const VoiceCharacter& character = table.characters[record];
  switch (field) {
    case kName: return character.name;
    case kSecondName: return character.second_name;
    case kShownName:
      if (character.second_name_flag == 0) return character.name;
      return character.second_name ? *character.second_name : plat::Utf8ToSjis("？？？");
    case kFirstVoice:
      for (const VoiceName& voice : table.names) {
        if (voice.character == record) return voice.name;
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace

std::uint32_t NativeSetVoiceEntry(const NativeArgs& args) {
  const std::uint32_t record = args.U32(0);
  const std::uint32_t field = args.U32(1);
  const std::uint32_t value = args.U32(2);
  if (g_GameHost == nullptr) return kMinusOne;
  VoiceTable& table = g_GameHost->Scripts().Voices();
  if (record >= table.characters.size()) return kMinusOne;
  VoiceCharacter& character = table.characters[record];
  switch (field) {
    case kVolume: character.volume = value; return 0;
    case kEnabled: character.enabled = static_cast<std::uint8_t>(value); return 0;
    case kSecondNameSwitch: character.second_name_flag = static_cast<std::uint8_t>(value); return 0;
    default: return kMinusOne;
  }
}

std::uint32_t NativeGetVoiceEntry(const NativeArgs& args) {
  const std::uint32_t record = args.U32(0);
  const std::uint32_t field = args.U32(1);
  return WithGameHost([record, field](IGameHost& host) -> std::uint32_t {
    CScriptHost& scripts = host.Scripts();
    const VoiceTable& table = scripts.Voices();
    if (record >= table.characters.size()) return static_cast<std::uint32_t>(table.characters.size());
    const VoiceCharacter& character = table.characters[record];
    switch (field) {
      case kVolume: return character.volume;
      case kEnabled: return character.enabled;
      case kSecondNameSwitch: return character.second_name_flag;
      default: break;
    }
    const std::optional<std::string> text = TextField(table, record, field);
    return text ? scripts.VoiceTextExport().Export(*text) : 0;
  });
}
