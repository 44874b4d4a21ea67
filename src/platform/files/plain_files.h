// The plain files at the top of a folder: regular files without an execute bit, reached with no
// link as the folder's last name nor as their own. What the engine carries from one folder to
// another without letting a link or a program come along.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Their names, as the engine names them; none when the folder is a link or cannot be opened.
std::vector<std::string> PlainFilesIn(std::string_view engine_folder);

// What the plain file `name` of the folder holds; nothing when it is not one, cannot be read,
// or holds more than `limit` bytes (which are then not read).
std::optional<std::vector<std::uint8_t>> ReadPlainFile(std::string_view engine_folder, std::string_view name,
                                                       std::size_t limit);

struct CarriedFiles {
  std::size_t copied = 0;
  std::vector<std::string> too_large;  // the names of the files left behind unread
  std::string failure;                 // in UTF-8, what failed and why; empty when `to` stands
};

// Copies them into the new folder `to`, whole or not at all. The copies are made in the folder
// `staging` beside it (a left-over one, of a copy cut short, is removed first), each with its
// contents, permission bits and last-write time and put on the disk; the folder takes the
// permission bits of `engine_folder`, is put on the disk and renamed to `to` (never over a folder
// of that name), and the folder that holds them is put on the disk last. A file larger than
// `largest` bytes is left behind unread. After a failure `staging` is gone and `to` not made.
// The folders that hold `to` are made when missing.
CarriedFiles CarryPlainFiles(std::string_view engine_folder, std::string_view staging, std::string_view to,
                             std::uint64_t largest);

// For tests only, so that they can end the process at every step of CarryPlainFiles or fail one
// as a full disk does: called before each file it copies, with the number of files copied
// before it, and before the rename, with the number of files copied. An errno it answers fails
// that step with that reason; 0 lets it go on. Empty (the default) for none.
void SetCarryFaultForTests(std::function<int(std::size_t step)> fault);

}  // namespace plat
