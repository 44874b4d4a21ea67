// The game's run loops over a fake clock: how many script slices a frame runs in each run mode,
// the restart at "MAIN", the script failure messages, the start of the script engine, the
// frame-rate modes the scripts nest, and what a confirmed configuration sheet passes on to them.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/game/game_app.h"
#include "base/input/game_key_bindings.h"
#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/numbers/little_endian.h"
#include "base/system/app_hooks.h"
#include "base/threads/worker_thread.h"
#include "builtins/builtin_table.h"
#include "game/game_script_host.h"
#include "gfx/display/image_canvas.h"
#include "gfx/image_operations/screen_transition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/session_end.h"
#include "platform/system/thread_priority.h"
#include "platform/window/message_queue.h"
#include "platform/window/system_message_box.h"
#include "sob_assembler.h"
#include "sob_builder.h"
#include "sound/sound_channel_manager.h"
#include "support/data_files_fixture.h"
#include "support/fake_clock.h"
#include "support/fake_screen_transition.h"
#include "support/folder_watches.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/probe_task.h"
#include "ui/gui/gui_root_window.h"

namespace {

// Counts its slices in `count` for ever.
constexpr const char* kCountingScript =
    ".kind script\n"
    "loop:\n"
    "  IncMem count\n"
    "  Yield\n"
    "  Jump loop\n"
    "count: .word 0\n";

class TestGame : public CGameApp {
 public:
  explicit TestGame(bool threaded) { SetThreaded(threaded); }
  using CGameApp::ApplyConfirmedPages;
  using CGameApp::TakeUpConfirmedBindings;
  using CGameApp::ShowScriptFailure;
};

class GameRunTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    test_support::WriteGameSettingsFiles(game_);
    // The program's one queue starts empty: a quit request that an earlier test's closed window
    // left in it would end the first pass.
    plat::MessageQueue::Instance().AttachToCurrentThread();
  }

  void WriteScript(const std::string& name, const std::string& source) {
    kvxtools::SobAssembly assembly;
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(source, nullptr, assembly, error)) << error;
    labels_ = assembly.labels;
    WriteScriptFile(name + ".SOB", assembly.bytes);
  }
  void WriteScriptFile(const std::string& file_name, const std::vector<std::uint8_t>& bytes) {
    game_.WriteFile("SCRIPT/" + file_name,
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  // Starts the engine with frame skipping on, at 60 frames per second.
  void Start(TestGame& game) {
    game.GetGameSwitches()[kSwitchFrameSkip] = 1;
    game.ApplyFrameRate(60);
    if (game.IsThreaded()) {
      ASSERT_EQ(game.OnThreadStart(), 0);
    } else {
      game.GetFramePacer().SetSkipEnabled(true);
      ASSERT_EQ(game.InitScriptEngine(), 0);
    }
  }

  // Starts the engine with the frame presented from `canvas` (none: the back surface) and a probe
  // that logs each drawn frame.
  void StartDrawing(TestGame& game, CImageCanvasEx* canvas, ProbeLog& drawn) {
    if (canvas != nullptr) {
      ASSERT_EQ(canvas->Create(64, 48, 32, CImagePart::kNoLayer), 0u);
      game.GetScreenManager().SetFrameImage(canvas);
    }
    Start(game);
    game.GetPausableTimerManager().Add(new ProbeTask(drawn), 0, 0, 0);
  }

  std::uint32_t Count(TestGame& game) {
    CGameScriptHost& host = *game.GetScriptHost();
    return host.Memory().Word(host.GetCodeBase() + labels_.at("count"));
  }

  // The slices of one pass after the clock moved on by `milliseconds`.
  std::uint32_t SlicesOfOnePass(TestGame& game, uint32_t milliseconds) {
    const std::uint32_t before = Count(game);
    clock_.Advance(milliseconds);
    if (game.IsThreaded()) {
      EXPECT_EQ(game.OnThreadStep(), 0);
    } else {
      int result = 0;
      EXPECT_TRUE(game.RunScriptPass(result));
    }
    return Count(game) - before;
  }

  std::map<std::string, std::uint32_t> labels_;
  ScopedFakeClock clock_;
  LogCapture log_;
  std::vector<std::string> boxes_;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    boxes_.push_back(plat::SjisToUtf8(request.text));
    return plat::IDOK;
  }};
};

// Three frame intervals (50 ms at 60 per second) leave two frames to skip; eight leave seven.
constexpr uint32_t kTwoFramesLate = 50;
constexpr uint32_t kSevenFramesLate = 134;

TEST_F(GameRunTest, FramesToSkipGiveTheirSlicesOnTheMainThread) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  Start(game);
  EXPECT_EQ(SlicesOfOnePass(game, kTwoFramesLate), 2u);
  EXPECT_EQ(SlicesOfOnePass(game, kSevenFramesLate), 1u);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameRunTest, WithTheTranslationSwitchOnTheScriptsRunTranslated) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  game.GetGameSwitches()[kSwitchTranslateScripts] = 1;
  Start(game);
  CGameScriptHost& host = *game.GetScriptHost();
  EXPECT_TRUE(host.Context().UsesTranslation());
  EXPECT_NE(host.Translations().Find(host.GetCodeBase()), nullptr);
  EXPECT_EQ(SlicesOfOnePass(game, kTwoFramesLate), 2u);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  for (const std::string& line : log_.Lines()) EXPECT_EQ(line.find("translation"), std::string::npos) << line;
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameRunTest, FramesToSkipGiveOneMoreSliceOnTheGameThread) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(true);
  Start(game);
  EXPECT_EQ(SlicesOfOnePass(game, kTwoFramesLate), 3u);
  EXPECT_EQ(SlicesOfOnePass(game, kSevenFramesLate), 1u);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
}

TEST_F(GameRunTest, AFrameThatIsNotDueRunsNoSliceOnTheGameThread) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(true);
  Start(game);
  EXPECT_EQ(SlicesOfOnePass(game, 1), 0u);
}

// A frame that is not due sleeps once, to its due time, instead of spinning towards it.
TEST_F(GameRunTest, AFrameThatIsNotDueSleepsUntilItIsDue) {
  WriteScript("MAIN", kCountingScript);
  for (const bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "game thread" : "main thread");
    TestGame game(threaded);
    Start(game);
    const int64_t due = game.GetFramePacer().GetDueCounterReading();
    const uint32_t sleeps = clock_.SleepCount();
    const uint32_t slices = SlicesOfOnePass(game, 1);
    EXPECT_EQ(clock_.SleepCount(), sleeps + 1);
    EXPECT_GE(clock_.CounterReading(), due);
    EXPECT_EQ(slices, threaded ? 0u : 1u);  // the game thread's pass ends after its sleep
  }
}

// While heavy work holds the priority lowered, a pass that is not due draws at once and then
// sleeps the shortest time: the loop reaches its due frame instead of spinning where it stands.
TEST_F(GameRunTest, APassThatIsNotDueWhileThePriorityIsLoweredDrawsAndSleepsAMillisecond) {
  WriteScript("MAIN", kCountingScript);
  plat::ScopedThreadPrioritySetter unchanged([](void*, uint32_t, plat::ThreadPriority) { return true; }, nullptr);
  for (const bool canvas : {false, true}) {
    for (const bool threaded : {false, true}) {
      SCOPED_TRACE(std::string(canvas ? "canvas" : "back surface") + (threaded ? ", game thread" : ", main thread"));
      CImageCanvasEx frame;
      TestGame game(threaded);
      ProbeLog drawn;
      StartDrawing(game, canvas ? &frame : nullptr, drawn);
      game.LowerGameThreadPriority();
      const uint32_t start = clock_.PreciseMilliseconds();
      const uint32_t sleeps = clock_.SleepCount();
      const uint32_t slices = SlicesOfOnePass(game, 1);
      if (threaded) {
        // The game thread's pass ends after its one drawn pass; its sleep is a stop-request
        // wait, which the fake clock does not see.
        EXPECT_EQ(slices, 0u);
        EXPECT_EQ(drawn.updates.size(), 1u);
      } else {
        // Sixteen drawn passes a millisecond apart, then the due frame 17 ms after the last.
        EXPECT_EQ(slices, 1u);
        EXPECT_EQ(drawn.updates.size(), 17u);
        EXPECT_EQ(clock_.SleepCount(), sleeps + 16);
        EXPECT_EQ(clock_.PreciseMilliseconds(), start + 17);
      }
      game.RestoreGameThreadPriority();
    }
  }
}

// On the main thread a frame that is not due sleeps before it reads the window's events, once:
// what comes during the sleep is read before the frame is drawn. A due frame reads them at once.
TEST_F(GameRunTest, TheMainThreadReadsTheEventsOnceAFrameAfterItsSleep) {
  WriteScript("MAIN", kCountingScript);
  for (const bool canvas : {false, true}) {
    SCOPED_TRACE(canvas ? "canvas" : "back surface");
    CImageCanvasEx frame;
    TestGame game(false);
    ProbeLog drawn;
    StartDrawing(game, canvas ? &frame : nullptr, drawn);
    for (const uint32_t late : {1u, 17u}) {
      SCOPED_TRACE(late);
      const uint32_t sleeps = clock_.SleepCount();
      const size_t drawn_before = drawn.updates.size();
      std::optional<uint32_t> sleeps_when_read;
      std::optional<size_t> drawn_when_read;
      plat::MessageQueue::Instance().PostTask([&] {
        sleeps_when_read = clock_.SleepCount();
        drawn_when_read = drawn.updates.size();
      });
      EXPECT_EQ(SlicesOfOnePass(game, late), 1u);
      const uint32_t expected_sleeps = late < 17 ? 1 : 0;
      EXPECT_EQ(clock_.SleepCount(), sleeps + expected_sleeps);
      EXPECT_EQ(sleeps_when_read, sleeps + expected_sleeps);
      EXPECT_EQ(drawn_when_read, drawn_before);
      EXPECT_EQ(drawn.updates.size(), drawn_before + 1);
    }
  }
}

TEST_F(GameRunTest, TheSecondTimerManagerRunsOnlyWhenAFrameIsDrawn) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  Start(game);
  ProbeLog every_pass;
  ProbeLog drawn_frames;
  game.GetTimerManager().Add(new ProbeTask(every_pass), 0, 0, 0);
  game.GetPausableTimerManager().Add(new ProbeTask(drawn_frames), 0, 0, 0);
  game.SetMoviePlaying(1);  // a playing movie: paced, but nothing is drawn
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  EXPECT_FALSE(every_pass.updates.empty());
  EXPECT_TRUE(drawn_frames.updates.empty());
  game.SetMoviePlaying(0);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  EXPECT_EQ(drawn_frames.updates.size(), 1u);
}

TEST_F(GameRunTest, TheRestartByteRestartsMainWithTheBootValue) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  Start(game);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  game.GetScriptHost()->SetBootValue(4);
  game.BeginNoWait();
  game.BeginNoWait();
  game.SuspendHighResTimer();
  game.SetRestart(1);  // back to the title: the boot value negated
  int result = 0;
  ASSERT_TRUE(game.RunScriptPass(result));
  EXPECT_EQ(game.GetRestart(), 0);
  EXPECT_EQ(game.GetScriptHost()->ScriptBootFlg(), static_cast<std::uint32_t>(-4));
  EXPECT_EQ(Count(game), 0u);  // a fresh MAIN
  EXPECT_EQ(game.GetNoWaitNesting(), 0);
  EXPECT_EQ(game.GetHighResSuspension(), 0);
  EXPECT_EQ(game.GetGameSwitches()[kSwitchFrameWaitMode], kFrameWaitTimer);
  EXPECT_EQ(game.GetGameSwitches()[kSwitchHighResCounter], 1);

  game.SetRestart(2);  // the boot value kept
  ASSERT_TRUE(game.RunScriptPass(result));
  EXPECT_EQ(game.GetScriptHost()->ScriptBootFlg(), 4u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameRunTest, ARestartThatCannotLoadMainEndsTheRunWithItsMessage) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  Start(game);
  game_.WriteFile("SCRIPT/MAIN.SOB", "not a script");
  game.SetRestart(1);
  int result = 0;
  EXPECT_FALSE(game.RunScriptPass(result));
  EXPECT_EQ(result, CGameApp::kRunRestartFailed);
  EXPECT_EQ(boxes_, std::vector<std::string>{"スクリプト割り込みに失敗しました"});
}

TEST_F(GameRunTest, OnTheGameThreadHighRestartBytesAreClearedWithoutARestart) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(true);
  Start(game);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
  game.SetRestart(3);
  EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);  // the slice runs, no restart follows
  EXPECT_EQ(game.GetRestart(), 0);
  EXPECT_EQ(Count(game), 2u);
  game.SetRestart(1);
  clock_.Advance(17);
  EXPECT_EQ(game.OnThreadStep(), 0);
  EXPECT_EQ(game.GetRestart(), 0);
  EXPECT_EQ(Count(game), 0u);  // restarted after the slice: a fresh MAIN
  EXPECT_EQ(game.GetScriptHost()->ScriptBootFlg(), static_cast<std::uint32_t>(-1));
}

struct FailureCase {
  std::string source;
  int single_result;
  int threaded_result;
  std::string message;
};

std::string TransferTo(int native, const char* then) {
  return std::string(".kind script\n  CallNative native(") + std::to_string(native) + "), name, result\n  " + then +
         "\n  Return\nname: .word text\ntext: .string \"NOPE\"\nresult: .word 0\n";
}

TEST_F(GameRunTest, ScriptFailuresShowTheirMessageAndEndTheRun) {
  const std::vector<FailureCase> cases = {
      {".kind script\n  Jump 0\n", 2, 3, "不正なスクリプトを実行しました"},
      {TransferTo(1, "Return"), 3, 4, "Jump命令でスクリプトのロードに失敗"},
      {TransferTo(0, "Yield"), 4, 5, "Call命令でスクリプトのロードに失敗"},
  };
  for (const FailureCase& failure : cases) {
    for (const bool threaded : {false, true}) {
      SCOPED_TRACE(failure.message + (threaded ? " (game thread)" : " (main thread)"));
      boxes_.clear();
      WriteScript("MAIN", failure.source);
      TestGame game(threaded);
      Start(game);
      clock_.Advance(17);
      if (threaded) {
        EXPECT_EQ(game.OnThreadStep(), failure.threaded_result);
      } else {
        int result = 0;
        EXPECT_FALSE(game.RunScriptPass(result));
        EXPECT_EQ(result, failure.single_result);
      }
      EXPECT_EQ(boxes_, std::vector<std::string>{failure.message});
    }
  }
}

// What a built-in function that waits in the frames (as the message box does) saw of the
// application's frame procedure while its script was suspended in the call.
struct NestedFrames {
  TestGame* game = nullptr;
  int running = -5;
  int restarting = -5;
};
NestedFrames g_nested;

std::uint32_t WaitInFrames(const NativeArgs& /*args*/) {
  g_nested.running = g_FrameProcedureHook();
  g_nested.game->SetRestart(1);
  g_nested.restarting = g_FrameProcedureHook();
  g_nested.game->SetRestart(0);
  return 0;
}

TEST_F(GameRunTest, AScriptSuspendedInABuiltInCallLetsTheFrameProcedureRun) {
  WriteScript("MAIN", kCountingScript);
  EXPECT_EQ(g_FrameProcedureHook, nullptr);
  {
    TestGame game(false);
    Start(game);
    ASSERT_EQ(game.GetScriptHost()->RegisterNative(&WaitInFrames), 0u);
    ASSERT_EQ(game.GetScriptHost()->Natives().Count(), kBuiltinCount + 1);
    // MAIN again, now calling the new built-in function.
    WriteScript("MAIN", ".kind script\nloop:\n  CallNative native(" + std::to_string(kBuiltinCount) +
                            "), args, result\n  IncMem count\n  Yield\n  Jump loop\n"
                            "args: .word 0\nresult: .word 0\ncount: .word 0\n");
    ASSERT_EQ(game.GetScriptHost()->RestartMain(true), 0u);
    g_nested = {&game};
    EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
    // A frame ran inside the call, and a pending return to the title stopped the wait; the
    // script went on from the call when it returned.
    EXPECT_NE(g_nested.running, CGameApp::kFrameStop);
    EXPECT_EQ(g_nested.restarting, CGameApp::kFrameStop);
    g_nested.running = -5;
    EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
    EXPECT_NE(g_nested.running, CGameApp::kFrameStop);
    EXPECT_TRUE(boxes_.empty());
  }
  EXPECT_EQ(g_FrameProcedureHook, nullptr);
}

TEST_F(GameRunTest, TheEndOfTheScriptsEndsTheRunQuietly) {
  WriteScript("MAIN", ".kind script\n  Yield\n  Return\n");
  TestGame single(false);
  Start(single);
  int result = -5;
  clock_.Advance(17);
  EXPECT_TRUE(single.RunScriptPass(result));
  clock_.Advance(17);
  EXPECT_FALSE(single.RunScriptPass(result));
  EXPECT_EQ(result, 0);

  TestGame threaded(true);
  Start(threaded);
  clock_.Advance(17);
  EXPECT_EQ(threaded.OnThreadStep(), 0);
  clock_.Advance(17);
  EXPECT_EQ(threaded.OnThreadStep(), -1);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(GameRunTest, TheStartOfMainReportsWhyItCannotRun) {
  TestGame game(false);
  EXPECT_EQ(game.InitScriptEngine(), kScriptEngineMainUnreadable);
  game_.WriteFile("SCRIPT/MAIN.SOB", "SOB1 is not a script object");
  EXPECT_EQ(game.InitScriptEngine(), kScriptEngineMainRefused);
  kvxtools::SobObjectBuilder debug_build;
  debug_build.Emit(ESobOpcode::Return);
  WriteScriptFile("MAIN.SOB", debug_build.Build(kvxtools::SobObjectKind::kScript, 1));
  EXPECT_EQ(game.InitScriptEngine(), kScriptEngineMainForDebugging);
  EXPECT_EQ(boxes_, (std::vector<std::string>{"メインスクリプトを開けません", "メインスクリプトが不正です",
                                               "デバッグモード用のスクリプトです"}));
  EXPECT_EQ(game.RunFrame(), CGameApp::kFrameStop);  // no frame procedure was chosen
}

TEST_F(GameRunTest, TheScriptStartHandsTheSoundSettingsToTheSoundChannels) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  GameSettingsBlock& settings = game.GetGameSettings();
  settings[kSettingMusicOn] = 0;
  settings[kSettingSoundEffectsOn] = 0;
  settings[kSettingSecondClassOn] = 0;
  StoreLe32(&settings[kSettingMasterVolume], 200);
  StoreLe32(&settings[kSettingMusicLevel], 90);
  StoreLe32(&settings[kSettingSoundEffectLevel], 180);
  StoreLe32(&settings[kSettingSecondClassLevel], 120);
  StoreLe32(&settings[kSettingVoiceVolume], 64);
  ASSERT_EQ(game.InitScriptEngine(), 0);

  CSoundChannelManager& channels = game.GetScriptHost()->SoundChannels();
  EXPECT_EQ(g_SoundChannels, &channels);
  EXPECT_TRUE(channels.IsSoundEnabled());
  EXPECT_FALSE(channels.IsBgmEnabled());
  EXPECT_FALSE(channels.IsClassEnabled(CSoundChannelManager::kSoundEffectClass));
  EXPECT_FALSE(channels.IsClassEnabled(CSoundChannelManager::kSecondClass));
  EXPECT_TRUE(channels.IsClassEnabled(CSoundChannelManager::kVoiceClass));
  EXPECT_EQ(channels.GetMasterVolume(), 200);
  EXPECT_EQ(channels.GetBgmLevel(), 90);
  EXPECT_EQ(channels.GetVoiceVolume(), 64);
  EXPECT_EQ(channels.default_levels[0], 180);
  EXPECT_EQ(channels.default_levels[1], 120);
  EXPECT_EQ(channels.default_levels[2], 256);
  for (const std::string& line : log_.Lines()) EXPECT_EQ(line.find("sound channels"), std::string::npos) << line;
}

TEST_F(GameRunTest, ADamagedLibraryStopsTheStartWithItsMessage) {
  WriteScript("MAIN", kCountingScript);
  game_.WriteFile("SCRIPT/FUNC_LIB.SOB", "SOB0 is not the library");
  TestGame game(false);
  EXPECT_EQ(game.InitScriptEngine(), kScriptEngineLibrariesFailed);
  EXPECT_EQ(boxes_, std::vector<std::string>{"スクリプト初期化ファイルのロードに失敗"});
}

TEST_F(GameRunTest, ScriptFailuresFromTheGameThreadAreShownByTheMainThread) {
  // Without a main window the request has nobody to show it: nothing is shown on that thread.
  plat::MessageQueue::Instance().AttachToCurrentThread();
  TestGame game(true);
  game.GetWorkerThread().StartWith(MakeThreadDelegate([&game] { game.ShowScriptFailure("x"); }));
  game.GetWorkerThread().Stop();
  EXPECT_TRUE(boxes_.empty());
  game.ShowScriptFailure("y");
  EXPECT_EQ(boxes_, std::vector<std::string>{"y"});
}

// Counts the presents of the frame image it runs on: each one advances it.
class PresentCounter : public CScreenTransition {
 public:
  explicit PresentCounter(int& presents) : presents_(presents) {}
  uint8_t GetTransitionType() const override { return kTypeWithoutPartnerLayer; }
  bool Advance(uint32_t) override {
    ++presents_;
    return true;
  }
  uint32_t GetFlags() const override { return 0; }
  CImage* GetTargetImage() override { return nullptr; }
  void RenderStrip(const plat::Rect&) override {}
  bool IsFinished() const override { return false; }

 private:
  int& presents_;
};

TEST_F(GameRunTest, EachDueFrameIsDrawnAndPresentedOnceInBothRunModes) {
  WriteScript("MAIN", kCountingScript);
  constexpr int kFrames = 3;
  for (const bool canvas : {false, true}) {
    for (const bool threaded : {false, true}) {
      SCOPED_TRACE(std::string(canvas ? "canvas" : "back surface") + (threaded ? ", game thread" : ", main thread"));
      FakeDrawLayers layers;
      int presents = 0;
      CImageCanvasEx frame;
      CImageCanvasEx partner;
      TestGame game(threaded);
      if (canvas) {
        ASSERT_EQ(frame.Create(64, 48, 32, CImagePart::kLayer), 0u);
        ASSERT_EQ(partner.Create(64, 48, 32, CImagePart::kNoLayer), 0u);
        ASSERT_EQ(frame.SetPartner(&partner), 0u);
        RefPtr<CScreenTransition> counter = MakeRef<PresentCounter>(presents);
        ASSERT_EQ(frame.Attach(counter, CImagePart::kModePlain, 0, false), 0u);
        game.GetScreenManager().SetFrameImage(&frame);
      }
      Start(game);
      ProbeLog drawn;
      game.GetPausableTimerManager().Add(new ProbeTask(drawn), 0, 0, 0);
      for (int frame_number = 0; frame_number < kFrames; ++frame_number) EXPECT_EQ(SlicesOfOnePass(game, 17), 1u);
      EXPECT_EQ(drawn.updates.size(), static_cast<size_t>(kFrames));
      if (canvas) {
        EXPECT_EQ(presents, kFrames);
      }
    }
  }
}

class FullScreenStoredGame : public TestGame {
 public:
  FullScreenStoredGame() : TestGame(false) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    GetWindowSettings()[kWinScreenMode] = kScreenModeFullScreen;
    return result;
  }
};

// The stored full-screen mode is taken at start and the game runs to its end there.
TEST_F(GameRunTest, AStoredFullScreenModeStartsInFullScreenAndTheGameRunsToItsEnd) {
  WriteScript("MAIN", ".kind script\n  Yield\n  Yield\n  Return\n");
  FullScreenStoredGame game;
  EXPECT_EQ(game.Run("/L" + game_.EnginePath(), 1), 0);
  EXPECT_EQ(game.GetFatalError(), 0);
  EXPECT_EQ(game.GetWindowSettings()[kWinScreenMode], kScreenModeFullScreen);
  EXPECT_TRUE(boxes_.empty()) << boxes_.front();
  // The exit gave up the watches of the folders the run looked at, which the end of the process
  // would otherwise wait to retire.
  EXPECT_EQ(test_support::FolderWatchesHeld(), 0);
}

class SessionGame : public TestGame {
 public:
  explicit SessionGame(bool threaded) : TestGame(threaded), threaded_(threaded) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    GetEnvironment()[kEnvThreadedMode] = threaded_ ? 1 : 0;
    return result;
  }
  void SaveSettings(int code) override { saves.push_back(code); }

  std::vector<int> saves;

 private:
  bool threaded_;
};

// A request to end the program ends the session as a log-off does: the settings are saved when
// the session ends and again by the orderly exit that follows.
TEST_F(GameRunTest, ARequestToEndTheProgramEndsTheSessionInOrder) {
  WriteScript("MAIN", kCountingScript);
  plat::CatchEndRequests();
  for (const bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "game thread" : "main thread");
    SessionGame game(threaded);
    std::atomic<bool> returned{false};
    std::thread outside([&] {
      while (game.GetFramePacer().GetMeasuredFramesPerSecond() == 0 && !returned) std::this_thread::yield();
      kill(getpid(), SIGTERM);
    });
    EXPECT_EQ(game.Run("/L" + game_.EnginePath(), 1), 0);
    returned = true;
    outside.join();
    EXPECT_EQ(game.saves, (std::vector<int>{0, 0}));
    EXPECT_FALSE(game.GetMainWindow().IsWindow());
    EXPECT_FALSE(game.GetWorkerThread().IsRunning());
    EXPECT_TRUE(boxes_.empty());
  }
}

class FrameRateTest : public ::testing::Test {
 protected:
  ScopedFakeClock clock_;
  LogCapture log_;
  TestGame game_{false};
};

TEST_F(FrameRateTest, TheWaitModeChoosesTheVerticalBlankLevel) {
  game_.ApplyFrameRate(30);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 0);
  EXPECT_EQ(game_.GetFramePacer().GetFramesPerSecond(), 30);
  EXPECT_TRUE(game_.GetFramePacer().UsesCounter());

  game_.GetGameSwitches()[kSwitchFrameWaitMode] = kFrameWaitNone;
  game_.GetGameSwitches()[kSwitchVerticalBlankLevel] = 1;
  game_.ApplyFrameRate(-1);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 2);
  EXPECT_EQ(game_.GetFramePacer().GetFramesPerSecond(), 30);
  EXPECT_FALSE(game_.GetFramePacer().UsesCounter());
  // Externally paced: every tick is a frame.
  EXPECT_TRUE(game_.GetFramePacer().Tick());
  EXPECT_TRUE(game_.GetFramePacer().Tick());
}

TEST_F(FrameRateTest, NoWaitNestsAndAnExtraEndChangesNothing) {
  EXPECT_EQ(game_.EndNoWait(), 0);
  EXPECT_EQ(game_.GetNoWaitNesting(), 0);
  EXPECT_EQ(game_.BeginNoWait(), 1);
  EXPECT_EQ(game_.GetGameSwitches()[kSwitchFrameWaitMode], kFrameWaitNone);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 1);
  EXPECT_EQ(game_.BeginNoWait(), 0);  // already paced by the vertical blank
  EXPECT_EQ(game_.EndNoWait(), 0);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 1);
  EXPECT_EQ(game_.EndNoWait(), 1);
  EXPECT_EQ(game_.GetGameSwitches()[kSwitchFrameWaitMode], kFrameWaitTimer);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 0);
  EXPECT_EQ(game_.EndNoWait(), 0);
  EXPECT_EQ(game_.GetNoWaitNesting(), 0);
  // The counter did not go below 0: one begin turns the mode on again.
  EXPECT_EQ(game_.BeginNoWait(), 1);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 1);
}

TEST_F(FrameRateTest, NoWaitIsRefusedWhenTheGameDoesNotAllowIt) {
  game_.GetGameSwitches()[kSwitchNoWaitAllowed] = 0;
  EXPECT_EQ(game_.BeginNoWait(), 0);
  EXPECT_EQ(game_.GetScreenManager().GetWaitForVerticalBlank(), 0);
  EXPECT_EQ(game_.EndNoWait(), 0);
}

TEST_F(FrameRateTest, TheHighResolutionTimerSuspensionNestsAndAnExtraResumeChangesNothing) {
  game_.ApplyFrameRate(60);
  EXPECT_EQ(game_.ResumeHighResTimer(), 0);
  EXPECT_EQ(game_.SuspendHighResTimer(), 1);
  EXPECT_FALSE(game_.GetFramePacer().UsesCounter());
  EXPECT_EQ(game_.SuspendHighResTimer(), 0);
  EXPECT_EQ(game_.ResumeHighResTimer(), 0);
  EXPECT_FALSE(game_.GetFramePacer().UsesCounter());
  EXPECT_EQ(game_.ResumeHighResTimer(), 1);
  EXPECT_TRUE(game_.GetFramePacer().UsesCounter());
  EXPECT_EQ(game_.ResumeHighResTimer(), 0);
  EXPECT_EQ(game_.GetHighResSuspension(), 0);
  EXPECT_TRUE(game_.GetFramePacer().UsesCounter());
}

TEST_F(GameRunTest, AConfirmedSheetMarksTheSettingsChangedAndPassesChangedHintsToTheRootWindow) {
  WriteScript("MAIN", kCountingScript);
  TestGame game(false);
  Start(game);
  CGameScriptHost& host = *game.GetScriptHost();
  game.GetGameSettings()[kSettingHintsOn] = 1;
  StoreLe32(&game.GetGameSettings()[kSettingHintDelay], 321);
  GuiRootWindow().SetTooltipMode(false, 0, 0);
  game.ApplyConfirmedPages({false, false, false, false}, false);
  EXPECT_FALSE(GuiRootWindow().AreTooltipsEnabled());
  EXPECT_EQ(host.ApplyTextSettings(true, true, nullptr, nullptr, nullptr, false, false), 0);
  game.ApplyConfirmedPages({false, false, false, false}, true);
  EXPECT_TRUE(GuiRootWindow().AreTooltipsEnabled());
  EXPECT_EQ(GuiRootWindow().GetTooltipDelay(), 321u);
  game.ApplyConfirmedPages({false, true, false, false}, false);
  EXPECT_EQ(host.ApplyTextSettings(true, true, nullptr, nullptr, nullptr, false, false), 1);
  EXPECT_EQ(host.ApplyTextSettings(true, true, nullptr, nullptr, nullptr, false, false), 0);
  GuiRootWindow().SetTooltipMode(false, 0, 0);
}

}  // namespace

namespace {

// A sheet confirmed on the window thread while the game thread walks the bindings: the new
// assignments reach the bindings on the game thread, never under its feet.
TEST_F(GameRunTest, BindingsConfirmedOnTheWindowThreadChangeOnTheGameThread) {
  TestGame game(true);
  game.GetInputManager().Create(kInputMethodPolledShort, kInputMethodPolledShort);
  ASSERT_EQ(game.InitDevices(), 0);
  CInputBindings& bindings = *g_KeyBindings;
  std::atomic<uint32_t> passes{0};
  ASSERT_EQ(game.GetWorkerThread().StartWith(MakeThreadDelegate([&] {
    while (game.GetWorkerThread().ShouldContinue()) {
      game.TakeUpConfirmedBindings();
      for (uint32_t action = 0; action < kGameActionCount; ++action) bindings.CountBindings(action, kSelectKeyboard);
      bindings.FindActionDown(0, 0);
      ++passes;
    }
  })),
            0u);
  constexpr uint8_t kKeyQ = 0x10;
  for (int confirm = 0; confirm < 200; ++confirm) {
    // Every user key on and off again: bindings come and go.
    for (uint32_t action = kActionDecide; action < kGameActionCount; ++action) {
      game.GetGameSettings()[kSettingDecideKey + action - kActionDecide] = confirm % 2 == 0 ? kKeyQ : 0;
    }
    game.ApplyConfirmedPages({true, true, false, false}, false);
  }
  // The last confirmation (every key off) reaches the bindings with the game thread's next passes.
  const uint32_t seen = passes.load();
  while (passes.load() < seen + 2) std::this_thread::yield();
  EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
  EXPECT_EQ(bindings.CountBindings(kActionSave, kSelectKeyboard), 0u);
  EXPECT_EQ(bindings.CountBindings(kActionDecide, kSelectKeyboard), 2u);
  // Without a game thread the sheet's bindings apply at once.
  game.GetGameSettings()[kSettingDecideKey + kActionSave - kActionDecide] = kKeyQ;
  game.ApplyConfirmedPages({true, false, false, false}, false);
  EXPECT_EQ(bindings.CountBindings(kActionSave, kSelectKeyboard), 1u);
}

}  // namespace
