// The folder an earlier version kept a game's saves in, in the desktop's data folder itself,
// carried over into the game's folder in the engine's own: whole or not at all, however the
// first start ends, only when it is the engine's, and with the player's choice of save folder.
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/game/earlier_data_folder.h"
#include "app/game/game_set_up_fixture.h"
#include "base/settings/game_settings.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/exclusive_lock.h"
#include "platform/files/host_path.h"
#include "platform/files/plain_files.h"
#include "platform/files/unique_fd.h"
#include "platform/system/diagnostic_log.h"

namespace {

namespace fs = std::filesystem;

const std::string kEarlier = "data/Tale SaveData/";
const std::string kCarried = "data/kestrune/Tale SaveData/";
const char* const kCarryLock = ":carrying.lock";

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

// Starts `body` in a child process that ends with its answer, unless it ends itself.
pid_t StartChild(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(120);
    _exit(body());
  }
  return child;
}

// The status the child ended with, 128 + the signal's number for one a signal ended (its alarm,
// should it hang).
int EndStatus(pid_t child) {
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  // The child read the file-change notifications it shares with this process: the listings start over.
  plat::ForgetFolderListings();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int ChildStatus(const std::function<int()>& body) { return EndStatus(StartChild(body)); }

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

// Makes the system refuse every write of 4 KiB or more of this process, as a disk whose room is
// taken does, and lets smaller ones through: false where the system lets a process filter its
// own calls no further.
bool RefuseLargeWrites() {
  constexpr std::uint32_t kRoom = 4096;
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_write, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      // The count's lower half: a write never asks for 4 GiB here.
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
      BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, kRoom, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSPC),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

constexpr int kNoFullDisk = 99;

// While it lives, flock answers `error` as on a file system that keeps no locks.
class ScopedLockFailure {
 public:
  explicit ScopedLockFailure(int error) { plat::SetLockFailureForTests(error); }
  ~ScopedLockFailure() { plat::SetLockFailureForTests(0); }
  ScopedLockFailure(const ScopedLockFailure&) = delete;
  ScopedLockFailure& operator=(const ScopedLockFailure&) = delete;
};

std::string SystemFileLine(const char* path) {
  std::string line;
  std::getline(std::ifstream(path), line);
  return line;
}

std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

// A holder file's record, as the lock writes it.
std::string HolderRecord(pid_t pid, unsigned long long start, const std::string& boot, const std::string& host) {
  return "pid " + std::to_string(pid) + "\nstart " + std::to_string(start) + "\nboot " + boot + "\nhost " + host + "\n";
}

// A process number that no process has now: one of a child that ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

// The first line read from `fd` that holds `text`; empty when none came in half a minute.
std::string LineSaying(int fd, std::string_view text) {
  std::string line;
  for (pollfd ready{fd, POLLIN, 0}; poll(&ready, 1, 30000) == 1;) {
    char byte = 0;
    if (read(fd, &byte, 1) != 1) break;
    if (byte != '\n') {
      line += byte;
    } else if (line.find(text) != std::string::npos) {
      return line;
    } else {
      line.clear();
    }
  }
  return {};
}

// A process that holds the carry-over's lock from when it is started until a byte is written to
// `release`.
struct LockHolder {
  pid_t pid = -1;
  int release = -1;
};

class EarlierDataFolderTest : public GameSetUpTest {
 protected:
  std::string Host(const std::string& relative) const { return game_.HostPath() + relative; }
  // The folder an earlier version kept for the game Tale (or the one of `earlier`): its settings
  // files as the engine writes them (USER.CFG naming `chosen`), a save of one byte and one of
  // several reads' worth.
  Files MakeEarlierFolder(const std::string& chosen = "", const std::string& earlier = kEarlier) {
    kvxtools::UserConfigFile user_config;
    user_config.chosen_folder = chosen;
    game_.WriteFile(earlier + "USER.CFG", Text(kvxtools::WriteUserConfigFile(user_config)));
    const std::vector<uint8_t> settings(kGameSettingsSize, 3);
    game_.WriteFile(earlier + "APP_CFG.DAT", Text(kvxtools::WriteGameSettings(kGameSettingsSize, settings)));
    game_.WriteFile(earlier + "SAVE01.DAT", "1");
    std::string long_save(200000, '\0');
    for (std::size_t i = 0; i < long_save.size(); ++i) long_save[i] = static_cast<char>(i * 7 / 5);
    game_.WriteFile(earlier + "SAVE02.DAT", long_save);
    return FilesIn(Host(earlier));
  }
  // What lies in the engine's data folder beside the lock the copies are made under.
  std::set<std::string> EntriesOfDataFolder() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(Host("data/kestrune"))) {
      if (entry.path().filename() != kCarryLock) names.insert(entry.path().filename().string());
    }
    return names;
  }
  // Starts a process that takes the carry-over's lock, and returns once it holds it.
  LockHolder HoldTheLock() {
    int held[2], release[2];
    if (pipe(held) != 0 || pipe(release) != 0) return {};
    const pid_t pid = StartChild([&] {
      const plat::ExclusiveLock lock(game_.EnginePath("data\\kestrune\\") + kCarryLock);
      char byte = 0;
      if (!lock.Holds() || write(held[1], &byte, 1) != 1) return 1;
      return read(release[0], &byte, 1) == 1 ? 0 : 2;
    });
    // Only the child writes: a child that fails is read as the end of the pipe.
    close(held[1]);
    char byte = 0;
    const bool holds = read(held[0], &byte, 1) == 1;
    for (const int fd : {held[0], release[0]}) close(fd);
    return {holds ? pid : -1, release[1]};
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
          boxes_.size() == 1 && plat::MessageBoxText(boxes_[0]).find("フォルダの作成に失敗しました") != std::string::npos &&
              plat::MessageBoxText(boxes_[0]).find(Host("data/kestrune/:carrying/")) != std::string::npos,
          EntriesOfDataFolder().empty(),
          std::count_if(log_.Lines().begin(), log_.Lines().end(), [](const std::string& line) {
            return line.find("No space left on device") != std::string::npos &&
                   line.find("the next start tries again") != std::string::npos;
          }) == 1};
      int failed = 0;
      for (std::size_t i = 0; i < std::size(held); ++i) failed |= held[i] ? 0 : 1 << i;
      return failed;
    });
    if (status == kNoFullDisk) return status;
    EXPECT_EQ(status, 0) << "1 the start went on, 2 no message, another, or one that does not name the folder of "
                            "copies, 4 a folder was made, 8 not one line";
    EXPECT_EQ(FilesIn(Host(kEarlier)), earlier);
    SetUpGame next(game_.EnginePath());
    EXPECT_EQ(next.SetUp(), 0);
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    return status;
  }
};

// A first start that ends at any step of the copy (before each file, before the rename) leaves
// no folder of the game's: the next start clears what it left, copies every file whole, asks
// nothing and puts no template over the player's settings. So is a folder of copies left with a
// folder in it that its owner may not write.
TEST_F(EarlierDataFolderTest, AStartEndedAtAnyStepOfTheCopyLeavesTheNextStartToCopyAllWhole) {
  WriteGame(3);
  const Files earlier = MakeEarlierFolder();
  game_.WriteFile("data/kestrune/:carrying/within/SAVE01.DAT", "left");
  fs::permissions(Host("data/kestrune/:carrying/within"), fs::perms::owner_read | fs::perms::owner_exec);
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
    EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"}) << "no folder left beside it";
  }
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(FilesIn(Host(kEarlier)), earlier);
}

// A disk that fills at the first file, at a later one or at the rename, as the fault makes the
// step fail; one whose room the system finds taken in the middle of a file, the copy's own
// writes refused; and one too small for the copy, where the system gives a process a disk of its
// own.
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
  fs::remove_all(Host(kCarried));
  EXPECT_NE(ExpectAFullDiskLeavesNoFolder(RefuseLargeWrites), kNoFullDisk) << "no filter of the system's calls";
}

TEST_F(EarlierDataFolderTest, ADiskTooSmallForTheCopyLeavesNoFolderForTheNextStart) {
  WriteGame(3);
  if (ExpectAFullDiskLeavesNoFolder([&] { return MountSmallDisk(Host("data/kestrune")); }) == kNoFullDisk) {
    GTEST_SKIP() << "this system gives a process no mount namespace of its own";
  }
}

// The copies keep the permission bits of the files and of the folder; a file of the bound is
// copied, one a byte larger is left where it is, unread, and one that comes to more than the
// bound while it is copied is left too, its copy removed; both are named in the log.
TEST_F(EarlierDataFolderTest, TheCopyKeepsPermissionsAndLeavesFilesOverTheBoundUnread) {
  WriteGame(3);
  MakeEarlierFolder();
  fs::permissions(Host(kEarlier + "SAVE01.DAT"), fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(Host(kEarlier + "USER.CFG"), fs::perms::owner_read | fs::perms::group_read);
  const fs::perms folder_perms = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
  fs::permissions(Host(kEarlier), folder_perms);
  const Files earlier = FilesIn(Host(kEarlier));
  for (const auto& [name, size] : std::initializer_list<std::pair<const char*, std::uint64_t>>{
           {"BOUND.DAT", kLargestCarriedFile}, {"LARGE.DAT", kLargestCarriedFile + 1}, {"GROWN.DAT", 1}}) {
    std::ofstream(Host(kEarlier + name)).close();
    fs::resize_file(Host(kEarlier + name), size);
  }
  // GROWN.DAT grows past the bound once it was looked at, as its copy starts: at the step of the
  // files copied before it, in the order of the folder's listing.
  std::size_t grown_step = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(Host(kEarlier))) {
    if (entry.path().filename() == "GROWN.DAT") break;
    grown_step += entry.path().filename() == "LARGE.DAT" ? 0 : 1;
  }
  plat::SetCarryFaultForTests([&](std::size_t at) {
    if (at == grown_step) fs::resize_file(Host(kEarlier + "GROWN.DAT"), kLargestCarriedFile + 1);
    return 0;
  });
  const plat::UniqueFd reads(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  ASSERT_GE(inotify_add_watch(reads.get(), Host(kEarlier + "LARGE.DAT").c_str(), IN_ACCESS), 0);

  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  plat::SetCarryFaultForTests({});
  EXPECT_EQ(fs::status(Host(kCarried)).permissions(), folder_perms);
  EXPECT_EQ(fs::file_size(Host(kCarried + "BOUND.DAT")), kLargestCarriedFile);
  fs::remove(Host(kCarried + "BOUND.DAT"));
  EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
  EXPECT_TRUE(Logged("(5 of 7 files; the earlier folder is left as it was; larger than 64 MiB, and left there: "
                     "GROWN.DAT, LARGE.DAT)")) << log_.Last();
  char event[sizeof(inotify_event) + 256];
  EXPECT_EQ(read(reads.get(), event, sizeof event), -1) << "LARGE.DAT was read";
}

// Each entry of the earlier folder that is not carried over is named in the log with why, and
// counted among its files.
TEST_F(EarlierDataFolderTest, TheLogNamesEachEntryLeftBehind) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    const char* why;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"run.sh",
            [](const std::string& path) {
              std::ofstream(path) << "saved";
              fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
            },
            "with an execute bit"},
           {"within", [](const std::string& path) { fs::create_directory(path); }, "not a plain file"},
           {"LINK.DAT", [](const std::string& path) { fs::create_symlink("SAVE01.DAT", path); }, "not a plain file"},
           {"PIPE.DAT", [](const std::string& path) { mkfifo(path.c_str(), 0600); }, "not a plain file"}}) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Host("data"));
    WriteGame(3);
    MakeEarlierFolder();
    c.make(Host(kEarlier + c.name));
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Host(kCarried + c.name))));
    EXPECT_TRUE(Logged("(4 of 5 files; the earlier folder is left as it was; " + std::string(c.why) +
                       ", and left there: " + c.name + ")"))
        << log_.Last();
  }
}

// Two or three starts of the game at once on the first start after the update, the first held
// in the middle of its copy while the others start: they wait for it, then find every save and
// the settings whole, ask nothing, and nothing is left beside the folder; also where the lock is
// a holder file.
TEST_F(EarlierDataFolderTest, StartsAtOnceCarryTheFolderOverOnceAndWhole) {
  WriteGame(3);
  MakeEarlierFolder();
  for (int i = 0; i < 200; ++i) {
    game_.WriteFile(kEarlier + "SAVE" + std::to_string(100 + i) + ".DAT", std::string(1000 + i, static_cast<char>(i)));
  }
  const Files earlier = FilesIn(Host(kEarlier));
  const auto start = [&](const std::function<int(std::size_t)>& fault) {
    return StartChild([&] {
      plat::SetCarryFaultForTests(fault);
      SetUpGame game(game_.EnginePath());
      return (game.SetUp() != 0 ? 1 : 0) | (boxes_.empty() ? 0 : 2);
    });
  };
  for (const auto& [starts, lock_failure] : {std::pair{2, 0}, std::pair{3, 0}, std::pair{3, ENOLCK}}) {
    SCOPED_TRACE(starts);
    SCOPED_TRACE(lock_failure);
    const ScopedLockFailure failure(lock_failure);
    fs::remove_all(Host("data/kestrune"));
    // Each child reads the file-change notifications of its own.
    plat::ForgetFolderListings();
    int held[2], copying[2], go[2];
    ASSERT_EQ(pipe(held) | pipe(copying) | pipe(go), 0);
    char byte = 0;
    std::vector<pid_t> children{start([&](std::size_t at) {
      if (at == 100 && write(held[1], &byte, 1) == 1) (void)!read(go[0], &byte, 1);
      return 0;
    })};
    close(held[1]);
    ASSERT_EQ(read(held[0], &byte, 1), 1) << "the first start failed";
    for (int i = 1; i < starts; ++i) {
      children.push_back(start([&](std::size_t) {
        (void)!write(copying[1], &byte, 1);
        return 0;
      }));
    }
    // The first goes on once the others had the time to reach the lock, or at once when one of
    // them copies beside it.
    pollfd copy{copying[0], POLLIN, 0};
    poll(&copy, 1, 300);
    ASSERT_EQ(write(go[1], &byte, 1), 1);
    for (const pid_t child : children) EXPECT_EQ(EndStatus(child), 0) << "1 the start failed, 2 it asked";
    for (const int fd : {held[0], copying[0], copying[1], go[0], go[1]}) close(fd);
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"});
  }
}

// Save folders whose names end in a character whose second byte is a backslash (表, ソ, 十, 能,
// 予, 構), also one named as the start of another's: each first start after the update carries
// every file whole, asks nothing, and leaves nothing beside the games' folders and the lock.
TEST_F(EarlierDataFolderTest, FoldersNamedWithABackslashSecondByteAreCarriedOverWhole) {
  for (const std::vector<std::string>& names : std::initializer_list<std::vector<std::string>>{
           {"テスト表"}, {"代表"}, {"十"}, {"機能"}, {"予"}, {"ソード", "ソ"}, {"構成", "構"}}) {
    SCOPED_TRACE(names.front());
    fs::remove_all(Host("data"));
    std::set<std::string> carried;
    for (const std::string& name : names) {
      SCOPED_TRACE(name);
      WriteGame(3, plat::Utf8ToSjis(name));
      const Files earlier = MakeEarlierFolder("", "data/" + name + "/");
      SetUpGame game(game_.EnginePath());
      ASSERT_EQ(game.SetUp(), 0);
      EXPECT_EQ(FilesIn(Host("data/kestrune/" + name)), earlier);
      carried.insert(name);
      EXPECT_EQ(EntriesOfDataFolder(), carried);
    }
  }
  EXPECT_TRUE(boxes_.empty());
}

// A first start without an earlier folder takes no lock, and makes no file for one.
TEST_F(EarlierDataFolderTest, AStartWithoutAnEarlierFolderMakesNoLock) {
  WriteGame(3);
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_EQ(FilesIn(Host("data/kestrune")).count(kCarryLock), 0u);
  EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"});
}

// A lock that cannot be taken (its file a folder) ends the start with the box that names it, not
// the game's folder, and the log says why.
TEST_F(EarlierDataFolderTest, ALockThatCannotBeTakenIsNamedInTheBox) {
  WriteGame(3);
  MakeEarlierFolder();
  game_.MakeFolder(std::string("data/kestrune/") + kCarryLock);
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 3);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(plat::MessageBoxText(boxes_[0]).find(Host("data/kestrune/") + kCarryLock), std::string::npos)
      << plat::MessageBoxText(boxes_[0]);
  EXPECT_TRUE(Logged(" cannot be taken (Is a directory)")) << log_.Last();
  EXPECT_FALSE(game_.Exists(kCarried));
}

// Where flock is not supported (a network home without its lock service), the first start after
// the update carries the folder over all the same, under a holder file that it removes again;
// one left by a process that has ended (its number gone or given to another, or from before the
// machine started again, or never written whole) is taken over.
TEST_F(EarlierDataFolderTest, WhereTheFileSystemKeepsNoLocksTheFirstStartCarriesTheFolderOver) {
  const std::string holder = "data/kestrune/" + plat::HolderFileName(kCarryLock);
  const std::string boot = SystemFileLine("/proc/sys/kernel/random/boot_id");
  struct Case {
    const char* how;
    int error;
    std::string record;
  };
  for (const Case& c : {Case{"no lock service", ENOLCK, ""}, Case{"not supported", EOPNOTSUPP, ""},
                        Case{"no such call", ENOSYS, ""},
                        Case{"a holder that ended", ENOLCK, HolderRecord(EndedProcess(), 0, boot, HostName())},
                        Case{"its number given to another", ENOLCK, HolderRecord(getpid(), 1, boot, HostName())},
                        Case{"from before the start of the machine", ENOLCK,
                             HolderRecord(getpid(), 1, "another-start", HostName())},
                        Case{"never written whole", ENOLCK, "pid 1\nst"}}) {
    SCOPED_TRACE(c.how);
    fs::remove_all(Host("data"));
    WriteGame(3);
    const Files earlier = MakeEarlierFolder();
    if (!c.record.empty()) game_.WriteFile(holder, c.record);
    const std::size_t from = log_.Lines().size();
    const ScopedLockFailure failure(c.error);
    SetUpGame game(game_.EnginePath());
    ASSERT_EQ(game.SetUp(), 0);
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"}) << "the holder file is removed";
    EXPECT_TRUE(Logged("keeps no locks", from)) << log_.Last();
  }
  EXPECT_TRUE(boxes_.empty());
}

// A start that waits for the lock (a flock, or a holder file naming a process that runs) says so
// in the log once it has waited about a second, and goes on once the lock is free.
TEST_F(EarlierDataFolderTest, AStartThatHasWaitedASecondForTheLockSaysSoAndGoesOnWhenItIsFree) {
  WriteGame(3);
  for (const int lock_failure : {0, ENOLCK}) {
    SCOPED_TRACE(lock_failure);
    fs::remove_all(Host("data"));
    const Files earlier = MakeEarlierFolder();
    game_.MakeFolder("data/kestrune");
    plat::ForgetFolderListings();
    const ScopedLockFailure failure(lock_failure);
    const LockHolder holder = HoldTheLock();
    ASSERT_GT(holder.pid, 0);
    int lines[2];
    ASSERT_EQ(pipe(lines), 0);
    const pid_t start = StartChild([&] {
      const plat::ScopedDiagnosticSink sink([&](std::string_view line) {
        const std::string text = std::string(line) + '\n';
        (void)!write(lines[1], text.data(), text.size());
      });
      SetUpGame game(game_.EnginePath());
      return game.SetUp() == 0 && boxes_.empty() ? 0 : 1;
    });
    close(lines[1]);
    const std::string said = LineSaying(lines[0], "waited a second for the lock");
    char byte = 0;
    EXPECT_EQ(write(holder.release, &byte, 1), 1);
    // The rest of what the start says, until it ends.
    while (read(lines[0], &byte, 1) == 1) continue;
    EXPECT_EQ(EndStatus(holder.pid), 0);
    EXPECT_EQ(EndStatus(start), 0) << "1 the start failed or asked";
    for (const int fd : {lines[0], holder.release}) close(fd);
    const std::string which = lock_failure == 0 ? "another process" : "process " + std::to_string(holder.pid);
    EXPECT_NE(said.find(Host("data/kestrune/") + kCarryLock), std::string::npos) << said;
    EXPECT_NE(said.find(which), std::string::npos) << said;
    EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
    EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"});
  }
}

// The folder of copies that a start cut short left 3,000 folders deep is removed under an
// open-file limit of 1,024, folders its owner may not write among them, and the start carries
// the folder over.
TEST_F(EarlierDataFolderTest, AStaleFolderOfCopiesDeeperThanTheOpenFileLimitIsRemoved) {
  WriteGame(3);
  const Files earlier = MakeEarlierFolder();
  game_.MakeFolder("data/kestrune/:carrying");
  {
    plat::UniqueFd folder(open(Host("data/kestrune/:carrying").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; level < 3000; ++level) {
      ASSERT_TRUE(folder.IsOpen()) << level;
      ASSERT_EQ(mkdirat(folder.get(), "d", 0700), 0) << level;
      if (level % 1000 == 0) plat::UniqueFd(openat(folder.get(), "SAVE01.DAT", O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
      plat::UniqueFd below(openat(folder.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      if (level % 1000 == 500) fchmod(folder.get(), 0500);
      folder = std::move(below);
    }
  }
  const int status = ChildStatus([&] {
    const rlimit limit{1024, 1024};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return 2;
    SetUpGame game(game_.EnginePath());
    return game.SetUp() == 0 && boxes_.empty() ? 0 : 1;
  });
  EXPECT_EQ(status, 0) << "1 the start failed or asked, 2 no open-file limit";
  EXPECT_EQ(FilesIn(Host(kCarried)), earlier);
  EXPECT_EQ(EntriesOfDataFolder(), std::set<std::string>{"Tale SaveData"});
}

// A save folder named with the longest name the system allows is carried over beside the
// others: the copies are made under a name of their own.
TEST_F(EarlierDataFolderTest, AFolderOfTheLongestNameIsCarriedOver) {
  std::string name;
  for (int i = 0; i < 85; ++i) name += "\u3042";
  ASSERT_EQ(name.size(), 255u);
  WriteGame(3, plat::Utf8ToSjis(name));
  const Files earlier = MakeEarlierFolder("", "data/" + name + "/");
  SetUpGame game(game_.EnginePath());
  ASSERT_EQ(game.SetUp(), 0);
  EXPECT_EQ(FilesIn(Host("data/kestrune/" + name + "/")), earlier);
  EXPECT_TRUE(boxes_.empty());
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
