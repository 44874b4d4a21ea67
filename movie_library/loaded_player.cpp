#include "loaded_player.h"

#include <new>

#include "player_module_loader.h"

namespace kvxmovie {

int32_t LoadedPlayer::Open(std::unique_ptr<LoadedPlayer>& out, KvxMovieStream* stream, const char* path,
                           KvxFrameBuffer* first, KvxFrameBuffer* second, const KvxSoundSink* sound,
                           KvxPlayerListener listener, void* context) {
  const KvxPlayerModule* module = PlayerModule();
  if (module == nullptr) {
    if (stream != nullptr) stream->release(stream->owner);
    return KVX_MOVIE_LIBRARIES_MISSING;
  }
  KvxPlayer* player = module->open(stream, path, first, second, sound, listener, context);
  if (player == nullptr) return 2;
  out.reset(new (std::nothrow) LoadedPlayer(*module, player));
  if (out == nullptr) {
    module->close(player);
    return 3;
  }
  return 0;
}

}  // namespace kvxmovie
