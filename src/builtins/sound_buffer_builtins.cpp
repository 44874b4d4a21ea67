#include "builtins/sound_buffer_builtins.h"

#include "base/time/timer_manager.h"
#include "sound/sound_output.h"
#include "sound/static_sound_buffer.h"
#include "sound/stream_sound_buffer.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kMinusTwo = 0xFFFFFFFE;
constexpr std::uint32_t kStreamSource = 2;

// Runs `operation` on the buffer whose handle is args[0]; `refused` without one.
template <class Operation>
std::uint32_t WithBuffer(const NativeArgs& args, std::uint32_t refused, Operation operation) {
  CSoundBuffer* buffer = args.Handle<CSoundBuffer>(0);
  if (buffer == nullptr) return refused;
  return static_cast<std::uint32_t>(operation(*buffer));
}

// The same for a buffer that holds its whole sound; 0 for a stream.
template <class Operation>
std::uint32_t WithStaticBuffer(const NativeArgs& args, Operation operation) {
  return WithBuffer(args, 0, [&](CSoundBuffer& buffer) -> std::int32_t {
    if (buffer.IsStream()) return 0;
    return operation(static_cast<CStaticSoundBuffer&>(buffer));
  });
}

// A script word that an operation may fill: it starts from the word's value, so a word the
// operation leaves alone stays as it was; the address 0 passes no output. Stored explicitly, as
// a bad address faults.
template <class T>
class WordOut {
 public:
  WordOut(const NativeArgs& args, std::uint32_t i) : out_(args.Out(i)) {
    if (!out_.IsNull()) value_ = static_cast<T>(args.Memory().Word(out_.Address()));
  }

  T* Pointer() { return out_.IsNull() ? nullptr : &value_; }
  void Store() const {
    if (!out_.IsNull()) out_.Set(static_cast<std::uint32_t>(value_));
  }

 private:
  ScriptOut out_;
  T value_{};
};

template <class... Outs>
void StoreAll(const Outs&... outs) {
  (outs.Store(), ...);
}

// The handle of the buffer a factory of the sound output made, or 0 when it made none.
template <class Buffer, class Create>
std::uint32_t CreateBuffer(const NativeArgs& args, Create create) {
  if (g_SoundDevice == nullptr) return 0;
  Buffer* buffer = nullptr;
  create(*g_SoundDevice, &buffer);
  return buffer != nullptr ? buffer->ScriptHandle(args.Handles()) : 0;
}

// Runs `operation` on the sound output when there is one: 0.
template <class Operation>
std::uint32_t WithOutput(Operation operation) {
  if (g_SoundDevice != nullptr) operation(*g_SoundDevice);
  return 0;
}

}  // namespace

std::uint32_t NativeDestroyAllSoundBuffers(const NativeArgs& /*args*/) {
  return WithOutput([](CSoundOutput& output) { output.DestroyAllBuffers(); });
}

std::uint32_t NativeCreateSoundBuffer(const NativeArgs& args) {
  return CreateBuffer<CStaticSoundBuffer>(
      args, [&](CSoundOutput& output, CStaticSoundBuffer** out) { output.CreateStaticBuffer(out, args.Str(0), args.U8(1)); });
}

std::uint32_t NativeDuplicateSoundBuffer(const NativeArgs& args) {
  CSoundBuffer* source = args.Handle<CSoundBuffer>(0);
  if (source == nullptr) return 0;
  if (source->IsStream()) return kStreamSource;
  return CreateBuffer<CStaticSoundBuffer>(args, [&](CSoundOutput& output, CStaticSoundBuffer** out) {
    output.DuplicateBuffer(out, static_cast<const CStaticSoundBuffer*>(source));
  });
}

std::uint32_t NativeCreateStreamBuffer(const NativeArgs& args) {
  return CreateBuffer<CStreamSoundBuffer>(
      args, [&](CSoundOutput& output, CStreamSoundBuffer** out) { output.CreateStreamBuffer(out, args.Str(0), nullptr); });
}

std::uint32_t NativeCreateStreamBuffer2(const NativeArgs& args) {
  return CreateBuffer<CStreamSoundBuffer>(args, [&](CSoundOutput& output, CStreamSoundBuffer** out) {
    output.CreateStreamBuffer(out, args.Str(0), args.Str(1));
  });
}

// A handle may name a buffer that the list does not hold (a channel's): the word then stays.
std::uint32_t NativeDestroySoundBuffer(const NativeArgs& args) {
  return args.DestroyThroughHandleRef<CSoundBuffer>(0, [](CSoundBuffer& buffer) -> std::uint32_t {
    return g_SoundDevice != nullptr ? g_SoundDevice->DestroyBuffer(&buffer) : kHandleRefNotFound;
  });
}

std::uint32_t NativeSoundPlay(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [](CSoundBuffer& buffer) { return buffer.Play(); });
}

std::uint32_t NativeSoundPlayLooped(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [](CSoundBuffer& buffer) { return buffer.PlayLooped(); });
}

std::uint32_t NativeSoundPause(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [](CSoundBuffer& buffer) { return buffer.Pause(); });
}

std::uint32_t NativeSoundResume(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [](CSoundBuffer& buffer) { return buffer.Resume(); });
}

std::uint32_t NativeSoundStop(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [](CSoundBuffer& buffer) { return buffer.Stop(); });
}

std::uint32_t NativeSoundFade(const NativeArgs& args) {
  return WithBuffer(args, kMinusTwo,
                    [&](CSoundBuffer& buffer) { return buffer.FadeIn(g_TimerManager, args.U32(1), args.Flag(2)); });
}

std::uint32_t NativeSoundFade2(const NativeArgs& args) {
  return WithBuffer(args, kMinusTwo, [&](CSoundBuffer& buffer) { return buffer.FadeOut(g_TimerManager, args.U32(1)); });
}

std::uint32_t NativePauseAllSounds(const NativeArgs& /*args*/) {
  return WithOutput([](CSoundOutput& output) { output.PauseAll(); });
}

std::uint32_t NativeResumeAllSounds(const NativeArgs& /*args*/) {
  return WithOutput([](CSoundOutput& output) { output.ResumeAll(); });
}

std::uint32_t NativeStopAllSounds(const NativeArgs& /*args*/) {
  return WithOutput([](CSoundOutput& output) { output.StopAll(); });
}

std::uint32_t NativeSoundSeek(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [&](CSoundBuffer& buffer) { return buffer.Seek(args.U32(1)); });
}

std::uint32_t NativeSoundGetFormat(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [&](CSoundBuffer& buffer) {
    WordOut<std::uint16_t> channels(args, 1);
    WordOut<std::uint32_t> rate(args, 2);
    WordOut<std::uint16_t> bits(args, 3);
    const std::uint32_t status = buffer.GetFormat(channels.Pointer(), rate.Pointer(), bits.Pointer());
    StoreAll(channels, rate, bits);
    return status;
  });
}

std::uint32_t NativeSoundGetPosition(const NativeArgs& args) {
  return WithBuffer(args, 0, [](CSoundBuffer& buffer) { return buffer.GetPosition(); });
}

std::uint32_t NativeSoundGetLength(const NativeArgs& args) {
  return WithBuffer(args, 0, [](CSoundBuffer& buffer) { return buffer.GetLength(); });
}

std::uint32_t NativeSoundIsPlaying(const NativeArgs& args) {
  return WithBuffer(args, 0, [&](CSoundBuffer& buffer) {
    WordOut<std::uint32_t> play_cursor(args, 1);
    WordOut<std::uint32_t> write_cursor(args, 2);
    const bool playing = buffer.IsPlaying(play_cursor.Pointer(), write_cursor.Pointer());
    StoreAll(play_cursor, write_cursor);
    return playing ? 1 : 0;
  });
}

std::uint32_t NativeSoundSetVolume(const NativeArgs& args) {
  return WithBuffer(args, kMinusTwo, [&](CSoundBuffer& buffer) { return buffer.SetVolume(args.I32(1)); });
}

std::uint32_t NativeSoundSetPan(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [&](CSoundBuffer& buffer) { return buffer.SetPan(args.I32(1)); });
}

std::uint32_t NativeSoundSetFrequency(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [&](CSoundBuffer& buffer) { return buffer.SetFrequency(args.U32(1)); });
}

std::uint32_t NativeSoundAdjust(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne,
                    [&](CSoundBuffer& buffer) { return buffer.Adjust(args.I32(1), args.I32(2), args.I32(3)); });
}

std::uint32_t NativeSoundGetVolumePanFrequency(const NativeArgs& args) {
  return WithBuffer(args, kMinusOne, [&](CSoundBuffer& buffer) {
    WordOut<std::int32_t> volume(args, 1);
    WordOut<std::int32_t> pan(args, 2);
    WordOut<std::uint32_t> frequency(args, 3);
    const std::uint32_t status = buffer.GetVolumePanFrequency(volume.Pointer(), pan.Pointer(), frequency.Pointer());
    StoreAll(volume, pan, frequency);
    return status;
  });
}

std::uint32_t NativeSoundGetSize(const NativeArgs& args) {
  return WithBuffer(args, 0, [](CSoundBuffer& buffer) { return buffer.GetDataSize(); });
}

std::uint32_t NativeSoundGetSample(const NativeArgs& args) {
  return WithStaticBuffer(args, [&](CStaticSoundBuffer& buffer) { return buffer.GetSample(args.U32(1)); });
}

std::uint32_t NativeSoundGetAmplitude(const NativeArgs& args) {
  return WithStaticBuffer(args, [&](CStaticSoundBuffer& buffer) { return buffer.GetAmplitude(args.U32(1), args.I32(2)); });
}
