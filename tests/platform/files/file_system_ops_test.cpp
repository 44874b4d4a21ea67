#include "platform/files/file_system_ops.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/encoding/text_encoding.h"
#include "platform/files/file_handle.h"
#include "support/temp_game_folder.h"

namespace {

using test_support::TempGameFolder;

std::vector<std::string> Names(const std::vector<plat::FindData>& found) {
  std::vector<std::string> names;
  for (const plat::FindData& data : found) names.emplace_back(data.file_name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileSystemOps, ListingMatchesWildcardsWithoutCaseAndFillsTheRecord) {
  TempGameFolder game;
  game.WriteFile("plugin/a.adl", "12345");
  game.WriteFile("plugin/B.ADL", "");
  game.WriteFile("plugin/c.gll", "");
  game.WriteFile("plugin/\xF0\x9F\x98\x80.adl", "");  // no Shift-JIS form: the engine cannot name it
  game.MakeFolder("plugin/sub.adl");

  EXPECT_EQ(Names(plat::FindFiles(game.EnginePath("PLUGIN\\*.ADL"))),
            (std::vector<std::string>{"B.ADL", "a.adl", "sub.adl"}));
  EXPECT_EQ(Names(plat::FindFiles(game.EnginePath("plugin\\?.?LL"))), (std::vector<std::string>{"c.gll"}));
  EXPECT_EQ(Names(plat::FindFiles(game.EnginePath("plugin\\*.*"))).size(), 6u);  // with "." and ".."

  const std::optional<plat::FindData> file = plat::FindFirstFile(game.EnginePath("PLUGIN\\A.ADL"));
  ASSERT_TRUE(file);
  EXPECT_STREQ(file->file_name, "a.adl");  // the name as it stands on disk
  EXPECT_EQ(file->Size(), 5u);
  EXPECT_EQ(file->attributes, plat::kFileAttributeNormal);
  const std::optional<plat::FindData> folder = plat::FindFirstFile(game.EnginePath("plugin\\SUB.ADL"));
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->IsFolder());
  EXPECT_FALSE(plat::FindFirstFile(game.EnginePath("plugin\\none.adl")));
}

// The conversion of names reads a half-width kana as a character of its own; the listing reads
// patterns and folders so too: ｱ.TXT (B1 2E ...) has a dot and one character before it, and a
// folder named ﾃｽﾄ (C3 BD C4) ends at the separator after it.
TEST(FileSystemOps, HalfWidthKanaAreCharactersOfTheirOwnInPatternsAndFolders) {
  TempGameFolder game;
  for (const char* file : {"ｱ.TXT", "ﾃｽﾄ.TXT", "表.TXT", "ab.TXT", "ﾃｽﾄ/ｱ.TXT", "ﾃｽﾄ/ｶﾞ.DAT"}) game.WriteFile(file, "");
  struct Case {
    const char* pattern;
    std::vector<const char*> names;
  };
  for (const Case& c : {Case{"*.TXT", {"ab.TXT", "ｱ.TXT", "ﾃｽﾄ.TXT", "表.TXT"}}, Case{"?.TXT", {"ｱ.TXT", "表.TXT"}},
                        Case{"ﾃｽﾄ\\*.*", {".", "..", "ｱ.TXT", "ｶﾞ.DAT"}}, Case{"ﾃｽﾄ\\??.dat", {"ｶﾞ.DAT"}}}) {
    std::vector<std::string> expected;
    for (const char* name : c.names) expected.push_back(plat::Utf8ToSjis(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(plat::FindFiles(game.EnginePath(plat::Utf8ToSjis(c.pattern)))), expected) << c.pattern;
  }
}

TEST(FileSystemOps, FindRecordBytesKeepTheWindowsLayout) {
  plat::FindData data;
  data.attributes = 0x20;
  data.last_write_time = {0x11223344, 0x55667788};
  data.size_low = 0x0A0B0C0D;
  std::strcpy(data.file_name, "A.TXT");
  const auto bytes = plat::ToBytes(data);
  EXPECT_EQ(bytes[0], 0x20);
  EXPECT_EQ(bytes[20], 0x44);
  EXPECT_EQ(bytes[27], 0x55);
  EXPECT_EQ(bytes[32], 0x0D);
  EXPECT_EQ(bytes[44], 'A');
  EXPECT_EQ(bytes[49], 0);

  const timespec epoch{0, 0};
  EXPECT_EQ(plat::FileTime::FromUnix(epoch).Ticks(), 116444736000000000ull);
  EXPECT_EQ(plat::FileTime::FromUnix({1000, 500}).ToUnixSeconds(), 1000);
}

TEST(FileSystemOps, CopyKeepsTheTimeAndRespectsOverwrite) {
  TempGameFolder game;
  game.WriteFile("from.txt", "new contents");
  game.WriteFile("to.txt", "old");
  EXPECT_FALSE(plat::CopyFile(game.EnginePath("FROM.TXT"), game.EnginePath("TO.TXT"), false));
  EXPECT_EQ(game.ReadFile("to.txt"), "old");
  ASSERT_TRUE(plat::CopyFile(game.EnginePath("FROM.TXT"), game.EnginePath("TO.TXT"), true));
  EXPECT_EQ(game.ReadFile("to.txt"), "new contents");
  EXPECT_EQ(plat::FindFirstFile(game.EnginePath("to.txt"))->last_write_time.Ticks(),
            plat::FindFirstFile(game.EnginePath("from.txt"))->last_write_time.Ticks());

  chmod((game.HostPath() + "to.txt").c_str(), 0444);
  EXPECT_EQ(*plat::GetFileAttributes(game.EnginePath("to.txt")) & plat::kFileAttributeReadOnly, plat::kFileAttributeReadOnly);
  EXPECT_TRUE(plat::MakeWritable(game.EnginePath("to.txt")));
  EXPECT_EQ(*plat::GetFileAttributes(game.EnginePath("to.txt")), plat::kFileAttributeNormal);
}

TEST(FileSystemOps, FoldersAndTemporaryFiles) {
  TempGameFolder game;
  EXPECT_TRUE(plat::CreateFolders(game.EnginePath("A\\B\\C\\")));
  EXPECT_TRUE(game.Exists("A/B/C"));
  EXPECT_FALSE(plat::CreateFolder(game.EnginePath("X\\Y")));  // its parent is missing
  EXPECT_TRUE(plat::CreateFolder(game.EnginePath("X")));

  const std::optional<std::string> temp = plat::CreateTempFile(game.EnginePath(), "DLF");
  ASSERT_TRUE(temp);
  EXPECT_EQ(temp->rfind(game.EnginePath("DLF"), 0), 0u);
  EXPECT_EQ(temp->size(), game.EnginePath().size() + std::string("DLFXXXX.TMP").size());
  EXPECT_TRUE(plat::GetFileAttributes(*temp));
  EXPECT_NE(plat::CreateTempFile(game.EnginePath(), "DLF"), temp);
  EXPECT_FALSE(plat::CreateTempFile(game.EnginePath("missing\\"), "DLF"));
}

// A link put where a file is written may lead anywhere: writes never go through one as the
// last name, whether it leads to a file or to nothing yet, and a link is never made writable.
TEST(FileSystemOps, NothingIsWrittenThroughALinkAsTheLastName) {
  TempGameFolder game;
  TempGameFolder outside;
  outside.WriteFile("OLD.TXT", "old");
  outside.WriteFile("KEPT.TXT", "kept");
  std::filesystem::permissions(outside.HostPath() + "KEPT.TXT", std::filesystem::perms::owner_read);
  game.WriteFile("SOURCE.TXT", "new");
  std::filesystem::create_symlink(outside.HostPath() + "OLD.TXT", game.HostPath() + "OLD_LINK");
  std::filesystem::create_symlink(outside.HostPath() + "NEW.TXT", game.HostPath() + "NEW_LINK");
  std::filesystem::create_symlink(outside.HostPath() + "KEPT.TXT", game.HostPath() + "KEPT_LINK");
  for (const char* link : {"OLD_LINK", "NEW_LINK"}) {
    for (const plat::FileOpenMode mode :
         {plat::FileOpenMode::kCreateAlways, plat::FileOpenMode::kCreateNew, plat::FileOpenMode::kReadWrite}) {
      EXPECT_FALSE(plat::FileHandle::Open(game.EnginePath(link), mode).IsOpen()) << link;
    }
    EXPECT_FALSE(plat::CopyFile(game.EnginePath("SOURCE.TXT"), game.EnginePath(link), true)) << link;
  }
  EXPECT_FALSE(plat::MakeWritable(game.EnginePath("KEPT_LINK")));
  EXPECT_EQ(std::filesystem::status(outside.HostPath() + "KEPT.TXT").permissions(), std::filesystem::perms::owner_read);
  EXPECT_EQ(outside.ReadFile("OLD.TXT"), "old");
  EXPECT_FALSE(outside.Exists("NEW.TXT"));
  EXPECT_TRUE(plat::FileHandle::Open(game.EnginePath("OLD_LINK"), plat::FileOpenMode::kRead).IsOpen());
}

}  // namespace
