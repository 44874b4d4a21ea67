// The control object that a movie library made for a wrapper, with the wrapper's loop flag and
// end mark: every control call goes to the object's function at its place in the table, with
// the arguments unchanged. Results without an object: -1 for the commands, 0 for the queries.
#pragma once

#include <cstdint>

#include "platform/files/movie_library_abi.h"

class CMovieControl {
 public:
  CMovieControl() = default;
  ~CMovieControl() { Release(); }
  CMovieControl(const CMovieControl&) = delete;
  CMovieControl& operator=(const CMovieControl&) = delete;

  // Where a creator puts the object.
  KvxMovieControl** Place() { return &object_; }
  bool IsOpen() const { return object_ != nullptr; }
  // Releases the object (its decoding thread ends with it) and clears the loop flag and end mark.
  void Release();

  void SetLoop(bool loop) { loop_ = loop ? 1 : 0; }
  bool IsLoop() const { return loop_ != 0; }

  int32_t Play();
  int32_t Pause();
  int32_t Restart();
  int32_t Stop();
  int32_t Seek(int64_t units);
  int32_t GetState(int32_t* state);
  int32_t SetRate(double rate);
  int32_t SetRate2(double rate);
  int32_t GetPosition(int64_t* units);
  int32_t GetDuration(int64_t* units);
  // The level as MovieVolumeHundredths turns it (and corrects it in place) to the object.
  int32_t SetVolume(int32_t& level);
  int32_t GetWidth();
  int32_t GetHeight();
  // The frame buffer (0 or 1) holding the newest frame; -1 none.
  int32_t GetCurrentBuffer() const;
  // Whether the object reports the end of the movie; false without one.
  bool IsEnded() const;
  // Whether the object reports an end that HandleEnd has not answered yet.
  bool IsEndPending() const { return end_reported_ == 0 && IsEnded(); }

  // Run after each draw: the first time the object reports the end it is played again when
  // looping, else stopped; once it no longer does, the mark is cleared.
  void HandleEnd();

 private:
  KvxMovieControl* object_ = nullptr;
  uint8_t loop_ = 0;
  uint8_t end_reported_ = 0;
};
