#include "script/transfer_builtins.h"

#include <string>

#include "platform/system/diagnostic_log.h"
#include "script/script_transfer.h"

namespace {

std::uint32_t Request(std::uint32_t kind, const NativeArgs& args) {
  const char* name = args.Str(0);
  if (!RequestScriptTransfer(kind, name)) {
    plat::LogDiagnostic("script transfer refused: the script name is longer than " +
                        std::to_string(kScriptTransferNameSize - 1) + " bytes");
  }
  return 0;
}

}  // namespace

std::uint32_t NativeScriptCall(const NativeArgs& args) { return Request(kScriptTransferCall, args); }

std::uint32_t NativeScriptJump(const NativeArgs& args) { return Request(kScriptTransferJump, args); }

std::uint32_t NativeScriptEnd(const NativeArgs& /*args*/) {
  g_ScriptTransfer = kScriptTransferEnd;
  return 0;
}
