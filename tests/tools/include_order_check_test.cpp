// The layer order of src/: the real tree has no upward include, and the check does find one.
#include "include_order_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_game_folder.h"

namespace {

using kvxtools::Describe;
using kvxtools::FindIncludeOrderViolations;
using kvxtools::IncludeOrderViolation;

std::vector<std::string> Described(const std::vector<IncludeOrderViolation>& violations) {
  std::vector<std::string> lines;
  for (const IncludeOrderViolation& violation : violations) lines.push_back(Describe(violation));
  return lines;
}

TEST(IncludeOrderCheckTest, TheSourceTreeIncludesOnlyDownward) {
  const std::vector<IncludeOrderViolation> violations = FindIncludeOrderViolations(KESTRUNE_SOURCE_DIR "/src");
  for (const std::string& line : Described(violations)) ADD_FAILURE() << "src/" << line;
  EXPECT_TRUE(violations.empty());
}

TEST(IncludeOrderCheckTest, AFixtureTreeWithAnUpwardIncludeFails) {
  test_support::TempGameFolder root;
  root.WriteFile("platform/window/window.h", "#pragma once\n");
  root.WriteFile("base/files/file.cpp",
                 "#include \"base/files/file.h\"\n"
                 "#include \"platform/window/window.h\"\n"
                 "  #  include \"app/game/game_app.h\"\n"
                 "#include <vector>\n"
                 "#include \"local.h\"\n");
  root.WriteFile("gfx/images/image.h", "#include \"pixel/kernels/copy_kernels.h\"\n#include \"sound/mixer.h\"\n");
  root.WriteFile("main.cpp", "#include \"app/game/game_app.h\"\n");
  root.WriteFile("attic/old.cpp", "\n");
  root.WriteFile("script/host.cpp", "#include \"attic/old.h\"\n");

  EXPECT_EQ(Described(FindIncludeOrderViolations(root.HostPath())),
            (std::vector<std::string>{
                "attic/old.cpp:0: the folder \"attic\" has no place in the layer order",
                "base/files/file.cpp:3: \"base\" includes \"app/\", which lies above it",
                "gfx/images/image.h:2: \"gfx\" includes \"sound/\", which lies above it",
                "script/host.cpp:1: includes \"attic/\", a folder with no place in the layer order",
            }));
}

}  // namespace
