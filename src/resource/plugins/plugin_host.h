// The host of one decoder plug-in family: an ordered array of plug-in records, one per
// registered decoder (built-in decoders and plug-in libraries alike), found by the extension of
// a file name. The image, sound and archive hosts each hold one, instantiated with a family:
//
//   struct Family {
//     using Decoder = ...;                          // the family's decoder base class
//     static constexpr std::string_view kName;      // "Gll", "Sll" or "Adl"
//     static constexpr const char* kObjectEntry;    // "GetAdlDecodeObject", ...
//     static constexpr const char* kWildcard;       // "*.ADL", ...
//     static void ReleaseDecoder(Decoder*);         // delete, or drop a reference
//   };
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <vector>

#include "base/text/sjis_case.h"
#include "resource/plugins/plugin_args.h"
#include "resource/plugins/plugin_library.h"

template <class Family>
struct DecoderReleaser {
  void operator()(typename Family::Decoder* decoder) const { Family::ReleaseDecoder(decoder); }
};

template <class Family>
using DecoderPtr = std::unique_ptr<typename Family::Decoder, DecoderReleaser<Family>>;

template <class Family>
struct PluginRecord {
  std::uint32_t type = 0;
  std::string type_string;
  std::vector<std::string> extensions;
  // Declared before the decoder, so that the decoder is released before its library goes.
  std::unique_ptr<plat::DynamicLibrary> library;  // null for a built-in decoder
  DecoderPtr<Family> decoder;
  PluginAssistFunc assist = nullptr;
  PluginAssistFunc2 assist2 = nullptr;
  PluginConfigFunc config = nullptr;
};

// The items of an extension list: zero-terminated texts ended by an empty one.
std::vector<std::string> SplitExtensionList(const char* list);
// The upper-cased text after the last dot of a file name; empty without a dot. The name is read
// as the file system reads it, so the dot after a half-width kana (ﾄ.BMP) is one: a file the
// engine finds is handled by what its name says it is.
std::string UpperExtensionOf(const char* file_name);

template <class Family>
class CPluginHost {
 public:
  using Decoder = typename Family::Decoder;
  using Record = PluginRecord<Family>;

  void UnloadOfType(std::uint32_t type) {
    std::unique_lock guard(lock_);
    std::erase_if(records_, [type](const Record& record) { return record.type == type; });
  }

  void UnloadAll() {
    std::unique_lock guard(lock_);
    records_.clear();
  }

  // Appends a record for a built-in decoder. 1 when there is no decoder, else 0.
  unsigned Register(DecoderPtr<Family> decoder, const char* extensions, const char* type_string, std::uint32_t type,
                    PluginAssistFunc assist, PluginAssistFunc2 assist2, PluginConfigFunc config) {
    if (!decoder) return 1;
    Record record;
    record.type = type;
    record.type_string = type_string != nullptr ? type_string : "";
    record.extensions = SplitExtensionList(extensions);
    record.decoder = std::move(decoder);
    record.assist = assist;
    record.assist2 = assist2;
    record.config = config;
    std::unique_lock guard(lock_);
    records_.push_back(std::move(record));
    return 0;
  }

  // Loads one plug-in library and appends its record; a load status of plugin_library.h.
  // A library whose type string or extension list is missing is refused as malformed (5).
  unsigned LoadPlugin(const char* path) {
    try {
      PluginEntries entries;
      if (const unsigned status = LoadPluginEntries(path, Family::kName, Family::kObjectEntry, entries); status != 0) {
        return status;
      }
      Record record;
      record.type = entries.get_type();
      const char* type_string = entries.get_type_string();
      const char* extensions = entries.get_support_ext();
      record.decoder.reset(reinterpret_cast<Decoder* (*)()>(entries.get_object)());
      if (!record.decoder) return kPluginNoObject;
      if (type_string == nullptr || extensions == nullptr) return kPluginOtherFailure;
      record.type_string = type_string;
      record.extensions = SplitExtensionList(extensions);
      record.assist = entries.assist;
      record.assist2 = entries.assist2;
      record.config = entries.config;
      record.library = std::move(entries.library);
      std::unique_lock guard(lock_);
      records_.push_back(std::move(record));
      return kPluginLoaded;
    } catch (...) {
      return kPluginOtherFailure;
    }
  }

  // Loads every library of the folder that matches the family's wildcard; the number loaded,
  // or -1 when the folder cannot be made absolute.
  int LoadPlugins(const char* folder) {
    return LoadPluginFolder(folder, Family::kWildcard,
                            [this](const char* path) { return LoadPlugin(path) == kPluginLoaded; });
  }

  // The decoder of the first record whose extension list holds the name's extension.
  Decoder* FindByExtension(const char* file_name) const {
    std::shared_lock guard(lock_);
    const Record* record = FindRecordByExtension(file_name);
    return record != nullptr ? record->decoder.get() : nullptr;
  }

  // The decoder of the first record of that type.
  Decoder* FindByType(std::uint32_t type) const {
    std::shared_lock guard(lock_);
    for (const Record& record : records_) {
      if (record.type == type) return record.decoder.get();
    }
    return nullptr;
  }

  // The second assist entry of the first record of that type; null when there is none.
  PluginAssistFunc2 GetAssistFunc2(std::uint32_t type) const {
    std::shared_lock guard(lock_);
    for (const Record& record : records_) {
      if (record.type == type) return record.assist2;
    }
    return nullptr;
  }

  std::size_t GetCount() const {
    std::shared_lock guard(lock_);
    return records_.size();
  }

  // Runs `use` with the records in registration order while none can be unloaded or added;
  // `use` must not register or unload.
  template <class Use>
  auto WithRecords(Use&& use) const {
    std::shared_lock guard(lock_);
    return use(std::span<const Record>(records_));
  }

  // Of `records`, the first whose extension list holds the file name's extension.
  static const Record* FindRecordByExtension(std::span<const Record> records, const char* file_name) {
    const std::string extension = UpperExtensionOf(file_name);
    if (extension.empty()) return nullptr;
    for (const Record& record : records) {
      for (const std::string& item : record.extensions) {
        if (item == extension) return &record;
      }
    }
    return nullptr;
  }

 private:
  const Record* FindRecordByExtension(const char* file_name) const { return FindRecordByExtension(records_, file_name); }

  mutable std::shared_mutex lock_;
  std::vector<Record> records_;
};
