// The loader and file-list built-ins 143 to 154 by number: names taken at the request (the
// script's block overwritten right after the call), contents copied into script memory, the
// ranges refused, count 0 emptying the loader, and a listing's paths, flags and times.
#include <filesystem>
#include <string>
#include <utility>

#include "base/files/async_file_loader.h"
#include "base/files/file_list.h"
#include "base/files/script_write_rule.h"
#include "builtin_call.h"
#include "support/data_files_fixture.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

class FileLoaderBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    SetScriptWriteFolders(game_.EnginePath(), "");
  }
  void TearDown() override {
    Call(146, {0, 0});
    Call(154, {});
    ClearScriptWriteFolders();
    DataFilesTest::TearDown();
  }
};

TEST_F(FileLoaderBuiltinsTest, NamesAreTakenAtTheRequest) {
  game_.WriteFile("A.TXT", "first file");
  game_.WriteFile("B.TXT", "second");
  game_.WriteFile("C.TXT", "overwritten name");
  ASSERT_EQ(Call(143, {0x10003}), 0u);  // only the low 16 bits count
  EXPECT_EQ(g_AsyncFileLoader.GetCount(), 3u);
  const std::uint32_t a = Text("A.TXT");
  const std::uint32_t b = Text("B.TXT");
  EXPECT_EQ(Call(144, {1, 2, a, b}), 0u);
  memory_.Write(a, "C", 1);
  memory_.Write(b, "C", 1);
  Call(145, {});
  EXPECT_EQ(Call(148, {1}), 10u);
  EXPECT_EQ(TextAt(Call(147, {1})), "first file");
  EXPECT_EQ(TextAt(Call(147, {0x10002})), "second");
  EXPECT_EQ(Call(147, {0}), 0u);
  EXPECT_EQ(Call(147, {9}), 0u);
}

TEST_F(FileLoaderBuiltinsTest, BadRangesAndClosing) {
  EXPECT_EQ(Call(146, {0, 1}), kMinusOne);
  ASSERT_EQ(Call(143, {2}), 0u);
  EXPECT_EQ(Call(144, {1, 2, 0x100, 0x100}), 1u);  // refused before any name is read
  EXPECT_EQ(Call(144, {0, 0}), 1u);
  game_.WriteFile("A.TXT", "a");
  EXPECT_EQ(Call(144, {0, 1, Text("A.TXT")}), 0u);
  Call(145, {});
  EXPECT_EQ(Call(148, {0}), 1u);
  EXPECT_EQ(Call(146, {0, 2}), 0u);
  EXPECT_EQ(Call(148, {0}), 0u);
  EXPECT_EQ(Call(144, {0, 1, Text("A.TXT")}), 0u);
  EXPECT_EQ(Call(146, {5, 0}), 0u);  // count 0 empties the whole loader
  EXPECT_EQ(g_AsyncFileLoader.GetCount(), 0u);
  EXPECT_EQ(Call(148, {0}), 0u);
}

TEST_F(FileLoaderBuiltinsTest, ListingPathsFlagsAndTimes) {
  game_.WriteFile("LIST/SUB/DEEP.TXT", "x");
  game_.WriteFile("LIST/TOP.TXT", "yy");
  EXPECT_EQ(Call(149, {Text("LIST"), Text("*.TXT"), 0, 1}), 2u);
  EXPECT_EQ(TextAt(Call(150, {0})), "SUB\\DEEP.TXT");
  EXPECT_EQ(TextAt(Call(151, {1})), "TOP.TXT");
  EXPECT_EQ(Call(150, {2}), 0u);
  EXPECT_EQ(Call(152, {2}), 0u);
  const std::uint32_t fields = Block(28, 0xAA);
  EXPECT_EQ(Call(153, {1, fields, 0, 0, 0, 0, 0, fields + 24}), 1u);
  EXPECT_GE(WordAt(fields), 2020u);
  EXPECT_EQ(WordAt(fields + 4), 0xAAAAAAAAu);
  EXPECT_LE(WordAt(fields + 24), 6u);
  EXPECT_EQ(Call(153, {2, fields, 0, 0, 0, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(149, {Text("LIST"), 0, 1, 0}), 2u);
  EXPECT_EQ(Call(152, {0}), 0x10u);
  EXPECT_EQ(Call(154, {}), 0u);
  EXPECT_EQ(Call(150, {0}), 0u);
}

TEST_F(FileLoaderBuiltinsTest, FoldersOutsideTheGameAreNotListed) {
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "LINK");
  game_.WriteFile("LIST/TOP.TXT", "yy");
  ASSERT_EQ(Call(149, {Text("LIST"), Text("*.TXT"), 0, 0}), 1u);
  for (const auto& [folder, pattern] : {std::pair(outside.EnginePath(), "*.TXT"), std::pair(std::string("LINK"), "*.TXT"),
                                        std::pair(std::string(".."), "*.*"), std::pair(std::string("LIST"), "..\\..\\*.*")}) {
    EXPECT_EQ(Call(149, {Text(folder), Text(pattern), 0, 0}), 0u) << folder << " " << pattern;
    EXPECT_EQ(Call(150, {0}), 0u) << folder;
  }
  EXPECT_EQ(Call(149, {0, Text("LINK\\*.TXT"), 0, 0}), 0u);
}

}  // namespace
