// The player module's one export: the table through which the movie libraries open and drive
// movie players.
#include <memory>
#include <new>

#include "ffmpeg_log.h"
#include "movie_player.h"
#include "player_module_abi.h"

// The C name that the table hands out stands for the player.
struct KvxPlayer {
  std::unique_ptr<kvxmovie::MoviePlayer> player;
};

namespace kvxmovie {

namespace {

KvxPlayer* Open(KvxMovieStream* stream, const char* path, KvxFrameBuffer* first, KvxFrameBuffer* second,
                const KvxSoundSink* sound, KvxPlayerListener listener, void* context) {
  MoviePlayer::Listener heard;
  if (listener != nullptr) heard = [listener, context](bool ended) { listener(context, ended ? 1 : 0); };
  std::unique_ptr<MoviePlayer> player = MoviePlayer::Open(stream, path, first, second, sound, std::move(heard));
  if (player == nullptr) return nullptr;
  return new (std::nothrow) KvxPlayer{std::move(player)};
}

void Close(KvxPlayer* player) { delete player; }

constexpr KvxPlayerModule kModule{
    SetFfmpegLogSink,
    Open,
    Close,
    [](KvxPlayer* self) { self->player->Play(); },
    [](KvxPlayer* self) { self->player->Pause(); },
    [](KvxPlayer* self) { self->player->Restart(); },
    [](KvxPlayer* self) { self->player->Stop(); },
    [](KvxPlayer* self, int64_t units) { return self->player->Seek(units); },
    [](KvxPlayer* self) { return self->player->Position(); },
    [](KvxPlayer* self) { return self->player->Duration(); },
    [](KvxPlayer* self) { return self->player->State(); },
    [](KvxPlayer* self, int32_t hundredths) { self->player->SetVolume(hundredths); },
    [](KvxPlayer* self) { return self->player->CurrentBuffer(); },
    [](KvxPlayer* self) { return self->player->IsEnded() ? 1 : 0; },
    [](KvxPlayer* self) { return self->player->Width(); },
    [](KvxPlayer* self) { return self->player->Height(); },
};

}  // namespace

}  // namespace kvxmovie

extern "C" __attribute__((visibility("default"))) const KvxPlayerModule* KvxGetPlayerModule() {
  return &kvxmovie::kModule;
}
