// Shared libraries that the engine opens at their first use instead of at start (the font,
// text-shaping and Ogg Vorbis libraries), so that start-up does not load what the first frame
// does not need. A user lists the library's functions it calls once, in an X-macro:
//
//   #define VORBIS_FILE_ENTRIES(X) X(ov_open_callbacks) X(ov_clear)
//   struct VorbisFileEntries { VORBIS_FILE_ENTRIES(KVX_LIBRARY_ENTRY) };
//   OnDemandLibrary<VorbisFileEntries> library("libvorbisfile.so.3",
//       {VORBIS_FILE_ENTRIES(KVX_LIBRARY_ENTRY_NAME)}, "Ogg Vorbis sounds are not played");
//
// and calls through `library.Get()->ov_clear(...)`, each pointer of the function's own type.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A member of an entry table: a pointer of the library function's own type, named as it.
#define KVX_LIBRARY_ENTRY(name) decltype(&::name) name;
// The name under which the library exports that function.
#define KVX_LIBRARY_ENTRY_NAME(name) #name,

namespace plat {

// Opens the library `file_name` (as the dynamic loader finds it, so by its versioned name) and
// looks up every one of `names`: their addresses in that order, or nothing when the library
// cannot be opened or lacks any of them; the log then says why and what the engine does without
// it (`consequence`). An opened library stays loaded for the rest of the process: fonts of static
// objects still call into it while the program ends.
std::optional<std::vector<void*>> OpenLibraryEntries(std::string_view file_name,
                                                     std::span<const char* const> names,
                                                     std::string_view consequence);

// A table of a library's entry points (a struct of nothing but function pointers, in the order
// of the names given), opened at the first Get() on any thread. A library that failed to open
// fails every later Get() without being tried or reported again, as if it were not installed.
// Nothing is undone at exit (the file name and consequence are kept: give literals), so that
// sounds and fonts of static objects can still be released while the program ends.
template <class Entries>
class OnDemandLibrary {
 public:
  static constexpr std::size_t kCount = sizeof(Entries) / sizeof(void*);

  template <std::size_t kNames>
  OnDemandLibrary(const char* file_name, const char* const (&names)[kNames], const char* consequence)
      : file_name_(file_name), consequence_(consequence) {
    static_assert(kNames == kCount, "one name for each entry of the table, in its order");
    std::copy(std::begin(names), std::end(names), names_.begin());
  }

  // The table, or null when the library cannot be used.
  const Entries* Get() {
    std::call_once(opened_, [this] { Open(); });
    return entries_ ? &*entries_ : nullptr;
  }

 private:
  void Open() {
    const std::optional<std::vector<void*>> addresses = OpenLibraryEntries(file_name_, names_, consequence_);
    if (!addresses) return;
    // Each address becomes the function pointer of its member, as dlsym's addresses are meant to.
    Entries entries;
    std::memcpy(&entries, addresses->data(), sizeof(entries));
    entries_ = entries;
  }

  const char* file_name_;
  const char* consequence_;
  std::array<const char*, kCount> names_{};
  std::once_flag opened_;
  std::optional<Entries> entries_;
};

}  // namespace plat
