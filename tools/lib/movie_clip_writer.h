// Writes short movie clips for tests with FFmpeg's own encoders, in each container and codec pair
// the movie library must play. A clip holds pictures that change from frame to frame and, when
// asked, a 16-bit stereo sine tone; or, for measuring sound against picture, flashes and beeps:
// the lower half of the picture is white and a beep sounds at the middle frame of every second,
// and the upper half spells the frame number in eight black or white blocks.
#pragma once

#include <cstdint>
#include <string>

namespace kvxtools {

enum class MovieClipFormat {
  kAviMpeg4Pcm,    // .avi: MPEG-4 pictures, PCM sound
  kMp4H264Aac,     // .mp4: H.264 pictures, AAC sound
  kAviMpeg4Mp3,    // .avi: MPEG-4 pictures, MP3 sound
  kAsfWmv2Wma2,    // .wmv: WMV2 pictures, WMA2 sound
  kMpegMpeg1Mp2,   // .mpg: MPEG-1 pictures, MP2 sound
};

struct MovieClipOptions {
  int width = 64;
  int height = 48;
  int frames = 10;
  int frames_per_second = 25;
  bool tone = true;  // 440 Hz for as long as the pictures last
  MovieClipFormat format = MovieClipFormat::kAviMpeg4Pcm;
  bool flashes = false;  // flashes and beeps in place of the pictures and the tone
  bool colour_bars = false;  // moving colour bars in place of the pictures
};

// The bars of a colour-bar clip: this many, side by side, each a width'th of the picture wide,
// moving this many pixels to the right from one picture to the next (coming back in at the left).
constexpr int kMovieClipBars = 8;
constexpr int kMovieClipBarStep = 2;
// The 0xRRGGBB colour at column `x` of picture `frame` of a colour-bar clip `width` pixels wide.
uint32_t MovieClipBarColour(int x, int frame, int width);

// The rate of the sound in every clip.
constexpr int kMovieClipSampleRate = 44100;
// A beep of a flash-and-beep clip: a 1 kHz tone this long.
constexpr int kMovieClipBeepMilliseconds = 100;

// "H.264/AAC .mp4" and the like.
std::string MovieClipFormatName(MovieClipFormat format);
// "mp4" and the like.
std::string MovieClipExtension(MovieClipFormat format);
// The frames of a flash-and-beep clip that flash (and beep).
bool IsFlashFrame(int frame, int frames_per_second);

// False with a reason in `error` when the clip cannot be written (an encoder or a muxer missing
// from the installed FFmpeg among them).
bool WriteMovieClip(const std::string& host_path, const MovieClipOptions& options, std::string& error);

}  // namespace kvxtools
