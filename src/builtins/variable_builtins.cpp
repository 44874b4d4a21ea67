#include "builtins/variable_builtins.h"

#include "novel/frame/vov_frame.h"
#include "script/game_host_access.h"

namespace {

template <class Operation>
std::uint32_t OnScripts(Operation operation) {
  return WithGameHost([&](IGameHost& host) { return operation(host.Scripts()); });
}

// The operations over the variables that a class filter (args[0]) and a kind filter (args[1])
// select; their result is always 0.
template <class Operation>
std::uint32_t OnSelectedVariables(const NativeArgs& args, Operation operation) {
  return OnScripts([&](CScriptHost& host) {
    operation(host, args.U8(0), args.U8(1));
    return 0u;
  });
}

}  // namespace

std::uint32_t NativeRestoreInitialVariables(const NativeArgs& args) {
  return OnSelectedVariables(args, [](CScriptHost& host, auto classes, auto kinds) { host.ResetVariables(classes, kinds); });
}

std::uint32_t NativeClearVariables(const NativeArgs& args) {
  return OnSelectedVariables(args, [](CScriptHost& host, auto classes, auto kinds) { host.ClearVariables(classes, kinds); });
}

std::uint32_t NativeStoreVariables(const NativeArgs& args) {
  return OnSelectedVariables(args,
                             [](CScriptHost& host, auto classes, auto kinds) { host.SaveVariablesToBackup(classes, kinds); });
}

std::uint32_t NativeRecallVariables(const NativeArgs& args) {
  return OnSelectedVariables(
      args, [](CScriptHost& host, auto classes, auto kinds) { host.RestoreVariablesFromBackup(classes, kinds); });
}

std::uint32_t NativeStoreVariable(const NativeArgs& args) {
  return OnScripts([&](CScriptHost& host) { return host.SaveVariableToBackup(args.U32(0)); });
}

std::uint32_t NativeSaveVariableFile(const NativeArgs& args) {
  return OnScripts([&](CScriptHost& host) {
    return host.SaveVariableFile(args.Str(0), 0, args.U32(1), args.U32(2), args.U8(3) != 0);
  });
}

std::uint32_t NativeReadVariableFileInfo(const NativeArgs& args) {
  return OnScripts([&](CScriptHost& host) { return host.ReadVariableFileInfo(args.Str(0), args.U32(1), args.U32(2)); });
}

std::uint32_t NativeLoadVariableFile(const NativeArgs& args) {
  return OnScripts([&](CScriptHost& host) { return host.LoadVariableFile(args.Str(0)); });
}

std::uint32_t NativeSetVariableFileName(const NativeArgs& args) {
  return OnScripts([&](CScriptHost& host) {
    host.SetVariableFileName(args.Str(0));
    return 0u;
  });
}

std::uint32_t SaveReadLogs() {
  // The frame's read-text log goes first, so that it is on disk even when the persistent state
  // cannot be written.
  if (g_VovFrame != nullptr) g_VovFrame->SaveTextLog(nullptr);
  return OnScripts([](CScriptHost& host) { return host.SavePersistentState(); });
}

std::uint32_t NativeSaveReadLogs(const NativeArgs& /*args*/) { return SaveReadLogs(); }

std::uint32_t NativeLoadPersistentFile(const NativeArgs& /*args*/) {
  return OnScripts([](CScriptHost& host) { return host.LoadPersistentFile(nullptr); });
}
