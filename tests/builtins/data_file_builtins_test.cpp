// The data-file built-ins 94 to 117 by number over a game folder and a fake archive format:
// search folders and their count, find records, sizes, mounts and entries with their DOS time,
// and the refusals at the edges (an index at the count, an absent file, no archive).
#include "builtins/data_file_builtins.h"

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "base/files/script_write_rule.h"
#include "builtin_call.h"
#include "platform/files/find_data.h"
#include "resource/archives/file_system.h"
#include "support/data_files_fixture.h"
#include "support/fake_archive.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

class DataFileBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    g_ScriptDataFiles = files_.get();
    SetScriptWriteFolders(game_.EnginePath(), "");
  }
  void TearDown() override {
    ClearScriptWriteFolders();
    g_ScriptDataFiles = nullptr;
    DataFilesTest::TearDown();
  }
};

TEST_F(DataFileBuiltinsTest, SearchFoldersCountLastAndRemoval) {
  game_.MakeFolder("ONE");
  game_.MakeFolder("TWO");
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 0u);
  EXPECT_EQ(Call(98, {kMinusOne}), 0u);
  EXPECT_EQ(Call(96, {Text("ONE"), 1}), 0u);
  EXPECT_EQ(Call(96, {Text("TWO"), 1}), 0u);
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 2u);
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-7)}), 2u);
  const std::string last = TextAt(Call(98, {kMinusOne}));
  EXPECT_EQ(last.substr(last.size() - 4), "two\\");
  EXPECT_EQ(Call(98, {2}), 0u);
  EXPECT_EQ(Call(97, {0, 0}), 0u);
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 1u);
  EXPECT_EQ(Call(99, {}), 0u);
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 0u);
}

TEST_F(DataFileBuiltinsTest, FindRecordAndSize) {
  game_.WriteFile("DATA/FOUND.BIN", "12345");
  const std::uint32_t record = Block(plat::kFindDataSize + 4, 0xEE);
  EXPECT_EQ(Call(100, {Text("DATA\\FOUND.BIN"), record}), 0u);
  plat::FindData found;
  memory_.Read(record, &found, sizeof found);
  EXPECT_EQ(found.size_low, 5u);
  EXPECT_STREQ(found.file_name, "FOUND.BIN");
  EXPECT_EQ(memory_.Byte(record + plat::kFindDataSize), 0xEE);
  EXPECT_NE(Call(100, {Text("DATA\\NONE.BIN"), record}), 0u);

  const std::uint32_t size = Block(4, 0x77);
  EXPECT_EQ(Call(102, {Text("DATA\\FOUND.BIN"), size}), 1u);
  EXPECT_EQ(WordAt(size), 5u);
  memory_.SetWord(size, 0x77777777);
  EXPECT_EQ(Call(102, {Text("DATA\\NONE.BIN"), size}), 0u);
  EXPECT_EQ(WordAt(size), 0x77777777u);
  EXPECT_EQ(Call(102, {Text("DATA\\FOUND.BIN"), 0}), 1u);
}

TEST_F(DataFileBuiltinsTest, BaseFolderTextAndListing) {
  game_.WriteFile("LIST/A.TXT", "a");
  EXPECT_EQ(TextAt(Call(95, {})), game_.EnginePath());
  EXPECT_EQ(Call(115, {Text("LIST\\*.TXT"), 0}), 0u);
  EXPECT_EQ(Call(115, {Text("LIST\\*.BIN"), 0}), 2u);
}

TEST_F(DataFileBuiltinsTest, SearchBaseAndListedFoldersOutsideTheGameAreRefused) {
  const test_support::TempGameFolder outside;
  outside.WriteFile("SECRET.TXT", "secret");
  std::filesystem::create_symlink(outside.HostPath(), game_.HostPath() + "LINK");
  game_.MakeFolder("INSIDE");
  for (const std::string& folder : {outside.EnginePath(), std::string("LINK"), std::string("..")}) {
    EXPECT_EQ(Call(96, {Text(folder), 1}), 1u) << folder;
    EXPECT_EQ(Call(94, {Text(folder)}), 0u) << folder;
    EXPECT_EQ(TextAt(Call(95, {})), game_.EnginePath()) << folder;
    EXPECT_EQ(Call(115, {Text(folder + "\\*.TXT"), 0}), 2u) << folder;
  }
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 0u);
  EXPECT_EQ(Call(96, {Text("INSIDE"), 1}), 0u);
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 1u);
  EXPECT_EQ(Call(94, {Text("INSIDE")}), 0u);
  EXPECT_EQ(TextAt(Call(95, {})), game_.EnginePath("INSIDE\\"));
}

TEST_F(DataFileBuiltinsTest, MountedArchiveEntriesNamesAndInfo) {
  RegisterFakeDecoder();
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 4;
  local.tm_mday = 17;
  local.tm_hour = 13;
  local.tm_min = 45;
  local.tm_sec = 30;
  local.tm_isdst = -1;
  archive_log_->entry_time = static_cast<std::uint32_t>(std::mktime(&local));
  game_.WriteFile("PACK.FAK", test_support::MakeFakeArchive({{"a.txt", "alpha"}, {"b.txt", "bravo!"}}));

  EXPECT_EQ(Call(111, {7}), 0u);
  EXPECT_EQ(Call(113, {7, 0, 0, 0, 0, 0, 0}), 1u);
  EXPECT_EQ(Call(114, {7, 0}), static_cast<std::uint32_t>(-3));
  EXPECT_EQ(Call(107, {Text("NONE.FAK"), 7, 0, 1}), 5u);
  ASSERT_EQ(Call(107, {Text("PACK.FAK"), 7, 0, 1}), 0u);
  EXPECT_EQ(Call(109, {}), 1u);
  EXPECT_EQ(Call(111, {7}), 2u);
  EXPECT_EQ(TextAt(Call(112, {7, 1})), "b.txt");
  EXPECT_EQ(Call(112, {7, 2}), 0u);
  EXPECT_EQ(Call(114, {7, 0}), static_cast<std::uint32_t>(-2));

  const std::uint32_t out = Block(20, 0xEE);
  EXPECT_EQ(Call(113, {7, 1, out, out + 4, out + 8, out + 12, out + 16}), 0u);
  EXPECT_EQ(WordAt(out), 6u);
  EXPECT_EQ(WordAt(out + 4), 6u);
  EXPECT_EQ(WordAt(out + 8), 0x58B16DAFu);
  EXPECT_EQ(memory_.Byte(out + 12), 8);
  EXPECT_EQ(memory_.Byte(out + 13), 0xEE);
  EXPECT_EQ(Call(113, {7, 2, out, 0, 0, 0, 0}), 2u);
  EXPECT_EQ(Call(113, {7, 0, 0, 0, 0, 0, 0}), 0u);

  EXPECT_EQ(Call(105, {kMinusOne}), 0u);  // kept: an archive is mounted
  EXPECT_EQ(Call(108, {static_cast<std::uint32_t>(-2), kMinusOne}), 0u);
  EXPECT_EQ(Call(109, {}), 0u);
  ASSERT_EQ(Call(107, {Text("PACK.FAK"), 8, 0, 1}), 0u);
  EXPECT_EQ(Call(110, {}), 0u);
  EXPECT_EQ(Call(109, {}), 0u);
  EXPECT_EQ(Call(105, {kMinusOne}), 0u);
  EXPECT_EQ(Call(107, {Text("PACK.FAK"), 7, 0, 1}), 1u);
}

// A decoder's assist entry that adds up its first three words and tells how many it was given.
std::int32_t SumAssist(const PluginArgs* args) {
  return (args->I32(0) + args->I32(1) + args->I32(2)) * 100 + static_cast<std::int32_t>(args->count);
}

TEST_F(DataFileBuiltinsTest, AssistCallsReachTheDecoderOfTheType) {
  ASSERT_EQ(files_->RegisterArchiveDecoder(std::make_unique<test_support::FakeArchiveDecoder>(archive_log_), "FAK\0",
                                           "Fake format", 9, nullptr, SumAssist, nullptr),
            0u);
  // The entry sees the words from args[1] on, as many as an assist operation takes.
  EXPECT_EQ(Call(106, {9, 1, 2, 3}), 616u);
  EXPECT_EQ(Call(106, {10, 1}), static_cast<std::uint32_t>(-2));
  game_.MakeFolder("PLUGINS");
  EXPECT_EQ(Call(104, {Text("PLUGINS")}), 0u);
  EXPECT_EQ(Call(117, {Text("PLUGINS")}), 0u);
}

TEST_F(DataFileBuiltinsTest, DosTimeOfNoTimeIsZero) {
  EXPECT_EQ(PackDosDateTime(0), 0u);
}

TEST_F(DataFileBuiltinsTest, WithoutTheLayerEachRowGivesItsNothing) {
  g_ScriptDataFiles = nullptr;
  EXPECT_EQ(Call(98, {static_cast<std::uint32_t>(-2)}), 0u);
  EXPECT_EQ(Call(104, {Text("PLUGINS")}), kMinusOne);
  EXPECT_EQ(Call(106, {9, 1, 2}), static_cast<std::uint32_t>(-2));
  EXPECT_EQ(Call(107, {Text("PACK.FAK"), 7, 0, 1}), 5u);
  EXPECT_EQ(Call(109, {}), 0u);
}

}  // namespace
