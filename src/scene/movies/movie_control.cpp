#include "scene/movies/movie_control.h"

#include "scene/movies/movie_open.h"

void CMovieControl::Release() {
  if (object_ != nullptr) object_->functions->release(object_);
  object_ = nullptr;
  loop_ = 0;
  end_reported_ = 0;
}

int32_t CMovieControl::Play() { return object_ != nullptr ? object_->functions->play(object_) : -1; }
int32_t CMovieControl::Pause() { return object_ != nullptr ? object_->functions->pause(object_) : -1; }
int32_t CMovieControl::Restart() { return object_ != nullptr ? object_->functions->restart(object_) : -1; }
int32_t CMovieControl::Stop() { return object_ != nullptr ? object_->functions->stop(object_) : -1; }
int32_t CMovieControl::Seek(int64_t units) { return object_ != nullptr ? object_->functions->seek(object_, units) : -1; }

int32_t CMovieControl::GetState(int32_t* state) {
  return object_ != nullptr ? object_->functions->get_state(object_, state) : -1;
}

int32_t CMovieControl::SetRate(double rate) {
  return object_ != nullptr ? object_->functions->set_rate(object_, rate) : -1;
}

int32_t CMovieControl::SetRate2(double rate) {
  return object_ != nullptr ? object_->functions->set_rate2(object_, rate) : -1;
}

int32_t CMovieControl::GetPosition(int64_t* units) {
  return object_ != nullptr ? object_->functions->get_position(object_, units) : 0;
}

int32_t CMovieControl::GetDuration(int64_t* units) {
  return object_ != nullptr ? object_->functions->get_duration(object_, units) : 0;
}

int32_t CMovieControl::SetVolume(int32_t& level) {
  const int32_t hundredths = MovieVolumeHundredths(level);
  return object_ != nullptr ? object_->functions->set_volume(object_, hundredths) : -1;
}

int32_t CMovieControl::GetWidth() { return object_ != nullptr ? object_->functions->get_width(object_) : 0; }
int32_t CMovieControl::GetHeight() { return object_ != nullptr ? object_->functions->get_height(object_) : 0; }

int32_t CMovieControl::GetCurrentBuffer() const {
  return object_ != nullptr ? object_->functions->current_buffer(object_) : -1;
}

bool CMovieControl::IsEnded() const { return object_ != nullptr && object_->functions->is_ended(object_) != 0; }

void CMovieControl::HandleEnd() {
  if (!IsEnded()) {
    end_reported_ = 0;
    return;
  }
  if (end_reported_ != 0) return;
  end_reported_ = 1;
  if (loop_ != 0) {
    object_->functions->play(object_);
  } else {
    object_->functions->stop(object_);
  }
}
