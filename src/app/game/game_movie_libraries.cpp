// The movie libraries of the game's devices: the primitive library, or the sprite library when
// the scene is composed in a display canvas, and the window movie library in either case, loaded
// from the program folder (never while it lies in the game's or the save folder, which the set-up
// has said in the log) and published with the data-file layer (and, for the window movie library,
// the screen) for the movie players.
#include <string>

#include "app/game/game_app.h"
#include "base/files/script_code_rule.h"
#include "platform/system/diagnostic_log.h"
#include "scene/movies/dshow_library.h"

namespace {

std::unique_ptr<CDShowLibrary> LoadMovieLibrary(const std::string& folder, const DShowLibraryKind& kind) {
  auto library = std::make_unique<CDShowLibrary>();
  if (library->Load(folder.c_str(), kind, MayLoadProgramLibrary)) return library;
  plat::LogDiagnostic(std::string("the movie library ") + kind.file_name + " did not load; movies are not shown");
  return nullptr;
}

}  // namespace

void CGameApp::LoadMovieLibraries() {
  if (game_switches_[kSwitchMovieLibraries] == 0 || !WhyNoNativeCodeLoads().empty()) return;
  const std::string folder = NativeCodeFolder();
  if (folder.empty()) return;
  const bool sprites = HasDisplayCanvas();
  movie_library_ = LoadMovieLibrary(folder, sprites ? kDShowSpriteLibrary : kDShowPrimLibrary);
  if (movie_library_ != nullptr) {
    (sprites ? g_DShowSpriteLib : g_DShowPrimLib) = movie_library_.get();
    g_DShowDataFiles = &data_files_;
  }
  window_movie_library_ = LoadMovieLibrary(folder, kDShowMovieLibrary);
  if (window_movie_library_ != nullptr) {
    g_DShowMovieLib = window_movie_library_.get();
    g_DShowDataFiles = &data_files_;
    g_DShowScreen = &GetScreenManager();
  }
}

void CGameApp::UnpublishMovieLibraries() {
  g_DShowSpriteLib = nullptr;
  g_DShowPrimLib = nullptr;
  g_DShowMovieLib = nullptr;
  g_DShowDataFiles = nullptr;
  g_DShowScreen = nullptr;
  movie_library_.reset();
  window_movie_library_.reset();
}
