#include "platform/sound/audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/process_end.h"
#include "platform/sound/sound_mixer.h"
#include "platform/system/diagnostic_log.h"

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

// The audio systems of the outputs left open for the process's end, kept where the leak checker
// finds them, and never quit: quitting would close the outputs and wait for their threads.
void KeepToTheProcessEnd(std::unique_ptr<AudioSubsystem> subsystem) {
  static std::mutex lock;
  static auto* kept = new std::vector<std::unique_ptr<AudioSubsystem>>;
  const std::lock_guard hold(lock);
  kept->push_back(std::move(subsystem));
}

class SdlAudioOutput : public AudioOutput {
 public:
  explicit SdlAudioOutput(std::unique_ptr<AudioSubsystem> subsystem) : subsystem_(std::move(subsystem)) {}
  // Closing waits for the audio thread, which sleeps a period at a time; once the process is
  // ending, the output is only paused (under the device's lock, so the mixer is never pulled
  // again) and its thread ends with the process.
  ~SdlAudioOutput() override {
    if (mixer_ != nullptr) mixer_->SetWakeHook(nullptr);
    if (device_ == 0) return;
    if (IsProcessEnding()) {
      SDL_PauseAudioDevice(device_, 1);
      KeepToTheProcessEnd(std::move(subsystem_));
      return;
    }
    SDL_CloseAudioDevice(device_);
  }
  bool IsAudible() const override { return true; }

  // Opens the device at `rate`, paused: its audio thread pulls nothing until Start.
  bool Open(const std::string* device_name, uint32_t rate, std::string& error) {
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kSdlPeriodFrames;
    wanted.callback = &SdlAudioOutput::Pull;
    wanted.userdata = this;
    device_ = SDL_OpenAudioDevice(device_name != nullptr ? device_name->c_str() : nullptr, 0, &wanted, &got_,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (device_ == 0) error = SDL_GetError();
    return device_ != 0;
  }

  // Tells the mixer the rate and period the device got, then lets the device pull its mix.
  void Start(SoundMixer& mixer) {
    mixer.SetOutput(static_cast<uint32_t>(got_.freq), got_.samples);
    mixer_ = &mixer;
    mixer.SetWakeHook([this] { SDL_PauseAudioDevice(device_, 0); });
    SDL_PauseAudioDevice(device_, 0);
  }

 private:
  // While no buffer plays the device is paused, so that an idle game does not mix silence; the
  // first buffer to play resumes it, and its first sample is the first the device pulls. SDL
  // holds the device's lock around this call and takes it (recursively) to pause or resume, so a
  // resume that comes while this pull pauses waits for it and wins.
  static void Pull(void* self, Uint8* stream, int bytes) {
    auto& output = *static_cast<SdlAudioOutput*>(self);
    const auto frames = static_cast<uint32_t>(bytes) / 4;
    if (!output.mixer_->Mix(reinterpret_cast<int16_t*>(stream), frames)) SDL_PauseAudioDevice(output.device_, 1);
  }

  std::unique_ptr<AudioSubsystem> subsystem_;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec got_{};
  SoundMixer* mixer_ = nullptr;
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

// An output opened and paused, or why none opened.
struct PausedOutput {
  std::unique_ptr<SdlAudioOutput> output;
  std::string error;
};

PausedOutput OpenPaused(const std::string* device_name, uint32_t rate) {
  PausedOutput opened;
  auto subsystem = std::make_unique<AudioSubsystem>();
  if (!subsystem->started()) {
    opened.error = SDL_GetError();
    return opened;
  }
  auto output = std::make_unique<SdlAudioOutput>(std::move(subsystem));
  if (output->Open(device_name, rate, opened.error)) opened.output = std::move(output);
  return opened;
}

// The one head start: its thread, the rate it asked for, and what it opened, which the thread
// hands over by ending (joining it is what makes `opened` safe to read) and which stays until
// it is taken or the head start ends.
struct HeadStartSlot {
  std::mutex lock;
  std::thread thread;
  uint32_t rate = 0;
  std::optional<PausedOutput> opened;
};

HeadStartSlot& TheHeadStart() {
  static HeadStartSlot slot;
  return slot;
}

// Waits for a head start still running, so that nothing else starts or stops the audio system
// meanwhile. Called with the slot's lock held.
void WaitForHeadStart(HeadStartSlot& slot) {
  if (slot.thread.joinable()) slot.thread.join();
}

}  // namespace

AudioOutputHeadStart::AudioOutputHeadStart(uint32_t rate) {
  HeadStartSlot& slot = TheHeadStart();
  std::lock_guard hold(slot.lock);
  WaitForHeadStart(slot);
  slot.rate = rate;
  slot.opened.reset();
  slot.thread = std::thread([&slot, rate] {
    slot.opened = OpenPaused(nullptr, rate);
    // SDL keeps its error text per thread and frees it by itself only on threads it made.
    SDL_TLSCleanup();
  });
}

AudioOutputHeadStart::~AudioOutputHeadStart() {
  HeadStartSlot& slot = TheHeadStart();
  std::lock_guard hold(slot.lock);
  WaitForHeadStart(slot);
  slot.opened.reset();
}

std::unique_ptr<AudioOutput> AudioOutput::Open(const std::string* device_name, SoundMixer& mixer) {
  std::optional<PausedOutput> opened;
  {
    HeadStartSlot& slot = TheHeadStart();
    std::lock_guard hold(slot.lock);
    WaitForHeadStart(slot);
    // A head start that does not answer this request closes first: it may hold the only device.
    if (device_name == nullptr && slot.rate == mixer.GetOutputRate()) opened.swap(slot.opened);
    slot.opened.reset();
  }
  if (!opened) opened = OpenPaused(device_name, mixer.GetOutputRate());
  if (opened->output != nullptr) {
    opened->output->Start(mixer);
    return std::move(opened->output);
  }
  static std::atomic<bool> reported{false};
  if (!reported.exchange(true)) {
    LogDiagnostic("sound: no audio output could be opened (" + opened->error + "); the game runs without sound");
  }
  return std::make_unique<SilentAudioOutput>(mixer);
}

std::optional<AudioOutputList> ListAudioOutputs() {
  {
    HeadStartSlot& slot = TheHeadStart();
    std::lock_guard hold(slot.lock);
    WaitForHeadStart(slot);
  }
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
