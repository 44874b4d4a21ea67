#include "app/framework/app_base.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/framework/win_main.h"
#include "platform/window/message_queue.h"

namespace {

constexpr plat::WindowId kWindow = 8001;

class ProbeApp : public CAppBase {
 public:
  explicit ProbeApp(int initialize_result, bool threaded = false)
      : CAppBase(threaded), initialize_result_(initialize_result) {}
  int Initialize() override { return initialize_result_; }
  void RunOwnLoop() override { ++own_loop_runs; }
  void Exit(int code) override { exit_codes.push_back(code); }

  int own_loop_runs = 0;
  std::vector<int> exit_codes;

 private:
  int initialize_result_;
};

class PumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    queue_.AttachToCurrentThread();
    queue_.RegisterWindow(kWindow, [this](const plat::Message& message) {
      dispatched_.push_back(message.message);
      return 0;
    });
  }
  void TearDown() override {
    queue_.UnregisterWindow(kWindow);
    queue_.AttachToCurrentThread();
  }

  plat::MessageQueue& queue_ = plat::MessageQueue::Instance();
  std::vector<uint32_t> dispatched_;
};

TEST(AppRunTest, AFailedInitializeExitsWithItsCodeAndTheEntryReturnsIt) {
  ProbeApp app(3);
  EXPECT_EQ(WinMain(app, "/Lgame", 1), 3) << "a second instance says it did not run the game";
  EXPECT_EQ(app.exit_codes, std::vector<int>{3});
  EXPECT_EQ(app.own_loop_runs, 0);
  EXPECT_EQ(app.GetCommandLine(), "/Lgame");

  ProbeApp direct(3);
  EXPECT_EQ(direct.Run("", 1), 3);
}

TEST(AppRunTest, AStartThatFailedEndsTheProgramWithItsCode) {
  for (const int code : {1, 3, 5, 13}) {
    ProbeApp app(code);
    EXPECT_EQ(WinMain(app, "", 1), code);
    EXPECT_EQ(app.exit_codes, std::vector<int>{code});
  }
  ProbeApp ran(0);
  EXPECT_EQ(WinMain(ran, "", 1), 0);
}

TEST(AppRunTest, SingleThreadModeRunsTheOwnLoopThenExitsWithZero) {
  ProbeApp app(0);
  EXPECT_EQ(app.Run("", 1), 0);
  EXPECT_EQ(app.own_loop_runs, 1);
  EXPECT_EQ(app.exit_codes, std::vector<int>{0});
}

TEST_F(PumpTest, WithoutMouseMovesAQueueOfOnlyMovesAndCursorMessagesEmptiesAndReturnsZero) {
  ProbeApp app(0);
  for (const uint32_t message : {plat::WM_MOUSEMOVE, plat::WM_SETCURSOR, plat::WM_NCMOUSEMOVE, plat::WM_NCHITTEST}) {
    queue_.Post(kWindow, message, 0, 0);
  }
  EXPECT_EQ(app.PumpMessages(false), 0);
  EXPECT_TRUE(dispatched_.empty());
  plat::Message left;
  EXPECT_FALSE(queue_.Peek(left, false));

  queue_.Post(kWindow, plat::WM_MOUSEMOVE, 0, 0);
  queue_.Post(kWindow, plat::WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(app.PumpMessages(true), 0);
  EXPECT_EQ(dispatched_, (std::vector<uint32_t>{plat::WM_MOUSEMOVE, plat::WM_KEYDOWN}));
}

TEST_F(PumpTest, QuitSetsTheFlagLeavesTheRestQueuedAndEndsALaterLoopAtOnce) {
  ProbeApp app(0, true);
  queue_.Post(kWindow, plat::WM_KEYDOWN, 'A', 0);
  queue_.PostQuit(0);
  EXPECT_EQ(app.PumpMessages(false), 1);
  EXPECT_TRUE(app.HasQuit());
  EXPECT_EQ(dispatched_, std::vector<uint32_t>{plat::WM_KEYDOWN});
  // The threaded message loop would wait for a message; with the quit flag set it never starts.
  EXPECT_EQ(app.Run("", 1), 0);
  EXPECT_EQ(app.exit_codes, std::vector<int>{0});
}

TEST_F(PumpTest, AcceleratorsBecomeCommandsForTheirWindowInsteadOfKeys) {
  ProbeApp app(0);
  app.SetAccelerators({{plat::FVIRTKEY, plat::VK_F1, 40004}}, kWindow);
  queue_.Post(kWindow, plat::WM_KEYDOWN, plat::VK_F1, 0);
  queue_.Post(kWindow, plat::WM_KEYDOWN, plat::VK_F4, 0);
  app.PumpMessages(true);
  EXPECT_EQ(dispatched_, (std::vector<uint32_t>{plat::WM_COMMAND, plat::WM_KEYDOWN}));
  EXPECT_FALSE(app.LoadAccelerators(101, kWindow));
}

}  // namespace
