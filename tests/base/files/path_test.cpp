#include "base/files/path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/temp_game_folder.h"

namespace {

struct Made {
  unsigned result;
  std::string path;
};

Made Full(const char* name, const char* base) {
  char destination[kMaxPath] = "untouched";
  const unsigned result = MakeFullPath(destination, name, base);
  return {result, destination};
}

std::string Stripped(const char* path) {
  char buffer[kMaxPath];
  std::strcpy(buffer, path);
  StripLastFolder(buffer);
  return buffer;
}

std::string Leaf(const char* path, bool folder) {
  char buffer[kMaxPath] = "untouched";
  GetPathLeaf(path, buffer, folder);
  return buffer;
}

TEST(MakeFullPath, ResolvesRelativeNamesAgainstTheBaseFolder) {
  EXPECT_EQ(Full("SAVE/DATA01.SAV", "D:\\GAME\\").path, "D:\\GAME\\SAVE\\DATA01.SAV");
  EXPECT_EQ(Full("SAVE/DATA01.SAV", "D:\\GAME\\").result, 2u);
  EXPECT_EQ(Full("..\\x.txt", "D:\\GAME\\").path, "D:\\x.txt");
  EXPECT_EQ(Full("../../x", "D:\\").path, "D:\\x");
  EXPECT_EQ(Full("./a/./b", "D:\\GAME\\").path, "D:\\GAME\\a\\.\\b");  // only leading dot steps go
  EXPECT_EQ(Full(".profile", "D:\\GAME\\").path, "D:\\GAME\\.profile");
  EXPECT_EQ(Full("\\x", "D:\\GAME\\").path, "D:\\GAME\\x");
  EXPECT_EQ(Full("x", "").result, 0u);
  EXPECT_EQ(Full(nullptr, "D:\\").result, 0u);
}

TEST(MakeFullPath, CopiesAbsoluteNamesWithTheirSlashesTurned) {
  EXPECT_EQ(Full("E:/a/b", "D:\\GAME\\").path, "E:\\a\\b");
  EXPECT_EQ(Full("E:/a/b", "D:\\GAME\\").result, 1u);
  EXPECT_EQ(Full("\\\\server/share/x", nullptr).path, "\\\\server\\share\\x");
  EXPECT_EQ(Full("\\\\server/share/x", nullptr).result, 1u);
}

TEST(MakeFullPath, KeepsTwoByteCharactersWhole) {
  // ソ is 0x83 0x5C and 表 is 0x95 0x5C: their second bytes are backslashes, not separators,
  // and a second byte 0x2F would not be a slash either.
  EXPECT_EQ(Full("\x83\x5C\x83\x74\x83\x67/a.txt", "D:\\GAME\\").path, "D:\\GAME\\\x83\x5C\x83\x74\x83\x67\\a.txt");
  EXPECT_EQ(Leaf("D:\\GAME\\\x95\x5C", false), "\x95\x5C");
  EXPECT_EQ(Stripped("D:\\GAME\\\x95\x5C"), "D:\\GAME\\");
}

TEST(MakeFullPath, RefusesResultsThatDoNotFit) {
  const std::string base = "D:\\" + std::string(250, 'F') + "\\";
  const std::string fits(kMaxPath - 1 - base.size(), 'n');
  EXPECT_EQ(Full(fits.c_str(), base.c_str()).result, 2u);
  EXPECT_EQ(Full((fits + "n").c_str(), base.c_str()).result, 0u);
  EXPECT_EQ(Full(std::string(kMaxPath, 'C').insert(1, ":").c_str(), nullptr).result, 0u);
}

TEST(StaysInsideFolder, RefusesEveryWayOut) {
  for (const char* inside : {"MAIN", "SUB\\E01", "SUB/E01", ".\\A", "A..B", "..A", "\x95\x5C..", "\x81\\.A"}) {
    EXPECT_TRUE(StaysInsideFolder(inside)) << inside;
  }
  // "\x81/.." is one character and a name to the engine's scans, but a byte, a separator and
  // ".." to the host; "\xB1\x81\\.." the other way round.
  for (const char* outside : {"", "..", "..\\A", "A\\..\\..\\B", "A/..", "\\A", "/A", "C:A", "Z:\\A",
                              "A\\\x81/..", "\xB1\x81\\..\\B"}) {
    EXPECT_FALSE(StaysInsideFolder(outside)) << outside;
  }
}

// A name from a game's settings becomes one folder name however the engine or the host reads
// it: "ソ" (0x83 0x5C) keeps its second byte, a lone lead byte never takes the separator after it,
// and a second byte that a half-width kana before it would make a separator is replaced.
TEST(PlainFolderName, LeavesOneNameInsideItsFolder) {
  struct Case {
    const char* name;
    const char* plain;
  };
  for (const Case& c : {Case{"Tale SaveData", "Tale SaveData"}, Case{"..\\..\\..\\ESCAPED", ".._.._.._ESCAPED"},
                        Case{"Tale/Part 2", "Tale_Part 2"}, Case{"C:\\Saves", "C__Saves"}, Case{"..", "__"},
                        Case{".", "_"}, Case{"", "_"}, Case{"...a", "...a"}, Case{"A\nB\x7F", "A_B_"},
                        Case{"\x83\x5C", "\x83\x5C"}, Case{"\x81/..", "__.."}, Case{"Tale\xB1", "Tale_"},
                        Case{"\xB1Tale", "\xB1Tale"}, Case{"\xB1\xE0\\..", "\xB1\xE0_.."}}) {
    EXPECT_EQ(PlainFolderName(c.name), c.plain) << c.name;
    EXPECT_TRUE(StaysInsideFolder(PlainFolderName(c.name) + "\\USER.CFG")) << c.name;
  }
}

TEST(PathParts, StripLeafFolderAndExtension) {
  EXPECT_EQ(Stripped("D:\\GAME\\PROG.EXE"), "D:\\GAME\\");
  EXPECT_EQ(Stripped("D:\\GAME\\SUB\\"), "D:\\GAME\\");
  EXPECT_EQ(Stripped("D:\\"), "D:\\");
  EXPECT_EQ(Stripped("\\\\server\\share\\"), "\\\\server\\");
  EXPECT_EQ(Stripped("\\\\server\\"), "\\\\server\\");
  char short_path[] = "ab";
  EXPECT_EQ(StripLastFolder(short_path), 1u);
  char no_separator[] = "abc";
  EXPECT_EQ(StripLastFolder(no_separator), 1u);

  EXPECT_EQ(Leaf("D:\\GAME\\SUB\\", true), "SUB");
  EXPECT_EQ(Leaf("D:\\GAME\\SUB\\", false), "");
  EXPECT_EQ(Leaf("D:\\GAME\\A.TXT", false), "A.TXT");
  EXPECT_EQ(Leaf("A.TXT", true), "A.TXT");
  EXPECT_EQ(Leaf("\\\\server\\", true), "\\\\server\\");
  EXPECT_EQ(Leaf("\\\\server\\", false), "");

  char buffer[kMaxPath];
  GetPathFolder("D:\\GAME\\SUB\\A.TXT", buffer);
  EXPECT_STREQ(buffer, "D:\\GAME\\SUB\\");
  GetPathFolder("A.TXT", buffer);
  EXPECT_STREQ(buffer, "");
  // On disk a half-width kana (ﾄ, C4) is a character of its own and the separator after it ends
  // the folder; 表 (95 5C) ends none.
  EXPECT_EQ(FolderOnDisk("Z:\\\xC3\xBD\xC4\\A.TXT"), "Z:\\\xC3\xBD\xC4\\");
  EXPECT_EQ(FolderOnDisk("Z:\\x\\\x95\\A.TXT"), "Z:\\x\\");
  EXPECT_EQ(FolderOnDisk("A.TXT"), "");

  GetFileExtension("D:\\GAME.V2\\A.TAR.GZ", buffer);
  EXPECT_STREQ(buffer, "GZ");
  GetFileExtension("D:\\GAME.V2\\README", buffer);
  EXPECT_STREQ(buffer, "V2\\README");  // the whole name is searched, folders included
  char name[] = "SCRIPT.DPK";
  CutFileExtension(name, buffer);
  EXPECT_STREQ(name, "SCRIPT");
  EXPECT_STREQ(buffer, "DPK");
  CutFileExtension(name, buffer);
  EXPECT_STREQ(name, "SCRIPT");
  EXPECT_STREQ(buffer, "");
}

class BaseFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { std::memcpy(saved_, g_ModuleFolder, kMaxPath); }
  void TearDown() override { std::memcpy(g_ModuleFolder, saved_, kMaxPath); }
  char saved_[kMaxPath];
};

TEST_F(BaseFolderTest, ProgramFolderAndDataBaseFolder) {
  ASSERT_EQ(InitModuleFolder(), 0u);
  EXPECT_EQ(std::string(g_ModuleFolder).rfind("Z:\\", 0), 0u);
  EXPECT_EQ(std::string(g_ModuleFolder).back(), '\\');

  std::strcpy(g_ModuleFolder, "Z:\\opt\\game\\");
  EXPECT_EQ(SetDataBaseFolder("data"), 0u);
  EXPECT_STREQ(g_ModuleFolder, "Z:\\opt\\game\\data\\");
  EXPECT_EQ(SetBaseFolder("Z:/srv/other/"), 0u);
  EXPECT_STREQ(g_ModuleFolder, "Z:\\srv\\other\\");
  EXPECT_EQ(SetBaseFolder(std::string(300, 'x').c_str()), 1u);
  EXPECT_STREQ(g_ModuleFolder, "Z:\\srv\\other\\");
}

TEST(FindCdromDrive, TakesTheFirstDiscOrTheFirstThatHoldsTheFile) {
  test_support::TempGameFolder folder;
  folder.MakeFolder("fixed");
  folder.MakeFolder("cd1");
  folder.WriteFile("cd2/SETUP.EXE", "");
  folder.WriteFile("mounts", "/dev/sda1 " + folder.HostPath() + "fixed ext4 rw 0 0\n" +
                                 "/dev/sr0 " + folder.HostPath() + "cd1 iso9660 ro 0 0\n" +
                                 "/dev/sr1 " + folder.HostPath() + "cd2 udf ro 0 0\n");
  const std::string table = folder.HostPath() + "mounts";
  char root[kMaxPath] = {};
  EXPECT_EQ(FindCdromDrive(nullptr, root, table), 0u);
  EXPECT_EQ(std::string(root), folder.EnginePath("cd1\\"));
  EXPECT_EQ(FindCdromDrive("setup.exe", root, table), 0u);
  EXPECT_EQ(std::string(root), folder.EnginePath("cd2\\"));
  EXPECT_EQ(FindCdromDrive("MISSING.EXE", nullptr, table), 2u);

  folder.WriteFile("fixed_only", "/dev/sda1 / ext4 rw 0 0\n");
  EXPECT_EQ(FindCdromDrive("SETUP.EXE", root, folder.HostPath() + "fixed_only"), 1u);
  EXPECT_EQ(FindCdromDrive(nullptr, root, folder.HostPath() + "fixed_only"), 1u);
}

}  // namespace
