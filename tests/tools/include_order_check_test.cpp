// The layer and room orders of src/: the real tree keeps both, and the check finds each break.
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
  root.WriteFile("platform/window/native_window.h", "#pragma once\n");
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

TEST(IncludeOrderCheckTest, ACircleBetweenRoomsOfOneLayerFailsAtItsUpwardStep) {
  test_support::TempGameFolder root;
  root.WriteFile("novel/page/vov_page.h", "#include \"novel/screens/vov_system_menu.h\"\n");
  root.WriteFile("novel/screens/vov_system_menu.h", "#include \"novel/frame/vov_frame.h\"\n");
  root.WriteFile("novel/frame/vov_frame.h",
                 "#include \"novel/page/vov_page.h\"\n"
                 "#include \"novel/screens/vov_system_menu.h\"\n");

  EXPECT_EQ(Described(FindIncludeOrderViolations(root.HostPath())),
            (std::vector<std::string>{
                "novel/page/vov_page.h:1: \"novel/page\" includes \"novel/screens/\", a room above it",
            }));
}

TEST(IncludeOrderCheckTest, AFixtureTreeThatBreaksARoomOrderFails) {
  test_support::TempGameFolder root;
  root.WriteFile("gfx/images/image.h",
                 "#include \"gfx/display/screen_manager.h\"\n"
                 "#include \"gfx/images/dirty_region.h\"\n"
                 "#include \"base/threads/lock.h\"\n");
  root.WriteFile("gfx/display/screen_manager.h", "#include \"gfx/images/image.h\"\n");
  // The one exception belongs to its pair alone: another room under the screens still breaks.
  root.WriteFile("novel/text/text_window.cpp", "#include \"novel/screens/vov_select_screen.h\"\n");
  root.WriteFile("app/framework/frame.cpp", "#include \"app/game/game_app.h\"\n");
  root.WriteFile("effects/table/table.cpp", "#include \"effects/attic/old.h\"\n");
  root.WriteFile("ui/attic/old.h", "\n");
  root.WriteFile("novel/loose.h", "\n");
  root.WriteFile("builtins/family/math.cpp", "\n");
  root.WriteFile("script/vm.cpp", "#include \"base/threads/lock.h\"\n");

  EXPECT_EQ(Described(FindIncludeOrderViolations(root.HostPath())),
            (std::vector<std::string>{
                "app/framework/frame.cpp:1: \"app/framework\" includes \"app/game/\", a room above it",
                "builtins/family/math.cpp:0: the layer \"builtins\" has no rooms",
                "effects/table/table.cpp:1: includes \"effects/attic/\", a room with no place in the room order",
                "gfx/images/image.h:1: \"gfx/images\" includes \"gfx/display/\", a room above it",
                "novel/loose.h:0: the file lies in no room of \"novel\"",
                "novel/text/text_window.cpp:1: \"novel/text\" includes \"novel/screens/\", a room above it",
                "ui/attic/old.h:0: the room \"ui/attic\" has no place in the room order",
            }));
}

}  // namespace
