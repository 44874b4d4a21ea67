// Embedded code on the frame's context, and the Call and Jump service for it: the frame loads
// the scripts that the code asks for into its own context and unloads them again, as the host's
// run loop does for the main context.
#include "base/system/app_services.h"
#include "novel/frame/vov_frame.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "script/script_transfer.h"

namespace {

void ShowStop(const char* utf8_text) {
  const std::string text = plat::Utf8ToSjis(utf8_text);
  if (g_AppServices != nullptr) {
    g_AppServices->ShowStopMessage(text);
  } else {
    plat::LogDiagnostic(utf8_text);
  }
}

}  // namespace

std::uint32_t CVovFrame::RunCodeBlock(std::uint32_t at) {
  const std::optional<VovDecoder> decoder = Decoder(expressions_);
  const std::optional<VovCode> code = ReadVovCodeBlock(*decoder, at);
  if (!code) return Refuse("a code block that cannot be read or linked");
  const std::uint32_t body = CurrentScript()->BodyAddress();
  const std::uint32_t result = context_.Run(body + code->code);
  // A block that finishes goes on at once, whatever it asked for.
  if (result == kScriptEnded) return body + code->end;
  if (result == kScriptFaulted) ClearPendingTransfer();
  if (result != kScriptYielded) return 0;
  std::uint32_t loaded = 0;
  const std::int32_t served = ServeTransfer(false, true, loaded);
  UnloadServed(loaded);
  return served == kServeDone ? body + code->end : 0;
}

std::int32_t CVovFrame::RunSystemScript(const char* name) {
  if (host_.LoadScript(name, &context_) != 0) return kSystemScriptUnloadable;
  std::uint32_t loaded = 1;
  const std::int32_t served = ServeTransfer(true, false, loaded);
  UnloadServed(loaded);
  return served;
}

void CVovFrame::UnloadServed(std::uint32_t& loaded) {
  for (; loaded > 0; --loaded) host_.UnloadScript();
}

std::int32_t CVovFrame::ServeTransfer(bool allow_jump, bool suspended, std::uint32_t& loaded) {
  std::uint32_t depth = 0;
  for (;;) {
    if (!suspended) {
      const std::uint32_t result = context_.Interpret();
      if (result == kScriptFaulted) {
        ClearPendingTransfer();
        return kServeFaulted;
      }
      if (result == kScriptStopped) return kServeEnded;
      suspended = result == kScriptYielded;
    }
    switch (g_ScriptTransfer) {
      case kScriptTransferCall:
        context_.PushIp();
        if (host_.LoadScript(nullptr, &context_) != 0) {
          ShowStop("Call命令でスクリプトのロードに失敗");
          context_.PopIp();
          ClearPendingTransfer();
          return kServeCallFailed;
        }
        ++depth;
        ++loaded;
        g_ScriptTransfer = kScriptTransferNone;
        suspended = false;
        continue;
      case kScriptTransferJump:
        if (!allow_jump) {
          ShowStop("システムスクリプト中でJump命令は使用できません");
          ClearPendingTransfer();
          return kServeJumpRefused;
        }
        if (loaded > 0) {
          host_.UnloadScript();
          --loaded;
        }
        if (host_.LoadScript(nullptr, &context_) != 0) {
          ShowStop("Jump命令でスクリプトのロードに失敗");
          ClearPendingTransfer();
          return kServeJumpFailed;
        }
        ++loaded;
        g_ScriptTransfer = kScriptTransferNone;
        suspended = false;
        continue;
      case kScriptTransferEnd:
        return kServeEnded;
      default:
        // An unknown request is dropped, as the host's run loop drops it.
        g_ScriptTransfer = kScriptTransferNone;
        break;
    }
    if (suspended) {
      if (!RunFramePass()) return kServeEnded;
      suspended = false;
      continue;
    }
    if (depth == 0) return kServeDone;
    --depth;
    if (loaded > 0) {
      host_.UnloadScript();
      --loaded;
    }
    context_.PopIp();
  }
}
