#include "base/files/file_services.h"

#include <stdlib.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/files/file.h"
#include "base/files/script_write_rule.h"
#include "platform/files/file_system_ops.h"
#include "support/data_files_fixture.h"
#include "support/script_folders.h"
#include "support/log_capture.h"

namespace {

class FileServicesTest : public test_support::DataFilesTest {
 protected:
  // Sets a file's last-write time, in seconds since 1970.
  void Touch(const std::string& relative, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (game_.HostPath() + relative).c_str(), times, 0), 0);
  }
};

// Beyond the process's file-size limit a save fails as on a full disk, with the system's reason
// in errno and the old file whole, instead of the signal ending the program in the write.
TEST_F(FileServicesTest, AWriteBeyondTheFileSizeLimitFailsWithItsReasonAndKeepsTheOldFile) {
  game_.WriteFile("SAVE.DAT", "old");
  const std::string path = game_.EnginePath("SAVE.DAT");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    plat::LetFileSizeLimitFailWrites();
    const std::vector<std::uint8_t> large(4096, 7);
    errno = 0;
    const unsigned result = SaveFileReplacing(path.c_str(), large);
    _exit(result == 2 && errno == EFBIG ? 0 : 10 + static_cast<int>(result));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 + the write's result, or 0 for 2 with EFBIG";
  EXPECT_EQ(game_.ReadFile("SAVE.DAT"), "old");
}

// A folder that refuses new files (here the system's folder of kernel objects, which refuses
// them to every user): the failure keeps the reason the create gave, not the one of the look
// that followed it, and the log names the file by its path on this machine.
TEST_F(FileServicesTest, AFolderThatRefusesTheCreateKeepsTheCreatesReason) {
  errno = 0;
  EXPECT_EQ(SaveFileReplacing("Z:\\sys\\SETTINGS.DAT", std::vector<std::uint8_t>(8, 1)), 2u);
  EXPECT_EQ(errno, EACCES) << std::strerror(errno);
  LogCapture log;
  LogUnwrittenFile("the settings file", "Z:\\sys\\SETTINGS.DAT");
  EXPECT_EQ(log.Last(), "the settings file cannot be written (Permission denied): /sys/SETTINGS.DAT");
}

// The new contents are written beside the file, in its own folder, where a stale temporary file
// is looked for; also when that folder is named in half-width kana (ﾃｽﾄ, C3 BD C4).
TEST_F(FileServicesTest, AFileIsReplacedFromItsOwnFolderNamedInHalfWidthKana) {
  game_.WriteFile("ﾃｽﾄ/SAVE.DAT", "old");
  const std::string folder = game_.EnginePath("\xC3\xBD\xC4\\");
  std::string temporary;
  const unsigned result = WriteFileReplacing((folder + "SAVE.DAT").c_str(), [&temporary](CFile& file) {
    temporary = file.GetPath();
    return file.Write("new", 3) == 3;
  });
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(game_.ReadFile("ﾃｽﾄ/SAVE.DAT"), "new");
  EXPECT_EQ(temporary.substr(0, folder.size()), folder);
  EXPECT_EQ(temporary.size(), folder.size() + std::string("KVX0000.TMP").size()) << temporary;
}

TEST_F(FileServicesTest, SizeTimeAndExistenceOfLooseDataFiles) {
  game_.WriteFile("script/dl_app.inf", "12345");
  std::tm written{};
  written.tm_year = 2004 - 1900;
  written.tm_mon = 2;
  written.tm_mday = 9;
  written.tm_hour = 13;
  written.tm_min = 5;
  written.tm_sec = 42;
  written.tm_isdst = -1;
  Touch("script/dl_app.inf", std::mktime(&written));

  EXPECT_EQ(GetDataFileSize("SCRIPT\\DL_APP.INF"), 5);
  EXPECT_EQ(GetDataFileSize("SCRIPT\\NONE.INF"), -1);
  EXPECT_TRUE(DataFileExists("script\\dl_app.inf"));
  EXPECT_FALSE(DataFileExists("script\\none.inf"));

  std::uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 9;
  ASSERT_EQ(GetFileLocalTime("SCRIPT\\DL_APP.INF", {&year, &month, &day, &hour, &minute, &second, &weekday}), 0u);
  EXPECT_EQ(year, 2004u);
  EXPECT_EQ(month, 3u);
  EXPECT_EQ(day, 9u);
  EXPECT_EQ(hour, 13u);
  EXPECT_EQ(minute, 5u);
  EXPECT_EQ(second, 42u);
  EXPECT_EQ(weekday, 2u);  // a Tuesday
  EXPECT_EQ(GetFileLocalTime("SCRIPT\\NONE.INF", {}), 3u);
  EXPECT_EQ(GetFileLocalTime((game_.EnginePath() + "none").c_str(), {}), 2u);

  g_DataFiles = nullptr;
  EXPECT_EQ(GetDataFileSize("SCRIPT\\DL_APP.INF"), -1);
  EXPECT_FALSE(DataFileExists("SCRIPT\\DL_APP.INF"));
  EXPECT_EQ(GetFileLocalTime("SCRIPT\\DL_APP.INF", {}), 3u);
}

TEST_F(FileServicesTest, CopyFileIfNewerModes) {
  game_.WriteFile("USER.CFG", "template");
  game_.WriteFile("save/USER.CFG", "mine");
  Touch("USER.CFG", 1'000'000);
  Touch("save/USER.CFG", 1'000'000);
  const std::string destination = game_.EnginePath("SAVE\\USER.CFG");
  const std::string source = game_.EnginePath("USER.CFG");

  EXPECT_EQ(IsFileNewer(source.c_str(), nullptr, destination.c_str(), nullptr), 0);
  EXPECT_EQ(CopyFileIfNewer(destination.c_str(), source.c_str(), 0), 1);  // same time: skipped
  EXPECT_EQ(CopyFileIfNewer(destination.c_str(), source.c_str(), 2), 2);
  EXPECT_EQ(game_.ReadFile("save/USER.CFG"), "mine");

  Touch("USER.CFG", 2'000'000);
  chmod((game_.HostPath() + "save/USER.CFG").c_str(), 0444);
  EXPECT_EQ(IsFileNewer(source.c_str(), nullptr, destination.c_str(), nullptr), 1);
  EXPECT_EQ(CopyFileIfNewer(destination.c_str(), source.c_str(), 0), 0);  // read-only no more
  EXPECT_EQ(game_.ReadFile("save/USER.CFG"), "template");

  game_.WriteFile("USER.CFG", "changed");
  Touch("USER.CFG", 1);
  EXPECT_EQ(CopyFileIfNewer(destination.c_str(), source.c_str(), 1), 0);  // mode 1 always copies
  EXPECT_EQ(game_.ReadFile("save/USER.CFG"), "changed");

  const std::string fresh = game_.EnginePath("SAVE\\NEW.CFG");
  EXPECT_EQ(CopyFileIfNewer(fresh.c_str(), source.c_str(), 2), 0);  // nothing to refuse
  EXPECT_EQ(CopyFileIfNewer(fresh.c_str(), game_.EnginePath("NONE").c_str(), 1), -1);
  EXPECT_EQ(CopyFileIfNewer(std::string(300, 'x').c_str(), source.c_str(), 1), 2);

  EXPECT_EQ(IsFileNewer(game_.EnginePath("NONE").c_str(), nullptr, source.c_str(), nullptr), -1);
  EXPECT_EQ(IsFileNewer(source.c_str(), nullptr, game_.EnginePath("NONE").c_str(), nullptr), 1);
  EXPECT_EQ(IsFileNewer(nullptr, nullptr, source.c_str(), nullptr), -1);
}

// Only a program file of the game folder starts, by its path and with its arguments as words:
// never a shell or program found elsewhere or through the search path.
TEST_F(FileServicesTest, OnlyProgramsOfTheGameFolderRunWithTheirArguments) {
  const test_support::ScopedScriptFolders folders(game_.EnginePath(), "");
  game_.MakeFolder("TOOLS");
  std::filesystem::copy_file(std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker", game_.HostPath() + "TOOLS/ECHO");
  std::filesystem::permissions(game_.HostPath() + "TOOLS/ECHO", std::filesystem::perms::owner_all);
  EXPECT_EQ(RunProcess("TOOLS\\ECHO \"two words\" ;rm", 1), 0u);
  EXPECT_EQ(game_.ReadFile("TOOLS/ran"), "two words|;rm");

  const test_support::TempGameFolder outside;
  std::filesystem::create_symlink("/bin/sh", game_.HostPath() + "SH_LINK");
  const std::string marker = outside.HostPath() + "RUN.TXT";
  for (const std::string& line : {"Z:\\bin\\sh -c \"echo done > " + marker + "\"", "sh -c \"echo done > " + marker + "\"",
                                  "SH_LINK -c \"echo done > " + marker + "\"", std::string("no-such-program"), std::string("")}) {
    EXPECT_EQ(RunProcess(line.c_str(), 1), 1u) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(FileServicesTest, SpecialFoldersFollowXdgAndAreCreated) {
  const std::string data = game_.HostPath() + "xdg-data";
  const std::string home = game_.HostPath() + "home";
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  const char* saved_home = getenv("HOME");
  const std::string old_home = saved_home != nullptr ? saved_home : "";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  game_.WriteFile("home/.config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");

  char buffer[kMaxPath];
  ASSERT_TRUE(GetSpecialFolderPath(buffer, kFolderApplicationData));
  EXPECT_EQ(std::string(buffer) + "\\", game_.EnginePath("xdg-data\\kestrune\\"));
  EXPECT_TRUE(game_.Exists("xdg-data/kestrune"));
  ASSERT_TRUE(GetSpecialFolderPath(buffer, kFolderDocuments));
  EXPECT_EQ(std::string(buffer), game_.EnginePath("home\\Docs"));
  EXPECT_TRUE(game_.Exists("home/Docs"));
  EXPECT_FALSE(GetSpecialFolderPath(buffer, 0x26));

  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_CONFIG_HOME");
  game_.WriteFile("home/.config/user-dirs.dirs", "");
  ASSERT_TRUE(GetSpecialFolderPath(buffer, kFolderDocuments));
  EXPECT_EQ(std::string(buffer), game_.EnginePath("home\\Documents"));
  ASSERT_TRUE(GetSpecialFolderPath(buffer, kFolderApplicationData));
  EXPECT_EQ(std::string(buffer), game_.EnginePath("home\\.local\\share\\kestrune"));
  setenv("HOME", old_home.c_str(), 1);
}

}  // namespace
