// The transition-object host: transition callbacks and filters made by name, from *.TCP plug-in
// libraries and from the built-in transitions registered beside them. A built-in record may
// carry a start-up entry, called once, when its name is first looked up, and a finish entry,
// called when the record is removed.
#pragma once

#include <cstdint>

#include "resource/plugins/object_plugin_host.h"

struct TcpFamily {
  using Object = CTcpObject;
  struct Extra {
    std::uint32_t value = 0;
    ObjectStartUpFunc start_up = nullptr;
    ObjectFinishFunc finish = nullptr;
    // Set when the start-up entry has run; lookups are const operations of the host.
    mutable bool started = false;
  };
  static constexpr const char* kWildcard = "*.TCP";
  static Extra ExtraOf(const plat::DynamicLibrary&) { return {}; }
  static void OnLookup(const Extra& extra) {
    if (extra.started) return;
    extra.started = true;
    if (extra.start_up != nullptr) extra.start_up();
  }
  static void Finish(const Extra& extra) {
    if (extra.finish != nullptr) extra.finish();
  }
};

class CTcpPluginManager {
 public:
  using Creator = CObjectPluginHost<TcpFamily>::Creator;

  CTcpPluginManager() = default;
  virtual ~CTcpPluginManager() = default;
  CTcpPluginManager(const CTcpPluginManager&) = delete;
  CTcpPluginManager& operator=(const CTcpPluginManager&) = delete;

  virtual void UnloadObjectsOfType(std::uint8_t type) { objects_.UnloadOfType(type); }
  virtual void UnloadObjects() { objects_.UnloadAll(); }
  // 1 without a creator or a name, else 0.
  virtual unsigned RegisterObject(Creator creator, const char* name, std::uint8_t type, std::uint32_t number,
                                  std::uint32_t value, ObjectStartUpFunc start_up, ObjectFinishFunc finish) {
    return objects_.Register(creator, name, type, number, TcpFamily::Extra{value, start_up, finish});
  }
  virtual unsigned LoadObjectPlugin(const char* path) { return objects_.LoadPlugin(path); }
  virtual int LoadObjectPlugins(const char* folder) { return objects_.LoadPlugins(folder); }
  // The creator of the first record with that name (compared with case), its number in `number`.
  virtual Creator FindObject(const char* name, std::uint32_t* number) const {
    return objects_.FindCreator(name, number);
  }
  // A new object by name, created with the parameter and the argument words; null when no record
  // holds the name, the creator gives nothing or the create operation fails (the object is then
  // released).
  virtual RefPtr<CTcpObject> CreateObjectV(std::uintptr_t parameter, const char* name, const PluginArgs& args) const;
  virtual RefPtr<CTcpObject> CreateObject(const char* name) const { return objects_.Create(name); }

  const CObjectPluginHost<TcpFamily>& GetObjects() const { return objects_; }

 private:
  CObjectPluginHost<TcpFamily> objects_;
};

// The program's transition-object host, set by the application.
extern CTcpPluginManager* g_TcpHost;
