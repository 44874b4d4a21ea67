#include "resource/plugin_library.h"

#include <string>

#include "base/path.h"

namespace {

template <class Function>
bool Resolve(const plat::DynamicLibrary& library, const std::string& name, Function& function) {
  function = reinterpret_cast<Function>(library.Symbol(name.c_str()));
  return function != nullptr;
}

}  // namespace

unsigned LoadPluginEntries(const char* path, std::string_view family, const char* object_entry, PluginEntries& entries) {
  char full_path[kMaxPath];
  if (MakeFullPath(full_path, path) == 0) return kPluginBadPath;
  if (plat::DynamicLibrary::Load(full_path, entries.library) != plat::DynamicLibrary::LoadStatus::kLoaded) {
    return kPluginNotLoadable;
  }
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
