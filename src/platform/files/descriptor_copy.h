// Copying what one open file holds into another.
#pragma once

namespace plat {

// Reads `from` to its end and writes all of it to `to`; false on a failed read or write.
bool CopyContents(int from, int to);

}  // namespace plat
