// The result codes, flags and formats of the sound layer's buffers, with the values the engine
// tests for: 0 is success, every failure has the high bit set.
#pragma once

#include <cstdint>

namespace plat {

inline constexpr uint32_t DS_OK = 0;
inline constexpr uint32_t DSERR_INVALIDPARAM = 0x80070057;
inline constexpr uint32_t DSERR_OUTOFMEMORY = 0x8007000E;
inline constexpr uint32_t DSERR_CONTROLUNAVAIL = 0x8878001E;
inline constexpr uint32_t DSERR_INVALIDCALL = 0x88780032;
inline constexpr uint32_t DSERR_PRIOLEVELNEEDED = 0x88780046;
inline constexpr uint32_t DSERR_BADFORMAT = 0x88780064;
inline constexpr uint32_t DSERR_NODRIVER = 0x88780078;
inline constexpr uint32_t DSERR_BUFFERLOST = 0x88780096;
inline constexpr uint32_t DSERR_UNINITIALIZED = 0x887800AA;

constexpr bool SoundFailed(uint32_t result) { return (result & 0x80000000u) != 0; }

// Buffer capabilities.
inline constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
inline constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
inline constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

inline constexpr uint32_t DSBPLAY_LOOPING = 0x1;
inline constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr uint32_t DSBSTATUS_LOOPING = 0x4;

inline constexpr uint32_t DSBLOCK_FROMWRITECURSOR = 0x1;
inline constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x2;

inline constexpr int32_t DSSCL_NORMAL = 1;
inline constexpr int32_t DSSCL_PRIORITY = 2;
inline constexpr int32_t DSSCL_EXCLUSIVE = 3;
inline constexpr int32_t DSSCL_WRITEPRIMARY = 4;

// Volume in hundredths of a decibel; the minimum is silence.
inline constexpr int32_t DSBVOLUME_MIN = -10000;
inline constexpr int32_t DSBVOLUME_MAX = 0;
inline constexpr int32_t DSBPAN_LEFT = -10000;
inline constexpr int32_t DSBPAN_RIGHT = 10000;
inline constexpr uint32_t DSBFREQUENCY_ORIGINAL = 0;
inline constexpr uint32_t DSBFREQUENCY_MIN = 100;
inline constexpr uint32_t DSBFREQUENCY_MAX = 200000;
inline constexpr uint32_t DSBSIZE_MIN = 4;
inline constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

// The notification offset that fires when the buffer stops.
inline constexpr uint32_t DSBPN_OFFSETSTOP = 0xFFFFFFFF;

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WaveFormat {
  uint16_t format_tag = WAVE_FORMAT_PCM;
  uint16_t channels = 0;
  uint32_t samples_per_sec = 0;
  uint32_t avg_bytes_per_sec = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;
  uint16_t extra_size = 0;
  bool operator==(const WaveFormat&) const = default;
};

// The mixer plays 8-bit unsigned and 16-bit signed PCM, mono or stereo, with a consistent block
// alignment and a rate DirectSound-style frequencies allow.
bool IsPlayableFormat(const WaveFormat& format);

}  // namespace plat
