#include "builtins/save_builtins.h"

#include <string>

#include "script/game_host_access.h"

std::uint32_t NativeBeginSaveSelection(const NativeArgs& args) {
  if (args.U16(0) == 0) return 0;
  return WithGameHost([&](IGameHost& host) {
    host.BeginSaveSelection(args.U16(0), args.U32(1), args.Str(2));
    return 1u;
  });
}

std::uint32_t NativeAddSaveVariable(const NativeArgs& args) {
  if (args.U32(0) == 0) return 0;
  return WithGameHost([&](IGameHost& host) {
    host.Scripts().MarkVariable(args.U32(0));
    return 1u;
  });
}

std::uint32_t NativeSetDefaultSavePath(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) {
    std::string path;
    host.GetSaveFilePath(path, args.I32(0), args.I32(1));
    if (path.empty()) return 1u;
    SetDefaultSavePath(path.c_str());
    return 0u;
  });
}

void SetDefaultSavePath(const char* path) {
  WithGameHost([&](IGameHost& host) {
    host.SetPendingLoadPath(path != nullptr ? std::string(path) : std::string());
    return 0u;
  });
}

std::uint32_t NativeSaveGame(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) { return host.SaveGame(args.I32(0), args.I32(1)); });
}

std::uint32_t NativeLoadGame(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) { return host.LoadGame(args.I32(0), args.I32(1)); });
}

std::uint32_t NativeFormatSaveTimeStamp(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) {
    const ScriptOut destination = args.Out(2);
    std::string text;
    const std::uint32_t status =
        host.FormatSaveTimeStamp(destination.IsNull() ? nullptr : &text, args.I32(0), args.I32(1), args.U8(3));
    if (status == 0) destination.SetBytes(text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
    return status;
  });
}

std::uint32_t NativeWriteSaveCaption(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) { return host.WriteSaveCaption(args.I32(0), args.I32(1), args.Str(2)); });
}

std::uint32_t NativeCopySaveFile(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) { return host.CopySaveFile(args.I32(0), args.I32(1), args.I32(2), args.I32(3)); });
}

std::uint32_t NativeDeleteSaveFile(const NativeArgs& args) {
  return WithGameHost([&](IGameHost& host) { return host.DeleteSaveFile(args.I32(0), args.I32(1)); });
}

std::uint32_t NativeTakeSnapshot(const NativeArgs& /*args*/) {
  return WithGameHost([](IGameHost& host) { return host.TakeSnapshot(); });
}

std::uint32_t NativeRestoreSnapshot(const NativeArgs& /*args*/) {
  return WithGameHost([](IGameHost& host) { return host.RestoreSnapshot(); });
}

std::uint32_t NativeHasSnapshot(const NativeArgs& /*args*/) {
  return WithGameHost([](IGameHost& host) { return host.HeldSnapshot().empty() ? 0u : 1u; });
}

std::uint32_t NativeDiscardSnapshot(const NativeArgs& /*args*/) {
  return WithGameHost([](IGameHost& host) {
    host.DiscardSnapshot();
    return 0u;
  });
}
