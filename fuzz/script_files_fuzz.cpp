// The readers of the files that the script host keeps in the save folder, on arbitrary bytes:
// the first byte chooses the reader (0 variable file, with its leading blocks read on their own
// too; 1 persistent file; 2 text-log file; 3 state record), the rest is the file. The host has
// variables of every kind and class, a read-text table and a voice table, and reads through a
// data-file layer held in memory, the program's folder standing for the game's folder, where the
// path rule lets scripts name the file.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "base/files/path.h"
#include "base/files/script_write_rule.h"
#include "driver/memory_data_files.h"
#include "game/game_script_host.h"
#include "platform/system/diagnostic_log.h"
#include "sob_builder.h"

namespace {

constexpr const char* kFileName = "FUZZ.DAT";

struct Runtime {
  Runtime() {
    if (InitModuleFolder() != 0) std::abort();
    SetScriptWriteFolders(g_ModuleFolder, "");
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 1, 8, {1, 2, 3});
    variables.AddVariable(1, 1, 12, {'t', 'e', 'x', 't', 0});
    variables.AddVariable(0, 2, 4, {9});
    variables.AddVariable(1, 2, 8);
    variables.AddVariable(2, 1, 4);
    variables.AddVariable(0, 0, 16);
    files.Set("SCRIPT\\USER_VAR.SOB", variables.Build());
    files.Set("SCRIPT\\SOB_INIT.DAT", kvxtools::BuildSobInit({{"MAIN", 40, 8}, {"SUB", 9, 0}, {"MAIN", 3, 70}}));
    files.Set("SCRIPT\\VOICEINF.DAT",
              kvxtools::BuildVoiceInfo({"ogg", {{"A", std::nullopt, false, {"A1"}}, {"B", "BB", false, {}}}}));
    if (host.LoadLibraries("SCRIPT\\SOB_INIT.DAT", "SCRIPT\\USER_VAR.SOB", nullptr, true, true) != 0) std::abort();
    host.LoadVoiceInfo("SCRIPT\\VOICEINF.DAT");
  }

  std::uint32_t Address(std::uint32_t number) const { return host.Variables().Table()[number].address; }

  plat::ScopedDiagnosticSink quiet{[](std::string_view) {}};
  MemoryDataFiles files;
  CGameScriptHost host;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Runtime runtime;
  if (size == 0) return 0;
  const std::span<const std::uint8_t> file(data + 1, size - 1);
  runtime.files.Set(kFileName, file);
  CGameScriptHost& host = runtime.host;
  switch (data[0] % 4) {
    case 0:
      host.LoadVariableFile(kFileName);
      host.ReadVariableFileInfo(kFileName, runtime.Address(0), runtime.Address(1));
      host.ReadVariableFileInfo(kFileName, 0, runtime.Address(3));
      break;
    case 1:
      host.LoadPersistentFile(kFileName);
      break;
    case 2:
      host.LoadTextLog(kFileName);
      break;
    default:
      host.ReadState(file);
      break;
  }
  return 0;
}
