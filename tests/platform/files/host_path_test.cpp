#include "platform/files/host_path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/encoding/text_encoding.h"
#include "platform/files/file_handle.h"
#include "platform/files/file_system_ops.h"
#include "support/folder_watches.h"
#include "support/temp_game_folder.h"

namespace {

using test_support::TempGameFolder;

std::string ReadAll(plat::FileHandle& file) {
  std::string text(file.Size().value_or(0), '\0');
  EXPECT_EQ(file.Read(text.data(), text.size()), text.size());
  return text;
}

TEST(HostPath, DriveZIsTheRootAndOtherDrivesAreNotMapped) {
  EXPECT_EQ(plat::ToHostPath("Z:\\"), "/");
  EXPECT_EQ(plat::ToHostPath("z:/tmp/../tmp/./x"), "/tmp/x");
  EXPECT_EQ(plat::ToHostPath("C:\\GAME\\A.TXT"), std::nullopt);
  EXPECT_EQ(plat::ToHostPath("\\\\server\\share\\a"), std::nullopt);
  EXPECT_EQ(plat::ToHostPath("Z:relative"), std::nullopt);
  EXPECT_EQ(plat::ToHostPath("Z:\\opt\\game\\"), "/opt/game/");
  EXPECT_EQ(plat::ToHostPath("Z:\\opt\\\x95\x5C"), "/opt/\xE8\xA1\xA8");  // 表 ends in 0x5C, not a separator
  EXPECT_EQ(plat::ToEnginePath("/opt/game/"), "Z:\\opt\\game\\");
}

TEST(HostPath, ALeadByteBeforeASlashNeverHidesAComponentFromTheEngine) {
  // 0x81 followed by '/' is no character of code page 932: the '/' separates, so the ".." after
  // it is resolved here and never reaches the host.
  EXPECT_EQ(plat::ToHostPath("Z:\\tmp\\x\x81/..\\y"), "/tmp/y");
  EXPECT_EQ(plat::ToHostPath("Z:\\tmp\\\x81/..\\..\\etc"), "/etc");
  for (const char* path : {"Z:\\tmp\\x\x81/..\\y", "Z:\\a\x9F/.", "Z:\\\xE0/../b"}) {
    const std::optional<std::string> host = plat::ToHostPath(path);
    ASSERT_TRUE(host) << path;
    const std::string components = *host + "/";
    EXPECT_EQ(components.find("/../"), std::string::npos) << *host;
    EXPECT_EQ(components.find("/./"), std::string::npos) << *host;
  }
  // The same reading converts: the lead byte alone, then the slash.
  EXPECT_EQ(plat::SjisToUtf8("\x81/"), "\xEF\xBF\xBD/");
}

TEST(HostPath, UpperCaseEnginePathOpensLowerCaseFileOnDisk) {
  TempGameFolder game;
  game.WriteFile("script/dl_app.sys", "settings");
  game.WriteFile("Data/A.SOB", "object");
  plat::FileHandle settings = plat::FileHandle::Open(game.EnginePath("SCRIPT\\DL_APP.SYS"), plat::FileOpenMode::kRead);
  ASSERT_TRUE(settings.IsOpen());
  EXPECT_EQ(ReadAll(settings), "settings");
  plat::FileHandle object = plat::FileHandle::Open(game.EnginePath("DATA\\a.sob"), plat::FileOpenMode::kRead);
  ASSERT_TRUE(object.IsOpen());
  EXPECT_EQ(ReadAll(object), "object");
  // A folder is not a file.
  EXPECT_FALSE(plat::FileHandle::Open(game.EnginePath("SCRIPT"), plat::FileOpenMode::kRead).IsOpen());
}

TEST(HostPath, NewFilesKeepTheEngineCaseAndListingsFollowChanges) {
  TempGameFolder game;
  game.MakeFolder("save");
  const std::string path = game.EnginePath("SAVE\\Data01.SAV");
  ASSERT_FALSE(plat::FileHandle::Open(path, plat::FileOpenMode::kRead).IsOpen());  // caches the empty listing
  plat::FileHandle created = plat::FileHandle::Open(path, plat::FileOpenMode::kCreateNew);
  ASSERT_TRUE(created.IsOpen());
  EXPECT_TRUE(game.Exists("save/Data01.SAV"));
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("save\\DATA01.SAV"), plat::FileOpenMode::kRead).IsOpen());

  // A file made by another program is found once the cached listing misses it.
  game.WriteFile("save/Other.SAV", "x");
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("SAVE\\OTHER.SAV"), plat::FileOpenMode::kRead).IsOpen());

  EXPECT_TRUE(plat::DeleteFile(game.EnginePath("SAVE\\DATA01.SAV")));
  EXPECT_FALSE(game.Exists("save/Data01.SAV"));
  EXPECT_FALSE(plat::FileHandle::Open(path, plat::FileOpenMode::kRead).IsOpen());
  EXPECT_FALSE(plat::FileHandle::Open(path, plat::FileOpenMode::kReadWrite).IsOpen());
}

// Sets a folder's modification time as another program, or an install long ago, leaves it.
void SetModified(const std::string& folder, std::time_t seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
}

TEST(HostPath, OutsideChangesAreSeenAtOnceWhateverTheFolderTime) {
  TempGameFolder game;
  game.MakeFolder("data");
  const std::string folder = game.HostPath() + "/data";
  const auto opens = [&](const std::string& name) {
    return plat::FileHandle::Open(game.EnginePath("DATA\\" + name), plat::FileOpenMode::kRead).IsOpen();
  };
  const std::time_t long_ago = std::time(nullptr) - 3600;
  SetModified(folder, long_ago);
  EXPECT_FALSE(opens("A.TXT"));  // caches the listing

  // Behind an unchanged folder time, and within the same time stamp as the last change.
  game.WriteFile("data/a.txt", "x");
  SetModified(folder, long_ago);
  EXPECT_TRUE(opens("A.TXT"));
  game.WriteFile("data/b.txt", "x");
  EXPECT_TRUE(opens("B.TXT"));

  // Removed and renamed from outside: the old names go, the new case is found.
  ASSERT_EQ(::unlink((folder + "/a.txt").c_str()), 0);
  EXPECT_FALSE(opens("A.TXT"));
  EXPECT_TRUE(plat::LookUpHostPath(game.EnginePath("DATA\\A.TXT"))->listed_missing);
  ASSERT_EQ(::rename((folder + "/b.txt").c_str(), (folder + "/B2.TXT").c_str()), 0);
  EXPECT_FALSE(opens("B.TXT"));
  EXPECT_TRUE(opens("b2.txt"));
}

TEST(HostPath, TheEnginesOwnChangesAreListedAtOnce) {
  TempGameFolder game;
  game.MakeFolder("save");
  const std::string path = game.EnginePath("SAVE\\SAVE01.DAT");
  EXPECT_TRUE(plat::LookUpHostPath(path)->listed_missing);  // caches the empty listing
  EXPECT_TRUE(plat::LookUpHostPath(game.EnginePath("SAVE\\OLD\\"))->listed_missing);
  ASSERT_TRUE(plat::FileHandle::Open(path, plat::FileOpenMode::kCreateAlways).IsOpen());
  EXPECT_FALSE(plat::LookUpHostPath(path)->listed_missing);
  ASSERT_TRUE(plat::CopyFile(path, game.EnginePath("SAVE\\SAVE02.DAT"), false));
  ASSERT_TRUE(plat::ReplaceFile(path, game.EnginePath("SAVE\\Save03.DAT")));
  EXPECT_TRUE(plat::LookUpHostPath(path)->listed_missing);
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("SAVE\\save02.dat"), plat::FileOpenMode::kRead).IsOpen());
  EXPECT_EQ(plat::LookUpHostPath(game.EnginePath("SAVE\\SAVE03.DAT"))->path, game.HostPath() + "save/Save03.DAT");
  ASSERT_TRUE(plat::CreateFolder(game.EnginePath("SAVE\\OLD")));
  EXPECT_FALSE(plat::LookUpHostPath(game.EnginePath("SAVE\\OLD\\"))->listed_missing);
  ASSERT_TRUE(plat::DeleteFile(game.EnginePath("SAVE\\SAVE02.DAT")));
  EXPECT_TRUE(plat::LookUpHostPath(game.EnginePath("SAVE\\SAVE02.DAT"))->listed_missing);
}

TEST(HostPath, OnlyANameMissingFromAListingIsKnownNotToExist) {
  TempGameFolder game;
  game.WriteFile("data/a.txt", "x");
  struct Case {
    const char* name;
    bool listed_missing;
  };
  // Inside a file there is no listing to consult: the open itself must decide.
  for (const Case& c : {Case{"DATA\\A.TXT", false}, Case{"DATA\\B.TXT", true}, Case{"NONE\\A.TXT", true},
                        Case{"DATA\\A.TXT\\INNER", false}}) {
    const std::optional<plat::HostPath> host = plat::LookUpHostPath(game.EnginePath(c.name));
    ASSERT_TRUE(host) << c.name;
    EXPECT_EQ(host->listed_missing, c.listed_missing) << c.name;
  }
  // Creating the file drops the listing that said it was missing.
  ASSERT_TRUE(plat::FileHandle::Open(game.EnginePath("DATA\\B.TXT"), plat::FileOpenMode::kCreateAlways).IsOpen());
  EXPECT_FALSE(plat::LookUpHostPath(game.EnginePath("DATA\\B.TXT"))->listed_missing);
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("DATA\\B.TXT"), plat::FileOpenMode::kRead).IsOpen());
}

TEST(HostPath, ForgottenListingsGiveUpTheirWatchesAndAreReadAgain) {
  TempGameFolder game;
  game.WriteFile("data/a.txt", "x");
  game.WriteFile("save/s.dat", "x");
  EXPECT_FALSE(plat::LookUpHostPath(game.EnginePath("DATA\\A.TXT"))->listed_missing);
  EXPECT_FALSE(plat::LookUpHostPath(game.EnginePath("SAVE\\S.DAT"))->listed_missing);
  ASSERT_GE(test_support::FolderWatchesHeld(), 3);

  plat::ForgetFolderListings();
  EXPECT_EQ(test_support::FolderWatchesHeld(), 0);
  game.WriteFile("data/b.txt", "x");
  ASSERT_EQ(::unlink((game.HostPath() + "/data/a.txt").c_str()), 0);
  EXPECT_TRUE(plat::LookUpHostPath(game.EnginePath("DATA\\A.TXT"))->listed_missing);
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("DATA\\B.TXT"), plat::FileOpenMode::kRead).IsOpen());
  // Looked at again, the folders are watched again.
  EXPECT_GE(test_support::FolderWatchesHeld(), 2);
}

TEST(HostPath, ShiftJisNamesMapToUtf8AndBack) {
  TempGameFolder game;
  // "表示.txt": the second byte of 表 is 0x5C, a backslash, and must not split the name.
  const std::string sjis_name = "\x95\x5C\x8E\xA6.txt";
  const std::string utf8_name = plat::SjisToUtf8(sjis_name);
  ASSERT_EQ(utf8_name, "\xE8\xA1\xA8\xE7\xA4\xBA.txt");
  plat::FileHandle created = plat::FileHandle::Open(game.EnginePath(sjis_name), plat::FileOpenMode::kCreateAlways);
  ASSERT_TRUE(created.IsOpen());
  EXPECT_TRUE(game.Exists(utf8_name));

  const std::vector<plat::FindData> listed = plat::FindFiles(game.EnginePath("*.TXT"));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(std::string(listed[0].file_name), sjis_name);
  EXPECT_EQ(plat::ToEnginePath(game.HostPath() + utf8_name), game.EnginePath(sjis_name));
}

}  // namespace
