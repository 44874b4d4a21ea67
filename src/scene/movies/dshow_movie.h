// A movie that the window movie library plays into the owner window by itself. The wrapper
// opens the file, hands the window over and forwards the script's control calls to the movie
// object; the window's message handler lets it read the object's events, and the paint handler
// has it repaint its newest frame.
#pragma once

#include <cstdint>

#include "platform/files/movie_library_abi.h"
#include "platform/window/gdi.h"

class CDShowLibrary;
class CScreenManager;
class IDataFileLayer;

class CDShowMovie {
 public:
  // A library given replaces the published movie library for this movie.
  explicit CDShowMovie(CDShowLibrary* library = nullptr);
  virtual ~CDShowMovie();
  CDShowMovie(const CDShowMovie&) = delete;
  CDShowMovie& operator=(const CDShowMovie&) = delete;

  // Opens the movie for the window through the data-file layer and the screen (null: the
  // published ones). The screen always runs the default display here, so the library is lent
  // the screen's primary surface, with flag 1, whenever the screen has one; without one it gets
  // none and flag 0 rather than a primary made behind the screen's back. 0, or the wrappers'
  // open statuses 1 (no library), 2 (no name or layer), 3, 4 or 6.
  uint32_t Open(plat::WindowId window, const char* name, IDataFileLayer* files, CScreenManager* screen);
  bool IsOpen() const { return object_ != nullptr; }
  // Where a creator puts the movie object.
  KvxMovieObject** Place() { return &object_; }
  // Releases the movie object (its decoding thread ends with it); volume 256, no looping.
  void Reset();

  // A looping movie plays again from the start when its end event is read.
  void SetLoop(bool loop) { loop_ = loop; }
  bool IsLoop() const { return loop_; }

  int32_t GetMovieWidth() const { return width_; }
  int32_t GetMovieHeight() const { return height_; }
  const plat::Rect& GetDisplayRect() const { return display_rect_; }
  int32_t GetVolume() const { return volume_; }
  // Whether the mode query at open answered 1 (the library draws through the primary surface).
  bool IsPrimaryMode() const { return primary_mode_; }

  // The control calls, each at its place in the object's table. Results without an object: -1
  // for commands and 0 for the queries marked so.
  int32_t SetDisplayRect(const plat::Rect& rect);
  // Shows the frames, plays, and repaints the window at once.
  int32_t Play();
  int32_t Pause();
  // Shows the frames again when it succeeds.
  int32_t Restart();
  // Hides the frames first.
  int32_t Stop();
  int32_t GetPosition(int64_t* units);  // 0 without object
  int32_t Seek(int64_t units);
  int32_t GetDuration(int64_t* units);  // 0 without object
  int32_t GetState(int32_t* state);
  int32_t IsEnded();
  // Whether the object draws the frames (non-zero) or not; the value goes to it unchanged.
  int32_t SetVisible(int32_t visible);
  int32_t SetRate(double rate);
  int32_t GetRate(double* rate);
  int32_t SetRate2(double rate);
  // The level (1 to 256, below 1 silent) to the library; -1 without a movie.
  int32_t SetVolume(int32_t level);
  bool DrawsIntoWindow();
  // Paints the newest frame into dc: the object's result, -1 without one.
  int32_t Repaint(plat::DeviceContext* dc);
  // Tells the movie that the display's mode changed, so that its window shows the newest frame
  // again: the object's result, -1 without one.
  int32_t NotifyDisplayChange();
  // Reads every event the object holds; the number read. Each end event has been read once; a
  // looping movie that ended is played again from the start.
  int DrainEvents();
  int GetEndEvents() const { return end_events_; }

 private:
  void RepaintWindow();

  CDShowLibrary* library_;
  KvxMovieObject* object_ = nullptr;
  plat::WindowId window_ = 0;
  plat::Rect display_rect_{};
  int32_t volume_ = 256;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool primary_mode_ = false;
  bool loop_ = false;
  int end_events_ = 0;
};
