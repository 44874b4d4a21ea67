// The plain files at the top of a folder: regular files without an execute bit, reached with no
// link as the folder's last name nor as their own. What the engine carries from one folder to
// another without letting a link or a program come along.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Their names, as the engine names them; none when the folder is a link or cannot be opened.
std::vector<std::string> PlainFilesIn(std::string_view engine_folder);

// Copies each of them into the existing folder `to` as a new file with their contents and
// last-write time (a file of that name there is kept as it is): the number copied.
std::size_t CopyPlainFiles(std::string_view engine_folder, std::string_view to);

}  // namespace plat
