// The built-in functions that control the one movie the scripts have open. Each acts on the first
// player that exists, the render-list item before the movie sprite before the window movie; the
// window movie and the movie state byte are used under the application's movie lock. Times cross
// to the scripts in milliseconds (the players count 100-ns units), rates as 16.16 words.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] movie file; args[1] 0 embedded (a hidden sprite in the frame image's own draw list at
// priority args[2] when the application uses movie sprites, else a hidden item of the screen's
// render list), non-zero in the window. A player already in the global the new one fills is
// deleted first. 0, 8 when no player can be made, else the player's open status (the unopened
// player then stays until id 633).
std::uint32_t NativeOpenMovie(const NativeArgs& args);
// Deletes the window movie (the state byte becomes 0), then the item and the sprite. 0.
std::uint32_t NativeCloseMovie(const NativeArgs& args);
// Show the item or sprite and play (635), or play from the start (638); the window movie's state
// byte becomes its media state + 1 when that succeeds. The player's status, -1 without one.
std::uint32_t NativePlayMovie(const NativeArgs& args);
std::uint32_t NativePlayMovie2(const NativeArgs& args);
// Hides the item or sprite and stops; the window movie's state byte becomes 0 only when the stop
// succeeds. The player's status, -1 without one.
std::uint32_t NativeStopMovie(const NativeArgs& args);
// Pauses; visibility and the state byte stay. The player's status, -1 without one.
std::uint32_t NativeMovieControl(const NativeArgs& args);
// args[0..3] left, top, right, bottom: 0 for the item and sprite, the window movie's status, -1
// without a player.
std::uint32_t NativeSetMovieRect(const NativeArgs& args);
// The play position (640) and the length (644) in ms; 0 without a player.
std::uint32_t NativeGetMovieTime(const NativeArgs& args);
std::uint32_t NativeGetMovieTime2(const NativeArgs& args);
// The movie's size; 0 without a player.
std::uint32_t NativeGetMovieWidth(const NativeArgs& args);
std::uint32_t NativeGetMovieHeight(const NativeArgs& args);
// args[0] position in ms (signed): the player's status, -1 without one.
std::uint32_t NativeSetMovieTime(const NativeArgs& args);
// The state the player writes (0 stopped, 1 paused, 2 running), 3 when it writes none; 0 without
// a player.
std::uint32_t NativeGetMovieState(const NativeArgs& args);
// args[0] level 1 to 256 (below 1 silent): the player's result, -1 without one.
std::uint32_t NativeSetMovieVolume(const NativeArgs& args);
// args[0] rate as signed (649) or unsigned (650) 16.16: the player's status, -1 without one.
std::uint32_t NativeSetMovieRate(const NativeArgs& args);
std::uint32_t NativeSetMovieRate2(const NativeArgs& args);
// The movie sprite's drawable handle; 0 without a movie sprite.
std::uint32_t NativeGetMovieSprite(const NativeArgs& args);
