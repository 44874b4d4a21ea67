// The readers of the settings files: forced values, lengths that lie and strings without their
// terminating zero.
#include "base/settings/settings_files.h"

#include <gtest/gtest.h>

#include "base/numbers/little_endian.h"
#include "settings_writer.h"

namespace {

TEST(SettingsFilesTest, TheDefinitionForcesStyleIconMenuAndAccelerators) {
  kvxtools::AppDefinitionFile file;
  file.width = 800;
  file.style = 0;
  file.menu = 5;
  file.accelerators = 0;
  file.save_folder_mode = 3;
  AppInfo info;
  ASSERT_TRUE(ReadAppDefinition(kvxtools::WriteAppDefinition(file), info));
  EXPECT_EQ(info.screen_width, 800);
  EXPECT_EQ(info.window_style, 0x00CB0000u);
  EXPECT_EQ(info.icon_id, 103);
  EXPECT_EQ(info.menu_id, 101);
  EXPECT_EQ(info.accelerator_id, 0);
  EXPECT_EQ(info.save_folder_kind, 3);
}

TEST(SettingsFilesTest, DefinitionLengthsThatLieAreCutToTheRecordOrToTheFile) {
  kvxtools::AppDefinitionFile file;
  file.width = 1024;
  file.save_folder_mode = 4;
  file.stored_length = 2;  // only the width
  AppInfo shortened;
  ASSERT_TRUE(ReadAppDefinition(kvxtools::WriteAppDefinition(file), shortened));
  EXPECT_EQ(shortened.screen_width, 1024);
  EXPECT_EQ(shortened.save_folder_kind, 1);

  file.stored_length = 0xFFFF;  // far more than the file holds
  auto bytes = kvxtools::WriteAppDefinition(file);
  bytes.resize(bytes.size() + 5, 0xEE);
  AppInfo overlong;
  ASSERT_TRUE(ReadAppDefinition(bytes, overlong));
  EXPECT_EQ(overlong.save_folder_kind, 4);
  EXPECT_EQ(overlong.menu_in_fullscreen, 1);

  AppInfo untouched;
  EXPECT_FALSE(ReadAppDefinition(std::vector<uint8_t>{23}, untouched));
}

TEST(SettingsFilesTest, TheInformationShowsTheRevisionAndEndsUnterminatedStrings) {
  kvxtools::AppInformationFile file;
  file.major = 1;
  file.minor = 2;
  file.revision = 10;
  file.name = "Game";
  file.save_folder = "Saves";
  file.terminate_strings = false;
  AppInfo info;
  ASSERT_TRUE(ReadAppInformation(kvxtools::WriteAppInformation(file), info));
  EXPECT_EQ(FormatVersion(info), "1.02a");
  EXPECT_EQ(info.application_name, "Game");
  EXPECT_EQ(info.save_folder_name, "Saves");

  file.save_folder.clear();
  AppInfo unset;
  ASSERT_TRUE(ReadAppInformation(kvxtools::WriteAppInformation(file), unset));
  EXPECT_TRUE(unset.save_folder_name.empty());

  const std::vector<uint8_t> cut = {1, 0, 0, 40, 'A', 'B'};  // the name's length runs past the end
  AppInfo partial;
  ASSERT_TRUE(ReadAppInformation(cut, partial));
  EXPECT_EQ(partial.application_name, "AB");
  EXPECT_EQ(partial.product_name, "Kestrune DX");
  EXPECT_FALSE(ReadAppInformation(std::vector<uint8_t>{1, 0}, partial));
}

TEST(SettingsFilesTest, GameSettingsAfterAShortStoredLengthKeepTheirDefaults) {
  const std::vector<uint8_t> stored(kGameSettingsSize, 0x77);
  GameSettingsBlock settings = DefaultGameSettings();
  EXPECT_TRUE(ReadGameSettingsFile(kvxtools::WriteGameSettings(100, stored), settings));
  EXPECT_EQ(settings[99], 0x77);
  EXPECT_EQ(settings[100], DefaultGameSettings()[100]);
  EXPECT_EQ(LoadLe32(&settings[104]), 256u);

  const auto written = WriteGameSettingsFile(settings);
  ASSERT_EQ(written.size(), 4 + kGameSettingsSize);
  EXPECT_EQ(LoadLe32(written.data()), kGameSettingsSize);
}

TEST(SettingsFilesTest, TheUserSettingsFileRoundTripsWithAndWithoutAChosenFolder) {
  EnvironmentBlock environment = DefaultEnvironmentBlock();
  WindowBlock window = DefaultWindowBlock();
  std::array<uint8_t, kRunTimeBlockSize> run_time{};
  run_time[16] = 9;
  std::string chosen;
  const UserConfigBlocks blocks{environment, window, run_time, &chosen};
  const auto without = WriteUserConfig(blocks);
  EXPECT_EQ(without.size(), 2u + 72 + 2 + 14 + 2 + 17 + 2);
  EXPECT_EQ(LoadLe16(&without[74]), 14);
  EXPECT_EQ(LoadLe16(&without[without.size() - 2]), 0);

  chosen = "C:\\Saves";
  const auto with = WriteUserConfig(blocks);
  EXPECT_EQ(with.size(), without.size() + chosen.size() + 1);
  std::array<uint8_t, kRunTimeBlockSize> read_run_time{};
  EnvironmentBlock read_environment{};
  WindowBlock read_window{};
  std::string read_chosen = "old";
  EXPECT_TRUE(ReadUserConfig(with, {read_environment, read_window, read_run_time, &read_chosen}));
  EXPECT_EQ(read_environment, environment);
  EXPECT_EQ(read_window, window);
  EXPECT_EQ(read_run_time[16], 9);
  EXPECT_EQ(read_chosen, "C:\\Saves");
}

// A settings file cut short, at every length that ends inside a part it announces, says so (the
// settings read before the cut are kept); an older file without the chosen folder's part is whole.
TEST(SettingsFilesTest, SettingsFilesCutShortSaySo) {
  EnvironmentBlock environment = DefaultEnvironmentBlock();
  WindowBlock window = DefaultWindowBlock();
  std::array<uint8_t, kRunTimeBlockSize> run_time{};
  std::string chosen = "C:\\Saves";
  const std::vector<uint8_t> user = WriteUserConfig({environment, window, run_time, &chosen});
  const std::size_t without_folder = user.size() - chosen.size() - 1 - 2;
  for (std::size_t length = 0; length < user.size(); ++length) {
    std::string read_chosen;
    const std::vector<uint8_t> cut(user.begin(), user.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(ReadUserConfig(cut, {environment, window, run_time, &read_chosen}), length == without_folder) << length;
  }
  GameSettingsBlock settings = DefaultGameSettings();
  const std::vector<uint8_t> game = WriteGameSettingsFile(settings);
  for (const std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{4}, game.size() - 1}) {
    const std::vector<uint8_t> cut(game.begin(), game.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(ReadGameSettingsFile(cut, settings)) << length;
  }
  EXPECT_TRUE(ReadGameSettingsFile(game, settings));
}

TEST(SettingsFilesTest, TheInstallInformationNeedsItsMagicAndAName) {
  const std::vector<uint8_t> good = {'I', 'F', 'G', '1', 4, 'K', 'e', 'y', 0, 1};
  const auto install = ReadInstallInformation(good);
  ASSERT_TRUE(install);
  EXPECT_EQ(install->key_name, "Key");
  EXPECT_TRUE(install->per_user);
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{'I', 'F', 'G', '2', 4, 'K', 'e', 'y', 0, 1},
                                          std::vector<uint8_t>{'I', 'F', 'G', '1', 0},
                                          std::vector<uint8_t>{'I', 'F', 'G', '1', 4, 'K', 'e', 'y', 0}}) {
    EXPECT_FALSE(ReadInstallInformation(bad));
  }
}

}  // namespace
