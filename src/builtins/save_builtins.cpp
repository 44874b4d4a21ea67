#include "builtins/save_builtins.h"

#include <string>

#include "builtins/vov_frame_builtins.h"
#include "gfx/display/surface_object_image.h"
#include "platform/system/diagnostic_log.h"
#include "script/game_host_access.h"

namespace {

constexpr std::uint32_t kLoadRefusedDuringRun = 6;
constexpr std::uint32_t kRestoreRefusedDuringRun = static_cast<std::uint32_t>(-2);
constexpr std::uint32_t kHeaderNoThumbnailImage = 1;

// Loading the game state while a scenario runs would replace the scenario the run is reading;
// the scenario's way to a load is the frame's own quick load.
bool RefusedDuringRun(std::uint32_t id) {
  if (!VovRunUnderWay()) return false;
  plat::LogDiagnostic("built-in function " + std::to_string(id) + " refused: a scenario run is under way");
  return true;
}

// A display object's image: null for 0 or a missing object, `missing` set for the latter.
CImage* ObjectImage(const NativeArgs& args, std::uint32_t i, bool& missing) {
  missing = false;
  if (args.U32(i) == 0) return nullptr;
  CImageInterface* object = args.Handle<CImageInterface>(i);
  CImage* image = object != nullptr ? GetObjectImage(object) : nullptr;
  missing = image == nullptr;
  return image;
}

void SetText(const ScriptOut& out, const std::string& text) {
  out.SetBytes(text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
}

}  // namespace

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

std::uint32_t NativeSetSavePair(const NativeArgs& args) {
  bool missing = false;
  CImage* source = ObjectImage(args, 0, missing);
  const char* picture = args.Str(1);
  WithGameHost([&](IGameHost& host) {
    host.SetThumbnailSource(source, picture);
    return 0u;
  });
  return 1;
}

std::uint32_t NativeReadSaveHeader(const NativeArgs& args) {
  bool missing = false;
  CImage* thumbnail = ObjectImage(args, 2, missing);
  if (missing) return kHeaderNoThumbnailImage;
  const ScriptOut title_out = args.Out(3);
  const ScriptOut caption_out = args.Out(4);
  const bool wrap = args.U8(6) != 0;
  const ScriptOut date_out = args.Out(7);
  return WithGameHost([&](IGameHost& host) {
    std::string title;
    std::string caption;
    std::string date;
    const SaveHeaderOutputs out{thumbnail, title_out.IsNull() ? nullptr : &title,
                                caption_out.IsNull() ? nullptr : &caption, wrap, date_out.IsNull() ? nullptr : &date};
    const std::uint32_t status = host.ReadSaveHeader(args.I32(0), args.I32(1), out);
    if (status != 0) return status;
    if (!title_out.IsNull()) SetText(title_out, title);
    if (!caption_out.IsNull()) SetText(caption_out, caption);
    if (!date_out.IsNull()) SetText(date_out, date);
    return 0u;
  });
}

std::uint32_t NativeLoadGame(const NativeArgs& args) {
  if (RefusedDuringRun(44)) return kLoadRefusedDuringRun;
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
  if (RefusedDuringRun(51)) return kRestoreRefusedDuringRun;
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
