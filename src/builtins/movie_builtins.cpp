#include "builtins/movie_builtins.h"

#include <memory>
#include <new>

#include "base/system/app_services.h"
#include "base/threads/lock_guard.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/movies/movie_players.h"

namespace {

constexpr int32_t kNoPlayer = -1;
constexpr int32_t kStateUnwritten = 3;
constexpr int64_t kUnitsPerMs = 10000;
constexpr double kRateOne = 65536.0;
constexpr std::uint32_t kNoMemory = 8;
// The window form without an application has no window to play in.
constexpr std::uint32_t kNoWindow = 2;
// What the window movie's own rows answer without a window movie.
constexpr int32_t kNoWindowMovie = 2;

std::uint32_t Word(int32_t value) { return static_cast<std::uint32_t>(value); }

// The control object of the render-list item or else the movie sprite; null with neither.
CMovieControl* EmbeddedControl() {
  if (g_MoviePrim != nullptr) return &g_MoviePrim->Control();
  if (g_MovieSprite != nullptr) return &g_MovieSprite->Control();
  return nullptr;
}

void ShowEmbedded(bool shown) {
  if (g_MoviePrim != nullptr) {
    g_MoviePrim->SetEnabled(shown ? 1 : 0);
  } else if (g_MovieSprite != nullptr) {
    g_MovieSprite->SetEnabled(shown);
  }
}

// `use` on the window movie under the movie lock; `none` without a window movie (or without an
// application whose lock guards it).
template <typename Use>
int32_t WithWindowMovie(int32_t none, Use use) {
  if (g_AppServices == nullptr) return none;
  CLockGuard guard(g_AppServices->MovieLock());
  return g_Movie != nullptr ? use(*g_Movie, *g_AppServices) : none;
}

// The state byte of a window movie that started: its media state + 1.
void MarkWindowMovieStarted(CDShowMovie& movie, IAppServices& app) {
  int32_t state = 0;
  movie.GetState(&state);
  app.SetMovieState(static_cast<uint8_t>(static_cast<uint8_t>(state) + 1));
}

// Shows the item or sprite and runs `start` on its control; the window movie runs `start_movie`
// and is marked started when that succeeds.
template <typename Start, typename StartMovie>
int32_t StartPlayer(Start start, StartMovie start_movie) {
  if (CMovieControl* control = EmbeddedControl()) {
    ShowEmbedded(true);
    return start(*control);
  }
  return WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices& app) {
    const int32_t status = start_movie(movie);
    if (status == 0) MarkWindowMovieStarted(movie, app);
    return status;
  });
}

// A time query of the first player in ms (signed division of the 100-ns units); 0 without one.
template <typename Query, typename MovieQuery>
std::uint32_t MovieTimeMs(Query query, MovieQuery movie_query) {
  int64_t units = 0;
  if (CMovieControl* control = EmbeddedControl()) {
    query(*control, &units);
  } else {
    WithWindowMovie(0, [&](CDShowMovie& movie, IAppServices&) { return movie_query(movie, &units); });
  }
  return static_cast<std::uint32_t>(units / kUnitsPerMs);
}

std::uint32_t SetRate(double rate) {
  if (CMovieControl* control = EmbeddedControl()) return Word(control->SetRate(rate));
  return Word(WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices&) { return movie.SetRate(rate); }));
}

std::uint32_t SetRate2(double rate) {
  if (CMovieControl* control = EmbeddedControl()) return Word(control->SetRate2(rate));
  return Word(WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices&) { return movie.SetRate2(rate); }));
}

std::uint32_t OpenMovieSprite(const char* name, uint32_t priority) {
  g_MovieSprite.reset();
  g_MovieSprite.reset(new (std::nothrow) CDShowSprite());
  if (g_MovieSprite == nullptr) return kNoMemory;
  if (const uint32_t status = g_MovieSprite->Open(name, 0, 0, nullptr); status != 0) return status;
  g_MovieSprite->SetEnabled(false);
  CImageCanvasBase* frame = g_ScreenManager != nullptr ? g_ScreenManager->GetFrameImage() : nullptr;
  if (auto* layer = frame != nullptr ? dynamic_cast<CDrawLayer*>(frame->GetLayer()) : nullptr) {
    layer->GetOwnList().Insert(g_MovieSprite.get(), priority, 0);
  }
  return 0;
}

std::uint32_t OpenMoviePrim(const char* name) {
  g_MoviePrim.reset();
  g_MoviePrim.reset(new (std::nothrow) CDShowPrim());
  if (g_MoviePrim == nullptr) return kNoMemory;
  if (const uint32_t status = g_MoviePrim->Open(g_ScreenManager, name, 0, 0, nullptr); status != 0) return status;
  g_MoviePrim->SetEnabled(0);
  g_ScreenManager->AddAfterEqual(g_MoviePrim.get(), 0, 0);
  return 0;
}

std::uint32_t OpenWindowMovie(const char* name) {
  if (g_AppServices == nullptr) return kNoWindow;
  CLockGuard guard(g_AppServices->MovieLock());
  g_Movie.reset();
  g_AppServices->SetMovieState(0);
  g_Movie.reset(new (std::nothrow) CDShowMovie());
  if (g_Movie == nullptr) return kNoMemory;
  return g_Movie->Open(g_AppServices->MainWindowId(), name, nullptr, nullptr);
}

}  // namespace

std::uint32_t NativeOpenMovie(const NativeArgs& args) {
  const char* name = args.Str(0);
  if (args.Flag(1)) return OpenWindowMovie(name);
  if (g_AppServices != nullptr && g_AppServices->UsesMovieSprite()) return OpenMovieSprite(name, args.U32(2));
  return OpenMoviePrim(name);
}

std::uint32_t NativeCloseMovie(const NativeArgs&) {
  if (g_AppServices != nullptr) {
    CLockGuard guard(g_AppServices->MovieLock());
    g_Movie.reset();
    g_AppServices->SetMovieState(0);
  } else {
    g_Movie.reset();
  }
  g_MoviePrim.reset();
  g_MovieSprite.reset();
  return 0;
}

std::uint32_t NativeSetMovieLoop(const NativeArgs& args) {
  const bool loop = args.Flag(0);
  if (CMovieControl* control = EmbeddedControl()) {
    control->SetLoop(loop);
  } else {
    WithWindowMovie(0, [&](CDShowMovie& movie, IAppServices&) {
      movie.SetLoop(loop);
      return 0;
    });
  }
  return 0;
}

std::uint32_t NativePlayMovie(const NativeArgs&) {
  return Word(StartPlayer([](CMovieControl& control) { return control.Play(); },
                          [](CDShowMovie& movie) { return movie.Play(); }));
}

std::uint32_t NativePlayMovie2(const NativeArgs&) {
  return Word(StartPlayer([](CMovieControl& control) { return control.Restart(); },
                          [](CDShowMovie& movie) { return movie.Restart(); }));
}

std::uint32_t NativeStopMovie(const NativeArgs&) {
  if (CMovieControl* control = EmbeddedControl()) {
    ShowEmbedded(false);
    return Word(control->Stop());
  }
  return Word(WithWindowMovie(kNoPlayer, [](CDShowMovie& movie, IAppServices& app) {
    const int32_t status = movie.Stop();
    if (status == 0) app.SetMovieState(0);
    return status;
  }));
}

std::uint32_t NativeMovieControl(const NativeArgs&) {
  if (CMovieControl* control = EmbeddedControl()) return Word(control->Pause());
  return Word(WithWindowMovie(kNoPlayer, [](CDShowMovie& movie, IAppServices&) { return movie.Pause(); }));
}

std::uint32_t NativeSetMovieRect(const NativeArgs& args) {
  const plat::Rect rect{args.I32(0), args.I32(1), args.I32(2), args.I32(3)};
  const int32_t width = rect.right - rect.left;
  const int32_t height = rect.bottom - rect.top;
  if (g_MoviePrim != nullptr) {
    g_MoviePrim->SetSizeAndPosition(width, height, rect.left, rect.top);
    return 0;
  }
  if (g_MovieSprite != nullptr) {
    g_MovieSprite->SetSizeAndPosition(width, height, rect.left, rect.top);
    return 0;
  }
  return Word(WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices&) { return movie.SetDisplayRect(rect); }));
}

std::uint32_t NativeGetMovieTime(const NativeArgs&) {
  return MovieTimeMs([](CMovieControl& control, int64_t* units) { return control.GetPosition(units); },
                     [](CDShowMovie& movie, int64_t* units) { return movie.GetPosition(units); });
}

std::uint32_t NativeGetMovieTime2(const NativeArgs&) {
  return MovieTimeMs([](CMovieControl& control, int64_t* units) { return control.GetDuration(units); },
                     [](CDShowMovie& movie, int64_t* units) { return movie.GetDuration(units); });
}

std::uint32_t NativeGetMovieWidth(const NativeArgs&) {
  if (g_MoviePrim != nullptr) return Word(g_MoviePrim->GetMovieWidth());
  if (g_MovieSprite != nullptr) return Word(g_MovieSprite->GetWidth());
  return Word(WithWindowMovie(0, [](CDShowMovie& movie, IAppServices&) { return movie.GetMovieWidth(); }));
}

std::uint32_t NativeGetMovieHeight(const NativeArgs&) {
  if (g_MoviePrim != nullptr) return Word(g_MoviePrim->GetMovieHeight());
  if (g_MovieSprite != nullptr) return Word(g_MovieSprite->GetHeight());
  return Word(WithWindowMovie(0, [](CDShowMovie& movie, IAppServices&) { return movie.GetMovieHeight(); }));
}

std::uint32_t NativeSetMovieTime(const NativeArgs& args) {
  const int64_t units = static_cast<int64_t>(args.I32(0)) * kUnitsPerMs;
  if (CMovieControl* control = EmbeddedControl()) return Word(control->Seek(units));
  return Word(WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices&) { return movie.Seek(units); }));
}

std::uint32_t NativeGetMovieState(const NativeArgs&) {
  int32_t state = kStateUnwritten;
  if (CMovieControl* control = EmbeddedControl()) {
    control->GetState(&state);
    return Word(state);
  }
  const bool found = WithWindowMovie(0, [&](CDShowMovie& movie, IAppServices&) {
    movie.GetState(&state);
    return 1;
  }) != 0;
  return found ? Word(state) : 0;
}

std::uint32_t NativeSetMovieVolume(const NativeArgs& args) {
  const int32_t level = args.I32(0);
  if (g_MoviePrim != nullptr) return Word(g_MoviePrim->SetVolume(level));
  if (g_MovieSprite != nullptr) return Word(g_MovieSprite->SetVolume(level));
  return Word(WithWindowMovie(kNoPlayer, [&](CDShowMovie& movie, IAppServices&) { return movie.SetVolume(level); }));
}

std::uint32_t NativeSetMovieRate(const NativeArgs& args) { return SetRate(args.I32(0) / kRateOne); }

std::uint32_t NativeSetMovieRate2(const NativeArgs& args) { return SetRate2(args.U32(0) / kRateOne); }

std::uint32_t NativeIsWindowMovieEnded(const NativeArgs&) {
  return Word(WithWindowMovie(kNoWindowMovie, [](CDShowMovie& movie, IAppServices&) { return movie.IsEnded(); }));
}

std::uint32_t NativeSetWindowMovieVisible(const NativeArgs& args) {
  const int32_t visible = args.I32(0);
  return Word(
      WithWindowMovie(kNoWindowMovie, [&](CDShowMovie& movie, IAppServices&) { return movie.SetVisible(visible); }));
}

std::uint32_t NativeGetMovieSprite(const NativeArgs& args) {
  return g_MovieSprite != nullptr ? g_MovieSprite->ScriptHandle(args.Handles()) : 0;
}
