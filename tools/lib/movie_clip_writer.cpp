#include "movie_clip_writer.h"

#include <cmath>
#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace kvxtools {

namespace {

constexpr int kSampleRate = 44100;
constexpr double kToneHertz = 440.0;

struct FormatCloser {
  void operator()(AVFormatContext* format) const {
    if ((format->oformat->flags & AVFMT_NOFILE) == 0) avio_closep(&format->pb);
    avformat_free_context(format);
  }
};
struct CodecCloser {
  void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameCloser {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketCloser {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;

class ClipWriter {
 public:
  ClipWriter(const MovieClipOptions& options, std::string& error) : options_(options), error_(error) {}

  bool Write(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, "avi", path.c_str()) < 0) return Fail("no AVI muxer");
    format_.reset(format);
    packet_.reset(av_packet_alloc());
    if (!packet_ || !OpenVideo() || (options_.tone && !OpenAudio())) return false;
    if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return Fail("cannot create " + path);
    if (avformat_write_header(format_.get(), nullptr) < 0) return Fail("header refused");
    for (int i = 0; i < options_.frames; ++i) {
      if (!EncodePicture(i)) return false;
    }
    if (options_.tone && !EncodeTone()) return false;
    if (!Encode(video_.get(), video_stream_, nullptr) || (options_.tone && !Encode(audio_.get(), audio_stream_, nullptr))) {
      return false;
    }
    if (av_write_trailer(format_.get()) < 0) return Fail("trailer refused");
    return true;
  }

 private:
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
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (codec == nullptr) return Fail("no MPEG-4 encoder");
    video_.reset(avcodec_alloc_context3(codec));
    video_->width = options_.width;
    video_->height = options_.height;
    video_->time_base = AVRational{1, options_.frames_per_second};
    video_->framerate = AVRational{options_.frames_per_second, 1};
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->gop_size = 5;
    video_->bit_rate = 400000;
    AVStream* stream = AddStream(video_);
    if (stream == nullptr || avcodec_open2(video_.get(), codec, nullptr) < 0) return Fail("MPEG-4 encoder refused");
    stream->time_base = video_->time_base;
    if (avcodec_parameters_from_context(stream->codecpar, video_.get()) < 0) return Fail("video parameters");
    video_stream_ = stream;
    return true;
  }

  bool OpenAudio() {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
    if (codec == nullptr) return Fail("no PCM encoder");
    audio_.reset(avcodec_alloc_context3(codec));
    audio_->sample_fmt = AV_SAMPLE_FMT_S16;
    audio_->sample_rate = kSampleRate;
    av_channel_layout_default(&audio_->ch_layout, 2);
    audio_->time_base = AVRational{1, kSampleRate};
    AVStream* stream = AddStream(audio_);
    if (stream == nullptr || avcodec_open2(audio_.get(), codec, nullptr) < 0) return Fail("PCM encoder refused");
    stream->time_base = audio_->time_base;
    if (avcodec_parameters_from_context(stream->codecpar, audio_.get()) < 0) return Fail("audio parameters");
    audio_stream_ = stream;
    return true;
  }

  // Bright diagonal bands that move with the frame number, over colours that change with it.
  bool EncodePicture(int index) {
    FramePtr frame(av_frame_alloc());
    frame->format = video_->pix_fmt;
    frame->width = video_->width;
    frame->height = video_->height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail("no picture memory");
    for (int y = 0; y < frame->height; ++y) {
      for (int x = 0; x < frame->width; ++x) {
        frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(96 + ((x + y + index * 4) % 32) * 4);
      }
    }
    for (int y = 0; y < frame->height / 2; ++y) {
      for (int x = 0; x < frame->width / 2; ++x) {
        frame->data[1][y * frame->linesize[1] + x] = static_cast<uint8_t>(64 + index * 12);
        frame->data[2][y * frame->linesize[2] + x] = static_cast<uint8_t>(192 - index * 12);
      }
    }
    frame->pts = index;
    return Encode(video_.get(), video_stream_, frame.get());
  }

  bool EncodeTone() {
    const int total = kSampleRate * options_.frames / options_.frames_per_second;
    constexpr int kBlock = 1024;
    for (int start = 0; start < total; start += kBlock) {
      FramePtr frame(av_frame_alloc());
      frame->format = audio_->sample_fmt;
      frame->nb_samples = std::min(kBlock, total - start);
      frame->sample_rate = kSampleRate;
      av_channel_layout_copy(&frame->ch_layout, &audio_->ch_layout);
      if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail("no sound memory");
      auto* samples = reinterpret_cast<int16_t*>(frame->data[0]);
      for (int i = 0; i < frame->nb_samples; ++i) {
        const double phase = 2.0 * M_PI * kToneHertz * (start + i) / kSampleRate;
        const auto value = static_cast<int16_t>(std::lround(std::sin(phase) * 16000.0));
        samples[2 * i] = value;
        samples[2 * i + 1] = value;
      }
      frame->pts = start;
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
  std::string& error_;
  FormatPtr format_;
  PacketPtr packet_;
  CodecPtr video_;
  CodecPtr audio_;
  AVStream* video_stream_ = nullptr;
  AVStream* audio_stream_ = nullptr;
};

}  // namespace

bool WriteMovieClip(const std::string& host_path, const MovieClipOptions& options, std::string& error) {
  return ClipWriter(options, error).Write(host_path);
}

}  // namespace kvxtools
