// The font libraries, opened at the first font the engine asks for: FreeType renders the glyphs,
// fontconfig finds the files. Only the font layer sees their headers.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/files/on_demand_library.h"

namespace plat {

#define FREETYPE_ENTRIES(X)                                                                                        \
  X(FT_Init_FreeType) X(FT_Done_FreeType) X(FT_New_Face) X(FT_Done_Face) X(FT_Set_Pixel_Sizes) X(FT_MulFix)       \
  X(FT_Get_Sfnt_Table) X(FT_Set_Transform) X(FT_Load_Glyph) X(FT_Outline_EmboldenXY) X(FT_Render_Glyph)            \
  X(FT_Get_Char_Index)

struct FreeTypeEntries {
  FREETYPE_ENTRIES(KVX_LIBRARY_ENTRY)
};

#define FONTCONFIG_ENTRIES(X)                                                                                      \
  X(FcInit) X(FcFini) X(FcPatternCreate) X(FcPatternDestroy) X(FcPatternAddString) X(FcPatternGetString)           \
  X(FcPatternGetInteger) X(FcPatternGetBool) X(FcConfigSubstitute) X(FcDefaultSubstitute) X(FcFontMatch)          \
  X(FcFontList) X(FcFontSetDestroy) X(FcObjectSetBuild) X(FcObjectSetDestroy)

struct FontconfigEntries {
  FONTCONFIG_ENTRIES(KVX_LIBRARY_ENTRY)
};

// Null when the library cannot be opened: no face opens then, and none is listed as installed.
const FreeTypeEntries* FreeTypeLibraryEntries();
const FontconfigEntries* FontconfigLibraryEntries();

}  // namespace plat
