// The rows of the string, memory, arithmetic, data-file, file and folder built-ins (59 to 165) are
// all built: called with argument words of 0, none of them logs "not built yet", and none of them
// trips on the missing texts and handles.
#include <string>
#include <vector>

#include "builtin_call.h"
#include "resource/archives/file_system.h"
#include "support/data_files_fixture.h"
#include "support/log_capture.h"

namespace {

class BuiltinRowsTest : public test_support::DataFilesTest, public builtin_test::BuiltinCaller {};

TEST_F(BuiltinRowsTest, EveryRowFrom59To165IsBuilt) {
  g_ScriptDataFiles = files_.get();
  LogCapture log;
  for (std::uint32_t id = 59; id <= 165; ++id) {
    SCOPED_TRACE(id);
    Call(id, {0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(GameBuiltins()[id - kFirstGameBuiltin].id, id);
  }
  g_ScriptDataFiles = nullptr;
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

// The font, text-drawing, image-cache, task and draw-object rows and the animation-file,
// layout and cell-sheet rows: built, and safe on zero words without a screen, hosts or timers.
TEST_F(BuiltinRowsTest, TheFontTaskAndAnimationRowsAreBuilt) {
  LogCapture log;
  std::vector<std::uint32_t> ids;
  for (std::uint32_t id = 166; id <= 221; ++id) ids.push_back(id);
  for (std::uint32_t id = 510; id <= 540; ++id) ids.push_back(id);
  for (const std::uint32_t id : ids) {
    SCOPED_TRACE(id);
    Call(id, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  }
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace
