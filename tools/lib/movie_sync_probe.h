// Measures a flash-and-beep clip (movie_clip_writer.h) played as it is in a game: through the
// movie sprite, the movie library and the sound layer, on a sound device whose output is mixed by
// hand. The mix goes on one output period at a time (never faster than a few times a real
// output), and after each the probe waits until the sprite shows the picture that a decoder of the
// probe's own says is due then, so that every time is a position on the device's output (the
// sample where each beep starts in the mixed output, the output position where each flash was
// first shown) and the load of the machine changes none of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/audio_backend.h"
#include "sound/sound_device.h"

class CDShowLibrary;
class IDataFileLayer;

namespace kvxtools {

// Sound devices without an output, mixed by hand, published for the sound buffers while it lives.
class ManualSoundOutput {
 public:
  ManualSoundOutput();
  ~ManualSoundOutput();
  ManualSoundOutput(const ManualSoundOutput&) = delete;
  ManualSoundOutput& operator=(const ManualSoundOutput&) = delete;

  bool IsReady() const { return device_.GetDirectSound() != nullptr; }
  // Mixes `frames` stereo frames onto the end of `capture`.
  void Mix(uint32_t frames, std::vector<int16_t>& capture);
  uint32_t GetRate() const { return device_.GetDirectSound()->GetOutputRate(); }

 private:
  class Backend : public plat::AudioBackend {
   public:
    std::unique_ptr<plat::AudioDevice> CreateDevice() override;
    std::optional<plat::AudioOutputList> ListOutputs() override { return std::nullopt; }
  };
  Backend backend_;
  plat::ScopedAudioBackend scope_{backend_};
  CSoundDevice device_;
  CSoundDevice* saved_device_;
};

struct MovieSyncPlan {
  // Paused when the movie's position first reaches `pause_at` (100-ns units; -1 never) for
  // `pause_milliseconds` of the device's output, then played on.
  int64_t pause_at = -1;
  int pause_milliseconds = 1000;
  // Sought to `seek_to` when the position first reaches `seek_at` (-1 never).
  int64_t seek_at = -1;
  int64_t seek_to = 0;
};

struct MovieSyncReport {
  // Per flash shown, in order: when its beep started in the mixed output less when the flash was
  // first shown, in milliseconds (positive: the sound is late).
  std::vector<double> offsets;
  int flashes = 0;
  int beeps = 0;
  // The shortest and longest beep heard, in milliseconds.
  double shortest_beep = 0;
  double longest_beep = 0;
  // Beeps with a run of silence inside.
  int broken_beeps = 0;
  // What the movie's sound stream reported when it closed.
  uint32_t underruns = 0;
  uint64_t dropped_frames = 0;
  // Empty when the clip played to its end with a beep for every flash.
  std::string failure;
};

class MovieSyncProbe {
 public:
  MovieSyncProbe(CDShowLibrary& sprite_library, IDataFileLayer& files) : library_(sprite_library), files_(files) {}

  // Plays `name` (found through the data-file layer; `host_path` is the same file on the disk) to
  // its end on a manual sound output of its own. The pixel library must be published.
  MovieSyncReport Play(const char* name, const std::string& host_path, const MovieSyncPlan& plan);

 private:
  // Pairs every flash with the beep nearest to it in the mixed output.
  static void Measure(const std::vector<size_t>& flashes, const std::vector<int16_t>& capture, uint32_t rate,
                      MovieSyncReport& report);

  CDShowLibrary& library_;
  IDataFileLayer& files_;
};

// "min / median / max" of the offsets, in whole milliseconds.
std::string SummariseOffsets(const std::vector<double>& offsets);

}  // namespace kvxtools
