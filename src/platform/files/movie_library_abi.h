/* The interface between the engine and its movie libraries (DS_SPRITE.DLL, DS_PRIM.DLL and
 * DS_MOVIE.DLL, Linux shared objects despite their names). It is plain C: the libraries are built apart from
 * the engine and see none of its classes.
 *
 * Each library exports
 *   uint32_t GetDllVersion(void);
 *   void SetLogSink(KvxLogFunc sink);  (where the library's messages and FFmpeg's warnings go)
 *   void SetPlayerModule(int32_t descriptor, const char* path, const char* problem);
 *     (the player module the library plays with, KvxSetPlayerModuleFunc)
 * and one creator: KvxCreateControlFunc, named GetDShowGdiSpriteCtrl or GetDShowPrimCtrl, or
 * KvxCreateMovieFunc, named GetMovieObject (DS_MOVIE, whose movie object draws into a window).
 * A creator takes the stream it is given in every case: it releases it when it fails and when
 * the object it made is released.
 *
 * Frames are written on the library's own thread, one at a time into one of the two frame
 * buffers, holding that buffer's lock; position 17 names the buffer that holds the newest
 * complete frame. Times are in 100-nanosecond units, volumes in hundredths of a decibel. */
#ifndef KESTRUNE_PLATFORM_MOVIE_LIBRARY_ABI_H
#define KESTRUNE_PLATFORM_MOVIE_LIBRARY_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KVX_DS_SPRITE_VERSION 0x10000u
#define KVX_DS_PRIM_VERSION 0x20000u
#define KVX_DS_MOVIE_VERSION 0x10000u

/* Pixel formats of a frame buffer: the engine's pixel-format codes. */
#define KVX_FRAME_RGB555 4u
#define KVX_FRAME_RGB565 8u
#define KVX_FRAME_RGB888 16u
#define KVX_FRAME_XRGB8888 32u

/* What GetState writes. */
#define KVX_MOVIE_STOPPED 0
#define KVX_MOVIE_PAUSED 1
#define KVX_MOVIE_RUNNING 2

typedef struct KvxFrameView {
  uint8_t* pixels; /* the first row; rows run top-down */
  int32_t width;
  int32_t height;
  int32_t pitch;
  uint32_t format; /* KVX_FRAME_* */
} KvxFrameView;

/* One of the two buffers a movie's frames go into. */
typedef struct KvxFrameBuffer {
  void* owner;
  /* Makes the buffer hold frames of this size: 0 ok. Called by the creator. */
  int32_t (*prepare)(void* owner, int32_t width, int32_t height);
  /* Takes the buffer's lock and describes the buffer as it is now (the engine may have made it
   * anew since the last lock): 0 when it can be written, else nothing may be written. Either
   * way unlock follows. */
  int32_t (*lock)(void* owner, KvxFrameView* view);
  void (*unlock)(void* owner);
} KvxFrameBuffer;

/* A read stream over a data file (an archive entry). */
/* One line of the library's log, without its line end. */
typedef void (*KvxLogFunc)(const char* line);
typedef void (*KvxSetLogSinkFunc)(KvxLogFunc sink);

/* The file of the player module beside the movie libraries. */
#define KVX_PLAYER_MODULE_FILE "movie_player.so"

/* The player module the library plays with: the program opens the module's file beside the
 * library, checks it where it lies and hands the library the open file, which the library loads
 * with its first movie and keeps open as long as the module stays (until the process ends);
 * nothing is loaded by a path. `path` names the module in the library's log. A descriptor of -1
 * says that the program has no module to give, `problem` why; every movie then fails as it does
 * without the movie library. */
typedef void (*KvxSetPlayerModuleFunc)(int32_t descriptor, const char* path, const char* problem);

typedef struct KvxMovieStream {
  void* owner;
  /* Bytes read, 0 at the end. */
  int32_t (*read)(void* owner, uint8_t* buffer, int32_t bytes);
  /* whence 0 from the start, 1 from the position, 2 from the end; the new position or -1. */
  int64_t (*seek)(void* owner, int64_t offset, int32_t whence);
  int64_t (*size)(void* owner);
  void (*release)(void* owner);
} KvxMovieStream;

/* Where a movie's sound goes: a ring buffer of the engine's sound layer, whose played samples are
 * the movie's clock. Samples are signed 16-bit, interleaved; positions count sample frames from
 * the movie's start. */
typedef struct KvxSoundSink {
  void* owner;
  /* A sound stream, stopped at position 0, or null when there is no sound output. */
  void* (*open)(void* owner, int32_t rate, int32_t channels);
  /* Places the sound at position `at`: silence fills a gap, and what falls before the sound
   * already written or played is trimmed. Bytes taken, trimmed ones included; fewer than offered
   * when the ring is full: the rest is offered again once the sound has played on. */
  uint32_t (*write)(void* sound, int64_t at, const uint8_t* pcm, uint32_t bytes);
  /* Plays, from the moment the first period is written (or the sound is finished), or stops. */
  void (*set_playing)(void* sound, int32_t playing);
  /* Forgets everything written and starts again, silent, at position `at`. */
  void (*flush)(void* sound, int64_t at);
  /* Plays what was written even if it is short of the first period: the sound has ended, or the
   * pictures cannot wait for more. The end of what was written passes without an underrun,
   * unless more is written. */
  void (*finish)(void* sound);
  /* The position the sound device has played up to. */
  int64_t (*position)(void* sound);
  void (*set_volume)(void* sound, int32_t hundredths_db);
  void (*close)(void* sound);
} KvxSoundSink;

typedef struct KvxMovieControl KvxMovieControl;

/* The control object of DS_SPRITE and DS_PRIM; each member stands at its position in the table.
 * Results are 0 for success unless said otherwise. */
typedef struct KvxMovieControlFunctions {
  void* unused0;
  void (*release)(KvxMovieControl* self);                             /* 1 */
  void* unused2;
  int32_t (*play)(KvxMovieControl* self);                             /* 3: from the start once ended */
  int32_t (*pause)(KvxMovieControl* self);                            /* 4 */
  int32_t (*restart)(KvxMovieControl* self);                          /* 5: plays from the start */
  int32_t (*stop)(KvxMovieControl* self);                             /* 6: pauses at the start */
  int32_t (*get_position)(KvxMovieControl* self, int64_t* units);     /* 7 */
  int32_t (*seek)(KvxMovieControl* self, int64_t units);              /* 8 */
  int32_t (*get_duration)(KvxMovieControl* self, int64_t* units);     /* 9 */
  int32_t (*get_state)(KvxMovieControl* self, int32_t* state);        /* 10 */
  int32_t (*set_volume)(KvxMovieControl* self, int32_t hundredths);   /* 11 */
  int32_t (*set_rate)(KvxMovieControl* self, double rate);            /* 12: only 1.0 is taken */
  int32_t (*set_rate2)(KvxMovieControl* self, double rate);           /* 13: only 1.0 is taken */
  int32_t (*get_width)(KvxMovieControl* self);                        /* 14 */
  int32_t (*get_height)(KvxMovieControl* self);                       /* 15 */
  void* unused16;
  int32_t (*current_buffer)(KvxMovieControl* self);                   /* 17: 0 or 1; -1 no frame yet */
  int32_t (*is_ended)(KvxMovieControl* self);                         /* 18: non-zero at the end */
} KvxMovieControlFunctions;

struct KvxMovieControl {
  const KvxMovieControlFunctions* functions;
};

/* What a creator returns when the libraries that the movie library plays with cannot be opened
 * (the library's log says why): the movie fails as it would without the movie library. */
#define KVX_MOVIE_LIBRARIES_MISSING 4

/* Creators: 0 and *out set, or non-zero. `type` is the media type of a stream (0 for a path);
 * `path` is a host path or null. The last three words are 0, 0, 1. */
typedef int32_t (*KvxCreateControlFunc)(KvxMovieControl** out, KvxFrameBuffer* first, KvxFrameBuffer* second,
                                        const KvxSoundSink* sound, KvxMovieStream* stream, int32_t type,
                                        const char* path, int32_t reserved1, int32_t reserved2, int32_t flag);
typedef uint32_t (*KvxGetVersionFunc)(void);

/* What a window movie draws through: the engine's display. `window` is the window the movie
 * object was handed (position 4 or 3). */
typedef struct KvxMovieDisplay {
  void* owner;
  /* Shows the frame stretched into `rect` (left, top, right, bottom): into the device context
   * `dc` when it is not null, else into the window itself. 0 when drawn. May be called from the
   * library's thread. */
  int32_t (*paint)(void* owner, uint32_t window, void* dc, const KvxFrameView* frame, const int32_t rect[4]);
  /* Tells the window that events wait (position 15 reads them). May be called from the
   * library's thread. */
  void (*notify)(void* owner, uint32_t window);
} KvxMovieDisplay;

/* Events that position 15 hands out. */
#define KVX_MOVIE_EVENT_COMPLETE 1

typedef struct KvxMovieObject KvxMovieObject;

/* The movie object of DS_MOVIE; each member stands at its position in the table. Results are 0
 * for success unless said otherwise. */
typedef struct KvxMovieObjectFunctions {
  void* unused0;
  void (*release)(KvxMovieObject* self);                                        /* 1 */
  void* unused2;
  int32_t (*set_notify_window)(KvxMovieObject* self, uint32_t window);          /* 3: gets the events */
  int32_t (*set_video_window)(KvxMovieObject* self, uint32_t window);           /* 4: shows the frames */
  int32_t (*set_display_rect)(KvxMovieObject* self, const int32_t* rect);       /* 5: four i32 */
  int32_t (*set_visible)(KvxMovieObject* self, int32_t visible);                /* 6: frames drawn or not */
  int32_t (*play)(KvxMovieObject* self);                                        /* 7: from the start once ended */
  int32_t (*pause)(KvxMovieObject* self);                                       /* 8 */
  int32_t (*restart)(KvxMovieObject* self);                                     /* 9: plays from the start */
  int32_t (*stop)(KvxMovieObject* self);                                        /* 10: pauses at the start */
  int32_t (*get_position)(KvxMovieObject* self, int64_t* units);                /* 11 */
  int32_t (*seek)(KvxMovieObject* self, int64_t units);                         /* 12 */
  int32_t (*get_duration)(KvxMovieObject* self, int64_t* units);                /* 13 */
  int32_t (*get_state)(KvxMovieObject* self, int32_t* state);                   /* 14 */
  /* 15: 0 and the next event (KVX_MOVIE_EVENT_*, two parameters), 1 when none waits. */
  int32_t (*next_event)(KvxMovieObject* self, int32_t* code, int64_t* first, int64_t* second);
  int32_t (*set_volume)(KvxMovieObject* self, int32_t hundredths);              /* 16 */
  void* unused17;
  int32_t (*is_ended)(KvxMovieObject* self);                                    /* 18: non-zero at the end */
  int32_t (*set_rate)(KvxMovieObject* self, double rate);                       /* 19: only 1.0 is taken */
  int32_t (*get_rate)(KvxMovieObject* self, double* rate);                      /* 20 */
  int32_t (*set_rate2)(KvxMovieObject* self, double rate);                      /* 21: only 1.0 is taken */
  int32_t (*draws_through_primary)(KvxMovieObject* self);                       /* 22: 1 with a primary surface */
  int32_t (*draws_into_window)(KvxMovieObject* self);                           /* 23 */
  int32_t (*get_width)(KvxMovieObject* self);                                   /* 24 */
  int32_t (*get_height)(KvxMovieObject* self);                                  /* 25 */
  /* 26: the display's mode changed; the newest frame is shown again (0 when drawn) */
  int32_t (*display_changed)(KvxMovieObject* self);
  int32_t (*repaint)(KvxMovieObject* self, void* dc);                           /* 27: the newest frame into dc */
} KvxMovieObjectFunctions;

struct KvxMovieObject {
  const KvxMovieObjectFunctions* functions;
};

/* 0 and *out set, or non-zero. `display` stands where a DirectDraw object would; `surface` is the
 * screen's primary surface or null and `flag` 1 when both are given. */
typedef int32_t (*KvxCreateMovieFunc)(KvxMovieObject** out, uint32_t window, const KvxSoundSink* sound,
                                      KvxMovieStream* stream, int32_t type, const char* path,
                                      const KvxMovieDisplay* display, void* surface, int32_t flag);

#ifdef __cplusplus
}
#endif

#endif
