#include "scene/movies/dshow_movie.h"

#include "base/files/data_file_layer.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/message_queue.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/movie_display.h"
#include "scene/movies/movie_open.h"

CDShowMovie::CDShowMovie(CDShowLibrary* library) : library_(library) {}

CDShowMovie::~CDShowMovie() { Reset(); }

void CDShowMovie::Reset() {
  if (object_ != nullptr) object_->functions->release(object_);
  object_ = nullptr;
  window_ = 0;
  display_rect_ = {};
  volume_ = 256;
  width_ = height_ = 0;
  primary_mode_ = false;
  loop_ = false;
}

uint32_t CDShowMovie::Open(plat::WindowId window, const char* name, IDataFileLayer* files, CScreenManager* screen) {
  CDShowLibrary* library = library_ != nullptr ? library_ : g_DShowMovieLib;
  if (library == nullptr || !library->IsLoaded()) return kMovieNoLibrary;
  if (files == nullptr) files = g_DShowDataFiles;
  if (screen == nullptr) screen = g_DShowScreen;
  if (name == nullptr || files == nullptr) return kMovieBadArguments;
  MovieSource source;
  if (const uint32_t status = FindMovieSource(*files, name, source); status != kMovieOpened) return status;
  Reset();
  plat::Surface* primary = screen != nullptr ? screen->GetPrimary() : nullptr;
  const char* path = source.host_path.empty() ? nullptr : source.host_path.c_str();
  const int32_t created = library->GetMovieCreator()(Place(), window, &MovieSoundSink(), source.stream.release(),
                                                     source.type, path, &WindowMovieDisplay(), primary,
                                                     primary != nullptr ? 1 : 0);
  if (created != 0 || object_ == nullptr) {
    object_ = nullptr;
    return created != 0 ? MovieCreatorStatus(created) : kMovieRefused;
  }
  object_->functions->set_notify_window(object_, window);
  object_->functions->set_video_window(object_, window);
  window_ = window;
  width_ = object_->functions->get_width(object_);
  height_ = object_->functions->get_height(object_);
  SetDisplayRect(plat::Rect{0, 0, width_, height_});
  primary_mode_ = object_->functions->draws_through_primary(object_) == 1;
  return kMovieOpened;
}

int32_t CDShowMovie::SetDisplayRect(const plat::Rect& rect) {
  if (object_ == nullptr) return -1;
  const int32_t corners[4] = {rect.left, rect.top, rect.right, rect.bottom};
  const int32_t result = object_->functions->set_display_rect(object_, corners);
  if (result == 0) display_rect_ = rect;
  return result;
}

int32_t CDShowMovie::Play() {
  if (object_ == nullptr) return -1;
  object_->functions->set_visible(object_, 1);
  const int32_t result = object_->functions->play(object_);
  RepaintWindow();
  return result;
}

void CDShowMovie::RepaintWindow() {
  if (!DrawsIntoWindow()) {
    // The window has no child windows: the movie's window is the owner itself.
    plat::MessageQueue::Instance().Invalidate(window_);
    return;
  }
  plat::DeviceContext* dc = plat::GetDC(window_);
  if (dc == nullptr) return;
  Repaint(dc);
  plat::ReleaseDC(window_, dc);
}

int32_t CDShowMovie::Pause() { return object_ != nullptr ? object_->functions->pause(object_) : -1; }

int32_t CDShowMovie::Restart() {
  if (object_ == nullptr) return -1;
  const int32_t result = object_->functions->restart(object_);
  if (result == 0) object_->functions->set_visible(object_, 1);
  return result;
}

int32_t CDShowMovie::Stop() {
  if (object_ == nullptr) return -1;
  object_->functions->set_visible(object_, 0);
  return object_->functions->stop(object_);
}

int32_t CDShowMovie::GetPosition(int64_t* units) {
  return object_ != nullptr ? object_->functions->get_position(object_, units) : 0;
}

int32_t CDShowMovie::Seek(int64_t units) { return object_ != nullptr ? object_->functions->seek(object_, units) : -1; }

int32_t CDShowMovie::GetDuration(int64_t* units) {
  return object_ != nullptr ? object_->functions->get_duration(object_, units) : 0;
}

int32_t CDShowMovie::GetState(int32_t* state) {
  return object_ != nullptr ? object_->functions->get_state(object_, state) : -1;
}

int32_t CDShowMovie::IsEnded() { return object_ != nullptr ? object_->functions->is_ended(object_) : -1; }

int32_t CDShowMovie::SetVisible(int32_t visible) {
  return object_ != nullptr ? object_->functions->set_visible(object_, visible) : -1;
}

int32_t CDShowMovie::SetRate(double rate) { return object_ != nullptr ? object_->functions->set_rate(object_, rate) : -1; }

int32_t CDShowMovie::GetRate(double* rate) {
  return object_ != nullptr ? object_->functions->get_rate(object_, rate) : -1;
}

int32_t CDShowMovie::SetRate2(double rate) {
  return object_ != nullptr ? object_->functions->set_rate2(object_, rate) : -1;
}

int32_t CDShowMovie::SetVolume(int32_t level) {
  volume_ = level;
  const int32_t hundredths = MovieVolumeHundredths(volume_);
  return object_ != nullptr ? object_->functions->set_volume(object_, hundredths) : -1;
}

bool CDShowMovie::DrawsIntoWindow() {
  return object_ != nullptr && object_->functions->draws_into_window(object_) != 0;
}

int32_t CDShowMovie::Repaint(plat::DeviceContext* dc) {
  return object_ != nullptr ? object_->functions->repaint(object_, dc) : -1;
}

int32_t CDShowMovie::NotifyDisplayChange() {
  return object_ != nullptr ? object_->functions->display_changed(object_) : -1;
}

int CDShowMovie::DrainEvents() {
  if (object_ == nullptr) return 0;
  int read = 0;
  int32_t code = 0;
  int64_t first = 0;
  int64_t second = 0;
  bool ended = false;
  while (object_->functions->next_event(object_, &code, &first, &second) == 0) {
    ++read;
    if (code != KVX_MOVIE_EVENT_COMPLETE) continue;
    ++end_events_;
    ended = true;
  }
  // Once, however many ends were queued: each restart would start the movie over again.
  if (ended && loop_) Restart();
  return read;
}
