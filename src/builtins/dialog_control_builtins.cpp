#include "builtins/dialog_control_builtins.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <memory>

#include "base/input/cursor_motion.h"
#include "base/time/global_timer_tasks.h"
#include "base/time/timer_manager.h"
#include "builtins/cursor_move_task.h"
#include "builtins/script_task.h"
#include "gfx/display/surface_object_image.h"
#include "novel/frame/vov_frame.h"
#include "scene/drawables/drawable.h"
#include "scene/motions/resize_motion.h"
#include "script/game_host_access.h"
#include "sound/bgm_track.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/widgets/image_button.h"

namespace {

constexpr std::uint8_t kGrowOrKeepCentre = 1;
constexpr std::uint8_t kShrinkToEnd = 2;
constexpr std::uint8_t kOpaque = 255;
constexpr std::uint32_t kNoSuchOperation = 1;
constexpr std::uint32_t kNoButton = static_cast<std::uint32_t>(-2);
constexpr std::uint32_t kNoVariable = static_cast<std::uint32_t>(-1);

double Decimal(const char* text) { return text != nullptr ? std::strtod(text, nullptr) : 0.0; }

// 9: what the living frame's machine knows of a scenario's lines.
std::uint32_t LineQuery(const NativeArgs& args) {
  if (g_VovFrame == nullptr) return 0;
  const char* name = args.Str(2);
  switch (args.U32(1)) {
    case 0:
      return g_VovFrame->GetLineCount(name);
    case 1:
      return g_VovFrame->GetReadLineCount(name);
    case 2:
      return g_VovFrame->IsAllRead(name) ? 1 : 0;
    case 3:
      return g_VovFrame->PageFlag(0) || g_VovFrame->PageFlag(1) ? 1 : 0;
    default:
      return 0;
  }
}

std::uint32_t PointAtButton(const NativeArgs& args) {
  auto* button = dynamic_cast<CImageButton*>(args.Handle<CGuiElement>(1));
  if (button == nullptr) return kNoButton;
  CCursorMotion* task = nullptr;
  const auto status = static_cast<std::uint32_t>(g_MessageBox.PointAtButton(button, args.Flag(2), &task));
  const ScriptOut task_word = args.Out(3);
  if (!task_word.IsNull()) task_word.Set(TaskHandle(task, args.Handles()));
  return status;
}

std::uint32_t ShowBox(const NativeArgs& args) {
  CImageInterface* object = args.Handle<CImageInterface>(6);
  CImagePart* layer = object != nullptr ? GetObjectImagePart(object) : nullptr;
  return static_cast<std::uint32_t>(g_MessageBox.Show(args.U32(1), args.Str(2), args.I32(3), args.I32(4), args.I32(5), layer));
}

std::uint32_t StartCursorMove(const NativeArgs& args) {
  CCursorMotion* task = nullptr;
  StartCursorMoveTask(args.I32(1), args.I32(2), args.U32(3), args.Flag(4), args.U8(5), &task);
  return TaskHandle(task, args.Handles());
}

// A task handed to the scripts runs on the frame's timer manager or the pausable one; an ended
// task waits there for the manager's next pass but no longer runs.
bool TaskRunning(const CTimedTask* task) {
  if (task == nullptr || task->IsFinished()) return false;
  return IsTaskRunning(task) || (g_PausableTimerManager != nullptr && g_PausableTimerManager->Contains(task));
}

std::uint32_t StopHeldTask(const NativeArgs& args) {
  const HandleRefResult<ScriptTask> held = args.HandleRef<ScriptTask>(1);
  if (held.object == nullptr) return 0;
  // The manager deletes the task, which revokes its handle.
  CTimedTask* task = &held.object->Task();
  const bool ended = EndFrameTask(task) || (g_PausableTimerManager != nullptr && g_PausableTimerManager->Remove(task));
  return ended ? 1 : 0;
}

std::uint32_t FindVariable(const NativeArgs& args) {
  if (g_GameHost == nullptr) return kNoVariable;
  return static_cast<std::uint32_t>(g_GameHost->Scripts().FindVariable(args.U32(1)));
}

std::uint32_t SetFrameWords(const NativeArgs& args) {
  if (g_VovFrame != nullptr) {
    g_VovFrame->SetConfigWord(1, args.U32(1));
    g_VovFrame->SetConfigWord(2, args.U32(2));
  }
  return 0;
}

using Operation = std::uint32_t (*)(const NativeArgs& args);
constexpr std::array<Operation, 12> kOperations = {
    [](const NativeArgs& a) { return PlayBgmTrack(a.I32(1), a.U32(2), a.Flag(3)); },
    [](const NativeArgs&) { return static_cast<std::uint32_t>(g_CurrentBgm); },
    [](const NativeArgs& a) { return TaskRunning(TaskArg(a, 1)) ? 1u : 0u; },
    StopHeldTask,
    StartCursorMove,
    [](const NativeArgs& a) { return g_MessageBox.OpenWithPicture(a.Str(1)); },
    PointAtButton,
    ShowBox,
    [](const NativeArgs&) {
      if (g_VovFrame != nullptr) g_VovFrame->ShowHiddenCursor();
      return 0u;
    },
    LineQuery,
    FindVariable,
    SetFrameWords,
};

}  // namespace

std::uint32_t NativeStartResizeMotion(const NativeArgs& args) {
  CDrawable* drawable = args.Handle<CDrawable>(0);
  const std::uint8_t mode = args.U8(1);
  if (drawable == nullptr || mode > 1) return 0;
  const double scale = Decimal(args.Str(3));
  const std::int32_t width = drawable->GetWidth();
  const std::int32_t height = drawable->GetHeight();
  const auto target_width = static_cast<std::int32_t>(width * scale);
  const auto target_height = static_cast<std::int32_t>(height * scale);
  const std::uint8_t anchor = mode == 0 && scale < 1.0 ? kShrinkToEnd : kGrowOrKeepCentre;

  ResizeMotionOptions options;
  options.segment_time = args.U32(2) / 2;
  options.ease = args.U32(4) != 0 ? Decimal(args.Str(4)) : 0.0;
  options.horizontal_anchor = anchor;
  options.vertical_anchor = anchor;
  options.opacity = false;
  auto motion = std::make_unique<CResizeMotion>(options);
  const std::array<std::int32_t, 6> points = {width, height, kOpaque, target_width, target_height, kOpaque};
  if (motion->SetPoints(points) != 0 || motion->Start(g_PausableTimerManager, drawable) != 0) return 0;
  return TaskHandle(motion.release(), args.Handles());
}

std::uint32_t NativeGetMessageBox(const NativeArgs& args) {
  if (args.U32(0) != 0) return 0;
  switch (args.U32(1)) {
    case 0:
      return g_MessageBox.ScriptHandle(args.Handles());
    case 1:
      return g_MessageBox.TooltipFont().ScriptHandle(args.Handles());
    default:
      return 0;
  }
}

std::uint32_t NativeDialogControl(const NativeArgs& args) {
  const std::uint32_t operation = args.U32(0);
  if (operation >= kOperations.size()) return kNoSuchOperation;
  return kOperations[operation](args);
}
