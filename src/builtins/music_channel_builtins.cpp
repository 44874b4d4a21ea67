#include "builtins/music_channel_builtins.h"

#include <memory>
#include <vector>

#include "builtins/script_task.h"
#include "builtins/voice_ducking.h"
#include "sound/bgm_fade_tasks.h"
#include "sound/channel_fade_tasks.h"
#include "sound/fade_task_start.h"
#include "sound/sound_channel_manager.h"
#include "sound/voice_ducking_task.h"

namespace {

enum OptionKind : std::uint32_t { kMusicSwitch, kClassSwitches, kClassSwitch, kClassLevel, kMasterOption };
constexpr std::uint32_t kOptionsPerKind = 3;

// Runs `operation` on the sound channels: its result, or 0 without them.
template <class Operation>
std::uint32_t WithChannels(Operation operation) {
  if (g_SoundChannels == nullptr) return 0;
  return static_cast<std::uint32_t>(operation(*g_SoundChannels));
}

// The class bit of class switch 0, 1 or 2.
std::uint8_t ClassOfSwitch(std::uint32_t which) { return static_cast<std::uint8_t>(1U << which); }

bool IsAbsent(const NativeArgs& args, std::uint32_t i) { return args.U32(i) == kAbsentArgumentGroup; }

}  // namespace

std::uint32_t NativeSetSoundOption(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    const std::uint32_t kind = args.U32(0);
    const std::uint32_t which = args.U32(1);
    if (kind == kMusicSwitch) {
      channels.SetBgmEnabled(which != 0, false);
    } else if (kind == kClassSwitches) {
      channels.SetChannelClassEnabled(which != 0, args.U8(2), args.Flag(3), args.Flag(4));
    } else if (which >= kOptionsPerKind) {
      return 0;
    } else if (kind == kClassSwitch && which == 0) {
      // Switch 0 goes through the class switches so that its playing sounds follow it.
      channels.SetChannelClassEnabled(args.Flag(2), CSoundChannelManager::kSoundEffectClass, true, false);
    } else if (kind == kClassSwitch) {
      channels.SetClassSwitch(ClassOfSwitch(which), args.Flag(2));
    } else if (kind == kClassLevel) {
      channels.default_levels[which] = args.I32(2);
    } else if (kind == kMasterOption && which == 0) {
      channels.SetSoundEnabled(args.Flag(2), args.Flag(3));
    } else if (kind == kMasterOption && which == 1) {
      channels.SetMasterVolume(args.I32(2), args.Flag(3));
    } else if (kind == kMasterOption) {
      channels.SetVoiceVolume(args.I32(2));
    }
    return 0;
  });
}

std::uint32_t NativeGetSoundOption(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) -> std::int32_t {
    const std::uint32_t kind = args.U32(0);
    const std::uint32_t which = kind == kClassSwitches ? 0 : args.U32(1);
    if (kind == kMusicSwitch) return channels.IsBgmEnabled() ? 1 : 0;
    if (which >= kOptionsPerKind) return 0;
    if (kind == kClassSwitches || kind == kClassSwitch) return channels.IsClassEnabled(ClassOfSwitch(which)) ? 1 : 0;
    if (kind == kClassLevel) return channels.default_levels[which];
    if (kind != kMasterOption) return 0;
    if (which == 0) return channels.IsSoundEnabled() ? 1 : 0;
    return which == 1 ? channels.GetMasterVolume() : channels.GetVoiceVolume();
  });
}

std::uint32_t NativeSetClassLevel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    channels.SetClassLevel(args.I32(0), args.Flag(1), args.U8(2));
    return 0;
  });
}

std::uint32_t NativeSetBgmVolume(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    channels.SetBgmVolume(args.I32(0), args.I32(1), true);
    return 0;
  });
}

std::uint32_t NativeSetBgmPan(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    channels.SetBgmPan(args.I32(0));
    return 0;
  });
}

std::uint32_t NativePlayBgm(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    if (IsAbsent(args, 1)) return channels.PlayBgm(args.Str(0), nullptr, true);
    return channels.PlayBgm(args.Str(0), args.Str(2), args.Flag(1));
  });
}

std::uint32_t NativeStopBgm(const NativeArgs& /*args*/) {
  return WithChannels([](CSoundChannelManager& channels) {
    channels.StopBgm();
    return 0;
  });
}

std::uint32_t NativePauseBgm(const NativeArgs& /*args*/) {
  return WithChannels([](CSoundChannelManager& channels) { return channels.PauseBgm(); });
}

std::uint32_t NativeResumeBgm(const NativeArgs& /*args*/) {
  return WithChannels([](CSoundChannelManager& channels) { return channels.ResumeBgm(); });
}

std::uint32_t NativeFadeBgmVolume(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    return StartFadeTask(std::make_unique<CBgmVolumeFadeTask>(args.U32(0), args.I32(1)), &channels,
                         &channels.CurrentBgm());
  });
}

std::uint32_t NativeFadeInBgm(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    auto task = std::make_unique<CBgmFadeInTask>(args.U32(0));
    if (IsAbsent(args, 2)) return StartFadeTask(std::move(task), &channels, &channels.CurrentBgm(), args.Str(1), nullptr, true);
    return StartFadeTask(std::move(task), &channels, &channels.CurrentBgm(), args.Str(1), args.Str(3), args.Flag(2));
  });
}

std::uint32_t NativeFadeOutBgm(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    return StartFadeTask(std::make_unique<CBgmFadeOutTask>(args.U32(0)), &channels, &channels.CurrentBgm());
  });
}

std::uint32_t NativeCrossFadeBgm(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    const bool plain = IsAbsent(args, 2);
    const bool overlap_absent = plain || IsAbsent(args, 4);
    const std::uint32_t overlap = overlap_absent ? args.U32(0) : args.U32(4);
    auto task = std::make_unique<CBgmCrossFadeTask>(args.U32(0), overlap);
    if (plain) return StartFadeTask(std::move(task), &channels, args.Str(1), nullptr, true, -1);
    const std::int32_t volume = overlap_absent ? -1 : args.I32(5);
    return StartFadeTask(std::move(task), &channels, args.Str(1), args.Str(3), args.Flag(2), volume);
  });
}

std::uint32_t NativeIsBgmPlaying(const NativeArgs& /*args*/) {
  return WithChannels([](CSoundChannelManager& channels) { return channels.IsBgmPlaying() ? 1 : 0; });
}

std::uint32_t NativeGetBgmByte(const NativeArgs& /*args*/) {
  return WithChannels([](CSoundChannelManager& channels) { return channels.bgm_fade_kind; });
}

std::uint32_t NativeGetBgmRecord(const NativeArgs& args) {
  return WithChannels(
      [&](CSoundChannelManager& channels) { return channels.CurrentBgm().stream.ScriptHandle(args.Handles()); });
}

std::uint32_t NativeSetChannelCount(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.SetChannelCount(args.I32(0)); });
}

std::uint32_t NativeSetChannelVolume(const NativeArgs& args) {
  return WithChannels(
      [&](CSoundChannelManager& channels) { return channels.SetChannelVolume(args.I32(0), args.I32(1), args.I32(2)); });
}

std::uint32_t NativeSetChannelPan(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.SetChannelPan(args.I32(0), args.I32(1)); });
}

std::uint32_t NativeSetChannelClass(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.SetChannelClass(args.I32(0), args.U8(1)); });
}

std::uint32_t NativeLoadChannel(const NativeArgs& args) {
  return WithChannels(
      [&](CSoundChannelManager& channels) { return channels.LoadChannel(args.I32(0), args.Str(1), 0, false); });
}

std::uint32_t NativeLoadChannelStream(const NativeArgs& args) {
  return WithChannels(
      [&](CSoundChannelManager& channels) { return channels.LoadChannel(args.I32(0), args.Str(1), 0, true); });
}

std::uint32_t NativeUnloadChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    channels.UnloadChannel(args.I32(0));
    return 0;
  });
}

std::uint32_t NativePlayChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.PlayChannel(args.I32(0), args.Flag(1)); });
}

std::uint32_t NativeStopChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.StopChannel(args.I32(0)); });
}

std::uint32_t NativeFadeChannelVolume(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    StartFadeTask(std::make_unique<CChannelVolumeFadeTask>(args.U32(1), args.I32(2)), &channels, args.I32(0));
    return 0;
  });
}

std::uint32_t NativeFadeInChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    return StartFadeTask(std::make_unique<CChannelFadeInTask>(args.U32(0)), &channels, args.Str(1), args.I32(2),
                         args.Flag(3), args.Flag(4));
  });
}

std::uint32_t NativeFadeOutChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    return StartFadeTask(std::make_unique<CChannelFadeOutTask>(args.U32(0)), &channels, args.I32(1));
  });
}

std::uint32_t NativeIsChannelPlaying(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.IsChannelPlaying(args.I32(0)) ? 1 : 0; });
}

std::uint32_t NativeGetChannelFadeState(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) { return channels.GetChannelFadeState(args.I32(0)); });
}

std::uint32_t NativeGetChannel(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) -> std::uint32_t {
    SoundChannel* record = channels.GetChannel(args.I32(0));
    if (record == nullptr) return 0;
    CSoundBuffer& buffer = record->active != nullptr ? *record->active : record->buffer;
    return buffer.ScriptHandle(args.Handles());
  });
}

std::uint32_t NativePlayCharacterVoice(const NativeArgs& args) {
  return WithChannels([&](CSoundChannelManager& channels) {
    const std::int32_t count = args.I32(2);
    std::vector<std::int32_t> list;
    if (count > 0) {
      // The last word first, so that a count past the script's memory faults before any
      // allocation.
      const NativeArgs words = args.From(3);
      static_cast<void>(words.U32(static_cast<std::uint32_t>(count - 1)));
      list.reserve(static_cast<std::size_t>(count));
      for (std::int32_t i = 0; i < count; ++i) list.push_back(words.I32(static_cast<std::uint32_t>(i)));
    }
    return channels.PlayCharacterVoice(args.I32(0), args.Str(1), count, list.data());
  });
}

std::uint32_t NativeStartVoiceDucking(const NativeArgs& args) {
  return TaskHandle(StartVoiceDuckingPercent(args.I32(0), args.Str(1)), args.Handles());
}
