// The movie libraries of the game's devices: the primitive library, or the sprite library when
// the scene is composed in a display canvas, loaded from the program folder and published with
// the data-file layer for the movie players.
#include <optional>
#include <string>

#include "app/game_app.h"
#include "base/not_built.h"
#include "platform/diagnostic_log.h"
#include "platform/special_folders.h"
#include "scene/dshow_library.h"

void CGameApp::LoadMovieLibraries() {
  if (game_switches_[kSwitchMovieLibraries] == 0) return;
  const std::optional<std::string> folder = plat::ProgramFolder();
  if (!folder) return;
  const bool sprites = HasDisplayCanvas();
  auto library = std::make_unique<CDShowLibrary>();
  if (library->Load(folder->c_str(), sprites ? kDShowSpriteLibrary : kDShowPrimLibrary)) {
    movie_library_ = std::move(library);
    (sprites ? g_DShowSpriteLib : g_DShowPrimLib) = movie_library_.get();
    g_DShowDataFiles = &data_files_;
  } else {
    plat::LogDiagnostic(std::string("the movie library ") + (sprites ? kDShowSpriteLibrary : kDShowPrimLibrary).file_name +
                        " did not load; movies are not shown");
  }
  ReportNotBuiltYet("game devices: the window movie library (DS_MOVIE.DLL)");
}

void CGameApp::UnpublishMovieLibraries() {
  g_DShowSpriteLib = nullptr;
  g_DShowPrimLib = nullptr;
  g_DShowDataFiles = nullptr;
  movie_library_.reset();
}
