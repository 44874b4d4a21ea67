// The text form of layout files and its command dgm_write: every key reaches the record the
// engine's reader sees, and mistakes name their line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "built_tool.h"
#include "dgm_source.h"
#include "ui/layouts/dgm_layout.h"

namespace {

std::string Error(std::string_view source) {
  kvxtools::DgmFile file;
  std::string error;
  EXPECT_FALSE(kvxtools::ParseDgmSource(source, file, error));
  return error;
}

TEST(DgmSourceTest, TheEnginesReaderSeesEveryValue) {
  kvxtools::DgmFile file;
  std::string error;
  ASSERT_TRUE(kvxtools::ParseDgmSource(R"(; a layout
background BACK.ELG
part FACE.ELG 0 -5 32767          ; a picture part: the short record
part BUTTON.ELG 4 10 20 parameter=0 shown=0 width=65535 height=3 state=255
)",
                                       file, error))
      << error;
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(file);
  DgmLayout layout;
  ASSERT_EQ(ParseDgmLayout(bytes, DgmRecords::kShortPictures, layout), 0u);
  EXPECT_EQ(layout.background, "BACK.ELG");
  ASSERT_EQ(layout.parts.size(), 2u);
  EXPECT_EQ(layout.parts[0].picture, "FACE.ELG");
  EXPECT_EQ(layout.parts[0].x, -5);
  EXPECT_EQ(layout.parts[0].y, 32767);
  EXPECT_EQ(layout.parts[0].parameter, 255);
  EXPECT_EQ(layout.parts[0].shown, 1);
  const DgmPart& button = layout.parts[1];
  EXPECT_EQ(button.type, 4);
  EXPECT_EQ(button.parameter, 0);
  EXPECT_EQ(button.shown, 0);
  EXPECT_EQ(button.size.width, 65535);
  EXPECT_EQ(button.size.height, 3);
  EXPECT_EQ(button.size.state, 255);
}

TEST(DgmSourceTest, MistakesNameTheirLine) {
  EXPECT_EQ(Error("\npart A.ELG 1 2\n"), "line 2: expected part PICTURE TYPE X Y [KEY=N ...]");
  EXPECT_EQ(Error("part A.ELG 256 0 0\n"), "line 1: out of range: 256");
  EXPECT_EQ(Error("part A.ELG 1 0 32768\n"), "line 1: out of range: 32768");
  EXPECT_EQ(Error("part A.ELG 1 0 0 width=-1\n"), "line 1: out of range: -1");
  EXPECT_EQ(Error("part A.ELG 1 0 0 colour=1\n"), "line 1: unknown key: colour");
  EXPECT_EQ(Error("part A.ELG 1 0 0 shown\n"), "line 1: expected KEY=N: shown");
  EXPECT_EQ(Error("picture A.ELG\n"), "line 1: expected background NAME or part PICTURE TYPE X Y");
  EXPECT_EQ(Error("part " + std::string(256, 'A') + " 1 0 0\n"), "line 1: a name longer than 255 bytes: " + std::string(256, 'A'));
  kvxtools::DgmFile longest;
  std::string error;
  EXPECT_TRUE(kvxtools::ParseDgmSource("part " + std::string(255, 'A') + " 1 0 0\n", longest, error)) << error;
}

using DgmWriteTest = BuiltToolTest;

TEST_F(DgmWriteTest, WritesTheLayoutAndReportsMistakes) {
  folder_.WriteFile("buttons.dgm", "part B0.ELG 1 220 580\npart B1.ELG 4 272 580\n");
  std::string output;
  ASSERT_EQ(Run("dgm_write", Path("buttons.dgm") + " " + Path("MS_FRAME.GMP"), output), 0) << output;
  const std::string written = folder_.ReadFile("MS_FRAME.GMP");
  DgmLayout layout;
  ASSERT_EQ(ParseDgmLayout({reinterpret_cast<const std::uint8_t*>(written.data()), written.size()},
                           DgmRecords::kShortPictures, layout),
            0u);
  ASSERT_EQ(layout.parts.size(), 2u);
  EXPECT_EQ(layout.parts[1].type, 4);
  EXPECT_EQ(layout.parts[1].x, 272);

  folder_.WriteFile("bad.dgm", "part B0.ELG 1 220\n");
  EXPECT_EQ(Run("dgm_write", Path("bad.dgm") + " " + Path("BAD.GMP"), output), 1);
  EXPECT_NE(output.find("bad.dgm: line 1: expected part"), std::string::npos) << output;
  EXPECT_FALSE(folder_.Exists("BAD.GMP"));
  EXPECT_EQ(Run("dgm_write", Path("missing.dgm") + " " + Path("X.GMP"), output), 1);
  EXPECT_NE(output.find("cannot read"), std::string::npos) << output;
  EXPECT_EQ(Run("dgm_write", "", output), 2);
}

}  // namespace
