// The settings_write command's game settings, run as built: the caption switch lands on its byte
// over the program's defaults, which the engine reads back unchanged; a bad value writes nothing.
// Its help names the keys each kind of file takes, and a key the kind does not take is refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/settings/game_settings.h"
#include "base/settings/settings_files.h"
#include "built_tool.h"

namespace {

class SettingsWriteTest : public BuiltToolTest {
 protected:
  // The settings the engine reads from the written file, over a block of 0xEE bytes.
  GameSettingsBlock ReadBack(const std::string& name) {
    GameSettingsBlock settings;
    settings.fill(0xEE);
    const std::string file = folder_.ReadFile(name);
    ReadGameSettingsFile(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()), settings);
    return settings;
  }
};

TEST_F(SettingsWriteTest, TheCaptionSwitchSetsItsByteOverTheDefaults) {
  std::string output;
  for (const int caption : {1, 0}) {
    const std::string name = "caption" + std::to_string(caption) + ".dat";
    ASSERT_EQ(Run("settings_write", "dat " + Path(name) + " --caption=" + std::to_string(caption), output), 0)
        << output;
    GameSettingsBlock expected = DefaultGameSettings();
    expected[kSettingSaveCaption] = static_cast<std::uint8_t>(caption);
    EXPECT_EQ(ReadBack(name), expected) << "every other byte is the program's default";
  }
}

TEST_F(SettingsWriteTest, WithoutTheSwitchTheFileKeepsWhatTheProgramHas) {
  std::string output;
  ASSERT_EQ(Run("settings_write", "dat " + Path("plain.dat"), output), 0) << output;
  GameSettingsBlock untouched;
  untouched.fill(0xEE);
  EXPECT_EQ(ReadBack("plain.dat"), untouched);
}

TEST_F(SettingsWriteTest, ACaptionValueAboveOneIsRefused) {
  std::string output;
  EXPECT_EQ(Run("settings_write", "dat " + Path("bad.dat") + " --caption=2", output), 2);
  EXPECT_NE(output.find("bad value"), std::string::npos) << output;
  EXPECT_TRUE(folder_.ReadFile("bad.dat").empty()) << "nothing written";
}

TEST_F(SettingsWriteTest, TheHelpNamesEveryKeyAndAKeyTheKindDoesNotTakeIsRefused) {
  struct Kind {
    const char* kind;
    std::vector<std::string> keys;
  };
  const Kind kinds[] = {{"sys", {"width", "height", "save-mode", "screen-modes"}},
                        {"inf", {"name", "product", "version", "save-folder"}},
                        {"cfg", {}},
                        {"dat", {"caption"}}};
  std::string help;
  ASSERT_EQ(Run("settings_write", "--help", help), 0);
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.kind);
    EXPECT_NE(help.find(std::string("settings_write ") + kind.kind + " <"), std::string::npos) << help;
    for (const std::string& key : kind.keys) {
      EXPECT_NE(help.find("--" + key + "="), std::string::npos) << help;
      std::string output;
      const std::string value = key == "version" ? "1.2" : "1";
      EXPECT_EQ(Run("settings_write", std::string(kind.kind) + " " + Path("taken") + " --" + key + "=" + value, output), 0)
          << output;
    }
    std::string output;
    EXPECT_EQ(Run("settings_write", std::string(kind.kind) + " " + Path("mistyped") + " --widht=800", output), 2);
    EXPECT_NE(output.find("--widht"), std::string::npos) << output;
    EXPECT_TRUE(folder_.ReadFile("mistyped").empty()) << "nothing written";
  }
}

}  // namespace
