// The built-in functions over the sound channels of the game's script host: the sound options
// and volumes, the music with its fades and cross-fade, the numbered channels with theirs,
// character voices and voice ducking. Without sound channels each returns 0. An argument marked
// "65535: absent" takes the row's default when it holds 65535.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] kind 0-4, args[1] the switch or "which", args[2..4] values: 0. Kind 0 the music
// switch; 1 the class switches of the mask args[2]; 2 class switch "which"; 3 the level class
// "which" gets on load; 4 the master switch, master volume or voice volume.
std::uint32_t NativeSetSoundOption(const NativeArgs& args);
// args[0] kind 0-4, args[1] which 0-2: the option; 0 for another kind or which.
std::uint32_t NativeGetSoundOption(const NativeArgs& args);
// args[0] level, args[1] looping or streamed channels only, args[2] class mask: 0.
std::uint32_t NativeSetClassLevel(const NativeArgs& args);
// args[0] volume 0-100, args[1] level 0-256 (-1 keeps either): 0.
std::uint32_t NativeSetBgmVolume(const NativeArgs& args);
std::uint32_t NativeSetBgmPan(const NativeArgs& args);
// args[0] file, args[1] loop flag (65535: absent, looped with no intro), args[2] intro: the
// music's start result.
std::uint32_t NativePlayBgm(const NativeArgs& args);
std::uint32_t NativeStopBgm(const NativeArgs& args);
std::uint32_t NativePauseBgm(const NativeArgs& args);
std::uint32_t NativeResumeBgm(const NativeArgs& args);
// args[0] duration, args[1] target volume: the fade's start result.
std::uint32_t NativeFadeBgmVolume(const NativeArgs& args);
// args[0] duration, args[1] file, args[2] loop flag (65535: looped, no intro), args[3] intro.
std::uint32_t NativeFadeInBgm(const NativeArgs& args);
// args[0] duration: the start result, -1 when no music plays.
std::uint32_t NativeFadeOutBgm(const NativeArgs& args);
// args[0] duration, args[1] file, args[2] loop flag (65535: absent), args[3] intro, args[4]
// overlap (65535: absent), args[5] the new music's volume.
std::uint32_t NativeCrossFadeBgm(const NativeArgs& args);
std::uint32_t NativeIsBgmPlaying(const NativeArgs& args);
// The kind of the music fade that runs (0 none).
std::uint32_t NativeGetBgmByte(const NativeArgs& args);
// The handle of the current music slot's stream, which the music fades work on.
std::uint32_t NativeGetBgmRecord(const NativeArgs& args);
std::uint32_t NativeSetChannelCount(const NativeArgs& args);
std::uint32_t NativeSetChannelVolume(const NativeArgs& args);
std::uint32_t NativeSetChannelPan(const NativeArgs& args);
std::uint32_t NativeSetChannelClass(const NativeArgs& args);
// args[0] channel, args[1] file: 0, 1 bad arguments, 2 the sound does not load.
std::uint32_t NativeLoadChannel(const NativeArgs& args);
std::uint32_t NativeLoadChannelStream(const NativeArgs& args);
std::uint32_t NativeUnloadChannel(const NativeArgs& args);
std::uint32_t NativePlayChannel(const NativeArgs& args);
std::uint32_t NativeStopChannel(const NativeArgs& args);
// args[0] channel, args[1] duration, args[2] target volume: 0, also when the fade does not start.
std::uint32_t NativeFadeChannelVolume(const NativeArgs& args);
// args[0] duration, args[1] file or 0 (loaded already), args[2] channel, args[3] loop flag,
// args[4] streamed flag: the start result.
std::uint32_t NativeFadeInChannel(const NativeArgs& args);
// args[0] duration, args[1] channel: the start result, -1 when the channel does not play.
std::uint32_t NativeFadeOutChannel(const NativeArgs& args);
std::uint32_t NativeIsChannelPlaying(const NativeArgs& args);
std::uint32_t NativeGetChannelFadeState(const NativeArgs& args);
// args[0] channel: the handle of its sound buffer, or of its whole-sound buffer while it holds
// nothing; 0 for a bad channel.
std::uint32_t NativeGetChannel(const NativeArgs& args);
// args[0] channel, args[1] voice name, args[2] count, args[3] onward the count character
// numbers: the voice lookup's result.
std::uint32_t NativePlayCharacterVoice(const NativeArgs& args);
// args[0] voice channel, args[1] text of the fraction of the music's level (0: the settings'
// ducking level): 1 when the ducking started, else 0.
std::uint32_t NativeStartVoiceDucking(const NativeArgs& args);
