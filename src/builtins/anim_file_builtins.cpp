#include "builtins/anim_file_builtins.h"

#include <memory>

#include "base/numbers/little_endian.h"
#include "builtins/listed_resource.h"
#include "builtins/script_task.h"
#include "gfx/display/surface_object_image.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/dag_file.h"
#include "scene/animations/pattern_anim_task.h"
#include "scene/drawables/draw_layer.h"

namespace {

constexpr std::uint32_t kNoFile = 0xFFFFFFFE;
constexpr std::int32_t kDefaults = -1;
constexpr std::uint32_t kNoTask = 0xFFFFFFFF;
constexpr std::uint32_t kNotRegistered = 0xFFFFFFFE;
constexpr std::uint32_t kOtherKind = 0xFFFFFFFD;
constexpr std::uint32_t kNotZero = 0xFFFFFFFC;
constexpr std::uint32_t kHeaderValues = 4;

PatternAnimOptions PartOptions(const NativeArgs& args) {
  PatternAnimOptions options;
  options.pattern = args.I32(2);
  options.repeats = args.I32(3);
  if (args.I32(4) == kDefaults) {
    options.catch_up = true;
    options.finish_when_held = true;
    return options;
  }
  options.priority = args.U32(4);
  options.base_x = args.I32(5);
  options.base_y = args.I32(6);
  options.catch_up = args.Flag(7);
  options.finish_when_held = args.Flag(8);
  options.delay = args.U32(9);
  return options;
}

// The running animated part of args[0], or the status that tells why there is none.
CPatternAnimTask* AnimPart(const NativeArgs& args, std::uint32_t& why_not) {
  CTimedTask* task = TaskArg(args, 0);
  if (task == nullptr) {
    why_not = args.U32(0) == 0 ? kNoTask : kNotRegistered;
    return nullptr;
  }
  if (g_PausableTimerManager == nullptr || !g_PausableTimerManager->Contains(task)) {
    why_not = kNotRegistered;
    return nullptr;
  }
  auto* part = task->GetTypeId() == kTimedTaskPatternAnimation ? dynamic_cast<CPatternAnimTask*>(task) : nullptr;
  if (part == nullptr) why_not = kOtherKind;
  return part;
}

}  // namespace

std::uint32_t NativeLoadAnimFile(const NativeArgs& args) {
  CDagFile* file = nullptr;
  const std::uint32_t status = g_AnimFiles.Load(&file, args.Str(0), args.Flag(1));
  return HandleOfLoaded(args, g_AnimFiles, status, file);
}

std::uint32_t NativeReleaseAnimFile(const NativeArgs& args) {
  return ReleaseListedByWord<CDagFile>(args, g_AnimFiles, {kTimedTaskPatternAnimation});
}

std::uint32_t NativeReleaseAllAnimFiles(const NativeArgs& /*args*/) {
  return ReleaseAllListed(g_AnimFiles, {kTimedTaskPatternAnimation});
}

std::uint32_t NativeReloadAnimFile(const NativeArgs& args) {
  CDagFile* file = ListedResource<CDagFile>(args, 0, g_AnimFiles);
  if (file == nullptr) return kNoFile;
  EndTasksUsing(file, {kTimedTaskPatternAnimation});
  return file->Load(args.Str(1), args.Flag(2));
}

std::uint32_t NativeStartAnimPart(const NativeArgs& args) {
  auto* layer = dynamic_cast<CDrawLayer*>(GetObjectDrawLayer(args.Handle<CImageInterface>(0)));
  CDagFile* file = ListedResource<CDagFile>(args, 1, g_AnimFiles);
  if (layer == nullptr || file == nullptr) return 0;
  auto part = std::make_unique<CPatternAnimTask>();
  if (part->Start(g_PausableTimerManager, layer, file, PartOptions(args)) != 0) return 0;
  // The manager owns the running part.
  return TaskHandle(part.release(), args.Handles());
}

std::uint32_t NativeGetAnimPartValue(const NativeArgs& args) {
  std::uint32_t why_not = 0;
  const CPatternAnimTask* part = AnimPart(args, why_not);
  return part != nullptr ? static_cast<std::uint32_t>(part->GetPattern()) : 0;
}

std::uint32_t NativeSetAnimPartValue(const NativeArgs& args) {
  std::uint32_t why_not = 0;
  CPatternAnimTask* part = AnimPart(args, why_not);
  if (part == nullptr) return why_not;
  if (args.U32(1) != 0) return kNotZero;
  part->ChangePattern(args.I32(2));
  return 0;
}

std::uint32_t NativeLoadAnimDataFile(const NativeArgs& args) {
  CDadFile* file = nullptr;
  const std::uint32_t status = g_AnimDataFiles.Load(&file, args.Str(0));
  return HandleOfLoaded(args, g_AnimDataFiles, status, file);
}

std::uint32_t NativeReleaseAnimDataFile(const NativeArgs& args) {
  return ReleaseListedByWord<CDadFile>(args, g_AnimDataFiles, {kTimedTaskDrawObject});
}

std::uint32_t NativeReleaseAllAnimDataFiles(const NativeArgs& /*args*/) {
  return ReleaseAllListed(g_AnimDataFiles, {kTimedTaskDrawObject});
}

std::uint32_t NativeReloadAnimDataFile(const NativeArgs& args) {
  CDadFile* file = ListedResource<CDadFile>(args, 0, g_AnimDataFiles);
  if (file == nullptr) return kNoFile;
  EndTasksUsing(file, {kTimedTaskDrawObject});
  return file->Load(args.Str(1));
}

std::uint32_t NativeGetAnimDataInfo(const NativeArgs& args) {
  const CDadFile* file = ListedResource<CDadFile>(args, 0, g_AnimDataFiles);
  const std::uint32_t which = args.U32(1);
  if (file == nullptr || which >= kHeaderValues) return 0;
  return LoadLe16(file->GetHeader().data() + which * 2);
}
