// The library's exports: its version and the creator of the control object, whose table forwards
// to the movie player. DS_SPRITE and DS_PRIM are built from this file, told apart by
// KVX_MOVIE_LIBRARY_PRIM.
#include <new>
#include <type_traits>

#include "movie_player.h"

namespace kvxmovie {

namespace {

struct ControlObject {
  KvxMovieControl base;
  std::unique_ptr<MoviePlayer> player;
};

static_assert(std::is_standard_layout_v<ControlObject>, "the table pointer leads the object");

MoviePlayer& Player(KvxMovieControl* self) { return *reinterpret_cast<ControlObject*>(self)->player; }

void Release(KvxMovieControl* self) { delete reinterpret_cast<ControlObject*>(self); }

int32_t Play(KvxMovieControl* self) {
  Player(self).Play();
  return 0;
}

int32_t Pause(KvxMovieControl* self) {
  Player(self).Pause();
  return 0;
}

int32_t Restart(KvxMovieControl* self) {
  Player(self).Restart();
  return 0;
}

int32_t Stop(KvxMovieControl* self) {
  Player(self).Stop();
  return 0;
}

int32_t GetPosition(KvxMovieControl* self, int64_t* units) {
  if (units == nullptr) return 1;
  *units = Player(self).Position();
  return 0;
}

int32_t Seek(KvxMovieControl* self, int64_t units) { return Player(self).Seek(units); }

int32_t GetDuration(KvxMovieControl* self, int64_t* units) {
  if (units == nullptr) return 1;
  *units = Player(self).Duration();
  return 0;
}

int32_t GetState(KvxMovieControl* self, int32_t* state) {
  if (state == nullptr) return 1;
  *state = Player(self).State();
  return 0;
}

int32_t SetVolume(KvxMovieControl* self, int32_t hundredths) {
  Player(self).SetVolume(hundredths);
  return 0;
}

// The player keeps the movie's own pace.
int32_t SetRate(KvxMovieControl*, double rate) { return rate == 1.0 ? 0 : 1; }

int32_t GetWidth(KvxMovieControl* self) { return Player(self).Width(); }
int32_t GetHeight(KvxMovieControl* self) { return Player(self).Height(); }
int32_t CurrentBuffer(KvxMovieControl* self) { return Player(self).CurrentBuffer(); }
int32_t IsEnded(KvxMovieControl* self) { return Player(self).IsEnded() ? 1 : 0; }

constexpr KvxMovieControlFunctions kFunctions{
    nullptr, Release,     nullptr,   Play,      Pause,     Restart, Stop,    GetPosition,   Seek,   GetDuration,
    GetState, SetVolume, SetRate,   SetRate,   GetWidth,  GetHeight, nullptr, CurrentBuffer, IsEnded,
};

int32_t CreateControl(KvxMovieControl** out, KvxFrameBuffer* first, KvxFrameBuffer* second, const KvxSoundSink* sound,
                      KvxMovieStream* stream, const char* path) {
  if (out == nullptr) {
    if (stream != nullptr) stream->release(stream->owner);
    return 1;
  }
  std::unique_ptr<MoviePlayer> player = MoviePlayer::Open(stream, path, first, second, sound);
  if (player == nullptr) return 2;
  auto* object = new (std::nothrow) ControlObject{{&kFunctions}, std::move(player)};
  if (object == nullptr) return 3;
  *out = &object->base;
  return 0;
}

}  // namespace

}  // namespace kvxmovie

#ifdef KVX_MOVIE_LIBRARY_PRIM
#define KVX_LIBRARY_VERSION KVX_DS_PRIM_VERSION
#define KVX_CREATOR_NAME GetDShowPrimCtrl
#else
#define KVX_LIBRARY_VERSION KVX_DS_SPRITE_VERSION
#define KVX_CREATOR_NAME GetDShowGdiSpriteCtrl
#endif

extern "C" __attribute__((visibility("default"))) uint32_t GetDllVersion() { return KVX_LIBRARY_VERSION; }

// The media type only says how the engine named the file; the demuxer reads the contents.
extern "C" __attribute__((visibility("default"))) int32_t KVX_CREATOR_NAME(
    KvxMovieControl** out, KvxFrameBuffer* first, KvxFrameBuffer* second, const KvxSoundSink* sound,
    KvxMovieStream* stream, int32_t /*type*/, const char* path, int32_t, int32_t, int32_t) {
  return kvxmovie::CreateControl(out, first, second, sound, stream, path);
}
