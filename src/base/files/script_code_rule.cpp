#include "base/files/script_code_rule.h"

#include <optional>

#include "base/files/script_write_rule.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/files/special_folders.h"
#include "platform/system/diagnostic_log.h"

namespace {

std::string g_native_code_folder;

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

// Whether the library may be loaded from `folder`, which holds what the player installed: it is
// reached from there without a link, does not lie where the game's files do, and no script wrote
// it or moved it there.
bool MayLoadFrom(const std::string& folder, const char* path, const std::string& real_path, const char* outside_folder) {
  constexpr const char* kLoad = "not loading the library";
  if (!LiesInWithoutLinks(path, real_path, folder)) return Refused(kLoad, path, outside_folder);
  if (LiesInGameOrSaveFolder(real_path)) return Refused(kLoad, path, "it lies in the game's or the save folder");
  if (MayScriptHaveWritten(real_path)) return Refused(kLoad, path, "a script wrote or moved it");
  return true;
}

}  // namespace

void SetNativeCodeFolder(std::string_view engine_folder) { g_native_code_folder = engine_folder; }

std::string NativeCodeFolder() {
  if (!g_native_code_folder.empty()) return g_native_code_folder;
  return plat::ProgramFolder().value_or(std::string());
}

std::string PlayerPluginFolder() {
  const std::string folder = NativeCodeFolder();
  return folder.empty() ? folder : folder + "plugin\\";
}

std::string WhyNoNativeCodeLoads() {
  const std::string folder = NativeCodeFolder();
  const std::optional<std::string> place = plat::ResolveLinks(folder);
  if (place && !LiesInGameOrSaveFolder(*place)) return {};
  return "no plug-in, movie library or movie player is loaded: the program's folder " +
         plat::ToHostPath(folder).value_or(plat::SjisToUtf8(folder)) +
         (place ? " lies in the game's or the save folder, whose files the game brings or writes"
                : " cannot be followed to its place") +
         "; keep the program in a folder apart from the game and start it with /L<game folder>";
}

bool MayLoadLibrary(const char* path, const std::string& real_path) {
  return MayLoadFrom(PlayerPluginFolder(), path, real_path,
                     "libraries load only from the player's plug-in folder beside the program, reached without links");
}

bool MayLoadProgramLibrary(const char* path, const std::string& real_path) {
  return MayLoadFrom(NativeCodeFolder(), path, real_path,
                     "the program's libraries load only from its own folder, reached without links");
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
