// The movie players that the scripts open, one at a time, and the program deletes at its end.
// The configuration sheet previews the volume through them from the window thread, holding the
// application lock; whoever deletes or replaces a player holds that lock too.
#pragma once

#include <memory>

#include "scene/movies/dshow_movie.h"
#include "scene/movies/dshow_prim.h"
#include "scene/movies/dshow_sprite.h"

extern std::unique_ptr<CDShowPrim> g_MoviePrim;
extern std::unique_ptr<CDShowSprite> g_MovieSprite;
// The movie that plays into the window; its window's handlers reach it under the application lock.
extern std::unique_ptr<CDShowMovie> g_Movie;

// Deletes the players (each ends its decoding thread) and clears their globals.
void DeleteMoviePlayers();

// The volume of the first player that exists, the primitive before the sprite; -1 with none.
int32_t SetMoviePlayerVolume(int32_t level);
