#include "builtins/sound_device_builtins.h"

#include <array>
#include <cstdint>

#include "base/files/script_write_rule.h"
#include "base/settings/game_switches.h"
#include "base/system/app_services.h"
#include "builtins/plugin_words.h"
#include "resource/plugins/plugin_args.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "sound/wave_file_writer.h"

namespace {

constexpr std::uint8_t kConfiguredSwitch = 2;
constexpr std::uint32_t kEveryPlugin = 0xFFFFFFFF;
constexpr std::uint32_t kNoAssist = 0xFFFFFFFE;
constexpr std::uint32_t kBadFolder = 0xFFFFFFFF;
constexpr std::uint32_t kDestinationRefused = 3;

// Runs `operation` on the program's decoder host: its result, or `missing` without one.
template <class Operation>
std::uint32_t WithDecoders(std::uint32_t missing, Operation operation) {
  if (g_SoundDecoderManager == nullptr) return missing;
  return static_cast<std::uint32_t>(operation(*g_SoundDecoderManager));
}

}  // namespace

std::uint32_t NativeInitSoundDevice(const NativeArgs& args) {
  if (g_AppServices == nullptr) return 0;
  std::array<std::uint32_t, 3> words{args.U32(0), args.U32(1), args.U32(2)};
  const std::int32_t status = g_AppServices->RequestSoundDeviceSetUp(words);
  ScriptOut(args.Memory(), args.Address()).Set(words[0]);
  std::uint8_t& warning = g_AppServices->SwitchBytes()[kSwitchSoundWarning];
  if (status >= 1 && warning != 0) {
    // The dialog's check box writes into the switch; what it leaves there is then inverted.
    g_AppServices->ShowSoundCardMessage(&warning);
    warning = warning == 0 ? 1 : 0;
  }
  return static_cast<std::uint32_t>(status);
}

std::uint32_t NativeSetDecoderSwitch(const NativeArgs& args) {
  return WithDecoders(0, [&](CSoundDecoderManager& decoders) {
    const std::uint8_t value = args.U8(0);
    const bool configured = g_AppServices != nullptr && g_AppServices->LoadSoundsWholeSetting();
    decoders.SetLoadWhole(value >= kConfiguredSwitch ? configured : value != 0);
    return 0;
  });
}

std::uint32_t NativeLoadSllPlugin(const NativeArgs& args) {
  return WithDecoders(0, [&](CSoundDecoderManager& decoders) { return decoders.LoadDecoderPlugin(args.Str(0)); });
}

std::uint32_t NativeLoadSllPlugins(const NativeArgs& args) {
  return WithDecoders(kBadFolder, [&](CSoundDecoderManager& decoders) { return decoders.LoadDecoderPlugins(args.Str(0)); });
}

std::uint32_t NativeFreeSllPlugin(const NativeArgs& args) {
  return WithDecoders(0, [&](CSoundDecoderManager& decoders) {
    if (args.U32(0) == kEveryPlugin) {
      decoders.UnloadDecoders();
    } else {
      decoders.UnloadDecodersOfType(args.U32(0));
    }
    return 0;
  });
}

std::uint32_t NativeCallSllAssist(const NativeArgs& args) {
  return WithDecoders(kNoAssist, [&](CSoundDecoderManager& decoders) -> std::uint32_t {
    const PluginAssistFunc2 assist = decoders.GetAssistFunc2(args.U32(0));
    if (assist == nullptr) return kNoAssist;
    return static_cast<std::uint32_t>(CallWithNumberWords(assist, args, 1));
  });
}

std::uint32_t NativeDecodeSoundToFile(const NativeArgs& args) {
  const char* destination = args.Str(1);
  if (destination != nullptr && args.Str(0) != nullptr && !MayScriptWriteAt(destination)) return kDestinationRefused;
  return WriteWaveFile(args.Str(0), destination);
}
