#include "base/files/script_code_rule.h"

#include <optional>

#include "base/files/script_write_rule.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/files/special_folders.h"
#include "platform/system/diagnostic_log.h"

namespace {

std::string g_player_plugin_folder;

std::string PlayerPluginFolder() {
  if (!g_player_plugin_folder.empty()) return g_player_plugin_folder;
  const std::optional<std::string> program = plat::ProgramFolder();
  return program ? *program + "plugin\\" : std::string();
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Whether the file lies in the folder as named and, its links followed, at the same names below
// the folder's own place: no link between the folder and the file.
bool LiesInWithoutLinks(const char* path, const std::string& real_path, const std::string& folder) {
  const std::optional<std::string> named = plat::ToHostPath(path);
  const std::optional<std::string> named_folder = plat::ToHostPath(folder);
  const std::optional<std::string> place = plat::ResolveLinks(folder);
  if (!named || !named_folder || !place) return false;
  const std::string from = WithoutTrailingSlash(*named_folder);
  if (!plat::IsSameOrBelow(*named, from) || *named == from) return false;
  return real_path == WithoutTrailingSlash(*place) + named->substr(from == "/" ? 0 : from.size());
}

bool Refused(const char* what, const char* path, const char* why) {
  plat::LogDiagnostic(std::string(what) + " " + plat::SjisToUtf8(path) + ": " + why);
  return false;
}

}  // namespace

void SetPlayerPluginFolder(std::string_view engine_folder) { g_player_plugin_folder = engine_folder; }

bool MayLoadLibrary(const char* path, const std::string& real_path) {
  constexpr const char* kLoad = "not loading the library";
  if (!LiesInWithoutLinks(path, real_path, PlayerPluginFolder())) {
    return Refused(kLoad, path,
                   "libraries load only from the player's plug-in folder beside the program, reached without links");
  }
  if (LiesInGameOrSaveFolder(real_path)) return Refused(kLoad, path, "it lies in the game's or the save folder");
  if (MayScriptHaveWritten(real_path)) return Refused(kLoad, path, "a script wrote or moved it");
  return true;
}

bool MayStartProgram(const char* path, const std::string& real_path, bool native_program) {
  constexpr const char* kStart = "a script may not start";
  // Where the file that was opened lies, which the path may no longer name.
  if (!MayScriptRunAt(plat::ToEnginePath(real_path).c_str())) return false;
  if (MayScriptHaveWritten(real_path)) {
    return Refused(kStart, path, "a script wrote, copied over or moved it in this run of the game");
  }
  if (!native_program) return Refused(kStart, path, "it is not a program of this machine");
  return true;
}
