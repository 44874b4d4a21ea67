// The movie libraries that the program loads from its folder when movies are enabled: one loader
// per library, holding its module and its two entries, and the places where the start-up
// publishes the loaded ones with the data-file layer they read from.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/files/dynamic_library.h"
#include "platform/files/movie_library_abi.h"

class CScreenManager;
class IDataFileLayer;

struct DShowLibraryKind {
  const char* file_name;  // in the program folder
  const char* creator_name;
  uint32_t version;
};

inline constexpr DShowLibraryKind kDShowSpriteLibrary{"DS_SPRITE.DLL", "GetDShowGdiSpriteCtrl", KVX_DS_SPRITE_VERSION};
inline constexpr DShowLibraryKind kDShowPrimLibrary{"DS_PRIM.DLL", "GetDShowPrimCtrl", KVX_DS_PRIM_VERSION};
inline constexpr DShowLibraryKind kDShowMovieLibrary{"DS_MOVIE.DLL", "GetMovieObject", KVX_DS_MOVIE_VERSION};

class CDShowLibrary {
 public:
  // Whether the library file at an engine path, whose file lies at a host path (every link
  // followed), may be loaded; it logs its refusals.
  using PlaceRule = std::function<bool(const char* path, const std::string& real_path)>;

  // Loads the library from the folder (an engine path ending with a separator) and hands it the
  // player module beside it, both opened once and checked by `rule` where they lie. A missing
  // entry or another version frees it again and leaves the loader empty. True when loaded.
  bool Load(const char* folder, const DShowLibraryKind& kind, const PlaceRule& rule = {});
  bool IsLoaded() const { return library_ != nullptr; }
  // The creator of the sprite and primitive libraries; null when not loaded.
  KvxCreateControlFunc GetControlCreator() const { return reinterpret_cast<KvxCreateControlFunc>(creator_); }
  // The creator of the window movie library; null when not loaded.
  KvxCreateMovieFunc GetMovieCreator() const { return reinterpret_cast<KvxCreateMovieFunc>(creator_); }

 private:
  std::unique_ptr<plat::DynamicLibrary> library_;
  KvxGetVersionFunc get_version_ = nullptr;
  void* creator_ = nullptr;
};

// Published by the start-up; null when not loaded.
extern CDShowLibrary* g_DShowSpriteLib;
extern CDShowLibrary* g_DShowPrimLib;
extern CDShowLibrary* g_DShowMovieLib;
// The data-file layer the wrappers open their files through when given none.
extern IDataFileLayer* g_DShowDataFiles;
// The screen whose primary surface the window movie library is lent when given none.
extern CScreenManager* g_DShowScreen;
