// The draw-object host: effects and draw objects made by name, from *.DCP plug-in libraries and
// from the built-in effects registered beside them.
#pragma once

#include <cstdint>

#include "resource/plugins/object_plugin_host.h"

struct DcpFamily {
  using Object = CDcpObject;
  struct Extra {
    ObjectAssistFunc assist = nullptr;
    ObjectAssistFunc assist2 = nullptr;
  };
  static constexpr const char* kWildcard = "*.DCP";
  static Extra ExtraOf(const plat::DynamicLibrary& library) {
    Extra extra;
    ResolveExport(library, "CallbackAssistFunc", extra.assist);
    ResolveExport(library, "CallbackAssistFunc2", extra.assist2);
    return extra;
  }
  static void OnLookup(const Extra&) {}
  static void Finish(const Extra&) {}
};

class CDcpPluginManager {
 public:
  using Creator = CObjectPluginHost<DcpFamily>::Creator;

  CDcpPluginManager() = default;
  virtual ~CDcpPluginManager() = default;
  CDcpPluginManager(const CDcpPluginManager&) = delete;
  CDcpPluginManager& operator=(const CDcpPluginManager&) = delete;

  virtual void UnloadObjectsOfType(std::uint8_t type) { objects_.UnloadOfType(type); }
  virtual void UnloadObjects() { objects_.UnloadAll(); }
  // 1 without a creator or a name, else 0.
  virtual unsigned RegisterObject(Creator creator, const char* name, std::uint8_t type, ObjectAssistFunc assist,
                                  ObjectAssistFunc assist2, std::uint32_t number) {
    return objects_.Register(creator, name, type, number, DcpFamily::Extra{assist, assist2});
  }
  virtual unsigned LoadObjectPlugin(const char* path) { return objects_.LoadPlugin(path); }
  virtual int LoadObjectPlugins(const char* folder) { return objects_.LoadPlugins(folder); }
  // The creator of the first record with that name (compared with case), its number in `number`.
  virtual Creator FindObject(const char* name, std::uint32_t* number) const {
    return objects_.FindCreator(name, number);
  }
  // A new object by name, set up with the argument words; null when no record holds the name,
  // the creator gives nothing or the set-up fails (the object is then released).
  virtual RefPtr<CDcpObject> CreateObjectV(const char* name, const PluginArgs& args) const;
  virtual RefPtr<CDcpObject> CreateObject(const char* name) const { return objects_.Create(name); }

  ObjectAssistFunc FindAssistFunc(const char* name) const;
  ObjectAssistFunc FindAssistFunc2(const char* name) const;

  const CObjectPluginHost<DcpFamily>& GetObjects() const { return objects_; }

 private:
  CObjectPluginHost<DcpFamily> objects_;
};

// The program's draw-object host, set by the application.
extern CDcpPluginManager* g_DcpHost;

// The first assist entry registered under `name` with the program's host; null without a host or
// an entry.
ObjectAssistFunc FindHostAssistFunc(const char* name);
