// The dpk_pack command, run as built: it packs a folder into SCRIPT.DPK and the data-file layer
// mounts the archive and finds its entries.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "resource/archives/dpk_status.h"
#include "support/dpk_fixture.h"

namespace {

class DpkPackTest : public test_support::DpkTest {
 protected:
  // Runs dpk_pack with `arguments`; its exit status, its output in `output`.
  int RunPacker(const std::string& arguments, std::string& output) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
    if (tools == nullptr) return -1;
    const std::string log = game_.HostPath() + "pack.log";
    const std::string command = std::string(tools) + "/dpk_pack " + arguments + " > '" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    output = game_.ReadFile("pack.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Quoted(std::string_view relative) { return "'" + game_.HostPath() + std::string(relative) + "'"; }
};

TEST_F(DpkPackTest, PacksAFolderIntoAnArchiveTheDataFileLayerMounts) {
  const std::string main_sob = std::string(3000, 'm') + "MAIN";
  game_.WriteFile("source/MAIN.SOB", main_sob);
  game_.WriteFile("source/sub/Extra.bin", "extra");
  std::string output;
  ASSERT_EQ(
      RunPacker("--pack --scramble --keys=13572468,9abcdef0 " + Quoted("source") + " " + Quoted("SCRIPT.DPK"), output),
      0)
      << output;
  EXPECT_NE(output.find("MAIN.SOB"), std::string::npos) << output;
  EXPECT_NE(output.find("packed into"), std::string::npos) << output;

  ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  ASSERT_EQ(files_->MountArchive("SCRIPT.DPK", -2, 1, true, nullptr), 0u);
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  ASSERT_EQ(files_->ReadFile("SCRIPT\\MAIN.SOB", target, nullptr), 0u);
  ASSERT_EQ(target.GetSize(), main_sob.size());
  const DataBlock block = target.Detach();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.get()), main_sob.size()), main_sob);
  char path[kMaxPath];
  EXPECT_EQ(files_->LocateFile(path, "SCRIPT\\SUB\\EXTRA.BIN", nullptr), -1);
}

TEST_F(DpkPackTest, ReportsWhatItCannotDo) {
  std::string output;
  EXPECT_NE(RunPacker(Quoted("nothing-here") + " " + Quoted("OUT.DPK"), output), 0);
  EXPECT_NE(output.find("error: "), std::string::npos) << output;
  EXPECT_NE(output.find("is not a folder"), std::string::npos) << output;
  EXPECT_FALSE(game_.Exists("OUT.DPK"));

  game_.WriteFile("source/a.txt", "a");
  game_.WriteFile("source/A.TXT", "A");  // the same name once lower-cased
  EXPECT_NE(RunPacker(Quoted("source") + " " + Quoted("OUT.DPK"), output), 0);
  EXPECT_NE(output.find("given twice"), std::string::npos) << output;

  EXPECT_NE(RunPacker("--keys=xyz " + Quoted("source") + " " + Quoted("OUT.DPK"), output), 0);
  EXPECT_NE(output.find("usage:"), std::string::npos) << output;
}

}  // namespace
