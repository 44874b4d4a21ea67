// The library's exports: its version and the creator of the control object, whose table forwards
// to the movie player. DS_SPRITE and DS_PRIM are built from this file, told apart by
// KVX_MOVIE_LIBRARY_PRIM.
#include <memory>
#include <new>
#include <utility>

#include "player_forwarding.h"

namespace kvxmovie {

namespace {

// The control the engine holds is the object's base: the engine's pointer comes back down to it.
struct ControlObject : KvxMovieControl {
  ControlObject(const KvxMovieControlFunctions* table, std::unique_ptr<LoadedPlayer> loaded)
      : KvxMovieControl{table}, player(std::move(loaded)) {}
  std::unique_ptr<LoadedPlayer> player;
};

LoadedPlayer& Player(KvxMovieControl* self) { return *static_cast<ControlObject*>(self)->player; }

void Release(KvxMovieControl* self) { delete static_cast<ControlObject*>(self); }

using Forward = PlayerForwarding<KvxMovieControl, Player>;

int32_t CurrentBuffer(KvxMovieControl* self) { return Player(self).CurrentBuffer(); }

constexpr KvxMovieControlFunctions kFunctions{
    nullptr,          Release,           nullptr,            Forward::Play,     Forward::Pause,
    Forward::Restart, Forward::Stop,     Forward::GetPosition, Forward::Seek,   Forward::GetDuration,
    Forward::GetState, Forward::SetVolume, Forward::SetRate,  Forward::SetRate, Forward::GetWidth,
    Forward::GetHeight, nullptr,         CurrentBuffer,      Forward::IsEnded,
};

int32_t CreateControl(KvxMovieControl** out, KvxFrameBuffer* first, KvxFrameBuffer* second, const KvxSoundSink* sound,
                      KvxMovieStream* stream, const char* path) {
  if (out == nullptr) {
    if (stream != nullptr) stream->release(stream->owner);
    return 1;
  }
  std::unique_ptr<LoadedPlayer> player;
  if (const int32_t opened = LoadedPlayer::Open(player, stream, path, first, second, sound); opened != 0) {
    return opened;
  }
  auto* object = new (std::nothrow) ControlObject(&kFunctions, std::move(player));
  if (object == nullptr) return 3;
  *out = object;
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
