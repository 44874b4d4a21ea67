// The folder watches this process holds, as the kernel lists them for its notification queues.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace test_support {

inline int FolderWatchesHeld() {
  int watches = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) != "anon_inode:inotify") continue;
    std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
    for (std::string line; std::getline(info, line);) watches += line.starts_with("inotify wd:") ? 1 : 0;
  }
  return watches;
}

}  // namespace test_support
