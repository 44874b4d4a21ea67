// Every tool asked for help prints how to call it on standard output and ends with status 0,
// doing nothing else; a command line it cannot take gets the usage on standard error and 2.
#include <gtest/gtest.h>

#include <string>

#include "built_tool.h"

namespace {

using ToolUsageTest = BuiltToolTest;

TEST_F(ToolUsageTest, HelpPrintsTheUsageOnStandardOutputWithStatusZero) {
  for (const char* tool : {"dgm_write", "dpk_pack", "elg_encode", "movie_make", "movie_sync_report", "ogg_make",
                           "picture_draw", "settings_write", "sob_asm", "tob_asm"}) {
    SCOPED_TRACE(tool);
    std::string output;
    std::string errors;
    for (const char* asked : {"--help", "-h"}) {
      EXPECT_EQ(Run(tool, asked, output, errors), 0) << errors;
      EXPECT_EQ(output.rfind(std::string("usage: ") + tool, 0), 0u) << output;
      EXPECT_EQ(output.find("| clip"), std::string::npos) << "the usage alone, no report: " << output;
      EXPECT_TRUE(errors.empty()) << errors;
    }
    // Each takes some arguments, but for the report, which takes none.
    const bool report = std::string(tool) == "movie_sync_report";
    EXPECT_EQ(Run(tool, report ? "x" : "", output, errors), 2) << output;
    EXPECT_EQ(errors.rfind(std::string("usage: ") + tool, 0), 0u) << errors;
  }
}

}  // namespace
