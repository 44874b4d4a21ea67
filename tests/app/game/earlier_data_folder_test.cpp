// The folder an earlier version kept a game's saves in, in the desktop's data folder itself,
// carried over into the game's folder in the engine's own: whole or not at all, however the
// first start ends, only when it is the engine's, and with the player's choice of save folder.
#include <fcntl.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/game/earlier_data_folder.h"
#include "app/game/game_set_up_fixture.h"
#include "base/settings/game_settings.h"
#include "platform/files/host_path.h"
#include "platform/files/plain_files.h"
#include "platform/files/unique_fd.h"

namespace {

namespace fs = std::filesystem;

const std::string kEarlier = "data/Tale SaveData/";
const std::string kCarried = "data/kestrune/Tale SaveData/";

// A file's contents and permission bits.
struct Kept {
  std::string bytes;
  fs::perms perms;
  bool operator==(const Kept&) const = default;
};
void PrintTo(const Kept& kept, std::ostream* out) {
  *out << kept.bytes.size() << " bytes, mode " << std::oct << static_cast<int>(kept.perms) << std::dec;
}
using Files = std::map<std::string, Kept>;

Files FilesIn(const std::string& host_folder) {
  Files files;
  if (!fs::is_directory(host_folder)) return files;
  for (const fs::directory_entry& entry : fs::directory_iterator(host_folder)) {
    std::ostringstream bytes;
    bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    files[entry.path().filename().string()] = {bytes.str(), entry.status().permissions()};
  }
  return files;
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Runs `body` in a child process that ends with its answer, unless it ends itself: its status,
// 128 + the signal's number for one a signal ended (its alarm, should it hang).
int ChildStatus(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(120);
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  // The child read the file-change notifications it shares with this process: the listings start over.
  plat::ForgetFolderListings();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool WriteProcFile(const char* name, const std::string& text) {
  const plat::UniqueFd file(open(name, O_WRONLY | O_CLOEXEC));
  return file.IsOpen() && write(file.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// Puts a file system of 64 KiB over `folder` for this process alone: false where the system lets
// it have no namespaces of its own.
bool MountSmallDisk(const std::string& folder) {
  const std::string uid = std::to_string(getuid()), gid = std::to_string(getgid());
  return unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && WriteProcFile("/proc/self/setgroups", "deny") &&
         WriteProcFile("/proc/self/uid_map", uid + " " + uid + " 1") &&
         WriteProcFile("/proc/self/gid_map", gid + " " + gid + " 1") &&
         mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
}

constexpr int kNoFullDisk = 99;

class EarlierDataFolderTest : public GameSetUpTest {
 protected:
  std::string Host(const std::string& relative) const { return game_.HostPath() + relative; }
  // The folder an earlier version kept for the game Tale: its settings files as the engine
  // writes them (USER.CFG naming `chosen`), a save of one byte and one of several reads' worth.
  Files MakeEarlierFolder(const std::string& chosen = "") {
    kvxtools::UserConfigFile user_config;
    user_config.chosen_folder = chosen;
    game_.WriteFile(kEarlier + "USER.CFG", Text(kvxtools::WriteUserConfigFile(user_config)));
    const std::vector<uint8_t> settings(kGameSettingsSize, 3);
    game_.WriteFile(kEarlier + "APP_CFG.DAT", Text(kvxtools::WriteGameSettings(kGameSettingsSize, settings)));
    game_.WriteFile(kEarlier + "SAVE01.DAT", "1");
    std::string long_save(200000, '\0');
    for (std::size_t i = 0; i < long_save.size(); ++i) long_save[i] = static_cast<char>(i * 7 / 5);
    game_.WriteFile(kEarlier + "SAVE02.DAT", long_save);
    return FilesIn(Host(kEarlier));
  }
  // A first start on a disk that `fill` makes fill up during the copy, in a child: 0 when it
  // ended with the message that the folder could not be made, left no folder of the game's, and
  // said why in one line; kNoFullDisk when `fill` could not be had. The earlier folder is left as
  // it was, and the next start copies it all.
  int ExpectAFullDiskLeavesNoFolder(const std::function<bool()>& fill) {
    game_.MakeFolder("data/kestrune");
    const Files earlier = MakeEarlierFolder();
    const int status = ChildStatus([&] {
      if (!fill()) return kNoFullDisk;
      SetUpGame game(game_.EnginePath());
      const bool held[] = {
          game.SetUp() == 3,
          boxes_.size() == 1 && plat::MessageBoxText(boxes_[0]).find("フォルダの作成に失敗しました") != std::string::npos,
          fs::is_empty(Host("data/kestrune")),
          std::count_if(log_.Lines().begin(), log_.Lines().end(), [](const std::string& line) {
            return line.find("No space left on device") != std::string::npos &&
                   line.find("the next start tries again") != std::string::npos;
          }) == 1};
      int failed = 0;
      for (std::size_t i = 0; i < std::size(held); ++i) failed |= held[i] ? 0 : 1 << i;
      return failed;
    });
    if (status == kNoFullDisk) return status;
    EXPECT_EQ(status, 0) << "1 the start went on, 2 no message or another, 4 a folder was made, 8 not one line";
    EXPECT_EQ(FilesIn(Host(kEarlier)), earlier);
    SetUpGame next(game_.EnginePath());
    EXPECT_EQ(next.SetUp(), 0);
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    return status;
  }
};

// A first start that ends at any step of the copy (before each file, before the rename) leaves
// no folder of the game's: the next start copies every file whole, asks nothing and puts no
// template over the player's settings.
TEST_F(EarlierDataFolderTest, AStartEndedAtAnyStepOfTheCopyLeavesTheNextStartToCopyAllWhole) {
  WriteGame(3);
  const Files earlier = MakeEarlierFolder();
  constexpr int kEnded = 77;
  // Steps 0 to n - 1 copy the n files, step n renames; there is no step n + 1.
  for (std::size_t step = 0; step <= earlier.size() + 1; ++step) {
    SCOPED_TRACE(step);
    fs::remove_all(Host(kCarried));
    const int status = ChildStatus([&] {
      plat::SetCarryFaultForTests([&](std::size_t at) {
        if (at == step) _exit(kEnded);
        return 0;
      });
      SetUpGame game(game_.EnginePath());
      return game.SetUp();
    });
    EXPECT_EQ(status, step <= earlier.size() ? kEnded : 0);
    SetUpGame next(game_.EnginePath());
    ASSERT_EQ(next.SetUp(), 0);
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    EXPECT_EQ(std::distance(fs::directory_iterator(Host("data/kestrune")), fs::directory_iterator()), 1)
        << "no folder left beside it";
  }
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(FilesIn(Host(kEarlier)), earlier);
}

// A disk that fills at the first file, at a later one or at the rename, as the fault makes the
// step fail; and one too small for the copy, where the system gives a process a disk of its own.
TEST_F(EarlierDataFolderTest, ADiskThatFillsAtAnyStepOfTheCopyLeavesNoFolderForTheNextStart) {
  WriteGame(3);
  for (const std::size_t step : {0, 2, 4}) {
    SCOPED_TRACE(step);
    fs::remove_all(Host(kCarried));
    ExpectAFullDiskLeavesNoFolder([step] {
      plat::SetCarryFaultForTests([step](std::size_t at) { return at == step ? ENOSPC : 0; });
      return true;
    });
  }
}

TEST_F(EarlierDataFolderTest, ADiskTooSmallForTheCopyLeavesNoFolderForTheNextStart) {
  WriteGame(3);
  if (ExpectAFullDiskLeavesNoFolder([&] { return MountSmallDisk(Host("data/kestrune")); }) == kNoFullDisk) {
    GTEST_SKIP() << "this system gives a process no mount namespace of its own";
  }
}

// The copies keep the permission bits of the files and of the folder; a file of the bound is
// copied, and one a byte larger is left where it is, unread, and named in the log.
TEST_F(EarlierDataFolderTest, TheCopyKeepsPermissionsAndLeavesFilesOverTheBoundUnread) {
  WriteGame(3);
  MakeEarlierFolder();
  fs::permissions(Host(kEarlier + "SAVE01.DAT"), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(Host(kEarlier + "USER.CFG"), fs::perms::owner_read | fs::perms::group_read);
  const fs::perms folder_perms = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
  fs::permissions(Host(kEarlier), folder_perms);
  const Files earlier = FilesIn(Host(kEarlier));
  for (const auto& [name, size] : std::initializer_list<std::pair<const char*, std::uint64_t>>{
           {"BOUND.DAT", kLargestCarriedFile}, {"LARGE.DAT", kLargestCarriedFile + 1}}) {
    std::ofstream(Host(kEarlier + name)).close();
    fs::resize_file(Host(kEarlier + name), size);
  }
  const plat::UniqueFd reads(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  ASSERT_GE(inotify_add_watch(reads.get(), Host(kEarlier + "LARGE.DAT").c_str(), IN_ACCESS), 0);

  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_EQ(fs::status(Host(kCarried)).permissions(), folder_perms);
  EXPECT_EQ(fs::file_size(Host(kCarried + "BOUND.DAT")), kLargestCarriedFile);
  fs::remove(Host(kCarried + "BOUND.DAT"));
  EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
  EXPECT_TRUE(Logged("(5 of 6 files; the earlier folder is left as it was; larger than 64 MiB, and left there: "
                     "LARGE.DAT)")) << log_.Last();
  char event[sizeof(inotify_event) + 256];
  EXPECT_EQ(read(reads.get(), event, sizeof event), -1) << "LARGE.DAT was read";
}

// A folder of another program that has the game's folder name and a file named as a settings
// file, but not as the engine writes it: nothing of it is carried over, the log says why, and
// the game starts afresh from its template.
TEST_F(EarlierDataFolderTest, AFolderWhoseSettingsFileTheEngineDidNotWriteIsNotCarriedOver) {
  const std::string user_config = Text(kvxtools::WriteUserConfigFile({}));
  struct Case {
    const char* folder;
    const char* name;
    std::string contents;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"notes", "user.cfg", "[window]\nwidth=640\n"},
           {"chat", "USER.CFG", Text(kvxtools::WriteUserConfigFile({{}, {}, {}, ""}))},
           {"mail", "User.Cfg", user_config + std::string(2, '\0')},
           {"maps", "app_cfg.dat", Text(kvxtools::WriteGameSettings(kGameSettingsSize, std::vector<uint8_t>(100)))}}) {
    SCOPED_TRACE(c.folder);
    WriteGame(3, c.folder);
    game_.WriteFile(std::string("data/") + c.folder + "/" + c.name, c.contents);
    game_.WriteFile(std::string("data/") + c.folder + "/notes.db", "another program's");
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_FALSE(game_.Exists(std::string("data/kestrune/") + c.folder + "/notes.db"));
    EXPECT_EQ(game_.ReadFile(std::string("data/kestrune/") + c.folder + "/USER.CFG"), game_.ReadFile("USER.CFG"));
    EXPECT_TRUE(Logged("the folder " + Host(std::string("data/") + c.folder + "/") + " is not carried over: " + c.name +
                       " there is not a settings file as the engine writes it"))
        << log_.Last();
  }
}

// A game that keeps its folder in the documents folder had none in the data folder: a folder of
// its name there is not its own, and nothing of it is copied.
TEST_F(EarlierDataFolderTest, AGameOfTheDocumentsFolderCarriesNothingOver) {
  const ScopedEnvironment home("HOME", Host("home").c_str());
  game_.MakeFolder("home/Documents");
  WriteGame(0);
  MakeEarlierFolder();
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_EQ(std::string(game.GetSaveFolder()), game_.EnginePath("home\\Documents\\Tale SaveData\\"));
  EXPECT_FALSE(game_.Exists("home/Documents/Tale SaveData/SAVE01.DAT"));
  EXPECT_FALSE(game_.Exists("data/kestrune/Tale SaveData"));
}

// The save folder the player chose before the update stays chosen after it: the choice kept for
// the earlier folder's settings file moves to the new one, whether this start carries the
// folder over or a start of the version before this one did (without the choice). A choice
// kept for the new settings file since then stands.
TEST_F(EarlierDataFolderTest, ThePlayersChoiceOfSaveFolderOutlivesTheMove) {
  const test_support::TempGameFolder before, since;
  struct Case {
    const char* how;
    bool carried_before;
    const test_support::TempGameFolder* chosen_since;
  };
  for (const Case& c : {Case{"carried over now", false, nullptr}, Case{"carried over before", true, nullptr},
                        Case{"chosen again since", true, &since}}) {
    SCOPED_TRACE(c.how);
    for (const char* folder : {"data", "config"}) fs::remove_all(Host(folder));
    WriteGame(2);
    MakeEarlierFolder(before.EnginePath());
    // The record as the player's earlier starts kept it: settings file and folder, each ended by a zero.
    std::string record = game_.EnginePath("data\\Tale SaveData\\USER.CFG") + '\0' + before.EnginePath() + '\0';
    if (c.carried_before) {
      fs::create_directories(Host("data/kestrune"));
      fs::copy(Host(kEarlier), Host(kCarried));
    }
    if (c.chosen_since != nullptr) {
      kvxtools::UserConfigFile user_config;
      user_config.chosen_folder = c.chosen_since->EnginePath();
      game_.WriteFile(kCarried + "USER.CFG", Text(kvxtools::WriteUserConfigFile(user_config)));
      record += game_.EnginePath("data\\kestrune\\Tale SaveData\\USER.CFG") + '\0';
      record += c.chosen_since->EnginePath() + '\0';
    }
    game_.WriteFile("config/kestrune/save-folders", record);
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(std::string(game.GetSaveFolder()), (c.chosen_since != nullptr ? *c.chosen_since : before).EnginePath());
  }
}

// The saves that an earlier version kept in the desktop's data folder itself go on in the
// engine's folder: the plain files of a real folder that holds the settings the set-up writes
// are copied once, and the earlier folder keeps them. A link, a program, a folder within, or a
// folder without the settings files is not carried over.
TEST_F(GameSetUpTest, SavesThatAnEarlierVersionKeptInTheDesktopsDataFolderAreCarriedOverOnce) {
  WriteGame(3);
  const test_support::TempGameFolder outside;
  outside.WriteFile("USER.CFG", "not the game's");
  {
    SetUpGame earlier(game_.EnginePath());
    ASSERT_EQ(earlier.SetUp(), 0);
    earlier.GetGameSettings()[29] = 42;
    earlier.SaveSettings(0);
  }
  const std::string kept = game_.HostPath() + "data/Tale SaveData/";
  std::filesystem::rename(game_.HostPath() + "data/kestrune/Tale SaveData", kept);
  game_.WriteFile("data/Tale SaveData/SAVE01.DAT", "saved");
  game_.WriteFile("data/Tale SaveData/run.sh", "#!/bin/sh");
  std::filesystem::permissions(kept + "run.sh", std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
  game_.WriteFile("data/Tale SaveData/within/SAVE02.DAT", "saved");
  std::filesystem::create_symlink(outside.HostPath() + "USER.CFG", kept + "LINK.CFG");
  std::filesystem::create_symlink(kept, game_.HostPath() + "data/Linked SaveData");
  game_.WriteFile("data/Bare SaveData/SAVE01.DAT", "saved");

  SetUpGame carried(game_.EnginePath());
  ASSERT_EQ(carried.SetUp(), 0);
  EXPECT_EQ(carried.GetGameSettings()[29], 42);
  EXPECT_EQ(game_.ReadFile("data/kestrune/Tale SaveData/SAVE01.DAT"), "saved");
  for (const char* left : {"run.sh", "within", "LINK.CFG"}) {
    EXPECT_FALSE(game_.Exists(std::string("data/kestrune/Tale SaveData/") + left)) << left;
  }
  for (const char* name : {"USER.CFG", "APP_CFG.DAT", "SAVE01.DAT", "run.sh", "within/SAVE02.DAT"}) {
    EXPECT_TRUE(game_.Exists(std::string("data/Tale SaveData/") + name)) << name;
  }
  EXPECT_TRUE(Logged("an earlier version kept in " + kept + " were copied to " + game_.HostPath() +
                     "data/kestrune/Tale SaveData/")) << log_.Last();
  carried.SaveSettings(0);
  std::filesystem::remove(game_.HostPath() + "data/kestrune/Tale SaveData/SAVE01.DAT");
  SetUpGame again(game_.EnginePath());
  ASSERT_EQ(again.SetUp(), 0);
  EXPECT_FALSE(game_.Exists("data/kestrune/Tale SaveData/SAVE01.DAT")) << "carried over once";

  for (const char* application : {"Linked", "Bare"}) {
    SCOPED_TRACE(application);
    WriteGame(3, "", application);
    SetUpGame fresh(game_.EnginePath());
    ASSERT_EQ(fresh.SetUp(), 0);
    EXPECT_FALSE(game_.Exists(std::string("data/kestrune/") + application + " SaveData/SAVE01.DAT"));
  }
}

}  // namespace
