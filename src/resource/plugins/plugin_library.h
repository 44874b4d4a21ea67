// Loading one decoder plug-in library: the part of the plug-in scheme that every family shares.
//
// A family named Xxx (Gll image loaders, Sll sound decoders, Adl archive decoders) exports, as
// C functions:
//   std::uint32_t GetXxxType();           const char* GetXxxTypeString();
//   const char* GetXxxSupportExt();       (upper-case extensions, each ending with a zero byte,
//                                          the list ended by an empty item)
//   std::int32_t XxxAssistFunc(std::uint32_t command, const PluginArgs* args);
//   std::int32_t XxxAssistFunc2(const PluginArgs* args);   (args->Word(0) is the command)
//   Decoder* <object entry>();            (GetGllLoadObject, GetSllDecodeObject, GetAdlDecodeObject)
//   std::int32_t XxxConfigDlg(const PluginArgs* args);     (optional)
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/files/dynamic_library.h"
#include "resource/plugins/plugin_args.h"

// Load statuses of a plug-in library.
enum : unsigned {
  kPluginLoaded = 0,
  kPluginBadPath = 1,
  kPluginNotLoadable = 2,
  kPluginMissingExport = 3,
  kPluginNoObject = 4,
  kPluginOtherFailure = 5,
};

struct PluginEntries {
  std::unique_ptr<plat::DynamicLibrary> library;
  std::uint32_t (*get_type)() = nullptr;
  const char* (*get_type_string)() = nullptr;
  const char* (*get_support_ext)() = nullptr;
  PluginAssistFunc assist = nullptr;
  PluginAssistFunc2 assist2 = nullptr;
  void* get_object = nullptr;  // the family's object entry; its type is the family's
  PluginConfigFunc config = nullptr;
};

// Makes the path absolute and loads the library, when it is one the player installed for the
// engine (MayLoadLibrary; a library a game's data could choose is never loaded, since loading
// runs its code): kPluginLoaded, kPluginBadPath or kPluginNotLoadable.
unsigned LoadPluginLibrary(const char* path, std::unique_ptr<plat::DynamicLibrary>& library);

// Looks an export up as a function of the type of `function`; false when it is missing.
template <class Function>
bool ResolveExport(const plat::DynamicLibrary& library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(library.Symbol(name));
  return function != nullptr;
}

// Calls `load` with the engine path of every file of the folder that matches the wildcard, in
// the order the system lists them; the number for which it returned true, or -1 when the
// folder cannot be made absolute.
int LoadPluginFolder(const char* folder, const char* wildcard, const std::function<bool(const char* path)>& load);

// Makes the path absolute, loads the library and looks its entries up in the scheme's order.
// kPluginLoaded, kPluginBadPath, kPluginNotLoadable or kPluginMissingExport.
unsigned LoadPluginEntries(const char* path, std::string_view family, const char* object_entry, PluginEntries& entries);
