#include "scene/movies/movie_host.h"

#include <new>

#include "gfx/display/movie_surface.h"
#include "gfx/images/locked_image_buffer.h"
#include "sound/movie_sound_stream.h"

namespace {

struct StreamHolder {
  KvxMovieStream interface{};
  RefPtr<CReadStream> stream;
};

CReadStream& HeldStream(void* owner) { return *static_cast<StreamHolder*>(owner)->stream; }

int32_t ReadHeld(void* owner, uint8_t* buffer, int32_t bytes) {
  if (bytes <= 0) return 0;
  return static_cast<int32_t>(HeldStream(owner).Read(buffer, static_cast<uint32_t>(bytes)));
}

int64_t SeekHeld(void* owner, int64_t offset, int32_t whence) {
  CReadStream& stream = HeldStream(owner);
  const int64_t base = whence == 1 ? int64_t{stream.Tell()} : whence == 2 ? int64_t{stream.GetSize()} : 0;
  const int64_t target = base + offset;
  if (target < 0 || target > int64_t{stream.GetSize()}) return -1;
  if (stream.SeekBegin(static_cast<uint32_t>(target)) != 0) return -1;
  return stream.Tell();
}

int64_t SizeOfHeld(void* owner) { return HeldStream(owner).GetSize(); }

void ReleaseHeld(void* owner) { delete static_cast<StreamHolder*>(owner); }

int32_t PrepareLockedBuffer(void* owner, int32_t width, int32_t height) {
  return static_cast<CLockedImageBuffer*>(owner)->Create(width, height, 32) == 0 ? 0 : 1;
}

int32_t LockLockedBuffer(void* owner, KvxFrameView* view) {
  auto& buffer = *static_cast<CLockedImageBuffer*>(owner);
  buffer.GetLock().Lock();
  if (view == nullptr || buffer.GetPixels() == nullptr || buffer.GetBitsPerPixel() != 32) return 1;
  *view = KvxFrameView{buffer.GetPixels(), buffer.GetWidth(), buffer.GetHeight(), buffer.GetPitch(), KVX_FRAME_XRGB8888};
  return 0;
}

void UnlockLockedBuffer(void* owner) { static_cast<CLockedImageBuffer*>(owner)->GetLock().Unlock(); }

int32_t PrepareMovieSurface(void* owner, int32_t width, int32_t height) {
  return static_cast<CMovieSurface*>(owner)->Create(width, height) == 0 ? 0 : 1;
}

int32_t LockMovieSurface(void* owner, KvxFrameView* view) {
  auto& surface = *static_cast<CMovieSurface*>(owner);
  surface.GetLock().Lock();
  if (view == nullptr || surface.GetPixelMemory() == nullptr) return 1;
  *view = KvxFrameView{surface.GetPixelMemory(), surface.GetWidth(), surface.GetHeight(), surface.GetPitch(),
                       surface.GetPixelFormatCode()};
  return 0;
}

void UnlockMovieSurface(void* owner) { static_cast<CMovieSurface*>(owner)->GetLock().Unlock(); }

CMovieSoundStream& Sound(void* sound) { return *static_cast<CMovieSoundStream*>(sound); }

void* OpenSound(void*, int32_t rate, int32_t channels) { return CMovieSoundStream::Open(rate, channels).release(); }
uint32_t WriteSound(void* sound, int64_t at, const uint8_t* pcm, uint32_t bytes) {
  return Sound(sound).Write(at, pcm, bytes);
}
void SetSoundPlaying(void* sound, int32_t playing) { Sound(sound).SetPlaying(playing != 0); }
void FlushSound(void* sound, int64_t at) { Sound(sound).Flush(at); }
void FinishSound(void* sound) { Sound(sound).Finish(); }
int64_t SoundPosition(void* sound) { return Sound(sound).Position(); }
void SetSoundVolume(void* sound, int32_t hundredths) { Sound(sound).SetVolume(hundredths); }
void CloseSound(void* sound) { delete static_cast<CMovieSoundStream*>(sound); }

constexpr KvxSoundSink kSoundSink{nullptr,     OpenSound,     WriteSound,     SetSoundPlaying, FlushSound,
                                  FinishSound, SoundPosition, SetSoundVolume, CloseSound};

}  // namespace

MovieStreamPtr MakeMovieStream(RefPtr<CReadStream> stream) {
  if (stream == nullptr) return nullptr;
  auto* holder = new (std::nothrow) StreamHolder{{}, std::move(stream)};
  if (holder == nullptr) return nullptr;
  holder->interface = KvxMovieStream{holder, ReadHeld, SeekHeld, SizeOfHeld, ReleaseHeld};
  return MovieStreamPtr(&holder->interface);
}

KvxFrameBuffer LockedBufferFrames(CLockedImageBuffer& buffer) {
  return KvxFrameBuffer{&buffer, PrepareLockedBuffer, LockLockedBuffer, UnlockLockedBuffer};
}

KvxFrameBuffer MovieSurfaceFrames(CMovieSurface& surface) {
  return KvxFrameBuffer{&surface, PrepareMovieSurface, LockMovieSurface, UnlockMovieSurface};
}

const KvxSoundSink& MovieSoundSink() { return kSoundSink; }
