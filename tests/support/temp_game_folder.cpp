#include "support/temp_game_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/files/host_path.h"

namespace test_support {

TempGameFolder::TempGameFolder() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::string pattern = (base / "kestrune-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  host_ = std::string(buffer.data()) + "/";
}

TempGameFolder::~TempGameFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(host_, ignored);
}

std::string TempGameFolder::EnginePath() const { return plat::ToEnginePath(host_); }

std::string TempGameFolder::EnginePath(std::string_view relative) const { return EnginePath() + std::string(relative); }

void TempGameFolder::WriteFile(std::string_view relative, std::string_view contents) const {
  const std::filesystem::path path = host_ + std::string(relative);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

std::string TempGameFolder::ReadFile(std::string_view relative) const {
  std::ifstream file(host_ + std::string(relative), std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

bool TempGameFolder::Exists(std::string_view relative) const {
  return std::filesystem::exists(host_ + std::string(relative));
}

void TempGameFolder::MakeFolder(std::string_view relative) const {
  std::filesystem::create_directories(host_ + std::string(relative));
}

}  // namespace test_support
