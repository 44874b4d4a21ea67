// The file and folder choosers' rules, on a real folder, without drawing them.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/files/file_chooser.h"
#include "platform/encoding/text_encoding.h"
#include "support/temp_game_folder.h"

namespace {

std::string Sjis(std::string_view utf8) { return plat::Utf8ToSjis(utf8); }

std::vector<std::string> Sjis(std::initializer_list<const char*> utf8) {
  std::vector<std::string> texts;
  for (const char* text : utf8) texts.push_back(Sjis(text));
  return texts;
}

std::vector<std::string> Names(const CFileChooserModel& model) {
  std::vector<std::string> names;
  for (const CFileChooserModel::Entry& entry : model.Entries()) names.push_back(entry.folder ? entry.name + "\\" : entry.name);
  return names;
}

TEST(FileChooserTest, TheFilterIsReadByTabsAndWholeCharacters) {
  // "表" ends in 0x5C, a backslash byte, and "ソ" in 0x5C too; neither hides a tab.
  const std::string filter = plat::Utf8ToSjis("表ソ(*.TXT)\t*.TXT;*.LOG\tすべて\t*.*");
  const std::vector<FileFilter> filters = ParseFileFilter(filter);
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, plat::Utf8ToSjis("表ソ(*.TXT)"));
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.TXT", "*.LOG"}));
  EXPECT_EQ(filters[1].patterns, std::vector<std::string>{"*.*"});
  const std::vector<FileFilter> lone = ParseFileFilter("*.DAT");
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(lone[0].patterns, std::vector<std::string>{"*.DAT"});
}

TEST(FileChooserTest, TheListingFollowsTheFilterAndTheChoiceIsTheFolderAndTheName) {
  test_support::TempGameFolder root;
  root.WriteFile("docs/a.txt", "a");
  root.WriteFile("docs/b.log", "b");
  root.WriteFile("docs/c.dat", "c");
  root.MakeFolder("docs/sub");
  CFileChooserModel model(FileChooserKind::kSave, root.EnginePath("docs"),
                          ParseFileFilter("text\t*.TXT;*.LOG\tall\t*.*"), "report", "txt");
  EXPECT_EQ(Names(model), (std::vector<std::string>{"sub\\", "a.txt", "b.log"}));
  model.SetFilter(1);
  EXPECT_EQ(Names(model), (std::vector<std::string>{"sub\\", "a.txt", "b.log", "c.dat"}));
  EXPECT_EQ(model.Choice(), root.EnginePath("docs\\report.txt"));
  model.Pick(3);
  EXPECT_EQ(model.Choice(), root.EnginePath("docs\\c.dat"));
  for (const char* refused : {"", "..", "x\\y", "x/y"}) {
    model.Name() = refused;
    EXPECT_FALSE(model.Choice().has_value()) << refused;
  }
  model.Open(0);
  EXPECT_EQ(model.Folder(), root.EnginePath("docs\\sub\\"));
  model.Up();
  EXPECT_EQ(model.Folder(), root.EnginePath("docs\\"));

  CFileChooserModel folders(FileChooserKind::kFolder, root.EnginePath("docs"), {}, {}, {});
  EXPECT_EQ(Names(folders), std::vector<std::string>{"sub\\"});
  EXPECT_EQ(folders.Choice(), root.EnginePath("docs"));
  CFileChooserModel nowhere(FileChooserKind::kFolder, "C:\\Windows", {}, {}, {});
  EXPECT_EQ(nowhere.Choice(), "Z:\\");
}

// Paths as the choosers read them: 表 (95 5C) and ソ (83 5C) never end a folder or start a name,
// and the separator after the half-width ﾃｽﾄ (C3 BD C4) does.
TEST(FileChooserTest, PathsAreCutAtWholeCharacters) {
  const std::string folder = Sjis("Z:\\テスト表");
  EXPECT_EQ(FolderWithBackslash(folder), folder + "\\");
  EXPECT_EQ(FolderWithBackslash(folder + "\\"), folder + "\\");
  EXPECT_EQ(FolderWithBackslash(Sjis("Z:\\ﾃｽﾄ\\")), Sjis("Z:\\ﾃｽﾄ\\"));
  struct Case {
    const char* path;
    const char* name;
    std::size_t extension;  // from the end of the path; 0: none
  };
  for (const Case& c : {Case{"Z:\\機能\\ソード.TXT", "ソード.TXT", 3}, Case{"予定表.SAV", "予定表.SAV", 3},
                        Case{"Z:\\ﾃｽﾄ\\ｱ.TXT", "ｱ.TXT", 3}, Case{"Z:\\a.b\\予定表", "予定表", 0},
                        Case{"Z:\\メモ.表", "メモ.表", 2}, Case{"SAVE/ソ", "ソ", 0}}) {
    const std::string path = Sjis(c.path);
    EXPECT_EQ(NameOfPath(path), Sjis(c.name)) << c.path;
    EXPECT_EQ(ExtensionOffsetOf(path), c.extension == 0 ? 0 : path.size() - c.extension) << c.path;
  }
}

// Each folder lists its files, each file is chosen whole, "up" leaves the folder for the one it
// lies in, and the folder chooser answers the folder, which the game gets with its backslash.
TEST(FileChooserTest, FoldersAndFilesNamedInJapaneseAreListedLeftAndChosenWhole) {
  test_support::TempGameFolder root;
  const std::vector<const char*> folders = {"テスト表", "機能", "ﾃｽﾄ"};
  for (const std::string folder : folders) {
    for (const char* file : {"表.TXT", "ソード.TXT", "ｱ.TXT", "ﾃｽﾄ.LOG"}) root.WriteFile("docs/" + folder + "/" + file, "x");
    root.MakeFolder("docs/" + folder + "/sub");
  }
  const std::string docs = root.EnginePath("docs\\");
  for (const char* name : folders) {
    SCOPED_TRACE(name);
    const std::string folder = docs + Sjis(name) + "\\";
    for (const std::string& start : {folder, folder.substr(0, folder.size() - 1)}) {
      CFileChooserModel model(FileChooserKind::kOpen, start, ParseFileFilter("text\t*.TXT"), {}, {});
      EXPECT_EQ(model.Folder(), folder);
      EXPECT_EQ(Names(model), Sjis({"sub\\", "ソード.TXT", "表.TXT", "ｱ.TXT"}));
      for (int entry = 1; entry <= 3; ++entry) {
        model.Pick(entry);
        EXPECT_EQ(model.Choice(), folder + model.Entries()[static_cast<std::size_t>(entry)].name);
      }
      model.Open(0);
      EXPECT_EQ(model.Folder(), folder + "sub\\");
      model.Up();
      EXPECT_EQ(model.Folder(), folder);
      model.Up();
      EXPECT_EQ(model.Folder(), docs);
      CFileChooserModel chooser(FileChooserKind::kFolder, start, {}, {}, {});
      EXPECT_EQ(chooser.Choice(), folder.substr(0, folder.size() - 1));
      EXPECT_EQ(FolderWithBackslash(chooser.Choice().value()), folder);
    }
    // The save chooser proposes the name of the file it is given, and adds the extension to a
    // name without one.
    for (const auto& [proposed, written] : {std::pair{"ソード.SAV", "ソード.SAV"}, std::pair{"予定表.SAV", "予定表.SAV"},
                                            std::pair{"Z:\\x\\ソード.SAV", "ソード.SAV"}, std::pair{"ソード", "ソード.SAV"}}) {
      CFileChooserModel save(FileChooserKind::kSave, folder, {}, std::string(NameOfPath(Sjis(proposed))), "SAV");
      EXPECT_EQ(save.Choice(), folder + Sjis(written)) << proposed;
    }
  }
}

}  // namespace
