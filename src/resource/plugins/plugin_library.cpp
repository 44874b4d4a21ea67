#include "resource/plugins/plugin_library.h"

#include <string>

#include "base/files/path.h"
#include "base/files/script_code_rule.h"
#include "platform/files/file_system_ops.h"

namespace {

template <class Function>
bool Resolve(const plat::DynamicLibrary& library, const std::string& name, Function& function) {
  return ResolveExport(library, name.c_str(), function);
}

}  // namespace

unsigned LoadPluginLibrary(const char* path, std::unique_ptr<plat::DynamicLibrary>& library) {
  char full_path[kMaxPath];
  if (MakeFullPath(full_path, path) == 0) return kPluginBadPath;
  const auto player_installed = [&full_path](const std::string& real_path) { return MayLoadLibrary(full_path, real_path); };
  if (plat::DynamicLibrary::Load(full_path, library, player_installed) != plat::DynamicLibrary::LoadStatus::kLoaded) {
    return kPluginNotLoadable;
  }
  return kPluginLoaded;
}

int LoadPluginFolder(const char* folder, const char* wildcard, const std::function<bool(const char* path)>& load) {
  char full_folder[kMaxPath];
  if (MakeFullPath(full_folder, folder) == 0) return -1;
  std::string prefix = full_folder;
  if (!EndsWithSeparator(full_folder)) prefix += '\\';
  int loaded = 0;
  for (const plat::FindData& found : plat::FindFiles(prefix + wildcard)) {
    if (found.IsFolder()) continue;
    if (load((prefix + found.file_name).c_str())) ++loaded;
  }
  return loaded;
}

unsigned LoadPluginEntries(const char* path, std::string_view family, const char* object_entry, PluginEntries& entries) {
  if (const unsigned status = LoadPluginLibrary(path, entries.library); status != kPluginLoaded) return status;
  const plat::DynamicLibrary& library = *entries.library;
  const std::string name(family);
  const bool complete = Resolve(library, "Get" + name + "Type", entries.get_type) &&
                        Resolve(library, "Get" + name + "TypeString", entries.get_type_string) &&
                        Resolve(library, "Get" + name + "SupportExt", entries.get_support_ext) &&
                        Resolve(library, name + "AssistFunc", entries.assist) &&
                        Resolve(library, name + "AssistFunc2", entries.assist2) &&
                        Resolve(library, object_entry, entries.get_object);
  if (!complete) return kPluginMissingExport;
  Resolve(library, name + "ConfigDlg", entries.config);
  return kPluginLoaded;
}
