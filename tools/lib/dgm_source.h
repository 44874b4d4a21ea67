// The text form of a screen layout file (DGM), which dgm_write turns into the file. Comments run
// from ';' to the end of the line; one item per line:
//
//   background NAME                   the background picture (none without this line)
//   part PICTURE TYPE X Y [KEY=N ...]  a part: its picture (relative to the layout's folder), type
//                                      and place; the keys parameter, shown, width, height and
//                                      state set the rest of its record (parameter 255, shown 1
//                                      and 0 otherwise)
#pragma once

#include <string>
#include <string_view>

#include "dgm_writer.h"

namespace kvxtools {

// False with a message naming the line in `error`.
bool ParseDgmSource(std::string_view source, DgmFile& file, std::string& error);

}  // namespace kvxtools
