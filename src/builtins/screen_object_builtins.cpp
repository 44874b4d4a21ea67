#include "builtins/screen_object_builtins.h"

#include "base/settings/game_switches.h"
#include "base/system/app_services.h"
#include "builtins/plugin_words.h"
#include "gfx/display/screen_manager.h"
#include "resource/pictures/image_loader_manager.h"

namespace {

constexpr std::int32_t kEveryPlugin = -1;
constexpr std::int32_t kByMemory = -1;
constexpr std::uint32_t kNoAssist = 0xFFFFFFFE;
constexpr std::uint32_t kBadFolder = 0xFFFFFFFF;
// An image-cache setting of n gives (n - 1) x this many megabytes.
constexpr std::int32_t kSettingStepMegabytes = 4;

template <class Operation>
std::uint32_t WithScreen(std::uint32_t without, Operation operation) {
  return g_ScreenManager == nullptr ? without : static_cast<std::uint32_t>(operation(*g_ScreenManager));
}

template <class Operation>
std::uint32_t WithLoaders(std::uint32_t without, Operation operation) {
  return g_GllHost == nullptr ? without : static_cast<std::uint32_t>(operation(*g_GllHost));
}

// A limit below -1 asks for the user's image-cache setting.
std::int32_t CacheMegabytes(std::int32_t asked) {
  if (asked >= kByMemory || g_AppServices == nullptr) return asked;
  const std::int32_t from_setting = (g_AppServices->SwitchBytes()[kSwitchImageCache] - 1) * kSettingStepMegabytes;
  return from_setting > 0 ? from_setting : asked;
}

}  // namespace

std::uint32_t NativeDestroyObjects(const NativeArgs& /*args*/) {
  return WithScreen(0, [](CScreenManager& screen) {
    screen.DestroyObjects();
    return 0;
  });
}

std::uint32_t NativeSetNewObjectOption(const NativeArgs& args) {
  return WithScreen(0, [&](CScreenManager& screen) { return screen.SetObjectId(args.U32(0)); });
}

std::uint32_t NativeScreenListOperation(const NativeArgs& args) {
  return WithScreen(0, [&](CScreenManager& screen) {
    screen.DeleteObjectsById(args.U32(0), args.U32(1));
    return 0;
  });
}

std::uint32_t NativeSetImageCacheLimit(const NativeArgs& args) {
  return WithLoaders(0, [&](CImageLoaderManager& loaders) {
    loaders.SetCacheLimit(CacheMegabytes(args.I32(0)));
    return 0;
  });
}

std::uint32_t NativeReleaseCachedImage(const NativeArgs& args) {
  return WithLoaders(CImageLoaderManager::kFailed,
                     [&](CImageLoaderManager& loaders) { return loaders.ReleaseCachedImage(args.Str(0)); });
}

std::uint32_t NativeLoadGllPlugin(const NativeArgs& args) {
  return WithLoaders(kPluginBadPath, [&](CImageLoaderManager& loaders) { return loaders.LoadLoaderPlugin(args.Str(0)); });
}

std::uint32_t NativeLoadGllPlugins(const NativeArgs& args) {
  return WithLoaders(kBadFolder, [&](CImageLoaderManager& loaders) { return loaders.LoadLoaderPlugins(args.Str(0)); });
}

std::uint32_t NativeFreeGllPlugin(const NativeArgs& args) {
  return WithLoaders(0, [&](CImageLoaderManager& loaders) {
    if (args.I32(0) == kEveryPlugin) {
      loaders.UnloadLoaders();
    } else {
      loaders.UnloadLoadersOfType(args.U32(0));
    }
    return 0;
  });
}

std::uint32_t NativeCallGllAssist(const NativeArgs& args) {
  return WithLoaders(kNoAssist, [&](CImageLoaderManager& loaders) -> std::uint32_t {
    const PluginAssistFunc2 assist = loaders.GetAssistFunc2(args.U32(0));
    if (assist == nullptr) return kNoAssist;
    return static_cast<std::uint32_t>(CallWithNumberWords(assist, args, 1));
  });
}

std::uint32_t NativeGetScreenByte2(const NativeArgs& /*args*/) {
  return WithScreen(0, [](const CScreenManager& screen) { return screen.GetDisplayState(); });
}

std::uint32_t NativeGetScreenRect(const NativeArgs& args) {
  return WithScreen(0, [&](const CScreenManager& screen) {
    const plat::Rect& rect = screen.GetScreenRect();
    args.Out(0).Set(static_cast<std::uint32_t>(rect.left));
    args.Out(1).Set(static_cast<std::uint32_t>(rect.top));
    args.Out(2).Set(static_cast<std::uint32_t>(rect.right));
    args.Out(3).Set(static_cast<std::uint32_t>(rect.bottom));
    return rect.right > rect.left && rect.bottom > rect.top ? 1 : 0;
  });
}
