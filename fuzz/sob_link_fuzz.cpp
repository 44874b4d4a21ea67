// SOB loading: an input is linked as a script object (or, with the "SOB2" magic, as a library in a
// fresh runtime) against a runtime with user variables, built-in functions and host variables;
// inputs with the "SOB1" magic are read as user-variable objects, all others also as read-text
// tables and voice tables. Whatever links is translated to machine code (or refused) and unloaded
// again.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/system/diagnostic_log.h"
#include "script/read_text_table.h"
#include "script/script_vm.h"
#include "script/sob_object.h"
#include "sob_builder.h"
#include "sound/voice_table.h"

namespace {

std::uint32_t NativeNothing(const NativeArgs&) { return 0; }

CScriptVm& Runtime() {
  static plat::ScopedDiagnosticSink quiet([](std::string_view) {});
  static CScriptVm vm;
  static const bool ready = [] {
    vm.EnableTranslation(true);
    for (int n = 0; n < 4; ++n) vm.RegisterNative(NativeNothing);
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 1, 8);
    variables.AddVariable(1, 2, 16);
    UserVarObject object;
    return ParseUserVarObject(variables.Build(), object) == 0 && vm.Variables().Install(object, true, true);
  }();
  (void)ready;
  return vm;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  if (HasMagic(input, kSobUserVarMagic)) {
    UserVarObject object;
    if (ParseUserVarObject(input, object) == 0) {
      ScriptMemory memory;
      ScriptVariables variables(memory);
      variables.Install(object, true, true);
    }
    return 0;
  }
  const std::span<const std::uint8_t> body = size >= kSobMagicSize ? input.subspan(kSobMagicSize) : input;
  if (HasMagic(input, kSobLibraryMagic)) {
    CScriptVm vm;
    vm.EnableTranslation(true);
    vm.LinkModule(body, 0, true);
    return 0;
  }
  CScriptVm& vm = Runtime();
  if (vm.LinkModule(body, -1, false) == 0) vm.UnloadScript();
  std::vector<ReadTextRecord> table;
  ParseReadTextTable(input, table);
  ParseVoiceTable(input);
  return 0;
}
