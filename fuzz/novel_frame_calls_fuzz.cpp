// The novel frame run over a scenario whose code blocks call the game's built-in functions with
// hostile words: the input's calls (as builtin_calls_fuzz reads them, on the same world) are
// written by the scenario builder into code blocks, a few calls each, with a line of text and its
// wait after every other block, and the frame is made (791) and runs the scenario (793) on the
// game's script host, with its message window and its ten buttons, a player pressing the decide
// key every few frames, the timers stepping every frame. The blocks may delete what the frame
// holds (its buttons, its page, the widgets and sprites under it) and may call 791 to 794, which
// a run refuses. The functions that reach outside the process are left out. Any crash or
// sanitizer report is a finding, and so is a run that takes longer than a second per call.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/message_keyboard.h"
#include "base/settings/game_settings.h"
#include "base/system/app_hooks.h"
#include "builtins/vov_frame_builtins.h"
#include "driver/builtin_world.h"
#include "game/game_script_host.h"
#include "tob_builder.h"
#include "ui/gui/gui_root_window.h"

namespace {

constexpr std::size_t kCallsPerBlock = 3;
constexpr std::uint32_t kFrameMilliseconds = 20;
// A run ends as the application's end would end it, after this many frames.
constexpr int kFramesPerRun = 60;
constexpr int kFramesPerKey = 3;
constexpr std::uint32_t kDecideKey = 0x1C;
constexpr std::uint32_t kDecideAction = 4;
constexpr std::int16_t kButtonCount = 10;
// The scenario's message end: the text shown and the reader waited for.
constexpr std::uint32_t kMessageEnd = 16;

// The pointer the root window reads: outside the screen.
class NoPointer : public IGuiApplication {
 public:
  plat::Point GetPointerPos() const override { return {-1, -1}; }
  void SetPointerPos(int32_t, int32_t) override {}
  void ShowCursor(bool) override {}
  bool SendImeMessage(uint32_t) override { return false; }
  bool DeliverTextInput(CGuiElement*) override { return false; }
};

// The devices, settings and frame procedure that the frame's waits run on: each frame the world
// steps and the decide key goes down or up.
class FrameDriver {
 public:
  explicit FrameDriver(fuzz_world::BuiltinWorld& world) : world_(world) {
    settings_[kSettingUnreadTextAtOnce] = 1;
    g_UserConfig = &settings_;
    input_.Create(kInputMethodMessages, kInputMethodMessages);
    input_.Activate();
    CInputBindings* bindings = input_.CreateBindings(20);
    bindings->AddBinding(kDecideAction, kSelectKeyboard, kDecideKey);
    g_Keyboard = input_.GetKeyboard();
    g_Mouse = input_.GetMouse();
    g_KeyBindings = bindings;
    g_GuiApplication = &pointer_;
    running_ = this;
    g_FrameProcedureHook = &Frame;
  }
  ~FrameDriver() {
    g_FrameProcedureHook = nullptr;
    running_ = nullptr;
    g_GuiApplication = nullptr;
    g_KeyBindings = nullptr;
    g_Mouse = nullptr;
    g_Keyboard = nullptr;
    g_UserConfig = nullptr;
  }
  FrameDriver(const FrameDriver&) = delete;
  FrameDriver& operator=(const FrameDriver&) = delete;

  void StartRun() { frames_ = 0; }

 private:
  static int Frame() { return running_->Step(); }
  int Step() {
    const auto start = fuzz_world::ThreadProcessorTime();
    world_.Step(kFrameMilliseconds);
    fuzz_world::BuiltinWorld::AbortWhenSlow(0, fuzz_world::ThreadProcessorTime() - start);
    ++frames_;
    auto* keyboard = static_cast<CMessageKeyboard*>(input_.GetKeyboard());
    if (frames_ % kFramesPerKey == 0) keyboard->OnKeyDown(kDecideKey, 0);
    if (frames_ % kFramesPerKey == 1) keyboard->OnKeyUp(kDecideKey);
    input_.Update();
    return frames_ >= kFramesPerRun ? 0 : 1;
  }

  static inline FrameDriver* running_ = nullptr;
  fuzz_world::BuiltinWorld& world_;
  GameSettingsBlock settings_ = DefaultGameSettings();
  CInputManager input_;
  NoPointer pointer_;
  int frames_ = 0;
};

// The message window's pictures and its ten buttons, as a game ships them.
void WriteFramePictures(MemoryDataFiles& files) {
  const std::vector<std::uint8_t> frame = fuzz_world::Picture(1, 800, 134, 0x30);
  const std::vector<std::uint8_t> name = fuzz_world::Picture(1, 160, 39, 0x50);
  for (const char* kind : {"B", "A", "G"}) {
    files.Set(std::string("SYS\\MS_FRM_") + kind + ".ELG", frame);
    files.Set(std::string("SYS\\NM_FRM_") + kind + ".ELG", name);
  }
  kvxtools::DgmFile buttons;
  for (std::int16_t i = 0; i < kButtonCount; ++i) {
    const std::string picture = "BT" + std::to_string(i) + ".ELG";
    files.Set(picture, fuzz_world::Picture(4, 40, 16, 0x90));
    kvxtools::DgmPartRecord part;
    part.picture = picture;
    part.type = i == 5 || i == 6 ? 4 : 1;
    part.x = static_cast<std::int16_t>(300 + i * 44);
    part.y = 580;
    buttons.parts.push_back(part);
  }
  files.Set("SYS\\MS_FRAME.GMP", kvxtools::EncodeDgm(buttons));
}

// A code block that calls each function with its words and returns.
kvxtools::TobCode Block(std::span<const fuzz_world::ReadCall> calls) {
  std::string code;
  std::string data;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::string label = "a" + std::to_string(i);
    code += "  CallNative native(" + std::to_string(calls[i].id) + "), " + label + ", result\n";
    data += label + ": .word ";
    for (std::size_t w = 0; w < fuzz_world::kMostWords; ++w) {
      data += (w != 0 ? ", " : "") + std::to_string(w < calls[i].words.size() ? calls[i].words[w] : 0);
    }
    data += "\n";
  }
  return kvxtools::AssembleTobCode(code + "  Return\n" + data + "result: .word 0\n");
}

// The scenario of the calls: blocks of a few calls, a line of text and the wait for the reader
// after every other block, so that the frames run between the blocks as a game's do.
std::vector<std::uint8_t> Scenario(const std::vector<fuzz_world::ReadCall>& calls) {
  kvxtools::TobBuilder builder;
  builder.Text("a");
  std::size_t blocks = 0;
  for (std::size_t first = 0; first < calls.size(); first += kCallsPerBlock) {
    const std::size_t count = std::min(kCallsPerBlock, calls.size() - first);
    builder.CodeBlock(Block(std::span(calls).subspan(first, count)));
    if (++blocks % 2 == 0) {
      builder.Text("b");
      builder.Command(kMessageEnd);
    }
  }
  builder.Text("c");
  builder.Command(kMessageEnd);
  return builder.Build();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tables = (BuildPixelTables(), true);
  (void)tables;
  CGameScriptHost host;
  fuzz_world::BuiltinWorld world(host.Memory(), host.Handles());
  world.Populate();
  FrameDriver driver(world);
  WriteFramePictures(world.Files());
  std::vector<fuzz_world::ReadCall> calls;
  for (fuzz_world::ReadCall& call : fuzz_world::ReadCalls(std::span<const std::uint8_t>(data, size), world.Pool())) {
    if (!fuzz_world::LeftOut(call.id, true)) calls.push_back(std::move(call));
  }
  const std::vector<std::uint8_t> scenario = Scenario(calls);
  world.Files().Set("SCRIPT\\MAIN.TOB", scenario);
  world.Call(791, {0, 0, 0});
  for (int run = 0; run < 2; ++run) {
    driver.StartRun();
    world.Call(793, {0, world.Text("MAIN")});
  }
  world.Call(792, {});
  DestroyVovFrame();
  return 0;
}
