// The built-in functions over the sound buffers that scripts create, hold by handle and free
// themselves (the sound output's list), and the operations of any buffer a script holds. A
// handle that is 0, stale or not a sound buffer gets each function's own "no buffer" result.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Every buffer of the list destroyed: 0.
std::uint32_t NativeDestroyAllSoundBuffers(const NativeArgs& args);
// args[0] file, args[1] low byte the load option: the new handle, 0 on failure.
std::uint32_t NativeCreateSoundBuffer(const NativeArgs& args);
// args[0] source: the handle of a buffer sharing its samples; 0 no source or a failure; 2 for
// a streaming source, which cannot share its samples.
std::uint32_t NativeDuplicateSoundBuffer(const NativeArgs& args);
// args[0] file: the new streaming buffer's handle, 0 on failure.
std::uint32_t NativeCreateStreamBuffer(const NativeArgs& args);
// args[0] first part, args[1] looped part: as NativeCreateStreamBuffer.
std::uint32_t NativeCreateStreamBuffer2(const NativeArgs& args);
// args[0] address of the handle word: 0 destroyed (the word cleared), 1 no handle, 2 not a
// buffer of the list (the word kept).
std::uint32_t NativeDestroySoundBuffer(const NativeArgs& args);

// args[0] handle; the operation's result, -1 without a buffer.
std::uint32_t NativeSoundPlay(const NativeArgs& args);
std::uint32_t NativeSoundPlayLooped(const NativeArgs& args);
std::uint32_t NativeSoundPause(const NativeArgs& args);
std::uint32_t NativeSoundResume(const NativeArgs& args);
std::uint32_t NativeSoundStop(const NativeArgs& args);
// args[1] duration in ms, args[2] looped: the fade's start status, -2 without a buffer.
std::uint32_t NativeSoundFade(const NativeArgs& args);
// args[1] duration in ms: the fade-out's start status, -2 without a buffer.
std::uint32_t NativeSoundFade2(const NativeArgs& args);
// The list's buffers all at once: 0.
std::uint32_t NativePauseAllSounds(const NativeArgs& args);
std::uint32_t NativeResumeAllSounds(const NativeArgs& args);
std::uint32_t NativeStopAllSounds(const NativeArgs& args);
// args[1] position in ms: the seek's result, -1.
std::uint32_t NativeSoundSeek(const NativeArgs& args);
// args[1..3] addresses of words for channels, samples per second, bits: the result, -1.
std::uint32_t NativeSoundGetFormat(const NativeArgs& args);
// Position, length in ms: 0 without a buffer.
std::uint32_t NativeSoundGetPosition(const NativeArgs& args);
std::uint32_t NativeSoundGetLength(const NativeArgs& args);
// args[1], args[2] addresses of words for the play and write cursors: 1 playing, else 0.
std::uint32_t NativeSoundIsPlaying(const NativeArgs& args);
// args[1] volume 0-256: the result, -2 without a buffer.
std::uint32_t NativeSoundSetVolume(const NativeArgs& args);
// args[1] pan; args[1] frequency; args[1..3] deltas: the result, -1.
std::uint32_t NativeSoundSetPan(const NativeArgs& args);
std::uint32_t NativeSoundSetFrequency(const NativeArgs& args);
std::uint32_t NativeSoundAdjust(const NativeArgs& args);
// args[1..3] addresses of words for volume, pan, frequency: the result, -1.
std::uint32_t NativeSoundGetVolumePanFrequency(const NativeArgs& args);
// PCM bytes: 0 without a buffer.
std::uint32_t NativeSoundGetSize(const NativeArgs& args);
// args[1] byte offset (args[2] scale): the kept sample or amplitude there; 0 without a buffer
// and for a stream.
std::uint32_t NativeSoundGetSample(const NativeArgs& args);
std::uint32_t NativeSoundGetAmplitude(const NativeArgs& args);
