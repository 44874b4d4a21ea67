#include "platform/fonts/font_libraries.h"

namespace plat {

const FreeTypeEntries* FreeTypeLibraryEntries() {
  static OnDemandLibrary<FreeTypeEntries> library("libfreetype.so.6", {FREETYPE_ENTRIES(KVX_LIBRARY_ENTRY_NAME)},
                                                  "text is not drawn");
  return library.Get();
}

const FontconfigEntries* FontconfigLibraryEntries() {
  static OnDemandLibrary<FontconfigEntries> library("libfontconfig.so.1", {FONTCONFIG_ENTRIES(KVX_LIBRARY_ENTRY_NAME)},
                                                    "no font is found and text is not drawn");
  return library.Get();
}

}  // namespace plat
