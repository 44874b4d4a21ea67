// The transfer request: how a script asks for another script object to be started. Set by the
// transfer built-ins while script code runs; served by the script host's run loop, or by the
// novel frame for the code blocks it runs on its own context.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kScriptTransferNone = 0;
inline constexpr std::uint32_t kScriptTransferJump = 1;
inline constexpr std::uint32_t kScriptTransferCall = 2;
inline constexpr std::uint32_t kScriptTransferEnd = 3;

inline constexpr std::size_t kScriptTransferNameSize = 260;

extern std::uint32_t g_ScriptTransfer;
// The target's name. Empty after a request whose name did not fit, so that loading it fails.
extern char g_ScriptTransferName[kScriptTransferNameSize];
// The number of Calls whose callee is still running.
extern std::uint32_t g_ScriptCallDepth;

// Sets the request and copies the name (null: empty). False when the name does not fit in the
// buffer: the request is set all the same, with an empty name.
bool RequestScriptTransfer(std::uint32_t kind, const char* name);
// Drops a Call or Jump that no script will be there to serve (after a fault or a reset); an end
// request stays.
void ClearPendingTransfer();
