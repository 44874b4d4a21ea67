// Scripts that hand the string, memory and file built-ins addresses outside script memory: the
// run ends as a bad script, nothing outside script memory is touched, and the host runs the next
// script as before.
#include <string>

#include "support/game_host_fixture.h"

namespace {

class BuiltinScriptsTest : public game_test::GameScriptHostTest {
 protected:
  // Runs a MAIN that calls built-in `id` with the argument words of `words` (assembler operands)
  // and stores the result in the test's out word: the run's result.
  std::uint32_t RunCall(std::uint32_t id, const std::string& words) {
    WriteScript("MAIN", ".kind script\n"
                        "  CallNative native(" + std::to_string(id) + "), args, out\n"
                        "  Return\n"
                        "args: .word " + words + "\n"
                        "text: .string \"abc\"\n"
                        "format: .string \"%s\"\n"
                        "buffer: .word 0, 0, 0, 0\n"
                        "out: .word 0\n");
    EXPECT_EQ(host_.LoadScript("MAIN", nullptr), 0u);
    const std::uint32_t result = host_.RunLoop();
    host_.ResetScripts(0);
    return result;
  }
};

TEST_F(BuiltinScriptsTest, BadAddressesEndTheRunAsABadScript) {
  struct Case {
    std::uint32_t id;
    const char* words;
    std::uint32_t result;
  };
  constexpr std::uint32_t kBad = CScriptHost::kRunBadScript;
  for (const Case& c : {Case{59, "0x1000, text", kBad},            // a destination below script memory
                        Case{63, "0xFFFFFFF0", kBad},              // a text at the top
                        Case{78, "buffer, 7, 0x40000000", kBad},   // a fill of 4 GiB
                        Case{80, "buffer, 0x20, 4", kBad},         // a copy from a small address
                        Case{67, "buffer, format, 0x20", kBad},    // "%s" of a small address
                        Case{139, "0, 0x30, 4", CScriptHost::kRunFinished}}) {  // no file: nothing read
    SCOPED_TRACE(c.id);
    EXPECT_EQ(RunCall(c.id, c.words), c.result);
  }
  EXPECT_EQ(RunCall(63, "text"), CScriptHost::kRunFinished);
}

}  // namespace
