// Built-ins 802 to 808: the desktop's opener for files, folders and web addresses, the user's
// folders, a data file copied out only where scripts may write, and the desktop settings that
// stay unchanged.
#include "builtins/system_shell_builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "base/files/script_write_rule.h"
#include "builtin_call.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "support/data_files_fixture.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"

namespace {

class SystemShellBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    game_.MakeFolder("SAVE");
    SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  }
  void TearDown() override {
    ClearScriptWriteFolders();
    DataFilesTest::TearDown();
  }

  // A stand-in for the desktop's opener, first on the search path: it records what it was given.
  void InstallOpenerRecorder() {
    game_.MakeFolder("bin");
    const std::string opener = game_.HostPath() + "bin/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << game_.HostPath() << "opened.txt'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  }
  // What the recorder was handed, once it wrote `lines` lines (it runs without being waited for).
  std::string Opened(std::size_t lines) const {
    for (int tries = 0; tries < 500; ++tries) {
      if (game_.Exists("opened.txt")) {
        const std::string text = game_.ReadFile("opened.txt");
        if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return game_.Exists("opened.txt") ? game_.ReadFile("opened.txt") : std::string();
  }

  ScopedEnvironment home_{"HOME", (game_.HostPath() + "home").c_str()};
  ScopedEnvironment config_{"XDG_CONFIG_HOME", (game_.HostPath() + "home/.config").c_str()};
  ScopedEnvironment data_{"XDG_DATA_HOME", (game_.HostPath() + "data").c_str()};
  ScopedEnvironment path_{"PATH", (game_.HostPath() + "bin:/usr/bin:/bin").c_str()};
  // The player answers the questions as `answer_` says; what was asked is kept.
  test_support::FakeAppServices app_;
  int answer_ = plat::IDYES;
  std::vector<std::string> asked_;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    asked_.push_back(plat::SjisToUtf8(request.text));
    return answer_;
  }};
};

TEST_F(SystemShellBuiltinsTest, TheUserFoldersAreWrittenWithATrailingSeparatorAndOtherNumbersLeaveTheDestination) {
  const std::uint32_t destination = Text(std::string(259, 'x'));
  EXPECT_EQ(Call(803, {destination, 1}), 1u);
  EXPECT_STREQ(Memory().String(destination), game_.EnginePath("home\\Documents\\").c_str());
  EXPECT_EQ(Call(803, {destination, 4}), 1u);
  EXPECT_STREQ(Memory().String(destination), game_.EnginePath("home\\Desktop\\").c_str());
  EXPECT_EQ(Call(803, {destination, 3}), 1u);
  const std::string data_home = Memory().String(destination);
  EXPECT_EQ(data_home, game_.EnginePath("data\\"));
  // What 803 names is where the file built-ins may write.
  EXPECT_TRUE(MayScriptWriteAt((data_home + "NOTE.TXT").c_str()));
  for (const std::uint32_t which : {0u, 5u, 0xFFFFFFFFu}) {
    EXPECT_EQ(Call(803, {destination, which}), 0u) << which;
    EXPECT_EQ(Memory().String(destination), data_home) << which;
  }
  EXPECT_FALSE(game_.Exists("home/Documents"));
}

TEST_F(SystemShellBuiltinsTest, ADataFileIsCopiedOutOnlyWhereScriptsMayWrite) {
  game_.WriteFile("DATA/NOTE.TXT", "note contents");
  game_.WriteFile("SAVE/OLD.TXT", "old");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(game_.EnginePath("SAVE\\OLD.TXT"))}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/OLD.TXT"), "note contents");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text("SAVE\\COPY.TXT")}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/COPY.TXT"), "note contents");

  EXPECT_EQ(Call(805, {Text("DATA\\MISSING.TXT"), Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  EXPECT_EQ(Call(805, {0, Text(game_.EnginePath("SAVE\\NONE.TXT"))}), 1u);
  EXPECT_FALSE(game_.Exists("SAVE/NONE.TXT"));
  for (const std::string& refused : {std::string("Z:\\tmp\\kestrune-export.txt"),
                                     game_.EnginePath("SAVE\\..\\..\\OUT.TXT"), game_.EnginePath("SAVE")}) {
    EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(refused)}), 2u) << refused;
  }
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), 0}), 2u);
  EXPECT_FALSE(std::filesystem::exists("/tmp/kestrune-export.txt"));
  // A folder where the file should be: the old folder stays and nothing half-written is left.
  game_.MakeFolder("SAVE/TAKEN");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text(game_.EnginePath("SAVE\\TAKEN"))}), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(game_.HostPath() + "SAVE/TAKEN"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(game_.HostPath() + "SAVE"), {}), 3);
}

TEST_F(SystemShellBuiltinsTest, FilesFoldersAndWebAddressesGoToTheDesktopsOpener) {
  InstallOpenerRecorder();
  game_.MakeFolder("MANUAL");
  EXPECT_EQ(Call(802, {Text("https://example.org/a b")}), 0u);
  Opened(1);
  EXPECT_EQ(Call(802, {Text("MANUAL\\")}), 0u);
  Opened(2);
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 1u);
  EXPECT_EQ(Opened(3), "https://example.org/a b\n" + game_.HostPath() + "MANUAL/\n" + game_.HostPath() + "MANUAL\n");
  // Neither a script's other address kinds nor a missing text start anything.
  EXPECT_EQ(Call(802, {Text("mailto:someone@example.org")}), 0u);
  EXPECT_EQ(Call(802, {0}), 0u);
  EXPECT_EQ(Call(804, {0}), 0u);
  EXPECT_EQ(Call(804, {Text("Q:\\ELSEWHERE")}), 0u);
}

TEST_F(SystemShellBuiltinsTest, NothingIsOpenedWithoutThePlayersYes) {
  InstallOpenerRecorder();
  game_.MakeFolder("MANUAL");
  answer_ = plat::IDNO;
  EXPECT_EQ(Call(802, {Text("https://example.org/?secret=1")}), 0u);
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 0u);
  ASSERT_EQ(asked_.size(), 2u);
  EXPECT_NE(asked_[0].find("https://example.org/?secret=1"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("よろしいですか"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[1].find(plat::SjisToUtf8(game_.EnginePath("MANUAL"))), std::string::npos) << asked_[1];
  answer_ = plat::IDYES;
  EXPECT_EQ(Call(804, {Text("MANUAL")}), 1u);
  EXPECT_EQ(Opened(1), game_.HostPath() + "MANUAL\n");
}

TEST_F(SystemShellBuiltinsTest, OnlyWebAddressesAndTheOpenFoldersAreOfferedToThePlayer) {
  InstallOpenerRecorder();
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "LINK");
  for (const std::string& target : {outside.EnginePath("SECRET.TXT"), std::string("LINK\\SECRET.TXT"), std::string("..\\"),
                                    std::string("file:///etc/passwd"), std::string("Z:\\bin\\sh")}) {
    EXPECT_EQ(Call(802, {Text(target)}), 0u) << target;
    EXPECT_EQ(Call(804, {Text(target)}), 0u) << target;
  }
  EXPECT_TRUE(asked_.empty());
  EXPECT_FALSE(game_.Exists("opened.txt"));
}

// An address built to hide where it leads (a trusted name before "@", then lines and thousands of
// characters that push the rest out of the box) is shown on one line, cut to a readable length,
// with the host it really reaches named on a line of its own.
TEST_F(SystemShellBuiltinsTest, TheQuestionShowsTheAddressOnOneReadableLineWithItsHostApart) {
  answer_ = plat::IDNO;
  const std::string address =
      "https://trusted.example.org@evil.example/?\x81\n" + std::string(40, '\n') + std::string(3000, 'a') + "\r\tend";
  EXPECT_EQ(Call(802, {Text(address)}), 0u);
  EXPECT_EQ(Call(802, {Text("http://plain.example:8080/a\\b#c")}), 0u);
  ASSERT_EQ(asked_.size(), 2u);
  for (const std::string& question : asked_) {
    SCOPED_TRACE(question);
    EXPECT_EQ(std::count(question.begin(), question.end(), '\n'), 5);
    EXPECT_LT(question.size(), 300u);
  }
  EXPECT_NE(asked_[0].find("\nhttps://trusted.example.org@evil.example/?%81%0A%0A"), std::string::npos);
  EXPECT_NE(asked_[0].find("…\n接続先：evil.example\n"), std::string::npos);
  EXPECT_NE(asked_[1].find("\nhttp://plain.example:8080/a\\b#c\n接続先：plain.example:8080\n"), std::string::npos);
}

TEST_F(SystemShellBuiltinsTest, ADataFileIsNeverExportedThroughALink) {
  const test_support::TempGameFolder outside;
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "SAVE/LINK");
  game_.WriteFile("DATA/NOTE.TXT", "note contents");
  EXPECT_EQ(Call(805, {Text("DATA\\NOTE.TXT"), Text("SAVE\\LINK\\OUT.TXT")}), 2u);
  EXPECT_FALSE(outside.Exists("OUT.TXT"));
}

TEST_F(SystemShellBuiltinsTest, TheDesktopSettingsStayUnchangedAndSaySoOnce) {
  LogCapture log;
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Call(806, {Text("WALL.BMP"), 1}), 0u);
    EXPECT_EQ(Call(807, {Text("SAVER.SCR")}), 0u);
    EXPECT_EQ(Call(808, {}), 0u);
  }
  std::size_t said = 0;
  for (const std::string& line : log.Lines()) said += line.find("not set") != std::string::npos ? 1 : 0;
  EXPECT_LE(said, 1u);
}

TEST_F(SystemShellBuiltinsTest, NoDesktopBuiltInIsLeftUnbuilt) {
  LogCapture log;
  for (std::uint32_t id = 802; id <= 808; ++id) Call(id, {0, 0, 0});
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace
