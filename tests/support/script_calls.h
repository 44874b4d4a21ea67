// Runs built-in functions the way a game does: an assembled script object calls them one after
// another, each with its argument words, and stores each result in a word of its own, which the
// test reads back after the run.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "script/script_host.h"
#include "support/sob_test_files.h"
#include "support/temp_game_folder.h"

namespace test_support {

struct ScriptCall {
  std::uint32_t id;
  // Operands of the argument words: numbers, or labels of `ScriptCalls::data` (their addresses).
  std::string args;
};

struct ScriptCalls {
  std::vector<ScriptCall> calls;
  // Further labelled words and strings the arguments point at (assembler lines).
  std::string data = {};
};

// The source of a script that makes the calls and returns; call i stores its result at result_i.
inline std::string ScriptCallsSource(const ScriptCalls& script) {
  std::string code = ".kind script\n";
  std::string words;
  for (std::size_t i = 0; i < script.calls.size(); ++i) {
    const std::string n = std::to_string(i);
    code += "  CallNative native(" + std::to_string(script.calls[i].id) + "), args_" + n + ", result_" + n + "\n";
    words += "args_" + n + ": .word " + (script.calls[i].args.empty() ? "0" : script.calls[i].args) + "\n";
    words += "result_" + n + ": .word 0xDEADBEEF\n";
  }
  return code + "  Return\n" + words + script.data;
}

// Writes the script as SCRIPT\CALLS.SOB, runs it on `host` and reads back the results, or the
// words at `labels` of the script's data.
class ScriptCallsRun {
 public:
  ScriptCallsRun(TempGameFolder& game, CScriptHost& host, const ScriptCalls& script)
      : host_(host), assembly_(sob_test::Assemble(ScriptCallsSource(script))) {
    game.WriteFile("SCRIPT/CALLS.SOB", sob_test::AsText(assembly_.bytes));
    EXPECT_EQ(host.LoadScript("CALLS", nullptr), 0u);
    run_result_ = host.RunLoop();
  }

  std::uint32_t RunResult() const { return run_result_; }
  std::uint32_t Result(std::size_t call) const { return Word("result_" + std::to_string(call)); }
  std::uint32_t Address(const std::string& label) const { return host_.GetCodeBase() + assembly_.labels.at(label); }
  std::uint32_t Word(const std::string& label) const { return host_.Memory().Word(Address(label)); }

 private:
  CScriptHost& host_;
  kvxtools::SobAssembly assembly_;
  std::uint32_t run_result_ = 0;
};

}  // namespace test_support
