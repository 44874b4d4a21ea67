#include "scene/movies/dshow_library.h"

#include <string>

#include "base/files/path.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"

CDShowLibrary* g_DShowSpriteLib = nullptr;
CDShowLibrary* g_DShowPrimLib = nullptr;
CDShowLibrary* g_DShowMovieLib = nullptr;
IDataFileLayer* g_DShowDataFiles = nullptr;
CScreenManager* g_DShowScreen = nullptr;

namespace {

void LogMovieLibraryLine(const char* line) { plat::LogDiagnostic(std::string("movie library: ") + line); }

// The rule of a load for the file at `path`.
plat::DynamicLibrary::PlaceRule RuleFor(const CDShowLibrary::PlaceRule& rule, const std::string& path) {
  if (!rule) return {};
  return [&rule, path](const std::string& real_path) { return rule(path.c_str(), real_path); };
}

const char* WhyNotOpened(plat::DynamicLibrary::LoadStatus status) {
  switch (status) {
    case plat::DynamicLibrary::LoadStatus::kNotSharedObject: return "not a shared object of this machine";
    case plat::DynamicLibrary::LoadStatus::kRefused: return "refused where it lies";
    default: return "missing, unreadable or a link";
  }
}

// Opens the player module in the folder under the library's rule and hands it to the library.
void HandPlayerModule(const std::string& folder, const CDShowLibrary::PlaceRule& rule,
                      KvxSetPlayerModuleFunc set_player_module) {
  const std::string path = folder + KVX_PLAYER_MODULE_FILE;
  const std::string shown = plat::ToHostPath(path).value_or(path);
  plat::UniqueFd file;
  const plat::DynamicLibrary::LoadStatus status = plat::DynamicLibrary::Open(path, file, RuleFor(rule, path));
  if (status != plat::DynamicLibrary::LoadStatus::kLoaded) {
    set_player_module(-1, shown.c_str(), WhyNotOpened(status));
    return;
  }
  set_player_module(file.Release(), shown.c_str(), nullptr);
}

}  // namespace

bool CDShowLibrary::Load(const char* folder, const DShowLibraryKind& kind, const PlaceRule& rule) {
  library_.reset();
  get_version_ = nullptr;
  creator_ = nullptr;
  char path[kMaxPath];
  if (folder == nullptr || MakeFullPath(path, (std::string(folder) + kind.file_name).c_str()) == 0) return false;
  std::unique_ptr<plat::DynamicLibrary> library;
  if (plat::DynamicLibrary::Load(path, library, RuleFor(rule, path)) != plat::DynamicLibrary::LoadStatus::kLoaded) {
    return false;
  }
  const auto get_version = reinterpret_cast<KvxGetVersionFunc>(library->Symbol("GetDllVersion"));
  void* const create = library->Symbol(kind.creator_name);
  const auto set_player_module = reinterpret_cast<KvxSetPlayerModuleFunc>(library->Symbol("SetPlayerModule"));
  if (get_version == nullptr || create == nullptr || set_player_module == nullptr || get_version() != kind.version) {
    return false;
  }
  if (const auto set_log_sink = reinterpret_cast<KvxSetLogSinkFunc>(library->Symbol("SetLogSink"))) {
    set_log_sink(&LogMovieLibraryLine);
  }
  char full_folder[kMaxPath];
  GetPathFolder(path, full_folder);
  HandPlayerModule(full_folder, rule, set_player_module);
  library_ = std::move(library);
  get_version_ = get_version;
  creator_ = create;
  return true;
}
