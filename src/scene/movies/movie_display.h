// The display that the window movie library draws through: frames go into a device context or
// the window's own, and the window hears of waiting events by the movie notification message.
#pragma once

#include <cstdint>

#include "platform/files/movie_library_abi.h"

// The private message by which the movie library wakes its window.
inline constexpr uint32_t kMovieNotifyMessage = 0x9006;

const KvxMovieDisplay& WindowMovieDisplay();
