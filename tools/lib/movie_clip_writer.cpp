#include "movie_clip_writer.h"

#include <cmath>
#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "ffmpeg_pointers.h"

namespace kvxtools {

namespace {

constexpr double kToneHertz = 440.0;
constexpr double kBeepHertz = 1000.0;
constexpr int kBitBlocks = 8;
constexpr uint32_t kBarColours[kMovieClipBars] = {0xE03030, 0xE0A030, 0xE0E040, 0x40C040,
                                                  0x40C0E0, 0x4060E0, 0xA050D0, 0xF0F0F0};

// Studio-range BT.601, the encoders' and the decoders' default for pictures this size.
uint8_t LumaOf(uint32_t rgb) {
  const int r = static_cast<int>(rgb >> 16 & 0xFF), g = static_cast<int>(rgb >> 8 & 0xFF), b = static_cast<int>(rgb & 0xFF);
  return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}
uint8_t BlueDifferenceOf(uint32_t rgb) {
  const int r = static_cast<int>(rgb >> 16 & 0xFF), g = static_cast<int>(rgb >> 8 & 0xFF), b = static_cast<int>(rgb & 0xFF);
  return static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
}
uint8_t RedDifferenceOf(uint32_t rgb) {
  const int r = static_cast<int>(rgb >> 16 & 0xFF), g = static_cast<int>(rgb >> 8 & 0xFF), b = static_cast<int>(rgb & 0xFF);
  return static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
}

struct ClipFormat {
  const char* name;
  const char* extension;
  const char* muxer;
  const char* video_encoder;
  const char* audio_encoder;
};

ClipFormat FormatOf(MovieClipFormat format) {
  switch (format) {
    case MovieClipFormat::kMp4H264Aac:
      return {"H.264/AAC .mp4", "mp4", "mp4", "libx264", "aac"};
    case MovieClipFormat::kAviMpeg4Mp3:
      return {"MPEG-4/MP3 .avi", "avi", "avi", "mpeg4", "libmp3lame"};
    case MovieClipFormat::kAsfWmv2Wma2:
      return {"WMV2/WMA2 .wmv", "wmv", "asf", "wmv2", "wmav2"};
    case MovieClipFormat::kMpegMpeg1Mp2:
      return {"MPEG-1/MP2 .mpg", "mpg", "mpeg", "mpeg1video", "mp2"};
    case MovieClipFormat::kAviMpeg4Pcm:
      break;
  }
  return {"MPEG-4/PCM .avi", "avi", "avi", "mpeg4", "pcm_s16le"};
}

struct FormatCloser {
  void operator()(AVFormatContext* format) const {
    if ((format->oformat->flags & AVFMT_NOFILE) == 0) avio_closep(&format->pb);
    avformat_free_context(format);
  }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;

// Writes one sample (-1 to 1) of a channel in any of the formats the clips' encoders take.
bool PutSample(AVFrame& frame, int channel, int index, double value) {
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const int channels = frame.ch_layout.nb_channels;
  const bool planar = av_sample_fmt_is_planar(format) != 0;
  const int plane = planar ? channel : 0;
  const int slot = planar ? index : index * channels + channel;
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_S16:
      reinterpret_cast<int16_t*>(frame.extended_data[plane])[slot] = static_cast<int16_t>(std::lround(value * 32767.0));
      return true;
    case AV_SAMPLE_FMT_S32:
      reinterpret_cast<int32_t*>(frame.extended_data[plane])[slot] =
          static_cast<int32_t>(std::lround(value * 2147483647.0));
      return true;
    case AV_SAMPLE_FMT_FLT:
      reinterpret_cast<float*>(frame.extended_data[plane])[slot] = static_cast<float>(value);
      return true;
    default:
      return false;
  }
}

class ClipWriter {
 public:
  ClipWriter(const MovieClipOptions& options, std::string& error)
      : options_(options), format_info_(FormatOf(options.format)), error_(error) {}

  bool Write(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, format_info_.muxer, path.c_str()) < 0) {
      return Fail(std::string("no ") + format_info_.muxer + " muxer");
    }
    format_.reset(format);
    packet_.reset(av_packet_alloc());
    if (!packet_ || !OpenVideo() || (HasSound() && !OpenAudio())) return false;
    if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail("cannot create " + path);
    if (avformat_write_header(format_.get(), nullptr) < 0) return Fail("header refused");
    // Pictures and sound go in second by second, so that the muxer interleaves them as usual.
    const int total_samples = kMovieClipSampleRate * options_.frames / options_.frames_per_second;
    for (int picture = 0; picture < options_.frames; ++picture) {
      if (!EncodePicture(picture)) return false;
      if (HasSound() && !EncodeSoundUpTo(kMovieClipSampleRate * (picture + 1) / options_.frames_per_second)) {
        return false;
      }
    }
    if (HasSound() && !EncodeSoundUpTo(total_samples, true)) return false;
    if (!Encode(video_.get(), video_stream_, nullptr) || (HasSound() && !Encode(audio_.get(), audio_stream_, nullptr))) {
      return false;
    }
    if (av_write_trailer(format_.get()) < 0) return Fail("trailer refused");
    return true;
  }

 private:
  bool HasSound() const { return options_.tone || options_.flashes; }

  bool Fail(const std::string& reason) {
    error_ = reason;
    return false;
  }

  AVStream* AddStream(const CodecPtr& codec) {
    AVStream* stream = avformat_new_stream(format_.get(), nullptr);
    if (stream == nullptr) return nullptr;
    if ((format_->oformat->flags & AVFMT_GLOBALHEADER) != 0) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return stream;
  }

  bool OpenVideo() {
    const AVCodec* codec = avcodec_find_encoder_by_name(format_info_.video_encoder);
    if (codec == nullptr) return Fail(std::string("no ") + format_info_.video_encoder + " encoder");
    video_.reset(avcodec_alloc_context3(codec));
    video_->width = options_.width;
    video_->height = options_.height;
    video_->time_base = AVRational{1, options_.frames_per_second};
    video_->framerate = AVRational{options_.frames_per_second, 1};
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->gop_size = 5;
    video_->bit_rate = 400000;
    AVStream* stream = AddStream(video_);
    if (stream == nullptr || avcodec_open2(video_.get(), codec, nullptr) < 0) {
      return Fail(std::string(format_info_.video_encoder) + " encoder refused");
    }
    stream->time_base = video_->time_base;
    if (avcodec_parameters_from_context(stream->codecpar, video_.get()) < 0) return Fail("video parameters");
    video_stream_ = stream;
    return true;
  }

  bool OpenAudio() {
    const AVCodec* codec = avcodec_find_encoder_by_name(format_info_.audio_encoder);
    if (codec == nullptr) return Fail(std::string("no ") + format_info_.audio_encoder + " encoder");
    audio_.reset(avcodec_alloc_context3(codec));
    audio_->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    audio_->sample_rate = kMovieClipSampleRate;
    audio_->bit_rate = 128000;
    av_channel_layout_default(&audio_->ch_layout, 2);
    audio_->time_base = AVRational{1, kMovieClipSampleRate};
    AVStream* stream = AddStream(audio_);
    if (stream == nullptr || avcodec_open2(audio_.get(), codec, nullptr) < 0) {
      return Fail(std::string(format_info_.audio_encoder) + " encoder refused");
    }
    stream->time_base = audio_->time_base;
    if (avcodec_parameters_from_context(stream->codecpar, audio_.get()) < 0) return Fail("audio parameters");
    audio_stream_ = stream;
    return true;
  }

  bool EncodePicture(int index) {
    FramePtr frame(av_frame_alloc());
    frame->format = video_->pix_fmt;
    frame->width = video_->width;
    frame->height = video_->height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail("no picture memory");
    if (options_.flashes) {
      DrawFlashPicture(*frame, index);
    } else if (options_.colour_bars) {
      DrawColourBars(*frame, index);
    } else {
      DrawBands(*frame, index);
    }
    frame->pts = index;
    return Encode(video_.get(), video_stream_, frame.get());
  }

  // Bright diagonal bands that move with the frame number, over colours that change with it.
  static void DrawBands(AVFrame& frame, int index) {
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        frame.data[0][y * frame.linesize[0] + x] = static_cast<uint8_t>(96 + ((x + y + index * 4) % 32) * 4);
      }
    }
    for (int y = 0; y < frame.height / 2; ++y) {
      for (int x = 0; x < frame.width / 2; ++x) {
        frame.data[1][y * frame.linesize[1] + x] = static_cast<uint8_t>(64 + index * 12);
        frame.data[2][y * frame.linesize[2] + x] = static_cast<uint8_t>(192 - index * 12);
      }
    }
  }

  static void DrawColourBars(AVFrame& frame, int index) {
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        frame.data[0][y * frame.linesize[0] + x] = LumaOf(MovieClipBarColour(x, index, frame.width));
      }
    }
    for (int y = 0; y < (frame.height + 1) / 2; ++y) {
      for (int x = 0; x < (frame.width + 1) / 2; ++x) {
        const uint32_t colour = MovieClipBarColour(2 * x, index, frame.width);
        frame.data[1][y * frame.linesize[1] + x] = BlueDifferenceOf(colour);
        frame.data[2][y * frame.linesize[2] + x] = RedDifferenceOf(colour);
      }
    }
  }

  // Grey: the frame number's bits as blocks above, the flash below.
  void DrawFlashPicture(AVFrame& frame, int index) const {
    const int half = frame.height / 2;
    const bool flash = IsFlashFrame(index, options_.frames_per_second);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        const int bit = (y * 2 / half) * (kBitBlocks / 2) + x * (kBitBlocks / 2) / frame.width;
        const bool white = y < half ? ((index >> bit) & 1) != 0 : flash;
        frame.data[0][y * frame.linesize[0] + x] = white ? 235 : 16;
      }
    }
    for (int plane = 1; plane < 3; ++plane) {
      for (int y = 0; y < (frame.height + 1) / 2; ++y) {
        for (int x = 0; x < (frame.width + 1) / 2; ++x) frame.data[plane][y * frame.linesize[plane] + x] = 128;
      }
    }
  }

  double SampleAt(int sample) const {
    if (!options_.flashes) return std::sin(2.0 * M_PI * kToneHertz * sample / kMovieClipSampleRate) * 0.5;
    // The beep starts with the flash frame and lasts its fixed length.
    const int fps = options_.frames_per_second;
    const int frame = static_cast<int>(int64_t{sample} * fps / kMovieClipSampleRate);
    for (int flash = frame; flash >= 0 && flash > frame - fps; --flash) {
      if (!IsFlashFrame(flash, fps)) continue;
      const int since = sample - static_cast<int>(int64_t{flash} * kMovieClipSampleRate / fps);
      if (since >= kMovieClipSampleRate * kMovieClipBeepMilliseconds / 1000) return 0.0;
      return std::sin(2.0 * M_PI * kBeepHertz * since / kMovieClipSampleRate) * 0.5;
    }
    return 0.0;
  }

  // Encodes the sound up to `end` in the encoder's frame size; the last, short block only when
  // `last` says that no more follows.
  bool EncodeSoundUpTo(int end, bool last = false) {
    const int block = audio_->frame_size > 0 ? audio_->frame_size : 1024;
    while (samples_done_ < end && (last || end - samples_done_ >= block)) {
      FramePtr frame(av_frame_alloc());
      frame->format = audio_->sample_fmt;
      frame->nb_samples = std::min(block, end - samples_done_);
      frame->sample_rate = kMovieClipSampleRate;
      av_channel_layout_copy(&frame->ch_layout, &audio_->ch_layout);
      if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail("no sound memory");
      for (int i = 0; i < frame->nb_samples; ++i) {
        const double value = SampleAt(samples_done_ + i);
        if (!PutSample(*frame, 0, i, value) || !PutSample(*frame, 1, i, value)) return Fail("unknown sample format");
      }
      frame->pts = samples_done_;
      samples_done_ += frame->nb_samples;
      if (!Encode(audio_.get(), audio_stream_, frame.get())) return false;
    }
    return true;
  }

  bool Encode(AVCodecContext* codec, AVStream* stream, const AVFrame* frame) {
    if (avcodec_send_frame(codec, frame) < 0) return Fail("encoder refused a frame");
    for (;;) {
      const int received = avcodec_receive_packet(codec, packet_.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
      if (received < 0) return Fail("encoder failed");
      av_packet_rescale_ts(packet_.get(), codec->time_base, stream->time_base);
      packet_->stream_index = stream->index;
      if (av_interleaved_write_frame(format_.get(), packet_.get()) < 0) return Fail("muxer refused a packet");
    }
  }

  const MovieClipOptions& options_;
  const ClipFormat format_info_;
  std::string& error_;
  FormatPtr format_;
  PacketPtr packet_;
  CodecPtr video_;
  CodecPtr audio_;
  AVStream* video_stream_ = nullptr;
  AVStream* audio_stream_ = nullptr;
  int samples_done_ = 0;
};

}  // namespace

std::string MovieClipFormatName(MovieClipFormat format) { return FormatOf(format).name; }

std::string MovieClipExtension(MovieClipFormat format) { return FormatOf(format).extension; }

uint32_t MovieClipBarColour(int x, int frame, int width) {
  if (width <= 0) return 0;
  const int64_t shifted = ((int64_t{x} - int64_t{frame} * kMovieClipBarStep) % width + width) % width;
  return kBarColours[shifted * kMovieClipBars / width];
}

bool IsFlashFrame(int frame, int frames_per_second) { return frame % frames_per_second == frames_per_second / 2; }

bool WriteMovieClip(const std::string& host_path, const MovieClipOptions& options, std::string& error) {
  // The encoders' reports of their choices would bury the tests' own output.
  const int level = av_log_get_level();
  av_log_set_level(AV_LOG_ERROR);
  const bool written = ClipWriter(options, error).Write(host_path);
  av_log_set_level(level);
  return written;
}

}  // namespace kvxtools
