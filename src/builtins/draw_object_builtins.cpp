#include "builtins/draw_object_builtins.h"

#include "builtins/plugin_words.h"
#include "builtins/script_task.h"
#include "effects/create_by_name.h"
#include "effects/effect.h"
#include "gfx/surface_object_image.h"
#include "resource/dcp_plugin_manager.h"

namespace {

constexpr std::uint32_t kNoObject = 0xFFFFFFFF;

template <class Operation>
std::uint32_t WithDrawObject(const NativeArgs& args, Operation operation) {
  CEffect* effect = TaskArg<CEffect>(args, 0);
  if (effect == nullptr) return kNoObject;
  const PluginWords words = ObjectWordsFrom(args, 1);
  return static_cast<std::uint32_t>(operation(*effect, words.View()));
}

}  // namespace

std::uint32_t NativeStartDrawObject(const NativeArgs& args) {
  CImagePart* part = GetObjectImagePart(args.Handle<CImageInterface>(0));
  if (part == nullptr) return 0;
  const PluginWords words = ObjectWordsFrom(args, 2);
  CEffect* effect = StartEffectByName(args.Str(1), part, words.View());
  return TaskHandle(effect, args.Handles());
}

std::uint32_t NativeDrawObjectSetParam(const NativeArgs& args) {
  return WithDrawObject(args, [](CEffect& effect, const PluginArgs& words) { return effect.SetParam(words); });
}

std::uint32_t NativeDrawObjectGetParam(const NativeArgs& args) {
  return WithDrawObject(args, [](CEffect& effect, const PluginArgs& words) { return effect.GetParam(words); });
}

std::uint32_t NativeCallDcpAssist(const NativeArgs& args) {
  if (g_DcpHost == nullptr) return kNoObject;
  const ObjectAssistFunc assist = g_DcpHost->FindAssistFunc(args.Str(0));
  if (assist == nullptr) return kNoObject;
  const PluginWords words = ObjectWordsFrom(args, 1);
  const PluginArgs list = words.View();
  return static_cast<std::uint32_t>(assist(&list));
}
