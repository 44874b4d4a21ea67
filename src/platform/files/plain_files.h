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
#include <utility>
#include <vector>

namespace plat {

// Their names, as the engine names them; none when the folder is a link or cannot be opened.
std::vector<std::string> PlainFilesIn(std::string_view engine_folder);

// What the plain file `name` of the folder holds; nothing when it is not one, cannot be read,
// or holds more than `limit` bytes (which are then not read).
std::optional<std::vector<std::uint8_t>> ReadPlainFile(std::string_view engine_folder, std::string_view name,
                                                       std::size_t limit);

// Why an entry of the folder was not copied.
enum class LeftBehind { kTooLarge, kExecutable, kNotPlain, kUnreadable };

struct CarriedFiles {
  std::size_t found = 0;   // the entries of the earlier folder
  std::size_t copied = 0;  // the files that the new folder holds as it takes its name
  std::vector<std::pair<LeftBehind, std::string>> left;  // the names of the entries not copied, with why
  std::string failure;  // in UTF-8, what failed and why; empty when `to` stands
};

// Copies them into the new folder `to`, whole or not at all; the other entries are left behind
// and named. The copies are made in the folder `staging` beside it (a left-over one, of a copy
// cut short, is removed first with all it holds), each with its contents, permission bits and
// last-write time; the folder takes the permission bits of `engine_folder`, all is put on the
// disk at once, and the folder is renamed to `to` (never over a folder of that name), and the
// folder that holds them is put on the disk last. A file that holds more than `largest` bytes,
// or comes to while it is copied, is left behind, its copy removed. After a failure `staging` is
// gone and `to` not made. The folders that hold `to` are made when missing. Two processes must not
// carry into the same `staging` at once: the caller keeps them apart.
CarriedFiles CarryPlainFiles(std::string_view engine_folder, std::string_view staging, std::string_view to,
                             std::uint64_t largest);

// For tests only, so that they can end the process at every step of CarryPlainFiles or fail one
// as a full disk does: called before each file it copies, with the number of files copied
// before it, and before the rename, with the number of files copied. An errno it answers fails
// that step with that reason; 0 lets it go on. Empty (the default) for none.
void SetCarryFaultForTests(std::function<int(std::size_t step)> fault);

}  // namespace plat
