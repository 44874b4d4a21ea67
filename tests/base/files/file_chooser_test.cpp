// The file and folder choosers' rules, on a real folder, without drawing them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files/file_chooser.h"
#include "platform/encoding/text_encoding.h"
#include "support/temp_game_folder.h"

namespace {

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

}  // namespace
