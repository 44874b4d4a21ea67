// A movie file opened with FFmpeg, from a host path or from the engine's stream through a custom
// I/O context: demuxing, decoding of the first picture stream and the first sound stream, the
// sound resampled to signed 16-bit samples, pictures converted into frame buffers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/files/movie_library_abi.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct SwrContext;
struct SwsContext;

namespace kvxmovie {

struct FrameDeleter {
  void operator()(AVFrame* frame) const;
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

class MediaSource {
 public:
  // Times count from the movie's start: the earlier of its picture stream's and its sound
  // stream's first stamps.
  struct Picture {
    FramePtr frame;
    int64_t pts = 0;  // 100-ns units
  };
  struct Sound {
    std::vector<uint8_t> pcm;
    int64_t at = 0;  // sample frames
  };
  enum class Item { kPicture, kSound, kEnd };

  // Takes the stream (released on failure too). Null when nothing playable opens.
  static std::unique_ptr<MediaSource> Open(KvxMovieStream* stream, const char* path);
  ~MediaSource();
  MediaSource(const MediaSource&) = delete;
  MediaSource& operator=(const MediaSource&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int64_t Duration() const { return duration_; }
  bool HasSound() const { return audio_ != nullptr; }
  int32_t SoundRate() const { return sound_rate_; }
  int32_t SoundChannels() const { return sound_channels_; }

  // Decodes up to the next picture or block of sound (left in `picture` or `sound`).
  Item Next(Picture& picture, Sound& sound);
  // Back to the key frame at or before the time, the sound going on from that time; false when
  // the demuxer refuses.
  bool Seek(int64_t units);
  // Converts a picture into a frame buffer of the movie's size; false for an unknown format.
  bool Convert(const AVFrame* frame, const KvxFrameView& view);

 private:
  MediaSource() = default;
  bool OpenDecoders();
  void FindStart();
  bool Receive(AVCodecContext* codec, Picture& picture, Sound& sound, Item& item);
  int64_t PicturePosition();
  int64_t SoundPosition();
  void Resample(std::vector<uint8_t>& pcm);

  KvxMovieStream* stream_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* video_ = nullptr;
  AVCodecContext* audio_ = nullptr;
  int video_index_ = -1;
  int audio_index_ = -1;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwrContext* resampler_ = nullptr;
  SwsContext* scaler_ = nullptr;
  // Kept apart from the decoder, which may change its own fields while it decodes.
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t sound_rate_ = 0;
  int32_t sound_channels_ = 0;
  int64_t duration_ = 0;
  int64_t start_ = 0;  // the movie's start in 100-ns units of the streams' clock
  bool input_ended_ = false;
  // Where the sound goes on, in sample frames: the end of the last block, or the time of the last
  // seek.
  int64_t sound_next_ = 0;
  bool sound_continues_ = false;
  // Where a picture without a stamp goes: a frame after the last one.
  int64_t picture_next_ = 0;
};

}  // namespace kvxmovie
