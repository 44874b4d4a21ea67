// Writes a game's settings files from readable values, field by field as the files lay them
// out: the application definition and information files of the game's data, the user's settings
// file and the game settings file. Stored lengths can be given apart from the data, so that tests
// can also write files whose lengths lie.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvxtools {

struct AppDefinitionFile {
  std::uint16_t width = 640;
  std::uint16_t height = 480;
  std::uint32_t style = 0x00CA0000;
  std::uint32_t ex_style = 0;
  std::uint16_t icon = 0;
  std::uint16_t menu = 0;
  std::uint16_t accelerators = 0;
  std::uint8_t single_instance = 1;
  std::uint8_t screen_modes = 2;
  std::uint8_t allow_cd = 0;
  std::uint8_t save_folder_mode = 1;
  std::uint8_t menu_in_fullscreen = 1;
  std::optional<std::uint16_t> stored_length;  // default: 23
};
std::vector<std::uint8_t> WriteAppDefinition(const AppDefinitionFile& file);

struct AppInformationFile {
  std::uint8_t major = 1;
  std::uint8_t minor = 0;
  std::uint8_t revision = 0;
  std::string name = "KVX DX Application";
  std::string product = "Kestrune DX";
  std::string copyright = "Copyright (C) Kestrune DX";
  std::string web = "http://";
  std::string save_folder;  // empty: stored with length 0
  bool terminate_strings = true;
};
std::vector<std::uint8_t> WriteAppInformation(const AppInformationFile& file);

// "USER.CFG": each block with its length word; an empty chosen folder stores length 0.
struct UserConfigFile {
  std::vector<std::uint8_t> environment = std::vector<std::uint8_t>(72);
  std::vector<std::uint8_t> window = std::vector<std::uint8_t>(14);
  std::vector<std::uint8_t> run_time = std::vector<std::uint8_t>(17);
  std::string chosen_folder;
};
std::vector<std::uint8_t> WriteUserConfigFile(const UserConfigFile& file);

// "APP_CFG.DAT": the stored length word, then the given bytes.
std::vector<std::uint8_t> WriteGameSettings(std::uint32_t stored_length, const std::vector<std::uint8_t>& bytes);

}  // namespace kvxtools
