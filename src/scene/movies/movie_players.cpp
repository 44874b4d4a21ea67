#include "scene/movies/movie_players.h"

std::unique_ptr<CDShowPrim> g_MoviePrim;
std::unique_ptr<CDShowSprite> g_MovieSprite;
std::unique_ptr<CDShowMovie> g_Movie;

void DeleteMoviePlayers() {
  g_MoviePrim.reset();
  g_MovieSprite.reset();
  g_Movie.reset();
}

int32_t SetMoviePlayerVolume(int32_t level) {
  if (g_MoviePrim != nullptr) return g_MoviePrim->SetVolume(level);
  if (g_MovieSprite != nullptr) return g_MovieSprite->SetVolume(level);
  return -1;
}
