#include "media_source.h"

#include "ffmpeg_log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kvxmovie {

namespace {

constexpr int kIoBufferBytes = 32 * 1024;
constexpr int64_t kUnitsPerSecond = 10'000'000;
const AVRational kUnitTimeBase{1, static_cast<int>(kUnitsPerSecond)};
// FFmpeg's own time base, which its header gives as a C compound literal that C++ has not.
const AVRational kAvTimeBase{1, AV_TIME_BASE};

int ReadStream(void* opaque, uint8_t* buffer, int bytes) {
  auto* stream = static_cast<KvxMovieStream*>(opaque);
  const int32_t read = stream->read(stream->owner, buffer, bytes);
  if (read < 0) return AVERROR(EIO);
  return read == 0 ? AVERROR_EOF : read;
}

int64_t SeekStream(void* opaque, int64_t offset, int whence) {
  auto* stream = static_cast<KvxMovieStream*>(opaque);
  if ((whence & AVSEEK_SIZE) != 0) return stream->size(stream->owner);
  const int32_t origin = whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : 0;
  return stream->seek(stream->owner, offset, origin);
}

AVPixelFormat FrameFormat(uint32_t format) {
  switch (format) {
    case KVX_FRAME_RGB555:
      return AV_PIX_FMT_RGB555LE;
    case KVX_FRAME_RGB565:
      return AV_PIX_FMT_RGB565LE;
    case KVX_FRAME_RGB888:
      return AV_PIX_FMT_BGR24;
    case KVX_FRAME_XRGB8888:
      return AV_PIX_FMT_BGR0;
    default:
      return AV_PIX_FMT_NONE;
  }
}

AVCodecContext* OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (codec == nullptr) return nullptr;
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (context == nullptr) return nullptr;
  if (avcodec_parameters_to_context(context, stream->codecpar) < 0 || avcodec_open2(context, codec, nullptr) < 0) {
    avcodec_free_context(&context);
  }
  return context;
}

// A block of sound stamped further than this from where the sound goes on carries a damaged
// stamp, and goes on from there instead.
constexpr int64_t kLargestSoundJump = 2 * kUnitsPerSecond;
// Containers that keep stamps in milliseconds round them: a block stamped this close to the end of
// the one before continues it, so that rounding neither cuts samples nor puts silence between them.
constexpr int64_t kLargestSoundRounding = kUnitsPerSecond / 50;
// The same for a picture of a movie whose end is not known: pictures may stand for longer.
constexpr int64_t kLargestPictureJump = 10 * kUnitsPerSecond;

}  // namespace

void FrameDeleter::operator()(AVFrame* frame) const { av_frame_free(&frame); }

std::unique_ptr<MediaSource> MediaSource::Open(KvxMovieStream* stream, const char* path) {
  RouteFfmpegLog();
  std::unique_ptr<MediaSource> source(new MediaSource());
  source->stream_ = stream;
  source->format_ = avformat_alloc_context();
  if (source->format_ == nullptr) return nullptr;
  if (stream != nullptr) {
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
    if (buffer == nullptr) return nullptr;
    source->io_ = avio_alloc_context(buffer, kIoBufferBytes, 0, stream, ReadStream, nullptr, SeekStream);
    if (source->io_ == nullptr) {
      av_free(buffer);
      return nullptr;
    }
    source->format_->pb = source->io_;
    source->format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  } else if (path == nullptr) {
    return nullptr;
  }
  // On failure avformat_open_input frees the context itself.
  if (avformat_open_input(&source->format_, stream != nullptr ? nullptr : path, nullptr, nullptr) < 0) {
    source->format_ = nullptr;
    return nullptr;
  }
  if (avformat_find_stream_info(source->format_, nullptr) < 0 || !source->OpenDecoders()) return nullptr;
  source->FindStart();
  source->packet_ = av_packet_alloc();
  source->frame_ = av_frame_alloc();
  if (source->packet_ == nullptr || source->frame_ == nullptr) return nullptr;
  return source;
}

MediaSource::~MediaSource() {
  sws_freeContext(scaler_);
  swr_free(&resampler_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&video_);
  avcodec_free_context(&audio_);
  avformat_close_input(&format_);
  if (io_ != nullptr) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
  if (stream_ != nullptr) stream_->release(stream_->owner);
}

bool MediaSource::OpenDecoders() {
  video_index_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video_index_ < 0) return false;
  const AVStream* video = format_->streams[video_index_];
  video_ = OpenDecoder(video);
  if (video_ == nullptr || video_->width < 1 || video_->height < 1) return false;
  width_ = video_->width;
  height_ = video_->height;
  if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
    duration_ = av_rescale_q(format_->duration, kAvTimeBase, kUnitTimeBase);
  } else if (video->duration != AV_NOPTS_VALUE) {
    duration_ = av_rescale_q(video->duration, video->time_base, kUnitTimeBase);
  }
  audio_index_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, video_index_, nullptr, 0);
  if (audio_index_ < 0) return true;
  audio_ = OpenDecoder(format_->streams[audio_index_]);
  if (audio_ == nullptr) return true;
  if (audio_->sample_rate <= 0) {
    avcodec_free_context(&audio_);
    return true;
  }
  sound_channels_ = audio_->ch_layout.nb_channels >= 2 ? 2 : 1;
  AVChannelLayout layout{};
  av_channel_layout_default(&layout, sound_channels_);
  const int made = swr_alloc_set_opts2(&resampler_, &layout, AV_SAMPLE_FMT_S16, audio_->sample_rate,
                                       &audio_->ch_layout, audio_->sample_fmt, audio_->sample_rate, 0, nullptr);
  if (made < 0 || swr_init(resampler_) < 0) {
    swr_free(&resampler_);
    avcodec_free_context(&audio_);
    sound_channels_ = 0;
    return true;
  }
  sound_rate_ = audio_->sample_rate;
  return true;
}

void MediaSource::FindStart() {
  start_ = INT64_MAX;
  for (const int index : {video_index_, audio_ != nullptr ? audio_index_ : -1}) {
    if (index < 0) continue;
    const AVStream* stream = format_->streams[index];
    if (stream->start_time != AV_NOPTS_VALUE) {
      start_ = std::min(start_, av_rescale_q(stream->start_time, stream->time_base, kUnitTimeBase));
    }
  }
  if (start_ == INT64_MAX) start_ = 0;
}

MediaSource::Item MediaSource::Next(Picture& picture, Sound& sound) {
  Item item = Item::kEnd;
  for (;;) {
    if (Receive(video_, picture, sound, item) || (audio_ != nullptr && Receive(audio_, picture, sound, item))) {
      return item;
    }
    if (input_ended_) return Item::kEnd;
    if (av_read_frame(format_, packet_) < 0) {
      // The empty packets make both decoders give up what they still hold, then report EOF.
      input_ended_ = true;
      avcodec_send_packet(video_, nullptr);
      if (audio_ != nullptr) avcodec_send_packet(audio_, nullptr);
      continue;
    }
    if (packet_->stream_index == video_index_) {
      avcodec_send_packet(video_, packet_);
    } else if (audio_ != nullptr && packet_->stream_index == audio_index_) {
      avcodec_send_packet(audio_, packet_);
    }
    av_packet_unref(packet_);
  }
}

bool MediaSource::Receive(AVCodecContext* codec, Picture& picture, Sound& sound, Item& item) {
  av_frame_unref(frame_);
  if (avcodec_receive_frame(codec, frame_) < 0) return false;
  if (codec == video_) {
    picture.pts = PicturePosition();
    picture.frame.reset(av_frame_alloc());
    if (picture.frame == nullptr) return false;
    av_frame_move_ref(picture.frame.get(), frame_);
    item = Item::kPicture;
    return true;
  }
  sound.at = SoundPosition();
  Resample(sound.pcm);
  sound_next_ = sound.at + static_cast<int64_t>(sound.pcm.size() / (2 * static_cast<size_t>(sound_channels_)));
  sound_continues_ = true;
  item = Item::kSound;
  return true;
}

// The time of the decoded picture: its stamp, or for a picture without one or with a damaged one
// (beyond the movie's end, or when the end is not known far after the picture before) a frame
// after the last.
int64_t MediaSource::PicturePosition() {
  const AVStream* stream = format_->streams[video_index_];
  int64_t pts = picture_next_;
  if (frame_->best_effort_timestamp != AV_NOPTS_VALUE) {
    const int64_t stamped = av_rescale_q(frame_->best_effort_timestamp, stream->time_base, kUnitTimeBase) - start_;
    const int64_t latest = duration_ > 0 ? duration_ + kUnitsPerSecond : picture_next_ + kLargestPictureJump;
    if (stamped <= latest) pts = stamped;
  }
  const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
  picture_next_ = pts + (rate.num > 0 ? av_rescale(kUnitsPerSecond, rate.den, rate.num) : 0);
  return pts;
}

// The sample position of the decoded block of sound: its stamp, unless it has none, a damaged
// one, or one that only the container's rounding of stamps parts from the end of the block before.
int64_t MediaSource::SoundPosition() {
  if (frame_->best_effort_timestamp == AV_NOPTS_VALUE) return sound_next_;
  const AVStream* stream = format_->streams[audio_index_];
  const AVRational samples{1, sound_rate_};
  const int64_t at = av_rescale_q(frame_->best_effort_timestamp, stream->time_base, samples) -
                     av_rescale_q(start_, kUnitTimeBase, samples);
  const int64_t largest_jump = av_rescale(kLargestSoundJump, sound_rate_, kUnitsPerSecond);
  const int64_t rounding = av_rescale(kLargestSoundRounding, sound_rate_, kUnitsPerSecond);
  // Before the first block, sound from before the time sought is fine: it is trimmed.
  const bool damaged = at > sound_next_ + largest_jump || (sound_continues_ && at < sound_next_ - largest_jump);
  const bool rounded = sound_continues_ && std::abs(at - sound_next_) <= rounding;
  return damaged || rounded ? sound_next_ : at;
}

void MediaSource::Resample(std::vector<uint8_t>& pcm) {
  const int capacity = swr_get_out_samples(resampler_, frame_->nb_samples);
  pcm.resize(static_cast<size_t>(capacity > 0 ? capacity : 0) * 2 * static_cast<size_t>(sound_channels_));
  uint8_t* out = pcm.data();
  const int samples = capacity > 0 ? swr_convert(resampler_, &out, capacity,
                                                 const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples)
                                   : 0;
  pcm.resize(static_cast<size_t>(samples > 0 ? samples : 0) * 2 * static_cast<size_t>(sound_channels_));
}

bool MediaSource::Seek(int64_t units) {
  const int64_t target = av_rescale_q(units + start_, kUnitTimeBase, kAvTimeBase);
  if (av_seek_frame(format_, -1, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(video_);
  if (audio_ != nullptr) avcodec_flush_buffers(audio_);
  if (resampler_ != nullptr) swr_init(resampler_);
  input_ended_ = false;
  sound_next_ = av_rescale(units, sound_rate_, kUnitsPerSecond);
  sound_continues_ = false;
  picture_next_ = units;
  return true;
}

bool MediaSource::Convert(const AVFrame* frame, const KvxFrameView& view) {
  const AVPixelFormat format = FrameFormat(view.format);
  if (format == AV_PIX_FMT_NONE || view.pixels == nullptr) return false;
  scaler_ = sws_getCachedContext(scaler_, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                 view.width, view.height, format, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (scaler_ == nullptr) return false;
  uint8_t* planes[4] = {view.pixels, nullptr, nullptr, nullptr};
  int pitches[4] = {view.pitch, 0, 0, 0};
  return sws_scale(scaler_, frame->data, frame->linesize, 0, frame->height, planes, pitches) > 0;
}

}  // namespace kvxmovie
