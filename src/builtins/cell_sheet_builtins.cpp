#include "builtins/cell_sheet_builtins.h"

#include <memory>

#include "builtins/listed_resource.h"
#include "builtins/script_task.h"
#include "gfx/display/surface_object_image.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/lip_sync_task.h"
#include "scene/animations/picture_part.h"
#include "scene/animations/voice_loudness.h"
#include "scene/sprites/sprite.h"
#include "sound/static_sound_buffer.h"

namespace {

constexpr std::uint32_t kNoSheet = 0xFFFFFFFE;
constexpr std::uint32_t kNoTarget = 1;
constexpr std::uint32_t kNoColourKey = 0xFFFFFFFF;

const std::initializer_list<std::int32_t> kSheetTasks = {kTimedTaskPicturePart, kTimedTaskLipSync};

// The load's arguments from args[0] of `load`.
struct SheetLoad {
  const char* name = nullptr;
  CellSheetSetup setup;
  bool keep_depth = false;
  std::uint32_t colour_key = kNoColourKey;
};

SheetLoad SheetLoadFrom(const NativeArgs& load) {
  SheetLoad sheet;
  sheet.name = load.Str(0);
  sheet.setup.cell_count = load.I32(1);
  sheet.setup.frame_time = load.I32(2);
  sheet.setup.sprite = dynamic_cast<CSprite*>(load.Handle<CDrawable>(3));
  sheet.setup.target = GetObjectImage(load.Handle<CImageInterface>(4));
  sheet.setup.x = load.I32(5);
  sheet.setup.y = load.I32(6);
  sheet.setup.option = load.U8(7);
  sheet.setup.background_mode = load.I32(8);
  if (load.U32(9) != kAbsentArgumentGroup) {
    sheet.setup.blend = load.Flag(9);
    sheet.keep_depth = load.Flag(10);
    sheet.colour_key = load.U32(11);
  }
  return sheet;
}

bool HasTarget(const SheetLoad& sheet) { return sheet.setup.sprite != nullptr || sheet.setup.target != nullptr; }

template <class Operation>
std::uint32_t OnSheetAndSprite(const NativeArgs& args, Operation operation) {
  CCellSheet* sheet = ListedResource<CCellSheet>(args, 0, g_CellSheets);
  if (sheet != nullptr) operation(*sheet, dynamic_cast<CSprite*>(args.Handle<CDrawable>(1)));
  return 0;
}

}  // namespace

std::uint32_t NativeLoadCellSheet(const NativeArgs& args) {
  const SheetLoad load = SheetLoadFrom(args);
  if (!HasTarget(load)) return kNoTarget;
  CCellSheet* sheet = nullptr;
  const std::uint32_t status = g_CellSheets.Load(&sheet, load.name, load.setup, load.keep_depth, load.colour_key);
  return HandleOfLoaded(args, g_CellSheets, status, sheet);
}

std::uint32_t NativeCellSheetSetA(const NativeArgs& args) {
  return OnSheetAndSprite(args, [](CCellSheet& sheet, CSprite* sprite) { sheet.AddSprite(sprite); });
}

std::uint32_t NativeCellSheetSetB(const NativeArgs& args) {
  return OnSheetAndSprite(args, [](CCellSheet& sheet, CSprite* sprite) { sheet.RemoveSprite(sprite); });
}

std::uint32_t NativeReleaseCellSheet(const NativeArgs& args) {
  return ReleaseListedByWord<CCellSheet>(args, g_CellSheets, kSheetTasks);
}

std::uint32_t NativeReleaseAllCellSheets(const NativeArgs& /*args*/) { return ReleaseAllListed(g_CellSheets, kSheetTasks); }

std::uint32_t NativeReloadCellSheet(const NativeArgs& args) {
  CCellSheet* sheet = ListedResource<CCellSheet>(args, 0, g_CellSheets);
  if (sheet == nullptr) return kNoSheet;
  const SheetLoad load = SheetLoadFrom(args.From(1));
  if (!HasTarget(load)) return kNoTarget;
  EndTasksUsing(sheet, kSheetTasks);
  return sheet->Load(load.name, load.setup, load.keep_depth, load.colour_key);
}

std::uint32_t NativeStartPicturePart(const NativeArgs& args) {
  CCellSheet* sheet = ListedResource<CCellSheet>(args, 0, g_CellSheets);
  if (sheet == nullptr) return 0;
  PicturePartSettings settings;
  settings.repeats = args.U8(1);
  settings.wait = args.U32(2);
  settings.random_range = args.U32(3);
  settings.wait_first = args.Flag(4);
  auto part = std::make_unique<CPicturePart>();
  if (part->Setup(g_PausableTimerManager, sheet, nullptr, settings) != 0) return 0;
  // The manager owns the running part.
  return TaskHandle(part.release(), args.Handles());
}

std::uint32_t NativeStartPartTask(const NativeArgs& args) {
  CCellSheet* sheet = ListedResource<CCellSheet>(args, 0, g_CellSheets);
  CSoundBuffer* buffer = args.Handle<CSoundBuffer>(1);
  auto* sound = buffer != nullptr && !buffer->IsStream() ? dynamic_cast<CStaticSoundBuffer*>(buffer) : nullptr;
  if (sheet == nullptr || sound == nullptr) return 0;
  auto task = std::make_unique<CLipSyncTask>();
  if (task->Setup(g_PausableTimerManager, sheet, std::make_unique<CWatchedSoundLoudness>(*sound)) != 0) return 0;
  // The manager owns the running task.
  return TaskHandle(task.release(), args.Handles());
}

std::uint32_t NativeGetPartImage(const NativeArgs& args) {
  const auto* part = TaskArg<CPicturePart>(args, 0);
  CImage* image = part != nullptr ? part->GetTargetImage() : nullptr;
  return image != nullptr ? image->ScriptHandle(args.Handles()) : 0;
}
