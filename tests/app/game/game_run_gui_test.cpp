// A whole game run on a real X display (run under Xvfb): a main script that yields 120 times,
// so 120 frames at 60 per second, then ends, which ends the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/game/game_app.h"
#include "base/system/app_hooks.h"
#include "game/game_script_host.h"
#include "platform/files/host_path.h"
#include "platform/window/system_message_box.h"
#include "script/script_context.h"
#include "script/script_translations.h"
#include "sob_assembler.h"
#include "support/game_settings_files.h"
#include "support/holds_within.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

// Last: the X library's macros must not reach the headers above.
#include <X11/Xlib.h>

namespace {

constexpr int kYields = 120;

std::string YieldingMain() {
  std::string source = ".kind script\n";
  for (int i = 0; i < kYields; ++i) source += "  Yield\n";
  return source + "  Return\n";
}

// What the window's close button (or Alt+F4) sends.
void PushWindowClose(CGameApp& game) {
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = game.GetMainWindow().GetHandle();
  SDL_PushEvent(&close);
}

class GameRunGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    WriteMain(YieldingMain());
    test_support::WriteGameSettingsFiles(game_);
  }

  kvxtools::SobAssembly WriteMain(const std::string& source) {
    kvxtools::SobAssembly main;
    std::string error;
    EXPECT_TRUE(kvxtools::AssembleSob(source, nullptr, main, error)) << error;
    game_.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(main.bytes.data()),
                                                        main.bytes.size()));
    return main;
  }

  // Runs the game while another thread, once `ready` holds, closes the window as its close
  // button does, and then calls `closed`; Run's result. The thread looks every millisecond, so
  // that it takes next to no processor time of its own.
  int RunAndCloseWhen(CGameApp& game, const std::function<bool()>& ready, const std::function<void()>& closed = {}) {
    std::atomic<bool> run_returned{false};
    std::thread user([&] {
      while (!ready() && !run_returned) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      PushWindowClose(game);
      if (closed) closed();
    });
    const int result = game.Run("/L" + plat::ToEnginePath(game_.HostPath()), 1);
    run_returned = true;
    user.join();
    return result;
  }

  test_support::TempGameFolder game_;
};

TEST_F(GameRunGuiTest, TheProgramRunsMainToItsEndAndExitsWithZero) {
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  ASSERT_NE(tools, nullptr);
  const std::string log = game_.HostPath() + "run.log";
  // The X and D-Bus libraries keep blocks until the process ends, which the leak checker of the
  // sanitizer build would report at the program's exit; this program's own leaks are checked in
  // the tests that run the game in process.
  // A game that keeps its settings in the per-user data folder, here inside the test's folder.
  kvxtools::AppDefinitionFile definition;
  definition.width = 800;
  definition.height = 600;
  definition.save_folder_mode = 3;
  kvxtools::AppInformationFile information;
  information.name = "Title of the run";
  test_support::WriteGameSettingsFiles(game_, definition, information);
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 XDG_DATA_HOME='" + game_.HostPath() + "data' '" +
                              std::string(tools) + "/kestrune' '/L" + game_.HostPath() + "' 2> '" + log + "'";
  const int status = std::system(command.c_str());
  std::ifstream stream(log);
  std::stringstream printed;
  printed << stream.rdbuf();
  ASSERT_TRUE(WIFEXITED(status)) << printed.str();
  EXPECT_EQ(WEXITSTATUS(status), 0) << printed.str();
  // A failure would have shown a message box; the log names each one.
  EXPECT_EQ(printed.str().find("message box"), std::string::npos) << printed.str();
  EXPECT_EQ(printed.str().find("not built yet: the built-in transition objects and draw objects"), std::string::npos) << printed.str();
  EXPECT_TRUE(game_.Exists("data/kestrune/Title of the run SaveData/USER.CFG"));
  EXPECT_TRUE(game_.Exists("data/kestrune/Title of the run SaveData/APP_CFG.DAT"));
}

class GameInMode : public CGameApp {
 public:
  explicit GameInMode(bool threaded, bool translated = false) : threaded_(threaded), translated_(translated) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    environment_[kEnvThreadedMode] = threaded_ ? 1 : 0;
    GetGameSwitches()[kSwitchTranslateScripts] = translated_ ? 1 : 0;
    return result;
  }

 private:
  bool threaded_;
  bool translated_;
};

// Runs `test` with a game of kind `Game` made single-threaded, then threaded (with the words
// `options` after the mode), the log caught and every question answered yes.
template <typename Game, typename Test, typename... Options>
void InEachMode(Test test, Options... options) {
  for (const bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "single-thread");
    LogCapture log;
    plat::ScopedMessageBoxAnswers answers{&test_support::AgreeingAnswer};
    Game game(threaded, options...);
    test(game, threaded);
  }
}

TEST_F(GameRunGuiTest, OnTheGameThreadTheFramesArePresentedByTheMainThread) {
  LogCapture log;
  std::string shown;
  plat::ScopedMessageBoxAnswers answers{[&shown](const plat::MessageBoxRequest& request) {
    if (!test_support::IsQuestion(request)) shown += request.text;
    return test_support::AgreeingAnswer(request);
  }};
  GameInMode game(true);
  EXPECT_EQ(game.Run("/L" + plat::ToEnginePath(game_.HostPath()), 1), 0);
  EXPECT_TRUE(game.IsThreaded());
  EXPECT_TRUE(shown.empty()) << shown;
  EXPECT_FALSE(game.GetMainWindow().IsWindow());
  EXPECT_EQ(game.GetFatalError(), 0);
  // Frames were drawn for at least one whole second before the script ended.
  EXPECT_GT(game.GetFramePacer().GetMeasuredFramesPerSecond(), 0u);
  EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
}

// A script that never ends: the user closes the window, as with the window's close button.
TEST_F(GameRunGuiTest, ClosingTheWindowEndsAGameThatWouldRunForEver) {
  WriteMain(".kind script\nloop:\n  Yield\n  Jump loop\n");
  InEachMode<GameInMode>([this](GameInMode& game, bool) {
    // Once the game has drawn a few frames, close its window.
    EXPECT_EQ(RunAndCloseWhen(game, [&] { return game.GetFramePacer().GetMeasuredFramesPerSecond() != 0; }), 0);
    EXPECT_FALSE(game.GetMainWindow().IsWindow());
    EXPECT_GT(game.GetFramePacer().GetMeasuredFramesPerSecond(), 0u);
    EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
  });
}

// The desktop sizes that display changes told the game of, as their lParam carries them.
class DisplayWatchingGame : public GameInMode {
 public:
  using GameInMode::GameInMode;
  int OnDisplayChange(MessageBlock& block) override {
    told_desktop = block.lparam;
    return GameInMode::OnDisplayChange(block);
  }
  std::atomic<int32_t> told_desktop{0};
};

// Another program changes the desktop's mode while the game runs (the root window takes another
// size, as a mode switch gives it): the game hears of it as a display change with the new size.
TEST_F(GameRunGuiTest, ADesktopModeChangeWhileTheGameRunsIsADisplayChange) {
  WriteMain(".kind script\nloop:\n  Yield\n  Jump loop\n");
  InEachMode<DisplayWatchingGame>([this](DisplayWatchingGame& game, bool threaded) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const ::Window root = DefaultRootWindow(display);
    XWindowAttributes desktop;
    ASSERT_NE(XGetWindowAttributes(display, root, &desktop), 0);
    const int changed_width = desktop.width + (threaded ? 64 : 32);
    const int32_t changed = plat::MakeLParam(changed_width, desktop.height);
    // The change is told again until the game has heard it; a game that never hears it is
    // closed after some thousands of tellings, and fails below.
    int tellings = 0;
    EXPECT_EQ(RunAndCloseWhen(game,
                              [&] {
                                if (game.GetFramePacer().GetMeasuredFramesPerSecond() == 0) return false;
                                if (game.told_desktop == changed || ++tellings > 5000) return true;
                                XEvent event{};
                                event.xconfigure.type = ConfigureNotify;
                                event.xconfigure.event = root;
                                event.xconfigure.window = root;
                                event.xconfigure.width = changed_width;
                                event.xconfigure.height = desktop.height;
                                XSendEvent(display, root, False, StructureNotifyMask, &event);
                                XFlush(display);
                                return false;
                              }),
              0);
    XCloseDisplay(display);
    EXPECT_EQ(game.told_desktop, changed);
  });
}

class FullScreenGame : public GameInMode {
 public:
  explicit FullScreenGame(bool threaded) : GameInMode(threaded) {}
  int SetUp() override {
    const int result = GameInMode::SetUp();
    GetWindowSettings()[kWinScreenMode] = kScreenModeFullScreen;
    return result;
  }
};

// A player ends a game in full screen as in a window: the close button (or Alt+F4) and the menu's
// end command ask, end the program with 0 and write the settings.
TEST_F(GameRunGuiTest, AGameInFullScreenEndsWhenItsWindowIsClosed) {
  WriteMain(".kind script\nloop:\n  Yield\n  Jump loop\n");
  kvxtools::AppDefinitionFile definition;
  definition.save_folder_mode = 1;
  test_support::WriteGameSettingsFiles(game_, definition);
  for (const bool by_menu : {false, true}) {
    SCOPED_TRACE(by_menu ? "menu command" : "window closed");
    const std::size_t template_size = game_.ReadFile("USER.CFG").size();
    LogCapture log;
    int questions = 0;
    plat::ScopedMessageBoxAnswers answers{[&questions](const plat::MessageBoxRequest& request) {
      if (test_support::IsQuestion(request)) ++questions;
      return test_support::AgreeingAnswer(request);
    }};
    FullScreenGame game(false);
    std::atomic<bool> returned{false};
    bool forced = false;
    std::thread player([&] {
      while (game.GetFramePacer().GetMeasuredFramesPerSecond() == 0 && !returned) std::this_thread::yield();
      ASSERT_TRUE(game.IsFullScreen());
      if (by_menu) {
        game.GetMainWindow().PostMessage(plat::WM_COMMAND, 40003, 0);
      } else {
        PushWindowClose(game);
      }
      // A close that is held never ends the game: end it another way after ten seconds.
      for (int i = 0; i < 1000 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!returned) {
        forced = true;
        game.GetMainWindow().PostMessage(plat::WM_DESTROY, 0, 0);
      }
    });
    EXPECT_EQ(game.Run("/L" + plat::ToEnginePath(game_.HostPath()), 1), 0);
    returned = true;
    player.join();
    EXPECT_FALSE(forced);
    EXPECT_EQ(questions, 1);
    // The template holds four empty parts; the written file holds the blocks.
    EXPECT_GT(game_.ReadFile("USER.CFG").size(), template_size);
    test_support::WriteGameSettingsFiles(game_, definition);
  }
}

// A script that never yields holds the thread it runs on; closing the window still ends it,
// through the stop check that its jumps pass.
// The application's stop check, wrapped so that the test learns, without reading the running
// script's memory, that the script loops.
std::atomic<bool> g_stop_check_asked{false};
bool (*g_app_stop_check)() = nullptr;
bool NoteStopCheck() {
  g_stop_check_asked = true;
  return g_app_stop_check();
}

TEST_F(GameRunGuiTest, ClosingTheWindowEndsAScriptThatNeverYields) {
  WriteMain(".kind script\nloop:\n  IncMem count\n  Jump loop\ncount: .word 0\n");
  for (const bool threaded : {false, true}) {
    SCOPED_TRACE(threaded ? "threaded" : "single-thread");
    LogCapture log;
    std::string shown;
    // The close question is answered yes; any other box is a failure's message.
    plat::ScopedMessageBoxAnswers answers{[&shown](const plat::MessageBoxRequest& request) {
      if (!test_support::IsQuestion(request)) shown += request.text;
      return test_support::AgreeingAnswer(request);
    }};
    GameInMode game(threaded);
    g_stop_check_asked = false;
    g_app_stop_check = g_ScriptStopCheckHook;
    ASSERT_NE(g_app_stop_check, nullptr);
    g_ScriptStopCheckHook = &NoteStopCheck;
    // Once the script is looping, close the window.
    EXPECT_EQ(RunAndCloseWhen(game, [] { return g_stop_check_asked.load(); }), 0);
    EXPECT_TRUE(shown.empty()) << shown;
    EXPECT_FALSE(game.GetMainWindow().IsWindow());
    EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
  }
}

// What each stop check of a run found: the loop's passes so far, whether the close request had
// reached the script's thread when the check began, and whether the check ended the run.
struct StopCheckSeen {
  std::uint32_t passes = 0;
  bool request_arrived = false;
  bool stopped = false;
};
std::vector<StopCheckSeen> g_stop_checks_seen;
std::uint32_t g_passes_offset = 0;  // from the main module's code base
// Set by the closing thread once the close request is in the window's queue; a threaded game's
// worker hears of it once the window thread has asked it to stop.
std::atomic<bool> g_close_pushed{false};
bool g_threaded_game = false;

bool NoteStopCheckOfRewritingLoop() {
  StopCheckSeen seen;
  CGameScriptHost& host = *g_App->GetScriptHost();
  seen.passes = host.Memory().Word(host.GetCodeBase() + g_passes_offset);
  seen.request_arrived = g_threaded_game ? !g_App->GetWorkerThread().ShouldContinue() : g_close_pushed.load();
  seen.stopped = NoteStopCheck();
  g_stop_checks_seen.push_back(seen);
  return seen.stopped;
}

// With the scripts translated, a loop that rewrites one of its own instructions on every pass, at
// the start of a module of 1 MB of code, ends on a close request (a question is answered yes).
// What is bounded is the work the program counts, never a time: making its code again counts
// towards the stop check, which the loop asks within its first few passes where a loop that only
// jumps asks it after kTransfersPerStopCheck passes; no two stop checks lie more passes apart
// than that; and the first stop check that begins once the request has reached the script's
// thread ends the run. (How fast the rewriting loop ends is measured by the benchmarks.)
TEST_F(GameRunGuiTest, ClosingTheWindowEndsATranslatedScriptThatRewritesItsCodeInALoop) {
  // The instruction at `step` is made a DecMem, then an IncMem again, on every pass.
  std::string source = ".kind script\nloop:\n  IncMem passes\n  Copy dec, step\nstep:\n  IncMem count\n"
                       "  Copy inc, step\n  Jump loop\n";
  constexpr int kFillerInstructions = (1 << 20) / 8;
  source.reserve(source.size() + 16 * kFillerInstructions);
  for (int i = 0; i < kFillerInstructions; ++i) source += "  IncMem count\n";
  g_passes_offset = WriteMain(source + "inc: .word 26\ndec: .word 27\ncount: .word 0\npasses: .word 0\n").labels.at("passes");
  InEachMode<GameInMode>(
      [this](GameInMode& game, bool threaded) {
        g_stop_check_asked = false;
        g_stop_checks_seen.clear();
        g_close_pushed = false;
        g_threaded_game = threaded;
        g_app_stop_check = g_ScriptStopCheckHook;
        ASSERT_NE(g_app_stop_check, nullptr);
        g_ScriptStopCheckHook = &NoteStopCheckOfRewritingLoop;
        // Once the script is looping, close the window.
        EXPECT_EQ(RunAndCloseWhen(
                      game, [] { return g_stop_check_asked.load(); }, [] { g_close_pushed = true; }),
                  0);
        EXPECT_FALSE(game.GetMainWindow().IsWindow());
        EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
        ASSERT_FALSE(g_stop_checks_seen.empty());
        EXPECT_LE(g_stop_checks_seen.front().passes, static_cast<std::uint32_t>(ScriptTranslations::kMostRemakes))
            << "the first stop check, asked for by making the code again";
        for (std::size_t i = 1; i < g_stop_checks_seen.size(); ++i) {
          EXPECT_LE(g_stop_checks_seen[i].passes - g_stop_checks_seen[i - 1].passes, kTransfersPerStopCheck) << i;
        }
        EXPECT_TRUE(g_stop_checks_seen.back().stopped) << "the run ended at a stop check";
        for (std::size_t i = 0; i + 1 < g_stop_checks_seen.size(); ++i) {
          EXPECT_FALSE(g_stop_checks_seen[i].stopped) << i;
          EXPECT_FALSE(g_stop_checks_seen[i].request_arrived) << "stop check " << i << " let the run go on after the request";
        }
      },
      true);
}

using test_support::HoldsWithin;

// The program in a process of its own, for the ways it can be ended from outside.
class ProgramRun {
 public:
  ProgramRun(const std::string& folder, const std::string& log) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    const std::string program = std::string(tools != nullptr ? tools : ".") + "/kestrune";
    const std::string argument = "/L" + folder;
    pid_ = fork();
    if (pid_ == 0) {
      if (std::freopen(log.c_str(), "w", stderr) == nullptr) _exit(126);
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      execl(program.c_str(), "kestrune", argument.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~ProgramRun() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t Pid() const { return pid_; }
  // The exit status, or -1 when it has not ended within a minute (it is then killed).
  int WaitForEnd() {
    int status = 0;
    if (!HoldsWithin(60, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
};

::Window FindWindowNamed(Display* display, ::Window window, const char* name) {
  char* found_name = nullptr;
  if (XFetchName(display, window, &found_name) != 0 && found_name != nullptr) {
    const bool match = std::strcmp(found_name, name) == 0;
    XFree(found_name);
    if (match) return window;
  }
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
  ::Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) found = FindWindowNamed(display, children[i], name);
  if (children != nullptr) XFree(children);
  return found;
}

// The game's window as another client of the display sees it; 0 when it does not show within
// ten seconds.
::Window WaitForGameWindow(Display* display) {
  ::Window window = 0;
  HoldsWithin(10, [&] {
    window = FindWindowNamed(display, DefaultRootWindow(display), "KVX DX Application");
    return window != 0;
  });
  return window;
}

// The display's reports about windows that are already gone do not concern the test.
int IgnoreRefusal(Display*, XErrorEvent*) { return 0; }

// Waits until no game window is left on the display (the last program's goes with it).
bool NoGameWindowLeft(Display* display) {
  return HoldsWithin(10, [&] {
    return FindWindowNamed(display, DefaultRootWindow(display), "KVX DX Application") == 0;
  });
}

enum class OutsideEnd { kTerminate, kInterrupt, kWindowDestroyed, kClientKilled };

// However the running program is ended from outside, it ends in order with status 0.
TEST_F(GameRunGuiTest, EndsFromOutsideEndTheProgramInOrder) {
  kvxtools::SobAssembly endless;
  std::string error;
  // The script makes RUNNING.TXT at its start, and then runs frames until it is ended.
  ASSERT_TRUE(kvxtools::AssembleSob(".kind script\n"
                                    "  CallNative native(124), none, file\n"
                                    "  Copy file, create\n"
                                    "  Copy file, close\n"
                                    "  CallNative native(130), create, result\n"
                                    "  CallNative native(132), close, result\n"
                                    "loop:\n"
                                    "  Yield\n"
                                    "  Jump loop\n"
                                    "none: .word 0\n"
                                    "result: .word 0\n"
                                    "file: .word 0\n"
                                    "create: .word 0, name, 1\n"
                                    "close: .word 0\n"
                                    "name: .string \"RUNNING.TXT\"\n",
                                    nullptr, endless, error))
      << error;
  game_.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(endless.bytes.data()),
                                                      endless.bytes.size()));
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSetErrorHandler(&IgnoreRefusal);
  const std::pair<OutsideEnd, const char*> ends[] = {{OutsideEnd::kTerminate, "SIGTERM"},
                                                     {OutsideEnd::kInterrupt, "SIGINT"},
                                                     {OutsideEnd::kWindowDestroyed, "window destroyed"},
                                                     {OutsideEnd::kClientKilled, "connection killed"}};
  for (const auto& [end, name] : ends) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(NoGameWindowLeft(display));
    std::filesystem::remove(game_.HostPath() + "RUNNING.TXT");
    const std::string log = game_.HostPath() + "outside.log";
    ProgramRun run(game_.HostPath(), log);
    ASSERT_GT(run.Pid(), 0);
    // The end comes while frames run, however long a loaded machine takes to start: once the
    // script has run, after the renderer was made (a display that goes while it is being made
    // is not waited for), which may have given the window a new X window.
    ASSERT_TRUE(HoldsWithin(120, [&] { return game_.Exists("RUNNING.TXT"); })) << game_.ReadFile("outside.log");
    const ::Window window = WaitForGameWindow(display);
    ASSERT_NE(window, 0u);
    switch (end) {
      case OutsideEnd::kTerminate:
        kill(run.Pid(), SIGTERM);
        break;
      case OutsideEnd::kInterrupt:
        kill(run.Pid(), SIGINT);
        break;
      case OutsideEnd::kWindowDestroyed:
        XDestroyWindow(display, window);
        break;
      case OutsideEnd::kClientKilled:
        XKillClient(display, window);
        break;
    }
    XSync(display, False);
    EXPECT_EQ(run.WaitForEnd(), 0) << game_.ReadFile("outside.log");
  }
  XCloseDisplay(display);
}

// A second start of the game while the first runs ends before it opens a window, saying so in
// its log and with a status that is not success, and the first one goes on.
TEST_F(GameRunGuiTest, ASecondInstanceOpensNoWindowAndTheFirstKeepsRunning) {
  kvxtools::SobAssembly endless;
  std::string error;
  ASSERT_TRUE(kvxtools::AssembleSob(".kind script\nloop:\n  Yield\n  Jump loop\n", nullptr, endless, error)) << error;
  game_.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(endless.bytes.data()),
                                                      endless.bytes.size()));
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSetErrorHandler(&IgnoreRefusal);
  ASSERT_TRUE(NoGameWindowLeft(display));
  // Both starts keep their lock in the test's folder.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_runtime = runtime != nullptr ? runtime : "";
  setenv("XDG_RUNTIME_DIR", game_.HostPath().c_str(), 1);
  ProgramRun first(game_.HostPath(), game_.HostPath() + "first.log");
  ASSERT_NE(WaitForGameWindow(display), 0u) << game_.ReadFile("first.log");
  ProgramRun second(game_.HostPath(), game_.HostPath() + "second.log");
  // A second start that ran the endless game would not end by itself.
  const int second_status = second.WaitForEnd();
  setenv("XDG_RUNTIME_DIR", saved_runtime.c_str(), 1);
  const std::string second_log = game_.ReadFile("second.log");
  EXPECT_EQ(second_status, kExitAnotherInstance) << second_log;
  EXPECT_NE(second_log.find("the game is running already"), std::string::npos) << second_log;
  int status = 0;
  EXPECT_EQ(waitpid(first.Pid(), &status, WNOHANG), 0);
  EXPECT_NE(WaitForGameWindow(display), 0u);
  kill(first.Pid(), SIGTERM);
  EXPECT_EQ(first.WaitForEnd(), 0) << game_.ReadFile("first.log");
  XCloseDisplay(display);
}

}  // namespace
