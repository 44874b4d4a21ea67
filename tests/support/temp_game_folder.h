// A temporary folder on disk for tests that need files (a game folder, a save folder), removed
// with everything in it when the fixture ends.
#pragma once

#include <string>
#include <string_view>

namespace test_support {

class TempGameFolder {
 public:
  TempGameFolder();
  ~TempGameFolder();
  TempGameFolder(const TempGameFolder&) = delete;
  TempGameFolder& operator=(const TempGameFolder&) = delete;

  // The folder as a host path and as an engine path, both ending with a separator.
  const std::string& HostPath() const { return host_; }
  std::string EnginePath() const;
  // An engine path inside the folder: `relative` uses backslashes and Shift-JIS bytes.
  std::string EnginePath(std::string_view relative) const;

  // Writes a file at a host path relative to the folder ('/' separators, UTF-8), creating its
  // folders.
  void WriteFile(std::string_view relative, std::string_view contents) const;
  std::string ReadFile(std::string_view relative) const;
  bool Exists(std::string_view relative) const;
  void MakeFolder(std::string_view relative) const;

 private:
  std::string host_;
};

}  // namespace test_support
