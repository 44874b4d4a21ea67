#include "platform/audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/diagnostic_log.h"
#include "platform/sound_mixer.h"

namespace plat {

namespace {

constexpr uint16_t kSdlPeriodFrames = 1024;

// The audio system stays up while anything of it is open, as SDL counts its users.
class AudioSubsystem {
 public:
  AudioSubsystem() : started_(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}
  ~AudioSubsystem() {
    if (started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  AudioSubsystem(const AudioSubsystem&) = delete;
  AudioSubsystem& operator=(const AudioSubsystem&) = delete;
  bool started() const { return started_; }

 private:
  bool started_;
};

class SdlAudioOutput : public AudioOutput {
 public:
  SdlAudioOutput(std::unique_ptr<AudioSubsystem> subsystem, SDL_AudioDeviceID device)
      : subsystem_(std::move(subsystem)), device_(device) {}
  ~SdlAudioOutput() override { SDL_CloseAudioDevice(device_); }
  bool IsAudible() const override { return true; }

  static void Pull(void* mixer, Uint8* stream, int bytes) {
    static_cast<SoundMixer*>(mixer)->Mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(bytes) / 4);
  }

 private:
  std::unique_ptr<AudioSubsystem> subsystem_;
  SDL_AudioDeviceID device_;
};

// Pulls the mix at the pace of the output it stands in for, on a thread of its own.
class SilentAudioOutput : public AudioOutput {
 public:
  explicit SilentAudioOutput(SoundMixer& mixer) : mixer_(mixer), thread_([this] { Run(); }) {}
  ~SilentAudioOutput() override {
    {
      std::lock_guard hold(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  bool IsAudible() const override { return false; }

 private:
  void Run() {
    using Clock = std::chrono::steady_clock;
    const uint32_t rate = mixer_.GetOutputRate();
    const uint32_t period = mixer_.GetPeriodFrames();
    const auto period_time = std::chrono::microseconds(uint64_t{period} * 1'000'000 / rate);
    std::vector<int16_t> scratch(2 * std::size_t{period});
    const Clock::time_point start = Clock::now();
    uint64_t mixed = 0;
    std::unique_lock hold(mutex_);
    while (!wake_.wait_for(hold, period_time, [this] { return stopping_; })) {
      const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
      const uint64_t due = static_cast<uint64_t>(elapsed.count()) * rate / 1'000'000;
      while (mixed < due) {
        const uint32_t frames = static_cast<uint32_t>(std::min<uint64_t>(due - mixed, period));
        mixer_.Mix(scratch.data(), frames);
        mixed += frames;
      }
    }
  }

  SoundMixer& mixer_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

std::unique_ptr<AudioOutput> OpenSdlOutput(const std::string* device_name, SoundMixer& mixer, std::string& error) {
  auto subsystem = std::make_unique<AudioSubsystem>();
  if (!subsystem->started()) {
    error = SDL_GetError();
    return nullptr;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(mixer.GetOutputRate());
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = kSdlPeriodFrames;
  wanted.callback = &SdlAudioOutput::Pull;
  wanted.userdata = &mixer;
  SDL_AudioSpec got{};
  const SDL_AudioDeviceID device =
      SDL_OpenAudioDevice(device_name != nullptr ? device_name->c_str() : nullptr, 0, &wanted, &got,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device == 0) {
    error = SDL_GetError();
    return nullptr;
  }
  // The callback has not run yet: the device starts paused.
  mixer.SetOutput(static_cast<uint32_t>(got.freq), got.samples);
  auto output = std::make_unique<SdlAudioOutput>(std::move(subsystem), device);
  SDL_PauseAudioDevice(device, 0);
  return output;
}

}  // namespace

std::unique_ptr<AudioOutput> AudioOutput::Open(const std::string* device_name, SoundMixer& mixer) {
  std::string error;
  if (auto output = OpenSdlOutput(device_name, mixer, error)) return output;
  static std::atomic<bool> reported{false};
  if (!reported.exchange(true)) {
    LogDiagnostic("sound: no audio output could be opened (" + error + "); the game runs without sound");
  }
  return std::make_unique<SilentAudioOutput>(mixer);
}

std::optional<AudioOutputList> ListAudioOutputs() {
  AudioSubsystem subsystem;
  if (!subsystem.started()) return std::nullopt;
  AudioOutputList list;
  if (const char* driver = SDL_GetCurrentAudioDriver()) list.driver = driver;
  const int count = SDL_GetNumAudioDevices(0);
  for (int index = 0; index < count; ++index) {
    if (const char* name = SDL_GetAudioDeviceName(index, 0)) list.names.emplace_back(name);
  }
  return list;
}

}  // namespace plat
