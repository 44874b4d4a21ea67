#include "app/framework/framework_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "app/framework/private_messages.h"
#include "base/threads/event.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/monitor_list.h"
#include "gfx/display/surface_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/clock.h"
#include "platform/system/thread_id.h"
#include "platform/window/display_backend.h"
#include "platform/window/display_settings.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/screen_saver.h"
#include "platform/window/system_message_box.h"
#include "platform/window/text_out.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_clock.h"
#include "support/fake_display_backend.h"
#include "support/fake_font_face.h"
#include "support/log_capture.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/ime_context.h"
#include "ui/widgets/text_edit.h"

namespace {

struct ShownBox {
  plat::MessageBoxRequest request;
  uint32_t thread = 0;
};

// A framework application whose set-up a test shapes, with a game thread that acknowledges
// blocking waits.
class TestApp : public CFrameworkApp {
 public:
  ~TestApp() override {
    // The game thread calls into this object: end it (and what it might wait for) first.
    GetMainWindow().Destroy();
    release_end.Set();
    GetWorkerThread().Stop();
  }
  int SetUp() override {
    CFrameworkApp::SetUp();
    environment_[kEnvThreadedMode] = threaded ? 1 : 0;
    info_.screen_width = screen_width;
    info_.screen_height = screen_height;
    info_.allowed_screen_modes = allowed_modes;
    environment_[kEnvDisplayCanvas] = display_canvas;
    if (screen_saver_setting != 0) environment_[screen_saver_setting] = 1;
    return 0;
  }
  int OnThreadStart() override {
    if (close_on_start) GetMainWindow().PostMessage(plat::WM_CLOSE, 0, 0);
    return start_result;
  }
  int OnThreadStep() override {
    if (steps++ == 0) wait_on_worker = BeginBlockingWait(nullptr);
    uint8_t requested = kBlockingWaitRequested;
    GetBlockingWaitFlag().compare_exchange_strong(requested, kBlockingWaitAcknowledged);
    plat::SleepMilliseconds(1);
    return 0;
  }
  void OnThreadEnd() override {
    ended = true;
    release_end.Wait(CEvent::kInfinite);
  }
  void OnExitBegin(int code) override { exit_codes.push_back(code); }
  void OnScreenModeChanging() override { display_locked_while_switching = GetDisplayLock().IsOwnedByCurrentThread(); }
  void SetMovieCover(uint8_t movie_playing, bool full_screen) {
    movie_playing_ = movie_playing;
    full_screen_ = full_screen;
  }
  CImageCanvasEx* DisplayCanvas() { return display_canvas_.get(); }

  bool threaded = false;
  uint16_t screen_width = 640;
  uint16_t screen_height = 480;
  uint8_t allowed_modes = 2;
  uint8_t display_canvas = 0;
  std::size_t screen_saver_setting = 0;
  int start_result = 0;
  bool close_on_start = false;
  std::atomic<int> steps{0};
  std::atomic<int> wait_on_worker{-5};
  std::atomic<bool> ended{false};
  CEvent release_end;
  std::vector<int> exit_codes;
  bool display_locked_while_switching = false;
};

class FrameworkAppTest : public ::testing::Test {
 protected:
  // A test whose window closed leaves its WM_QUIT queued: the next test in the process would
  // read it as its own.
  void TearDown() override {
    plat::Message left;
    while (plat::PeekMessage(left, true)) {
    }
  }
  int Answer(const plat::MessageBoxRequest& request) {
    shown_.push_back({request, plat::CurrentThreadId()});
    return answer_;
  }

  LogCapture log_;
  std::vector<ShownBox> shown_;
  int answer_ = plat::IDYES;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) { return Answer(request); }};
};

TEST_F(FrameworkAppTest, EachOfTheThreeSettingsHoldsTheScreenSaverOffUntilTheExit) {
  for (const std::size_t setting : {kEnvNoScreenSaver, kEnvNoPowerSaving, kEnvKeepAwake}) {
    TestApp app;
    app.screen_saver_setting = setting;
    ASSERT_EQ(app.Initialize(), 0);
    EXPECT_FALSE(plat::IsScreenSaverAllowed()) << setting;
    app.Exit(0);
    EXPECT_TRUE(plat::IsScreenSaverAllowed()) << setting;
  }
  TestApp plain;
  ASSERT_EQ(plain.Initialize(), 0);
  EXPECT_TRUE(plat::IsScreenSaverAllowed());
  plain.Exit(0);
}

TEST_F(FrameworkAppTest, AScreenSaverHeldOffBeforeTheStartStaysHeldOffAfterTheExit) {
  ASSERT_TRUE(plat::AllowScreenSaver(false));
  TestApp app;
  app.screen_saver_setting = kEnvNoScreenSaver;
  ASSERT_EQ(app.Initialize(), 0);
  app.Exit(0);
  EXPECT_FALSE(plat::IsScreenSaverAllowed());
  plat::AllowScreenSaver(true);
}

TEST_F(FrameworkAppTest, InitializeOpensTheWindowInWindowMode) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  EXPECT_FALSE(app.IsThreaded());
  EXPECT_TRUE(app.GetMainWindow().IsWindow());
  EXPECT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeWindow);
  EXPECT_FALSE(app.IsImeOn());
  EXPECT_TRUE(app.GetMainWindow().HasHandler(plat::WM_ENTERSIZEMOVE));
  EXPECT_FALSE(app.GetMainWindow().HasHandler(kMsgThreadEnded));
  EXPECT_TRUE(app.GetMainWindow().HasHandler(plat::WM_LBUTTONDOWN));  // input by window messages
  app.Exit(0);
  EXPECT_FALSE(app.GetMainWindow().IsWindow());
  plat::Message left;  // drained up to the quit that the window's WM_DESTROY posted
  EXPECT_FALSE(plat::PeekMessage(left, false));
  EXPECT_TRUE(shown_.empty());
}

TEST_F(FrameworkAppTest, TheStartBuildsThePixelTablesAndSwitchesUnderTheDisplayLock) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  EXPECT_EQ(g_PixelTables.product[255][128], 128);
  EXPECT_EQ(g_PixelTables.product[128][255], 128);
  EXPECT_TRUE(app.display_locked_while_switching);
  app.Exit(0);
}

TEST_F(FrameworkAppTest, TheWindowsInputMessagesReachTheDevicesWhileTheAppIsActive) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  CInputManager& input = app.GetInputManager();
  ASSERT_NE(input.GetKeyboard(), nullptr);
  ASSERT_NE(input.GetMouse(), nullptr);
  EXPECT_EQ(input.GetKeyboard()->GetType(), kInputMessages);
  CWindow& window = app.GetMainWindow();
  window.SendMessage(plat::WM_ACTIVATE, plat::WA_ACTIVE, 0);
  EXPECT_TRUE(input.IsActive());
  // The mouse reads nothing while the cursor is not over the screen.
  app.SetCursorPosClient(10, 10);
  EXPECT_EQ(app.GetTrackedCursor().x.load(), 10);
  app.SetCursorPosClient(10, 10000);
  EXPECT_TRUE(app.GetTrackedCursor().IsOutside());
  app.SetCursorPosClient(10, 10);
  window.SendMessage(plat::WM_KEYDOWN, plat::VK_RETURN, 1);
  window.SendMessage(plat::WM_RBUTTONDOWN, 0, 0);
  window.SendMessage(plat::WM_RBUTTONUP, 0, 0);
  window.SendMessage(plat::WM_MOUSEWHEEL, plat::MakeLong(0, static_cast<uint32_t>(-plat::WHEEL_DELTA)), 0);
  input.Update();
  EXPECT_TRUE(input.GetKeyboard()->IsPressed(0x1C));
  EXPECT_TRUE(input.GetMouse()->IsPressed(kMouseRight));
  EXPECT_TRUE(input.GetMouse()->IsDown(kMouseWheelTowards));
  window.SendMessage(plat::WM_SYSKEYUP, plat::VK_RETURN, 0);
  input.Update();
  EXPECT_FALSE(input.GetKeyboard()->IsDown(0x1C));
  window.SendMessage(plat::WM_KEYDOWN, plat::VK_RETURN, 1);
  window.SendMessage(plat::WM_ACTIVATE, plat::WA_INACTIVE, 0);
  EXPECT_FALSE(input.IsActive());
  EXPECT_FALSE(input.GetKeyboard()->IsDown(0x1C));
  app.Exit(0);
}

TEST_F(FrameworkAppTest, TheRootGuiWindowReadsAndMovesTheTrackedPointerOnTheGameScreen) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  CGuiRootWindow& root = GuiRootWindow();
  const int32_t width = app.GetAppInfo().screen_width;
  const int32_t height = app.GetAppInfo().screen_height;
  EXPECT_EQ(root.GetScreenWidth(), width);
  EXPECT_EQ(root.GetScreenHeight(), height);
  app.SetCursorPosClient(12, 34);
  int32_t x = 0;
  int32_t y = 0;
  root.GetMousePos(x, y);
  EXPECT_EQ(x, 12);
  EXPECT_EQ(y, 34);
  root.ParkPointer();
  EXPECT_EQ(app.GetTrackedCursor().x.load(), width - 1);
  EXPECT_EQ(app.GetTrackedCursor().y.load(), height - 1);
  app.Exit(0);
}

// The point a game asks the pointer to (built-in 583) can lie at either end of the range: it
// stays there, on a window or a display wherever it stands on the desktop, and reads outside.
TEST_F(FrameworkAppTest, APointerPutAtTheEndsOfTheRangeStaysThereOnTheDesktop) {
  constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
  constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();
  const struct {
    const char* name;
    plat::Point window;  // where the window or the display stands on the desktop
    bool full_screen;
    plat::Point asked;
  } cases[] = {
      {"window left and above the desktop's origin", {-100, -100}, false, {kLeast, kLeast}},
      {"window right and below it", {100, 100}, false, {kGreatest, kGreatest}},
      {"window moved to the end of the range", {kGreatest, kGreatest}, false, {kGreatest, kGreatest}},
      {"full screen on a display left and above it", {-1920, -1080}, true, {kLeast, kLeast}},
      {"full screen on a display right and below it", {1920, 1080}, true, {kGreatest, kGreatest}},
  };
  for (const auto& put : cases) {
    SCOPED_TRACE(put.name);
    TestApp app;
    ASSERT_EQ(app.Initialize(), 0);
    const plat::Point display = put.full_screen ? put.window : plat::Point{0, 0};
    FakeDisplayBackend backend({FakeDisplayBackend::Display("Display", display.x, display.y, 1920, 1080)});
    plat::ScopedDisplayBackend scoped(backend);
    if (put.full_screen) {
      CMonitorList monitors;
      ASSERT_EQ(app.GetScreenManager().BuildDisplayModeList(&monitors, 640, 480, false), 0);
      ASSERT_EQ(app.GetScreenManager().SelectDisplay(false, 0, 0, 0, &monitors), 0u);
      ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
      // The fake display neither moves nor sizes the window: it is put where covering it puts it.
      app.GetMainWindow().GetPlatformWindow()->Move(put.window.x, put.window.y);
      app.GetMainWindow().GetPlatformWindow()->SetClientSize(1920, 1080);
    } else {
      app.GetMainWindow().GetPlatformWindow()->Move(put.window.x, put.window.y);
    }
    const plat::Point on_desktop = app.GameToScreen(put.asked);
    EXPECT_EQ(on_desktop.x, put.asked.x);
    EXPECT_EQ(on_desktop.y, put.asked.y);
    app.SetCursorPosClient(put.asked.x, put.asked.y);
    EXPECT_TRUE(app.GetTrackedCursor().IsOutside());
    app.Exit(0);
  }
}

TEST_F(FrameworkAppTest, AFullScreenOnlyGameForgetsAStoredWindowMode) {
  TestApp app;
  app.allowed_modes = kFullScreenOnly;
  app.GetWindowSettings()[kWinScreenMode] = kScreenModeWindow;
  EXPECT_EQ(app.Initialize(), 0);
  EXPECT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeFullScreen);
  EXPECT_TRUE(app.IsFullScreen());
  EXPECT_TRUE(shown_.empty());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, PublishesItsDataFileLayerAndImageLoaderHostWhileItLives) {
  {
    TestApp app;
    EXPECT_NE(g_DataFiles, nullptr);
    ASSERT_NE(g_GllHost, nullptr);
    EXPECT_FALSE(g_GllHost->IsCacheOn()) << "the cache starts off";
  }
  EXPECT_EQ(g_GllHost, nullptr);
  EXPECT_EQ(g_DataFiles, nullptr);
}

TEST_F(FrameworkAppTest, DrawLayersAreMadeWhileTheAppLivesSoADisplayCanvasGetsItsLayer) {
  {
    TestApp app;
    EXPECT_NE(g_DrawLayerFactory, nullptr);
    app.display_canvas = 2;
    ASSERT_EQ(app.Initialize(), 0);
    CImageCanvasBase* frame = app.GetScreenManager().GetFrameImage();
    ASSERT_NE(frame, nullptr);
    auto* layer = dynamic_cast<CDrawLayer*>(frame->GetLayer());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetTarget(), frame->GetImage());
    EXPECT_EQ(layer->GetAttachedList(), frame->GetList());
    EXPECT_TRUE(frame->IsTrackingSuspended());
    app.Exit(0);
  }
  EXPECT_EQ(g_DrawLayerFactory, nullptr);
}

TEST_F(FrameworkAppTest, TheStartUpPublishesTheTextureObjectsDeviceAndTheCanvasesDibSwitch) {
  for (const uint8_t byte : {uint8_t{0}, uint8_t{1}, uint8_t{7}}) {
    SCOPED_TRACE(static_cast<int>(byte));
    g_CanvasUseDibSection = byte == 0 ? 1 : 0;
    {
      TestApp app;
      app.GetEnvironment()[kEnvCanvasDibSection] = byte;
      ASSERT_EQ(app.Initialize(), 0);
      EXPECT_EQ(g_CanvasUseDibSection, byte != 0 ? 1 : 0);
      EXPECT_EQ(g_DrawObjectDevice, &app.GetScreenManager());
      app.Exit(0);
    }
    EXPECT_EQ(g_DrawObjectDevice, nullptr);
  }
  g_CanvasUseDibSection = 1;
}

// Once the application is ending (WM_QUIT taken), a box would hold the closing program open until
// someone clicks it: the log keeps it instead, in UTF-8, and a question answers no.
TEST_F(FrameworkAppTest, AnEndingApplicationLogsItsBoxesInsteadOfShowingThem) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  plat::MessageQueue::Instance().PostQuit(0);
  ASSERT_EQ(app.PumpMessages(true), 1);
  app.ShowMessageBox(plat::Utf8ToSjis("VOVスクリプト「TITLE」のロードに失敗。"), kBoxStop);
  EXPECT_FALSE(app.AskYesNo(plat::Utf8ToSjis("終了しますか？"), kBoxQuestion));
  EXPECT_TRUE(shown_.empty());
  const std::vector<std::string>& lines = log_.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "message box (KVX DX Application): VOVスクリプト「TITLE」のロードに失敗。 "
                      "[not shown: the application is ending]"),
            lines.end());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, ADesktopTooSmallForAWindowOnlyGameEndsWithCodeFive) {
  TestApp app;
  app.screen_width = 8000;
  app.allowed_modes = kWindowModeOnly;
  EXPECT_EQ(app.Run("", 1), 5);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].request.text, plat::Utf8ToSjis("画面解像度を現在の設定より大きくして起動して下さい"));
  EXPECT_EQ(shown_[0].request.style,
            plat::MB_OK | plat::MB_ICONINFORMATION | plat::MB_SYSTEMMODAL | plat::MB_SETFOREGROUND);
  EXPECT_EQ(shown_[0].request.caption, "KVX DX Application");
  EXPECT_EQ(app.exit_codes, std::vector<int>{5});
  EXPECT_FALSE(app.GetMainWindow().IsWindow());
}

TEST_F(FrameworkAppTest, ATooLargeScreenWithBothModesOnlyUnchoosesWindowMode) {
  TestApp app;
  app.screen_width = 8000;
  app.SetUp();
  app.GetWindowSettings()[kWinScreenMode] = kScreenModeWindow;
  EXPECT_EQ(app.CheckDesktop(), 0);
  EXPECT_EQ(app.GetAppInfo().window_fits, 0);
  EXPECT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeNotChosen);
}

TEST_F(FrameworkAppTest, ASwitchToTheModeAlreadySetChangesNothingUnlessForced) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  ASSERT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeWindow);
  app.GetWindowSettings()[kWinColourDepth] = 7;
  EXPECT_EQ(app.ChangeScreenMode(kScreenModeWindow, 32, 0), 0);
  EXPECT_EQ(app.GetWindowSettings()[kWinColourDepth], 7);
  EXPECT_EQ(app.ChangeScreenMode(kScreenModeWindow, 32, 1), 0);
  EXPECT_EQ(app.GetWindowSettings()[kWinColourDepth], 3);  // forced: switched again
  EXPECT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  EXPECT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeFullScreen);
  EXPECT_EQ(app.GetWindowSettings()[kWinColourDepth], 32);
  EXPECT_TRUE(app.IsFullScreen());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, AFailedSwitchGivesItsCodePlusOneAndKeepsTheWindowMode) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Panel", 0, 0, 1920, 1080)});
  backend.refuse_full_screen = true;
  {
    plat::ScopedDisplayBackend scoped(backend);
    EXPECT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 2);
  }
  EXPECT_EQ(backend.entered.size(), 1u);
  EXPECT_EQ(app.GetWindowSettings()[kWinScreenMode], kScreenModeWindow);
  EXPECT_FALSE(app.IsFullScreen());
  EXPECT_EQ(app.GetMainWindow().GetPlatformWindow()->Style() & plat::WS_POPUP, 0u);
  app.Exit(0);
}

TEST(FrameworkAppSystemKeys, TheFilterDropsTheKeysThatMustNotReachTheWindow) {
  using plat::WM_SYSKEYDOWN;
  using plat::WM_SYSKEYUP;
  constexpr uint8_t kKeysOn = kBehaviourSystemKeys;
  constexpr uint8_t kKeysOff = kBehaviourMaximizeBox;
  struct Case {
    uint32_t message;
    uint32_t key;
    uint8_t behaviour;
    bool full_screen;
    bool dropped;
  };
  const Case cases[] = {
      {WM_SYSKEYUP, plat::VK_F10, kKeysOn, false, true},     // F10's key-up, always
      {WM_SYSKEYDOWN, plat::VK_F10, kKeysOn, false, false},
      {WM_SYSKEYDOWN, plat::VK_F4, kKeysOff, false, false},  // Alt+F4 still closes
      {WM_SYSKEYDOWN, plat::VK_MENU, kKeysOff, false, false},
      {WM_SYSKEYDOWN, plat::VK_F10, kKeysOff, true, false},
      {WM_SYSKEYDOWN, plat::VK_SPACE, kKeysOff, false, true},  // Alt+Space: no window menu
      {WM_SYSKEYDOWN, plat::VK_SPACE, kKeysOn, false, false},
      {WM_SYSKEYUP, plat::VK_MENU, kKeysOff, false, true},
      {WM_SYSKEYUP, plat::VK_MENU, 0x01, false, false},  // one bit of the two is enough
      {WM_SYSKEYUP, plat::VK_ESCAPE, kKeysOn, true, true},
      {WM_SYSKEYUP, plat::VK_ESCAPE, kKeysOn, false, false},
      {plat::WM_KEYUP, plat::VK_F10, kKeysOff, true, false},
  };
  for (const Case& each : cases) {
    EXPECT_EQ(CFrameworkApp::IsDroppedSystemKey(each.message, each.key, each.behaviour, each.full_screen), each.dropped)
        << std::hex << each.message << " key " << each.key << " behaviour " << int{each.behaviour}
        << (each.full_screen ? " full screen" : " window");
  }
}

TEST(FrameworkAppSystemKeys, TheKeyboardHookSwallowsTheKeysThatWouldLeaveTheGame) {
  constexpr int32_t kAlt = static_cast<int32_t>(plat::kKeyContextBit);
  struct Case {
    uint32_t message;
    uint32_t key;
    int32_t lparam;
    bool control;
    bool swallowed;
  };
  const Case cases[] = {
      {plat::WM_KEYDOWN, plat::VK_ESCAPE, 0, true, true},  // Ctrl+Esc
      {plat::WM_KEYUP, plat::VK_ESCAPE, 0, true, true},
      {plat::WM_KEYDOWN, plat::VK_ESCAPE, 0, false, false},
      {plat::WM_SYSKEYDOWN, plat::VK_ESCAPE, kAlt, false, true},  // Alt+Esc
      {plat::WM_SYSKEYDOWN, plat::VK_TAB, kAlt, false, true},     // Alt+Tab
      {plat::WM_KEYDOWN, plat::VK_TAB, 0, true, false},
      {plat::WM_KEYDOWN, plat::VK_LWIN, 0, false, true},
      {plat::WM_KEYUP, plat::VK_RWIN, 0, false, true},
      {plat::WM_SYSKEYDOWN, plat::VK_F4, kAlt, false, false},  // Alt+F4 still closes
      {plat::WM_CHAR, plat::VK_ESCAPE, 0, true, false},
  };
  for (const Case& each : cases) {
    EXPECT_EQ(CFrameworkApp::IsSwallowedByKeyboardHook(each.message, each.key, each.lparam, each.control),
              each.swallowed)
        << std::hex << each.message << " key " << each.key << (each.control ? " with Ctrl" : "");
  }
}

TEST_F(FrameworkAppTest, TheKeyboardHookLivesFromFullScreenToTheSwitchBackAndFiltersKeys) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.SetWindowBehaviour(0);
  plat::Message windows_key;
  windows_key.window = app.GetMainWindow().GetHandle();
  windows_key.message = plat::WM_KEYDOWN;
  windows_key.wparam = plat::VK_LWIN;
  EXPECT_FALSE(app.PreTranslateMessage(windows_key));  // a window leaves it to the desktop
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  EXPECT_TRUE(app.HasKeyboardHook());
  EXPECT_TRUE(app.PreTranslateMessage(windows_key));
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeWindow, 32, 0), 0);
  EXPECT_FALSE(app.HasKeyboardHook());
  // The system keys left to the desktop with a framed menu window: no hook.
  app.SetWindowBehaviour(kBehaviourSystemKeys);
  app.GetAppInfo().menu_in_fullscreen = 1;
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  EXPECT_FALSE(app.HasKeyboardHook());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, DeactivatingAFullScreenGameMinimizesItOnlyWithTheSettingAndActivatingRestores) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  CMainWindow& window = app.GetMainWindow();
  app.GetEnvironment()[kEnvMinimizeOnDeactivation] = 0;
  window.SendMessage(plat::WM_ACTIVATEAPP, 0, 0);
  EXPECT_FALSE(app.IsActive());
  EXPECT_EQ(app.GetPendingModeRestore(), 0);
  app.GetEnvironment()[kEnvMinimizeOnDeactivation] = 1;
  window.SendMessage(plat::WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(app.GetPendingModeRestore(), app.GetScreenManager().IsFullScreenScaling() ? 2 : 1);
  // The next activation takes the pending restore up.
  window.SendMessage(plat::WM_ACTIVATEAPP, 1, 0);
  EXPECT_TRUE(app.IsActive());
  EXPECT_EQ(app.GetPendingModeRestore(), 0);
  EXPECT_EQ(app.GetFatalError(), 0);
  app.Exit(0);
}

TEST_F(FrameworkAppTest, AnOpeningCandidateListIsPlacedOverTheTextInputArea) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.SetTextInputArea(plat::Rect{10, 20, 110, 40});
  app.GetMainWindow().SendMessage(plat::WM_IME_NOTIFY, plat::IMN_OPENCANDIDATE, 0);
  const plat::Rect placed = app.GetMainWindow().GetPlatformWindow()->TextInputArea();
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 20);
  EXPECT_EQ(placed.right, 110);
  EXPECT_EQ(placed.bottom, 40);
  app.Exit(0);
}

TEST_F(FrameworkAppTest, AltPlusF4ClosesTheWindowWithTheSystemKeysBlocked) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.SetWindowBehaviour(kBehaviourMaximizeBox);
  plat::Message key{};
  key.window = app.GetMainWindow().GetHandle();
  key.message = plat::WM_SYSKEYDOWN;
  key.wparam = plat::VK_F4;
  key.lparam = static_cast<int32_t>(plat::kKeyContextBit);
  EXPECT_FALSE(app.PreTranslateMessage(key));
  app.GetMainWindow().SendMessage(key.message, key.wparam, key.lparam);
  EXPECT_FALSE(app.GetMainWindow().IsWindow());
  app.Exit(0);
}

class MenuKeyApp : public TestApp {
 public:
  int ShowMenuWindow() override {
    ++shown;
    return 0;
  }
  int shown = 0;
};

TEST_F(FrameworkAppTest, AnAltReleasedWithin250MsOfTheMenuClosingDoesNotOpenItAgain) {
  ScopedFakeClock clock;
  MenuKeyApp app;
  app.allowed_modes = kFullScreenOnly;
  ASSERT_EQ(app.Initialize(), 0);
  ASSERT_TRUE(app.IsFullScreen());
  app.GetAppInfo().menu_id = 101;
  CWindow& window = app.GetMainWindow();
  window.SendMessage(plat::WM_ACTIVATEAPP, 1, 0);
  clock.SetMilliseconds(10'000);
  window.SendMessage(plat::WM_SYSKEYUP, plat::VK_MENU, 0);
  EXPECT_EQ(app.shown, 1);
  EXPECT_TRUE(app.IsMenuWindowOpen());
  EXPECT_TRUE(app.IsMenuOpen());
  window.SendMessage(plat::WM_SYSKEYUP, plat::VK_MENU, 0);  // the menu is open: nothing more
  EXPECT_EQ(app.shown, 1);
  // The Alt that closed the menu comes up 250 ms later: the menu stays closed.
  window.SendMessage(plat::WM_EXITMENULOOP, 0, 0);
  EXPECT_FALSE(app.IsMenuWindowOpen());
  EXPECT_FALSE(app.IsMenuOpen());
  clock.Advance(250);
  window.SendMessage(plat::WM_SYSKEYUP, plat::VK_MENU, 0);
  EXPECT_EQ(app.shown, 1);
  clock.Advance(1);
  window.SendMessage(plat::WM_SYSKEYUP, plat::VK_F10, 0);
  EXPECT_EQ(app.shown, 2);
  app.Exit(0);
}

class TextField : public gui_test::LoggingElement {
 public:
  TextField() : LoggingElement("text field", log_) {}
  bool OnChar(const char* text, int32_t length) override {
    typed.append(text, static_cast<std::size_t>(length));
    return true;
  }
  std::string typed;

 private:
  std::vector<std::string> log_;
};

TEST_F(FrameworkAppTest, ABoundWindowSwitchesTheImeOnAndCollectsWhatIsTyped) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  TextField field;
  CWindow& window = app.GetMainWindow();
  window.SendMessage(plat::WM_CHAR, 'z', 0);  // nothing is bound: not collected
  EXPECT_FALSE(app.SendImeMessage(1));
  ASSERT_EQ(app.SetImeWindow(&window), 0);
  EXPECT_TRUE(app.IsImeOn());
  window.SendMessage(plat::WM_IME_CHAR, 0x82A0, 0);
  window.SendMessage(plat::WM_CHAR, 'a', 0);
  EXPECT_TRUE(app.DeliverTextInput(field));
  EXPECT_EQ(field.typed, "\x82\xA0" "a");
  EXPECT_TRUE(app.SendImeMessage(0));
  ASSERT_EQ(app.SetImeWindow(nullptr), 0);
  EXPECT_FALSE(app.IsImeOn());
  app.Exit(0);
}

// The application's input-method context as a text field uses it: the focus binds the main
// window, whose typing reaches the field, and the candidate list opens over the field.
TEST_F(FrameworkAppTest, AFocusedTextFieldTakesTheMainWindowsTypingAndTheCandidateList) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  ASSERT_NE(g_ImeContext, nullptr);
  ScopedPixelLibrary pixels;
  CDrawList list;
  CFont font{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  ASSERT_EQ(font.SetFont(20, 0, 0, "face"), 0U);
  CTextEdit field;
  ASSERT_EQ(field.CreateSingleLine(&list, 1, nullptr, g_ImeContext, &font, 120, "", 50, 60, 2, false, 1), 0U);
  gui_test::TestWindow owner;
  ASSERT_EQ(owner.AddChild(&field, -1), 0U);
  ASSERT_EQ(owner.SetFocusTo(&field), 0);
  EXPECT_TRUE(app.IsImeOn());
  CWindow& window = app.GetMainWindow();
  window.SendMessage(plat::WM_IME_CHAR, 0x82A0, 0);
  window.SendMessage(plat::WM_CHAR, 'a', 0);
  EXPECT_TRUE(app.DeliverTextInput(field));
  EXPECT_EQ(field.GetEditText(), "\x82\xA0" "a");
  window.SendMessage(plat::WM_IME_NOTIFY, plat::IMN_OPENCANDIDATE, 0);
  const plat::Rect placed = window.GetPlatformWindow()->TextInputArea();
  EXPECT_EQ(placed.left, 50);
  EXPECT_EQ(placed.top, 60);
  EXPECT_EQ(placed.right, 170);
  EXPECT_EQ(placed.bottom, 60 + field.GetHeight());
  owner.SetFocusTo(nullptr);
  EXPECT_FALSE(app.IsImeOn());
  window.SendMessage(plat::WM_CHAR, 'b', 0);  // unbound: no longer collected
  EXPECT_FALSE(app.DeliverTextInput(field));
  app.Exit(0);
}

// A script may put a text field at the end of the range: its area, and the candidate list's over
// it, reach to that end.
TEST_F(FrameworkAppTest, ATextFieldAtTheEndOfTheRangeReachesTheCandidateListToIt) {
  constexpr int32_t kGreatest = std::numeric_limits<int32_t>::max();
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.GetMainWindow().GetPlatformWindow()->Move(0, 0);
  ScopedPixelLibrary pixels;
  CDrawList list;
  CFont font{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  ASSERT_EQ(font.SetFont(20, 0, 0, "face"), 0U);
  CTextEdit field;
  ASSERT_EQ(field.CreateSingleLine(&list, 1, nullptr, g_ImeContext, &font, 120, "", kGreatest - 10, kGreatest - 20, 2,
                                   false, 1),
            0U);
  gui_test::TestWindow owner;
  ASSERT_EQ(owner.AddChild(&field, -1), 0U);
  ASSERT_EQ(owner.SetFocusTo(&field), 0);
  CWindow& window = app.GetMainWindow();
  for (const int32_t left : {kGreatest - 10, kGreatest - 5}) {
    SCOPED_TRACE(left);
    if (left != kGreatest - 10) field.SetPosition(left, kGreatest - 20);
    window.SendMessage(plat::WM_IME_NOTIFY, plat::IMN_OPENCANDIDATE, 0);
    const plat::Rect placed = window.GetPlatformWindow()->TextInputArea();
    EXPECT_EQ(placed.left, left);
    EXPECT_EQ(placed.top, kGreatest - 20);
    EXPECT_EQ(placed.right, kGreatest);
    EXPECT_EQ(placed.bottom, kGreatest);
  }
  owner.SetFocusTo(nullptr);
  app.Exit(0);
}

TEST_F(FrameworkAppTest, MessageBoxesTakeTheKindsButtonsOwnersAndCaptions) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.ShowMessageBox("text", kBoxExclamation, 0, "title");
  answer_ = plat::IDNO;
  EXPECT_FALSE(app.AskYesNo("q", kBoxQuestion));
  answer_ = plat::IDOK;
  EXPECT_TRUE(app.AskOkCancel("q", kBoxStop, plat::kDesktopWindow));
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[0].request.style, plat::MB_OK | plat::MB_ICONEXCLAMATION);
  EXPECT_EQ(shown_[0].request.owner, app.GetMainWindow().GetHandle());
  EXPECT_EQ(shown_[0].request.caption, "title");
  EXPECT_EQ(shown_[1].request.style, plat::MB_YESNO | plat::MB_ICONQUESTION);
  EXPECT_EQ(shown_[1].request.caption, "KVX DX Application");
  EXPECT_EQ(shown_[2].request.style,
            plat::MB_OKCANCEL | plat::MB_ICONSTOP | plat::MB_SYSTEMMODAL | plat::MB_SETFOREGROUND);
  EXPECT_FALSE(app.IsModal());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, AMessageBoxRequestFromAnotherThreadIsShownOnTheMainThread) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  std::atomic<int> result{-1};
  std::thread game([&] { result = app.RequestMessageBox(kBoxYesNo, "really?", kBoxQuestion); });
  while (result.load() == -1) app.PumpMessages(true);
  game.join();
  EXPECT_EQ(result.load(), 1);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].thread, plat::CurrentThreadId());
  EXPECT_EQ(shown_[0].request.style, plat::MB_YESNO | plat::MB_ICONQUESTION);

  // From the main thread the request is served at once.
  answer_ = plat::IDCANCEL;
  EXPECT_EQ(app.RequestMessageBox(kBoxOkCancel, "ok?", kBoxQuestion, "t"), 0);
  EXPECT_EQ(app.RequestMessageBox(kBoxPlain, "note", kBoxInformation), 1);
  EXPECT_EQ(shown_.size(), 3u);
  app.Exit(0);
  EXPECT_EQ(app.RequestMessageBox(kBoxPlain, "late", kBoxInformation), 0);  // no main window
}

TEST_F(FrameworkAppTest, BlockingWaitsParkTheGameThreadAndEveryFailureEndsTheWait) {
  TestApp app;
  app.threaded = true;
  ASSERT_EQ(app.Initialize(), 0);
  ASSERT_TRUE(app.IsThreaded());
  plat::WindowId window = app.GetMainWindow().GetHandle();
  auto& queue = plat::MessageQueue::Instance();

  EXPECT_EQ(app.BeginBlockingWait(&window), 0);
  EXPECT_EQ(app.GetBlockingWaitFlag().load(), kBlockingWaitAcknowledged);
  EXPECT_FALSE(queue.IsWindowEnabled(window));
  EXPECT_EQ(app.EndBlockingWait(&window), 0);
  EXPECT_EQ(app.GetBlockingWaitFlag().load(), 0);
  EXPECT_TRUE(queue.IsWindowEnabled(window));

  // A stop request: the wait gives up, and no longer leaves the flag or the disabled window behind.
  app.GetWorkerThread().RequestStop();
  EXPECT_EQ(app.BeginBlockingWait(&window), -2);
  EXPECT_EQ(app.GetBlockingWaitFlag().load(), 0);
  EXPECT_TRUE(queue.IsWindowEnabled(window));

  // WM_QUIT: likewise, and the handle is cleared.
  queue.PostQuit(0);
  EXPECT_EQ(app.BeginBlockingWait(&window), -1);
  EXPECT_EQ(window, 0u);
  EXPECT_EQ(app.GetBlockingWaitFlag().load(), 0);
  EXPECT_TRUE(queue.IsWindowEnabled(app.GetMainWindow().GetHandle()));
  EXPECT_TRUE(app.HasQuit());
  // With the quit flag set a later wait ends at once.
  plat::WindowId again = app.GetMainWindow().GetHandle();
  EXPECT_EQ(app.BeginBlockingWait(&again), -1);

  app.release_end.Set();  // Exit ends the game thread first
  app.Exit(0);
  EXPECT_FALSE(app.GetWorkerThread().IsRunning());
}

TEST_F(FrameworkAppTest, BlockingWaitsOnTheWorkerOrWithoutTheThreadedModeReturnAtOnce) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  EXPECT_EQ(app.BeginBlockingWait(nullptr), 0);
  EXPECT_EQ(app.GetBlockingWaitFlag().load(), 0);
  app.Exit(0);

  TestApp threaded;
  threaded.threaded = true;
  ASSERT_EQ(threaded.Initialize(), 0);
  // The first step stores what its wait gave; -5 until then.
  while (threaded.wait_on_worker.load() == -5) std::this_thread::yield();
  EXPECT_EQ(threaded.wait_on_worker.load(), 1);
  threaded.release_end.Set();
  threaded.Exit(0);
}

TEST_F(FrameworkAppTest, AFailedStartHookSkipsStepsAndEndButStillClosesTheWindow) {
  TestApp app;
  app.threaded = true;
  app.start_result = 1;
  EXPECT_EQ(app.Run("", 1), 0);
  EXPECT_EQ(app.steps.load(), 0);
  EXPECT_FALSE(app.ended.load());
  EXPECT_FALSE(app.GetMainWindow().IsWindow());
  EXPECT_EQ(app.exit_codes, std::vector<int>{0});
}

TEST_F(FrameworkAppTest, ACloseInThreadedModeStopsTheWorkerWhichClosesTheWindow) {
  TestApp app;
  app.threaded = true;
  app.close_on_start = true;
  app.release_end.Set();
  EXPECT_EQ(app.Run("", 1), 0);
  EXPECT_TRUE(app.ended.load());
  EXPECT_FALSE(app.GetMainWindow().IsWindow());
  EXPECT_EQ(app.exit_codes, std::vector<int>{0});
}

TEST_F(FrameworkAppTest, ExitReportsTheFatalErrorByte) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.SetFatalError(kFatalModeSwitchFailed);
  app.Exit(0);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].request.text, plat::Utf8ToSjis("予期せぬエラーが発生したため、強制終了しました。ErrorCode：2"));
  EXPECT_EQ(shown_[0].request.style & plat::kMessageBoxIconMask, plat::MB_ICONSTOP);
}

TEST_F(FrameworkAppTest, PaintRepaintsFromTheScreenOnlyUnderItsConditions) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  EXPECT_FALSE(app.NeedsRepaintFromScreen());
  app.EnterModal();
  EXPECT_TRUE(app.NeedsRepaintFromScreen());  // drawing is not allowed in single-thread mode
  app.LeaveModal();
  EXPECT_FALSE(app.NeedsRepaintFromScreen());
  app.GetWindowSettings()[kWinPauseWhileInactive] = 1;
  EXPECT_TRUE(app.NeedsRepaintFromScreen());  // inactive and paused
  app.GetMainWindow().SendMessage(plat::WM_ACTIVATEAPP, 1, 0);
  EXPECT_TRUE(app.IsActive());
  EXPECT_FALSE(app.NeedsRepaintFromScreen());
  app.Exit(0);
}

TEST_F(FrameworkAppTest, APlayingMovieKeepsTheRepaintAwayOnlyWhenItCoversAFullScreen) {
  const struct {
    uint8_t display_canvas;
    bool modal;
    uint8_t movie_playing;
    bool full_screen;
    bool repaints;
  } cases[] = {
      {0, false, 0, false, false}, {0, true, 0, false, true},  {0, true, 2, false, true},
      {0, true, 2, true, false},   {0, true, 1, true, false},  {1, false, 0, false, true},
      {1, false, 2, false, true},  {1, false, 2, true, true},  // a canvas without a primary surface
  };
  for (const auto& entry : cases) {
    TestApp app;
    app.display_canvas = entry.display_canvas;
    ASSERT_EQ(app.Initialize(), 0);
    ASSERT_EQ(app.DisplayCanvas() != nullptr, entry.display_canvas != 0);
    if (entry.modal) app.EnterModal();
    app.SetMovieCover(entry.movie_playing, entry.full_screen);
    EXPECT_EQ(app.NeedsRepaintFromScreen(), entry.repaints)
        << int{entry.display_canvas} << entry.modal << int{entry.movie_playing} << entry.full_screen;
    if (entry.modal) app.LeaveModal();
    app.SetMovieCover(0, false);
    app.Exit(0);
  }
}

TEST_F(FrameworkAppTest, PaintCopiesTheDisplayCanvasIntoTheWindow) {
  TestApp app;
  app.display_canvas = 1;
  ASSERT_EQ(app.Initialize(), 0);
  plat::DeviceContext* canvas_dc = app.DisplayCanvas()->GetImage()->GetDC();
  ASSERT_NE(canvas_dc, nullptr);
  ASSERT_TRUE(plat::FillRect(*canvas_dc, plat::Rect{0, 0, 640, 480}, 0x2040C0));
  plat::ScreenPresenter* presenter = plat::ScreenPresenter::ForWindow(app.GetMainWindow().GetHandle());
  ASSERT_NE(presenter, nullptr);
  app.GetMainWindow().SendMessage(plat::WM_PAINT, 0, 0);
  std::vector<uint32_t> shown;
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(presenter->ReadBack(shown, width, height));
  ASSERT_EQ(shown.size(), static_cast<size_t>(width) * static_cast<size_t>(height));
  ASSERT_GT(width, 320);
  ASSERT_GT(height, 240);
  EXPECT_EQ(shown[static_cast<size_t>(240 * width + 320)] & 0xFFFFFF, 0x2040C0u) << "the canvas was repainted";
  app.Exit(0);
}

TEST_F(FrameworkAppTest, PaintBlacksTheBarsOfAScaledFullScreenInsideThePaintRectangle) {
  TestApp app;
  app.display_canvas = 1;
  ASSERT_EQ(app.Initialize(), 0);
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Panel", 0, 0, 1920, 1080)});
  plat::ScopedDisplayBackend scoped(backend);
  CScreenManager& screen = app.GetScreenManager();
  CMonitorList monitors;
  ASSERT_EQ(screen.BuildDisplayModeList(&monitors, 640, 480, true), 0);
  ASSERT_EQ(screen.SelectDisplay(false, 0, 1, 0, &monitors), 0u);
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  ASSERT_TRUE(screen.IsFullScreenScaling());
  ASSERT_TRUE(screen.HasBars());
  const plat::Rect left_bar = screen.GetBar1();
  const plat::Rect right_bar = screen.GetBar2();
  ASSERT_GT(left_bar.right, 2);
  ASSERT_GT(right_bar.right, right_bar.left + 2);

  plat::BitmapInfo info;
  info.header = plat::BitmapInfoHeader{1920, -1080, 32, plat::BI_RGB};
  std::unique_ptr<plat::DibSection> bitmap = plat::DibSection::Create(info);
  ASSERT_NE(bitmap, nullptr);
  std::unique_ptr<plat::DeviceContext> dc = plat::DeviceContext::CreateMemory();
  dc->SelectObject(bitmap.get());
  ASSERT_TRUE(plat::FillRect(*dc, plat::Rect{0, 0, 1920, 1080}, 0xFFFFFF));
  // The paint rectangle takes the upper half of the output.
  app.PaintFromScreen(*dc, plat::Rect{0, 0, 1920, 540});
  const plat::PixelView view = bitmap->View();
  const auto pixel = [&](int32_t x, int32_t y) { return *reinterpret_cast<const uint32_t*>(view.At(x, y)) & 0xFFFFFF; };
  EXPECT_EQ(pixel(left_bar.left, 10), 0u) << "the first bar inside the paint rectangle";
  EXPECT_EQ(pixel(right_bar.right - 1, 539), 0u) << "the second bar inside the paint rectangle";
  EXPECT_EQ(pixel(left_bar.left, 540), 0xFFFFFFu) << "below the paint rectangle nothing changes";
  EXPECT_EQ(pixel(right_bar.left, 1000), 0xFFFFFFu);
  app.Exit(0);
}

// The display keeps 640 x 360 as its mode of the game's width: full screen sets the display to it,
// the 640 x 480 screen is pillarboxed into it and the window shows the mode letterboxed.
TEST_F(FrameworkAppTest, AFullScreenByTheDisplaySettingsShowsTheModeOnTheCoveredDisplayUntilTheWindowReturns) {
  TestApp app;
  app.display_canvas = 1;
  ASSERT_EQ(app.Initialize(), 0);
  plat::DisplayOutput panel = FakeDisplayBackend::Display("Panel", 0, 0, 1920, 1080);
  panel.modes = {{1920, 1080, 32, 60}, {640, 360, 32, 60}};
  FakeDisplayBackend backend({panel});
  plat::ScopedDisplayBackend scoped(backend);
  CScreenManager& screen = app.GetScreenManager();
  CMonitorList monitors;
  ASSERT_EQ(screen.BuildDisplayModeList(&monitors, 640, 480, false), 0);
  ASSERT_EQ(screen.SelectDisplay(true, 0, 0, 0, &monitors), 0u);
  // The fake display does not move the window: it is put where covering the display puts it.
  app.GetMainWindow().GetPlatformWindow()->Move(0, 0);
  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  const std::optional<plat::DisplayModeDesc> changed = plat::ChangedDisplaySize(0);
  ASSERT_TRUE(changed.has_value());
  EXPECT_EQ(changed->width, 640);
  EXPECT_EQ(changed->height, 360);

  constexpr uint32_t kFrame = 0x2040C0;
  CImageCanvasEx& canvas = *app.DisplayCanvas();
  canvas.GetImage()->FillRectArgb(0xFF000000 | kFrame, nullptr);
  canvas.MarkDirty(nullptr);
  ASSERT_EQ(screen.UpdateScreen(), 0u);
  plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(app.GetMainWindow().GetHandle());
  ASSERT_NE(presenter, nullptr);
  std::vector<uint32_t> shown;
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(presenter->ReadBack(shown, width, height));
  ASSERT_EQ(width, 640);
  ASSERT_EQ(height, 480);
  const auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * width + x)] & 0xFFFFFF; };
  EXPECT_EQ(at(320, 240), kFrame);
  EXPECT_EQ(at(320, 30), 0u) << "above the mode";
  EXPECT_EQ(at(320, 450), 0u) << "below the mode";
  EXPECT_EQ(at(40, 240), 0u) << "the mode's bar beside the screen";

  ASSERT_EQ(app.ChangeScreenMode(kScreenModeWindow, 32, 0), 0);
  EXPECT_FALSE(plat::ChangedDisplaySize(0).has_value());
  app.Exit(0);
}

// Monitors added or removed are listed again; in full screen the list is kept.
TEST_F(FrameworkAppTest, ADisplayChangeListsTheDisplaysAgainOutsideFullScreen) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  FakeDisplayBackend two({FakeDisplayBackend::Display("Left", 0, 0, 1920, 1080),
                          FakeDisplayBackend::Display("Right", 1920, 0, 1280, 1024)});
  plat::ScopedDisplayBackend scoped_two(two);
  CMainWindow& window = app.GetMainWindow();
  window.SendMessage(plat::WM_DISPLAYCHANGE, 32, plat::MakeLParam(3200, 1080));
  ASSERT_NE(app.GetMonitorList(), nullptr);
  EXPECT_EQ(app.GetMonitorList()->GetCount(), 2u);
  EXPECT_EQ(app.GetScreenManager().GetDisplayList().size(), 2u);

  ASSERT_EQ(app.ChangeScreenMode(kScreenModeFullScreen, 32, 0), 0);
  FakeDisplayBackend one({FakeDisplayBackend::Display("Left", 0, 0, 1920, 1080)});
  plat::ScopedDisplayBackend scoped_one(one);
  window.SendMessage(plat::WM_DISPLAYCHANGE, 32, plat::MakeLParam(1920, 1080));
  EXPECT_EQ(app.GetMonitorList()->GetCount(), 2u);
  EXPECT_EQ(app.GetScreenManager().GetDisplayList().size(), 2u);
  app.Exit(0);
}

// The game thread draws without pumping, so the window thread gives the surfaces back itself;
// a screen that has lost its back surface for good cannot show the game, and the restore's
// failure is fatal there.
TEST_F(FrameworkAppTest, ADisplayChangeRestoresLostSurfacesOnlyInThreadedMode) {
  for (const bool threaded : {false, true}) {
    for (const bool back_gone : {false, true}) {
      SCOPED_TRACE(std::string(threaded ? "threaded" : "single thread") + (back_gone ? ", no back surface" : ""));
      TestApp app;
      app.threaded = threaded;
      ASSERT_EQ(app.Initialize(), 0);
      CScreenManager& screen = app.GetScreenManager();
      ASSERT_NE(screen.GetBack(), nullptr);
      if (back_gone) {
        screen.ReleaseSurfaces();
      } else {
        screen.GetBack()->SimulateLoss();
      }
      app.GetMainWindow().SendMessage(plat::WM_DISPLAYCHANGE, 32, plat::MakeLParam(1920, 1080));
      if (!back_gone) {
        EXPECT_EQ(screen.GetBack()->IsLost(), threaded ? plat::DD_OK : plat::DDERR_SURFACELOST);
      }
      EXPECT_EQ(app.GetFatalError(), threaded && back_gone ? kFatalRestoreFailed : 0);
      app.release_end.Set();
      app.Exit(0);
    }
  }
}

TEST_F(FrameworkAppTest, PrivateRequestsSwitchTheImeAndReportScreenModes) {
  TestApp app;
  ASSERT_EQ(app.Initialize(), 0);
  app.GetMainWindow().SendMessage(kMsgImeRequest, 1, 0);
  EXPECT_TRUE(app.IsImeOn());
  app.GetMainWindow().SendMessage(kMsgImeRequest, 0, 0);
  EXPECT_FALSE(app.IsImeOn());
  ScreenModeRequestBlock window_mode;
  app.GetMainWindow().SendMessage(kMsgScreenModeRequest, PackScreenModeRequest(kScreenModeWindow, 32, 1), 0, &window_mode);
  EXPECT_EQ(window_mode.result, 0);
  ScreenModeRequestBlock full_screen;
  app.GetMainWindow().SendMessage(kMsgScreenModeRequest, PackScreenModeRequest(kScreenModeFullScreen, 32, 1), 0,
                                  &full_screen);
  EXPECT_EQ(full_screen.result, 0);
  EXPECT_TRUE(app.IsFullScreen());
  app.Exit(0);
}

}  // namespace
