// The order in which the game's archives are searched, and which of them are mounted at all.
#include "app/game/game_archives.h"

#include <gtest/gtest.h>

#include <string>

#include "support/dpk_fixture.h"

namespace {

class GameArchivesTest : public test_support::DpkTest {
 protected:
  void SetUp() override {
    DpkTest::SetUp();
    ASSERT_EQ(RegisterDpkDecoder(*files_), 0u);
  }

  // An archive holding "WHO.TXT" with its own name as the text.
  void WriteArchive(const std::string& name) {
    kvxtools::DpkWriter writer(Options());
    writer.Add("WHO.TXT", name);
    Write(writer, name);
  }

  std::string Who() {
    int error = 0;
    RefPtr<CReadStream> stream = files_->OpenStream("WHO.TXT", nullptr, &error, true);
    return stream ? ReadRest(*stream) : "error " + std::to_string(error);
  }
};

TEST_F(GameArchivesTest, NumberedPatchesStandInFrontUntilTheFirstGap) {
  for (const char* name : {"PATCH.DPK", "PATCH2.DPK", "PATCH3.DPK", "PATCH5.DPK", "SCRIPT.DPK"}) WriteArchive(name);
  MountGameArchives(*files_);
  EXPECT_EQ(files_->GetMountCount(), 4u);  // PATCH5.DPK stays out: PATCH4.DPK is missing
  EXPECT_EQ(Who(), "PATCH3.DPK");
}

TEST_F(GameArchivesTest, NumberedPatchesNeedTheFirstPatch) {
  WriteArchive("PATCH2.DPK");
  WriteArchive("SCRIPT.DPK");
  MountGameArchives(*files_);
  EXPECT_EQ(files_->GetMountCount(), 1u);
}

TEST_F(GameArchivesTest, TheScriptArchiveIsFoundUnderItsOwnName) {
  kvxtools::DpkWriter writer(Options());
  writer.Add("MAIN.SOB", "main");
  Write(writer, "SCRIPT.DPK");
  WriteArchive("PATCH.DPK");
  MountGameArchives(*files_);
  int error = 0;
  RefPtr<CReadStream> stream = files_->OpenStream("SCRIPT\\MAIN.SOB", nullptr, &error, true);
  ASSERT_TRUE(stream) << error;
  EXPECT_EQ(ReadRest(*stream), "main");
  EXPECT_EQ(Who(), "PATCH.DPK");
}

TEST_F(GameArchivesTest, NoArchivesMountNothingAndSayNothing) {
  MountGameArchives(*files_);
  EXPECT_EQ(files_->GetMountCount(), 0u);
}

}  // namespace
