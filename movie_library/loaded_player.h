// A movie player of the player module, owned by the movie object it plays for. Open loads the
// module with the library's first movie.
#pragma once

#include <cstdint>
#include <memory>

#include "player_module_abi.h"

namespace kvxmovie {

class LoadedPlayer {
 public:
  // Takes the stream (released on failure too). 0 and `out` set; 2 when the movie does not open,
  // 3 without memory, KVX_MOVIE_LIBRARIES_MISSING when the player module does not load.
  static int32_t Open(std::unique_ptr<LoadedPlayer>& out, KvxMovieStream* stream, const char* path,
                      KvxFrameBuffer* first, KvxFrameBuffer* second, const KvxSoundSink* sound,
                      KvxPlayerListener listener = nullptr, void* context = nullptr);
  ~LoadedPlayer() { module_.close(player_); }
  LoadedPlayer(const LoadedPlayer&) = delete;
  LoadedPlayer& operator=(const LoadedPlayer&) = delete;

  int32_t Width() const { return module_.width(player_); }
  int32_t Height() const { return module_.height(player_); }
  int64_t Duration() const { return module_.duration(player_); }
  void Play() { module_.play(player_); }
  void Pause() { module_.pause(player_); }
  void Restart() { module_.restart(player_); }
  void Stop() { module_.stop(player_); }
  int32_t Seek(int64_t units) { return module_.seek(player_, units); }
  int64_t Position() { return module_.position(player_); }
  int32_t State() { return module_.state(player_); }
  void SetVolume(int32_t hundredths) { module_.set_volume(player_, hundredths); }
  int32_t CurrentBuffer() const { return module_.current_buffer(player_); }
  bool IsEnded() { return module_.is_ended(player_) != 0; }

 private:
  LoadedPlayer(const KvxPlayerModule& module, KvxPlayer* player) : module_(module), player_(player) {}

  const KvxPlayerModule& module_;
  KvxPlayer* player_;
};

}  // namespace kvxmovie
