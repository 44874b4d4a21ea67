#include "builtins/draw_object_builtins.h"

#include "builtins/plugin_words.h"
#include "builtins/script_task.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "gfx/display/surface_object_image.h"
#include "resource/plugins/dcp_plugin_manager.h"

namespace {

constexpr std::uint32_t kNoObject = 0xFFFFFFFF;

template <class Operation>
std::uint32_t WithDrawObject(const NativeArgs& args, EffectEntry entry, Operation operation) {
  CEffect* effect = TaskArg<CEffect>(args, 0);
  if (effect == nullptr) return kNoObject;
  return CallWithEffectWords(args, 1, effect->GetName(), entry, kNoObject,
                             [&](const PluginArgs& words) { return operation(*effect, words); });
}

}  // namespace

std::uint32_t NativeStartDrawObject(const NativeArgs& args) {
  CImagePart* part = GetObjectImagePart(args.Handle<CImageInterface>(0));
  if (part == nullptr) return 0;
  const char* name = args.Str(1);
  return CallWithEffectWords(args, 2, name, EffectEntry::kSetup, 0, [&](const PluginArgs& words) {
    return TaskHandle(StartEffectByName(name, part, words), args.Handles());
  });
}

std::uint32_t NativeDrawObjectSetParam(const NativeArgs& args) {
  return WithDrawObject(args, EffectEntry::kSetParam,
                        [](CEffect& effect, const PluginArgs& words) { return effect.SetParam(words); });
}

std::uint32_t NativeDrawObjectGetParam(const NativeArgs& args) {
  return WithDrawObject(args, EffectEntry::kGetParam,
                        [](CEffect& effect, const PluginArgs& words) { return effect.GetParam(words); });
}

std::uint32_t NativeCallDcpAssist(const NativeArgs& args) {
  if (g_DcpHost == nullptr) return kNoObject;
  const char* name = args.Str(0);
  const ObjectAssistFunc assist = g_DcpHost->FindAssistFunc(name);
  if (assist == nullptr) return kNoObject;
  return CallWithEffectWords(args, 1, name, EffectEntry::kAssist, kNoObject,
                             [&](const PluginArgs& words) { return assist(&words); });
}
