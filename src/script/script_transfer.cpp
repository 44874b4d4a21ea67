#include "script/script_transfer.h"

#include <cstring>

std::uint32_t g_ScriptTransfer = kScriptTransferNone;
char g_ScriptTransferName[kScriptTransferNameSize] = {};
std::uint32_t g_ScriptCallDepth = 0;

bool RequestScriptTransfer(std::uint32_t kind, const char* name) {
  g_ScriptTransfer = kind;
  const std::size_t length = name != nullptr ? std::strlen(name) : 0;
  if (length >= kScriptTransferNameSize) {
    g_ScriptTransferName[0] = '\0';
    return false;
  }
  std::memcpy(g_ScriptTransferName, name != nullptr ? name : "", length + 1);
  return true;
}

void ClearPendingTransfer() {
  if (g_ScriptTransfer != kScriptTransferEnd) g_ScriptTransfer = kScriptTransferNone;
}
