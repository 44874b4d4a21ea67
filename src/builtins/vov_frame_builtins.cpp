#include "builtins/vov_frame_builtins.h"

#include <memory>
#include <string>

#include "base/system/app_services.h"
#include "gfx/display/image_canvas.h"
#include "novel/frame/vov_frame.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "script/game_host_access.h"
#include "ui/gui/gui_root_window.h"

namespace {

constexpr std::uint32_t kCreateWrongKind = 1;
constexpr std::uint32_t kCreateNoMessageWindow = 2;
constexpr std::uint32_t kCreateNoMemory = 3;
constexpr std::uint32_t kCreateFailed = 0xFFFFFFFF;
constexpr std::uint32_t kRunNoFrame = 1;
constexpr std::uint32_t kRunUnloadable = 2;
constexpr std::uint32_t kRunReentered = 3;
constexpr std::int32_t kRunOnCommand = 4;
constexpr char kScriptFolder[] = "SCRIPT\\";
constexpr char kScriptTable[] = "VOV_INIT.DAT";
constexpr char kTextLogFile[] = "TEXT_LOG.DAT";

std::unique_ptr<CVovFrame> s_frame;
// Set while built-in 793 runs a scenario: the scenario's own code must not free, remake or
// re-enter the frame under its feet.
bool s_run_under_way = false;

class RunUnderWay {
 public:
  RunUnderWay() { s_run_under_way = true; }
  ~RunUnderWay() { s_run_under_way = false; }
  RunUnderWay(const RunUnderWay&) = delete;
  RunUnderWay& operator=(const RunUnderWay&) = delete;
};

void RefuseDuringRun(std::uint32_t id) {
  plat::LogDiagnostic("built-in function " + std::to_string(id) + " refused: a scenario run is under way");
}

void ShowStop(const std::string& sjis_text) {
  if (g_AppServices != nullptr) g_AppServices->ShowStopMessage(sjis_text);
}

bool ReturnToTitlePending() { return g_AppServices != nullptr && g_AppServices->ReturnToTitlePending(); }

// The steps of a creation after the frame exists; the creator's result.
std::uint32_t BuildFrame(CVovFrame& frame, CScriptHost& host, CImagePart* part) {
  if (frame.InitMessageWindow(part, &GuiRootWindow()) != 0) return kCreateNoMessageWindow;
  frame.SetConfigWords(host.GetConfigWords());
  frame.SetScriptFolder(kScriptFolder);
  const std::uint32_t table = frame.LoadInitData(kScriptTable);
  if (table == CVovVM::kInitNoMemory) return kCreateNoMemory;
  if (table == CVovVM::kInitDamaged) plat::LogDiagnostic("the scenario table VOV_INIT.DAT is damaged: not used");
  frame.SetSaveFolder(host.SaveFolder().c_str());
  frame.SetLogFileName(kTextLogFile);
  frame.LoadTextLog(nullptr);
  return 0;
}

}  // namespace

void DestroyVovFrame() { s_frame.reset(); }

bool VovRunUnderWay() { return s_run_under_way; }

std::uint32_t NativeVovCreate(const NativeArgs& args) {
  if (s_run_under_way) {
    RefuseDuringRun(791);
    return kCreateFailed;
  }
  // The page image is read before anything changes: a bad argument address stops the script
  // with the old frame as it was.
  const bool page_given = args.U32(2) != 0;
  CImagePart* part = page_given ? dynamic_cast<CImageCanvasEx*>(args.Handle<CImageInterface>(2)) : nullptr;
  return WithGameHost([&](IGameHost& game) {
    DestroyVovFrame();
    CScriptHost& host = game.Scripts();
    s_frame = std::make_unique<CVovFrame>(host);
    const std::uint32_t status = page_given && part == nullptr ? kCreateWrongKind : BuildFrame(*s_frame, host, part);
    if (status != 0) DestroyVovFrame();
    return status;
  });
}

std::uint32_t NativeVovFree(const NativeArgs& /*args*/) {
  if (s_run_under_way) {
    RefuseDuringRun(792);
    return 0;
  }
  DestroyVovFrame();
  return 0;
}

std::uint32_t NativeVovRun(const NativeArgs& args) {
  if (s_frame == nullptr) {
    ShowStop(plat::Utf8ToSjis("VOVフレームが初期化されていません。"));
    return kRunNoFrame;
  }
  if (s_run_under_way) {
    RefuseDuringRun(793);
    return kRunReentered;
  }
  CVovFrame& frame = *s_frame;
  const std::int32_t mode = args.I32(0);
  if (mode >= 0) {
    const char* name = args.Str(1);
    if (frame.LoadMainScript(name) != 0) {
      ShowStop(plat::Utf8ToSjis("VOVスクリプト「") + (name != nullptr ? name : "") +
               plat::Utf8ToSjis("」のロードに失敗。"));
      return kRunUnloadable;
    }
  }
  std::int32_t result = 0;
  {
    RunUnderWay run;
    result = frame.PreparePage(mode < 0);
    if (result == 0) {
      frame.StartClock();
      result = frame.RunScript();
      frame.StopClock();
    }
  }
  frame.ScriptRuntime().SetRetVovExp(static_cast<std::uint32_t>(result));
  if (result == CVovFrame::kRunStopped) {
    if (ReturnToTitlePending()) {
      frame.RedrawFrontPage();
      frame.ResetPage();
      return 0;
    }
    // A stopped run leaves nothing loaded behind it, so that the next run starts afresh; an
    // ending application keeps the frame as it is.
    if (!frame.ApplicationEnding()) frame.ResetPage();
    return kRunNoFrame;
  }
  if (result == kRunOnCommand) {
    frame.ShowHiddenCursor();
    return 0;
  }
  if (result > 0) frame.RedrawFrontPage();
  frame.ResetPage();
  return 0;
}

std::uint32_t NativeVovSetParam(const NativeArgs& args) {
  WithGameHost([&](IGameHost& game) {
    game.Scripts().SetConfigWord(args.U32(0), args.U32(1));
    return 0u;
  });
  return 0;
}
