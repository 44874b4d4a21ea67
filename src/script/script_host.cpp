#include "script/script_host.h"

#include <cstdio>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "platform/system/diagnostic_log.h"
#include "script/script_transfer.h"
#include "script/transfer_builtins.h"

CScriptHost::CScriptHost() {
  g_ScriptTransfer = kScriptTransferNone;
  g_ScriptCallDepth = 0;
  RegisterNative(NativeScriptCall);
  RegisterNative(NativeScriptJump);
  RegisterNative(NativeScriptEnd);
  RegisterHostVariable("ScriptBootFlg");
  RegisterHostVariable("retAppProc");
}

CScriptHost::~CScriptHost() {
  if (variable_file_name_) SavePersistentFile(nullptr);
}

std::uint32_t CScriptHost::LoadScript(const char* name, CScriptContext* context) {
  char path[kScriptPathSize];
  const char* title = name != nullptr ? name : g_ScriptTransferName;
  if (!StaysInsideFolder(title)) {
    plat::LogDiagnostic("script name refused, it leaves the script folder: " + std::string(title));
    return kScriptUnreadable;
  }
  const int length = std::snprintf(path, sizeof path, "%s%s.SOB", kScriptFolder, title);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
    plat::LogDiagnostic("script name too long for a script path: " + std::string(title));
    return kScriptUnreadable;
  }
  return CScriptVm::LoadScript(path, context);
}

std::uint32_t CScriptHost::LoadVoiceInfo(const char* path) {
  voices_ = VoiceTable{};
  const std::optional<std::vector<std::uint8_t>> file = path != nullptr ? LoadDataFile(path) : std::nullopt;
  if (!file) return 0;
  std::optional<VoiceTable> table = ParseVoiceTable(*file);
  if (!table) {
    plat::LogDiagnostic("voice table damaged, not used: " + std::string(path));
    return 0;
  }
  voices_ = std::move(*table);
  return 0;
}

void CScriptHost::ResetScripts(std::uint32_t boot_value) {
  OnResetScripts();
  SetScriptBootFlg(boot_value);
  Context().ResetStack();
  g_ScriptCallDepth = 0;
  ClearPendingTransfer();
  FreeScriptModules();
}

std::uint32_t CScriptHost::RunLoop() {
  CScriptContext& context = Context();
  for (;;) {
    const std::uint32_t result = context.Interpret();
    if (result == kScriptFaulted) {
      ClearPendingTransfer();
      return kRunBadScript;
    }
    // The application is ending: the run ends where the script was.
    if (result == kScriptStopped) return kRunFinished;
    const bool ended = result == kScriptEnded;
    switch (g_ScriptTransfer) {
      case kScriptTransferNone:
        if (!ended) return kRunSuspended;
        if (g_ScriptCallDepth == 0) return kRunFinished;
        --g_ScriptCallDepth;
        UnloadScript();
        // The callee took its caller's resume point off the stack: nothing sound to go on with.
        if (context.PopIp() != 0) return kRunBadScript;
        break;
      case kScriptTransferJump:
        if (!ended) return kRunBadScript;
        UnloadScript();
        if (LoadScript(nullptr, nullptr) != 0) return kRunJumpLoadFailed;
        break;
      case kScriptTransferCall:
        if (ended) return kRunBadScript;
        if (context.PushIp() != 0) {
          g_ScriptTransfer = kScriptTransferNone;
          return kRunCallLoadFailed;
        }
        if (LoadScript(nullptr, nullptr) != 0) {
          context.PopIp();
          g_ScriptTransfer = kScriptTransferNone;
          return kRunCallLoadFailed;
        }
        ++g_ScriptCallDepth;
        break;
      case kScriptTransferEnd:
        return kRunFinished;
      default:
        break;
    }
    g_ScriptTransfer = kScriptTransferNone;
  }
}
