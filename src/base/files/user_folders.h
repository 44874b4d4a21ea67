// The user's own folders that scripts may name and write into, numbered as the scripts number
// them: 1 documents, 2 pictures, 3 application data, 4 desktop (the XDG folders of this system).
#pragma once

#include <optional>
#include <string>
#include <vector>

inline constexpr int kFirstUserFolder = 1;
inline constexpr int kLastUserFolder = 4;

// The user folder `which` as an engine path ending with a backslash; nothing for another number
// or a folder the system cannot name. Naming a folder never creates it.
std::optional<std::string> UserFolderPath(int which);
// Every user folder the system can name, in their order.
std::vector<std::string> UserFolderPaths();
