// The folders that are never a place for a game's files: the root, the home folder itself and
// its parents, and the system's own trees, as named or reached through a link.
#include "platform/files/special_folders.h"

#include <dirent.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "support/own_mounts.h"
#include "support/scoped_environment.h"
#include "support/temp_game_folder.h"

namespace {

TEST(SpecialFolders, TheRootTheHomeFolderAndTheSystemsFoldersAreNoPlaceForAGame) {
  const test_support::TempGameFolder folder;
  folder.MakeFolder("var/home/player/games");
  const ScopedEnvironment home("HOME", (folder.HostPath() + "var/home/player").c_str());
  std::filesystem::create_symlink("/etc", folder.HostPath() + "var/home/player/games/ETC_LINK");
  for (const std::string& refused :
       {std::string("Z:\\"), std::string("Z:\\etc"), std::string("Z:\\usr\\share\\games\\"), std::string("Z:\\tmp"),
        std::string("Z:\\home"), std::string("Z:\\var"), folder.EnginePath("var\\home\\player"),
        folder.EnginePath("var\\home\\"), folder.EnginePath("var\\home\\player\\games\\ETC_LINK\\x")}) {
    EXPECT_TRUE(plat::IsRootHomeOrSystemFolder(refused)) << refused;
  }
  for (const std::string& allowed : {folder.EnginePath("var\\home\\player\\games"), std::string("Z:\\tmp\\game"),
                                     std::string("Z:\\opt\\game\\SAVEDATA"), std::string("Z:\\media\\disk\\saves")}) {
    EXPECT_FALSE(plat::IsRootHomeOrSystemFolder(allowed)) << allowed;
  }
}

// Folders are told by what they are: the root and a system tree mounted elsewhere are still no
// place for a game, nor is a hidden folder of the home folder; the documents folder still is.
TEST(SpecialFolders, AFolderMountedElsewhereIsJudgedAsItself) {
  const test_support::TempGameFolder folder;
  for (const char* name : {"home/.config", "home/Documents", "ROOT", "ETC", "CONFIG", "DOCUMENTS"}) {
    folder.MakeFolder(name);
  }
  const ScopedEnvironment home("HOME", (folder.HostPath() + "home").c_str());
  const test_support::OwnMountsRun run = test_support::RunWithBindMounts(
      {{"/", folder.HostPath() + "ROOT"},
       {"/etc", folder.HostPath() + "ETC"},
       {folder.HostPath() + "home/.config", folder.HostPath() + "CONFIG"},
       {folder.HostPath() + "home/Documents", folder.HostPath() + "DOCUMENTS"}},
      [&] {
        std::string failures;
        for (const char* name : {"ROOT", "ETC", "ROOT\\usr\\share"}) {
          if (!plat::IsRootHomeOrSystemFolder(folder.EnginePath(name))) failures += name + std::string(" let in\n");
        }
        if (!plat::IsHiddenFolderOfHome(folder.EnginePath("CONFIG\\notes"))) failures += "CONFIG let in\n";
        if (plat::IsRootHomeOrSystemFolder(folder.EnginePath("DOCUMENTS")) ||
            plat::IsHiddenFolderOfHome(folder.EnginePath("DOCUMENTS"))) {
          failures += "DOCUMENTS refused\n";
        }
        return failures;
      });
  if (!run.refused.empty()) GTEST_SKIP() << "no mount namespace of its own: " << run.refused;
  EXPECT_EQ(run.failures, "");
}

// The desktop's own folders where the XDG variables put them (its settings here, its data
// elsewhere) or by default (state and cache), and the engine's data folder: a folder that is
// one, lies in one or holds one, made yet or not, is named with the first of them, told by what
// the folders are, so a link to one is that one (the engine's data folder a link elsewhere). The
// home folder's other folders, and folders elsewhere, meet none.
TEST(SpecialFolders, AFolderThatIsLiesInOrHoldsOneOfTheDesktopsOwnFoldersIsNamedWithIt) {
  const test_support::TempGameFolder root;
  for (const char* name : {"home/cfg/git", "home/Documents", "home/.cache", "share", "elsewhere/engine", "apart"}) {
    root.MakeFolder(name);
  }
  const std::string host = root.HostPath();
  std::filesystem::create_directory_symlink(host + "home/cfg", host + "home/Settings");
  std::filesystem::create_directory_symlink(host + "elsewhere/engine", host + "share/kestrune");
  const ScopedEnvironment home("HOME", (host + "home").c_str());
  const ScopedEnvironment config("XDG_CONFIG_HOME", (host + "home/cfg").c_str());
  const ScopedEnvironment data("XDG_DATA_HOME", (host + "share").c_str());
  const ScopedEnvironment state("XDG_STATE_HOME", nullptr);
  const ScopedEnvironment cache("XDG_CACHE_HOME", "relative/cache");
  std::string failures;
  for (const auto& [folder, met] : std::initializer_list<std::pair<const char*, const char*>>{
           {"home\\cfg", "home/cfg/"},
           {"home\\cfg\\git", "home/cfg/"},
           {"home\\Settings\\environment.d", "home/cfg/"},
           {"home", "home/cfg/"},
           {"", "home/cfg/"},
           {"share\\applications", "share/"},
           {"home\\.local", "home/.local/state/"},
           {"home\\.cache\\fonts", "home/.cache/"},
           {"elsewhere\\engine", "share/kestrune/"},
           {"elsewhere\\engine\\Tale", "share/kestrune/"},
           {"elsewhere", "share/kestrune/"},
           {"home\\Documents", nullptr},
           {"home\\Documents\\cfg", nullptr},
           {"apart", nullptr}}) {
    const std::optional<std::string> found = plat::OverlappingDesktopFolder(root.EnginePath(folder));
    if (found != (met != nullptr ? std::optional(host + met) : std::nullopt)) {
      failures += std::string(folder) + ": " + found.value_or("none") + "\n";
    }
  }
  EXPECT_EQ(failures, "");
}

// Takes from this thread, while it lives, root's power to read and search any folder whatever its
// mode, so that a folder its owner may not list is one that root may not list either.
class ScopedWithoutFolderOverride {
 public:
  ScopedWithoutFolderOverride() {
    if (::syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~(CAP_TO_MASK(CAP_DAC_OVERRIDE) | CAP_TO_MASK(CAP_DAC_READ_SEARCH));
    taken_ = ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~ScopedWithoutFolderOverride() {
    if (taken_) ::syscall(SYS_capset, &header_, saved_);
  }
  ScopedWithoutFolderOverride(const ScopedWithoutFolderOverride&) = delete;
  ScopedWithoutFolderOverride& operator=(const ScopedWithoutFolderOverride&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2] = {};
  bool taken_ = false;
};

// A home folder that cannot be listed does not say which of its hidden folders a link or mount
// reaches: a folder counts as none only where its path puts it in one of the home folder's other
// folders, or in the engine's own data folder among the hidden ones. A hidden folder by its path
// counts, and so does a folder elsewhere.
TEST(SpecialFolders, UnderAHomeFolderThatCannotBeListedOnlyItsOtherFoldersAndTheEnginesOwnAreNoHiddenOnes) {
  const test_support::TempGameFolder folder;
  for (const char* name : {"home/Documents", "home/.config", "home/.local/share/kestrune", "elsewhere"}) {
    folder.MakeFolder(name);
  }
  const std::string home = folder.HostPath() + "home";
  const ScopedEnvironment home_variable("HOME", home.c_str());
  const ScopedEnvironment data("XDG_DATA_HOME", nullptr);
  const auto judge = [&]() -> std::optional<std::string> {
    const ScopedWithoutFolderOverride unprivileged;
    if (std::unique_ptr<DIR, int (*)(DIR*)>(::opendir(home.c_str()), ::closedir) != nullptr) return std::nullopt;
    std::string failures;
    for (const auto& [name, hidden] : {std::pair{"home\\Documents\\Tale", false},
                                       std::pair{"home\\.local\\share\\kestrune\\Tale", false},
                                       std::pair{"home\\.config\\git", true}, std::pair{"elsewhere\\Tale", true}}) {
      if (plat::IsHiddenFolderOfHome(folder.EnginePath(name)) != hidden) {
        failures += name + std::string(hidden ? " not taken as hidden\n" : " taken as hidden\n");
      }
    }
    return failures;
  };
  std::filesystem::permissions(home, std::filesystem::perms::owner_write | std::filesystem::perms::owner_exec);
  const std::optional<std::string> failures = judge();
  std::filesystem::permissions(home, std::filesystem::perms::owner_all);
  if (!failures) GTEST_SKIP() << "a home folder of mode 0300 can still be listed here";
  EXPECT_EQ(*failures, "");
}

}  // namespace
