// The folder in which an earlier version kept a game's saves and settings: the desktop's data
// folder itself, before the games' folders moved into the engine's own. Carried over into the
// game's new folder once, whole or not at all, when it is the engine's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The largest file carried over. The engine's saves are a 22 KB header and the packed state of
// the script's variables, a few hundred KB at the most; its settings files a few hundred bytes;
// what scripts write beside them is of the same scale. 64 MiB is far above all of them, and
// keeps a first start from copying, unasked, whatever large file lies in the folder.
inline constexpr std::uint64_t kLargestCarriedFile = std::uint64_t{64} << 20;

// Copies the plain files of `earlier` into the new folder `name` of the engine's data folder
// `data_folder` (engine paths ending with a backslash) when `earlier` holds a settings file as
// the engine writes it, and says in the log what was done, or why nothing was. Starts of games
// at once take turns: each holds a lock in the engine's data folder from before it looks for the
// new folder until that stands, so a start that waited finds it whole and copies nothing.
// Nothing in the data folder is made before the lock is held but the data folder itself. When
// the copy failed, the path that stood in its way (the lock, or the folder the copies are made
// in): the new folder is not made, `earlier` is as it was, and the next start tries again.
std::optional<std::string> CarryEarlierFolderOver(const std::string& earlier, const std::string& data_folder,
                                                  const std::string& name);
