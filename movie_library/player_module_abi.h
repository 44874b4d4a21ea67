/* The interface between the movie libraries and their player module (KVX_PLAYER_MODULE_FILE in the
 * movie libraries' own folder, which the program hands them open), which holds the movie player
 * and everything it needs of FFmpeg. The movie libraries load it when they make their first
 * movie, so that a program that loads them at start does not load FFmpeg until a movie plays.
 *
 * The module exports
 *   const KvxPlayerModule* KvxGetPlayerModule(void);
 * Each player plays one movie on a thread of its own, as the movie libraries' interface
 * describes; its calls may come from any one thread at a time. */
#ifndef KESTRUNE_MOVIE_LIBRARY_PLAYER_MODULE_ABI_H
#define KESTRUNE_MOVIE_LIBRARY_PLAYER_MODULE_ABI_H

#include <stdint.h>

#include "platform/files/movie_library_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

#define KVX_PLAYER_MODULE_ENTRY "KvxGetPlayerModule"

typedef struct KvxPlayer KvxPlayer;

/* Hears on the player's thread of each picture shown (ended 0) and of the end (ended 1). */
typedef void (*KvxPlayerListener)(void* context, int32_t ended);

typedef struct KvxPlayerModule {
  /* Where the module's messages and FFmpeg's warnings go. */
  void (*set_log_sink)(KvxLogFunc sink);
  /* Takes the stream (released on failure too). Null when the movie does not open or a frame
   * buffer refuses its size. The listener may be null. */
  KvxPlayer* (*open)(KvxMovieStream* stream, const char* path, KvxFrameBuffer* first, KvxFrameBuffer* second,
                     const KvxSoundSink* sound, KvxPlayerListener listener, void* context);
  /* Stops the player's thread before it returns. */
  void (*close)(KvxPlayer* player);
  void (*play)(KvxPlayer* player);
  void (*pause)(KvxPlayer* player);
  void (*restart)(KvxPlayer* player);
  void (*stop)(KvxPlayer* player);
  /* 0; 1 for a time outside the movie. */
  int32_t (*seek)(KvxPlayer* player, int64_t units);
  int64_t (*position)(KvxPlayer* player);
  int64_t (*duration)(KvxPlayer* player);
  /* KVX_MOVIE_STOPPED, KVX_MOVIE_PAUSED or KVX_MOVIE_RUNNING. */
  int32_t (*state)(KvxPlayer* player);
  void (*set_volume)(KvxPlayer* player, int32_t hundredths);
  /* 0 or 1; -1 before the first frame. */
  int32_t (*current_buffer)(KvxPlayer* player);
  int32_t (*is_ended)(KvxPlayer* player);
  int32_t (*width)(KvxPlayer* player);
  int32_t (*height)(KvxPlayer* player);
} KvxPlayerModule;

typedef const KvxPlayerModule* (*KvxGetPlayerModuleFunc)(void);

#ifdef __cplusplus
}
#endif

#endif
