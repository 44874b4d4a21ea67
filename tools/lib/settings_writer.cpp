#include "settings_writer.h"

namespace kvxtools {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutString(std::vector<std::uint8_t>& out, const std::string& text, bool terminate) {
  if (text.empty()) {
    out.push_back(0);
    return;
  }
  out.push_back(static_cast<std::uint8_t>(text.size() + (terminate ? 1 : 0)));
  out.insert(out.end(), text.begin(), text.end());
  if (terminate) out.push_back(0);
}

void PutBlock(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& block) {
  Put(out, static_cast<std::uint32_t>(block.size()), 2);
  out.insert(out.end(), block.begin(), block.end());
}

}  // namespace

std::vector<std::uint8_t> WriteAppDefinition(const AppDefinitionFile& file) {
  std::vector<std::uint8_t> out;
  Put(out, file.stored_length.value_or(23), 2);
  Put(out, file.width, 2);
  Put(out, file.height, 2);
  Put(out, file.style, 4);
  Put(out, file.ex_style, 4);
  Put(out, file.icon, 2);
  Put(out, file.menu, 2);
  Put(out, file.accelerators, 2);
  for (const std::uint8_t byte :
       {file.single_instance, file.screen_modes, file.allow_cd, file.save_folder_mode, file.menu_in_fullscreen}) {
    out.push_back(byte);
  }
  return out;
}

std::vector<std::uint8_t> WriteAppInformation(const AppInformationFile& file) {
  std::vector<std::uint8_t> out{file.major, file.minor, file.revision};
  for (const std::string* text : {&file.name, &file.product, &file.copyright, &file.web, &file.save_folder}) {
    PutString(out, *text, file.terminate_strings);
  }
  return out;
}

std::vector<std::uint8_t> WriteUserConfigFile(const UserConfigFile& file) {
  std::vector<std::uint8_t> out;
  PutBlock(out, file.environment);
  PutBlock(out, file.window);
  PutBlock(out, file.run_time);
  std::vector<std::uint8_t> path(file.chosen_folder.begin(), file.chosen_folder.end());
  if (!path.empty()) path.push_back(0);
  PutBlock(out, path);
  return out;
}

std::vector<std::uint8_t> WriteGameSettings(std::uint32_t stored_length, const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> out;
  Put(out, stored_length, 4);
  out.insert(out.end(), bytes.begin(), bytes.end());
  return out;
}

}  // namespace kvxtools
