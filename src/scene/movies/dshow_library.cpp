#include "scene/movies/dshow_library.h"

#include <string>

#include "base/files/path.h"
#include "platform/system/diagnostic_log.h"

CDShowLibrary* g_DShowSpriteLib = nullptr;
CDShowLibrary* g_DShowPrimLib = nullptr;
CDShowLibrary* g_DShowMovieLib = nullptr;
IDataFileLayer* g_DShowDataFiles = nullptr;
CScreenManager* g_DShowScreen = nullptr;

namespace {

void LogMovieLibraryLine(const char* line) { plat::LogDiagnostic(std::string("movie library: ") + line); }

}  // namespace

bool CDShowLibrary::Load(const char* folder, const DShowLibraryKind& kind) {
  library_.reset();
  get_version_ = nullptr;
  creator_ = nullptr;
  char path[kMaxPath];
  if (folder == nullptr || MakeFullPath(path, (std::string(folder) + kind.file_name).c_str()) == 0) return false;
  std::unique_ptr<plat::DynamicLibrary> library;
  if (plat::DynamicLibrary::Load(path, library) != plat::DynamicLibrary::LoadStatus::kLoaded) return false;
  const auto get_version = reinterpret_cast<KvxGetVersionFunc>(library->Symbol("GetDllVersion"));
  void* const create = library->Symbol(kind.creator_name);
  if (get_version == nullptr || create == nullptr || get_version() != kind.version) return false;
  if (const auto set_log_sink = reinterpret_cast<KvxSetLogSinkFunc>(library->Symbol("SetLogSink"))) {
    set_log_sink(&LogMovieLibraryLine);
  }
  library_ = std::move(library);
  get_version_ = get_version;
  creator_ = create;
  return true;
}
