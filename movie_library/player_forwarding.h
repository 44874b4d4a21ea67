// The table functions that both kinds of movie object forward to their movie player; `Get`
// finds the player of an object. Results are 0 for success.
#pragma once

#include <cstdint>

#include "loaded_player.h"

namespace kvxmovie {

template <class Object, LoadedPlayer& (*Get)(Object*)>
struct PlayerForwarding {
  static int32_t Play(Object* self) {
    Get(self).Play();
    return 0;
  }
  static int32_t Pause(Object* self) {
    Get(self).Pause();
    return 0;
  }
  static int32_t Restart(Object* self) {
    Get(self).Restart();
    return 0;
  }
  static int32_t Stop(Object* self) {
    Get(self).Stop();
    return 0;
  }
  static int32_t GetPosition(Object* self, int64_t* units) {
    if (units == nullptr) return 1;
    *units = Get(self).Position();
    return 0;
  }
  static int32_t Seek(Object* self, int64_t units) { return Get(self).Seek(units); }
  static int32_t GetDuration(Object* self, int64_t* units) {
    if (units == nullptr) return 1;
    *units = Get(self).Duration();
    return 0;
  }
  static int32_t GetState(Object* self, int32_t* state) {
    if (state == nullptr) return 1;
    *state = Get(self).State();
    return 0;
  }
  static int32_t SetVolume(Object* self, int32_t hundredths) {
    Get(self).SetVolume(hundredths);
    return 0;
  }
  // The player keeps the movie's own pace.
  static int32_t SetRate(Object*, double rate) { return rate == 1.0 ? 0 : 1; }
  static int32_t GetWidth(Object* self) { return Get(self).Width(); }
  static int32_t GetHeight(Object* self) { return Get(self).Height(); }
  static int32_t IsEnded(Object* self) { return Get(self).IsEnded() ? 1 : 0; }
};

}  // namespace kvxmovie
