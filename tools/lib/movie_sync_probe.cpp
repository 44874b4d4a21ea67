#include "movie_sync_probe.h"

#include <algorithm>
#include <array>
#include <climits>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "ffmpeg_pointers.h"
#include "gfx/images/image.h"
#include "movie_clip_writer.h"
#include "platform/system/diagnostic_log.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"

namespace kvxtools {

namespace {

constexpr int64_t kUnitsPerSecond = 10'000'000;
// The mix goes on by one output period of the device at a time.
constexpr uint32_t kStepFrames = plat::AudioDevice::kDefaultPeriodFrames;
// How long the sprite may take to show the picture due; only a fault takes longer.
constexpr auto kCatchUpLimit = std::chrono::seconds(10);
// The output runs at most this many times as fast as in a game, so that the movie's worker,
// which keeps a second of sound ahead, may wait half a second for the processor before its sound
// runs out; a movie that has not ended this many seconds of output after its duration never will.
constexpr int64_t kPace = 2;
constexpr int64_t kSpareSeconds = 20;
// A beep sounds at half the full scale; its onset is the first sample above a quarter of that
// after this much quiet, and it lasts until this much quiet follows.
constexpr int kLoud = 4000;
constexpr int kQuietBeforeBeepMilliseconds = 50;
constexpr int kQuietAfterBeepMilliseconds = 10;
// A decoded sine never holds exactly 0 this long: such a run inside a beep is a gap in the sound.
constexpr size_t kSilenceInBeep = 4;
// A flash and a beep further apart than this are not one pair.
constexpr int kLargestPairingMilliseconds = 500;

struct FormatCloser {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

// The frame number that the blocks of a flash-and-beep picture spell; `bright` tells whether
// the point (x, y) of a width × height picture is white.
template <typename Bright>
int ReadFrameNumber(int width, int height, Bright bright) {
  int index = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (bright((bit % 4) * width / 4 + width / 8, (bit / 4) * height / 4 + height / 8)) index |= 1 << bit;
  }
  return index;
}

// A picture of the clip as a decoder of our own gives it: when it is due, counted as the movie
// library counts (from the earlier of the picture and sound streams' first stamps; a picture
// without a stamp a frame after the one before), and its frame number.
struct ScheduledPicture {
  int64_t pts = 0;
  int index = 0;
};

class ScheduleReader {
 public:
  // The pictures in the order they are due; empty when the file does not decode.
  std::vector<ScheduledPicture> Read(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return {};
    format_.reset(opened);
    if (avformat_find_stream_info(format_.get(), nullptr) < 0 || !OpenDecoder()) return {};
    PacketPtr packet(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    while (av_read_frame(format_.get(), packet.get()) >= 0) {
      if (packet->stream_index == video_index_ && avcodec_send_packet(decoder_.get(), packet.get()) >= 0) Receive();
      av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder_.get(), nullptr);
    Receive();
    std::stable_sort(pictures_.begin(), pictures_.end(),
                     [](const ScheduledPicture& a, const ScheduledPicture& b) { return a.pts < b.pts; });
    return pictures_;
  }

 private:
  bool OpenDecoder() {
    video_index_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video_index_ < 0) return false;
    const AVStream* video = format_->streams[video_index_];
    const AVCodec* codec = avcodec_find_decoder(video->codecpar->codec_id);
    if (codec == nullptr) return false;
    decoder_.reset(avcodec_alloc_context3(codec));
    if (decoder_ == nullptr || avcodec_parameters_to_context(decoder_.get(), video->codecpar) < 0 ||
        avcodec_open2(decoder_.get(), codec, nullptr) < 0) {
      return false;
    }
    time_base_ = video->time_base;
    const AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    interval_ = rate.num > 0 ? av_rescale(kUnitsPerSecond, rate.den, rate.num) : 0;
    start_ = INT64_MAX;
    const int audio_index = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, video_index_, nullptr, 0);
    for (const int index : {video_index_, audio_index}) {
      if (index < 0 || format_->streams[index]->start_time == AV_NOPTS_VALUE) continue;
      const AVStream* stream = format_->streams[index];
      start_ = std::min(start_, av_rescale_q(stream->start_time, stream->time_base, kUnits));
    }
    if (start_ == INT64_MAX) start_ = 0;
    return true;
  }

  void Receive() {
    while (avcodec_receive_frame(decoder_.get(), frame_.get()) >= 0) {
      int64_t pts = next_pts_;
      if (frame_->best_effort_timestamp != AV_NOPTS_VALUE) {
        pts = av_rescale_q(frame_->best_effort_timestamp, time_base_, kUnits) - start_;
      }
      next_pts_ = pts + interval_;
      const AVFrame& frame = *frame_;
      pictures_.push_back(ScheduledPicture{pts, ReadFrameNumber(frame.width, frame.height, [&frame](int x, int y) {
                                             return frame.data[0][y * frame.linesize[0] + x] > 128;
                                           })});
      av_frame_unref(frame_.get());
    }
  }

  static constexpr AVRational kUnits{1, static_cast<int>(kUnitsPerSecond)};
  std::unique_ptr<AVFormatContext, FormatCloser> format_;
  CodecPtr decoder_;
  FramePtr frame_;
  int video_index_ = -1;
  AVRational time_base_{1, 1};
  int64_t interval_ = 0;
  int64_t start_ = 0;
  int64_t next_pts_ = 0;
  std::vector<ScheduledPicture> pictures_;
};

struct Shown {
  int index = -1;
  bool flash = false;
};

// The frame number and the flash of the picture that the sprite draws now.
Shown ReadShown(CDShowSprite& sprite, CImage& target) {
  if (sprite.Control().GetCurrentBuffer() < 0 || sprite.Draw(&target, nullptr, nullptr) != 0) return {};
  const int32_t width = sprite.GetMovieWidth();
  const int32_t height = sprite.GetMovieHeight();
  const auto bright = [&](int32_t x, int32_t y) { return ((target.GetPixel(x, y) >> 8) & 0xFF) > 128; };
  return Shown{ReadFrameNumber(width, height, bright), bright(width / 2, height * 3 / 4)};
}

struct Beep {
  size_t onset = 0;
  size_t length = 0;
  bool broken = false;  // silence inside it
};

// The beeps in the left channel of the mixed output.
std::vector<Beep> FindBeeps(const std::vector<int16_t>& capture, uint32_t rate) {
  const size_t quiet_before = rate * kQuietBeforeBeepMilliseconds / 1000;
  const size_t quiet_after = rate * kQuietAfterBeepMilliseconds / 1000;
  std::vector<Beep> beeps;
  size_t quiet = quiet_before;
  size_t last_loud = 0;
  size_t silent = 0;
  bool in_beep = false;
  for (size_t i = 0; i < capture.size() / 2; ++i) {
    const bool loud = std::abs(capture[2 * i]) > kLoud;
    if (loud && !in_beep && quiet >= quiet_before) {
      beeps.push_back(Beep{i, 0, false});
      in_beep = true;
    }
    if (in_beep && loud && silent >= kSilenceInBeep) beeps.back().broken = true;
    silent = capture[2 * i] == 0 ? silent + 1 : 0;
    if (loud) last_loud = i;
    if (in_beep && (i - last_loud > quiet_after || i + 1 == capture.size() / 2)) {
      beeps.back().length = last_loud + 1 - beeps.back().onset;
      in_beep = false;
    }
    quiet = loud ? 0 : quiet + 1;
  }
  return beeps;
}

// Counts the sound stream reports in the log as it closes: "movie sound: N underruns, M sample
// frames dropped".
class StreamReportReader {
 public:
  StreamReportReader()
      : sink_([this](std::string_view line) {
          const std::lock_guard lock(mutex_);
          unsigned long underruns = 0;
          unsigned long long dropped = 0;
          const std::string text(line);
          if (std::sscanf(text.c_str(), "movie sound: %lu underruns, %llu sample frames dropped", &underruns,
                          &dropped) == 2) {
            underruns_ += static_cast<uint32_t>(underruns);
            dropped_ += dropped;
          }
        }) {}
  uint32_t Underruns() {
    const std::lock_guard lock(mutex_);
    return underruns_;
  }
  uint64_t Dropped() {
    const std::lock_guard lock(mutex_);
    return dropped_;
  }

 private:
  std::mutex mutex_;
  uint32_t underruns_ = 0;
  uint64_t dropped_ = 0;
  plat::ScopedDiagnosticSink sink_;
};

class ProbeRun {
 public:
  ProbeRun(CDShowSprite& sprite, ManualSoundOutput& output, std::vector<ScheduledPicture> schedule)
      : sprite_(sprite), output_(output), schedule_(std::move(schedule)) {
    for (size_t i = 0; i < schedule_.size(); ++i) rank_[static_cast<size_t>(schedule_[i].index)] = static_cast<int>(i);
  }

  // Plays to the end; false with the reason in `failure`.
  bool Play(const MovieSyncPlan& plan, std::string& failure) {
    if (target_.Create(sprite_.GetMovieWidth(), sprite_.GetMovieHeight(), 32, 0) != 0) {
      failure = "no picture to draw into";
      return false;
    }
    CMovieControl& control = sprite_.Control();
    int64_t duration = 0;
    control.GetDuration(&duration);
    const uint64_t limit = uint64_t{output_.GetRate()} * static_cast<uint64_t>(duration / kUnitsPerSecond + kSpareSeconds) +
                           PauseFrames(plan);
    control.Play();
    started_ = std::chrono::steady_clock::now();
    bool paused = false;
    bool sought = false;
    while (!Ended()) {
      if (!CatchUp()) {
        const int due = DueRank(Position());
        failure = "frame " + std::to_string(schedule_[static_cast<size_t>(due)].index) + " due at " +
                  std::to_string(Position() / 10'000) + " ms never came (frame " + std::to_string(shown_.index) +
                  " was shown last)";
        return false;
      }
      const int64_t position = Position();
      if (!paused && plan.pause_at >= 0 && position >= plan.pause_at) {
        paused = true;
        control.Pause();
        for (uint64_t frames = 0; frames < PauseFrames(plan); frames += kStepFrames) Mix();
        control.Play();
      }
      if (!sought && plan.seek_at >= 0 && position >= plan.seek_at) {
        sought = true;
        control.Seek(plan.seek_to);
        earliest_ = plan.seek_to;
        continue;
      }
      Mix();
      if (capture.size() / 2 > limit) {
        failure = "the movie never ended (at " + std::to_string(Position() / 10'000) + " ms of " +
                  std::to_string(duration / 10'000) + ")";
        return false;
      }
    }
    return true;
  }

  // When each flash was first shown, on the output's position.
  std::vector<size_t> flashes;
  std::vector<int16_t> capture;

 private:
  uint64_t PauseFrames(const MovieSyncPlan& plan) const {
    return plan.pause_at < 0 ? 0 : uint64_t{output_.GetRate()} * static_cast<uint64_t>(plan.pause_milliseconds) / 1000;
  }

  // One output period, never further ahead of the wall clock than the pace allows, so that the
  // movie's worker has at least its share of the time it has in a game.
  void Mix() {
    const auto ahead = std::chrono::microseconds(static_cast<int64_t>(capture.size() / 2) * 1'000'000 /
                                                 (int64_t{output_.GetRate()} * kPace));
    std::this_thread::sleep_until(started_ + ahead);
    output_.Mix(kStepFrames, capture);
  }

  int64_t Position() {
    int64_t position = 0;
    sprite_.Control().GetPosition(&position);
    return position;
  }

  // The end, once the sprite answered it, leaves the movie stopped.
  bool Ended() {
    int32_t state = KVX_MOVIE_RUNNING;
    sprite_.Control().GetState(&state);
    return sprite_.Control().IsEnded() || state == KVX_MOVIE_STOPPED;
  }

  // Waits until the sprite shows the picture due at the movie's position, noting a new flash.
  bool CatchUp() {
    const auto limit = std::chrono::steady_clock::now() + kCatchUpLimit;
    for (;;) {
      if (Ended()) return true;
      const int due = DueRank(Position());
      const Shown shown = ReadShown(sprite_, target_);
      if (shown.index != shown_.index && shown.flash) flashes.push_back(capture.size() / 2);
      if (shown.index >= 0) shown_ = shown;
      if (due < 0 || (shown_.index >= 0 && rank_[static_cast<size_t>(shown_.index)] >= due)) return true;
      if (std::chrono::steady_clock::now() > limit) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  // The place in the schedule of the newest picture due at `position`; -1 for none.
  int DueRank(int64_t position) const {
    int due = -1;
    for (size_t i = 0; i < schedule_.size() && schedule_[i].pts <= position; ++i) {
      if (schedule_[i].pts >= earliest_) due = static_cast<int>(i);
    }
    return due;
  }

  CDShowSprite& sprite_;
  ManualSoundOutput& output_;
  const std::vector<ScheduledPicture> schedule_;
  // Each frame number's place in the schedule.
  std::array<int, 256> rank_{};
  CImage target_;
  Shown shown_;
  std::chrono::steady_clock::time_point started_;
  // Pictures before the time sought are never shown.
  int64_t earliest_ = INT64_MIN;
};

}  // namespace

std::unique_ptr<plat::AudioDevice> ManualSoundOutput::Backend::CreateDevice() {
  return std::make_unique<plat::AudioDevice>(plat::AudioDevice::Kind::kManual);
}

ManualSoundOutput::ManualSoundOutput() : saved_device_(g_SoundBufferDevice) {
  if (device_.Create(0, false, false, nullptr) == CSoundDevice::kCreated) g_SoundBufferDevice = &device_;
}

ManualSoundOutput::~ManualSoundOutput() { g_SoundBufferDevice = saved_device_; }

void ManualSoundOutput::Mix(uint32_t frames, std::vector<int16_t>& capture) {
  const size_t end = capture.size();
  capture.resize(end + 2 * size_t{frames});
  device_.GetDirectSound()->Mix(capture.data() + end, frames);
}

MovieSyncReport MovieSyncProbe::Play(const char* name, const std::string& host_path, const MovieSyncPlan& plan) {
  MovieSyncReport report;
  ManualSoundOutput output;
  if (!output.IsReady()) {
    report.failure = "no manual sound device";
    return report;
  }
  StreamReportReader stream_report;
  std::vector<size_t> flashes;
  std::vector<int16_t> capture;
  {
    CDShowSprite sprite(&library_);
    const uint32_t opened = sprite.Open(name, 0, 0, &files_);
    if (opened != kMovieOpened) {
      report.failure = "the sprite refused the clip with " + std::to_string(opened);
      return report;
    }
    std::vector<ScheduledPicture> schedule = ScheduleReader().Read(host_path);
    if (schedule.empty()) {
      report.failure = "the clip does not decode";
      return report;
    }
    ProbeRun run(sprite, output, std::move(schedule));
    if (!run.Play(plan, report.failure)) return report;
    flashes = std::move(run.flashes);
    capture = std::move(run.capture);
  }
  // Closed with the sprite, the movie's sound stream has reported.
  report.underruns = stream_report.Underruns();
  report.dropped_frames = stream_report.Dropped();
  Measure(flashes, capture, output.GetRate(), report);
  return report;
}

void MovieSyncProbe::Measure(const std::vector<size_t>& flashes, const std::vector<int16_t>& capture, uint32_t rate,
                             MovieSyncReport& report) {
  const std::vector<Beep> beeps = FindBeeps(capture, rate);
  const auto milliseconds = [rate](double frames) { return frames * 1000.0 / rate; };
  report.flashes = static_cast<int>(flashes.size());
  report.beeps = static_cast<int>(beeps.size());
  if (!beeps.empty()) {
    const auto [shortest, longest] =
        std::minmax_element(beeps.begin(), beeps.end(), [](const Beep& a, const Beep& b) { return a.length < b.length; });
    report.shortest_beep = milliseconds(static_cast<double>(shortest->length));
    report.longest_beep = milliseconds(static_cast<double>(longest->length));
    report.broken_beeps = static_cast<int>(std::count_if(beeps.begin(), beeps.end(), [](const Beep& beep) { return beep.broken; }));
  }
  for (const size_t flash : flashes) {
    const auto nearest = std::min_element(beeps.begin(), beeps.end(), [flash](const Beep& a, const Beep& b) {
      return std::llabs(static_cast<long long>(a.onset) - static_cast<long long>(flash)) <
             std::llabs(static_cast<long long>(b.onset) - static_cast<long long>(flash));
    });
    const double offset = nearest == beeps.end() ? 1e9 : milliseconds(static_cast<double>(nearest->onset) - static_cast<double>(flash));
    if (std::abs(offset) > kLargestPairingMilliseconds) {
      report.failure = "the flash at " + std::to_string(std::lround(milliseconds(static_cast<double>(flash)))) +
                       " ms of output has no beep";
      return;
    }
    report.offsets.push_back(offset);
  }
  if (beeps.size() != flashes.size()) {
    report.failure = std::to_string(beeps.size()) + " beeps for " + std::to_string(flashes.size()) + " flashes";
  }
}

std::string SummariseOffsets(const std::vector<double>& offsets) {
  if (offsets.empty()) return "none";
  std::vector<double> sorted = offsets;
  std::sort(sorted.begin(), sorted.end());
  const auto whole = [](double value) { return std::to_string(static_cast<long>(std::lround(value))); };
  return whole(sorted.front()) + " / " + whole(sorted[sorted.size() / 2]) + " / " + whole(sorted.back());
}

}  // namespace kvxtools
