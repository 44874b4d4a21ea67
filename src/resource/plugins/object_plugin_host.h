// The common part of the draw-object and transition-object hosts: an ordered array of object
// records (each a named creator with its number in its library) and an array of module records
// (each a loaded library with a count of extra references, -1 when it offers no object, raised
// by one for each of its object records). A host is used from the game thread only.
//
//   struct Family {
//     using Object = ...;                 // CDcpObject or CTcpObject
//     struct Extra { ... };               // what a record carries besides the common fields
//     static constexpr const char* kWildcard;
//     static Extra ExtraOf(const plat::DynamicLibrary&);  // a library object's extra fields
//     static void OnLookup(const Extra&);  // called when a lookup by name finds the record
//     static void Finish(const Extra&);   // called when a record is removed
//   };
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/dynamic_library.h"
#include "resource/plugins/plugin_library.h"
#include "resource/plugins/plugin_objects.h"

// Load statuses of an object plug-in library besides kPluginLoaded, kPluginBadPath,
// kPluginNotLoadable and kPluginMissingExport: any other failure.
inline constexpr unsigned kObjectPluginFailed = 4;

template <class Family>
class CObjectPluginHost {
 public:
  using Object = typename Family::Object;
  using Extra = typename Family::Extra;
  using Creator = Object* (*)(std::uint32_t number);

  struct Record {
    std::uint8_t type = 0;
    std::string name;
    Creator creator = nullptr;
    const plat::DynamicLibrary* module = nullptr;  // null for a built-in object
    std::uint32_t number = 0;
    Extra extra{};
  };

  CObjectPluginHost() = default;
  ~CObjectPluginHost() { UnloadAll(); }
  CObjectPluginHost(const CObjectPluginHost&) = delete;
  CObjectPluginHost& operator=(const CObjectPluginHost&) = delete;

  // Removes every record of that type; a library whose last record goes is freed.
  void UnloadOfType(std::uint8_t type) {
    for (std::size_t i = 0; i < records_.size();) {
      if (records_[i].type != type) {
        ++i;
        continue;
      }
      const Record record = records_[i];
      Family::Finish(record.extra);
      records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
      if (record.module != nullptr) DropModuleReference(record.module);
    }
  }

  void UnloadAll() {
    for (const Record& record : records_) Family::Finish(record.extra);
    records_.clear();
    modules_.clear();
  }

  // Appends a built-in object. 1 without a creator or a name, else 0.
  unsigned Register(Creator creator, const char* name, std::uint8_t type, std::uint32_t number, Extra extra) {
    if (creator == nullptr || name == nullptr) return 1;
    records_.push_back(Record{type, name, creator, nullptr, number, extra});
    return 0;
  }

  // Loads one library and appends a record for each object it offers: kPluginLoaded,
  // kPluginBadPath, kPluginNotLoadable, kPluginMissingExport or kObjectPluginFailed. A library
  // that fails is freed and adds nothing.
  unsigned LoadPlugin(const char* path) {
    try {
      Module module;
      if (const unsigned status = LoadPluginLibrary(path, module.library); status != kPluginLoaded) return status;
      const plat::DynamicLibrary& library = *module.library;
      std::uint32_t (*get_count)() = nullptr;
      Creator get_object = nullptr;
      const char* (*get_name)(std::uint32_t) = nullptr;
      std::uint8_t (*get_type)(std::uint32_t) = nullptr;
      if (!ResolveExport(library, "GetObjectNum", get_count) || !ResolveExport(library, "GetObject", get_object) ||
          !ResolveExport(library, "GetObjectName", get_name) || !ResolveExport(library, "GetObjectType", get_type)) {
        return kPluginMissingExport;
      }
      std::vector<Record> offered;
      const std::uint32_t count = get_count();
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t type = get_type(i);
        const char* name = get_name(i);
        if (name == nullptr) return kObjectPluginFailed;
        offered.push_back(Record{type, name, get_object, &library, i, Family::ExtraOf(library)});
        ++module.references;
      }
      records_.insert(records_.end(), offered.begin(), offered.end());
      modules_.push_back(std::move(module));
      return kPluginLoaded;
    } catch (...) {
      return kObjectPluginFailed;
    }
  }

  int LoadPlugins(const char* folder) {
    return LoadPluginFolder(folder, Family::kWildcard,
                            [this](const char* path) { return LoadPlugin(path) == kPluginLoaded; });
  }

  // The first record with that name (compared with case); null when none.
  const Record* Find(const char* name) const {
    if (name == nullptr) return nullptr;
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [name](const Record& record) { return record.name == name; });
    if (found == records_.end()) return nullptr;
    Family::OnLookup(found->extra);
    return &*found;
  }

  // The creator of the first record with that name, its number in `number` (optional).
  Creator FindCreator(const char* name, std::uint32_t* number) const {
    const Record* record = Find(name);
    if (record == nullptr) return nullptr;
    if (number != nullptr) *number = record->number;
    return record->creator;
  }

  // A new object by name, with no set-up; null when no record holds the name.
  RefPtr<Object> Create(const char* name) const {
    const Record* record = Find(name);
    return record != nullptr ? RefPtr<Object>(record->creator(record->number)) : nullptr;
  }

  // A new object by name that `set_up` (object -> status) makes ready; an object whose set-up
  // fails is released and null is returned.
  template <class SetUp>
  RefPtr<Object> CreateAndSetUp(const char* name, SetUp set_up) const {
    RefPtr<Object> object = Create(name);
    if (object && set_up(*object) != 0) return nullptr;
    return object;
  }

  std::size_t GetRecordCount() const { return records_.size(); }
  const Record& GetRecord(std::size_t index) const { return records_.at(index); }
  std::size_t GetModuleCount() const { return modules_.size(); }
  // The extra references of the module record at `index` (-1: it offers no object).
  std::int32_t GetModuleReferences(std::size_t index) const { return modules_.at(index).references; }

 private:
  struct Module {
    std::unique_ptr<plat::DynamicLibrary> library;
    std::int32_t references = -1;
  };

  void DropModuleReference(const plat::DynamicLibrary* library) {
    const auto module = std::find_if(modules_.begin(), modules_.end(),
                                     [library](const Module& candidate) { return candidate.library.get() == library; });
    if (module == modules_.end()) return;
    if (module->references > 0) {
      --module->references;
    } else {
      modules_.erase(module);
    }
  }

  // Records are declared after the modules, so that they go before the libraries their names
  // and creators live in.
  std::vector<Module> modules_;
  std::vector<Record> records_;
};
