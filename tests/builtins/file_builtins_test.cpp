// The file-object built-ins 124 to 142 and the disk operations 161 to 165 by number, over a game
// folder on disk: handles and their release, loading, reading lines and bytes, writing and
// formatting into a new file, the zero-handle results, buffers outside script memory, and the
// paths where scripts may not write.
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "base/files/file.h"
#include "base/files/script_write_rule.h"
#include "builtin_call.h"
#include "builtins/file_handle_builtins.h"
#include "platform/files/file_handle.h"
#include "platform/files/file_system_ops.h"
#include "script/script_fault.h"
#include "support/data_files_fixture.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::uint32_t kMaxPathBytes = 260;

// What happens on disk once a loose file is opened and before it is checked; see SwapThenCheck.
std::function<void()> g_after_open;

// The loose-file rule with the disk changed first: a folder that was a link when the file opened
// is a folder again when the file is checked.
bool SwapThenCheck(const char* path) {
  if (g_after_open) std::exchange(g_after_open, nullptr)();
  return MayScriptReadAt(path);
}

class FileBuiltinsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    game_.MakeFolder("SAVE");
    SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
    files_->SetLooseFileRule(MayScriptReadAt);
  }
  void TearDown() override {
    Call(126, {});
    ClearScriptWriteFolders();
    DataFilesTest::TearDown();
  }
  // A folder beside the game folder, where scripts may neither read nor write.
  test_support::TempGameFolder outside_;
  // A link in the game folder to `target` (a host path).
  void Link(const std::string& target, const std::string& link) const {
    std::filesystem::create_symlink(target, game_.HostPath() + link);
  }
  std::uint32_t NewFile() {
    const std::uint32_t handle = Call(124, {});
    EXPECT_NE(handle, 0u);
    return handle;
  }
};

TEST_F(FileBuiltinsTest, ZeroAndStaleHandlesGiveEachRowsResult) {
  const std::uint32_t file = NewFile();
  const std::uint32_t cell = Block(4);
  memory_.SetWord(cell, file);
  ASSERT_EQ(Call(125, {cell}), 0u);
  EXPECT_EQ(WordAt(cell), 0u);
  for (const std::uint32_t handle : {0u, file, 0x12345u}) {
    SCOPED_TRACE(handle);
    EXPECT_EQ(Call(127, {handle, Text("A.TXT")}), kFileNoObject);
    EXPECT_EQ(Call(130, {handle, Text("SAVE\\X.TXT"), 1}), kFileNoObject);
    EXPECT_EQ(Call(137, {handle, 0}), kFileNoObject);
    EXPECT_EQ(Call(136, {handle}), kMinusOne);
    EXPECT_EQ(Call(133, {handle}), 0u);
    EXPECT_EQ(Call(139, {handle, Block(4), 4}), 0u);
    EXPECT_EQ(Call(132, {handle}), 0u);
  }
}

// No cell (1), an empty word (1), a word no file holds (2, left as it was) and a live file (0,
// the word cleared); a cell outside script memory faults.
TEST_F(FileBuiltinsTest, ReleaseClearsTheWordOnlyOnSuccess) {
  EXPECT_EQ(Call(125, {0}), 1u);
  for (const auto& [word, result, left] : {std::tuple{0u, 1u, 0u}, std::tuple{0x4242u, 2u, 0x4242u},
                                           std::tuple{NewFile(), 0u, 0u}}) {
    const std::uint32_t cell = WordHolding(word);
    EXPECT_EQ(Call(125, {cell}), result) << word;
    EXPECT_EQ(WordAt(cell), left) << word;
  }
  EXPECT_THROW(Call(125, {0x20}), ScriptFault);
}

TEST_F(FileBuiltinsTest, LoadedContentsPathLinesAndBytes) {
  game_.WriteFile("DATA/LINES.TXT", "first\r\nsecond\r\n");
  const std::uint32_t file = NewFile();
  ASSERT_EQ(Call(127, {file, Text("DATA\\LINES.TXT")}), 0u);
  EXPECT_EQ(Call(134, {file}), 15u);
  const std::uint32_t data = Call(133, {file});
  ASSERT_NE(data, 0u);
  EXPECT_EQ(TextAt(data), "first\r\nsecond\r\n");
  EXPECT_NE(TextAt(Call(135, {file})).find("LINES.TXT"), std::string::npos);
  const std::uint32_t line = Block(64);
  EXPECT_NE(Call(140, {file, line, 64}), 0u);
  EXPECT_EQ(TextAt(line), "first");
  EXPECT_EQ(Call(136, {file}), 7u);
  EXPECT_EQ(Call(137, {file, 1}), 0u);
  const std::uint32_t bytes = Block(8, 0);
  EXPECT_EQ(Call(139, {file, bytes, 3}), 3u);
  EXPECT_EQ(TextAt(bytes), "irs");
  EXPECT_EQ(Call(138, {file, 3}), 0u);
  EXPECT_EQ(Call(136, {file}), 7u);
  EXPECT_EQ(Call(127, {file, Text("MISSING.TXT")}), 3u);
}

TEST_F(FileBuiltinsTest, BuffersOutsideScriptMemoryFault) {
  game_.WriteFile("A.TXT", "abcdef");
  const std::uint32_t file = NewFile();
  ASSERT_EQ(Call(127, {file, Text("A.TXT")}), 0u);
  EXPECT_THROW(Call(139, {file, 0x100, 4}), ScriptFault);
  EXPECT_THROW(Call(139, {file, Block(4), 0x7FFFFFFF}), ScriptFault);
  EXPECT_THROW(Call(140, {file, static_cast<std::uint32_t>(memory_.UsableEnd() - 8), 0}), ScriptFault);
  EXPECT_THROW(Call(141, {file, 0x100, 4}), ScriptFault);
}

TEST_F(FileBuiltinsTest, WritesAndFormatsIntoANewFileInTheSaveFolder) {
  const std::uint32_t file = NewFile();
  ASSERT_EQ(Call(130, {file, Text("SAVE\\OUT.TXT"), 0}), 0u);
  EXPECT_EQ(Call(141, {file, Text("head|"), 5}), 5u);
  EXPECT_EQ(Call(142, {file, Text("%d-%s|"), 7, Text("x")}), 4u);
  EXPECT_EQ(Call(142, {file, Text("%600d"), 1}), kFilePrintfLimit);
  Call(132, {file});
  const std::string written = game_.ReadFile("SAVE/OUT.TXT");
  EXPECT_EQ(written.substr(0, 9), "head|7-x|");
  EXPECT_EQ(written.size(), 9 + kFilePrintfLimit);
  EXPECT_EQ(Call(131, {file, Text("SAVE\\OUT.TXT")}), 0u);
  EXPECT_EQ(Call(134, {file}), written.size());
}

// Every built-in that writes refuses every place outside the save folder: another drive, above
// it, and through a link out of it (to a folder, to a file not there yet, to one that is). Each
// place is tried by all of them: create (130) and open (131) a file for writing, make a folder
// (162), move (163) and copy (164) a save file there. Nothing outside changes and the save file
// stays; inside the save folder the same calls work.
TEST_F(FileBuiltinsTest, WritesOutsideTheSaveFolderOrThroughALinkOutOfItAreRefused) {
  outside_.WriteFile("OLD.TXT", "old");
  Link(outside_.HostPath(), "SAVE/LINK");
  Link(outside_.HostPath() + "NEW.TXT", "SAVE/DANGLING");
  Link(outside_.HostPath() + "OLD.TXT", "SAVE/OLD_LINK");
  game_.WriteFile("SAVE/MOVE.TXT", "move me");
  const std::uint32_t file = NewFile();
  for (const char* target : {"Z:\\etc\\kestrune-test", "SAVE\\..\\..\\escape.txt", "Z:\\etc\\kestrune-test-folder",
                             "Z:\\tmp\\kestrune-moved.txt", "Z:\\tmp\\kestrune-copied.txt", "SAVE\\LINK\\OUT4.TXT",
                             "SAVE\\DANGLING", "SAVE\\OLD_LINK", "SAVE\\LINK\\NEW", "SAVE\\LINK\\MOVED.TXT",
                             "SAVE\\LINK\\COPY.TXT"}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(Call(130, {file, Text(target), 1}), kFileNoObject);
    EXPECT_EQ(Call(131, {file, Text(target)}), kFileNoObject);
    EXPECT_EQ(Call(162, {Text(target)}), 1u);
    EXPECT_EQ(Call(163, {Text("SAVE\\MOVE.TXT"), Text(target)}), 2u);
    EXPECT_EQ(Call(164, {Text(target), Text("SAVE\\MOVE.TXT"), 1}), 2u);
  }
  EXPECT_EQ(Call(163, {Text("Z:\\etc\\hostname"), Text("SAVE\\HOST.TXT")}), 1u);
  EXPECT_FALSE(game_.Exists("SAVE/HOST.TXT"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside_.HostPath()), {}), 1);
  EXPECT_EQ(outside_.ReadFile("OLD.TXT"), "old");
  EXPECT_TRUE(game_.Exists("SAVE/MOVE.TXT"));

  EXPECT_EQ(Call(162, {Text("SAVE\\NEW")}), 0u);
  EXPECT_TRUE(game_.Exists("SAVE/NEW"));
  EXPECT_EQ(Call(163, {Text("SAVE\\MOVE.TXT"), Text("SAVE\\NEW\\MOVED.TXT")}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/NEW/MOVED.TXT"), "move me");
  EXPECT_EQ(Call(164, {Text("SAVE\\COPY.TXT"), Text("SAVE\\NEW\\MOVED.TXT"), 1}), 0u);
  EXPECT_EQ(Call(164, {Text("SAVE\\COPY.TXT"), Text("SAVE\\NEW\\MOVED.TXT"), 2}), 2u);
  EXPECT_EQ(game_.ReadFile("SAVE/COPY.TXT"), "move me");
}

// A program that came with the game starts (control) and stays as it came: no script opens it for
// writing, copies over it or moves it. One in a folder a script moved does not start, and neither
// does a "#!" text that the system would hand to a shell.
TEST_F(FileBuiltinsTest, ProgramsAreNeverChangedByScriptsAndThoseMovedOrNotOfThisMachineDoNotStart) {
  const std::string marker = std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker";
  for (const char* shipped : {"TOOLS/RUN", "TOOLS/KEPT", "KIT/INSIDE"}) {
    std::filesystem::create_directories(std::filesystem::path(game_.HostPath() + shipped).parent_path());
    std::filesystem::copy_file(marker, game_.HostPath() + shipped);
    std::filesystem::permissions(game_.HostPath() + shipped, std::filesystem::perms::owner_all);
  }
  game_.WriteFile("TOOLS/SHELL.SH", "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran\"\n");
  std::filesystem::permissions(game_.HostPath() + "TOOLS/SHELL.SH", std::filesystem::perms::owner_all);
  EXPECT_EQ(Call(161, {Text("TOOLS\\RUN shipped"), 1}), 0u);
  EXPECT_EQ(game_.ReadFile("TOOLS/ran"), "shipped");
  std::filesystem::remove(game_.HostPath() + "TOOLS/ran");

  const std::uint32_t file = NewFile();
  EXPECT_EQ(Call(131, {file, Text("TOOLS\\KEPT")}), kFileNoObject);
  EXPECT_EQ(Call(164, {Text("TOOLS\\KEPT"), Text("TOOLS\\SHELL.SH"), 1}), 2u);
  EXPECT_EQ(Call(163, {Text("TOOLS\\KEPT"), Text("TOOLS\\MOVED")}), 1u);
  EXPECT_EQ(game_.ReadFile("TOOLS/KEPT"), game_.ReadFile("TOOLS/RUN"));
  ASSERT_EQ(Call(163, {Text("KIT"), Text("KIT2")}), 0u);
  for (const char* line : {"KIT2\\INSIDE", "TOOLS\\SHELL.SH"}) EXPECT_EQ(Call(161, {Text(line), 1}), 1u) << line;
  EXPECT_FALSE(game_.Exists("TOOLS/ran"));
  EXPECT_FALSE(game_.Exists("KIT2/ran"));
}

// What a script wrote never becomes a program, in its run or a later one: a write over a file
// with an execute bit is refused, and what a script makes has none.
TEST_F(FileBuiltinsTest, NoLaterRunStartsAProgramAScriptWrote) {
  std::filesystem::create_directories(game_.HostPath() + "TOOLS");
  std::filesystem::copy_file(std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker", game_.HostPath() + "DATA.BIN");
  game_.WriteFile("TOOLS/PROG", "#!/bin/sh\n");
  std::filesystem::permissions(game_.HostPath() + "TOOLS/PROG", std::filesystem::perms::owner_all);
  const std::uint32_t file = NewFile();
  struct Write {
    const char* what;
    std::uint32_t result;
    std::uint32_t expected;
  };
  for (const Write& write :
       {Write{"copied over the program", Call(164, {Text("TOOLS\\PROG"), Text("DATA.BIN"), 1}), 2u},
        Write{"the program opened for writing", Call(131, {file, Text("TOOLS\\PROG")}), kFileNoObject},
        Write{"a new file", Call(164, {Text("TOOLS\\NEW"), Text("DATA.BIN"), 1}), 0u}}) {
    EXPECT_EQ(write.result, write.expected) << write.what;
  }
  Call(132, {file});
  SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));  // the next run
  for (const char* line : {"TOOLS\\PROG", "TOOLS\\NEW"}) EXPECT_EQ(Call(161, {Text(line), 1}), 1u) << line;
  EXPECT_FALSE(game_.Exists("TOOLS/ran"));
}

// A folder link put in place after a write was let through is not followed by the write.
TEST_F(FileBuiltinsTest, AFolderLinkSwappedInAfterTheCheckIsNotFollowed) {
  game_.MakeFolder("SAVE/SUB");
  game_.WriteFile("SAVE/SOURCE.TXT", "source");
  ASSERT_TRUE(MayScriptWriteAt("SAVE\\SUB\\OUT.TXT"));
  std::filesystem::remove(game_.HostPath() + "SAVE/SUB");
  Link(outside_.HostPath(), "SAVE/SUB");
  CFile file;
  EXPECT_NE(file.Create("SAVE\\SUB\\OUT.TXT", true), 0u);
  EXPECT_FALSE(plat::CopyFile(game_.EnginePath("SAVE\\SOURCE.TXT"), game_.EnginePath("SAVE\\SUB\\COPY.TXT"), true));
  EXPECT_FALSE(plat::CreateFolder(game_.EnginePath("SAVE\\SUB\\NEW")));
  EXPECT_TRUE(std::filesystem::is_empty(outside_.HostPath()));
}

TEST_F(FileBuiltinsTest, ReadsOutsideTheFoldersAreRefusedAndInsideStillWork) {
  outside_.WriteFile("SECRET.TXT", "secret");
  outside_.WriteFile("SECRET2.TXT", "secret2");
  Link(outside_.HostPath(), "LINK");
  game_.WriteFile("DATA/MINE.TXT", "mine");
  const std::string beside = "..\\" + std::filesystem::path(outside_.HostPath()).parent_path().filename().string();
  const std::uint32_t file = NewFile();
  const std::uint32_t size = Block(4, 0x77);
  for (const std::string& name : {beside + "\\SECRET.TXT", outside_.EnginePath("SECRET.TXT"), std::string("LINK\\SECRET2.TXT")}) {
    EXPECT_EQ(Call(127, {file, Text(name)}), 3u) << name;
    EXPECT_NE(Call(129, {file, Text(name)}), 0u) << name;
    EXPECT_EQ(Call(102, {Text(name), size}), 0u) << name;
    EXPECT_EQ(Call(164, {Text("SAVE\\STOLEN.TXT"), Text(name), 1}), 2u) << name;
  }
  EXPECT_FALSE(game_.Exists("SAVE/STOLEN.TXT"));
  EXPECT_EQ(WordAt(size), 0x77777777u);
  EXPECT_EQ(Call(127, {file, Text("DATA\\MINE.TXT")}), 0u);
  EXPECT_EQ(TextAt(Call(133, {file})), "mine");
  EXPECT_EQ(Call(102, {Text(game_.EnginePath("DATA\\MINE.TXT")), size}), 1u);
  EXPECT_EQ(WordAt(size), 4u);
  EXPECT_EQ(Call(164, {Text("SAVE\\MINE.TXT"), Text("DATA\\MINE.TXT"), 1}), 0u);
  EXPECT_EQ(game_.ReadFile("SAVE/MINE.TXT"), "mine");
}

// A folder swapped for a link after a read was let through is not followed by the read, nor is
// one that is a link while the file opens and a folder again when it is checked.
TEST_F(FileBuiltinsTest, AFolderSwappedForALinkAroundAReadsCheckIsNotFollowed) {
  outside_.WriteFile("FILE.TXT", "secret");
  game_.WriteFile("SUB/FILE.TXT", "mine");
  const auto swap_in_link = [this] {
    std::filesystem::remove_all(game_.HostPath() + "SUB");
    Link(outside_.HostPath(), "SUB");
  };
  ASSERT_TRUE(MayScriptReadAt("SUB\\FILE.TXT"));
  swap_in_link();
  EXPECT_FALSE(plat::FileHandle::Open(game_.EnginePath("SUB\\FILE.TXT"), plat::FileOpenMode::kRead).IsOpen());
  EXPECT_FALSE(plat::CopyFile(game_.EnginePath("SUB\\FILE.TXT"), game_.EnginePath("SAVE\\COPY.TXT"), true));
  EXPECT_FALSE(game_.Exists("SAVE/COPY.TXT"));

  g_after_open = [this] {
    std::filesystem::remove(game_.HostPath() + "SUB");
    game_.WriteFile("SUB/FILE.TXT", "mine");
  };
  files_->SetLooseFileRule(SwapThenCheck);
  const std::uint32_t file = NewFile();
  EXPECT_EQ(Call(127, {file, Text("SUB\\FILE.TXT")}), 3u);
}

TEST_F(FileBuiltinsTest, FileTimeWritesTheGivenFields) {
  game_.WriteFile("STAMP.TXT", "x");
  const std::uint32_t fields = Block(28, 0xAA);
  EXPECT_EQ(Call(165, {Text("STAMP.TXT"), fields, 0, fields + 8, 0, 0, 0, 0}), 0u);
  EXPECT_GE(WordAt(fields), 2020u);
  EXPECT_EQ(WordAt(fields + 4), 0xAAAAAAAAu);
  EXPECT_GE(WordAt(fields + 8), 1u);
  EXPECT_NE(Call(165, {Text("NONE.TXT"), fields, 0, 0, 0, 0, 0, 0}), 0u);
}

TEST_F(FileBuiltinsTest, PathTextsAreCutAndCopied) {
  const std::uint32_t out = Block(kMaxPathBytes, 'x');
  const std::uint32_t path = Text("DATA\\SUB\\NAME.TXT");
  struct Case {
    std::uint32_t id;
    const char* expected;
  };
  for (const Case& c : {Case{119, "NAME.TXT"}, Case{120, "DATA\\SUB\\"}, Case{121, "TXT"}}) {
    EXPECT_EQ(Call(c.id, {path, out}), 0u);
    EXPECT_EQ(TextAt(out), c.expected) << c.id;
  }
  EXPECT_EQ(Call(119, {Text("DATA\\SUB\\"), out}), 0u);
  EXPECT_EQ(TextAt(out), "SUB");
  EXPECT_EQ(Call(122, {path, out}), 0u);
  EXPECT_EQ(TextAt(path), "DATA\\SUB\\NAME");
  EXPECT_EQ(TextAt(out), "TXT");
  EXPECT_EQ(Call(118, {path}), 1u);
  EXPECT_EQ(TextAt(path), "DATA\\SUB\\");
  EXPECT_EQ(Call(118, {Text("NAME")}), 0u);
  EXPECT_EQ(Call(123, {Text("SAVE")}), 1u);
  EXPECT_EQ(Call(123, {Text("NOWHERE")}), 0u);
  EXPECT_THROW(Call(120, {path, 0x300}), ScriptFault);
}

}  // namespace
